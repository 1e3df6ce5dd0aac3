#include "editors/frmsettingsmain.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "editors/editorcommon.h"
#include "editors/editors.h"
#include "editors/settings_rules.h"
#include "platform/dialogs.h"
#include "platform/system.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <functional>

namespace {

// The settings of port i (0 or 1) in the settings block.
QString &baudOf(int i) { return i == 0 ? gSettings.sSerial1Baud : gSettings.sSerial2Baud; }
QString &formatOf(int i) { return i == 0 ? gSettings.sSerial1Databits : gSettings.sSerial2Databits; }
QString &protocolOf(int i) { return i == 0 ? gSettings.sSerial1Protocol : gSettings.sSerial2Protocol; }
bool &verboseOf(int i) { return i == 0 ? gSettings.bSerial1Verbose : gSettings.bSerial2Verbose; }

QComboBox *dropDown(QWidget *parent, const QString &name)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(false);
    return c;
}

// Makes `index` the list's selection; a pick of the item already shown
// still reaches the list's handler, as the user's pick would.
void pick(QComboBox *c, int index, const std::function<void()> &handler)
{
    if (c->currentIndex() == index)
        handler();
    else
        c->setCurrentIndex(index);
}

void pick(QRadioButton *r, const std::function<void()> &handler)
{
    if (r->isChecked())
        handler();
    else
        r->setChecked(true);
}

// Sets a control of the window by code without its handler acting.
template <typename F>
void quietly(F f)
{
    gRun.bLoading = true;
    f();
    gRun.bLoading = false;
}

}  // namespace

frmSettings_Main::frmSettings_Main(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSettings_Main"));
    setWindowTitle(QStringLiteral(" Encoder Settings"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, false);

    Frame1 = new QGroupBox(QStringLiteral("Protocol for Serial Port"), this);
    Frame2 = new QGroupBox(QStringLiteral("Protocol for 2nd Serial Port"), this);
    Frame4 = new QGroupBox(QStringLiteral("Settings for Serial Port"), this);
    Frame5 = new QGroupBox(QStringLiteral("Settings for 2nd Serial Port"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame4->setObjectName(QStringLiteral("Frame4"));
    Frame5->setObjectName(QStringLiteral("Frame5"));

    QGroupBox *protocolFrames[2] = {Frame1, Frame2};
    QGroupBox *settingsFrames[2] = {Frame4, Frame5};
    for (int port = 0; port < 2; ++port) {
        QRadioButton **protocol = port == 0 ? opt1Protocol : opt2Protocol;
        QRadioButton **verbose = port == 0 ? opt1Verbose : opt2Verbose;
        const QString prefix = port == 0 ? QStringLiteral("opt1") : QStringLiteral("opt2");

        auto *protocolBox = new QVBoxLayout(protocolFrames[port]);
        for (int i = 0; i < kProtocolOptionCount; ++i) {
            protocol[i] = new QRadioButton(ProtocolOptionCaption(i), protocolFrames[port]);
            protocol[i]->setObjectName(prefix + QStringLiteral("Protocol") + QString::number(i));
            protocolBox->addWidget(protocol[i]);
        }

        QWidget *settings = settingsFrames[port];
        verbose[0] = new QRadioButton(QStringLiteral("Verbose"), settings);
        verbose[1] = new QRadioButton(QStringLiteral("Non-Verbose"), settings);
        verbose[0]->setObjectName(prefix + QStringLiteral("Verbose0"));
        verbose[1]->setObjectName(prefix + QStringLiteral("Verbose1"));

        Frame3[port] = new QGroupBox(QStringLiteral("Baud Rate"), settings);
        cboSpeed[port] = dropDown(Frame3[port], QStringLiteral("cboSpeed%1").arg(port));
        auto *speedBox = new QVBoxLayout(Frame3[port]);
        speedBox->addWidget(cboSpeed[port]);

        fraConnection[port] = new QGroupBox(QStringLiteral("Connection Preferences"), settings);
        Label3[port] = new QLabel(QStringLiteral("Data Bits:"), fraConnection[port]);
        cboDataBits[port] = dropDown(fraConnection[port], QStringLiteral("cboDataBits%1").arg(port));
        Label4[port] = new QLabel(QStringLiteral("Parity:"), fraConnection[port]);
        cboParity[port] = dropDown(fraConnection[port], QStringLiteral("cboParity%1").arg(port));
        auto *connection = new QGridLayout(fraConnection[port]);
        connection->addWidget(Label3[port], 0, 0);
        connection->addWidget(cboDataBits[port], 0, 1);
        connection->addWidget(Label4[port], 1, 0);
        connection->addWidget(cboParity[port], 1, 1);

        auto *verboseRow = new QHBoxLayout;
        verboseRow->addWidget(verbose[0]);
        verboseRow->addWidget(verbose[1]);
        auto *settingsBox = new QVBoxLayout(settings);
        settingsBox->addLayout(verboseRow);
        settingsBox->addWidget(Frame3[port]);
        settingsBox->addWidget(fraConnection[port]);
    }

    cmdDefault = new QPushButton(QStringLiteral("Restore Defaults"), this);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdSettings = new QPushButton(QStringLiteral("Advanced Settings"), this);
    cmdDefault->setObjectName(QStringLiteral("cmdDefault"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdSettings->setObjectName(QStringLiteral("cmdSettings"));
    cmdDefault->setAutoDefault(false);
    cmdSettings->setAutoDefault(false);
    cmdOK->setDefault(true);

    auto *frames = new QGridLayout;
    frames->addWidget(Frame1, 0, 0);
    frames->addWidget(Frame2, 0, 1);
    frames->addWidget(Frame4, 1, 0);
    frames->addWidget(Frame5, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdDefault);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSettings);
    auto *top = new QVBoxLayout(this);
    top->addLayout(frames);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    // port 2 is never edited here
    for (QGroupBox *f : {Frame2, Frame5}) {
        f->setVisible(false);
        f->setEnabled(false);
    }

    for (int port = 0; port < 2; ++port) {
        connect(cboSpeed[port], &QComboBox::currentIndexChanged, this, [this, port] { cboSpeed_Click(port); });
        connect(cboDataBits[port], &QComboBox::currentIndexChanged, this, [this, port] { cboDataBits_Click(port); });
        connect(cboParity[port], &QComboBox::currentIndexChanged, this, [this, port] { cboParity_Click(port); });
    }
    for (int i = 0; i < kProtocolOptionCount; ++i)
        connect(opt1Protocol[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                opt1Protocol_Click(i);
        });
    for (int i = 0; i < 2; ++i)
        connect(opt1Verbose[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                opt1Verbose_Click(i);
        });
    connect(cmdDefault, &QPushButton::clicked, this, &frmSettings_Main::cmdDefault_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmSettings_Main::cmdOK_Click);
    connect(cmdSettings, &QPushButton::clicked, this, &frmSettings_Main::cmdSettings_Click);
}

void frmSettings_Main::loadFailed(const QString &description)
{
    platform::MsgBox(LoadErrorText(description), platform::Buttons::OK, platform::Icon::None, platform::AppTitle());
}

void frmSettings_Main::Form_Load()
{
    // the values the load puts in place of the ones it cannot show
    const ProgramMadeChange change;
    gRun.bLoading = true;
    adjustSize();
    platform::CentreOnScreen(this);

    for (int port = 0; port < 2; ++port) {
        cboSpeed[port]->addItems(SpeedItems());
        cboDataBits[port]->addItems(DataBitsItems());
        cboParity[port]->addItems(ParityItems());
    }
    for (int port = 0; port < 2; ++port)
        if (baudOf(port) == QLatin1String("Invalid"))
            baudOf(port) = QStringLiteral("9600");
    // a stored value that is not an item leaves its list without a
    // selection and the value as it is, until the user picks one
    for (int port = 0; port < 2; ++port) {
        const int i = cboSpeed[port]->findText(baudOf(port), Qt::MatchExactly);
        cboSpeed[port]->setCurrentIndex(i);
        if (i < 0)
            loadFailed(QStringLiteral("Speed \"") + baudOf(port) + QStringLiteral("\" is not in the list"));
    }
    for (int port = 0; port < 2; ++port) {
        const QString &format = formatOf(port);
        if (format.startsWith(QLatin1Char('E'))) {
            cboParity[port]->setCurrentIndex(0);
        } else {
            cboParity[port]->setCurrentIndex(1);
            if (!format.startsWith(QLatin1Char('N')))
                formatOf(port) = QStringLiteral("N81");
        }
    }
    for (int port = 0; port < 2; ++port) {
        const QString bits = formatOf(port).mid(1, 1);
        const int i = bits.isEmpty() ? -1 : cboDataBits[port]->findText(bits, Qt::MatchExactly);
        cboDataBits[port]->setCurrentIndex(i);
        if (i < 0)
            loadFailed(QStringLiteral("Data bits \"") + bits + QStringLiteral("\" are not in the list"));
    }
    for (int port = 0; port < 2; ++port) {
        QRadioButton **protocol = port == 0 ? opt1Protocol : opt2Protocol;
        int i = ProtocolOptionIndex(protocolOf(port));
        if (i < 0) {
            i = 0;
            protocolOf(port) = QStringLiteral("TAP");
        }
        protocol[i]->setChecked(true);
    }
    for (int port = 0; port < 2; ++port) {
        QRadioButton **verbose = port == 0 ? opt1Verbose : opt2Verbose;
        verbose[verboseOf(port) ? 0 : 1]->setChecked(true);
    }
    gRun.bLoading = false;
}

void frmSettings_Main::cboSpeed_Click(int index)
{
    if (gRun.bLoading)
        return;
    baudOf(index) = cboSpeed[index]->currentText();
    EditorChanged(EditorKind::SettingsDialog);
}

void frmSettings_Main::cboDataBits_Click(int index)
{
    if (gRun.bLoading)
        return;
    const bool seven = cboDataBits[index]->currentText() == QLatin1String("7");
    quietly([&] { cboParity[index]->setCurrentIndex(seven ? 0 : 1); });
    formatOf(index) = seven ? QStringLiteral("E71") : QStringLiteral("N81");
    EditorChanged(EditorKind::SettingsDialog);
}

void frmSettings_Main::cboParity_Click(int index)
{
    if (gRun.bLoading)
        return;
    const QString parity = cboParity[index]->currentText();
    if (parity == QLatin1String("Even")) {
        quietly([&] { cboDataBits[index]->setCurrentIndex(0); });
        formatOf(index) = QStringLiteral("E71");
    } else if (parity == QLatin1String("None")) {
        quietly([&] { cboDataBits[index]->setCurrentIndex(1); });
        formatOf(index) = QStringLiteral("N81");
    }
    EditorChanged(EditorKind::SettingsDialog);
}

void frmSettings_Main::opt1Verbose_Click(int index)
{
    if (gRun.bLoading)
        return;
    gSettings.bSerial1Verbose = index == 0;
    EditorChanged(EditorKind::SettingsDialog);
}

void frmSettings_Main::opt1Protocol_Click(int index)
{
    if (gRun.bLoading)
        return;
    gSettings.sSerial1Protocol = ProtocolOptionValue(index);
    // TAP and COMP1 always answer verbosely
    if (index == 0 || index == 2) {
        quietly([this] { opt1Verbose[0]->setChecked(true); });
        gSettings.bSerial1Verbose = true;
    }
    if (index == 2 && Comp1LacksDefaultPager(gDb)) {
        platform::MsgBox(Comp1BoxText(), platform::Buttons::OK, platform::Icon::None, Comp1BoxTitle());
        gSettings.sSerial1Protocol = QStringLiteral("TAP");
        quietly([this] { opt1Protocol[0]->setChecked(true); });
    }
    EditorChanged(EditorKind::SettingsDialog);
}

void frmSettings_Main::cmdDefault_Click()
{
    // each pick reaches its list's or option's handler, which stores it
    pick(opt1Protocol[0], [this] { opt1Protocol_Click(0); });
    pick(cboSpeed[0], cboSpeed[0]->findText(QStringLiteral("9600")), [this] { cboSpeed_Click(0); });
    pick(cboDataBits[0], cboDataBits[0]->findText(QStringLiteral("8")), [this] { cboDataBits_Click(0); });
    pick(cboParity[0], 1, [this] { cboParity_Click(0); });
    pick(opt1Verbose[0], [this] { opt1Verbose_Click(0); });
}

void frmSettings_Main::cmdOK_Click()
{
    storeFormats();
    accept();
}

void frmSettings_Main::reject()
{
    // the close box and Esc keep every pick, and store what OK stores
    storeFormats();
    QDialog::reject();
}

void frmSettings_Main::storeFormats()
{
    const ProgramMadeChange change;
    for (int port = 0; port < 2; ++port) {
        // a list left without a selection keeps the stored format as it is
        const QString format = CharacterFormat(cboParity[port]->currentText(), cboDataBits[port]->currentText());
        if (!format.isEmpty())
            formatOf(port) = format;
    }
}

void frmSettings_Main::cmdSettings_Click()
{
    gRun.sAccessMode = QStringLiteral("advanced");
    ShowAccessCodeDialog(this);
}

void ShowSerialPortSettings(QWidget *owner)
{
    QPointer<frmSettings_Main> dlg = new frmSettings_Main(owner);
    forms::registerWindow("frmSettings_Main", dlg);
    dlg->Form_Load();
    platform::ExecModal(dlg);
    // unloaded on its way out, or by the shut-down meanwhile
    if (dlg) {
        forms::unloadWindow("frmSettings_Main");
        delete dlg.data();
    }
}
