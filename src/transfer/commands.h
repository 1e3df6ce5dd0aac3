// The programming-mode commands of the database transfer for both encoder
// families: what is sent, what ends the wait for the reply, what the status
// bar shows meanwhile, and what a reply means.
#pragma once

#include "database/state.h"
#include "transfer/records.h"

#include <QList>
#include <QString>
#include <QStringList>

// Version 7: one serial input, per-port keys without prefix.
// Version 8: two serial inputs, per-port keys "serial1 ..." / "serial2 ...".
enum class Firmware { V7, V8 };

inline Firmware FirmwareOf(bool v7Firmware) { return v7Firmware ? Firmware::V7 : Firmware::V8; }

// One exchange with the encoder.
struct CommandStep {
    QString text;         // the command or TAP block, without line end
    QString lineEnd;      // "\r\n", "\r", or empty for a block (it ends in its own CR)
    QStringList awaited;  // the wait ends once the reply holds any of these
    bool flushFirst = true;  // discard pending input before sending
    QString caption;      // status panel 1 while the step runs; empty: leave it
    QString key;          // the settings key of a query; empty otherwise

    QString wire() const { return text + lineEnd; }
    bool replyComplete(const QString &reply) const;
};

// ---- settings queries (reading) ----

// "config <key>?" with CR LF for every setting the family keeps, in the order
// the reader asks (19 for version 8, 9 for version 7), each with its caption
// and `key` filled in. The version 7 "pet" query also ends at an RS.
QList<CommandStep> SettingsQueries(Firmware fw);

// Stores the reply to the query for `key` in the settings block by that key's
// rule; the value is the reply less its last two characters.
//  number:      a 16-bit integer, stored back without padding ("010" -> "10");
//               anything else leaves the setting as it was (returns false)
//  Boolean:     "1" is True for most keys; data polarity, capcode step and
//               port 2's ID-as-capcode are False only for "0"; the version 7
//               carrier-detect polarity is True for "0" (the encoder has it
//               the other way round)
//  version 7 "pet":      PET support exactly for "1" without RS in the
//                        reply; port 1's protocol follows ("PET" / "TAP")
//  version 7 "briefack": also sets port 1 verbose to the opposite
//  version 7 "altfc":    also sets port 1 flow to "AHW" / "HW"
// Returns false, storing nothing, for an unknown key or a bad number.
bool StoreSettingsReply(Firmware fw, const QString &key, const QString &reply, EncoderSettings &s);

// ---- settings commands (programming) ----

// "config <key> <value>" with CR LF for every setting the family keeps, in
// the order the programmer sends them (9 for version 7, 19 for version 8),
// each with its caption. Booleans go as "1" / "0" (the version 7 carrier
// polarity inverted); texts and numbers go exactly as stored.
QList<CommandStep> SettingsCommands(Firmware fw, const EncoderSettings &s);

// The last command of a programming run: port 1's ID-as-capcode setting in
// its lower-case settings form ("config idascap 1", "config serial1 idascap 0").
CommandStep ClosingIDAsCapCommand(Firmware fw, const EncoderSettings &s);

// ---- ID-as-capcode commands (upper case, CR, wait for LF) ----

// "CONFIG IDASCAP?" / "CONFIG SERIAL1 IDASCAP?". Itself it keeps pending
// input; as the first command of a run it goes out on an empty receive
// buffer, as every run's first command does.
CommandStep IDAsCapQuery(Firmware fw);
// "CONFIG IDASCAP 0|1" / "CONFIG SERIAL1 IDASCAP 0|1".
CommandStep IDAsCapSwitch(Firmware fw, bool on);

// The mode is on when the reply's first character is "1"; an empty reply
// (time-out) means off.
bool IDAsCapReportedOn(const QString &reply);
// A port set to COMP2 answers the query with a text naming it; the
// programmers refuse to go on then.
bool ReplyNamesComp2(const QString &reply);
// The encoder confirms a switch with "IDASCAP option updated".
inline const QString kIDAsCapConfirmation = QStringLiteral("IDASCAP option updated");
bool IDAsCapConfirmed(const QString &reply);

// ---- records as steps ----

CommandStep RecordRequestStep(RecordKind kind, int n);
CommandStep ProgrammedRecordStep(RecordKind kind, int n, const PagerDatabase &db);

// ---- judging a finished wait ----

// "ID=" is the paging-mode log-on prompt: the encoder has left programming mode.
bool LeftProgrammingMode(const QString &reply);

enum class StepVerdict { Ok, Failed, Cancelled };

// Settings query or record request: a time-out or "ID=" is a failure (Read
// Error), and is judged before the cancel flag.
StepVerdict JudgeReadStep(const QString &reply, bool timedOut, bool cancelled);
// Setting or record sent: a time-out, a cancel or "ID=" is a failure (Write
// Error), even when the awaited text came too.
StepVerdict JudgeWriteStep(const QString &reply, bool timedOut, bool cancelled);

// ---- what the main window shows ----

// "ID As Capcode Mode is ON" (version 7) / "... ON for Port 1" (version 8).
QString IDAsCapLabel(Firmware fw, bool on);

inline const QString kReadSuccessCaption = QStringLiteral("Current View Matches Encoder Configuration");
inline const QString kWriteSuccessCaption = QStringLiteral("Encoder Matches Current Configuration");

// After every version 8 read that got past its question: with group 1's first
// pager ID "0000", a COMP1 port has no default pager, so port 1 (else port 2)
// falls back to "TAP" in memory. Returns the port changed, 0 for none; the
// caller then shows the COMP1 box.
int ApplyComp1Rule(const PagerDatabase &db, EncoderSettings &s);
