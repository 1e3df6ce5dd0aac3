// The access-code dialog in front of the advanced settings: OK is enabled
// once the code has been typed, and opens what `sAccessMode` names.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class frmPassword : public QDialog {
    Q_OBJECT
public:
    explicit frmPassword(QWidget *parent = nullptr);

    QLabel *Label1;
    QLineEdit *txtName;
    QPushButton *cmdOK, *cmdCancel;

    void Form_Load();
    void txtName_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    // There is no close box: Cancel is the only way out without the code.
    void reject() override {}
    void closeEvent(QCloseEvent *e) override;

private:
    void unload();
    bool m_unloading = false;
};
