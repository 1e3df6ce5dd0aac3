// The printer layer: twips from the printable area's top left corner, fonts,
// measures, pages, and a printer that cannot print.
#include "platform/printer.h"

#include "reportpdf.h"

#include <QFileInfo>
#include <QPainter>

using namespace reporttest;

namespace {

struct PdfPrinter {
    QTemporaryDir dir;
    QString path = QDir(dir.path()).filePath(QStringLiteral("out.pdf"));
    QPrinter device{QPrinter::HighResolution};
    PdfPrinter() { SetUpTestPage(device, path); }
};

}  // namespace

TEST(ReportPrinter, TextTopLeftLandsAtTheTwipsGivenFromThePrintableArea)
{
    PdfPrinter pr;
    platform::Printer p(pr.device);
    p.setFontName(QStringLiteral("Courier New"));
    p.setFontSize(10);
    p.CurrentX = 1440;
    p.CurrentY = 2880;
    ASSERT_TRUE(p.Print(QStringLiteral("Marker")));
    ASSERT_TRUE(p.EndDoc());
    const auto pages = ReadWords(pr.path);
    ASSERT_EQ(pages.size(), 1);
    const Word *w = FindWord(pages[0], QStringLiteral("Marker"));
    ASSERT_TRUE(w);
    EXPECT_NEAR(MmFromPt(w->xMin), 38.1, 0.1);  // 12.7 mm margin + 1 inch
    EXPECT_NEAR(MmFromPt(w->yMin), 63.5, 0.1);  // 12.7 mm margin + 2 inches
}

TEST(ReportPrinter, PrintMovesToTheStartOfTheNextLine)
{
    PdfPrinter pr;
    platform::Printer p(pr.device);
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(10);
    p.CurrentX = 3000;
    p.CurrentY = 1000;
    p.Print(QStringLiteral("one"));
    EXPECT_EQ(p.CurrentX, 0);
    EXPECT_NEAR(p.CurrentY, 1000 + p.TextHeight(), 0.01);
    // about 1.15 times the size for Arial: 10 pt is 200 twips
    EXPECT_GT(p.TextHeight(), 200);
    EXPECT_LT(p.TextHeight(), 260);
}

TEST(ReportPrinter, TextWidthIsInTwipsOfTheCurrentFont)
{
    PdfPrinter pr;
    platform::Printer p(pr.device);
    p.setFontName(QStringLiteral("Courier New"));
    p.setFontSize(10);
    // a fixed pitch of 0.6 em: 120 twips a character at 10 pt
    EXPECT_NEAR(p.TextWidth(QStringLiteral("ABCDEFGHIJ")), 1200, 3);
    EXPECT_NEAR(p.TextWidth(QStringLiteral("          ")), 1200, 3);
    p.setFontName(QStringLiteral("Arial"));
    const double regular = p.TextWidth(QStringLiteral("Configuration"));
    p.setFontBold(true);
    EXPECT_GT(p.TextWidth(QStringLiteral("Configuration")), regular);
    const double bold10 = p.TextWidth(QStringLiteral("Configuration"));
    p.setFontSize(20);
    EXPECT_NEAR(p.TextWidth(QStringLiteral("Configuration")), 2 * bold10, 4);
    EXPECT_EQ(p.FontSize(), 20);
    EXPECT_TRUE(p.FontBold());
    EXPECT_EQ(p.FontName(), "Arial");
}

TEST(ReportPrinter, PageSizeIsThePrintableArea)
{
    PdfPrinter pr;
    platform::Printer p(pr.device);
    // A4 as the PDF has it, 595 x 842 pt, less half an inch on each side
    EXPECT_NEAR(p.PageWidth(), PrintableWidthTwips(), 3);
    EXPECT_NEAR(p.PageHeight(), PrintableHeightTwips(), 3);
}

TEST(ReportPrinter, PictureIsScaledIntoItsRectangle)
{
    PdfPrinter pr;
    {
        platform::Printer p(pr.device);
        QPixmap red(10, 30);
        red.fill(Qt::red);
        // 1 inch from the left, 1 inch down, 2 inches wide, 1 inch high
        ASSERT_TRUE(p.PaintPicture(red, 1440, 1440, 2880, 1440));
        ASSERT_TRUE(p.EndDoc());
    }
    const QImage page = Raster(pr.path, pr.dir);
    ASSERT_FALSE(page.isNull());
    // at 72 dpi one pixel is one point; the printable area starts at 36 pt
    auto isRed = [&](int x, int y) { return page.pixelColor(x, y).red() > 200 && page.pixelColor(x, y).green() < 80; };
    EXPECT_TRUE(isRed(112, 112));
    EXPECT_TRUE(isRed(248, 176));
    EXPECT_FALSE(isRed(104, 144));
    EXPECT_FALSE(isRed(256, 144));
    EXPECT_FALSE(isRed(180, 184));
}

TEST(ReportPrinter, NewPageStartsAnotherSheet)
{
    PdfPrinter pr;
    platform::Printer p(pr.device);
    p.Print(QStringLiteral("first"));
    ASSERT_TRUE(p.NewPage());
    p.Print(QStringLiteral("second"));
    ASSERT_TRUE(p.EndDoc());
    EXPECT_TRUE(p.EndDoc());  // a second end changes nothing
    const auto pages = ReadWords(pr.path);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(Joined(pages[1]), "second");
}

TEST(ReportPrinter, NothingDrawnMakesNoDocument)
{
    PdfPrinter pr;
    platform::Printer p(pr.device);
    EXPECT_TRUE(p.EndDoc());
    EXPECT_FALSE(p.Started());
    EXPECT_FALSE(QFileInfo::exists(pr.path));
}

TEST(ReportPrinter, PrinterThatCannotOpenFailsEveryCall)
{
    PdfPrinter pr;
    pr.device.setOutputFileName(QStringLiteral("/nonexistent/folder/out.pdf"));
    platform::Printer p(pr.device);
    EXPECT_FALSE(p.Print(QStringLiteral("text")));
    EXPECT_TRUE(p.Failed());
    EXPECT_FALSE(p.NewPage());
    EXPECT_FALSE(p.PaintPicture(QPixmap(4, 4), 0, 0, 100, 100));
    EXPECT_FALSE(p.EndDoc());
}
