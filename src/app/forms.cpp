#include "app/forms.h"

#include "app/frmcancelsend.h"
#include "app/frmterminal.h"

#include <QHash>
#include <QWidget>

namespace forms {

namespace {
QPointer<frmTerminal> g_terminal;
QPointer<frmCancelSend> g_cancel;
QHash<QByteArray, QPointer<QWidget>> &registry()
{
    static QHash<QByteArray, QPointer<QWidget>> r;
    return r;
}
}  // namespace

frmTerminal *terminal() { return g_terminal; }
void setTerminal(frmTerminal *w) { g_terminal = w; }

frmCancelSend *cancelSend()
{
    if (!g_cancel) {
        g_cancel = new frmCancelSend();
        registerWindow("frmCancelSend", g_cancel);
    }
    return g_cancel;
}

frmCancelSend *cancelSendIfLoaded() { return g_cancel; }

void unloadCancelSend() { unloadWindow("frmCancelSend"); }

void registerWindow(const char *name, QWidget *w) { registry()[QByteArray(name)] = w; }

QWidget *window(const char *name) { return registry().value(QByteArray(name)); }

bool unloadWindow(const char *name)
{
    QPointer<QWidget> w = registry().take(QByteArray(name));
    if (!w)
        return false;
    w->close();
    if (w)
        delete w.data();
    return true;
}

bool closeWindow(const char *name)
{
    QPointer<QWidget> w = window(name);
    if (!w)
        return true;
    if (!w->close())
        return false;
    registry().remove(QByteArray(name));
    if (w)
        delete w.data();
    return true;
}

}  // namespace forms
