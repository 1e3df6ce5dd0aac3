#include "testconsole/frmrangetest.h"

#include "app/forms.h"
#include "app/portbusy.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "platform/textbox.h"
#include "testconsole/frmmessagetest.h"
#include "testconsole/testconsole.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kBaseMsgTypedMax = 100;
}  // namespace

frmRangeTest::frmRangeTest(frmMessageTest *console) : QDialog(console), m_console(console)
{
    setObjectName(QStringLiteral("frmRangeTest"));
    setWindowTitle(QStringLiteral("Range Test Setup"));
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    lblIntro1 = new QLabel(QStringLiteral("Range Test will transmit sequentially numbered paging messages."), this);
    lblIntro2 = new QLabel(QStringLiteral("Please specify Base Message, Pager PIN, and Cycle Time, in seconds."), this);
    layout->addWidget(lblIntro1);
    layout->addWidget(lblIntro2);

    auto *form = new QFormLayout;
    txtBaseMsg = new QLineEdit(this);
    txtBaseMsg->setMaxLength(kBaseMsgTypedMax);
    txtPIN = new QLineEdit(this);
    txtPIN->setMaxLength(10);
    txtCycleTime = new QLineEdit(QStringLiteral("30"), this);
    txtCycleTime->setMaxLength(2);
    txtCycleTime->setMaximumWidth(40);
    form->addRow(QStringLiteral("Base Message:"), txtBaseMsg);
    form->addRow(QStringLiteral("PIN:"), txtPIN);
    auto *cycle = new QHBoxLayout;
    cycle->addWidget(new QLabel(QStringLiteral("Send page every"), this));
    cycle->addWidget(txtCycleTime);
    cycle->addWidget(new QLabel(QStringLiteral("seconds."), this));
    cycle->addStretch();
    form->addRow(QStringLiteral("Cycle Time:"), cycle);
    layout->addLayout(form);

    auto *buttons = new QHBoxLayout;
    cmdStart = new QPushButton(QStringLiteral("&Start"), this);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(cmdStart);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(cmdStart, &QPushButton::clicked, this, &frmRangeTest::cmdStart_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmRangeTest::cmdCancel_Click);

    forms::registerWindow("frmRangeTest", this);
}

void frmRangeTest::Form_Load()
{
    adjustSize();
    platform::CentreOnScreen(this);
    txtPIN->setText(m_console->txtPIN->text());
    // the console's message comes in whole, however long
    platform::SetTextWhole(txtBaseMsg, m_console->messageText(), kBaseMsgTypedMax);
    if (txtBaseMsg->text().isEmpty())
        txtBaseMsg->setText(QStringLiteral("Test"));
}

void frmRangeTest::cmdStart_Click()
{
    // the cycle is checked before anything on the console changes
    int16_t secs = 0;
    if (!testconsole::ParseCycleTime(txtCycleTime->text(), &secs)) {
        platform::MsgBox(QStringLiteral("Please Enter the Cycle Time in Whole Seconds"), platform::Buttons::OK,
                         platform::Icon::Exclamation, QStringLiteral("Range Test Setup"));
        txtCycleTime->setFocus();
        return;
    }
    // the first page is checked as Send checks a page, before anything goes
    // out; the check lets window events through, and the dialog is not to be
    // closed under it: Start goes on once it has ended
    QPointer<frmRangeTest> self = this;
    bool pageAccepted = false;
    {
        const ClosingWaitGuard checking(this, ClosingWaitGuard::WaitsOn::OwnSteps);
        pageAccepted = m_console->checkPage(txtPIN->text(), txtBaseMsg->text());
    }
    if (!pageAccepted || !self)
        return;
    iRangeCycleSecs = secs;
    m_started = true;
    m_console->rangeStart();
    hide();
}

void frmRangeTest::cmdCancel_Click()
{
    if (ClosingWaits(this))
        return;
    m_console->rangeCancel();
}

void frmRangeTest::reject()
{
    if (ClosingWaits(this))
        return;
    if (m_started)
        QDialog::reject();
    else
        cmdCancel_Click();
}
