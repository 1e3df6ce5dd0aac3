// Start-up: the splash, the main window's load step, setup.ini, the stored
// settings, the keys of the main window.
#include "app/forms.h"
#include "app/frmsplash.h"
#include "app/clicklabel.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "platform/system.h"
#include "support/appfixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLockFile>
#include <QStandardPaths>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using namespace testing_support;
using platform::Answer;
using platform::Buttons;
using platform::Icon;

class Startup : public AppFixture {};

TEST_F(Startup, FirstStartStoresDefaultsAndShowsClosedPort)
{
    frmTerminal *w = start();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_EQ(stored("Settings"), "9600,n,8,1");
    EXPECT_EQ(stored("CommPort"), "1");
    EXPECT_EQ(w->windowTitle(), "Quorvane Paging Encoder Setup");
    EXPECT_EQ(platform::AppTitle(), "Quorvane Paging Encoder Setup");
    EXPECT_EQ(w->StatusPanelText(1), "No Database Loaded");
    EXPECT_EQ(w->StatusPanelText(2), "COM 1 Closed");
    EXPECT_EQ(w->cmdComStatus->text(), "Open COM 1");
    EXPECT_EQ(w->ImgNotConnected->toolTip(), " Enable COM 1 ");
    EXPECT_EQ(w->ImgConnected->toolTip(), " Disable COM 1 ");
    EXPECT_FALSE(w->ConnectedPictureInFront());
    EXPECT_FALSE(w->MSComm1.PortOpen());
    EXPECT_EQ(w->MSComm1.Settings(), "9600,n,8,1");
    EXPECT_EQ(w->HelpFile(), "QVSETUP.PDF");
    EXPECT_FALSE(gRun.bLoading);
    EXPECT_TRUE(gRun.bMatchesEncoder);
    EXPECT_TRUE(gRun.bDatabaseChecked);
    EXPECT_EQ(gRun.sBrand, "Quorvane");
    EXPECT_FALSE(w->lblVirgin->isVisibleTo(w));
    EXPECT_FALSE(w->mnuSave->isEnabled());
    EXPECT_FALSE(w->mnuTXTune->isEnabled());
    EXPECT_FALSE(w->mnuWriteDB->isEnabled());
    EXPECT_FALSE(w->mnuReadDB->isEnabled());
    EXPECT_FALSE(w->mnuTest->isEnabled());
    EXPECT_FALSE(w->cmdLookup->isEnabled());
    for (int pos = 2; pos <= 8; ++pos)
        EXPECT_TRUE(w->ToolbarButton(pos)->isEnabled()) << pos;
    // the tables stay empty until a file or the encoder fills them
    EXPECT_EQ(gDb, PagerDatabase{});
    EXPECT_EQ(gSettings, EncoderSettings{});
    // hidden until the splash closes
    EXPECT_FALSE(w->isVisible());
    ASSERT_NE(forms::splash(), nullptr);
    EXPECT_TRUE(forms::splash()->isVisible());
    EXPECT_EQ(forms::splash()->lblVersion->text(),
              QStringLiteral("Version %1.%2.%3").arg(QV_VERSION_MAJOR).arg(QV_VERSION_MINOR).arg(QV_VERSION_PATCH));
}

TEST_F(Startup, LaterStartAppliesStoredPortAndSettings)
{
    store("Settings", "1200,n,8,1");
    store("CommPort", "3");
    frmTerminal *w = start();
    EXPECT_EQ(gRun.iCommPort, 3);
    EXPECT_EQ(w->MSComm1.CommPort(), 3);
    EXPECT_EQ(w->MSComm1.Settings(), "1200,n,8,1");
    EXPECT_EQ(w->StatusPanelText(2), "COM 3 Closed");
    EXPECT_EQ(w->cmdComStatus->text(), "Open COM 3");
    EXPECT_EQ(w->ImgNotConnected->toolTip(), " Enable COM 3 ");
    EXPECT_EQ(w->ImgConnected->toolTip(), " Disable COM 3 ");
    EXPECT_EQ(stored("Settings"), "1200,n,8,1");
}

TEST_F(Startup, IniFlagsShowVirginModeAndEnableTuning)
{
    writeIni("[Main]\r\nVirginMode=True\r\nTestEnabled=True\r\n");
    frmTerminal *w = start();
    EXPECT_TRUE(gRun.bVirginMode);
    EXPECT_TRUE(gRun.bTestEnabled);
    EXPECT_TRUE(w->lblVirgin->isVisibleTo(w));
    EXPECT_TRUE(w->mnuTXTune->isEnabled());
}

TEST_F(Startup, MissingIniIsReportedAndTheProgramStillStarts)
{
    removeIni();
    // one file that cannot be read is one failure: one box, not one per flag
    prompts.answer(Answer::Cancel);
    frmTerminal *w = start();
    ASSERT_EQ(prompts.count(), 1);
    const SeenPrompt &box = prompts.seen()[0];
    EXPECT_EQ(box.title, "Failure at Splash");
    EXPECT_TRUE(box.text.startsWith("Failure During Splash Screen Load: ")) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains("setup.ini"));
    EXPECT_EQ(box.icon, Icon::Critical);
    EXPECT_EQ(box.buttons, Buttons::OKCancel);
    EXPECT_EQ(box.defaultButton, 2);
    // and then the start-up goes on with safe values
    EXPECT_FALSE(gRun.bVirginMode);
    EXPECT_FALSE(gRun.bTestEnabled);
    EXPECT_FALSE(gRun.bLoading);
    EXPECT_EQ(w->windowTitle(), "Quorvane Paging Encoder Setup");
    EXPECT_EQ(w->StatusPanelText(1), "No Database Loaded");
    EXPECT_EQ(w->StatusPanelText(2), "COM 1 Closed");
    EXPECT_EQ(stored("CommPort"), "1");
}

TEST_F(Startup, IniWithoutTestEnabledNorEmptyLineFailsThatFlagOnly)
{
    writeIni("[Main]\r\nVirginMode=True\r\n");
    prompts.answer(Answer::OK);
    frmTerminal *w = start();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_TRUE(prompts.last().text.contains("TestEnabled"));
    EXPECT_TRUE(gRun.bVirginMode);
    EXPECT_FALSE(gRun.bTestEnabled);
    EXPECT_FALSE(gRun.bLoading);
    EXPECT_EQ(w->StatusPanelText(2), "COM 1 Closed");
}

TEST_F(Startup, IniWithEmptyLineInsteadOfTestEnabledStartsQuietly)
{
    writeIni("[Main]\r\nVirginMode=False\r\n\r\nTestEnabled=True\r\n");
    start();
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_FALSE(gRun.bTestEnabled);
}

TEST_F(Startup, NonNumericStoredPortIsReportedAndPortOneUsed)
{
    store("CommPort", "COM3");
    prompts.answer(Answer::OK);
    frmTerminal *w = start();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Failure at Splash");
    EXPECT_TRUE(prompts.last().text.contains("COM3"));
    EXPECT_EQ(gRun.iCommPort, 1);
    EXPECT_EQ(w->StatusPanelText(2), "COM 1 Closed");
    EXPECT_FALSE(gRun.bLoading);
}

TEST_F(Startup, StoredPortTooBigForAPortNumberIsReportedAndPortOneUsed)
{
    store("CommPort", "65537");
    prompts.answer(Answer::OK);
    frmTerminal *w = start();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Failure at Splash");
    EXPECT_TRUE(prompts.last().text.startsWith("Failure During Splash Screen Load: "));
    EXPECT_TRUE(prompts.last().text.contains("65537"));
    EXPECT_EQ(gRun.iCommPort, 1);
    EXPECT_EQ(w->MSComm1.CommPort(), 1);
    EXPECT_EQ(w->StatusPanelText(2), "COM 1 Closed");
    EXPECT_FALSE(gRun.bLoading);
}

TEST_F(Startup, SplashRunningOutWhileAStartUpBoxIsOpenClosesOnceLoaded)
{
    platform::SetTimeScale(0.01);  // the splash's 10 s become 100 ms
    removeIni();
    // the user leaves the failure box open until the splash's time has run out
    bool ranOut = false;
    prompts.answerWith([&](const platform::Prompt &) {
        QObject watching;
        QObject::connect(forms::splash()->Timer1, &platform::Timer::fired, &watching, [&] { ranOut = true; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return ranOut; }));
        return platform::Reply{Answer::OK, {}, 1};
    });
    frmTerminal *w = start();
    ASSERT_EQ(prompts.count(), 1);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(gRun.bLoading);
    EXPECT_EQ(w->StatusPanelText(2), "COM 1 Closed");
    EXPECT_TRUE(QTest::qWaitFor([] { return forms::splash() == nullptr; }, 2000));
    EXPECT_TRUE(w->isVisible());
}

TEST_F(Startup, WebLinkWhileAStartUpBoxIsOpenShowsTheMainWindowOnceLoaded)
{
    // a second copy of the program is running: its warning box is open
    platform::ReleaseSingleInstance();
    QLockFile other(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                    QStringLiteral("/qvsetup-instance.lock"));
    ASSERT_TRUE(other.tryLock(0));
    bool mainShownDuringLoad = true;
    prompts.answerWith([&](const platform::Prompt &) {
        forms::splash()->lblWarning_Click();
        mainShownDuringLoad = forms::terminal()->isVisible();
        return platform::Reply{Answer::OK, {}, 1};
    });
    frmTerminal *w = start();
    EXPECT_FALSE(mainShownDuringLoad);
    EXPECT_TRUE(w->isVisible());
    EXPECT_NE(forms::splash(), nullptr);  // the link leaves the splash open
    EXPECT_EQ(shellRequests.size(), 1);
    other.unlock();
}

TEST_F(Startup, RefusedStoredSettingsAreReportedAndKept)
{
    store("Settings", "fast,n,8,1");
    prompts.answer(Answer::OK);
    frmTerminal *w = start();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_TRUE(prompts.last().text.startsWith("Error in setting COM object: "));
    EXPECT_EQ(prompts.last().title, "Quorvane Paging Encoder Setup");
    EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
    EXPECT_EQ(w->MSComm1.Settings(), "9600,n,8,1");
    EXPECT_EQ(stored("Settings"), "fast,n,8,1");
    EXPECT_FALSE(gRun.bLoading);
}

TEST_F(Startup, SplashClosesOnClickKeyOrTimer)
{
    // a click on the window background
    frmTerminal *w = start();
    QTest::mouseClick(forms::splash(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(QTest::qWaitFor([] { return forms::splash() == nullptr; }));
    EXPECT_TRUE(w->isVisible());
    shutDown();

    // a typed character
    w = start();
    QTest::keyClick(forms::splash(), Qt::Key_A);
    EXPECT_TRUE(QTest::qWaitFor([] { return forms::splash() == nullptr; }));
    EXPECT_TRUE(w->isVisible());
    shutDown();

    // a click on a label other than the picture does nothing
    w = start();
    QTest::mouseClick(forms::splash()->lblProductName, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_NE(forms::splash(), nullptr);
    EXPECT_FALSE(w->isVisible());
    shutDown();

    // the 10 s timer, on a shortened clock
    platform::SetTimeScale(0.01);
    w = start();
    EXPECT_TRUE(QTest::qWaitFor([] { return forms::splash() == nullptr; }, 2000));
    EXPECT_TRUE(w->isVisible());
}

TEST_F(Startup, WebLinkShowsMainWindowAndKeepsSplash)
{
    frmTerminal *w = start();
    QTest::mouseClick(forms::splash()->lblWarning, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(w->isVisible());
    EXPECT_NE(forms::splash(), nullptr);
    ASSERT_EQ(shellRequests.size(), 1);
    EXPECT_EQ(shellRequests[0], frmSplash::WebAddress());
}

TEST_F(Startup, F1OpensHelpWithoutTypingAndEscAsksToExit)
{
    frmTerminal *w = start();
    closeSplash();
    w->txtConfigNotes->setFocus();
    QTest::keyClick(w->txtConfigNotes, Qt::Key_F1);
    ASSERT_EQ(shellRequests.size(), 1);
    EXPECT_EQ(shellRequests[0], "QVSETUP.PDF");
    EXPECT_EQ(w->txtConfigNotes->text(), "");

    prompts.answer(Answer::No);
    QTest::keyClick(w->txLookup, Qt::Key_Escape);
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Exit Quorvane Paging Encoder Setup");
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(gRun.bExiting);
}

TEST_F(Startup, ToolbarAccessKeysPressTheirButtonsAndAltNeverTypes)
{
    frmTerminal *w = start();
    closeSplash();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    w->txtConfigNotes->setFocus();
    QTest::keyClicks(w->txtConfigNotes, "Roof");

    // the File menu keeps its letter from "Pager &Families"
    QTest::keyClick(w->txtConfigNotes, Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(w->mnuFile->isVisible());
    EXPECT_EQ(forms::window("frmCfgFam"), nullptr);
    w->mnuFile->close();
    // a letter no command takes types nothing
    QTest::keyClick(w->txtConfigNotes, Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(w->txtConfigNotes->text(), "Roof");

    QTest::keyClick(w->txtConfigNotes, Qt::Key_G, Qt::AltModifier);
    QWidget *groups = forms::window("frmCfgGroup");
    ASSERT_NE(groups, nullptr);
    EXPECT_TRUE(groups->isVisible());
    EXPECT_EQ(w->txtConfigNotes->text(), "Roof");
}

TEST_F(Startup, EscInTheMenuBarLeavesTheMenuAndAsksNothing)
{
    frmTerminal *w = start();
    closeSplash();
    QTest::keyClick(w->menuBar(), Qt::Key_Escape);
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_TRUE(w->isVisible());
}

TEST_F(Startup, SecondInstanceIsWarnedAndStillStarts)
{
    // another copy run by the same user holds the lock in the user's own
    // runtime folder
    platform::ReleaseSingleInstance();
    QLockFile other(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                    QStringLiteral("/qvsetup-instance.lock"));
    ASSERT_TRUE(other.tryLock(0));
    prompts.answer(Answer::OK);
    frmTerminal *w = start();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().text, "Quorvane Paging Encoder Setup is already running.");
    EXPECT_EQ(prompts.last().title, "Quorvane Paging System");
    EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
    EXPECT_EQ(w->StatusPanelText(2), "COM 1 Closed");
    other.unlock();
}

TEST_F(Startup, SecondBrandSplashSetsEveryBrandItem)
{
    forms::loadKDSplash();
    frmTerminal *w = forms::terminal();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_EQ(gRun.sBrand, "Kordamere");
    EXPECT_EQ(w->windowTitle(), "Kordamere Paging Encoder Setup");
    EXPECT_EQ(platform::AppTitle(), "Kordamere Paging Encoder Setup");
    EXPECT_EQ(w->HelpFile(), "VOVIDIV.ADI");
    EXPECT_FALSE(w->Image1->isVisibleTo(w));
    EXPECT_FALSE(w->Picture1->isVisibleTo(w));
    EXPECT_EQ(w->Label25->text(), "T-260 Paging Encoder");
    EXPECT_EQ(stored("CommPort"), "1");  // under the second brand's title
    ASSERT_NE(forms::kdSplash(), nullptr);
    EXPECT_EQ(forms::splash(), nullptr);

    // a click on its picture shows the main window
    QTest::mouseClick(forms::kdSplash()->Picture1, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([] { return forms::kdSplash() == nullptr; }));
    EXPECT_TRUE(w->isVisible());

    // F1 opens the second brand's manual; About shows its own splash
    QTest::keyClick(w->txtConfigNotes, Qt::Key_F1);
    ASSERT_EQ(shellRequests.size(), 1);
    EXPECT_EQ(shellRequests[0], "VOVIDIV.ADI");
    w->mnuAbout->trigger();
    ASSERT_NE(forms::kdSplash(), nullptr);
    EXPECT_TRUE(forms::kdSplash()->isVisible());
    EXPECT_EQ(forms::splash(), nullptr);
    EXPECT_EQ(forms::terminal(), w);

    prompts.answer(Answer::No);
    w->close();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Exit Kordamere Paging Encoder Setup");
    EXPECT_EQ(prompts.last().text, "Are You Sure You Want to Exit Kordamere Paging Encoder Setup?");
    EXPECT_EQ(prompts.last().icon, Icon::Question);
}
