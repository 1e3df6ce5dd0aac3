// What the paging engines need of the window that hosts them (the test
// console): its communications log list, its one-shot tick timer and the
// text of its pager ID box. The console implements PagingHost and installs
// itself with SetPagingHost while it is loaded; tests install their own.
#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

class QListWidget;

namespace platform {
class Timer;
}

class PagingHost {
public:
    virtual ~PagingHost() = default;

    // The communications log list: position 0 is the latest line. Null when
    // the host has no list (lines are then only written to the log file).
    virtual QListWidget *logList() = 0;

    // The console's one-shot tick (its Timer1): the reply waits of every
    // engine but TAP enable it and poll bTimer1Expired, which its handler
    // sets before disabling the timer. Null: the main window's Timer1 stands in.
    virtual platform::Timer *tickTimer() = 0;

    // The pager ID box as it reads now (the COMP1 log line and the pager-ID
    // validation read it).
    virtual QString pagerIdText() const = 0;

    // True once the host's close has been asked while a page is under way
    // (the close then waits for that page). The engine takes the answer it
    // awaits and starts nothing further.
    virtual bool closeRequested() const { return false; }
};

// The host in use; null while no console is loaded.
void SetPagingHost(PagingHost *host);
PagingHost *CurrentPagingHost();

// The clock of the log's time stamps; tests install a fixed one. An empty
// function restores the system clock.
void SetLogClock(std::function<QDateTime()> clock);
QDateTime LogClockNow();

// True while an engine is sending a page or waiting for its answer. The
// waits handle window messages, so the console's Send button, its range test
// tick or its closing can run meanwhile: they must not start another
// exchange on the link while this is set. An engine called anyway returns 0
// at once without sending or logging anything.
bool PageInProgress();
