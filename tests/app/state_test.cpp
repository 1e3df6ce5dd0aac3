// The shared state: MarkConfigModified, the two timers, the cancel box,
// ReadIniValue and the New Database values.
#include "app/forms.h"
#include "app/frmcancelsend.h"
#include "app/frmterminal.h"
#include "app/readini.h"
#include "database/state.h"
#include "platform/system.h"
#include "support/appfixture.h"
#include "support/simharness.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace testing_support;

class SharedState : public AppFixture {};

TEST_F(SharedState, MarkConfigModifiedHasItsFourEffectsAndEnablesNothing)
{
    frmTerminal *w = start();
    closeSplash();
    w->cmdLookup->setEnabled(true);
    w->mnuSendMsg->setEnabled(true);
    w->ToolbarButton(8)->setEnabled(true);
    for (int i = 0; i < 2; ++i) {  // twice is the same as once
        w->MarkConfigModified();
        EXPECT_FALSE(gRun.bMatchesEncoder);
        EXPECT_FALSE(w->cmdLookup->isEnabled());
        EXPECT_FALSE(w->mnuSendMsg->isEnabled());
        EXPECT_EQ(w->StatusPanelText(1), "Current Configuration Modified, Does Not Match Encoder");
        EXPECT_FALSE(w->ToolbarButton(8)->isEnabled());
        EXPECT_EQ(w->ToolbarButton(8)->text(), "&Test Encoder");
    }
    // the other buttons are untouched
    for (int pos = 2; pos <= 7; ++pos)
        EXPECT_TRUE(w->ToolbarButton(pos)->isEnabled()) << pos;
}

TEST_F(SharedState, ToolbarHasEightPositionsWithTheirKeys)
{
    frmTerminal *w = start();
    const char *keys[] = {"", "sequence", "group", "message", "settings", "program", "read", "test"};
    const char *captions[] = {"", "Pager &Families", "&Group Paging", "Canned &Msgs", "&Settings",
                              "&Program Encoder", "&Read Encoder", "&Test Encoder"};
    EXPECT_TRUE(w->ToolbarButton(1)->isSeparator());
    for (int pos = 2; pos <= 8; ++pos) {
        EXPECT_EQ(w->ToolbarButton(pos)->data().toString(), keys[pos - 1]);
        EXPECT_EQ(w->ToolbarButton(pos)->text(), captions[pos - 1]);
        EXPECT_EQ(w->ToolbarButtonByKey(keys[pos - 1]), w->ToolbarButton(pos));
    }
    EXPECT_EQ(w->ToolbarButton(9), nullptr);
}

TEST_F(SharedState, TimersSetTheirFlagsOnce)
{
    EncoderLink link;
    link.Timer2.setInterval(20);
    link.Timer2.setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([] { return gWait.bReplyTimeout; }));
    EXPECT_FALSE(link.Timer2.Enabled());
    gWait.bReplyTimeout = false;
    QTest::qWait(100);
    EXPECT_FALSE(gWait.bReplyTimeout);

    link.Timer1.setInterval(20);
    link.Timer1.setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([] { return gWait.bTimer1Expired; }));
    EXPECT_FALSE(link.Timer1.Enabled());
    gWait.bTimer1Expired = false;
    QTest::qWait(100);
    EXPECT_FALSE(gWait.bTimer1Expired);
}

TEST_F(SharedState, TimerWithIntervalZeroStillFires)
{
    platform::SetTimeScale(0.005);  // the 6000 ms design value becomes 30 ms
    EncoderLink link;
    link.Timer2.setInterval(0);
    link.Timer2.setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([] { return gWait.bReplyTimeout; }, 2000));
}

TEST_F(SharedState, CancelBoxOnlySetsTheFlag)
{
    frmCancelSend *box = forms::cancelSend();
    box->Label1->setText("Searching for Encoder");
    box->Show();
    EXPECT_EQ(box->windowTitle(), "Paging Encoder Programming");
    EXPECT_EQ(box->Command1->text(), "Cancel");
    EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(gWait.bCancelRequested);
    QTest::mouseClick(box->Command1, Qt::LeftButton);
    EXPECT_TRUE(gWait.bCancelRequested);
    EXPECT_TRUE(box->isVisible());  // the operation closes it, not the button

    gWait.bCancelRequested = false;
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_TRUE(gWait.bCancelRequested);
    EXPECT_TRUE(box->isVisible());

    // so does its close box (or Alt+F4): the operation runs on until it sees
    // the flag
    gWait.bCancelRequested = false;
    PressCloseBox(box);
    EXPECT_TRUE(gWait.bCancelRequested);
    EXPECT_TRUE(box->isVisible());

    // the operation closing the box is no press of Cancel
    gWait.bCancelRequested = false;
    forms::unloadCancelSend();
    EXPECT_EQ(forms::cancelSendIfLoaded(), nullptr);
    EXPECT_FALSE(gWait.bCancelRequested);
}

TEST(ReadIniValue, FollowsTheLineRules)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("setup.ini");
    auto write = [&](const QByteArray &bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    struct Case { const char *file; const char *key; const char *expected; };
    const Case cases[] = {
        {"[Main]\r\nVirginMode=True\r\nTestEnabled=False\r\n", "VirginMode", "True"},
        {"[Main]\r\nVirginMode=True\r\nTestEnabled=False\r\n", "TestEnabled", "False"},
        // a missing key with no empty line reads as the empty text
        {"[Main]\r\nVirginMode=True\r\n", "TestEnabled", ""},
        // an empty line ends the search with "False"
        {"[Main]\r\nVirginMode=True\r\n\r\nTestEnabled=True\r\n", "TestEnabled", "False"},
        // the first line holding the key decides, even a comment before the header
        {"; VirginMode=True is for the factory\r\n[Main]\r\nVirginMode=False\r\n", "VirginMode", "True is for the factory"},
        // the key matches as part of a longer word, after the first "="
        {"[Main]\r\nNoVirginModeHere=a=b\r\n", "VirginMode", "a=b"},
        // no "=": the whole line
        {"[Main]\r\nVirginMode True\r\n", "VirginMode", "VirginMode True"},
        // exact case only
        {"[Main]\r\nvirginmode=True\r\n", "VirginMode", ""},
        // no trimming of blanks, but the line end is not part of the value
        {"[Main]\r\nVirginMode= True \r\n", "VirginMode", " True "},
        {"[Main]\nVirginMode=True\n", "VirginMode", "True"},
        // a lone CR ends a line as well, an empty one included
        {"[Main]\rVirginMode=True\rTestEnabled=False\r", "TestEnabled", "False"},
        {"[Main]\rVirginMode=True\r\rTestEnabled=True\r", "TestEnabled", "False"},
    };
    for (const Case &c : cases) {
        write(c.file);
        bool opened = false;
        EXPECT_EQ(ReadIniValue(path, "Main", c.key, &opened), QString::fromLatin1(c.expected)) << c.file;
        EXPECT_TRUE(opened);
    }
    bool opened = true;
    EXPECT_EQ(ReadIniValue(dir.filePath("missing.ini"), "Main", "VirginMode", &opened), "");
    EXPECT_FALSE(opened);
}

TEST(ReadIniValue, BooleanConversion)
{
    struct Case { const char *text; bool ok; bool value; };
    const Case cases[] = {{"True", true, true}, {"false", true, false}, {"TRUE", true, true}, {"0", true, false},
                          {"-1", true, true},   {"2", true, true},      {"", false, false},   {"yes", false, false},
                          {"nan", false, false}, {"inf", false, false}, {"-inf", false, false}};
    for (const Case &c : cases) {
        bool ok = false;
        const bool v = ConvertToBoolean(c.text, &ok);
        EXPECT_EQ(ok, c.ok) << c.text;
        if (ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(NewDatabase, GivesTheUnusedRecordValuesAndKeepsReferences)
{
    PagerDatabase db;
    db.Groups[3][grpReference] = "North wing";
    db.Groups[3][grpComplete] = "YES";
    db.Families[0][famComplete] = "YES";
    db.CannedMessages[14] = "FIRE";
    ApplyNewDatabase(db);
    const char *fam[] = {"0", "0000000", "5", "A", "3", "000", "0000", "00", "00", ""};
    for (const FamilyRow &row : db.Families)
        for (int f = 0; f < kFamilyFieldCount; ++f)
            EXPECT_EQ(row[f], fam[f]);
    const char *grp[] = {"0000", "0", "0", "00", "0", "00", "0", "00"};
    for (const GroupRow &row : db.Groups) {
        for (int f = 0; f <= grpTimerMsg; ++f)
            EXPECT_EQ(row[f], grp[f]);
        for (int f = grpPagerID1; f <= grpPagerID20; ++f)
            EXPECT_EQ(row[f], "0000");
        EXPECT_EQ(row[grpComplete], "");
    }
    EXPECT_EQ(db.Groups[3][grpReference], "North wing");
    for (const QString &m : db.CannedMessages)
        EXPECT_EQ(m, "");
}

TEST(DerivedValues, EndCapcodeFollowsIncrementBy8)
{
    FamilyRow row = NewDatabaseFamilyRow();
    row[famStartCap] = "0001000";
    row[famPagerQty] = "010";
    row[famStartID] = "0100";
    EXPECT_EQ(FamilyEndCap(row, true), 1072);
    EXPECT_EQ(FamilyEndCap(row, false), 1009);
    EXPECT_EQ(FamilyEndID(row), 109);
    row[famPagerQty] = "";
    EXPECT_EQ(FamilyEndID(row), -1);
}

TEST(ReplaceAllFn, ReplacesEveryOccurrenceAndIgnoresEmptySearch)
{
    EXPECT_EQ(ReplaceAll("a,b,,c", ",", ";"), "a;b;;c");
    EXPECT_EQ(ReplaceAll("Capcode", "", "x"), "Capcode");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
}
