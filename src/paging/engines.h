// One sender per protocol of the encoder's paging input. Each puts one test
// page on the main window's serial port, waits for the answer where the
// protocol has one, resends on the answers that ask for it and reports every
// step in the communications log. Each returns 1 when it ended on its own
// terms (an answer, a refusal, silence) and 0 when it gave up or left early;
// the console ignores the result. A write that fails is logged as an error
// line at once; the framed and line engines then end the page with 0.
//
// Waits poll the port every 5 ms while window messages are handled and end
// on the awaited text or a tick of the wait's one-shot timer
// (bTimer1Expired); all but TAP also leave at once when bExiting is set.
// Once the program's shut-down or the console's close is asked, no engine
// starts a page (it returns 0, logging nothing) nor a further attempt of the
// one it sends (a resend, a log-in, the pause after a busy answer): it logs
// "ERROR - Test Closing, Not Retried - Msg Discarded" and returns 0.
#pragma once

#include <QString>
#include <cstdint>

// TAP and PET. Ticks on the main window's Timer1, whose interval it leaves
// as its last log-in set it. Lines go to the list only.
int16_t OutTAP(QString PIN, const QString &message, QString logMessage);

// The maker's framed protocol ("QV") and Scope ("SCOPE"). PIN7 is the capcode
// padded to seven characters by the caller; functionCode "A".."D"; dataRate
// "512", "1200" or "2400". Tick: the host's tick timer.
int16_t OutQuorvane(QString PIN7, const QString &message, QString functionCode, const QString &dataRate);
int16_t OutScope(QString PIN7, const QString &message, QString functionCode, const QString &dataRate);

// Plain text: the message, CR, LF; no answer. The log line names the pager
// ID box of the host.
int16_t OutComp1(const QString &message);

// COMP2 packet, answered by the prompt or NAK and a code. An empty function
// code is left out of the packet and the log line.
int16_t OutComp2(QString pagerId, const QString &message, QString functionCode);

// SNPP dialogue "PAGE ", "MESS ", "SEND", each answered by a reply code line.
// A page that does not end with SEND's 250 once something reached the server
// is followed by "RESE", so that nothing of it stays pending there.
int16_t OutSNPP(QString pagerId, const QString &message, QString functionCode);

// Bounds of the TAP engine where the paging system could otherwise keep it
// sending for ever: busy answers answered by a resend (each after a tick of
// the engine's timer), and log-ins.
inline constexpr int kTapMaxBusyResends = 10;
inline constexpr int kTapMaxLogins = 3;

// Resends of the framed, COMP2 and SNPP engines (four sends in all).
inline constexpr int kMaxResends = 3;
