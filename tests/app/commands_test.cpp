// The main window's commands: guard boxes and questions, the close prompt and
// the shut-down.
#include "app/forms.h"
#include "app/frmsplash.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "transfer/matchclaim.h"
#include "editors/frmcfggroup.h"
#include "support/appfixture.h"
#include "support/duringcheck.h"
#include "support/ptypeer.h"
#include "support/simharness.h"

#include <QAction>
#include <QDialog>
#include <QApplication>
#include <QMenu>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace testing_support;
using platform::Answer;
using platform::Buttons;
using platform::Icon;

class Commands : public AppFixture {
protected:
    frmTerminal *w = nullptr;
    void SetUp() override
    {
        AppFixture::SetUp();
        w = start();
        closeSplash();
    }

    // The groups editor, open on an edited Group ID, over a database whose
    // group 1 is on without a pager ID (the closing question is due) and
    // whose group 2 holds a pager ID in no family (the check blanks it).
    frmCfgGroup *openGroupsEditorWithAnEditTheCheckWillStop()
    {
        ApplyNewDatabase(gDb);
        GroupRow &g1 = gDb.Groups[0];
        g1[grpActive] = "1";
        g1[grpComplete] = "YES";
        g1[grpGroupID] = "12";
        GroupRow &g2 = gDb.Groups[1];
        g2 = g1;
        g2[grpPagerID1] = "555";
        w->ToolbarButtonByKey("group")->trigger();
        auto *editor = qobject_cast<frmCfgGroup *>(forms::window("frmCfgGroup"));
        if (editor)
            QTest::keyClicks(editor->txtGrp, "3");
        return editor;
    }
};

TEST_F(Commands, TestButtonWithPortClosedNamesThePort)
{
    for (bool matches : {true, false}) {
        if (matches)
            ClaimViewMatches();
        else
            gRun.bMatchesEncoder = false;
        prompts.answer(Answer::OK);
        w->ToolbarButtonByKey("test")->trigger();
        ASSERT_EQ(prompts.count(), 1);
        EXPECT_EQ(prompts.last().title, "COM Port Not Open");
        EXPECT_EQ(prompts.last().text, lines({"COM Port 1 is Not Open", "Please Open Port and Try Again"}));
        EXPECT_EQ(prompts.last().icon, Icon::Critical);
        EXPECT_EQ(prompts.last().buttons, Buttons::OK);
        prompts.clear();
    }
}

TEST_F(Commands, SendMessagesEndsAnyRewritingMarkOfTheTables)
{
    gRun.bNoModifiedStatus = true;
    prompts.answer(Answer::OK);
    w->mnuSendMsg_Click();  // the port is closed: its box
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_FALSE(gRun.bNoModifiedStatus);
}

TEST_F(Commands, SendMessagesNeedsAMatchingView)
{
    PtyPeer peer;
    ASSERT_TRUE(peer.isOpen());
    qputenv("QV_COM1", peer.slavePath().toLocal8Bit());
    ASSERT_TRUE(w->MSComm1.setPortOpen(true)) << w->MSComm1.ErrorText().toStdString();
    gRun.bMatchesEncoder = false;
    prompts.answer(Answer::OK);
    w->mnuSendMsg_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Pager Database Doesn't Match Displayed Database");
    EXPECT_EQ(prompts.last().text, lines({"The Displayed Pager Database Must Match the Encoder's Database",
                                          "You can Either Read the Encoder or Program the Encoder."}));
    EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
}

TEST_F(Commands, ProgramAsksUnlessTheViewMatches)
{
    gRun.bMatchesEncoder = false;
    prompts.answer(Answer::No);
    w->ToolbarButtonByKey("program")->trigger();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Program Encoder?");
    EXPECT_EQ(prompts.last().text, lines({"You are About to Program the Encoder with the Current Configuration",
                                          "Are You Sure?"}));
    EXPECT_EQ(prompts.last().icon, Icon::Question);
    EXPECT_EQ(prompts.last().buttons, Buttons::YesNo);
    // No leaves the Test menu as it was while the port is closed
    EXPECT_FALSE(w->mnuTest->isEnabled());
}

TEST_F(Commands, ProgramWithNoStillEnablesTheTestMenuWhenThePortIsOpen)
{
    PtyPeer peer;
    qputenv("QV_COM1", peer.slavePath().toLocal8Bit());
    ASSERT_TRUE(w->MSComm1.setPortOpen(true));
    gRun.bMatchesEncoder = false;
    prompts.answer(Answer::No);
    w->mnuWriteDB_Click();
    EXPECT_TRUE(w->mnuTest->isEnabled());
    EXPECT_EQ(peer.read(100), QByteArray());  // nothing was sent
}

TEST_F(Commands, ReadFromTheToolbarAsksButTheMenuDoesNot)
{
    gRun.bMatchesEncoder = false;
    prompts.answer(Answer::No);
    w->ToolbarButtonByKey("read")->trigger();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Read Encoder?");
    EXPECT_EQ(prompts.last().text, lines({"You are About to Read the Encoder and Replace the Current Configuration",
                                          "Are You Sure?"}));
    EXPECT_EQ(prompts.last().icon, Icon::Question);
}

TEST_F(Commands, HelpAndAbout)
{
    w->mnuQVHelp->trigger();
    ASSERT_EQ(shellRequests.size(), 1);
    EXPECT_EQ(shellRequests[0], "QVSETUP.PDF");
    w->mnuAbout->trigger();
    ASSERT_NE(forms::splash(), nullptr);
    EXPECT_TRUE(forms::splash()->isVisible());
    EXPECT_EQ(forms::terminal(), w);  // the main window is not loaded again
}

TEST_F(Commands, ClosePromptFollowsTheMatchState)
{
    prompts.answer(Answer::No);
    w->close();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Exit Quorvane Paging Encoder Setup");
    EXPECT_EQ(prompts.last().text, "Are You Sure You Want to Exit Quorvane Paging Encoder Setup?");
    EXPECT_EQ(prompts.last().icon, Icon::Question);
    EXPECT_EQ(prompts.last().buttons, Buttons::YesNo);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(gRun.bExiting);

    gRun.bMatchesEncoder = false;
    prompts.answer(Answer::No);
    w->mnuFileExit->trigger();
    EXPECT_EQ(prompts.last().text, lines({"You Have Not Programmed the Encoder with Your Current Edits",
                                          "Are You Sure You Want to Exit Paging Encoder Setup?"}));
    EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
    EXPECT_TRUE(w->isVisible());
}

// A change to the tables that no marking step saw does not keep the view's
// claim: it is checked, by what programming would send, as any window closes
// and by each command that relies on it. A change of form alone keeps it.
TEST_F(Commands, AChangeNoMarkingStepSawEndsTheClaimAtTheNextCloseOrCommand)
{
    const QString modified = QStringLiteral("Current Configuration Modified, Does Not Match Encoder");
    gDb.Groups[0] = NewDatabaseGroupRow();
    gDb.Groups[0][grpComplete] = QStringLiteral("YES");
    gDb.Groups[0][grpGroupID] = QStringLiteral("10");
    ClaimViewMatches();
    w->SetStatusPanel(1, QStringLiteral("as before"));
    gDb.Groups[0][grpGroupID] = QStringLiteral("0010");
    QDialog window;
    window.show();
    window.close();
    EXPECT_TRUE(gRun.bMatchesEncoder);
    EXPECT_EQ(w->StatusPanelText(1), "as before");

    gDb.CannedMessages[0] = QStringLiteral("never marked");
    window.show();
    window.close();
    EXPECT_FALSE(gRun.bMatchesEncoder);
    EXPECT_EQ(w->StatusPanelText(1), modified);

    // the exit question asks about the edits
    ClaimViewMatches();
    gSettings.sDutyCycle = QStringLiteral("50");
    prompts.answer(Answer::No);
    w->close();
    EXPECT_EQ(prompts.last().text, lines({"You Have Not Programmed the Encoder with Your Current Edits",
                                          "Are You Sure You Want to Exit Paging Encoder Setup?"}));
    EXPECT_EQ(w->StatusPanelText(1), modified);
}

TEST_F(Commands, ExitSendsConfigRebootAndClosesThePort)
{
    PtyPeer peer;
    ASSERT_TRUE(peer.isOpen());
    qputenv("QV_COM1", peer.slavePath().toLocal8Bit());
    // the About box is up: the shut-down unloads it too
    w->mnuAbout->trigger();
    ASSERT_NE(forms::splash(), nullptr);
    QPointer<frmTerminal> guard(w);
    prompts.answer(Answer::Yes);
    w->close();
    EXPECT_TRUE(gRun.bExiting);
    ASSERT_TRUE(guard);
    EXPECT_FALSE(w->MSComm1.PortOpen());
    EXPECT_FALSE(w->Timer1.Enabled());
    EXPECT_FALSE(w->Timer2.Enabled());
    EXPECT_EQ(forms::splash(), nullptr);
    // the port was closed at start: it was opened once for the reboot
    EXPECT_EQ(peer.readUntil("\r", 2000), QByteArray("config reboot\r"));
    // and the program ends with its last window
    EXPECT_TRUE(QTest::qWaitFor([&] { return guard.isNull(); }, 2000));
}

TEST_F(Commands, ExitWithAPortThatDoesNotExistShowsNothing)
{
    prompts.answer(Answer::Yes);
    w->close();
    EXPECT_EQ(prompts.count(), 1);  // the exit question only
    EXPECT_TRUE(gRun.bExiting);
    EXPECT_FALSE(w->MSComm1.PortOpen());
}

TEST_F(Commands, AnEditorsClosingQuestionAnsweredNoStopsTheShutDown)
{
    frmCfgGroup *editor = openGroupsEditorWithAnEditTheCheckWillStop();
    ASSERT_NE(editor, nullptr);
    prompts.answer(Answer::OK);  // "Non-Existent Pager IDs": the editor stays open
    editor->cmdOK->click();
    ASSERT_TRUE(editor->isVisible());

    prompts.answer(Answer::Yes);  // exit
    prompts.answer(Answer::No);   // the editor's closing question
    w->close();
    ASSERT_EQ(prompts.count(), 3);
    EXPECT_EQ(prompts.last().title, "Incomplete Database Definition");
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(gRun.bExiting);
    ASSERT_EQ(forms::window("frmCfgGroup"), editor);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(gDb.Groups[0][grpGroupID], "123");

    // asked once: the next exit goes through
    QPointer<frmTerminal> guard(w);
    prompts.answer(Answer::Yes);
    w->close();
    EXPECT_EQ(prompts.count(), 4);
    EXPECT_TRUE(gRun.bExiting);
    EXPECT_EQ(forms::window("frmCfgGroup"), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return guard.isNull(); }, 2000));
}

TEST_F(Commands, AnExitAskedWhileAnEditorsCheckRunsWaitsForItAndEveryQuestionIsAsked)
{
    frmCfgGroup *editor = openGroupsEditorWithAnEditTheCheckWillStop();
    ASSERT_NE(editor, nullptr);
    const QString exitTitle = "Exit Quorvane Paging Encoder Setup";
    for (int n = 0; n < 3; ++n) {
        prompts.answerWith([exitTitle](const platform::Prompt &p) {
            if (p.title == exitTitle)
                return platform::Reply{Answer::Yes, {}, 1};
            if (p.title == "Incomplete Database Definition")
                return platform::Reply{Answer::No, {}, 1};
            return platform::Reply{Answer::OK, {}, 1};
        });
    }
    // the exit is asked from the check's own event loop, under its cancel box
    const DuringCheck exitDuringCheck([&] {
        w->close();
        return true;
    });
    editor->cmdOK->click();
    EXPECT_TRUE(exitDuringCheck.done());

    // the check ends and keeps the editor open on the blanked field; then the
    // exit question, then the editor's question, whose No keeps both windows
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompts.count() == 3; }, 5000)) << prompts.count();
    EXPECT_EQ(prompts.seen()[0].title, "Non-Existent Pager IDs");
    EXPECT_EQ(prompts.seen()[1].title, exitTitle);
    EXPECT_EQ(prompts.seen()[2].title, "Incomplete Database Definition");
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(gRun.bExiting);
    ASSERT_EQ(forms::window("frmCfgGroup"), editor);
    EXPECT_TRUE(editor->isVisible());
}

TEST_F(Commands, AnExitAskedWhileTuningClosesWaitsForTheClosingThenEndsTheProgram)
{
    // the tuning's closing waits 1.5 s for an encoder that no longer answers
    platform::SetTimeScale(0.25);
    PtyPeer peer;
    qputenv("QV_COM1", peer.slavePath().toLocal8Bit());
    ASSERT_TRUE(w->MSComm1.setPortOpen(true));
    QPointer<frmTerminal> guard(w);
    bool shownAfterSecondClose = false;
    int boxesDuringClosing = -1;
    RunWhen([] { return forms::window("frmTXTune") && forms::window("frmTXTune")->isVisible(); }, [&] {
        QPointer<QWidget> tune = forms::window("frmTXTune");
        // the reply timer runs only while the closing waits for the encoder's answer
        RunWhen([&] { return w->Timer2.Enabled(); }, [&, tune] {
            PressCloseBox(tune);
            shownAfterSecondClose = tune && tune->isVisible();
            prompts.answer(Answer::Yes);
            w->mnuFileExit->trigger();
            boxesDuringClosing = prompts.count();
        });
        PressCloseBox(tune);
    });
    w->mnuTXTune_Click();
    EXPECT_TRUE(shownAfterSecondClose);
    EXPECT_EQ(boxesDuringClosing, 0);
    // the exit is asked once the closing has ended, and the program ends
    ASSERT_TRUE(QTest::qWaitFor([&] { return guard.isNull(); }, 10000));
    EXPECT_EQ(prompts.count(), 1);
    EXPECT_EQ(peer.readUntil("\x01#PrgmMode#config reboot\r"), "config reboot\r\x01#PrgmMode#config reboot\r");
}

TEST_F(Commands, ToolbarOpensTheEditorsModeless)
{
    const struct { const char *key; const char *window; } buttons[] = {
        {"sequence", "frmCfgFam"}, {"group", "frmCfgGroup"}, {"message", "frmCfgMsg"}};
    for (const auto &b : buttons) {
        w->ToolbarButtonByKey(b.key)->trigger();
        QWidget *editor = forms::window(b.window);
        ASSERT_NE(editor, nullptr) << b.key;
        EXPECT_TRUE(editor->isVisible()) << b.key;
        EXPECT_FALSE(editor->isModal()) << b.key;
    }
    // the main window stays usable beside them
    EXPECT_TRUE(w->isEnabled());
}

TEST_F(Commands, SettingsButtonOpensTheDialogOfTheDetectedFamily)
{
    auto closeWhenShown = [](const char *name, bool *seen) {
        RunWhen([name] { return forms::window(name) && forms::window(name)->isVisible(); },
                [name, seen] {
                    *seen = true;
                    qobject_cast<QDialog *>(forms::window(name))->done(QDialog::Rejected);
                });
    };
    bool serialSettings = false;
    closeWhenShown("frmSettings_Main", &serialSettings);
    w->ToolbarButtonByKey("settings")->trigger();
    EXPECT_TRUE(serialSettings);

    gRun.bV7Firmware = true;
    bool accessCode = false;
    closeWhenShown("frmPassword", &accessCode);
    w->ToolbarButtonByKey("settings")->trigger();
    EXPECT_TRUE(accessCode);
    EXPECT_EQ(gRun.sAccessMode, "advanced");
}

TEST_F(Commands, TestButtonOpensTheConsoleAndTuningItsWindow)
{
    platform::SetTimeScale(0.01);  // the console's pauses and its closing wait
    PtyPeer peer;
    qputenv("QV_COM1", peer.slavePath().toLocal8Bit());
    ASSERT_TRUE(w->MSComm1.setPortOpen(true));
    ClaimViewMatches();
    auto closeWhenShown = [](const char *name, bool *seen) {
        RunWhen([name] { return forms::window(name) && forms::window(name)->isVisible(); },
                [name, seen] {
                    *seen = true;
                    qobject_cast<QDialog *>(forms::window(name))->done(QDialog::Rejected);
                });
    };
    bool console = false;
    closeWhenShown("frmMessageTest", &console);
    w->ToolbarButtonByKey("test")->trigger();
    EXPECT_TRUE(console);
    EXPECT_EQ(forms::window("frmMessageTest"), nullptr);
    // it took the encoder out of programming mode and asked it back
    EXPECT_TRUE(peer.readUntil("config reboot\r").startsWith("config reboot\r"));

    bool tuning = false;
    closeWhenShown("frmTXTune", &tuning);
    w->mnuTXTune_Click();
    EXPECT_TRUE(tuning);
}
