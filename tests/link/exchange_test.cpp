// The command exchange with the encoder over a pseudo-terminal: what goes out,
// when a wait ends and what it reports.
#include "database/state.h"
#include "link/encoderlink.h"
#include "link/exchange.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "support/prompts.h"
#include "support/ptypeer.h"
#include "support/simharness.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>
#include <memory>

using testing_support::PtyPeer;
using testing_support::ScriptedPrompts;


namespace {

class ExchangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSharedState();
        platform::SetTimeScale(1.0);
        ASSERT_TRUE(peer.isOpen());
        m_oldVar = qgetenv("QV_COM1");
        qputenv("QV_COM1", peer.slavePath().toLocal8Bit());
        link = std::make_unique<EncoderLink>();
        ASSERT_EQ(gLink, link.get());
        ASSERT_TRUE(link->MSComm1.setCommPort(1));
        ASSERT_TRUE(link->MSComm1.setPortOpen(true)) << link->MSComm1.ErrorText().toStdString();
    }
    void TearDown() override
    {
        link.reset();
        qputenv("QV_COM1", m_oldVar);
        platform::SetTimeScale(1.0);
        ResetSharedState();
    }

    // An exchange and how long it took.
    ExchangeResult run(const QString &command, Term term, bool flush, const QStringList &awaited, int timeoutMs,
                       bool cancellable = false)
    {
        QElapsedTimer clock;
        clock.start();
        ExchangeResult r = EncoderExchange(command, term, flush, awaited, timeoutMs, cancellable);
        elapsed = clock.elapsed();
        return r;
    }

    // Waits until `count` characters the peer wrote wait in the port (the
    // kernel hands them over on a thread of its own).
    bool arrived(int count) const
    {
        return QTest::qWaitFor([&] { return link->MSComm1.InBufferCount() >= count; });
    }

    // After every wait: timer stopped, time-out flag down.
    void expectIdle() const
    {
        EXPECT_FALSE(link->Timer2.Enabled());
        EXPECT_FALSE(gWait.bReplyTimeout);
    }

    PtyPeer peer;
    ScriptedPrompts prompts;
    std::unique_ptr<EncoderLink> link;
    qint64 elapsed = 0;

private:
    QByteArray m_oldVar;
};

}  // namespace

TEST_F(ExchangeTest, EachLineEndGoesOutWithTheCommandInOneWrite)
{
    const std::pair<Term, QByteArray> ends[] = {
        {Term::None, "#PrgmMode#"}, {Term::CR, "#PrgmMode#\r"}, {Term::CRCR, "#PrgmMode#\r\r"}, {Term::CRLF, "#PrgmMode#\r\n"}};
    for (const auto &[term, wire] : ends) {
        ASSERT_TRUE(EncoderSend(QStringLiteral("#PrgmMode#"), term));
        EXPECT_EQ(peer.readUntil(wire), wire) << int(term);

        peer.writeAfter(20, "9600 baud");
        const ExchangeResult r = run(QStringLiteral("#PrgmMode#"), term, false, {QStringLiteral("9600 baud")}, 2000);
        EXPECT_TRUE(r.found);
        EXPECT_EQ(peer.readUntil(wire), wire) << int(term);
    }
    // the send-only form does not wait and never touches the timer
    EXPECT_FALSE(link->Timer2.Enabled());
    EXPECT_EQ(TermText(Term::CRLF), "\r\n");
}

TEST_F(ExchangeTest, AReplyAtOnceIsFoundAtTheFirstTestAndReturnedUnchanged)
{
    const QByteArray reply = "ATI\r\x07\rQuorvane Paging Encoder v8.02\r\nID=";
    peer.write(reply);
    ASSERT_TRUE(arrived(int(reply.size())));
    const int pauses = platform::PausesEnded();
    const ExchangeResult r = run(QStringLiteral("ATI"), Term::CRCR, false, {QStringLiteral("ID=")}, 6000, true);
    EXPECT_EQ(platform::PausesEnded() - pauses, 1);  // the first test, after the first pause
    EXPECT_TRUE(r.found);
    EXPECT_FALSE(r.timedOut);
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(r.reply, "ATI\r\x07\rQuorvane Paging Encoder v8.02\r\nID=");
    expectIdle();
}

TEST_F(ExchangeTest, AnAwaitedTextSplitOverTwoPollsIsFound)
{
    peer.writeAfter(20, "Entering T");
    peer.writeAfter(200, "AP mode\r\n");
    const ExchangeResult r = run(QStringLiteral("#PrgmMode#"), Term::CR, true, {QStringLiteral("TAP")}, 3000, true);
    EXPECT_TRUE(r.found);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.reply, "Entering TAP mode\r\n");
    EXPECT_GE(elapsed, 200);
}

TEST_F(ExchangeTest, AnyOfSeveralAwaitedTextsEndsTheWait)
{
    peer.writeAfter(20, "COMP2>");
    const ExchangeResult r = run(QStringLiteral("x"), Term::None, false,
                                 {QStringLiteral("ID="), QStringLiteral("COMP2>")}, 2000);
    EXPECT_TRUE(r.found);
    EXPECT_FALSE(r.timedOut);
}

TEST_F(ExchangeTest, AwaitedTextsMatchInExactCaseOnly)
{
    peer.writeAfter(20, "entering tap mode");
    const ExchangeResult r = run(QStringLiteral("#PrgmMode#"), Term::CR, true, {QStringLiteral("TAP")}, 1000, true);
    EXPECT_FALSE(r.found);
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(r.reply, "entering tap mode");
    expectIdle();
}

TEST_F(ExchangeTest, FlushDiscardsWhatArrivedBeforeTheCommand)
{
    peer.write("TAP left from earlier");
    ASSERT_TRUE(arrived(21));
    ExchangeResult r = run(QStringLiteral("#PrgmMode#"), Term::CR, true, {QStringLiteral("TAP")}, 300);
    EXPECT_FALSE(r.found);
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(r.reply, QString());

    // without the flush the old characters count (found at the first test:
    // a time-out of its own as short as the first one could meet it there)
    peer.write("TAP left from earlier");
    ASSERT_TRUE(arrived(21));
    r = run(QStringLiteral("#PrgmMode#"), Term::CR, false, {QStringLiteral("TAP")}, 6000);
    EXPECT_TRUE(r.found);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.reply, "TAP left from earlier");
}

TEST_F(ExchangeTest, ASilentEncoderEndsTheWaitAtTheTimeOutNeverSooner)
{
    const ExchangeResult r = run(QStringLiteral("ATI"), Term::CRCR, true, {QStringLiteral("ID=")}, 1500, true);
    EXPECT_TRUE(r.timedOut);
    EXPECT_FALSE(r.found);
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(r.reply, QString());
    EXPECT_GE(elapsed, 1500);
    // the value written stays in force
    EXPECT_EQ(link->Timer2.Interval(), 1500);
    expectIdle();
}

TEST_F(ExchangeTest, TimeOutAsSetUsesTheIntervalInForce)
{
    link->Timer2.setInterval(300);
    const ExchangeResult r = run(QStringLiteral("ATI"), Term::CRCR, false, {QStringLiteral("ID=")}, kTimeoutAsSet);
    EXPECT_TRUE(r.timedOut);
    EXPECT_GE(elapsed, 300);
    EXPECT_EQ(link->Timer2.Interval(), 300);
}

TEST_F(ExchangeTest, ATimeOutLeftFromEarlierDoesNotEndANewWait)
{
    gWait.bReplyTimeout = true;
    peer.writeAfter(250, "9600 baud");
    const ExchangeResult r = run(QStringLiteral("#PrgmMode#"), Term::None, false, {QStringLiteral("9600 baud")}, 10000);
    EXPECT_TRUE(r.found);
    EXPECT_FALSE(r.timedOut);
    EXPECT_GE(elapsed, 250);
    expectIdle();
}

TEST_F(ExchangeTest, ATimerLeftRunningStartsAFullIntervalForTheNewWait)
{
    link->Timer2.setInterval(400);
    link->Timer2.setEnabled(true);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 250)
        platform::Sleep(10);
    gWait.bReplyTimeout = false;
    const ExchangeResult r = run(QStringLiteral("x"), Term::None, false, {QStringLiteral("never")}, kTimeoutAsSet);
    EXPECT_TRUE(r.timedOut);
    EXPECT_GE(elapsed, 400);
}

TEST_F(ExchangeTest, AnAnswerLateForItsTimeOutIsTakenOnlyWhereABoxHeldTheWait)
{
    // the answer reaches the port and the time-out runs out while something
    // that runs during the wait holds it
    bool held = false;
    const auto answerLate = [&] {
        peer.write("1\r\n");
        held = QTest::qWaitFor([this] { return link->MSComm1.InBufferCount() >= 3 && gWait.bReplyTimeout; }, 30000);
    };
    // an ordinary handler: the answer came too late, whatever poll reads it
    QTimer::singleShot(0, answerLate);
    ExchangeResult r = run(QStringLiteral("CONFIG SERIAL1 IDASCAP?"), Term::CR, true, {QStringLiteral("\r\n")}, 300);
    EXPECT_TRUE(held);
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(r.reply, "1\r\n");
    expectIdle();

    // a box: the answer it kept the wait from reading is taken
    held = false;
    prompts.answerWith([&](const platform::Prompt &) {
        answerLate();
        return platform::Reply{platform::Answer::OK, {}, 1};
    });
    QTimer::singleShot(0, [] { platform::MsgBox(QStringLiteral("Held"), platform::Buttons::OK, platform::Icon::None); });
    r = run(QStringLiteral("CONFIG SERIAL1 IDASCAP?"), Term::CR, true, {QStringLiteral("\r\n")}, 300);
    EXPECT_TRUE(held);
    EXPECT_TRUE(r.found);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.reply, "1\r\n");
    expectIdle();
}

TEST_F(ExchangeTest, CancelEndsACancellableWaitAtItsFirstTestOnly)
{
    gWait.bCancelRequested = true;
    const int pauses = platform::PausesEnded();
    ExchangeResult r = run(QStringLiteral("#PrgmMode#"), Term::CR, true, {QStringLiteral("TAP")}, 3000, true);
    EXPECT_EQ(platform::PausesEnded() - pauses, 1);  // the first test, after the first pause
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.timedOut);
    EXPECT_TRUE(gWait.bCancelRequested);  // left for the caller's cancel exit
    expectIdle();

    r = run(QStringLiteral("#PrgmMode#"), Term::None, false, {QStringLiteral("9600 baud")}, 300, false);
    EXPECT_FALSE(r.cancelled);
    EXPECT_TRUE(r.timedOut);
    EXPECT_GE(elapsed, 300);
    EXPECT_TRUE(gWait.bCancelRequested);  // a wait that cannot be cancelled never clears it
}

TEST_F(ExchangeTest, CancelPressedDuringAWaitEndsIt)
{
    QTimer::singleShot(150, [] { gWait.bCancelRequested = true; });
    const ExchangeResult r = run(QStringLiteral("ATI"), Term::CRCR, true, {QStringLiteral("ID=")}, 3000, true);
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.timedOut);
    EXPECT_GE(elapsed, 150);
}

TEST_F(ExchangeTest, AWriteToAClosedPortShowsOneBoxThenWaitsTheFullTimeOut)
{
    ASSERT_TRUE(link->MSComm1.setPortOpen(false));
    platform::SetAppTitle(QStringLiteral("Quorvane Paging Encoder Setup"));
    // the box stays up a while: the time-out starts only when it is closed
    prompts.answerWith([](const platform::Prompt &) {
        QThread::msleep(300);
        return platform::Reply{platform::Answer::OK, {}, 1};
    });
    const ExchangeResult r = run(QStringLiteral("ATI"), Term::CRCR, true, {QStringLiteral("ID=")}, 500, true);
    ASSERT_EQ(prompts.count(), 1);
    const auto &box = prompts.last();
    EXPECT_EQ(box.text, link->MSComm1.ErrorText());
    EXPECT_EQ(box.text, "Port not open");
    EXPECT_EQ(box.title, "Quorvane Paging Encoder Setup");
    EXPECT_EQ(box.icon, platform::Icon::Exclamation);
    EXPECT_EQ(box.buttons, platform::Buttons::OK);
    EXPECT_TRUE(r.timedOut);
    EXPECT_FALSE(r.found);
    EXPECT_GE(elapsed, 300 + 500);
    expectIdle();

    // the send-only form shows nothing
    EXPECT_FALSE(EncoderSend(QStringLiteral("config reboot"), Term::CR));
    EXPECT_EQ(prompts.count(), 1);
}

TEST_F(ExchangeTest, AnIntervalOfZeroStillEnds)
{
    platform::SetTimeScale(0.05);  // the timer's own 6000 ms become 300 ms
    const ExchangeResult r = run(QStringLiteral("\x01#PrgmMode#"), Term::None, true, {QStringLiteral("9600 baud")}, 0);
    EXPECT_TRUE(r.timedOut);
    EXPECT_GE(elapsed, 300);
    EXPECT_EQ(link->Timer2.Interval(), 0);
    expectIdle();
}

TEST_F(ExchangeTest, AWaitEndsEvenWhenAnotherWaitStopsItsTimer)
{
    // a handler that runs during the wait makes an exchange of its own, which
    // stops the shared timer when it ends
    QTimer::singleShot(50, [] { EncoderExchange(QStringLiteral("x"), Term::None, false, {QStringLiteral("y")}, 100, false); });
    const ExchangeResult r = run(QStringLiteral("ATI"), Term::CRCR, false, {QStringLiteral("ID=")}, 800);
    EXPECT_TRUE(r.timedOut);
    EXPECT_GE(elapsed, 800);
    expectIdle();
}

TEST_F(ExchangeTest, ADeviceLostDuringAWaitEndsItByTimeOut)
{
    QTimer::singleShot(100, [this] { peer.closeMaster(); });
    const ExchangeResult r = run(QStringLiteral("ATI"), Term::CRCR, false, {QStringLiteral("ID=")}, 600);
    EXPECT_TRUE(r.timedOut);
    EXPECT_GE(elapsed, 600);
    EXPECT_FALSE(link->MSComm1.PortOpen());
    EXPECT_EQ(prompts.count(), 0);
}

TEST(ExchangeWithoutLink, EndsTimedOutAtOnce)
{
    ASSERT_EQ(gLink, nullptr);
    const ExchangeResult r = EncoderExchange(QStringLiteral("ATI"), Term::CRCR, true, {QStringLiteral("ID=")}, 1500, true);
    EXPECT_TRUE(r.timedOut);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.reply, QString());
    EXPECT_FALSE(EncoderSend(QStringLiteral("config reboot"), Term::CR));
}

// The tests' hold on the reply time-out (a simulated encoder's): a machine
// that stalls the program until its time-out is overdue, with the answer
// already on its way, lets the port take the answer in just before the
// time-out comes due; the answer is taken all the same.
TEST(ExchangeWithSimulatedEncoder, AnAnswerInThePortWhenTheTimeOutComesDueIsTaken)
{
    ResetSharedState();
    platform::SetTimeScale(1.0);
    encsim::Config config;
    config.startInProgrammingMode = true;
    testing_support::SimulatedEncoder encoder(1, config);
    ASSERT_TRUE(encoder.ok());
    EncoderLink link;
    ASSERT_TRUE(link.MSComm1.setCommPort(1));
    ASSERT_TRUE(link.MSComm1.setPortOpen(true)) << link.MSComm1.ErrorText().toStdString();
    bool stalled = false;
    QTimer::singleShot(0, [&] {
        QElapsedTimer clock;
        clock.start();
        while (encoder.sim().bytesSent() < 4 && clock.elapsed() < 10000)
            QThread::msleep(1);
        QThread::msleep(300);
        stalled = true;
    });
    const ExchangeResult r =
        EncoderExchange(QStringLiteral("config maxbatch?"), Term::CRLF, true, {QStringLiteral("\r\n")}, 200, false);
    EXPECT_TRUE(stalled);
    EXPECT_TRUE(r.found);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.reply, "10\r\n");
}
