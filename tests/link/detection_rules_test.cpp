// The window-free rules of the search, the properties dialog and the lookup:
// the attempt table, reply classification, version parsing, model label,
// settings text fields, rewording and the capcode check.
#include "app/lookup.h"
#include "link/detection.h"
#include "link/frmproperties.h"
#include "support/prompts.h"

#include <gtest/gtest.h>

TEST(DetectionRules, NineAttemptsInTheirOrderWithTheirProbeTimeOuts)
{
    const auto &a = DetectAttempts();
    const std::pair<const char *, int> expected[] = {
        {"", 1500},           {"9600,n,8,1", 1500}, {"9600,e,7,1", 1500}, {"2400,n,8,1", 3000}, {"2400,e,7,1", 3000},
        {"1200,n,8,1", 6000}, {"1200,e,7,1", 6000}, {"300,n,8,1", 7500},  {"300,e,7,1", 7500}};
    ASSERT_EQ(a.size(), 9u);
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].settings, QString::fromLatin1(expected[i].first)) << i + 1;
        EXPECT_EQ(a[i].probeTimeoutMs, expected[i].second) << i + 1;
    }
}

TEST(DetectionRules, IdentifyRepliesAreClassifiedByTheFirstTestThatHolds)
{
    const std::pair<const char *, IdentifyReply> cases[] = {
        {"Quorvane Paging Encoder v8.2\r\nID=", IdentifyReply::LogOnPrompt},  // both: the ID branch
        {"ID=", IdentifyReply::LogOnPrompt},
        {"Quorvane Paging Encoder v8.2\r\n", IdentifyReply::Identified},
        {"\r\nCOMP1>", IdentifyReply::Comp1Prompt},
        {"\r\nCOMP2>", IdentifyReply::Comp2Prompt},
        {"COMP1>COMP2>", IdentifyReply::Comp1Prompt},
        {"ATI\r\x07\r", IdentifyReply::Echo},
        {"ATI\r\r", IdentifyReply::Unknown},
        {"INVALID\r\n", IdentifyReply::Invalid},
        {"\r\nError - Invalid Command\r\n", IdentifyReply::Invalid},
        {"Error - Invalid Command", IdentifyReply::Unknown},  // the LF belongs to the test
        {"comp1>", IdentifyReply::Unknown},                    // exact case
        {"id=", IdentifyReply::Unknown},
        {"", IdentifyReply::Unknown},
    };
    for (const auto &[reply, kind] : cases)
        EXPECT_EQ(ClassifyIdentifyReply(QString::fromLatin1(reply)), kind) << reply;
}

TEST(DetectionRules, VersionIsTheTextBetweenTheVAfterEncoderAndTheNextCR)
{
    const std::pair<const char *, const char *> cases[] = {
        {"Quorvane Paging Encoder v8.02\r\nID=", "8.02"},
        {"Encoder v8.02\r", "8.02"},
        {"Encoderv9\r", "9"},
        {"vvv Encoder x v7.1.4\r", "7.1.4"},  // a "v" before "Encoder" does not count
        {"Encoder v8.02", ""},                // no CR after the v
        {"Encoder 8.02\r", ""},               // no v
        {"123456v7.1\r", "7.1"},              // without "Encoder" the search starts at the seventh character
        {"12345v7.1\r", ""},
        {"Encoder V8.0\r", ""},  // exact case
        {"", ""},
    };
    for (const auto &[reply, version] : cases)
        EXPECT_EQ(ParseEncoderVersion(QString::fromLatin1(reply)), QString::fromLatin1(version)) << reply;
    EXPECT_TRUE(IsVersion7(QStringLiteral("7.1")));
    EXPECT_FALSE(IsVersion7(QStringLiteral("8.7")));
    EXPECT_FALSE(IsVersion7(QString()));
}

TEST(DetectionRules, ModelLabelFollowsTheBeginningOfTheLastReply)
{
    EXPECT_EQ(ModelLabel(QStringLiteral("Quorvane Paging Encoder v8.2.6\r\nID=")), "Paging Encoder V8");
    EXPECT_EQ(ModelLabel(QStringLiteral("Entering TAP Programming Mode at 9600 baud\r\n")), "Paging Encoder V8");
    EXPECT_EQ(ModelLabel(QStringLiteral("Quorvane Paging Encoder v7.1.4\r\nID=")), "Paging Encoder V7");
    EXPECT_EQ(ModelLabel(QStringLiteral("\r\nEntering TAP")), "Paging Encoder V7");
    EXPECT_EQ(ModelLabel(QString()), "Paging Encoder V7");
}

TEST(PropertiesRules, SettingsFieldsAreReadFromTheEnd)
{
    SettingsFields f = SplitSettingsText(QStringLiteral("9600,n,8,1"));
    EXPECT_EQ(f.speed, "9600");
    EXPECT_EQ(f.parity, "n");
    EXPECT_EQ(f.dataBits, "8");
    f = SplitSettingsText(QStringLiteral("300,e,7,1"));
    EXPECT_EQ(f.speed, "300");
    EXPECT_EQ(f.parity, "e");
    EXPECT_EQ(f.dataBits, "7");
    f = SplitSettingsText(QStringLiteral("2400,o,7,1.5"));  // stop bits 1.5 shift the fields by two
    EXPECT_EQ(f.speed, "2400");
    EXPECT_EQ(f.parity, "o");
    EXPECT_EQ(f.dataBits, "7");
    f = SplitSettingsText(QString());
    EXPECT_TRUE(f.speed.isEmpty() && f.parity.isEmpty() && f.dataBits.isEmpty());
    f = SplitSettingsText(QStringLiteral("n,8,1"));
    EXPECT_TRUE(f.speed.isEmpty());
    EXPECT_EQ(f.parity, "n");
}

TEST(LookupRules, RepliesAreRewordedInOrderAndInExactCase)
{
    EXPECT_EQ(RewordLookupReply(QStringLiteral("list 3 capcode 0001234 msg enc:A baud:512 func bits:10\r\n")),
              "Group 3, Cap=0001234 Type=A Rate=512, Func=3\r\n");
    EXPECT_EQ(RewordLookupReply(QStringLiteral(" func bits:00 func bits:01 func bits:11")), ", Func=1, Func=2, Func=4");
    EXPECT_EQ(RewordLookupReply(QStringLiteral("LIST 2 CAPCODE list")), "LIST 2 CAPCODE Group");
    EXPECT_EQ(RewordLookupReply(QString()), "");
}

TEST(LookupRules, ControlCharactersStayOffTheLine)
{
    EXPECT_EQ(LookupEntryForWire(QStringLiteral("12\t3\r\n4\x01\x7f")), "1234");
    EXPECT_EQ(LookupEntryForWire(QStringLiteral("A 12")), "A 12");
}

TEST(LookupRules, CapcodeCheckInIDAsCapcodeMode)
{
    const std::pair<const char *, CapcodeCheck> cases[] = {
        {"8", CapcodeCheck::Illegal},        {"0", CapcodeCheck::Illegal},
        {"9", CapcodeCheck::Valid},          {"2097143", CapcodeCheck::Valid},
        {"2097144", CapcodeCheck::TooLarge}, {"2045056", CapcodeCheck::Illegal},
        {"2045063", CapcodeCheck::Illegal},  {"2045064", CapcodeCheck::Valid},
        {"2007664", CapcodeCheck::Illegal},  {"2007671", CapcodeCheck::Illegal},
        {"2007663", CapcodeCheck::Valid},    {"12a", CapcodeCheck::Illegal},
        {"-12", CapcodeCheck::Illegal},      {" 12", CapcodeCheck::Illegal},
        {"00000123", CapcodeCheck::Valid},   {"", CapcodeCheck::Illegal},
        {"2147483647", CapcodeCheck::TooLarge},
        {"99999999999", CapcodeCheck::Illegal},  // too long to be a number
    };
    for (const auto &[entry, check] : cases)
        EXPECT_EQ(CheckIDAsCapcode(QString::fromLatin1(entry)), check) << entry;
    EXPECT_EQ(CheckIDAsCapcode(QStringLiteral("١٢")), CapcodeCheck::Illegal);  // digits of another script
}

TEST(LookupRules, AnswersAndBoxesOfTheLocalCheck)
{
    EXPECT_EQ(IDAsCapcodeAnswer(QStringLiteral("1234")), "ID \"1234\", Cap=0001234, Type=A, Rate=512 Func=4");
    EXPECT_EQ(IDAsCapcodeAnswer(QStringLiteral("00000123")), "ID \"00000123\", Cap=00000123, Type=A, Rate=512 Func=4");
    const QString rest = testing_support::lines({"The Capcode value cannot include alpha characters",
                                                 "or the following illegal Capcodes:", "", "0 through 8",
                                                 "2007664 through 2007671", "2045056 through 2045063",
                                                 "or greater than 2097143"});
    EXPECT_EQ(InvalidCapcodeText(CapcodeCheck::Illegal),
              QStringLiteral("Pager ID as Capcode mode is active for Port 1\r") + rest);
    EXPECT_EQ(InvalidCapcodeText(CapcodeCheck::TooLarge), QStringLiteral("Pager ID as Capcode mode is active\r") + rest);
}
