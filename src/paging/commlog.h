// The communications log of the test console (its list, latest line on top,
// at most 299 lines) and the optional log file every line of the framed and
// line engines is appended to.
#pragma once

#include <QString>
#include <cstdint>

class QDateTime;
class QListWidget;

// Lines kept in the list after any insertion: the insertion that brings the
// count to 300 removes the oldest line.
inline constexpr int kLogListMaxLines = 299;

// The line being logged, its file record (line + CR LF), and the number of
// the open log file (0: none open).
extern QString sLogLine;
extern QString sLogFileLine;
extern int16_t iLogFileNum;

// Puts `line` on top of the host's log list, drops the oldest line beyond
// 299 and selects the new top line. Writes nothing to the log file.
void AddLogLine(const QString &line);

// The same insertion without moving the selection (the framed and line
// engines' own insertion).
void InsertLogLine(const QString &line);

// Both of the above act on this list; exposed so that the rule can be
// applied to any list (null: nothing happens).
void InsertLogLineInto(QListWidget *list, const QString &line, bool selectTop);

// Appends `line` + CR LF to the open log file; nothing when none is open.
// A failed write is ignored.
void WriteLogFileLine(const QString &line);

// sLogLine = line; inserted into the list (no selection change) and written
// to the log file when one is open.
void LogListAndFile(const QString &line);

// sLogLine = line; AddLogLine (list only, top line selected).
void LogListOnly(const QString &line);

// Asks for the log file, opens it for appending (or afresh, when the user
// chooses to replace it) and logs its first line to list and file. A file
// that opens but cannot be moved to its end or written shows the system's
// text in a box and stays open.
void OpenCommLogFile();

// Closes the open log file, if any, and sets iLogFileNum to 0 (the console's
// "Log to File" box being cleared).
void CloseCommLogFile();

// Full path of the open log file; empty when none is open.
QString CommLogFilePath();

// "m/d/yy h:mm AM" of the log clock's now: the prefix of the framed engines'
// answer and error lines.
QString LogTimeStamp();

// The default text form of a date and time (short date, blank, long time
// without a zone) in the default locale: the first record of a log file.
QString DefaultDateTimeText(const QDateTime &when);
