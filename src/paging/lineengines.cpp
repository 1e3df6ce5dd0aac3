#include "database/state.h"
#include "link/encoderlink.h"
#include "paging/commlog.h"
#include "paging/enginewait.h"
#include "paging/engines.h"
#include "paging/frames.h"
#include "paging/paginghost.h"

#include <QPointer>

using namespace paging;
using paging::detail::WaitEnd;

namespace {

bool holdsCRLF(const QString &reply) { return reply.contains(QStringLiteral("\r\n")); }

// The first-attempt line of COMP2 and SNPP; an empty function code has no part.
QString attemptLine(const QString &label, const QString &pagerId, const QString &message, const QString &functionCode)
{
    QString line = label + pagerId;
    if (!functionCode.isEmpty())
        line += QStringLiteral("', FC - '") + functionCode;
    return line + QStringLiteral("', MSG - '") + message + QLatin1Char('\'');
}

QString retryLine(const QString &pagerId, const QString &message)
{
    return QStringLiteral("Retry Paging System Output, PIN - '") + pagerId + QStringLiteral("', MSG - '") + message +
           QLatin1Char('\'');
}

// The last step of COMP2 and SNPP: the answer echoed (list only), or, when
// nothing came, the attempt line once more.
int16_t ending(const QString &reply)
{
    if (!reply.isEmpty()) {
        QString line = ReplyEcho(QStringLiteral("Encoder: "), reply);
        LogListOnly(line);
    } else {
        LogListAndFile(sLogLine);
    }
    return 1;
}

// One attempt's send: the line is logged, then discard, flow control, write.
// False when the port failed: the engine then ends without a further line.
bool sendAttempt(platform::SerialPort &port, const QString &packet)
{
    if (!port.setInBufferCount(0))
        return false;
    if (!port.setHandshaking(platform::SerialPort::Handshake::RtsCtsXonXoff))
        return false;
    return port.Output(packet);
}

// Logs the attempt line (first or retry); false when the resends are spent.
bool logAttempt(bool &resend, int &resends, const QString &label, const QString &pagerId, const QString &message,
                const QString &functionCode)
{
    if (resend) {
        if (++resends > kMaxResends) {
            LogListAndFile(QStringLiteral("ERROR - Retried 3 Times, Msg Discarded"));
            return false;
        }
        LogListAndFile(retryLine(pagerId, message));
    } else {
        LogListAndFile(attemptLine(label, pagerId, message, functionCode));
    }
    resend = false;
    return true;
}

}  // namespace

int16_t OutComp1(const QString &message)
{
    detail::PageGuard guard;
    if (guard.busy() || !gLink)
        return 0;
    platform::SerialPort &port = gLink->MSComm1;
    port.setInBufferCount(0);
    if (!port.Output(Comp1Line(message)) && !port.PortOpen()) {
        LogListOnly(QStringLiteral("ERROR - COM Port Not Open, Message Discarded for Serial Port Plain Text Output"));
        return 0;
    }
    PagingHost *host = CurrentPagingHost();
    LogListOnly(QStringLiteral("COMP1 Output: PIN - '") + (host ? host->pagerIdText() : QString()) +
                QStringLiteral("', MSG - '") + message + QLatin1Char('\''));
    return 1;
}

int16_t OutComp2(QString pagerId, const QString &message, QString functionCode)
{
    if (gRun.bExiting)
        return 0;
    detail::PageGuard guard;
    if (guard.busy() || !gLink)
        return 0;
    QPointer<EncoderLink> link = gLink;
    platform::SerialPort &port = link->MSComm1;
    platform::Timer *tick = detail::EngineTick();
    if (!tick || !port.setInBufferCount(0))
        return 0;
    const QString packet = Comp2Packet(pagerId, message, functionCode);
    gWait.bCancelRequested = false;
    int resends = 0;
    bool resend = false;
    const QString prompt = Comp2Prompt();

    QString reply;
    for (;;) {
        if (!logAttempt(resend, resends, QStringLiteral("COMP2 Output, PIN - '"), pagerId, message, functionCode))
            return 0;
        if (!sendAttempt(port, packet))
            return 0;
        const WaitEnd end = detail::WaitForReply(*tick, reply, [&](const QString &r) { return r.contains(prompt); }, true);
        if (end == WaitEnd::Exiting || end == WaitEnd::LinkGone)
            return 0;

        bool hasNak = false;
        const QString code = NakCode(reply, &hasNak);
        if (hasNak) {
            switch (JudgeNakCode(code)) {
            case NakVerdict::InvalidAddress:
                LogListAndFile(QStringLiteral("ERROR - Invalid Address - Msg Rejected by Paging System - Msg Discarded"));
                break;
            case NakVerdict::Overflow:
                LogListAndFile(QStringLiteral("Paging System Buffer Overflow Detected, Resending Message"));
                resend = true;
                continue;
            case NakVerdict::FormatError:
                LogListAndFile(QStringLiteral("Msg Formatting Error, Resending Message"));
                resend = true;
                continue;
            case NakVerdict::Other:
                LogListAndFile(sLogLine);
                break;
            }
        }
        return ending(reply);
    }
}

int16_t OutSNPP(QString pagerId, const QString &message, QString functionCode)
{
    if (gRun.bExiting)
        return 0;
    detail::PageGuard guard;
    if (guard.busy() || !gLink)
        return 0;
    QPointer<EncoderLink> link = gLink;
    platform::SerialPort &port = link->MSComm1;
    platform::Timer *tick = detail::EngineTick();
    if (!tick || !port.setInBufferCount(0))
        return 0;
    const QString pagePacket = SnppPage(pagerId, functionCode);
    gWait.bCancelRequested = false;
    int resends = 0;
    bool resend = false;

    QString reply;
    // Waits for one reply line; false when the engine must leave at once.
    const auto waitLine = [&]() {
        const WaitEnd end = detail::WaitForReply(*tick, reply, holdsCRLF, true);
        return end != WaitEnd::Exiting && end != WaitEnd::LinkGone;
    };

    for (;;) {
        if (!logAttempt(resend, resends, QStringLiteral("SNPP Output, PIN - '"), pagerId, message, functionCode))
            return 0;
        if (!sendAttempt(port, pagePacket))
            return 0;
        if (!waitLine())
            return 0;

        switch (JudgeSnppReply(reply)) {
        case SnppVerdict::Accepted:
            break;
        case SnppVerdict::InvalidPagerId:
            LogListAndFile(QStringLiteral("ERROR - Invalid Pager ID - Msg Rejected by Paging System - Msg Discarded"));
            return ending(reply);
        case SnppVerdict::Overflow:
            LogListAndFile(QStringLiteral("Paging System Buffer Overflow Detected, Resending Message"));
            resend = true;
            continue;
        case SnppVerdict::FormatError:
            LogListAndFile(QStringLiteral("Msg Formatting Error, Resending Message"));
            resend = true;
            continue;
        case SnppVerdict::OtherCode:
            LogListAndFile(sLogLine);
            return ending(reply);
        case SnppVerdict::NoCode:
            return ending(reply);
        }

        // the pager ID is taken: the message, then the send command
        if (!port.Output(SnppMess(message)))
            return 0;
        if (!waitLine())
            return 0;
        if (!reply.contains(QLatin1String("250")))
            return ending(reply);
        if (!port.Output(SnppSend()))
            return 0;
        if (!waitLine())
            return 0;
        if (!reply.contains(QLatin1String("250")))
            return ending(reply);
        return 1;
    }
}
