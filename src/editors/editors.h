// The database and settings editors, as the main window opens them.
#pragma once

class QWidget;

// The grid editors: modeless, without owner; a single instance each,
// created on first use ("frmCfgFam", "frmCfgGroup", "frmCfgMsg").
void ShowFamiliesEditor();
void ShowGroupsEditor();
void ShowMessagesEditor();
// Every command that rewrites the pager database tables as a whole (a file
// opened, New Database, a read from the encoder, whether it ended well or
// not) calls this once they are written: each grid editor that is open
// shows them afresh, as its load step fills them, with its in-cell editor
// on the new text, so that nothing the user goes on typing there stores
// what the grid showed before.
void ShowTablesAfreshInOpenEditors();
// The capcode step (increment by 8) changed while the tables stayed: the
// families editor, if open, shows its label and every End Capcode by the new
// step, through the same refill as above.
void ShowCapcodeStepInOpenEditors();

// The settings dialogs: modal, owned by `owner`.
void ShowSerialPortSettings(QWidget *owner);  // "frmSettings_Main"
void ShowAccessCodeDialog(QWidget *owner);    // "frmPassword": opens what sAccessMode names
