// Faults injected at chosen exchanges.
#include "tapframe.h"

#include "encsim/encoder.h"

#include <gtest/gtest.h>

using namespace encsim;
using namespace encsim_test;

namespace {

Encoder programmingEncoder()
{
    Config c;
    c.startInProgrammingMode = true;
    return Encoder(c);
}

const QByteArray kQuery = "config maxbatch?\r\n";

}  // namespace

TEST(EncoderFaults, SilenceHitsOnlyTheChosenExchange)
{
    Encoder enc = programmingEncoder();
    enc.addFault({FaultKind::Silence, 2, 1, {}});
    EXPECT_EQ(enc.feed(kQuery), QByteArray("10\r\n"));
    EXPECT_EQ(enc.feed(kQuery), QByteArray());
    EXPECT_EQ(enc.feed(kQuery), QByteArray("10\r\n"));
    EXPECT_FALSE(enc.exchanges()[0].faulted);
    EXPECT_TRUE(enc.exchanges()[1].faulted);
}

TEST(EncoderFaults, SilenceForGoodAndCommandsNotCarriedOut)
{
    Encoder enc = programmingEncoder();
    enc.addFault({FaultKind::Silence, 2, 0, {}});
    enc.feed(kQuery);
    EXPECT_EQ(enc.feed("config maxbatch 20\r\n"), QByteArray());
    EXPECT_EQ(enc.feed(program("M 1 \"X\"")), QByteArray());
    EXPECT_EQ(enc.setting("maxbatch"), QStringLiteral("10"));
    EXPECT_EQ(enc.database().messages[0], QString());
    EXPECT_EQ(enc.exchangeCount(), 3);
}

TEST(EncoderFaults, GarbageHoldsNothingTheProgramWaitsFor)
{
    Encoder enc = programmingEncoder();
    enc.addFault({FaultKind::Garbage, 1, 1, {}});
    const QByteArray reply = enc.feed(program("M 1 \"X\""));
    EXPECT_FALSE(reply.isEmpty());
    for (const char *marker : {"\r", "\n", "\x1e", "ID=", "TAP", "9600 baud"})
        EXPECT_FALSE(reply.contains(marker)) << marker;
    EXPECT_EQ(enc.database().messages[0], QString());
}

TEST(EncoderFaults, FallBackToPagingAnswersLogOnPromptFromThenOn)
{
    Encoder enc = programmingEncoder();
    enc.addFault({FaultKind::FallBackToPaging, 1, 1, {}});
    EXPECT_EQ(enc.feed(program("G 1 1 0012000 5 A 3 010 1000 01 00")), QByteArray("ID="));
    EXPECT_EQ(enc.mode(), Mode::Paging);
    EXPECT_EQ(enc.database().families[0][StartCap], QStringLiteral("8"));
    // the TAP paging input now prompts for a log-on to everything
    EXPECT_EQ(enc.feed(kQuery), QByteArray("ID="));
}

TEST(EncoderFaults, PromptBeforeAnswerStillCarriesTheMarker)
{
    Encoder enc = programmingEncoder();
    enc.addFault({FaultKind::PromptBeforeAnswer, 1, 1, {}});
    EXPECT_EQ(enc.feed(program("M 4 \"Y\"")), QByteArray("ID=\x1e\r"));
    EXPECT_EQ(enc.database().messages[3], QStringLiteral("Y"));
}

TEST(EncoderFaults, MatchCountsOnlyExchangesThatMentionIt)
{
    Encoder enc = programmingEncoder();
    enc.addFault({FaultKind::Silence, 1, 1, "\rG 17 "});
    for (int n = 1; n <= 20; ++n) {
        const QByteArray reply = enc.feed(program("G " + QByteArray::number(n) + " 1 0000100 5 A 3 001 0100 00 00"));
        EXPECT_EQ(reply, n == 17 ? QByteArray() : kRecordAck) << n;
    }
    // the second mention is answered again
    EXPECT_EQ(enc.feed(program("G 17 0 8 5 A 0 0 0 0 0")), kRecordAck);
}

TEST(EncoderFaults, HangUpEndsTheConversation)
{
    Encoder enc = programmingEncoder();
    enc.addFault({FaultKind::HangUp, 2, 1, {}});
    enc.feed(kQuery);
    EXPECT_FALSE(enc.hangUpRequested());
    EXPECT_EQ(enc.feed(kQuery + kQuery), QByteArray());
    EXPECT_TRUE(enc.hangUpRequested());
    EXPECT_EQ(enc.exchangeCount(), 2);
}

TEST(EncoderFaults, DetectionExchangesCountToo)
{
    Encoder enc;   // paging mode, TAP input
    enc.addFault({FaultKind::Silence, 1, 1, {}});
    EXPECT_EQ(enc.feed("#PrgmMode#\r"), QByteArray());
    EXPECT_EQ(enc.mode(), Mode::Paging);
    EXPECT_TRUE(enc.feed("#PrgmMode#\r").contains("TAP"));
}
