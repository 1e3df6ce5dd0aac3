// TAP blocks as the encoder takes them on its programming link, and the
// field splitter used on its record replies.
//
// Texts here are QStrings of characters of the 8-bit code page; the serial
// port sends each character as its one byte.
#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>

inline constexpr QChar kSTX{0x02};
inline constexpr QChar kETX{0x03};
inline constexpr QChar kCR{0x0D};
inline constexpr QChar kLF{0x0A};
inline constexpr QChar kRS{0x1E};

// Pager-ID fields of the database blocks: one asks for a record, the other
// carries a record to be programmed. No TAP log-on precedes either.
inline constexpr QLatin1String kRequestPagerID{"019d46"};
inline constexpr QLatin1String kProgramPagerID{"019d56"};

// The three checksum characters of a TAP block: the low 12 bits of the sum of
// the bytes of `framed` (STX through ETX) in the code page, so the euro sign
// counts 0x80; most significant nibble first, each written as '0' + nibble
// (so 10..15 come out as ':' .. '?').
QString TapChecksum(const QString &framed);

// STX, pager-ID field, CR, text, CR, ETX, checksum, CR. Both texts are framed
// exactly as given, even when the text itself holds CR or ETX.
QString BuildTAPBlock(const QString &pagerIdField, const QString &text);

// Pieces of a text cut at a delimiter. `fields` is 1-based: fields[0] is
// always the empty text and pieces 1..count() follow in order.
struct SplitResult {
    QStringList fields{QString()};

    int count() const { return int(fields.size()) - 1; }
    bool has(int k) const { return k >= 1 && k < fields.size(); }
};

// Cuts `text` at every occurrence of `delimiter` (exact case) and keeps the
// non-empty pieces. Leading, trailing and doubled delimiters give no piece,
// and the last piece is kept whether or not the text begins with a delimiter.
// An empty delimiter gives the whole text as its one piece (none when empty).
SplitResult SplitFields(const QString &text, const QString &delimiter);
