// The encoder serial port settings dialog: per serial input port the
// protocol, speed, character format and answer mode. Only port 1 is shown;
// port 2's controls are filled and read like port 1's but stay hidden.
// Every pick is stored in the settings block at once.
#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class frmSettings_Main : public QDialog {
    Q_OBJECT
public:
    explicit frmSettings_Main(QWidget *parent = nullptr);

    // index 0: port 1, index 1: port 2
    QGroupBox *Frame1, *Frame2;  // protocol frames
    QGroupBox *Frame4, *Frame5;  // settings frames
    QRadioButton *opt1Protocol[7], *opt2Protocol[7];
    QRadioButton *opt1Verbose[2], *opt2Verbose[2];
    QGroupBox *Frame3[2];         // "Baud Rate"
    QComboBox *cboSpeed[2];
    QGroupBox *fraConnection[2];  // "Connection Preferences"
    QLabel *Label3[2];
    QComboBox *cboDataBits[2];
    QLabel *Label4[2];
    QComboBox *cboParity[2];
    QPushButton *cmdDefault, *cmdOK, *cmdSettings;

    void Form_Load();
    void cboSpeed_Click(int index);
    void cboDataBits_Click(int index);
    void cboParity_Click(int index);
    void opt1Protocol_Click(int index);
    void opt1Verbose_Click(int index);
    void cmdDefault_Click();
    void cmdOK_Click();
    void cmdSettings_Click();

public slots:
    // The close box and Esc.
    void reject() override;

private:
    void loadFailed(const QString &description);
    // OK's rebuild of both ports' character formats from their lists.
    void storeFormats();
};
