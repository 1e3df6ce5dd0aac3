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

enum class Framing { Quorvane, Scope };

// Logs a line that begins with the time stamp.
void logStamped(const QString &text) { LogListAndFile(LogTimeStamp() + text); }

int16_t outFramed(Framing framing, const QString &pin7, const QString &message, const QString &functionCode,
                  const QString &dataRate)
{
    detail::PageGuard guard;
    if (guard.refused() || !gLink)
        return 0;
    QPointer<EncoderLink> link = gLink;
    platform::SerialPort &port = link->MSComm1;
    platform::Timer *tick = detail::EngineTick();
    if (!tick)
        return 0;

    int retries = 0;
    bool resend = false;
    port.setInBufferCount(0);
    const QString frame = framing == Framing::Quorvane ? QuorvaneFrame(pin7, message, functionCode, dataRate)
                                                       : ScopeFrame(pin7, message, functionCode, dataRate);
    const QString label =
        framing == Framing::Quorvane ? QStringLiteral("Quorvane Output, PIN - '") : QStringLiteral("Scope Output, PIN - '");

    QString reply;
    for (;;) {
        if (resend) {
            if (!detail::NextResend(retries, pin7, message))
                return 0;
            resend = false;
        } else {
            LogListAndFile(label + pin7 + QStringLiteral("', FC - '") + functionCode + QStringLiteral("', MSG - '") +
                           message + QStringLiteral("', DR - '") + dataRate + QLatin1Char('\''));
        }

        // each step is tried even when one before it failed; the last failure is reported
        QString error;
        if (!port.setInBufferCount(0))
            error = port.ErrorText();
        if (!port.setHandshaking(platform::SerialPort::Handshake::RtsCtsXonXoff))
            error = port.ErrorText();
        if (!port.Output(frame))
            error = port.ErrorText();
        if (!error.isEmpty()) {
            logStamped(QStringLiteral(": ERROR - ") + error);
            return 0;
        }

        const WaitEnd end = detail::WaitForReply(*tick, reply, [](const QString &r) { return r.contains(EOT); }, true);
        if (end == WaitEnd::Exiting || end == WaitEnd::LinkGone)
            return 0;

        bool hasNak = false;
        const QString code = NakCode(reply, &hasNak);
        if (hasNak) {
            switch (JudgeNakCode(code)) {
            case NakVerdict::InvalidAddress:
                logStamped(QStringLiteral(": ERROR - Invalid Address - Msg Rejected by Paging System - Msg Discarded"));
                break;
            case NakVerdict::Overflow:
                logStamped(QStringLiteral(": Paging System Buffer Overflow Detected, Resending Message"));
                resend = true;
                continue;
            case NakVerdict::FormatError:
                logStamped(QStringLiteral(": Msg Formatting Error, Resending Message"));
                resend = true;
                continue;
            case NakVerdict::Other:
                logStamped(QStringLiteral(": ERROR - Message Rejected by Paging System - Msg Discarded"));
                break;
            }
        } else if (reply.isEmpty()) {
            logStamped(QStringLiteral(": ERROR - No Response from Paging System"));
            return 1;
        }
        logStamped(ReplyEcho(QStringLiteral(": Paging System: "), reply));
        return 1;
    }
}

}  // namespace

int16_t OutQuorvane(QString PIN7, const QString &message, QString functionCode, const QString &dataRate)
{
    return outFramed(Framing::Quorvane, PIN7, message, functionCode, dataRate);
}

int16_t OutScope(QString PIN7, const QString &message, QString functionCode, const QString &dataRate)
{
    return outFramed(Framing::Scope, PIN7, message, functionCode, dataRate);
}
