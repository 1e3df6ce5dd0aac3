#include "testconsole/frmtxtune.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "app/portbusy.h"
#include "link/encoderlink.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "testconsole/encodermode.h"
#include "testconsole/testconsole.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// 2835 twips at 15 twips a pixel
constexpr int kTuneHeightPx = 189;
}  // namespace

frmTXTune::frmTXTune(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmTXTune"));
    setWindowTitle(QStringLiteral("Transmitter Tuning"));
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    menuBar = new QMenuBar(this);
    mnuExit = menuBar->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    layout->setMenuBar(menuBar);

    lblInfo = new QLabel(QStringLiteral("Use the buttons below to cause the paging encoder to output a modulated signal.  "
                                        "You can use these signals to tune attached transmitters for proper waveform "
                                        "shaping.  Outputs are available in   512, 1200, and 2400 bps."),
                         this);
    lblInfo->setWordWrap(true);
    layout->addWidget(lblInfo);

    auto *row = new QHBoxLayout;
    cmd512 = new QPushButton(QStringLiteral("512 bps"), this);
    cmd1200 = new QPushButton(QStringLiteral("1200 bps"), this);
    cmd2400 = new QPushButton(QStringLiteral("2400 bps"), this);
    for (QPushButton *b : {cmd512, cmd1200, cmd2400}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    layout->addLayout(row);

    connect(cmd512, &QPushButton::clicked, this, &frmTXTune::cmd512_Click);
    connect(cmd1200, &QPushButton::clicked, this, &frmTXTune::cmd1200_Click);
    connect(cmd2400, &QPushButton::clicked, this, &frmTXTune::cmd2400_Click);
    connect(mnuExit, &QAction::triggered, this, &frmTXTune::mnuExit_Click);

    forms::registerWindow("frmTXTune", this);
}

frmTXTune::~frmTXTune() { Form_Unload(); }

void frmTXTune::Form_Load()
{
    resize(width() < 420 ? 420 : width(), kTuneHeightPx);
    platform::CentreOnScreen(this);
}

void frmTXTune::sendTest(const QString &command)
{
    // Once the closing has begun the line is changing the encoder's mode:
    // a test command would land on it and its discard could swallow the
    // answer the closing waits for.
    if (m_unloaded || !gLink)
        return;
    platform::SerialPort &port = gLink->MSComm1;
    port.setInBufferCount(0);  // fails harmlessly while the port is closed
    if (port.PortOpen())
        port.Output(command + QLatin1Char('\r'));
}

void frmTXTune::done(int r)
{
    // a close asked while the closing waits on the encoder does nothing: the
    // window stays up, and modal, until the closing has ended
    if (ClosingWaits(this))
        return;
    Form_Unload();
    QDialog::done(r);
}

void frmTXTune::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    const ClosingWaitGuard waits(this);
    // the closing's waits handle window messages: no test button is taken meanwhile
    for (QPushButton *b : {cmd512, cmd1200, cmd2400})
        b->setEnabled(false);
    if (!gLink || !gLink->MSComm1.PortOpen())
        return;
    // "config reboot" ends the test signal but leaves the encoder on its
    // paging input: it is brought back to programming mode as the test
    // console does it, so that the next command is taken as one
    platform::SetHourglass();
    testconsole::EnterPagingMode();
    testconsole::ReturnToProgrammingMode();
    platform::SetDefaultPointer();
    if (!gLink || !gLink->MSComm1.PortOpen())
        return;
    if (frmTerminal *w = forms::terminal()) {
        w->mnuTest->setEnabled(true);
        w->mnuTest->menuAction()->setEnabled(true);
    }
}

void ShowTransmitterTuning(QWidget *owner)
{
    if (forms::window("frmTXTune"))
        return;
    QPointer<frmTXTune> tune = new frmTXTune(owner);
    tune->Form_Load();
    platform::ExecModal(tune);
    if (tune)
        delete tune.data();
}
