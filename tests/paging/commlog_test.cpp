// The communications log list and its file.
#include "pagingfixture.h"

#include "paging/commlog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

using namespace paging_test;
using testing_support::SeenPrompt;
using platform::Answer;

namespace {

class CommLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSharedState();
        CloseCommLogFile();
        SetPagingHost(&host);
        SetLogClock([] { return QDateTime(QDate(2024, 11, 30), QTime(0, 7, 5)); });
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        platform::SetAppPath(dir.path());
    }
    void TearDown() override
    {
        CloseCommLogFile();
        SetPagingHost(nullptr);
        SetLogClock({});
        QLocale::setDefault(QLocale::c());
    }
    static QByteArray content(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    TestHost host;
    QTemporaryDir dir;
    testing_support::ScriptedPrompts prompts;
    const QByteArray opened = "11/30/24 12:07:05 AM: Log File Opened - ";
};

}  // namespace

TEST_F(CommLogTest, TheListNeverHoldsMoreThan299LinesAndKeepsTheLatestOnTop)
{
    for (int i = 1; i <= 299; ++i)
        AddLogLine(QString::number(i));
    EXPECT_EQ(host.list.count(), 299);
    EXPECT_EQ(host.list.item(298)->text(), "1");
    AddLogLine(QStringLiteral("300"));
    EXPECT_EQ(host.list.count(), 299);
    EXPECT_EQ(host.list.item(0)->text(), "300");
    EXPECT_EQ(host.list.item(298)->text(), "2");  // line 1 is gone
    InsertLogLine(QStringLiteral("301"));
    EXPECT_EQ(host.list.count(), 299);
    EXPECT_EQ(host.list.item(298)->text(), "3");
}

TEST_F(CommLogTest, AddLogLineSelectsTheNewLineTheEnginesInsertionDoesNot)
{
    AddLogLine(QStringLiteral("a"));
    AddLogLine(QStringLiteral("b"));
    EXPECT_EQ(host.list.currentRow(), 0);
    EXPECT_EQ(host.list.currentItem()->text(), "b");
    InsertLogLine(QStringLiteral("c"));
    EXPECT_EQ(host.list.currentItem()->text(), "b");
    EXPECT_EQ(host.oldestFirst(), QStringList({"a", "b", "c"}));
}

TEST_F(CommLogTest, WithoutAFileLinesGoToTheListOnly)
{
    WriteLogFileLine(QStringLiteral("nowhere"));
    LogListAndFile(QStringLiteral("list only"));
    EXPECT_EQ(iLogFileNum, 0);
    EXPECT_EQ(sLogLine, "list only");
    EXPECT_EQ(host.oldestFirst(), QStringList({"list only"}));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(CommLogTest, CancelInTheDialogOpensNothingAndSaysNothing)
{
    prompts.answerFile(QString());
    OpenCommLogFile();
    ASSERT_EQ(prompts.count(), 1);
    const SeenPrompt &p = prompts.last();
    EXPECT_EQ(p.title, "Open Communications Log File");
    EXPECT_EQ(p.filter, "Log Files (*.LOG)|*.log|All Files (*.*)|*.*");
    EXPECT_EQ(p.fileName, dir.path());
    EXPECT_EQ(iLogFileNum, 0);
    EXPECT_EQ(host.list.count(), 0);
}

TEST_F(CommLogTest, ANewFileBeginsWithTheOpenedLineAndTakesTheEnginesLinesWithCrLf)
{
    const QString path = dir.filePath(QStringLiteral("comm.log"));
    prompts.answerFile(path);
    OpenCommLogFile();
    EXPECT_EQ(prompts.count(), 1);  // no question for a file that is not there
    EXPECT_NE(iLogFileNum, 0);
    const QString first = QString::fromLatin1(opened) + path;
    EXPECT_EQ(host.oldestFirst(), QStringList({first}));
    EXPECT_EQ(host.list.currentRow(), 0);

    LogListAndFile(QStringLiteral("COMP2 Output, PIN - '12', MSG - 'x'"));
    AddLogLine(QStringLiteral("list only"));
    WriteLogFileLine(QStringLiteral("direct"));
    EXPECT_EQ(sLogFileLine, "direct\r\n");
    EXPECT_EQ(content(path), first.toLatin1() + "\r\nCOMP2 Output, PIN - '12', MSG - 'x'\r\ndirect\r\n");

    CloseCommLogFile();
    EXPECT_EQ(iLogFileNum, 0);
    LogListAndFile(QStringLiteral("after closing"));
    EXPECT_EQ(content(path), first.toLatin1() + "\r\nCOMP2 Output, PIN - '12', MSG - 'x'\r\ndirect\r\n");
}

TEST_F(CommLogTest, KeepingAnExistingFileAppendsToItsOldContent)
{
    const QString path = dir.filePath(QStringLiteral("old.log"));
    writeFile(path, "old line\r\n");
    prompts.answerFile(path);
    prompts.answer(Answer::No);
    OpenCommLogFile();
    ASSERT_EQ(prompts.count(), 2);
    EXPECT_EQ(prompts.last().text, QStringLiteral("Replace existing file - ") + path + QStringLiteral("?"));
    EXPECT_EQ(prompts.last().icon, platform::Icon::Question);
    EXPECT_EQ(prompts.last().buttons, platform::Buttons::YesNoCancel);
    EXPECT_EQ(content(path), "old line\r\n" + opened + path.toLatin1() + "\r\n");
}

TEST_F(CommLogTest, ReplacingAnExistingFileStartsItAfresh)
{
    const QString path = dir.filePath(QStringLiteral("old.log"));
    writeFile(path, "old line\r\n");
    prompts.answerFile(path);
    prompts.answer(Answer::Yes);
    OpenCommLogFile();
    EXPECT_EQ(content(path), opened + path.toLatin1() + "\r\n");
}

TEST_F(CommLogTest, CancelToTheReplaceQuestionShowsTheDialogAgain)
{
    const QString old = dir.filePath(QStringLiteral("old.log"));
    writeFile(old, "old line\r\n");
    const QString fresh = dir.filePath(QStringLiteral("fresh"));
    prompts.answerFile(old);
    prompts.answer(Answer::Cancel);
    prompts.answerFile(fresh);
    OpenCommLogFile();
    ASSERT_EQ(prompts.count(), 3);
    EXPECT_EQ(prompts.seen()[2].kind, prompts.seen()[0].kind);
    EXPECT_EQ(prompts.seen()[2].fileName, dir.path());
    EXPECT_EQ(content(old), "old line\r\n");
    // typed without an extension: it gets ".LOG"
    EXPECT_EQ(CommLogFilePath(), fresh + QStringLiteral(".LOG"));
    EXPECT_EQ(content(fresh + QStringLiteral(".LOG")), opened + fresh.toLatin1() + ".LOG\r\n");
}

TEST_F(CommLogTest, AFileThatCannotBeOpenedIsReportedAndLeavesNoFileOpen)
{
    const QString path = dir.filePath(QStringLiteral("no/such/folder/x.log"));
    prompts.answerFile(path);
    prompts.answer(Answer::OK);
    OpenCommLogFile();
    ASSERT_EQ(prompts.count(), 2);
    EXPECT_EQ(prompts.last().icon, platform::Icon::Exclamation);
    EXPECT_FALSE(prompts.last().text.isEmpty());
    EXPECT_EQ(iLogFileNum, 0);
    EXPECT_EQ(host.list.count(), 0);
}

TEST_F(CommLogTest, AFileThatOpensButCannotBeWrittenShowsTheSystemsText)
{
    // a name for the device that opens and fails every write with "disk full"
    const QString path = dir.filePath(QStringLiteral("full.log"));
    if (!QFileInfo(QStringLiteral("/dev/full")).isWritable() || !QFile::link(QStringLiteral("/dev/full"), path))
        GTEST_SKIP() << "no /dev/full here";
    prompts.answerFile(path);
    prompts.answer(Answer::No);  // keep the "existing file"
    prompts.answer(Answer::OK);
    OpenCommLogFile();
    ASSERT_EQ(prompts.count(), 3);
    EXPECT_EQ(prompts.last().text, QString::fromLocal8Bit(std::strerror(ENOSPC)));
    EXPECT_EQ(prompts.last().icon, platform::Icon::None);
    EXPECT_EQ(prompts.last().buttons, platform::Buttons::OK);
    EXPECT_EQ(prompts.last().title, platform::AppTitle());
    // the opening went on: the line is listed and the file stays in use
    EXPECT_EQ(host.oldestFirst(), QStringList({QString::fromLatin1(opened) + path}));
    EXPECT_NE(iLogFileNum, 0);
}

TEST_F(CommLogTest, OpeningASecondFileSendsLaterLinesThereOnly)
{
    const QString a = dir.filePath(QStringLiteral("a.log"));
    const QString b = dir.filePath(QStringLiteral("b.log"));
    prompts.answerFile(a);
    OpenCommLogFile();
    prompts.answerFile(b);
    OpenCommLogFile();
    LogListAndFile(QStringLiteral("line"));
    EXPECT_EQ(content(a), opened + a.toLatin1() + "\r\n");
    EXPECT_EQ(content(b), opened + b.toLatin1() + "\r\nline\r\n");
}

TEST(LogTimeStamp, MonthDayTwoDigitYearTwelveHourClock)
{
    SetLogClock([] { return QDateTime(QDate(2024, 3, 4), QTime(13, 5, 59)); });
    EXPECT_EQ(LogTimeStamp(), "3/4/24 1:05 PM");
    SetLogClock([] { return QDateTime(QDate(2009, 12, 25), QTime(0, 0)); });
    EXPECT_EQ(LogTimeStamp(), "12/25/09 12:00 AM");
    SetLogClock([] { return QDateTime(QDate(2031, 10, 1), QTime(12, 30)); });
    EXPECT_EQ(LogTimeStamp(), "10/1/31 12:30 PM");
    SetLogClock({});
}
