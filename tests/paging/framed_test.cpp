// The maker's framed protocol and Scope against a scripted paging input.
#include "pagingfixture.h"

#include "paging/engines.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

using namespace paging_test;

namespace {

const QByteArray kFrame("\x01" "420001234\x02" "Hi\x03\x04");
const QString kFirst = QStringLiteral("Quorvane Output, PIN - '0001234', FC - 'D', MSG - 'Hi', DR - '2400'");
const QString kRetry = QStringLiteral("Retry Paging System Output, PIN - '0001234', MSG - 'Hi'");

class PagingFramedTest : public PagingFixture {
protected:
    int16_t send() { return OutQuorvane(QStringLiteral("0001234"), QStringLiteral("Hi"), QStringLiteral("D"), QStringLiteral("2400")); }
    void expectIdle()
    {
        EXPECT_FALSE(host.tick.Enabled());
        EXPECT_FALSE(gWait.bTimer1Expired);
    }
    ScriptedInput input{peer, ScriptedInput::endsWith("\x03\x04")};
};

}  // namespace

TEST_F(PagingFramedTest, AnEotAnswerIsLoggedWithTheTimeStamp)
{
    input.reply("\x04");
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames(), QList<QByteArray>({kFrame}));
    EXPECT_EQ(log(), QStringList({kFirst, kStamp + ": Paging System: <EOT>"}));
    EXPECT_EQ(link->MSComm1.Handshaking(), platform::SerialPort::Handshake::RtsCtsXonXoff);
    expectIdle();
}

TEST_F(PagingFramedTest, FourOverflowAnswersSendFourTimesThenGiveUp)
{
    for (int i = 0; i < 4; ++i)
        input.reply("\x15" "05\x04");
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(input.frames(), QList<QByteArray>({kFrame, kFrame, kFrame, kFrame}));
    const QString overflow = kStamp + ": Paging System Buffer Overflow Detected, Resending Message";
    EXPECT_EQ(log(), QStringList({kFirst, overflow, kRetry, overflow, kRetry, overflow, kRetry, overflow,
                                  "ERROR - Retried 3 Times, Msg Discarded"}));
    expectIdle();
}

TEST_F(PagingFramedTest, AFormattingErrorIsResentAndTheNextAnswerLogged)
{
    input.replies({"\x15" "08\x04", "\x06\x04"});
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames().size(), 2);
    EXPECT_EQ(log(), QStringList({kFirst, kStamp + ": Msg Formatting Error, Resending Message", kRetry,
                                  kStamp + ": Paging System: <ACK><EOT>"}));
}

TEST_F(PagingFramedTest, AnInvalidAddressIsNotResent)
{
    input.reply("\x15" "03\x04");
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames().size(), 1);
    EXPECT_EQ(log(), QStringList({kFirst, kStamp + ": ERROR - Invalid Address - Msg Rejected by Paging System - Msg Discarded",
                                  kStamp + ": Paging System: <NAK>03<EOT>"}));
}

TEST_F(PagingFramedTest, AnUnlistedNakCodeIsReportedAsARefusal)
{
    input.reply("\x15" "7\x04");
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames().size(), 1);
    EXPECT_EQ(log(), QStringList({kFirst, kStamp + ": ERROR - Message Rejected by Paging System - Msg Discarded",
                                  kStamp + ": Paging System: <NAK>7<EOT>"}));
}

TEST_F(PagingFramedTest, SilenceIsReportedAfterOneTick)
{
    platform::SetTimeScale(0.2);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(send(), 1);
    EXPECT_GE(clock.elapsed(), 150);
    EXPECT_EQ(log(), QStringList({kFirst, kStamp + ": ERROR - No Response from Paging System"}));
    expectIdle();
}

namespace {
class ScopeTest : public PagingFixture {
protected:
    ScriptedInput input{peer, ScriptedInput::endsWith("\r")};
};
}  // namespace

TEST_F(ScopeTest, ScopeSendsRateLettersAndItsOwnLabel)
{
    input.replies({"\x15" "04\x04", "\x04"});
    EXPECT_EQ(OutScope(QStringLiteral("0001234"), QStringLiteral("Hi"), QStringLiteral("a"), QStringLiteral("512")), 1);
    EXPECT_EQ(input.frames(), QList<QByteArray>({"AN0001234aHi\r", "AN0001234aHi\r"}));
    EXPECT_EQ(log(), QStringList({"Scope Output, PIN - '0001234', FC - 'a', MSG - 'Hi', DR - '512'",
                                  kStamp + ": Paging System Buffer Overflow Detected, Resending Message",
                                  "Retry Paging System Output, PIN - '0001234', MSG - 'Hi'",
                                  kStamp + ": Paging System: <EOT>"}));
}

TEST_F(PagingFramedTest, AClosedPortIsReportedWithTheTimeStampAndNoWait)
{
    link->MSComm1.setPortOpen(false);
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(host.ticks, 0);
    expectIdle();
    ASSERT_EQ(log().size(), 2);
    EXPECT_EQ(log()[0], kFirst);
    EXPECT_TRUE(log()[1].startsWith(kStamp + ": ERROR - ")) << log()[1].toStdString();
    EXPECT_GT(log()[1].size(), (kStamp + ": ERROR - ").size());
}

TEST_F(PagingFramedTest, LeavingTheProgramEndsTheWaitAtOnceWithoutLoggingTheAnswer)
{
    input.afterFrame = [](int) { gRun.bExiting = true; };
    input.reply("\x15" "05");  // no EOT: only the exit can end the wait before its tick
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(host.ticks, 0);
    EXPECT_EQ(log(), QStringList({kFirst}));
    // nothing at all once the program is leaving
    host.list.clear();
    EXPECT_EQ(send(), 0);
    EXPECT_TRUE(log().isEmpty());
    EXPECT_EQ(input.frames().size(), 1);
}

TEST_F(PagingFramedTest, LinesGoToTheLogFileAsWellAndTheListStaysAt299)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("framed.log"));
    prompts.answerFile(path);
    OpenCommLogFile();
    ASSERT_NE(iLogFileNum, 0);
    for (int i = 0; i < 298; ++i)
        host.list.addItem(QStringLiteral("old"));
    ASSERT_EQ(host.list.count(), 299);
    input.reply("\x15" "03\x04");
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(host.list.count(), 299);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> records = f.readAll().split('\n');
    ASSERT_EQ(records.size(), 5);  // the opened line, three engine lines, nothing after the last CR LF
    EXPECT_TRUE(records[0].endsWith(": Log File Opened - " + path.toLatin1() + "\r"));
    EXPECT_EQ(records[1], kFirst.toLatin1() + "\r");
    EXPECT_EQ(records[2], (kStamp + ": ERROR - Invalid Address - Msg Rejected by Paging System - Msg Discarded\r").toLatin1());
    EXPECT_EQ(records[3], (kStamp + ": Paging System: <NAK>03<EOT>\r").toLatin1());
    EXPECT_TRUE(records[4].isEmpty());
}
