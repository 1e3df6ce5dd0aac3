#include "editors/frmsettings.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "editors/editorcommon.h"
#include "editors/editors.h"
#include "editors/settings_rules.h"
#include "platform/dialogs.h"
#include "platform/system.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kSection = QStringLiteral("Properties");

void changed() { EditorChanged(EditorKind::SettingsDialog); }

QCheckBox *checkBox(const QString &caption, const QString &name, QWidget *parent)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    return c;
}

QRadioButton *option(const QString &caption, const QString &name, QWidget *parent)
{
    auto *r = new QRadioButton(caption, parent);
    r->setObjectName(name);
    return r;
}

// Shows or hides a control and enables or disables it with it.
void showControl(QWidget *w, bool on)
{
    w->setVisible(on);
    w->setEnabled(on);
}

// Toolbar buttons 2 and 3: the pager families and pager groups editors.
void enableFamilyAndGroupButtons(bool on)
{
    if (frmTerminal *w = forms::terminal())
        for (int position : {2, 3})
            if (QAction *b = w->ToolbarButton(position))
                b->setEnabled(on);
}

}  // namespace

frmSettings::frmSettings(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral(" Encoder Advanced Settings"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, false);

    // ---- global settings
    fraGlobal = new QGroupBox(QStringLiteral("Global Settings"), this);
    fraCDPolarity = new QGroupBox(QStringLiteral("Carrier Detect Polarity"), fraGlobal);
    fraDataPolarity = new QGroupBox(QStringLiteral("Data Polarity"), fraGlobal);
    optCDPolarity[0] = option(QStringLiteral("0V = Carrier Detected (Default)"), QStringLiteral("optCDPolarity0"), fraCDPolarity);
    optCDPolarity[1] = option(QStringLiteral("5V = Carrier Detected"), QStringLiteral("optCDPolarity1"), fraCDPolarity);
    optDataPolarity[0] = option(QStringLiteral("Normal (Default)"), QStringLiteral("optDataPolarity0"), fraDataPolarity);
    optDataPolarity[1] = option(QStringLiteral("Reverse"), QStringLiteral("optDataPolarity1"), fraDataPolarity);
    auto *cdBox = new QVBoxLayout(fraCDPolarity);
    cdBox->addWidget(optCDPolarity[0]);
    cdBox->addWidget(optCDPolarity[1]);
    auto *dataBox = new QVBoxLayout(fraDataPolarity);
    dataBox->addWidget(optDataPolarity[0]);
    dataBox->addWidget(optDataPolarity[1]);

    lblDutyCycle = new QLabel(QStringLiteral("Transmitter Duty Cycle %"), fraGlobal);
    txDutyCycle = new QLineEdit(fraGlobal);
    txDutyCycle->setObjectName(QStringLiteral("txDutyCycle"));
    lblBatchQty = new QLabel(QStringLiteral("Max Msgs per Batch (1 to 32)"), fraGlobal);
    txtBatchQty = new QLineEdit(fraGlobal);
    txtBatchQty->setObjectName(QStringLiteral("txtBatchQty"));
    chkCarrierDetect = checkBox(QStringLiteral("Carrier Signal Detection"), QStringLiteral("chkCarrierDetect"), fraGlobal);
    chkCarrierDetect->setToolTip(QStringLiteral(" Toggles Detection of Clear Radio Channel Before Transmitting "));
    chkIncCapby8 = checkBox(QStringLiteral("Increment Capcodes by 8"), QStringLiteral("chkIncCapby8"), fraGlobal);

    auto *global = new QGridLayout(fraGlobal);
    global->addWidget(fraCDPolarity, 0, 0, 1, 2);
    global->addWidget(fraDataPolarity, 0, 2, 1, 2);
    global->addWidget(lblDutyCycle, 1, 0);
    global->addWidget(txDutyCycle, 1, 1);
    global->addWidget(lblBatchQty, 1, 2);
    global->addWidget(txtBatchQty, 1, 3);
    global->addWidget(chkCarrierDetect, 2, 0, 1, 2);
    global->addWidget(chkIncCapby8, 2, 2, 1, 2);

    // ---- per port
    const QString portCaption[2] = {QStringLiteral("Settings for Serial Port"),
                                    QStringLiteral("Settings for 2nd Serial Port")};
    for (int port = 0; port < 2; ++port) {
        fraPort[port] = new QGroupBox(portCaption[port], this);
        chkPPHReset[port] = checkBox(QStringLiteral("Serial Port Reset of Timed Paging"),
                                     QStringLiteral("chkPPHReset%1").arg(port), fraPort[port]);
        chkPPHReset[port]->setToolTip(QStringLiteral("Toggles timer being able to be reset by serial port activity"));
        chkIDAsCap[port] = checkBox(QStringLiteral("Assume Pager ID is Capcode"), QStringLiteral("chkIDAsCap%1").arg(port),
                                    fraPort[port]);
        chkIDAsCap[port]->setToolTip(QStringLiteral("Toggles use of ID as capcode, bypassing pager database"));
        fraFlow[port] = new QGroupBox(QStringLiteral("Flow Control"), fraPort[port]);
        QRadioButton **flow = port == 0 ? optFlow1 : optFlow2;
        auto *flowBox = new QVBoxLayout(fraFlow[port]);
        for (int i = 0; i < 5; ++i) {
            flow[i] = option(FlowOptionCaption(i), QStringLiteral("optFlow%1_%2").arg(port + 1).arg(i), fraFlow[port]);
            flowBox->addWidget(flow[i]);
        }
        auto *portBox = new QVBoxLayout(fraPort[port]);
        portBox->addWidget(chkPPHReset[port]);
        portBox->addWidget(chkIDAsCap[port]);
        portBox->addWidget(fraFlow[port]);
    }

    // the version 7 options take the place of port 1's flow control
    chkFlowBeforeACK = checkBox(QStringLiteral("Flow Control Before ACK Response"), QStringLiteral("chkFlowBeforeACK"), this);
    chkBriefACK = checkBox(QStringLiteral("<CR><ACK><CR> TAP Response"), QStringLiteral("chkBriefACK"), this);
    chkPET = checkBox(QStringLiteral("PET Support in TAP"), QStringLiteral("chkPET"), this);
    auto *portBox = static_cast<QVBoxLayout *>(fraPort[0]->layout());
    for (QCheckBox *c : {chkFlowBeforeACK, chkBriefACK, chkPET}) {
        portBox->addWidget(c);
        showControl(c, false);
    }
    // nothing shows port 2's frame
    showControl(fraPort[1], false);

    cmdResetDefaults = new QPushButton(QStringLiteral("Restore Defaults"), this);
    cmdResetDefaults->setObjectName(QStringLiteral("cmdResetDefaults"));
    cmdResetDefaults->setAutoDefault(false);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto *ports = new QHBoxLayout;
    ports->addWidget(fraPort[0]);
    ports->addWidget(fraPort[1]);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdResetDefaults);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    auto *top = new QVBoxLayout(this);
    top->addWidget(fraGlobal);
    top->addLayout(ports);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);
    // OK holds the first tab position: it has the focus when the dialog opens
    setTabOrder(cmdOK, txDutyCycle);
    cmdOK->setFocus();

    // ---- handlers
    connect(txDutyCycle, &QLineEdit::textChanged, this, &frmSettings::txDutyCycle_Change);
    connect(txtBatchQty, &QLineEdit::textChanged, this, &frmSettings::txtBatchQty_Change);
    connect(chkCarrierDetect, &QCheckBox::toggled, this, &frmSettings::chkCarrierDetect_Click);
    connect(chkIncCapby8, &QCheckBox::toggled, this, &frmSettings::chkIncCapby8_Click);
    connect(chkFlowBeforeACK, &QCheckBox::toggled, this, &frmSettings::chkFlowBeforeACK_Click);
    connect(chkBriefACK, &QCheckBox::toggled, this, &frmSettings::chkBriefACK_Click);
    connect(chkPET, &QCheckBox::toggled, this, &frmSettings::chkPET_Click);
    for (int i = 0; i < 2; ++i) {
        connect(optCDPolarity[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optCDPolarity_Click(i);
        });
        connect(optDataPolarity[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optDataPolarity_Click(i);
        });
        connect(chkPPHReset[i], &QCheckBox::toggled, this, [this, i] { chkPPHReset_Click(i); });
        connect(chkIDAsCap[i], &QCheckBox::toggled, this, [this, i] { chkIDAsCap_Click(i); });
    }
    for (int i = 0; i < 5; ++i) {
        connect(optFlow1[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optFlow1_Click(i);
        });
        connect(optFlow2[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optFlow2_Click(i);
        });
    }
    connect(cmdResetDefaults, &QPushButton::clicked, this, &frmSettings::cmdResetDefaults_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmSettings::cmdOK_Click);
}

void frmSettings::Form_Load()
{
    // the values the load puts in place of the ones it cannot show
    const ProgramMadeChange change;
    EncoderSettings &s = gSettings;
    gRun.bLoading = true;
    adjustSize();
    platform::CentreOnScreen(this);

    if (gRun.bV7Firmware) {
        // a version 7 encoder has one fixed input format
        s.sSerial1Baud = QStringLiteral("9600");
        s.sSerial1Databits = QStringLiteral("N81");
        s.sSerial1Protocol = QStringLiteral("TAP");
        s.bSerial1Verbose = true;
        showControl(chkIncCapby8, false);
        showControl(fraFlow[0], false);
        for (QCheckBox *c : {chkBriefACK, chkFlowBeforeACK, chkPET})
            showControl(c, true);
    }
    chkPET->setChecked(s.bPETSupport);
    chkBriefACK->setChecked(s.bBriefACK);
    chkFlowBeforeACK->setChecked(s.bFlowBeforeACK);

    // empty values fall back to their defaults without marking a change
    if (s.sDutyCycle.isEmpty())
        s.sDutyCycle = QStringLiteral("66");
    txDutyCycle->setText(s.sDutyCycle);
    if (s.sMaxBatch.isEmpty())
        s.sMaxBatch = QStringLiteral("10");
    txtBatchQty->setText(s.sMaxBatch);

    chkCarrierDetect->setChecked(!s.bIgnoreRFCD);
    if (!gRun.bV7Firmware)
        chkIncCapby8->setChecked(s.bIncCapBy8);
    chkPPHReset[0]->setChecked(s.bSerial1PPHReset);
    chkPPHReset[1]->setChecked(s.bSerial2PPHReset);
    optDataPolarity[s.bInvertData ? 1 : 0]->setChecked(true);
    chkIDAsCap[0]->setChecked(s.bSerial1IDAsCap);
    chkIDAsCap[1]->setChecked(s.bSerial2IDAsCap);
    optCDPolarity[s.bInvertRFCD ? 1 : 0]->setChecked(true);
    // a flow text that is none of the five values selects no option
    if (int i = FlowOptionIndex(s.sSerial1Flow); i >= 0)
        optFlow1[i]->setChecked(true);
    if (int i = FlowOptionIndex(s.sSerial2Flow); i >= 0)
        optFlow2[i]->setChecked(true);
    gRun.bLoading = false;
}

void frmSettings::txDutyCycle_Change()
{
    if (gRun.bLoading)
        return;
    gSettings.sDutyCycle = txDutyCycle->text();
    changed();
}

void frmSettings::txtBatchQty_Change()
{
    if (gRun.bLoading)
        return;
    gSettings.sMaxBatch = txtBatchQty->text();
    changed();
}

void frmSettings::chkCarrierDetect_Click()
{
    if (gRun.bLoading)
        return;
    // the box reads "detection on"; the setting says "ignore the carrier"
    gSettings.bIgnoreRFCD = !chkCarrierDetect->isChecked();
    changed();
}

void frmSettings::chkIncCapby8_Click()
{
    if (gRun.bLoading)
        return;
    gSettings.bIncCapBy8 = chkIncCapby8->isChecked();
    if (frmTerminal *w = forms::terminal())
        w->ShowIncBy8Label();
    ShowCapcodeStepInOpenEditors();
    changed();
}

void frmSettings::chkFlowBeforeACK_Click()
{
    if (gRun.bLoading)
        return;
    gSettings.bFlowBeforeACK = chkFlowBeforeACK->isChecked();
    changed();
}

void frmSettings::chkBriefACK_Click()
{
    if (gRun.bLoading)
        return;
    gSettings.bBriefACK = chkBriefACK->isChecked();
    changed();
}

void frmSettings::chkPET_Click()
{
    if (gRun.bLoading)
        return;
    gSettings.bPETSupport = chkPET->isChecked();
    changed();
}

void frmSettings::optCDPolarity_Click(int index)
{
    if (gRun.bLoading)
        return;
    gSettings.bInvertRFCD = index == 1;
    changed();
}

void frmSettings::optDataPolarity_Click(int index)
{
    if (gRun.bLoading)
        return;
    gSettings.bInvertData = index != 0;
    changed();
}

void frmSettings::chkPPHReset_Click(int index)
{
    if (gRun.bLoading)
        return;
    (index == 0 ? gSettings.bSerial1PPHReset : gSettings.bSerial2PPHReset) = chkPPHReset[index]->isChecked();
    changed();
}

void frmSettings::chkIDAsCap_Click(int index)
{
    if (gRun.bLoading)
        return;
    bool &setting = index == 0 ? gSettings.bSerial1IDAsCap : gSettings.bSerial2IDAsCap;
    const QString key = index == 0 ? QStringLiteral("Serial1IDAsCap") : QStringLiteral("Serial2IDAsCap");
    frmTerminal *w = forms::terminal();
    if (!chkIDAsCap[index]->isChecked()) {
        setting = false;
        platform::SaveSetting(kSection, key, QStringLiteral("0"));
        if (index == 0 && w)
            w->ShowIDAsCapLabel();
        enableFamilyAndGroupButtons(true);
    } else {
        setting = true;
        platform::SaveSetting(kSection, key, QStringLiteral("1"));
        if (index == 0 && w) {
            w->ShowIDAsCapLabel();
            w->cmdLookup->setEnabled(false);
        }
        platform::MsgBox(IDAsCapBoxText(), platform::Buttons::OK, platform::Icon::None, IDAsCapBoxTitle());
        // with both ports taking the pager ID as capcode, families and
        // groups have no effect
        if (gSettings.bSerial1IDAsCap && gSettings.bSerial2IDAsCap)
            enableFamilyAndGroupButtons(false);
    }
    changed();
}

void frmSettings::optFlow1_Click(int index)
{
    if (gRun.bLoading)
        return;
    if (optFlow1[index]->isChecked()) {
        platform::SaveSetting(kSection, QStringLiteral("Serial1Flow"), FlowOptionValue(index));
        gSettings.sSerial1Flow = FlowOptionValue(index);
    }
    changed();
}

void frmSettings::optFlow2_Click(int index)
{
    if (gRun.bLoading)
        return;
    if (optFlow2[index]->isChecked()) {
        platform::SaveSetting(kSection, QStringLiteral("Serial2Flow"), FlowOptionValue(index));
        gSettings.sSerial2Flow = FlowOptionValue(index);
    }
    changed();
}

void frmSettings::cmdResetDefaults_Click()
{
    // each control that changes runs its own handler
    for (int port = 0; port < 2; ++port) {
        chkIDAsCap[port]->setChecked(false);
        chkPPHReset[port]->setChecked(true);
    }
    optFlow1[1]->setChecked(true);
    optFlow2[1]->setChecked(true);
    chkCarrierDetect->setChecked(true);
    optCDPolarity[0]->setChecked(true);
    optDataPolarity[0]->setChecked(true);
    txDutyCycle->setText(QStringLiteral("66"));
    txtBatchQty->setText(QStringLiteral("10"));
    chkIncCapby8->setChecked(false);
    if (gRun.bV7Firmware)
        for (QCheckBox *c : {chkBriefACK, chkFlowBeforeACK, chkPET})
            c->setChecked(false);
    changed();
}

void frmSettings::cmdOK_Click()
{
    if (valuesAccepted())
        accept();
}

void frmSettings::reject()
{
    // the close box and Esc keep what the boxes hold, so they check it as OK
    // does; the shut-down keeps nothing and checks nothing
    if (!gRun.bExiting && !valuesAccepted())
        return;
    QDialog::reject();
}

bool frmSettings::valuesAccepted()
{
    const ProgramMadeChange change;
    auto invalidValues = [] {
        platform::MsgBox(InvalidValuesBoxText(), platform::Buttons::OK, platform::Icon::Exclamation,
                         InvalidValuesBoxTitle());
    };
    switch (CheckAdvancedValues(txDutyCycle->text(), txtBatchQty->text())) {
    case AdvancedValuesVerdict::EmptyValue:
        invalidValues();
        txDutyCycle->clear();
        txtBatchQty->clear();
        return false;
    case AdvancedValuesVerdict::BadDutyCycle:
        invalidValues();
        txDutyCycle->clear();
        return false;
    case AdvancedValuesVerdict::BadBatch:
        invalidValues();
        txtBatchQty->clear();
        return false;
    case AdvancedValuesVerdict::BatchTooHigh:
        txtBatchQty->setText(QString::number(kMaxManagedBatch));
        platform::MsgBox(BatchLimitBoxText(), platform::Buttons::OK, platform::Icon::Exclamation, BatchLimitBoxTitle());
        return true;
    case AdvancedValuesVerdict::Accept:
        return true;
    }
    return true;
}

void ShowAdvancedSettings(QWidget *owner)
{
    QPointer<frmSettings> dlg = new frmSettings(owner);
    forms::registerWindow("frmSettings", dlg);
    dlg->Form_Load();
    platform::ExecModal(dlg);
    if (dlg) {
        forms::unloadWindow("frmSettings");
        delete dlg.data();
    }
}
