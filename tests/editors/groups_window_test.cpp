// The pager groups editor as a window: loading, clicks, typing, the keys it
// takes for itself, OK with the groups check and the COMP1 rule, closing.
#include "app/forms.h"
#include "app/frmterminal.h"
#include "app/portbusy.h"
#include "database/state.h"
#include "transfer/matchclaim.h"
#include "editors/editorcommon.h"
#include "editors/editors.h"
#include "editors/frmcfgfam.h"
#include "editors/frmcfggroup.h"
#include "platform/grid.h"
#include "support/appfixture.h"
#include "support/duringcheck.h"
#include "support/simharness.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest-spi.h>

using namespace testing_support;
using namespace groupsgrid;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
namespace colour = editor_colours;

namespace {

const QString kModified = QStringLiteral("Current Configuration Modified, Does Not Match Encoder");

class GroupsEditor : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        w = start();
        closeSplash();
        ApplyNewDatabase(gDb);
        ClaimViewMatches();
        gRun.bGroupsEdited = false;
        w->SetStatusPanel(1, QStringLiteral("as before"));
    }
    void TearDown() override
    {
        gRun.bDefinitionIncomplete = false;
        AppFixture::TearDown();
    }

    frmCfgGroup *open()
    {
        ShowGroupsEditor();
        return qobject_cast<frmCfgGroup *>(forms::window("frmCfgGroup"));
    }
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    bool modified() const { return !gRun.bMatchesEncoder && w->StatusPanelText(1) == kModified; }

    // Group n on and complete with Group ID "12n" and the pager IDs given.
    static void setGroup(int n, std::initializer_list<const char *> pagers)
    {
        GroupRow &g = gDb.Groups[size_t(n - 1)];
        g[grpActive] = "1";
        g[grpComplete] = "YES";
        g[grpGroupID] = QString::number(120 + n);
        int f = grpPagerID1;
        for (const char *p : pagers)
            g[size_t(f++)] = p;
    }
    static void setFamily(int n, const char *startID, const char *qty)
    {
        FamilyRow &f = gDb.Families[size_t(n - 1)];
        f[famActive] = "1";
        f[famComplete] = "YES";
        f[famStartID] = startID;
        f[famPagerQty] = qty;
    }
    // Makes (row, col) current as a mouse click does.
    static void click(frmCfgGroup *e, int row, int col)
    {
        e->fgGroups->setRow(row);
        e->fgGroups->setCol(col);
        e->fgGroups->ShowCurrentCell();
        const QRect cell = e->fgGroups->visualRect(e->fgGroups->model()->index(row - 1, col - 1));
        QTest::mouseClick(e->fgGroups->viewport(), Qt::LeftButton, {}, cell.center());
    }
    static QString pager(int n, int k) { return gDb.Groups[size_t(n - 1)][size_t(grpPagerID1 + k - 1)]; }

    frmTerminal *w = nullptr;
};

}  // namespace

// ---- load step ------------------------------------------------------------------------

// A test that reads the newest box when the program showed none fails with
// a message; it does not crash the test program.
TEST(ScriptedBoxes, TheNewestBoxWhenNoneWasShownFailsTheTestWithAMessage)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompts none;
            EXPECT_TRUE(none.last().title.isEmpty());
        },
        "no box was shown");
}

TEST_F(GroupsEditor, OpensWithHeadingsLabelsAndTheEditorOnGroupOnesID)
{
    setGroup(1, {"0100"});
    gDb.Groups[0][grpGroupID] = "0012";
    w->Timer1.setEnabled(true);
    frmCfgGroup *e = open();
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->isVisible());
    EXPECT_FALSE(e->isModal());
    EXPECT_EQ(e->windowTitle(), " Pager Groups Setup");
    EXPECT_FALSE(w->Timer1.Enabled());
    EXPECT_FALSE(gRun.bLoading);

    platform::FlexGrid *g = e->fgGroups;
    EXPECT_EQ(g->Rows(), 26);
    EXPECT_EQ(g->Cols(), 11);
    EXPECT_EQ(g->TextMatrix(0, 1), "  Group 1 ");
    EXPECT_EQ(g->TextMatrix(0, 10), " Group 10 ");
    EXPECT_EQ(g->TextMatrix(1, 0), " Reference");
    EXPECT_EQ(g->TextMatrix(3, 0), " Group ID  ");
    EXPECT_EQ(g->TextMatrix(23, 0), " Pager ID 20");
    EXPECT_EQ(g->TextMatrix(24, 0), " Timer Active  ");
    EXPECT_EQ(g->TextMatrix(25, 0), " Timer Msg #");

    EXPECT_EQ(gDb.Groups[0][grpGroupID], "12");
    EXPECT_EQ(g->TextMatrix(2, 1), "ON");
    EXPECT_EQ(g->CellBackColorAt(2, 1), colour::Green);
    EXPECT_EQ(g->TextMatrix(4, 1), "100");
    EXPECT_EQ(g->CellBackColorAt(4, 1), colour::Ivory);
    EXPECT_EQ(g->TextMatrix(2, 2), "OFF");
    EXPECT_EQ(g->CellBackColorAt(3, 2), colour::DarkGrey);

    // the text editor lies over the Group ID cell of group 1
    EXPECT_EQ(g->Row(), 3);
    EXPECT_EQ(g->Col(), 1);
    ASSERT_TRUE(e->txtGrp->isVisible());
    EXPECT_FALSE(e->cmbMsg->isVisible());
    EXPECT_EQ(e->txtGrp->text(), "12");
    EXPECT_EQ(e->txtGrp->cursorPosition(), 2);
    const QRect cell = g->CellRect();
    EXPECT_EQ(e->txtGrp->x(), g->x() + cell.left());
    EXPECT_EQ(e->txtGrp->y(), g->y() + cell.top() - 2);
    EXPECT_EQ(e->txtGrp->width(), cell.width());
    // opening is no edit
    EXPECT_FALSE(gRun.bGroupsEdited);
    EXPECT_FALSE(modified());
}

TEST_F(GroupsEditor, OpeningAgainShowsTheSameWindowWithoutReloading)
{
    frmCfgGroup *e = open();
    gDb.Groups[0][grpReference] = "later";
    EXPECT_EQ(open(), e);
    EXPECT_EQ(e->fgGroups->TextMatrix(1, 1), "");
}

// ---- clicks --------------------------------------------------------------------------------

TEST_F(GroupsEditor, ClickingAReferenceOpensTheTextEditorAndCountsAsAnEdit)
{
    gDb.Groups[3][grpReference] = "Lab";
    setGroup(4, {"5"});
    frmCfgGroup *e = open();
    click(e, 1, 4);
    EXPECT_TRUE(e->txtGrp->isVisible());
    EXPECT_EQ(e->txtGrp->text(), "Lab");
    EXPECT_TRUE(gRun.bGroupsEdited);
    EXPECT_FALSE(modified());
    // Group ID and pager ID cells are no edit
    gRun.bGroupsEdited = false;
    click(e, 7, 4);
    EXPECT_TRUE(e->txtGrp->isVisible());
    EXPECT_FALSE(gRun.bGroupsEdited);
}

TEST_F(GroupsEditor, ClickingActiveTogglesTheGroupAndMarksTheChange)
{
    setGroup(2, {"300"});
    frmCfgGroup *e = open();
    click(e, 2, 2);
    EXPECT_EQ(gDb.Groups[1][grpActive], "0");
    EXPECT_EQ(e->fgGroups->TextMatrix(2, 2), "OFF");
    EXPECT_EQ(e->fgGroups->CellBackColorAt(2, 2), colour::Red);
    EXPECT_EQ(e->fgGroups->CellBackColorAt(4, 2), colour::LightGrey);
    EXPECT_EQ(e->fgGroups->TextMatrix(4, 2), "300");
    EXPECT_EQ(e->fgGroups->Row(), 2);
    EXPECT_EQ(e->fgGroups->Col(), 0);
    EXPECT_FALSE(e->txtGrp->isVisible());
    EXPECT_TRUE(gRun.bGroupsEdited);
    EXPECT_TRUE(modified());

    click(e, 2, 2);
    EXPECT_EQ(gDb.Groups[1][grpActive], "1");
    EXPECT_EQ(e->fgGroups->CellBackColorAt(2, 2), colour::Green);
    EXPECT_EQ(e->fgGroups->CellBackColorAt(4, 2), colour::Ivory);
}

TEST_F(GroupsEditor, WhileTheProgramRewritesTheTablesAClickStoresButDoesNotMark)
{
    setGroup(2, {"300"});
    frmCfgGroup *e = open();
    gRun.bNoModifiedStatus = true;
    click(e, 2, 2);
    EXPECT_EQ(gDb.Groups[1][grpActive], "0");
    EXPECT_TRUE(gRun.bGroupsEdited);
    EXPECT_FALSE(modified());
    EXPECT_EQ(w->StatusPanelText(1), "as before");
}

TEST_F(GroupsEditor, TheTimerAsksBeforeItIsSwitchedOn)
{
    setGroup(1, {"300"});
    frmCfgGroup *e = open();
    prompts.answer(Answer::No);
    click(e, 24, 1);
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Periodic Paging Warning");
    EXPECT_EQ(prompts.last().text, lines({"Timer Function Causes Automatic Paging Every 2 Minutes",
                                          "Unless Host System Periodically Issues Timer Reset Command",
                                          "Are You Sure You Want to Enable Timer Mode?"}));
    EXPECT_EQ(prompts.last().icon, Icon::Question);
    EXPECT_EQ(prompts.last().buttons, Buttons::YesNo);
    EXPECT_EQ(gDb.Groups[0][grpTimerActive], "0");
    EXPECT_EQ(e->fgGroups->TextMatrix(24, 1), "OFF");
    EXPECT_TRUE(gRun.bGroupsEdited);  // the click itself counts
    EXPECT_TRUE(modified());

    prompts.answer(Answer::Yes);
    click(e, 24, 1);
    EXPECT_EQ(gDb.Groups[0][grpTimerActive], "1");
    EXPECT_EQ(e->fgGroups->TextMatrix(24, 1), "ON");
    EXPECT_EQ(e->fgGroups->CellBackColorAt(24, 1), colour::Green);
    EXPECT_EQ(e->fgGroups->CellBackColorAt(25, 1), colour::Magenta);  // "None"

    click(e, 24, 1);  // off again: no question
    EXPECT_EQ(prompts.count(), 2);
    EXPECT_EQ(gDb.Groups[0][grpTimerActive], "0");
    EXPECT_EQ(e->fgGroups->CellBackColorAt(25, 1), colour::Ivory);
}

TEST_F(GroupsEditor, AClickWhileLoadingChangesNothing)
{
    setGroup(1, {"300"});
    frmCfgGroup *e = open();
    gRun.bLoading = true;
    click(e, 2, 1);
    gRun.bLoading = false;
    EXPECT_EQ(gDb.Groups[0][grpActive], "1");
    EXPECT_TRUE(e->txtGrp->isVisible());
    EXPECT_FALSE(gRun.bGroupsEdited);
}

// ---- timer message list ------------------------------------------------------------------------

TEST_F(GroupsEditor, AMessageCellReadingNoneIsSeededWithNone)
{
    setGroup(1, {"300"});
    gDb.Groups[0][grpTimerMsg] = "00";
    frmCfgGroup *e = open();
    e->lblMsg->setText("Message: old");
    click(e, 25, 1);
    ASSERT_TRUE(e->cmbMsg->isVisible());
    EXPECT_FALSE(e->txtGrp->isVisible());
    EXPECT_EQ(e->cmbMsg->currentText(), "None");
    EXPECT_EQ(e->lblMsg->text(), "Message:");
    EXPECT_EQ(gDb.Groups[0][grpTimerMsg], "00");
    EXPECT_TRUE(modified());
    const QRect cell = e->fgGroups->CellRect();
    EXPECT_EQ(e->cmbMsg->x(), e->fgGroups->x() + cell.left());
    EXPECT_EQ(e->cmbMsg->width(), cell.width() + 20);
    EXPECT_FALSE(gRun.bLoading);
}

TEST_F(GroupsEditor, ChoosingAMessageStoresItAndShowsItsText)
{
    setGroup(1, {"300"});
    gDb.Groups[0][grpTimerActive] = "1";
    gDb.Groups[0][grpTimerMsg] = "05";
    gDb.CannedMessages[4] = "Fire drill";
    gDb.CannedMessages[6] = "Lunch";
    frmCfgGroup *e = open();
    click(e, 25, 1);
    EXPECT_EQ(e->cmbMsg->currentText(), "5");
    EXPECT_EQ(e->lblMsg->text(), "Message: Fire drill");
    EXPECT_EQ(gDb.Groups[0][grpTimerMsg], "05");  // opening the list changes nothing

    e->cmbMsg->setCurrentIndex(7);
    emit e->cmbMsg->activated(7);
    EXPECT_EQ(gDb.Groups[0][grpTimerMsg], "7");
    EXPECT_EQ(e->fgGroups->TextMatrix(25, 1), "7");
    EXPECT_EQ(e->lblMsg->text(), "Message: Lunch");
    EXPECT_EQ(gDb.Groups[0][grpComplete], "YES");
}

// ---- typing ------------------------------------------------------------------------------------------

TEST_F(GroupsEditor, TypingStoresEachKeystrokeAtOnce)
{
    frmCfgGroup *e = open();
    QTest::keyClicks(e->txtGrp, "4");  // group 1 is off: the first keystroke switches it on
    EXPECT_EQ(gDb.Groups[0][grpActive], "1");
    EXPECT_EQ(e->fgGroups->TextMatrix(2, 1), "ON");
    EXPECT_EQ(e->fgGroups->CellBackColorAt(4, 1), colour::Magenta);
    QTest::keyClicks(e->txtGrp, "5");
    EXPECT_EQ(gDb.Groups[0][grpGroupID], "45");
    EXPECT_EQ(e->fgGroups->TextMatrix(3, 1), "45");
    EXPECT_TRUE(gRun.bGroupsEdited);
    EXPECT_TRUE(modified());

    QTest::keyClick(e->txtGrp, Qt::Key_Tab);  // to Pager ID 1
    EXPECT_EQ(e->fgGroups->Row(), 4);
    QTest::keyClicks(e->txtGrp, "300");
    EXPECT_EQ(pager(1, 1), "300");
    EXPECT_EQ(gDb.Groups[0][grpComplete], "YES");
    EXPECT_EQ(e->fgGroups->CellBackColorAt(4, 1), colour::Magenta);  // colours follow only a switch-on

    click(e, 1, 1);
    QTest::keyClicks(e->txtGrp, "ABCDEFG");  // six characters at most
    EXPECT_EQ(gDb.Groups[0][grpReference], "ABCDEF");
    EXPECT_EQ(e->fgGroups->TextMatrix(1, 1), "ABCDEF");
}

TEST_F(GroupsEditor, IDsTakePlainDigitsOnly)
{
    setGroup(1, {"300"});
    frmCfgGroup *e = open();
    for (int row : {3, 4}) {
        for (const char *typed : {"1.5", " 12", "+7", "1e2", "40000"}) {
            click(e, row, 1);
            e->txtGrp->clear();
            QTest::keyClicks(e->txtGrp, typed);
            const QString stored = row == 3 ? gDb.Groups[0][grpGroupID] : pager(1, 1);
            EXPECT_EQ(stored, "0000") << row << " " << typed;
            EXPECT_EQ(e->fgGroups->TextMatrix(row, 1), "") << row << " " << typed;
        }
        click(e, row, 1);
        e->txtGrp->clear();
        QTest::keyClicks(e->txtGrp, "032767");
        EXPECT_EQ(row == 3 ? gDb.Groups[0][grpGroupID] : pager(1, 1), "032767");
    }
}

TEST_F(GroupsEditor, ALongReferenceFromAFileIsEditedWhole)
{
    setGroup(3, {"300"});
    gDb.Groups[2][grpReference] = "Ward 7 East";
    frmCfgGroup *e = open();
    click(e, 1, 3);
    EXPECT_EQ(e->txtGrp->text(), "Ward 7 East");
    QTest::keyClick(e->txtGrp, Qt::Key_Backspace);
    EXPECT_EQ(gDb.Groups[2][grpReference], "Ward 7 Eas");
    EXPECT_EQ(e->fgGroups->TextMatrix(1, 3), "Ward 7 Eas");

    // a short cell still takes six characters from the keyboard
    click(e, 1, 4);
    QTest::keyClicks(e->txtGrp, "ABCDEFG");
    EXPECT_EQ(gDb.Groups[3][grpReference], "ABCDEF");
}

TEST_F(GroupsEditor, TypingAfterAScrollReachesOnlyTheFieldDrawnUnderTheEditor)
{
    frmCfgGroup *e = open();
    e->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(e));
    platform::FlexGrid *g = e->fgGroups;
    ASSERT_EQ(QApplication::focusWidget(), e->txtGrp);  // over group 1's Group ID
    // three notches of the wheel take the Group ID out of view: its editor goes
    QWheelEvent wheel(QPointF(50, 50), g->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -360),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(g->viewport(), &wheel);
    ASSERT_GT(g->verticalScrollBar()->value(), 0);
    EXPECT_FALSE(e->txtGrp->isVisible());
    QTest::keyClicks(QApplication::focusWidget(), "77");
    EXPECT_EQ(gDb.Groups[0][grpGroupID], "0000");
    for (int r = 1; r <= 25; ++r)
        EXPECT_NE(g->TextMatrix(r, 1), "77") << r;

    // a cell that stays in view keeps its editor over it
    click(e, 13, 1);  // Pager ID 10
    const QPoint offset = e->txtGrp->pos() - g->mapTo(e, g->CellRect().topLeft());
    g->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    ASSERT_TRUE(e->txtGrp->isVisible());
    EXPECT_EQ(e->txtGrp->pos() - g->mapTo(e, g->CellRect().topLeft()), offset);
    QTest::keyClicks(QApplication::focusWidget(), "77");
    EXPECT_EQ(pager(1, 10), "77");
    EXPECT_EQ(g->TextMatrix(13, 1), "77");
}

// ---- keys ----------------------------------------------------------------------------------------------

TEST_F(GroupsEditor, KeysMoveTheCurrentCellAndOpenItsEditor)
{
    setGroup(1, {"0100"});
    setGroup(10, {"900"});
    frmCfgGroup *e = open();
    QTest::keyClick(e->txtGrp, Qt::Key_Left);  // row 3 of group 1: to the last pager ID of group 10
    EXPECT_EQ(e->fgGroups->Row(), 23);
    EXPECT_EQ(e->fgGroups->Col(), 10);
    QTest::keyClick(e->txtGrp, Qt::Key_Tab, Qt::ShiftModifier);  // the shift state is not looked at
    EXPECT_EQ(e->fgGroups->Row(), 3);
    EXPECT_EQ(e->fgGroups->Col(), 1);
    QTest::keyClick(e->txtGrp, Qt::Key_Return);
    EXPECT_EQ(e->fgGroups->Row(), 4);
    EXPECT_TRUE(e->txtGrp->isVisible());
    EXPECT_EQ(e->txtGrp->text(), "100");
    QTest::keyClick(e->txtGrp, Qt::Key_Up);
    QTest::keyClick(e->txtGrp, Qt::Key_Up);
    EXPECT_EQ(e->fgGroups->Row(), 23);
    QTest::keyClick(e->txtGrp, Qt::Key_Down);
    EXPECT_EQ(e->fgGroups->Row(), 3);
    EXPECT_EQ(pager(1, 1), "0100");  // moving is no typing
    EXPECT_FALSE(modified());
}

TEST_F(GroupsEditor, UpFromTheMessageRowReachesTheTimerAndClicksIt)
{
    setGroup(3, {"5"});
    frmCfgGroup *e = open();
    click(e, 25, 3);
    prompts.answer(Answer::No);
    QTest::keyClick(e->cmbMsg, Qt::Key_Up);
    EXPECT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Periodic Paging Warning");
    EXPECT_EQ(e->fgGroups->Row(), 24);
    EXPECT_EQ(e->cmbMsg->currentText(), "None");  // the list did not take the key
}

TEST_F(GroupsEditor, F1OpensTheHelpFile)
{
    frmCfgGroup *e = open();
    QTest::keyClick(e->txtGrp, Qt::Key_F1);
    ASSERT_EQ(shellRequests.size(), 1);
    EXPECT_EQ(shellRequests[0], w->HelpFile());
    EXPECT_EQ(e->fgGroups->Row(), 3);
}

// ---- OK ----------------------------------------------------------------------------------------------------

TEST_F(GroupsEditor, OkWithoutAnEditClosesWithoutTheCheck)
{
    setGroup(1, {"999"});  // in no family
    frmCfgGroup *e = open();
    e->cmdOK->click();
    EXPECT_FALSE(e->isVisible());
    flushDeletes();
    EXPECT_EQ(forms::window("frmCfgGroup"), nullptr);
    EXPECT_EQ(pager(1, 1), "999");
    EXPECT_EQ(prompts.count(), 0);
}

TEST_F(GroupsEditor, OkRunsTheCheckAndStaysOpenOnTheBlankedFields)
{
    setFamily(1, "100", "010");
    setGroup(1, {"105", "200"});
    gRun.bDatabaseChecked = false;
    frmCfgGroup *e = open();
    click(e, 1, 1);  // an edit
    EXPECT_FALSE(modified());
    prompts.answer(Answer::OK);
    e->cmdOK->click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Non-Existent Pager IDs");
    EXPECT_TRUE(e->isVisible());
    EXPECT_FALSE(e->txtGrp->isVisible());
    EXPECT_EQ(pager(1, 2), "0000");
    // the view no longer holds what the encoder holds
    EXPECT_TRUE(modified());
    EXPECT_EQ(e->fgGroups->TextMatrix(5, 1), "");
    EXPECT_EQ(e->fgGroups->CellBackColorAt(5, 1), colour::LightCyan);
    EXPECT_TRUE(gRun.bDatabaseChecked);
    EXPECT_FALSE(gRun.bGroupFieldsAdjusted);
    EXPECT_FALSE(gRun.bGroupsEdited);

    e->cmdOK->click();  // nothing edited since: closes
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(prompts.count(), 1);
    EXPECT_EQ(gDb.Groups[0][grpComplete], "YES");
}

TEST_F(GroupsEditor, TheCloseBoxRunsOKsCheckFirstAndStaysOpenOnTheBlankedFields)
{
    setFamily(1, "100", "010");
    setGroup(1, {"105", "200"});
    frmCfgGroup *e = open();
    click(e, 1, 1);  // an edit
    prompts.answer(Answer::OK);
    e->close();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Non-Existent Pager IDs");
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(pager(1, 2), "0000");
    EXPECT_FALSE(gRun.bGroupsEdited);
    e->close();  // nothing edited since: closes
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(prompts.count(), 1);
}

// The close box pressed while OK's check runs is held back: the check ends in
// a window still shown on the fields it blanked, which keeps the group it
// left incomplete until its closing has asked, and the toolbar button still
// brings it up.
TEST_F(GroupsEditor, TheCloseBoxPressedWhileTheCheckRunsLeavesTheWindowOpenOnTheBlankedFields)
{
    setFamily(1, "100", "010");
    setGroup(1, {"999"});  // its only pager ID is in no family
    frmCfgGroup *e = open();
    click(e, 1, 1);  // an edit
    const QPointer<frmCfgGroup> editor(e);
    const DuringCheck duringCheck([&] {
        PressCloseBox(e);
        return true;
    });
    prompts.answer(Answer::OK);
    e->cmdOK->click();
    EXPECT_TRUE(duringCheck.done());
    ASSERT_TRUE(editor);
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Non-Existent Pager IDs");
    EXPECT_TRUE(e->isVisible());
    ASSERT_TRUE(e->windowHandle());
    EXPECT_TRUE(e->windowHandle()->isVisible());
    EXPECT_EQ(pager(1, 1), "0000");
    EXPECT_EQ(e->fgGroups->TextMatrix(4, 1), "");
    EXPECT_EQ(e->fgGroups->CellBackColorAt(4, 1), colour::LightCyan);
    EXPECT_EQ(gDb.Groups[0][grpActive], "1");
    // No to the closing question keeps the window and the group
    prompts.answer(Answer::No);
    PressCloseBox(e);
    ASSERT_EQ(prompts.count(), 2);
    EXPECT_EQ(prompts.last().title, "Incomplete Database Definition");
    EXPECT_EQ(gDb.Groups[0][grpGroupID], "121");
    w->Toolbar1_ButtonClick(QStringLiteral("group"));
    ASSERT_TRUE(editor);
    EXPECT_EQ(forms::window("frmCfgGroup"), e);
    EXPECT_TRUE(e->windowHandle() && e->windowHandle()->isVisible());
}

TEST_F(GroupsEditor, OkStartsNoCheckWhileAnOperationWaitsOnThePort)
{
    setGroup(1, {"999"});  // in no family
    frmCfgGroup *e = open();
    click(e, 1, 1);  // an edit
    {
        PortBusyGuard transfer;  // as a detection, lookup or transfer holds it
        ASSERT_TRUE(transfer.acquired());
        e->cmdOK->click();
        EXPECT_TRUE(e->isVisible());
        EXPECT_EQ(forms::cancelSendIfLoaded(), nullptr);
        EXPECT_EQ(prompts.count(), 0);
        EXPECT_EQ(pager(1, 1), "999");
        EXPECT_TRUE(gRun.bGroupsEdited);
    }
    // the port is free again: OK checks
    prompts.answer(Answer::OK);
    e->cmdOK->click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Non-Existent Pager IDs");
    EXPECT_EQ(pager(1, 1), "0000");
}

// The check takes the edited mark off only for the edits it saw: one that
// reaches the tables while it runs keeps the mark, so the next OK checks it.
TEST_F(GroupsEditor, AnEditMadeWhileTheCheckRunsIsCheckedByTheNextOk)
{
    setFamily(1, "100", "010");
    setGroup(1, {"105", "200"});
    frmCfgGroup *e = open();
    click(e, 1, 1);  // an edit
    const DuringCheck duringCheck([&] {
        if (e->fgGroups->Col() < 2)
            return false;
        // past group 1: a pager ID stored and marked as a typed edit does
        gDb.Groups[0][grpPagerID1 + 2] = "777";
        gRun.bGroupsEdited = true;
        return true;
    });
    prompts.answer(Answer::OK);
    e->cmdOK->click();
    EXPECT_TRUE(duringCheck.done());
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(pager(1, 2), "0000");
    EXPECT_EQ(pager(1, 3), "777");
    EXPECT_TRUE(gRun.bGroupsEdited);

    prompts.answer(Answer::OK);
    e->cmdOK->click();
    ASSERT_EQ(prompts.count(), 2);
    EXPECT_EQ(prompts.last().title, "Non-Existent Pager IDs");
    EXPECT_EQ(pager(1, 3), "0000");
}

// OK's steps wait for the families check as for an operation on the port:
// the window closed while that check runs stays open and starts no check.
TEST_F(GroupsEditor, ItsClosingStepsWaitForTheFamiliesCheck)
{
    setFamily(1, "100", "010");
    gDb.Families[0][famStartCap] = "0001000";
    gDb.Families[0][famPgrType] = "A";
    setGroup(1, {"999"});  // in no family
    frmCfgGroup *e = open();
    click(e, 1, 1);  // an edit
    ShowFamiliesEditor();
    auto *families = qobject_cast<frmCfgFam *>(forms::window("frmCfgFam"));
    ASSERT_NE(families, nullptr);
    for (int twice = 0; twice < 2; ++twice) {  // edited: OFF and ON again
        families->fgFamilies->setRow(1);
        families->fgFamilies->setCol(1);
        families->fgFamilies_Click();
    }
    const DuringCheck duringCheck([&] {
        e->close();
        return true;
    });
    families->cmdOK_Click();
    EXPECT_TRUE(duringCheck.done());
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_EQ(pager(1, 1), "999");
    EXPECT_TRUE(gRun.bGroupsEdited);
}

TEST_F(GroupsEditor, Comp1WithoutADefaultPagerIsSetBackToTap)
{
    setFamily(1, "100", "10");
    setGroup(1, {"0000", "101"});
    gSettings.sSerial1Protocol = "COMP1";
    frmCfgGroup *e = open();
    click(e, 1, 1);
    prompts.answer(Answer::OK);
    e->cmdOK->click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "COMP1 Pager ID Not Defined");
    EXPECT_EQ(prompts.last().text,
              lines({"COMP1 Protocol is Selected and Requires a Default Pager Assignment",
                     "The First Pager ID in the First Pager Group is Used as the Default Pager ID",
                     "The Protocol has been set to TAP"}));
    EXPECT_EQ(prompts.last().icon, Icon::None);
    EXPECT_EQ(prompts.last().buttons, Buttons::OK);
    EXPECT_EQ(gSettings.sSerial1Protocol, "TAP");
    EXPECT_TRUE(e->isVisible());
    // the encoder keeps its COMP1 port: the view no longer shows what it holds
    EXPECT_TRUE(modified());

    e->cmdOK->click();
    EXPECT_FALSE(e->isVisible());
}

TEST_F(GroupsEditor, Comp1OnPortTwoWithTheFirstGroupOff)
{
    setGroup(1, {"100"});
    gDb.Groups[0][grpActive] = "0";
    gSettings.sSerial2Protocol = "COMP1";
    frmCfgGroup *e = open();
    click(e, 1, 1);
    prompts.answer(Answer::OK);
    e->cmdOK->click();
    EXPECT_EQ(prompts.count(), 1);
    EXPECT_EQ(gSettings.sSerial2Protocol, "TAP");
    EXPECT_EQ(gSettings.sSerial1Protocol, "TAP");
    EXPECT_TRUE(e->isVisible());
}

TEST_F(GroupsEditor, ATimerTheJudgementSwitchesOffNoLongerReadsOn)
{
    setGroup(1, {"100"});
    gDb.Groups[0][grpTimerActive] = "1";
    gDb.Groups[0][grpTimerMsg] = "4";
    setFamily(1, "100", "1");
    setGroup(2, {"555"});  // blanked by the check: the window stays open
    frmCfgGroup *e = open();
    click(e, 25, 1);
    e->cmbMsg->setCurrentIndex(0);
    emit e->cmbMsg->activated(0);  // "None" under a timer that is on
    EXPECT_EQ(gDb.Groups[0][grpTimerMsg], "00");
    prompts.answer(Answer::OK);
    e->cmdOK->click();
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(gDb.Groups[0][grpTimerActive], "0");
    EXPECT_EQ(e->fgGroups->TextMatrix(24, 1), "OFF");
    EXPECT_EQ(e->fgGroups->CellBackColorAt(24, 1), colour::Red);
}

// ---- closing -------------------------------------------------------------------------------------------------

TEST_F(GroupsEditor, AnIncompleteGroupIsQuestionedAtEachClosingThenReset)
{
    setGroup(1, {});  // on, with a Group ID but no pager ID
    gDb.Groups[0][grpReference] = "Ward";
    setGroup(2, {"300"});
    gDb.Groups[1][grpActive] = "0";
    frmCfgGroup *e = open();
    prompts.answer(Answer::No);
    e->cmdOK->click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Incomplete Database Definition");
    EXPECT_EQ(prompts.last().text, lines({"Pager Group Definition is Incomplete", "As Shown by Magenta Fields",
                                          "Are You Sure You Want to Exit?"}));
    EXPECT_EQ(prompts.last().icon, Icon::Question);
    EXPECT_EQ(prompts.last().buttons, Buttons::YesNo);
    EXPECT_TRUE(e->isVisible());
    EXPECT_FALSE(gRun.bDefinitionIncomplete);
    EXPECT_EQ(gDb.Groups[0][grpComplete], "");
    EXPECT_EQ(gDb.Groups[0][grpGroupID], "121");  // nothing reset while the window is open
    // the encoder holds group 1 whole; programming would now send it unused
    EXPECT_TRUE(modified());

    // the close box judges the groups again: no typed group goes unasked
    prompts.answer(Answer::Yes);
    e->close();
    EXPECT_EQ(prompts.count(), 2);
    EXPECT_FALSE(e->isVisible());
    EXPECT_TRUE(modified());
    EXPECT_EQ(gDb.Groups[0][grpGroupID], "0000");
    EXPECT_EQ(gDb.Groups[0][grpActive], "0");
    EXPECT_EQ(gDb.Groups[0][grpReference], "");
    // a complete group that is off is kept
    EXPECT_EQ(gDb.Groups[1][grpGroupID], "122");
    EXPECT_EQ(gDb.Groups[1][grpPagerID1], "300");
}

TEST_F(GroupsEditor, AnyIncompleteGroupThatIsOnIsQuestionedBeforeItIsReset)
{
    setGroup(1, {});  // on, with a Group ID but no pager ID
    setGroup(3, {"300"});  // complete, and the last group that is on
    frmCfgGroup *e = open();
    prompts.answer(Answer::No);
    e->cmdOK->click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Incomplete Database Definition");
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(gDb.Groups[0][grpGroupID], "121");
    prompts.answer(Answer::Yes);
    e->close();
    flushDeletes();

    // no database loaded: a Group ID typed into a table nothing filled
    for (GroupRow &g : gDb.Groups)
        g = GroupRow{};
    e = open();
    QTest::keyClicks(e->txtGrp, "5");
    prompts.answer(Answer::No);
    e->cmdOK->click();
    ASSERT_EQ(prompts.count(), 3);
    EXPECT_EQ(prompts.last().title, "Incomplete Database Definition");
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(gDb.Groups[0][grpGroupID], "5");
}

TEST_F(GroupsEditor, ClosingAfterClearingTheOnlyPagerIDResetsTheGroup)
{
    setGroup(1, {"300"});
    frmCfgGroup *e = open();
    QTest::keyClick(e->txtGrp, Qt::Key_Tab);
    e->txtGrp->clear();
    EXPECT_EQ(gDb.Groups[0][grpComplete], "");
    prompts.answer(Answer::Yes);
    e->close();
    EXPECT_EQ(prompts.last().title, "Incomplete Database Definition");
    EXPECT_EQ(gDb.Groups[0][grpGroupID], "0000");
    flushDeletes();
    // the next opening loads afresh
    frmCfgGroup *again = open();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->fgGroups->TextMatrix(2, 1), "OFF");
}
