#include "platform/serialport.h"

#include "platform/codepage.h"
#include "platform/system.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <algorithm>
#include <optional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/sysmacros.h>
#endif
#endif

namespace platform {

namespace {

// Port numbers the control accepts (the program itself offers 1 to 8).
constexpr int kMaxPortNumber = 255;
// How many passes one read of the input makes over the device at most, so
// that a device that never stops sending cannot hold the caller.
constexpr int kMaxReadPasses = 64;
// How long a write waits for the operating system to take the bytes; what is
// still queued after it goes out while the program handles its messages.
constexpr int kWriteWaitMs = 500;

const QString kPortAlreadyOpen = QStringLiteral("Port already open");
const QString kPortNotOpen = QStringLiteral("Port not open");
const QString kInvalidPortNumber = QStringLiteral("Invalid port number");
const QString kInvalidValue = QStringLiteral("Invalid property value");

// One settings text taken apart.
struct LineSettings {
    int speed = 9600;
    QChar parity = QLatin1Char('n');  // n, e, o, m, s
    int dataBits = 8;                 // 5..8
    QString stopBits = QStringLiteral("1");  // "1", "1.5", "2"

    QString text() const
    {
        return QStringLiteral("%1,%2,%3,%4").arg(speed).arg(parity).arg(dataBits).arg(stopBits);
    }
};

// "speed,parity,databits,stopbits"; blanks around a field are ignored and the
// parity letter may be upper case. Nothing else is accepted.
std::optional<LineSettings> parseSettings(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    LineSettings s;

    const QString speed = parts[0].trimmed();
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,7}$"));
    if (!digits.match(speed).hasMatch())
        return std::nullopt;
    s.speed = speed.toInt();
    if (s.speed < 1 || s.speed > 4000000)
        return std::nullopt;

    const QString parity = parts[1].trimmed().toLower();
    if (parity.size() != 1 || !QStringLiteral("neoms").contains(parity[0]))
        return std::nullopt;
    s.parity = parity[0];

    const QString data = parts[2].trimmed();
    if (data.size() != 1 || data[0] < QLatin1Char('5') || data[0] > QLatin1Char('8'))
        return std::nullopt;
    s.dataBits = data.toInt();

    const QString stop = parts[3].trimmed();
    if (stop != QLatin1String("1") && stop != QLatin1String("1.5") && stop != QLatin1String("2"))
        return std::nullopt;
    s.stopBits = stop;
    return s;
}

QSerialPort::Parity qtParity(QChar p)
{
    switch (p.toLatin1()) {
    case 'e': return QSerialPort::EvenParity;
    case 'o': return QSerialPort::OddParity;
    case 'm': return QSerialPort::MarkParity;
    case 's': return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits qtStopBits(const QString &s)
{
    if (s == QLatin1String("2"))
        return QSerialPort::TwoStop;
    if (s == QLatin1String("1.5"))
        return QSerialPort::OneAndHalfStop;
    return QSerialPort::OneStop;
}

QSerialPort::FlowControl qtFlow(SerialPort::Handshake h)
{
    switch (h) {
    case SerialPort::Handshake::XonXoff: return QSerialPort::SoftwareControl;
    case SerialPort::Handshake::RtsCts:
    case SerialPort::Handshake::RtsCtsXonXoff: return QSerialPort::HardwareControl;
    case SerialPort::Handshake::None: break;
    }
    return QSerialPort::NoFlowControl;
}

// Class of a device name for the numbering of ports on Linux: USB adapters
// first, then USB modems, then the machine's own serial ports, then the rest.
int deviceClass(const QString &name)
{
    if (name.startsWith(QLatin1String("ttyUSB")))
        return 0;
    if (name.startsWith(QLatin1String("ttyACM")))
        return 1;
    if (name.startsWith(QLatin1String("ttyS")))
        return 2;
    return 3;
}

// True when the device at `path` is a pseudo-terminal: it takes the speed but
// neither 7 data bits nor even parity, and those the program must still try.
bool isPseudoTerminal(const QString &path)
{
    const QString real = QFileInfo(path).canonicalFilePath();
    if (real.startsWith(QLatin1String("/dev/pts/")))
        return true;
#ifdef Q_OS_LINUX
    struct stat st {};
    if (!real.isEmpty() && ::stat(QFile::encodeName(real).constData(), &st) == 0 && S_ISCHR(st.st_mode)) {
        // the Unix98 pseudo-terminal slaves use majors 136 to 143
        const unsigned maj = major(st.st_rdev);
        return maj >= 136 && maj <= 143;
    }
#endif
    return false;
}

}  // namespace

SerialPort::SerialPort(QObject *parent) : QObject(parent), m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, [this] {
        emit inputArrived();
        WakePause();
    });
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // A device that went away makes Qt report the same error on every pass
        // of the message loop while the port still counts as open: close it at
        // the first one so that the window can show the port closed.
        if (m_opening || !m_port->isOpen())
            return;
        if (e != QSerialPort::ResourceError && e != QSerialPort::ReadError && e != QSerialPort::WriteError)
            return;
        const QString reason = QStringLiteral("COM %1 (%2) is no longer available").arg(m_commPort).arg(m_path);
        m_port->close();
        m_error = reason;
        emit portLost(reason);
    });
}

SerialPort::~SerialPort()
{
    m_port->disconnect(this);
    if (m_port->isOpen())
        m_port->close();
}

bool SerialPort::fail(const QString &text)
{
    m_error = text;
    return false;
}

int SerialPort::CommPort() const { return m_commPort; }

bool SerialPort::setCommPort(int n)
{
    if (m_port->isOpen())
        return fail(kPortAlreadyOpen);
    if (n < 1 || n > kMaxPortNumber)
        return fail(kInvalidPortNumber);
    m_commPort = n;
    return true;
}

QString SerialPort::Settings() const { return m_settings; }

bool SerialPort::setSettings(const QString &settings)
{
    const auto parsed = parseSettings(settings);
    if (!parsed)
        return fail(QStringLiteral("Invalid port settings \"%1\"").arg(settings));
    const QString previous = m_settings;
    m_settings = parsed->text();
    if (m_port->isOpen() && !applySettings()) {
        // the device keeps what it had
        const QString why = m_error;
        m_settings = previous;
        applySettings();
        return fail(why);
    }
    return true;
}

// Applies the settings text to the open device, field by field. A
// pseudo-terminal carries neither 7 (or 5, 6) data bits nor even parity; on one
// the refused field falls back to what it can carry (8 data bits, no parity)
// and the port goes on at the speed asked for, so that every settings text the
// program tries reaches a virtual port. DeviceSettings() tells what the device
// carries. Any other refusal is a failure.
bool SerialPort::applySettings()
{
    const auto s = parseSettings(m_settings);
    if (!s)
        return fail(kInvalidValue);
    const auto refused = [this](const QString &what) {
        const QString qt = m_port->errorString();
        m_port->clearError();
        return fail(QStringLiteral("COM %1 refused %2 of \"%3\": %4").arg(m_commPort).arg(what, m_settings, qt));
    };
    m_port->clearError();
    if (!m_port->setBaudRate(s->speed))
        return refused(QStringLiteral("the speed"));
    const bool pty = isPseudoTerminal(m_path);
    if (!m_port->setDataBits(QSerialPort::DataBits(s->dataBits))) {
        if (!pty)
            return refused(QStringLiteral("the data bits"));
        m_port->clearError();
        m_port->setDataBits(QSerialPort::Data8);
    }
    if (!m_port->setParity(qtParity(s->parity))) {
        if (!pty)
            return refused(QStringLiteral("the parity"));
        m_port->clearError();
        m_port->setParity(QSerialPort::NoParity);
    }
    if (!m_port->setStopBits(qtStopBits(s->stopBits)))
        return refused(QStringLiteral("the stop bits"));
    return true;
}

bool SerialPort::applyHandshake(Handshake h)
{
    m_port->clearError();
    if (!m_port->setFlowControl(qtFlow(h))) {
        const QString qt = m_port->errorString();
        m_port->clearError();
        return fail(QStringLiteral("COM %1 refused the handshaking: %2").arg(m_commPort).arg(qt));
    }
#ifdef Q_OS_UNIX
    // Qt offers one kind of flow control at a time; both together are set on
    // the terminal directly
    const int fd = int(m_port->handle());
    termios tio {};
    if (fd >= 0 && ::tcgetattr(fd, &tio) == 0) {
        if (h == Handshake::RtsCtsXonXoff)
            tio.c_iflag |= IXON | IXOFF;
        else if (h != Handshake::XonXoff)
            tio.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
#endif
    return true;
}

bool SerialPort::PortOpen() const { return m_port->isOpen(); }

bool SerialPort::setPortOpen(bool open)
{
    if (!open) {
        if (m_port->isOpen())
            m_port->close();
        return true;
    }
    if (m_port->isOpen())
        return fail(kPortAlreadyOpen);

    const QString path = DevicePath(m_commPort);
    if (path.isEmpty())
        return fail(QStringLiteral("No serial device for COM %1").arg(m_commPort));
    const auto s = parseSettings(m_settings);
    m_path = path;
    m_port->setPortName(path);
    m_port->setBaudRate(s->speed);
    m_port->setDataBits(QSerialPort::DataBits(s->dataBits));
    m_port->setParity(qtParity(s->parity));
    m_port->setStopBits(qtStopBits(s->stopBits));
    m_port->setFlowControl(qtFlow(m_handshake));
    m_port->clearError();

    m_opening = true;
    const bool opened = m_port->open(QIODevice::ReadWrite);
    if (!opened) {
        m_opening = false;
        const QSerialPort::SerialPortError e = m_port->error();
        const QString qt = m_port->errorString();
        m_port->clearError();
        switch (e) {
        case QSerialPort::DeviceNotFoundError:
            return fail(QStringLiteral("No serial device for COM %1 (%2)").arg(m_commPort).arg(path));
        case QSerialPort::PermissionError:
            return fail(QStringLiteral("COM %1 (%2) is in use by another program or access is denied")
                            .arg(m_commPort)
                            .arg(path));
        default:
            return fail(QStringLiteral("COM %1 (%2) could not be opened: %3").arg(m_commPort).arg(path, qt));
        }
    }
    // Qt applies the settings while it opens but does not say which of them
    // the device took: apply them again one by one
    const bool ok = applySettings() && applyHandshake(m_handshake);
    m_opening = false;
    if (!ok) {
        m_port->close();
        return false;
    }
    m_port->clear(QSerialPort::AllDirections);
    return true;
}

// Takes from the device everything it holds into Qt's buffer: Qt reads the
// device only while the message loop runs, and the program polls.
void SerialPort::pumpInput()
{
    for (int pass = 0; pass < kMaxReadPasses && m_port->isOpen(); ++pass) {
        if (!m_port->waitForReadyRead(0))
            break;
    }
    // a wait that found nothing leaves a time-out error behind
    if (m_port->isOpen() && m_port->error() == QSerialPort::TimeoutError)
        m_port->clearError();
}

bool SerialPort::Output(const QString &text)
{
    if (!m_port->isOpen())
        return fail(kPortNotOpen);
    if (const qsizetype bad = FirstNonAnsi(text); bad >= 0)
        return fail(QStringLiteral("The text holds %1, which has no byte in the code page")
                        .arg(DescribeNonAnsi(text, bad)));
    const QByteArray bytes = ToAnsi(text);
    if (bytes.isEmpty())
        return true;
    m_port->clearError();
    const qint64 n = m_port->write(bytes);
    if (n != bytes.size() || !m_port->isOpen())
        return fail(QStringLiteral("Write to COM %1 failed: %2").arg(m_commPort).arg(m_port->errorString()));
    if (!m_port->waitForBytesWritten(kWriteWaitMs)) {
        if (!m_port->isOpen())
            return fail(QStringLiteral("Write to COM %1 failed: the device is no longer available").arg(m_commPort));
        const QSerialPort::SerialPortError e = m_port->error();
        if (e != QSerialPort::NoError && e != QSerialPort::TimeoutError) {
            const QString qt = m_port->errorString();
            m_port->clearError();
            return fail(QStringLiteral("Write to COM %1 failed: %2").arg(m_commPort).arg(qt));
        }
        // still queued (flow control holds it): it goes out with the next
        // pass of the message loop
        m_port->clearError();
    }
    return true;
}

QString SerialPort::Input()
{
    if (!m_port->isOpen()) {
        fail(kPortNotOpen);
        return QString();
    }
    pumpInput();
    if (!m_port->isOpen())
        return QString();  // the device went away; ErrorText() says so
    const QByteArray bytes = m_inputLen > 0 ? m_port->read(m_inputLen) : m_port->readAll();
    return FromAnsi(bytes);
}

int SerialPort::InBufferCount()
{
    if (!m_port->isOpen()) {
        fail(kPortNotOpen);
        return 0;
    }
    pumpInput();
    return m_port->isOpen() ? int(m_port->bytesAvailable()) : 0;
}

bool SerialPort::setInBufferCount(int n)
{
    if (!m_port->isOpen())
        return fail(kPortNotOpen);
    if (n != 0)
        return fail(kInvalidValue);
    // Qt's own buffer and what the operating system holds for the port
    m_port->clear(QSerialPort::Input);
    if (m_port->error() != QSerialPort::NoError)
        m_port->clearError();
    return true;
}

bool SerialPort::setHandshaking(Handshake h)
{
    if (!m_port->isOpen())
        return fail(kPortNotOpen);
    if (!applyHandshake(h))
        return false;
    m_handshake = h;
    return true;
}

QString SerialPort::DeviceSettings() const
{
    if (!m_port->isOpen())
        return QString();
    int speed = int(m_port->baudRate());
    int data = int(m_port->dataBits());
    QChar parity;
    switch (m_port->parity()) {
    case QSerialPort::EvenParity: parity = QLatin1Char('e'); break;
    case QSerialPort::OddParity: parity = QLatin1Char('o'); break;
    case QSerialPort::MarkParity: parity = QLatin1Char('m'); break;
    case QSerialPort::SpaceParity: parity = QLatin1Char('s'); break;
    default: parity = QLatin1Char('n'); break;
    }
    QString stop = m_port->stopBits() == QSerialPort::TwoStop          ? QStringLiteral("2")
                   : m_port->stopBits() == QSerialPort::OneAndHalfStop ? QStringLiteral("1.5")
                                                                       : QStringLiteral("1");
#ifdef Q_OS_UNIX
    // what the terminal really carries: Qt remembers some values a device
    // silently dropped
    termios tio {};
    const int fd = int(m_port->handle());
    if (fd >= 0 && ::tcgetattr(fd, &tio) == 0) {
        switch (tio.c_cflag & CSIZE) {
        case CS5: data = 5; break;
        case CS6: data = 6; break;
        case CS7: data = 7; break;
        default: data = 8; break;
        }
        if (!(tio.c_cflag & PARENB))
            parity = QLatin1Char('n');
#ifdef CMSPAR
        else if (tio.c_cflag & CMSPAR)
            parity = (tio.c_cflag & PARODD) ? QLatin1Char('m') : QLatin1Char('s');
#endif
        else
            parity = (tio.c_cflag & PARODD) ? QLatin1Char('o') : QLatin1Char('e');
        if (!(tio.c_cflag & CSTOPB))
            stop = QStringLiteral("1");
        else if (stop != QLatin1String("1.5"))
            stop = QStringLiteral("2");
    }
#endif
    return QStringLiteral("%1,%2,%3,%4").arg(speed).arg(parity).arg(data).arg(stop);
}

// Which device port number n reaches.
//
// Windows: "COMn".
// Linux and other Unix systems, in this order:
//  1. the environment variable QV_COM<n>, when set and not empty, names the
//     device of port n, e.g. QV_COM1=/dev/ttyUSB0 or QV_COM2=/dev/pts/5 (a
//     pseudo-terminal of an encoder simulator; these are never listed);
//  2. otherwise port n is the n-th device of the serial ports the system
//     reports present, ordered USB adapters (/dev/ttyUSB*) first, then USB
//     modems (/dev/ttyACM*), then on-board ports (/dev/ttyS*), then any other
//     kind, in numeric order within each kind (ttyUSB2 before ttyUSB10).
//     Only ports with hardware behind them count: Linux creates ttyS0 to
//     ttyS31 whether or not a UART exists, and listing those would push the
//     real ports to numbers nobody guesses. An override does not shift the
//     numbering of the other ports.
//  An empty result means port n does not exist.
QString SerialPort::DevicePath(int n)
{
    if (n < 1)
        return QString();
    const QString over = qEnvironmentVariable(qPrintable(QStringLiteral("QV_COM%1").arg(n)));
    if (!over.isEmpty())
        return over;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    QStringList paths;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        paths << info.systemLocation();
    paths = OrderDevicePaths(paths);
    return n <= paths.size() ? paths[n - 1] : QString();
#endif
}

QStringList SerialPort::OrderDevicePaths(QStringList paths)
{
    // name "ttyUSB10" -> kind, "ttyUSB", 10
    struct Key {
        int kind;
        QString stem;
        qlonglong number;
        QString name;
    };
    const auto key = [](const QString &path) {
        const QString name = QFileInfo(path).fileName();
        qsizetype cut = name.size();
        while (cut > 0 && name[cut - 1].isDigit())
            --cut;
        const QString digits = name.mid(cut);
        return Key{deviceClass(name), name.left(cut), digits.isEmpty() ? -1 : digits.left(15).toLongLong(), name};
    };
    paths.removeDuplicates();
    std::stable_sort(paths.begin(), paths.end(), [&key](const QString &a, const QString &b) {
        const Key ka = key(a);
        const Key kb = key(b);
        if (ka.kind != kb.kind)
            return ka.kind < kb.kind;
        if (ka.stem != kb.stem)
            return ka.stem < kb.stem;
        if (ka.number != kb.number)
            return ka.number < kb.number;
        return ka.name < kb.name;
    });
    return paths;
}

}  // namespace platform
