// The paging test console: the window that sends test pages to the encoder's
// paging input, its message archive, the range test and transmitter tuning.
// The window-free rules of all four live here so that they can be checked
// without a window.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

class QWidget;

// The Test menu's commands: each opens its window modal over `owner` and
// returns when it has closed. A console that closes itself while loading
// (COMP1 without a default pager) is never shown.
void ShowTestConsole(QWidget *owner);
void ShowTransmitterTuning(QWidget *owner);

// Set by the console's closing; cleared when the range test's set-up
// dialog returns. A range-test loop that finds it set sends nothing more.
extern bool bMsgTestClosed;
// The archive list is being changed by Add or Replace: a selection change
// then does not copy the entry into the message box.
extern bool bArchiveBusy;
// Seconds from one range-test page to the next, taken at Start.
extern int16_t iRangeCycleSecs;

namespace testconsole {

// ---- send dispatch -----------------------------------------------------
enum class Engine { None, TAP, Comp1, Comp2, Quorvane, Scope, SNPP };

// The sender for port 1's protocol setting (exact, case-sensitive).
Engine EngineForProtocol(const QString &protocol);

// The pager ID with "0" in front up to 7 characters; longer ones unchanged.
QString PaddedPagerID(const QString &pin);
// Letter of the checked function code button (0..3); none checked reads "D".
QString FunctionCodeLetter(int checkedButton);
// Rate of the checked data rate button (0..2); none checked reads "2400".
QString DataRateText(int checkedButton);

// What one page carries at the moment it is sent.
struct Page {
    QString pagerId;
    QString message;
    QString functionCode;  // "A".."D"
    QString dataRate;      // "512", "1200", "2400"
};

// Who asks: the Send button leaves the function code out of a COMP2 page
// whose pager ID has 8 or more characters; the range test never does.
enum class Caller { SendButton, RangeTest };

// The arguments each sender receives, for a page and a caller.
struct EngineCall {
    Engine engine = Engine::None;
    QString pagerId;       // as typed, or padded for the framed senders
    QString message;
    QString functionCode;  // empty where the sender takes none
    QString dataRate;      // framed senders only
};
EngineCall PlanPage(const QString &protocol, const Page &page, Caller caller);

// Calls the sender of the plan; 0 when there is none (nothing is sent).
int16_t SendPlannedPage(const EngineCall &call);

// ---- link and captions -------------------------------------------------
// Port 1's speed and character format as a port settings text.
QString LinkSettingsText(const QString &baud, const QString &databits);
// Panel 1 of the console's status bar.
QString ProtocolStatusText(const QString &protocol, const QString &settings);
QString IDAsCapText(bool idAsCap);
// The pager ID of port 1's COMP1 input: group 1's first pager ID without its
// leading zeros ("0012" gives "12"). Empty `defined` when it is "0000".
QString Comp1PagerID(const QString &groupField, bool *defined);

// ---- message archive ---------------------------------------------------
// "messages.dat" in the program's folder (the per-user data folder when the
// program's folder cannot be written).
QString MessageArchivePath();
// Where the archive is read from: MessageArchivePath(), or the archive beside
// the program while the per-user folder holds none.
QString MessageArchiveReadPath();
// The entries of an archive file, in file order; `opened` tells whether the
// file could be read at all.
QStringList ReadArchiveFile(const QString &path, bool *opened = nullptr);
// The bytes of an archive file: every entry followed by CR LF.
QByteArray ArchiveFileBytes(const QStringList &entries);
// Why `text` cannot be kept in the archive, as the box says it, or an empty
// text when it can: the file holds one byte per character in the code page.
QString ArchiveStoreProblem(const QString &text);
// Replaces the file by the entries through a temporary file, which takes
// the old file's place only once every line was written. False with `error`
// when the file could not be replaced (the system's text; the old file stays
// whole) or when an entry cannot be stored (nothing is written).
bool WriteArchiveFile(const QString &path, const QStringList &entries, QString *error);
// Entries the archive keeps at most.
inline constexpr int kArchiveMaxEntries = 299;
// The entry Replace takes out of a list of `count` entries once entry
// `replaced` holds the new text: over the limit (a file of 300 lines or more
// was loaded), the last entry other than the replaced one, so that the new
// text stays even in the last place; -1 within the limit.
int ArchiveEntryToDropAfterReplace(int count, int replaced);

// ---- range test --------------------------------------------------------
QString RangePageText(const QString &baseMessage, int pageNumber);
QString RangeCountdownCaption(const QString &brand, int seconds);
QString PagingTestCaption(const QString &brand);
// The cycle text as whole seconds (a fraction rounds to the nearest, a half
// to the even one). False when it is not a number in the 16-bit range.
bool ParseCycleTime(const QString &text, int16_t *seconds);
// The page after `page` (the counter starts again at 1 after 32767).
int16_t NextPageNumber(int16_t page);

}  // namespace testconsole
