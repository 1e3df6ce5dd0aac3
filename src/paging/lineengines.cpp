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

// One attempt's send after its line: discard, flow control, write, each
// tried even when one before it failed. Empty when all went well, else the
// text of the last failure; `written` tells whether the packet went out.
QString sendAttempt(platform::SerialPort &port, const QString &packet, bool *written = nullptr)
{
    QString error;
    if (!port.setInBufferCount(0))
        error = port.ErrorText();
    if (!port.setHandshaking(platform::SerialPort::Handshake::RtsCtsXonXoff))
        error = port.ErrorText();
    const bool out = port.Output(packet);
    if (!out)
        error = port.ErrorText();
    if (written)
        *written = out;
    return error;
}

// A failed send ends the page as a failure, reported at once.
int16_t sendFailed(const QString &error)
{
    LogListAndFile(QStringLiteral("ERROR - ") + error);
    return 0;
}

// Logs the attempt line (first or retry); false when no further attempt
// may start (the resends are spent, or a close is asked).
bool logAttempt(bool &resend, int &resends, const QString &label, const QString &pagerId, const QString &message,
                const QString &functionCode)
{
    if (resend) {
        if (!detail::NextResend(resends, pagerId, message))
            return false;
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
    if (guard.refused() || !gLink)
        return 0;
    platform::SerialPort &port = gLink->MSComm1;
    port.setInBufferCount(0);
    if (!port.Output(Comp1Line(message))) {
        // nothing went out, so no send line either
        LogListOnly(port.PortOpen()
                        ? QStringLiteral("ERROR - ") + port.ErrorText()
                        : QStringLiteral("ERROR - COM Port Not Open, Message Discarded for Serial Port Plain Text Output"));
        return 0;
    }
    PagingHost *host = CurrentPagingHost();
    LogListOnly(QStringLiteral("COMP1 Output: PIN - '") + (host ? host->pagerIdText() : QString()) +
                QStringLiteral("', MSG - '") + message + QLatin1Char('\''));
    return 1;
}

int16_t OutComp2(QString pagerId, const QString &message, QString functionCode)
{
    detail::PageGuard guard;
    if (guard.refused() || !gLink)
        return 0;
    QPointer<EncoderLink> link = gLink;
    platform::SerialPort &port = link->MSComm1;
    platform::Timer *tick = detail::EngineTick();
    if (!tick)
        return 0;
    port.setInBufferCount(0);  // a closed port shows at the send
    const QString packet = Comp2Packet(pagerId, message, functionCode);
    gWait.bCancelRequested = false;
    int resends = 0;
    bool resend = false;
    const QString prompt = Comp2Prompt();

    QString reply;
    for (;;) {
        if (!logAttempt(resend, resends, QStringLiteral("COMP2 Output, PIN - '"), pagerId, message, functionCode))
            return 0;
        if (const QString error = sendAttempt(port, packet); !error.isEmpty())
            return sendFailed(error);
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
    detail::PageGuard guard;
    if (guard.refused() || !gLink)
        return 0;
    QPointer<EncoderLink> link = gLink;
    platform::SerialPort &port = link->MSComm1;
    platform::Timer *tick = detail::EngineTick();
    if (!tick)
        return 0;
    port.setInBufferCount(0);  // a closed port shows at the send
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

    // The server keeps the pager IDs and the message of a page until SEND:
    // a page that ends any other way once something reached it is reset, or
    // the next page would also go to what is left pending.
    bool reachedServer = false;
    const auto endPage = [&](int16_t result) -> int16_t {
        if (reachedServer && port.Output(SnppReset()) && !waitLine())
            return 0;
        return result;
    };

    for (;;) {
        if (!logAttempt(resend, resends, QStringLiteral("SNPP Output, PIN - '"), pagerId, message, functionCode))
            return endPage(0);
        bool written = false;
        const QString error = sendAttempt(port, pagePacket, &written);
        reachedServer = reachedServer || written;
        if (!error.isEmpty())
            return endPage(sendFailed(error));
        if (!waitLine())
            return 0;

        switch (JudgeSnppReply(reply)) {
        case SnppVerdict::Accepted:
            break;
        case SnppVerdict::InvalidPagerId:
            LogListAndFile(QStringLiteral("ERROR - Invalid Pager ID - Msg Rejected by Paging System - Msg Discarded"));
            return endPage(ending(reply));
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
            return endPage(ending(reply));
        case SnppVerdict::NoCode:
            return endPage(ending(reply));
        }

        // the pager ID is taken: the message, then the send command
        if (!port.Output(SnppMess(message)))
            return endPage(sendFailed(port.ErrorText()));
        if (!waitLine())
            return 0;
        if (!reply.contains(QLatin1String("250")))
            return endPage(ending(reply));
        if (!port.Output(SnppSend()))
            return endPage(sendFailed(port.ErrorText()));
        if (!waitLine())
            return 0;
        if (!reply.contains(QLatin1String("250")))
            return endPage(ending(reply));
        return 1;
    }
}
