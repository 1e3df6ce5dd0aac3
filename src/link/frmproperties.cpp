#include "link/frmproperties.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "platform/dialogs.h"
#include "platform/system.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kProbedPorts = 8;
const QString kSection = QStringLiteral("Properties");

QComboBox *dropDown(QWidget *parent, const char *name)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(false);
    return c;
}

// Selects the item equal to `text`; no selection when there is none.
void selectItem(QComboBox *c, const QString &text) { c->setCurrentIndex(c->findText(text, Qt::MatchExactly)); }

}  // namespace

SettingsFields SplitSettingsText(const QString &s)
{
    SettingsFields f;
    const int k = s.contains(QLatin1Char('.')) ? 2 : 0;
    const int len = int(s.size());
    const int speedLength = len - 6 - k;
    if (speedLength > 0)
        f.speed = s.left(speedLength);
    // positions counted from 1
    auto at = [&s, len](int pos) { return pos >= 1 && pos <= len ? QString(s[pos - 1]) : QString(); };
    f.parity = at(len - 4 - k);
    f.dataBits = at(len - 2 - k);
    return f;
}

frmProperties::frmProperties(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("COM Port Properties"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    cboPort = dropDown(this, "cboPort");
    Frame1 = new QGroupBox(QStringLiteral("Baud Rate"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    cboSpeed = dropDown(Frame1, "cboSpeed");
    fraConnection = new QGroupBox(QStringLiteral("Connection Preferences"), this);
    fraConnection->setObjectName(QStringLiteral("fraConnection"));
    cboDataBits = dropDown(fraConnection, "cboDataBits");
    cboParity = dropDown(fraConnection, "cboParity");
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    auto *portRow = new QHBoxLayout;
    portRow->addWidget(new QLabel(QStringLiteral("Port:"), this));
    portRow->addWidget(cboPort, 1);
    auto *speedBox = new QVBoxLayout(Frame1);
    speedBox->addWidget(cboSpeed);
    auto *connection = new QGridLayout(fraConnection);
    connection->addWidget(new QLabel(QStringLiteral("Data Bits:"), fraConnection), 0, 0);
    connection->addWidget(cboDataBits, 0, 1);
    connection->addWidget(new QLabel(QStringLiteral("Parity:"), fraConnection), 1, 0);
    connection->addWidget(cboParity, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *top = new QVBoxLayout(this);
    top->addLayout(portRow);
    top->addWidget(Frame1);
    top->addWidget(fraConnection);
    top->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmProperties::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmProperties::cmdCancel_Click);
}

void frmProperties::Form_Load()
{
    adjustSize();
    platform::CentreOnScreen(this);
    FillComProperties();
}

void frmProperties::FillComProperties()
{
    frmTerminal *w = forms::terminal();
    if (!w)
        return;
    platform::SerialPort &port = w->MSComm1;
    // every step goes on past a failure of its own
    if (port.PortOpen())
        port.setPortOpen(false);
    // a port is present exactly when it can be opened now
    for (int n = 1; n <= kProbedPorts; ++n) {
        if (!port.setCommPort(n))
            continue;
        if (port.setPortOpen(true)) {
            port.setPortOpen(false);
            cboPort->addItem(QStringLiteral("Com") + QString::number(n));
        }
    }
    if (port.PortOpen())
        port.setPortOpen(false);

    cboSpeed->addItems({QStringLiteral("300"), QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("9600")});
    cboDataBits->addItems({QStringLiteral("7"), QStringLiteral("8")});
    cboParity->addItems({QStringLiteral("Even"), QStringLiteral("Odd"), QStringLiteral("None")});

    const SettingsFields f = SplitSettingsText(platform::GetSetting(kSection, QStringLiteral("Settings")));
    selectItem(cboSpeed, f.speed);
    if (f.parity == QLatin1String("e"))
        selectItem(cboParity, QStringLiteral("Even"));
    else if (f.parity == QLatin1String("o"))
        selectItem(cboParity, QStringLiteral("Odd"));
    else if (f.parity == QLatin1String("n"))
        selectItem(cboParity, QStringLiteral("None"));
    else
        cboParity->setCurrentIndex(-1);
    selectItem(cboDataBits, f.dataBits);

    if (gRun.iCommPort < 1) {
        gRun.iCommPort = 1;
        port.setCommPort(1);
        platform::SaveSetting(kSection, QStringLiteral("CommPort"), QStringLiteral("1"));
    } else {
        port.setCommPort(gRun.iCommPort);
    }
    selectItem(cboPort, QStringLiteral("Com") + QString::number(port.CommPort()));
}

void frmProperties::cmdOK_Click()
{
    frmTerminal *w = forms::terminal();
    if (!w)
        return;
    platform::SerialPort &port = w->MSComm1;
    auto failed = [](const QString &text) {
        platform::MsgBox(text, platform::Buttons::OK, platform::Icon::Exclamation, platform::AppTitle());
    };

    // 1, 2: the port number first, with the captions that name it
    const int old = port.CommPort();
    bool ok = false;
    const int chosen = cboPort->currentText().mid(3).toInt(&ok);
    QString failure;
    if (!ok) {
        failure = QStringLiteral("Type mismatch: no COM port is selected");
    } else if (chosen != old) {
        if (port.setCommPort(chosen)) {
            w->ShowPortNumber(chosen);
            w->ShowPortState();
            // the encoder on the new port has not been found yet
            w->mnuReadDB->setEnabled(false);
            w->mnuWriteDB->setEnabled(false);
        } else {
            failure = port.ErrorText();
        }
        gRun.iCommPort = int16_t(port.CommPort());
    }
    if (!failure.isEmpty()) {
        failed(failure);
        port.setCommPort(old);
        gRun.iCommPort = int16_t(old);
        platform::SetDefaultPointer();
        return;
    }

    // 3, 4: the settings
    const QString settings = cboSpeed->currentText().trimmed() + QLatin1Char(',') + cboParity->currentText().left(1) +
                             QLatin1Char(',') + cboDataBits->currentText().trimmed() + QStringLiteral(",1");
    if (!port.setSettings(settings)) {
        failed(port.ErrorText());
        return;
    }

    // 5, 6: remembered for the next start ("9600,n,8,1": the port reports
    // the parity letter in lower case)
    platform::SaveSetting(kSection, QStringLiteral("Settings"), port.Settings());
    platform::SaveSetting(kSection, QStringLiteral("CommPort"), QString::number(port.CommPort()));
    accept();
}

void frmProperties::cmdCancel_Click() { reject(); }

void ShowPortProperties()
{
    frmTerminal *owner = forms::terminal();
    QPointer<frmProperties> dlg = new frmProperties(owner);
    dlg->setAttribute(Qt::WA_DeleteOnClose, false);
    forms::registerWindow("frmProperties", dlg);
    dlg->Form_Load();
    platform::ExecModal(dlg);
    // unloaded on its way out, or by the shut-down meanwhile
    if (dlg) {
        forms::unloadWindow("frmProperties");
        delete dlg.data();
    }
}
