// Checks the programmers run before they send anything: every value that
// will travel must survive the trip, or the encoder would split, cut or
// misread it. Values that pass go out exactly as the records and commands
// build them; nothing is corrected here.
#pragma once

#include "database/state.h"
#include "transfer/commands.h"

#include <QString>
#include <optional>

struct TransferProblem {
    QString item;     // "Family 3, Start Capcode", "Canned Message 4", "Encoder Settings, Duty Cycle"
    QString problem;  // what is wrong with it, e.g. "holds a blank"

    QString text() const { return item + QStringLiteral(": ") + problem; }
    bool operator==(const TransferProblem &) const = default;
};

// The first item, in the order the programmer of `fw` would send it, that
// cannot be sent as it stands; nothing when everything may go out. Only what
// would break a record or command, what the encoder would read shifted, or
// what it cannot store, is refused.
//  - settings that the family keeps: numbers (duty cycle, batch size) not
//    empty, digits only, a minus sign allowed in front; texts (version 8
//    flow, protocol, speed, character format) one token, which may be empty:
//    no blank, double quote or control character
//  - groups and families whose Complete is "YES" (the others go out as the
//    empty record): every field that travels is one token, digits only for
//    all of them but the pager type; a field may be empty only where no
//    field after it is set (the encoder skips empty tokens)
//  - all 15 canned messages: at most 60 characters, no double quote, no
//    control character
//  - everywhere: characters with a byte in the code page only
// A control character is one below 32, or DEL; the characters of the code
// page's five undefined bytes travel like any other.
std::optional<TransferProblem> CheckBeforeProgramming(Firmware fw, const PagerDatabase &db, const EncoderSettings &s);

// The same checks for one part, for callers that want them separately.
std::optional<TransferProblem> CheckSettingsForProgramming(Firmware fw, const EncoderSettings &s);
std::optional<TransferProblem> CheckGroupForProgramming(const GroupRow &row, int n);
std::optional<TransferProblem> CheckFamilyForProgramming(const FamilyRow &row, int n);
std::optional<TransferProblem> CheckMessageForProgramming(const QString &message, int n);

// Title and text of the box that stops a programming run on `p`.
QString ProgrammingBlockedTitle();
QString ProgrammingBlockedText(const TransferProblem &p);
