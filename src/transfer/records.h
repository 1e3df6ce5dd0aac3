// Pager database records on the encoder's programming link: the requests a
// reader sends, the records a programmer sends, and how a reply to a request
// is taken back into the tables.
#pragma once

#include "database/state.h"
#include "transfer/tapblock.h"

#include <QList>
#include <QString>

enum class RecordKind { Group, Family, Message };

// 10 groups, 50 families, 15 messages.
int RecordCount(RecordKind kind);

// One record of a full transfer: kind and 1-based number.
struct RecordStep {
    RecordKind kind;
    int number;
    bool operator==(const RecordStep &) const = default;
};

// Groups 1-10, then families 1-50, then messages 1-15: the order in which
// both readers ask for records and both programmers send them.
QList<RecordStep> RecordOrder();

// Status panel text of a record step, e.g. "Reading Pager Database - Family 7".
QString RecordCaption(RecordKind kind, int n, bool writing);

// ---- requests (reading) ----

// "L 3", "G 50", "M 1": letter, blank, number without padding.
QString RecordRequestText(RecordKind kind, int n);
// The request as sent: the text above in a block addressed to kRequestPagerID.
QString RecordRequest(RecordKind kind, int n);

// ---- records (programming) ----

// Group n from its row: the 28 fields that travel, each after one blank, when
// Complete is exactly "YES"; otherwise "L n 0 0 0 0 0 0 0 0". Fields go out as
// stored, unpadded and unchecked.
QString GroupRecord(const GroupRow &row, int n);
// Family n: its nine fields when Complete is exactly "YES"; otherwise
// "G n 0 8 5 A 0 0 0 0 0".
QString FamilyRecord(const FamilyRow &row, int n);
// Message n: M n "text" (always sent, empty or not).
QString MessageRecord(const QString &message, int n);
// The record text of kind and number n taken from `db`.
QString RecordText(RecordKind kind, int n, const PagerDatabase &db);
// The record as sent: its text in a block addressed to kProgramPagerID.
QString ProgrammedRecord(RecordKind kind, int n, const PagerDatabase &db);

// The encoder takes a record with RS CR; the two must be adjacent.
inline const QString kRecordAck = QString(kRS) + kCR;
bool HasRecordAck(const QString &reply);

// ---- replies to requests ----

// A reply line less its closing CR LF (its last two characters); empty when
// the reply is shorter than that.
QString ReplyValue(const QString &reply);

// Group reply "L n f0 .. f27" CR LF into the row: each token present sets its
// field, a missing one takes the unused group's value ("0000" for a pager ID)
// whatever the row held, extra ones are ignored.
// Complete becomes "YES"; Reference is untouched. Returns the token count.
int ReadGroupReply(const QString &reply, GroupRow &row);

// Family reply "G n f0 .. f8" CR LF into the row, with the encoder's forms
// of an unused family. Returns the token count.
//  - exactly three tokens: the unused family's values, but StartCap
//    "0000000" and Complete "YES".
//  - otherwise as a group; a Start ID of value 1 or more loses leading zeros
//    down to three digits ("0123" -> "123", "0012" -> "012"); then Active "0"
//    with quantity "000" marks the family unused (StartCap "0000000",
//    Complete empty), anything else gives Complete "YES".
int ReadFamilyReply(const QString &reply, FamilyRow &row);

// Message reply M n "text" CR LF: the text after the first double quote, less
// the closing quote and CR LF. A reply of exactly 8 characters, or one too
// short to hold quote, closing quote and line end, gives the empty message.
QString MessageFromReply(const QString &reply);

// The reply to the request for record n of `kind`, stored in `db`; false (and
// nothing stored) when n is outside the table.
bool ReadRecordReply(RecordKind kind, int n, const QString &reply, PagerDatabase &db);
