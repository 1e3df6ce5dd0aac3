// The editors' grid: fixed headings, current cell and block selection.
#include "platform/grid.h"

#include <QTest>
#include <gtest/gtest.h>

using platform::FlexGrid;

namespace {
void makeGrid(FlexGrid &g)
{
    g.setFixedRows(1);
    g.setFixedCols(1);
    g.setRows(4);
    g.setCols(5);
}
}  // namespace

TEST(FlexGrid, FormatStringGivesHeadingsRowLabelsAndAlignment)
{
    FlexGrid g;
    makeGrid(g);
    g.setFormatString("^     |^Active|<Pager Qty|<Start ID|<End ID ");
    g.setFormatString(";| 1| 2| 3");
    EXPECT_EQ(g.TextMatrix(0, 1), "Active");
    EXPECT_EQ(g.TextMatrix(0, 4), "End ID ");
    EXPECT_EQ(g.TextMatrix(2, 0), " 2");
    EXPECT_EQ(g.Rows(), 4);
    EXPECT_EQ(g.Cols(), 5);
    EXPECT_GT(g.ColWidth(2), g.ColWidth(1));  // "Pager Qty" is wider than "Active"
}

TEST(FlexGrid, TextAndColoursFillTheSelectedBlockUntilRowOrColIsSet)
{
    FlexGrid g;
    makeGrid(g);
    g.setRow(2);
    g.setCol(2);
    g.setColSel(4);
    g.setCellBackColor(QColor(255, 255, 245));
    g.setText("x");
    for (int c = 2; c <= 4; ++c) {
        EXPECT_EQ(g.TextMatrix(2, c), "x") << c;
        EXPECT_EQ(g.CellBackColorAt(2, c), QColor(255, 255, 245)) << c;
    }
    EXPECT_EQ(g.TextMatrix(2, 1), "");
    EXPECT_FALSE(g.CellBackColorAt(2, 1).isValid());  // no colour of its own

    g.setCol(3);  // the selection is one cell again
    EXPECT_EQ(g.ColSel(), 3);
    g.setText("y");
    EXPECT_EQ(g.TextMatrix(2, 2), "x");
    EXPECT_EQ(g.TextMatrix(2, 3), "y");
    EXPECT_EQ(g.TextMatrix(2, 4), "x");
    g.setCellForeColor(QColor(128, 128, 128));
    EXPECT_EQ(g.CellForeColor(), QColor(128, 128, 128));
}

TEST(FlexGrid, AClickMakesTheCellCurrentAndReportsIt)
{
    FlexGrid g;
    makeGrid(g);
    g.resize(400, 200);
    g.show();
    int clicks = 0;
    QObject::connect(&g, &FlexGrid::Click, [&] { ++clicks; });
    g.setRow(1);
    g.setCol(1);
    EXPECT_EQ(clicks, 0);  // setting the cell by program is no click
    const QRect cell = g.visualRect(g.model()->index(2, 3));
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_EQ(g.Col(), 4);
    EXPECT_TRUE(g.CellRect().isValid());
}
