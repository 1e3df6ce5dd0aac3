#include "platform/system.h"

#include "platform/dialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLockFile>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>
#include <memory>

namespace platform {

// ---- test clock --------------------------------------------------------
namespace {
double g_timeScale = 1.0;
}

void SetTimeScale(double scale) { g_timeScale = scale > 0 ? scale : 1.0; }
double TimeScale() { return g_timeScale; }
int ScaledMs(int ms)
{
    if (ms <= 0)
        return 0;
    const int scaled = int(ms * g_timeScale);
    return scaled < 1 ? 1 : scaled;
}

// ---- timers ------------------------------------------------------------
Timer::Timer(int designIntervalMs, QObject *parent)
    : QObject(parent), m_interval(designIntervalMs), m_design(designIntervalMs)
{
    m_timer.setParent(this);  // the window timer owns its clock
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        // like a window timer it keeps firing every interval until disabled
        if (m_enabled)
            start();
        emit fired();
    });
}

void Timer::start()
{
    const int ms = m_interval > 0 ? m_interval : m_design;
    m_timer.start(ScaledMs(ms));
}

void Timer::setInterval(int ms)
{
    m_interval = ms < 0 ? 0 : ms;
    if (m_enabled)
        start();
}

void Timer::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    if (on)
        start();
    else
        m_timer.stop();
}

// ---- pause -------------------------------------------------------------
namespace {
QEventLoop *g_pauseLoop = nullptr;
int g_pausesEnded = 0;
}

void DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void Sleep(int ms)
{
    QEventLoop loop;
    QEventLoop *outer = g_pauseLoop;
    g_pauseLoop = &loop;
    QTimer::singleShot(ScaledMs(ms), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    g_pauseLoop = outer;
    ++g_pausesEnded;
}

void WakePause()
{
    if (g_pauseLoop)
        g_pauseLoop->quit();
}

int PausesEnded() { return g_pausesEnded; }

// ---- pointer -----------------------------------------------------------
void SetHourglass()
{
    if (!QApplication::overrideCursor())
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void SetDefaultPointer()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

// ---- settings ----------------------------------------------------------
namespace {
std::unique_ptr<QSettings> settingsFor(const QString &section)
{
    auto s = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, AppTitle());
    s->beginGroup(section);
    return s;
}
}  // namespace

QString GetSetting(const QString &section, const QString &key)
{
    return settingsFor(section)->value(key).toString();
}

void SaveSetting(const QString &section, const QString &key, const QString &value)
{
    auto s = settingsFor(section);
    s->setValue(key, value);
    s->sync();
}

// ---- shell -------------------------------------------------------------
namespace {
std::function<void(const QString &)> &shellHandler()
{
    static std::function<void(const QString &)> h;
    return h;
}
}  // namespace

void ShellOpen(const QString &target)
{
    if (shellHandler()) {
        shellHandler()(target);
        return;
    }
    const QUrl url = target.contains(QStringLiteral("://"))
                         ? QUrl(target)
                         : QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
    QDesktopServices::openUrl(url);
}

void SetShellHandler(std::function<void(const QString &)> handler) { shellHandler() = std::move(handler); }

// ---- folders -----------------------------------------------------------
namespace {
QString &appPathOverride()
{
    static QString p;
    return p;
}
}  // namespace

QString AppPath()
{
    if (!appPathOverride().isEmpty())
        return appPathOverride();
    return QCoreApplication::applicationDirPath();
}

void SetAppPath(const QString &path) { appPathOverride() = path; }

QString WritableAppPath()
{
    const QString app = AppPath();
    const QFileInfo info(app);
    if (info.isDir() && info.isWritable())
        return app;
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (data.isEmpty())
        data = QDir::homePath();
    QDir().mkpath(data);
    return data;
}

// ---- single instance ---------------------------------------------------
namespace {
std::unique_ptr<QLockFile> &instanceLock()
{
    static std::unique_ptr<QLockFile> lock;
    return lock;
}
}  // namespace

void ReleaseSingleInstance() { instanceLock().reset(); }

bool AnotherInstanceRunning()
{
    std::unique_ptr<QLockFile> &lock = instanceLock();
    if (lock)
        return false;  // this process holds it already
    // the user's own runtime folder: a copy run by another user of the
    // machine, or a lock file another user left behind, stops nobody else
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) {
        dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        QDir().mkpath(dir);
    }
    auto candidate = std::make_unique<QLockFile>(dir + QStringLiteral("/qvsetup-instance.lock"));
    candidate->setStaleLockTime(0);
    if (candidate->tryLock(0)) {
        lock = std::move(candidate);
        return false;
    }
    return true;
}

// ---- windows -----------------------------------------------------------
void KeepOnTop(QWidget *w)
{
    if (!w)
        return;
    if (!(w->windowFlags() & Qt::WindowStaysOnTopHint)) {
        const bool visible = w->isVisible();
        w->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        if (visible)
            w->show();
    }
    w->raise();
}

void CentreOnScreen(QWidget *w)
{
    if (!w)
        return;
    QScreen *screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect avail = screen->geometry();
    const QSize size = w->frameGeometry().size();
    w->move(avail.left() + (avail.width() - size.width()) / 2, avail.top() + (avail.height() - size.height()) / 2);
}

}  // namespace platform
