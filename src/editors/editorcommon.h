// What every editor shares: the cell colours and the marking of a change.
#pragma once

#include "database/state.h"
#include "transfer/matchclaim.h"

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

// A user's change in an editor of `kind`.
inline void EditorChanged(EditorKind kind)
{
    MarkViewChanged(kind == EditorKind::Grid ? ViewChange::GridEdit : ViewChange::SettingsEdit);
}
