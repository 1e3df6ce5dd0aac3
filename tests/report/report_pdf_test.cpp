// The whole report rendered to a PDF and read back: texts, fonts, positions,
// pages and copies, the two brands, and the jobs that stop early.
#include "reportpdf.h"

#include "database/pg8_fixture.h"
#include "support/checked.h"
#include "support/printers.h"

#include <QFileInfo>
#include <QLocale>

using namespace reporttest;
using testing_support::Last;

namespace {

// The run whose top left corner lies at (x, y) twips, within a point.
const Run_ *RunAt(const PageRuns &runs, double x, double y)
{
    for (const Run_ &r : runs)
        if (std::abs(TwipsFromPt(r.left) - x) <= 20 && std::abs(TwipsFromPt(r.top) - y) <= 20)
            return &r;
    return nullptr;
}

// The words that begin at or right of `x` twips.
PageWords From(const PageWords &words, double x)
{
    PageWords out;
    for (const Word &w : words)
        if (TwipsFromPt(w.xMin) > x - 10)
            out.append(w);
    return out;
}

double CentreTwips(const PageWords &words)
{
    return (TwipsFromPt(words.first().xMin) + TwipsFromPt(words.last().xMax)) / 2;
}

QString cols(std::initializer_list<const char *> parts)
{
    QString s;
    for (const char *p : parts)
        s += QString::fromLatin1(p);
    return s;
}

int ImageCount(const QString &pdf)
{
    // two heading lines, then one line per image
    return int(Run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).trimmed().split(QLatin1Char('\n')).size()) - 2;
}

class ReportPdf : public ::testing::Test {
protected:
    QTemporaryDir dir;
    PagerDatabase db = pg8test::FullDatabase();
    EncoderSettings settings = pg8test::FullSettings();
};

}  // namespace

TEST_F(ReportPdf, OneCopyIsTwoPagesEachWithFrameAndFooter)
{
    bool ok = false;
    const QString pdf = Render(dir, db, settings, TestFrame(), 1, &ok);
    EXPECT_TRUE(ok);
    const auto pages = PageTexts(pdf);
    ASSERT_EQ(pages.size(), 2);
    const QString date = QLocale::system().monthName(3, QLocale::ShortFormat) + QStringLiteral(". 5, 2024");
    for (int i = 0; i < 2; ++i) {
        const QStringList &t = pages[i];
        EXPECT_TRUE(t.contains(QStringLiteral("Quorvane Paging Encoder Configuration"))) << i;
        EXPECT_TRUE(t.contains(date)) << i;
        EXPECT_TRUE(t.contains(QStringLiteral("Configuration Notes: Rack B, shelf 2, ask for Sam"))) << i;
        EXPECT_EQ(t[t.size() - 2], QStringLiteral("Filename: site.pg8 p. %1 of 2").arg(i + 1));
        EXPECT_EQ(Last(t), ReportCompanyLine(QStringLiteral("Quorvane")).simplified());
    }
    EXPECT_TRUE(pages[0].contains(
        "Family Active PagerQty StartID EndID StartCap EndCap PgrType Func Rate Prefix Suffix"));
    EXPECT_TRUE(pages[0].contains("50 OFF 150 2000 2149 0049008 0050200 2 2400 5 12"));
    EXPECT_TRUE(pages[1].contains("Pager Group: 1 2 3 4 5 6 7 8 9 10"));
    EXPECT_TRUE(pages[1].contains("Canned Msg #15: ,"));
    EXPECT_EQ(ImageCount(pdf), 2);
}

TEST(ReportDate, AFullStopFollowsTheMonthOnlyWhereItsAbbreviationHasNone)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(ReportDateText(QDate(2026, 12, 7), german), QStringLiteral("Dez. 7, 2026"));
    EXPECT_EQ(ReportDateText(QDate(2026, 5, 17), german), QStringLiteral("Mai. 17, 2026"));
    EXPECT_EQ(ReportDateText(QDate(2026, 12, 7), QLocale(QLocale::English, QLocale::UnitedStates)),
              QStringLiteral("Dec. 7, 2026"));
}

TEST_F(ReportPdf, CopiesAreWholeAndInTurn)
{
    const QString pdf = Render(dir, db, settings, TestFrame(), 3);
    const auto pages = PageTexts(pdf);
    ASSERT_EQ(pages.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(pages[i][pages[i].size() - 2], QStringLiteral("Filename: site.pg8 p. %1 of 2").arg(i % 2 + 1));
        EXPECT_EQ(pages[i].contains(QStringLiteral("Canned Msg #1: Page 1, call desk, ext 201")), i % 2 == 1);
    }
    bool ok = false;
    const QString none = Render(dir, db, settings, TestFrame(), 0, &ok, QStringLiteral("none.pdf"));
    EXPECT_TRUE(ok);
    EXPECT_FALSE(QFileInfo::exists(none));
}

TEST_F(ReportPdf, FrameSitsWhereTheTwipsSay)
{
    const QString pdf = Render(dir, db, settings, TestFrame());
    const auto words = ReadWords(pdf);
    const auto runs = ReadRuns(pdf);
    ASSERT_EQ(words.size(), 2);
    const double W = PrintableWidthTwips();
    for (int page = 0; page < 2; ++page) {
        const PageWords title = WordsAtY(words[page], 1200);
        EXPECT_EQ(Joined(title), "Quorvane Paging Encoder Configuration");
        EXPECT_NEAR(CentreTwips(title), W / 2 + 1000, 15);
        EXPECT_NEAR(MmFromPt(title.first().yMin), MmOnSheet(1200), 0.1);
        const PageWords date = WordsAtY(words[page], 1900);
        EXPECT_TRUE(Joined(date).endsWith(QLatin1String(". 5, 2024")));
        EXPECT_NEAR(CentreTwips(date), W / 2 + 1000, 15);

        const Run_ *t = RunAt(runs[page], TwipsFromPt(title.first().xMin), 1200);
        ASSERT_TRUE(t);
        EXPECT_EQ(t->family, "LiberationSans");
        EXPECT_EQ(t->size, 20);
        EXPECT_TRUE(t->bold);
        const Run_ *label = RunAt(runs[page], 500, 2500);
        ASSERT_TRUE(label);
        EXPECT_EQ(label->boldText, "Configuration Notes:");
        EXPECT_EQ(label->plainText, "Rack B, shelf 2, ask for Sam");
        EXPECT_EQ(label->size, 10);
        EXPECT_EQ(label->family, "LiberationSans");
        const Word *notes = FindWord(words[page], QStringLiteral("Rack"));
        ASSERT_TRUE(notes);
        EXPECT_NEAR(TwipsFromPt(notes->xMin), 2600, 10);
        EXPECT_NEAR(TwipsFromPt(notes->yMin), 2500, 10);
    }
}

TEST_F(ReportPdf, FamiliesTableLinesUpInAFixedPitch)
{
    const QString pdf = Render(dir, db, settings, TestFrame());
    const auto words = ReadWords(pdf);
    const auto runs = ReadRuns(pdf);
    EXPECT_EQ(FixedPitchLine(WordsAtY(words[0], 2800), 500),
              "Family Active PagerQty StartID EndID StartCap  EndCap   PgrType Func Rate Prefix Suffix");
    // family 1: active numeric, three pagers, capcodes in steps of 8
    EXPECT_EQ(FixedPitchLine(WordsAtY(words[0], 3050), 500),
              cols({"   1   ", "  ON   ", "    3    ", "  1020  ", " 1022  ", "0000008  ", "0000024  ", "Numeric ",
                    "  1  ", "1200 ", "  1   ", "   8"}));
    // family 10: inactive, so no pager type
    EXPECT_EQ(FixedPitchLine(WordsAtY(words[0], 3050 + 9 * 230), 500),
              cols({"  10   ", " OFF   ", "   30    ", "  1200  ", " 1229  ", "0009008  ", "0009240  ", "        ",
                    "  2  ", "1200 ", "  10   ", "   2"}));
    const PageWords last = WordsAtY(words[0], 3050 + 49 * 230);
    EXPECT_EQ(Joined(last), "50 OFF 150 2000 2149 0049008 0050200 2 2400 5 12");
    EXPECT_NEAR(MmFromPt(last.first().yMin), MmOnSheet(3050 + 49 * 230), 0.1);

    const Run_ *heading = RunAt(runs[0], 500, 2800);
    ASSERT_TRUE(heading);
    EXPECT_EQ(heading->family, "LiberationMono");
    EXPECT_EQ(heading->size, 10);
    EXPECT_TRUE(heading->bold);
    const Run_ *active = RunAt(runs[0], 500, 3050);
    const Run_ *inactive = RunAt(runs[0], 500, 3050 + 9 * 230);
    ASSERT_TRUE(active && inactive);
    EXPECT_TRUE(active->bold);
    EXPECT_FALSE(inactive->bold);
    EXPECT_EQ(inactive->family, "LiberationMono");
}

TEST_F(ReportPdf, SecondPageGroupsMessagesAndSettings)
{
    const QString pdf = Render(dir, db, settings, TestFrame());
    const auto words = ReadWords(pdf);
    const auto runs = ReadRuns(pdf);
    const PageWords &p2 = words[1];
    EXPECT_EQ(Joined(WordsAtY(p2, 2800)).left(12), "Pager Group:");
    EXPECT_EQ(FixedPitchLine(From(WordsAtY(p2, 2800), 2500), 2500),
              "   1      2      3      4      5      6      7      8      9     10");
    EXPECT_EQ(FixedPitchLine(From(WordsAtY(p2, 3400), 2500), 2500),
              " 5001   5002   5003   5004   5005   5006   5007   5008   5009   5010");
    EXPECT_EQ(Joined(WordsAtY(p2, 3200)), "Active: ON ON ON ON ON ON ON ON ON ON");
    EXPECT_EQ(Joined(WordsAtY(p2, 3600)), "Pager ID 1: 6101 6201 6301 6401 6501 6601 6701 6801 6901 7001");
    EXPECT_EQ(Joined(WordsAtY(p2, 7400)), "Pager ID 20: 6120 6220 6320 6420 6520 6620 6720 6820 6920 7020");
    EXPECT_EQ(Joined(WordsAtY(p2, 7800)), "Timer Msg #: 03 04 05 06 07 08 09 10 11 12");
    EXPECT_TRUE(Joined(WordsAtY(p2, 3000)).startsWith(QLatin1String("Reference: Ward 1, east wing Ward 2, east wing")));
    EXPECT_EQ(Joined(WordsAtY(p2, 8200)), "Canned Msg #1: Page 1, call desk, ext 201");
    EXPECT_EQ(Joined(WordsAtY(p2, 8200 + 13 * 200)), "Canned Msg #14: Page 14, call desk, ext 214");

    const struct {
        double y;
        const char *left, *right;
    } rows[] = {
        {11400, "Duty Cycle %: 50", "Max Msg/Batch: 32"},
        {11600, "Carrier Detect: Disabled", "CD Polarity: 0V"},
        {11800, "Data Polarity: Inverted", "Incr Caps by 8: Enabled"},
        {12000, "Port 1 Protocol: COMP1 Verbose", "Port 2 Protocol: SNPP Verbose"},
        {12200, "Port 1 Settings: 2400 E71", "Port 2 Settings: 1200 E71"},
        {12400, "Port 1 Flow Control: SW", "Port 2 Flow Control: AHW"},
        {12600, "Port 1 Timer Reset: Disabled", "Port 2 Timer Reset: Disabled"},
        {12800, "Port 1 ID = Cap: Enabled", "Port 2 ID = Cap: Enabled"},
    };
    const QStringList valueRows = {"50 32", "Disabled 0V", "Inverted Enabled", "COMP1 Verbose SNPP Verbose",
                                   "2400 E71 1200 E71", "SW AHW", "Disabled Disabled", "Enabled Enabled"};
    for (int i = 0; i < 8; ++i) {
        const auto &r = rows[i];
        const PageWords line = WordsAtY(p2, r.y);
        EXPECT_EQ(Joined(line), QString::fromLatin1(r.left) + QLatin1Char(' ') + QString::fromLatin1(r.right));
        // a word begins at each of the four columns
        for (double x : {500.0, 3000.0, 5500.0, 8000.0})
            EXPECT_TRUE(std::any_of(line.begin(), line.end(),
                                    [&](const Word &w) { return std::abs(TwipsFromPt(w.xMin) - x) < 10; }))
                << r.left << " at " << x;
        // labels bold, values regular, all in Courier New
        QStringList bold, plain;
        for (const Run_ &run : RunsAtY(runs[1], r.y)) {
            EXPECT_EQ(run.family, "LiberationMono");
            if (!run.boldText.isEmpty())
                bold << run.boldText;
            if (!run.plainText.isEmpty())
                plain << run.plainText;
        }
        EXPECT_EQ(plain.join(QLatin1Char(' ')), valueRows[i]);
        EXPECT_FALSE(bold.join(QLatin1Char(' ')).contains(valueRows[i].section(QLatin1Char(' '), 0, 0)));
    }
    // the grid: label bold, cells regular, only the heading row's numbers bold
    const PageRuns ids = RunsAtY(runs[1], 3400);
    ASSERT_EQ(ids.size(), 2);
    EXPECT_EQ(ids[0].boldText, "Group ID:");
    EXPECT_EQ(ids[1].plainText, "5001 5002 5003 5004 5005 5006 5007 5008 5009 5010");
    EXPECT_EQ(ids[1].family, "LiberationMono");
    const PageRuns heading = RunsAtY(runs[1], 2800);
    ASSERT_EQ(heading.size(), 2);
    EXPECT_EQ(heading[1].boldText, "1 2 3 4 5 6 7 8 9 10");
}

TEST_F(ReportPdf, FooterIsCentredAboveTheBottomOfThePrintableArea)
{
    ReportFrame frame = TestFrame();
    frame.fileName.clear();
    const QString pdf = Render(dir, db, settings, frame);
    const auto words = ReadWords(pdf);
    const double W = PrintableWidthTwips(), H = PrintableHeightTwips();
    for (int page = 0; page < 2; ++page) {
        const PageWords footer = WordsAtY(words[page], H - 750);
        EXPECT_EQ(Joined(footer), QStringLiteral("p. %1 of 2").arg(page + 1));
        EXPECT_NEAR(CentreTwips(footer), W / 2, 15);
        const PageWords company = WordsAtY(words[page], H - 500);
        EXPECT_EQ(Joined(company), ReportCompanyLine(QStringLiteral("Quorvane")).simplified());
        EXPECT_NEAR(CentreTwips(company), W / 2, 15);
        EXPECT_LT(company.first().yMax, kA4HeightPt - kMarginPt);
    }
}

TEST_F(ReportPdf, LogoFillsItsRectangleAtTheTopLeft)
{
    const QImage page = Raster(Render(dir, db, settings, TestFrame()), dir);
    ASSERT_FALSE(page.isNull());
    // the test logo is plain blue; 500 twips is 25 pt, plus the 36 pt margin
    auto isLogo = [&](int x, int y) { return page.pixelColor(x, y).blue() > 120 && page.pixelColor(x, y).red() < 60; };
    EXPECT_TRUE(isLogo(63, 63));     // just inside the top left corner (61 pt, 61 pt)
    EXPECT_TRUE(isLogo(161, 146));   // just inside the bottom right (162.75 pt, 147.75 pt)
    EXPECT_FALSE(isLogo(58, 100));
    EXPECT_FALSE(isLogo(100, 150));
    EXPECT_FALSE(isLogo(165, 130));
}

TEST_F(ReportPdf, SecondBrandHasItsOwnTitleAndCompanyLineAndNoLogo)
{
    const QString pdf = Render(dir, db, settings, TestFrame(QStringLiteral("Kordamere")));
    const auto words = ReadWords(pdf);
    const PageWords title = WordsAtY(words[0], 1200);
    EXPECT_EQ(Joined(title), "Kordamere Paging Encoder Configuration");
    EXPECT_NEAR(CentreTwips(title), PrintableWidthTwips() / 2 + 1000, 15);
    const QString company = Joined(WordsAtY(words[1], PrintableHeightTwips() - 500));
    EXPECT_EQ(company, ReportCompanyLine(QStringLiteral("Kordamere")).simplified());
    EXPECT_TRUE(company.contains(QLatin1String("Kordamere")));
    EXPECT_NE(company, ReportCompanyLine(QStringLiteral("Quorvane")));
    EXPECT_EQ(ImageCount(pdf), 0);
}

TEST_F(ReportPdf, TableNeverFilledStopsAfterTheFamiliesHeading)
{
    bool ok = true;
    const QString pdf = Render(dir, PagerDatabase{}, EncoderSettings{}, TestFrame(), 2, &ok);
    EXPECT_FALSE(ok);
    const auto pages = PageTexts(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(Last(pages[0]), "Family Active PagerQty StartID EndID StartCap EndCap PgrType Func Rate Prefix Suffix");
    EXPECT_EQ(pages[0].first(), "Quorvane Paging Encoder Configuration");
}

TEST_F(ReportPdf, FamilyThatIsNoNumberEndsTheJobAtItsLine)
{
    db.Families[4][famPagerQty].clear();
    bool ok = true;
    const QString pdf = Render(dir, db, settings, TestFrame(), 1, &ok);
    EXPECT_FALSE(ok);
    const auto words = ReadWords(pdf);
    ASSERT_EQ(words.size(), 1);
    EXPECT_EQ(Joined(WordsAtY(words[0], 3050 + 3 * 230)).left(5), "4 ON ");
    EXPECT_TRUE(WordsAtY(words[0], 3050 + 4 * 230).isEmpty());
    EXPECT_TRUE(WordsAtY(words[0], PrintableHeightTwips() - 750).isEmpty());
}

TEST_F(ReportPdf, PagerIDThatIsNoNumberEndsTheJobAtItsRow)
{
    db.Groups[2][grpPagerID1 + 1] = QStringLiteral("12a");
    bool ok = true;
    const QString pdf = Render(dir, db, settings, TestFrame(), 2, &ok);
    EXPECT_FALSE(ok);
    const auto words = ReadWords(pdf);
    ASSERT_EQ(words.size(), 2);
    EXPECT_FALSE(WordsAtY(words[1], 3600).isEmpty());
    // the failing row keeps its label and prints none of its cells
    EXPECT_EQ(Joined(WordsAtY(words[1], 3800)), "Pager ID 2:");
    EXPECT_TRUE(WordsAtY(words[1], 4000).isEmpty());
    EXPECT_TRUE(WordsAtY(words[1], 8200).isEmpty());
}

TEST_F(ReportPdf, PrinterThatFailsEndsTheJobQuietly)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpTestPage(printer, QStringLiteral("/nonexistent/folder/report.pdf"));
    platform::Printer out(printer);
    EXPECT_FALSE(RenderDatabaseReport(out, db, settings, TestFrame(), 1));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/nonexistent/folder/report.pdf")));
}
