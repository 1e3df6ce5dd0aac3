// The texts of the families table and the group grid, column by column.
#include "report/reportlines.h"

#include "support/printers.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

FamilyRow row(const char *active, const char *startCap, const char *rate, const char *type, const char *func,
              const char *qty, const char *startID, const char *prefix, const char *suffix)
{
    FamilyRow r;
    r[famActive] = QString::fromLatin1(active);
    r[famStartCap] = QString::fromLatin1(startCap);
    r[famRate] = QString::fromLatin1(rate);
    r[famPgrType] = QString::fromLatin1(type);
    r[famFunc] = QString::fromLatin1(func);
    r[famPagerQty] = QString::fromLatin1(qty);
    r[famStartID] = QString::fromLatin1(startID);
    r[famPrefix] = QString::fromLatin1(prefix);
    r[famSuffix] = QString::fromLatin1(suffix);
    return r;
}

QString cols(std::initializer_list<const char *> parts)
{
    QString s;
    for (const char *p : parts)
        s += QString::fromLatin1(p);
    return s;
}

GroupTable unsetGroups()
{
    GroupTable g;
    for (GroupRow &r : g) {
        r.fill(QStringLiteral("0"));
        r[grpGroupID] = QStringLiteral("0000");
        r[grpReference].clear();
        r[grpTimerMsg] = QStringLiteral("00");
        for (int k = 0; k < kGroupPagerIDCount; ++k)
            r[grpPagerID1 + k] = QStringLiteral("0000");
    }
    return g;
}

}  // namespace

TEST(ReportFamilyLines, HeadingStartsEachColumnWhereTheLinesDo)
{
    const QString h = FamilyHeading();
    EXPECT_EQ(h.size(), 87);
    const int starts[] = {0, 7, 14, 23, 31, 37, 47, 56, 64, 69, 74, 81};
    QStringList words = h.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    ASSERT_EQ(words.size(), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(h.indexOf(words[i]), starts[i]) << words[i].toStdString();
}

TEST(ReportFamilyLines, UnusedFamilyShowsOnlyNumberStateFunctionRateAndNone)
{
    const auto line = FamilyLine(1, row("0", "0000000", "5", "A", "3", "000", "0000", "00", "00"), false);
    ASSERT_TRUE(line);
    EXPECT_EQ(*line, cols({"   1   ", " OFF   ", "         ", "        ", "       ", "         ", "         ",
                           "        ", "  4  ", " 512 ", " None  ", " None "}));
}

TEST(ReportFamilyLines, ActiveAlphaFamilyWithEveryColumnFilled)
{
    const FamilyRow r = row("1", "0000100", "2", "A", "3", "010", "0100", "05", "12");
    const auto line = FamilyLine(7, r, false);
    ASSERT_TRUE(line);
    EXPECT_EQ(*line, cols({"   7   ", "  ON   ", "   10    ", "   100  ", "  109  ", "0000100  ", "0000109  ",
                           " Alpha  ", "  4  ", "2400 ", "   5   ", "  12  "}));
    // capcodes in steps of 8: only the last capcode changes
    const auto by8 = FamilyLine(7, r, true);
    ASSERT_TRUE(by8);
    EXPECT_EQ(by8->mid(47, 9), "0000172  ");
    EXPECT_EQ(by8->mid(31, 7), "  109  ");
    EXPECT_EQ(by8->size(), 87);
}

TEST(ReportFamilyLines, TwoDigitFamilyNumberAndNumericTypeByState)
{
    const FamilyRow inactive = row("0", "0001000", "1", "N", "0", "005", "0200", "00", "00");
    FamilyRow active = inactive;
    active[famActive] = QStringLiteral("1");
    EXPECT_EQ(FamilyLine(10, inactive, false)->left(7), "  10   ");
    EXPECT_EQ(FamilyLine(10, inactive, false)->mid(56, 8), "        ");
    EXPECT_EQ(FamilyLine(10, active, false)->mid(56, 8), "Numeric ");
    EXPECT_EQ(FamilyLine(10, active, false)->mid(64, 10), "  1  1200 ");
}

TEST(ReportFamilyLines, ZeroQuantityLeavesEndColumnsBlank)
{
    const auto line = FamilyLine(3, row("1", "0123456", "1", "A", "1", "000", "0042", "00", "00"), true);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->mid(23, 8), "    42  ");
    EXPECT_EQ(line->mid(31, 7), "       ");
    EXPECT_EQ(line->mid(38, 9), "0123456  ");
    EXPECT_EQ(line->mid(47, 9), "         ");
}

TEST(ReportFamilyLines, ValuesOfUnusualLengthArePrintedWholeAndMoveTheRest)
{
    // prefix "5" without its leading zero: the suffix moves one to the left
    const auto line = FamilyLine(1, row("1", "0000100", "2", "A", "3", "010", "0100", "5", "12"), false);
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->endsWith(QLatin1String("  5     12  ")));
    EXPECT_EQ(line->size(), 86);
    // a quantity typed without leading zeros
    const auto qty = FamilyLine(1, row("1", "0000100", "2", "A", "3", "10", "0100", "05", "12"), false);
    EXPECT_EQ(qty->mid(14, 8), "  10    ");
}

TEST(ReportFamilyLines, FieldsThatAreNoNumberStopTheLine)
{
    const FamilyRow good = row("1", "0000100", "2", "A", "3", "010", "0100", "05", "12");
    FamilyRow r = good;
    r[famPagerQty].clear();
    EXPECT_FALSE(FamilyLine(1, r, false));
    r = good;
    r[famStartID] = QStringLiteral("abc");
    EXPECT_FALSE(FamilyLine(1, r, false));
    r = good;
    r[famStartCap].clear();
    EXPECT_FALSE(FamilyLine(1, r, false));
    // the last ID beyond the 16-bit range
    r = good;
    r[famStartID] = QStringLiteral("32760");
    EXPECT_FALSE(FamilyLine(1, r, false));
    // without pagers the first ID and capcode are not read as numbers
    EXPECT_TRUE(FamilyLine(1, row("0", "", "", "", "", "000", "", "", ""), false));
    EXPECT_FALSE(FamilyLine(1, row("", "", "", "", "", "", "", "", ""), false));
}

TEST(ReportGroupGrid, CellsAreSevenCharactersWide)
{
    GroupTable g = unsetGroups();
    g[0][grpReference] = QStringLiteral("AB");
    g[0][grpActive] = QStringLiteral("1");
    g[1][grpActive] = QString();
    g[0][grpGroupID] = QStringLiteral("12");
    g[0][grpPagerID1] = QStringLiteral("45");
    g[1][grpPagerID1] = QStringLiteral("8999");
    g[2][grpPagerID1] = QStringLiteral("0");

    EXPECT_EQ(GroupHeading().size(), 67);
    EXPECT_EQ(GroupHeading().indexOf(QLatin1String("10")), 7 * 9 + 2);
    EXPECT_EQ(GroupReferenceRow(g), QStringLiteral("    AB ") + QString(63, QLatin1Char(' ')));
    EXPECT_EQ(GroupActiveRow(g).left(21), "  ON     OFF    OFF  ");
    EXPECT_EQ(GroupIDRow(g).left(14), " 0012   0000  ");
    const auto ids = GroupPagerIDRow(g, 1);
    ASSERT_TRUE(ids);
    EXPECT_EQ(*ids, QStringLiteral(" 0045   8999  ") + QString(56, QLatin1Char(' ')));
}

TEST(ReportGroupGrid, LongReferencePushesTheRestOfTheRow)
{
    GroupTable g = unsetGroups();
    g[0][grpReference] = QStringLiteral("Ward Nine");
    g[1][grpReference] = QStringLiteral("B");
    EXPECT_EQ(GroupReferenceRow(g).left(17), "Ward Nine      B ");
}

TEST(ReportGroupGrid, TimerMessageShownOnlyWithTheTimerOn)
{
    GroupTable g = unsetGroups();
    g[0][grpTimerActive] = QStringLiteral("1");
    g[0][grpTimerMsg] = QStringLiteral("5");
    g[1][grpTimerActive] = QStringLiteral("1");
    g[1][grpTimerMsg] = QStringLiteral("05");
    g[2][grpTimerActive] = QStringLiteral("1");
    g[2][grpTimerMsg] = QStringLiteral("00");
    g[3][grpTimerMsg] = QStringLiteral("07");
    EXPECT_EQ(GroupTimerMsgRow(g).left(28), "   5     05     00    None  ");
    EXPECT_EQ(GroupTimerActiveRow(g).left(28), "  ON     ON     ON     OFF  ");
}

TEST(ReportGroupGrid, PagerIDThatIsNoNumberStopsTheRow)
{
    GroupTable g = unsetGroups();
    // an empty pager ID is an unset one
    g[4][grpPagerID1 + 2] = QString();
    EXPECT_EQ(GroupPagerIDRow(g, 3), QString(70, QLatin1Char(' ')));
    g[4][grpPagerID1 + 2] = QStringLiteral("40000");
    EXPECT_TRUE(GroupPagerIDRow(g, 2));
    EXPECT_FALSE(GroupPagerIDRow(g, 3));
}
