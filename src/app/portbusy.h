#pragma once

#include <memory>

class QObject;
class QWidget;

// Held by every operation that uses the encoder port while it waits
// (detection, lookup, transfer). While one is held, commands that would start
// another use of the port do nothing. An exit asked for meanwhile cancels the
// running operation; the main window closes once the guard is released.
// Taking it starts a run: the run's first exchange empties the receive
// buffer before it sends (StartEncoderRun).
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

// The one busy rule: true while an operation holds the port (detection,
// lookup, a read, programming), a families or groups check runs, or a
// window's closing waits on the encoder. Every command that sends to the
// encoder or reads or rewrites the tables does nothing meanwhile.
bool Busy();

// Held by a window while its closing runs and waits: the test console and
// transmitter tuning on the encoder's answer, a grid editor on OK's steps,
// its check and its closing question. Those waits let window events through;
// what may run meanwhile is answered here:
// - a second close of that window does nothing: its close box is held back
//   here, and a close step that can be reached otherwise asks
//   ClosingWaits(), so the window stays up (and modal, if it is) until the
//   closing has ended;
// - a closing that waits on the encoder counts as busy, so no command that
//   talks to the encoder starts (an editor's check counts as busy by itself,
//   and its closing steps must not wait for their own closing);
// - a close of the main window is put off, as while an operation holds the
//   port, and asked again once the closing has ended: the exit question, then
//   the closing question of each editor still open. The shut-down, which
//   unloads the window, never runs while the window's own closing is under way.
class ClosingWaitGuard {
public:
    enum class WaitsOn { Encoder, OwnSteps };
    explicit ClosingWaitGuard(QWidget *window, WaitsOn waitsOn = WaitsOn::Encoder);
    ~ClosingWaitGuard();
    ClosingWaitGuard(const ClosingWaitGuard &) = delete;
    ClosingWaitGuard &operator=(const ClosingWaitGuard &) = delete;

private:
    const QWidget *m_window;
    bool m_onEncoder;
    std::unique_ptr<QObject> m_closeBoxFilter;
};

// True while the closing of `window` runs (of any window when null).
bool ClosingWaits(const QWidget *window = nullptr);
