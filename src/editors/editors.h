// The database and settings editors, as the main window opens them.
#pragma once

class QWidget;

// The grid editors: modeless, without owner; a single instance each,
// created on first use ("frmCfgFam", "frmCfgGroup", "frmCfgMsg").
void ShowFamiliesEditor();
void ShowGroupsEditor();
void ShowMessagesEditor();

// The settings dialogs: modal, owned by `owner`.
void ShowSerialPortSettings(QWidget *owner);  // "frmSettings_Main"
void ShowAccessCodeDialog(QWidget *owner);    // "frmPassword": opens what sAccessMode names
