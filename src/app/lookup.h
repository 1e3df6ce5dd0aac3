// The capcode lookup of the main window, apart from the window itself: the
// rewording of the encoder's answer and the local check of a capcode.
#pragma once

#include <QString>

// "LOOKUP " is answered within this time, or whatever arrived is shown.
inline constexpr int kLookupTimeoutMs = 4000;

// The encoder's answer in the words the rest of the program uses.
QString RewordLookupReply(const QString &reply);

// The entry as it goes on the line: characters that cannot be typed (a
// pasted tab or line end) are left out.
QString LookupEntryForWire(const QString &entry);

// Why the entry cannot be sent, or an empty text: a character with no byte
// in the code page. The text names the entry and the character.
QString LookupEntryProblem(const QString &entry);

// The local check while port 1 takes the pager ID as the capcode.
enum class CapcodeCheck {
    Valid,
    Illegal,   // letters, an illegal or reserved capcode, or no number at all
    TooLarge,  // above the highest capcode
};
CapcodeCheck CheckIDAsCapcode(const QString &entry);
// The answer shown for a valid entry.
QString IDAsCapcodeAnswer(const QString &entry);
// The box for a rejected entry.
QString InvalidCapcodeText(CapcodeCheck check);
inline const QString kInvalidCapcodeTitle = QStringLiteral("Invalid Capcode");

QString IncBy8WarningText();
inline const QString kIncBy8WarningTitle = QStringLiteral("Increment Capcodes by 8 Mode Active");
