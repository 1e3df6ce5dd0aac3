// The view's claim to match the encoder. While gRun.bMatchesEncoder is set,
// programming the view would send what the encoder holds. The claim is made
// only here, with what the encoder then holds, and checked against the view
// wherever the program shows it or relies on it, so that a change no marking
// step saw cannot keep a false claim.
#pragma once

#include "database/state.h"
#include "transfer/commands.h"

#include <QObject>
#include <QString>
#include <QStringList>

// ---- what programming sends, by meaning ----------------------------------
// Each text compared field by field as the encoder takes it: a field of
// digits by its value ("0010" is "10", "0000" is "0"), every other field as
// it stands. A group record's missing fields read as "0", so the short and
// long forms of an unused group are one; a family that is not active and
// has no pagers is unused, whatever its other fields; a message is its text.

// One settings command ("config dutycycle 066" is "config dutycycle 66").
QString CommandMeaning(const QString &command);
// One record text, "L n ...", "G n ..." or "M n \"...\"".
QString RecordMeaning(const QString &record);
// Everything programming this view would send, in order.
QStringList ProgrammedMeaning(Firmware fw, const PagerDatabase &db, const EncoderSettings &s);

// ---- the claim --------------------------------------------------------------

// The view now matches the encoder, which holds what programming `db` and
// `settings` would send (a read's tables as the run left them, or what a
// programming run sent). Sets bMatchesEncoder and keeps that content.
void ClaimViewMatches(const PagerDatabase &db, const EncoderSettings &settings);
// The same with the view as it stands.
void ClaimViewMatches();

// The claim checked against the view: when programming the view would now
// send something else than the encoder was claimed to hold, the view is
// marked changed (MarkViewChanged, ProgramMade). Nothing is checked while
// the program itself rewrites the tables (a read, programming, an Open:
// bNoModifiedStatus); such a run checks when it has ended.
void CheckViewClaim();
// bMatchesEncoder after that check: what every command that relies on the
// match asks.
bool ViewMatchesEncoder();
// Checks the claim each time a window of the program closes (is hidden),
// for as long as `owner` lives.
void CheckViewClaimWhenWindowsClose(QObject *owner);

// ---- marking a change ---------------------------------------------------------

// What changed the tables or settings the view shows.
enum class ViewChange {
    GridEdit,      // the user's change in a grid editor
    SettingsEdit,  // the user's change in a settings dialog
    // a step the program ran on the view: a check's correction, an editor's
    // OK, closing or load steps, a dialog's load, a COMP1 rule that set a
    // port to TAP, an ID-as-capcode mode the encoder was left in
    ProgramMade,
};

// The one marking step for every change to the view. During a transfer the
// change is recorded, so the run cannot end with the view matching the
// encoder. Then the view is marked modified (the main window's
// MarkConfigModified), except:
//  - a user's change while the program fills controls itself (bLoading)
//    is none;
//  - a grid editor's change while the program rewrites the tables
//    (bNoModifiedStatus) is only recorded;
//  - a program-made change marks only a view that matched the encoder (one
//    that did not keeps its status line) and nothing once the program is
//    leaving.
void MarkViewChanged(ViewChange change);

// Held around a step the program runs on the tables or settings itself (an
// editor's load, OK or closing steps with their check, a settings dialog's
// load or OK, a protocol rule): when the step has changed what programming
// would send, by meaning, it ends in MarkViewChanged(ViewChange::ProgramMade).
// A change of form alone leaves the view's state alone.
class ProgramMadeChange {
public:
    ProgramMadeChange();
    ~ProgramMadeChange();
    ProgramMadeChange(const ProgramMadeChange &) = delete;
    ProgramMadeChange &operator=(const ProgramMadeChange &) = delete;

private:
    QStringList m_sent;
};
