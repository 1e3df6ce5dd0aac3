// Frames on the wire and the reading of answers, byte for byte.
#include "paging/frames.h"

#include <gtest/gtest.h>

using namespace paging;

namespace {
QByteArray bytes(const QString &s) { return s.toLatin1(); }
}  // namespace

TEST(TAPFrame, PageBlockCarriesTheTwelveBitChecksumAsThreeCharacters)
{
    EXPECT_EQ(bytes(TapPageBlock("123", "abc")), QByteArray("\x02" "123\rabc\r\x03" "1=;\r"));
    // sum 0x050: the small nibbles are plain digits
    EXPECT_EQ(bytes(TapPageBlock("1", "")), QByteArray("\x02" "1\r\r\x03" "050\r"));
    // 40 x 'z' + the rest sums to 4968 = 0x1368: only the low twelve bits count
    EXPECT_EQ(bytes(TapPageBlock("9", QString(40, QLatin1Char('z')))),
              QByteArray("\x02" "9\r") + QByteArray(40, 'z') + QByteArray("\r\x03" "368\r"));
    EXPECT_EQ(bytes(TapTerminalId()), QByteArray("\x1b" "PG1\r"));
}

TEST(TAPFrame, RepliesAreJudgedNakFirstThenRsCodesThenLogin)
{
    EXPECT_EQ(JudgeTapReply(QStringLiteral("\x15\x1e" "511")), TapVerdict::Nak);
    EXPECT_EQ(JudgeTapReply(QStringLiteral("\x1e" "511\r")), TapVerdict::PinRejected);
    EXPECT_EQ(JudgeTapReply(QStringLiteral("111\x1e")), TapVerdict::Busy);
    EXPECT_EQ(JudgeTapReply(QStringLiteral("\x1e" "511111")), TapVerdict::PinRejected);
    EXPECT_EQ(JudgeTapReply(QStringLiteral("\x1e" "999")), TapVerdict::Rejected);
    EXPECT_EQ(JudgeTapReply(QStringLiteral("\r\nID=")), TapVerdict::LoginRequest);
    EXPECT_EQ(JudgeTapReply(QStringLiteral("\x06")), TapVerdict::Done);
    EXPECT_EQ(JudgeTapReply(QString()), TapVerdict::Done);
    EXPECT_EQ(JudgeTapReply(QStringLiteral("\x13")), TapVerdict::Done);
    // "511" and "111" count only next to an RS
    EXPECT_EQ(JudgeTapReply(QStringLiteral("511\x06")), TapVerdict::Done);
}

TEST(TAPFrame, PageWaitStopsOnAckNakRsOrXoffButNotOnALoginRequest)
{
    for (const char *r : {"\x06", "\x15", "\x1e", "\x13", "xx\x06yy"})
        EXPECT_TRUE(TapReplyComplete(QString::fromLatin1(r))) << r;
    EXPECT_FALSE(TapReplyComplete(QStringLiteral("ID=")));
    EXPECT_FALSE(TapReplyComplete(QStringLiteral("\x04\x11")));
}

TEST(PagingReplyEcho, TapNamesNineControlCharactersTheOthersTwelve)
{
    const QString reply = QString::fromLatin1("\x01\x02\x03\x04\x06\r\n\x11\x13\x15\x1b\x1e\x07" "A");
    EXPECT_EQ(TapEcho(reply), QString::fromLatin1("Encoder: \x01\x02\x03<EOT><ACK><CR><LF><XON><XOFF><NAK><ESC><RS>\x07" "A"));
    EXPECT_EQ(ReplyEcho(QStringLiteral("Encoder: "), reply),
              QString::fromLatin1("Encoder: <SOH><STX><ETX><EOT><ACK><CR><LF><XON><XOFF><NAK><ESC><RS>\x07" "A"));
    EXPECT_EQ(TapEcho(QString()), QStringLiteral("Encoder: "));
}

TEST(PagingFramedFrame, MakersFrameMapsFunctionAndRateToDigits)
{
    EXPECT_EQ(bytes(QuorvaneFrame("0001234", "Hi", "D", "2400")), QByteArray("\x01" "420001234\x02" "Hi\x03\x04"));
    EXPECT_EQ(bytes(QuorvaneFrame("0001234", "Hi", "A", "512")), QByteArray("\x01" "150001234\x02" "Hi\x03\x04"));
    EXPECT_EQ(bytes(QuorvaneFrame("0001234", "Hi", "B", "1200")), QByteArray("\x01" "210001234\x02" "Hi\x03\x04"));
    EXPECT_EQ(bytes(QuorvaneFrame("0001234", "", "C", "9600")), QByteArray("\x01" "320001234\x02\x03\x04"));
    // anything but upper-case A to C is function 4
    EXPECT_EQ(bytes(QuorvaneFrame("0001234", "x", "a", "512")), QByteArray("\x01" "450001234\x02x\x03\x04"));
    EXPECT_EQ(QuorvaneFunctionDigit(QString()), "4");
}

TEST(PagingFramedFrame, ScopeFrameCarriesRateLettersAndTheFunctionCodeUnchanged)
{
    EXPECT_EQ(bytes(ScopeFrame("0001234", "Hi", "D", "2400")), QByteArray("AS0001234DHi\r"));
    EXPECT_EQ(bytes(ScopeFrame("0001234", "Hi", "a", "512")), QByteArray("AN0001234aHi\r"));
    EXPECT_EQ(bytes(ScopeFrame("0001234", "Hi", "B", "1200")), QByteArray("AF0001234BHi\r"));
    // a message with control characters goes out as it is
    EXPECT_EQ(bytes(ScopeFrame("12345678", "a\x03" "b", "C", "")), QByteArray("AS12345678Ca\x03" "b\r"));
}

TEST(PagingFramedFrame, NakCodeIsTheTwoCharactersAfterTheFirstNak)
{
    bool nak = false;
    EXPECT_EQ(NakCode(QStringLiteral("\x15" "05\x04"), &nak), "05");
    EXPECT_TRUE(nak);
    EXPECT_EQ(NakCode(QStringLiteral("x\x15" "0"), &nak), "0");
    EXPECT_EQ(NakCode(QStringLiteral("\x15" "08\x15" "03"), &nak), "08");
    EXPECT_EQ(NakCode(QStringLiteral("\x04"), &nak), "");
    EXPECT_FALSE(nak);
    EXPECT_EQ(JudgeNakCode("03"), NakVerdict::InvalidAddress);
    EXPECT_EQ(JudgeNakCode("04"), NakVerdict::Overflow);
    EXPECT_EQ(JudgeNakCode("05"), NakVerdict::Overflow);
    EXPECT_EQ(JudgeNakCode("08"), NakVerdict::FormatError);
    EXPECT_EQ(JudgeNakCode("07"), NakVerdict::Other);
    EXPECT_EQ(JudgeNakCode("0"), NakVerdict::Other);
}

TEST(PagingLineFrame, Comp1Comp2AndSnppPackets)
{
    EXPECT_EQ(bytes(Comp1Line("Hello")), QByteArray("Hello\r\n"));
    EXPECT_EQ(bytes(Comp2Packet("1234", "Hello", "B")), QByteArray("\x7f\x7f\x7f" "1234B\rHello\r"));
    EXPECT_EQ(bytes(Comp2Packet("1234", "Hello", "")), QByteArray("\x7f\x7f\x7f" "1234\rHello\r"));
    EXPECT_EQ(bytes(Comp2Prompt()), QByteArray("okay\r\nCOMP2>"));
    EXPECT_EQ(bytes(SnppPage("1234", "D")), QByteArray("PAGE 1234D\r\n"));
    EXPECT_EQ(bytes(SnppPage("1234", "")), QByteArray("PAGE 1234\r\n"));
    EXPECT_EQ(bytes(SnppMess("Hello")), QByteArray("MESS Hello\r\n"));
    EXPECT_EQ(bytes(SnppSend()), QByteArray("SEND\r\n"));
}

TEST(PagingLineFrame, SnppCodesMatchOnlyWhenNothingFollows)
{
    EXPECT_EQ(JudgeSnppReply("250 Page accepted\r\n"), SnppVerdict::Accepted);
    EXPECT_EQ(JudgeSnppReply("550 04 then 250\r\n"), SnppVerdict::Accepted);
    EXPECT_EQ(SnppCode("550 Error, Invalid pager\r\n"), "Error, Inv");
    EXPECT_EQ(JudgeSnppReply("550 Error, Invalid pager\r\n"), SnppVerdict::InvalidPagerId);
    EXPECT_EQ(JudgeSnppReply("550 04"), SnppVerdict::Overflow);
    EXPECT_EQ(JudgeSnppReply("550 05"), SnppVerdict::Overflow);
    EXPECT_EQ(JudgeSnppReply("550 08"), SnppVerdict::FormatError);
    EXPECT_EQ(SnppCode("550 04\r\n"), "04\r\n");
    EXPECT_EQ(JudgeSnppReply("550 04\r\n"), SnppVerdict::OtherCode);
    // "550" without the blank: the code is read from the fourth character on
    EXPECT_EQ(SnppCode("550-04"), "-04");
    EXPECT_EQ(SnppCode("xx550"), "50");
    EXPECT_EQ(JudgeSnppReply("421 Gone\r\n"), SnppVerdict::NoCode);
    EXPECT_EQ(JudgeSnppReply(""), SnppVerdict::NoCode);
}
