// The serial port control over a real pseudo-terminal: what reaches the wire,
// what comes back, the settings texts and the port numbers.
#include "platform/serialport.h"
#include "platform/system.h"
#include "support/ptypeer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

using platform::SerialPort;
using testing_support::PtyPeer;

namespace {

// Points port number `n` at a device for the life of the object.
class PortOverride {
public:
    PortOverride(int n, const QString &path) : m_var("QV_COM" + QByteArray::number(n)), m_old(qgetenv(m_var.constData()))
    {
        m_had = qEnvironmentVariableIsSet(m_var.constData());
        qputenv(m_var.constData(), path.toLocal8Bit());
    }
    ~PortOverride()
    {
        if (m_had)
            qputenv(m_var.constData(), m_old);
        else
            qunsetenv(m_var.constData());
    }

private:
    QByteArray m_var;
    QByteArray m_old;
    bool m_had = false;
};

constexpr int kPort = 7;

class SerialPortOnPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(peer.isOpen());
        ASSERT_TRUE(port.setCommPort(kPort));
    }
    void open(const QString &settings = QStringLiteral("9600,n,8,1"))
    {
        ASSERT_TRUE(port.setSettings(settings)) << port.ErrorText().toStdString();
        ASSERT_TRUE(port.setPortOpen(true)) << port.ErrorText().toStdString();
    }

    PtyPeer peer;
    PortOverride over{kPort, peer.slavePath()};
    SerialPort port;
};

}  // namespace

// ---- settings texts ----------------------------------------------------

TEST(SerialPortSettings, AcceptsEveryFormTheProgramWritesAndReportsItInLowerCase)
{
    SerialPort port;
    EXPECT_EQ(port.Settings(), "9600,n,8,1");
    const std::pair<const char *, const char *> cases[] = {
        {"9600,n,8,1", "9600,n,8,1"}, {"9600,N,8,1", "9600,n,8,1"}, {"2400,E,7,1", "2400,e,7,1"},
        {"1200,e,7,1", "1200,e,7,1"}, {"300,o,7,1.5", "300,o,7,1.5"}, {"19200,m,5,2", "19200,m,5,2"},
        {"600,s,6,1", "600,s,6,1"},   {" 4800 , n , 8 , 1 ", "4800,n,8,1"}, {"09600,n,8,1", "9600,n,8,1"},
    };
    for (const auto &[given, reported] : cases) {
        EXPECT_TRUE(port.setSettings(QString::fromLatin1(given))) << given;
        EXPECT_EQ(port.Settings(), QString::fromLatin1(reported)) << given;
    }
}

TEST(SerialPortSettings, RefusesMalformedTextsAndKeepsThePreviousSettings)
{
    SerialPort port;
    ASSERT_TRUE(port.setSettings(QStringLiteral("2400,e,7,1")));
    const char *bad[] = {"",           "9600",       "9600,n,8",    "9600,n,8,1,1", "9600,,8,1",  "9600,x,8,1",
                         "9600,ne,8,1", "9600,n,9,1", "9600,n,4,1",  "9600,n,8,3",   "9600,n,8,0", "0,n,8,1",
                         "-9600,n,8,1", "abc,n,8,1",  "96 00,n,8,1", "9600,n,8,1.0", ",,,"};
    for (const char *text : bad) {
        EXPECT_FALSE(port.setSettings(QString::fromLatin1(text))) << text;
        EXPECT_EQ(port.Settings(), "2400,e,7,1") << text;
        EXPECT_TRUE(port.ErrorText().contains(QString::fromLatin1(text))) << port.ErrorText().toStdString();
    }
}

// ---- port numbers ------------------------------------------------------

TEST(SerialPortNumber, AcceptsOneUpwardsAndRefusesOutOfRange)
{
    SerialPort port;
    EXPECT_EQ(port.CommPort(), 1);
    EXPECT_TRUE(port.setCommPort(8));
    EXPECT_EQ(port.CommPort(), 8);
    for (int bad : {0, -1, 256}) {
        EXPECT_FALSE(port.setCommPort(bad)) << bad;
        EXPECT_EQ(port.ErrorText(), "Invalid port number");
        EXPECT_EQ(port.CommPort(), 8);
    }
}

TEST(SerialPortNumber, EnvironmentVariableNamesTheDeviceOfAPort)
{
    PortOverride over(12, QStringLiteral("/dev/pts/99"));
    EXPECT_EQ(SerialPort::DevicePath(12), "/dev/pts/99");
    EXPECT_EQ(SerialPort::DevicePath(0), QString());
}

TEST(SerialPortNumber, PresentDevicesAreNumberedAdaptersFirstThenModemsThenOnBoardInNumericOrder)
{
    const QStringList found = {"/dev/ttyS10",  "/dev/ttyS2",   "/dev/ttyUSB10", "/dev/ttyAMA0",
                               "/dev/ttyACM0", "/dev/ttyUSB2", "/dev/ttyS0",    "/dev/ttyUSB2"};
    const QStringList expected = {"/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0", "/dev/ttyS0",
                                  "/dev/ttyS2",   "/dev/ttyS10",   "/dev/ttyAMA0"};
    EXPECT_EQ(SerialPort::OrderDevicePaths(found), expected);
}

TEST(SerialPortNumber, APortWithoutDeviceFailsToOpenNamingIt)
{
    PortOverride over(5, QStringLiteral("/nonexistent/serial-device"));
    SerialPort port;
    ASSERT_TRUE(port.setCommPort(5));
    EXPECT_FALSE(port.setPortOpen(true));
    EXPECT_FALSE(port.PortOpen());
    EXPECT_TRUE(port.ErrorText().contains("COM 5")) << port.ErrorText().toStdString();
}

// ---- closed port -------------------------------------------------------

TEST(SerialPortClosed, EveryLineOperationFailsWithPortNotOpen)
{
    SerialPort port;
    EXPECT_FALSE(port.PortOpen());
    EXPECT_TRUE(port.setPortOpen(false));  // closing a closed port is no failure

    EXPECT_FALSE(port.Output(QStringLiteral("ATI\r")));
    EXPECT_EQ(port.ErrorText(), "Port not open");
    EXPECT_TRUE(port.setCommPort(3));  // the number may change while closed
    EXPECT_EQ(port.Input(), QString());
    EXPECT_EQ(port.ErrorText(), "Port not open");
    EXPECT_FALSE(port.setInBufferCount(0));
    EXPECT_EQ(port.InBufferCount(), 0);
    EXPECT_FALSE(port.setHandshaking(SerialPort::Handshake::RtsCtsXonXoff));
    EXPECT_EQ(port.Handshaking(), SerialPort::Handshake::None);
    EXPECT_EQ(port.DeviceSettings(), QString());
}

// ---- open port ---------------------------------------------------------

TEST_F(SerialPortOnPty, OpensAndRefusesChangesThatNeedItClosed)
{
    open();
    EXPECT_TRUE(port.PortOpen());
    EXPECT_FALSE(port.setPortOpen(true));
    EXPECT_EQ(port.ErrorText(), "Port already open");
    EXPECT_FALSE(port.setCommPort(1));
    EXPECT_EQ(port.ErrorText(), "Port already open");
    EXPECT_EQ(port.CommPort(), kPort);

    // a second control cannot take the same device
    SerialPort other;
    ASSERT_TRUE(other.setCommPort(kPort));
    EXPECT_FALSE(other.setPortOpen(true));
    EXPECT_TRUE(other.ErrorText().contains("in use")) << other.ErrorText().toStdString();

    EXPECT_TRUE(port.setPortOpen(false));
    EXPECT_FALSE(port.PortOpen());
    EXPECT_TRUE(port.setPortOpen(true));
}

TEST_F(SerialPortOnPty, OutputSendsEachCharacterAsOneByte)
{
    open();
    ASSERT_TRUE(port.Output(QStringLiteral("#PrgmMode#\r")));
    EXPECT_EQ(peer.readUntil("\r"), QByteArray("#PrgmMode#\r"));

    const QString latin = QString(QChar(1)) + QStringLiteral("caf") + QChar(0xE9) + QChar(0xFF) + QStringLiteral("\r\n");
    ASSERT_TRUE(port.Output(latin));
    EXPECT_EQ(peer.readUntil("\n"), QByteArray("\x01" "caf\xE9\xFF\r\n"));

    // the line carries the 8-bit code page: the euro sign is byte 0x80
    ASSERT_TRUE(port.Output(QStringLiteral("price ") + QChar(0x20AC) + QChar(0x2019) + u'\r'));
    EXPECT_EQ(peer.readUntil("\r"), QByteArray("price \x80\x92\r"));

    // a character with no byte in the page is refused and nothing goes out
    EXPECT_FALSE(port.Output(QStringLiteral("angle ") + QChar(0x03A9)));
    EXPECT_TRUE(port.ErrorText().contains("U+03A9")) << port.ErrorText().toStdString();
    EXPECT_EQ(peer.read(100), QByteArray());
}

TEST_F(SerialPortOnPty, InputReturnsEverythingWaitingWithoutTheMessageLoop)
{
    open();
    ASSERT_TRUE(peer.write("ID=\r\x1e\xE9"));
    // no window messages handled in between: the control fetches them itself
    EXPECT_EQ(port.InBufferCount(), 6);
    EXPECT_EQ(port.Input(), QStringLiteral("ID=\r\x1e") + QChar(0xE9));
    EXPECT_EQ(port.Input(), QString());
    EXPECT_EQ(port.InBufferCount(), 0);

    port.setInputLen(2);
    ASSERT_TRUE(peer.write("ABCDE"));
    EXPECT_EQ(port.Input(), "AB");
    EXPECT_EQ(port.Input(), "CD");
    port.setInputLen(0);
    EXPECT_EQ(port.Input(), "E");
}

TEST_F(SerialPortOnPty, DiscardingInputEmptiesOwnAndOperatingSystemBuffers)
{
    open();
    ASSERT_TRUE(peer.write("one"));
    ASSERT_EQ(port.InBufferCount(), 3);  // now held by the control
    ASSERT_TRUE(peer.write("two"));      // still held by the system
    EXPECT_TRUE(port.setInBufferCount(0));
    EXPECT_EQ(port.InBufferCount(), 0);
    EXPECT_EQ(port.Input(), QString());

    EXPECT_FALSE(port.setInBufferCount(3));
    EXPECT_EQ(port.ErrorText(), "Invalid property value");

    ASSERT_TRUE(peer.write("new"));
    EXPECT_EQ(port.Input(), "new");
}

TEST_F(SerialPortOnPty, ArrivingInputIsSignalledAndEndsAPauseEarly)
{
    open();
    QSignalSpy arrived(&port, &SerialPort::inputArrived);
    peer.writeAfter(30, "x");
    QElapsedTimer clock;
    clock.start();
    platform::Sleep(30000);
    EXPECT_LT(clock.elapsed(), 30000);  // it did not run its time
    EXPECT_GE(arrived.count(), 1);
    EXPECT_EQ(port.Input(), "x");
}

TEST_F(SerialPortOnPty, SpeedReachesTheLineAndSevenBitEvenParityIsKeptOnAVirtualPort)
{
    open(QStringLiteral("1200,e,7,1"));
    EXPECT_EQ(port.Settings(), "1200,e,7,1");
    EXPECT_EQ(port.DeviceSettings(), "1200,n,8,1");  // a pseudo-terminal carries 8 bits, no parity
    EXPECT_EQ(peer.speed(), 1200);

    const std::tuple<const char *, const char *, int> steps[] = {
        {"9600,e,7,1", "9600,n,8,1", 9600},
        {"2400,n,8,1", "2400,n,8,1", 2400},
        {"300,e,7,1", "300,n,8,1", 300},
        {"9600,n,8,2", "9600,n,8,2", 9600},
    };
    for (const auto &[settings, device, speed] : steps) {
        EXPECT_TRUE(port.setSettings(QString::fromLatin1(settings))) << settings << port.ErrorText().toStdString();
        EXPECT_EQ(port.Settings(), QString::fromLatin1(settings));
        EXPECT_EQ(port.DeviceSettings(), QString::fromLatin1(device)) << settings;
        EXPECT_EQ(peer.speed(), speed) << settings;
    }

    // the line still works after a 7-bit attempt
    ASSERT_TRUE(port.setSettings(QStringLiteral("9600,e,7,1")));
    ASSERT_TRUE(port.Output(QStringLiteral("ATI\r\r")));
    EXPECT_EQ(peer.readUntil("\r\r"), QByteArray("ATI\r\r"));
}

TEST_F(SerialPortOnPty, HandshakingIsSetOnTheOpenLine)
{
    open();
    auto inputFlags = [this] {
        const int fd = ::open(peer.slavePath().toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        termios t {};
        ::tcgetattr(fd, &t);
        ::close(fd);
        return t.c_iflag & (IXON | IXOFF);
    };
    EXPECT_TRUE(port.setHandshaking(SerialPort::Handshake::RtsCtsXonXoff)) << port.ErrorText().toStdString();
    EXPECT_EQ(port.Handshaking(), SerialPort::Handshake::RtsCtsXonXoff);
    EXPECT_EQ(inputFlags(), tcflag_t(IXON | IXOFF));
    EXPECT_TRUE(port.setHandshaking(SerialPort::Handshake::None));
    EXPECT_EQ(inputFlags(), tcflag_t(0));

    // kept over closing and applied again at the next opening
    EXPECT_TRUE(port.setHandshaking(SerialPort::Handshake::RtsCtsXonXoff));
    ASSERT_TRUE(port.setPortOpen(false));
    ASSERT_TRUE(port.setPortOpen(true));
    EXPECT_EQ(inputFlags(), tcflag_t(IXON | IXOFF));
}

TEST_F(SerialPortOnPty, ADeviceThatGoesAwayClosesThePortOnce)
{
    open();
    QSignalSpy lost(&port, &SerialPort::portLost);
    peer.closeMaster();
    EXPECT_TRUE(QTest::qWaitFor([&] { return lost.count() > 0; }, 2000));
    EXPECT_FALSE(port.PortOpen());
    QTest::qWait(200);
    ASSERT_EQ(lost.count(), 1);
    const QString reason = lost.at(0).at(0).toString();
    EXPECT_TRUE(reason.contains(QStringLiteral("COM %1").arg(kPort))) << reason.toStdString();
    EXPECT_EQ(port.ErrorText(), reason);

    EXPECT_FALSE(port.Output(QStringLiteral("x")));
    EXPECT_EQ(port.ErrorText(), "Port not open");
}

TEST_F(SerialPortOnPty, ADeviceThatGoesAwayIsNoticedByAPoll)
{
    open();
    QSignalSpy lost(&port, &SerialPort::portLost);
    peer.closeMaster();
    // no message loop: the poll itself finds the device gone
    EXPECT_EQ(port.Input(), QString());
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(lost.count(), 1);
    EXPECT_TRUE(port.ErrorText().contains("no longer available")) << port.ErrorText().toStdString();
}

TEST_F(SerialPortOnPty, AVirtualPortReachedThroughALinkTakesSevenBitSettingsToo)
{
    // simulators often publish their terminal under a fixed link name
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyV0"));
    ASSERT_TRUE(QFile::link(peer.slavePath(), link));
    PortOverride viaLink(kPort, link);
    open(QStringLiteral("2400,e,7,1"));
    EXPECT_EQ(port.DeviceSettings(), "2400,n,8,1");
    EXPECT_EQ(peer.speed(), 2400);
}
