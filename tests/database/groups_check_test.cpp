// The groups check: member pager IDs outside every active, complete family
// are blanked; its boxes, flags, cancel and marks in the groups grid.
#include "app/forms.h"
#include "app/frmcancelsend.h"
#include "database/groups_check.h"
#include "editors/editorcommon.h"
#include "platform/grid.h"
#include "support/prompts.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace testing_support;
using platform::Answer;

namespace {

void setFamily(PagerDatabase &db, int n, const QString &startID, const QString &qty, bool takesPart = true)
{
    FamilyRow &f = db.Families[size_t(n - 1)];
    f[famActive] = QStringLiteral("1");
    f[famComplete] = takesPart ? QStringLiteral("YES") : QString();
    f[famStartID] = startID;
    f[famPagerQty] = qty;
}

// Group n on and complete, every pager ID "0000" but the ones given.
void setGroup(PagerDatabase &db, int n, std::initializer_list<std::pair<int, QString>> pagers)
{
    GroupRow &g = db.Groups[size_t(n - 1)];
    g[grpActive] = QStringLiteral("1");
    g[grpComplete] = QStringLiteral("YES");
    for (int f = grpPagerID1; f <= grpPagerID20; ++f)
        g[size_t(f)] = QStringLiteral("0000");
    for (const auto &[k, id] : pagers)
        g[size_t(grpPagerID1 + k - 1)] = id;
}

QString pager(const PagerDatabase &db, int n, int k) { return db.Groups[size_t(n - 1)][size_t(grpPagerID1 + k - 1)]; }

struct Recorder {
    QList<std::pair<int, int>> blanked;
    QStringList failures;
    GroupsCheckHooks hooks()
    {
        GroupsCheckHooks h;
        h.blanked = [this](int g, int k) { blanked.append({g, k}); };
        h.failure = [this](const QString &d) { failures << d; };
        return h;
    }
};

}  // namespace

TEST(GroupsCheck, KeepsIDsInsideAFamilyAndBlanksTheRest)
{
    PagerDatabase db;
    setFamily(db, 1, "100", "010");
    setGroup(db, 1, {{1, "0105"}, {2, "0200"}, {3, "109"}, {4, "110"}, {5, "99"}});
    Recorder rec;
    const GroupsCheckResult r = RunGroupsCheck(db, rec.hooks());
    EXPECT_TRUE(r.completed);
    EXPECT_TRUE(r.adjusted);
    EXPECT_EQ(pager(db, 1, 1), "0105");  // compared as the number 105
    EXPECT_EQ(pager(db, 1, 2), "0000");
    EXPECT_EQ(pager(db, 1, 3), "109");  // the last ID of the range
    EXPECT_EQ(pager(db, 1, 4), "0000");
    EXPECT_EQ(pager(db, 1, 5), "0000");
    EXPECT_EQ(rec.blanked, (QList<std::pair<int, int>>{{0, 2}, {0, 4}, {0, 5}}));
    EXPECT_TRUE(rec.failures.isEmpty());
}

TEST(GroupsCheck, ZeroAndEmptyFieldsAreSearchedLikeIDs)
{
    PagerDatabase db;
    setFamily(db, 1, "100", "10");
    setGroup(db, 1, {{1, "0"}, {2, ""}, {3, "000"}});
    RunGroupsCheck(db);
    EXPECT_EQ(pager(db, 1, 1), "0000");
    EXPECT_EQ(pager(db, 1, 2), "0000");
    EXPECT_EQ(pager(db, 1, 3), "0000");

    // a family that holds pager ID 0 keeps "0", but never an empty field
    setFamily(db, 2, "0", "5");
    setGroup(db, 2, {{1, "0"}, {2, ""}});
    RunGroupsCheck(db);
    EXPECT_EQ(pager(db, 2, 1), "0");
    EXPECT_EQ(pager(db, 2, 2), "0000");
}

TEST(GroupsCheck, OnlyActiveCompleteRecordsTakePart)
{
    PagerDatabase db;
    setFamily(db, 1, "100", "10", /*takesPart=*/false);  // Active "1", Complete empty
    setFamily(db, 2, "200", "10");
    db.Families[1][famActive] = QStringLiteral("0");      // Complete "YES", Active "0"
    setGroup(db, 1, {{1, "105"}, {2, "205"}});
    setGroup(db, 2, {{1, "999"}});
    db.Groups[1][grpActive] = QStringLiteral("0");
    setGroup(db, 3, {{1, "999"}});
    db.Groups[2][grpComplete].clear();
    const GroupsCheckResult r = RunGroupsCheck(db);
    EXPECT_TRUE(r.adjusted);
    // no family takes part: every set ID of a taking-part group goes
    EXPECT_EQ(pager(db, 1, 1), "0000");
    EXPECT_EQ(pager(db, 1, 2), "0000");
    // groups that do not take part keep even IDs no family holds
    EXPECT_EQ(pager(db, 2, 1), "999");
    EXPECT_EQ(pager(db, 3, 1), "999");
}

TEST(GroupsCheck, LaterFamiliesAreSearchedToo)
{
    PagerDatabase db;
    setFamily(db, 1, "100", "10");
    setFamily(db, 50, "5000", "999");
    setGroup(db, 10, {{20, "5998"}, {19, "5999"}});
    const GroupsCheckResult r = RunGroupsCheck(db);
    EXPECT_EQ(pager(db, 10, 20), "5998");
    EXPECT_EQ(pager(db, 10, 19), "0000");
    EXPECT_TRUE(r.adjusted);
}

TEST(GroupsCheck, AGroupWithoutMembersChangesNothing)
{
    PagerDatabase db;
    setGroup(db, 1, {});
    const PagerDatabase before = db;
    const GroupsCheckResult r = RunGroupsCheck(db);
    EXPECT_TRUE(r.completed);
    EXPECT_FALSE(r.adjusted);
    EXPECT_EQ(db, before);
}

TEST(GroupsCheck, AnIDThatIsNotANumberIsReportedOnceAndKept)
{
    PagerDatabase db;
    setFamily(db, 1, "100", "10");
    setFamily(db, 2, "300", "10");
    setGroup(db, 1, {{1, "12a"}, {2, "1.5"}});
    Recorder rec;
    RunGroupsCheck(db, rec.hooks());
    EXPECT_EQ(pager(db, 1, 1), "12a");
    EXPECT_EQ(rec.failures, QStringList{"Type mismatch"});
    EXPECT_EQ(pager(db, 1, 2), "0000");  // a number, but no whole one

    // with nothing to compare with it is simply not found
    PagerDatabase none;
    setGroup(none, 1, {{1, "12a"}});
    Recorder rec2;
    RunGroupsCheck(none, rec2.hooks());
    EXPECT_EQ(pager(none, 1, 1), "0000");
    EXPECT_TRUE(rec2.failures.isEmpty());
}

TEST(GroupsCheck, AFamilyWithoutANumberHoldsNoIDAndIsReportedForEachSearch)
{
    PagerDatabase db;
    setFamily(db, 1, "1x0", "10");
    setFamily(db, 2, "100", "99999999999");
    setFamily(db, 3, "100", "10");
    setGroup(db, 1, {{1, "105"}, {2, "205"}});
    Recorder rec;
    RunGroupsCheck(db, rec.hooks());
    EXPECT_EQ(pager(db, 1, 1), "105");  // family 3 holds it
    EXPECT_EQ(pager(db, 1, 2), "0000");
    EXPECT_EQ(rec.failures, (QStringList{"Type mismatch", "Overflow", "Type mismatch", "Overflow"}));
}

TEST(GroupsCheck, ACancelKeepsTheCorrectionsMadeSoFar)
{
    PagerDatabase db;
    setGroup(db, 1, {{1, "5"}, {2, "6"}});
    setGroup(db, 2, {{1, "7"}});
    GroupsCheckHooks hooks;
    bool cancelNow = false;
    hooks.poll = [&] { return cancelNow; };
    hooks.blanked = [&](int, int) { cancelNow = true; };
    const GroupsCheckResult r = RunGroupsCheck(db, hooks);
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(pager(db, 1, 1), "0000");
    EXPECT_EQ(pager(db, 1, 2), "6");
    EXPECT_EQ(pager(db, 2, 1), "7");
}

TEST(GroupsCheck, EndsOnTheHeadingCornerWhenItRunsToItsEnd)
{
    PagerDatabase db;
    setGroup(db, 3, {{2, "5"}});
    QList<std::pair<int, int>> moves;
    GroupsCheckHooks hooks;
    hooks.moveTo = [&](int r, int c) { moves.append({r, c}); };
    RunGroupsCheck(db, hooks);
    ASSERT_FALSE(moves.isEmpty());
    EXPECT_EQ(moves.last(), std::make_pair(0, 0));
    // columns are visited group by group; rows only in taking-part groups
    EXPECT_EQ(moves[0], std::make_pair(-1, 1));
    EXPECT_EQ(moves[2], std::make_pair(-1, 3));
    EXPECT_EQ(moves[3], std::make_pair(4, -1));
}

// ---- as the editor runs it -----------------------------------------------------

class GroupsCheckRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSharedState();
        gRun.bGroupsEdited = true;
    }
    void TearDown() override
    {
        forms::unloadCancelSend();
        ResetSharedState();
    }
    ScriptedPrompts prompts;
};

TEST_F(GroupsCheckRun, BlanksMarksTheGridAndSaysSo)
{
    setFamily(gDb, 1, "100", "10");
    setGroup(gDb, 1, {{1, "0105"}, {2, "0200"}});
    platform::FlexGrid grid;
    grid.setFixedRows(1);
    grid.setFixedCols(1);
    grid.setRows(26);
    grid.setCols(11);
    grid.setTextMatrix(5, 1, "200");
    grid.setTextMatrix(4, 1, "105");
    prompts.answerWith([&](const platform::Prompt &) {
        // the cancel box is gone and the pointer is back before the box shows
        EXPECT_EQ(forms::cancelSendIfLoaded(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        return platform::Reply{Answer::OK, {}, 1};
    });
    EXPECT_TRUE(CheckGroupsDatabase(&grid));
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Non-Existent Pager IDs");
    EXPECT_EQ(prompts.last().text, lines({"One or More Pager ID Fields Were Adjusted",
                                          "to Correct Non-Existent Pager IDs", "as Indicated by Blue Fields"}));
    EXPECT_EQ(prompts.last().icon, platform::Icon::Exclamation);
    EXPECT_EQ(prompts.last().buttons, platform::Buttons::OK);
    EXPECT_EQ(pager(gDb, 1, 2), "0000");
    EXPECT_EQ(grid.TextMatrix(5, 1), "");
    EXPECT_EQ(grid.CellBackColorAt(5, 1), editor_colours::LightCyan);
    EXPECT_EQ(grid.TextMatrix(4, 1), "105");
    EXPECT_FALSE(grid.CellBackColorAt(4, 1).isValid());
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_EQ(grid.Col(), 0);
    EXPECT_TRUE(gRun.bGroupFieldsAdjusted);
    EXPECT_FALSE(gRun.bGroupsEdited);
}

TEST_F(GroupsCheckRun, NothingToCorrectShowsNoBox)
{
    setFamily(gDb, 1, "100", "10");
    setGroup(gDb, 1, {{1, "101"}});
    EXPECT_TRUE(CheckGroupsDatabase());
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_FALSE(gRun.bGroupFieldsAdjusted);
    EXPECT_FALSE(gRun.bGroupsEdited);
    EXPECT_EQ(forms::cancelSendIfLoaded(), nullptr);
}

TEST_F(GroupsCheckRun, AFailureBoxCarriesTheApplicationTitle)
{
    const QString title = platform::AppTitle();
    platform::SetAppTitle("Quorvane Paging Encoder Setup");
    setFamily(gDb, 1, "100", "10");
    setGroup(gDb, 1, {{1, "abc"}});
    prompts.answer(Answer::OK);
    EXPECT_TRUE(CheckGroupsDatabase());
    platform::SetAppTitle(title);
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().text, "Type mismatch");
    EXPECT_EQ(prompts.last().title, "Quorvane Paging Encoder Setup");
    EXPECT_EQ(prompts.last().icon, platform::Icon::None);
    EXPECT_EQ(pager(gDb, 1, 1), "abc");
}

TEST_F(GroupsCheckRun, ShowsTheCancelBoxAndStopsOnCancel)
{
    setGroup(gDb, 1, {{1, "5"}});
    gWait.bCancelRequested = true;  // cleared at the start
    QString shownText;
    QTimer::singleShot(0, [&] {
        frmCancelSend *box = forms::cancelSendIfLoaded();
        ASSERT_NE(box, nullptr);
        shownText = box->Label1->text();
        EXPECT_TRUE(box->isVisible());
        box->Command1->click();
    });
    EXPECT_FALSE(CheckGroupsDatabase());
    EXPECT_EQ(shownText, "Checking Groups Database");
    EXPECT_EQ(prompts.count(), 0);
    EXPECT_TRUE(gRun.bGroupsEdited);
    EXPECT_TRUE(gWait.bCancelRequested);  // left as the cancel set it
    EXPECT_EQ(forms::cancelSendIfLoaded(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(pager(gDb, 1, 1), "5");
}
