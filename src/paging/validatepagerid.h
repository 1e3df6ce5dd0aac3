// The checks just before the console sends a page. The pager ID: a capcode
// within the legal range, a short ID of the loaded database, or a direct ID
// of the right form. The message: nothing that would break the page's frame
// or that the line cannot carry. A rejection is explained in a box.
#pragma once

#include <QString>

// Detail lines of the latest "Invalid ID" box.
extern QString sPINErrorText;

// Judges the host's pager ID box as it reads now.
bool ValidatePagerID();

// The same for a given text (what ValidatePagerID does with the box's text).
bool ValidatePagerIDText(const QString &text);

// True when port 1 takes the pager ID as a capcode: the maker's protocol,
// Scope, or ID-as-capcode on.
bool CapcodeMode();

// The pager ID a page carries for the text typed: in capcode mode a capcode
// longer than seven digits loses its surplus leading zeros, down to seven
// ("00100040" gives "0100040"); any other text goes as typed.
QString PagerIDAsSent(const QString &text);

// The legal capcodes, and the digits a capcode field holds.
inline constexpr long kMinCapcode = 9;
inline constexpr long kMaxCapcode = 2097143;
inline constexpr int kCapcodeDigits = 7;

// The check of a message just before it is sent: a control character
// (below 32, or DEL) would break the page's framing, and a character with
// no byte in the code page cannot go onto the line. A refused text is
// explained in an "Invalid Message" box and gives false.
bool ValidateMessageText(const QString &message);

// Why `message` cannot be sent (the box's text), or an empty text when it can.
QString MessageProblem(const QString &message);
