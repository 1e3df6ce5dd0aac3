// Settings commands and queries of both encoder families, the ID-as-capcode
// commands, and how replies are judged and stored.
#include "transfer/boxes.h"
#include "transfer/commands.h"
#include "transfer/matchclaim.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

QString wire(const char *latin1) { return QString::fromLatin1(latin1); }

QStringList texts(const QList<CommandStep> &steps)
{
    QStringList out;
    for (const CommandStep &s : steps)
        out.append(s.wire());
    return out;
}

QStringList captions(const QList<CommandStep> &steps)
{
    QStringList out;
    for (const CommandStep &s : steps)
        out.append(s.caption);
    return out;
}

EncoderSettings mixedSettings()
{
    EncoderSettings s;
    s.bInvertData = true;
    s.bInvertRFCD = true;
    s.bIgnoreRFCD = true;
    s.bIncCapBy8 = true;
    s.bSerial1PPHReset = false;
    s.bSerial2PPHReset = true;
    s.bSerial2IDAsCap = true;
    s.bSerial1Verbose = true;
    s.bSerial2Verbose = false;
    s.sDutyCycle = QStringLiteral("050");
    s.sMaxBatch = QStringLiteral("7");
    s.sSerial1Flow = QStringLiteral("AHW");
    s.sSerial2Flow = QStringLiteral("NONE");
    s.sSerial1Protocol = QStringLiteral("PET");
    s.sSerial2Protocol = QStringLiteral("SNPP");
    s.sSerial1Baud = QStringLiteral("1200");
    s.sSerial2Baud = QStringLiteral("300");
    s.sSerial1Databits = QStringLiteral("E71");
    s.sSerial2Databits = QStringLiteral("N81");
    s.bPETSupport = true;
    s.bBriefACK = false;
    s.bFlowBeforeACK = true;
    return s;
}

TEST(SettingsCommands, Version8SendsNineteenSettingsInOrder)
{
    const QList<CommandStep> steps = SettingsCommands(Firmware::V8, mixedSettings());
    EXPECT_EQ(texts(steps), QStringList({
                                "config invertdata 1\r\n",
                                "config invertrfcd 1\r\n",
                                "config dutycycle 050\r\n",
                                "config maxbatch 7\r\n",
                                "config CAPBY8 1\r\n",
                                "config serial1 pphreset 0\r\n",
                                "config serial2 pphreset 1\r\n",
                                "config ignorerfcd 1\r\n",
                                "config serial2 idascap 1\r\n",
                                "config serial1 verbose 1\r\n",
                                "config serial2 verbose 0\r\n",
                                "config serial1 flow AHW\r\n",
                                "config serial2 flow NONE\r\n",
                                "config serial1 protocol PET\r\n",
                                "config serial2 protocol SNPP\r\n",
                                "config serial1 baud 1200\r\n",
                                "config serial2 baud 300\r\n",
                                "config serial1 databits E71\r\n",
                                "config serial2 databits N81\r\n",
                            }));
    EXPECT_EQ(captions(steps), QStringList({
                                   "Writing Pager Database - RF Data Inversion ON",
                                   "Writing Pager Database - RF Carrier Detect Inversion ON",
                                   "Writing Pager Database - Duty Cycle 050%",
                                   "Writing Pager Database - Max Msgs/Batch 7",
                                   "Writing Pager Database - Increment Capcodes by 8 ON",
                                   "Writing Pager Database - Message Timeout Reset Detection OFF for Port 1",
                                   "Writing Pager Database - Message Timeout Reset Detection ON for Port 2",
                                   "Writing Pager Database - Carrier Signal Detection OFF",
                                   "Writing Pager Database - ID Assumed as Capcode ON for Port 2",
                                   "Writing Pager Database - Verbose Mode ON for Port 1",
                                   "Writing Pager Database - Verbose Mode OFF for Port 2",
                                   "Writing Pager Database - Flow Control: AHW for Port 1",
                                   "Writing Pager Database - Flow Control: NONE for Port 2",
                                   "Writing Pager Database - Protocol: PET for Port 1",
                                   "Writing Pager Database - Protocol: SNPP for Port 2",
                                   "Writing Pager Database - Baud Rate: 1200 for Port 1",
                                   "Writing Pager Database - Baud Rate: 300 for Port 2",
                                   "Writing Pager Database - Data Bits: E71 for Port 1",
                                   "Writing Pager Database - Data Bits: N81 for Port 2",
                               }));
    for (const CommandStep &s : steps) {
        EXPECT_EQ(s.awaited, QStringList({"\r\n"})) << Visible(s.text);
        EXPECT_TRUE(s.flushFirst) << Visible(s.text);
    }
}

TEST(SettingsCommands, Version7SendsNineSettingsWithInvertedCarrierPolarity)
{
    const QList<CommandStep> steps = SettingsCommands(Firmware::V7, mixedSettings());
    EXPECT_EQ(texts(steps), QStringList({
                                "config invertdata 1\r\n",
                                "config pet 1\r\n",
                                "config invertrfcd 0\r\n",
                                "config dutycycle 050\r\n",
                                "config maxbatch 7\r\n",
                                "config pphreset 0\r\n",
                                "config ignorerfcd 1\r\n",
                                "config briefack 0\r\n",
                                "config altfc 1\r\n",
                            }));
    EXPECT_EQ(captions(steps), QStringList({
                                   "Writing Pager Database - RF Data Inversion ON",
                                   "Writing Pager Database - PET Protocol Support ON",
                                   "Writing Pager Database - RF Carrier Detect Inversion OFF",
                                   "Writing Pager Database - Duty Cycle 050%",
                                   "Writing Pager Database - Max Msgs/Batch 7",
                                   "Writing Pager Database - Message Timeout Reset Detection OFF",
                                   "Writing Pager Database - Carrier Signal Detection OFF",
                                   "Writing Pager Database - Brief ACK OFF",
                                   "Writing Pager Database - Flow Control Before ACK ON",
                               }));
    // the pet setting is answered with a bare CR
    EXPECT_EQ(steps[1].awaited, QStringList({"\r"}));

    const EncoderSettings defaults;
    const QList<CommandStep> plain = SettingsCommands(Firmware::V7, defaults);
    EXPECT_EQ(plain[2].wire(), QStringLiteral("config invertrfcd 1\r\n"));
    EXPECT_EQ(plain[2].caption, QStringLiteral("Writing Pager Database - RF Carrier Detect Inversion ON"));
    EXPECT_EQ(plain[6].caption, QStringLiteral("Writing Pager Database - Carrier Signal Detection ON"));
}

TEST(SettingsCommands, ClosingCommandFollowsPort1IdAsCapcode)
{
    EncoderSettings s;
    s.bSerial1IDAsCap = true;
    EXPECT_EQ(ClosingIDAsCapCommand(Firmware::V7, s).wire(), QStringLiteral("config idascap 1\r\n"));
    EXPECT_EQ(ClosingIDAsCapCommand(Firmware::V7, s).caption,
              QStringLiteral("Writing Pager Database - ID Assumed as Capcode ON"));
    EXPECT_EQ(ClosingIDAsCapCommand(Firmware::V8, s).wire(), QStringLiteral("config serial1 idascap 1\r\n"));
    s.bSerial1IDAsCap = false;
    const CommandStep off = ClosingIDAsCapCommand(Firmware::V8, s);
    EXPECT_EQ(off.wire(), QStringLiteral("config serial1 idascap 0\r\n"));
    EXPECT_EQ(off.caption, QStringLiteral("Writing Pager Database - ID Assumed as Capcode OFF for Port 1"));
    EXPECT_EQ(off.awaited, QStringList({"\r\n"}));
}

TEST(IdAsCapcode, UpperCaseCommandsEndWithCrAndWaitForLf)
{
    struct Case {
        CommandStep step;
        const char *sent;
    } cases[] = {
        {IDAsCapQuery(Firmware::V7), "CONFIG IDASCAP?\r"},
        {IDAsCapQuery(Firmware::V8), "CONFIG SERIAL1 IDASCAP?\r"},
        {IDAsCapSwitch(Firmware::V7, false), "CONFIG IDASCAP 0\r"},
        {IDAsCapSwitch(Firmware::V7, true), "CONFIG IDASCAP 1\r"},
        {IDAsCapSwitch(Firmware::V8, false), "CONFIG SERIAL1 IDASCAP 0\r"},
        {IDAsCapSwitch(Firmware::V8, true), "CONFIG SERIAL1 IDASCAP 1\r"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.step.wire(), wire(c.sent));
        EXPECT_EQ(c.step.awaited, QStringList({"\n"})) << c.sent;
        EXPECT_FALSE(c.step.flushFirst) << c.sent;
        EXPECT_TRUE(c.step.caption.isEmpty()) << c.sent;
    }
}

TEST(IdAsCapcode, RepliesAreReadByTheirMarkers)
{
    EXPECT_TRUE(IDAsCapReportedOn(QStringLiteral("1\r\n")));
    EXPECT_FALSE(IDAsCapReportedOn(QStringLiteral("0\r\n")));
    EXPECT_FALSE(IDAsCapReportedOn(QStringLiteral(" 1\r\n")));
    EXPECT_FALSE(IDAsCapReportedOn(QString()));  // time-out: off
    EXPECT_TRUE(ReplyNamesComp2(QStringLiteral("COMP2>")));
    EXPECT_FALSE(ReplyNamesComp2(QStringLiteral("comp2\r\n")));
    EXPECT_TRUE(IDAsCapConfirmed(QStringLiteral("\r\nIDASCAP option updated\r\n")));
    EXPECT_FALSE(IDAsCapConfirmed(QStringLiteral("IDASCAP option not updated")));
    EXPECT_EQ(IDAsCapLabel(Firmware::V7, true), QStringLiteral("ID As Capcode Mode is ON"));
    EXPECT_EQ(IDAsCapLabel(Firmware::V8, false), QStringLiteral("ID As Capcode Mode is OFF for Port 1"));
}

TEST(SettingsQueries, KeysCaptionsAndWaits)
{
    const QList<CommandStep> v8 = SettingsQueries(Firmware::V8);
    ASSERT_EQ(v8.size(), 19);
    EXPECT_EQ(v8[6].wire(), QStringLiteral("config serial2 idascap?\r\n"));
    EXPECT_EQ(v8[6].caption, QStringLiteral("Reading Pager Database - ID as Capcode for Port 2"));
    EXPECT_EQ(v8[18].wire(), QStringLiteral("config serial2 baud?\r\n"));
    for (const CommandStep &s : v8)
        EXPECT_EQ(s.awaited, QStringList({"\r\n"})) << Visible(s.text);

    QStringList v7;
    for (const CommandStep &s : SettingsQueries(Firmware::V7))
        v7.append(s.wire());
    EXPECT_EQ(v7, QStringList({"config maxbatch?\r\n", "config dutycycle?\r\n", "config pphreset?\r\n",
                               "config ignorerfcd?\r\n", "config pet?\r\n", "config invertrfcd?\r\n",
                               "config invertdata?\r\n", "config briefack?\r\n", "config altfc?\r\n"}));
    // without PET support the encoder answers with an RS instead of a line
    const CommandStep pet = SettingsQueries(Firmware::V7)[4];
    EXPECT_TRUE(pet.replyComplete(wire("\x1e")));
    EXPECT_FALSE(SettingsQueries(Firmware::V7)[3].replyComplete(wire("\x1e\r")));
}

// Reads one reply into fresh settings and gives them back.
EncoderSettings afterReply(Firmware fw, const char *key, const char *reply, EncoderSettings s = EncoderSettings())
{
    StoreSettingsReply(fw, QString::fromLatin1(key), QString::fromLatin1(reply), s);
    return s;
}

TEST(SettingsQueries, RepliesAreStoredByEachKeysRule)
{
    EXPECT_EQ(afterReply(Firmware::V8, "maxbatch", "010\r\n").sMaxBatch, QStringLiteral("10"));
    EXPECT_EQ(afterReply(Firmware::V8, "dutycycle", "-5\r\n").sDutyCycle, QStringLiteral("-5"));
    EXPECT_EQ(afterReply(Firmware::V8, "maxbatch", "abc\r\n").sMaxBatch, QStringLiteral("10"));
    EXPECT_EQ(afterReply(Firmware::V8, "maxbatch", "40000\r\n").sMaxBatch, QStringLiteral("10"));
    EXPECT_EQ(afterReply(Firmware::V8, "maxbatch", "\r\n").sMaxBatch, QStringLiteral("10"));

    // "is 1" against "not 0" on the same odd answer
    EXPECT_FALSE(afterReply(Firmware::V8, "ignorerfcd", "2\r\n").bIgnoreRFCD);
    EXPECT_TRUE(afterReply(Firmware::V8, "invertdata", "2\r\n").bInvertData);
    EXPECT_TRUE(afterReply(Firmware::V8, "invertrfcd", "1\r\n").bInvertRFCD);
    EXPECT_TRUE(afterReply(Firmware::V8, "capby8", "1\r\n").bIncCapBy8);
    EXPECT_FALSE(afterReply(Firmware::V8, "serial2 idascap", "0\r\n").bSerial2IDAsCap);
    EXPECT_FALSE(afterReply(Firmware::V8, "serial2 pphreset", "0\r\n").bSerial2PPHReset);
    EXPECT_TRUE(afterReply(Firmware::V8, "serial1 verbose", "1\r\n").bSerial1Verbose);
    EXPECT_EQ(afterReply(Firmware::V8, "serial2 flow", "ASW\r\n").sSerial2Flow, QStringLiteral("ASW"));
    EXPECT_EQ(afterReply(Firmware::V8, "serial1 databits", "E71\r\n").sSerial1Databits, QStringLiteral("E71"));

    // the version 7 carrier polarity is the other way round
    EXPECT_TRUE(afterReply(Firmware::V7, "invertrfcd", "0\r\n").bInvertRFCD);
    EXPECT_FALSE(afterReply(Firmware::V7, "invertrfcd", "1\r\n").bInvertRFCD);
    EXPECT_TRUE(afterReply(Firmware::V7, "pphreset", "1\r\n").bSerial1PPHReset);

    // a key of the other family, or in the wrong case, stores nothing
    EXPECT_EQ(afterReply(Firmware::V7, "serial1 baud", "300\r\n"), EncoderSettings());
    EXPECT_EQ(afterReply(Firmware::V8, "MAXBATCH", "5\r\n"), EncoderSettings());
}

TEST(SettingsQueries, Version7RepliesThatSetTwoItems)
{
    const EncoderSettings pet = afterReply(Firmware::V7, "pet", "1\r\n");
    EXPECT_TRUE(pet.bPETSupport);
    EXPECT_EQ(pet.sSerial1Protocol, QStringLiteral("PET"));
    EncoderSettings wasPet;
    wasPet.bPETSupport = true;
    wasPet.sSerial1Protocol = QStringLiteral("PET");
    for (const char *reply : {"\x1e\r", "1\x1e\r\n", "0\r\n"}) {
        const EncoderSettings s = afterReply(Firmware::V7, "pet", reply, wasPet);
        EXPECT_FALSE(s.bPETSupport) << reply;
        EXPECT_EQ(s.sSerial1Protocol, QStringLiteral("TAP")) << reply;
    }

    const EncoderSettings brief = afterReply(Firmware::V7, "briefack", "1\r\n");
    EXPECT_TRUE(brief.bBriefACK);
    EXPECT_FALSE(brief.bSerial1Verbose);
    const EncoderSettings verbose = afterReply(Firmware::V7, "briefack", "0\r\n");
    EXPECT_FALSE(verbose.bBriefACK);
    EXPECT_TRUE(verbose.bSerial1Verbose);

    const EncoderSettings alt = afterReply(Firmware::V7, "altfc", "1\r\n");
    EXPECT_TRUE(alt.bFlowBeforeACK);
    EXPECT_EQ(alt.sSerial1Flow, QStringLiteral("AHW"));
    EXPECT_EQ(afterReply(Firmware::V7, "altfc", "0\r\n", alt).sSerial1Flow, QStringLiteral("HW"));
}

TEST(Judging, ReadAndWriteSteps)
{
    struct Case {
        const char *reply;
        bool timedOut;
        bool cancelled;
        StepVerdict read;
        StepVerdict write;
    } cases[] = {
        {"5\r\n", false, false, StepVerdict::Ok, StepVerdict::Ok},
        {"ERROR\r\n", false, false, StepVerdict::Ok, StepVerdict::Ok},
        {"ID=\r\n", false, false, StepVerdict::Failed, StepVerdict::Failed},
        {"\x1e\rID=", false, false, StepVerdict::Failed, StepVerdict::Failed},
        {"", true, false, StepVerdict::Failed, StepVerdict::Failed},
        {"", false, true, StepVerdict::Cancelled, StepVerdict::Failed},
        {"ID=", false, true, StepVerdict::Failed, StepVerdict::Failed},
        {"", true, true, StepVerdict::Failed, StepVerdict::Failed},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(JudgeReadStep(wire(c.reply), c.timedOut, c.cancelled), c.read) << c.reply;
        EXPECT_EQ(JudgeWriteStep(wire(c.reply), c.timedOut, c.cancelled), c.write) << c.reply;
    }
}

TEST(RecordSteps, RequestsWaitForALineAndRecordsForTheAck)
{
    const CommandStep request = RecordRequestStep(RecordKind::Group, 1);
    EXPECT_EQ(request.wire(), wire("\x02" "019d46\rL 1\r\x03" "224\r"));
    EXPECT_EQ(request.awaited, QStringList({"\r\n"}));
    const CommandStep record = ProgrammedRecordStep(RecordKind::Message, 2, PagerDatabase());
    EXPECT_EQ(record.caption, QStringLiteral("Writing Pager Database - Message 2"));
    EXPECT_FALSE(record.replyComplete(QStringLiteral("\r\n")));
    EXPECT_TRUE(record.replyComplete(wire("ok\x1e\r")));
}

TEST(Comp1Rule, OnlyWithoutADefaultPagerAndOnePortAtMost)
{
    PagerDatabase db;
    db.Groups[0][grpPagerID1] = QStringLiteral("0000");
    EncoderSettings both;
    both.sSerial1Protocol = both.sSerial2Protocol = QStringLiteral("COMP1");
    EXPECT_EQ(ApplyComp1Rule(db, both), 1);
    EXPECT_EQ(both.sSerial1Protocol, QStringLiteral("TAP"));
    EXPECT_EQ(both.sSerial2Protocol, QStringLiteral("COMP1"));
    EXPECT_EQ(ApplyComp1Rule(db, both), 2);
    EXPECT_EQ(ApplyComp1Rule(db, both), 0);

    EncoderSettings s;
    s.sSerial1Protocol = QStringLiteral("COMP1");
    db.Groups[0][grpPagerID1] = QStringLiteral("1001");
    EXPECT_EQ(ApplyComp1Rule(db, s), 0);
    EXPECT_EQ(s.sSerial1Protocol, QStringLiteral("COMP1"));
}

// What programming sends, compared as the encoder takes it: a change of form
// alone is none.
TEST(ProgrammedMeaning, FieldsOfDigitsByValueAndUnusedRecordsAsUnused)
{
    EXPECT_EQ(CommandMeaning("config dutycycle 066"), "config dutycycle 66");
    EXPECT_EQ(CommandMeaning("config serial1 databits N81"), "config serial1 databits N81");
    EXPECT_NE(CommandMeaning("config maxbatch 10"), CommandMeaning("config maxbatch 1"));
    EXPECT_EQ(RecordMeaning("L 3 0010 1 0 00"), RecordMeaning("L 3 10 1 0 0"));
    // the short and long forms of an unused group
    GroupRow unused = NewDatabaseGroupRow();
    unused[grpComplete] = QStringLiteral("YES");
    EXPECT_EQ(RecordMeaning(GroupRecord(unused, 4)), RecordMeaning("L 4 0 0 0 0 0 0 0 0"));
    unused[grpPagerID20] = QStringLiteral("0007");
    EXPECT_NE(RecordMeaning(GroupRecord(unused, 4)), RecordMeaning("L 4 0 0 0 0 0 0 0 0"));
    // a family off with no pagers is unused, whatever else it holds
    EXPECT_EQ(RecordMeaning("G 7 0 1234567 5 A 3 000 1000 01 01"), RecordMeaning("G 7 0 8 5 A 0 0 0 0 0"));
    EXPECT_NE(RecordMeaning("G 7 1 1234567 5 A 3 000 1000 01 01"), RecordMeaning("G 7 0 8 5 A 0 0 0 0 0"));
    EXPECT_EQ(RecordMeaning("G 7 1 0012000 5 A 3 010 1000 01 00"), "G 7 1 12000 5 A 3 10 1000 1 0");
    // a message is its text, digits and blanks as they stand
    EXPECT_EQ(RecordMeaning("M 2 \"Call 0010  now\""), "M 2 \"Call 0010  now\"");
}

TEST(Boxes, ErrorBoxNamesThePort)
{
    const TransferBox box = WriteErrorBox(QStringLiteral("9600,n,8,1"), 1);
    EXPECT_EQ(box.title, QStringLiteral("Write Error"));
    EXPECT_EQ(box.text, QStringLiteral("Error Writing Pager Database at\r9600,n,8,1  COM Port 1\r"
                                       "Please Check Connections, Paging Encoder Configuration,\r"
                                       "or COM Port Settings, and Try Again"));
}

}  // namespace
