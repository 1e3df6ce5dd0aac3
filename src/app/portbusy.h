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

// The one busy rule: true while an operation holds the port (detection,
// lookup, a read, programming) or a families or groups check runs. Every
// command that sends to the encoder or reads or rewrites the tables does
// nothing meanwhile.
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
