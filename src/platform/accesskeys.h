// Access keys: Alt with the letter that a caption marks with "&".
#pragma once

class QMenuBar;
class QToolBar;

namespace platform {

// Gives every button of `bar` whose caption marks an access key that key, so
// that Alt and the letter press the button while its window is active and
// the button is enabled. A letter that a menu of `menus` marks stays the
// menu's: that button gets no key.
void SetToolbarAccessKeys(QToolBar *bar, const QMenuBar *menus);

// Alt with a letter is a command key, never typing: a key that no command
// takes does nothing in a text box, list or grid of the program (Qt's own
// text boxes would take it as the bare letter). Installed once for the
// whole program; later calls do nothing.
void KeepAltKeysFromTyping();

}  // namespace platform
