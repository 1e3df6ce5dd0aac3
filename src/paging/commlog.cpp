#include "paging/commlog.h"

#include "paging/paginghost.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/system.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QLocale>
#include <memory>

QString sLogLine;
QString sLogFileLine;
int16_t iLogFileNum = 0;

namespace {

// The open log file; its number is iLogFileNum.
std::unique_ptr<QFile> &logFile()
{
    static std::unique_ptr<QFile> f;
    return f;
}

int16_t g_lastFileNum = 0;

int16_t nextFileNumber()
{
    g_lastFileNum = int16_t(g_lastFileNum >= 511 ? 1 : g_lastFileNum + 1);
    return g_lastFileNum;
}

void errorBox(const QString &text)
{
    platform::MsgBox(text, platform::Buttons::OK, platform::Icon::Exclamation, platform::AppTitle());
}

// The box of a failure that does not stop the opening.
void noticeBox(const QString &text)
{
    platform::MsgBox(text, platform::Buttons::OK, platform::Icon::None, platform::AppTitle());
}

// Appends sLogFileLine at the end of the open file. False, with the system's
// text in `error` when given, when moving to the end or writing failed.
bool appendLogFileLine(QString *error = nullptr)
{
    QFile *f = logFile().get();
    if (!f || !f->isOpen())
        return true;
    const QByteArray bytes = platform::ToAnsi(sLogFileLine);
    // a device (a printer, a pipe) has no end to move to
    if ((f->isSequential() || f->seek(f->size())) && f->write(bytes) == bytes.size())
        return true;
    if (error)
        *error = f->errorString();
    return false;
}

}  // namespace

void InsertLogLineInto(QListWidget *list, const QString &line, bool selectTop)
{
    if (!list)
        return;
    list->insertItem(0, line);
    while (list->count() > kLogListMaxLines)
        delete list->takeItem(list->count() - 1);
    if (selectTop)
        list->setCurrentRow(0);
}

void AddLogLine(const QString &line)
{
    PagingHost *host = CurrentPagingHost();
    InsertLogLineInto(host ? host->logList() : nullptr, line, true);
}

void InsertLogLine(const QString &line)
{
    PagingHost *host = CurrentPagingHost();
    InsertLogLineInto(host ? host->logList() : nullptr, line, false);
}

void WriteLogFileLine(const QString &line)
{
    if (iLogFileNum == 0)
        return;
    sLogFileLine = line + QStringLiteral("\r\n");
    // an engine's line that cannot be written is only missing from the file
    appendLogFileLine();
}

void LogListAndFile(const QString &line)
{
    sLogLine = line;
    InsertLogLine(sLogLine);
    if (iLogFileNum != 0)
        WriteLogFileLine(sLogLine);
}

void LogListOnly(const QString &line)
{
    sLogLine = line;
    AddLogLine(sLogLine);
}

void CloseCommLogFile()
{
    if (logFile()) {
        logFile()->close();
        logFile().reset();
    }
    iLogFileNum = 0;
}

QString CommLogFilePath()
{
    return logFile() && logFile()->isOpen() ? logFile()->fileName() : QString();
}

void OpenCommLogFile()
{
    QString path;
    bool replace = false;
    for (;;) {
        platform::Prompt p;
        p.kind = platform::Prompt::Kind::SaveFile;  // names of files not there yet are taken; no overwrite question
        p.title = QStringLiteral("Open Communications Log File");
        p.filter = QStringLiteral("Log Files (*.LOG)|*.log|All Files (*.*)|*.*");
        p.defaultExt = QStringLiteral("LOG");
        p.fileName = platform::AppPath();
        const platform::Reply r = platform::Ask(p);
        if (r.answer != platform::Answer::OK || r.fileName.isEmpty())
            return;
        path = r.fileName;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".LOG");
        if (!QFileInfo::exists(path)) {
            replace = false;
            break;
        }
        const platform::Answer a = platform::MsgBox(QStringLiteral("Replace existing file - ") + path + QLatin1Char('?'),
                                                    platform::Buttons::YesNoCancel, platform::Icon::Question,
                                                    platform::AppTitle());
        if (a == platform::Answer::Cancel)
            continue;
        replace = a == platform::Answer::Yes;
        break;
    }

    if (replace) {
        QFile old(path);
        if (!old.remove()) {
            errorBox(old.errorString());
            platform::SetDefaultPointer();
            return;
        }
    }

    // one log file at a time: a file still open from an earlier console is
    // closed here rather than left open unused
    CloseCommLogFile();
    auto file = std::make_unique<QFile>(path);
    // unbuffered: a line that cannot be written fails at its own write
    if (!file->open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        errorBox(file->errorString());
        iLogFileNum = 0;
        platform::SetDefaultPointer();
        return;
    }
    // from here a failure is shown and the opening goes on
    if (!file->isSequential() && !file->seek(file->size()))
        noticeBox(file->errorString());
    logFile() = std::move(file);
    iLogFileNum = nextFileNumber();

    sLogLine = DefaultDateTimeText(LogClockNow()) + QStringLiteral(": Log File Opened - ") + path;
    AddLogLine(sLogLine);
    sLogFileLine = sLogLine + QStringLiteral("\r\n");
    QString error;
    if (!appendLogFileLine(&error))
        noticeBox(error);
}

QString LogTimeStamp()
{
    return QLocale::c().toString(LogClockNow(), QStringLiteral("M/d/yy h:mm AP"));
}

QString DefaultDateTimeText(const QDateTime &when)
{
    const QLocale loc;
    QString timeFormat = loc.timeFormat(QLocale::LongFormat);
    // the long time format of a locale may end in the time zone: not part of this text
    timeFormat.remove(QStringLiteral("tttt")).remove(QStringLiteral("ttt")).remove(QLatin1Char('t'));
    timeFormat = timeFormat.trimmed();
    return loc.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') + loc.toString(when.time(), timeFormat);
}
