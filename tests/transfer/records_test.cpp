// Database records: what goes to the encoder, and how its replies come back
// into the tables.
#include "transfer/records.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

QString wire(const char *latin1) { return QString::fromLatin1(latin1); }
const QString kCRLF = QStringLiteral("\r\n");

FamilyRow family(std::initializer_list<const char *> fields)
{
    FamilyRow row;
    int i = 0;
    for (const char *f : fields)
        row[i++] = QString::fromLatin1(f);
    return row;
}

FamilyRow completeFamily()
{
    return family({"1", "0001000", "5", "A", "3", "010", "1000", "01", "15", "YES"});
}

GroupRow completeGroup()
{
    GroupRow row;
    const char *head[] = {"0100", "1", "0", "00", "1", "03", "1", "05"};
    for (int f = 0; f < 8; ++f)
        row[f] = QString::fromLatin1(head[f]);
    for (int k = 0; k < kGroupPagerIDCount; ++k)
        row[grpPagerID1 + k] = QString::number(2000 + k);
    row[grpComplete] = QStringLiteral("YES");
    row[grpReference] = QStringLiteral("front desk");
    return row;
}

TEST(Records, RequestsNameKindAndNumberWithoutPadding)
{
    EXPECT_EQ(RecordRequestText(RecordKind::Group, 10), QStringLiteral("L 10"));
    EXPECT_EQ(RecordRequestText(RecordKind::Family, 1), QStringLiteral("G 1"));
    EXPECT_EQ(RecordRequestText(RecordKind::Message, 9), QStringLiteral("M 9"));
    // 2+48+49+57+100+52+54+13+71+32+53+48+13+3 = 595 = 0x253
    EXPECT_EQ(RecordRequest(RecordKind::Family, 50), wire("\x02" "019d46\rG 50\r\x03" "253\r"));
}

TEST(Records, ProgrammedRecordsGoOutAsCompleteBlocks)
{
    PagerDatabase db;
    db.Families[6] = family({"1", "0001000", "5", "A", "3", "010", "0100", "00", "00", "YES"});
    EXPECT_EQ(ProgrammedRecord(RecordKind::Family, 7, db),
              wire("\x02" "019d56\rG 7 1 0001000 5 A 3 010 0100 00 00\r\x03" "783\r"));
    // an untouched family (all fields empty) goes as the empty form
    EXPECT_EQ(ProgrammedRecord(RecordKind::Family, 3, db), wire("\x02" "019d56\rG 3 0 8 5 A 0 0 0 0 0\r\x03" "510\r"));
    EXPECT_EQ(ProgrammedRecord(RecordKind::Message, 2, db), wire("\x02" "019d56\rM 2 \"\"\r\x03" "28;\r"));
}

TEST(Records, FullFormOnlyForCompleteExactlyYes)
{
    struct Case {
        const char *complete;
        bool full;
    } cases[] = {{"YES", true}, {"yes", false}, {"YES ", false}, {"", false}, {"Y", false}};
    for (const Case &c : cases) {
        GroupRow g = completeGroup();
        g[grpComplete] = QString::fromLatin1(c.complete);
        FamilyRow f = completeFamily();
        f[famComplete] = QString::fromLatin1(c.complete);
        EXPECT_EQ(GroupRecord(g, 4) == QStringLiteral("L 4 0 0 0 0 0 0 0 0"), !c.full) << c.complete;
        EXPECT_EQ(FamilyRecord(f, 3) == QStringLiteral("G 3 0 8 5 A 0 0 0 0 0"), !c.full) << c.complete;
    }
}

TEST(Records, FullFormsCarryEveryTravellingFieldAsStored)
{
    EXPECT_EQ(GroupRecord(completeGroup(), 10),
              QStringLiteral("L 10 0100 1 0 00 1 03 1 05 2000 2001 2002 2003 2004 2005 2006 2007 2008 2009 "
                             "2010 2011 2012 2013 2014 2015 2016 2017 2018 2019"));
    FamilyRow inactive = completeFamily();
    inactive[famActive] = QStringLiteral("0");
    inactive[famPrefix].clear();  // an empty field leaves two blanks
    EXPECT_EQ(FamilyRecord(inactive, 50), QStringLiteral("G 50 0 0001000 5 A 3 010 1000  15"));
    EXPECT_EQ(MessageRecord(QStringLiteral("Call  desk"), 15), QStringLiteral("M 15 \"Call  desk\""));
}

TEST(Records, RoundTripThroughTheEncoderReplyForm)
{
    // the encoder answers a request with the record line and CR LF
    GroupRow g = completeGroup();
    GroupRow gBack;
    gBack[grpReference] = QStringLiteral("kept");
    EXPECT_EQ(ReadGroupReply(GroupRecord(g, 1) + kCRLF, gBack), 30);
    g[grpReference] = QStringLiteral("kept");
    EXPECT_EQ(gBack, g);

    FamilyRow f = completeFamily();
    FamilyRow fBack;
    EXPECT_EQ(ReadFamilyReply(FamilyRecord(f, 2) + kCRLF, fBack), 11);
    EXPECT_EQ(fBack, f);

    for (const char *text : {"Call the desk  now", "", "x", "\xe9t\xe9 - 100%"}) {
        for (int n : {1, 9, 10, 15}) {
            const QString m = QString::fromLatin1(text);
            EXPECT_EQ(MessageFromReply(MessageRecord(m, n) + kCRLF), m) << text << " #" << n;
        }
    }
}

TEST(Records, GroupReplyGivesTheFieldsItLeavesOutTheUnusedGroupsValues)
{
    GroupRow row = completeGroup();
    row[grpComplete].clear();
    EXPECT_EQ(ReadGroupReply(QStringLiteral("L 2 0300 0 1 07 0 00 0 00\r\n"), row), 10);
    EXPECT_EQ(row[grpGroupID], QStringLiteral("0300"));
    EXPECT_EQ(row[grpTrigger1Msg], QStringLiteral("07"));
    EXPECT_EQ(row[grpTimerMsg], QStringLiteral("00"));
    // not the pager IDs the row held before
    EXPECT_EQ(row[grpPagerID1], QStringLiteral("0000"));
    EXPECT_EQ(row[grpPagerID20], QStringLiteral("0000"));
    EXPECT_EQ(row[grpComplete], QStringLiteral("YES"));
    EXPECT_EQ(row[grpReference], QStringLiteral("front desk"));

}

TEST(Records, FamilyReplyForms)
{
    const FamilyRow before = family({"1", "0004000", "2", "N", "1", "020", "500", "03", "04", ""});
    struct Case {
        const char *reply;
        int tokens;
        FamilyRow expected;
    } cases[] = {
        // letter, number and one more: the unused family, marked complete
        {"G 5 1\r\n", 3, family({"0", "0000000", "5", "A", "3", "000", "0000", "00", "00", "YES"})},
        // inactive with quantity "000": unused
        {"G 5 0 0001234 5 A 3 000 0100 00 00\r\n", 11,
         family({"0", "0000000", "5", "A", "3", "000", "100", "00", "00", ""})},
        // the empty record read back has quantity "0", so it counts as complete
        {"G 5 0 8 5 A 0 0 0 0 0\r\n", 11, family({"0", "8", "5", "A", "0", "0", "0", "0", "0", "YES"})},
        // the fields a short reply lacks take the unused family's values
        {"G 5 1 0001000 5\r\n", 5, family({"1", "0001000", "5", "A", "3", "000", "0000", "00", "00", "YES"})},
        // extra tokens are ignored
        {"G 5 1 0001000 5 A 3 010 1000 00 00 99 98\r\n", 13,
         family({"1", "0001000", "5", "A", "3", "010", "1000", "00", "00", "YES"})},
        {"", 0, family({"0", "0000000", "5", "A", "3", "000", "0000", "00", "00", ""})},
    };
    for (const Case &c : cases) {
        FamilyRow row = before;
        EXPECT_EQ(ReadFamilyReply(QString::fromLatin1(c.reply), row), c.tokens) << c.reply;
        EXPECT_EQ(row, c.expected) << c.reply;
    }
}

TEST(Records, StartIdLosesPaddingButNeverDigitsThatCount)
{
    struct Case {
        const char *sent;
        const char *stored;
    } cases[] = {
        {"0123", "123"}, {"0012", "012"}, {"0000", "0000"}, {"123", "123"}, {"1234", "1234"},
        {"012", "012"},  {"00123", "123"}, {"01234", "1234"}, {"0x12", "0x12"},
    };
    for (const Case &c : cases) {
        FamilyRow row;
        ReadFamilyReply(QStringLiteral("G 1 1 0001000 5 A 3 010 %1 00 00\r\n").arg(QString::fromLatin1(c.sent)), row);
        EXPECT_EQ(row[famStartID], QString::fromLatin1(c.stored)) << c.sent;
    }
}

TEST(Records, MessageRepliesShortOrGarbled)
{
    struct Case {
        const char *reply;
        const char *message;
    } cases[] = {
        {"M 1 \"\"\r\n", ""},          // 8 characters: the empty message
        {"M 12 \"\"\r\n", ""},         // 9 characters, empty by the general rule
        {"M 3 \"Fire drill\"\r\n", "Fire drill"},
        {"M 3 \"a\"b\"\r\n", "a\"b"},  // the first quote opens, the last three characters close
        {"M 1 \"\r\n", ""},            // too short for quote, text and line end
        {"\"", ""},
        {"", ""},
        {"\r\n", ""},
        {"abc\r\n", "ab"},             // no quote at all: everything but the last three
    };
    for (const Case &c : cases)
        EXPECT_EQ(MessageFromReply(QString::fromLatin1(c.reply)), QString::fromLatin1(c.message)) << c.reply;
}

TEST(Records, ReplyGoesToTheRowOfItsNumber)
{
    PagerDatabase db;
    db.CannedMessages[14] = QStringLiteral("old");
    EXPECT_TRUE(ReadRecordReply(RecordKind::Message, 15, QStringLiteral("M 15 \"\"\r\n"), db));
    EXPECT_TRUE(ReadRecordReply(RecordKind::Family, 50, QStringLiteral("G 50 1\r\n"), db));
    EXPECT_EQ(db.CannedMessages[14], QString());
    EXPECT_EQ(db.Families[49][famStartCap], QStringLiteral("0000000"));

    const PagerDatabase before = db;
    EXPECT_FALSE(ReadRecordReply(RecordKind::Group, 11, QStringLiteral("L 11 1\r\n"), db));
    EXPECT_FALSE(ReadRecordReply(RecordKind::Message, 0, QStringLiteral("M 0 \"x\"\r\n"), db));
    EXPECT_EQ(db, before);
}

TEST(Records, OrderAndCaptions)
{
    const QList<RecordStep> order = RecordOrder();
    ASSERT_EQ(order.size(), 75);
    EXPECT_EQ(order[0], (RecordStep{RecordKind::Group, 1}));
    EXPECT_EQ(order[10], (RecordStep{RecordKind::Family, 1}));
    EXPECT_EQ(order[60], (RecordStep{RecordKind::Message, 1}));
    EXPECT_EQ(order[74], (RecordStep{RecordKind::Message, 15}));
    EXPECT_EQ(RecordCaption(RecordKind::Family, 17, true), QStringLiteral("Writing Pager Database - Family 17"));
    EXPECT_EQ(RecordCaption(RecordKind::Message, 3, false), QStringLiteral("Reading Pager Database - Message 3"));
}

TEST(Records, AckNeedsRsAndCrSideBySide)
{
    EXPECT_TRUE(HasRecordAck(wire("\x1e\r")));
    EXPECT_TRUE(HasRecordAck(wire("OK\x1e\r\n")));
    EXPECT_FALSE(HasRecordAck(wire("\x1e" "x\r")));
    EXPECT_FALSE(HasRecordAck(wire("\r\x1e")));
}

}  // namespace
