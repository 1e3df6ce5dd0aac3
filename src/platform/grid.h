// The grid control of the editors: a table with an optional fixed heading row
// and column, a current cell (Row, Col) and a selection end (RowSel, ColSel).
// Text and colours set while a block is selected go to every cell of the
// block; setting Row or Col makes the selection the single current cell.
// Rows and columns are counted from 0 including the fixed ones, so with a
// fixed row and column the first data cell is (1, 1). A heading cell can be
// current too; no data cell is then shown selected.
// The program moves the current cell; the grid's own keys only scroll it.
#pragma once

#include <QColor>
#include <QPointer>
#include <QTableWidget>
#include <functional>
#include <vector>

namespace platform {

class FlexGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget *parent = nullptr);
    ~FlexGrid() override;

    // Size, fixed heading row and column included.
    int Rows() const;
    void setRows(int n);
    int Cols() const;
    void setCols(int n);
    // 0 or 1 each: the first row and column are headings.
    int FixedRows() const { return m_fixedRows; }
    void setFixedRows(int n);
    int FixedCols() const { return m_fixedCols; }
    void setFixedCols(int n);

    // Current cell and selection end.
    int Row() const { return m_row; }
    void setRow(int r);
    int Col() const { return m_col; }
    void setCol(int c);
    int RowSel() const { return m_rowSel; }
    void setRowSel(int r);
    int ColSel() const { return m_colSel; }
    void setColSel(int c);

    // Text of the current cell; setting it fills the whole selection.
    QString Text() const;
    void setText(const QString &text);
    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);

    // Colours of the current cell; setting them colours the whole selection.
    // An invalid colour means "none set": the grid's cell background shows.
    QColor CellBackColor() const;
    void setCellBackColor(const QColor &c);
    QColor CellForeColor() const;
    void setCellForeColor(const QColor &c);
    QColor CellBackColorAt(int row, int col) const;
    QColor CellForeColorAt(int row, int col) const;
    // The background of cells that were given no colour of their own.
    void setBackColor(const QColor &c);
    // Every data cell as a new grid has it: no text and no colour of its
    // own (column alignments and headings stay); the view back at the first
    // row and column.
    void ClearCells();

    // "^Head|<Head;|label|label": headings (centred ^, left <), then row
    // labels after a semicolon. An empty part leaves that part as it is.
    // Each column becomes as wide as its heading.
    void setFormatString(const QString &format);
    void setColAlignment(int col, Qt::Alignment alignment);
    int ColWidth(int col) const;
    void setColWidth(int col, int width);
    // Narrows the grid font, when the columns made as wide as their headings
    // do not fit the grid's width, until every column is in view.
    void FitColumnsToWidth();

    // Geometry of the current cell in the grid's own coordinates (pixels);
    // in-cell editors are placed from it.
    QRect CellRect() const;
    int CellLeft() const { return CellRect().left(); }
    int CellTop() const { return CellRect().top(); }
    int CellWidth() const { return CellRect().width(); }
    int CellHeight() const { return CellRect().height(); }

    // First scrollable row shown at the top.
    int TopRow() const;
    void setTopRow(int row);
    // Makes the current cell visible.
    void ShowCurrentCell();

    // An in-cell editor: a control of the grid's window laid over a cell.
    // When it is shown or moved it belongs to the current cell; whenever the
    // grid scrolls it moves with that cell, and it is hidden once the cell
    // leaves the view, so a keystroke never reaches a field that is drawn
    // over another cell. Edits are stored as they are typed: hiding loses
    // nothing.
    void AddCellEditor(QWidget *editor);

signals:
    // The user made a cell current with the mouse (a row heading makes
    // column 0 current).
    void Click();
    // The grid was scrolled.
    void Scroll();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    struct CellEditor {
        QPointer<QWidget> widget;
        int row = -1;  // -1: over no data cell
        int col = -1;
        QPoint offset;  // from the cell's top left corner
    };
    // The rectangle of a data cell in the coordinates of `parent`.
    QRect cellRectIn(const QWidget *parent, int row, int col) const;
    bool cellInView(int row, int col) const;
    void bindEditor(CellEditor &editor);
    void followScroll();
    std::vector<CellEditor> m_editors;
    bool m_placingEditors = false;
    std::vector<QString> m_headings;  // of the format string, column by column
    QTableWidgetItem *item(int row, int col, bool create);
    void forEachSelected(const std::function<void(int, int)> &f);
    void syncCurrent();
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    int m_row = 0;
    int m_col = 0;
    int m_rowSel = 0;
    int m_colSel = 0;
    bool m_syncing = false;
};

}  // namespace platform
