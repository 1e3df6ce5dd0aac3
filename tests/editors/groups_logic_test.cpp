// The groups editor's rules without its window: the cells a record shows,
// clicks on the toggles, typed fields, the timer message, the keys and OK.
#include "editors/cfggroup_logic.h"
#include "editors/editorcommon.h"

#include <gtest/gtest.h>

using namespace groupsgrid;
namespace colour = editor_colours;

namespace {

GroupRow emptyGroup()
{
    GroupRow g;
    g[grpGroupID] = "0000";
    for (int f : {grpActive, grpTrigger1Active, grpTrigger2Active, grpTimerActive})
        g[size_t(f)] = "0";
    for (int f : {grpTrigger1Msg, grpTrigger2Msg, grpTimerMsg})
        g[size_t(f)] = "00";
    for (int f = grpPagerID1; f <= grpPagerID20; ++f)
        g[size_t(f)] = "0000";
    return g;
}

GroupRow completeGroup(const char *active = "1")
{
    GroupRow g = emptyGroup();
    g[grpActive] = active;
    g[grpGroupID] = "12";
    g[grpPagerID1] = "100";
    g[grpComplete] = "YES";
    g[grpReference] = "Ward 1";
    return g;
}

QString &pagerField(GroupRow &g, int k) { return g[size_t(grpPagerID1 + k - 1)]; }

void expectRows(const Column &col, int r0, int r1, const QColor &c)
{
    for (int r = r0; r <= r1; ++r)
        EXPECT_EQ(col[size_t(r)].back, c) << "row " << r;
}

void expectDefinitionColour(const Column &col, const QColor &c)
{
    EXPECT_EQ(col[rowReference].back, c);
    expectRows(col, rowGroupID, rowPagerID20, c);
    EXPECT_EQ(col[rowTimerMsg].back, c);
}

}  // namespace

// ---- load step -----------------------------------------------------------------

TEST(GroupsColumnLoad, AnIncompleteGroupShowsOffOnDarkGreyWhateverItsActiveFlag)
{
    GroupRow g = completeGroup();
    g[grpComplete].clear();
    const GroupRow before = g;
    const Column col = LoadColumn(g);
    EXPECT_EQ(col[rowActive], (Cell{"OFF", colour::Red}));
    EXPECT_EQ(col[rowReference], (Cell{"Ward 1", colour::DarkGrey}));
    for (int r = rowGroupID; r <= rowTimerMsg; ++r)
        EXPECT_EQ(col[size_t(r)], (Cell{"", colour::DarkGrey})) << r;
    EXPECT_EQ(g, before);
}

TEST(GroupsColumnLoad, AnActiveCompleteGroupShowsItsFieldsOnIvory)
{
    GroupRow g = completeGroup();
    g[grpGroupID] = "0012";
    pagerField(g, 3) = "0123";
    g[grpTimerActive] = "1";
    g[grpTimerMsg] = "05";
    const Column col = LoadColumn(g);
    EXPECT_EQ(col[rowActive], (Cell{"ON", colour::Green}));
    EXPECT_EQ(col[rowReference], (Cell{"Ward 1", colour::Ivory}));
    EXPECT_EQ(col[rowGroupID], (Cell{"12", colour::Ivory}));
    EXPECT_EQ(g[grpGroupID], "12");  // the record loses the leading zeros
    EXPECT_EQ(col[rowPagerID1].text, "100");
    EXPECT_EQ(col[rowPagerID1 + 2].text, "123");
    EXPECT_EQ(pagerField(g, 3), "0123");  // the record keeps its text
    EXPECT_EQ(col[rowPagerID1 + 1], (Cell{"", colour::Ivory}));
    EXPECT_EQ(col[rowTimerActive], (Cell{"ON", colour::Green}));
    EXPECT_EQ(col[rowTimerMsg], (Cell{"05", colour::Ivory}));
}

TEST(GroupsColumnLoad, AnInactiveCompleteGroupShowsItsFieldsOnLightGrey)
{
    GroupRow g = completeGroup("0");
    g[grpTimerActive] = "1";
    g[grpTimerMsg] = "3";
    const Column col = LoadColumn(g);
    EXPECT_EQ(col[rowActive], (Cell{"OFF", colour::Red}));
    EXPECT_EQ(col[rowReference], (Cell{"Ward 1", colour::LightGrey}));
    EXPECT_EQ(col[rowGroupID], (Cell{"12", colour::LightGrey}));
    EXPECT_EQ(col[rowPagerID1], (Cell{"100", colour::LightGrey}));
    EXPECT_EQ(col[rowTimerActive], (Cell{"ON", colour::LightGrey}));
    EXPECT_EQ(col[rowTimerMsg], (Cell{"3", colour::LightGrey}));
}

TEST(GroupsColumnLoad, AGroupIDOfZeroStaysAndShowsNothing)
{
    GroupRow g = completeGroup();
    g[grpGroupID] = "0000";
    EXPECT_EQ(LoadColumn(g)[rowGroupID].text, "");
    EXPECT_EQ(g[grpGroupID], "0000");
    // a text that is not a number only loses its leading zeros
    g[grpGroupID] = "00ab";
    EXPECT_EQ(LoadColumn(g)[rowGroupID].text, "ab");
    EXPECT_EQ(g[grpGroupID], "ab");
}

TEST(GroupsColumnLoad, ATimerWithoutAMessageIsSwitchedOff)
{
    for (const char *msg : {"00", "", "x"}) {
        GroupRow g = completeGroup();
        g[grpTimerActive] = "1";
        g[grpTimerMsg] = msg;
        const Column col = LoadColumn(g);
        EXPECT_EQ(g[grpTimerActive], "0") << msg;
        EXPECT_EQ(col[rowTimerActive], (Cell{"OFF", colour::Red})) << msg;
        EXPECT_EQ(col[rowTimerMsg].text, "None") << msg;
    }
}

TEST(GroupsColumnLoad, AnActiveGroupWithoutPagerIDsShowsThemMagenta)
{
    GroupRow g = completeGroup();
    pagerField(g, 1) = "0000";
    const Column col = LoadColumn(g);
    expectRows(col, rowPagerID1, rowPagerID20, colour::Magenta);
    EXPECT_EQ(col[rowGroupID].back, colour::Ivory);
    // a pager ID that is not a number counts as one, though it shows nothing
    pagerField(g, 7) = "7b";
    const Column col2 = LoadColumn(g);
    expectRows(col2, rowPagerID1, rowPagerID20, colour::Ivory);
    EXPECT_EQ(col2[rowPagerID1 + 6].text, "");
}

// ---- Active and Timer Active clicks ------------------------------------------------------

TEST(GroupsColumnToggle, SwitchingACompleteGroupOffKeepsItsTextsOnLightGrey)
{
    GroupRow g = completeGroup();
    Column col = LoadColumn(g);
    ToggleActive(g, col);
    EXPECT_EQ(g[grpActive], "0");
    EXPECT_EQ(col[rowActive], (Cell{"OFF", colour::Red}));
    EXPECT_EQ(col[rowReference].back, colour::LightGrey);
    expectRows(col, rowGroupID, rowTimerMsg, colour::LightGrey);
    EXPECT_EQ(col[rowGroupID].text, "12");
    EXPECT_EQ(col[rowTimerMsg].text, "None");
}

TEST(GroupsColumnToggle, SwitchingAnIncompleteGroupOffBlanksItsCellsButNotItsRecord)
{
    GroupRow g = completeGroup();
    Column col = LoadColumn(g);
    g[grpComplete].clear();
    ToggleActive(g, col);
    EXPECT_EQ(col[rowReference], (Cell{"Ward 1", colour::DarkGrey}));
    for (int r = rowGroupID; r <= rowTimerMsg; ++r)
        EXPECT_EQ(col[size_t(r)], (Cell{"", colour::DarkGrey})) << r;
    EXPECT_EQ(g[grpGroupID], "12");
    EXPECT_EQ(g[grpPagerID1], "100");
}

TEST(GroupsColumnToggle, SwitchingOnJudgesTheGroup)
{
    // a Group ID and a pager ID: complete
    GroupRow g = emptyGroup();
    g[grpGroupID] = "7";
    pagerField(g, 3) = "300";
    Column col = LoadColumn(g);
    ToggleActive(g, col);
    EXPECT_EQ(g[grpActive], "1");
    EXPECT_EQ(g[grpComplete], "YES");
    EXPECT_EQ(col[rowActive], (Cell{"ON", colour::Green}));
    EXPECT_EQ(col[rowReference].back, colour::Ivory);
    expectRows(col, rowGroupID, rowPagerID20, colour::Ivory);
    EXPECT_EQ(col[rowTimerActive], (Cell{"OFF", colour::Red}));
    EXPECT_EQ(col[rowTimerMsg], (Cell{"None", colour::Ivory}));
    // the cells show the record again
    EXPECT_EQ(col[rowGroupID].text, "7");
    EXPECT_EQ(col[rowPagerID1 + 2].text, "300");

    // no Group ID and no timer: magenta, Complete as it was
    GroupRow h = emptyGroup();
    pagerField(h, 1) = "5";
    h[grpComplete] = "old";
    Column col2 = LoadColumn(h);
    ToggleActive(h, col2);
    EXPECT_EQ(h[grpComplete], "old");
    expectDefinitionColour(col2, colour::Magenta);
    EXPECT_EQ(col2[rowActive].back, colour::Green);

    // an empty Group ID is missing too, but a timer with a message will do;
    // the trigger fields are not touched
    GroupRow t = emptyGroup();
    t[grpGroupID] = "";
    pagerField(t, 1) = "5";
    t[grpTrigger1Active] = "1";
    t[grpTrigger1Msg] = "04";
    t[grpTimerActive] = "1";
    t[grpTimerMsg] = "05";
    Column col3 = LoadColumn(t);
    ToggleActive(t, col3);
    EXPECT_EQ(t[grpComplete], "YES");
    EXPECT_EQ(col3[rowTimerActive], (Cell{"ON", colour::Green}));
    EXPECT_EQ(col3[rowTimerMsg], (Cell{"05", colour::Ivory}));
    EXPECT_EQ(t[grpTrigger1Active], "1");
    EXPECT_EQ(t[grpTrigger1Msg], "04");
}

TEST(GroupsColumnToggle, ATimerOnWithoutAMessageShowsNoneInMagenta)
{
    GroupRow g = emptyGroup();
    g[grpTimerActive] = "1";
    Column col{};
    ToggleActive(g, col);
    EXPECT_EQ(col[rowTimerMsg], (Cell{"None", colour::Magenta}));
    EXPECT_EQ(col[rowTimerActive], (Cell{"ON", colour::Green}));
}

TEST(GroupsColumnToggle, TheTimerTogglesColourOnlyAnActiveGroup)
{
    GroupRow g = completeGroup();
    g[grpTimerActive] = "1";
    g[grpTimerMsg] = "4";
    Column col = LoadColumn(g);
    SwitchTimerOff(g, col);
    EXPECT_EQ(g[grpTimerActive], "0");
    EXPECT_EQ(col[rowTimerActive], (Cell{"OFF", colour::Red}));
    EXPECT_EQ(col[rowTimerMsg].back, colour::Ivory);
    SwitchTimerOn(g, col);
    EXPECT_EQ(g[grpTimerActive], "1");
    EXPECT_EQ(col[rowTimerActive], (Cell{"ON", colour::Green}));
    EXPECT_EQ(col[rowTimerMsg].back, colour::Ivory);

    // "None" under a timer switched on turns magenta
    g[grpTimerActive] = "0";
    col[rowTimerMsg].text = "None";
    SwitchTimerOn(g, col);
    EXPECT_EQ(col[rowTimerMsg].back, colour::Magenta);

    // an inactive group keeps its grey cells
    GroupRow off = completeGroup("0");
    Column grey = LoadColumn(off);
    SwitchTimerOn(off, grey);
    EXPECT_EQ(grey[rowTimerActive], (Cell{"ON", colour::LightGrey}));
    EXPECT_EQ(grey[rowTimerMsg].back, colour::LightGrey);
    SwitchTimerOff(off, grey);
    EXPECT_EQ(grey[rowTimerActive], (Cell{"OFF", colour::LightGrey}));
}

// ---- typed fields ---------------------------------------------------------------------

TEST(GroupsColumnTyping, AGroupIDIsTakenOnlyWhenItIsANumberAboveZero)
{
    for (const char *typed : {"0", "abc", "", "-3", "40000"}) {
        GroupRow g = completeGroup();
        Column col = LoadColumn(g);
        TypeField(g, col, rowGroupID, typed);
        EXPECT_EQ(g[grpGroupID], "0000") << typed;
        EXPECT_EQ(col[rowGroupID], (Cell{"", colour::Ivory})) << typed;  // no colour change: the group was on
        EXPECT_EQ(g[grpComplete], "YES") << typed;
    }
    GroupRow g = completeGroup();
    Column col = LoadColumn(g);
    TypeField(g, col, rowGroupID, "012");
    EXPECT_EQ(g[grpGroupID], "012");  // stored as typed
    EXPECT_EQ(col[rowGroupID].text, "012");
}

TEST(GroupsColumnTyping, APagerIDCompletesAGroupThatHasAGroupID)
{
    GroupRow g = completeGroup();
    Column col = LoadColumn(g);
    const Column colours = col;
    TypeField(g, col, rowPagerID1 + 2, "7");
    EXPECT_EQ(pagerField(g, 3), "7");
    EXPECT_EQ(col[rowPagerID1 + 2].text, "7");
    EXPECT_EQ(g[grpComplete], "YES");
    for (int r = 1; r < kRows; ++r)
        EXPECT_EQ(col[size_t(r)].back, colours[size_t(r)].back) << r;
}

TEST(GroupsColumnTyping, ClearingTheOnlyPagerIDEmptiesCompleteWithoutRecolouring)
{
    GroupRow g = completeGroup();
    Column col = LoadColumn(g);
    TypeField(g, col, rowPagerID1, "");
    EXPECT_EQ(pagerField(g, 1), "0000");
    EXPECT_EQ(col[rowPagerID1].text, "");
    EXPECT_EQ(g[grpComplete], "");
    expectDefinitionColour(col, colour::Ivory);
}

TEST(GroupsColumnTyping, TypingIntoAGroupThatIsOffSwitchesItOn)
{
    GroupRow g = emptyGroup();
    g[grpTrigger1Active] = "1";
    g[grpTrigger1Msg] = "03";
    g[grpTrigger2Msg] = "04";
    g[grpComplete] = "YES";  // shown as a complete group that is off
    Column col = LoadColumn(g);
    g[grpComplete].clear();
    TypeField(g, col, rowGroupID, "4");
    EXPECT_EQ(g[grpActive], "1");
    EXPECT_EQ(g[grpTrigger1Active], "0");
    EXPECT_EQ(g[grpTrigger2Active], "0");
    EXPECT_EQ(g[grpTrigger1Msg], "00");
    EXPECT_EQ(g[grpTrigger2Msg], "00");
    EXPECT_EQ(g[grpComplete], "");
    EXPECT_EQ(col[rowActive], (Cell{"ON", colour::Green}));
    EXPECT_EQ(col[rowReference].back, colour::Magenta);
    expectRows(col, rowPagerID1, rowPagerID20, colour::Magenta);
    EXPECT_EQ(col[rowTimerMsg], (Cell{"None", colour::Magenta}));
    EXPECT_EQ(col[rowTimerActive], (Cell{"OFF", colour::Red}));
    EXPECT_EQ(col[rowGroupID], (Cell{"4", colour::Ivory}));

    GroupRow h = emptyGroup();
    Column col2{};
    TypeField(h, col2, rowGroupID, "x");
    EXPECT_EQ(col2[rowGroupID], (Cell{"", colour::Magenta}));
}

TEST(GroupsColumnTyping, APagerIDTypedIntoAGroupThatIsOffWithAGroupIDCompletesIt)
{
    GroupRow g = emptyGroup();
    g[grpGroupID] = "5";
    Column col{};
    TypeField(g, col, rowPagerID1 + 4, "250");
    EXPECT_EQ(g[grpComplete], "YES");
    EXPECT_EQ(pagerField(g, 5), "250");
    expectDefinitionColour(col, colour::Ivory);
    EXPECT_EQ(col[rowActive].back, colour::Green);
    EXPECT_EQ(col[rowGroupID].text, "5");

    // without a Group ID only the pager IDs turn ivory
    GroupRow h = emptyGroup();
    Column col2{};
    TypeField(h, col2, rowPagerID1, "9");
    EXPECT_EQ(h[grpComplete], "");
    expectRows(col2, rowPagerID1, rowPagerID20, colour::Ivory);
    EXPECT_EQ(col2[rowGroupID].back, colour::Magenta);
    EXPECT_EQ(col2[rowReference].back, colour::Magenta);
}

TEST(GroupsColumnTyping, AReferenceIsStoredAsTyped)
{
    GroupRow g = completeGroup();
    Column col = LoadColumn(g);
    TypeField(g, col, rowReference, "a,\"b c");
    EXPECT_EQ(g[grpReference], "a,\"b c");
    EXPECT_EQ(col[rowReference].text, "a,\"b c");
}

// ---- timer message --------------------------------------------------------------------

TEST(GroupsColumnTimerMessage, NoneIsStoredAsDoubleZero)
{
    GroupRow g = completeGroup();
    g[grpTimerMsg] = "7";
    Column col = LoadColumn(g);
    ChooseTimerMessage(g, col, rowTimerMsg, "None");
    EXPECT_EQ(g[grpTimerMsg], "00");
    EXPECT_EQ(col[rowTimerMsg].text, "None");
}

TEST(GroupsColumnTimerMessage, AMessageCompletesAGroupWithATriggerAndAPagerID)
{
    GroupRow g = emptyGroup();
    g[grpActive] = "1";
    g[grpTimerActive] = "1";
    pagerField(g, 2) = "42";
    Column col{};
    ChooseTimerMessage(g, col, rowTimerMsg, "5");
    EXPECT_EQ(g[grpTimerMsg], "5");
    EXPECT_EQ(g[grpComplete], "YES");
    expectRows(col, rowGroupID, rowPagerID20, colour::Ivory);
    EXPECT_EQ(col[rowTimerMsg], (Cell{"5", colour::Ivory}));

    // without a trigger that is on nothing is judged
    GroupRow h = emptyGroup();
    pagerField(h, 2) = "42";
    Column col2{};
    ChooseTimerMessage(h, col2, rowTimerMsg, "5");
    EXPECT_EQ(h[grpComplete], "");
    EXPECT_FALSE(col2[rowGroupID].back.isValid());
}

TEST(GroupsColumnTimerMessage, LabelAndListEntryForACell)
{
    MessageTable m;
    m[4] = "Fire drill";
    m[14] = "Last";
    EXPECT_EQ(MessageLabelText("None", m), "Message:");
    EXPECT_EQ(MessageLabelText("5", m), "Message: Fire drill");
    EXPECT_EQ(MessageLabelForCell("15", m), std::optional<QString>("Message: Last"));
    EXPECT_EQ(MessageLabelForCell("05", m), std::optional<QString>("Message: Fire drill"));
    EXPECT_EQ(MessageLabelForCell("16", m), std::nullopt);
    EXPECT_EQ(MessageLabelForCell("0", m), std::nullopt);
    EXPECT_EQ(ListEntryForCell("0"), "None");
    EXPECT_EQ(ListEntryForCell("05"), "5");
    EXPECT_EQ(ListEntryForCell("12"), "12");
    EXPECT_EQ(ListEntryForCell(""), "");
}

// ---- keys ---------------------------------------------------------------------------------

TEST(GroupsKeys, ForwardKeysWalkGroupIDAndPagerIDsThenTheNextGroup)
{
    for (int key : {int(Qt::Key_Tab), int(Qt::Key_Backtab), int(Qt::Key_Return), int(Qt::Key_Enter), int(Qt::Key_Right)}) {
        EXPECT_EQ(MoveForKey(key, 3, 4), (CellPos{4, 4})) << key;
        EXPECT_EQ(MoveForKey(key, 1, 4), (CellPos{2, 4})) << key;
        EXPECT_EQ(MoveForKey(key, 23, 4), (CellPos{3, 5})) << key;
        EXPECT_EQ(MoveForKey(key, 25, 10), (CellPos{3, 1})) << key;
        EXPECT_EQ(MoveForKey(key, 23, 10), (CellPos{3, 1})) << key;
    }
}

TEST(GroupsKeys, LeftWalksBackIntoThePreviousGroup)
{
    EXPECT_EQ(MoveForKey(Qt::Key_Left, 10, 2), (CellPos{9, 2}));
    EXPECT_EQ(MoveForKey(Qt::Key_Left, 3, 2), (CellPos{23, 1}));
    EXPECT_EQ(MoveForKey(Qt::Key_Left, 3, 1), (CellPos{23, 10}));
    EXPECT_EQ(MoveForKey(Qt::Key_Left, 2, 1), (CellPos{23, 10}));
    EXPECT_EQ(MoveForKey(Qt::Key_Left, 25, 6), (CellPos{24, 6}));
}

TEST(GroupsKeys, UpAndDownStayInTheGroup)
{
    EXPECT_EQ(MoveForKey(Qt::Key_Down, 5, 7), (CellPos{6, 7}));
    EXPECT_EQ(MoveForKey(Qt::Key_Down, 23, 7), (CellPos{3, 7}));
    EXPECT_EQ(MoveForKey(Qt::Key_Down, 24, 7), (CellPos{3, 7}));
    EXPECT_EQ(MoveForKey(Qt::Key_Up, 3, 7), (CellPos{23, 7}));
    EXPECT_EQ(MoveForKey(Qt::Key_Up, 25, 7), (CellPos{24, 7}));
    EXPECT_EQ(MoveForKey(Qt::Key_Up, 1, 7), (CellPos{23, 7}));
    EXPECT_EQ(MoveForKey(Qt::Key_F1, 5, 7), std::nullopt);
    EXPECT_EQ(MoveForKey(Qt::Key_A, 5, 7), std::nullopt);
}

// ---- OK and closing ------------------------------------------------------------------------

TEST(GroupsOkJudgement, AGroupNeedsAPagerIDAndAGroupIDOrATriggerWithAMessage)
{
    GroupTable t;
    t.fill(emptyGroup());
    t[0] = completeGroup();  // "12" and "100": stays
    t[1] = completeGroup();
    pagerField(t[1], 1) = "0000";  // no pager ID
    t[2] = completeGroup();
    t[2][grpGroupID] = "0000";
    t[2][grpTimerActive] = "1";
    t[2][grpTimerMsg] = "5";
    t[3] = t[2];
    t[3][grpTimerMsg] = "00";
    t[4] = completeGroup();
    t[4][grpTrigger2Active] = "1";  // without a message
    t[5] = completeGroup("0");
    t[5][grpTrigger1Active] = "1";
    pagerField(t[5], 1) = "0000";
    const bool verdict = JudgeGroupsOnOk(t, false);
    EXPECT_EQ(t[0][grpComplete], "YES");
    EXPECT_EQ(t[1][grpComplete], "");
    EXPECT_EQ(t[2][grpComplete], "YES");
    EXPECT_EQ(t[3][grpComplete], "");
    EXPECT_EQ(t[3][grpTimerActive], "0");
    EXPECT_EQ(t[4][grpComplete], "YES");
    EXPECT_EQ(t[4][grpTrigger2Active], "0");
    // a group that is off keeps everything
    EXPECT_EQ(t[5][grpComplete], "YES");
    EXPECT_EQ(t[5][grpTrigger1Active], "1");
    EXPECT_TRUE(verdict);  // groups 2 and 4 are on and incomplete
}

TEST(GroupsOkJudgement, TheVerdictFollowsAnyGroupThatIsOnAndNotComplete)
{
    GroupTable t;
    t.fill(emptyGroup());
    EXPECT_TRUE(JudgeGroupsOnOk(t, true));  // no group on: unchanged
    EXPECT_FALSE(JudgeGroupsOnOk(t, false));
    t[2] = completeGroup();
    t[2][grpGroupID] = "0000";  // incomplete
    t[6] = completeGroup();
    EXPECT_TRUE(JudgeGroupsOnOk(t, false));  // not only the last group counts
    EXPECT_EQ(t[2][grpComplete], "");
    t[2][grpActive] = "0";
    EXPECT_FALSE(JudgeGroupsOnOk(t, true));
    // a pager ID stored as "0" counts as set here
    t[8] = completeGroup();
    pagerField(t[8], 1) = "0";
    EXPECT_FALSE(JudgeGroupsOnOk(t, true));
    EXPECT_EQ(t[8][grpComplete], "YES");
    // an empty one (a table nothing filled) does not
    pagerField(t[8], 1) = "";
    EXPECT_TRUE(JudgeGroupsOnOk(t, false));
    EXPECT_EQ(t[8][grpComplete], "");
    // a group that is on and was never marked complete is reset on closing
    t[8] = completeGroup();
    t[8][grpComplete].clear();
    EXPECT_TRUE(JudgeGroupsOnOk(t, false));
    // a group nothing filled is not on
    t[8] = GroupRow{};
    EXPECT_FALSE(JudgeGroupsOnOk(t, true));
}

TEST(GroupsOkJudgement, Comp1NeedsTheFirstPagerIDOfTheFirstGroup)
{
    GroupTable t;
    t.fill(emptyGroup());
    t[0] = completeGroup();
    EncoderSettings s;
    s.sSerial1Protocol = "COMP1";
    s.sSerial2Protocol = "COMP1";
    EXPECT_EQ(ApplyComp1Rule(t, s), 0);
    EXPECT_EQ(s.sSerial1Protocol, "COMP1");

    t[0][grpPagerID1] = "0000";
    EXPECT_EQ(ApplyComp1Rule(t, s), 1);
    EXPECT_EQ(s.sSerial1Protocol, "TAP");
    EXPECT_EQ(s.sSerial2Protocol, "COMP1");
    EXPECT_EQ(ApplyComp1Rule(t, s), 2);
    EXPECT_EQ(s.sSerial2Protocol, "TAP");
    EXPECT_EQ(ApplyComp1Rule(t, s), 0);

    t[0] = completeGroup("0");  // a first group that is off has no default pager
    s.sSerial2Protocol = "COMP1";
    EXPECT_EQ(ApplyComp1Rule(t, s), 2);
}

TEST(GroupsOkJudgement, ClosingResetsEveryGroupThatIsNotComplete)
{
    GroupTable t;
    t[0] = completeGroup();
    t[1] = completeGroup();
    t[1][grpComplete].clear();
    t[1][grpTrigger1Msg] = "3";
    t[1][grpTimerActive] = "1";
    ResetIncompleteGroups(t);
    EXPECT_EQ(t[0], completeGroup());
    EXPECT_EQ(t[1], emptyGroup());
    EXPECT_EQ(t[1][grpReference], "");
    EXPECT_EQ(t[9], emptyGroup());  // a never-filled record
}
