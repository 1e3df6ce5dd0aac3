// The system's 8-bit code page (Windows-1252): one byte per character in the
// pager database file, the message archive, the log and on the encoder line.
// The five bytes the page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map
// to and from the characters of the same code, so every byte read comes back
// unchanged when written.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace platform {

// True when `c` has a byte of its own in the code page.
bool HasAnsiByte(QChar c);
// True for the page's control characters, those below 32 and DEL, which
// would break a record or a page's framing. The characters of the five
// undefined bytes are ordinary characters here, though Unicode names them
// controls.
bool IsControlCharacter(QChar c);
// Index of the first character of `text` with no byte in the code page, or -1.
qsizetype FirstNonAnsi(QStringView text);
// How a character with no byte is named in a box: "“Ω” (U+03A9)"; a
// surrogate pair starting at `index` is shown whole.
QString DescribeNonAnsi(QStringView text, qsizetype index);

// Text to bytes. Characters with no byte become '?': callers check with
// FirstNonAnsi() first wherever a lost character matters.
QByteArray ToAnsi(QStringView text);
// Bytes to text; every byte has a character.
QString FromAnsi(QByteArrayView bytes);

}  // namespace platform
