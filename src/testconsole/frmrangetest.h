// The range test's set-up dialog: base message, pager ID and cycle time.
// Start hides it (the running test keeps reading its base message); Cancel
// and the window frame close it.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class frmMessageTest;

class frmRangeTest : public QDialog {
    Q_OBJECT
public:
    explicit frmRangeTest(frmMessageTest *console);

    QLabel *lblIntro1, *lblIntro2;
    QLineEdit *txtBaseMsg, *txtPIN, *txtCycleTime;
    QPushButton *cmdStart, *cmdCancel;

    void Form_Load();
    void cmdStart_Click();
    void cmdCancel_Click();

    // Start was pressed and the run began.
    bool started() const { return m_started; }

    // The window frame's close acts as Cancel.
    void reject() override;

private:
    frmMessageTest *m_console;
    bool m_started = false;
};
