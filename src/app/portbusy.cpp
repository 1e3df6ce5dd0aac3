#include "app/portbusy.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "link/exchange.h"
#include "transfer/matchclaim.h"

#include <QEvent>
#include <QList>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// the windows whose closing runs, innermost last
QList<const QWidget *> &closingWindows()
{
    static QList<const QWidget *> windows;
    return windows;
}

// how many of those closings wait on the encoder
int &closingsOnEncoder()
{
    static int count = 0;
    return count;
}

// Holds back the close box of a window whose closing runs: the window system
// would otherwise take the window down (ending a modal state) while its
// closing still waits, and the closing could not keep it open.
class CloseBoxFilter : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Close) {
            e->ignore();
            return true;
        }
        return QObject::eventFilter(watched, e);
    }
};

// The main window's close, put off while something ran, asked again.
void closeMainWindowLater()
{
    if (frmTerminal *w = forms::terminal())
        QTimer::singleShot(0, w, [w] { w->close(); });
}

// A close of the main window put off while a window's closing ran is asked
// again once none runs.
void closingEnded()
{
    if (!closingWindows().isEmpty() || !gRun.bCloseAfterClosing)
        return;
    gRun.bCloseAfterClosing = false;
    closeMainWindowLater();
}

}  // namespace

PortBusyGuard::PortBusyGuard() : m_acquired(!gRun.bPortBusy)
{
    if (m_acquired) {
        gRun.bPortBusy = true;
        gRun.bEditedDuringTransfer = false;
        StartEncoderRun();
    }
}

PortBusyGuard::~PortBusyGuard()
{
    if (!m_acquired)
        return;
    gRun.bPortBusy = false;
    // every run ends with the view's claim checked against what it shows
    CheckViewClaim();
    if (gRun.bExitAfterOperation)
        closeMainWindowLater();
}

bool Busy() { return gRun.bPortBusy || gRun.iChecksRunning > 0 || closingsOnEncoder() > 0; }

ClosingWaitGuard::ClosingWaitGuard(QWidget *window, WaitsOn waitsOn)
    : m_window(window), m_onEncoder(waitsOn == WaitsOn::Encoder)
{
    closingWindows().append(window);
    if (m_onEncoder)
        ++closingsOnEncoder();
    if (QWindow *handle = window->windowHandle()) {
        m_closeBoxFilter = std::make_unique<CloseBoxFilter>();
        handle->installEventFilter(m_closeBoxFilter.get());
    }
}

ClosingWaitGuard::~ClosingWaitGuard()
{
    m_closeBoxFilter.reset();
    closingWindows().removeOne(m_window);
    if (m_onEncoder)
        --closingsOnEncoder();
    closingEnded();
}

bool ClosingWaits(const QWidget *window)
{
    return window ? closingWindows().contains(window) : !closingWindows().isEmpty();
}
