// The encoder in programming mode: settings, records, lookup, tuning, restart.
#include "tapframe.h"

#include "encsim/encoder.h"

#include <gtest/gtest.h>

using namespace encsim;
using namespace encsim_test;

namespace {

Encoder programmingEncoder(int firmware = 8)
{
    Config c;
    c.firmware = firmware;
    c.startInProgrammingMode = true;
    return Encoder(c);
}

}  // namespace

TEST(TapFrame, HelperMatchesBlocksWorkedOutByHand)
{
    // 02 + "019d46" (360) + 0D + "L 1" (157) + 0D + 03 = 0x224
    EXPECT_EQ(request("L 1"), QByteArray("\x02" "019d46\rL 1\r\x03" "224\r"));
    EXPECT_EQ(request("M 15"), QByteArray("\x02" "019d46\rM 15\r\x03" "25:\r"));
    EXPECT_EQ(tap("123", "abc"), QByteArray("\x02" "123\rabc\r\x03" "1=;\r"));
}

TEST(EncoderProgramming, IdentificationCarriesVersionAndEndsWithPrompt)
{
    Encoder enc = programmingEncoder();
    const QByteArray reply = enc.feed("ATI\r\r");
    EXPECT_EQ(reply, QByteArray("Quorvane Paging Encoder v8.2.6\r\nID="));
    EXPECT_EQ(enc.mode(), Mode::Programming);

    Config c;
    c.firmware = 7;
    c.version = QStringLiteral("7.02");
    c.startInProgrammingMode = true;
    Encoder v7(c);
    EXPECT_EQ(v7.feed("ATI\r\r"), QByteArray("Quorvane Paging Encoder v7.02\r\nID="));
}

TEST(EncoderProgramming, FactorySettingsOfVersion8)
{
    Encoder enc = programmingEncoder();
    const struct { const char *query, *reply; } rows[] = {
        {"config maxbatch?\r\n", "10\r\n"},         {"config dutycycle?\r\n", "66\r\n"},
        {"config ignorerfcd?\r\n", "0\r\n"},        {"config invertrfcd?\r\n", "0\r\n"},
        {"config invertdata?\r\n", "0\r\n"},        {"config capby8?\r\n", "0\r\n"},
        {"config serial2 idascap?\r\n", "0\r\n"},   {"config serial1 flow?\r\n", "HW\r\n"},
        {"config serial2 flow?\r\n", "HW\r\n"},     {"config serial1 pphreset?\r\n", "1\r\n"},
        {"config serial2 pphreset?\r\n", "1\r\n"},  {"config serial1 protocol?\r\n", "TAP\r\n"},
        {"config serial2 protocol?\r\n", "TAP\r\n"}, {"config serial1 verbose?\r\n", "0\r\n"},
        {"config serial2 verbose?\r\n", "0\r\n"},   {"config serial1 databits?\r\n", "N81\r\n"},
        {"config serial2 databits?\r\n", "N81\r\n"}, {"config serial1 baud?\r\n", "9600\r\n"},
        {"config serial2 baud?\r\n", "9600\r\n"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(enc.feed(row.query), QByteArray(row.reply)) << row.query;
}

TEST(EncoderProgramming, EverySettingOfVersion8ReadsBackAsWritten)
{
    Encoder enc = programmingEncoder();
    const QStringList keys = Encoder::settingKeys(8);
    ASSERT_EQ(keys.size(), 20);
    for (int i = 0; i < keys.size(); ++i) {
        const QByteArray key = keys[i].toLatin1();
        const QByteArray value = "v" + QByteArray::number(i);
        EXPECT_EQ(enc.feed("config " + key + " " + value + "\r\n"), key.toUpper() + " option updated\r\n");
    }
    for (int i = 0; i < keys.size(); ++i)
        EXPECT_EQ(enc.feed("config " + keys[i].toLatin1() + "?\r\n"), "v" + QByteArray::number(i) + "\r\n");
    // values travel as text, unchecked: an empty duty cycle stays empty
    enc.feed("config dutycycle \r\n");
    EXPECT_EQ(enc.setting("dutycycle"), QString());
}

TEST(EncoderProgramming, CapBy8IsSetInCapitalsAndQueriedInSmallLetters)
{
    Encoder enc = programmingEncoder();
    EXPECT_TRUE(enc.feed("config CAPBY8 1\r\n").endsWith("\r\n"));
    EXPECT_EQ(enc.feed("config capby8?\r\n"), QByteArray("1\r\n"));
    EXPECT_EQ(enc.setting("capby8"), QStringLiteral("1"));
}

TEST(EncoderProgramming, IdAsCapcodeCommandsOfVersion8)
{
    Encoder enc = programmingEncoder();
    EXPECT_EQ(enc.feed("CONFIG SERIAL1 IDASCAP?\r"), QByteArray("0\r\n"));
    const QByteArray on = enc.feed("CONFIG SERIAL1 IDASCAP 1\r");
    EXPECT_TRUE(on.contains("IDASCAP option updated")) << on.constData();
    EXPECT_TRUE(on.contains('\n'));
    EXPECT_TRUE(enc.idAsCapcode(1));
    EXPECT_FALSE(enc.idAsCapcode(2));
    EXPECT_EQ(enc.feed("CONFIG SERIAL1 IDASCAP?\r"), QByteArray("1\r\n"));
    // the lower-case setting is an ordinary one and acknowledged with CR LF
    EXPECT_TRUE(enc.feed("config serial1 idascap 0\r\n").endsWith("\r\n"));
    EXPECT_FALSE(enc.idAsCapcode(1));
    enc.feed("config serial2 idascap 1\r\n");
    EXPECT_TRUE(enc.idAsCapcode(2));
}

TEST(EncoderProgramming, Version7KeysAndItsOwnIdAsCapcode)
{
    Encoder enc = programmingEncoder(7);
    // the encoder's "1" is the program's "0V = Carrier Detected"
    EXPECT_EQ(enc.feed("config invertrfcd?\r\n"), QByteArray("1\r\n"));
    EXPECT_EQ(enc.feed("CONFIG IDASCAP?\r"), QByteArray("0\r\n"));
    EXPECT_TRUE(enc.feed("CONFIG IDASCAP 1\r").contains("IDASCAP option updated"));
    EXPECT_TRUE(enc.idAsCapcode(1));
    // the PET setting is acknowledged by a reply holding CR
    EXPECT_TRUE(enc.feed("config pet 1\r\n").contains('\r'));
    EXPECT_EQ(enc.feed("config pet?\r\n"), QByteArray("1\r\n"));
    enc.feed("config briefack 1\r\n");
    enc.feed("config altfc 1\r\n");
    enc.feed("config pphreset 0\r\n");
    EXPECT_EQ(enc.setting("briefack"), QStringLiteral("1"));
    EXPECT_EQ(enc.setting("altfc"), QStringLiteral("1"));
    EXPECT_EQ(enc.setting("pphreset"), QStringLiteral("0"));
    // a version 8 key means nothing to it; the answer still never holds the log-on prompt
    const QByteArray unknown = enc.feed("config serial1 baud?\r\n");
    EXPECT_EQ(unknown, QByteArray("Error - Invalid Command\r\n"));
    EXPECT_FALSE(enc.settings().contains("serial1 baud"));
}

TEST(EncoderProgramming, BlankEncoderAnswersRequestsWithEmptyRecords)
{
    Encoder enc = programmingEncoder();
    EXPECT_EQ(enc.feed(request("L 1")), QByteArray("L 1 0 0 0 0 0 0 0 0\r\n"));
    EXPECT_EQ(enc.feed(request("G 50")), QByteArray("G 50 0 8 5 A 0 0 0 0 0\r\n"));
    // an empty message is 8 characters for 1 to 9 and 9 for 10 to 15
    EXPECT_EQ(enc.feed(request("M 9")), QByteArray("M 9 \"\"\r\n"));
    EXPECT_EQ(enc.feed(request("M 15")), QByteArray("M 15 \"\"\r\n"));
}

TEST(EncoderProgramming, ProgrammedRecordsReadBackIdentically)
{
    Encoder enc = programmingEncoder();
    const QByteArray group =
        "L 10 5000 1 0 00 1 02 1 03 1000 1001 1002 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 "
        "0000 0000 0000 0000 0000 0999";
    const QByteArray family = "G 7 1 0012000 5 A 3 010 1000 01 00";
    const QByteArray oddFamily = "G 8 1  5 A 3 010 0100 1 0";   // an empty start capcode: two blanks
    const QByteArray message = "M 2 \"CALL THE  OFFICE\"";

    for (const QByteArray &record : {group, family, oddFamily, message})
        EXPECT_EQ(enc.feed(program(record)), kRecordAck) << record.constData();

    EXPECT_EQ(enc.feed(request("L 10")), group + "\r\n");
    EXPECT_EQ(enc.feed(request("G 7")), family + "\r\n");
    EXPECT_EQ(enc.feed(request("G 8")), oddFamily + "\r\n");
    EXPECT_EQ(enc.feed(request("M 2")), message + "\r\n");

    const Database &db = enc.database();
    ASSERT_EQ(db.groups[9].size(), 28);
    EXPECT_EQ(db.groups[9][GroupID], QStringLiteral("5000"));
    EXPECT_EQ(db.groups[9][Trigger2Msg], QStringLiteral("02"));
    EXPECT_EQ(db.groups[9][PagerID1 + 19], QStringLiteral("0999"));
    EXPECT_EQ(db.families[6][StartCap], QStringLiteral("0012000"));
    EXPECT_EQ(db.families[6][PagerQty], QStringLiteral("010"));
    EXPECT_EQ(db.families[7][StartCap], QString());
    EXPECT_EQ(db.messages[1], QStringLiteral("CALL THE  OFFICE"));
}

TEST(EncoderProgramming, WholeDatabaseRoundTrip)
{
    Encoder enc = programmingEncoder();
    QList<QByteArray> records;
    for (int n = 1; n <= 10; ++n)
        records << (n % 2 ? "L " + QByteArray::number(n) + " 0 0 0 0 0 0 0 0"
                          : "L " + QByteArray::number(n) + " 50" + QByteArray::number(n) + " 1 0 00 0 00 0 00"
                                + QByteArray(" 0000").repeated(20));
    for (int n = 1; n <= 50; ++n)
        records << "G " + QByteArray::number(n) + " 1 " + QByteArray::number(8 + 16 * n).rightJustified(7, '0')
                       + " 5 A 3 001 " + QByteArray::number(100 + n) + " 00 00";
    for (int n = 1; n <= 15; ++n)
        records << "M " + QByteArray::number(n) + " \"" + (n == 15 ? QByteArray() : "MSG " + QByteArray::number(n)) + "\"";
    for (const QByteArray &r : records)
        ASSERT_EQ(enc.feed(program(r)), kRecordAck) << r.constData();

    QList<QByteArray> readBack;
    for (const char *kind : {"L", "G", "M"}) {
        const int last = kind[0] == 'L' ? 10 : kind[0] == 'G' ? 50 : 15;
        for (int n = 1; n <= last; ++n)
            readBack << enc.feed(request(QByteArray(kind) + " " + QByteArray::number(n))).chopped(2);
    }
    EXPECT_EQ(readBack, records);
    EXPECT_EQ(enc.exchangeCount(), 150);

    // a database preloaded by a test is what a reader gets
    Encoder other = programmingEncoder();
    other.setDatabase(enc.database());
    EXPECT_EQ(other.feed(request("G 33")), records[10 + 32] + "\r\n");
}

TEST(EncoderProgramming, MalformedBlocksAreRefusedWithNak)
{
    Encoder enc = programmingEncoder();
    const Database before = enc.database();
    QByteArray badSum = program("G 1 1 0012000 5 A 3 010 1000 01 00");
    badSum[badSum.size() - 2] = badSum.at(badSum.size() - 2) == '0' ? '1' : '0';
    EXPECT_EQ(enc.feed(badSum), kNak);
    EXPECT_EQ(enc.feed(tap("019d99", "G 1 1 0012000 5 A 3 010 1000 01 00")), kNak);
    EXPECT_EQ(enc.feed(request("L 0")), kNak);
    EXPECT_EQ(enc.feed(request("L 11")), kNak);
    EXPECT_EQ(enc.feed(request("L 01")), kNak);
    EXPECT_EQ(enc.feed(request("G 51")), kNak);
    EXPECT_EQ(enc.feed(request("M 16")), kNak);
    EXPECT_EQ(enc.feed(program("M 3 no quotes")), kNak);
    EXPECT_EQ(enc.database(), before);
}

TEST(EncoderProgramming, LookupDescribesPagersInTheEncodersWords)
{
    Encoder enc = programmingEncoder();
    enc.setDatabase(Database::sample());
    EXPECT_EQ(enc.feed("LOOKUP 1003\r\n"), QByteArray("ID 1003 capcode 0012003, msg enc:A, baud:512 func bits:11\r\n"));
    EXPECT_EQ(enc.feed("LOOKUP 2004\r\n"), QByteArray("ID 2004 capcode 0020004, msg enc:N, baud:1200 func bits:00\r\n"));
    EXPECT_EQ(enc.feed("LOOKUP 2005\r\n"), QByteArray("ID 2005 not found\r\n"));
    EXPECT_EQ(enc.feed("LOOKUP 5000\r\n"), QByteArray("ID 5000 list 1\r\n"));
    EXPECT_EQ(enc.feed("LOOKUP 12a\r\n"), QByteArray("ID 12a invalid\r\n"));

    enc.feed("config CAPBY8 1\r\n");
    EXPECT_EQ(enc.feed("LOOKUP 1003\r\n"), QByteArray("ID 1003 capcode 0012024, msg enc:A, baud:512 func bits:11\r\n"));

    enc.feed("CONFIG SERIAL1 IDASCAP 1\r");
    EXPECT_EQ(enc.feed("LOOKUP 1234\r\n"), QByteArray("ID 1234 capcode 0001234, msg enc:A, baud:512 func bits:11\r\n"));

    enc.setLookupAnswer(QStringLiteral("77"), "list LIST capcode  func bits:10\r\n");
    EXPECT_EQ(enc.feed("LOOKUP 77\r\n"), QByteArray("list LIST capcode  func bits:10\r\n"));
}

TEST(EncoderProgramming, TransmitterTestsAreHarmlessAndEndWithRestart)
{
    Encoder enc = programmingEncoder();
    for (const char *cmd : {"TEST512\r", "TEST1200\r", "TEST2400\r"}) {
        const QByteArray reply = enc.feed(cmd);
        EXPECT_TRUE(reply.endsWith("\r\n"));
        EXPECT_FALSE(reply.contains("ID="));
    }
    EXPECT_EQ(enc.transmitterTest(), 2400);
    EXPECT_EQ(enc.feed("config reboot\r"), QByteArray());
    EXPECT_EQ(enc.transmitterTest(), 0);
    EXPECT_EQ(enc.mode(), Mode::Paging);
    EXPECT_EQ(enc.reboots(), 1);
}

TEST(EncoderProgramming, RestartListensAtPort1SpeedUntilProgrammingModeIsAskedFor)
{
    Encoder enc = programmingEncoder();
    enc.feed("config serial1 baud 2400\r\n");
    EXPECT_EQ(enc.lineSpeed(), 9600);
    enc.feed("config reboot\r");
    EXPECT_EQ(enc.mode(), Mode::Paging);
    EXPECT_EQ(enc.lineSpeed(), 2400);
    // the test console's way back
    EXPECT_EQ(enc.feed("\x01#PrgmMode#"), QByteArray("Entering TAP Programming Mode at 9600 baud\r\n"));
    EXPECT_EQ(enc.mode(), Mode::Programming);
    EXPECT_EQ(enc.lineSpeed(), 9600);
}

TEST(EncoderProgramming, PagingInputAcknowledgesTapPages)
{
    Encoder enc;   // paging mode, TAP input
    EXPECT_EQ(enc.feed(tap("123", "abc")), QByteArray("\x06\r"));
    ASSERT_EQ(enc.pages().size(), 1);
    EXPECT_EQ(enc.pages()[0].pagerId, QByteArray("123"));
    EXPECT_EQ(enc.pages()[0].message, QByteArray("abc"));
    EXPECT_EQ(enc.feed("\x1bPG1\r"), QByteArray("\r\x06\r\x1b[p\r"));
}

TEST(EncoderProgramming, LogHoldsExactBytesOfEachExchange)
{
    Encoder enc = programmingEncoder();
    enc.feed("ATI\r\r");
    enc.feed("config maxbatch?\r");
    enc.feed("\n");   // the LF of a CR LF that came late still belongs to its command
    enc.feed(request("M 1"));
    const QList<Exchange> &log = enc.exchanges();
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0].number, 1);
    EXPECT_EQ(log[0].received, QByteArray("ATI\r\r"));
    EXPECT_EQ(log[1].received, QByteArray("config maxbatch?\r\n"));
    EXPECT_EQ(log[1].reply, QByteArray("10\r\n"));
    EXPECT_EQ(log[2].received, request("M 1"));
    EXPECT_EQ(log[2].mode, Mode::Programming);
}
