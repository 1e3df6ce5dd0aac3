// The canned messages editor: what it shows, what each keystroke stores, the
// keys it takes for itself, and its life as a modeless window.
#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "transfer/matchclaim.h"
#include "editors/editorcommon.h"
#include "editors/editors.h"
#include "editors/frmcfgmsg.h"
#include "platform/grid.h"
#include "support/appfixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace testing_support;
using platform::Answer;

namespace {

class MessagesEditor : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        w = start();
        closeSplash();
        ClaimViewMatches();
        w->SetStatusPanel(1, QStringLiteral("as before"));
    }
    frmCfgMsg *open()
    {
        ShowMessagesEditor();
        return qobject_cast<frmCfgMsg *>(forms::window("frmCfgMsg"));
    }
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    bool modified() const
    {
        return !gRun.bMatchesEncoder &&
               w->StatusPanelText(1) == "Current Configuration Modified, Does Not Match Encoder";
    }
    frmTerminal *w = nullptr;
};

}  // namespace

TEST_F(MessagesEditor, OpensWithTheMessagesAndTheEditorOnMessageOne)
{
    gDb.CannedMessages[0] = "FIRE ALARM";
    gDb.CannedMessages[2] = "Call the desk";
    w->Timer1.setEnabled(true);
    frmCfgMsg *m = open();
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->isVisible() && !m->isModal());
    EXPECT_EQ(m->windowTitle(), " Predefined Messages Setup");
    EXPECT_EQ(m->cmdOK->text(), "&OK");
    EXPECT_FALSE(w->Timer1.Enabled());

    platform::FlexGrid *g = m->fgMessages;
    EXPECT_EQ(g->Rows(), 16);
    EXPECT_EQ(g->Cols(), 2);
    EXPECT_EQ(g->TextMatrix(0, 1), "Message" + QString(169, ' '));
    for (int n = 1; n <= 15; ++n)
        EXPECT_EQ(g->TextMatrix(n, 0), " " + QString::number(n));
    EXPECT_EQ(g->TextMatrix(3, 1), "Call the desk");
    EXPECT_EQ(g->CellBackColorAt(1, 1), editor_colours::Ivory);
    EXPECT_EQ(g->CellBackColorAt(2, 1), editor_colours::LightGrey);

    EXPECT_EQ(g->Row(), 1);
    EXPECT_EQ(g->Col(), 1);
    EXPECT_TRUE(m->txtMsg->isVisible());
    EXPECT_EQ(m->txtMsg->text(), "FIRE ALARM");
    EXPECT_EQ(m->txtMsg->cursorPosition(), 10);
    EXPECT_EQ(m->txtMsg->geometry(), g->CellRect());
    EXPECT_FALSE(gRun.bLoading);
    EXPECT_FALSE(modified());
}

TEST_F(MessagesEditor, EveryKeystrokeIsStoredAndMarksTheConfiguration)
{
    gDb.CannedMessages[0] = "AB";
    frmCfgMsg *m = open();
    QTest::keyClicks(m->txtMsg, "C");
    EXPECT_EQ(gDb.CannedMessages[0], "ABC");
    EXPECT_EQ(m->fgMessages->TextMatrix(1, 1), "ABC");
    EXPECT_TRUE(modified());

    // emptied: a free slot again, light grey
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(m->txtMsg, Qt::Key_Backspace);
    EXPECT_EQ(gDb.CannedMessages[0], "");
    EXPECT_EQ(m->fgMessages->CellBackColorAt(1, 1), editor_colours::LightGrey);

    // typing stops at 60 characters
    QTest::keyClicks(m->txtMsg, QString(70, 'y'));
    EXPECT_EQ(gDb.CannedMessages[0], QString(60, 'y'));
    EXPECT_EQ(m->fgMessages->CellBackColorAt(1, 1), editor_colours::Ivory);

    // while the program rewrites the database: stored, not marked
    ClaimViewMatches();
    gRun.bNoModifiedStatus = true;
    QTest::keyClick(m->txtMsg, Qt::Key_Backspace);
    EXPECT_EQ(gDb.CannedMessages[0], QString(59, 'y'));
    EXPECT_TRUE(gRun.bMatchesEncoder);
}

TEST_F(MessagesEditor, DoubleQuotesAreRefusedWithOneBoxAndTheRestIsKept)
{
    gDb.CannedMessages[0] = "abc";
    frmCfgMsg *m = open();
    prompts.answer(Answer::OK);
    QTest::keyClicks(m->txtMsg, "\"");
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Invalid Entry");
    EXPECT_EQ(prompts.last().text, "Double Quote Characters (\") are Not Allowed");
    EXPECT_EQ(prompts.last().buttons, platform::Buttons::OK);
    EXPECT_EQ(prompts.last().icon, platform::Icon::None);
    EXPECT_EQ(m->txtMsg->text(), "abc");
    EXPECT_EQ(m->txtMsg->cursorPosition(), 3);

    // typed inside the text: only the quote goes, the cursor stays put
    prompts.answer(Answer::OK);
    m->txtMsg->setCursorPosition(1);
    QTest::keyClicks(m->txtMsg, "\"");
    EXPECT_EQ(m->txtMsg->text(), "abc");
    EXPECT_EQ(m->txtMsg->cursorPosition(), 1);

    // pasted: every quote goes, one box
    prompts.answer(Answer::OK);
    m->txtMsg->insert("\"x\"y");
    EXPECT_EQ(prompts.count(), 3);
    EXPECT_EQ(gDb.CannedMessages[0], "axybc");
    EXPECT_EQ(m->fgMessages->TextMatrix(1, 1), "axybc");
}

TEST_F(MessagesEditor, KeysMoveBetweenMessagesAndWrapAround)
{
    for (int i = 0; i < 15; ++i)
        gDb.CannedMessages[i] = "msg" + QString::number(i + 1);
    frmCfgMsg *m = open();
    platform::FlexGrid *g = m->fgMessages;
    const struct {
        Qt::Key key;
        int from, to;
    } moves[] = {{Qt::Key_Return, 1, 2}, {Qt::Key_Enter, 2, 3}, {Qt::Key_Tab, 3, 4}, {Qt::Key_Right, 4, 5},
                 {Qt::Key_Down, 5, 6},   {Qt::Key_Left, 6, 5},  {Qt::Key_Up, 5, 4},  {Qt::Key_Return, 15, 1},
                 {Qt::Key_Up, 1, 15}};
    for (const auto &mv : moves) {
        g->setRow(mv.from);
        m->fgMessages_Click();
        QTest::keyClick(m->txtMsg, mv.key);
        EXPECT_EQ(g->Row(), mv.to) << mv.key << " from " << mv.from;
        EXPECT_EQ(m->txtMsg->text(), "msg" + QString::number(mv.to));
        EXPECT_EQ(m->txtMsg->cursorPosition(), m->txtMsg->text().size());
    }
    EXPECT_FALSE(modified());

    // F1 opens the help file and never reaches the text
    QTest::keyClick(m->txtMsg, Qt::Key_F1);
    EXPECT_EQ(shellRequests, QStringList{"QVSETUP.PDF"});
    EXPECT_EQ(m->txtMsg->text(), "msg15");

    // a click opens the editor on the cell clicked
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(6, 0)).center());
    EXPECT_EQ(g->Row(), 7);
    EXPECT_EQ(m->txtMsg->text(), "msg7");
    EXPECT_EQ(m->txtMsg->geometry(), g->CellRect());
}

TEST_F(MessagesEditor, OneWindowThatClosingUnloadsAndTheNextOpeningReloads)
{
    frmCfgMsg *m = open();
    QTest::keyClicks(m->txtMsg, "kept");
    EXPECT_EQ(open(), m);  // shown again, not reloaded
    EXPECT_EQ(m->txtMsg->text(), "kept");
    m->cmdOK->click();
    flushDeletes();
    EXPECT_EQ(forms::window("frmCfgMsg"), nullptr);
    EXPECT_EQ(gDb.CannedMessages[0], "kept");

    gDb.CannedMessages[0] = "changed elsewhere";
    frmCfgMsg *again = open();
    EXPECT_EQ(again->txtMsg->text(), "changed elsewhere");
    again->close();
    flushDeletes();
    EXPECT_EQ(forms::window("frmCfgMsg"), nullptr);

    // the shut-down unloads it too
    open();
    w->Form_Unload();
    flushDeletes();
    EXPECT_EQ(forms::window("frmCfgMsg"), nullptr);
}
