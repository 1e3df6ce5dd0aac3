// Renders the report to a PDF and reads it back with the poppler tools:
// words with their boxes (pdftotext -bbox), runs of text with their font
// (pdftohtml -xml), the plain text of each page (pdftotext -layout).
#pragma once

#include "platform/printer.h"
#include "report/report.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace reporttest {

// The test page: A4 with half-inch margins, so the printable area starts at
// 36 pt (12.7 mm) from the top left corner of the sheet.
inline constexpr double kMarginPt = 36.0;
inline constexpr double kA4WidthPt = 595.0;
inline constexpr double kA4HeightPt = 842.0;

inline void SetUpTestPage(QPrinter &printer, const QString &file)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter);
}

// Position on the sheet (pt) -> twips in the printable area, and twips -> mm on the sheet.
inline double TwipsFromPt(double pt) { return (pt - kMarginPt) * 20.0; }
inline double MmOnSheet(double twips) { return 12.7 + twips / 1440.0 * 25.4; }
inline double MmFromPt(double pt) { return pt * 25.4 / 72.0; }
inline double PrintableWidthTwips() { return (kA4WidthPt - 2 * kMarginPt) * 20.0; }
inline double PrintableHeightTwips() { return (kA4HeightPt - 2 * kMarginPt) * 20.0; }

inline QString Run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QString Unescape(QString s)
{
    return s.replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&#34;"), QLatin1String("\""))
        .replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&apos;"), QLatin1String("'"))
        .replace(QLatin1String("&#39;"), QLatin1String("'"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
}

struct Word {
    QString text;
    double xMin, yMin, xMax, yMax;  // pt from the top left of the sheet
};
using PageWords = QList<Word>;

inline QList<PageWords> ReadWords(const QString &pdf)
{
    QList<PageWords> pages;
    const QString html = Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    static const QRegularExpression re(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">(.*?)</word>)re"));
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0) == QLatin1String("<page ")) {
            pages.append(PageWords{});
            continue;
        }
        pages.last().append(Word{Unescape(m.captured(5)), m.captured(1).toDouble(), m.captured(2).toDouble(),
                                 m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return pages;
}

// The words whose top lies at `twipsY` (within half a point), left to right.
inline PageWords WordsAtY(const PageWords &words, double twipsY)
{
    PageWords out;
    for (const Word &w : words)
        if (std::abs(TwipsFromPt(w.yMin) - twipsY) < 10)
            out.append(w);
    std::sort(out.begin(), out.end(), [](const Word &a, const Word &b) { return a.xMin < b.xMin; });
    return out;
}

inline QString Joined(const PageWords &words)
{
    QStringList l;
    for (const Word &w : words)
        l << w.text;
    return l.join(QLatin1Char(' '));
}

// A fixed-pitch line printed at `startTwips`, rebuilt with its blanks from
// where each word begins (Courier New 10: 120 twips a character).
inline QString FixedPitchLine(const PageWords &words, double startTwips)
{
    QString line;
    for (const Word &w : words) {
        const int column = int(std::lround((TwipsFromPt(w.xMin) - startTwips) / 120.0));
        if (column > line.size())
            line += QString(column - line.size(), QLatin1Char(' '));
        line += w.text;
    }
    return line;
}

inline const Word *FindWord(const PageWords &words, const QString &text)
{
    for (const Word &w : words)
        if (w.text == text)
            return &w;
    return nullptr;
}

// A run of text with one font, as pdftohtml sees it.
struct Run_ {
    double top, left;  // pt
    QString family;
    int size;
    bool bold;      // the run begins in bold
    QString text;   // the whole run
    QString boldText, plainText;  // its bold and its regular parts, blanks collapsed
};
using PageRuns = QList<Run_>;

inline QList<PageRuns> ReadRuns(const QString &pdf)
{
    const QString xml = Run(QStringLiteral("pdftohtml"), {QStringLiteral("-xml"), QStringLiteral("-i"),
                                                           QStringLiteral("-zoom"), QStringLiteral("1"),
                                                           QStringLiteral("-stdout"), pdf});
    QList<PageRuns> pages;
    QHash<QString, QPair<QString, int>> fonts;
    static const QRegularExpression re(QStringLiteral(
        R"re(<page |<fontspec id="(\d+)" size="(\d+)" family="([^"]*)"|<text top="(\d+)" left="(\d+)"[^>]*font="(\d+)">(.*?)</text>)re"));
    for (auto it = re.globalMatch(xml); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0) == QLatin1String("<page ")) {
            pages.append(PageRuns{});
        } else if (!m.captured(1).isEmpty()) {
            fonts[m.captured(1)] = {m.captured(3), m.captured(2).toInt()};
        } else {
            // pdftohtml joins runs that nearly touch; <b> marks the bold parts
            const QString raw = m.captured(7);
            static const QRegularExpression boldPart(QStringLiteral("<b>(.*?)</b>"));
            QStringList bolds;
            for (auto b = boldPart.globalMatch(raw); b.hasNext();)
                bolds << b.next().captured(1);
            QString plain = raw;
            plain.remove(boldPart);
            QString text = raw;
            text.remove(QLatin1String("<b>")).remove(QLatin1String("</b>"));
            const auto font = fonts.value(m.captured(6));
            pages.last().append(Run_{m.captured(4).toDouble(), m.captured(5).toDouble(), font.first, font.second,
                                     raw.startsWith(QLatin1String("<b>")), Unescape(text),
                                     Unescape(bolds.join(QLatin1Char(' '))).simplified(), Unescape(plain).simplified()});
        }
    }
    return pages;
}

// The runs whose top lies at `twipsY` (within a point), left to right.
inline PageRuns RunsAtY(const PageRuns &runs, double twipsY)
{
    PageRuns out;
    for (const Run_ &r : runs)
        if (std::abs(TwipsFromPt(r.top) - twipsY) <= 20)
            out.append(r);
    std::sort(out.begin(), out.end(), [](const Run_ &a, const Run_ &b) { return a.left < b.left; });
    return out;
}

// Each page's text lines with the white space collapsed, empty lines dropped.
inline QList<QStringList> PageTexts(const QString &pdf)
{
    const QString text = Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QList<QStringList> pages;
    QStringList pageTexts = text.split(QLatin1Char('\f'));
    if (!pageTexts.isEmpty() && pageTexts.last().trimmed().isEmpty())
        pageTexts.removeLast();
    for (const QString &page : pageTexts) {
        QStringList lines;
        for (const QString &line : page.split(QLatin1Char('\n')))
            if (const QString s = line.simplified(); !s.isEmpty())
                lines << s;
        pages << lines;
    }
    return pages;
}

// Page 1 as a picture at 72 dpi: one pixel a point.
inline QImage Raster(const QString &pdf, const QTemporaryDir &dir)
{
    const QString base = QDir(dir.path()).filePath(QStringLiteral("page"));
    Run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"),
                                     QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                     QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, base});
    return QImage(base + QStringLiteral(".png"));
}

inline int PageCount(const QString &pdf)
{
    const QString info = Run(QStringLiteral("pdfinfo"), {pdf});
    static const QRegularExpression re(QStringLiteral(R"(Pages:\s+(\d+))"));
    return re.match(info).captured(1).toInt();
}

inline ReportFrame TestFrame(const QString &brand = QStringLiteral("Quorvane"))
{
    ReportFrame f;
    f.brand = brand;
    f.fileName = QStringLiteral("site.pg8");
    f.notes = QStringLiteral("Rack B, shelf 2, ask for Sam");
    QPixmap logo(96, 96);
    logo.fill(QColor(20, 60, 140));
    f.logo = logo;
    f.date = QDate(2024, 3, 5);
    return f;
}

// Renders the report into `dir`; returns the PDF's path.
inline QString Render(const QTemporaryDir &dir, const PagerDatabase &db, const EncoderSettings &settings,
                      const ReportFrame &frame, int copies = 1, bool *ok = nullptr,
                      const QString &name = QStringLiteral("report.pdf"))
{
    const QString path = QDir(dir.path()).filePath(name);
    QPrinter printer(QPrinter::HighResolution);
    SetUpTestPage(printer, path);
    platform::Printer out(printer);
    const bool result = RenderDatabaseReport(out, db, settings, frame, copies);
    if (ok)
        *ok = result;
    return path;
}

}  // namespace reporttest
