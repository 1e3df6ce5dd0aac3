// The COM port properties dialog: which port leads to the encoder and the
// serial settings the program starts with.
#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QPushButton;

class frmProperties : public QDialog {
    Q_OBJECT
public:
    explicit frmProperties(QWidget *parent = nullptr);

    QComboBox *cboPort;
    QGroupBox *Frame1;  // "Baud Rate"
    QComboBox *cboSpeed;
    QGroupBox *fraConnection;  // "Connection Preferences"
    QComboBox *cboDataBits;
    QComboBox *cboParity;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

    void Form_Load();
    void FillComProperties();
    void cmdOK_Click();
    void cmdCancel_Click();
};

// Fields of a settings text such as "9600,n,8,1" or "9600,n,8,1.5", read by
// their distance from its end; empty where the text is too short.
struct SettingsFields {
    QString speed;
    QString parity;  // one character
    QString dataBits;
};
SettingsFields SplitSettingsText(const QString &settings);

// Shows the dialog, modal; it unloads itself on OK or Cancel.
void ShowPortProperties();
