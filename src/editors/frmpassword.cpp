#include "editors/frmpassword.h"

#include "app/forms.h"
#include "database/state.h"
#include "editors/editors.h"
#include "editors/frmsettings.h"
#include "editors/settings_rules.h"
#include "platform/dialogs.h"
#include "platform/system.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

frmPassword::frmPassword(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QStringLiteral("Access Advanced Encoder Settings"));

    Label1 = new QLabel(QStringLiteral("User ID:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *top = new QVBoxLayout(this);
    top->addWidget(Label1);
    top->addWidget(txtName);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(txtName, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(txtName, &QLineEdit::textChanged, this, &frmPassword::txtName_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmPassword::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPassword::cmdCancel_Click);
}

void frmPassword::Form_Load()
{
    adjustSize();
    platform::CentreOnScreen(this);
    cmdOK->setEnabled(false);
}

void frmPassword::txtName_Change()
{
    // once enabled, OK stays enabled for the rest of this opening
    if (AccessCodeMatches(txtName->text()))
        cmdOK->setEnabled(true);
}

void frmPassword::cmdOK_Click()
{
    if (!AccessCodeMatches(txtName->text()))
        return;
    if (gRun.sAccessMode == QLatin1String("advanced")) {
        // the shut-down may unload this dialog's owner, and with it this
        // dialog, while the advanced settings are open
        const QPointer<frmPassword> self(this);
        ShowAdvancedSettings(this);
        if (!self)
            return;
    }
    unload();
}

void frmPassword::cmdCancel_Click() { unload(); }

void frmPassword::unload()
{
    m_unloading = true;
    done(QDialog::Rejected);
}

void frmPassword::closeEvent(QCloseEvent *e)
{
    if (m_unloading)
        e->accept();
    else
        e->ignore();
}

void ShowAccessCodeDialog(QWidget *owner)
{
    QPointer<frmPassword> dlg = new frmPassword(owner);
    forms::registerWindow("frmPassword", dlg);
    dlg->Form_Load();
    platform::ExecModal(dlg);
    if (dlg) {
        forms::unloadWindow("frmPassword");
        delete dlg.data();
    }
}
