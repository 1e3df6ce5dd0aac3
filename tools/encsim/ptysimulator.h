// The simulated encoder on a pseudo-terminal: the program opens slavePath()
// as its serial port; a thread of our own reads the master side, hands the
// bytes to an Encoder and writes its answers back.
#pragma once

#include "encsim/encoder.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace encsim {

struct PtyOptions {
    // Pace the line as a real one: every byte written takes 10 bits at the
    // encoder's speed, and received bytes are only acted on after their own
    // time on the wire. Off: answers go out at once.
    bool paced = false;
    // At a speed other than the encoder's, a real encoder sees noise. Off: it
    // answers nothing; on: it answers noise.
    bool garbageAtWrongSpeed = false;
};

class PtySimulator {
public:
    explicit PtySimulator(const Config &config = Config(), const PtyOptions &options = PtyOptions());
    ~PtySimulator();
    PtySimulator(const PtySimulator &) = delete;
    PtySimulator &operator=(const PtySimulator &) = delete;

    // Opens the pseudo-terminal and starts serving; false with errorString() on failure.
    bool start();
    // Stops the thread and closes the pseudo-terminal. Safe to call twice.
    void stop();
    bool isRunning() const { return m_thread.joinable(); }
    QString slavePath() const { return m_slavePath; }
    QString errorString() const { return m_error; }

    // Closes the master side now, as a cable pulled out: the program's port
    // errors and the device's name is gone (its number stays taken until stop()).
    void hangUp();
    bool hungUp() const;

    // Runs f on the encoder under the lock (read or change anything).
    template <typename F>
    auto withEncoder(F &&f)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return f(m_encoder);
    }
    Encoder encoder() const;   // a copy
    Database database() const;
    void setDatabase(const Database &db);
    QString setting(const QString &key) const;
    void setSetting(const QString &key, const QString &value);
    void addFault(const Fault &fault);
    // Sends what HeldBack faults kept, from the simulator's thread, as a late
    // answer: after the program's wait for it has ended, when the test says.
    void releaseHeldBack();
    void setIdentifyStyle(IdentifyStyle style);
    Mode mode() const;

    QList<Exchange> exchanges() const;
    int exchangeCount() const;
    // Waits until at least `count` exchanges have been received.
    bool waitForExchanges(int count, int timeoutMs) const;

    qint64 bytesReceived() const;    // everything read from the line
    qint64 bytesSent() const;        // everything written to the line
    qint64 bytesDiscarded() const;   // received at a speed the encoder was not listening at
    int portSpeed() const;           // the program's line speed when its last bytes arrived (0: none yet)

    // True when the simulator owes nothing: it has read and answered every byte
    // the program wrote, and the program has taken every answer off the line.
    // Tests hold a reply time-out back while it is false.
    bool idle() const;

    // Called on the simulator's thread for every new exchange, outside the lock.
    void setObserver(std::function<void(const Exchange &)> observer);

private:
    void run();
    int readPortSpeed() const;
    bool sleepUntil(std::chrono::steady_clock::time_point when);
    void writeOut(const QByteArray &bytes, int speed);
    bool writeAll(const char *data, qint64 size);
    void closeMaster();
    void closeFds();

    PtyOptions m_options;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    Encoder m_encoder;
    std::function<void(const Exchange &)> m_observer;

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_hangUpRequested{false};
    std::atomic<bool> m_releaseRequested{false};
    // odd from the read of some bytes (or the release of a held-back answer)
    // to the end of their answer; counts up at both
    std::atomic<unsigned> m_work{0};
    bool m_hungUp = false;
    int m_master = -1;
    int m_slave = -1;       // kept open so the master never sees the line drop between the program's opens
    int m_wake[2] = {-1, -1};
    QString m_slavePath;
    QString m_error;

    qint64 m_bytesReceived = 0;
    qint64 m_bytesSent = 0;
    qint64 m_bytesDiscarded = 0;
    int m_portSpeed = 0;
    std::chrono::steady_clock::time_point m_inFreeAt;    // paced: when the bytes received so far have all arrived
    std::chrono::steady_clock::time_point m_outFreeAt;   // paced: when the answer being sent has left
};

}  // namespace encsim
