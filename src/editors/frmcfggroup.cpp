#include "editors/frmcfggroup.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "app/portbusy.h"
#include "database/groups_check.h"
#include "database/state.h"
#include "editors/editorcommon.h"
#include "editors/editors.h"
#include "platform/dialogs.h"
#include "platform/grid.h"
#include "platform/system.h"
#include "platform/textbox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

using namespace groupsgrid;
using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {
// Design positions are in twips, 15 to a pixel.
constexpr int px(int twips) { return (twips + 7) / 15; }
// The in-cell editors sit this far above the cell's top edge (the grid's
// top edge is at 120, the editors at the cell top + 95).
constexpr int kEditorLift = px(120 - 95);
constexpr int kListExtraWidth = px(300);
// The most characters the text box takes from the keyboard.
constexpr int kTypedMaxLength = 6;

bool inGroupColumn(int c) { return c >= 1 && c <= kGroupCount; }
}  // namespace

frmCfgGroup::frmCfgGroup(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmCfgGroup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(" Pager Groups Setup"));
    setFixedSize(px(9450), px(7395));

    fgGroups = new platform::FlexGrid(this);
    fgGroups->setObjectName(QStringLiteral("fgGroups"));
    fgGroups->setGeometry(px(120), px(120), px(9255), px(6357));
    fgGroups->setFixedRows(1);
    fgGroups->setFixedCols(1);
    fgGroups->setCols(kCols);
    fgGroups->setRows(2);
    fgGroups->setFormatString(kHeadingFormat);
    // the window moves the current cell itself; the view follows only when asked
    fgGroups->setAutoScroll(false);

    lblMsg = new QLabel(QStringLiteral("Message:"), this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setGeometry(px(120), px(6600), px(9135), px(255));

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(px(4200), px(6840), px(855), px(375));

    txtGrp = new QLineEdit(this);
    txtGrp->setObjectName(QStringLiteral("txtGrp"));
    txtGrp->setMaxLength(kTypedMaxLength);
    txtGrp->resize(px(1000), px(285));
    txtGrp->hide();

    cmbMsg = new QComboBox(this);
    cmbMsg->setObjectName(QStringLiteral("cmbMsg"));
    cmbMsg->addItem(QStringLiteral("None"));
    for (int n = 1; n <= kMessageCount; ++n)
        cmbMsg->addItem(QString::number(n));
    cmbMsg->resize(px(1300), px(315));
    cmbMsg->hide();
    fgGroups->AddCellEditor(txtGrp);
    fgGroups->AddCellEditor(cmbMsg);

    connect(fgGroups, &platform::FlexGrid::Click, this, &frmCfgGroup::fgGroups_Click);
    connect(txtGrp, &QLineEdit::textChanged, this, [this] { txtGrp_Change(); });
    connect(cmbMsg, &QComboBox::activated, this, [this] { cmbMsg_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, &frmCfgGroup::cmdOK_Click);

    // the window sees the keys before the control that has the focus
    for (QWidget *w : {static_cast<QWidget *>(fgGroups), static_cast<QWidget *>(txtGrp),
                       static_cast<QWidget *>(cmbMsg), static_cast<QWidget *>(cmdOK)})
        w->installEventFilter(this);
}

// ---- load step -----------------------------------------------------------

void frmCfgGroup::Form_Load()
{
    if (frmTerminal *t = forms::terminal())
        t->Timer1.setEnabled(false);
    gRun.bLoading = true;
    platform::CentreOnScreen(this);

    fgGroups->setFormatString(kRowLabelFormat);
    fgGroups->setColAlignment(0, Qt::AlignCenter);
    // the label column is widened when its labels would not fit the heading's width
    int labelWidth = fgGroups->ColWidth(0);
    const QFontMetrics fm(fgGroups->font());
    for (int r = 1; r < kRows; ++r)
        labelWidth = qMax(labelWidth, fm.horizontalAdvance(fgGroups->TextMatrix(r, 0)) + 12);
    fgGroups->setColWidth(0, labelWidth);

    show();
    fill();
}

void frmCfgGroup::Refill()
{
    gRun.bLoading = true;
    txtGrp->hide();
    cmbMsg->hide();
    lblMsg->setText(QStringLiteral("Message:"));
    fgGroups->ClearCells();
    fill();
}

void frmCfgGroup::fill()
{
    // a timer switched off on the way (its message is no number above 0)
    // changes what programming sends; a Group ID's dropped zeros do not
    const ProgramMadeChange change;
    for (int g = 0; g < kGroupCount; ++g)
        writeColumn(g + 1, LoadColumn(gDb.Groups[size_t(g)]));
    fgGroups->setRow(rowGroupID);
    fgGroups->setCol(1);
    gRun.bLoading = false;
    fgGroups_Click();
}

// ---- the grid as a column model ------------------------------------------

Column frmCfgGroup::readColumn(int c) const
{
    Column col{};
    for (int r = 1; r < kRows; ++r)
        col[size_t(r)] = Cell{fgGroups->TextMatrix(r, c), fgGroups->CellBackColorAt(r, c)};
    return col;
}

void frmCfgGroup::writeColumn(int c, const Column &col)
{
    const int row = fgGroups->Row(), colNow = fgGroups->Col();
    const int rowSel = fgGroups->RowSel(), colSel = fgGroups->ColSel();
    bool moved = false;
    for (int r = 1; r < kRows; ++r) {
        const Cell &cell = col[size_t(r)];
        if (fgGroups->TextMatrix(r, c) != cell.text)
            fgGroups->setTextMatrix(r, c, cell.text);
        if (fgGroups->CellBackColorAt(r, c) != cell.back) {
            fgGroups->setRow(r);
            fgGroups->setCol(c);
            fgGroups->setCellBackColor(cell.back);
            moved = true;
        }
    }
    if (moved) {
        fgGroups->setRow(row);
        fgGroups->setCol(colNow);
        fgGroups->setRowSel(rowSel);
        fgGroups->setColSel(colSel);
    }
}

void frmCfgGroup::recordEdit()
{
    gRun.bGroupsEdited = true;
    const bool loading = gRun.bLoading;
    gRun.bLoading = false;
    EditorChanged(EditorKind::Grid);
    gRun.bLoading = loading;
}

// ---- cell selection ----------------------------------------------------------

void frmCfgGroup::fgGroups_Click()
{
    if (gRun.bLoading)
        return;
    gRun.bLoading = true;
    cmbMsg->hide();
    txtGrp->hide();
    const int row = fgGroups->Row();
    const int c = fgGroups->Col();
    // the label column holds no group: a click there only hides the editors
    if (inGroupColumn(c)) {
        if (row == rowReference) {
            gRun.bGroupsEdited = true;
            openTextEditor();
        } else if (row == rowActive) {
            recordEdit();
            Column col = readColumn(c);
            ToggleActive(gDb.Groups[size_t(c - 1)], col);
            writeColumn(c, col);
            fgGroups->setCol(0);
        } else if (row >= rowGroupID && row <= rowPagerID20) {
            openTextEditor();
        } else if (row == rowTimerActive) {
            recordEdit();
            toggleTimer(c);
        } else if (row == rowTimerMsg) {
            recordEdit();
            openMessageChooser(c);
        }
    }
    fgGroups->setRow(row);
    gRun.bLoading = false;
}

void frmCfgGroup::openTextEditor()
{
    fgGroups->ShowCurrentCell();
    const QRect cell = fgGroups->CellRect();
    const QPoint origin = fgGroups->geometry().topLeft();
    txtGrp->setGeometry(origin.x() + cell.left(), origin.y() + cell.top() - kEditorLift, cell.width(), px(285));
    // a longer text from a file (a Reference, say) is shown whole: cutting it
    // to six characters would store the cut text with the next keystroke.
    // A cell that holds no more takes six characters from the keyboard.
    const QString shown = fgGroups->Text();
    platform::SetTextWhole(txtGrp, shown, kTypedMaxLength);
    txtGrp->show();
    txtGrp->raise();
    txtGrp->setCursorPosition(int(txtGrp->text().size()));
    txtGrp->deselect();
    txtGrp->setFocus();
}

void frmCfgGroup::toggleTimer(int c)
{
    GroupRow &rec = gDb.Groups[size_t(c - 1)];
    if (rec[grpTimerActive] == QLatin1String("1")) {
        Column col = readColumn(c);
        SwitchTimerOff(rec, col);
        writeColumn(c, col);
    } else if (platform::MsgBox(kTimerWarningText, Buttons::YesNo, Icon::Question, kTimerWarningTitle) == Answer::Yes) {
        Column col = readColumn(c);
        SwitchTimerOn(rec, col);
        writeColumn(c, col);
    }
    fgGroups->setCol(0);
}

void frmCfgGroup::openMessageChooser(int)
{
    fgGroups->ShowCurrentCell();
    const QRect cell = fgGroups->CellRect();
    const QPoint origin = fgGroups->geometry().topLeft();
    cmbMsg->setGeometry(origin.x() + cell.left(), origin.y() + cell.top() - kEditorLift,
                        cell.width() + kListExtraWidth, px(315));
    cmbMsg->show();
    cmbMsg->raise();
    const QString text = fgGroups->Text();
    if (text != QLatin1String("None")) {
        const QString entry = ListEntryForCell(text);
        cmbMsg->setCurrentIndex(entry.isEmpty() ? -1 : cmbMsg->findText(entry));
        if (const std::optional<QString> label = MessageLabelForCell(text, gDb.CannedMessages))
            lblMsg->setText(*label);
    } else {
        // an empty message cell is seeded with "None" exactly as if the user chose it
        cmbMsg->setCurrentIndex(-1);
        gRun.bLoading = false;
        cmbMsg->setCurrentIndex(0);
        cmbMsg_Click();
    }
    cmbMsg->setFocus();
}

// ---- typing and choosing ---------------------------------------------------

void frmCfgGroup::txtGrp_Change()
{
    if (gRun.bLoading)
        return;
    const int r = fgGroups->Row();
    const int c = fgGroups->Col();
    if (!inGroupColumn(c))
        return;
    gRun.bGroupsEdited = true;
    Column col = readColumn(c);
    TypeField(gDb.Groups[size_t(c - 1)], col, r, txtGrp->text());
    writeColumn(c, col);
    EditorChanged(EditorKind::Grid);
    fgGroups->setRow(r);
    fgGroups->setCol(c);
}

void frmCfgGroup::cmbMsg_Click()
{
    if (gRun.bLoading)
        return;
    const int r = fgGroups->Row();
    const int c = fgGroups->Col();
    if (!inGroupColumn(c) || cmbMsg->currentIndex() < 0)
        return;
    gRun.bGroupsEdited = true;
    const QString entry = cmbMsg->currentText();
    Column col = readColumn(c);
    ChooseTimerMessage(gDb.Groups[size_t(c - 1)], col, r, entry);
    writeColumn(c, col);
    fgGroups->setRow(r);
    lblMsg->setText(MessageLabelText(entry, gDb.CannedMessages));
    EditorChanged(EditorKind::Grid);
}

// ---- OK --------------------------------------------------------------------

void frmCfgGroup::cmdOK_Click()
{
    if (m_checkRunning)
        return;  // the check this button started is still running
    // OK's steps run on closing, as for every other way of closing
    close();
}

bool frmCfgGroup::finishEditing()
{
    // these steps rewrite the tables, and the check would share the cancel
    // box with the operation that waits on the port or with the other
    // editor's check: nothing is done until that has ended, edits or not
    if (Busy())
        return false;
    // the pass, the check and the COMP1 rule change what programming sends
    const ProgramMadeChange change;
    txtGrp->hide();
    cmbMsg->hide();

    std::array<QString, kGroupCount> timerBefore;
    for (int g = 0; g < kGroupCount; ++g)
        timerBefore[size_t(g)] = gDb.Groups[size_t(g)][grpTimerActive];
    gRun.bDefinitionIncomplete = JudgeGroupsOnOk(gDb.Groups, gRun.bDefinitionIncomplete);
    // a timer the judgement switched off no longer reads "ON"
    for (int g = 0; g < kGroupCount; ++g) {
        const GroupRow &rec = gDb.Groups[size_t(g)];
        if (timerBefore[size_t(g)] == rec[grpTimerActive])
            continue;
        Column col = readColumn(g + 1);
        col[rowTimerActive].text = QStringLiteral("OFF");
        if (rec[grpActive] == QLatin1String("1"))
            col[rowTimerActive].back = editor_colours::Red;
        writeColumn(g + 1, col);
    }

    if (gRun.bGroupsEdited) {
        QPointer<frmCfgGroup> self(this);
        m_checkRunning = true;
        gRun.bDatabaseChecked = CheckGroupsDatabase(fgGroups);
        if (!self)
            return false;  // the window was unloaded while the check ran
        m_checkRunning = false;

        if (ApplyComp1Rule(gDb.Groups, gSettings) != 0) {
            platform::MsgBox(kComp1Text, Buttons::OK, Icon::None, kComp1Title);
            gRun.bGroupFieldsAdjusted = false;
            return false;
        }
        if (gRun.bGroupFieldsAdjusted) {
            // the window stays open on the fields the check blanked
            gRun.bGroupFieldsAdjusted = false;
            return false;
        }
    }
    return true;
}

// ---- keys ------------------------------------------------------------------

bool frmCfgGroup::Form_KeyDown(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_F1) {
        if (frmTerminal *t = forms::terminal())
            platform::ShellOpen(t->HelpFile());
        return true;
    }
    const std::optional<CellPos> to = MoveForKey(key, fgGroups->Row(), fgGroups->Col());
    if (!to)
        return false;
    fgGroups->setRow(to->row);
    fgGroups->setCol(to->col);
    fgGroups->ShowCurrentCell();
    fgGroups_Click();
    return true;
}

void frmCfgGroup::keyPressEvent(QKeyEvent *e)
{
    if (Form_KeyDown(e->key(), e->modifiers()))
        e->accept();
    else
        QWidget::keyPressEvent(e);
}

bool frmCfgGroup::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        if (Form_KeyDown(k->key(), k->modifiers()))
            return true;
        // the grid's own key handling does nothing
        if (watched == fgGroups)
            return true;
    }
    return QWidget::eventFilter(watched, e);
}

// ---- closing -----------------------------------------------------------------

bool frmCfgGroup::Form_QueryUnload()
{
    if (!gRun.bDefinitionIncomplete)
        return false;
    gRun.bDefinitionIncomplete = false;
    return platform::MsgBox(kIncompleteText, Buttons::YesNo, Icon::Question, kIncompleteTitle) != Answer::Yes;
}

void frmCfgGroup::Form_Unload()
{
    const ProgramMadeChange change;
    ResetIncompleteGroups(gDb.Groups);
}

void frmCfgGroup::closeEvent(QCloseEvent *e)
{
    // the check lets window events through: a second close, the close box
    // included, does nothing until this one has ended
    const ClosingWaitGuard closing(this, ClosingWaitGuard::WaitsOn::OwnSteps);
    // the running check still marks cells of this window, unless the
    // program is leaving
    if (m_checkRunning && !gRun.bExiting) {
        e->ignore();
        return;
    }
    // every way of closing keeps the complete groups, so each runs OK's
    // steps first and asks about any group they find incomplete; the
    // shut-down keeps nothing and only asks
    if (!gRun.bExiting) {
        const QPointer<frmCfgGroup> self(this);
        const bool done = finishEditing();
        if (!self)
            return;  // the window was unloaded while the check ran
        if (!done) {
            e->ignore();
            return;
        }
    }
    if (Form_QueryUnload()) {
        e->ignore();
        return;
    }
    Form_Unload();
    e->accept();
}

// ---- opening -------------------------------------------------------------------

void ShowGroupsEditor()
{
    if (auto *w = qobject_cast<frmCfgGroup *>(forms::window("frmCfgGroup"))) {
        w->show();
        w->raise();
        w->activateWindow();
        return;
    }
    auto *w = new frmCfgGroup();
    forms::registerWindow("frmCfgGroup", w);
    w->Form_Load();
}
