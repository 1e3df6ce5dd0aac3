#include "platform/grid.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

namespace platform {

namespace {
// A column made as wide as its heading leaves this much room around the text.
int headingWidth(const QFontMetrics &fm, const QString &text) { return fm.horizontalAdvance(text) + 12; }
}  // namespace

FlexGrid::FlexGrid(QWidget *parent) : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    horizontalHeader()->setVisible(false);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    connect(this, &QTableWidget::cellPressed, this, [this](int r, int c) {
        if (m_syncing)
            return;
        m_row = m_rowSel = r + m_fixedRows;
        m_col = m_colSel = c + m_fixedCols;
        emit Click();
    });
    // a click on a row heading makes that row's cell of column 0 current
    connect(verticalHeader(), &QHeaderView::sectionPressed, this, [this](int r) {
        if (m_syncing || !m_fixedCols)
            return;
        m_row = m_rowSel = r + m_fixedRows;
        m_col = m_colSel = 0;
        syncCurrent();
        emit Click();
    });
    // the view has scrolled its cells when these run
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        followScroll();
        emit Scroll();
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        followScroll();
        emit Scroll();
    });
}

FlexGrid::~FlexGrid()
{
    // the view below still resizes its scroll bars while it goes
    verticalScrollBar()->disconnect(this);
    horizontalScrollBar()->disconnect(this);
}

int FlexGrid::Rows() const { return rowCount() + m_fixedRows; }
void FlexGrid::setRows(int n) { setRowCount(qMax(0, n - m_fixedRows)); }
int FlexGrid::Cols() const { return columnCount() + m_fixedCols; }
void FlexGrid::setCols(int n) { setColumnCount(qMax(0, n - m_fixedCols)); }

void FlexGrid::setFixedRows(int n)
{
    const int rows = Rows();
    m_fixedRows = n > 0 ? 1 : 0;
    horizontalHeader()->setVisible(m_fixedRows == 1);
    setRows(rows);
}

void FlexGrid::setFixedCols(int n)
{
    const int cols = Cols();
    m_fixedCols = n > 0 ? 1 : 0;
    verticalHeader()->setVisible(m_fixedCols == 1);
    setCols(cols);
}

void FlexGrid::syncCurrent()
{
    const int r = m_row - m_fixedRows;
    const int c = m_col - m_fixedCols;
    m_syncing = true;
    if (r >= 0 && c >= 0 && r < rowCount() && c < columnCount()) {
        setCurrentCell(r, c);
    } else if (selectionModel()) {
        // a heading cell is current: the data cell that was current shows
        // its own colours again
        selectionModel()->clear();
    }
    m_syncing = false;
}

void FlexGrid::setRow(int r)
{
    m_row = m_rowSel = qBound(0, r, qMax(0, Rows() - 1));
    m_colSel = m_col;
    syncCurrent();
}

void FlexGrid::setCol(int c)
{
    m_col = m_colSel = qBound(0, c, qMax(0, Cols() - 1));
    m_rowSel = m_row;
    syncCurrent();
}

void FlexGrid::setRowSel(int r) { m_rowSel = qBound(0, r, qMax(0, Rows() - 1)); }
void FlexGrid::setColSel(int c) { m_colSel = qBound(0, c, qMax(0, Cols() - 1)); }

QTableWidgetItem *FlexGrid::item(int row, int col, bool create)
{
    const bool headRow = row < m_fixedRows;
    const bool headCol = col < m_fixedCols;
    if (headRow && headCol)
        return nullptr;  // the corner cell has no item of its own
    if (headRow) {
        QTableWidgetItem *it = horizontalHeaderItem(col - m_fixedCols);
        if (!it && create) {
            it = new QTableWidgetItem();
            setHorizontalHeaderItem(col - m_fixedCols, it);
        }
        return it;
    }
    if (headCol) {
        QTableWidgetItem *it = verticalHeaderItem(row - m_fixedRows);
        if (!it && create) {
            it = new QTableWidgetItem();
            setVerticalHeaderItem(row - m_fixedRows, it);
        }
        return it;
    }
    const int r = row - m_fixedRows;
    const int c = col - m_fixedCols;
    if (r < 0 || c < 0 || r >= rowCount() || c >= columnCount())
        return nullptr;
    QTableWidgetItem *it = QTableWidget::item(r, c);
    if (!it && create) {
        it = new QTableWidgetItem();
        setItem(r, c, it);
    }
    return it;
}

void FlexGrid::forEachSelected(const std::function<void(int, int)> &f)
{
    const int r0 = qMin(m_row, m_rowSel), r1 = qMax(m_row, m_rowSel);
    const int c0 = qMin(m_col, m_colSel), c1 = qMax(m_col, m_colSel);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            f(r, c);
}

QString FlexGrid::TextMatrix(int row, int col) const
{
    auto *self = const_cast<FlexGrid *>(this);
    QTableWidgetItem *it = self->item(row, col, false);
    return it ? it->text() : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString &text)
{
    if (QTableWidgetItem *it = item(row, col, true))
        it->setText(text);
}

QString FlexGrid::Text() const { return TextMatrix(m_row, m_col); }

void FlexGrid::setText(const QString &text)
{
    forEachSelected([&](int r, int c) { setTextMatrix(r, c, text); });
}

QColor FlexGrid::CellBackColorAt(int row, int col) const
{
    auto *self = const_cast<FlexGrid *>(this);
    QTableWidgetItem *it = self->item(row, col, false);
    if (!it || it->background().style() == Qt::NoBrush)
        return QColor();
    return it->background().color();
}

QColor FlexGrid::CellForeColorAt(int row, int col) const
{
    auto *self = const_cast<FlexGrid *>(this);
    QTableWidgetItem *it = self->item(row, col, false);
    if (!it || it->foreground().style() == Qt::NoBrush)
        return QColor();
    return it->foreground().color();
}

QColor FlexGrid::CellBackColor() const { return CellBackColorAt(m_row, m_col); }
QColor FlexGrid::CellForeColor() const { return CellForeColorAt(m_row, m_col); }

void FlexGrid::setCellBackColor(const QColor &color)
{
    forEachSelected([&](int r, int c) {
        if (QTableWidgetItem *it = item(r, c, true))
            it->setBackground(color.isValid() ? QBrush(color) : QBrush());
    });
}

void FlexGrid::setCellForeColor(const QColor &color)
{
    forEachSelected([&](int r, int c) {
        if (QTableWidgetItem *it = item(r, c, true))
            it->setForeground(color.isValid() ? QBrush(color) : QBrush());
    });
}

void FlexGrid::setBackColor(const QColor &c)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, c);
    setPalette(pal);
}

void FlexGrid::ClearCells()
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (QTableWidgetItem *it = QTableWidget::item(r, c)) {
                it->setText(QString());
                it->setBackground(QBrush());
                it->setForeground(QBrush());
            }
    verticalScrollBar()->setValue(verticalScrollBar()->minimum());
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
}

void FlexGrid::setFormatString(const QString &format)
{
    const int semi = format.indexOf(QLatin1Char(';'));
    const QString heads = semi < 0 ? format : format.left(semi);
    const QString labels = semi < 0 ? QString() : format.mid(semi + 1);
    if (!heads.isEmpty()) {
        const QStringList cells = heads.split(QLatin1Char('|'));
        if (Cols() < cells.size())
            setCols(int(cells.size()));
        for (int c = 0; c < cells.size(); ++c) {
            QString text = cells[c];
            Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
            if (text.startsWith(QLatin1Char('^'))) {
                align = Qt::AlignCenter;
                text.remove(0, 1);
            } else if (text.startsWith(QLatin1Char('<'))) {
                text.remove(0, 1);
            } else if (text.startsWith(QLatin1Char('>'))) {
                align = Qt::AlignRight | Qt::AlignVCenter;
                text.remove(0, 1);
            }
            if (m_fixedRows)
                setTextMatrix(0, c, text);
            if (c >= m_fixedCols)
                setColAlignment(c, align);
            if (c >= int(m_headings.size()))
                m_headings.resize(size_t(c) + 1);
            m_headings[size_t(c)] = text;
            setColWidth(c, headingWidth(fontMetrics(), text));
        }
    }
    if (!labels.isEmpty()) {
        const QStringList cells = labels.split(QLatin1Char('|'));
        if (Rows() < cells.size())
            setRows(int(cells.size()));
        for (int r = 0; r < cells.size(); ++r)
            if (r >= m_fixedRows && m_fixedCols)
                setTextMatrix(r, 0, cells[r]);
    }
}

void FlexGrid::setColAlignment(int col, Qt::Alignment alignment)
{
    if (col < m_fixedCols) {
        verticalHeader()->setDefaultAlignment(alignment);
        return;
    }
    for (int r = m_fixedRows; r < Rows(); ++r)
        if (QTableWidgetItem *it = item(r, col, true))
            it->setTextAlignment(alignment);
}

int FlexGrid::ColWidth(int col) const
{
    if (col < m_fixedCols)
        return verticalHeader()->width();
    return columnWidth(col - m_fixedCols);
}

void FlexGrid::setColWidth(int col, int width)
{
    if (col < m_fixedCols)
        verticalHeader()->setFixedWidth(width);
    else
        setColumnWidth(col - m_fixedCols, width);
}

void FlexGrid::FitColumnsToWidth()
{
    // the room inside the frame, less the vertical scroll bar when the rows
    // need one
    int room = width() - 2 * frameWidth();
    const int header = horizontalHeader()->isVisible() ? horizontalHeader()->sizeHint().height() : 0;
    if (verticalHeader()->length() > height() - 2 * frameWidth() - header)
        room -= verticalScrollBar()->sizeHint().width();
    const auto widthsFor = [this](const QFont &f) {
        const QFontMetrics fm(f);
        std::vector<int> widths;
        for (int c = 0; c < Cols(); ++c)
            widths.push_back(c < int(m_headings.size()) ? headingWidth(fm, m_headings[size_t(c)]) : ColWidth(c));
        return widths;
    };
    const auto total = [](const std::vector<int> &widths) {
        int sum = 0;
        for (int w : widths)
            sum += w;
        return sum;
    };
    QFont f = font();
    if (total(widthsFor(f)) <= room)
        return;
    // narrower letters of the same height, just enough for all the headings
    int stretch = f.stretch() > 0 ? f.stretch() : 100;
    std::vector<int> widths;
    do {
        f.setStretch(--stretch);
        widths = widthsFor(f);
    } while (total(widths) > room && stretch > 50);
    setFont(f);
    // a style sheet keeps the headings from taking the grid's font
    horizontalHeader()->setFont(f);
    verticalHeader()->setFont(f);
    for (int c = 0; c < int(widths.size()); ++c)
        setColWidth(c, widths[size_t(c)]);
}

QRect FlexGrid::CellRect() const
{
    const int r = m_row - m_fixedRows;
    const int c = m_col - m_fixedCols;
    if (r < 0 || c < 0)
        return QRect();
    const QRect vp = visualRect(model()->index(r, c));
    return vp.translated(viewport()->geometry().topLeft());
}

int FlexGrid::TopRow() const { return rowAt(0) + m_fixedRows; }

void FlexGrid::setTopRow(int row)
{
    const int r = row - m_fixedRows;
    if (r >= 0 && r < rowCount())
        scrollTo(model()->index(r, 0), QAbstractItemView::PositionAtTop);
}

void FlexGrid::ShowCurrentCell()
{
    const int r = m_row - m_fixedRows;
    const int c = m_col - m_fixedCols;
    if (r >= 0 && c >= 0 && r < rowCount() && c < columnCount())
        scrollTo(model()->index(r, c));
}

void FlexGrid::keyPressEvent(QKeyEvent *e)
{
    // the window moves the current cell; keys the window leaves to the grid
    // scroll it, and any other key goes on to the window
    QScrollBar *v = verticalScrollBar();
    QScrollBar *h = horizontalScrollBar();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_PageUp:
        v->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case Qt::Key_PageDown:
        v->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case Qt::Key_Home:
        (ctrl ? v : h)->triggerAction(QAbstractSlider::SliderToMinimum);
        break;
    case Qt::Key_End:
        (ctrl ? v : h)->triggerAction(QAbstractSlider::SliderToMaximum);
        break;
    default:
        e->ignore();
        return;
    }
    e->accept();
}

// ---- in-cell editors --------------------------------------------------------

void FlexGrid::AddCellEditor(QWidget *editor)
{
    CellEditor bound;
    bound.widget = editor;
    m_editors.push_back(bound);
    editor->installEventFilter(this);
}

QRect FlexGrid::cellRectIn(const QWidget *parent, int row, int col) const
{
    const QRect vp = visualRect(model()->index(row - m_fixedRows, col - m_fixedCols));
    if (parent->isAncestorOf(viewport()))
        return QRect(viewport()->mapTo(parent, vp.topLeft()), vp.size());
    return QRect(parent->mapFromGlobal(viewport()->mapToGlobal(vp.topLeft())), vp.size());
}

bool FlexGrid::cellInView(int row, int col) const
{
    const QRect r = visualRect(model()->index(row - m_fixedRows, col - m_fixedCols));
    if (!r.isValid())
        return false;
    // a cell wider than the view counts as in view while its left part is
    const QRect shown(r.topLeft(), QSize(qMin(r.width(), viewport()->width()), r.height()));
    return viewport()->rect().contains(shown);
}

void FlexGrid::bindEditor(CellEditor &editor)
{
    const int r = m_row - m_fixedRows;
    const int c = m_col - m_fixedCols;
    QWidget *w = editor.widget;
    if (!w->parentWidget() || r < 0 || c < 0 || r >= rowCount() || c >= columnCount()) {
        editor.row = editor.col = -1;
        return;
    }
    editor.row = m_row;
    editor.col = m_col;
    editor.offset = w->pos() - cellRectIn(w->parentWidget(), m_row, m_col).topLeft();
}

bool FlexGrid::eventFilter(QObject *watched, QEvent *e)
{
    if (!m_placingEditors && (e->type() == QEvent::Show || e->type() == QEvent::Move)) {
        for (CellEditor &editor : m_editors) {
            if (editor.widget == watched && editor.widget->isVisible()) {
                bindEditor(editor);
                break;
            }
        }
    }
    return QTableWidget::eventFilter(watched, e);
}

void FlexGrid::followScroll()
{
    for (CellEditor &editor : m_editors) {
        QWidget *w = editor.widget;
        if (!w || !w->isVisible() || editor.row < 0)
            continue;
        if (cellInView(editor.row, editor.col)) {
            m_placingEditors = true;
            w->move(cellRectIn(w->parentWidget(), editor.row, editor.col).topLeft() + editor.offset);
            m_placingEditors = false;
            continue;
        }
        // the cell has left the view: what was typed is stored already
        QWidget *focus = QApplication::focusWidget();
        if (focus && (focus == w || w->isAncestorOf(focus)))
            setFocus();
        w->hide();
    }
}

}  // namespace platform
