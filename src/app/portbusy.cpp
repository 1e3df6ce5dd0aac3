#include "app/portbusy.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"

#include <QTimer>

namespace {

// The main window's close, put off while something ran, asked again.
void closeMainWindowLater()
{
    if (frmTerminal *w = forms::terminal())
        QTimer::singleShot(0, w, [w] { w->close(); });
}

}  // namespace

PortBusyGuard::PortBusyGuard() : m_acquired(!gRun.bPortBusy)
{
    if (m_acquired) {
        gRun.bPortBusy = true;
        gRun.bEditedDuringTransfer = false;
    }
}

PortBusyGuard::~PortBusyGuard()
{
    if (!m_acquired)
        return;
    gRun.bPortBusy = false;
    if (gRun.bExitAfterOperation)
        closeMainWindowLater();
}

bool Busy() { return gRun.bPortBusy || gRun.iChecksRunning > 0; }

EditorClosingGuard::EditorClosingGuard() { ++gRun.iEditorsClosing; }

EditorClosingGuard::~EditorClosingGuard()
{
    if (--gRun.iEditorsClosing > 0 || !gRun.bCloseAfterEditor)
        return;
    gRun.bCloseAfterEditor = false;
    closeMainWindowLater();
}

bool EditorClosing() { return gRun.iEditorsClosing > 0; }
