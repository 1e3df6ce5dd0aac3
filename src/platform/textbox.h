// Text the program puts in a one-line box whose typing is limited.
#pragma once

#include <QString>

class QLineEdit;

namespace platform {

// Puts `text` in `box`, whose typing is limited to `typedMax` characters.
// The program's text is never cut (Qt's maximum length would cut it): the
// limit widens to its length, so a longer text can be shortened, and typing
// never takes it past the length it came with.
void SetTextWhole(QLineEdit *box, const QString &text, int typedMax);

}  // namespace platform
