#include "app/frmterminal.h"

#include "app/artwork.h"
#include "app/clicklabel.h"
#include "app/forms.h"
#include "app/portbusy.h"
#include "app/readini.h"
#include "database/pg8file.h"
#include "database/state.h"
#include "platform/accesskeys.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "transfer/matchclaim.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// 11910 x 4620 twips at 15 twips a pixel
constexpr int kWindowWidth = 794;
constexpr int kWindowHeight = 308;
}  // namespace

frmTerminal::frmTerminal(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmTerminal"));
    setWindowTitle(QStringLiteral("Quorvane Paging System"));
    gLink = &link;
    buildMenus();
    buildToolbar();
    buildBody();
    m_panel[0] = StatusPanel1 = new QLabel(this);
    m_panel[1] = StatusPanel2 = new QLabel(this);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    StatusPanel2->setObjectName(QStringLiteral("StatusPanel2"));
    StatusPanel2->setMinimumWidth(140);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(StatusPanel1, 1);
    statusBar()->addWidget(StatusPanel2, 0);
    connect(&MSComm1, &platform::SerialPort::portLost, this, &frmTerminal::onPortLost);
    // keys are seen by the window before the control with the focus
    qApp->installEventFilter(this);
    CheckViewClaimWhenWindowsClose(this);
    platform::KeepAltKeysFromTyping();
}

frmTerminal::~frmTerminal()
{
    if (qApp)
        qApp->removeEventFilter(this);
    if (forms::terminal() == this)
        forms::setTerminal(nullptr);
}

void frmTerminal::buildMenus()
{
    auto item = [this](QMenu *menu, const QString &caption, const char *name, void (frmTerminal::*slot)()) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuOpenFile = item(mnuFile, QStringLiteral("&Open Database File"), "mnuOpenFile", &frmTerminal::mnuOpenFile_Click);
    mnuNewDB = item(mnuFile, QStringLiteral("&New Database"), "mnuNewDB", &frmTerminal::mnuNewDB_Click);
    mnuFile->addSeparator();
    mnuWriteDB = item(mnuFile, QStringLiteral("&Program Encoder Database"), "mnuWriteDB", &frmTerminal::mnuWriteDB_Click);
    mnuReadDB = item(mnuFile, QStringLiteral("&Read Encoder Database"), "mnuReadDB", &frmTerminal::mnuReadDB_Click);
    mnuFile->addSeparator();
    mnuSave = item(mnuFile, QStringLiteral("&Save"), "mnuSave", &frmTerminal::mnuSave_Click);
    mnuSaveAs = item(mnuFile, QStringLiteral("Save &As"), "mnuSaveAs", &frmTerminal::mnuSaveAs_Click);
    mnuFile->addSeparator();
    mnuPrintDB = item(mnuFile, QStringLiteral("&Print Database Configuration"), "mnuPrintDB", &frmTerminal::mnuPrintDB_Click);
    mnuFile->addSeparator();
    mnuFileExit = item(mnuFile, QStringLiteral("E&xit"), "mnuFileExit", &frmTerminal::mnuFileExit_Click);
    mnuWriteDB->setEnabled(false);
    mnuReadDB->setEnabled(false);
    mnuSave->setEnabled(false);

    mnuPort = menuBar()->addMenu(QStringLiteral("&COM Port"));
    mnuPort->setObjectName(QStringLiteral("mnuPort"));
    mnuOpen = item(mnuPort, QStringLiteral("&Open Port"), "mnuOpen", &frmTerminal::mnuOpen_Click);
    mnuPort->addSeparator();
    mnuProperties = item(mnuPort, QStringLiteral("&Properties..."), "mnuProperties", &frmTerminal::mnuProperties_Click);

    mnuTest = menuBar()->addMenu(QStringLiteral("&Test"));
    mnuTest->setObjectName(QStringLiteral("mnuTest"));
    mnuSendMsg = item(mnuTest, QStringLiteral("&Send Messages"), "mnuSendMsg", &frmTerminal::mnuSendMsg_Click);
    mnuTXTune = item(mnuTest, QStringLiteral("&Transmitter Tuning"), "mnuTXTune", &frmTerminal::mnuTXTune_Click);
    mnuTest->setEnabled(false);
    mnuTest->menuAction()->setEnabled(false);
    mnuSendMsg->setEnabled(false);
    mnuTXTune->setEnabled(false);

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuQVHelp = item(mnuHelp, QStringLiteral("&Paging Encoder Setup Help Topics"), "mnuQVHelp", &frmTerminal::mnuQVHelp_Click);
    mnuHelp->addSeparator();
    mnuAbout = item(mnuHelp, QStringLiteral("&About Paging Encoder Setup"), "mnuAbout", &frmTerminal::mnuAbout_Click);
}

void frmTerminal::buildToolbar()
{
    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setIconSize(QSize(32, 32));
    m_toolbarButtons.append(Toolbar1->addSeparator());  // position 1: a gap before the first button
    struct Button { const char *caption; const char *key; artwork::ToolImage image; };
    const Button buttons[] = {
        {"Pager &Families", "sequence", artwork::ToolImage::Families},
        {"&Group Paging", "group", artwork::ToolImage::Groups},
        {"Canned &Msgs", "message", artwork::ToolImage::Messages},
        {"&Settings", "settings", artwork::ToolImage::Settings},
        {"&Program Encoder", "program", artwork::ToolImage::Program},
        {"&Read Encoder", "read", artwork::ToolImage::Read},
        {"&Test Encoder", "test", artwork::ToolImage::Test},
    };
    for (const Button &b : buttons) {
        QAction *a = Toolbar1->addAction(QIcon(artwork::toolbarImage(b.image)), QString::fromLatin1(b.caption));
        const QString key = QString::fromLatin1(b.key);
        a->setObjectName(QStringLiteral("Toolbar1_") + key);
        a->setData(key);
        connect(a, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
        m_toolbarButtons.append(a);
    }
    // the editors have no menu items: their access keys are the only way to
    // them from the keyboard
    platform::SetToolbarAccessKeys(Toolbar1, menuBar());
}

void frmTerminal::buildBody()
{
    auto *central = new QWidget(this);
    setCentralWidget(central);
    auto label = [central](const QString &text, const char *name) {
        auto *l = new QLabel(text, central);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };

    Picture1 = label(QString(), "Picture1");
    Picture1->setPixmap(artwork::brandBanner(220, 28));
    Image1 = label(QString(), "Image1");
    Image1->setPixmap(artwork::brandLogo(56));
    Label25 = label(QStringLiteral("Paging Encoder V8"), "Label25");
    QFont big = Label25->font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    Label25->setFont(big);
    lblVersion = label(QStringLiteral("Firmware Version:"), "lblVersion");
    lblVirgin = label(QStringLiteral("Virgin Mode"), "lblVirgin");
    lblVirgin->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
    lblVirgin->setVisible(false);
    lblIDAsCap = label(QStringLiteral("ID As Capcode Mode is OFF for port 1"), "lblIDAsCap");
    lblIncBy8 = label(QStringLiteral("Increment Capcodes by 8 Mode is OFF"), "lblIncBy8");

    Label14 = label(QStringLiteral("Config Notes - Saved to Disk and Printed Only"), "Label14");
    txtConfigNotes = new QLineEdit(central);
    txtConfigNotes->setObjectName(QStringLiteral("txtConfigNotes"));
    txtConfigNotes->setMaxLength(kNotesTypedMax);

    txLookup = new QLineEdit(central);
    txLookup->setObjectName(QStringLiteral("txLookup"));
    cmdLookup = new QPushButton(QStringLiteral("Lookup ID"), central);
    cmdLookup->setObjectName(QStringLiteral("cmdLookup"));
    cmdLookup->setAutoDefault(false);
    cmdLookup->setEnabled(false);  // until the view is known to match the encoder
    lblLookup = label(QStringLiteral("Response:"), "lblLookup");
    lblLookup->setWordWrap(true);
    connect(cmdLookup, &QPushButton::clicked, this, &frmTerminal::cmdLookup_Click);

    cmdComStatus = new QPushButton(QStringLiteral("Open COM 1"), central);
    cmdComStatus->setObjectName(QStringLiteral("cmdComStatus"));
    cmdComStatus->setAutoDefault(false);
    connect(cmdComStatus, &QPushButton::clicked, this, &frmTerminal::cmdComStatus_Click);
    auto *pictures = new QWidget(central);
    pictures->setFixedSize(40, 40);
    ImgConnected = new ClickLabel(pictures);
    ImgConnected->setObjectName(QStringLiteral("ImgConnected"));
    ImgConnected->setPixmap(artwork::connectionPicture(true));
    ImgNotConnected = new ClickLabel(pictures);
    ImgNotConnected->setObjectName(QStringLiteral("ImgNotConnected"));
    ImgNotConnected->setPixmap(artwork::connectionPicture(false));
    ImgConnected->setGeometry(0, 0, 40, 40);
    ImgNotConnected->setGeometry(0, 0, 40, 40);
    connect(ImgConnected, &ClickLabel::clicked, this, &frmTerminal::mnuOpen_Click);
    connect(ImgNotConnected, &ClickLabel::clicked, this, &frmTerminal::mnuOpen_Click);

    auto *left = new QGridLayout;
    left->addWidget(Image1, 0, 0, 3, 1);
    left->addWidget(Picture1, 0, 1);
    left->addWidget(Label25, 1, 1);
    left->addWidget(lblVersion, 2, 1);
    left->addWidget(lblVirgin, 3, 0, 1, 2);
    left->addWidget(lblIDAsCap, 4, 0, 1, 2);
    left->addWidget(lblIncBy8, 5, 0, 1, 2);
    left->setRowStretch(6, 1);

    auto *lookup = new QGridLayout;
    lookup->addWidget(txLookup, 0, 0);
    lookup->addWidget(cmdLookup, 0, 1);
    lookup->addWidget(lblLookup, 1, 0, 1, 2);
    auto *port = new QHBoxLayout;
    port->addWidget(pictures);
    port->addWidget(cmdComStatus);
    port->addStretch(1);

    auto *right = new QVBoxLayout;
    right->addLayout(port);
    right->addLayout(lookup);
    right->addWidget(Label14);
    right->addWidget(txtConfigNotes);
    right->addStretch(1);

    auto *top = new QHBoxLayout(central);
    top->addLayout(left, 1);
    top->addLayout(right, 1);
}

QAction *frmTerminal::ToolbarButton(int position) const
{
    if (position < 1 || position > m_toolbarButtons.size())
        return nullptr;
    return m_toolbarButtons[position - 1];
}

QAction *frmTerminal::ToolbarButtonByKey(const QString &key) const
{
    for (QAction *a : m_toolbarButtons)
        if (a->data().toString() == key)
            return a;
    return nullptr;
}

void frmTerminal::SetToolbarEnabled(bool on) { Toolbar1->setEnabled(on); }

void frmTerminal::SetStatusPanel(int panel, const QString &text)
{
    if (panel >= 1 && panel <= 2)
        m_panel[panel - 1]->setText(text);
}

QString frmTerminal::StatusPanelText(int panel) const
{
    return panel >= 1 && panel <= 2 ? m_panel[panel - 1]->text() : QString();
}

void frmTerminal::BringConnectedPictureToFront(bool connected)
{
    m_connectedInFront = connected;
    (connected ? ImgConnected : ImgNotConnected)->raise();
}

void frmTerminal::ShowPortNumber(int n)
{
    const QString num = QString::number(n);
    ImgNotConnected->setToolTip(QStringLiteral(" Enable COM ") + num + QLatin1Char(' '));
    ImgConnected->setToolTip(QStringLiteral(" Disable COM ") + num + QLatin1Char(' '));
    cmdComStatus->setText((MSComm1.PortOpen() ? QStringLiteral("Close COM ") : QStringLiteral("Open COM ")) + num);
}

void frmTerminal::ShowPortState()
{
    SetStatusPanel(2, QStringLiteral("COM ") + QString::number(MSComm1.CommPort()) +
                          (MSComm1.PortOpen() ? QStringLiteral(" Open") : QStringLiteral(" Closed")));
}

void frmTerminal::ShowIDAsCapLabel()
{
    lblIDAsCap->setText(IDAsCapCaptionText(gSettings.bSerial1IDAsCap));
}

void frmTerminal::ShowIncBy8Label()
{
    lblIncBy8->setText(IncCapBy8CaptionText(gSettings.bIncCapBy8));
}

void frmTerminal::MarkConfigModified()
{
    gRun.bMatchesEncoder = false;
    if (gRun.bPortBusy)
        gRun.bEditedDuringTransfer = true;
    SetStatusPanel(1, QStringLiteral("Current Configuration Modified, Does Not Match Encoder"));
    FollowMatchState();
}

void frmTerminal::FollowMatchState()
{
    const bool on = ViewMatchesEncoder() && MSComm1.PortOpen();
    cmdLookup->setEnabled(on);
    mnuSendMsg->setEnabled(on);
    if (QAction *test = ToolbarButtonByKey(QStringLiteral("test")))
        test->setEnabled(on);
}

// ---- load step --------------------------------------------------------

void frmTerminal::Form_Load(const std::function<void(const QString &)> &reportFailure)
{
    // 1. start values
    gRun.bDatabaseChecked = true;
    gRun.bLoading = true;
    gRun.bRangeTestRunning = false;
    gSettings.sDutyCycle = QStringLiteral("66");
    gSettings.sMaxBatch = QStringLiteral("10");
    gSettings.bIgnoreRFCD = gSettings.bInvertData = gSettings.bInvertRFCD = false;
    gRun.bSkipDetect = false;
    gSettings.bSerial1PPHReset = gSettings.bSerial2PPHReset = true;
    gSettings.bSerial1IDAsCap = gSettings.bSerial2IDAsCap = false;
    gSettings.sSerial1Flow = gSettings.sSerial2Flow = QStringLiteral("HW");
    gSettings.sSerial1Protocol = gSettings.sSerial2Protocol = QStringLiteral("TAP");
    gSettings.sSerial1Baud = gSettings.sSerial2Baud = QStringLiteral("9600");
    gSettings.sSerial1Databits = gSettings.sSerial2Databits = QStringLiteral("N81");
    gRun.sDBFileName.clear();

    // 2. single instance
    if (platform::AnotherInstanceRunning()) {
        const QString warning = gRun.sBrand == QLatin1String("Kordamere")
                                    ? QStringLiteral("Kordamere T-260 Paging Encoder Setup is already running.")
                                    : QStringLiteral("Quorvane Paging Encoder Setup is already running.");
        platform::MsgBox(warning, platform::Buttons::OK, platform::Icon::Exclamation);
    }

    // 3. the program's own folder becomes the current folder
    QDir::setCurrent(platform::AppPath());

    // 4, 5. start-up flags from setup.ini; a missing file or a value that is
    // not a Boolean is reported and read as False. A file that cannot be read
    // is one failure: it is reported once, not once for each flag.
    bool iniUnreadable = false;
    auto readFlag = [&](const QString &key) {
        if (iniUnreadable)
            return false;
        bool opened = false;
        const QString iniPath = QDir(platform::AppPath()).filePath(QStringLiteral("setup.ini"));
        const QString value = ReadIniValue(iniPath, QStringLiteral("Main"), key, &opened);
        if (!opened) {
            iniUnreadable = true;
            reportFailure(QStringLiteral("File not found: ") + QDir::toNativeSeparators(iniPath));
            return false;
        }
        bool ok = false;
        const bool b = ConvertToBoolean(value, &ok);
        if (!ok) {
            reportFailure(QStringLiteral("Type mismatch: \"") + key + QStringLiteral("\" in setup.ini reads \"") + value +
                          QStringLiteral("\", not True or False"));
            return false;
        }
        return b;
    };
    gRun.bVirginMode = readFlag(QStringLiteral("VirginMode"));
    lblVirgin->setVisible(gRun.bVirginMode);
    gRun.bTestEnabled = readFlag(QStringLiteral("TestEnabled"));
    if (gRun.bTestEnabled)
        mnuTXTune->setEnabled(true);

    // 6. brand
    if (gRun.sBrand == QLatin1String("Quorvane")) {
        m_helpFile = QStringLiteral("QVSETUP.PDF");
    } else if (gRun.sBrand == QLatin1String("Kordamere")) {
        m_helpFile = QStringLiteral("VOVIDIV.ADI");
        Image1->setVisible(false);
        Picture1->setVisible(false);
        Label25->setText(QStringLiteral("T-260 Paging Encoder"));
    }

    // 7. size
    setFixedSize(kWindowWidth, qMax(kWindowHeight, sizeHint().height()));

    // 8. application title and caption
    if (gRun.sBrand == QLatin1String("Quorvane") || gRun.sBrand == QLatin1String("Kordamere")) {
        const QString title = gRun.sBrand + QStringLiteral(" Paging Encoder Setup");
        platform::SetAppTitle(title);
        setWindowTitle(title);
    }

    // 9 to 12
    SetStatusPanel(1, QStringLiteral("No Database Loaded"));
    mnuSave->setEnabled(false);
    BringConnectedPictureToFront(false);
    platform::CentreOnScreen(this);

    // 13. serial settings from the settings store
    const QString stored = platform::GetSetting(QStringLiteral("Properties"), QStringLiteral("Settings"));
    if (!stored.isEmpty()) {
        if (!MSComm1.setSettings(stored)) {
            // a stored text the port refuses: say so, keep the port's settings
            // and the stored text, and go on with the rest of the start-up
            platform::MsgBox(QStringLiteral("Error in setting COM object: ") + MSComm1.ErrorText(),
                             platform::Buttons::OK, platform::Icon::Exclamation);
            platform::SetDefaultPointer();
        }
    } else {
        MSComm1.setSettings(QStringLiteral("9600,n,8,1"));
        platform::SaveSetting(QStringLiteral("Properties"), QStringLiteral("Settings"), MSComm1.Settings());
    }

    // 14. port number
    const QString storedPort = platform::GetSetting(QStringLiteral("Properties"), QStringLiteral("CommPort"));
    if (storedPort.isEmpty()) {
        gRun.iCommPort = 1;
        platform::SaveSetting(QStringLiteral("Properties"), QStringLiteral("CommPort"), QStringLiteral("1"));
    } else {
        bool ok = false;
        const int n = storedPort.trimmed().toInt(&ok);
        if (!ok) {
            reportFailure(QStringLiteral("Type mismatch: the stored COM port number \"") + storedPort +
                          QStringLiteral("\" is not a whole number; COM 1 is used"));
            gRun.iCommPort = 1;
        } else if (n < INT16_MIN || n > INT16_MAX) {
            // kept as it is, it would turn into some other port number
            reportFailure(QStringLiteral("Overflow: the stored COM port number \"") + storedPort +
                          QStringLiteral("\" is out of range; COM 1 is used"));
            gRun.iCommPort = 1;
        } else {
            gRun.iCommPort = int16_t(n);
        }
    }
    if (!MSComm1.setCommPort(gRun.iCommPort)) {
        reportFailure(MSComm1.ErrorText() + QStringLiteral(": COM ") + QString::number(gRun.iCommPort) +
                      QStringLiteral("; COM 1 is used"));
        // a number below 1 stays in use until the properties dialog stores
        // the port it repairs it to
        if (gRun.iCommPort >= 1)
            gRun.iCommPort = 1;
        MSComm1.setCommPort(1);
    }

    // 15. the last pager database file
    gRun.sDBFileName = platform::GetSetting(QStringLiteral("Properties"), QStringLiteral("LastFile"));

    // 16 to 20: nothing from here on shows a message
    const int n = MSComm1.CommPort();
    ShowPortNumber(n);
    LoadLastFile();
    // nothing has been edited yet: the view claims to match, as it stands
    ClaimViewMatches();
    if (gRun.bLoading) {
        ShowPortState();
        gRun.bLoading = false;
    }
}

// ---- keys and closing -------------------------------------------------

bool frmTerminal::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        auto *w = qobject_cast<QWidget *>(watched);
        // while the menu bar is worked from the keyboard, its keys are its own:
        // Esc there leaves the menu, it does not close the program
        if (w && w->window() == this && isVisible() && !qobject_cast<QMenuBar *>(w)) {
            auto *k = static_cast<QKeyEvent *>(e);
            if (k->key() == Qt::Key_F1) {
                platform::ShellOpen(m_helpFile);
                return true;  // consumed
            }
            if (k->key() == Qt::Key_Escape) {
                close();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void frmTerminal::keyPressEvent(QKeyEvent *e) { QMainWindow::keyPressEvent(e); }

void frmTerminal::closeEvent(QCloseEvent *e)
{
    if (m_unloaded) {
        e->accept();
        return;
    }
    if (ClosingWaits()) {
        // an editor is in its closing steps (its check lets this request
        // through), or a window's closing waits on the encoder: it could be
        // neither asked nor unloaded now, so nothing is asked until it has
        // ended
        gRun.bCloseAfterClosing = true;
        e->ignore();
        return;
    }
    if (!gRun.bExitAfterOperation && !Form_QueryUnload()) {
        e->ignore();
        return;
    }
    // the editors ask their closing question before anything of the
    // shut-down happens: a No keeps that editor, and the program, running
    for (const char *name : {"frmCfgGroup", "frmCfgFam"}) {
        if (!forms::closeWindow(name)) {
            gRun.bExiting = false;
            gRun.bExitAfterOperation = false;
            e->ignore();
            return;
        }
    }
    if (gRun.bPortBusy) {
        // an encoder operation is waiting: cancel it; the window closes
        // when it has ended
        gRun.bExitAfterOperation = true;
        gWait.bCancelRequested = true;
        e->ignore();
        return;
    }
    e->accept();
    Form_Unload();
}

void frmTerminal::onPortLost(const QString &reason)
{
    Q_UNUSED(reason);
    // The device went away: the window shows the port closed, with every
    // command that needs the encoder off, as after closing the port. The
    // encoder must be found again once the device is back.
    const int n = MSComm1.CommPort();
    cmdComStatus->setText(QStringLiteral("Open COM ") + QString::number(n));
    cmdComStatus->setEnabled(true);
    mnuOpen->setText(QStringLiteral("&Open Port"));
    BringConnectedPictureToFront(false);
    ShowPortState();
    cmdLookup->setEnabled(false);
    mnuSendMsg->setEnabled(false);
    mnuTest->setEnabled(false);
    mnuTest->menuAction()->setEnabled(false);
    mnuReadDB->setEnabled(false);
    mnuWriteDB->setEnabled(false);
    for (const char *key : {"program", "read", "test"}) {
        if (QAction *a = ToolbarButtonByKey(QString::fromLatin1(key)))
            a->setEnabled(false);
    }
}
