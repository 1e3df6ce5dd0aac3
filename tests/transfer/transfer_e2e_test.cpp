// The database transfer driven from the main window against the simulated
// encoder: what reaches the encoder, what comes back, and every way out.
#include "app/forms.h"
#include "app/frmcancelsend.h"
#include "app/frmterminal.h"
#include "database/pg8_fixture.h"
#include "database/pg8file.h"
#include "database/state.h"
#include "editors/editorcommon.h"
#include "editors/cfgfam_cells.h"
#include "editors/cfggroup_logic.h"
#include "editors/editors.h"
#include "editors/frmcfgfam.h"
#include "editors/frmcfggroup.h"
#include "editors/frmpassword.h"
#include "editors/frmsettings.h"
#include "editors/frmsettingsmain.h"
#include "encsim/simulator.h"
#include "link/exchange.h"
#include "platform/grid.h"
#include "platform/system.h"
#include "report/reportpdf.h"
#include "support/appfixture.h"
#include "support/duringcheck.h"
#include "support/checked.h"
#include "support/ptypeer.h"
#include "support/simharness.h"
#include "transfer/transfer.h"
#include "transfer/transferfixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <functional>
#include <memory>

using namespace testing_support;
using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

const QString kWriteErrorText = lines({"Error Writing Pager Database at", "9600,n,8,1  COM Port 1",
                                       "Please Check Connections, Paging Encoder Configuration,",
                                       "or COM Port Settings, and Try Again"});
const QString kReadErrorText = lines({"Error Reading Pager Database at", "9600,n,8,1  COM Port 1",
                                      "Please Check Connections, Paging Encoder Configuration,",
                                      "or COM Port Settings, and Try Again"});
const QString kImproperText = lines({"The Paging Encoder did not Properly Respond to IDASCAP Command.",
                                     "Please Check Connections, Paging Encoder Configuration,",
                                     "or COM Port Settings, and Try Again"});
const QString kModifiedCaption = QStringLiteral("Current Configuration Modified, Does Not Match Encoder");

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The round-trip database: the full test database, with the families that
// are not in use in the form a factory encoder's read leaves them once saved
// and opened again (the start ID padded to three digits); complete, they
// travel as they are. Group 6 has no Group ID of its own: its timer pages
// its two members.
PagerDatabase roundTripDatabase()
{
    PagerDatabase db = pg8test::FullDatabase();
    for (FamilyRow &f : db.Families) {
        if (f[famActive] == u"0")
            f = {"0", "8", "5", "A", "0", "0", "000", "0", "0", "YES"};
    }
    GroupRow &timer = db.Groups[5];
    const QString reference = timer[grpReference];
    timer = {"0000", "1", "0", "00", "0", "00", "1", "05", "0100", "0101"};
    for (int f = grpPagerID1 + 2; f <= grpPagerID20; ++f)
        timer[f] = QStringLiteral("0000");
    timer[grpComplete] = QStringLiteral("YES");
    timer[grpReference] = reference;
    return db;
}

// Settings a version 7 encoder carries in full: port 1's flow, protocol and
// verbose mode follow from its own three flags, port 2 and the speeds stay
// at their start values.
EncoderSettings version7Settings()
{
    EncoderSettings s;
    s.bInvertData = true;
    s.bInvertRFCD = true;
    s.sDutyCycle = QStringLiteral("50");
    s.sMaxBatch = QStringLiteral("32");
    s.bIgnoreRFCD = true;
    s.bSerial1PPHReset = false;
    s.bSerial1IDAsCap = true;
    s.sSerial1Flow = QStringLiteral("HW");
    s.sSerial1Protocol = QStringLiteral("TAP");
    s.bSerial1Verbose = true;
    return s;
}

}  // namespace

// ---- round trips ----------------------------------------------------------

TEST_F(DatabaseTransfer, Version8ProgramsAFileAndReadsItBackByteForByte)
{
    connect(8);
    const PagerDatabase db = roundTripDatabase();
    const EncoderSettings settings = pg8test::FullSettings();
    openFile("site.pg8", db, settings, pg8test::FullNotes());
    const QByteArray original = readFile(path("site.pg8"));
    ASSERT_FALSE(original.isEmpty());

    program();
    EXPECT_EQ(prompts.pending(), 0);
    EXPECT_EQ(w->StatusPanelText(1), "Encoder Matches Current Configuration");
    EXPECT_TRUE(gRun.bMatchesEncoder);
    EXPECT_TRUE(w->cmdLookup->isEnabled());
    EXPECT_TRUE(w->mnuSendMsg->isEnabled());
    EXPECT_TRUE(toolbarBack());
    expectCleanExit();
    // query, 19 settings, 75 records, the closing setting
    EXPECT_EQ(sim->exchangeCount(), 96);

    // the encoder's store, field by field
    const encsim::Database store = sim->database();
    for (int g = 0; g < kGroupCount; ++g) {
        QStringList expected;
        for (int f = grpGroupID; f <= grpPagerID20; ++f)
            expected << db.Groups[g][f];
        EXPECT_EQ(store.groups[g], expected) << "group " << g + 1;
    }
    for (int r = 0; r < kFamilyCount; ++r) {
        QStringList expected;
        for (int f = famActive; f <= famSuffix; ++f)
            expected << db.Families[r][f];
        EXPECT_EQ(store.families[r], expected) << "family " << r + 1;
    }
    EXPECT_EQ(store.families[9], QStringList({"0", "8", "5", "A", "0", "0", "000", "0", "0"}));
    EXPECT_EQ(store.families[0], QStringList({"1", "0000008", "1", "N", "0", "003", "1020", "1", "08"}));
    for (int m = 0; m < kMessageCount; ++m)
        EXPECT_EQ(store.messages[m], db.CannedMessages[m]) << "message " << m + 1;
    EXPECT_EQ(store.messages[14], ",");
    const struct { const char *key, *value; } settingRows[] = {
        {"invertdata", "1"}, {"invertrfcd", "1"}, {"dutycycle", "50"}, {"maxbatch", "32"}, {"capby8", "1"},
        {"serial1 pphreset", "0"}, {"serial2 pphreset", "0"}, {"ignorerfcd", "1"}, {"serial2 idascap", "1"},
        {"serial1 verbose", "1"}, {"serial2 verbose", "1"}, {"serial1 flow", "SW"}, {"serial2 flow", "AHW"},
        {"serial1 protocol", "COMP1"}, {"serial2 protocol", "SNPP"}, {"serial1 baud", "2400"},
        {"serial2 baud", "1200"}, {"serial1 databits", "E71"}, {"serial2 databits", "E71"},
        {"serial1 idascap", "1"},
    };
    for (const auto &row : settingRows)
        EXPECT_EQ(sim->setting(row.key), row.value) << row.key;

    // an emptied program reads it back
    prompts.answer(Answer::Yes);  // "New Database"
    w->mnuNewDB_Click();
    gSettings = EncoderSettings{};
    w->lblIDAsCap->clear();
    w->lblIncBy8->clear();
    const int before = sim->exchangeCount();
    read();
    EXPECT_EQ(prompts.pending(), 0);
    EXPECT_EQ(prompts.last().title, "About to OverWrite Edits");
    EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
    EXPECT_EQ(prompts.last().buttons, Buttons::YesNoCancel);
    // query, 19 settings, 75 records, the switch back on
    EXPECT_EQ(sim->exchangeCount() - before, 96);
    EXPECT_EQ(Last(received()), "CONFIG SERIAL1 IDASCAP 1\r");
    EXPECT_EQ(w->StatusPanelText(1), "Current View Matches Encoder Configuration");
    EXPECT_TRUE(gRun.bMatchesEncoder);
    EXPECT_TRUE(toolbarBack());
    EXPECT_TRUE(w->mnuTest->isEnabled());
    EXPECT_EQ(w->lblIDAsCap->text(), "ID As Capcode Mode is ON for Port 1");
    EXPECT_EQ(w->lblIncBy8->text(), "Increment Capcodes by 8 Mode is ON");
    expectCleanExit();
    EXPECT_EQ(gSettings, settings);

    prompts.answerFile(path("back.pg8"));
    w->mnuSaveAs_Click();
    EXPECT_EQ(readFile(path("back.pg8")), original);
}

TEST_F(DatabaseTransfer, Version7ProgramsAFileAndReadsBackWhatItCarries)
{
    connect(7);
    const PagerDatabase db = roundTripDatabase();
    EncoderSettings settings = version7Settings();
    openFile("v7.pg8", db, settings, QStringLiteral("v7 site"));
    const QByteArray original = readFile(path("v7.pg8"));

    program();
    EXPECT_EQ(w->StatusPanelText(1), "Encoder Matches Current Configuration");
    EXPECT_TRUE(gRun.bMatchesEncoder);
    EXPECT_EQ(w->Timer2.Interval(), 8000);
    expectCleanExit();
    // query, 9 settings, 75 records, the closing setting
    EXPECT_EQ(sim->exchangeCount(), 86);
    const QList<QByteArray> sent = received();
    EXPECT_EQ(sent.first(), "CONFIG IDASCAP?\r");
    EXPECT_EQ(sent.mid(1, 9), QList<QByteArray>({"config invertdata 1\r\n", "config pet 0\r\n",
                                                  "config invertrfcd 0\r\n", "config dutycycle 50\r\n",
                                                  "config maxbatch 32\r\n", "config pphreset 0\r\n",
                                                  "config ignorerfcd 1\r\n", "config briefack 0\r\n",
                                                  "config altfc 0\r\n"}));
    EXPECT_EQ(Last(sent), "config idascap 1\r\n");
    const encsim::Database store = sim->database();
    EXPECT_EQ(store.groups[2].first(), "5003");
    EXPECT_EQ(store.families[9], QStringList({"0", "8", "5", "A", "0", "0", "000", "0", "0"}));
    EXPECT_EQ(store.messages[4], db.CannedMessages[4]);
    EXPECT_EQ(sim->setting("idascap"), "1");

    prompts.answer(Answer::Yes);
    w->mnuNewDB_Click();
    gSettings = EncoderSettings{};
    const int before = sim->exchangeCount();
    read();
    // query, switch-off, 9 settings, 75 records, switch back on
    EXPECT_EQ(sim->exchangeCount() - before, 87);
    const QList<QByteArray> asked = received().mid(before);
    EXPECT_EQ(asked[0], "CONFIG IDASCAP?\r");
    EXPECT_EQ(asked[1], "CONFIG IDASCAP 0\r");
    EXPECT_EQ(asked[2], "config maxbatch?\r\n");
    EXPECT_EQ(Last(asked), "CONFIG IDASCAP 1\r");
    EXPECT_EQ(sim->setting("idascap"), "1");
    EXPECT_EQ(w->StatusPanelText(1), "Current View Matches Encoder Configuration");
    EXPECT_EQ(w->lblIDAsCap->text(), "ID As Capcode Mode is ON");
    EXPECT_TRUE(toolbarBack());
    expectCleanExit();
    EXPECT_EQ(gSettings, settings);

    prompts.answerFile(path("v7back.pg8"));
    w->mnuSaveAs_Click();
    EXPECT_EQ(readFile(path("v7back.pg8")), original);
}

TEST_F(DatabaseTransfer, Version7FlagsTravelAndComeBackWithThePortSettingsTheyImply)
{
    connect(7);
    gDb = roundTripDatabase();
    gSettings = version7Settings();
    gSettings.bPETSupport = true;
    gSettings.bBriefACK = true;
    gSettings.bFlowBeforeACK = true;
    gSettings.bInvertRFCD = false;
    program();
    EXPECT_EQ(sim->setting("pet"), "1");
    EXPECT_EQ(sim->setting("briefack"), "1");
    EXPECT_EQ(sim->setting("altfc"), "1");
    EXPECT_EQ(sim->setting("invertrfcd"), "1");

    gSettings = EncoderSettings{};
    gSettings.sSerial2Protocol = QStringLiteral("SNPP");
    read();
    EXPECT_TRUE(gSettings.bPETSupport);
    EXPECT_EQ(gSettings.sSerial1Protocol, "PET");
    EXPECT_TRUE(gSettings.bBriefACK);
    EXPECT_FALSE(gSettings.bSerial1Verbose);
    EXPECT_EQ(gSettings.sSerial1Flow, "AHW");
    EXPECT_FALSE(gSettings.bInvertRFCD);
    // a version 7 read leaves port 2 alone
    EXPECT_EQ(gSettings.sSerial2Protocol, "SNPP");
}

// A factory encoder keeps groups of eight fields: read over an opened file
// their twenty pager IDs are unused ones, not the file's, and what was read
// goes back whole, from memory and from the file saved after the read, also
// into an encoder that refuses a record with an empty field.
class FactoryEncoder : public DatabaseTransfer, public ::testing::WithParamInterface<int> {};

TEST_P(FactoryEncoder, WhatAReadLeavesProgramsBackAsTheEncoderHeldItAndSoDoesItsFile)
{
    const int firmware = GetParam();
    connect(firmware);
    openFile("full.pg8", pg8test::FullDatabase(), pg8test::FullSettings(), pg8test::FullNotes());
    prompts.clear();
    // family 50 answers in the encoder's short form, family 1 with four fields
    encsim::Database store = encsim::Database::blank();
    store.families[49] = QStringList{QStringLiteral("0")};
    store.families[0] = QStringList({"1", "0001000", "5", "A"});
    sim->setDatabase(store);
    sim->withEncoder([](encsim::Encoder &e) { e.setRefuseEmptyFields(true); });
    read();
    ASSERT_EQ(w->StatusPanelText(1), "Current View Matches Encoder Configuration");
    program();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "About to OverWrite Edits");
    EXPECT_EQ(w->StatusPanelText(1), "Encoder Matches Current Configuration");
    for (int g = 0; g < kGroupCount; ++g)
        EXPECT_EQ(sim->database().groups[g].join(u' '), "0 0 0 0 0 0 0 0" + QString(" 0000").repeated(20)) << g + 1;
    EXPECT_EQ(sim->database().families[49].join(u' '), "0 0000000 5 A 3 000 0000 00 00");
    EXPECT_EQ(sim->database().families[0].join(u' '), "1 0001000 5 A 3 000 0000 00 00");
    // the group's twenty pager IDs go out as unused ones, no field empty:
    // 2 + "019d56" 361 + "L 5 0 0 0 0 0 0 0 0" 801 + 20 x " 0000" 224 + 13 + 13 + 3 = 5673, 0x629 kept
    QByteArray group5("\x02" "019d56\rL 5 0 0 0 0 0 0 0 0");
    for (int k = 1; k <= 20; ++k)
        group5 += " 0000";
    EXPECT_TRUE(received().contains(group5 + "\r\x03" "629\r"));
    // and they print as unset ones: the report is two whole pages
    const QString pdf = path("factory.pdf");
    prompts.answerWith([&](const platform::Prompt &p) {
        reporttest::SetUpTestPage(*p.printer, pdf);
        return platform::Reply{Answer::OK, {}, 1};
    });
    w->mnuPrintDB_Click();
    const auto pages = reporttest::PageTexts(pdf);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[1].contains("Pager ID 20:"));
    EXPECT_EQ(pages[1][pages[1].size() - 2], "Filename: full.pg8 p. 2 of 2");
    prompts.answerFile(path("factory.pg8"));
    w->mnuSaveAs_Click();

    // a fresh program opens the file and programs it
    shutDown();  // the encoder restarts into paging mode
    ResetSharedState();
    w = start();
    closeSplash();
    gRun.bV7Firmware = firmware == 7;
    ASSERT_TRUE(w->MSComm1.setPortOpen(true));
    ASSERT_TRUE(EncoderExchange(QStringLiteral("#PrgmMode#"), Term::CR, true, {QStringLiteral("9600 baud")}, 4000,
                                false).found);
    prompts.answerFile(path("factory.pg8"));
    w->mnuOpenFile_Click();
    program();
    EXPECT_EQ(prompts.pending(), 0);
    EXPECT_EQ(prompts.last().title, "Program Encoder?");
    EXPECT_EQ(w->StatusPanelText(1), "Encoder Matches Current Configuration");
    expectCleanExit();
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, FactoryEncoder, ::testing::Values(7, 8));

// ---- bytes on the wire ------------------------------------------------------

TEST_F(DatabaseTransfer, RecordsAndRequestsGoOutAsHandBuiltBlocks)
{
    connect(8);
    ApplyNewDatabase(gDb);
    gDb.CannedMessages[2] = QStringLiteral("HELLO");
    program();
    ASSERT_TRUE(gRun.bMatchesEncoder);
    const QList<QByteArray> sent = received();
    // 2 + "019d56" 361 + "L 4 0 0 0 0 0 0 0 0" 800 + 13 + 13 + 3 = 1192 = 0x4A8
    EXPECT_TRUE(sent.contains(QByteArray("\x02" "019d56\rL 4 0 0 0 0 0 0 0 0\r\x03" "4:8\r")));
    // ... "G 5 0 8 5 A 0 0 0 0 0" 906 -> 1298 = 0x512
    EXPECT_TRUE(sent.contains(QByteArray("\x02" "019d56\rG 5 0 8 5 A 0 0 0 0 0\r\x03" "512\r")));
    // ... "M 3 \"HELLO\"" 632 -> 1024 = 0x400
    EXPECT_TRUE(sent.contains(QByteArray("\x02" "019d56\rM 3 \"HELLO\"\r\x03" "400\r")));
    EXPECT_EQ(sent[1], "config invertdata 0\r\n");
    EXPECT_EQ(sent[5], "config CAPBY8 0\r\n");

    const int before = sim->exchangeCount();
    read();
    const QList<QByteArray> asked = received().mid(before);
    // 2 + "019d46" 360 + "G 17" 207 + 31 = 598 = 0x256
    EXPECT_TRUE(asked.contains(QByteArray("\x02" "019d46\rG 17\r\x03" "256\r")));
    EXPECT_EQ(asked[0], "CONFIG SERIAL1 IDASCAP?\r");
    EXPECT_EQ(asked[1], "config maxbatch?\r\n");
    EXPECT_EQ(asked[20], QByteArray("\x02" "019d46\rL 1\r\x03" "224\r"));
    EXPECT_EQ(gDb.CannedMessages[2], "HELLO");
}

// The five bytes the code page leaves undefined are characters like any
// other: from the file to the encoder byte for byte.
TEST_F(DatabaseTransfer, TheCodePagesUndefinedBytesInAFileAreProgrammedAsTheyStand)
{
    connect(8);
    PagerDatabase db = roundTripDatabase();
    db.CannedMessages[3] = QStringLiteral("\u0081\u008d\u008f\u0090\u009d");
    openFile("spare.pg8", db, pg8test::FullSettings(), pg8test::FullNotes());
    ASSERT_TRUE(readFile(path("spare.pg8")).contains("Msg4,\x81\x8d\x8f\x90\x9d\r\n"));
    program();
    EXPECT_EQ(prompts.pending(), 0);
    EXPECT_EQ(prompts.last().title, "Program Encoder?");
    EXPECT_EQ(w->StatusPanelText(1), "Encoder Matches Current Configuration");
    // 2 + "019d56" 361 + "M 4 \"" 227 + 129 + 141 + 143 + 144 + 157 + "\"" 34 + 13 + 13 + 3 = 1367 = 0x557
    EXPECT_TRUE(received().contains(QByteArray("\x02" "019d56\rM 4 \"\x81\x8d\x8f\x90\x9d\"\r\x03" "557\r")));
    EXPECT_EQ(sim->database().messages[3], db.CannedMessages[3]);
}

// ---- failures while programming ---------------------------------------------

TEST_F(DatabaseTransfer, EncoderLeavingProgrammingModeMidRunStopsWithWriteError)
{
    connect(8);
    gDb = roundTripDatabase();
    gSettings = pg8test::FullSettings();
    ClaimViewMatches();
    sim->setSetting("serial1 idascap", "1");
    platform::SetTimeScale(0.05);
    sim->addFault({encsim::FaultKind::FallBackToPaging, 1, 1, "G 17 "});
    prompts.answer(Answer::OK);
    prompts.answer(Answer::OK);
    w->mnuWriteDB_Click();
    ASSERT_EQ(prompts.count(), 2);
    EXPECT_EQ(prompts.seen()[0].title, "Write Error");
    EXPECT_EQ(prompts.seen()[0].text, kWriteErrorText);
    EXPECT_EQ(prompts.seen()[0].icon, Icon::None);
    EXPECT_TRUE(toolbarBack());
    expectCleanExit();
    // nothing follows the record the encoder answered with its log-on prompt,
    // not even the switch back on: in paging mode it would go out as a page
    EXPECT_TRUE(Last(received()).contains("G 17 "));
    EXPECT_EQ(sim->setting("serial1 idascap"), "0");
    // so the encoder keeps the mode off, and the window says so
    EXPECT_EQ(prompts.last().title, "ID As Capcode Mode Not Restored");
    EXPECT_EQ(w->lblIDAsCap->text(), "ID As Capcode Mode is OFF for Port 1");
    EXPECT_EQ(w->StatusPanelText(1), kModifiedCaption);
    EXPECT_FALSE(gRun.bMatchesEncoder);
    EXPECT_FALSE(w->mnuSendMsg->isEnabled());
    EXPECT_EQ(sim->database().families[15].first(), "1");
    EXPECT_EQ(sim->database().families[16], QStringList({"0", "8", "5", "A", "0", "0", "0", "0", "0"}));
}

TEST_F(DatabaseTransfer, SilenceMidRunStopsWithWriteErrorAndSwitchesIDAsCapBackOn)
{
    connect(8);
    sim->setSetting("serial1 idascap", "1");
    gDb = roundTripDatabase();
    gSettings = EncoderSettings{};  // the view says off; the encoder is on
    ClaimViewMatches();
    platform::SetTimeScale(0.05);
    sim->addFault({encsim::FaultKind::Silence, 1, 1, "M 4 "});
    prompts.answer(Answer::OK);
    w->mnuWriteDB_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Write Error");
    EXPECT_EQ(w->StatusPanelText(1), "Writing Pager Database - Message 4");
    EXPECT_TRUE(gSettings.bSerial1IDAsCap);
    EXPECT_EQ(w->lblIDAsCap->text(), "ID As Capcode Mode is ON for Port 1");
    const QList<QByteArray> sent = received();
    EXPECT_EQ(sent[1], "CONFIG SERIAL1 IDASCAP 0\r");
    EXPECT_EQ(Last(sent), "CONFIG SERIAL1 IDASCAP 1\r");
    EXPECT_EQ(sim->setting("serial1 idascap"), "1");
    EXPECT_TRUE(toolbarBack());
    expectCleanExit();
    EXPECT_FALSE(gWait.bReplyTimeout);
}

TEST_F(DatabaseTransfer, AFailedSwitchBackOnIsReported)
{
    connect(8);
    sim->setSetting("serial1 idascap", "1");
    gDb = roundTripDatabase();
    ClaimViewMatches();
    platform::SetTimeScale(0.05);
    // the line dies at the first settings command and stays dead
    sim->addFault({encsim::FaultKind::Silence, 3, 0, {}});
    prompts.answer(Answer::OK);
    prompts.answer(Answer::OK);
    w->mnuWriteDB_Click();
    ASSERT_EQ(prompts.count(), 2);
    EXPECT_EQ(prompts.seen()[0].title, "Write Error");
    EXPECT_EQ(prompts.seen()[1].title, "ID As Capcode Mode Not Restored");
    EXPECT_EQ(prompts.seen()[1].icon, Icon::Exclamation);
    EXPECT_EQ(Last(received()), "CONFIG SERIAL1 IDASCAP 1\r");
    EXPECT_EQ(sim->exchangeCount(), 4);
    expectCleanExit();
}

// The encoder's answer to the step that failed comes in after the switch
// back on was sent: it is not taken for the answer to that switch.
TEST_F(DatabaseTransfer, ALateAnswerToTheFailedStepIsNotTakenForTheSwitchBackOn)
{
    PtyPeer peer;
    ASSERT_TRUE(peer.isOpen());
    savedCom1 = qgetenv("QV_COM1");
    qputenv("QV_COM1", peer.slavePath().toLocal8Bit());
    w = start();
    closeSplash();
    ASSERT_TRUE(w->MSComm1.setPortOpen(true)) << w->MSComm1.ErrorText().toStdString();
    gDb = roundTripDatabase();
    ClaimViewMatches();
    // mode on and switched off; no answer to the first setting in time (only
    // its wait is short)
    QByteArray heard;
    QTimer encoder;
    encoder.setInterval(10);
    QObject::connect(&encoder, &QTimer::timeout, [&] {
        heard += peer.readNow();
        auto take = [&](const QByteArray &command) {
            const qsizetype at = heard.indexOf(command);
            if (at < 0)
                return false;
            heard.remove(0, at + command.size());
            return true;
        };
        if (take("CONFIG SERIAL1 IDASCAP?\r"))
            peer.write("1\r\n");
        if (take("CONFIG SERIAL1 IDASCAP 0\r")) {
            peer.write("SERIAL1 IDASCAP option updated\r\n");
            platform::SetTimeScale(0.2);
        }
        if (take("CONFIG SERIAL1 IDASCAP 1\r")) {
            peer.write("\r\n");  // what "config invertdata 0" got, late
            peer.writeAfter(150, "SERIAL1 IDASCAP option updated\r\n");
        }
    });
    encoder.start();
    // the switch back on has its full time
    prompts.answerWith([](const platform::Prompt &) {
        platform::SetTimeScale(1.0);
        return platform::Reply{Answer::OK, {}, 1};
    });
    w->mnuWriteDB_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Write Error");
    EXPECT_EQ(w->lblIDAsCap->text(), "ID As Capcode Mode is ON for Port 1");
    EXPECT_TRUE(gRun.bMatchesEncoder);
    expectCleanExit();
}

TEST_F(DatabaseTransfer, Version7EncoderKeepsItsIDAsCapModeAfterAFailedRun)
{
    connect(7);
    sim->setSetting("idascap", "1");
    gDb = roundTripDatabase();
    gSettings = version7Settings();
    gSettings.bSerial1IDAsCap = false;
    ClaimViewMatches();
    platform::SetTimeScale(0.05);
    sim->addFault({encsim::FaultKind::Silence, 1, 1, "L 2 "});
    prompts.answer(Answer::OK);
    w->mnuWriteDB_Click();
    EXPECT_EQ(prompts.last().title, "Write Error");
    EXPECT_EQ(received()[1], "CONFIG IDASCAP 0\r");
    EXPECT_EQ(Last(received()), "CONFIG IDASCAP 1\r");
    EXPECT_EQ(sim->setting("idascap"), "1");
    // the version 7 programmer leaves its reply time-out in force
    EXPECT_EQ(w->Timer2.Interval(), 8000);
    expectCleanExit();
}

TEST_F(DatabaseTransfer, CancelMidRunIsAWriteError)
{
    connect(8);
    gDb = roundTripDatabase();
    ClaimViewMatches();
    forms::cancelSend()->Show();
    // the encoder never answers this record: only the cancel ends the wait
    sim->addFault({encsim::FaultKind::Silence, 1, 1, "G 30 "});
    onExchange("G 30 ", [] { forms::cancelSend()->Command1->click(); });
    prompts.answer(Answer::OK);
    w->mnuWriteDB_Click();
    EXPECT_EQ(prompts.last().title, "Write Error");
    EXPECT_EQ(w->StatusPanelText(1), "Writing Pager Database - Family 30");
    EXPECT_TRUE(Last(received()).contains("G 30 "));
    EXPECT_FALSE(gWait.bCancelRequested);
    expectCleanExit();
}

TEST_F(DatabaseTransfer, Comp2PortStopsBeforeAnythingIsSent)
{
    connect(8);
    sim->setSetting("serial1 idascap", "COMP2>");
    gDb = roundTripDatabase();
    ClaimViewMatches();
    w->SetStatusPanel(1, "before");
    prompts.answer(Answer::OK);
    w->mnuWriteDB_Click();
    EXPECT_EQ(prompts.last().title, "COMP2 Detected");
    EXPECT_EQ(prompts.last().text, "COMP2 protocol is detected.  Please change to TAP protocol and try again.");
    EXPECT_EQ(prompts.last().icon, Icon::None);
    EXPECT_EQ(sim->exchangeCount(), 1);
    EXPECT_EQ(w->StatusPanelText(1), "before");
    EXPECT_TRUE(toolbarBack());
    expectCleanExit();
}

TEST_F(DatabaseTransfer, UnconfirmedSwitchOffGivesImproperResponse)
{
    connect(8);
    sim->setSetting("serial1 idascap", "1");
    gDb = roundTripDatabase();
    ClaimViewMatches();
    platform::SetTimeScale(0.05);
    sim->addFault({encsim::FaultKind::Silence, 1, 1, "IDASCAP 0"});
    prompts.answer(Answer::OK);
    w->mnuWriteDB_Click();
    EXPECT_EQ(prompts.last().title, "Paging Encoder Improper Response");
    EXPECT_EQ(prompts.last().text, kImproperText);
    EXPECT_EQ(sim->exchangeCount(), 2);
    EXPECT_FALSE(w->ConnectedPictureInFront());
    EXPECT_TRUE(toolbarBack());
    expectCleanExit();
}

TEST_F(DatabaseTransfer, NothingIsSentWhenAValueWouldBreakTheFraming)
{
    connect(8);
    gDb = roundTripDatabase();
    gDb.CannedMessages[3] = QStringLiteral("say \"hi\"");
    ClaimViewMatches();
    w->SetToolbarEnabled(true);
    prompts.answer(Answer::OK);
    w->mnuWriteDB_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, ProgrammingBlockedTitle());
    EXPECT_TRUE(prompts.last().text.contains("Canned Message 4")) << prompts.last().text.toStdString();
    EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
    EXPECT_EQ(sim->exchangeCount(), 0);
    expectCleanExit();

    // and a closed port is only reported
    w->MSComm1.setPortOpen(false);
    gDb = roundTripDatabase();
    ClaimViewMatches();
    prompts.answer(Answer::OK);
    w->mnuWriteDB_Click();
    EXPECT_EQ(prompts.last().title, "COM Port Not Open");
    EXPECT_EQ(prompts.last().text, lines({"COM Port 1 is Not Open", "Please Open Port and Try Again"}));
    EXPECT_EQ(prompts.last().icon, Icon::Critical);
    EXPECT_EQ(sim->exchangeCount(), 0);
    EXPECT_FALSE(gRun.bNoModifiedStatus);
}

TEST_F(DatabaseTransfer, ReadWithThePortClosedIsOnlyReported)
{
    connect(8);
    w->MSComm1.setPortOpen(false);
    gDb = roundTripDatabase();
    gRun.bMatchesEncoder = false;
    w->SetStatusPanel(1, "edited");
    prompts.answer(Answer::OK);
    w->mnuReadDB_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "COM Port Not Open");
    EXPECT_EQ(prompts.last().text, lines({"COM Port 1 is Not Open", "Please Open Port and Try Again"}));
    EXPECT_EQ(prompts.last().icon, Icon::Critical);
    EXPECT_EQ(sim->exchangeCount(), 0);
    EXPECT_EQ(gDb, roundTripDatabase());
    EXPECT_EQ(w->StatusPanelText(1), "edited");
    EXPECT_FALSE(gRun.bNoModifiedStatus);
    EXPECT_FALSE(gRun.bPortBusy);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DatabaseTransfer, AnEditDuringTheRunDoesNotEndMatchingTheEncoder)
{
    connect(8);
    gDb = roundTripDatabase();
    ClaimViewMatches();
    onExchange("G 20 ", [this] { w->MarkConfigModified(); });
    w->mnuWriteDB_Click();
    EXPECT_EQ(sim->exchangeCount(), 96);
    EXPECT_FALSE(gRun.bMatchesEncoder);
    EXPECT_EQ(w->StatusPanelText(1), kModifiedCaption);
    EXPECT_FALSE(w->cmdLookup->isEnabled());
    expectCleanExit();

    // the same during a read
    const int before = sim->exchangeCount();
    ClaimViewMatches();
    onExchange("\rM 2\r", [this] { w->MarkConfigModified(); });
    w->mnuReadDB_Click();
    EXPECT_EQ(sim->exchangeCount() - before, 95);
    EXPECT_FALSE(gRun.bMatchesEncoder);
    EXPECT_EQ(w->StatusPanelText(1), kModifiedCaption);
    EXPECT_TRUE(w->Toolbar1->isEnabled());
    expectCleanExit();

    // and for a change the program makes (an editor erasing an incomplete
    // record, say) during a read that started from a view already modified
    const int second = sim->exchangeCount();
    onExchange("\rM 2\r", [] { MarkViewChanged(ViewChange::ProgramMade); });
    read();
    EXPECT_EQ(sim->exchangeCount() - second, 95);
    EXPECT_FALSE(gRun.bMatchesEncoder);
    EXPECT_EQ(w->StatusPanelText(1), kModifiedCaption);
    expectCleanExit();
}

// A group the encoder holds with its timer on and timer message "0": the
// groups editor switches such a timer off as it shows it, so programming
// would switch it off in the encoder. Opening the editor after a read, or a
// read while it is open, leaves the view modified.
TEST_F(DatabaseTransfer, TheGroupsEditorSwitchingOffATimerWithMessageZeroEndsTheMatch)
{
    connect(8);
    encsim::Database db = encsim::Database::sample();
    db.groups[1] = db.groups[0];
    db.groups[1][encsim::GroupID] = "5001";
    db.groups[1][encsim::TimerMsg] = "0";
    sim->setDatabase(db);
    read();
    ASSERT_TRUE(gRun.bMatchesEncoder);
    ASSERT_EQ(gDb.Groups[1][grpTimerActive], "1");

    ShowGroupsEditor();
    EXPECT_EQ(gDb.Groups[1][grpTimerActive], "0");
    EXPECT_FALSE(gRun.bMatchesEncoder);
    EXPECT_EQ(w->StatusPanelText(1), kModifiedCaption);
    EXPECT_FALSE(w->mnuSendMsg->isEnabled());

    read();
    EXPECT_EQ(gDb.Groups[1][grpTimerActive], "0");
    EXPECT_FALSE(gRun.bMatchesEncoder);
    EXPECT_EQ(w->StatusPanelText(1), kModifiedCaption);
    EXPECT_FALSE(w->ToolbarButtonByKey("test")->isEnabled());
    expectCleanExit();
}

// The groups check lets window events through at every step, and a transfer
// at every wait: nothing that talks to the encoder or reads or rewrites the
// tables starts inside either, and the editors take no input inside the check.
TEST_F(DatabaseTransfer, NothingTalksToTheEncoderOrTouchesTheTablesInsideACheckOrATransfer)
{
    connect(8);
    ApplyNewDatabase(gDb);
    GroupRow &g1 = gDb.Groups[0];
    g1[grpActive] = "1";
    g1[grpComplete] = "YES";
    g1[grpGroupID] = "12";
    g1[grpPagerID1] = "555";  // in no family: the check blanks it
    GroupRow &g2 = gDb.Groups[1];
    g2[grpComplete] = "YES";
    g2[grpGroupID] = "13";
    g2[grpPagerID1] = "556";  // in no family, and off: the check leaves it alone
    w->ToolbarButtonByKey("group")->trigger();
    auto *editor = qobject_cast<frmCfgGroup *>(forms::window("frmCfgGroup"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor->txtGrp, "3");
    prompts.allowUnexpected(true);
    const DuringCheck duringCheck([&] {
        if (editor->fgGroups->Col() < 3)
            return false;
        w->mnuWriteDB_Click();
        w->mnuReadDB_Click();
        w->mnuPrintDB_Click();
        // past group 2: a click on its Active cell
        platform::FlexGrid *grid = editor->fgGroups;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, 1)).center());
        return true;
    });
    editor->cmdOK->click();
    EXPECT_TRUE(duringCheck.done());
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Non-Existent Pager IDs");
    EXPECT_EQ(sim->exchangeCount(), 0);
    EXPECT_EQ(gDb.Groups[0][grpPagerID1], "0000");

    // transmitter tuning does not open during programming
    bool tuningOpened = false;
    onExchange("G 20 ", [&] {
        QTimer::singleShot(0, [&] {
            if (QWidget *tune = forms::window("frmTXTune")) {
                tuningOpened = true;
                tune->close();
            }
        });
        w->mnuTXTune_Click();
    });
    program();
    EXPECT_FALSE(tuningOpened);
    EXPECT_EQ(sim->exchangeCount(), 96);
    EXPECT_EQ(w->StatusPanelText(1), "Encoder Matches Current Configuration");
    expectCleanExit();
    // group 2 went out off, as the check left it
    const QStringList group2 = sim->database().groups[1];
    EXPECT_EQ(group2.value(1), "0");
    EXPECT_EQ(group2.value(8), "556");
}

// The exit question asked while a record waits for its answer holds that wait
// open; the reply timer runs on under it. Kept open until the answer has come
// in whole and the time-out has run out, then answered No, it costs nothing:
// the answer is taken and the programming goes on to the end.
TEST_F(DatabaseTransfer, ANoToTheExitQuestionHeldPastTheTimeOutLetsProgrammingFinish)
{
    connect(8);
    gDb = roundTripDatabase();
    ClaimViewMatches();
    platform::SetTimeScale(0.05);
    bool held = false;
    prompts.answerWith([&](const platform::Prompt &p) {
        EXPECT_TRUE(p.title.startsWith("Exit ")) << p.title.toStdString();
        held = QTest::qWaitFor([&] { return w->MSComm1.InBufferCount() > 0 && gWait.bReplyTimeout; }, 30000);
        return platform::Reply{Answer::No, {}, 1};
    });
    onExchange("G 20 ", [this] { w->close(); });
    w->mnuWriteDB_Click();
    EXPECT_TRUE(held);
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(sim->exchangeCount(), 96);
    EXPECT_EQ(w->StatusPanelText(1), "Encoder Matches Current Configuration");
    EXPECT_TRUE(gRun.bMatchesEncoder);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(gRun.bExiting);
    expectCleanExit();
}

// ---- failures while reading -------------------------------------------------

TEST_F(DatabaseTransfer, ReadErrorsMidRunLeaveTheViewModified)
{
    connect(8);
    encsim::Database store = encsim::Database::sample();
    sim->setDatabase(store);
    gDb = roundTripDatabase();
    ClaimViewMatches();

    // the encoder falls back to paging mode at group 5; its prompt has no
    // line end, so the wait runs to the time-out
    platform::SetTimeScale(0.05);
    sim->addFault({encsim::FaultKind::FallBackToPaging, 1, 1, "\rL 5\r"});
    prompts.answer(Answer::OK);
    w->mnuReadDB_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Read Error");
    EXPECT_EQ(prompts.last().text, kReadErrorText);
    EXPECT_EQ(prompts.last().icon, Icon::None);
    EXPECT_TRUE(Last(received()).contains("\rL 5\r"));
    // groups 1-4 came from the encoder, the rest is the old view
    EXPECT_EQ(gDb.Groups[0][grpGroupID], "5000");
    EXPECT_EQ(gDb.Groups[4][grpGroupID], "5005");
    EXPECT_FALSE(gRun.bMatchesEncoder);
    EXPECT_EQ(w->StatusPanelText(1), kModifiedCaption);
    EXPECT_TRUE(w->Toolbar1->isEnabled());
    EXPECT_TRUE(w->ToolbarButtonByKey("read")->isEnabled());
    EXPECT_TRUE(w->mnuTest->isEnabled());
    expectCleanExit();
}

TEST_F(DatabaseTransfer, SilenceAndCancelWhileReading)
{
    connect(7);
    sim->setSetting("idascap", "1");
    ClaimViewMatches();
    platform::SetTimeScale(0.05);
    sim->addFault({encsim::FaultKind::Silence, 1, 1, "config pet?"});
    prompts.answer(Answer::OK);
    w->mnuReadDB_Click();
    EXPECT_EQ(prompts.last().title, "Read Error");
    EXPECT_EQ(w->StatusPanelText(1), kModifiedCaption);
    // the mode switched off for the read is switched back on
    EXPECT_EQ(Last(received()), "CONFIG IDASCAP 1\r");
    EXPECT_EQ(sim->setting("idascap"), "1");
    expectCleanExit();

    // a cancel ends the read without a box
    platform::SetTimeScale(1.0);
    prompts.clear();
    gDb = PagerDatabase{};
    ClaimViewMatches();
    forms::cancelSend()->Show();
    sim->addFault({encsim::FaultKind::Silence, 1, 1, "\rG 3\r"});
    onExchange("\rG 3\r", [] { forms::cancelSend()->Command1->click(); });
    w->mnuReadDB_Click();
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_EQ(w->StatusPanelText(1), kModifiedCaption);
    EXPECT_FALSE(gRun.bMatchesEncoder);
    EXPECT_TRUE(w->Toolbar1->isEnabled());
    EXPECT_EQ(Last(received()), "CONFIG IDASCAP 1\r");
    EXPECT_EQ(sim->setting("idascap"), "1");
    expectCleanExit();
}

TEST_F(DatabaseTransfer, DecliningTheOverwriteQuestionTouchesNothing)
{
    connect(8);
    gDb = roundTripDatabase();
    gRun.bMatchesEncoder = false;
    w->SetStatusPanel(1, "edited");
    prompts.answer(Answer::No);
    w->mnuReadDB_Click();
    EXPECT_EQ(prompts.last().title, "About to OverWrite Edits");
    EXPECT_EQ(prompts.last().text, lines({"You Have Edited the Pager Database",
                                          "If You Read the Encoder, You Will Lose Your Edits.",
                                          "Are You Sure You Want to Continue?"}));
    EXPECT_EQ(sim->exchangeCount(), 0);
    EXPECT_EQ(gDb, roundTripDatabase());
    EXPECT_EQ(w->StatusPanelText(1), "edited");
    expectCleanExit();
}

TEST_F(DatabaseTransfer, Comp1PortWithoutADefaultPagerFallsBackToTap)
{
    connect(8);
    sim->setSetting("serial1 protocol", "COMP1");
    sim->setSetting("serial2 protocol", "COMP1");
    // the encoder's empty group 1 leaves the pager IDs of a new database
    ApplyNewDatabase(gDb);
    ClaimViewMatches();
    prompts.answer(Answer::OK);
    w->mnuReadDB_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(gDb.Groups[0][grpPagerID1], "0000");
    EXPECT_EQ(prompts.last().title, "COMP1 Pager ID Not Defined");
    EXPECT_EQ(gSettings.sSerial1Protocol, "TAP");
    EXPECT_EQ(gSettings.sSerial2Protocol, "COMP1");
    // the encoder keeps port 1 on COMP1: the view no longer matches it, and
    // the test console does not open on a protocol the encoder does not speak
    EXPECT_EQ(w->StatusPanelText(1), kModifiedCaption);
    EXPECT_FALSE(gRun.bMatchesEncoder);
    EXPECT_FALSE(w->mnuSendMsg->isEnabled());
    expectCleanExit();
}

TEST_F(DatabaseTransfer, ClosingTheWindowMidReadEndsTheRunAndThenTheProgram)
{
    connect(8);
    ClaimViewMatches();
    sim->addFault({encsim::FaultKind::Silence, 1, 1, "\rG 3\r"});
    prompts.answer(Answer::Yes);  // the exit question
    onExchange("\rG 3\r", [this] { w->close(); });
    QPointer<frmTerminal> window = w;
    w->mnuReadDB_Click();
    EXPECT_EQ(prompts.count(), 1);
    EXPECT_FALSE(gRun.bPortBusy);
    EXPECT_FALSE(gRun.bNoModifiedStatus);
    // the window closes once the read has given the port back
    QApplication::processEvents();
    EXPECT_TRUE(window.isNull() || !window->isVisible());
}

// ---- the ID-as-capcode dialogue and the settings rules -----------------------

TEST_F(DatabaseTransfer, Version8ReadStartsFromAnEmptyReceiveBuffer)
{
    connect(8);
    ClaimViewMatches();
    // an answer nobody collected ("10" CR LF) waits in the port; read as the
    // reply to the ID-as-capcode query it would report the mode on
    ASSERT_TRUE(EncoderSend(QStringLiteral("config maxbatch?"), Term::CRLF));
    ASSERT_TRUE(sim->waitForExchanges(1, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->MSComm1.InBufferCount() >= 4; }));
    read();
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_EQ(sim->exchangeCount(), 1 + 95);
    EXPECT_FALSE(gSettings.bSerial1IDAsCap);
    EXPECT_EQ(w->lblIDAsCap->text(), "ID As Capcode Mode is OFF for Port 1");
    EXPECT_EQ(Last(received()), QByteArray("\x02" "019d46\rM 15\r\x03" "25:\r"));
    EXPECT_TRUE(gRun.bMatchesEncoder);
    expectCleanExit();
}

// A step of a failed version 7 read answers after its time-out, while the
// Read Error box is up. The next read is not misled by that answer: it leaves
// the encoder's ID-as-capcode mode as it was, reading the records with the
// mode off, and shows it.
struct LateAnswerCase {
    const char *name;
    QByteArray lateStep;      // the failed step, whose answer comes late
    QString mode;             // the encoder's ID-as-capcode mode at the next read
    QStringList idAsCapSent;  // the next read's ID-as-capcode commands
    QString secondSent;       // the next read's second command
    QString label;
};

void PrintTo(const LateAnswerCase &c, std::ostream *os) { *os << c.name; }

class LateAnswer : public DatabaseTransfer, public ::testing::WithParamInterface<LateAnswerCase> {};

TEST_P(LateAnswer, TheNextVersion7ReadLeavesTheIDAsCapModeAsItWas)
{
    const LateAnswerCase &c = GetParam();
    connect(7);
    ClaimViewMatches();
    platform::SetTimeScale(0.05);
    sim->addFault({encsim::FaultKind::HeldBack, 1, 1, c.lateStep});
    prompts.answerWith([this](const platform::Prompt &) {
        sim->releaseHeldBack();
        EXPECT_TRUE(QTest::qWaitFor([&] { return sim->idle() && w->MSComm1.InBufferCount() > 0; }));
        return platform::Reply{Answer::OK, {}, 1};
    });
    read();
    ASSERT_EQ(prompts.count(), 1);
    ASSERT_EQ(prompts.last().title, "Read Error");

    sim->setSetting("idascap", c.mode);
    platform::SetTimeScale(1.0);
    prompts.clear();
    const bool asks = !gRun.bMatchesEncoder;  // "About to OverWrite Edits"
    const int before = sim->exchangeCount();
    read();
    EXPECT_EQ(prompts.count(), asks ? 1 : 0);
    QStringList sent;
    for (const QByteArray &command : received().mid(before))
        sent << QString::fromLatin1(command);
    ASSERT_GE(sent.size(), 2);
    EXPECT_EQ(sent.filter("IDASCAP"), c.idAsCapSent);
    EXPECT_EQ(sent[1], c.secondSent);
    EXPECT_EQ(sim->setting("idascap"), c.mode);
    EXPECT_EQ(w->lblIDAsCap->text(), c.label);
    EXPECT_EQ(w->StatusPanelText(1), "Current View Matches Encoder Configuration");
    expectCleanExit();
}

INSTANTIATE_TEST_SUITE_P(
    Version7, LateAnswer,
    ::testing::Values(
        // "10" CR LF, read as the mode, would switch it on
        LateAnswerCase{"ModeOff", "config maxbatch?", "0", {"CONFIG IDASCAP?\r"}, "config maxbatch?\r\n",
                       "ID As Capcode Mode is OFF"},
        // a record line, read as the mode, would leave it on for the records
        LateAnswerCase{"ModeOn", "\rL 3\r", "1", {"CONFIG IDASCAP?\r", "CONFIG IDASCAP 0\r", "CONFIG IDASCAP 1\r"},
                       "CONFIG IDASCAP 0\r", "ID As Capcode Mode is ON"}),
    [](const ::testing::TestParamInfo<LateAnswerCase> &info) { return std::string(info.param.name); });

TEST_F(DatabaseTransfer, Version8ReadStoresEachSettingByItsRule)
{
    connect(8);
    sim->setSetting("maxbatch", "010");
    sim->setSetting("dutycycle", "abc");
    sim->setSetting("invertdata", "2");
    sim->setSetting("ignorerfcd", "2");
    sim->setSetting("invertrfcd", "2");
    sim->setSetting("capby8", "2");
    sim->setSetting("serial2 idascap", "x");
    sim->setSetting("serial1 verbose", "2");
    sim->setSetting("serial2 pphreset", "1");
    gSettings.sDutyCycle = QStringLiteral("77");
    gSettings.bInvertRFCD = true;
    ClaimViewMatches();
    read();
    EXPECT_EQ(prompts.count(), 0);
    // a value that is no number leaves its setting alone and the read goes
    // on, but the view then holds a duty cycle the encoder does not
    EXPECT_EQ(sim->exchangeCount(), 95);
    EXPECT_EQ(gSettings.sMaxBatch, "10");
    EXPECT_EQ(gSettings.sDutyCycle, "77");
    EXPECT_TRUE(gSettings.bInvertData);       // not "0"
    EXPECT_FALSE(gSettings.bIgnoreRFCD);      // is "1"
    EXPECT_FALSE(gSettings.bInvertRFCD);      // is "1"
    EXPECT_TRUE(gSettings.bIncCapBy8);        // not "0"
    EXPECT_EQ(w->lblIncBy8->text(), "Increment Capcodes by 8 Mode is ON");
    EXPECT_TRUE(gSettings.bSerial2IDAsCap);   // not "0"
    EXPECT_FALSE(gSettings.bSerial1Verbose);  // is "1"
    EXPECT_TRUE(gSettings.bSerial2PPHReset);
    EXPECT_EQ(w->StatusPanelText(1), kModifiedCaption);
    EXPECT_FALSE(gRun.bMatchesEncoder);
    EXPECT_FALSE(w->cmdLookup->isEnabled());
    expectCleanExit();
}

TEST_F(DatabaseTransfer, AnUnansweredQueryCountsAsOffWhenProgramming)
{
    connect(8);
    gDb = roundTripDatabase();
    gSettings = EncoderSettings{};
    ClaimViewMatches();
    platform::SetTimeScale(0.05);
    sim->addFault({encsim::FaultKind::Silence, 1, 1, "IDASCAP?"});
    w->mnuWriteDB_Click();
    EXPECT_EQ(prompts.count(), 0);
    const QList<QByteArray> sent = received();
    ASSERT_EQ(sent.size(), 96);
    EXPECT_EQ(sent[1], "config invertdata 0\r\n");
    EXPECT_EQ(Last(sent), "config serial1 idascap 0\r\n");
    EXPECT_EQ(w->lblIDAsCap->text(), "ID As Capcode Mode is OFF for Port 1");
    EXPECT_TRUE(gRun.bMatchesEncoder);
    expectCleanExit();
    EXPECT_FALSE(gWait.bReplyTimeout);
}

TEST_F(DatabaseTransfer, Version7ProgrammerLabelFollowsTheModeItLeaves)
{
    connect(7);
    sim->setSetting("idascap", "1");
    gDb = roundTripDatabase();
    gSettings = version7Settings();
    gSettings.bSerial1IDAsCap = false;  // off in the view, on in the encoder
    ClaimViewMatches();
    w->lblIDAsCap->clear();
    w->mnuWriteDB_Click();
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_EQ(received()[1], "CONFIG IDASCAP 0\r");
    EXPECT_EQ(Last(received()), "config idascap 0\r\n");
    EXPECT_EQ(sim->setting("idascap"), "0");
    EXPECT_EQ(w->lblIDAsCap->text(), "ID As Capcode Mode is OFF");
    EXPECT_FALSE(gSettings.bSerial1IDAsCap);
    expectCleanExit();
}

TEST_F(DatabaseTransfer, Version7ProgrammerSetsItsTimeOutEvenWithThePortClosed)
{
    connect(7);
    w->MSComm1.setPortOpen(false);
    w->Timer2.setInterval(6000);
    w->ToolbarButton(6)->setEnabled(false);
    ClaimViewMatches();
    prompts.answer(Answer::OK);
    w->mnuWriteDB_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "COM Port Not Open");
    EXPECT_EQ(w->Timer2.Interval(), 8000);
    EXPECT_FALSE(w->ToolbarButton(6)->isEnabled());
    EXPECT_TRUE(w->ToolbarButton(7)->isEnabled());
    EXPECT_EQ(sim->exchangeCount(), 0);
    EXPECT_FALSE(gRun.bNoModifiedStatus);
}

TEST_F(DatabaseTransfer, UnconfirmedRestoreAfterAVersion8Read)
{
    connect(8);
    sim->setSetting("serial1 idascap", "1");
    ClaimViewMatches();
    platform::SetTimeScale(0.05);
    sim->addFault({encsim::FaultKind::Silence, 1, 1, "IDASCAP 1"});
    prompts.answer(Answer::OK);
    w->mnuReadDB_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Paging Encoder Improper Response");
    EXPECT_EQ(prompts.last().text, kImproperText);
    EXPECT_EQ(prompts.last().icon, Icon::None);
    EXPECT_EQ(sim->exchangeCount(), 96);
    EXPECT_EQ(Last(received()), "CONFIG SERIAL1 IDASCAP 1\r");
    EXPECT_FALSE(w->ConnectedPictureInFront());
    EXPECT_TRUE(gSettings.bSerial1IDAsCap);
    EXPECT_FALSE(gRun.bMatchesEncoder);
    EXPECT_TRUE(w->mnuTest->isEnabled());
    EXPECT_TRUE(w->Toolbar1->isEnabled());
    expectCleanExit();
}

TEST_F(DatabaseTransfer, UnconfirmedRestoreAfterAVersion7ReadLeavesTheModeShownOff)
{
    connect(7);
    gDb = roundTripDatabase();
    gSettings = version7Settings();  // ID as capcode on
    program();
    ASSERT_TRUE(gRun.bMatchesEncoder);
    prompts.clear();
    // the encoder holds the view; the read switches the mode off and the
    // switch back on goes unanswered
    platform::SetTimeScale(0.05);
    sim->addFault({encsim::FaultKind::Silence, 1, 1, "IDASCAP 1"});
    prompts.answer(Answer::OK);
    read();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Paging Encoder Improper Response");
    EXPECT_EQ(Last(received()), "CONFIG IDASCAP 1\r");
    EXPECT_EQ(sim->setting("idascap"), "0");
    EXPECT_EQ(w->lblIDAsCap->text(), "ID As Capcode Mode is OFF");
    EXPECT_EQ(w->StatusPanelText(1), kModifiedCaption);
    EXPECT_FALSE(gRun.bMatchesEncoder);
    expectCleanExit();
}

TEST_F(DatabaseTransfer, UnconfirmedSwitchOffStopsAVersion7ReadBeforeAnySetting)
{
    connect(7);
    sim->setSetting("idascap", "1");
    gSettings.bSerial1IDAsCap = false;
    ClaimViewMatches();
    platform::SetTimeScale(0.05);
    sim->addFault({encsim::FaultKind::Silence, 1, 1, "IDASCAP 0"});
    prompts.answer(Answer::OK);
    w->mnuReadDB_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Paging Encoder Improper Response");
    EXPECT_EQ(received(), QList<QByteArray>({"CONFIG IDASCAP?\r", "CONFIG IDASCAP 0\r"}));
    EXPECT_TRUE(gSettings.bSerial1IDAsCap);
    EXPECT_EQ(w->lblIDAsCap->text(), "ID As Capcode Mode is ON");
    EXPECT_FALSE(w->ConnectedPictureInFront());
    EXPECT_TRUE(w->mnuTest->isEnabled());
    expectCleanExit();
}

TEST_F(DatabaseTransfer, ProgrammersReadWholeRepliesWhateverInputLenWasLeftAt)
{
    connect(8);
    gDb = roundTripDatabase();
    ClaimViewMatches();
    w->MSComm1.setInputLen(1);
    w->mnuWriteDB_Click();
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_EQ(w->MSComm1.InputLen(), 0);
    EXPECT_TRUE(gRun.bMatchesEncoder);
    expectCleanExit();
}

// ---- the view's claim to match the encoder -----------------------------------------------------

namespace {

// Commands that can change a view that matches the encoder.
enum class ViewCommand {
    FamiliesOK,
    GroupsOK,
    FamiliesOKAfterProgrammingATypedFamily,
    FamiliesCloseBoxAfterProgrammingAnOverlap,
    GroupsOKWithATriggerThatHasNoMessage,
    GroupsCloseQuestionAfterProgrammingAnIncompleteGroup,
    GroupsCheckAfterProgrammingAPagerInNoFamily,
    SettingsDialogsOK,
    SerialPortSettingsLoadOfAFormatNotListed,
    SerialPortSettingsLoadOfAnInvalidSpeed,
    SerialPortSettingsLoadOfAnUnknownProtocol,
    AdvancedSettingsLoadOfAnEmptyDutyCycle,
    AdvancedSettingsLoadOfAnEmptyBatch,
    FamiliesLoadOfAStartCapcodeThatIsNoNumber,
    FamiliesCloseQuestionAfterProgrammingAnIncompleteFamily,
    ProgrammingThatFallsSilentWithAMessageTypedDuringIt,
    ProgrammingCancelledWithAMessageTypedDuringIt,
    ConsoleOnTAP,
    ConsoleOnCOMP1,
    ConsoleOnCOMP2,
    ConsoleOnQV,
    ConsoleOnSCOPE,
    ConsoleOnSNPP,
    ConsoleOnCOMP1WithoutADefaultPager,
    NewDatabase,
};

const char *const kViewCommandNames[] = {
    "FamiliesOK",
    "GroupsOK",
    "FamiliesOKAfterProgrammingATypedFamily",
    "FamiliesCloseBoxAfterProgrammingAnOverlap",
    "GroupsOKWithATriggerThatHasNoMessage",
    "GroupsCloseQuestionAfterProgrammingAnIncompleteGroup",
    "GroupsCheckAfterProgrammingAPagerInNoFamily",
    "SettingsDialogsOK",
    "SerialPortSettingsLoadOfAFormatNotListed",
    "SerialPortSettingsLoadOfAnInvalidSpeed",
    "SerialPortSettingsLoadOfAnUnknownProtocol",
    "AdvancedSettingsLoadOfAnEmptyDutyCycle",
    "AdvancedSettingsLoadOfAnEmptyBatch",
    "FamiliesLoadOfAStartCapcodeThatIsNoNumber",
    "FamiliesCloseQuestionAfterProgrammingAnIncompleteFamily",
    "ProgrammingThatFallsSilentWithAMessageTypedDuringIt",
    "ProgrammingCancelledWithAMessageTypedDuringIt",
    "ConsoleOnTAP",
    "ConsoleOnCOMP1",
    "ConsoleOnCOMP2",
    "ConsoleOnQV",
    "ConsoleOnSCOPE",
    "ConsoleOnSNPP",
    "ConsoleOnCOMP1WithoutADefaultPager",
    "NewDatabase",
};

}  // namespace

class MatchingView : public ViewCommandFixture, public ::testing::WithParamInterface<int> {
protected:
    // The program started again on the view it shows, saved with the
    // setting `key` empty as its last file, on an encoder that holds that
    // view: the start-up load claims to match it.
    void restartOnTheViewAsALastFile(const char *key, QString EncoderSettings::*setting)
    {
        EncoderSettings s = gSettings;
        (s.*setting).clear();
        QFile f(path("last.pg8"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(WritePagerDatabaseFile(gDb, s, QString(), nullptr));
        f.close();
        sim->setSetting(key, "");
        shutDown();  // the encoder restarts into paging mode
        ResetSharedState();
        store(QStringLiteral("LastFile"), path("last.pg8"));
        w = start();
        closeSplash();
        ASSERT_TRUE(w->MSComm1.setPortOpen(true));
        ASSERT_TRUE(EncoderExchange(QStringLiteral("#PrgmMode#"), Term::CR, true, {QStringLiteral("9600 baud")}, 4000,
                                    false)
                        .found);
        ASSERT_TRUE(gRun.bMatchesEncoder);
        ASSERT_EQ(gSettings.*setting, "");
    }

    // Family 3 typed in the open families editor, then programmed.
    void programTypedFamily3(const QString &quantity, const QString &startID)
    {
        typeFamily(3, cfgfam::colQty, quantity);
        typeFamily(3, cfgfam::colStartID, startID);
        typeFamily(3, cfgfam::colStartCap, "30000");
        program();
        ASSERT_TRUE(gRun.bMatchesEncoder);
    }
    void run(ViewCommand command)
    {
        using namespace groupsgrid;
        switch (command) {
        case ViewCommand::FamiliesOK:
            // the families a read left unused are erased to the form OK gives them
            ShowFamiliesEditor();
            families()->cmdOK->click();
            break;
        case ViewCommand::GroupsOK:
            ShowGroupsEditor();
            groups()->cmdOK->click();
            break;
        case ViewCommand::FamiliesOKAfterProgrammingATypedFamily:
            // family 3 as New Database leaves it, programmed; typed in and
            // programmed again, it goes out unused until OK marks it complete
            gDb.Families[2] = NewDatabaseFamilyRow();
            gRun.bMatchesEncoder = false;
            program();
            ShowFamiliesEditor();
            programTypedFamily3("5", "3000");
            families()->cmdOK->click();
            EXPECT_EQ(gDb.Families[2][famComplete], "YES");
            break;
        case ViewCommand::FamiliesCloseBoxAfterProgrammingAnOverlap:
            ShowFamiliesEditor();
            programTypedFamily3("10", "1005");
            prompts.allowUnexpected(true);  // the check's box
            PressCloseBox(families());
            EXPECT_TRUE(windowShown("frmCfgFam"));
            break;
        case ViewCommand::GroupsOKWithATriggerThatHasNoMessage: {
            encsim::Database db = programmedSample();
            db.groups[1] = db.groups[0];
            db.groups[1][encsim::GroupID] = "5001";
            db.groups[1][encsim::Trigger1Active] = "1";
            db.groups[1][encsim::Trigger1Msg] = "00";
            sim->setDatabase(db);
            read();
            ShowGroupsEditor();
            groups()->cmdOK->click();
            EXPECT_EQ(gDb.Groups[1][grpTrigger1Active], "0");
            break;
        }
        case ViewCommand::GroupsCloseQuestionAfterProgrammingAnIncompleteGroup:
            ShowGroupsEditor();
            typeGroup(rowGroupID, 3, "5002");
            program();
            ASSERT_TRUE(gRun.bMatchesEncoder);
            prompts.answer(Answer::No);  // "Incomplete Database Definition": stay
            PressCloseBox(groups());
            prompts.answer(Answer::Yes);  // and now leave
            PressCloseBox(groups());
            EXPECT_EQ(prompts.last().title, "Incomplete Database Definition");
            EXPECT_FALSE(windowShown("frmCfgGroup"));
            break;
        case ViewCommand::GroupsCheckAfterProgrammingAPagerInNoFamily:
            ShowGroupsEditor();
            typeGroup(rowGroupID, 3, "5002");
            typeGroup(rowPagerID1, 3, "7777");
            program();
            ASSERT_TRUE(gRun.bMatchesEncoder);
            prompts.allowUnexpected(true);  // the check's box
            groups()->cmdOK->click();
            break;
        case ViewCommand::SettingsDialogsOK:
            // the serial port settings, through their button the access code
            // and the advanced settings, each left with OK
            settingsDialogsOK();
            break;
        case ViewCommand::SerialPortSettingsLoadOfAFormatNotListed:
            // odd parity is no choice of the dialog: it shows no parity
            sim->setSetting("serial2 databits", "O71");
            read();
            serialPortSettingsOK();
            EXPECT_EQ(gSettings.sSerial2Databits, "N81");
            break;
        case ViewCommand::SerialPortSettingsLoadOfAnInvalidSpeed:
            sim->setSetting("serial1 baud", "Invalid");
            read();
            serialPortSettingsOK();
            EXPECT_EQ(gSettings.sSerial1Baud, "9600");
            break;
        case ViewCommand::SerialPortSettingsLoadOfAnUnknownProtocol:
            sim->setSetting("serial1 protocol", "XYZ");
            read();
            serialPortSettingsOK();
            EXPECT_EQ(gSettings.sSerial1Protocol, "TAP");
            break;
        case ViewCommand::AdvancedSettingsLoadOfAnEmptyDutyCycle:
            restartOnTheViewAsALastFile("dutycycle", &EncoderSettings::sDutyCycle);
            settingsDialogsOK();
            EXPECT_EQ(gSettings.sDutyCycle, "66");
            break;
        case ViewCommand::AdvancedSettingsLoadOfAnEmptyBatch:
            restartOnTheViewAsALastFile("maxbatch", &EncoderSettings::sMaxBatch);
            settingsDialogsOK();
            EXPECT_EQ(gSettings.sMaxBatch, "10");
            break;
        case ViewCommand::FamiliesLoadOfAStartCapcodeThatIsNoNumber: {
            encsim::Database db = programmedSample();
            db.families[2] = QStringList{"1", "12A4567", "5", "A", "3", "005", "3000", "00", "00"};
            sim->setDatabase(db);
            read();
            ASSERT_EQ(gDb.Families[2][famStartCap], "12A4567");
            ShowFamiliesEditor();
            EXPECT_EQ(gDb.Families[2][famStartCap], "0000008");
            EXPECT_EQ(families()->fgFamilies->TextMatrix(3, cfgfam::colStartCap), "0000008");
            break;
        }
        case ViewCommand::FamiliesCloseQuestionAfterProgrammingAnIncompleteFamily:
            // family 3 typed without its start capcode goes out as typed (the
            // read left it complete); the closing erases it before it asks,
            // and an erased family goes out unused
            ShowFamiliesEditor();
            typeFamily(3, cfgfam::colQty, "5");
            typeFamily(3, cfgfam::colStartID, "3000");
            program();
            ASSERT_TRUE(gRun.bMatchesEncoder);
            // the verdict a groups editor's OK leaves when its check keeps it open
            gRun.bDefinitionIncomplete = true;
            prompts.answer(Answer::No);
            PressCloseBox(families());
            EXPECT_EQ(prompts.last().title, "Incomplete Database Definition");
            EXPECT_TRUE(windowShown("frmCfgFam"));
            EXPECT_EQ(gDb.Families[2][famActive], "0");
            EXPECT_FALSE(gRun.bMatchesEncoder);
            // programmed as it now stands, it closes with nothing left to change
            program();
            ASSERT_TRUE(gRun.bMatchesEncoder);
            gRun.bDefinitionIncomplete = true;
            prompts.answer(Answer::Yes);
            PressCloseBox(families());
            EXPECT_EQ(prompts.pending(), 0);
            EXPECT_FALSE(windowShown("frmCfgFam"));
            break;
        case ViewCommand::ProgrammingThatFallsSilentWithAMessageTypedDuringIt:
        case ViewCommand::ProgrammingCancelledWithAMessageTypedDuringIt: {
            // the run sends the messages as they were when it started; one
            // typed while it writes stays in the view alone
            const bool cancel = command == ViewCommand::ProgrammingCancelledWithAMessageTypedDuringIt;
            ShowMessagesEditor();
            sim->addFault({encsim::FaultKind::Silence, 1, 1, "\rM 9 "});
            if (cancel)
                forms::cancelSend()->Show();
            else
                platform::SetTimeScale(0.05);
            onExchange("\rM 9 ", [this, cancel] {
                typeMessage(4, "TYPED DURING THE RUN");
                if (cancel)
                    forms::cancelSend()->Command1->click();
            });
            prompts.answer(Answer::OK);  // "Write Error"
            w->mnuWriteDB_Click();
            platform::SetTimeScale(1.0);
            EXPECT_EQ(prompts.last().title, "Write Error");
            // as the run leaves it, before anything asks
            EXPECT_FALSE(gRun.bMatchesEncoder);
            EXPECT_FALSE(w->cmdLookup->isEnabled());
            EXPECT_EQ(sim->database().messages[3], "");
            EXPECT_EQ(gDb.CannedMessages[3], "TYPED DURING THE RUN");
            // the read that would lose it asks first
            prompts.answer(Answer::No);
            w->mnuReadDB_Click();
            EXPECT_EQ(prompts.last().title, "About to OverWrite Edits");
            EXPECT_EQ(gDb.CannedMessages[3], "TYPED DURING THE RUN");
            break;
        }
        case ViewCommand::ConsoleOnTAP: consoleOn("TAP"); break;
        case ViewCommand::ConsoleOnCOMP1: consoleOn("COMP1"); break;
        case ViewCommand::ConsoleOnCOMP2: consoleOn("COMP2"); break;
        case ViewCommand::ConsoleOnQV: consoleOn("QV"); break;
        case ViewCommand::ConsoleOnSCOPE: consoleOn("SCOPE"); break;
        case ViewCommand::ConsoleOnSNPP: consoleOn("SNPP"); break;
        case ViewCommand::ConsoleOnCOMP1WithoutADefaultPager:
            // group 1's first pager ID cleared and port 1 set to COMP1, then programmed
            gDb.Groups[0][grpPagerID1] = "0000";
            gSettings.sSerial1Protocol = "COMP1";
            gRun.bMatchesEncoder = false;
            program();
            ASSERT_TRUE(gRun.bMatchesEncoder);
            ASSERT_EQ(sim->setting("serial1 protocol"), "COMP1");
            prompts.answer(Answer::OK);  // "COMP1 Pager ID Not Defined"
            openAndCloseTheConsole();
            EXPECT_EQ(prompts.last().title, "COMP1 Pager ID Not Defined");
            EXPECT_EQ(gSettings.sSerial1Protocol, "TAP");
            break;
        case ViewCommand::NewDatabase:
            prompts.answer(Answer::Yes);
            w->mnuNewDB_Click();
            break;
        }
    }
};

// While the view claims to match the encoder, programming it sends what the
// encoder already holds. After each command that can change the view, either
// the view shows modified, with the commands that rely on the match off, or
// programming again leaves the encoder as it was.
TEST_P(MatchingView, ClaimsToMatchOnlyWhileProgrammingWouldChangeNothing)
{
    connect(8);
    sim->setDatabase(programmedSample());
    read();
    ASSERT_TRUE(gRun.bMatchesEncoder);
    run(ViewCommand(GetParam()));
    ASSERT_FALSE(HasFatalFailure());
    prompts.allowUnexpected(false);

    ASSERT_TRUE(w->MSComm1.PortOpen());
    const bool matches = gRun.bMatchesEncoder;
    EXPECT_EQ(w->mnuSendMsg->isEnabled(), matches);
    EXPECT_EQ(w->cmdLookup->isEnabled(), matches);
    EXPECT_EQ(w->ToolbarButtonByKey("test")->isEnabled(), matches);
    EXPECT_EQ(ViewMatchesEncoder(), matches) << "the claim no longer held, and nothing had noticed until asked";
    if (!matches) {
        EXPECT_NE(w->StatusPanelText(1), kReadSuccessCaption);
        EXPECT_NE(w->StatusPanelText(1), kWriteSuccessCaption);
        return;
    }
    const auto before = encoderState();
    const int exchanges = sim->exchangeCount();
    program();
    ASSERT_GT(sim->exchangeCount(), exchanges);
    EXPECT_EQ(w->StatusPanelText(1), kWriteSuccessCaption);
    const auto after = encoderState();
    EXPECT_EQ(after.second, before.second) << "programming again changed the encoder's settings";
    for (int g = 0; g < encsim::kGroupCount; ++g)
        EXPECT_EQ(after.first.groups[size_t(g)], before.first.groups[size_t(g)]) << "group " << g + 1;
    for (int f = 0; f < encsim::kFamilyCount; ++f)
        EXPECT_EQ(after.first.families[size_t(f)], before.first.families[size_t(f)]) << "family " << f + 1;
    for (int m = 0; m < encsim::kMessageCount; ++m)
        EXPECT_EQ(after.first.messages[size_t(m)], before.first.messages[size_t(m)]) << "message " << m + 1;
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, MatchingView, ::testing::Range(0, int(std::size(kViewCommandNames))),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return std::string(kViewCommandNames[info.param]);
                         });
