#include "support/ptypeer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace testing_support {

DeviceLink::DeviceLink(const QString &device)
{
    static int count = 0;
    const QString dir = QDir::temp().filePath(QStringLiteral("devices"));
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(QStringLiteral("port%1").arg(++count));
    QFile::remove(path);
    if (QFile::link(device, path))
        m_path = path;
}

DeviceLink::~DeviceLink()
{
    if (!m_path.isEmpty())
        QFile::remove(m_path);
}

PtyPeer::PtyPeer()
{
    termios raw {};
    cfmakeraw(&raw);
    cfsetispeed(&raw, B9600);
    cfsetospeed(&raw, B9600);
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    m_link = std::make_unique<DeviceLink>(QString::fromLocal8Bit(name));
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

PtyPeer::~PtyPeer()
{
    closeMaster();
    if (m_slave >= 0)
        ::close(m_slave);
}

void PtyPeer::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

QByteArray PtyPeer::readNow()
{
    QByteArray out;
    if (m_master < 0)
        return out;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            out.append(buf, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    return out;
}

QByteArray PtyPeer::readUntil(const QByteArray &marker, int timeoutMs)
{
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        // the program's writes leave its queue only while messages are handled
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        out += readNow();
        if (!marker.isEmpty() && out.contains(marker))
            break;
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0 || m_master < 0)
            break;
        pollfd p {m_master, POLLIN, 0};
        ::poll(&p, 1, int(std::min<qint64>(left, 5)));
    }
    return out;
}

QByteArray PtyPeer::read(int waitMs) { return readUntil(QByteArray(), waitMs); }

bool PtyPeer::write(const QByteArray &bytes)
{
    if (m_master < 0)
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                pollfd p {m_master, POLLOUT, 0};
                ::poll(&p, 1, 10);
                continue;
            }
            return false;
        }
        done += n;
    }
    return true;
}

void PtyPeer::writeAfter(int delayMs, const QByteArray &bytes)
{
    QTimer::singleShot(delayMs, Qt::PreciseTimer, &m_timers, [this, bytes] { write(bytes); });
}

int PtyPeer::speed() const
{
    termios t {};
    if (m_master < 0 || ::tcgetattr(m_master, &t) != 0)
        return -1;
    switch (cfgetospeed(&t)) {
    case B50: return 50;
    case B75: return 75;
    case B110: return 110;
    case B134: return 134;
    case B150: return 150;
    case B200: return 200;
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B1800: return 1800;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    default: return -1;
    }
}

}  // namespace testing_support
