// The pager families editor: what the grid shows at load, the keys, the
// Active toggle, typed and chosen fields, OK and the closing question.
#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "transfer/matchclaim.h"
#include "editors/editorcommon.h"
#include "editors/editors.h"
#include "editors/frmcfgfam.h"
#include "editors/frmcfggroup.h"
#include "editors/frmsettings.h"
#include "platform/grid.h"
#include "support/appfixture.h"
#include "support/duringcheck.h"
#include "support/simharness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <memory>

using namespace testing_support;
using platform::Answer;
namespace colours = editor_colours;

namespace {

FamilyRow sample()
{
    // ON, 10 pagers from ID 0100 and capcode 0001000, numeric, code 1, 1200 bit/s
    return FamilyRow{"1", "0001000", "1", "N", "0", "010", "0100", "05", "00", "YES"};
}

class FamiliesEditor : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        term = start();
        closeSplash();
        ApplyNewDatabase(gDb);
        ClaimViewMatches();
    }
    frmCfgFam *open()
    {
        ShowFamiliesEditor();
        w = qobject_cast<frmCfgFam *>(forms::window("frmCfgFam"));
        g = w ? w->fgFamilies : nullptr;
        return w;
    }
    QString text(int r, int c) const { return g->TextMatrix(r, c); }
    QColor back(int r, int c) const { return g->CellBackColorAt(r, c); }
    void select(int r, int c)
    {
        g->setRow(r);
        g->setCol(c);
        w->fgFamilies_Click();
    }
    // Types `s` one character after the other into the open text box.
    void type(const QString &s)
    {
        for (int n = 1; n <= s.size(); ++n)
            w->txtFam->setText(w->txtFam->text() + s.at(n - 1));
    }
    void key(int k, QWidget *target = nullptr) { QTest::keyClick(target ? target : g, Qt::Key(k)); }
    // The colour the user sees in the empty right-hand part of a cell.
    QColor shown(int r, int c) const
    {
        const QRect cell = g->visualRect(g->model()->index(r - 1, c - 1));
        return g->viewport()->grab().toImage().pixelColor(cell.right() - 4, cell.center().y());
    }
    bool modified() const { return !gRun.bMatchesEncoder; }

    frmTerminal *term = nullptr;
    frmCfgFam *w = nullptr;
    platform::FlexGrid *g = nullptr;
};

}  // namespace

// ---- loading ------------------------------------------------------------------------------

TEST_F(FamiliesEditor, LoadShowsARowWithDerivedValuesAndColours)
{
    gDb.Families[0] = sample();
    ASSERT_TRUE(open());
    EXPECT_EQ(w->windowTitle(), " Pager Families Setup");
    const QStringList shown{"ON", "10", "0100", "0109", "0001000", "0001009", "Numeric", "1", "1200", "5", "None"};
    for (int c = 1; c <= 11; ++c)
        EXPECT_EQ(text(1, c), shown[c - 1]) << c;
    EXPECT_EQ(back(1, 1), colours::Green);
    for (int c = 2; c <= 11; ++c)
        EXPECT_EQ(back(1, c), colours::Ivory) << c;
    EXPECT_EQ(g->CellForeColorAt(1, 4), colours::DarkGrey);
    EXPECT_EQ(g->CellForeColorAt(1, 6), colours::DarkGrey);
    EXPECT_EQ(text(0, 5), "Start Capcode ");
    EXPECT_EQ(text(7, 0), " 7");
    EXPECT_EQ(w->lblIncCapBy8->text(), "Increment Capcodes by 8 Mode is OFF");
    EXPECT_FALSE(term->Timer1.Enabled());
    EXPECT_FALSE(gRun.bLoading);
    EXPECT_FALSE(modified());
}

TEST_F(FamiliesEditor, LoadWorksOutEndsByStepAndStoredLength)
{
    gSettings.bIncCapBy8 = true;
    gDb.Families[0] = sample();
    gDb.Families[1] = sample();
    gDb.Families[1][famStartID] = "995";
    gDb.Families[2] = sample();
    gDb.Families[2][famStartCap] = "00A1000";
    gDb.Families[3] = sample();
    gDb.Families[3][famStartCap] = "0000000";
    // an unused family as an encoder reports it: no quantity, so no ends
    gDb.Families[4] = FamilyRow{"0", "0000008", "5", "A", "3", "0", "0", "00", "00", ""};
    ASSERT_TRUE(open());
    EXPECT_EQ(text(1, 6), "0001072");
    EXPECT_EQ(text(2, 4), "1004");
    EXPECT_EQ(gDb.Families[2][famStartCap], "0000008");
    EXPECT_EQ(text(3, 5), "0000008");
    EXPECT_EQ(text(3, 6), "0000080");
    EXPECT_EQ(text(4, 5), "");
    EXPECT_EQ(text(4, 6), "");
    EXPECT_EQ(gDb.Families[3][famStartCap], "0000000");
    EXPECT_EQ(text(5, 4), "");
    EXPECT_EQ(text(5, 6), "");
    EXPECT_EQ(w->lblIncCapBy8->text(), "Increment Capcodes by 8 Mode is ON");
}

TEST_F(FamiliesEditor, TheOpenEditorFollowsTheStepSetInTheAdvancedSettings)
{
    gSettings.bIncCapBy8 = true;
    gDb.Families[0] = sample();
    gDb.Families[0][famStartCap] = "0100000";
    gDb.Families[0][famPagerQty] = "050";
    ASSERT_TRUE(open());
    EXPECT_EQ(w->lblIncCapBy8->text(), "Increment Capcodes by 8 Mode is ON");
    EXPECT_EQ(text(1, 6), "0100392");

    // the advanced settings open over the editor and turn the step off
    auto settings = std::make_unique<frmSettings>(term);
    settings->Form_Load();
    settings->show();
    settings->chkIncCapby8->click();
    EXPECT_EQ(term->lblIncBy8->text(), "Increment Capcodes by 8 Mode is OFF");
    EXPECT_EQ(w->lblIncCapBy8->text(), "Increment Capcodes by 8 Mode is OFF");
    EXPECT_EQ(text(1, 6), "0100049");
    EXPECT_EQ(g->CellForeColorAt(1, 6), colours::DarkGrey);
}

TEST_F(FamiliesEditor, ShowingTheTablesAfreshKeepsTheCurrentCellAndTheMarksOfMissingValues)
{
    gDb.Families[0] = sample();
    ASSERT_TRUE(open());
    // a family half typed: a quantity, no start ID, no start capcode yet
    select(3, 2);
    type("5");
    select(3, 3);
    gSettings.bIncCapBy8 = true;
    ShowCapcodeStepInOpenEditors();
    EXPECT_EQ(text(1, 6), "0001072");
    EXPECT_EQ(g->Row(), 3);
    EXPECT_EQ(g->Col(), 3);
    EXPECT_TRUE(w->txtFam->isVisible());
    EXPECT_EQ(text(3, 2), "5");
    EXPECT_EQ(back(3, 2), colours::Ivory);
    EXPECT_EQ(back(3, 3), colours::Magenta);
    EXPECT_EQ(back(3, 5), colours::Magenta);
    type("40");
    EXPECT_EQ(gDb.Families[2][famStartID], "40");
    EXPECT_EQ(text(3, 4), "44");
}

TEST_F(FamiliesEditor, LoadShowsOffFamiliesGreyOrEmpty)
{
    gDb.Families[0] = sample();
    gDb.Families[0][famActive] = "0";  // OFF but complete
    ASSERT_TRUE(open());
    EXPECT_EQ(text(1, 1), "OFF");
    EXPECT_EQ(back(1, 1), colours::Red);
    EXPECT_EQ(text(1, 2), "10");
    EXPECT_EQ(back(1, 7), colours::LightGrey);
    // never used: OFF, empty, the grid's own dark grey
    EXPECT_EQ(text(2, 1), "OFF");
    EXPECT_EQ(text(2, 5), "");
    EXPECT_FALSE(back(2, 5).isValid());
}

TEST_F(FamiliesEditor, EveryColumnIsInViewAtTheWindowsSize)
{
    gDb.Families[0] = sample();
    ASSERT_TRUE(open());
    QApplication::processEvents();
    EXPECT_EQ(g->horizontalScrollBar()->maximum(), 0);
    const QFontMetrics heading(g->horizontalHeader()->font());
    for (int c = 1; c <= 11; ++c) {
        EXPECT_TRUE(g->viewport()->rect().contains(g->visualRect(g->model()->index(0, c - 1)))) << c;
        EXPECT_LE(heading.horizontalAdvance(text(0, c)), g->ColWidth(c)) << c;
    }
}

TEST_F(FamiliesEditor, OpensWithTheTextBoxOverFamilyOnesQuantity)
{
    gDb.CannedMessages[4] = "Call the desk";
    gDb.Families[0] = sample();
    ASSERT_TRUE(open());
    EXPECT_EQ(g->Row(), 1);
    EXPECT_EQ(g->Col(), 2);
    EXPECT_TRUE(w->txtFam->isVisible());
    EXPECT_EQ(w->txtFam->text(), "10");
    EXPECT_EQ(w->txtFam->maxLength(), 3);
    EXPECT_EQ(w->lblPrefix->text(), "Prefix: Call the desk");
    EXPECT_EQ(w->lblSuffix->text(), "Suffix:");
}

TEST_F(FamiliesEditor, ClickingAFamilyNumberHidesTheEditorAndShowsItsMessages)
{
    gDb.CannedMessages[4] = "Call the desk";
    gDb.CannedMessages[6] = "Fire exit";
    gDb.Families[2] = sample();
    gDb.Families[2][famPrefix] = "07";
    gDb.Families[2][famSuffix] = "5";
    const FamilyTable before = gDb.Families;
    ASSERT_TRUE(open());
    ASSERT_TRUE(w->txtFam->isVisible());
    QHeaderView *numbers = g->verticalHeader();
    QTest::mouseClick(numbers->viewport(), Qt::LeftButton, {},
                      QPoint(numbers->width() / 2, numbers->sectionViewportPosition(2) + numbers->sectionSize(2) / 2));
    EXPECT_FALSE(w->txtFam->isVisible());
    EXPECT_EQ(g->Row(), 3);
    EXPECT_EQ(g->Col(), 0);
    EXPECT_EQ(w->lblPrefix->text(), "Prefix: Fire exit");
    EXPECT_EQ(w->lblSuffix->text(), "Suffix: Call the desk");
    EXPECT_EQ(gDb.Families, before);
    EXPECT_FALSE(gRun.bFamiliesEdited);
    EXPECT_FALSE(modified());
}

// ---- keys ----------------------------------------------------------------------------------

TEST_F(FamiliesEditor, KeysWalkTheTypedFieldsAndWrap)
{
    ASSERT_TRUE(open());
    key(Qt::Key_Tab, w->txtFam);
    EXPECT_EQ(g->Col(), 3);
    EXPECT_EQ(w->txtFam->maxLength(), 4);
    key(Qt::Key_Return, w->txtFam);
    EXPECT_EQ(g->Col(), 5);  // End ID is skipped
    EXPECT_EQ(w->txtFam->maxLength(), 7);
    key(Qt::Key_Left, w->txtFam);
    EXPECT_EQ(g->Col(), 3);

    select(50, 5);
    key(Qt::Key_Tab, w->txtFam);
    EXPECT_EQ(g->Row(), 1);
    EXPECT_EQ(g->Col(), 2);
    key(Qt::Key_Left, w->txtFam);
    EXPECT_EQ(g->Row(), 50);
    EXPECT_EQ(g->Col(), 5);
    key(Qt::Key_Down, w->txtFam);
    EXPECT_EQ(g->Row(), 1);
    EXPECT_EQ(g->Col(), 5);
    key(Qt::Key_Up, w->txtFam);
    EXPECT_EQ(g->Row(), 50);
    EXPECT_TRUE(w->txtFam->isVisible());
}

TEST_F(FamiliesEditor, KeysOnDerivedCellsAreConsumedAndLettersReachTheEditor)
{
    ASSERT_TRUE(open());
    select(3, 4);  // End ID: the current cell goes to column 0
    EXPECT_EQ(g->Col(), 0);
    g->setCol(4);
    key(Qt::Key_Tab);
    EXPECT_EQ(g->Row(), 3);
    EXPECT_EQ(g->Col(), 4);
    // from column 0 Tab goes to the next row's quantity
    g->setCol(0);
    key(Qt::Key_Tab);
    EXPECT_EQ(g->Row(), 4);
    EXPECT_EQ(g->Col(), 2);
    QTest::keyClick(w->txtFam, Qt::Key_A);
    EXPECT_EQ(w->txtFam->text(), "a");
}

TEST_F(FamiliesEditor, F1OpensTheHelpFileFromAnyCell)
{
    ASSERT_TRUE(open());
    key(Qt::Key_F1, w->txtFam);
    select(2, 7);
    key(Qt::Key_F1, w->cmbPgrType);
    ASSERT_EQ(shellRequests.size(), 2);
    EXPECT_EQ(shellRequests[0], term->HelpFile());
}

// ---- Active toggle ------------------------------------------------------------------------------

TEST_F(FamiliesEditor, SwitchingOnAnEmptyFamilyMarksWhatIsMissing)
{
    FamilyRow &f = gDb.Families[1];
    f = NewDatabaseFamilyRow();
    f[famPgrType].clear();
    f[famRate].clear();
    f[famFunc].clear();
    f[famPrefix].clear();
    f[famSuffix].clear();
    ASSERT_TRUE(open());
    select(2, 1);
    EXPECT_EQ(text(2, 1), "ON");
    EXPECT_EQ(f[famActive], "1");
    for (int c : {2, 3, 5, 7, 9})
        EXPECT_EQ(back(2, c), colours::Magenta) << c;
    EXPECT_EQ(text(2, 8), "4");
    EXPECT_EQ(f[famFunc], "3");
    EXPECT_EQ(text(2, 10), "None");
    EXPECT_EQ(f[famPrefix], "00");
    EXPECT_EQ(f[famSuffix], "00");
    EXPECT_EQ(g->Col(), 0);
    EXPECT_TRUE(gRun.bFamiliesEdited);
    EXPECT_TRUE(modified());
    EXPECT_EQ(term->StatusPanelText(1), "Current Configuration Modified, Does Not Match Encoder");
}

TEST_F(FamiliesEditor, SwitchingOffAndOnAgain)
{
    gDb.Families[0] = sample();
    gDb.Families[1] = sample();
    gDb.Families[1][famComplete].clear();
    gDb.Families[1][famStartCap] = "0000000";
    ASSERT_TRUE(open());
    select(1, 1);
    EXPECT_EQ(back(1, 1), colours::Red);
    EXPECT_EQ(back(1, 9), colours::LightGrey);
    EXPECT_EQ(text(1, 9), "1200");
    select(2, 1);
    EXPECT_EQ(back(2, 9), colours::DarkGrey);
    EXPECT_EQ(text(2, 9), "");
    EXPECT_EQ(gDb.Families[1][famRate], "1");
    select(2, 1);
    EXPECT_EQ(text(2, 9), "1200");
    EXPECT_EQ(text(2, 8), "1");
    EXPECT_EQ(text(2, 4), "0109");
    EXPECT_EQ(text(2, 5), "");
    EXPECT_EQ(back(2, 5), colours::Magenta);
}

TEST_F(FamiliesEditor, ChangesWhileTheProgramRewritesTheDatabaseAreNotMarked)
{
    ASSERT_TRUE(open());
    gRun.bNoModifiedStatus = true;
    select(5, 1);
    EXPECT_EQ(gDb.Families[4][famActive], "1");
    EXPECT_TRUE(gRun.bFamiliesEdited);
    EXPECT_FALSE(modified());
}

// ---- typed fields --------------------------------------------------------------------------------

TEST_F(FamiliesEditor, TypingIntoAnUnusedFamilySeedsIt)
{
    ASSERT_TRUE(open());
    type("5");
    const FamilyRow &f = gDb.Families[0];
    EXPECT_EQ(f, (FamilyRow{"1", "0000000", "5", "A", "3", "005", "0000", "00", "00", ""}));
    EXPECT_EQ(text(1, 1), "ON");
    EXPECT_EQ(back(1, 1), colours::Green);
    EXPECT_EQ(back(1, 2), colours::Ivory);
    EXPECT_EQ(back(1, 3), colours::Magenta);
    EXPECT_EQ(back(1, 5), colours::Magenta);
    const QStringList shown{"5", "", "", "", "", "Alpha", "4", "512", "None", "None"};
    for (int c = 2; c <= 11; ++c)
        EXPECT_EQ(text(1, c), shown[c - 2]) << c;
    EXPECT_TRUE(modified());
}

TEST_F(FamiliesEditor, TypedStartIDAndCapcodeAreStoredAndWorkedOut)
{
    gDb.Families[0] = sample();
    gSettings.bIncCapBy8 = true;
    ASSERT_TRUE(open());
    select(1, 3);
    w->txtFam->clear();
    type("100");
    EXPECT_EQ(gDb.Families[0][famStartID], "100");
    EXPECT_EQ(text(1, 4), "109");
    w->txtFam->clear();
    type("0100");
    EXPECT_EQ(text(1, 4), "0109");
    type("9");  // 4 characters at most: the box refuses it
    EXPECT_EQ(gDb.Families[0][famStartID], "0100");

    select(1, 5);
    w->txtFam->clear();
    EXPECT_EQ(gDb.Families[0][famStartCap], "0000000");
    EXPECT_EQ(back(1, 5), colours::Magenta);
    EXPECT_EQ(text(1, 6), "");
    type("1000");
    EXPECT_EQ(gDb.Families[0][famStartCap], "0001000");
    EXPECT_EQ(text(1, 5), "0001000");
    EXPECT_EQ(text(1, 6), "0001072");
    EXPECT_EQ(back(1, 5), colours::Ivory);
}

TEST_F(FamiliesEditor, TheTextBoxShowsALongStoredValueWhole)
{
    // a start ID that the families check moved past four digits
    gDb.Families[0] = sample();
    gDb.Families[0][famStartID] = "10000";
    ASSERT_TRUE(open());
    select(1, 3);
    EXPECT_EQ(w->txtFam->text(), "10000");
    EXPECT_EQ(gDb.Families[0][famStartID], "10000");
    // a value of the usual length still takes four characters at most
    select(2, 3);
    type("12345");
    EXPECT_EQ(w->txtFam->text(), "1234");
}

TEST_F(FamiliesEditor, OutOfRangeValues)
{
    gDb.Families[0] = sample();
    ASSERT_TRUE(open());
    select(1, 5);
    w->txtFam->clear();
    type("7");
    EXPECT_EQ(gDb.Families[0][famStartCap], "0000007");
    EXPECT_EQ(back(1, 5), colours::Magenta);
    EXPECT_EQ(text(1, 6), "0000016");
    select(1, 3);
    w->txtFam->clear();
    type("9000");
    EXPECT_EQ(gDb.Families[0][famStartID], "900");
    EXPECT_EQ(text(1, 3), "");
    EXPECT_EQ(text(1, 4), "");
    EXPECT_EQ(back(1, 3), colours::Magenta);
    // letters are never stored as a capcode
    select(1, 5);
    w->txtFam->clear();
    type("12");
    type("a");
    EXPECT_EQ(gDb.Families[0][famStartCap], "0000012");
    EXPECT_EQ(back(1, 5), colours::Magenta);
}

TEST_F(FamiliesEditor, ACommaIsRefusedWithABox)
{
    ASSERT_TRUE(open());
    type("1");
    ClaimViewMatches();
    prompts.answer(Answer::OK);
    type(",");
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Invalid Entry");
    EXPECT_EQ(prompts.last().text, "Entry Should be Numeric Value Between 1 and 999");
    EXPECT_EQ(prompts.last().icon, platform::Icon::None);
    EXPECT_EQ(w->txtFam->text(), "1");
    EXPECT_EQ(gDb.Families[0][famPagerQty], "001");
    // the text put back is stored as if typed: the table holds what the cell shows
    gDb.Families[1] = sample();
    select(2, 5);
    w->txtFam->clear();
    type("1");
    prompts.answer(Answer::OK);
    type(",");
    EXPECT_EQ(prompts.last().text, "Entry Should be Numeric Value Greater Than 7");
    EXPECT_EQ(w->txtFam->text(), "8");
    EXPECT_EQ(gDb.Families[1][famStartCap], "0000008");
    EXPECT_EQ(text(2, 5), "0000008");
    EXPECT_EQ(text(2, 6), "0000017");
    EXPECT_EQ(back(2, 5), colours::Ivory);
    w->cmdOK_Click();
    EXPECT_EQ(gDb.Families[1][famActive], "1");
    EXPECT_EQ(gDb.Families[1][famComplete], "YES");
}

TEST_F(FamiliesEditor, TypingIntoAnOffCompleteFamilyReplacesItsValues)
{
    gDb.Families[0] = sample();
    gDb.Families[0][famActive] = "0";
    ASSERT_TRUE(open());
    select(1, 3);
    w->txtFam->clear();
    type("7");
    EXPECT_EQ(gDb.Families[0], (FamilyRow{"1", "0000000", "5", "A", "3", "001", "7", "00", "00", "YES"}));
}

// ---- choice fields --------------------------------------------------------------------------------

TEST_F(FamiliesEditor, PagerTypeSetsTheUsualFunctionCode)
{
    gDb.Families[0] = sample();
    ASSERT_TRUE(open());
    select(1, 7);
    EXPECT_EQ(w->cmbPgrType->currentText(), "Numeric");  // preselected, nothing stored
    EXPECT_FALSE(modified());
    EXPECT_TRUE(gRun.bFamiliesEdited);
    w->cmbPgrType->setCurrentIndex(0);
    w->cmbPgrType_Click();
    EXPECT_EQ(gDb.Families[0][famPgrType], "A");
    EXPECT_EQ(gDb.Families[0][famFunc], "3");
    EXPECT_EQ(text(1, 8), "4");
    EXPECT_EQ(g->Col(), 7);
    EXPECT_TRUE(modified());
}

TEST_F(FamiliesEditor, UnusualFunctionCodesAreQuestioned)
{
    gDb.Families[0] = sample();
    gDb.Families[0][famPgrType] = "A";
    gDb.Families[0][famFunc] = "3";
    ASSERT_TRUE(open());
    select(1, 8);
    prompts.answer(Answer::No);
    w->cmbFunc->setCurrentIndex(0);
    w->cmbFunc_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Non-Standard Function Code Warning");
    EXPECT_EQ(prompts.last().text, lines({"The Normal Function Code Value for Alphanumeric Pagers is 4",
                                          "Are You Sure You Want to Change This Function Code Value?"}));
    EXPECT_EQ(prompts.last().icon, platform::Icon::Question);
    EXPECT_EQ(prompts.last().buttons, platform::Buttons::YesNo);
    EXPECT_EQ(gDb.Families[0][famFunc], "3");
    EXPECT_EQ(text(1, 8), "4");  // the cell shows the stored code again
    EXPECT_FALSE(modified());

    prompts.answer(Answer::Yes);
    w->cmbFunc->setCurrentIndex(2);
    w->cmbFunc_Click();
    EXPECT_TRUE(prompts.last().text.startsWith("The Normal Function Code Value for Alpha Pagers is 4\r"));
    EXPECT_EQ(gDb.Families[0][famFunc], "2");
    EXPECT_TRUE(modified());

    // a stored code the list does not know shows nothing again
    gDb.Families[1] = gDb.Families[0];
    gDb.Families[1][famFunc] = "7";
    w->Refill();
    prompts.answer(Answer::No);
    select(2, 8);  // the empty cell takes "1" as if chosen
    EXPECT_EQ(gDb.Families[1][famFunc], "7");
    EXPECT_EQ(text(2, 8), "");
}

TEST_F(FamiliesEditor, MessagesAndTheirLabels)
{
    gDb.Families[0] = sample();
    gDb.CannedMessages[6] = QString(91, 'x');
    gDb.CannedMessages[7] = QString(90, 'y');
    ASSERT_TRUE(open());
    select(1, 11);
    w->cmbMsg->setCurrentIndex(7);
    w->cmbMsg_Click();
    EXPECT_EQ(gDb.Families[0][famSuffix], "7");
    EXPECT_EQ(w->lblSuffix->text(), "Suffix: " + QString(85, 'x') + "...");
    select(1, 10);
    w->cmbMsg->setCurrentIndex(8);
    w->cmbMsg_Click();
    EXPECT_EQ(w->lblPrefix->text(), "Prefix: " + QString(90, 'y'));
    w->cmbMsg->setCurrentIndex(0);
    w->cmbMsg_Click();
    EXPECT_EQ(gDb.Families[0][famPrefix], "00");
    EXPECT_EQ(w->lblPrefix->text(), "Prefix:");
}

TEST_F(FamiliesEditor, SelectingAnEmptyChoiceCellPicksTheFirstEntry)
{
    for (auto &f : gDb.Families)
        f = FamilyRow{};  // a table nothing has filled
    ASSERT_TRUE(open());
    select(3, 9);
    const FamilyRow &f = gDb.Families[2];
    EXPECT_EQ(f[famActive], "1");
    EXPECT_EQ(f[famRate], "5");
    EXPECT_EQ(f[famPagerQty], "001");
    EXPECT_EQ(f[famFunc], "3");
    EXPECT_EQ(text(3, 9), "512");
    EXPECT_EQ(back(3, 9), colours::Ivory);
    EXPECT_EQ(back(3, 3), colours::Magenta);
    EXPECT_EQ(back(3, 7), colours::Magenta);
    EXPECT_TRUE(modified());
}

TEST_F(FamiliesEditor, APickWhileLoadingChangesNothing)
{
    gDb.Families[0] = sample();
    ASSERT_TRUE(open());
    select(1, 9);
    gRun.bFamiliesEdited = false;
    gRun.bLoading = true;
    w->cmbRate->setCurrentIndex(0);
    w->cmbRate_Click();
    gRun.bLoading = false;
    EXPECT_EQ(gDb.Families[0][famRate], "1");
    EXPECT_EQ(text(1, 9), "1200");
    EXPECT_FALSE(gRun.bFamiliesEdited);
}

// ---- OK and closing -------------------------------------------------------------------------------

TEST_F(FamiliesEditor, OkMarksCompleteFamiliesAndErasesTheRest)
{
    gDb.Families[0] = sample();
    gDb.Families[0][famActive] = "0";
    gDb.Families[0][famComplete].clear();
    gDb.Families[1] = sample();
    gDb.Families[1][famStartCap] = "0000007";
    gDb.Families[2] = sample();
    gDb.Families[2][famStartID] = "0";
    ASSERT_TRUE(open());
    w->cmdOK_Click();
    EXPECT_EQ(gDb.Families[0][famComplete], "YES");
    EXPECT_EQ(gDb.Families[1], (FamilyRow{"0", "0000000", "1", "A", "0", "000", "0000", "05", "00", ""}));
    EXPECT_EQ(text(2, 1), "OFF");
    EXPECT_EQ(back(2, 1), colours::Red);
    EXPECT_EQ(gDb.Families[2][famComplete], "YES");
    EXPECT_EQ(gDb.Families[3][famComplete], "");
    EXPECT_FALSE(gRun.bDefinitionIncomplete);
    // the encoder still holds family 2 as it was
    EXPECT_TRUE(modified());
    QApplication::processEvents();
    EXPECT_EQ(forms::window("frmCfgFam"), nullptr);  // nothing edited: closed without a check
}

TEST_F(FamiliesEditor, OkRunsTheCheckAndStaysOpenForAdjustedFields)
{
    gDb.Families[0] = sample();
    gDb.Families[1] = sample();
    gDb.Families[1][famStartID] = "0105";
    gDb.Families[1][famStartCap] = "0002000";
    ASSERT_TRUE(open());
    select(1, 1);
    select(1, 1);  // edited: OFF and ON again
    // then programmed as it stands, before any check
    ClaimViewMatches();
    prompts.answer(Answer::OK);
    w->cmdOK_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Pager ID Overlap or Illegal Capcodes");
    // the encoder holds the overlap the check corrected
    EXPECT_TRUE(modified());
    EXPECT_EQ(gDb.Families[1][famStartID], "110");
    EXPECT_EQ(text(2, 3), "110");
    EXPECT_EQ(back(2, 3), colours::LightCyan);
    EXPECT_EQ(text(2, 4), "119");
    EXPECT_TRUE(gRun.bDatabaseChecked);
    EXPECT_FALSE(gRun.bFamilyFieldsAdjusted);
    EXPECT_TRUE(w->isVisible());
    // a second OK with nothing edited since closes the window
    w->cmdOK_Click();
    QApplication::processEvents();
    EXPECT_EQ(forms::window("frmCfgFam"), nullptr);
}

// The check lets window events through at every step, but the editors take
// no input meanwhile: a click on family 3's Pager Type and a turn of the
// wheel over its list, delivered from inside the check's wait, store nothing.
TEST_F(FamiliesEditor, NoClickOrWheelActsWhileTheCheckRuns)
{
    for (int n = 0; n < 4; ++n) {
        gDb.Families[n] = sample();
        gDb.Families[n][famPgrType] = "A";
        gDb.Families[n][famStartID] = QString::number(100 + 10 * n).rightJustified(4, '0');
    }
    ASSERT_TRUE(open());
    select(1, 1);
    select(1, 1);  // edited: OFF and ON again
    bool clicked = false;
    const DuringCheck duringCheck([&] {
        if (!clicked) {
            QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(2, 6)).center());
            clicked = true;
            return false;
        }
        if (g->Row() == 3)
            return false;  // until the check has made another family current
        QWheelEvent wheel(QPointF(5, 5), w->cmbPgrType->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->cmbPgrType, &wheel);
        return true;
    });
    w->cmdOK_Click();
    EXPECT_TRUE(duringCheck.done());
    for (int n = 0; n < kFamilyCount; ++n)
        EXPECT_EQ(gDb.Families[size_t(n)][famPgrType], "A") << "family " << n + 1;
    EXPECT_EQ(prompts.count(), 0);
}

// OK's steps rewrite the tables: while the groups check runs they do nothing,
// edits or not, and the window stays open (its close box runs them too).
TEST_F(FamiliesEditor, ItsClosingStepsWaitForTheGroupsCheck)
{
    gDb.Families[0] = sample();
    gDb.Families[1] = sample();
    gDb.Families[1][famStartID] = "0200";
    gDb.Families[1][famStartCap] = "0000007";  // incomplete: OK's steps erase it
    gDb.Groups[0][grpActive] = "1";
    gDb.Groups[0][grpComplete] = "YES";
    gDb.Groups[0][grpGroupID] = "12";
    gDb.Groups[0][grpPagerID1] = "105";
    ASSERT_TRUE(open());
    ShowGroupsEditor();
    auto *groups = qobject_cast<frmCfgGroup *>(forms::window("frmCfgGroup"));
    ASSERT_NE(groups, nullptr);
    groups->fgGroups->setRow(1);
    groups->fgGroups->setCol(1);
    groups->fgGroups_Click();  // the Reference clicked: an edit
    const DuringCheck duringCheck([&] {
        w->close();
        return true;
    });
    const QPointer<frmCfgFam> families(w);
    groups->cmdOK->click();
    EXPECT_TRUE(duringCheck.done());
    EXPECT_EQ(gDb.Families[1][famStartCap], "0000007");
    EXPECT_EQ(gDb.Families[1][famActive], "1");
    ASSERT_TRUE(families && families->isVisible());
    EXPECT_EQ(text(2, 1), "ON");
    EXPECT_EQ(gDb.Groups[0][grpPagerID1], "105");  // the groups check ran with family 1 whole

    // once the check has ended they run
    w->close();
    EXPECT_EQ(gDb.Families[1][famActive], "0");
    QApplication::processEvents();
    EXPECT_EQ(forms::window("frmCfgFam"), nullptr);
}

TEST_F(FamiliesEditor, CorrectedAndSwitchedOffCellsShowTheirOwnColoursAtOnce)
{
    gDb.Families[0] = sample();  // IDs 100 to 109
    gDb.Families[1] = sample();  // IDs 90 to 109: shortened to 10
    gDb.Families[1][famStartID] = "0090";
    gDb.Families[1][famPagerQty] = "020";
    gDb.Families[2] = sample();  // IDs 105 to 114: moved to start at 110
    gDb.Families[2][famStartID] = "0105";
    gDb.Families[3] = sample();
    ASSERT_TRUE(open());
    // switched OFF with a click: its quantity shows light grey, not the selection
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(3, 0)).center());
    EXPECT_EQ(text(4, 1), "OFF");
    EXPECT_EQ(shown(4, 2), colours::LightGrey);

    prompts.answer(Answer::OK);
    w->cmdOK_Click();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(text(2, 2), "10");
    EXPECT_EQ(shown(2, 2), colours::LightCyan);
    EXPECT_EQ(text(2, 6), "0001009");
    EXPECT_EQ(shown(2, 6), colours::Ivory);  // recomputed: grey text on its own colour
    EXPECT_EQ(text(3, 3), "110");
    EXPECT_EQ(shown(3, 3), colours::LightCyan);
}

TEST_F(FamiliesEditor, TheCloseBoxRunsOKsStepsFirstAndStaysOpenForAdjustedFields)
{
    gDb.Families[0] = sample();
    gDb.Families[1] = sample();
    gDb.Families[1][famStartID] = "0105";  // inside family 1's range
    gDb.Families[1][famStartCap] = "0002000";
    gDb.Families[2] = sample();
    gDb.Families[2][famStartCap] = "0000007";  // incomplete
    ASSERT_TRUE(open());
    select(1, 1);
    select(1, 1);  // edited: OFF and ON again
    prompts.answer(Answer::OK);
    w->close();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Pager ID Overlap or Illegal Capcodes");
    EXPECT_EQ(gDb.Families[1][famStartID], "110");
    EXPECT_EQ(back(2, 3), colours::LightCyan);
    EXPECT_EQ(gDb.Families[0][famComplete], "YES");
    EXPECT_EQ(gDb.Families[2][famActive], "0");  // erased by the completeness pass
    EXPECT_EQ(text(3, 1), "OFF");
    EXPECT_TRUE(gRun.bDatabaseChecked);
    EXPECT_TRUE(w->isVisible());
    // nothing edited since: the close box closes it
    w->close();
    EXPECT_EQ(prompts.count(), 1);
    QApplication::processEvents();
    EXPECT_EQ(forms::window("frmCfgFam"), nullptr);
}

// The close box asks its question only once OK's steps let the window close.
// Pressed again while the closing's check runs it is held back: the check
// ends in a window still shown on the fields it adjusted, whose next closing
// asks its question, and the toolbar button still brings it up.
TEST_F(FamiliesEditor, TheCloseBoxAsksItsQuestionOnlyOnceOKsStepsLetItCloseAndIsHeldWhileTheCheckRuns)
{
    gDb.Families[0] = sample();
    gDb.Families[1] = sample();
    gDb.Families[1][famStartID] = "0105";  // inside family 1's range
    gDb.Families[1][famStartCap] = "0002000";
    ASSERT_TRUE(open());
    select(1, 1);
    select(1, 1);  // edited: OFF and ON again
    gRun.bDefinitionIncomplete = true;
    const QPointer<frmCfgFam> editor(w);
    const DuringCheck duringCheck([&] {
        PressCloseBox(w);
        return true;
    });
    prompts.answer(Answer::OK);
    PressCloseBox(w);
    EXPECT_TRUE(duringCheck.done());
    ASSERT_TRUE(editor);
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Pager ID Overlap or Illegal Capcodes");
    EXPECT_TRUE(w->isVisible());
    ASSERT_TRUE(w->windowHandle());
    EXPECT_TRUE(w->windowHandle()->isVisible());
    EXPECT_EQ(text(2, 3), "110");
    EXPECT_EQ(back(2, 3), colours::LightCyan);
    // nothing edited since: the question comes, and No keeps the window
    prompts.answer(Answer::No);
    PressCloseBox(w);
    ASSERT_EQ(prompts.count(), 2);
    EXPECT_EQ(prompts.last().title, "Incomplete Database Definition");
    term->Toolbar1_ButtonClick(QStringLiteral("sequence"));
    ASSERT_TRUE(editor);
    EXPECT_EQ(forms::window("frmCfgFam"), w);
    EXPECT_TRUE(w->windowHandle() && w->windowHandle()->isVisible());
    // Yes closes it
    gRun.bDefinitionIncomplete = true;
    prompts.answer(Answer::Yes);
    PressCloseBox(w);
    ASSERT_EQ(prompts.count(), 3);
    QApplication::processEvents();
    EXPECT_EQ(forms::window("frmCfgFam"), nullptr);
}

TEST_F(FamiliesEditor, TheClosingQuestionAsksOnce)
{
    ASSERT_TRUE(open());
    gRun.bDefinitionIncomplete = true;
    prompts.answer(Answer::No);
    w->close();
    ASSERT_EQ(prompts.count(), 1);
    EXPECT_EQ(prompts.last().title, "Incomplete Database Definition");
    EXPECT_EQ(prompts.last().text, lines({"Pager Families Definition is Incomplete", "As Shown by Magenta Fields.",
                                          "Incomplete Records Will be Erased.", "Are You Sure You Want to Exit?"}));
    EXPECT_EQ(prompts.last().icon, platform::Icon::Question);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(gRun.bDefinitionIncomplete);
    w->close();
    EXPECT_EQ(prompts.count(), 1);
    QApplication::processEvents();
    EXPECT_EQ(forms::window("frmCfgFam"), nullptr);
}
