// The families check: moves the start capcode of every family whose capcode
// range is illegal and resolves overlapping pager-ID ranges (the earlier
// family in table order keeps its range), pass after pass until a pass
// corrects nothing. Only active, complete families take part.
#pragma once

#include "database/checks_common.h"
#include "database/state.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace platform {
class FlexGrid;
}

// Highest legal capcode and the two illegal blocks inside the legal range.
inline constexpr long long kLowestCapcode = 8;
inline constexpr long long kHighestCapcode = 2097143;
inline constexpr long long kIllegalBlock1 = 2045056;  // to 2045063, tested first
inline constexpr long long kIllegalBlock2 = 2007664;  // to 2007671

// Grid columns the check writes.
inline constexpr int kFamColQty = 2;
inline constexpr int kFamColStartID = 3;
inline constexpr int kFamColStartCap = 5;
inline constexpr int kFamColEndCap = 6;

// What the check asks of its surroundings; both may be left empty.
struct FamiliesCheckHooks {
    // The start of every pass (cancel box, hourglass).
    std::function<void()> passStart;
    // Lets window events run; true when the user asked to cancel.
    std::function<bool()> cancelRequested;
};

enum class FamiliesCheckEnd {
    Finished,     // a pass corrected nothing
    Cancelled,    // the user cancelled at a poll
    NotANumber,   // a taking-part family holds a field that is not a number
    OutOfRange,   // a pager ID of the overlap stage would leave -32768..32767
};

struct FamiliesCheckOutcome {
    FamiliesCheckEnd end = FamiliesCheckEnd::Finished;
    // True when it finished; on a cancel True only in a later pass that has
    // corrected nothing yet; False after an abnormal end.
    bool result = false;
    // Passes that corrected something and ran to their end.
    int correctedPasses = 0;
    // Family (1..50) that stopped an abnormal run; 0 otherwise.
    int family = 0;
};

// The check over a families table; marks the corrected cells through `marks`.
FamiliesCheckOutcome RunFamiliesCheck(FamilyTable &families, bool incCapBy8, checks::GridMarks &marks,
                                      const FamiliesCheckHooks &hooks = {});

// The check as the families editor's OK step runs it: on gDb, with the cancel
// box "Checking Families Database", the hourglass, the marks in `grid` (the
// open editor's grid, or null) and the closing box. Sets
// bFamilyFieldsAdjusted after a pass that corrected something; when it runs
// to its end, bFamiliesEdited is left set only by edits made meanwhile.
// Returns True when it ran to its end; on a cancel the result rule of
// FamiliesCheckOutcome; False when it stopped at a field it cannot read (it
// tells the user which family).
bool CheckFamiliesDatabase(platform::FlexGrid *grid = nullptr, FamiliesCheckOutcome *outcome = nullptr);

inline const QString kCheckingFamiliesText = QStringLiteral("Checking Families Database");
inline const QString kFamiliesAdjustedTitle = QStringLiteral("Pager ID Overlap or Illegal Capcodes");
inline const QStringList kFamiliesAdjustedLines = {
    QStringLiteral("One or More Fields Were Adjusted"), QStringLiteral("to Correct Illegal Capcodes"),
    QStringLiteral("or to Correct Overlapping Pager IDs"), QStringLiteral("as Indicated by Blue Fields")};
// The box of a run that stopped at a field it cannot read.
inline const QString kFamiliesCheckStoppedTitle = QStringLiteral("Families Check Not Completed");
QStringList FamiliesCheckStoppedLines(FamiliesCheckEnd end, int family);
