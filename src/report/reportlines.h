// The texts of the report's tables, built from the stored field texts.
// A builder returns nothing when a field it needs as a number does not read
// as a whole number of its range; the report then stops at that line.
#pragma once

#include "database/state.h"

#include <QString>
#include <optional>

namespace report {

// The families table heading; every family line lines up under it.
QString FamilyHeading();
// The line of family n (1..50).
std::optional<QString> FamilyLine(int n, const FamilyRow &row, bool incCapBy8);

// The group grid: one string of ten 7-character cells per row.
QString GroupHeading();
QString GroupReferenceRow(const GroupTable &groups);
QString GroupActiveRow(const GroupTable &groups);
QString GroupIDRow(const GroupTable &groups);
// k = 1..20; an empty pager ID shows as an unset one, blank
std::optional<QString> GroupPagerIDRow(const GroupTable &groups, int k);
QString GroupTimerActiveRow(const GroupTable &groups);
QString GroupTimerMsgRow(const GroupTable &groups);

// A whole number read from a stored text, blanks around it allowed, within
// [min, max]; nothing when the text is no such number.
std::optional<long> ReadWhole(const QString &text, long min, long max);
std::optional<long> ReadInt16(const QString &text);
std::optional<long> ReadInt32(const QString &text);

}  // namespace report
