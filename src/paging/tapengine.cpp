#include "database/state.h"
#include "link/encoderlink.h"
#include "paging/commlog.h"
#include "paging/enginewait.h"
#include "paging/engines.h"
#include "paging/frames.h"

#include <QPointer>

using namespace paging;
using paging::detail::WaitEnd;

namespace {

// Waits of the log-in dialogue.
constexpr int kGoAheadWaitMs = 3000;
constexpr int kLoginPromptWaitMs = 2000;
// Carriage returns sent in one series while asking for a fresh log-in prompt.
constexpr int kLoginCRs = 3;

const QString kLoginError = QStringLiteral("ERROR - Error Logging Into Paging System, Message Discarded");

}  // namespace

int16_t OutTAP(QString PIN, const QString &message, QString logMessage)
{
    detail::PageGuard guard;
    if (guard.refused() || !gLink)
        return 0;
    QPointer<EncoderLink> link = gLink;
    platform::SerialPort &port = link->MSComm1;
    platform::Timer &timer = link->Timer1;

    port.setInBufferCount(0);  // a closed port shows at the write

    QString reply;
    bool resend = false;
    bool blockSent = false;  // every block after the first is a further attempt
    int busyResends = 0;
    int logins = 0;

    for (;;) {
        // the page block, sent afresh after every completed log-in
        const QString block = TapPageBlock(PIN, message);
        int naks = 0;
        bool loggingIn = false;

        while (!loggingIn) {
            if (blockSent && !detail::MayTryAgain(LogListOnly))
                return 0;
            blockSent = true;
            LogListOnly((resend ? QStringLiteral("Retry TAP Output: PIN - '") : QStringLiteral("TAP Output: PIN - '")) +
                        PIN + QStringLiteral("', MSG - '") + logMessage + QLatin1Char('\''));
            resend = false;
            if (!port.Output(block)) {
                LogListOnly(QStringLiteral("ERROR - ") + port.ErrorText());
                return 1;
            }
            if (detail::WaitForReply(timer, reply, TapReplyComplete, false) == WaitEnd::LinkGone)
                return 0;
            LogListOnly(TapEcho(reply));

            switch (JudgeTapReply(reply)) {
            case TapVerdict::Nak:
                if (naks < 2) {
                    ++naks;
                    resend = true;
                    continue;
                }
                LogListOnly(QStringLiteral("ERROR - NAKed 3 Times by Paging System - Msg Discarded"));
                break;
            case TapVerdict::PinRejected:
                LogListOnly(QStringLiteral("ERROR - PIN Rejected by Paging System - Msg Discarded"));
                break;
            case TapVerdict::Busy:
                if (busyResends < kTapMaxBusyResends) {
                    if (!detail::MayTryAgain(LogListOnly))
                        return 0;
                    ++busyResends;
                    LogListOnly(QStringLiteral("Paging System Busy - Retrying"));
                    // a busy system gets a tick to clear before the block goes
                    // again; a close asked meanwhile ends the pause at once
                    if (detail::WaitForReply(timer, reply, [](const QString &) { return detail::CloseRequested(); },
                                             false) == WaitEnd::LinkGone)
                        return 0;
                    resend = true;
                    continue;
                }
                LogListOnly(QStringLiteral("ERROR - Paging System Busy, Retried %1 Times - Msg Discarded")
                                .arg(kTapMaxBusyResends));
                break;
            case TapVerdict::Rejected:
                LogListOnly(QStringLiteral("ERROR - Message Rejected by Paging System - Msg Discarded"));
                break;
            case TapVerdict::LoginRequest:
                LogListOnly(QStringLiteral("Paging System Requires Login, Logging In"));
                loggingIn = true;
                continue;
            case TapVerdict::Done:
                break;
            }
            // the page is through, one way or the other
            if (reply.isEmpty())
                LogListOnly(QStringLiteral("ERROR - No Response from Paging System"));
            return 1;
        }

        // Log-in: answer every request with the terminal ID until the paging
        // system gives the go-ahead, asking for a fresh prompt with carriage
        // returns when it gives neither.
        bool goAhead = false;
        while (!goAhead) {
            if (!reply.contains(QLatin1String("ID=")) || logins >= kTapMaxLogins) {
                LogListOnly(kLoginError);
                return 1;
            }
            if (!detail::MayTryAgain(LogListOnly))
                return 0;
            ++logins;
            LogListOnly(QStringLiteral("Encoder: ID=<CR><LF>"));
            LogListOnly(QStringLiteral("Sending Terminal ID"));
            port.setInBufferCount(0);
            if (!port.Output(TapTerminalId()))
                LogListOnly(QStringLiteral("ERROR - ") + port.ErrorText());

            timer.setInterval(kGoAheadWaitMs);
            const QString goAheadLine = QStringLiteral("[p") + CR;
            if (detail::WaitForReply(timer, reply, [&](const QString &r) { return r.contains(goAheadLine); }, false) ==
                WaitEnd::LinkGone)
                return 0;
            if (reply.contains(QLatin1String("[p"))) {
                goAhead = true;
                break;
            }

            port.setInBufferCount(0);
            for (int crs = 1;; ++crs) {
                if (!detail::MayTryAgain(LogListOnly))
                    return 0;
                if (!port.Output(QString(CR)) && !port.PortOpen()) {
                    LogListOnly(QStringLiteral("ERROR - COM Port Not Open, Message Discarded"));
                    return 1;
                }
                timer.setInterval(kLoginPromptWaitMs);
                const WaitEnd end = detail::WaitForReply(
                    timer, reply, [](const QString &r) { return r.contains(QLatin1String("ID=")); }, false);
                if (end == WaitEnd::TimerStopped || end == WaitEnd::LinkGone)
                    return 0;
                if (end != WaitEnd::Expired || crs >= kLoginCRs)
                    break;
            }
        }
    }
}
