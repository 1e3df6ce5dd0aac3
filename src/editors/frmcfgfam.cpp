#include "editors/frmcfgfam.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "app/portbusy.h"
#include "database/families_check.h"
#include "database/state.h"
#include "editors/cfgfam_cells.h"
#include "editors/editorcommon.h"
#include "editors/editors.h"
#include "platform/dialogs.h"
#include "platform/grid.h"
#include "platform/system.h"
#include "platform/textbox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>

using namespace cfgfam;
namespace colours = editor_colours;

namespace {
// The window was laid out in twips; 15 twips make a pixel.
int tw(int twips) { return twips / 15; }

const QString kYes = QStringLiteral("YES");
}  // namespace

frmCfgFam::frmCfgFam(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmCfgFam"));
    setWindowTitle(QStringLiteral(" Pager Families Setup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(tw(9960), tw(7725));

    fgFamilies = new platform::FlexGrid(this);
    fgFamilies->setObjectName(QStringLiteral("fgFamilies"));
    fgFamilies->setGeometry(tw(120), tw(120), tw(9735), tw(6615));
    QFont gridFont = fgFamilies->font();
    gridFont.setPointSizeF(8.25);
    fgFamilies->setFont(gridFont);
    fgFamilies->setFixedRows(1);
    fgFamilies->setFixedCols(1);
    fgFamilies->setRows(kGridRows);
    fgFamilies->setCols(kGridCols);
    fgFamilies->setFormatString(HeadingFormat());
    // the program moves the current cell itself (keys, checks); only the
    // keys bring it into view
    fgFamilies->setAutoScroll(false);
    fgFamilies->setBackColor(colours::DarkGrey);
    QPalette pal = fgFamilies->palette();
    pal.setColor(QPalette::Highlight, palette().color(QPalette::Button));
    pal.setColor(QPalette::HighlightedText, palette().color(QPalette::WindowText));
    fgFamilies->setPalette(pal);
    fgFamilies->setStyleSheet(QStringLiteral("QTableView { gridline-color: rgb(224, 224, 224); }"
                                             "QHeaderView::section { background-color: rgb(192, 192, 192);"
                                             " color: black; border: 1px solid rgb(224, 224, 224); }"));
    // the headings' font may be wider than the one the window was laid out
    // for: every column stays in view at the window's fixed size
    fgFamilies->FitColumnsToWidth();

    lblPrefix = new QLabel(QStringLiteral("Prefix:"), this);
    lblPrefix->setGeometry(tw(120), tw(6730), tw(9615), tw(255));
    lblSuffix = new QLabel(QStringLiteral("Suffix:"), this);
    lblSuffix->setGeometry(tw(120), tw(6970), tw(9615), tw(255));
    lblIncCapBy8 = new QLabel(QStringLiteral("Increment Capcodes by 8 Mode is OFF"), this);
    lblIncCapBy8->setGeometry(tw(120), tw(7320), tw(3015) + 40, tw(255));
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setGeometry(tw(4560), tw(7200), tw(855), tw(375));

    txtFam = new QLineEdit(this);
    txtFam->setObjectName(QStringLiteral("txtFam"));
    cmbPgrType = new QComboBox(this);
    cmbPgrType->addItems({QStringLiteral("Alpha"), QStringLiteral("Numeric")});
    cmbFunc = new QComboBox(this);
    cmbFunc->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    cmbRate = new QComboBox(this);
    cmbRate->addItems({QStringLiteral("512"), QStringLiteral("1200"), QStringLiteral("2400")});
    cmbMsg = new QComboBox(this);
    cmbMsg->addItem(QStringLiteral("None"));
    for (int n = 1; n <= kMessageCount; ++n)
        cmbMsg->addItem(QString::number(n));
    for (QWidget *editor : {static_cast<QWidget *>(txtFam), static_cast<QWidget *>(cmbPgrType),
                            static_cast<QWidget *>(cmbFunc), static_cast<QWidget *>(cmbRate),
                            static_cast<QWidget *>(cmbMsg)}) {
        editor->hide();
        fgFamilies->AddCellEditor(editor);
    }

    connect(fgFamilies, &platform::FlexGrid::Click, this, &frmCfgFam::fgFamilies_Click);
    connect(fgFamilies, &platform::FlexGrid::Scroll, this, &frmCfgFam::fgFamilies_Scroll);
    connect(txtFam, &QLineEdit::textChanged, this, &frmCfgFam::txtFam_Change);
    connect(cmbPgrType, &QComboBox::activated, this, &frmCfgFam::cmbPgrType_Click);
    connect(cmbFunc, &QComboBox::activated, this, &frmCfgFam::cmbFunc_Click);
    connect(cmbRate, &QComboBox::activated, this, &frmCfgFam::cmbRate_Click);
    connect(cmbMsg, &QComboBox::activated, this, &frmCfgFam::cmbMsg_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmCfgFam::cmdOK_Click);

    // the window sees every key before the control that has the focus
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
}

// ---- loading ------------------------------------------------------------------

void frmCfgFam::Form_Load()
{
    if (frmTerminal *t = forms::terminal())
        t->Timer1.setEnabled(false);
    gRun.bLoading = true;
    platform::CentreOnScreen(this);
    fgFamilies->setFormatString(RowLabelFormat());
    fgFamilies->setColAlignment(colNumber, Qt::AlignCenter);
    fgFamilies->setCol(colNumber);
    show();
    fill();
}

void frmCfgFam::Refill()
{
    gRun.bLoading = true;
    platform::FlexGrid *g = fgFamilies;
    const int row = g->Row();
    const int col = g->Col();
    const int top = g->verticalScrollBar()->value();
    const int left = g->horizontalScrollBar()->value();
    hideEditors();
    g->ClearCells();
    fillRows();
    {
        // the user's place in the grid stays as it was: no user's scroll
        const QSignalBlocker quiet(g);
        g->verticalScrollBar()->setValue(top);
        g->horizontalScrollBar()->setValue(left);
    }
    g->setRow(row);
    g->setCol(col);
    // a text box opens again over its cell; a list is not opened again,
    // since opening one counts as a choice
    if (TypedFieldFor(col))
        fgFamilies_Click();
    else
        refreshLabels(false);
    gRun.bLoading = false;
}

void frmCfgFam::fillRows()
{
    // a start capcode repaired on the way changes what programming sends
    const ProgramMadeChange change;
    lblIncCapBy8->setText(gSettings.bIncCapBy8 ? QStringLiteral("Increment Capcodes by 8 Mode is ON")
                                               : QStringLiteral("Increment Capcodes by 8 Mode is OFF"));
    for (int r = 1; r <= kFamilyCount; ++r)
        fillRow(r);
}

void frmCfgFam::fill()
{
    fillRows();
    fgFamilies->setRow(1);
    fgFamilies->setCol(colNumber);
    fgFamilies->setFocus();
    fgFamilies->setCol(colQty);
    fgFamilies_Click();
    gRun.bLoading = false;
}

void frmCfgFam::fillRow(int r)
{
    platform::FlexGrid *g = fgFamilies;
    FamilyRow &f = gDb.Families[size_t(r - 1)];
    const bool on = f[famActive] == QLatin1String("1");
    g->setRow(r);
    g->setCol(colActive);
    if (on) {
        g->setCellBackColor(colours::Green);
        g->setText(QStringLiteral("ON"));
        g->setCol(colQty);
        g->setColSel(colSuffix);
        g->setCellBackColor(colours::Ivory);
    } else {
        g->setCellBackColor(colours::Red);
        g->setText(QStringLiteral("OFF"));
        g->setCol(colQty);
        if (f[famComplete] == kYes) {
            g->setColSel(colSuffix);
            g->setCellBackColor(colours::LightGrey);
        }
    }
    if (f[famPagerQty] == QLatin1String("000") && !on) {
        // a family not in use shows nothing
        g->setText(QString());
        cell(colStartID, QString());
        cell(colEndID, QString());
        return;
    }
    cell(colQty, f[famPagerQty] == QLatin1String("000") ? QString() : QtyText(f[famPagerQty]));
    cell(colStartID, f[famStartID] == QLatin1String("0000") ? QString() : f[famStartID]);
    cell(colStartCap, f[famStartCap] == QLatin1String("0000000") ? QString() : f[famStartCap]);
    if (f[famStartID] != QLatin1String("0000")) {
        cell(colEndID, EndIDText(f));
        g->setCellForeColor(colours::DarkGrey);
    }
    if (!StoredNumber(f[famStartCap])) {
        // a start capcode that is not a number is repaired to the lowest legal one
        f[famStartCap] = QStringLiteral("0000008");
        cell(colStartCap, f[famStartCap]);
    }
    const std::optional<long long> cap = StoredNumber(f[famStartCap]);
    if (cap && *cap >= 1) {
        cell(colEndCap, EndCapText(f, gSettings.bIncCapBy8));
        g->setCellForeColor(colours::DarkGrey);
    }
    cell(colPgrType, PgrTypeText(f[famPgrType]));
    if (const std::optional<QString> func = LoadFuncText(f[famFunc]))
        cell(colFunc, *func);
    if (const std::optional<QString> rate = LoadRateText(f[famRate]))
        cell(colRate, *rate);
    cell(colPrefix, MsgText(f[famPrefix]));
    cell(colSuffix, MsgText(f[famSuffix]));
    // a family switched ON that OK would erase shows why, as while it was typed
    if (on)
        for (int c : {int(colQty), int(colStartID), int(colStartCap), int(colPgrType), int(colRate)})
            if (ValueMissing(f, c)) {
                g->setCol(c);
                g->setCellBackColor(colours::Magenta);
            }
}

void frmCfgFam::cell(int col, const QString &text)
{
    fgFamilies->setCol(col);
    fgFamilies->setText(text);
}

int frmCfgFam::familyIndex() const
{
    const int r = fgFamilies->Row();
    return r >= 1 && r <= kFamilyCount ? r - 1 : -1;
}

void frmCfgFam::markModified()
{
    // the Active toggle runs inside the selection handler, which holds
    // bLoading: the marking must still happen there
    const bool loading = gRun.bLoading;
    gRun.bLoading = false;
    EditorChanged(EditorKind::Grid);
    gRun.bLoading = loading;
}

// ---- keys and closing -----------------------------------------------------------

bool frmCfgFam::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        int key = k->key();
        Form_KeyDown(key, k->modifiers());
        if (key == 0)
            return true;
    }
    return QWidget::eventFilter(watched, e);
}

void frmCfgFam::keyPressEvent(QKeyEvent *e)
{
    int key = e->key();
    Form_KeyDown(key, e->modifiers());
    if (key != 0)
        QWidget::keyPressEvent(e);
}

void frmCfgFam::Form_KeyDown(int &keyCode, Qt::KeyboardModifiers)
{
    const int col = fgFamilies->Col();
    const int row = fgFamilies->Row();
    const int next = row >= kFamilyCount ? 1 : row + 1;
    const int previous = row <= 1 ? kFamilyCount : row - 1;
    switch (keyCode) {
    case Qt::Key_F1:
        if (frmTerminal *t = forms::terminal())
            platform::ShellOpen(t->HelpFile());
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Right:
        if (col == colActive)
            moveTo(row, colQty, false);
        else if (col == colQty)
            moveTo(row, colStartID, false);
        else if (col == colStartID)
            moveTo(row, colStartCap, false);
        else if (col == colStartCap || col == colNumber)
            moveTo(next, colQty, true);
        break;
    case Qt::Key_Left:
        if (col == colQty)
            moveTo(previous, colStartCap, true);
        else if (col == colStartID)
            moveTo(row, colQty, false);
        else if (col == colStartCap)
            moveTo(row, colStartID, false);
        break;
    case Qt::Key_Down:
        moveTo(next, col, true);
        break;
    case Qt::Key_Up:
        moveTo(previous, col, true);
        break;
    default:
        return;  // left to the grid or the editor
    }
    keyCode = 0;
}

void frmCfgFam::moveTo(int row, int col, bool twice)
{
    fgFamilies->setRow(row);
    fgFamilies->setCol(col);
    {
        // bringing the cell into view is part of the move, not a user's scroll
        const QSignalBlocker quiet(fgFamilies);
        fgFamilies->ShowCurrentCell();
    }
    fgFamilies_Click();
    if (twice) {
        fgFamilies->setCol(col);
        fgFamilies_Click();
    }
}

void frmCfgFam::closeEvent(QCloseEvent *e)
{
    // the check lets window events through: a second close, the close box
    // included, does nothing until this one has ended
    const ClosingWaitGuard closing(this, ClosingWaitGuard::WaitsOn::OwnSteps);
    // the check still works on the grid: it is cancelled first, unless the
    // program is leaving
    bool cancel = m_checking && !gRun.bExiting;
    // every way of closing keeps the edits, so each runs OK's steps first and
    // asks only once they let the window close: a window that stays open for
    // the check's marks has asked nothing yet. The shut-down keeps nothing
    // and only asks.
    if (!cancel && !gRun.bExiting) {
        const QPointer<frmCfgFam> self(this);
        const bool done = finishEditing();
        if (!self)
            return;  // the window was unloaded while the check ran
        cancel = !done;
    }
    if (!cancel)
        Form_QueryUnload(cancel);
    e->setAccepted(!cancel);
}

void frmCfgFam::Form_QueryUnload(bool &cancel)
{
    if (!gRun.bDefinitionIncomplete)
        return;
    gRun.bDefinitionIncomplete = false;
    const platform::Answer a = platform::MsgBox(IncompleteQuestion(), platform::Buttons::YesNo,
                                                platform::Icon::Question, kIncompleteTitle);
    if (a == platform::Answer::No)
        cancel = true;
}

// ---- cell selection ---------------------------------------------------------------

void frmCfgFam::hideEditors()
{
    cmbMsg->hide();
    txtFam->hide();
    cmbPgrType->hide();
    cmbFunc->hide();
    cmbRate->hide();
}

void frmCfgFam::refreshLabels(bool shorten)
{
    const int i = familyIndex();
    if (i < 0)
        return;
    const FamilyRow &f = gDb.Families[size_t(i)];
    lblPrefix->setText(MessageLabel(QStringLiteral("Prefix"), f[famPrefix], gDb.CannedMessages, shorten));
    lblSuffix->setText(MessageLabel(QStringLiteral("Suffix"), f[famSuffix], gDb.CannedMessages, shorten));
}

void frmCfgFam::fgFamilies_Click()
{
    gRun.bLoading = true;
    hideEditors();
    if (familyIndex() >= 0) {
        switch (fgFamilies->Col()) {
        case colActive:
            toggleActive();
            break;
        case colQty:
        case colStartID:
        case colStartCap:
            openTextEditor(fgFamilies->Col());
            break;
        case colEndID:
        case colEndCap:
            fgFamilies->setCol(colNumber);
            fgFamilies->setColSel(colNumber);
            break;
        case colPgrType:
        case colFunc:
        case colRate:
        case colPrefix:
        case colSuffix:
            openList(fgFamilies->Col());
            break;
        default:
            break;
        }
    }
    refreshLabels(false);
    gRun.bLoading = false;
}

void frmCfgFam::fgFamilies_Scroll()
{
    hideEditors();
    fgFamilies->setCol(colNumber);
}

void frmCfgFam::openTextEditor(int col)
{
    const TypedField *rule = TypedFieldFor(col);
    const QRect rc = fgFamilies->CellRect();
    txtFam->setGeometry(fgFamilies->x() + rc.left(), fgFamilies->y() + rc.top(), rc.width(), rc.height());
    // the box takes the cell's whole text, also one longer than a user may
    // type (a start ID the check moved past 9999, a long value read from a
    // file): cutting it would show, and on the next keystroke store, a
    // different number
    const QString shown = fgFamilies->Text();
    platform::SetTextWhole(txtFam, shown, rule->maxLength);
    txtFam->show();
    txtFam->raise();
    txtFam->setCursorPosition(int(txtFam->text().size()));
    txtFam->setFocus();
}

void frmCfgFam::openList(int col)
{
    gRun.bFamiliesEdited = true;
    QComboBox *list = col == colPgrType ? cmbPgrType : col == colFunc ? cmbFunc : col == colRate ? cmbRate : cmbMsg;
    const QRect rc = fgFamilies->CellRect();
    list->setGeometry(fgFamilies->x() + rc.left(), fgFamilies->y() + rc.top(), rc.width() + tw(300),
                      qMax(rc.height(), list->sizeHint().height()));
    list->show();
    list->raise();
    const QString text = fgFamilies->Text();
    if (!text.isEmpty()) {
        int index = -1;
        if (col == colPgrType)
            index = text == QLatin1String("Alpha") ? 0 : 1;
        else if (col == colRate)
            index = text == QLatin1String("512") ? 0 : text == QLatin1String("1200") ? 1 : 2;
        else if ((col == colPrefix || col == colSuffix) && text == QLatin1String("00"))
            index = 0;
        else
            index = list->findText(text);  // no entry matches: nothing is preselected
        list->setCurrentIndex(index);
    } else {
        // an empty cell takes the first entry as if the user had chosen it
        list->setCurrentIndex(-1);
        gRun.bLoading = false;
        list->setCurrentIndex(0);
        if (list == cmbPgrType)
            cmbPgrType_Click();
        else if (list == cmbFunc)
            cmbFunc_Click();
        else if (list == cmbRate)
            cmbRate_Click();
        else
            cmbMsg_Click();
    }
    list->setFocus();
}

void frmCfgFam::showEndID(int row)
{
    fgFamilies->setCol(colEndID);
    fgFamilies->setText(EndIDText(gDb.Families[size_t(row - 1)]));
    fgFamilies->setCellForeColor(colours::DarkGrey);
}

void frmCfgFam::showEndCap(int row)
{
    fgFamilies->setCol(colEndCap);
    fgFamilies->setText(EndCapText(gDb.Families[size_t(row - 1)], gSettings.bIncCapBy8));
    fgFamilies->setCellForeColor(colours::DarkGrey);
}

void frmCfgFam::toggleActive()
{
    platform::FlexGrid *g = fgFamilies;
    const int row = g->Row();
    FamilyRow &f = gDb.Families[size_t(row - 1)];
    markModified();
    gRun.bFamiliesEdited = true;
    if (f[famActive] == QLatin1String("1")) {
        g->setCellBackColor(colours::Red);
        g->setText(QStringLiteral("OFF"));
        f[famActive] = QStringLiteral("0");
        g->setCol(colQty);
        g->setColSel(colSuffix);
        if (f[famComplete] == kYes) {
            g->setCellBackColor(colours::LightGrey);
        } else {
            g->setCellBackColor(colours::DarkGrey);
            g->setText(QString());
        }
        g->setCol(colNumber);
        return;
    }
    // switched ON: no field is tested first; missing fields turn magenta
    g->setCellBackColor(colours::Green);
    f[famActive] = QStringLiteral("1");
    g->setText(QStringLiteral("ON"));

    const QString &qty = f[famPagerQty];
    const bool qtyMissing = qty.isEmpty() || qty == QLatin1String("000");
    g->setCol(colQty);
    if (qtyMissing) {
        g->setCellBackColor(colours::Magenta);
    } else {
        g->setText(QtyText(qty));
        g->setCellBackColor(colours::Ivory);
    }
    const QString &startID = f[famStartID];
    const bool idMissing = startID.isEmpty() || startID == QLatin1String("0000");
    g->setCol(colStartID);
    if (idMissing) {
        g->setCellBackColor(colours::Magenta);
    } else {
        g->setText(startID);
        g->setCellBackColor(colours::Ivory);
    }
    for (int c : {int(colEndID), int(colEndCap)}) {
        g->setCol(c);
        g->setCellBackColor(colours::Ivory);
        g->setCellForeColor(colours::DarkGrey);
    }
    const bool capMissing = f[famStartCap] == QLatin1String("0000000");
    g->setCol(colStartCap);
    if (capMissing) {
        g->setCellBackColor(colours::Magenta);
    } else {
        g->setText(f[famStartCap]);
        g->setCellBackColor(colours::Ivory);
    }
    if (!qtyMissing) {
        if (!idMissing)
            showEndID(row);
        if (!capMissing)
            showEndCap(row);
    }
    g->setCol(colPgrType);
    if (f[famPgrType] == QLatin1String("A") || f[famPgrType] == QLatin1String("N")) {
        g->setText(PgrTypeText(f[famPgrType]));
        g->setCellBackColor(colours::Ivory);
    } else {
        g->setCellBackColor(colours::Magenta);
    }
    g->setCol(colFunc);
    g->setCellBackColor(colours::Ivory);
    if (f[famFunc].isEmpty()) {
        f[famFunc] = QStringLiteral("3");
        g->setText(QStringLiteral("4"));
    } else {
        g->setText(OnFuncText(f[famFunc]));
    }
    g->setCol(colRate);
    if (f[famRate].isEmpty()) {
        g->setCellBackColor(colours::Magenta);
    } else {
        g->setText(OnRateText(f[famRate]));
        g->setCellBackColor(colours::Ivory);
    }
    for (int c : {int(colPrefix), int(colSuffix)}) {
        QString &msg = f[c == colPrefix ? famPrefix : famSuffix];
        if (msg.isEmpty())
            msg = QStringLiteral("00");
        cell(c, MsgText(msg));
        g->setCellBackColor(colours::Ivory);
    }
    g->setCol(colNumber);
    g->setColSel(colNumber);
}

// ---- typed fields -------------------------------------------------------------------

void frmCfgFam::seedRecord()
{
    platform::FlexGrid *g = fgFamilies;
    FamilyRow &f = gDb.Families[size_t(familyIndex())];
    const int c = g->Col();
    cell(colActive, QStringLiteral("ON"));
    g->setCellBackColor(colours::Green);
    f[famActive] = QStringLiteral("1");
    g->setCol(colQty);
    g->setColSel(colSuffix);
    g->setCellBackColor(colours::Ivory);
    cell(colQty, QStringLiteral("1"));
    f[famPagerQty] = QStringLiteral("001");
    g->setCol(colStartID);
    g->setCellBackColor(colours::Magenta);
    f[famStartID] = QStringLiteral("0000");
    g->setCol(colStartCap);
    g->setCellBackColor(colours::Magenta);
    f[famStartCap] = QStringLiteral("0000000");
    f[famPgrType] = QStringLiteral("A");
    cell(colPgrType, QStringLiteral("Alpha"));
    g->setCol(colFunc);
    g->setCellBackColor(colours::Ivory);
    g->setText(QStringLiteral("4"));
    f[famFunc] = QStringLiteral("3");
    cell(colRate, QStringLiteral("512"));
    f[famRate] = QStringLiteral("5");
    cell(colPrefix, QStringLiteral("None"));
    f[famPrefix] = QStringLiteral("00");
    cell(colSuffix, QStringLiteral("None"));
    f[famSuffix] = QStringLiteral("00");
    g->setCol(c);
}

void frmCfgFam::txtFam_Change()
{
    if (gRun.bLoading)
        return;
    platform::FlexGrid *g = fgFamilies;
    const int c = g->Col();
    const int i = familyIndex();
    const TypedField *rule = TypedFieldFor(c);
    if (i < 0 || !rule)
        return;  // the text box is only ever placed over these cells
    gRun.bFamiliesEdited = true;
    FamilyRow &f = gDb.Families[size_t(i)];
    const int row = i + 1;
    if (f[famActive].isEmpty() || f[famActive] == QLatin1String("0"))
        seedRecord();
    const QString text = txtFam->text();
    if (text.isEmpty()) {
        g->setCellBackColor(colours::Magenta);
        g->setText(QString());
        if (c == colQty) {
            f[famPagerQty] = QStringLiteral("000");
            cell(colEndID, QString());
            cell(colEndCap, QString());
        } else if (c == colStartID) {
            f[famStartID] = QStringLiteral("0000");
            cell(colEndID, QString());
        } else {
            f[famStartCap] = QStringLiteral("0000000");
            cell(colEndCap, QString());
        }
        g->setCol(c);
        markModified();
        return;
    }
    g->setCellBackColor(f[famActive] != QLatin1String("1") ? colours::LightGrey : colours::Ivory);
    if (text.contains(QLatin1Char(','))) {
        gRun.bLoading = true;
        platform::MsgBox(rule->commaMessage, platform::Buttons::OK, platform::Icon::None, kInvalidEntryTitle);
        gRun.bLoading = false;
        if (g->Row() != row || g->Col() != c)
            return;  // the box stands over another cell by now
        // the text put back is handled as if typed, so the table holds what
        // the box and the cell show
        txtFam->setText(rule->commaReset);
        return;
    }
    long long value = 0;
    const bool number = TypedNumber(text, value);
    const bool inRange = number && value >= rule->lowest && (rule->highest < 0 || value <= rule->highest);
    bool store = true;
    if (!inRange) {
        g->setCellBackColor(colours::Magenta);
        if (c == colQty) {
            g->setText(QString());
            cell(colEndID, QString());
            cell(colEndCap, QString());
            store = false;
        } else if (c == colStartID) {
            g->setText(QString());
            cell(colEndID, QString());
            store = false;
        } else if (!number) {
            // a start capcode below 8 is kept as typed; letters are not
            g->setText(QString());
            cell(colEndCap, QString());
            store = false;
        }
    }
    if (store) {
        g->setText(text == QLatin1String("0") ? QString() : text);
        if (c == colQty) {
            f[famPagerQty] = PadStored(text, 3);
            if (f[famStartID] != QLatin1String("0000"))
                showEndID(row);
            if (f[famStartCap] != QLatin1String("0000000"))
                showEndCap(row);
        } else if (c == colStartID) {
            f[famStartID] = text;
            if (f[famPagerQty] != QLatin1String("000"))
                showEndID(row);
        } else {
            f[famStartCap] = PadStored(text, 7);
            g->setText(f[famStartCap]);
            if (f[famPagerQty] != QLatin1String("000"))
                showEndCap(row);
        }
    }
    g->setCol(c);
    markModified();
}

// ---- choice fields --------------------------------------------------------------------

void frmCfgFam::seedShortRecord()
{
    platform::FlexGrid *g = fgFamilies;
    FamilyRow &f = gDb.Families[size_t(familyIndex())];
    const int c = g->Col();
    cell(colActive, QStringLiteral("ON"));
    g->setCellBackColor(colours::Green);
    f[famActive] = QStringLiteral("1");
    g->setCol(colQty);
    g->setColSel(colRate);
    g->setCellBackColor(colours::Magenta);
    cell(colQty, QStringLiteral("1"));
    f[famPagerQty] = QStringLiteral("001");
    for (int d : {int(colEndID), int(colEndCap)}) {
        g->setCol(d);
        g->setCellBackColor(colours::Ivory);
        g->setCellForeColor(colours::DarkGrey);
    }
    cell(colFunc, QStringLiteral("4"));
    g->setCellBackColor(colours::Ivory);
    f[famFunc] = QStringLiteral("3");
    cell(colPrefix, QStringLiteral("None"));
    g->setCellBackColor(colours::Ivory);
    f[famPrefix] = QStringLiteral("00");
    cell(colSuffix, QStringLiteral("None"));
    g->setCellBackColor(colours::Ivory);
    f[famSuffix] = QStringLiteral("00");
    g->setCol(c);
}

bool frmCfgFam::choiceStart(QComboBox *list)
{
    if (gRun.bLoading)
        return false;
    gRun.bFamiliesEdited = true;
    const int i = familyIndex();
    if (i < 0)
        return false;
    if (gDb.Families[size_t(i)][famActive].isEmpty())
        seedShortRecord();
    fgFamilies->setText(list->currentText());
    if (gDb.Families[size_t(i)][famActive] == QLatin1String("1"))
        fgFamilies->setCellBackColor(colours::Ivory);
    return true;
}

void frmCfgFam::choiceEnd() { markModified(); }

void frmCfgFam::cmbPgrType_Click()
{
    if (!choiceStart(cmbPgrType))
        return;
    FamilyRow &f = gDb.Families[size_t(familyIndex())];
    const int c = fgFamilies->Col();
    const bool alpha = fgFamilies->Text() == QLatin1String("Alpha");
    f[famPgrType] = alpha ? QStringLiteral("A") : QStringLiteral("N");
    // the usual function code of the type goes with it
    fgFamilies->setCol(colFunc);
    f[famFunc] = alpha ? QStringLiteral("3") : QStringLiteral("0");
    fgFamilies->setText(alpha ? QStringLiteral("4") : QStringLiteral("1"));
    fgFamilies->setCol(c);
    choiceEnd();
}

void frmCfgFam::cmbFunc_Click()
{
    if (!choiceStart(cmbFunc))
        return;
    FamilyRow &f = gDb.Families[size_t(familyIndex())];
    const FuncChoice choice = DecideFunc(fgFamilies->Text(), f[famPgrType]);
    if (!choice.askLine.isEmpty()) {
        const platform::Answer a =
            platform::MsgBox(choice.askLine + QLatin1Char('\r') + kFuncWarningQuestion, platform::Buttons::YesNo,
                             platform::Icon::Question, kFuncWarningTitle, 1);
        if (a != platform::Answer::Yes) {
            // the cell goes back to the code that is still stored, or to
            // nothing for a stored code the list does not know
            const QString shown = LoadFuncText(f[famFunc]).value_or(QString());
            fgFamilies->setText(shown);
            const QSignalBlocker quiet(cmbFunc);
            cmbFunc->setCurrentIndex(cmbFunc->findText(shown));
            return;
        }
    }
    if (choice.code)
        f[famFunc] = *choice.code;
    choiceEnd();
}

void frmCfgFam::cmbRate_Click()
{
    if (!choiceStart(cmbRate))
        return;
    gDb.Families[size_t(familyIndex())][famRate] = RateCode(fgFamilies->Text());
    choiceEnd();
}

void frmCfgFam::cmbMsg_Click()
{
    if (!choiceStart(cmbMsg))
        return;
    FamilyRow &f = gDb.Families[size_t(familyIndex())];
    f[fgFamilies->Col() == colPrefix ? famPrefix : famSuffix] = MsgCode(fgFamilies->Text());
    refreshLabels(true);
    choiceEnd();
}

// ---- OK -------------------------------------------------------------------------------------

void frmCfgFam::cmdOK_Click()
{
    if (m_checking)
        return;  // the check started by an earlier OK is still running
    // OK leaves no verdict for the closing question; its steps run on closing
    gRun.bDefinitionIncomplete = false;
    close();
}

bool frmCfgFam::finishEditing()
{
    // these steps rewrite the tables, and the check would share the cancel
    // box with the operation that waits on the port or with the other
    // editor's check: nothing is done until that has ended, edits or not
    if (Busy())
        return false;
    // a family marked complete goes out whole, an erased one as unused, a
    // corrected one as corrected: programming would send something else
    const ProgramMadeChange change;
    hideEditors();
    fgFamilies->setCol(colNumber);
    // the pass judges one family at a time and keeps no verdict: the one the
    // closing question reads is left as it was
    for (int r = 1; r <= kFamilyCount; ++r) {
        FamilyRow &f = gDb.Families[size_t(r - 1)];
        if (FamilyComplete(f)) {
            f[famComplete] = kYes;
            continue;
        }
        f[famComplete].clear();
        if (EraseIncompleteFamily(f)) {
            fgFamilies->setRow(r);
            cell(colActive, QStringLiteral("OFF"));
            fgFamilies->setCellBackColor(colours::Red);
        }
    }
    if (gRun.bFamiliesEdited) {
        const QPointer<frmCfgFam> self(this);
        FamiliesCheckOutcome outcome;
        m_checking = true;
        gRun.bDatabaseChecked = CheckFamiliesDatabase(fgFamilies, &outcome);
        if (!self)
            return false;  // the window was unloaded while the check ran
        m_checking = false;
        // the check moves start IDs and shortens quantities: the End ID
        // cells of the families it may have changed follow them
        for (int r = 1; r <= kFamilyCount; ++r)
            if (checks::FamilyTakesPart(gDb.Families[size_t(r - 1)]))
                fgFamilies->setTextMatrix(r, colEndID, EndIDText(gDb.Families[size_t(r - 1)]));
        if (gRun.bFamilyFieldsAdjusted) {
            gRun.bFamilyFieldsAdjusted = false;
            return false;
        }
        if (outcome.end == FamiliesCheckEnd::NotANumber || outcome.end == FamiliesCheckEnd::OutOfRange)
            return false;  // the family the check stopped at is to be corrected first
    }
    return true;
}

// ---- opening -----------------------------------------------------------------------------------

void ShowFamiliesEditor()
{
    if (QWidget *w = forms::window("frmCfgFam")) {
        w->show();
        w->raise();
        w->activateWindow();
        return;
    }
    auto *w = new frmCfgFam();
    forms::registerWindow("frmCfgFam", w);
    w->Form_Load();
}
