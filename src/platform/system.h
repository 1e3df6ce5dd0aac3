// Small services of the operating system the program relies on: timers,
// the pause of the wait loops, the settings store, the shell, folders.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class QWidget;

namespace platform {

// ---- test clock --------------------------------------------------------
// Every timer interval and pause is multiplied by this factor (1 in the
// program); tests that must wait out long time-outs shorten it.
void SetTimeScale(double scale);
double TimeScale();
int ScaledMs(int ms);

// ---- one-shot timers ---------------------------------------------------
// A window timer: while enabled it fires after Interval() ms. Enabling a
// disabled timer starts a full interval. The handler usually disables it,
// which makes it one-shot. An interval of 0 does not leave a wait unbounded:
// the timer then runs for its design interval.
class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(int designIntervalMs, QObject *parent = nullptr);
    int Interval() const { return m_interval; }
    void setInterval(int ms);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool on);
    int designInterval() const { return m_design; }
signals:
    void fired();
private:
    void start();
    QTimer m_timer;
    int m_interval;
    int m_design;
    bool m_enabled = false;
};

// ---- pause and event pump ----------------------------------------------
// Processes every pending window message.
void DoEvents();
// The pause of a wait loop: waits up to `ms`, handling window messages all
// the while; ends early when WakePause() is called (input arrived).
void Sleep(int ms);
void WakePause();
// How many pauses have ended since the program started. A wait loop tests
// what it waits for once after each pause, so the count tells after how many
// tests a wait ended.
int PausesEnded();

// ---- mouse pointer -----------------------------------------------------
void SetHourglass();
void SetDefaultPointer();

// ---- per-user settings store -------------------------------------------
// Addressed by the application title, a section and a key; a missing key
// reads as the empty text.
QString GetSetting(const QString &section, const QString &key);
void SaveSetting(const QString &section, const QString &key, const QString &value);

// ---- shell -------------------------------------------------------------
// Asks the desktop to open a document or web address; the result is not
// examined. Tests replace the handler to read what was asked.
void ShellOpen(const QString &target);
void SetShellHandler(std::function<void(const QString &)> handler);

// ---- folders -----------------------------------------------------------
// The program's own folder ("setup.ini" is read there).
QString AppPath();
void SetAppPath(const QString &path);  // tests point it at a temporary folder
// Where the program writes files of its own: the program's folder when it is
// writable, else the per-user data folder.
QString WritableAppPath();

// ---- single instance ---------------------------------------------------
// True when another copy of the program already runs for this user.
bool AnotherInstanceRunning();
// Gives up this program's claim (at the end of the process).
void ReleaseSingleInstance();

// ---- windows -----------------------------------------------------------
void KeepOnTop(QWidget *w);
void CentreOnScreen(QWidget *w);

}  // namespace platform
