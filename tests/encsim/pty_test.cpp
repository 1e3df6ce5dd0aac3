// The encoder on a real pseudo-terminal, talked to as the program's port does.
#include "tapframe.h"

#include "encsim/ptysimulator.h"
#include "support/ptypeer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QTest>
#include <gtest/gtest.h>

using namespace encsim;
using namespace encsim_test;

namespace {

// The program's side of the line, with plain POSIX calls.
class Port {
public:
    explicit Port(const QString &path)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd >= 0)
            setSpeed(B9600);
    }
    ~Port()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    void setSpeed(speed_t speed)
    {
        termios t{};
        ::tcgetattr(m_fd, &t);
        ::cfmakeraw(&t);
        ::cfsetspeed(&t, speed);
        ::tcsetattr(m_fd, TCSANOW, &t);
    }
    void send(const QByteArray &bytes) { ASSERT_EQ(::write(m_fd, bytes.constData(), size_t(bytes.size())), bytes.size()); }
    // Collects what arrives until it holds `until` or the time is up.
    QByteArray collect(const QByteArray &until, int timeoutMs)
    {
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs && (until.isEmpty() || !got.contains(until))) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
                char buf[512];
                const ssize_t n = ::read(m_fd, buf, sizeof buf);
                if (n > 0)
                    got.append(buf, int(n));
            }
        }
        return got;
    }
    int fd() const { return m_fd; }

private:
    int m_fd = -1;
};

}  // namespace

TEST(PtySimulator, DetectionAndARecordOverTheLine)
{
    PtySimulator sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.errorString());
    EXPECT_TRUE(sim.slavePath().startsWith(QStringLiteral("/dev/pts/")));
    Port port(sim.slavePath());
    ASSERT_TRUE(port.isOpen());

    port.send("#PrgmMode#\r");
    EXPECT_TRUE(port.collect("9600 baud\r\n", 2000).contains("TAP"));
    port.send("ATI\r\r");
    EXPECT_EQ(port.collect("ID=", 2000), QByteArray("Quorvane Paging Encoder v8.2.6\r\nID="));
    port.send(program("M 3 \"ON THE LINE\""));
    EXPECT_EQ(port.collect(kRecordAck, 2000), kRecordAck);
    port.send(request("M 3"));
    EXPECT_EQ(port.collect("\r\n", 2000), QByteArray("M 3 \"ON THE LINE\"\r\n"));

    EXPECT_EQ(sim.database().messages[2], QStringLiteral("ON THE LINE"));
    const QList<Exchange> log = sim.exchanges();
    ASSERT_EQ(log.size(), 4);
    EXPECT_EQ(log[1].received, QByteArray("ATI\r\r"));
    EXPECT_EQ(sim.bytesReceived(), qint64(11 + 5 + program("M 3 \"ON THE LINE\"").size() + request("M 3").size()));
    // the simulator counts a write just after the bytes left it
    const qint64 sent = 44 + 35 + 2 + 19;
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim.bytesSent() >= sent; }, 2000));
    EXPECT_EQ(sim.bytesSent(), sent);
    EXPECT_EQ(sim.portSpeed(), 9600);
}

// Tests hold the program's reply time-outs while the simulator is not idle:
// it is not idle from the moment the program's write returns, though the
// kernel may not have handed the bytes over yet, until its answer is read.
TEST(PtySimulator, IdleOnlyOnceEveryByteIsAnsweredAndTheAnswerRead)
{
    PtySimulator sim;
    ASSERT_TRUE(sim.start());
    Port port(sim.slavePath());
    ASSERT_TRUE(port.isOpen());
    EXPECT_TRUE(sim.idle());
    for (int i = 0; i < 20; ++i) {
        const qint64 sent = sim.bytesSent();
        port.send("ATI\r\r");
        EXPECT_FALSE(sim.idle()) << "right after write " << i;
        ASSERT_TRUE(QTest::qWaitFor([&] { return sim.bytesSent() > sent; }, 5000));
        EXPECT_FALSE(sim.idle()) << "answer unread " << i;
        EXPECT_TRUE(port.collect("ID=", 5000).endsWith("ID="));
        EXPECT_TRUE(QTest::qWaitFor([&] { return sim.idle(); }, 5000)) << i;
    }
}

TEST(PtySimulator, BytesAtAnotherSpeedAreNotUnderstood)
{
    Config c;
    c.pagingSpeed = 2400;
    PtySimulator sim(c);
    ASSERT_TRUE(sim.start());
    Port port(sim.slavePath());
    ASSERT_TRUE(port.isOpen());

    port.send("#PrgmMode#\r");   // at 9600
    EXPECT_EQ(port.collect(QByteArray(), 300), QByteArray());
    // the simulator takes the bytes on its own thread, before the speed changes
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim.bytesDiscarded() >= 11; }));
    EXPECT_EQ(sim.exchangeCount(), 0);
    EXPECT_EQ(sim.bytesDiscarded(), 11);

    port.setSpeed(B2400);
    port.send("#PrgmMode#\r");
    EXPECT_TRUE(port.collect("9600 baud", 2000).contains("TAP"));
    // the encoder now listens at 9600 only
    port.send("ATI\r\r");
    EXPECT_EQ(port.collect(QByteArray(), 300), QByteArray());
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim.bytesDiscarded() >= 11 + 5; }));
    port.setSpeed(B9600);
    port.send("ATI\r\r");
    EXPECT_TRUE(port.collect("ID=", 2000).endsWith("ID="));
}

TEST(PtySimulator, NoiseAtTheWrongSpeedWhenAsked)
{
    PtyOptions o;
    o.garbageAtWrongSpeed = true;
    PtySimulator sim(Config(), o);
    ASSERT_TRUE(sim.start());
    Port port(sim.slavePath());
    port.setSpeed(B1200);
    port.send("ATI\r\r");
    // the first noise, whenever the simulator's thread sends it, and what
    // follows it within a while
    QByteArray noise;
    QElapsedTimer t;
    t.start();
    while (noise.isEmpty() && t.elapsed() < 5000)
        noise = port.collect(QByteArray(), 20);
    noise += port.collect(QByteArray(), 300);
    EXPECT_FALSE(noise.isEmpty());
    EXPECT_FALSE(noise.contains('\r'));
    EXPECT_EQ(sim.exchangeCount(), 0);
}

TEST(PtySimulator, PacedLineTakesTheWireTime)
{
    Config c;
    c.pagingSpeed = 1200;
    PtyOptions o;
    o.paced = true;
    PtySimulator sim(c, o);
    ASSERT_TRUE(sim.start());
    Port port(sim.slavePath());
    port.setSpeed(B1200);
    QElapsedTimer t;
    t.start();
    port.send("#PrgmMode#\r");
    const QByteArray reply = port.collect("baud\r\n", 3000);
    // 11 bytes in and 44 out at 120 characters a second: at least 458 ms
    EXPECT_EQ(reply, QByteArray("Entering TAP Programming Mode at 9600 baud\r\n"));
    EXPECT_GE(t.elapsed(), 450);
}

TEST(PtySimulator, HangUpDropsTheLine)
{
    Config c;
    c.startInProgrammingMode = true;
    PtySimulator sim(c);
    sim.addFault({FaultKind::HangUp, 2, 1, {}});
    ASSERT_TRUE(sim.start());
    Port port(sim.slavePath());
    port.send("config maxbatch?\r\n");
    EXPECT_EQ(port.collect("\r\n", 2000), QByteArray("10\r\n"));
    port.send("config maxbatch?\r\n");
    ASSERT_TRUE(sim.waitForExchanges(2, 2000));
    QElapsedTimer t;
    t.start();
    while (!sim.hungUp() && t.elapsed() < 2000)
        ::usleep(10000);
    ASSERT_TRUE(sim.hungUp());
    pollfd p{port.fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
    char buf[8];
    EXPECT_LE(::read(port.fd(), buf, sizeof buf), 0);
    sim.stop();
    sim.stop();
}

TEST(PtySimulator, SerialPortOfTheProgramCanTalkToIt)
{
    Config c;
    c.identify = IdentifyStyle::IdPrompt;
    PtySimulator sim(c);
    sim.setDatabase(Database::sample());
    ASSERT_TRUE(sim.start());

    const testing_support::DeviceLink link(sim.slavePath());
    QSerialPort port;
    port.setPortName(link.path());
    ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << qPrintable(port.errorString());
    ASSERT_TRUE(port.setBaudRate(9600));
    ASSERT_TRUE(port.setDataBits(QSerialPort::Data8));
    ASSERT_TRUE(port.setParity(QSerialPort::NoParity));

    auto exchange = [&](const QByteArray &out, const QByteArray &until) {
        port.write(out);
        port.waitForBytesWritten(1000);
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (!got.contains(until) && t.elapsed() < 2000) {
            port.waitForReadyRead(50);
            got += port.readAll();
        }
        return got;
    };
    EXPECT_TRUE(exchange("ATI\r\r", "ID=").contains("Encoder v8.2.6\r"));
    EXPECT_TRUE(exchange("#PrgmMode#", "9600 baud").startsWith("Entering TAP"));
    EXPECT_EQ(exchange(request("G 2"), "\r\n"), QByteArray("G 2 1 0020000 1 N 0 005 2000 00 02\r\n"));
    EXPECT_EQ(exchange("LOOKUP 1009\r\n", "\r\n"),
              QByteArray("ID 1009 capcode 0012009, msg enc:A, baud:512 func bits:11\r\n"));
    port.close();

    // the program closes and opens its port again: the line is still served
    ASSERT_TRUE(port.open(QIODevice::ReadWrite));
    port.setBaudRate(9600);
    EXPECT_EQ(exchange("config serial1 protocol?\r\n", "\r\n"), QByteArray("TAP\r\n"));
}
