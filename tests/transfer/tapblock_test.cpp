// TAP blocks byte for byte, and the record field splitter.
#include "transfer/tapblock.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

// "\x02" etc. spelled out so that an expected block reads like the wire
QString wire(const char *latin1) { return QString::fromLatin1(latin1); }

TEST(TapBlock, BlocksMatchHandComputedBytes)
{
    struct Case {
        const char *pagerId;
        const char *text;
        const char *expected;
    } cases[] = {
        // 2+48+49+57+100+52+54+13+76+32+49+13+3 = 548 = 0x224
        {"019d46", "L 1", "\x02" "019d46\r" "L 1\r" "\x03" "224\r"},
        {"019d46", "M 15", "\x02" "019d46\r" "M 15\r" "\x03" "25:\r"},
        {"019d56", "G 7 1 0001000 5 A 3 010 0100 00 00",
         "\x02" "019d56\r" "G 7 1 0001000 5 A 3 010 0100 00 00\r" "\x03" "783\r"},
        {"019d56", "M 2 \"\"", "\x02" "019d56\r" "M 2 \"\"\r" "\x03" "28;\r"},
        {"019d56", "L 10 0 0 0 0 0 0 0 0", "\x02" "019d56\r" "L 10 0 0 0 0 0 0 0 0\r" "\x03" "4=5\r"},
        // an empty text leaves the two CRs side by side
        {"019d56", "", "\x02" "019d56\r\r" "\x03" "188\r"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(BuildTAPBlock(wire(c.pagerId), wire(c.text)), wire(c.expected)) << c.text;
}

TEST(TapBlock, ChecksumKeepsOnlyTheLow12BitsOfALargeSum)
{
    // 300 x 255 + 392 = 76892 = 0x12C5C: far past a 16-bit sum
    const QString text(300, QChar(0xFF));
    EXPECT_EQ(BuildTAPBlock(wire("019d56"), text).right(4), wire("<5<\r"));

    // sixteen 0xFF and one 0x10 add exactly 4096: the checksum cannot tell
    const QString longer = QStringLiteral("G 1") + QString(16, QChar(0xFF)) + QChar(0x10);
    EXPECT_EQ(BuildTAPBlock(wire("019d56"), longer).right(4), BuildTAPBlock(wire("019d56"), wire("G 1")).right(4));
}

TEST(TapBlock, ChecksumDigitsAboveNineUsePunctuationNotLetters)
{
    // 10 x 255 + 198 = 2748 = 0xABC, written as '0' + 10, '0' + 11, '0' + 12
    EXPECT_EQ(TapChecksum(QString(10, QChar(0xFF)) + QChar(198)), wire(":;<"));
    EXPECT_EQ(TapChecksum(QString()), wire("000"));
}

TEST(TapBlock, ChecksumAddsTheBytesOfTheCodePage)
{
    // the euro sign and the dash go as 0x80 and 0x96: the block adds up to 1295 = 0x50F
    EXPECT_EQ(BuildTAPBlock(wire("019d56"), QStringLiteral("M 1 \"5 \u20ac \u2013 ok\"")).right(4), wire("50?\r"));
}

TEST(TapBlock, FramesControlCharactersInsideTheTextUnchanged)
{
    const QString block = BuildTAPBlock(wire("019d56"), wire("a\x03\r"));
    EXPECT_TRUE(block.startsWith(wire("\x02" "019d56\ra\x03\r\r\x03")));
}

TEST(SplitFields, CountsNonEmptyPiecesOneBased)
{
    struct Case {
        const char *text;
        QStringList pieces;
    } cases[] = {
        {"L 3 0012", {"L", "3", "0012"}},
        {"a  b", {"a", "b"}},
        {"", {}},
        {"   ", {}},
        {" a b ", {"a", "b"}},
        // a leading blank must not lose the last piece
        {" a b", {"a", "b"}},
        {" G 4 1", {"G", "4", "1"}},
        {"a b  ", {"a", "b"}},
        {"single", {"single"}},
        {"M 1 \"two words\"", {"M", "1", "\"two", "words\""}},
    };
    for (const Case &c : cases) {
        const SplitResult r = SplitFields(wire(c.text), QStringLiteral(" "));
        EXPECT_EQ(r.count(), c.pieces.size()) << '"' << c.text << '"';
        EXPECT_EQ(r.fields.value(0), QString()) << c.text;
        EXPECT_EQ(r.fields.mid(1), c.pieces) << c.text;
        EXPECT_FALSE(r.has(0));
        EXPECT_FALSE(r.has(r.count() + 1));
    }
}

TEST(SplitFields, OtherDelimitersAreMatchedExactly)
{
    EXPECT_EQ(SplitFields(QStringLiteral("a,,b,c"), QStringLiteral(",")).fields.mid(1), QStringList({"a", "b", "c"}));
    EXPECT_EQ(SplitFields(QStringLiteral("aXYbxyc"), QStringLiteral("XY")).fields.mid(1), QStringList({"a", "bxyc"}));
    EXPECT_EQ(SplitFields(QStringLiteral("abc"), QString()).count(), 1);
    EXPECT_EQ(SplitFields(QString(), QString()).count(), 0);
}

}  // namespace
