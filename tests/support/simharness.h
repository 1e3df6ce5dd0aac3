// The program against a simulated encoder: a pseudo-terminal served by the
// encoder simulator, with COM n pointed at it, and the program started with
// AppFixture. Tests of everything that talks to the encoder build on it.
#pragma once

#include "encsim/simulator.h"
#include "support/appfixture.h"
#include "support/ptypeer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class frmTerminal;
class QIODevice;
class QWidget;

namespace testing_support {

// Points the environment variable of port number n at a device while it
// lives, and puts the previous value back afterwards.
class PortMapping {
public:
    PortMapping(int port, const QString &device);
    ~PortMapping();
    PortMapping(const PortMapping &) = delete;
    PortMapping &operator=(const PortMapping &) = delete;

private:
    QByteArray m_var;
    QByteArray m_old;
};

// Holds the program's reply waits back while a simulated encoder still owes
// something: bytes it has not read or answered yet, or an answer the program
// has not taken off the line. The waits held are the reply time-out of every
// encoder command and, while a page is under way, the tick its engine waits
// on. A shortened wait then does not run out on a simulator thread that a
// loaded machine let fall behind, and one meant to run out still does as soon
// as the simulator is done: each time it comes due with the simulator busy,
// it runs once more (at most 30 s in all). A paced simulator owes its answer
// until the answer has crossed the line.
class ReplyTimeOutGuard : public QObject {
public:
    explicit ReplyTimeOutGuard(const encsim::PtySimulator *sim);
    ~ReplyTimeOutGuard() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Hold {
        QElapsedTimer since;  // since the wait first came due, while held
        QElapsedTimer lastHeld;
    };
    // The bytes waiting in the program's port, unread.
    qint64 watchPort();

    const encsim::PtySimulator *m_sim;
    QHash<const QObject *, Hold> m_holds;
    QPointer<QIODevice> m_port;
    bool m_arrived = false;  // the port took bytes in since a wait was last held for them
};

// A simulated encoder on its own pseudo-terminal, reachable as COM n through
// a DeviceLink; the program's reply waits wait for it (ReplyTimeOutGuard).
class SimulatedEncoder {
public:
    SimulatedEncoder(int port, const encsim::Config &config = encsim::Config(),
                     const encsim::PtyOptions &options = encsim::PtyOptions());
    ~SimulatedEncoder();

    bool ok() const { return m_ok; }
    encsim::PtySimulator &sim() { return *m_sim; }
    // The bytes of every exchange the encoder took, in order.
    QList<QByteArray> received() const;
    // The same, joined.
    QByteArray wire() const;

private:
    std::unique_ptr<encsim::PtySimulator> m_sim;
    std::unique_ptr<DeviceLink> m_link;
    std::unique_ptr<PortMapping> m_mapping;
    std::unique_ptr<ReplyTimeOutGuard> m_guard;
    bool m_ok = false;
};

// Records the cancel box's line each time it changes, while it lives.
class CancelBoxWatcher {
public:
    CancelBoxWatcher();
    ~CancelBoxWatcher();
    QStringList texts() const { return m_texts; }

private:
    QObject *m_timer;
    QStringList m_texts;
};

// Runs `action` once, `afterMs` from now, on the first pass of the message
// loop that finds `ready` true (checked every 10 ms); gives up after 30 s.
void RunWhen(std::function<bool()> ready, std::function<void()> action, int afterMs = 0);

// Drops every RunWhen action that has not run yet (the fixture does it at
// the end of each test, so that none reaches the next one).
void DropPendingActions();

// Presses Cancel in the cancel box as soon as it shows, after `afterMs`.
void PressCancelWhenShown(int afterMs = 0);

// Closes `window` as its close box does: the close goes through the window
// system, which takes the window down once the close is accepted.
void PressCloseBox(QWidget *window);

class SimAppFixture : public AppFixture {
protected:
    void TearDown() override;

    // Starts a simulated encoder on COM `port` (stored as the port in use),
    // then the program, and closes the splash.
    frmTerminal *startWithEncoder(const encsim::Config &config = encsim::Config(), int port = 1,
                                  const encsim::PtyOptions &options = encsim::PtyOptions());
    // Starts the program with COM `port` mapped to `device`.
    frmTerminal *startWithDevice(const QString &device, int port = 1);

    // Opens (or closes) the port with the port button, as the user does; the
    // search runs before it returns.
    void clickPortButton();
    // Answers the boxes that follow a successful search: the detected box,
    // then No to the read question (the shown view no longer matches).
    void answerDetectedAndDeclineRead();

    std::unique_ptr<SimulatedEncoder> encoder;
    std::unique_ptr<PortMapping> mapping;
    frmTerminal *w = nullptr;
};

}  // namespace testing_support
