// Opening the port from the main window against a simulated encoder: the
// search over the nine settings, the identification branches, the boxes, the
// close, cancelling and leaving the program meanwhile.
#include "app/clicklabel.h"
#include "app/forms.h"
#include "app/frmcancelsend.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "link/detection.h"
#include "platform/system.h"
#include "support/ptypeer.h"
#include "support/simharness.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <memory>
#include <mutex>

using namespace testing_support;
using encsim::IdentifyStyle;
using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

const QByteArray kProbe = "#PrgmMode#\r";
const QByteArray kIdentify = "ATI\r\r";
const QByteArray kEnter = "#PrgmMode#";
const QByteArray kEnterFromProgramming = "\x01#PrgmMode#";
const QByteArray kReboot = "config reboot\r";

encsim::Config encoderConfig(int firmware, IdentifyStyle style, int speed = 9600)
{
    encsim::Config c;
    c.firmware = firmware;
    c.identify = style;
    c.pagingSpeed = speed;
    return c;
}

QString attemptText(const char *settings)
{
    return QStringLiteral("Attempting to Detect Paging Encoder\non COM Port 1 at ") + QLatin1String(settings);
}

class PortControl : public SimAppFixture {
protected:
    void SetUp() override
    {
        SimAppFixture::SetUp();
        platform::SetTimeScale(0.05);
    }

    void expectOpenDetected()
    {
        EXPECT_TRUE(w->MSComm1.PortOpen());
        EXPECT_EQ(w->MSComm1.Settings(), "9600,n,8,1");
        EXPECT_TRUE(w->ConnectedPictureInFront());
        EXPECT_EQ(w->StatusPanelText(2), "COM 1 Open");
        EXPECT_EQ(w->mnuOpen->text(), "&Close Port");
        EXPECT_EQ(w->cmdComStatus->text(), "Close COM 1");
        EXPECT_TRUE(w->mnuTest->isEnabled());
        EXPECT_TRUE(w->mnuReadDB->isEnabled());
        EXPECT_TRUE(w->mnuWriteDB->isEnabled());
        EXPECT_TRUE(w->ToolbarButtonByKey("program")->isEnabled());
        EXPECT_TRUE(w->ToolbarButtonByKey("read")->isEnabled());
        expectCallEnded();
    }

    void expectClosed()
    {
        EXPECT_FALSE(w->MSComm1.PortOpen());
        EXPECT_EQ(w->MSComm1.Settings(), "9600,n,8,1");
        EXPECT_FALSE(w->ConnectedPictureInFront());
        EXPECT_EQ(w->StatusPanelText(2), "COM 1 Closed");
        EXPECT_EQ(w->mnuOpen->text(), "&Open Port");
        EXPECT_EQ(w->cmdComStatus->text(), "Open COM 1");
        EXPECT_TRUE(w->cmdComStatus->isEnabled());
        EXPECT_FALSE(w->mnuTest->isEnabled());
        EXPECT_FALSE(w->mnuReadDB->isEnabled());
        EXPECT_FALSE(w->mnuWriteDB->isEnabled());
        EXPECT_FALSE(w->cmdLookup->isEnabled());
        EXPECT_FALSE(w->mnuSendMsg->isEnabled());
        for (const char *key : {"program", "read", "test"})
            EXPECT_FALSE(w->ToolbarButtonByKey(key)->isEnabled()) << key;
        EXPECT_EQ(w->Timer2.Interval(), kDetectTimeoutMs);
        expectCallEnded();
    }

    void expectCallEnded()
    {
        EXPECT_EQ(forms::cancelSendIfLoaded(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(gRun.bSkipDetect);
        EXPECT_FALSE(gRun.bPortBusy);
        EXPECT_FALSE(w->Timer2.Enabled());
    }

    QStringList titles() const
    {
        QStringList t;
        for (const SeenPrompt &p : prompts.seen())
            t << p.title;
        return t;
    }
};

}  // namespace

// ---- the search -------------------------------------------------------

TEST_F(PortControl, EncoderAt9600IsFoundAtTheFirstAttempt)
{
    ASSERT_NE(startWithEncoder(encoderConfig(8, IdentifyStyle::TapPrompt)), nullptr);
    answerDetectedAndDeclineRead();
    CancelBoxWatcher watcher;
    clickPortButton();

    EXPECT_EQ(watcher.texts(), QStringList{attemptText("9600,n,8,1")});
    // the probe at once, then the identification after the encoder's restart
    EXPECT_EQ(encoder->received(), (QList<QByteArray>{kProbe, kIdentify}));
    EXPECT_EQ(encoder->sim().bytesDiscarded(), 0);
    EXPECT_EQ(encoder->sim().mode(), encsim::Mode::Programming);
    ASSERT_EQ(prompts.count(), 2);
    EXPECT_EQ(prompts.seen()[0].title, "Paging Encoder Detected");
    EXPECT_EQ(prompts.seen()[0].text, "Paging Encoder Was Detected\rThe Encoder Database will Now be Read");
    EXPECT_EQ(prompts.seen()[0].icon, Icon::None);
    EXPECT_EQ(prompts.seen()[0].buttons, Buttons::OK);
    EXPECT_EQ(prompts.seen()[1].title, "Read Encoder?");
    EXPECT_EQ(prompts.seen()[1].text,
              "You are About to Read the Encoder and Replace the Current Configuration\rAre You Sure?");
    EXPECT_EQ(prompts.seen()[1].icon, Icon::Question);
    EXPECT_EQ(prompts.seen()[1].buttons, Buttons::YesNo);
    EXPECT_FALSE(gRun.bV7Firmware);
    EXPECT_EQ(w->lblVersion->text(), "Firmware Version: 8.2.6");
    EXPECT_EQ(w->Label25->text(), "Paging Encoder V8");
    // the view did not match the encoder: the lookup and the test console stay off
    EXPECT_FALSE(w->cmdLookup->isEnabled());
    EXPECT_FALSE(w->mnuSendMsg->isEnabled());
    EXPECT_FALSE(w->ToolbarButtonByKey("test")->isEnabled());
    // the detection leaves the time-out in force when it began
    EXPECT_EQ(w->Timer2.Interval(), 6000);
    expectOpenDetected();
}

TEST_F(PortControl, EncoderAt1200IsFoundAtTheSixthAttemptAfterEveryEarlierOne)
{
    ASSERT_NE(startWithEncoder(encoderConfig(8, IdentifyStyle::TapPrompt, 1200)), nullptr);
    answerDetectedAndDeclineRead();
    CancelBoxWatcher watcher;
    clickPortButton();

    // attempts 1 and 2 both name 9600,n,8,1
    EXPECT_EQ(watcher.texts(), (QStringList{attemptText("9600,n,8,1"), attemptText("9600,e,7,1"),
                                            attemptText("2400,n,8,1"), attemptText("2400,e,7,1"),
                                            attemptText("1200,n,8,1")}));
    // five probes and five identifications went out at speeds the encoder
    // does not listen at; the sixth probe, at 1200, was the first it heard
    EXPECT_EQ(encoder->sim().bytesDiscarded(), 5 * (kProbe.size() + kIdentify.size()));
    EXPECT_EQ(encoder->received(), (QList<QByteArray>{kProbe, kIdentify}));
    EXPECT_EQ(titles(), (QStringList{"Paging Encoder Detected", "Read Encoder?"}));
    EXPECT_EQ(w->lblVersion->text(), "Firmware Version: 8.2.6");
    expectOpenDetected();
}

TEST_F(PortControl, VirginModeStartsAt300)
{
    writeIni("[Main]\r\nVirginMode=True\r\nTestEnabled=False\r\n");
    ASSERT_NE(startWithEncoder(encoderConfig(8, IdentifyStyle::TapPrompt, 300)), nullptr);
    answerDetectedAndDeclineRead();
    CancelBoxWatcher watcher;
    clickPortButton();
    EXPECT_EQ(watcher.texts(), QStringList{attemptText("300,n,8,1")});
    EXPECT_EQ(encoder->received(), (QList<QByteArray>{kProbe, kIdentify}));
    expectOpenDetected();
}

TEST_F(PortControl, ASilentPortIsNotDetectedAfterNineAttemptsAndClosedWithOneReboot)
{
    PtyPeer peer;
    ASSERT_TRUE(peer.isOpen());
    ASSERT_NE(startWithDevice(peer.slavePath()), nullptr);
    prompts.answer(Answer::OK);
    CancelBoxWatcher watcher;
    clickPortButton();

    EXPECT_EQ(watcher.texts(), (QStringList{attemptText("9600,n,8,1"), attemptText("9600,e,7,1"),
                                            attemptText("2400,n,8,1"), attemptText("2400,e,7,1"),
                                            attemptText("1200,n,8,1"), attemptText("1200,e,7,1"),
                                            attemptText("300,n,8,1"), attemptText("300,e,7,1")}));
    QByteArray expected;
    for (int i = 0; i < 9; ++i)
        expected += kProbe + kIdentify;
    expected += kReboot;
    EXPECT_EQ(peer.readUntil(expected), expected);
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Paging Encoder Not Detected");
    EXPECT_EQ(prompts.last().text, "The Paging Encoder was Not Detected.\r"
                                   "Please Check Connections, Paging Encoder Configuration,\r"
                                   "or COM Port Settings, and Try Again");
    EXPECT_EQ(prompts.last().icon, Icon::None);
    EXPECT_EQ(prompts.last().buttons, Buttons::OK);
    expectClosed();
}

TEST_F(PortControl, NoiseAtTheLastAttemptSendsAnExtraReboot)
{
    PtyPeer peer;
    ASSERT_TRUE(peer.isOpen());
    ASSERT_NE(startWithDevice(peer.slavePath()), nullptr);
    prompts.answer(Answer::OK);
    // answer the ninth identification with something no test knows
    RunWhen([&] { return w->MSComm1.Settings() == "9600,n,8,1" && forms::cancelSendIfLoaded() &&
                         forms::cancelSendIfLoaded()->Label1->text().endsWith("300,e,7,1"); },
            [&] { peer.write("??"); });
    clickPortButton();
    EXPECT_EQ(prompts.count(), 1);
    const QByteArray rest = peer.readUntil(kIdentify + kReboot + kReboot);
    EXPECT_TRUE(rest.endsWith(kIdentify + kReboot + kReboot)) << rest.toStdString();
    expectClosed();
}

// ---- identification ---------------------------------------------------

struct Branch {
    const char *name;
    int firmware;
    IdentifyStyle style;
    QList<QByteArray> wire;  // exchanges the encoder takes
    bool refused;            // the version 7 box, the port closed
    bool v7;
    const char *version;     // lblVersion
    const char *model;       // Label25
};

void PrintTo(const Branch &b, std::ostream *os) { *os << b.name; }

class Identification : public PortControl, public ::testing::WithParamInterface<Branch> {};

TEST_P(Identification, TakesItsBranch)
{
    const Branch &b = GetParam();
    ASSERT_NE(startWithEncoder(encoderConfig(b.firmware, b.style)), nullptr);
    if (b.refused)
        prompts.answer(Answer::OK);
    else
        answerDetectedAndDeclineRead();
    clickPortButton();

    // a refusal closes by the version 7 route, which sends nothing
    EXPECT_EQ(encoder->received(), b.wire);
    EXPECT_EQ(gRun.bV7Firmware, b.v7);
    EXPECT_EQ(w->lblVersion->text(), QString::fromLatin1(b.version));
    EXPECT_EQ(w->Label25->text(), QString::fromLatin1(b.model));
    if (b.refused) {
        ASSERT_EQ(prompts.count(), 1);
        EXPECT_EQ(prompts.last().title, "V7 Paging System Detected");
        EXPECT_EQ(prompts.last().text, "A Version 7 Paging System was Detected.  Please set all DIP Switches\r"
                                       "on the Paging System to the ON position, then Cycle Power on the\r"
                                       "Paging System and Try Again");
        EXPECT_EQ(prompts.last().icon, Icon::None);
        expectClosed();
    } else {
        EXPECT_EQ(titles(), (QStringList{"Paging Encoder Detected", "Read Encoder?"}));
        EXPECT_EQ(encoder->sim().mode(), encsim::Mode::Programming);
        expectOpenDetected();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Branches, Identification,
    ::testing::Values(
        Branch{"TapV8", 8, IdentifyStyle::TapPrompt, {kProbe, kIdentify}, false, false, "Firmware Version: 8.2.6", "Paging Encoder V8"},
        Branch{"TapV7", 7, IdentifyStyle::TapPrompt, {kProbe, kIdentify}, false, true, "Firmware Version: 7.1.4", "Paging Encoder V7"},
        Branch{"IdV8", 8, IdentifyStyle::IdPrompt, {kProbe, kIdentify, kEnter}, false, false, "Firmware Version: 8.2.6", "Paging Encoder V8"},
        Branch{"IdV7", 7, IdentifyStyle::IdPrompt, {kProbe, kIdentify}, false, true, "Firmware Version: 7.1.4", "Paging Encoder V7"},
        Branch{"IdentifiedV8", 8, IdentifyStyle::Identified, {kProbe, kIdentify, kEnterFromProgramming}, false, false, "Firmware Version: 8.2.6", "Paging Encoder V8"},
        Branch{"IdentifiedV7", 7, IdentifyStyle::Identified, {kProbe, kIdentify}, true, true, "Firmware Version:", "Paging Encoder V8"},
        Branch{"Comp1V8", 8, IdentifyStyle::Comp1Prompt, {kProbe, kIdentify, kEnter, kIdentify}, false, false, "Firmware Version: 8.2.6", "Paging Encoder V8"},
        Branch{"Comp1V7", 7, IdentifyStyle::Comp1Prompt, {kProbe, kIdentify, kEnter}, true, true, "Firmware Version:", "Paging Encoder V8"},
        Branch{"Comp2V8", 8, IdentifyStyle::Comp2Prompt, {kProbe, kIdentify, kEnter, kIdentify}, false, false, "Firmware Version: 8.2.6", "Paging Encoder V8"},
        Branch{"Comp2V7", 7, IdentifyStyle::Comp2Prompt, {kProbe, kIdentify, kEnter}, true, true, "Firmware Version:", "Paging Encoder V8"},
        Branch{"Echo", 8, IdentifyStyle::Echo, {kProbe, kIdentify, kEnter, kIdentify}, false, false, "Firmware Version: 8.2.6", "Paging Encoder V8"},
        Branch{"Invalid", 8, IdentifyStyle::Invalid, {kProbe, kIdentify, kEnter, kIdentify}, false, false, "Firmware Version: 8.2.6", "Paging Encoder V8"},
        Branch{"ErrorInvalid", 8, IdentifyStyle::ErrorInvalid, {kProbe, kIdentify, kEnter, kIdentify}, false, false, "Firmware Version: 8.2.6", "Paging Encoder V8"},
        // a version 7 behind an echoing input is read as version 8 all the same
        Branch{"EchoV7", 7, IdentifyStyle::Echo, {kProbe, kIdentify, kEnter, kIdentify}, false, false, "Firmware Version: 7.1.4", "Paging Encoder V7"}),
    [](const ::testing::TestParamInfo<Branch> &info) { return std::string(info.param.name); });

TEST_F(PortControl, MatchingViewReadsWithoutAskingAndEnablesLookupAndTest)
{
    ASSERT_NE(startWithEncoder(encoderConfig(8, IdentifyStyle::TapPrompt)), nullptr);
    ASSERT_TRUE(gRun.bMatchesEncoder);
    prompts.answer(Answer::OK);
    // the reader may have boxes of its own; none of them is the read question
    prompts.allowUnexpected(true);
    clickPortButton();
    ASSERT_GE(prompts.count(), 1);
    EXPECT_EQ(prompts.seen()[0].title, "Paging Encoder Detected");
    EXPECT_FALSE(titles().contains("Read Encoder?"));
    EXPECT_TRUE(w->cmdLookup->isEnabled());
    EXPECT_TRUE(w->mnuSendMsg->isEnabled());
    EXPECT_TRUE(w->ToolbarButtonByKey("test")->isEnabled());
    EXPECT_EQ(w->Label25->text(), "Paging Encoder V8");
}

TEST_F(PortControl, YesToTheReadQuestionHandsOverToTheReaderOfTheFamily)
{
    for (int firmware : {8, 7}) {
        SCOPED_TRACE(firmware);
        ASSERT_NE(startWithEncoder(encoderConfig(firmware, IdentifyStyle::IdPrompt)), nullptr);
        w->MarkConfigModified();
        prompts.answer(Answer::OK);   // detected
        prompts.answer(Answer::Yes);  // read
        prompts.allowUnexpected(true);  // what the reader itself asks
        clickPortButton();
        const QList<QByteArray> wire = encoder->received();
        const int searched = firmware == 8 ? 3 : 2;
        ASSERT_GT(wire.size(), searched);
        // the reader's first command names the family's ID-as-capcode key
        EXPECT_TRUE(wire[searched].startsWith(firmware == 8 ? "CONFIG SERIAL1 IDASCAP?" : "CONFIG IDASCAP?"))
            << wire[searched].toStdString();
        EXPECT_EQ(w->Label25->text(), firmware == 8 ? "Paging Encoder V8" : "Paging Encoder V7");
        shutDown();
        encoder.reset();
        prompts.clear();
        prompts.allowUnexpected(false);
        ResetSharedState();
    }
}

TEST_F(PortControl, SecondBrandKeepsItsModelLabel)
{
    ASSERT_NE(startWithEncoder(encoderConfig(7, IdentifyStyle::IdPrompt)), nullptr);
    gRun.sBrand = QStringLiteral("Kordamere");
    w->Label25->setText(QStringLiteral("T-260 Paging Encoder"));
    answerDetectedAndDeclineRead();
    clickPortButton();
    EXPECT_TRUE(gRun.bV7Firmware);
    EXPECT_EQ(w->Label25->text(), "T-260 Paging Encoder");
}

TEST_F(PortControl, OpeningWithTheSearchSkippedOnlyShowsThePortOpen)
{
    ASSERT_NE(startWithEncoder(encoderConfig(8, IdentifyStyle::TapPrompt)), nullptr);
    gRun.bSkipDetect = true;
    clickPortButton();
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_TRUE(encoder->received().isEmpty());
    EXPECT_TRUE(w->MSComm1.PortOpen());
    EXPECT_EQ(w->cmdComStatus->text(), "Close COM 1");
    EXPECT_EQ(w->Timer2.Interval(), kDetectTimeoutMs);
    EXPECT_TRUE(w->cmdLookup->isEnabled());
    EXPECT_FALSE(w->mnuTest->isEnabled());  // only a search enables it
    EXPECT_FALSE(gRun.bSkipDetect);
}

// ---- closing ----------------------------------------------------------

TEST_F(PortControl, ClosingAVersion8LinkRebootsItAndHoldsThePortButton)
{
    ASSERT_NE(startWithEncoder(encoderConfig(8, IdentifyStyle::TapPrompt)), nullptr);
    answerDetectedAndDeclineRead();
    clickPortButton();
    const int before = int(encoder->received().size());

    bool buttonHeld = false;
    RunWhen([&] { return !w->MSComm1.PortOpen(); }, [&] { buttonHeld = !w->cmdComStatus->isEnabled(); });
    QElapsedTimer clock;
    clock.start();
    clickPortButton();
    EXPECT_GE(clock.elapsed(), platform::ScaledMs(kRebootPauseMs));
    EXPECT_TRUE(buttonHeld);
    // the reboot is sent without a reply: the simulator's thread may still be reading it
    EXPECT_TRUE(QTest::qWaitFor([&] { return encoder->received().size() > before; }, 5000));
    EXPECT_EQ(encoder->received().mid(before), QList<QByteArray>{kReboot});
    EXPECT_EQ(encoder->sim().mode(), encsim::Mode::Paging);
    EXPECT_EQ(prompts.count(), 2);
    expectClosed();
    // the version and model stay until the next search
    EXPECT_EQ(w->lblVersion->text(), "Firmware Version: 8.2.6");
}

TEST_F(PortControl, ClosingAVersion7LinkSendsNothingAndDoesNotPause)
{
    ASSERT_NE(startWithEncoder(encoderConfig(7, IdentifyStyle::TapPrompt)), nullptr);
    answerDetectedAndDeclineRead();
    clickPortButton();
    ASSERT_TRUE(gRun.bV7Firmware);
    const qint64 before = encoder->sim().bytesReceived();
    // the port button is given back before any window message is handled:
    // no pause holds it
    bool ran = false, buttonHeld = true;
    RunWhen([&] { return !w->MSComm1.PortOpen(); }, [&] {
        ran = true;
        buttonHeld = !w->cmdComStatus->isEnabled();
    });
    clickPortButton();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ran; }));
    EXPECT_FALSE(buttonHeld);
    // the simulator owes nothing once it has read every byte sent
    EXPECT_TRUE(QTest::qWaitFor([&] { return encoder->sim().idle(); }));
    EXPECT_EQ(encoder->sim().bytesReceived(), before);
    expectClosed();
}

TEST_F(PortControl, APortThatCannotOpenIsReportedAndShownClosed)
{
    ASSERT_NE(startWithDevice(QStringLiteral("/nonexistent/qv-test-port")), nullptr);
    prompts.answer(Answer::OK);
    clickPortButton();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
    EXPECT_EQ(prompts.last().title, "Quorvane Paging Encoder Setup");
    EXPECT_FALSE(prompts.last().text.isEmpty());
    expectClosed();
}

// ---- cancel, leaving, re-entry, a lost device ---------------------------

TEST_F(PortControl, CancelDuringTheSearchClosesThePortWithAReboot)
{
    PtyPeer peer;
    ASSERT_TRUE(peer.isOpen());
    ASSERT_NE(startWithDevice(peer.slavePath()), nullptr);
    // during the probe of the third attempt
    RunWhen([] { return forms::cancelSendIfLoaded() &&
                        forms::cancelSendIfLoaded()->Label1->text().endsWith("9600,e,7,1"); },
            [] { forms::cancelSendIfLoaded()->Command1->click(); }, 0);
    clickPortButton();
    EXPECT_EQ(prompts.count(), 0);
    // Cancel ends the third attempt at its probe, or at its identification
    // when a busy machine let the short probe run out first
    const QByteArray wire = peer.readUntil(kReboot);
    const QByteArray twoAttempts = kProbe + kIdentify + kProbe + kIdentify;
    EXPECT_TRUE(wire == twoAttempts + kProbe + kReboot || wire == twoAttempts + kProbe + kIdentify + kReboot)
        << wire.toStdString();
    EXPECT_FALSE(gWait.bCancelRequested);
    EXPECT_FALSE(gWait.bReplyTimeout);
    EXPECT_FALSE(gRun.bV7Firmware);
    expectClosed();
}

TEST_F(PortControl, CommandsThatUseThePortDoNothingWhileTheSearchRuns)
{
    ASSERT_NE(startWithEncoder(encoderConfig(8, IdentifyStyle::TapPrompt, 2400)), nullptr);
    answerDetectedAndDeclineRead();
    bool tried = false;
    RunWhen([] { return forms::cancelSendIfLoaded() && forms::cancelSendIfLoaded()->isVisible(); },
            [&] {
                tried = true;
                w->cmdComStatus->click();
                w->mnuOpen->trigger();
                w->mnuProperties->trigger();
                w->cmdLookup_Click();
            },
            0);
    clickPortButton();
    EXPECT_TRUE(tried);
    EXPECT_EQ(forms::window("frmProperties"), nullptr);
    EXPECT_EQ(titles(), (QStringList{"Paging Encoder Detected", "Read Encoder?"}));
    EXPECT_EQ(encoder->received(), (QList<QByteArray>{kProbe, kIdentify}));
    expectOpenDetected();
}

TEST_F(PortControl, LeavingDuringTheSearchCancelsItThenShutsDown)
{
    PtyPeer peer;
    ASSERT_TRUE(peer.isOpen());
    ASSERT_NE(startWithDevice(peer.slavePath()), nullptr);
    prompts.answer(Answer::Yes);  // "Are You Sure You Want to Exit ..."
    RunWhen([] { return forms::cancelSendIfLoaded() && forms::cancelSendIfLoaded()->isVisible(); },
            [&] { w->close(); }, 20);
    clickPortButton();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_TRUE(prompts.last().title.startsWith("Exit "));
    // the search ended by closing the port; then the window closed and
    // unloaded itself
    QPointer<frmTerminal> window = w;
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 2000));
    const QByteArray wire = peer.readUntil(kReboot + kReboot);
    EXPECT_TRUE(wire.startsWith(kProbe));
    // the close of the search and the shut-down each send the reboot
    EXPECT_TRUE(wire.endsWith(kReboot + kReboot)) << wire.toStdString();
    EXPECT_EQ(wire.count(kReboot), 2);
}

TEST_F(PortControl, ADeviceLostDuringTheSearchEndsItWithOneBoxShowingThePortClosed)
{
    ASSERT_NE(startWithEncoder(encoderConfig(8, IdentifyStyle::Silent)), nullptr);
    const QString device = qEnvironmentVariable("QV_COM1");
    ASSERT_FALSE(device.isEmpty());
    prompts.answer(Answer::OK);
    // the device goes away during the fourth attempt's probe, and the port
    // finds out before that wait goes on
    bool noticed = false;
    RunWhen([] { return forms::cancelSendIfLoaded() &&
                        forms::cancelSendIfLoaded()->Label1->text().endsWith("2400,n,8,1"); },
            [&] {
                encoder->sim().hangUp();
                noticed = QTest::qWaitFor([&] { return !w->MSComm1.PortOpen(); }, 5000);
            },
            0);
    clickPortButton();
    EXPECT_TRUE(noticed);
    // one box says why, in the port's own words; no write failure boxes for
    // the attempts that remained
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().text, QStringLiteral("COM 1 (%1) is no longer available").arg(device));
    EXPECT_EQ(prompts.last().title, "Quorvane Paging Encoder Setup");
    EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
    EXPECT_EQ(prompts.last().buttons, Buttons::OK);
    EXPECT_FALSE(w->MSComm1.PortOpen());
    EXPECT_FALSE(w->ConnectedPictureInFront());
    EXPECT_EQ(w->StatusPanelText(2), "COM 1 Closed");
    EXPECT_EQ(w->cmdComStatus->text(), "Open COM 1");
    EXPECT_EQ(w->mnuOpen->text(), "&Open Port");
    EXPECT_FALSE(w->mnuReadDB->isEnabled());
    EXPECT_FALSE(w->ToolbarButtonByKey("program")->isEnabled());
    expectCallEnded();
}

TEST_F(PortControl, ADeviceLostAfterDetectionShowsEveryPortCommandOff)
{
    ASSERT_NE(startWithEncoder(encoderConfig(8, IdentifyStyle::TapPrompt)), nullptr);
    prompts.answer(Answer::OK);
    prompts.allowUnexpected(true);
    clickPortButton();
    ASSERT_TRUE(w->cmdLookup->isEnabled());
    encoder->sim().hangUp();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->MSComm1.PortOpen(); }, 3000));
    EXPECT_EQ(w->StatusPanelText(2), "COM 1 Closed");
    EXPECT_EQ(w->cmdComStatus->text(), "Open COM 1");
    EXPECT_FALSE(w->ConnectedPictureInFront());
    EXPECT_FALSE(w->cmdLookup->isEnabled());
    EXPECT_FALSE(w->mnuSendMsg->isEnabled());
    EXPECT_FALSE(w->mnuTest->isEnabled());
    EXPECT_FALSE(w->mnuReadDB->isEnabled());
    EXPECT_FALSE(w->mnuWriteDB->isEnabled());
    for (const char *key : {"program", "read", "test"})
        EXPECT_FALSE(w->ToolbarButtonByKey(key)->isEnabled()) << key;
}

// ---- real timing --------------------------------------------------------

TEST_F(PortControl, RealTimingOfASuccessfulSearch)
{
    platform::SetTimeScale(1.0);
    encsim::PtyOptions paced;
    paced.paced = true;
    ASSERT_NE(startWithEncoder(encoderConfig(8, IdentifyStyle::TapPrompt), 1, paced), nullptr);
    // the simulator's thread keeps the times alive for as long as it may
    // still report an exchange (the shut-down's own)
    struct Times {
        std::mutex m;
        QList<qint64> at;
        QElapsedTimer clock;
    };
    const auto times = std::make_shared<Times>();
    encoder->sim().setObserver([times](const encsim::Exchange &) {
        std::lock_guard<std::mutex> lock(times->m);
        times->at << times->clock.elapsed();
    });
    answerDetectedAndDeclineRead();
    // The probe goes out at once: it is on the line before the program first
    // handles window messages, as every pause and wait does. No answer is
    // waited out: the reply time-out never runs out.
    QObject watching;
    bool probeOutAtFirstWait = false;
    QTimer::singleShot(0, &watching, [&] {
        probeOutAtFirstWait = encoder->sim().bytesReceived() > 0 || !encoder->sim().idle();
    });
    int timeOuts = 0;
    QObject::connect(&w->Timer2, &platform::Timer::fired, &watching, [&] { ++timeOuts; });
    {
        std::lock_guard<std::mutex> lock(times->m);
        times->clock.start();
    }
    clickPortButton();
    qint64 total = 0;
    QList<qint64> at;
    {
        std::lock_guard<std::mutex> lock(times->m);
        total = times->clock.elapsed();
        at = times->at;
    }
    ASSERT_EQ(at.size(), 2);
    EXPECT_TRUE(probeOutAtFirstWait);
    // the identification after the 2500 ms pause
    EXPECT_GE(at[1] - at[0], 2500);
    EXPECT_GE(total, 2500);
    EXPECT_EQ(timeOuts, 0);
    expectOpenDetected();
}
