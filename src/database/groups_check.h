// The groups check: every member pager ID of an active, complete group must
// lie in the pager-ID range of an active, complete family; one that does not
// is blanked ("0000") and its cell in the groups grid marked light cyan.
#pragma once

#include "database/checks_common.h"
#include "database/state.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace platform {
class FlexGrid;
}

// Descriptions of the conversion failures the check reports.
inline const QString kTypeMismatchText = QStringLiteral("Type mismatch");
inline const QString kOverflowText = QStringLiteral("Overflow");

// ---- the check over a database ----------------------------------------------
// What the check asks of its surroundings; every member may be left empty.
struct GroupsCheckHooks {
    // Lets pending window events run; true when the user asked to cancel.
    std::function<bool()> poll;
    // The check moved the grid's current cell (row or column -1: unchanged).
    std::function<void(int row, int col)> moveTo;
    // Pager ID k (1..20) of group g (0..9) was blanked.
    std::function<void(int g, int k)> blanked;
    // A field did not convert to a number; the text describes the failure.
    std::function<void(const QString &description)> failure;
};

struct GroupsCheckResult {
    bool completed = false;  // false: cancelled
    bool adjusted = false;   // at least one pager ID was blanked
};

// Runs the check over `db`, blanking in its `Groups` every member pager ID
// of a taking-part group that no taking-part family holds.
GroupsCheckResult RunGroupsCheck(PagerDatabase &db, const GroupsCheckHooks &hooks = {});

// ---- the check as the groups editor runs it ---------------------------------
// On gDb, with the cancel box ("Checking Groups Database"), the hourglass,
// the marks in `grid` (the open editor's grid, or null) and the closing
// message box. Sets bGroupFieldsAdjusted at each blanked field; when it runs
// to its end, bGroupsEdited is left set only by edits made meanwhile. Returns
// true when it ran to its end, false when the user cancelled it.
bool CheckGroupsDatabase(platform::FlexGrid *grid = nullptr);

// The closing message box.
inline const QString kGroupsAdjustedTitle = QStringLiteral("Non-Existent Pager IDs");
inline const QStringList kGroupsAdjustedLines = {QStringLiteral("One or More Pager ID Fields Were Adjusted"),
                                                 QStringLiteral("to Correct Non-Existent Pager IDs"),
                                                 QStringLiteral("as Indicated by Blue Fields")};
inline const QString kCheckingGroupsText = QStringLiteral("Checking Groups Database");
