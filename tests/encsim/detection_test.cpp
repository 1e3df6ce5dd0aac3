// How the encoder answers the program's search for it, for every kind of paging input.
#include "encsim/encoder.h"

#include <gtest/gtest.h>

using namespace encsim;

namespace {

Encoder paging(IdentifyStyle style, int firmware = 8)
{
    Config c;
    c.firmware = firmware;
    c.identify = style;
    return Encoder(c);
}

// The version as the program cuts it from a reply: after "Encoder", from the
// next "v" to the next CR.
QByteArray versionIn(const QByteArray &reply)
{
    const int enc = reply.indexOf("Encoder");
    const int v = reply.indexOf('v', enc < 0 ? 6 : enc + 7);
    const int cr = v < 0 ? -1 : reply.indexOf('\r', v);
    return cr < 0 ? QByteArray() : reply.mid(v + 1, cr - v - 1);
}

const QByteArray kProbe = "#PrgmMode#\r";
const QByteArray kIdentify = "ATI\r\r";
const QByteArray kEnter = "#PrgmMode#";
const QByteArray kEnterFromProgramming = "\x01#PrgmMode#";

}  // namespace

TEST(EncoderDetection, TapInputAnswersTheProbeAndIdentifiesInProgrammingMode)
{
    Encoder enc = paging(IdentifyStyle::TapPrompt);
    const QByteArray probe = enc.feed(kProbe);
    EXPECT_TRUE(probe.contains("TAP"));
    EXPECT_TRUE(probe.startsWith("Entering TAP"));
    EXPECT_EQ(enc.mode(), Mode::Programming);
    const QByteArray id = enc.feed(kIdentify);
    EXPECT_TRUE(id.contains("ID="));
    EXPECT_TRUE(id.startsWith("Quorvane Paging Encoder v8"));
    EXPECT_EQ(versionIn(id), QByteArray("8.2.6"));
}

TEST(EncoderDetection, TapInputAtASlowSpeedMovesTo9600)
{
    Config c;
    c.pagingSpeed = 1200;
    Encoder enc(c);
    EXPECT_EQ(enc.lineSpeed(), 1200);
    enc.feed(kProbe);
    EXPECT_EQ(enc.lineSpeed(), 9600);
}

TEST(EncoderDetection, LogOnPromptWithVersion8NeedsTheEnterRequest)
{
    Encoder enc = paging(IdentifyStyle::IdPrompt);
    EXPECT_FALSE(enc.feed(kProbe).contains("TAP"));
    const QByteArray id = enc.feed(kIdentify);
    EXPECT_TRUE(id.contains("ID="));
    EXPECT_TRUE(id.endsWith("ID="));   // nothing left behind for the next command
    EXPECT_EQ(versionIn(id), QByteArray("8.2.6"));
    EXPECT_EQ(enc.mode(), Mode::Paging);
    const QByteArray enter = enc.feed(kEnter);
    EXPECT_TRUE(enter.contains("9600 baud"));
    EXPECT_TRUE(enter.startsWith("Entering TAP"));
    EXPECT_EQ(enc.mode(), Mode::Programming);
}

TEST(EncoderDetection, LogOnPromptWithVersion7IsReadyToBeRead)
{
    Encoder enc = paging(IdentifyStyle::IdPrompt, 7);
    enc.feed(kProbe);
    const QByteArray id = enc.feed(kIdentify);
    EXPECT_TRUE(id.contains("ID="));
    EXPECT_TRUE(versionIn(id).startsWith('7'));
    // no enter request follows for a version 7: the reader starts at once
    EXPECT_EQ(enc.feed("CONFIG IDASCAP?\r"), QByteArray("0\r\n"));
}

TEST(EncoderDetection, IdentifiedInputNamesItselfWithoutPrompt)
{
    for (int firmware : {8, 7}) {
        Encoder enc = paging(IdentifyStyle::Identified, firmware);
        EXPECT_EQ(enc.feed(kProbe), QByteArray());
        const QByteArray id = enc.feed(kIdentify);
        EXPECT_TRUE(id.contains("Encoder"));
        EXPECT_FALSE(id.contains("ID="));
        EXPECT_EQ(versionIn(id).left(1), QByteArray::number(firmware));
        const QByteArray enter = enc.feed(kEnterFromProgramming);
        EXPECT_TRUE(enter.startsWith("Entering TAP"));
        EXPECT_TRUE(enter.contains("9600 baud"));
    }
}

TEST(EncoderDetection, PromptingInputsAndHowTheyLeaveForProgrammingMode)
{
    const struct {
        IdentifyStyle style;
        int firmware;
        QByteArray identifyHolds;
        QByteArray enterReply;   // "9600 baud" stands for the programming-mode reply
        Mode after;
    } rows[] = {
        {IdentifyStyle::Comp1Prompt, 8, "COMP1>", "9600 baud", Mode::Programming},
        {IdentifyStyle::Comp1Prompt, 7, "COMP1>", "#PrgmMode#", Mode::Paging},
        {IdentifyStyle::Comp2Prompt, 8, "COMP2>", "9600 baud", Mode::Programming},
        {IdentifyStyle::Comp2Prompt, 7, "COMP2>", QByteArray(), Mode::Paging},
        {IdentifyStyle::Echo, 8, "ATI\r\x07\r", "9600 baud", Mode::Programming},
        {IdentifyStyle::Invalid, 8, "INVALID", "9600 baud", Mode::Programming},
        {IdentifyStyle::ErrorInvalid, 8, "\nError - Invalid", "9600 baud", Mode::Programming},
        {IdentifyStyle::Silent, 8, QByteArray(), QByteArray(), Mode::Paging},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(qPrintable(styleName(row.style) + QStringLiteral(" v%1").arg(row.firmware)));
        Encoder enc = paging(row.style, row.firmware);
        const QByteArray probe = enc.feed(kProbe);
        EXPECT_FALSE(probe.contains("TAP"));
        const QByteArray id = enc.feed(kIdentify);
        // none of them may look like an earlier branch of the classification
        EXPECT_FALSE(id.contains("ID="));
        EXPECT_FALSE(id.contains("Encoder"));
        if (row.identifyHolds.isEmpty())
            EXPECT_EQ(id, QByteArray());
        else
            EXPECT_TRUE(id.contains(row.identifyHolds)) << id.toPercentEncoding().constData();
        const QByteArray enter = enc.feed(kEnter);
        if (row.enterReply.isEmpty())
            EXPECT_EQ(enter, QByteArray());
        else
            EXPECT_TRUE(enter.contains(row.enterReply)) << enter.constData();
        EXPECT_EQ(enc.mode(), row.after);
        if (row.after == Mode::Programming) {
            // the program identifies again and gets the version
            const QByteArray again = enc.feed(kIdentify);
            EXPECT_TRUE(again.contains("ID="));
            EXPECT_EQ(versionIn(again), QByteArray("8.2.6"));
        }
    }
}

TEST(EncoderDetection, EncoderAlreadyInProgrammingModeAnswersTheProbe)
{
    Config c;
    c.identify = IdentifyStyle::Silent;
    c.startInProgrammingMode = true;
    Encoder enc(c);
    EXPECT_TRUE(enc.feed(kProbe).contains("TAP"));
    EXPECT_TRUE(enc.feed(kEnterFromProgramming).contains("9600 baud"));
}

TEST(EncoderDetection, VersionOfAGivenBannerIsUsedAsIs)
{
    Config c;
    c.identify = IdentifyStyle::Identified;
    c.banner = "Quorvane Paging Encoder v8.02";   // no CR after the version
    Encoder enc(c);
    EXPECT_EQ(versionIn(enc.feed(kIdentify)), QByteArray());
}

TEST(EncoderDetection, StyleNamesRoundTrip)
{
    for (IdentifyStyle s : {IdentifyStyle::TapPrompt, IdentifyStyle::IdPrompt, IdentifyStyle::Identified,
                            IdentifyStyle::Comp1Prompt, IdentifyStyle::Comp2Prompt, IdentifyStyle::Echo,
                            IdentifyStyle::Invalid, IdentifyStyle::ErrorInvalid, IdentifyStyle::Silent}) {
        IdentifyStyle back = IdentifyStyle::Silent == s ? IdentifyStyle::TapPrompt : IdentifyStyle::Silent;
        ASSERT_TRUE(styleFromName(styleName(s), &back));
        EXPECT_EQ(back, s);
    }
    IdentifyStyle unused;
    EXPECT_FALSE(styleFromName(QStringLiteral("tap2"), &unused));
}
