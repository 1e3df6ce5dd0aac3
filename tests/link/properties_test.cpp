// The COM port properties dialog: the ports it finds, the stored settings it
// selects, and what OK applies and stores.
#include "app/clicklabel.h"
#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "link/frmproperties.h"
#include "platform/serialport.h"
#include "support/ptypeer.h"
#include "support/simharness.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>

#include <gtest/gtest.h>
#include <functional>

using namespace testing_support;
using platform::Answer;
using platform::Icon;

namespace {

QStringList items(const QComboBox *c)
{
    QStringList l;
    for (int i = 0; i < c->count(); ++i)
        l << c->itemText(i);
    return l;
}

class Properties : public SimAppFixture {
protected:
    // COM1 and COM3 lead to pseudo-terminals, COM2 and COM4 to COM8 nowhere.
    void SetUp() override
    {
        SimAppFixture::SetUp();
        ASSERT_TRUE(com1.isOpen() && com3.isOpen());
        map3 = std::make_unique<PortMapping>(3, com3.slavePath());
    }

    void startProgram() { ASSERT_NE(startWithDevice(com1.slavePath()), nullptr); }

    // Opens the dialog from the menu and runs `act` on it once it shows.
    void withDialog(std::function<void(frmProperties *)> act)
    {
        bool ran = false;
        RunWhen([] { return forms::window("frmProperties") && forms::window("frmProperties")->isVisible(); },
                [&] {
                    ran = true;
                    act(qobject_cast<frmProperties *>(forms::window("frmProperties")));
                });
        w->mnuProperties->trigger();
        EXPECT_TRUE(ran);
        EXPECT_EQ(forms::window("frmProperties"), nullptr);
    }

    PtyPeer com1, com3;
    std::unique_ptr<PortMapping> map3;
};

}  // namespace

TEST_F(Properties, ListsThePortsThatOpenAndSelectsTheStoredSettings)
{
    store("Settings", "2400,e,7,1");
    startProgram();
    QStringList ports, speeds, bits, parities;
    QString port, speed, bit, parity;
    withDialog([&](frmProperties *d) {
        ports = items(d->cboPort);
        speeds = items(d->cboSpeed);
        bits = items(d->cboDataBits);
        parities = items(d->cboParity);
        port = d->cboPort->currentText();
        speed = d->cboSpeed->currentText();
        bit = d->cboDataBits->currentText();
        parity = d->cboParity->currentText();
        EXPECT_EQ(d->windowTitle(), "COM Port Properties");
        EXPECT_FALSE(d->cboPort->isEditable());
        d->cmdCancel->click();
    });
    EXPECT_EQ(ports, (QStringList{"Com1", "Com3"}));
    EXPECT_EQ(speeds, (QStringList{"300", "1200", "2400", "9600"}));
    EXPECT_EQ(bits, (QStringList{"7", "8"}));
    EXPECT_EQ(parities, (QStringList{"Even", "Odd", "None"}));
    EXPECT_EQ(port, "Com1");
    EXPECT_EQ(speed, "2400");
    EXPECT_EQ(bit, "7");
    EXPECT_EQ(parity, "Even");
    // the probe leaves the port closed and at the port in use
    EXPECT_FALSE(w->MSComm1.PortOpen());
    EXPECT_EQ(w->MSComm1.CommPort(), 1);
    EXPECT_EQ(stored("Settings"), "2400,e,7,1");
}

TEST_F(Properties, APortHeldByAnotherProgramIsNotListed)
{
    startProgram();
    platform::SerialPort other;
    ASSERT_TRUE(other.setCommPort(3));
    ASSERT_TRUE(other.setPortOpen(true)) << other.ErrorText().toStdString();
    QStringList ports;
    withDialog([&](frmProperties *d) {
        ports = items(d->cboPort);
        d->cmdCancel->click();
    });
    EXPECT_EQ(ports, QStringList{"Com1"});
}

TEST_F(Properties, OkAppliesAndStoresANewPortAndSettings)
{
    startProgram();
    withDialog([&](frmProperties *d) {
        d->cboPort->setCurrentText("Com3");
        d->cboSpeed->setCurrentText("1200");
        d->cboParity->setCurrentText("Even");
        d->cboDataBits->setCurrentText("7");
        d->cmdOK->click();
    });
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_EQ(w->MSComm1.CommPort(), 3);
    EXPECT_EQ(gRun.iCommPort, 3);
    EXPECT_EQ(w->MSComm1.Settings(), "1200,e,7,1");
    EXPECT_EQ(stored("Settings"), "1200,e,7,1");
    EXPECT_EQ(stored("CommPort"), "3");
    EXPECT_EQ(w->cmdComStatus->text(), "Open COM 3");
    EXPECT_EQ(w->ImgNotConnected->toolTip(), " Enable COM 3 ");
    EXPECT_EQ(w->ImgConnected->toolTip(), " Disable COM 3 ");
    EXPECT_FALSE(w->mnuReadDB->isEnabled());
    EXPECT_FALSE(w->mnuWriteDB->isEnabled());
    EXPECT_FALSE(w->MSComm1.PortOpen());
    // the status bar names the port now in use, not the old one
    EXPECT_EQ(w->StatusPanelText(2), "COM 3 Closed");

    // the next opening uses them: the port reaches COM3's device at 1200
    prompts.allowUnexpected(true);
    platform::SetTimeScale(0.05);
    PressCancelWhenShown();
    w->cmdComStatus->click();
    EXPECT_EQ(com3.readUntil("#PrgmMode#\r").left(11), "#PrgmMode#\r");
}

TEST_F(Properties, OkWithTheSamePortLeavesTheWindowAloneAndStoresBoth)
{
    startProgram();
    w->mnuReadDB->setEnabled(true);
    w->cmdComStatus->setText(QStringLiteral("marker"));
    withDialog([&](frmProperties *d) {
        d->cboSpeed->setCurrentText("300");
        d->cboParity->setCurrentText("None");
        d->cboDataBits->setCurrentText("8");
        d->cmdOK->click();
    });
    EXPECT_EQ(w->cmdComStatus->text(), "marker");
    EXPECT_TRUE(w->mnuReadDB->isEnabled());
    EXPECT_EQ(stored("Settings"), "300,n,8,1");
    EXPECT_EQ(stored("CommPort"), "1");
}

TEST_F(Properties, StopBitsOneAndAHalfAreReadShiftedAndStoredAsOne)
{
    store("Settings", "9600,o,7,1.5");
    startProgram();
    QString speed, bit, parity;
    withDialog([&](frmProperties *d) {
        speed = d->cboSpeed->currentText();
        bit = d->cboDataBits->currentText();
        parity = d->cboParity->currentText();
        d->cmdOK->click();
    });
    EXPECT_EQ(speed, "9600");
    EXPECT_EQ(bit, "7");
    EXPECT_EQ(parity, "Odd");
    EXPECT_EQ(stored("Settings"), "9600,o,7,1");
}

TEST_F(Properties, CancelStoresNothingButAPortNumberZeroBecomesOne)
{
    store("Settings", "2400,n,8,1");
    // a stored port number 0: the load step reports it and uses COM 1
    mapping = std::make_unique<PortMapping>(1, com1.slavePath());
    store("CommPort", "0");
    prompts.answer(Answer::OK);
    w = start();
    closeSplash();
    ASSERT_EQ(prompts.count(), 1);
    QString port;
    withDialog([&](frmProperties *d) {
        port = d->cboPort->currentText();
        d->cboSpeed->setCurrentText("300");
        d->cmdCancel->click();
    });
    EXPECT_EQ(port, "Com1");
    EXPECT_EQ(stored("CommPort"), "1");
    EXPECT_EQ(stored("Settings"), "2400,n,8,1");
    EXPECT_EQ(gRun.iCommPort, 1);
    EXPECT_EQ(w->MSComm1.CommPort(), 1);
}

TEST_F(Properties, OkWithoutASelectionKeepsTheDialogOpenAndStoresNothing)
{
    store("Settings", "9600,m,8,1");  // mark parity: no item of the list
    startProgram();
    prompts.answer(Answer::OK);
    QString parity;
    withDialog([&](frmProperties *d) {
        parity = d->cboParity->currentText();
        d->cmdOK->click();
        EXPECT_TRUE(d->isVisible());
        d->cmdCancel->click();
    });
    EXPECT_EQ(parity, "");
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
    EXPECT_EQ(stored("Settings"), "9600,m,8,1");
    EXPECT_EQ(w->MSComm1.Settings(), "9600,m,8,1");
}
