#include "link/exchange.h"

#include "database/state.h"
#include "link/encoderlink.h"
#include "platform/dialogs.h"
#include "platform/system.h"

#include <QElapsedTimer>
#include <QPointer>

namespace {

// The poll period of every wait.
constexpr int kPollMs = 50;

// No exchange has gone out since a run started.
bool runStarting = false;

bool holdsAny(const QString &reply, const QStringList &awaited)
{
    for (const QString &a : awaited) {
        if (reply.contains(a, Qt::CaseSensitive))
            return true;
    }
    return false;
}

}  // namespace

QString TermText(Term term)
{
    switch (term) {
    case Term::CR: return QStringLiteral("\r");
    case Term::CRCR: return QStringLiteral("\r\r");
    case Term::CRLF: return QStringLiteral("\r\n");
    case Term::None: break;
    }
    return QString();
}

ExchangeResult EncoderExchange(const QString &command, Term term, bool flush, const QStringList &awaited,
                               int timeoutMs, bool cancellable)
{
    ExchangeResult result;
    // the link can go away while the wait handles window messages
    QPointer<EncoderLink> link = gLink;
    if (!link) {
        result.timedOut = true;
        return result;
    }
    platform::SerialPort &port = link->MSComm1;
    platform::Timer &timer = link->Timer2;

    if (flush || runStarting)
        port.setInBufferCount(0);
    runStarting = false;
    if (timeoutMs >= 0)
        timer.setInterval(timeoutMs);
    if (!port.Output(command + TermText(term))) {
        result.writeFailed = true;
        ShowPortFailure(port);
        if (!link) {
            result.timedOut = true;
            return result;
        }
    }

    gWait.bReplyTimeout = false;
    // A box or dialog opened during the wait (the exit question, say) holds
    // it while the timer runs on: a reply it kept the wait from reading is no
    // time-out. Without one, the time-out stands, also when a late answer
    // lands in the same poll.
    bool ranOutUnderBox = false;
    const int depthAtStart = platform::ModalDepth();
    const QMetaObject::Connection underBox = QObject::connect(
        &timer, &platform::Timer::fired, [&] { ranOutUnderBox = platform::ModalDepth() > depthAtStart; });
    // a timer somebody left running would not start a full interval
    timer.setEnabled(false);
    timer.setEnabled(true);
    // Bound of the wait should the timer be stopped under it (a wait started
    // by a handler during this one stops the timer when it ends). It is never
    // shorter than the time-out, so the timer ends every ordinary wait.
    const int intervalMs = timer.Interval() > 0 ? timer.Interval() : timer.designInterval();
    const qint64 boundMs = platform::ScaledMs(intervalMs) + platform::ScaledMs(kPollMs);
    QElapsedTimer clock;
    clock.start();

    for (;;) {
        platform::DoEvents();
        platform::Sleep(kPollMs);
        if (!link) {
            QObject::disconnect(underBox);
            result.timedOut = true;
            return result;
        }
        if (port.PortOpen())
            result.reply += port.Input();
        if (!gWait.bReplyTimeout && !link->Timer2.Enabled() && clock.elapsed() >= boundMs)
            gWait.bReplyTimeout = true;
        result.cancelled = cancellable && gWait.bCancelRequested;
        result.found = holdsAny(result.reply, awaited);
        result.timedOut = gWait.bReplyTimeout && !(result.found && ranOutUnderBox);
        if (result.cancelled || result.timedOut || result.found)
            break;
    }

    QObject::disconnect(underBox);
    timer.setEnabled(false);
    gWait.bReplyTimeout = false;
    return result;
}

void StartEncoderRun() { runStarting = true; }

bool EncoderSend(const QString &command, Term term)
{
    if (!gLink)
        return false;
    return gLink->MSComm1.Output(command + TermText(term));
}

void ShowPortFailure(const platform::SerialPort &port)
{
    platform::MsgBox(port.ErrorText(), platform::Buttons::OK, platform::Icon::Exclamation, platform::AppTitle());
}
