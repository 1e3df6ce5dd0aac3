// The main window's commands: menus, toolbar, port controls, help, About,
// the close prompt and the shut-down.
#include "app/forms.h"
#include "app/frmsplash.h"
#include "app/frmterminal.h"
#include "app/portbusy.h"
#include "database/state.h"
#include "editors/editors.h"
#include "link/exchange.h"
#include "link/frmproperties.h"
#include "link/portcontrol.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "report/report.h"
#include "testconsole/testconsole.h"
#include "transfer/matchclaim.h"
#include "transfer/transfer.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>

using platform::Answer;
using platform::Buttons;
using platform::Icon;

void frmTerminal::mnuOpen_Click()
{
    if (Busy())
        return;
    OpenClosePort();
}

void frmTerminal::mnuProperties_Click()
{
    if (Busy())
        return;
    if (MSComm1.PortOpen())
        mnuOpen_Click();
    ShowPortProperties();
}

void frmTerminal::mnuReadDB_Click()
{
    if (Busy())
        return;
    if (gRun.bV7Firmware)
        ReadEncoderDatabaseV7();
    else
        ReadEncoderDatabaseV8();
}

void frmTerminal::mnuWriteDB_Click()
{
    if (Busy())
        return;
    Answer answer = Answer::Yes;
    if (!ViewMatchesEncoder())
        answer = platform::MsgBox(QStringLiteral("You are About to Program the Encoder with the Current Configuration\r"
                                                 "Are You Sure?"),
                                  Buttons::YesNo, Icon::Question, QStringLiteral("Program Encoder?"));
    if (answer == Answer::Yes) {
        if (gRun.bV7Firmware)
            WriteEncoderDatabaseV7();
        else
            WriteEncoderDatabaseV8();
    }
    if (MSComm1.PortOpen()) {
        mnuTest->setEnabled(true);
        mnuTest->menuAction()->setEnabled(true);
    }
}

void frmTerminal::mnuSendMsg_Click()
{
    if (Busy())
        return;
    // no rewriting of the tables by the program is under way from here on
    gRun.bNoModifiedStatus = false;
    if (!MSComm1.PortOpen()) {
        platform::MsgBox(QStringLiteral("COM Port ") + QString::number(MSComm1.CommPort()) +
                             QStringLiteral(" is Not Open\rPlease Open Port and Try Again"),
                         Buttons::OK, Icon::Critical, QStringLiteral("COM Port Not Open"));
        platform::SetDefaultPointer();
        return;
    }
    if (ViewMatchesEncoder()) {
        ShowTestConsole(this);
        return;
    }
    platform::MsgBox(QStringLiteral("The Displayed Pager Database Must Match the Encoder's Database\r"
                                    "You can Either Read the Encoder or Program the Encoder."),
                     Buttons::OK, Icon::Exclamation, QStringLiteral("Pager Database Doesn't Match Displayed Database"));
    platform::SetDefaultPointer();
}

void frmTerminal::mnuTXTune_Click()
{
    if (Busy())
        return;
    ShowTransmitterTuning(this);
}

void frmTerminal::mnuQVHelp_Click() { platform::ShellOpen(m_helpFile); }

void frmTerminal::mnuAbout_Click()
{
    if (gRun.sBrand == QLatin1String("Quorvane"))
        forms::loadSplash();
    else if (gRun.sBrand == QLatin1String("Kordamere"))
        forms::loadKDSplash();
}

void frmTerminal::mnuFileExit_Click() { close(); }

void frmTerminal::mnuPrintDB_Click()
{
    if (Busy())
        return;
    PrintDatabaseReport();
}

void frmTerminal::Toolbar1_ButtonClick(const QString &key)
{
    if (key == QLatin1String("sequence")) {
        ShowFamiliesEditor();
    } else if (key == QLatin1String("group")) {
        ShowGroupsEditor();
    } else if (key == QLatin1String("message")) {
        ShowMessagesEditor();
    } else if (key == QLatin1String("settings")) {
        if (gRun.bV7Firmware) {
            gRun.sAccessMode = QStringLiteral("advanced");
            ShowAccessCodeDialog(this);
        } else {
            ShowSerialPortSettings(this);
        }
    } else if (key == QLatin1String("program")) {
        mnuWriteDB_Click();
    } else if (key == QLatin1String("read")) {
        if (Busy())
            return;
        Answer answer = Answer::Yes;
        if (!ViewMatchesEncoder())
            answer = platform::MsgBox(QStringLiteral("You are About to Read the Encoder and Replace the Current Configuration\r"
                                                     "Are You Sure?"),
                                      Buttons::YesNo, Icon::Question, QStringLiteral("Read Encoder?"));
        if (answer == Answer::Yes)
            mnuReadDB_Click();
    } else if (key == QLatin1String("test")) {
        mnuSendMsg_Click();
    }
}

bool frmTerminal::Form_QueryUnload()
{
    const QString title = QStringLiteral("Exit ") + gRun.sBrand + QStringLiteral(" Paging Encoder Setup");
    Answer answer;
    if (!ViewMatchesEncoder())
        answer = platform::MsgBox(QStringLiteral("You Have Not Programmed the Encoder with Your Current Edits\r"
                                                 "Are You Sure You Want to Exit Paging Encoder Setup?"),
                                  Buttons::YesNo, Icon::Exclamation, title);
    else
        answer = platform::MsgBox(QStringLiteral("Are You Sure You Want to Exit ") + gRun.sBrand +
                                      QStringLiteral(" Paging Encoder Setup?"),
                                  Buttons::YesNo, Icon::Question, title);
    if (answer != Answer::Yes)
        return false;
    gRun.bExiting = true;
    return true;
}

void frmTerminal::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // the windows unloaded below see that the program is leaving
    gRun.bExiting = true;
    // 1 to 3: the encoder leaves programming mode at every exit
    if (!MSComm1.PortOpen())
        MSComm1.setPortOpen(true);
    EncoderSend(QStringLiteral("config reboot"), Term::CR);
    if (MSComm1.PortOpen())
        MSComm1.setPortOpen(false);
    // 4. every other window, in this order
    static const char *const order[] = {"frmMessageTest", "frmRangeTest", "frmProperties", "frmSettings",
                                        "frmSettings_Main", "frmCancelSend", "frmSplash", "frmKDSplash",
                                        "frmCfgGroup", "frmCfgMsg", "frmCfgFam", "frmTXTune"};
    for (const char *name : order)
        forms::unloadWindow(name);
    // 5. timers
    Timer1.setEnabled(false);
    Timer2.setEnabled(false);
}
