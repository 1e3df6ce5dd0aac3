// The single instance of each window, created on first use and released at
// shut-down. QPointer: a window that is gone reads as null.
#pragma once

#include <QPointer>

class frmTerminal;
class frmSplash;
class frmKDSplash;
class frmCancelSend;
class QWidget;

namespace forms {

frmTerminal *terminal();  // null before the splash loads the main window
void setTerminal(frmTerminal *w);

frmCancelSend *cancelSend();  // created on first use
frmCancelSend *cancelSendIfLoaded();
void unloadCancelSend();

// Windows of later parts of the program register themselves here by name so
// that the shut-down can unload them in its order ("frmMessageTest", ...).
void registerWindow(const char *name, QWidget *w);
QWidget *window(const char *name);
// Closes and releases the window if it is loaded; returns whether it was.
bool unloadWindow(const char *name);
// Closes the window as its close box does and releases it; false when its
// closing question kept it open (it stays loaded). True when not loaded.
bool closeWindow(const char *name);

}  // namespace forms
