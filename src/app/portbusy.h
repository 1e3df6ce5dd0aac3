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

// Held by a grid editor while its closing steps run (OK's steps, its check,
// its closing question). The check lets window events through under its
// cancel box, so the main window can be asked to close meanwhile; that close
// is put off, as while an operation holds the port, and asked again once the
// editor's closing has ended: the exit question, then the closing question of
// each editor still open.
class EditorClosingGuard {
public:
    EditorClosingGuard();
    ~EditorClosingGuard();
    EditorClosingGuard(const EditorClosingGuard &) = delete;
    EditorClosingGuard &operator=(const EditorClosingGuard &) = delete;
};

// True while an editor's closing steps run.
bool EditorClosing();

// Held by a window whose closing talks to the encoder (the test console,
// transmitter tuning) while that closing runs. Its wait for the encoder's
// answer lets window events through; what may run meanwhile is answered here:
// - a second close of that window does nothing: its close box is held back
//   here, and its own close step asks ClosingWaits(), so it stays up, and
//   modal, until the closing has ended;
// - the closing counts as busy, so no command that talks to the encoder starts;
// - a close of the main window is put off, as during an editor's closing, and
//   asked again once the closing has ended: the shut-down, which unloads the
//   window, never runs while the window's own closing is under way.
class ClosingWaitGuard {
public:
    explicit ClosingWaitGuard(QWidget *window);
    ~ClosingWaitGuard();
    ClosingWaitGuard(const ClosingWaitGuard &) = delete;
    ClosingWaitGuard &operator=(const ClosingWaitGuard &) = delete;

private:
    const QWidget *m_window;
    std::unique_ptr<QObject> m_closeBoxFilter;
};

// True while the closing of `window` runs (of any window when null).
bool ClosingWaits(const QWidget *window = nullptr);
