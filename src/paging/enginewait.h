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

// Held while an engine runs; busy() tells that another one already does.
class PageGuard {
public:
    PageGuard();
    ~PageGuard();
    PageGuard(const PageGuard &) = delete;
    PageGuard &operator=(const PageGuard &) = delete;
    bool busy() const { return m_busy; }

private:
    bool m_busy;
};

}  // namespace paging::detail
