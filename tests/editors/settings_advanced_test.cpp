// The advanced settings dialog: opening on both encoder families, what each
// control stores (settings block, stored settings, main window), Restore
// Defaults, and OK's checks of the two numbers.
#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "transfer/matchclaim.h"
#include "editors/frmsettings.h"
#include "support/appfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace testing_support;
using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

const QString kModified = QStringLiteral("Current Configuration Modified, Does Not Match Encoder");

class AdvancedSettings : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        w = start();
        closeSplash();
        unmark();
    }
    void TearDown() override
    {
        dlg.reset();
        AppFixture::TearDown();
    }

    frmSettings *load()
    {
        dlg = std::make_unique<frmSettings>(w);
        dlg->Form_Load();
        dlg->show();
        return dlg.get();
    }

    void unmark()
    {
        ClaimViewMatches();
        w->SetStatusPanel(1, QStringLiteral("as before"));
        w->cmdLookup->setEnabled(true);
    }
    bool modified() const { return !gRun.bMatchesEncoder && w->StatusPanelText(1) == kModified; }
    bool familyAndGroupButtons() const
    {
        return w->ToolbarButton(2)->isEnabled() && w->ToolbarButton(3)->isEnabled();
    }

    // Types into a box as the user does and presses OK.
    void okWith(const QString &duty, const QString &batch)
    {
        dlg->txDutyCycle->setText(duty);
        dlg->txtBatchQty->setText(batch);
        dlg->cmdOK->click();
    }

    frmTerminal *w = nullptr;
    std::unique_ptr<frmSettings> dlg;
};

}  // namespace

TEST_F(AdvancedSettings, OpensOnAVersion8EncoderWithTheStoredSettings)
{
    gSettings.sDutyCycle = "50";
    gSettings.bIgnoreRFCD = gSettings.bIncCapBy8 = gSettings.bInvertData = gSettings.bInvertRFCD = true;
    gSettings.bSerial1PPHReset = false;
    gSettings.bSerial2IDAsCap = gSettings.bPETSupport = true;
    gSettings.sSerial1Flow = "ASW";
    gSettings.sSerial2Flow = "SW";
    frmSettings *d = load();
    const QStringList flows{"None", "Hardware (RTS/CTS)", "Software (XON/XOFF)",
                            "Alt Hardware (Flow before ACK/NAK)", "Alt Software (Flow before ACK/NAK)"};
    const std::pair<QString, QString> texts[] = {
        {d->windowTitle(), " Encoder Advanced Settings"},
        {d->fraGlobal->title(), "Global Settings"},
        {d->fraCDPolarity->title(), "Carrier Detect Polarity"},
        {d->fraDataPolarity->title(), "Data Polarity"},
        {d->lblDutyCycle->text(), "Transmitter Duty Cycle %"},
        {d->lblBatchQty->text(), "Max Msgs per Batch (1 to 32)"},
        {d->optCDPolarity[0]->text(), "0V = Carrier Detected (Default)"},
        {d->optCDPolarity[1]->text(), "5V = Carrier Detected"},
        {d->optDataPolarity[0]->text(), "Normal (Default)"},
        {d->optDataPolarity[1]->text(), "Reverse"},
        {d->chkCarrierDetect->text(), "Carrier Signal Detection"},
        {d->chkCarrierDetect->toolTip(), " Toggles Detection of Clear Radio Channel Before Transmitting "},
        {d->chkIncCapby8->text(), "Increment Capcodes by 8"},
        {d->fraPort[0]->title(), "Settings for Serial Port"},
        {d->fraPort[1]->title(), "Settings for 2nd Serial Port"},
        {d->fraFlow[1]->title(), "Flow Control"},
        {d->chkPPHReset[1]->text(), "Serial Port Reset of Timed Paging"},
        {d->chkPPHReset[0]->toolTip(), "Toggles timer being able to be reset by serial port activity"},
        {d->chkIDAsCap[1]->text(), "Assume Pager ID is Capcode"},
        {d->chkIDAsCap[0]->toolTip(), "Toggles use of ID as capcode, bypassing pager database"},
        {d->optFlow1[3]->text(), flows[3]},
        {d->optFlow2[4]->text(), flows[4]},
        {d->chkFlowBeforeACK->text(), "Flow Control Before ACK Response"},
        {d->chkBriefACK->text(), "<CR><ACK><CR> TAP Response"},
        {d->chkPET->text(), "PET Support in TAP"},
        {d->cmdResetDefaults->text(), "Restore Defaults"},
    };
    for (const auto &[actual, expected] : texts)
        EXPECT_EQ(actual, expected);
    EXPECT_TRUE(d->cmdOK->isDefault());
    EXPECT_EQ(d->focusWidget(), d->cmdOK);
    EXPECT_EQ(d->cmdOK->nextInFocusChain(), d->txDutyCycle);

    // version 8: the version 7 options hidden, port 2 never shown
    for (QWidget *c : std::initializer_list<QWidget *>{d->chkFlowBeforeACK, d->chkBriefACK, d->chkPET, d->fraPort[1]})
        EXPECT_FALSE(c->isVisible() || c->isEnabled()) << c->objectName().toStdString();
    EXPECT_TRUE(d->chkIncCapby8->isVisible() && d->fraFlow[0]->isVisible());

    EXPECT_EQ(d->txDutyCycle->text(), "50");
    EXPECT_EQ(d->txtBatchQty->text(), "10");
    EXPECT_FALSE(d->chkCarrierDetect->isChecked());
    EXPECT_TRUE(d->chkIncCapby8->isChecked());
    EXPECT_FALSE(d->chkPPHReset[0]->isChecked());
    EXPECT_TRUE(d->chkPPHReset[1]->isChecked());
    EXPECT_TRUE(d->optDataPolarity[1]->isChecked() && d->optCDPolarity[1]->isChecked());
    EXPECT_FALSE(d->chkIDAsCap[0]->isChecked());
    EXPECT_TRUE(d->chkIDAsCap[1]->isChecked());
    EXPECT_TRUE(d->optFlow1[4]->isChecked() && d->optFlow2[2]->isChecked());
    EXPECT_TRUE(d->chkPET->isChecked());
    EXPECT_FALSE(d->chkBriefACK->isChecked());
    EXPECT_FALSE(gRun.bLoading);
    EXPECT_FALSE(modified());
    EXPECT_EQ(stored("Serial1Flow"), "");
}

TEST_F(AdvancedSettings, EmptyNumbersAndUnknownFlowsOnOpening)
{
    gSettings.sDutyCycle = gSettings.sMaxBatch = gSettings.sSerial2Flow = "";
    gSettings.sSerial1Flow = "XON";
    frmSettings *d = load();
    EXPECT_EQ(d->txDutyCycle->text(), "66");
    EXPECT_EQ(d->txtBatchQty->text(), "10");
    EXPECT_EQ(gSettings.sDutyCycle, "66");
    EXPECT_EQ(gSettings.sMaxBatch, "10");
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(d->optFlow1[i]->isChecked() || d->optFlow2[i]->isChecked()) << i;
    // programming would send the values taken in place of the empty ones
    EXPECT_TRUE(modified());
}

TEST_F(AdvancedSettings, OnAVersion7EncoderPortOneIsFixedAndItsOwnOptionsShow)
{
    gRun.bV7Firmware = true;
    gSettings.sSerial1Baud = "1200";
    gSettings.sSerial1Databits = "E71";
    gSettings.sSerial1Protocol = "PET";
    gSettings.bSerial1Verbose = false;
    gSettings.bIncCapBy8 = gSettings.bBriefACK = true;
    frmSettings *d = load();
    EXPECT_EQ(gSettings.sSerial1Baud, "9600");
    EXPECT_EQ(gSettings.sSerial1Databits, "N81");
    EXPECT_EQ(gSettings.sSerial1Protocol, "TAP");
    EXPECT_TRUE(gSettings.bSerial1Verbose);
    EXPECT_FALSE(modified());
    EXPECT_FALSE(d->chkIncCapby8->isVisible() || d->chkIncCapby8->isEnabled() || d->chkIncCapby8->isChecked());
    EXPECT_FALSE(d->fraFlow[0]->isVisible() || d->fraFlow[0]->isEnabled());
    for (QCheckBox *c : {d->chkFlowBeforeACK, d->chkBriefACK, d->chkPET})
        EXPECT_TRUE(c->isVisible() && c->isEnabled());
    EXPECT_TRUE(d->chkBriefACK->isChecked());
    EXPECT_FALSE(d->chkPET->isChecked());

    d->chkPET->click();
    d->chkBriefACK->click();
    d->chkFlowBeforeACK->click();
    EXPECT_TRUE(gSettings.bPETSupport && gSettings.bFlowBeforeACK);
    EXPECT_FALSE(gSettings.bBriefACK);
    EXPECT_TRUE(modified());
    // Restore Defaults switches all three off
    d->cmdResetDefaults->click();
    EXPECT_FALSE(gSettings.bBriefACK || gSettings.bFlowBeforeACK || gSettings.bPETSupport);
}

TEST_F(AdvancedSettings, EachControlStoresItsSettingAndMarksTheChange)
{
    frmSettings *d = load();
    auto expectMarked = [this](const char *what) {
        EXPECT_TRUE(modified()) << what;
        unmark();
    };
    gRun.bNoModifiedStatus = true;  // not looked at by the settings dialogs
    d->chkCarrierDetect->click();
    EXPECT_TRUE(gSettings.bIgnoreRFCD);
    expectMarked("carrier detect");
    d->optCDPolarity[1]->click();
    EXPECT_TRUE(gSettings.bInvertRFCD);
    d->optDataPolarity[1]->click();
    EXPECT_TRUE(gSettings.bInvertData);
    expectMarked("polarity");
    d->chkPPHReset[1]->setChecked(false);
    EXPECT_FALSE(gSettings.bSerial2PPHReset);
    expectMarked("timed-paging reset");
    d->chkIncCapby8->click();
    EXPECT_TRUE(gSettings.bIncCapBy8);
    EXPECT_EQ(w->lblIncBy8->text(), "Increment Capcodes by 8 Mode is ON");
    expectMarked("increment by 8");
    d->chkIncCapby8->click();
    EXPECT_EQ(w->lblIncBy8->text(), "Increment Capcodes by 8 Mode is OFF");

    const QStringList values{"NONE", "HW", "SW", "AHW", "ASW"};
    for (int i : {0, 2, 3, 4, 1}) {
        d->optFlow1[i]->click();
        EXPECT_EQ(gSettings.sSerial1Flow, values[i]);
        EXPECT_EQ(stored("Serial1Flow"), values[i]);
        expectMarked("flow");
    }
    // port 2's options, reached only by code, store the same five values
    d->optFlow2_Click(3);  // not the selected one: only the mark
    EXPECT_EQ(stored("Serial2Flow"), "");
    expectMarked("flow 2");
    for (int i : {0, 2, 3, 4, 1}) {
        d->optFlow2[i]->setChecked(true);
        EXPECT_EQ(gSettings.sSerial2Flow, values[i]);
        EXPECT_EQ(stored("Serial2Flow"), values[i]);
    }

    // each keystroke in the two boxes, whatever it is
    QTest::keyClicks(d->txDutyCycle, "x");
    EXPECT_EQ(gSettings.sDutyCycle, "66x");
    expectMarked("duty");
    QTest::keyClicks(d->txtBatchQty, "0");
    EXPECT_EQ(gSettings.sMaxBatch, "100");
    expectMarked("batch");
}

TEST_F(AdvancedSettings, IDAsCapcodeWarnsAndFollowsBothPortsOnTheToolbar)
{
    gSettings.bSerial2IDAsCap = true;
    frmSettings *d = load();
    const QString text = lines({"When 'ID As Capcode' mode is enabled",
                                "the encoder ignores your pager family and pager group settings"});
    prompts.answer(Answer::OK);
    d->chkIDAsCap[0]->click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Pager Family and Group Settings Ignored");
    EXPECT_EQ(prompts.last().text, text);
    EXPECT_EQ(prompts.last().icon, Icon::None);
    EXPECT_EQ(prompts.last().buttons, Buttons::OK);
    EXPECT_TRUE(gSettings.bSerial1IDAsCap);
    EXPECT_EQ(stored("Serial1IDAsCap"), "1");
    EXPECT_EQ(w->lblIDAsCap->text(), "ID As Capcode Mode is ON for Port 1");
    EXPECT_FALSE(w->cmdLookup->isEnabled());
    EXPECT_FALSE(w->ToolbarButton(2)->isEnabled() || w->ToolbarButton(3)->isEnabled());
    EXPECT_TRUE(w->ToolbarButton(4)->isEnabled());
    EXPECT_TRUE(modified());

    unmark();
    d->chkIDAsCap[0]->click();
    EXPECT_FALSE(gSettings.bSerial1IDAsCap);
    EXPECT_EQ(stored("Serial1IDAsCap"), "0");
    EXPECT_EQ(w->lblIDAsCap->text(), "ID As Capcode Mode is OFF for Port 1");
    EXPECT_TRUE(familyAndGroupButtons());
    EXPECT_FALSE(w->cmdLookup->isEnabled());  // the change marks the configuration
    EXPECT_TRUE(modified());

    // port 1 alone leaves the families and groups usable
    gSettings.bSerial2IDAsCap = false;
    prompts.answer(Answer::OK);
    d->chkIDAsCap[0]->click();
    EXPECT_TRUE(familyAndGroupButtons());

    // port 2's box works on its own setting, key and no label
    w->lblIDAsCap->setText("unchanged");
    prompts.answer(Answer::OK);
    d->chkIDAsCap[1]->setChecked(false);
    d->chkIDAsCap[1]->setChecked(true);
    EXPECT_TRUE(gSettings.bSerial2IDAsCap);
    EXPECT_EQ(stored("Serial2IDAsCap"), "1");
    EXPECT_EQ(w->lblIDAsCap->text(), "unchanged");
    EXPECT_FALSE(familyAndGroupButtons());
    EXPECT_EQ(prompts.count(), 3);
}

TEST_F(AdvancedSettings, RestoreDefaultsOnAVersion8Encoder)
{
    gSettings.bSerial1IDAsCap = gSettings.bSerial2IDAsCap = true;
    gSettings.bSerial1PPHReset = gSettings.bSerial2PPHReset = false;
    gSettings.sSerial1Flow = "NONE";
    gSettings.sSerial2Flow = "ASW";
    gSettings.bIgnoreRFCD = gSettings.bInvertRFCD = gSettings.bInvertData = gSettings.bIncCapBy8 = true;
    gSettings.sDutyCycle = "20";
    gSettings.sMaxBatch = "5";
    gSettings.bBriefACK = gSettings.bFlowBeforeACK = gSettings.bPETSupport = true;
    w->ToolbarButton(2)->setEnabled(false);
    w->ToolbarButton(3)->setEnabled(false);
    frmSettings *d = load();
    d->cmdResetDefaults->click();
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_FALSE(gSettings.bSerial1IDAsCap || gSettings.bSerial2IDAsCap);
    EXPECT_EQ(stored("Serial1IDAsCap"), "0");
    EXPECT_EQ(stored("Serial2IDAsCap"), "0");
    EXPECT_TRUE(gSettings.bSerial1PPHReset && gSettings.bSerial2PPHReset);
    EXPECT_EQ(gSettings.sSerial1Flow, "HW");
    EXPECT_EQ(gSettings.sSerial2Flow, "HW");
    EXPECT_EQ(stored("Serial1Flow"), "HW");
    EXPECT_EQ(stored("Serial2Flow"), "HW");
    EXPECT_FALSE(gSettings.bIgnoreRFCD || gSettings.bInvertRFCD || gSettings.bInvertData);
    EXPECT_EQ(gSettings.sDutyCycle, "66");
    EXPECT_EQ(gSettings.sMaxBatch, "10");
    EXPECT_FALSE(gSettings.bIncCapBy8);
    EXPECT_EQ(w->lblIncBy8->text(), "Increment Capcodes by 8 Mode is OFF");
    EXPECT_EQ(w->lblIDAsCap->text(), "ID As Capcode Mode is OFF for Port 1");
    EXPECT_TRUE(familyAndGroupButtons());
    // version 7's options are left alone
    EXPECT_TRUE(gSettings.bBriefACK && gSettings.bFlowBeforeACK && gSettings.bPETSupport);
    EXPECT_TRUE(modified());
    EXPECT_TRUE(d->isVisible());

    // nothing left to change: still marked
    unmark();
    d->cmdResetDefaults->click();
    EXPECT_TRUE(modified());
}

TEST_F(AdvancedSettings, OKLimitsTheBatchWhileTheDutyCycleIsManaged)
{
    const QString limitText = QStringLiteral("When Duty Cycle Management Mode is Active\r"
                                             "The Max Msgs per Batch Cannot be Greater Than 32\r\r"
                                             "Max Msgs per Batch will be Changed to 32");
    for (const char *batch : {"33", "033", "40000"}) {
        load();
        prompts.clear();
        prompts.answer(Answer::OK);
        okWith("66", batch);
        ASSERT_EQ(prompts.count(), 1) << batch;
        EXPECT_EQ(prompts.last().title, "Max Msgs per Batch Too High");
        EXPECT_EQ(prompts.last().text, limitText);
        EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
        EXPECT_EQ(prompts.last().buttons, Buttons::OK);
        EXPECT_EQ(gSettings.sMaxBatch, "32");
        EXPECT_EQ(dlg->txtBatchQty->text(), "32");
        EXPECT_FALSE(dlg->isVisible()) << batch;
    }
    // accepted as they are
    const struct {
        const char *duty, *batch;
    } pass[] = {{"66", "32"}, {"66", "0"}, {"999", "5"}, {"0", "50"}, {"100", "50"}, {"00", "99"}};
    for (const auto &c : pass) {
        load();
        prompts.clear();
        okWith(c.duty, c.batch);
        EXPECT_EQ(prompts.count(), 0) << c.duty << "/" << c.batch;
        EXPECT_EQ(gSettings.sDutyCycle, c.duty);
        EXPECT_EQ(gSettings.sMaxBatch, c.batch);
        EXPECT_FALSE(dlg->isVisible());
    }
}

TEST_F(AdvancedSettings, OKRefusesWhatIsNotANumber)
{
    const QString text = lines({"Please Enter Numerical Values For", "Duty Cycle And Batch Quantity"});
    const struct {
        const char *duty, *batch;
        const char *dutyAfter, *batchAfter;
    } cases[] = {
        {"6x", "10", "", "10"},
        {"66", "1 0", "66", ""},
        {"66", "", "", ""},
        {"", "10", "", ""},
        {"-5", "10", "", "10"},
    };
    for (const auto &c : cases) {
        load();
        prompts.clear();
        prompts.answer(Answer::OK);
        okWith(c.duty, c.batch);
        SCOPED_TRACE(std::string(c.duty) + "/" + c.batch);
        ASSERT_EQ(prompts.count(), 1);
        EXPECT_EQ(prompts.last().title, "Invalid Values Detected");
        EXPECT_EQ(prompts.last().text, text);
        EXPECT_EQ(prompts.last().icon, Icon::Exclamation);
        EXPECT_EQ(dlg->txDutyCycle->text(), c.dutyAfter);
        EXPECT_EQ(dlg->txtBatchQty->text(), c.batchAfter);
        EXPECT_EQ(gSettings.sDutyCycle, c.dutyAfter);
        EXPECT_EQ(gSettings.sMaxBatch, c.batchAfter);
        EXPECT_TRUE(dlg->isVisible());
    }
}

TEST_F(AdvancedSettings, TheCloseBoxAndEscCheckAsOKDoesAndTheShutDownUnloadsIt)
{
    frmSettings *d = load();
    d->txtBatchQty->setText("abc");
    prompts.answer(Answer::OK);
    d->close();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Invalid Values Detected");
    EXPECT_EQ(prompts.last().text, lines({"Please Enter Numerical Values For", "Duty Cycle And Batch Quantity"}));
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(gSettings.sMaxBatch, "");
    EXPECT_EQ(gSettings.sDutyCycle, "66");

    QTest::keyClicks(d->txtBatchQty, "33");
    prompts.answer(Answer::OK);
    QTest::keyClick(d->txtBatchQty, Qt::Key_Escape);
    ASSERT_EQ(prompts.count(), 2);
    EXPECT_EQ(prompts.last().title, "Max Msgs per Batch Too High");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(gSettings.sMaxBatch, "32");

    // the shut-down keeps nothing: it checks nothing either
    bool ran = false;
    QTimer::singleShot(50, [&] {
        ran = forms::window("frmSettings") != nullptr;
        if (auto *open = qobject_cast<frmSettings *>(forms::window("frmSettings")))
            open->txtBatchQty->setText("abc");
        w->Form_Unload();
    });
    ShowAdvancedSettings(w);
    EXPECT_TRUE(ran);
    EXPECT_EQ(forms::window("frmSettings"), nullptr);
    EXPECT_EQ(prompts.count(), 2);
}
