// Opening and closing the encoder link, and the search for the encoder over
// the nine serial settings when the port opens.
#include "link/portcontrol.h"

#include "app/forms.h"
#include "app/frmcancelsend.h"
#include "app/frmterminal.h"
#include "app/portbusy.h"
#include "database/state.h"
#include "link/detection.h"
#include "link/exchange.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "transfer/transfer.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

#include <optional>

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

const QString kPrgmMode = QStringLiteral("#PrgmMode#");
const QString kAti = QStringLiteral("ATI");
const QString kTapAwaited = QStringLiteral("TAP");
const QString kIdAwaited = QStringLiteral("ID=");
const QString kEnteredAwaited = QStringLiteral("9600 baud");
const QChar kSoh(1);

void setTestMenuEnabled(frmTerminal *w, bool on)
{
    w->mnuTest->setEnabled(on);
    w->mnuTest->menuAction()->setEnabled(on);
}

void setToolbarKeyEnabled(frmTerminal *w, const char *key, bool on)
{
    if (QAction *a = w->ToolbarButtonByKey(QString::fromLatin1(key)))
        a->setEnabled(on);
}

// What ends the search early.
enum class Outcome {
    Ok,
    Cancelled,  // the user pressed Cancel, or asked to leave the program
    Gone,       // the main window is gone: nothing more may touch it
    Lost,       // the device went away; the window already shows the port closed
};

// One call of OpenClosePort that opened the port and searches.
class Search {
public:
    Search(frmTerminal *w, int remembered, std::optional<PortBusyGuard> *guard)
        : m_w(w), m_remembered(remembered), m_guard(guard)
    {
    }

    void run();

private:
    Outcome talk(const QString &command, Term term, bool flush, const QString &awaited, int timeoutMs,
                 bool cancellable);
    Outcome probe(int timeoutMs) { return talk(kPrgmMode, Term::CR, false, kTapAwaited, timeoutMs, true); }
    Outcome identify() { return talk(kAti, Term::CRCR, true, kIdAwaited, m_remembered, true); }
    Outcome reidentify() { return talk(kAti, Term::CRCR, false, kIdAwaited, m_remembered, false); }
    Outcome enter() { return talk(kPrgmMode, Term::None, false, kEnteredAwaited, m_remembered, false); }
    Outcome enterFromProgramming()
    {
        return talk(kSoh + kPrgmMode, Term::None, false, kEnteredAwaited, m_remembered, false);
    }
    Outcome pause(int ms);
    Outcome settle();
    void parse();

    // the endings
    void cancelExit();
    void refuseVersion7();
    void notDetected();
    void detected();

    // A branch after the identification; false when the search must end now.
    bool finish(Outcome o);

    QPointer<frmTerminal> m_w;
    int m_remembered;
    QString m_last;  // the reply of the most recent exchange
    std::optional<PortBusyGuard> *m_guard;
    // the device went away under a write, whose own box has said so
    bool m_lossShown = false;
};

Outcome Search::talk(const QString &command, Term term, bool flush, const QString &awaited, int timeoutMs,
                     bool cancellable)
{
    const ExchangeResult r = EncoderExchange(command, term, flush, {awaited}, timeoutMs, cancellable);
    if (!m_w)
        return Outcome::Gone;
    // every exchange after a probe runs with the time-out in force at the start
    m_w->Timer2.setInterval(m_remembered);
    m_last = r.reply;
    if (r.cancelled)
        return Outcome::Cancelled;
    // leaving the program cancels also a wait that the user could not cancel
    if (gRun.bExitAfterOperation)
        return Outcome::Cancelled;
    if (!m_w->MSComm1.PortOpen()) {
        m_lossShown = r.writeFailed;
        return Outcome::Lost;
    }
    return Outcome::Ok;
}

Outcome Search::pause(int ms)
{
    FixedPause(ms);
    if (!m_w)
        return Outcome::Gone;
    if (gRun.bExitAfterOperation)
        return Outcome::Cancelled;
    return m_w->MSComm1.PortOpen() ? Outcome::Ok : Outcome::Lost;
}

Outcome Search::settle()
{
    m_w->MSComm1.setSettings(kProgrammingSettings);
    return pause(kSettleMs);
}

void Search::parse()
{
    m_w->lblVersion->setText(QStringLiteral("Firmware Version: ") + ParseEncoderVersion(m_last));
}

bool Search::finish(Outcome o)
{
    switch (o) {
    case Outcome::Ok: return true;
    case Outcome::Cancelled: cancelExit(); return false;
    case Outcome::Gone: return false;
    case Outcome::Lost:
        // the one box of a search the device's going away ended: the port's
        // own text, as for any failure of the port
        if (!m_lossShown)
            ShowPortFailure(m_w->MSComm1);
        return false;
    }
    return false;
}

void Search::run()
{
    frmTerminal *w = m_w;
    platform::SerialPort &port = w->MSComm1;
    const int n = port.CommPort();

    IdentifyReply kind = IdentifyReply::Unknown;
    bool tap = false;
    for (int attempt = 1; attempt <= kDetectAttemptCount; ++attempt) {
        const DetectAttempt &a = DetectAttempts()[size_t(attempt - 1)];
        if (attempt == 1 && gRun.bVirginMode)
            port.setSettings(kVirginSettings);
        platform::SetHourglass();
        if (!a.settings.isEmpty())
            port.setSettings(a.settings);
        w->Timer2.setInterval(a.probeTimeoutMs);
        port.setInBufferCount(0);
        frmCancelSend *box = forms::cancelSend();
        box->Label1->setText(DetectingText(n, port.Settings()));
        box->Show();

        if (!finish(probe(a.probeTimeoutMs)))
            return;
        if (m_last.contains(kTapAwaited)) {
            tap = true;
            break;
        }
        port.setSettings(kProgrammingSettings);
        if (!finish(identify()))
            return;
        kind = ClassifyIdentifyReply(m_last);
        if (kind != IdentifyReply::Unknown)
            break;
    }

    if (tap) {
        if (!finish(pause(kRebootPauseMs)))
            return;
        port.setSettings(kProgrammingSettings);
        if (!finish(identify()))
            return;
        if (m_last.contains(kIdAwaited)) {
            // without the prompt the encoder counts as version 8
            parse();
            if (IsVersion7(ParseEncoderVersion(m_last)))
                gRun.bV7Firmware = true;
        }
        detected();
        return;
    }

    switch (kind) {
    case IdentifyReply::LogOnPrompt:
        parse();
        if (IsVersion7(ParseEncoderVersion(m_last))) {
            gRun.bV7Firmware = true;
        } else {
            if (!finish(enter()) || !finish(settle()))
                return;
        }
        detected();
        return;
    case IdentifyReply::Identified: {
        const QString version = ParseEncoderVersion(m_last);
        if (IsVersion7(version)) {
            refuseVersion7();
            return;
        }
        w->lblVersion->setText(QStringLiteral("Firmware Version: ") + version);
        if (!finish(enterFromProgramming()) || !finish(settle()))
            return;
        detected();
        return;
    }
    case IdentifyReply::Comp1Prompt:
    case IdentifyReply::Comp2Prompt:
    case IdentifyReply::Echo:
    case IdentifyReply::Invalid:
        if (!finish(enter()))
            return;
        // a version 7 COMP1 input echoes the request, a COMP2 one stays silent
        if ((kind == IdentifyReply::Comp1Prompt && m_last.contains(kPrgmMode)) ||
            (kind == IdentifyReply::Comp2Prompt && m_last.isEmpty())) {
            refuseVersion7();
            return;
        }
        if (!finish(settle()) || !finish(reidentify()))
            return;
        if (m_last.contains(kIdAwaited))
            parse();
        detected();
        return;
    case IdentifyReply::Unknown:
        notDetected();
        return;
    }
}

void Search::cancelExit()
{
    gWait.bCancelRequested = false;
    gWait.bReplyTimeout = false;
    m_w->Timer2.setEnabled(false);
    OpenClosePort();
}

void Search::refuseVersion7()
{
    platform::MsgBox(V7RefusalText(), Buttons::OK, Icon::None, kV7RefusalTitle);
    gRun.bV7Firmware = true;
    if (m_w)
        OpenClosePort();
}

void Search::notDetected()
{
    platform::MsgBox(NotDetectedText(), Buttons::OK, Icon::None, kNotDetectedTitle);
    forms::unloadCancelSend();
    if (!m_w)
        return;
    if (!m_last.isEmpty()) {
        platform::SetHourglass();
        EncoderSend(QStringLiteral("config reboot"), Term::CR);
    }
    platform::SetDefaultPointer();
    m_w->BringConnectedPictureToFront(false);
    OpenClosePort();
}

void Search::detected()
{
    if (gRun.bExitAfterOperation) {
        cancelExit();
        return;
    }
    forms::unloadCancelSend();
    platform::SetDefaultPointer();
    gRun.bSkipDetect = true;
    setTestMenuEnabled(m_w, true);
    m_w->mnuReadDB->setEnabled(true);
    m_w->mnuWriteDB->setEnabled(true);
    platform::MsgBox(DetectedText(), Buttons::OK, Icon::None, kDetectedTitle);
    if (!m_w)
        return;
    bool read = true;
    if (!ViewMatchesEncoder())
        read = platform::MsgBox(ReadQuestionText(), Buttons::YesNo, Icon::Question, kReadQuestionTitle) == Answer::Yes;
    if (!m_w)
        return;
    if (read) {
        // the reader holds the port for itself
        m_guard->reset();
        if (gRun.bV7Firmware)
            ReadEncoderDatabaseV7();
        else
            ReadEncoderDatabaseV8();
        if (!m_w)
            return;
    }
    if (gRun.sBrand == QLatin1String("Quorvane"))
        m_w->Label25->setText(ModelLabel(m_last));
}

// The port was closed by the toggle, or did not open: the encoder goes back
// to paging operation (version 8) and the window shows the closed state.
void CloseSequence(frmTerminal *window)
{
    QPointer<frmTerminal> w = window;
    platform::SerialPort &port = w->MSComm1;
    const int n = port.CommPort();
    const bool v8 = !gRun.bV7Firmware;
    if (v8) {
        platform::SetHourglass();
        if (!port.PortOpen())
            port.setPortOpen(true);
        EncoderSend(QStringLiteral("config reboot"), Term::CR);
    }
    w->cmdComStatus->setEnabled(false);
    setTestMenuEnabled(w, false);
    w->cmdLookup->setEnabled(false);
    w->mnuSendMsg->setEnabled(false);
    setToolbarKeyEnabled(w, "program", false);
    setToolbarKeyEnabled(w, "read", false);
    setToolbarKeyEnabled(w, "test", false);
    w->BringConnectedPictureToFront(false);
    w->mnuOpen->setText(QStringLiteral("&Open Port"));
    w->cmdComStatus->setText(QStringLiteral("Open COM ") + QString::number(n));
    w->SetStatusPanel(2, QStringLiteral("COM ") + QString::number(n) + QStringLiteral(" Closed"));
    w->mnuReadDB->setEnabled(false);
    w->mnuWriteDB->setEnabled(false);
    forms::unloadWindow("frmMessageTest");
    if (!w)
        return;
    if (port.PortOpen())
        port.setPortOpen(false);
    port.setSettings(kProgrammingSettings);
    if (v8) {
        // the encoder restarts; the port button waits for it
        FixedPause(kRebootPauseMs);
        if (!w)
            return;
        platform::SetDefaultPointer();
    }
    w->cmdComStatus->setEnabled(true);
}

// The open steps; false when the search is to be skipped.
bool OpenSteps(frmTerminal *w)
{
    const int n = w->MSComm1.CommPort();
    gRun.bV7Firmware = false;
    w->BringConnectedPictureToFront(true);
    w->SetStatusPanel(2, QStringLiteral("COM ") + QString::number(n) + QStringLiteral(" Open"));
    w->mnuOpen->setText(QStringLiteral("&Close Port"));
    w->cmdComStatus->setText(QStringLiteral("Close COM ") + QString::number(n));
    w->FollowMatchState();
    setToolbarKeyEnabled(w, "program", true);
    setToolbarKeyEnabled(w, "read", true);
    return !gRun.bSkipDetect;
}

}  // namespace

void OpenClosePort()
{
    QPointer<frmTerminal> w = forms::terminal();
    if (!w)
        return;
    // Nothing else may use the port while this call waits on it. The calls
    // this one makes to close the port run under the same hold.
    std::optional<PortBusyGuard> guard;
    guard.emplace();

    gWait.bCancelRequested = false;
    platform::SerialPort &port = w->MSComm1;
    if (!port.setPortOpen(!port.PortOpen())) {
        ShowPortFailure(port);
        if (!w)
            return;
    }
    const int remembered = w->Timer2.Interval();
    w->Timer2.setInterval(kDetectTimeoutMs);

    if (port.PortOpen()) {
        if (OpenSteps(w)) {
            Search search(w, remembered, &guard);
            search.run();
        }
    } else {
        CloseSequence(w);
    }

    // end of every call
    forms::unloadCancelSend();
    platform::SetDefaultPointer();
    gRun.bSkipDetect = false;
}
