// The TAP engine against a scripted paging input on a pseudo-terminal.
#include "pagingfixture.h"

#include "paging/engines.h"
#include "support/checked.h"

#include <QElapsedTimer>

using namespace paging_test;
using testing_support::Last;

namespace {

// A page block runs to ETX and three checksum characters and a CR; the
// log-in texts end at their CR.
qsizetype tapCut(const QByteArray &b)
{
    if (b.isEmpty())
        return 0;
    if (b[0] == '\x02') {
        const qsizetype etx = b.indexOf('\x03');
        return etx >= 0 && b.size() >= etx + 5 ? etx + 5 : 0;
    }
    const qsizetype cr = b.indexOf('\r');
    return cr < 0 ? 0 : cr + 1;
}

const QByteArray kBlock("\x02" "123\rabc\r\x03" "1=;\r");
const QString kOut = QStringLiteral("TAP Output: PIN - '123', MSG - 'for the log'");
const QString kRetry = QStringLiteral("Retry TAP Output: PIN - '123', MSG - 'for the log'");

class TAPTest : public PagingFixture {
protected:
    int16_t send() { return OutTAP(QStringLiteral("123"), QStringLiteral("abc"), QStringLiteral("for the log")); }
    void expectIdle()
    {
        EXPECT_FALSE(link->Timer1.Enabled());
        EXPECT_FALSE(gWait.bTimer1Expired);
        EXPECT_FALSE(PageInProgress());
    }
    ScriptedInput input{peer, tapCut};
};

}  // namespace

TEST_F(TAPTest, AnAcknowledgedPageLogsTheOutputAndTheEcho)
{
    input.reply("\x06");
    EXPECT_EQ(send(), 1);
    ASSERT_EQ(input.frames().size(), 1);
    EXPECT_EQ(input.frames()[0], kBlock);
    EXPECT_EQ(log(), QStringList({kOut, "Encoder: <ACK>"}));
    EXPECT_EQ(host.list.currentRow(), 0);
    expectIdle();
}

TEST_F(TAPTest, ThreeNaksDiscardThePage)
{
    input.replies({"\x15", "\x15", "\x15"});
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames(), QList<QByteArray>({kBlock, kBlock, kBlock}));
    EXPECT_EQ(log(), QStringList({kOut, "Encoder: <NAK>", kRetry, "Encoder: <NAK>", kRetry, "Encoder: <NAK>",
                                  "ERROR - NAKed 3 Times by Paging System - Msg Discarded"}));
    expectIdle();
}

TEST_F(TAPTest, ANakThenAnAckSendsOnceMore)
{
    input.replies({"\x15\x1e" "511", "\x06"});  // NAK wins over RS
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames().size(), 2);
    EXPECT_EQ(log(), QStringList({kOut, "Encoder: <NAK><RS>511", kRetry, "Encoder: <ACK>"}));
}

TEST_F(TAPTest, BusyAnswersAreResentWithoutCountingAsNaks)
{
    platform::SetTimeScale(0.2);  // each busy answer waits out a tick
    input.replies({"\x1e" "111\r", "\x15", "\x1e" "111\r", "\x15", "\x1e" "111\r", "\x06"});
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames().size(), 6);
    const QString busy = QStringLiteral("Encoder: <RS>111<CR>");
    EXPECT_EQ(log(), QStringList({kOut, busy, "Paging System Busy - Retrying", kRetry, "Encoder: <NAK>", kRetry, busy,
                                  "Paging System Busy - Retrying", kRetry, "Encoder: <NAK>", kRetry, busy,
                                  "Paging System Busy - Retrying", kRetry, "Encoder: <ACK>"}));
}

TEST_F(TAPTest, ABusyPagingSystemGetsATickBeforeEachResendAndIsGivenUpAfterTen)
{
    platform::SetTimeScale(0.2);
    int ticks = 0;
    QObject::connect(&link->Timer1, &platform::Timer::fired, [&] { ++ticks; });
    QList<int> ticksAtFrame;
    input.afterFrame = [&](int) { ticksAtFrame << ticks; };
    for (int i = 0; i < 20; ++i)
        input.reply("\x1e" "111");
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames().size(), 11);
    // the answers come at once: only the pauses between the sends tick
    ASSERT_EQ(ticksAtFrame.size(), 11);
    for (int i = 0; i < 11; ++i)
        EXPECT_GE(ticksAtFrame[i], i) << "send " << i + 1;
    EXPECT_EQ(log().count(QStringLiteral("Paging System Busy - Retrying")), 10);
    EXPECT_EQ(Last(log()), "ERROR - Paging System Busy, Retried 10 Times - Msg Discarded");
    expectIdle();
}

TEST_F(TAPTest, RsCodesOtherThanBusyDiscardThePage)
{
    input.reply("\x1e" "511\r");
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(log(), QStringList({kOut, "Encoder: <RS>511<CR>", "ERROR - PIN Rejected by Paging System - Msg Discarded"}));
    host.list.clear();
    input.reply("\x1e" "222");
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(log(), QStringList({kOut, "Encoder: <RS>222", "ERROR - Message Rejected by Paging System - Msg Discarded"}));
}

TEST_F(TAPTest, XoffOrStrayTextCountsAsSent)
{
    input.reply("\x13");
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(log(), QStringList({kOut, "Encoder: <XOFF>"}));
}

TEST_F(TAPTest, SilenceIsReportedAfterTheTick)
{
    platform::SetTimeScale(0.2);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(send(), 1);
    EXPECT_GE(clock.elapsed(), 150);
    EXPECT_EQ(log(), QStringList({kOut, "Encoder: ", "ERROR - No Response from Paging System"}));
    expectIdle();
}

TEST_F(TAPTest, AClosedPortLogsTheErrorAndNothingElse)
{
    link->MSComm1.setPortOpen(false);
    EXPECT_EQ(send(), 1);
    ASSERT_EQ(log().size(), 2);
    EXPECT_EQ(log()[0], kOut);
    EXPECT_TRUE(log()[1].startsWith(QStringLiteral("ERROR - ")));
    EXPECT_GT(log()[1].size(), 8);
}

TEST_F(TAPTest, ALoginRequestIsAnsweredWithTheTerminalIdAndThePageGoesAgain)
{
    platform::SetTimeScale(0.2);
    input.replies({"ID=", "[p\r", "\x06"});
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames(), QList<QByteArray>({kBlock, QByteArray("\x1b" "PG1\r"), kBlock}));
    EXPECT_EQ(log(), QStringList({kOut, "Encoder: ID=", "Paging System Requires Login, Logging In",
                                  "Encoder: ID=<CR><LF>", "Sending Terminal ID", kOut, "Encoder: <ACK>"}));
    // later page waits keep the log-in's interval
    EXPECT_EQ(link->Timer1.Interval(), 3000);
    expectIdle();
}

TEST_F(TAPTest, WithoutAGoAheadCarriageReturnsAskForAFreshPrompt)
{
    platform::SetTimeScale(0.1);
    // terminal ID unanswered, the second CR brings "ID=", then the go-ahead
    input.replies({"ID=", "", "", "ID=", "[p\r", "\x06"});
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames(), QList<QByteArray>({kBlock, QByteArray("\x1b" "PG1\r"), "\r", "\r",
                                                 QByteArray("\x1b" "PG1\r"), kBlock}));
    EXPECT_EQ(log().count(QStringLiteral("Sending Terminal ID")), 2);
    EXPECT_EQ(Last(log()), "Encoder: <ACK>");
    EXPECT_EQ(link->Timer1.Interval(), 3000);
}

TEST_F(TAPTest, ThreeUnansweredCarriageReturnsEndTheLogin)
{
    platform::SetTimeScale(0.05);
    input.reply("ID=");
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames(), QList<QByteArray>({kBlock, QByteArray("\x1b" "PG1\r"), "\r", "\r", "\r"}));
    EXPECT_EQ(Last(log()), "ERROR - Error Logging Into Paging System, Message Discarded");
    EXPECT_EQ(link->Timer1.Interval(), 2000);
    expectIdle();
}

TEST_F(TAPTest, APagingSystemThatAsksForALoginAfterEveryGoAheadIsGivenUp)
{
    platform::SetTimeScale(0.1);
    for (int i = 0; i < 6; ++i)
        input.replies({"ID=", "[p\r"});
    EXPECT_EQ(send(), 1);
    EXPECT_EQ(input.frames().size(), 7);  // three log-ins, four pages
    EXPECT_EQ(log().count(QStringLiteral("Sending Terminal ID")), 3);
    EXPECT_EQ(Last(log()), "ERROR - Error Logging Into Paging System, Message Discarded");
}

TEST_F(TAPTest, NoSecondPageStartsWhileOneWaits)
{
    int16_t inner = -1;
    bool busyInside = false;
    input.afterFrame = [&](int) {
        busyInside = PageInProgress();
        inner = OutComp1(QStringLiteral("second"));
    };
    input.reply("\x06");
    EXPECT_EQ(send(), 1);
    EXPECT_TRUE(busyInside);
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(input.frames().size(), 1);
    EXPECT_TRUE(input.leftover().isEmpty());
    EXPECT_EQ(log(), QStringList({kOut, "Encoder: <ACK>"}));
    EXPECT_FALSE(PageInProgress());
}
