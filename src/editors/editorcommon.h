// What every editor shares: the cell colours and the marking of a change.
#pragma once

#include <QColor>

namespace editor_colours {
inline const QColor Green(0, 255, 0);          // Active cell reading "ON"
inline const QColor Red(255, 0, 0);            // Active cell reading "OFF"
inline const QColor Ivory(255, 255, 245);      // active, complete record; a message with text
inline const QColor Magenta(255, 0, 255);      // missing or invalid value; active but incomplete
inline const QColor LightGrey(192, 192, 192);  // inactive but complete record; empty message
inline const QColor DarkGrey(128, 128, 128);   // derived text; inactive, incomplete record
inline const QColor LightCyan(0, 255, 255);    // a field a check corrected
}  // namespace editor_colours

enum class EditorKind { Grid, SettingsDialog };

// What changed the tables or settings the view shows.
enum class ViewChange {
    GridEdit,      // the user's change in a grid editor
    SettingsEdit,  // the user's change in a settings dialog
    // a step the program ran on the view: a check's correction, an editor's
    // erasing of an incomplete record, a COMP1 rule that set a port to TAP
    ProgramMade,
};

// The one marking step for every change to the view. During a transfer the
// change is recorded, so the run cannot end with the view matching the
// encoder. Then the view is marked modified (MarkConfigModified), except:
//  - a user's change while the program fills controls itself (bLoading)
//    is none;
//  - a grid editor's change while the program rewrites the tables
//    (bNoModifiedStatus) is only recorded;
//  - a program-made change marks only a view that matched the encoder (one
//    that did not keeps its status line) and nothing once the program is
//    leaving.
void MarkViewChanged(ViewChange change);

// A user's change in an editor of `kind`.
inline void EditorChanged(EditorKind kind)
{
    MarkViewChanged(kind == EditorKind::Grid ? ViewChange::GridEdit : ViewChange::SettingsEdit);
}
