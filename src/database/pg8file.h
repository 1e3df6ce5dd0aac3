// The pager database file (".pg8"): the three tables, the encoder settings
// and the configuration notes as 96 text lines. Everything here works on
// bytes and on the data model; the main window shows the boxes and captions.
//
// File form, one record per line, every line ending CR LF, one byte per
// character in the 8-bit code page (Windows-1252):
//   lines  1-50  "Fam<n>," and the nine stored family fields, comma-joined
//   lines 51-60  "Grp<n>," group fields 0-27, a comma, then the Reference
//   lines 61-75  "Msg<n>," and the message text as it is
//   lines 76-95  one "Key,value" line per encoder setting
//   line  96     Notes,"<notes>"
// Nothing is quoted or escaped: commas inside a message, a Reference or the
// notes survive because those are the last item on their line.
#pragma once

#include "database/state.h"

#include <QByteArray>
#include <QString>

// Open reads a file the user picked; StartUp reloads the last file while the
// main window loads. They differ in two rules: Open pads StartID to three
// digits, and a group counts as complete under a different GroupID test.
enum class Pg8ReadMode { Open, StartUp };

// What a read touched beyond the data it filled in, so the window knows which
// captions and boxes to refresh.
struct Pg8ReadResult {
    bool incCapsLineRead = false;  // refresh lblIncBy8 from bIncCapBy8
    bool idAsCapLineRead = false;  // refresh lblIDAsCap from bSerial1IDAsCap
    bool notesLineRead = false;    // the notes text came from the file
    int lineCount = 0;             // lines seen, blank and unknown ones included
    // The file has bytes, yet not one line is a family, group, message,
    // setting or notes line: it is some other file, and nothing was changed.
    // An empty file is an empty database, not this.
    bool notADatabase = false;
};

// The whole file as bytes. A character with no byte in the code page, a line
// break inside a value, or a comma inside a family field or one of group
// fields 0-27 would not come back as it was: the write is refused, `error`
// (when given) names the field, and the result is empty.
QByteArray WritePagerDatabaseFile(const PagerDatabase &db, const EncoderSettings &settings,
                                  const QString &notes, QString *error);

// Fills db, settings and notes from the bytes of a file. Nothing is cleared
// first: a line the file lacks leaves its fields as they are. Malformed
// content is never an error; only a file with no line of any kind the
// reader knows is reported, as `notADatabase`.
//
// A family becomes complete when it is active or when its fields meet the
// families editor's completeness rule; a group under the GroupID test of the
// mode (Open: neither "0000" nor empty; StartUp: a number above 0) or when
// its fields meet the groups editor's completeness rule. A row whose line
// earns neither is made incomplete, whatever it was before the read.
//
// Lines end at CR, CR LF or a lone LF (a file edited on another system still
// reads line by line); a last line without an ending still counts.
// Rows follow line positions, not the numbers after the tags, so a stray
// line at the top shifts every table row down by one.
// A field present but empty reads as empty. A line that stops early fills
// the fields it has and leaves the later ones alone. A notes line too short
// to hold its two quotes reads as empty notes.
Pg8ReadResult ReadPagerDatabaseFile(const QByteArray &bytes, Pg8ReadMode mode, PagerDatabase &db,
                                    EncoderSettings &settings, QString &notes);

// Replaces the file at `path` with `bytes` through a temporary file in the
// same folder, so a failure leaves the old file whole. Where the folder
// takes no new file but the file itself may be written, the file is written
// in place. On failure returns false and puts the system's reason in `error`.
bool SavePagerDatabaseFile(const QString &path, const QByteArray &bytes, QString *error);

// Reads the whole file at `path`. On failure returns false, leaves `bytes`
// empty and puts the system's reason in `error`.
bool LoadPagerDatabaseFile(const QString &path, QByteArray *bytes, QString *error);

// Name and extension of a file without its folder, as kept in sDBFileName.
QString Pg8FileTitle(const QString &path);

// Status bar and caption texts of the file commands.
QString SavedDatabaseStatusText(const QString &title, bool matchesEncoder);
QString OpenedDatabaseStatusText(const QString &title);
QString StartUpLoadedStatusText(const QString &title);
QString NotADatabaseFileText(const QString &title);
QString IncCapBy8CaptionText(bool on);
QString IDAsCapCaptionText(bool on);

// Texts of the New Database question and its status line.
QString NewDatabaseQuestionTitle();
QString NewDatabaseQuestionText();
QString NewDatabaseStatusText();

// File dialog texts shared by Open and Save As.
QString OpenDatabaseDialogTitle();
QString SaveDatabaseDialogTitle();
QString DatabaseFileFilter();
QString DatabaseFileSuffix();
