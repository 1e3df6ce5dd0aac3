// COMP1, COMP2 and SNPP against a scripted paging input.
#include "pagingfixture.h"

#include "paging/engines.h"

#include <QFile>
#include <QTemporaryDir>

using namespace paging_test;

namespace {

// A COMP2 packet ends at its second CR.
qsizetype comp2Cut(const QByteArray &b)
{
    const qsizetype first = b.indexOf('\r');
    if (first < 0)
        return 0;
    const qsizetype second = b.indexOf('\r', first + 1);
    return second < 0 ? 0 : second + 1;
}

const QByteArray kPacket("\x7f\x7f\x7f" "1234B\rHello\r");
const QString kComp2 = QStringLiteral("COMP2 Output, PIN - '1234', FC - 'B', MSG - 'Hello'");
const QString kRetry = QStringLiteral("Retry Paging System Output, PIN - '1234', MSG - 'Hello'");

class Comp1Test : public PagingFixture {};

class Comp2Test : public PagingFixture {
protected:
    int16_t send(const QString &fc = QStringLiteral("B"))
    {
        return OutComp2(QStringLiteral("1234"), QStringLiteral("Hello"), fc);
    }
    ScriptedInput input{peer, comp2Cut};
};

class SNPPTest : public PagingFixture {
protected:
    int16_t send() { return OutSNPP(QStringLiteral("1234"), QStringLiteral("Hello"), QStringLiteral("D")); }
    ScriptedInput input{peer, ScriptedInput::endsWith("\r\n")};
};

const QString kSnpp = QStringLiteral("SNPP Output, PIN - '1234', FC - 'D', MSG - 'Hello'");

}  // namespace

TEST_F(Comp1Test, TheMessageGoesOutAsOneLineAndTheBoxsPagerIdIsLogged)
{
    host.pin = QStringLiteral("12");
    EXPECT_EQ(OutComp1(QStringLiteral("Hello")), 1);
    EXPECT_EQ(peer.readUntil("\n"), QByteArray("Hello\r\n"));
    EXPECT_EQ(log(), QStringList({"COMP1 Output: PIN - '12', MSG - 'Hello'"}));
    EXPECT_EQ(host.list.currentRow(), 0);
}

TEST_F(Comp1Test, AClosedPortDiscardsTheMessage)
{
    link->MSComm1.setPortOpen(false);
    EXPECT_EQ(OutComp1(QStringLiteral("Hello")), 0);
    EXPECT_EQ(log(), QStringList({"ERROR - COM Port Not Open, Message Discarded for Serial Port Plain Text Output"}));
}

TEST_F(Comp2Test, ThePromptEndsTheWaitAndIsEchoed)
{
    gWait.bCancelRequested = true;
    input.reply("okay\r\nCOMP2>");
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(host.ticks, 0);
    EXPECT_EQ(input.frames(), QList<QByteArray>({kPacket}));
    EXPECT_EQ(log(), QStringList({kComp2, "Encoder: okay<CR><LF>COMP2>"}));
    EXPECT_EQ(host.list.currentRow(), 0);  // the echo goes in as AddLogLine puts it
    EXPECT_FALSE(gWait.bCancelRequested);
    EXPECT_FALSE(host.tick.Enabled());
    EXPECT_FALSE(gWait.bTimer1Expired);
}

TEST_F(Comp2Test, AnEmptyFunctionCodeIsLeftOutOfPacketAndLine)
{
    input.reply("okay\r\nCOMP2>");
    EXPECT_EQ(send(QString()), 1);
    EXPECT_EQ(input.frames(), QList<QByteArray>({QByteArray("\x7f\x7f\x7f" "1234\rHello\r")}));
    EXPECT_EQ(log().first(), "COMP2 Output, PIN - '1234', MSG - 'Hello'");
}

TEST_F(Comp2Test, AnInvalidAddressIsLoggedThenTheReply)
{
    platform::SetTimeScale(0.25);
    input.reply("\x15" "03");
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames().size(), 1);
    EXPECT_EQ(log(), QStringList({kComp2, "ERROR - Invalid Address - Msg Rejected by Paging System - Msg Discarded",
                                  "Encoder: <NAK>03"}));
}

TEST_F(Comp2Test, FourOverflowsSendFourTimesThenGiveUp)
{
    platform::SetTimeScale(0.25);
    input.replies({"\x15" "04", "\x15" "05", "\x15" "08", "\x15" "04"});
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(input.frames(), QList<QByteArray>({kPacket, kPacket, kPacket, kPacket}));
    const QString overflow = QStringLiteral("Paging System Buffer Overflow Detected, Resending Message");
    EXPECT_EQ(log(), QStringList({kComp2, overflow, kRetry, overflow, kRetry, "Msg Formatting Error, Resending Message",
                                  kRetry, overflow, "ERROR - Retried 3 Times, Msg Discarded"}));
}

TEST_F(Comp2Test, AnUnlistedCodeRepeatsTheAttemptLineThenEchoes)
{
    platform::SetTimeScale(0.25);
    input.reply("\x15" "07");
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(log(), QStringList({kComp2, kComp2, "Encoder: <NAK>07"}));
}

TEST_F(Comp2Test, SilenceRepeatsTheAttemptLineInListAndFile)
{
    platform::SetTimeScale(0.25);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("c2.log"));
    prompts.answerFile(path);
    OpenCommLogFile();
    host.list.clear();
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(log(), QStringList({kComp2, kComp2}));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    EXPECT_TRUE(all.endsWith("\r\n" + kComp2.toLatin1() + "\r\n" + kComp2.toLatin1() + "\r\n")) << all.constData();
}

TEST_F(Comp2Test, AClosedPortIsReportedAndEndsTheEngine)
{
    link->MSComm1.setPortOpen(false);
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(log(), QStringList({kComp2, "ERROR - Port not open"}));
}

TEST_F(Comp2Test, ATickTimerStoppedByOtherCodeEndsTheWaitInsteadOfHangingIt)
{
    input.afterFrame = [this](int) { host.tick.setEnabled(false); };
    EXPECT_EQ(send(), 1);  // returns: the wait found its tick off
    EXPECT_EQ(log(), QStringList({kComp2, kComp2}));
}

TEST_F(SNPPTest, AFullDialogueLeavesOneLine)
{
    input.replies({"250 Pager ID Accepted\r\n", "250 Message OK\r\n", "250 Sent\r\n"});
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames(), QList<QByteArray>({"PAGE 1234D\r\n", "MESS Hello\r\n", "SEND\r\n"}));
    EXPECT_EQ(log(), QStringList({kSnpp}));
    EXPECT_FALSE(host.tick.Enabled());
}

TEST_F(SNPPTest, AnInvalidPagerIdEndsBeforeTheMessage)
{
    input.replies({"550 Error, Invalid Pager ID\r\n", "250 RESET OK\r\n"});
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames(), QList<QByteArray>({"PAGE 1234D\r\n", "RESE\r\n"}));
    EXPECT_EQ(log(), QStringList({kSnpp, "ERROR - Invalid Pager ID - Msg Rejected by Paging System - Msg Discarded",
                                  "Encoder: 550 Error, Invalid Pager ID<CR><LF>"}));
}

TEST_F(SNPPTest, ACodeFollowedByTheLineEndIsAnUnlistedCode)
{
    input.replies({"550 04\r\n", "250 RESET OK\r\n"});
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames(), QList<QByteArray>({"PAGE 1234D\r\n", "RESE\r\n"}));
    EXPECT_EQ(log(), QStringList({kSnpp, kSnpp, "Encoder: 550 04<CR><LF>"}));
}

TEST_F(SNPPTest, AnOverflowStartsAgainFromThePageCommand)
{
    platform::SetTimeScale(0.25);
    input.replies({"550 05", "250 a\r\n", "250 b\r\n", "250 c\r\n"});
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames(), QList<QByteArray>({"PAGE 1234D\r\n", "PAGE 1234D\r\n", "MESS Hello\r\n", "SEND\r\n"}));
    EXPECT_EQ(log(), QStringList({kSnpp, "Paging System Buffer Overflow Detected, Resending Message", kRetry}));
}

TEST_F(SNPPTest, ARefusedMessageIsEchoedAndNoSendFollows)
{
    input.replies({"250 ok\r\n", "554 Too long\r\n", "250 RESET OK\r\n"});
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames(), QList<QByteArray>({"PAGE 1234D\r\n", "MESS Hello\r\n", "RESE\r\n"}));
    EXPECT_EQ(log(), QStringList({kSnpp, "Encoder: 554 Too long<CR><LF>"}));
}

TEST_F(SNPPTest, AFailedWriteIsLoggedAtOnceAndEndsThePageAsAFailureInEveryLineEngine)
{
    const QString message = QStringLiteral("\u03A9 ok");
    const QString error = QStringLiteral("ERROR - The text holds the character \u201C\u03A9\u201D (U+03A9), "
                                         "which has no byte in the code page");
    host.pin = QStringLiteral("12");
    EXPECT_EQ(OutComp1(message), 0);
    EXPECT_EQ(log(), QStringList({error}));
    host.list.clear();
    EXPECT_EQ(OutComp2(QStringLiteral("1234"), message, QStringLiteral("B")), 0);
    EXPECT_EQ(log(), QStringList({"COMP2 Output, PIN - '1234', FC - 'B', MSG - '" + message + "'", error}));
    host.list.clear();
    // the pager ID was taken before the message failed: the server is reset
    input.replies({"250 Pager ID Accepted\r\n", "250 RESET OK\r\n"});
    EXPECT_EQ(OutSNPP(QStringLiteral("1234"), message, QStringLiteral("D")), 0);
    EXPECT_EQ(log(), QStringList({"SNPP Output, PIN - '1234', FC - 'D', MSG - '" + message + "'", error}));
    EXPECT_EQ(input.frames(), QList<QByteArray>({"PAGE 1234D\r\n", "RESE\r\n"}));
    EXPECT_TRUE(input.leftover().isEmpty());
    EXPECT_FALSE(host.tick.Enabled());
}

TEST_F(SNPPTest, LeavingTheProgramDuringAWaitReturnsAtOnce)
{
    input.afterFrame = [](int) { gRun.bExiting = true; };
    EXPECT_EQ(send(), 0);
    EXPECT_EQ(host.ticks, 0);
    EXPECT_EQ(log(), QStringList({kSnpp}));
}
