// The command exchange with the encoder: one command line is written to the
// link's serial port, then the reply is polled for until an awaited text
// arrives, the reply time-out (Timer2) runs out or, where the caller allows
// it, the user cancels. Every conversation with the encoder goes through it.
#pragma once

#include <QString>
#include <QStringList>

namespace platform {
class SerialPort;
}  // namespace platform

// Line end appended to a command; command and line end go out in one write.
enum class Term { None, CR, CRCR, CRLF };

// The characters of a line end.
QString TermText(Term term);

// Time-out argument that leaves the reply time-out in force.
inline constexpr int kTimeoutAsSet = -1;

// How a wait ended. More than one flag can hold after the same poll; each
// caller judges them in its own order. A reply found after the time-out ran
// out while a box or dialog opened during the wait held it is not timed out:
// the box kept the reply from being read.
struct ExchangeResult {
    QString reply;             // everything received during the wait, unchanged
    bool cancelled = false;    // the cancel flag was set (cancellable waits only)
    bool timedOut = false;     // the reply time-out ran out
    bool found = false;        // the reply holds one of the awaited texts
    bool writeFailed = false;  // the command could not be written; its box has been shown
};

// Sends `command` + `term` and waits for a reply that holds one of `awaited`
// (exact case, anywhere in the reply). `flush` discards waiting input first.
// `timeoutMs` >= 0 is written to Timer2's interval and stays in force;
// kTimeoutAsSet keeps the interval in force. A failed write shows its text in
// an exclamation box and the wait still runs to its time-out. The cancel flag
// ends the wait only when `cancellable`, and is left set for the caller.
ExchangeResult EncoderExchange(const QString &command, Term term, bool flush, const QStringList &awaited,
                               int timeoutMs, bool cancellable);

// Every run that talks to the encoder starts on an empty receive buffer:
// after this call the next exchange empties it before its write, whatever
// its `flush` says, so that nothing an earlier run left there (a late answer
// to a step that timed out) is taken for an answer. A late answer inside one
// run is that run's to judge. Called by PortBusyGuard, which every such run
// takes.
void StartEncoderRun();

// Writes `command` + `term` and nothing else: no flush, no wait, no box.
// False when the write failed.
bool EncoderSend(const QString &command, Term term);

// Reports the serial port's last failure as every failure of the link is
// reported: its own text in an exclamation box with an OK button, titled with
// the application title.
void ShowPortFailure(const platform::SerialPort &port);
