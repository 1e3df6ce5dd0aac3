#include "app/frmcancelsend.h"

#include "database/state.h"
#include "platform/system.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

frmCancelSend::frmCancelSend(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCancelSend"));
    setWindowTitle(QStringLiteral("Paging Encoder Programming"));
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setMinimumWidth(300);
    Command1 = new QPushButton(QStringLiteral("Cancel"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Command1, 0, Qt::AlignHCenter);
    connect(Command1, &QPushButton::clicked, this, &frmCancelSend::Command1_Click);
}

void frmCancelSend::Show()
{
    show();
    raise();
    activateWindow();
    Form_Activate();
}

void frmCancelSend::Command1_Click() { gWait.bCancelRequested = true; }

void frmCancelSend::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        Command1_Click();
        return;
    }
    QDialog::keyPressEvent(e);
}

void frmCancelSend::closeEvent(QCloseEvent *e)
{
    // the close box (or Alt+F4) would only hide the box while the operation
    // runs on: it is the Cancel button, and the box stays until the
    // operation has seen it and unloads the box
    if (e->spontaneous()) {
        e->ignore();
        Command1_Click();
        return;
    }
    QDialog::closeEvent(e);
}

void frmCancelSend::Form_Activate()
{
    platform::KeepOnTop(this);
    platform::CentreOnScreen(this);
}

void frmCancelSend::Form_Deactivate()
{
    if (gWait.bCancelRequested)
        return;
    // Another window of the program took the activation: come back on top,
    // but never take it away from a message box or dialog the program shows.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible() || gWait.bCancelRequested)
            return;
        QWidget *active = QApplication::activeWindow();
        if (active == nullptr || active == this)
            return;  // another program is active, or we already are
        if (QApplication::activeModalWidget() || qobject_cast<QDialog *>(active))
            return;
        Show();
    });
}

bool frmCancelSend::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    else if (e->type() == QEvent::WindowDeactivate)
        Form_Deactivate();
    return QDialog::event(e);
}
