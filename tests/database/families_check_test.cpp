// The families check: capcode rules, overlap rules, passes, cancel and the
// runs that stop at a field they cannot read.
#include "database/families_check.h"
#include "app/forms.h"
#include "app/frmcancelsend.h"
#include "database/state.h"
#include "editors/editorcommon.h"
#include "platform/grid.h"
#include "support/prompts.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

using namespace testing_support;
using platform::Answer;

namespace {

FamilyRow family(const QString &startID, const QString &qty, const QString &startCap, bool takesPart = true)
{
    FamilyRow f = NewDatabaseFamilyRow();
    f[famActive] = takesPart ? "1" : "0";
    f[famStartID] = startID;
    f[famPagerQty] = qty;
    f[famStartCap] = startCap;
    f[famComplete] = "YES";
    return f;
}

// Every family unused (fails the Complete test) unless a test fills it.
FamilyTable emptyTable()
{
    FamilyTable t;
    for (auto &f : t)
        f = NewDatabaseFamilyRow();
    return t;
}

class FamiliesCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSharedState();
        fam = emptyTable();
        grid.setFixedRows(1);
        grid.setFixedCols(1);
        grid.setRows(51);
        grid.setCols(12);
    }
    FamiliesCheckOutcome run(const FamiliesCheckHooks &hooks = {})
    {
        checks::GridMarks marks(&grid);
        return RunFamiliesCheck(fam, gSettings.bIncCapBy8, marks, hooks);
    }
    FamilyTable fam;
    platform::FlexGrid grid;
};

}  // namespace

// ---- capcode rules ----------------------------------------------------------------

TEST_F(FamiliesCheck, StartBelowEightBecomesEightAndTheEndCapcodeCellFollows)
{
    fam[0] = family("100", "010", "0000003");
    const FamiliesCheckOutcome out = run();
    EXPECT_EQ(fam[0][famStartCap], "0000008");
    EXPECT_EQ(grid.TextMatrix(1, 5), "0000008");
    EXPECT_EQ(grid.CellBackColorAt(1, 5), editor_colours::LightCyan);
    EXPECT_EQ(grid.TextMatrix(1, 6), "0000017");
    EXPECT_EQ(grid.CellForeColorAt(1, 6), editor_colours::DarkGrey);
    EXPECT_EQ(out.end, FamiliesCheckEnd::Finished);
    EXPECT_TRUE(out.result);
    EXPECT_EQ(out.correctedPasses, 1);
    EXPECT_EQ(grid.Col(), 0);
}

TEST_F(FamiliesCheck, RangesPastTheHighestCapcodeEndBelowIt)
{
    fam[0] = family("100", "010", "2097140");
    fam[1] = family("500", "020", "2097000");
    run();
    EXPECT_EQ(fam[0][famStartCap], "2097133");  // ends at 2097142
    EXPECT_EQ(grid.TextMatrix(1, 6), "2097142");

    gSettings.bIncCapBy8 = true;
    fam = emptyTable();
    fam[1] = family("500", "020", "2097000");
    run();
    EXPECT_EQ(fam[1][famStartCap], "2096983");  // 2097143 - 160, ends 8 below
    EXPECT_EQ(grid.TextMatrix(2, 6), "2097135");
}

TEST_F(FamiliesCheck, RangesHoldingAnIllegalBlockMoveBelowIt)
{
    fam[0] = family("100", "010", "2045050");  // holds 2045056..2045059
    run();
    EXPECT_EQ(fam[0][famStartCap], "2045046");
    EXPECT_EQ(grid.TextMatrix(1, 6), "2045055");

    gSettings.bIncCapBy8 = true;
    fam = emptyTable();
    fam[0] = family("100", "010", "2007600");  // 2007600..2007672 holds the second block
    run();
    EXPECT_EQ(fam[0][famStartCap], "2007584");  // 2007664 - 80
    EXPECT_EQ(grid.TextMatrix(1, 6), "2007656");
}

TEST_F(FamiliesCheck, BlockEdges)
{
    fam[0] = family("100", "010", "2045046");  // ends 2045055: kept
    fam[1] = family("200", "010", "2045064");  // starts above the block: kept
    fam[2] = family("300", "010", "2045063");  // starts inside: moved
    const FamiliesCheckOutcome out = run();
    EXPECT_EQ(fam[0][famStartCap], "2045046");
    EXPECT_EQ(fam[1][famStartCap], "2045064");
    EXPECT_EQ(fam[2][famStartCap], "2045046");
    EXPECT_FALSE(grid.CellBackColorAt(1, 5).isValid());
    EXPECT_EQ(out.correctedPasses, 1);
}

TEST_F(FamiliesCheck, FamiliesThatDoNotTakePartAreNeitherTestedNorCounted)
{
    fam[0] = family("100", "050", "0000003", false);        // OFF
    fam[1] = family("100", "050", "0000003");
    fam[1][famComplete].clear();                            // not complete
    fam[2] = family("120", "010", "0001000");
    const FamilyTable before = fam;
    const FamiliesCheckOutcome out = run();
    EXPECT_EQ(fam, before);
    EXPECT_EQ(out.correctedPasses, 0);
    EXPECT_TRUE(out.result);
}

// ---- overlap rules -------------------------------------------------------------------

TEST_F(FamiliesCheck, ALaterFamilyStartingInsideMovesUpUnpadded)
{
    fam[0] = family("100", "050", "0001000");
    fam[1] = family("0120", "010", "0002000");
    run();
    EXPECT_EQ(fam[1][famStartID], "150");
    EXPECT_EQ(grid.TextMatrix(2, 3), "150");
    EXPECT_EQ(grid.CellBackColorAt(2, 3), editor_colours::LightCyan);
    EXPECT_EQ(fam[0][famStartID], "100");
    EXPECT_EQ(fam[0][famPagerQty], "050");
}

TEST_F(FamiliesCheck, ALaterFamilyEndingInsideIsShortened)
{
    fam[0] = family("100", "050", "0001000");
    fam[1] = family("90", "020", "0002000");
    run();
    EXPECT_EQ(fam[1][famPagerQty], "10");
    EXPECT_EQ(grid.TextMatrix(2, 2), "10");
    EXPECT_EQ(grid.CellBackColorAt(2, 2), editor_colours::LightCyan);
    EXPECT_EQ(grid.TextMatrix(2, 6), "0002009");
}

TEST_F(FamiliesCheck, ALaterFamilyHoldingAnEarlierOneIsShortenedToEndBeforeIt)
{
    fam[1] = family("304", "001", "0001000");
    fam[2] = family("300", "100", "0002000");
    const FamiliesCheckOutcome out = run();
    EXPECT_EQ(fam[2][famPagerQty], "4");
    EXPECT_EQ(fam[2][famStartID], "300");
    EXPECT_EQ(grid.TextMatrix(3, 2), "4");
    EXPECT_EQ(grid.CellBackColorAt(3, 2), editor_colours::LightCyan);
    EXPECT_EQ(grid.TextMatrix(3, 6), "0002003");
    EXPECT_EQ(fam[1][famPagerQty], "001");
    EXPECT_EQ(out.correctedPasses, 1);
}

TEST_F(FamiliesCheck, TableOrderDecidesWhichFamilyYields)
{
    fam[1] = family("100", "050", "0001000");
    fam[4] = family("120", "010", "0002000");
    run();
    EXPECT_EQ(fam[4][famStartID], "150");
    EXPECT_EQ(fam[1][famStartID], "100");
}

TEST_F(FamiliesCheck, CorrectionsRunAnotherPassAndTheWrapperSaysSo)
{
    ScriptedPrompts prompts;
    gDb.Families = emptyTable();
    gDb.Families[0] = family("1", "010", "0001000");
    gDb.Families[1] = family("5", "010", "0002000");
    gDb.Families[2] = family("12", "009", "0003000");
    gRun.bFamiliesEdited = true;
    prompts.answer(Answer::OK);
    FamiliesCheckOutcome out;
    EXPECT_TRUE(CheckFamiliesDatabase(nullptr, &out));
    EXPECT_EQ(gDb.Families[1][famStartID], "11");
    EXPECT_EQ(gDb.Families[2][famStartID], "21");
    EXPECT_EQ(out.correctedPasses, 1);  // the second pass changes nothing
    EXPECT_TRUE(gRun.bFamilyFieldsAdjusted);
    EXPECT_FALSE(gRun.bFamiliesEdited);
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Pager ID Overlap or Illegal Capcodes");
    EXPECT_EQ(prompts.last().text, lines({"One or More Fields Were Adjusted", "to Correct Illegal Capcodes",
                                          "or to Correct Overlapping Pager IDs", "as Indicated by Blue Fields"}));
    EXPECT_EQ(prompts.last().icon, platform::Icon::Exclamation);
    EXPECT_EQ(prompts.last().buttons, platform::Buttons::OK);
    EXPECT_EQ(forms::cancelSendIfLoaded(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FamiliesCheck, ACleanDatabaseEndsQuietly)
{
    ScriptedPrompts prompts;
    gDb.Families = emptyTable();
    gDb.Families[0] = family("1", "010", "0001000");
    gRun.bFamiliesEdited = true;
    EXPECT_TRUE(CheckFamiliesDatabase());
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_FALSE(gRun.bFamilyFieldsAdjusted);
    EXPECT_FALSE(gRun.bFamiliesEdited);
}

// ---- cancel --------------------------------------------------------------------------

TEST_F(FamiliesCheck, CancelResultFollowsThePass)
{
    fam[0] = family("1", "010", "0000003");
    int polls = 0;
    FamiliesCheckHooks hooks;
    hooks.cancelRequested = [&] { return ++polls == 3; };
    FamiliesCheckOutcome out = run(hooks);
    EXPECT_EQ(out.end, FamiliesCheckEnd::Cancelled);
    EXPECT_FALSE(out.result);
    EXPECT_EQ(fam[0][famStartCap], "0000008");  // kept

    // a later pass that has corrected nothing yet
    fam = emptyTable();
    fam[0] = family("1", "010", "0000003");
    int passes = 0;
    hooks.passStart = [&] { ++passes; };
    hooks.cancelRequested = [&] { return passes == 2; };
    out = run(hooks);
    EXPECT_EQ(out.end, FamiliesCheckEnd::Cancelled);
    EXPECT_TRUE(out.result);
    EXPECT_EQ(out.correctedPasses, 1);
}

TEST_F(FamiliesCheck, TheCancelBoxStopsTheRunAndLeavesTheEditedFlag)
{
    ScriptedPrompts prompts;
    gDb.Families = emptyTable();
    gDb.Families[0] = family("1", "010", "0000003");
    gRun.bFamiliesEdited = true;
    QTimer::singleShot(0, [] {
        if (frmCancelSend *box = forms::cancelSendIfLoaded())
            box->Command1_Click();
    });
    EXPECT_FALSE(CheckFamiliesDatabase());
    EXPECT_TRUE(gRun.bFamiliesEdited);
    EXPECT_FALSE(gRun.bFamilyFieldsAdjusted);
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_EQ(forms::cancelSendIfLoaded(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// ---- runs that cannot go on -------------------------------------------------------------

TEST_F(FamiliesCheck, AFieldThatIsNotANumberStopsTheRunInAnOrderlyWay)
{
    ScriptedPrompts prompts;
    gDb.Families = emptyTable();
    gDb.Families[0] = family("1", "010", "0000003");
    gDb.Families[3] = family("12X", "010", "0002000");
    gRun.bFamiliesEdited = true;
    prompts.answer(Answer::OK);
    FamiliesCheckOutcome out;
    EXPECT_FALSE(CheckFamiliesDatabase(nullptr, &out));
    EXPECT_EQ(out.end, FamiliesCheckEnd::NotANumber);
    EXPECT_EQ(out.family, 4);
    EXPECT_EQ(gDb.Families[0][famStartCap], "0000008");  // corrections so far stay
    EXPECT_TRUE(gRun.bFamiliesEdited);
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Families Check Not Completed");
    EXPECT_TRUE(prompts.last().text.startsWith("Family 4 Holds"));
    EXPECT_EQ(forms::cancelSendIfLoaded(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FamiliesCheck, PagerIDsPushedPast32767StopTheRun)
{
    for (int n = 0; n < 34; ++n)
        fam[size_t(n)] = family("1", "999", checks::PadNumber(10000 + n * 1000, 7));
    const FamiliesCheckOutcome out = run();
    EXPECT_EQ(out.end, FamiliesCheckEnd::OutOfRange);
    EXPECT_FALSE(out.result);
    EXPECT_EQ(fam[32][famStartID], "31969");  // 32 families of 999 fitted
}

TEST_F(FamiliesCheck, AFamilyOfNoPagersIsNeverShortenedBelowZero)
{
    fam[0] = family("100", "050", "0001000");
    fam[1] = family("120", "0", "0002000");
    const FamiliesCheckOutcome out = run();
    EXPECT_EQ(out.end, FamiliesCheckEnd::Finished);
    EXPECT_EQ(fam[1][famPagerQty], "0");
    EXPECT_EQ(fam[1][famStartID], "120");
}

TEST(ChecksCommon, NumbersAsTheChecksReadThem)
{
    EXPECT_EQ(checks::ToInt32(" 0105 "), 105);
    EXPECT_EQ(checks::ToInt32("2.5"), 2);  // a half goes to the even neighbour
    EXPECT_FALSE(checks::ToInt32(""));
    EXPECT_FALSE(checks::ToInt32("12X"));
    EXPECT_EQ(checks::ToInt16("32767"), 32767);
    EXPECT_FALSE(checks::ToInt16("32768"));
    EXPECT_EQ(checks::PadNumber(17, 7), "0000017");
    EXPECT_EQ(checks::PadNumber(12345678, 7), "12345678");
    EXPECT_TRUE(checks::TakesPart("1", "YES"));
    EXPECT_FALSE(checks::TakesPart("1", "yes"));
    EXPECT_FALSE(checks::TakesPart("-1", "YES"));
}
