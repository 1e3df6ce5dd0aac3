#include "platform/codepage.h"

namespace platform {

namespace {

// Characters of bytes 0x80 to 0x9F; an undefined byte keeps its own code.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte of `c`, or -1 when it has none.
int ansiByte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return 0x80 + i;
    return -1;
}

}  // namespace

bool HasAnsiByte(QChar c) { return ansiByte(c.unicode()) >= 0; }

bool IsControlCharacter(QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; }

qsizetype FirstNonAnsi(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!HasAnsiByte(text.at(i)))
            return i;
    return -1;
}

QString DescribeNonAnsi(QStringView text, qsizetype index)
{
    const QChar c = text.at(index);
    char32_t code = c.unicode();
    QString shown(c);
    if (c.isHighSurrogate() && index + 1 < text.size() && text.at(index + 1).isLowSurrogate()) {
        code = QChar::surrogateToUcs4(c, text.at(index + 1));
        shown = text.mid(index, 2).toString();
    } else if (c.isSurrogate() || c.unicode() < 0xA0) {
        shown.clear();  // nothing a box could show
    }
    const QString codeText = QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
    return shown.isEmpty() ? QStringLiteral("the character %1").arg(codeText)
                           : QStringLiteral("the character \u201C%1\u201D (%2)").arg(shown, codeText);
}

QByteArray ToAnsi(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const int b = ansiByte(c.unicode());
        out.append(char(b < 0 ? '?' : b));
    }
    return out;
}

QString FromAnsi(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.append(QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b)));
    }
    return out;
}

}  // namespace platform
