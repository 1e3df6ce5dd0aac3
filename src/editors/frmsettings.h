// The advanced encoder settings dialog: duty cycle, batch size, polarities,
// carrier detection, capcode increment, and per serial port the timed-paging
// reset, ID as capcode and flow control; on a version 7 encoder also that
// family's three TAP options. Every change is stored at once; OK checks the
// two numbers.
#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmSettings : public QDialog {
    Q_OBJECT
public:
    explicit frmSettings(QWidget *parent = nullptr);

    QGroupBox *fraGlobal, *fraCDPolarity, *fraDataPolarity;
    QGroupBox *fraPort[2];  // "Settings for Serial Port", "Settings for 2nd Serial Port"
    QGroupBox *fraFlow[2];  // "Flow Control" of each port
    QLabel *lblDutyCycle, *lblBatchQty;
    QLineEdit *txDutyCycle, *txtBatchQty;
    QRadioButton *optCDPolarity[2], *optDataPolarity[2];
    QCheckBox *chkCarrierDetect, *chkIncCapby8;
    QCheckBox *chkPPHReset[2], *chkIDAsCap[2];
    QRadioButton *optFlow1[5], *optFlow2[5];
    QCheckBox *chkFlowBeforeACK, *chkBriefACK, *chkPET;  // version 7 only
    QPushButton *cmdResetDefaults, *cmdOK;

    void Form_Load();
    void txDutyCycle_Change();
    void txtBatchQty_Change();
    void chkCarrierDetect_Click();
    void chkIncCapby8_Click();
    void chkFlowBeforeACK_Click();
    void chkBriefACK_Click();
    void chkPET_Click();
    void optCDPolarity_Click(int index);
    void optDataPolarity_Click(int index);
    void chkPPHReset_Click(int index);
    void chkIDAsCap_Click(int index);
    void optFlow1_Click(int index);
    void optFlow2_Click(int index);
    void cmdResetDefaults_Click();
    void cmdOK_Click();

public slots:
    // The close box and Esc.
    void reject() override;

private:
    // OK's checks of the two numbers, with their boxes; false when the
    // dialog is to stay open.
    bool valuesAccepted();
};

// Shows the dialog modally, owned by `owner`; it is unloaded when it closes.
void ShowAdvancedSettings(QWidget *owner);
