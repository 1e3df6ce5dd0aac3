// What the programmers refuse to send, and how they name it.
#include "transfer/validation.h"

#include "support/printers.h"

#include <gtest/gtest.h>
#include <functional>

namespace {

// A database that may go out as it is: New Database values, with family 3
// and group 2 complete (its last pager ID left empty, as a short group reply
// leaves the pager IDs) and two messages.
PagerDatabase sendableDatabase()
{
    PagerDatabase db;
    ApplyNewDatabase(db);
    db.Families[2] = FamilyRow{"1", "0001000", "5", "A", "3", "010", "100", "1", "00", "YES"};
    GroupRow &g = db.Groups[1];
    g[grpGroupID] = QStringLiteral("0300");
    g[grpActive] = QStringLiteral("1");
    g[grpComplete] = QStringLiteral("YES");
    g[grpPagerID20].clear();
    db.CannedMessages[0] = QStringLiteral("Fire drill at 10:00, \xe9t\xe9 wing \u2013 \u20ac5");
    db.CannedMessages[4] = QString(kMessageMaxLength, QChar(u'x'));
    return db;
}

TEST(Validation, SendableDataPassesForBothFamilies)
{
    const PagerDatabase db = sendableDatabase();
    EncoderSettings s;
    s.sSerial2Flow.clear();              // a reply of its line end alone
    s.sDutyCycle = QStringLiteral("-1");  // a negative 16-bit answer
    EXPECT_EQ(CheckBeforeProgramming(Firmware::V7, db, s), std::nullopt);
    EXPECT_EQ(CheckBeforeProgramming(Firmware::V8, db, s), std::nullopt);
}

TEST(Validation, EachFaultIsNamedByItsItem)
{
    struct Case {
        const char *what;
        std::function<void(PagerDatabase &, EncoderSettings &)> spoil;
        const char *item;
        QString problem;
    } cases[] = {
        {"duty cycle with a letter", [](auto &, auto &s) { s.sDutyCycle = QStringLiteral("6O"); },
         "Encoder Settings, Duty Cycle", QStringLiteral("is \"6O\", not a number (digits 0 to 9 only)")},
        {"batch size with a plus", [](auto &, auto &s) { s.sMaxBatch = QStringLiteral("+10"); },
         "Encoder Settings, Max Msgs/Batch", QStringLiteral("is \"+10\", not a number (digits 0 to 9 only)")},
        {"empty duty cycle", [](auto &, auto &s) { s.sDutyCycle.clear(); },
         "Encoder Settings, Duty Cycle", QStringLiteral("is empty, not a number (digits 0 to 9 only)")},
        {"empty batch size", [](auto &, auto &s) { s.sMaxBatch.clear(); },
         "Encoder Settings, Max Msgs/Batch", QStringLiteral("is empty, not a number (digits 0 to 9 only)")},
        {"protocol with a blank", [](auto &, auto &s) { s.sSerial2Protocol = QStringLiteral("TAP 2"); },
         "Encoder Settings, Port 2 Protocol", QStringLiteral("holds a blank")},
        {"flow with a quote", [](auto &, auto &s) { s.sSerial1Flow = QStringLiteral("H\"W"); },
         "Encoder Settings, Port 1 Flow Control", QStringLiteral("holds a double quote")},
        {"start capcode with a blank", [](auto &db, auto &) { db.Families[2][famStartCap] = QStringLiteral("000 1000"); },
         "Family 3, Start Capcode", QStringLiteral("holds a blank")},
        {"signed prefix", [](auto &db, auto &) { db.Families[2][famPrefix] = QStringLiteral("-1"); },
         "Family 3, Prefix Message", QStringLiteral("is \"-1\", not a number (digits 0 to 9 only)")},
        {"pager type with a tab", [](auto &db, auto &) { db.Families[2][famPgrType] = QStringLiteral("A\t"); },
         "Family 3, Pager Type", QStringLiteral("holds a control character (code 9)")},
        {"quantity with a sign", [](auto &db, auto &) { db.Families[2][famPagerQty] = QStringLiteral("+10"); },
         "Family 3, Pager Quantity", QStringLiteral("is \"+10\", not a number (digits 0 to 9 only)")},
        {"pager ID outside the code page", [](auto &db, auto &) { db.Groups[1][grpPagerID1 + 6] = QStringLiteral("12\u03a9"); },
         "Group 2, Pager ID 7",
         QStringLiteral("holds the character \u201c\u03a9\u201d (U+03A9), which has no byte in the code page and cannot be sent")},
        {"timer message with a letter", [](auto &db, auto &) { db.Groups[1][grpTimerMsg] = QStringLiteral("0A"); },
         "Group 2, Timer Message", QStringLiteral("is \"0A\", not a number (digits 0 to 9 only)")},
        {"group field empty before a set one", [](auto &db, auto &) { db.Groups[1][grpActive].clear(); },
         "Group 2, Active", QStringLiteral("is empty, so the encoder would read every later field one place early")},
        {"family field empty before a set one", [](auto &db, auto &) { db.Families[2][famRate].clear(); },
         "Family 3, Data Rate", QStringLiteral("is empty, so the encoder would read every later field one place early")},
        {"message too long", [](auto &db, auto &) { db.CannedMessages[11] = QString(61, QChar(u'y')); },
         "Canned Message 12", QStringLiteral("is 61 characters long (at most 60)")},
        {"message with a quote", [](auto &db, auto &) { db.CannedMessages[0] = QStringLiteral("say \"hi\""); },
         "Canned Message 1", QStringLiteral("holds a double quote")},
        {"message with a CR", [](auto &db, auto &) { db.CannedMessages[14] = QStringLiteral("two\rlines"); },
         "Canned Message 15", QStringLiteral("holds a control character (code 13)")},
    };
    for (const Case &c : cases) {
        PagerDatabase db = sendableDatabase();
        EncoderSettings s;
        c.spoil(db, s);
        const auto found = CheckBeforeProgramming(Firmware::V8, db, s);
        ASSERT_TRUE(found.has_value()) << c.what;
        EXPECT_EQ(found->item, QString::fromUtf8(c.item)) << c.what;
        EXPECT_EQ(found->problem, c.problem) << c.what;
    }
}

TEST(Validation, IncompleteRecordsAreNotCheckedBecauseTheyGoOutEmpty)
{
    PagerDatabase db = sendableDatabase();
    db.Families[2][famStartCap] = QStringLiteral("bad value");
    db.Families[2][famComplete] = QStringLiteral("yes");
    db.Groups[1][grpGroupID].clear();
    db.Groups[1][grpComplete].clear();
    EXPECT_EQ(CheckBeforeProgramming(Firmware::V8, db, EncoderSettings()), std::nullopt);
}

TEST(Validation, Version7IgnoresTheSettingsItDoesNotSend)
{
    EncoderSettings s;
    s.sSerial2Baud = QStringLiteral("96 00");
    s.sSerial1Databits.clear();
    EXPECT_EQ(CheckBeforeProgramming(Firmware::V7, sendableDatabase(), s), std::nullopt);
    EXPECT_EQ(CheckBeforeProgramming(Firmware::V8, sendableDatabase(), s)->item,
              QStringLiteral("Encoder Settings, Port 2 Baud Rate"));
}

TEST(Validation, TheFirstFaultInSendingOrderIsReported)
{
    PagerDatabase db = sendableDatabase();
    EncoderSettings s;
    db.CannedMessages[0] = QStringLiteral("\"");
    db.Families[2][famSuffix] = QStringLiteral("x");
    db.Groups[1][grpPagerID20] = QStringLiteral("x");
    EXPECT_EQ(CheckBeforeProgramming(Firmware::V8, db, s)->item, QStringLiteral("Group 2, Pager ID 20"));
    db.Groups[1][grpPagerID20] = QStringLiteral("0000");
    EXPECT_EQ(CheckBeforeProgramming(Firmware::V8, db, s)->item, QStringLiteral("Family 3, Suffix Message"));
    s.sMaxBatch = QStringLiteral(" 10");
    EXPECT_EQ(CheckBeforeProgramming(Firmware::V8, db, s)->item, QStringLiteral("Encoder Settings, Max Msgs/Batch"));
}

TEST(Validation, BoxTextNamesItemAndFault)
{
    const TransferProblem p{QStringLiteral("Family 3, Start Capcode"), QStringLiteral("holds a blank")};
    EXPECT_EQ(ProgrammingBlockedText(p), QStringLiteral("Family 3, Start Capcode: holds a blank.\r"
                                                        "Nothing has been sent to the encoder. Please correct it and try again."));
    EXPECT_FALSE(ProgrammingBlockedTitle().isEmpty());
}

}  // namespace
