#include "encsim/ptysimulator.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace encsim {

namespace {

using Clock = std::chrono::steady_clock;

// One character on an 8N1 line is 10 bits: start, 8 data, stop.
Clock::duration byteTime(int speed)
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(10.0 / (speed > 0 ? speed : 9600)));
}

int speedValue(speed_t s)
{
    switch (s) {
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    default: return 0;
    }
}

const QByteArray kNoise = QByteArray("\xf8\x80\x7f\xfe\x9c\xe0\x1f\xff", 8);

// True when a read of `fd` would find bytes. Unlike FIONREAD, poll() first
// hands the terminal the bytes the kernel still holds on their way from the
// other side, which a busy machine may hold there for tens of milliseconds.
bool readable(int fd)
{
    if (fd < 0)
        return false;
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

}  // namespace

PtySimulator::PtySimulator(const Config &config, const PtyOptions &options)
    : m_options(options), m_encoder(config)
{
}

PtySimulator::~PtySimulator()
{
    stop();
}

bool PtySimulator::start()
{
    if (isRunning())
        return true;
    char name[128] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_error = QStringLiteral("openpty: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // raw line at 9600 until the program sets its own; no echo of our answers
    termios tio{};
    ::tcgetattr(m_slave, &tio);
    ::cfmakeraw(&tio);
    ::cfsetspeed(&tio, B9600);
    ::tcsetattr(m_slave, TCSANOW, &tio);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_error = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        closeFds();
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    m_stop = false;
    m_hangUpRequested = false;
    m_hungUp = false;
    m_inFreeAt = m_outFreeAt = Clock::now();
    m_thread = std::thread([this] { run(); });
    return true;
}

void PtySimulator::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_wake[1] >= 0) {
        const char c = 's';
        [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &c, 1);
    }
    if (m_thread.joinable())
        m_thread.join();
    closeFds();
    for (int &fd : m_wake) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void PtySimulator::closeMaster()
{
    // the slave stays open until stop(): the device's name is gone with the
    // master, but its number is not handed to the next pseudo-terminal opened
    // on the machine while the program may still open the old name; under
    // the lock, as idle() looks at the master from the test's thread
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

void PtySimulator::closeFds()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = -1;
    m_slave = -1;
}

void PtySimulator::hangUp()
{
    if (!isRunning()) {
        closeMaster();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_hungUp = true;
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_hangUpRequested = true;
    }
    m_changed.notify_all();
    const char c = 'h';
    [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &c, 1);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::seconds(5), [this] { return m_hungUp; });
}

bool PtySimulator::idle() const
{
    if (!isRunning() || m_hangUpRequested)
        return true;
    // a held-back answer to send counts as work; the run marks its work
    // before it clears the request
    if (m_releaseRequested)
        return false;
    const unsigned work = m_work.load();
    if (work & 1u)
        return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (readable(m_master))
            return false;  // the program's bytes, not read yet
        if (readable(m_slave))
            return false;  // an answer the program has not read yet
    }
    // bytes read and answered while the two sides were looked at
    return m_work.load() == work;
}

bool PtySimulator::hungUp() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_hungUp;
}

Encoder PtySimulator::encoder() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_encoder;
}

Database PtySimulator::database() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_encoder.database();
}

void PtySimulator::setDatabase(const Database &db)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_encoder.setDatabase(db);
}

QString PtySimulator::setting(const QString &key) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_encoder.setting(key);
}

void PtySimulator::setSetting(const QString &key, const QString &value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_encoder.setSetting(key, value);
}

void PtySimulator::addFault(const Fault &fault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_encoder.addFault(fault);
}

void PtySimulator::releaseHeldBack()
{
    m_releaseRequested = true;
    if (m_wake[1] >= 0) {
        const char c = 'r';
        [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &c, 1);
    }
}

void PtySimulator::setIdentifyStyle(IdentifyStyle style)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_encoder.setIdentifyStyle(style);
}

Mode PtySimulator::mode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_encoder.mode();
}

QList<Exchange> PtySimulator::exchanges() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_encoder.exchanges();
}

int PtySimulator::exchangeCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_encoder.exchangeCount();
}

bool PtySimulator::waitForExchanges(int count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_encoder.exchangeCount() >= count; });
}

qint64 PtySimulator::bytesReceived() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bytesReceived;
}

qint64 PtySimulator::bytesSent() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bytesSent;
}

qint64 PtySimulator::bytesDiscarded() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bytesDiscarded;
}

int PtySimulator::portSpeed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_portSpeed;
}

void PtySimulator::setObserver(std::function<void(const Exchange &)> observer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_observer = std::move(observer);
}

int PtySimulator::readPortSpeed() const
{
    // the master reports the line settings the program put on the slave
    termios tio{};
    if (::tcgetattr(m_master, &tio) != 0)
        return 0;
    return speedValue(::cfgetospeed(&tio));
}

bool PtySimulator::sleepUntil(Clock::time_point when)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_changed.wait_until(lock, when, [this] { return m_stop.load() || m_hangUpRequested.load(); });
}

bool PtySimulator::writeAll(const char *data, qint64 size)
{
    const auto giveUp = Clock::now() + std::chrono::seconds(2);
    qint64 done = 0;
    while (done < size && !m_stop && !m_hangUpRequested) {
        const ssize_t n = ::write(m_master, data + done, size_t(size - done));
        if (n > 0) {
            done += n;
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bytesSent += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        // nobody reads the port: its buffer is full; wait a little, then drop the rest
        if (Clock::now() > giveUp)
            return false;
        pollfd pfd{m_master, POLLOUT, 0};
        ::poll(&pfd, 1, 50);
    }
    return done == size;
}

void PtySimulator::writeOut(const QByteArray &bytes, int speed)
{
    if (!m_options.paced) {
        writeAll(bytes.constData(), bytes.size());
        return;
    }
    // each character reaches the other end once its last bit has been shifted out
    const auto step = byteTime(speed);
    auto due = std::max(Clock::now(), m_outFreeAt);
    for (const char c : bytes) {
        due += step;
        if (!sleepUntil(due))
            return;
        if (!writeAll(&c, 1))
            return;
    }
    m_outFreeAt = due;
}

void PtySimulator::run()
{
    char buffer[4096];
    while (!m_stop) {
        if (m_work.load() & 1u)
            ++m_work;
        if (m_hangUpRequested && !m_hungUp) {
            closeMaster();
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_hungUp = true;
            }
            m_changed.notify_all();
        }
        if (m_releaseRequested && m_master >= 0) {
            ++m_work;
            m_releaseRequested = false;
            QByteArray held;
            int speed = 0;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                held = m_encoder.takeHeldBack();
                speed = m_encoder.lineSpeed();
            }
            if (!held.isEmpty())
                writeOut(held, speed);
            continue;
        }
        pollfd fds[2] = {{m_wake[0], POLLIN, 0}, {m_master, POLLIN, 0}};
        const nfds_t count = m_master >= 0 ? 2 : 1;
        if (::poll(fds, count, 200) <= 0)
            continue;
        if (fds[0].revents & POLLIN) {
            char drain[16];
            while (::read(m_wake[0], drain, sizeof drain) > 0) {
            }
            continue;
        }
        if (count < 2)
            continue;
        if (!(fds[1].revents & POLLIN)) {
            if (fds[1].revents & (POLLHUP | POLLERR))
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        ++m_work;
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        const auto arrived = Clock::now();
        const QByteArray chunk(buffer, int(n));
        const int speed = readPortSpeed();
        int listening = 0;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bytesReceived += n;
            m_portSpeed = speed;
            listening = m_encoder.lineSpeed();
            if (speed != listening)
                m_bytesDiscarded += n;
        }
        if (speed != listening) {
            if (m_options.garbageAtWrongSpeed)
                writeOut(kNoise.left(int(std::min<ssize_t>(n, kNoise.size()))), listening);
            continue;
        }
        if (m_options.paced) {
            // act on the bytes only once the last of them has crossed the line
            const auto done = std::max(arrived, m_inFreeAt) + byteTime(speed) * n;
            m_inFreeAt = done;
            if (!sleepUntil(done))
                continue;
        }
        QByteArray reply;
        QList<Exchange> fresh;
        bool hang = false;
        std::function<void(const Exchange &)> observer;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            listening = m_encoder.lineSpeed();
            const qsizetype before = m_encoder.exchanges().size();
            reply = m_encoder.feed(chunk);
            hang = m_encoder.hangUpRequested();
            fresh = m_encoder.exchanges().mid(before);
            observer = m_observer;
        }
        m_changed.notify_all();
        if (observer) {
            for (const Exchange &ex : fresh)
                observer(ex);
        }
        if (!reply.isEmpty())
            writeOut(reply, listening);
        if (hang) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_hangUpRequested = true;
        }
    }
}

}  // namespace encsim
