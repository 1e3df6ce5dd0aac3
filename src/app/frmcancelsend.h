// The cancel box: one line naming the running operation and a Cancel button.
// It stops nothing itself: Cancel only sets bCancelRequested, which the
// running operation polls and answers by closing the box.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class frmCancelSend : public QDialog {
    Q_OBJECT
public:
    explicit frmCancelSend(QWidget *parent = nullptr);

    QLabel *Label1;
    QPushButton *Command1;

    // Shows the box modeless and activates it.
    void Show();

    void Command1_Click();
    void Form_Activate();
    void Form_Deactivate();

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;  // Esc presses Cancel and never closes the box
    void closeEvent(QCloseEvent *e) override;   // so does the close box; the operation closes it
};
