// Transmitter tuning: three buttons make the encoder put out a modulated
// test signal at 512, 1200 or 2400 bit/s; closing restarts the encoder and
// returns it to programming mode.
#pragma once

#include <QDialog>

class QAction;
class QLabel;
class QMenuBar;
class QPushButton;

class frmTXTune : public QDialog {
    Q_OBJECT
public:
    explicit frmTXTune(QWidget *owner = nullptr);
    ~frmTXTune() override;

    QMenuBar *menuBar;
    QAction *mnuExit;
    QLabel *lblInfo;
    QPushButton *cmd512, *cmd1200, *cmd2400;

    void Form_Load();
    void cmd512_Click() { sendTest(QStringLiteral("TEST512")); }
    void cmd1200_Click() { sendTest(QStringLiteral("TEST1200")); }
    void cmd2400_Click() { sendTest(QStringLiteral("TEST2400")); }
    void mnuExit_Click() { close(); }

    // Closes the window; the closing steps run once, whichever way it closes.
    void done(int r) override;

private:
    void sendTest(const QString &command);
    void Form_Unload();
    bool m_unloaded = false;
};
