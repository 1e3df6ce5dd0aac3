#include "editors/frmcfgmsg.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "editors/editorcommon.h"
#include "editors/editors.h"
#include "platform/dialogs.h"
#include "platform/grid.h"
#include "platform/system.h"
#include "platform/textbox.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QChar kDoubleQuote(u'"');

// The heading of the message column: its blanks make the column wide
// enough for a long message.
QString messageHeading() { return QStringLiteral("Message") + QString(169, QLatin1Char(' ')); }

}  // namespace

frmCfgMsg::frmCfgMsg(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmCfgMsg"));
    setWindowTitle(QStringLiteral(" Predefined Messages Setup"));

    fgMessages = new platform::FlexGrid(this);
    fgMessages->setObjectName(QStringLiteral("fgMessages"));
    fgMessages->setFixedRows(1);
    fgMessages->setFixedCols(1);
    fgMessages->setRows(kMessageCount + 1);
    fgMessages->setCols(2);
    fgMessages->setFormatString(QStringLiteral("^|<") + messageHeading());

    txtMsg = new QLineEdit(fgMessages);
    txtMsg->setObjectName(QStringLiteral("txtMsg"));
    txtMsg->setMaxLength(kMessageMaxLength);
    txtMsg->setFrame(false);
    txtMsg->hide();
    fgMessages->AddCellEditor(txtMsg);

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addStretch(1);
    auto *top = new QVBoxLayout(this);
    top->addWidget(fgMessages, 1);
    top->addLayout(buttons);
    resize(620, fgMessages->verticalHeader()->defaultSectionSize() * (kMessageCount + 1) + 80);

    connect(fgMessages, &platform::FlexGrid::Click, this, &frmCfgMsg::fgMessages_Click);
    connect(txtMsg, &QLineEdit::textChanged, this, &frmCfgMsg::txtMsg_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmCfgMsg::cmdOK_Click);
    // key preview: the window sees the keys of all its controls first
    qApp->installEventFilter(this);
}

void frmCfgMsg::Form_Load()
{
    if (frmTerminal *w = forms::terminal())
        w->Timer1.setEnabled(false);
    gRun.bLoading = true;
    platform::CentreOnScreen(this);

    QString labels;
    for (int n = 1; n <= kMessageCount; ++n)
        labels += QStringLiteral("| ") + QString::number(n);
    fgMessages->setFormatString(QLatin1Char(';') + labels);
    fgMessages->setColAlignment(0, Qt::AlignCenter);
    fgMessages->setColWidth(0, fgMessages->fontMetrics().horizontalAdvance(QStringLiteral(" 15")) + 16);
    fgMessages->setCol(0);

    show();
    fill();
}

void frmCfgMsg::Refill()
{
    gRun.bLoading = true;
    txtMsg->hide();
    fgMessages->ClearCells();
    fill();
}

void frmCfgMsg::fill()
{
    for (int n = 1; n <= kMessageCount; ++n) {
        fgMessages->setRow(n);
        fgMessages->setCol(1);
        const QString &message = gDb.CannedMessages[n - 1];
        if (message.isEmpty()) {
            fgMessages->setCellBackColor(editor_colours::LightGrey);
        } else {
            fgMessages->setText(message);
            fgMessages->setCellBackColor(editor_colours::Ivory);
        }
    }
    fgMessages->setRow(1);
    fgMessages->setCol(1);
    fgMessages->setFocus();
    fgMessages_Click();
    gRun.bLoading = false;
}

void frmCfgMsg::placeEditor()
{
    fgMessages->ShowCurrentCell();
    const QRect cell = fgMessages->CellRect();
    txtMsg->setGeometry(cell.left(), cell.top(), cell.width(), cell.height());
}

void frmCfgMsg::fgMessages_Click()
{
    gRun.bLoading = true;
    txtMsg->hide();
    // a click on a message's number opens that message
    fgMessages->setCol(1);
    placeEditor();
    const QString text = fgMessages->Text();
    // a longer message from a file or the encoder is shown whole; typing
    // is limited to the usual length
    platform::SetTextWhole(txtMsg, text, kMessageMaxLength);
    txtMsg->show();
    txtMsg->raise();
    txtMsg->setCursorPosition(int(txtMsg->text().size()));
    txtMsg->setFocus();
    gRun.bLoading = false;
}

void frmCfgMsg::txtMsg_Change()
{
    if (gRun.bLoading)
        return;
    QString text = txtMsg->text();
    if (text.contains(kDoubleQuote)) {
        platform::MsgBox(QStringLiteral("Double Quote Characters (") + kDoubleQuote + QStringLiteral(") are Not Allowed"),
                         platform::Buttons::OK, platform::Icon::None, QStringLiteral("Invalid Entry"));
        // only the double quotes go; what was typed around them stays
        const int cursor = txtMsg->cursorPosition();
        const int before = int(text.left(cursor).count(kDoubleQuote));
        text.remove(kDoubleQuote);
        const QSignalBlocker quiet(txtMsg);
        txtMsg->setText(text);
        txtMsg->setCursorPosition(cursor - before);
    }
    const int row = fgMessages->Row();
    if (row < 1 || row > kMessageCount)
        return;
    gDb.CannedMessages[row - 1] = text;
    fgMessages->setCellBackColor(text.isEmpty() ? editor_colours::LightGrey : editor_colours::Ivory);
    fgMessages->setText(text);
    EditorChanged(EditorKind::Grid);
}

bool frmCfgMsg::Form_KeyDown(int keyCode)
{
    switch (keyCode) {
    case Qt::Key_F1:
        platform::ShellOpen(forms::terminal() ? forms::terminal()->HelpFile() : QString());
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Right:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        fgMessages->setRow(fgMessages->Row() >= kMessageCount ? 1 : fgMessages->Row() + 1);
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        fgMessages->setRow(fgMessages->Row() <= 1 ? kMessageCount : fgMessages->Row() - 1);
        break;
    default:
        return false;
    }
    fgMessages->setCol(1);
    fgMessages_Click();
    return true;
}

bool frmCfgMsg::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && w->window() == this && Form_KeyDown(static_cast<QKeyEvent *>(e)->key()))
            return true;
    }
    return QWidget::eventFilter(watched, e);
}

void frmCfgMsg::cmdOK_Click() { close(); }

void ShowMessagesEditor()
{
    if (QWidget *w = forms::window("frmCfgMsg")) {
        w->show();
        w->raise();
        w->activateWindow();
        return;
    }
    auto *w = new frmCfgMsg();
    w->setAttribute(Qt::WA_DeleteOnClose, true);
    forms::registerWindow("frmCfgMsg", w);
    w->Form_Load();
}
