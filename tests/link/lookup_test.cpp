// The capcode lookup from the main window: the exchange with a simulated
// encoder, the reworded answer, and the local check in ID-as-capcode mode.
#include "app/frmterminal.h"
#include "app/lookup.h"
#include "database/state.h"
#include "transfer/matchclaim.h"
#include "platform/system.h"
#include "support/simharness.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

using namespace testing_support;
using platform::Answer;
using platform::Icon;

namespace {

class Lookup : public SimAppFixture {
protected:
    // An encoder already in programming mode, the port opened without a search.
    void SetUp() override
    {
        SimAppFixture::SetUp();
        encsim::Config c;
        c.startInProgrammingMode = true;
        ASSERT_NE(startWithEncoder(c), nullptr);
        gRun.bSkipDetect = true;
        clickPortButton();
        ASSERT_TRUE(w->MSComm1.PortOpen());
        ASSERT_TRUE(w->cmdLookup->isEnabled());
    }

    // The settings each test gives are the encoder's.
    void lookUp(const QString &entry)
    {
        ClaimViewMatches();
        w->txLookup->setText(entry);
        w->cmdLookup->click();
    }
};

}  // namespace

TEST_F(Lookup, TheEncodersAnswerIsShownReworded)
{
    encoder->sim().withEncoder([](encsim::Encoder &e) {
        e.setLookupAnswer(QStringLiteral("1234"), "list 3 capcode 0001234 msg enc:A baud:512 func bits:10\r\nLIST");
    });
    w->lblLookup->setText(QStringLiteral("Response: earlier"));
    int timeOuts = 0;
    QObject watching;
    QObject::connect(&w->Timer2, &platform::Timer::fired, &watching, [&] { ++timeOuts; });
    lookUp(QStringLiteral("1234"));
    EXPECT_EQ(timeOuts, 0);  // ends at the line end, not the time-out
    EXPECT_EQ(encoder->received(), QList<QByteArray>{"LOOKUP 1234\r\n"});
    // the line end and what came with it are shown too; capitals stay as they are
    EXPECT_EQ(w->lblLookup->text(), "Response: Group 3, Cap=0001234 Type=A Rate=512, Func=3\r\nLIST");
    EXPECT_EQ(w->Timer2.Interval(), kLookupTimeoutMs);
    EXPECT_FALSE(w->Timer2.Enabled());
    EXPECT_FALSE(gRun.bPortBusy);
    EXPECT_EQ(prompts.count(), 0);
}

TEST_F(Lookup, PastedControlCharactersAreNotSent)
{
    lookUp(QStringLiteral("10\t0\x01" "0"));
    EXPECT_EQ(encoder->received(), QList<QByteArray>{"LOOKUP 1000\r\n"});
}

TEST_F(Lookup, TheEntryGoesInTheCodePageAndNothingGoesOutsideIt)
{
    w->lblLookup->setText(QStringLiteral("Response: kept"));
    prompts.answer(Answer::OK);
    lookUp(QStringLiteral(u"12\u03a93"));
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().text, QStringLiteral(u"The Lookup ID entry holds the character \u201c\u03a9\u201d (U+03A9), "
                                                  u"which has no byte in the code page and cannot be sent to the "
                                                  u"encoder. Change it and try again."));
    EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
    EXPECT_EQ(prompts.last().title, "Quorvane Paging Encoder Setup");
    EXPECT_EQ(encoder->sim().exchangeCount(), 0);
    EXPECT_EQ(w->lblLookup->text(), "Response: kept");
    EXPECT_FALSE(gRun.bPortBusy);

    lookUp(QStringLiteral(u"12\u20ac3"));
    EXPECT_EQ(encoder->received(), QList<QByteArray>{"LOOKUP 12\x80" "3\r\n"});
}

TEST_F(Lookup, NoAnswerShowsWhatArrivedAfterTheTimeOut)
{
    platform::SetTimeScale(0.1);
    encoder->sim().addFault({encsim::FaultKind::Silence, 1, 0, "LOOKUP"});
    w->lblLookup->setText(QStringLiteral("Response: earlier"));
    QElapsedTimer clock;
    clock.start();
    lookUp(QStringLiteral("77"));
    EXPECT_GE(clock.elapsed(), platform::ScaledMs(kLookupTimeoutMs));
    EXPECT_EQ(w->lblLookup->text(), "Response: ");
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_FALSE(gWait.bReplyTimeout);
}

TEST_F(Lookup, IncrementBy8ModeWarnsBeforeAnythingIsSent)
{
    gSettings.bIncCapBy8 = true;
    int sentBeforeBox = -1;
    prompts.answerWith([&](const platform::Prompt &) {
        sentBeforeBox = encoder->sim().exchangeCount();
        platform::Reply r;
        r.answer = Answer::OK;
        return r;
    });
    lookUp(QStringLiteral("1000"));
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(sentBeforeBox, 0);
    EXPECT_EQ(prompts.last().title, "Increment Capcodes by 8 Mode Active");
    EXPECT_EQ(prompts.last().text, "Increment Capcodes by 8 Mode is Active.  You May Need\r"
                                   "to Close and Open the COM Port to Restart the Encoder,\r"
                                   "in Order to Obtain Valid Lookup Results");
    EXPECT_EQ(prompts.last().icon, Icon::None);
    EXPECT_EQ(encoder->received(), QList<QByteArray>{"LOOKUP 1000\r\n"});
    EXPECT_TRUE(w->lblLookup->text().startsWith("Response: "));
}

TEST_F(Lookup, IDAsCapcodeModeChecksLocallyAndSendsNothing)
{
    gSettings.bSerial1IDAsCap = true;
    gSettings.bIncCapBy8 = true;  // no warning in this mode
    lookUp(QStringLiteral("1234"));
    EXPECT_EQ(w->lblLookup->text(), "ID \"1234\", Cap=0001234, Type=A, Rate=512 Func=4");
    lookUp(QStringLiteral("9"));
    EXPECT_EQ(w->lblLookup->text(), "ID \"9\", Cap=0000009, Type=A, Rate=512 Func=4");
    lookUp(QStringLiteral("00000123"));
    EXPECT_EQ(w->lblLookup->text(), "ID \"00000123\", Cap=00000123, Type=A, Rate=512 Func=4");
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_EQ(encoder->sim().exchangeCount(), 0);
}

TEST_F(Lookup, IDAsCapcodeModeRejectsWithTheInvalidCapcodeBox)
{
    gSettings.bSerial1IDAsCap = true;
    w->lblLookup->setText(QStringLiteral("Response: kept"));
    const std::pair<const char *, bool> rejected[] = {
        {"8", false}, {"12a", false}, {"2045060", false}, {"2007664", false},
        {"", false},  {"99999999999", false}, {"2097144", true}};
    for (const auto &[entry, tooLarge] : rejected) {
        prompts.answer(Answer::OK);
        lookUp(QString::fromLatin1(entry));
        ASSERT_EQ(prompts.pending(), 0) << entry;
        EXPECT_EQ(prompts.last().title, "Invalid Capcode") << entry;
        EXPECT_EQ(prompts.last().icon, Icon::None) << entry;
        EXPECT_EQ(prompts.last().text.section(QLatin1Char('\r'), 0, 0),
                  tooLarge ? "Pager ID as Capcode mode is active" : "Pager ID as Capcode mode is active for Port 1")
            << entry;
        EXPECT_EQ(prompts.last().text.count(QLatin1Char('\r')), 7) << entry;
        EXPECT_EQ(w->lblLookup->text(), "Response: kept") << entry;
    }
    EXPECT_EQ(encoder->sim().exchangeCount(), 0);
}

TEST_F(Lookup, LeavingDuringTheWaitClosesTheWindowOnceTheLookupHasEnded)
{
    platform::SetTimeScale(0.1);
    encoder->sim().addFault({encsim::FaultKind::Silence, 1, 0, "LOOKUP"});
    prompts.answer(Answer::Yes);  // the exit question
    bool busyWhileAsked = false;
    RunWhen([] { return gRun.bPortBusy; },
            [&] {
                w->close();
                busyWhileAsked = w->isVisible();
            });
    w->show();
    lookUp(QStringLiteral("5"));
    EXPECT_TRUE(busyWhileAsked);  // the window stayed while the lookup waited
    EXPECT_EQ(w->lblLookup->text(), "Response: ");
    // then the window closes (the shut-down closes the port) and unloads
    QPointer<frmTerminal> window = w;
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull() || !window->MSComm1.PortOpen(); }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 2000));
}
