// The printed pager database report: two pages per copy. Page 1 lists the
// pager families; page 2 the pager groups, the canned messages and the
// encoder settings. Both pages carry the same frame at the top (logo, title,
// date, notes) and the same footer (file name, page label, company line).
#pragma once

#include "database/state.h"

#include <QDate>
#include <QLocale>
#include <QPixmap>
#include <QString>

namespace platform {
class Printer;
}

// What the report prints besides the tables and settings.
struct ReportFrame {
    QString brand;     // "Quorvane" or "Kordamere"
    QString fileName;  // current pager database file, without folder; may be empty
    QString notes;     // the configuration notes, printed whole
    QPixmap logo;      // painted on the maker's brand only
    QDate date;        // the date in the heading
};

// File > Print Database Configuration: asks for the printer and the number of
// copies, then prints the report from the shared tables and settings and the
// main window's notes. Cancel prints nothing and says nothing. A value that
// stops the report sends what was printed, then a box names the line; a
// failing printer ends it without one.
void PrintDatabaseReport();

// Prints `copies` copies of the report (page 1, page 2, page 1, ...) and ends
// the document. Fewer than one copy prints nothing. Returns false when a
// printer failure or a field that does not read as a number ended the job
// early; what was printed until then is still sent. `stoppedAt` (when given)
// receives the line a field stopped the job at ("Family 1 on page 1",
// "Pager ID 2 on page 2"), and stays empty otherwise.
bool RenderDatabaseReport(platform::Printer &printer, const PagerDatabase &db, const EncoderSettings &settings,
                          const ReportFrame &frame, int copies, QString *stoppedAt = nullptr);

// The box shown after a report that `line` stopped.
QString ReportIncompleteText(const QString &line);

// Texts that depend on the brand or the date.
QString ReportTitle(const QString &brand);
QString ReportCompanyLine(const QString &brand);
// "Dec. 7, 2026": the month's abbreviation in the user's language, with a
// full stop after it unless it already ends in one.
QString ReportDateText(const QDate &date, const QLocale &locale = QLocale::system());
