// The far end of a serial link for tests: a pseudo-terminal pair whose slave
// the program opens as its port, while the test reads what the program wrote
// and writes the replies on the master.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace testing_support {

// A name of this test program's own for a device: a symbolic link in the
// program's temporary folder, removed with this object. The serial port locks
// a device under the name it is opened by, in a lock folder that every
// process on the machine shares, and the kernel hands a freed pseudo-terminal
// number to the next pseudo-terminal opened anywhere: opened by its /dev/pts
// name, a test's port could find that name still locked by another test
// program that had the same number a moment before, and be refused.
class DeviceLink {
public:
    explicit DeviceLink(const QString &device);
    ~DeviceLink();
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;
    QString path() const { return m_path; }

private:
    QString m_path;
};

class PtyPeer {
public:
    PtyPeer();   // opens the pair; check isOpen()
    ~PtyPeer();  // closes the master (the device goes away)
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    bool isOpen() const { return m_master >= 0 && !slavePath().isEmpty(); }
    // What the program opens: a DeviceLink to the slave.
    QString slavePath() const { return m_link ? m_link->path() : QString(); }

    // Everything the program writes within `waitMs`; the program's window
    // messages are handled meanwhile so that its queued writes go out.
    QByteArray read(int waitMs = 200);
    // Reads until what arrived holds `marker` or `timeoutMs` passed; returns
    // all that arrived. The bound is for a busy machine: the wait ends when
    // the marker arrives.
    QByteArray readUntil(const QByteArray &marker, int timeoutMs = 5000);
    // Reads whatever has arrived at once, without waiting.
    QByteArray readNow();

    // Sends bytes to the program now, or after `delayMs` (a timer that fires
    // while the program handles its window messages, e.g. in a wait loop).
    bool write(const QByteArray &bytes);
    void writeAfter(int delayMs, const QByteArray &bytes);

    // The line speed the program set, in bit/s (-1: not a standard speed).
    int speed() const;

    // The device goes away: the program's next read of the port fails.
    void closeMaster();

private:
    int m_master = -1;
    int m_slave = -1;  // kept open so the master reads no end-of-file while the program's port is closed
    std::unique_ptr<DeviceLink> m_link;
    QObject m_timers;  // owner of pending delayed writes; they die with the peer
};

}  // namespace testing_support
