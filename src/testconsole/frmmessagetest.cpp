#include "testconsole/frmmessagetest.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "app/portbusy.h"
#include "database/state.h"
#include "transfer/matchclaim.h"
#include "link/encoderlink.h"
#include "paging/commlog.h"
#include "paging/validatepagerid.h"
#include "platform/dialogs.h"
#include "testconsole/encodermode.h"
#include "testconsole/frmrangetest.h"
#include "testconsole/testconsole.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

using namespace testconsole;
using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {
qint64 NowSecs() { return QDateTime::currentSecsSinceEpoch(); }
}  // namespace

frmMessageTest::frmMessageTest(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmMessageTest"));
    setWindowTitle(QStringLiteral("Paging Encoder Test"));
    setModal(true);

    auto *outer = new QVBoxLayout(this);
    menuBar = new QMenuBar(this);
    mnuRangeTest = menuBar->addAction(QStringLiteral("Start Range &Test"));
    mnuRangeTest->setObjectName(QStringLiteral("mnuRangeTest"));
    mnuExit = menuBar->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    outer->setMenuBar(menuBar);

    auto *body = new QHBoxLayout;
    outer->addLayout(body);

    // ---- the page ----
    auto *left = new QGridLayout;
    body->addLayout(left, 3);
    lblPIN = new QLabel(QStringLiteral("Pager ID:"), this);
    txtPIN = new QLineEdit(this);
    txtPIN->setMaxLength(10);
    left->addWidget(lblPIN, 0, 0);
    left->addWidget(txtPIN, 0, 1);
    lblIDAsCap = new QLabel(QStringLiteral("ID As Capcode Mode is OFF for port 1"), this);
    left->addWidget(lblIDAsCap, 1, 0, 1, 2);
    Label7 = new QLabel(QStringLiteral("Pager Message:"), this);
    left->addWidget(Label7, 2, 0, 1, 2);
    Label3 = new QLabel(QStringLiteral("Message:"), this);
    txtMessage = new QPlainTextEdit(this);
    txtMessage->setTabChangesFocus(true);
    txtMessage->installEventFilter(this);
    left->addWidget(Label3, 3, 0, Qt::AlignTop);
    left->addWidget(txtMessage, 3, 1);
    lblMsgLen = new QLabel(QStringLiteral("Message Length:"), this);
    left->addWidget(lblMsgLen, 4, 1);

    lblFC = new QLabel(QStringLiteral("Function Code:"), this);
    auto *fcRow = new QHBoxLayout;
    grpFC = new QButtonGroup(this);
    const char *const letters[] = {"A", "B", "C", "D"};
    for (int i = 0; i < 4; ++i) {
        optFC[i] = new QRadioButton(QString::fromLatin1(letters[i]), this);
        grpFC->addButton(optFC[i], i);
        fcRow->addWidget(optFC[i]);
    }
    left->addWidget(lblFC, 5, 0);
    left->addLayout(fcRow, 5, 1);

    lblDataRate = new QLabel(QStringLiteral("RF Data Rate:"), this);
    auto *rateRow = new QHBoxLayout;
    grpDataRate = new QButtonGroup(this);
    const char *const rates[] = {"512", "1200", "2400"};
    for (int i = 0; i < 3; ++i) {
        optDataRate[i] = new QRadioButton(QString::fromLatin1(rates[i]), this);
        grpDataRate->addButton(optDataRate[i], i);
        rateRow->addWidget(optDataRate[i]);
    }
    left->addWidget(lblDataRate, 6, 0);
    left->addLayout(rateRow, 6, 1);

    auto *sendRow = new QHBoxLayout;
    cmdSendMsg = new QPushButton(QStringLiteral("&Send"), this);
    cmdSendMsg->setAutoDefault(false);
    Check1 = new QCheckBox(QStringLiteral("Log to File"), this);
    sendRow->addWidget(cmdSendMsg);
    sendRow->addWidget(Check1);
    left->addLayout(sendRow, 7, 0, 1, 2);

    Label1 = new QLabel(QStringLiteral("COM Port Log"), this);
    lb_log = new QListWidget(this);
    left->addWidget(Label1, 8, 0, 1, 2);
    left->addWidget(lb_log, 9, 0, 1, 2);

    // ---- the archive ----
    auto *right = new QVBoxLayout;
    body->addLayout(right, 2);
    Label2 = new QLabel(QStringLiteral("Message Archive"), this);
    lb_Archive = new QListWidget(this);
    right->addWidget(Label2);
    right->addWidget(lb_Archive);
    auto *archiveButtons = new QHBoxLayout;
    cmdAdd = new QPushButton(QStringLiteral("&Add"), this);
    cmdDelete = new QPushButton(QStringLiteral("&Delete"), this);
    cmdReplace = new QPushButton(QStringLiteral("&Replace"), this);
    for (QPushButton *b : {cmdAdd, cmdDelete, cmdReplace}) {
        b->setAutoDefault(false);
        archiveButtons->addWidget(b);
    }
    right->addLayout(archiveButtons);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel1 = new QLabel(this);
    StatusBar1->addWidget(StatusPanel1, 1);
    outer->addWidget(StatusBar1);

    connect(mnuRangeTest, &QAction::triggered, this, &frmMessageTest::mnuRangeTest_Click);
    connect(mnuExit, &QAction::triggered, this, &frmMessageTest::mnuExit_Click);
    connect(txtPIN, &QLineEdit::textChanged, this, &frmMessageTest::txtPIN_Change);
    connect(txtMessage, &QPlainTextEdit::textChanged, this, &frmMessageTest::txtMessage_Change);
    connect(cmdSendMsg, &QPushButton::clicked, this, &frmMessageTest::cmdSendMsg_Click);
    // ticked or cleared by any means (mouse, keyboard, accessibility): the
    // box's own change of state is what acts
    connect(Check1, &QCheckBox::toggled, this, &frmMessageTest::Check1_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmMessageTest::cmdAdd_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmMessageTest::cmdDelete_Click);
    connect(cmdReplace, &QPushButton::clicked, this, &frmMessageTest::cmdReplace_Click);
    connect(lb_Archive, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            lb_Archive_Click();
    });
    // a click on the entry already selected copies it again (the message
    // box may have been edited since)
    connect(lb_Archive, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (item && item == lb_Archive->currentItem() && messageText() != item->text())
            lb_Archive_Click();
    });
    connect(&Timer1, &platform::Timer::fired, this, &frmMessageTest::Timer1_Timer);
    connect(&Timer2, &platform::Timer::fired, this, &frmMessageTest::Timer2_Timer);

    forms::registerWindow("frmMessageTest", this);
    SetPagingHost(this);
}

frmMessageTest::~frmMessageTest()
{
    // unloading without the window having been closed (the main window's
    // shut-down, the port's close path) runs the closing all the same
    if (m_loaded)
        Form_Unload();
    if (CurrentPagingHost() == static_cast<PagingHost *>(this))
        SetPagingHost(nullptr);
}

QString frmMessageTest::pagerIdText() const { return txtPIN->text(); }

QString frmMessageTest::messageText() const { return txtMessage->toPlainText(); }

void frmMessageTest::setMessageText(const QString &text)
{
    // the program's text (an archive entry, a range-test page) is kept whole
    m_messageMax = std::max<qsizetype>(kTestMessageMaxLength, text.size());
    txtMessage->setPlainText(text);
}

QString frmMessageTest::functionCodeLetter() const { return FunctionCodeLetter(grpFC->checkedId()); }

QString frmMessageTest::dataRateText() const { return DataRateText(grpDataRate->checkedId()); }

// ---- loading ---------------------------------------------------------------

void frmMessageTest::Form_Load()
{
    m_loaded = true;
    platform::SetHourglass();
    adjustSize();
    platform::CentreOnScreen(this);
    mnuRangeTest->setEnabled(false);
    cmdSendMsg->setEnabled(false);
    LoadArchive();

    if (gLink) {
        platform::SerialPort &port = gLink->MSComm1;
        if (!port.PortOpen())
            port.setPortOpen(true);
        // the encoder leaves programming mode for its paging input
        const QString settings = EnterPagingMode();
        platform::SetDefaultPointer();
        StatusPanel1->setText(ProtocolStatusText(gSettings.sSerial1Protocol, settings));
    } else {
        platform::SetDefaultPointer();
    }

    optFC[3]->setChecked(true);
    lblIDAsCap->setText(IDAsCapText(gSettings.bSerial1IDAsCap));
    {
        // a log file stays open from one opening to the next: the box shows it
        const QSignalBlocker block(Check1);
        Check1->setChecked(iLogFileNum != 0);
    }
    setupForProtocol();
    platform::SetDefaultPointer();
}

void frmMessageTest::setupForProtocol()
{
    const QString protocol = gSettings.sSerial1Protocol;
    const Engine engine = EngineForProtocol(protocol);
    if (engine == Engine::None)
        return;
    const QString idOrCapcode =
        gSettings.bSerial1IDAsCap ? QStringLiteral("Pager Capcode:") : QStringLiteral("Pager ID:");
    const bool takesFC = engine != Engine::TAP && engine != Engine::Comp1;
    const bool takesRate = engine == Engine::Quorvane || engine == Engine::Scope;

    lblFC->setVisible(takesFC);
    for (QRadioButton *b : optFC)
        b->setEnabled(takesFC);
    if (takesFC)
        optFC[3]->setChecked(true);
    for (QRadioButton *b : optDataRate)
        b->setEnabled(takesRate);
    if (takesRate)
        optDataRate[0]->setChecked(true);

    switch (engine) {
    case Engine::TAP:
    case Engine::Comp2:
        lblPIN->setText(idOrCapcode);
        break;
    case Engine::Quorvane:
    case Engine::Scope:
        lblPIN->setText(QStringLiteral("Pager Capcode:"));
        break;
    case Engine::SNPP:
        lblPIN->setText(QStringLiteral("Pager ID:"));
        break;
    case Engine::Comp1:
    case Engine::None:
        break;
    }

    if (engine != Engine::Comp1) {
        txtPIN->setEnabled(true);
        txtPIN->clear();
        return;
    }

    // COMP1 pages port 1's default pager: the first pager ID of group 1
    bool defined = false;
    const QString id = Comp1PagerID(gDb.Groups[0][grpPagerID1], &defined);
    if (!defined) {
        platform::MsgBox(QStringLiteral("COMP1 Protocol Requires a Default Pager Assignment\r"
                                        "The First Pager ID in the First Pager Group is Used as the Default Pager ID\r"
                                        "The Protocol has been set to TAP"),
                         Buttons::OK, Icon::None, QStringLiteral("COMP1 Pager ID Not Defined"));
        {
            // the encoder keeps its COMP1 port: the view no longer shows it
            const ProgramMadeChange change;
            gSettings.sSerial1Protocol = QStringLiteral("TAP");
        }
        done(QDialog::Rejected);
        return;
    }
    txtPIN->setText(id);
    txtPIN->setEnabled(false);
}

// ---- typing ----------------------------------------------------------------

void frmMessageTest::txtPIN_Change()
{
    if (!txtPIN->text().isEmpty()) {
        mnuRangeTest->setEnabled(true);
        if (!messageText().isEmpty())
            cmdSendMsg->setEnabled(true);
    } else {
        mnuRangeTest->setEnabled(false);
        cmdSendMsg->setEnabled(false);
    }
}

void frmMessageTest::txtMessage_Change()
{
    QString text = messageText();
    if (text.size() > m_messageMax) {
        // a paste beyond the limit keeps its first characters
        const QSignalBlocker block(txtMessage);
        text.truncate(m_messageMax);
        txtMessage->setPlainText(text);
        QTextCursor c = txtMessage->textCursor();
        c.movePosition(QTextCursor::End);
        txtMessage->setTextCursor(c);
    }
    lblMsgLen->setText(QStringLiteral("Message Length: ") + QString::number(text.size()));
    cmdSendMsg->setEnabled(!text.isEmpty());
}

bool frmMessageTest::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == txtMessage && e->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
            return true;  // Enter neither breaks the line nor sends
    }
    return QDialog::eventFilter(watched, e);
}

void frmMessageTest::keyPressEvent(QKeyEvent *e)
{
    // Esc and Enter do not close the console; only Exit and the frame do
    if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

// ---- sending ---------------------------------------------------------------

void frmMessageTest::cmdSendMsg_Click()
{
    if (m_unloaded)
        return;
    if (gRun.bRangeTestRunning) {
        mnuRangeTest_Click();
        return;
    }
    // one exchange on the link at a time: a click during a send is ignored
    if (PageInProgress())
        return;
    // a stopped range test whose last tick is still to come ends now: that
    // tick would cut the page's reply wait short
    if (m_rangeTickArmed) {
        Timer1.setEnabled(false);
        rangeTick();
    }
    if (gLink)
        gLink->Timer2.setInterval(10000);
    if (!checkPage(txtPIN->text(), messageText()))
        return;
    sendThroughEngine(true);
}

bool frmMessageTest::checkPage(const QString &pagerId, const QString &message)
{
    QPointer<frmMessageTest> self = this;
    // the check handles window messages: the console may close meanwhile,
    // and then neither its box nor a page may follow
    if (!ValidatePagerIDText(pagerId)) {
        if (!self || m_unloaded)
            return false;
        platform::MsgBox(QStringLiteral("Pager ID Value is Invalid"), Buttons::OK, Icon::None,
                         QStringLiteral("Invalid PIN"));
        platform::SetDefaultPointer();
        return false;
    }
    if (!self || m_unloaded)
        return false;
    return ValidateMessageText(message);
}

void frmMessageTest::SendCurrentPage()
{
    if (m_unloaded || PageInProgress())
        return;
    sendThroughEngine(false);
}

void frmMessageTest::sendThroughEngine(bool fromSendButton)
{
    const Page page{PagerIDAsSent(txtPIN->text()), messageText(), functionCodeLetter(), dataRateText()};
    const EngineCall call =
        PlanPage(gSettings.sSerial1Protocol, page, fromSendButton ? Caller::SendButton : Caller::RangeTest);
    QPointer<frmMessageTest> self = this;
    try {
        SendPlannedPage(call);
    } catch (...) {
        // a failure inside a sender ends that page; the console stays usable
    }
    if (!self)
        return;
    // a close asked for during the send runs now that the link is free
    if (m_closeAfterPage) {
        m_closeAfterPage = false;
        done(QDialog::Rejected);
    }
}

// ---- log file --------------------------------------------------------------

void frmMessageTest::Check1_Click()
{
    if (Check1->isChecked()) {
        QPointer<frmMessageTest> self = this;
        OpenCommLogFile();
        // the box shows whether a log file is open: after a cancelled or
        // failed opening it is cleared, and nothing is closed a second time
        if (self && iLogFileNum == 0) {
            const QSignalBlocker block(Check1);
            Check1->setChecked(false);
        }
    } else {
        CloseCommLogFile();
    }
}

// ---- ticks -----------------------------------------------------------------

void frmMessageTest::Timer1_Timer()
{
    gWait.bTimer1Expired = true;
    Timer1.setEnabled(false);
    if (gRun.bRangeTestRunning) {
        // the title bar changes state at every tick of a range test
        m_flashState = !m_flashState;
        ++m_flashes;
        QApplication::alert(this, 500);
    }
    if (m_rangeTickArmed)
        rangeTick();
}

// ---- closing ---------------------------------------------------------------

void frmMessageTest::mnuExit_Click()
{
    if (gRun.bRangeTestRunning)
        mnuRangeTest_Click();
    close();
}

void frmMessageTest::done(int r)
{
    // a close asked while the closing waits on the encoder does nothing: the
    // window stays up, and modal, until the closing has ended
    if (ClosingWaits(this))
        return;
    if (m_unloaded) {
        // the closing has run: just let the window go
        if (!m_closeAfterPage)
            QDialog::done(r);
        return;
    }
    if (PageInProgress() && m_loaded) {
        // the encoder is still answering a page: close once its answer (or
        // the sender's own time-out) is in the log
        m_closeAfterPage = true;
        return;
    }
    QPointer<frmMessageTest> self = this;
    Form_Unload();
    if (self)
        QDialog::done(r);
}

void frmMessageTest::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    const ClosingWaitGuard waits(this);
    QPointer<frmMessageTest> self = this;
    platform::SetHourglass();
    // the encoder goes back into programming mode
    ReturnToProgrammingMode();
    if (gLink && gLink->MSComm1.PortOpen()) {
        if (frmTerminal *w = forms::terminal()) {
            w->mnuTest->setEnabled(true);
            w->mnuTest->menuAction()->setEnabled(true);
        }
    }
    // the range test ends with the console
    gRun.bRangeTestRunning = false;
    bMsgTestClosed = true;
    if (self) {
        mnuRangeTest->setText(QStringLiteral("Start &Range Test"));
        unloadRangeDialog();
        m_rangeTickArmed = false;
        Timer1.setEnabled(false);
        Timer2.setEnabled(false);
        cmdSendMsg->setEnabled(true);
    }
    if (CurrentPagingHost() == static_cast<PagingHost *>(this))
        SetPagingHost(nullptr);
    platform::SetDefaultPointer();
}

// ---- message archive -------------------------------------------------------

void frmMessageTest::LoadArchive()
{
    const QStringList entries = ReadArchiveFile(MessageArchiveReadPath());
    const QSignalBlocker block(lb_Archive);
    lb_Archive->addItems(entries);
}

void frmMessageTest::selectArchiveRow(int row)
{
    const QSignalBlocker block(lb_Archive);
    lb_Archive->setCurrentRow(row);
}

void frmMessageTest::rewriteArchive(bool *failed)
{
    QStringList entries;
    for (int i = 0; i < lb_Archive->count(); ++i)
        entries << lb_Archive->item(i)->text();
    QString error;
    *failed = !WriteArchiveFile(MessageArchivePath(), entries, &error);
    if (*failed) {
        platform::MsgBox(error, Buttons::OK, Icon::Exclamation, platform::AppTitle());
        platform::SetDefaultPointer();
    }
}

// A message the archive file cannot hold, or one that could not be sent
// from it (a line break would also come back as two entries), is refused
// before the list or the file changes.
static bool refusedByArchive(const QString &text)
{
    const QString problem = ArchiveStoreProblem(text);
    if (problem.isEmpty())
        return !ValidateMessageText(text);
    platform::MsgBox(problem, Buttons::OK, Icon::Exclamation, platform::AppTitle());
    return true;
}

void frmMessageTest::cmdAdd_Click()
{
    const QString text = messageText();
    if (text.isEmpty() || refusedByArchive(text))
        return;
    bArchiveBusy = true;
    for (int i = 0; i < lb_Archive->count(); ++i) {
        if (lb_Archive->item(i)->text() == text) {
            selectArchiveRow(i);
            bArchiveBusy = false;
            return;
        }
    }
    lb_Archive->addItem(text);
    if (lb_Archive->count() > kArchiveMaxEntries)
        delete lb_Archive->takeItem(lb_Archive->count() - 1);
    bool failed = false;
    rewriteArchive(&failed);
    if (!failed)
        selectArchiveRow(lb_Archive->count() - 1);
    bArchiveBusy = false;
}

void frmMessageTest::cmdDelete_Click()
{
    const int row = lb_Archive->currentRow();
    if (row < 0)
        return;
    if (platform::MsgBox(QStringLiteral("Are you sure you want to delete the selected item?"), Buttons::YesNo,
                         Icon::None, QStringLiteral("Verify")) != Answer::Yes)
        return;
    {
        const QSignalBlocker block(lb_Archive);
        delete lb_Archive->takeItem(row);
    }
    bool failed = false;
    rewriteArchive(&failed);
    selectArchiveRow(-1);
    lb_Archive->clearSelection();
}

void frmMessageTest::cmdReplace_Click()
{
    const int row = lb_Archive->currentRow();
    const QString text = messageText();
    if (row < 0 || text.isEmpty() || refusedByArchive(text))
        return;
    bArchiveBusy = true;
    for (int i = 0; i < lb_Archive->count(); ++i) {
        if (lb_Archive->item(i)->text() == text) {
            selectArchiveRow(i);
            bArchiveBusy = false;
            return;
        }
    }
    if (platform::MsgBox(QStringLiteral("Are You Sure You Want to Replace the Selected Item?"), Buttons::YesNo,
                         Icon::None, QStringLiteral("Verify")) != Answer::Yes) {
        bArchiveBusy = false;
        selectArchiveRow(row);
        return;
    }
    int replaced = row;
    {
        const QSignalBlocker block(lb_Archive);
        delete lb_Archive->takeItem(replaced);
        lb_Archive->insertItem(replaced, text);
        const int drop = ArchiveEntryToDropAfterReplace(lb_Archive->count(), replaced);
        if (drop >= 0) {
            delete lb_Archive->takeItem(drop);
            if (drop < replaced)
                --replaced;
        }
    }
    bArchiveBusy = false;
    selectArchiveRow(replaced);
    lb_Archive_Click();
    bool failed = false;
    rewriteArchive(&failed);
}

void frmMessageTest::lb_Archive_Click()
{
    if (bArchiveBusy)
        return;
    QListWidgetItem *item = lb_Archive->currentItem();
    if (!item)
        return;
    // an entry that could not be sent stays out of the message box
    if (item->text() != messageText() && !ValidateMessageText(item->text()))
        return;
    setMessageText(item->text());
    if (!txtPIN->text().isEmpty() && gLink && gLink->MSComm1.PortOpen())
        mnuRangeTest->setEnabled(true);
}

// ---- range test ------------------------------------------------------------

void frmMessageTest::mnuRangeTest_Click()
{
    if (gRun.bRangeTestRunning) {
        rangeStop();
        return;
    }
    if (m_unloaded || m_range)
        return;
    cmdSendMsg->setText(QStringLiteral("&Stop"));
    Timer2.setEnabled(true);
    QPointer<frmMessageTest> self = this;
    m_range = new frmRangeTest(this);
    m_range->Form_Load();
    QPointer<frmRangeTest> dialog = m_range;
    platform::ExecModal(dialog);
    bMsgTestClosed = false;
    if (!self)
        return;
    // Cancel (or the frame) closes the dialog; Start only hides it
    if (dialog && !dialog->started())
        unloadRangeDialog();
}

void frmMessageTest::rangeStart()
{
    txtPIN->setText(m_range->txtPIN->text());
    mnuRangeTest->setText(QStringLiteral("Stop &Range Test"));
    gRun.bRangeTestRunning = true;
    ++m_rangeRun;
    m_rangeBase = m_range->txtBaseMsg->text();
    setWindowTitle(RangeCountdownCaption(gRun.sBrand, iRangeCycleSecs));
    m_nextRangeMsg = NowSecs() + iRangeCycleSecs;
    m_rangePage = 0;
    // the last tick of a run stopped during its countdown goes with that run
    if (m_rangeTickArmed) {
        m_rangeTickArmed = false;
        Timer1.setEnabled(false);
    }
    // The first page goes out on Timer2's tick; the console's tick runs only
    // from that page's end on. Armed now, it would come while that page (or
    // one still under way) waits for its answer, and end the wait.
    Timer2.setEnabled(true);
}

void frmMessageTest::rangeCancel()
{
    cmdSendMsg->setEnabled(true);
    cmdSendMsg->setText(QStringLiteral("&Send"));
    if (m_range)
        m_range->QDialog::done(QDialog::Rejected);
}

void frmMessageTest::rangeStop()
{
    gRun.bRangeTestRunning = false;
    cmdSendMsg->setText(QStringLiteral("&Send"));
    setMessageText(rangeBaseMessage());
    mnuRangeTest->setText(QStringLiteral("Start &Range Test"));
    unloadRangeDialog();
    // a run still held before its first page has no tick to come: it ends here
    if (m_rangePage == 0) {
        Timer2.setEnabled(false);
        setWindowTitle(PagingTestCaption(gRun.sBrand));
    }
}

void frmMessageTest::unloadRangeDialog()
{
    if (!m_range)
        return;
    m_rangeBase = m_range->txtBaseMsg->text();
    frmRangeTest *dialog = m_range;
    m_range = nullptr;
    if (dialog->isVisible())
        dialog->QDialog::done(QDialog::Rejected);
    dialog->deleteLater();
}

QString frmMessageTest::rangeBaseMessage() const { return m_range ? m_range->txtBaseMsg->text() : m_rangeBase; }

// The range test works on ticks and never waits in one: Timer2 ticks until
// the link is free for the first page (a page sent before the test started
// may still wait for its answer), then Timer1's one-shot ticks count down to
// each next page. Each tick does its step and returns, so a wait or a box it
// came in under goes on as soon as it can; and a page goes out only while
// nothing else waits, so that it never holds up a box answered meanwhile.
// Timer1 runs for the range test only while no page is out (armed after a
// page has ended, ended by Send before its page), so its tick never ends a
// page's reply wait.
void frmMessageTest::Timer2_Timer()
{
    if (!gRun.bRangeTestRunning)
        return;  // set up but not started: nothing to do
    if (m_unloaded) {
        Timer2.setEnabled(false);
        return;  // the closing has begun: no page goes out
    }
    if (bMsgTestClosed) {
        gWait.bTimer1Expired = false;
        Timer2.setEnabled(false);
        close();
        return;
    }
    if (PageInProgress() || platform::ModalOpenAbove(this))
        return;  // the page under way, or the box, ends first; a later tick starts the run
    gWait.bTimer1Expired = false;
    Timer2.setEnabled(false);
    rangeStep();
}

void frmMessageTest::rangeTick()
{
    m_rangeTickArmed = false;
    if (!gRun.bRangeTestRunning) {
        // stopped: the run ends here
        setWindowTitle(PagingTestCaption(gRun.sBrand));
        return;
    }
    gWait.bTimer1Expired = false;
    rangeStep();
}

void frmMessageTest::rangeStep()
{
    if (m_rangePage != 0) {
        const qint64 now = NowSecs();
        if (now <= m_nextRangeMsg) {
            setWindowTitle(RangeCountdownCaption(gRun.sBrand, int(m_nextRangeMsg - now)));
            armRangeTick();
            return;
        }
        if (platform::ModalOpenAbove(this)) {
            armRangeTick();  // due: it goes out at the first tick after the box
            return;
        }
        m_nextRangeMsg = now + iRangeCycleSecs;
    }
    sendRangePage();
}

void frmMessageTest::sendRangePage()
{
    QPointer<frmMessageTest> self = this;
    const int run = m_rangeRun;
    m_rangePage = NextPageNumber(m_rangePage);
    setMessageText(RangePageText(rangeBaseMessage(), m_rangePage));
    setWindowTitle(RangeCountdownCaption(gRun.sBrand, 0));
    SendCurrentPage();
    // A run stopped and started again while the page was out counts on its
    // own; a stopped one ends at the next tick.
    if (!self || m_unloaded || run != m_rangeRun)
        return;
    armRangeTick();
}

void frmMessageTest::armRangeTick()
{
    m_rangeTickArmed = true;
    Timer1.setEnabled(true);
}

// ---- the Test menu's command -----------------------------------------------

void ShowTestConsole(QWidget *owner)
{
    if (forms::window("frmMessageTest"))
        return;
    QPointer<frmMessageTest> console = new frmMessageTest(owner);
    console->Form_Load();
    if (console && !console->unloaded())
        platform::ExecModal(console);
    if (console)
        delete console.data();
}
