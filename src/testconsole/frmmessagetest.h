// The test console window: pager ID, message, function code and data rate,
// the Send button, the message archive, the communications log and the range
// test. While it is open the encoder listens on its paging input; closing it
// puts the encoder back into programming mode.
#pragma once

#include "paging/paginghost.h"
#include "platform/system.h"

#include <QDateTime>
#include <QDialog>
#include <QPointer>

class QAction;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class frmRangeTest;

class frmMessageTest : public QDialog, public PagingHost {
    Q_OBJECT
public:
    explicit frmMessageTest(QWidget *owner = nullptr);
    ~frmMessageTest() override;

    // ---- PagingHost ------------------------------------------------------
    QListWidget *logList() override { return lb_log; }
    platform::Timer *tickTimer() override { return &Timer1; }
    QString pagerIdText() const override;
    // Exit or the frame was chosen while a page waits for its answer (the
    // close then runs after it), or the closing has begun.
    bool closeRequested() const override { return m_closeAfterPage || m_unloaded; }

    // ---- controls --------------------------------------------------------
    QMenuBar *menuBar;
    QAction *mnuRangeTest, *mnuExit;
    QLabel *lblPIN, *Label7, *Label3, *lblMsgLen, *lblFC, *lblDataRate, *lblIDAsCap, *Label1, *Label2;
    QLineEdit *txtPIN;
    QPlainTextEdit *txtMessage;
    QRadioButton *optFC[4];
    QRadioButton *optDataRate[3];
    QButtonGroup *grpFC, *grpDataRate;
    QPushButton *cmdSendMsg, *cmdAdd, *cmdDelete, *cmdReplace;
    QCheckBox *Check1;
    QListWidget *lb_log, *lb_Archive;
    QStatusBar *StatusBar1;
    QLabel *StatusPanel1;
    platform::Timer Timer1{1000};
    platform::Timer Timer2{1000};

    // The range test's set-up dialog while it is loaded.
    frmRangeTest *rangeDialog() const { return m_range; }
    // Times the title bar was flashed by the range test's tick.
    int flashCount() const { return m_flashes; }
    // The closing has run (the window is on its way out).
    bool unloaded() const { return m_unloaded; }

    // ---- handlers --------------------------------------------------------
    void Form_Load();
    void cmdSendMsg_Click();
    void SendCurrentPage();
    void txtPIN_Change();
    void txtMessage_Change();
    void Check1_Click();
    void mnuExit_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void mnuRangeTest_Click();
    // message archive
    void LoadArchive();
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdReplace_Click();
    void lb_Archive_Click();

    // The message box as the engines receive it.
    QString messageText() const;
    void setMessageText(const QString &text);

    // Closes the window; the closing steps run once, whichever way it closes.
    void done(int r) override;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    friend class frmRangeTest;
    void Form_Unload();
    void setupForProtocol();
    QString functionCodeLetter() const;
    QString dataRateText() const;
    // The checks before anything is sent (Send, and the range test's Start):
    // the pager ID, with the console's own box after a refusal, then the
    // message. False also when the console closed meanwhile.
    bool checkPage(const QString &pagerId, const QString &message);
    void sendThroughEngine(bool fromSendButton);
    void rewriteArchive(bool *failed);
    void selectArchiveRow(int row);
    // range test
    void rangeStart();
    void rangeCancel();
    void rangeStop();
    void unloadRangeDialog();
    QString rangeBaseMessage() const;
    // The running test's work on one tick, each step returning at once: the
    // page that is due (sent when the link is free), or the countdown to it.
    void rangeStep();
    void sendRangePage();
    void armRangeTick();
    void rangeTick();

    QPointer<frmRangeTest> m_range;
    QString m_rangeBase;         // base message of the running test
    qint64 m_nextRangeMsg = 0;   // due second of the next page (seconds since the epoch)
    bool m_loaded = false;       // Form_Load has begun
    bool m_unloaded = false;     // the closing has run or runs
    bool m_closeAfterPage = false;
    // longest message the user may type: 251, or the length of a longer one
    // the program put in
    static constexpr int kTestMessageMaxLength = 251;
    qsizetype m_messageMax = kTestMessageMaxLength;
    int m_rangeRun = 0;          // counts the runs started; a page serves only its own run
    int16_t m_rangePage = 0;     // number of the run's latest page; 0 before its first
    bool m_rangeTickArmed = false;  // Timer1 runs for the range test's countdown
    int m_flashes = 0;
    bool m_flashState = false;
};
