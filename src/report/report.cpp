#include "report/report.h"

#include "app/artwork.h"
#include "app/forms.h"
#include "app/frmterminal.h"
#include "platform/dialogs.h"
#include "platform/printer.h"
#include "platform/system.h"
#include "report/reportlines.h"

#include <QLineEdit>
#include <QLocale>
#include <QPrinter>

namespace {

const QString kArial = QStringLiteral("Arial");
const QString kCourier = QStringLiteral("Courier New");

// Positions on the page, in twips.
constexpr double kLeft = 500;
constexpr double kLogoTop = 500, kLogoWidth = 2035, kLogoHeight = 1735;
constexpr double kTitleShift = 1000;
constexpr double kTitleY = 1200, kDateY = 1900, kNotesY = 2500, kNotesX = 2600;
constexpr double kBodyTop = 2800;
constexpr double kFamilyTop = 3050, kFamilyPitch = 230;
constexpr double kRowPitch = 200;
constexpr double kValueX = 2500;
constexpr double kSettingsLeftValueX = 3000, kSettingsRightLabelX = 5500, kSettingsRightValueX = 8000;
constexpr double kMessagesTop = 8200, kSettingsTop = 11400;
constexpr double kFooterFromBottom = 750, kCompanyFromBottom = 500;

// Thrown to leave the job at the point where something failed. `line` names
// the line whose value is no number the report can print; a printer that
// fails leaves it empty.
struct StopReport {
    QString line;
};

class ReportJob {
public:
    ReportJob(platform::Printer &printer, const PagerDatabase &db, const EncoderSettings &settings,
              const ReportFrame &frame)
        : p(printer), db(db), s(settings), frame(frame)
    {
    }

    void printCopy(bool first)
    {
        if (!first)
            newPage();
        PrintPageFrame();
        PrintFirstPage();
        PrintPageFooter(1);
        newPage();
        PrintPageFrame();
        PrintSecondPage();
        PrintPageFooter(2);
    }

private:
    void at(double x, double y, const QString &text)
    {
        p.CurrentX = x;
        p.CurrentY = y;
        if (!p.Print(text))
            throw StopReport{};
    }

    void centred(double shift, double y, const QString &text)
    {
        at(p.PageWidth() / 2 - p.TextWidth(text) / 2 + shift, y, text);
    }

    void label(double x, double y, const QString &text)
    {
        p.setFontBold(true);
        at(x, y, text);
    }

    void value(double x, double y, const QString &text)
    {
        p.setFontBold(false);
        at(x, y, text);
    }

    void newPage()
    {
        if (!p.NewPage())
            throw StopReport{};
    }

    void PrintPageFrame()
    {
        if (frame.brand == QLatin1String("Quorvane")
            && !p.PaintPicture(frame.logo, kLeft, kLogoTop, kLogoWidth, kLogoHeight))
            throw StopReport{};
        p.setFontName(kArial);
        p.setFontBold(true);
        p.setFontSize(20);
        centred(kTitleShift, kTitleY, ReportTitle(frame.brand));
        p.setFontSize(10);
        centred(kTitleShift, kDateY, ReportDateText(frame.date));
        label(kLeft, kNotesY, QStringLiteral("Configuration Notes: "));
        value(kNotesX, kNotesY, frame.notes);
    }

    void PrintFirstPage()
    {
        p.setFontSize(10);
        p.setFontName(kCourier);
        label(kLeft, kBodyTop, report::FamilyHeading());
        for (int n = 1; n <= kFamilyCount; ++n) {
            const FamilyRow &row = db.Families[n - 1];
            const auto line = report::FamilyLine(n, row, s.bIncCapBy8);
            if (!line)
                throw StopReport{QStringLiteral("Family %1 on page 1").arg(n)};
            p.setFontBold(row[famActive] == QLatin1String("1"));
            at(kLeft, kFamilyTop + kFamilyPitch * (n - 1), *line);
        }
    }

    void PrintSecondPage()
    {
        // the frame leaves Arial set; the grid only lines up in a fixed pitch
        p.setFontName(kCourier);
        p.setFontSize(10);
        const GroupTable &g = db.Groups;
        double y = kBodyTop;
        label(kLeft, y, QStringLiteral("Pager Group:"));
        at(kValueX, y, report::GroupHeading());
        auto row = [&](const QString &name, const QString &cells) {
            y += kRowPitch;
            label(kLeft, y, name);
            value(kValueX, y, cells);
        };
        row(QStringLiteral("Reference:"), report::GroupReferenceRow(g));
        row(QStringLiteral("Active:"), report::GroupActiveRow(g));
        row(QStringLiteral("Group ID:"), report::GroupIDRow(g));
        for (int k = 1; k <= kGroupPagerIDCount; ++k) {
            // the label goes out before the cells are built, so a pager ID
            // that is no number leaves its row labelled and empty
            y += kRowPitch;
            label(kLeft, y, QStringLiteral("Pager ID %1:").arg(k));
            const auto cells = report::GroupPagerIDRow(g, k);
            if (!cells)
                throw StopReport{QStringLiteral("Pager ID %1 on page 2").arg(k)};
            value(kValueX, y, *cells);
        }
        row(QStringLiteral("Timer Active:"), report::GroupTimerActiveRow(g));
        row(QStringLiteral("Timer Msg #:"), report::GroupTimerMsgRow(g));

        for (int n = 1; n <= kMessageCount; ++n) {
            const double my = kMessagesTop + kRowPitch * (n - 1);
            label(kLeft, my, QStringLiteral("Canned Msg #%1:").arg(n));
            value(kValueX, my, db.CannedMessages[n - 1]);
        }

        const auto enabled = [](bool on) { return on ? QStringLiteral("Enabled") : QStringLiteral("Disabled"); };
        const auto protocol = [](const QString &code, bool verbose) {
            return code + (verbose ? QStringLiteral(" Verbose") : QStringLiteral(" Non-Verbose"));
        };
        double sy = kSettingsTop;
        auto setting = [&](const QString &leftLabel, const QString &leftValue, const QString &rightLabel,
                           const QString &rightValue) {
            label(kLeft, sy, leftLabel);
            value(kSettingsLeftValueX, sy, leftValue);
            label(kSettingsRightLabelX, sy, rightLabel);
            value(kSettingsRightValueX, sy, rightValue);
            sy += kRowPitch;
        };
        setting(QStringLiteral("Duty Cycle %:"), s.sDutyCycle, QStringLiteral("Max Msg/Batch:"), s.sMaxBatch);
        setting(QStringLiteral("Carrier Detect:"), s.bIgnoreRFCD ? QStringLiteral("Disabled") : QStringLiteral("Enabled"),
                QStringLiteral("CD Polarity:"), s.bInvertRFCD ? QStringLiteral("0V") : QStringLiteral("5V"));
        setting(QStringLiteral("Data Polarity:"), s.bInvertData ? QStringLiteral("Inverted") : QStringLiteral("Normal"),
                QStringLiteral("Incr Caps by 8:"), enabled(s.bIncCapBy8));
        setting(QStringLiteral("Port 1 Protocol:"), protocol(s.sSerial1Protocol, s.bSerial1Verbose),
                QStringLiteral("Port 2 Protocol:"), protocol(s.sSerial2Protocol, s.bSerial2Verbose));
        setting(QStringLiteral("Port 1 Settings:"), s.sSerial1Baud + QLatin1Char(' ') + s.sSerial1Databits,
                QStringLiteral("Port 2 Settings:"), s.sSerial2Baud + QLatin1Char(' ') + s.sSerial2Databits);
        setting(QStringLiteral("Port 1 Flow Control:"), s.sSerial1Flow, QStringLiteral("Port 2 Flow Control:"),
                s.sSerial2Flow);
        setting(QStringLiteral("Port 1 Timer Reset:"), enabled(s.bSerial1PPHReset), QStringLiteral("Port 2 Timer Reset:"),
                enabled(s.bSerial2PPHReset));
        setting(QStringLiteral("Port 1 ID = Cap:"), enabled(s.bSerial1IDAsCap), QStringLiteral("Port 2 ID = Cap:"),
                enabled(s.bSerial2IDAsCap));
    }

    void PrintPageFooter(int page)
    {
        p.setFontName(kArial);
        p.setFontBold(true);
        const QString pageLabel = QStringLiteral("p. %1 of 2").arg(page);
        const QString footer = frame.fileName.isEmpty()
                                   ? pageLabel
                                   : QStringLiteral("Filename: ") + frame.fileName + QStringLiteral("    ") + pageLabel;
        centred(0, p.PageHeight() - kFooterFromBottom, footer);
        centred(0, p.PageHeight() - kCompanyFromBottom, ReportCompanyLine(frame.brand));
    }

    platform::Printer &p;
    const PagerDatabase &db;
    const EncoderSettings &s;
    const ReportFrame &frame;
};

}  // namespace

QString ReportTitle(const QString &brand) { return brand + QStringLiteral(" Paging Encoder Configuration"); }

QString ReportCompanyLine(const QString &brand)
{
    if (brand == QLatin1String("Kordamere"))
        return QStringLiteral("Kordamere Radio Systems Ltd.   Port Ellery   www.kordamere.example");
    return QStringLiteral("Quorvane Communications Inc.   Alder Falls   www.quorvane.example");
}

QString ReportDateText(const QDate &date, const QLocale &locale)
{
    QString month = locale.monthName(date.month(), QLocale::ShortFormat);
    // some languages abbreviate with a full stop of their own ("Dez.")
    if (!month.endsWith(QLatin1Char('.')))
        month += QLatin1Char('.');
    return month + QLatin1Char(' ') + QString::number(date.day()) + QStringLiteral(", ") + QString::number(date.year());
}

QString ReportIncompleteText(const QString &line)
{
    return QStringLiteral("The report is incomplete: it stopped at %1.\r"
                          "A value on that line is empty or is not a number the report can print. "
                          "Please correct it and try again.")
        .arg(line);
}

bool RenderDatabaseReport(platform::Printer &printer, const PagerDatabase &db, const EncoderSettings &settings,
                          const ReportFrame &frame, int copies, QString *stoppedAt)
{
    ReportJob job(printer, db, settings, frame);
    bool ok = true;
    if (stoppedAt)
        stoppedAt->clear();
    try {
        for (int k = 1; k <= copies; ++k)
            job.printCopy(k == 1);
    } catch (const StopReport &stop) {
        ok = false;
        if (stoppedAt)
            *stoppedAt = stop.line;
    }
    // what was printed before a failure still goes out
    if (!printer.EndDoc())
        ok = false;
    return ok;
}

void PrintDatabaseReport()
{
    QPrinter printer(QPrinter::HighResolution);
    frmTerminal *main = forms::terminal();

    platform::Prompt prompt;
    prompt.kind = platform::Prompt::Kind::Print;
    prompt.printer = &printer;
    prompt.parent = main;
    const platform::Reply reply = platform::Ask(prompt);
    if (reply.answer != platform::Answer::OK)
        return;
    // the copy count is a 16-bit number
    if (reply.copies > 32767)
        return;
    // the report prints each copy itself, so the printer must not repeat them
    printer.setCopyCount(1);

    ReportFrame frame;
    frame.brand = gRun.sBrand;
    frame.fileName = gRun.sDBFileName;
    frame.notes = main && main->txtConfigNotes ? main->txtConfigNotes->text() : QString();
    frame.logo = artwork::brandLogo(480);
    frame.date = QDate::currentDate();

    platform::SetHourglass();
    platform::Printer out(printer);
    QString stoppedAt;
    RenderDatabaseReport(out, gDb, gSettings, frame, reply.copies, &stoppedAt);
    platform::SetDefaultPointer();
    // what was printed has gone out; a value that stopped the rest is named
    // (a failing printer stops it without a line to name)
    if (!stoppedAt.isEmpty())
        platform::MsgBox(ReportIncompleteText(stoppedAt), platform::Buttons::OK, platform::Icon::Exclamation,
                         platform::AppTitle());
}
