#include "transfer/tapblock.h"

#include "platform/codepage.h"

#include <cstdint>

QString TapChecksum(const QString &framed)
{
    // the encoder adds up the bytes it receives, so each character counts
    // with its byte in the code page; only the low 12 bits count, and a wide
    // sum keeps long texts from wrapping
    std::uint64_t sum = 0;
    for (const char b : platform::ToAnsi(framed))
        sum += static_cast<unsigned char>(b);
    QString out;
    for (int shift = 8; shift >= 0; shift -= 4)
        out += QChar(char16_t(u'0' + ((sum >> shift) & 0xF)));
    return out;
}

QString BuildTAPBlock(const QString &pagerIdField, const QString &text)
{
    QString block;
    block.reserve(pagerIdField.size() + text.size() + 9);
    block += kSTX;
    block += pagerIdField;
    block += kCR;
    block += text;
    block += kCR;
    block += kETX;
    block += TapChecksum(block);
    block += kCR;
    return block;
}

SplitResult SplitFields(const QString &text, const QString &delimiter)
{
    SplitResult result;
    if (delimiter.isEmpty()) {
        if (!text.isEmpty())
            result.fields.append(text);
        return result;
    }
    result.fields.append(text.split(delimiter, Qt::SkipEmptyParts, Qt::CaseSensitive));
    return result;
}
