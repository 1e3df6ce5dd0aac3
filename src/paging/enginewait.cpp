#include "paging/enginewait.h"

#include "database/state.h"
#include "link/encoderlink.h"
#include "paging/commlog.h"
#include "paging/engines.h"
#include "paging/paginghost.h"
#include "platform/system.h"

#include <QPointer>

namespace paging::detail {

namespace {
constexpr int kPollMs = 5;
bool g_pageInProgress = false;
}  // namespace

WaitEnd WaitForReply(platform::Timer &timer, QString &reply, const std::function<bool(const QString &)> &done,
                     bool honourExiting)
{
    QPointer<EncoderLink> link = gLink;
    QPointer<platform::Timer> tick = &timer;
    gWait.bTimer1Expired = false;
    // a timer left running by somebody else would not give a full interval
    timer.setEnabled(false);
    timer.setEnabled(true);
    reply.clear();

    WaitEnd end;
    for (;;) {
        platform::DoEvents();
        if (honourExiting && gRun.bExiting)
            return WaitEnd::Exiting;
        platform::Sleep(kPollMs);
        if (!link || !tick) {
            end = WaitEnd::LinkGone;
            break;
        }
        if (link->MSComm1.PortOpen())
            reply += link->MSComm1.Input();
        if (done(reply)) {
            end = WaitEnd::Found;
            break;
        }
        if (gWait.bTimer1Expired) {
            end = WaitEnd::Expired;
            break;
        }
        // Only a handler's tick switches the timer off after setting the
        // flag; a timer found off without the flag was stopped by another
        // wait and would never tick for this one.
        if (!tick->Enabled()) {
            end = WaitEnd::TimerStopped;
            break;
        }
    }
    if (tick)
        tick->setEnabled(false);
    gWait.bTimer1Expired = false;
    return end;
}

platform::Timer *EngineTick()
{
    PagingHost *host = CurrentPagingHost();
    if (host && host->tickTimer())
        return host->tickTimer();
    return gLink ? &gLink->Timer1 : nullptr;
}

bool CloseRequested()
{
    if (gRun.bExiting)
        return true;
    PagingHost *host = CurrentPagingHost();
    return host && host->closeRequested();
}

bool MayTryAgain(void (*log)(const QString &))
{
    if (!CloseRequested())
        return true;
    log(QStringLiteral("ERROR - Test Closing, Not Retried - Msg Discarded"));
    return false;
}

bool NextResend(int &resends, const QString &pagerId, const QString &message)
{
    if (resends >= kMaxResends) {
        LogListAndFile(QStringLiteral("ERROR - Retried 3 Times, Msg Discarded"));
        return false;
    }
    if (!MayTryAgain(LogListAndFile))
        return false;
    ++resends;
    LogListAndFile(QStringLiteral("Retry Paging System Output, PIN - '") + pagerId + QStringLiteral("', MSG - '") +
                   message + QLatin1Char('\''));
    return true;
}

PageGuard::PageGuard() : m_busy(g_pageInProgress), m_closing(CloseRequested()) { g_pageInProgress = true; }

PageGuard::~PageGuard()
{
    if (!m_busy)
        g_pageInProgress = false;
}

}  // namespace paging::detail

bool PageInProgress() { return paging::detail::g_pageInProgress; }
