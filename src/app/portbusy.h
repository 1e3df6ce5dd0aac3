#pragma once

// Held by every operation that uses the encoder port while it waits
// (detection, lookup, transfer). While one is held, commands that would start
// another use of the port do nothing. An exit asked for meanwhile cancels the
// running operation; the main window closes once the guard is released.
class PortBusyGuard {
public:
    PortBusyGuard();
    ~PortBusyGuard();
    PortBusyGuard(const PortBusyGuard &) = delete;
    PortBusyGuard &operator=(const PortBusyGuard &) = delete;
    // False when another operation already holds the port.
    bool acquired() const { return m_acquired; }

private:
    bool m_acquired;
};

// True while an operation holds the port.
bool PortBusy();
