// The reply wait and the one-page-at-a-time guard the engines share.
#pragma once

#include <QString>
#include <functional>

class EncoderLink;

namespace platform {
class SerialPort;
class Timer;
}  // namespace platform

namespace paging::detail {

enum class WaitEnd {
    Found,         // the reply holds what was awaited
    Expired,       // the tick came first
    TimerStopped,  // the timer was switched off by other code before it ticked
    Exiting,       // the program is closing (waits that honour bExiting)
    LinkGone,      // the main window's link went away meanwhile
};

// Clears bTimer1Expired, starts `timer` afresh, empties `reply`, then polls:
// handle window messages, (leave on bExiting when `honourExiting`), pause
// 5 ms, append the port's input; until `done(reply)` or the tick. Afterwards
// the timer is off and bTimer1Expired is False (not so when leaving on
// bExiting: the timer then runs on until its own tick).
WaitEnd WaitForReply(platform::Timer &timer, QString &reply, const std::function<bool(const QString &)> &done,
                     bool honourExiting);

// The tick of the framed and line engines: the host's, else the main window's Timer1.
platform::Timer *EngineTick();

// True once the program's shut-down or the host's close has been asked
// (bExiting, PagingHost::closeRequested). From then on no engine starts a
// page, nor a further attempt of the one it sends: no resend, no log-in, no
// pause before a resend. The answer already awaited is still taken, so that
// the close runs on a quiet line.
bool CloseRequested();

// Asked before every further attempt of a page: false once a close is asked,
// after `log` (the engine's own way of logging) has reported the page given up.
bool MayTryAgain(void (*log)(const QString &));

// Asked before a resend of the framed, COMP2 and SNPP engines: false when the
// resends are spent or a close is asked (each logged, to list and file);
// otherwise counts the resend in `resends` and logs its line.
bool NextResend(int &resends, const QString &pagerId, const QString &message);

// Held while an engine runs. refused(): another page is already under way,
// or a close is asked; the engine then returns 0 at once.
class PageGuard {
public:
    PageGuard();
    ~PageGuard();
    PageGuard(const PageGuard &) = delete;
    PageGuard &operator=(const PageGuard &) = delete;
    bool refused() const { return m_busy || m_closing; }

private:
    bool m_busy;
    bool m_closing;
};

}  // namespace paging::detail
