// What the families and groups checks share: which records take part, how
// their stored numbers are read, the cancel box and hourglass around a run,
// the marks they leave in an editor's grid and their closing message box.
#pragma once

#include "database/state.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QObject;

namespace platform {
class FlexGrid;
}

namespace checks {

// A record takes part in a check when its Complete is exactly "YES" and its
// Active exactly "1"; every other record is skipped and never changed.
bool TakesPart(const QString &active, const QString &complete);
bool FamilyTakesPart(const FamilyRow &row);
bool GroupTakesPart(const GroupRow &row);

// A stored field read as a whole number the way the checks read it: blanks
// around it allowed, an optional sign, digits with an optional fraction and
// exponent; a fraction is rounded to the nearest whole number, a half to the
// even neighbour. None for an empty text, a text that is not a number, or a
// value outside the width asked for.
std::optional<long long> ToInt32(const QString &text);
std::optional<int> ToInt16(const QString &text);
inline bool FitsInt16(long long v) { return v >= -32768 && v <= 32767; }
inline bool FitsInt32(long long v) { return v >= -2147483648LL && v <= 2147483647LL; }

// `v` in decimal, padded on the left with "0" to at least `width` characters.
QString PadNumber(long long v, int width);

// The cancel box and the hourglass while a check runs. While it lives the
// program counts a check as running (iChecksRunning): it lets window events
// through and rewrites the tables, so the commands that use the encoder or
// the tables do nothing meanwhile, and the families and groups editors take
// no input (no click, key or wheel reaches their grids, lists, text boxes or
// buttons); the cancel box and any box the check shows still act.
//
// `editedMark` (bFamiliesEdited or bGroupsEdited) covers the edits made
// before the check starts: the check takes them off the mark, which is set
// again unless the check runs to its end, and an edit made while it runs
// sets it anew, so the next OK checks that edit.
class CheckProgress {
public:
    CheckProgress(const QString &boxText, bool &editedMark);
    ~CheckProgress();
    CheckProgress(const CheckProgress &) = delete;
    CheckProgress &operator=(const CheckProgress &) = delete;

    // Hourglass, bCancelRequested cleared, the box shown with the text.
    void show();
    // Lets pending window events run, then reads bCancelRequested.
    bool cancelRequested();
    // Closes the box and restores the pointer (once; later calls do nothing).
    void close();
    // The check ran to its end: the edits it started with are checked.
    void ranToEnd() { m_ranToEnd = true; }

private:
    QString m_text;
    bool m_shown = false;
    bool &m_edited;
    const bool m_editedBefore;
    bool m_ranToEnd = false;
    std::unique_ptr<QObject> m_editorInput;
};

// Marks on the grid of the editor that runs a check. Every call does nothing
// when there is no grid (a check run without the window) or once the window
// is gone, so the check's logic never needs to ask.
class GridMarks {
public:
    explicit GridMarks(platform::FlexGrid *grid = nullptr);
    platform::FlexGrid *grid() const;

    // The grid's current cell.
    void setRow(int row);
    void setCol(int col);
    // Makes (row, col) current, gives it `text` and the light cyan background.
    void markCorrected(int row, int col, const QString &text);
    // Makes (row, col) current and gives it `text` in grey (a derived value).
    void setDerived(int row, int col, const QString &text);

private:
    QPointer<platform::FlexGrid> m_grid;
};

// The closing box of a check: exclamation icon, OK only, lines joined by CR.
void ShowAdjustedBox(const QStringList &lines, const QString &title);

}  // namespace checks
