// The check of the pager ID box just before the console sends a page: a
// capcode within the legal range, a short ID of the loaded database, or a
// direct ID of the right form. A rejection is explained in a box.
#pragma once

#include <QString>

// Detail lines of the latest "Invalid ID" box.
extern QString sPINErrorText;

// Judges the host's pager ID box as it reads now.
bool ValidatePagerID();

// The same for a given text (what ValidatePagerID does with the box's text).
bool ValidatePagerIDText(const QString &text);

// The legal capcodes.
inline constexpr long kMinCapcode = 9;
inline constexpr long kMaxCapcode = 2097143;
