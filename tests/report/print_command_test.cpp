// File > Print Database Configuration: the print dialog, copies, the shared
// tables and state it reads, and the jobs that print nothing.
#include "reportpdf.h"

#include "app/frmterminal.h"
#include "database/pg8_fixture.h"
#include "support/appfixture.h"
#include "support/prompts.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>

using namespace reporttest;
using platform::Answer;
using platform::Prompt;
using platform::Reply;

namespace {

class PrintCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSharedState();
        gDb = pg8test::FullDatabase();
        gSettings = pg8test::FullSettings();
        gRun.sBrand = QStringLiteral("Kordamere");
        gRun.sDBFileName = QStringLiteral("site.pg8");
    }
    void TearDown() override { ResetSharedState(); }

    // Answers the print dialog: the PDF file as the printer, and the copies.
    void answerPrint(Answer answer, int copies, const QString &file)
    {
        prompts.answerWith([=](const Prompt &p) {
            EXPECT_EQ(p.kind, Prompt::Kind::Print);
            if (p.printer)
                SetUpTestPage(*p.printer, file);
            return Reply{answer, {}, copies};
        });
    }

    QString path(const char *name) const { return QDir(dir.path()).filePath(QString::fromLatin1(name)); }

    testing_support::ScriptedPrompts prompts;
    QTemporaryDir dir;
};

}  // namespace

TEST_F(PrintCommand, CancelInThePrintDialogPrintsNothing)
{
    answerPrint(Answer::Cancel, 1, path("cancel.pdf"));
    PrintDatabaseReport();
    EXPECT_EQ(prompts.count(), 1);
    EXPECT_FALSE(QFileInfo::exists(path("cancel.pdf")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PrintCommand, PrintsEachCopyAskedForFromTheSharedTables)
{
    const PagerDatabase before = gDb;
    answerPrint(Answer::OK, 2, path("two.pdf"));
    PrintDatabaseReport();
    EXPECT_EQ(prompts.count(), 1);
    EXPECT_EQ(PageCount(path("two.pdf")), 4);
    const auto pages = PageTexts(path("two.pdf"));
    ASSERT_EQ(pages.size(), 4);
    EXPECT_EQ(pages[0].first(), "Kordamere Paging Encoder Configuration");
    EXPECT_EQ(pages[2][pages[2].size() - 2], "Filename: site.pg8 p. 1 of 2");
    EXPECT_EQ(pages[3][pages[3].size() - 2], "Filename: site.pg8 p. 2 of 2");
    EXPECT_TRUE(pages[3].contains("Port 1 Protocol: COMP1 Verbose Port 2 Protocol: SNPP Verbose"));
    EXPECT_TRUE(pages[0].contains(ReportDateText(QDate::currentDate())));
    EXPECT_EQ(gDb, before);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PrintCommand, PrinterFailureEndsWithoutABox)
{
    // any box other than the print dialog would fail the test
    answerPrint(Answer::OK, 1, QStringLiteral("/nonexistent/folder/report.pdf"));
    PrintDatabaseReport();
    EXPECT_EQ(prompts.count(), 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PrintCommand, EmptyDatabasePrintsTheFrameAndSaysWhereItStopped)
{
    ResetSharedState();
    gRun.sBrand = QStringLiteral("Quorvane");
    const QString title = platform::AppTitle();
    platform::SetAppTitle(QStringLiteral("Quorvane Paging Encoder Setup"));
    answerPrint(Answer::OK, 1, path("empty.pdf"));
    int pagesBeforeTheBox = -1;
    prompts.answerWith([&](const Prompt &) {
        pagesBeforeTheBox = PageCount(path("empty.pdf"));
        return Reply{Answer::OK, {}, 1};
    });
    PrintDatabaseReport();
    platform::SetAppTitle(title);
    ASSERT_EQ(prompts.count(), 2);
    EXPECT_EQ(prompts.last().kind, Prompt::Kind::Message);
    EXPECT_EQ(prompts.last().title, "Quorvane Paging Encoder Setup");
    EXPECT_EQ(prompts.last().text, "The report is incomplete: it stopped at Family 1 on page 1.\r"
                                   "A value on that line is empty or is not a number the report can print. "
                                   "Please correct it and try again.");
    EXPECT_EQ(prompts.last().icon, platform::Icon::Exclamation);
    EXPECT_EQ(prompts.last().buttons, platform::Buttons::OK);
    // the page printed before the stop has gone out by then
    EXPECT_EQ(pagesBeforeTheBox, 1);
    const auto pages = PageTexts(path("empty.pdf"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].first(), "Quorvane Paging Encoder Configuration");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

class PrintCommandWithMainWindow : public testing_support::AppFixture {};

TEST_F(PrintCommandWithMainWindow, NotesComeFromTheMainWindow)
{
    frmTerminal *w = start();
    ASSERT_TRUE(w);
    closeSplash();
    gDb = pg8test::FullDatabase();
    w->txtConfigNotes->setText(QStringLiteral("Cabinet 4, left rack"));
    QTemporaryDir out;
    const QString file = QDir(out.path()).filePath(QStringLiteral("notes.pdf"));
    prompts.answerWith([&](const Prompt &p) {
        EXPECT_EQ(p.parent, w);
        SetUpTestPage(*p.printer, file);
        return Reply{Answer::OK, {}, 1};
    });
    PrintDatabaseReport();
    const auto pages = PageTexts(file);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[1].contains("Configuration Notes: Cabinet 4, left rack"));
}
