// The pager groups editor without its window: what each cell of a group's
// column shows and in which colour, and what clicks, typing and the OK
// button do to a `Groups` record. The window copies a column model to and
// from its grid around each of these steps.
#pragma once

#include "database/state.h"

#include <QColor>
#include <QString>
#include <array>
#include <optional>

namespace groupsgrid {

// Grid layout: one column per group, one row per field.
inline constexpr int kRows = 26;
inline constexpr int kCols = 11;
inline constexpr int rowReference = 1;
inline constexpr int rowActive = 2;
inline constexpr int rowGroupID = 3;
inline constexpr int rowPagerID1 = 4;
inline constexpr int rowPagerID20 = 23;
inline constexpr int rowTimerActive = 24;
inline constexpr int rowTimerMsg = 25;

// Design-time headings, then the row labels the load step sets.
extern const QString kHeadingFormat;
extern const QString kRowLabelFormat;

// One cell of a group's column. An invalid colour: none given yet.
struct Cell {
    QString text;
    QColor back;
    bool operator==(const Cell &) const = default;
};
// Rows 0..25 of one group column (row 0, the heading, is not used).
using Column = std::array<Cell, kRows>;

// Field of the record shown in pager-ID row `row` (4..23).
inline int PagerField(int row) { return grpPagerID1 + row - rowPagerID1; }

// The column of record `rec` as the load step fills it. The load step also
// corrects the record: leading zeros leave a `GroupID`, and a timer without
// a message is switched off.
Column LoadColumn(GroupRow &rec);

// Click on the Active cell: switches the group off or on.
void ToggleActive(GroupRow &rec, Column &col);
// Click on the Timer Active cell of a timer that is on: switches it off.
void SwitchTimerOff(GroupRow &rec, Column &col);
// The user confirmed the timer warning: switches the timer on.
void SwitchTimerOn(GroupRow &rec, Column &col);

// The user typed `text` into row `row` of the group (rows 1, 3..23; other
// rows change nothing). A group that is off is switched on first.
void TypeField(GroupRow &rec, Column &col, int row, const QString &text);

// The user chose `entry` ("None" or "1".."15") in the list laid over row
// `row` (the Timer Msg # row in practice).
void ChooseTimerMessage(GroupRow &rec, Column &col, int row, const QString &entry);

// Text of the message label for a list entry: "Message:" for "None",
// "Message: " and canned message n for "n".
QString MessageLabelText(const QString &entry, const MessageTable &messages);
// The label for a cell the chooser opens on; none when the cell does not
// name a message from 1 to 15 (the label then stays as it was).
std::optional<QString> MessageLabelForCell(const QString &cellText, const MessageTable &messages);
// The list entry to select for a cell that does not read "None": "0" means
// "None", "05" selects "5"; empty when the cell names no entry.
QString ListEntryForCell(const QString &cellText);

// Keys that move the current cell: the new cell, or none when the key does
// not move (F1 and every other key).
struct CellPos {
    int row;
    int col;
    bool operator==(const CellPos &) const = default;
};
std::optional<CellPos> MoveForKey(int key, int row, int col);

// A group is complete when at least one pager ID is set and either its
// Group ID is set or a trigger or timer flag is "1" with its message set.
// "Set" is neither the none value ("0000", "00") nor empty. The pager
// database file's readers apply it too, whatever Active holds.
bool GroupComplete(const GroupRow &rec);

// OK button, first step: judges every group whose Active is not "0";
// incomplete ones lose their "YES", triggers without a message are switched
// off. Returns true when any group that is on ends without "YES" (closing
// will reset it), or `verdict` when no group is on.
bool JudgeGroupsOnOk(GroupTable &groups, bool verdict);

// The first pager ID of the first group is the default pager of the COMP1
// protocol. Without it, a port set to COMP1 (port 1 first) is set back to
// "TAP"; returns that port, or 0 when nothing changed.
int ApplyComp1Rule(const GroupTable &groups, EncoderSettings &settings);
extern const QString kComp1Title;
extern const QString kComp1Text;

// Closing: every record whose `Complete` is not "YES" becomes an empty group.
void ResetIncompleteGroups(GroupTable &groups);

// Closing question.
extern const QString kIncompleteTitle;
extern const QString kIncompleteText;
// Timer warning.
extern const QString kTimerWarningTitle;
extern const QString kTimerWarningText;

}  // namespace groupsgrid
