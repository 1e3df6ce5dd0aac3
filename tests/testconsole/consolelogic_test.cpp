// The console's window-free rules: which sender gets which arguments, the
// link settings, the archive file and the range test's texts.
#include "testconsole/testconsole.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testconsole;

namespace {
const Page kPage{QStringLiteral("123"), QStringLiteral("hello"), QStringLiteral("B"), QStringLiteral("1200")};
}

TEST(ConsoleDispatch, EachProtocolReachesItsSenderWithItsArguments)
{
    struct Row {
        const char *protocol;
        Engine engine;
        const char *pin;
        const char *fc;
        const char *rate;
    };
    const Row rows[] = {
        {"TAP", Engine::TAP, "123", "", ""},         {"PET", Engine::TAP, "123", "", ""},
        {"COMP1", Engine::Comp1, "", "", ""},        {"COMP2", Engine::Comp2, "123", "B", ""},
        {"QV", Engine::Quorvane, "0000123", "B", "1200"}, {"SCOPE", Engine::Scope, "0000123", "B", "1200"},
        {"SNPP", Engine::SNPP, "123", "B", ""},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.protocol);
        const EngineCall c = PlanPage(QString::fromLatin1(r.protocol), kPage, Caller::SendButton);
        EXPECT_EQ(c.engine, r.engine);
        EXPECT_EQ(c.pagerId, QString::fromLatin1(r.pin));
        EXPECT_EQ(c.functionCode, QString::fromLatin1(r.fc));
        EXPECT_EQ(c.dataRate, QString::fromLatin1(r.rate));
        EXPECT_EQ(c.message, "hello");
    }
}

TEST(ConsoleDispatch, UnknownOrWrongCaseProtocolSendsNothing)
{
    for (const char *p : {"tap", "Qv", "", "COMP3"}) {
        EXPECT_EQ(PlanPage(QString::fromLatin1(p), kPage, Caller::SendButton).engine, Engine::None);
        EXPECT_EQ(SendPlannedPage(PlanPage(QString::fromLatin1(p), kPage, Caller::SendButton)), 0);
    }
}

TEST(ConsoleDispatch, Comp2DropsTheFunctionCodeOfLongIDsOnlyFromTheSendButton)
{
    Page p = kPage;
    p.pagerId = QStringLiteral("1234567");
    EXPECT_EQ(PlanPage("COMP2", p, Caller::SendButton).functionCode, "B");
    p.pagerId = QStringLiteral("12345678");
    EXPECT_EQ(PlanPage("COMP2", p, Caller::SendButton).functionCode, "");
    EXPECT_EQ(PlanPage("COMP2", p, Caller::RangeTest).functionCode, "B");
}

TEST(ConsoleDispatch, FramedSendersGetSevenCharacterCapcodes)
{
    EXPECT_EQ(PaddedPagerID("123"), "0000123");
    EXPECT_EQ(PaddedPagerID(""), "0000000");
    EXPECT_EQ(PaddedPagerID("12345678"), "12345678");
    Page p = kPage;
    p.pagerId = QStringLiteral("12345678");
    EXPECT_EQ(PlanPage("QV", p, Caller::SendButton).pagerId, "12345678");
}

TEST(ConsoleDispatch, OptionButtonsReadAsLetterAndRate)
{
    EXPECT_EQ(FunctionCodeLetter(0), "A");
    EXPECT_EQ(FunctionCodeLetter(2), "C");
    EXPECT_EQ(FunctionCodeLetter(-1), "D");
    EXPECT_EQ(DataRateText(0), "512");
    EXPECT_EQ(DataRateText(1), "1200");
    EXPECT_EQ(DataRateText(-1), "2400");
}

TEST(ConsoleLink, SettingsAndStatusTexts)
{
    EXPECT_EQ(LinkSettingsText("9600", "N81"), "9600,n,8,1");
    EXPECT_EQ(LinkSettingsText("1200", "E71"), "1200,e,7,1");
    EXPECT_EQ(LinkSettingsText("300", "X"), "300,o,7,1");
    EXPECT_EQ(ProtocolStatusText("QV", "9600,n,8,1"), "Quorvane Protocol, 9600,n,8,1");
    EXPECT_EQ(ProtocolStatusText("SNPP", "2400,n,8,1"), "SNPP Protocol, 2400,n,8,1");
}

TEST(ConsoleLink, Comp1DefaultPager)
{
    bool defined = true;
    EXPECT_EQ(Comp1PagerID("0012", &defined), "12");
    EXPECT_TRUE(defined);
    EXPECT_EQ(Comp1PagerID("000", &defined), "");
    EXPECT_TRUE(defined);  // only exactly four zeros means "no pager"
    Comp1PagerID("0000", &defined);
    EXPECT_FALSE(defined);
}

TEST(ArchiveFile, RoundTripKeepsOrderCaseCommasAndQuotes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("messages.dat");
    const QStringList entries{"Test", "test", "a, \"quoted\" one", "  blanks  "};
    QString error;
    ASSERT_TRUE(WriteArchiveFile(path, entries, &error)) << error.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("Test\r\ntest\r\na, \"quoted\" one\r\n  blanks  \r\n"));
    f.close();
    bool opened = false;
    EXPECT_EQ(ReadArchiveFile(path, &opened), entries);
    EXPECT_TRUE(opened);
}

TEST(ArchiveFile, RewritingReplacesTheOldContentAndAnEmptyListLeavesAnEmptyFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("messages.dat");
    ASSERT_TRUE(WriteArchiveFile(path, {"one", "two", "three"}, nullptr));
    ASSERT_TRUE(WriteArchiveFile(path, {}, nullptr));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size(), 0);
}

TEST(ArchiveFile, MissingFileReadsEmptyAndLineBreaksSplitEntries)
{
    QTemporaryDir dir;
    bool opened = true;
    EXPECT_TRUE(ReadArchiveFile(dir.filePath("none.dat"), &opened).isEmpty());
    EXPECT_FALSE(opened);
    // an entry that held a line break comes back as one entry per line
    const QString path = dir.filePath("messages.dat");
    ASSERT_TRUE(WriteArchiveFile(path, {"first\nsecond"}, nullptr));
    EXPECT_EQ(ReadArchiveFile(path), QStringList({"first", "second"}));
    // high single-byte characters survive
    ASSERT_TRUE(WriteArchiveFile(path, {QString::fromUtf8("caf\u00e9")}, nullptr));
    EXPECT_EQ(ReadArchiveFile(path), QStringList({QString::fromUtf8("caf\u00e9")}));
}

TEST(ArchiveFile, AFolderThatCannotBeWrittenReportsTheSystemText)
{
    QString error;
    EXPECT_FALSE(WriteArchiveFile("/nonexistent-folder/messages.dat", {"x"}, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(RangeTexts, PagesAndCaptions)
{
    EXPECT_EQ(RangePageText("Test", 1), "Test 1");
    EXPECT_EQ(RangePageText("Test #", 12), "Test # 12");
    EXPECT_EQ(RangeCountdownCaption("Quorvane", 30), "Quorvane Range Test - Next Msg. in 30 Sec.");
    EXPECT_EQ(PagingTestCaption("Kordamere"), "Kordamere Paging Test");
    EXPECT_EQ(NextPageNumber(0), 1);
    EXPECT_EQ(NextPageNumber(32767), 1);
}

TEST(RangeTexts, CycleTimeRoundsHalvesToEvenAndRefusesNonNumbers)
{
    int16_t s = 0;
    ASSERT_TRUE(ParseCycleTime("30", &s));
    EXPECT_EQ(s, 30);
    ASSERT_TRUE(ParseCycleTime("-9", &s));
    EXPECT_EQ(s, -9);
    ASSERT_TRUE(ParseCycleTime(".5", &s));
    EXPECT_EQ(s, 0);
    ASSERT_TRUE(ParseCycleTime("1.5", &s));
    EXPECT_EQ(s, 2);
    ASSERT_TRUE(ParseCycleTime("2.5", &s));
    EXPECT_EQ(s, 2);
    EXPECT_FALSE(ParseCycleTime("", &s));
    EXPECT_FALSE(ParseCycleTime("ab", &s));
    EXPECT_FALSE(ParseCycleTime("99999", &s));
}
