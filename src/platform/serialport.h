// The serial port control of the main window: port number, settings text
// ("9600,n,8,1"), open state, output, polled input. No receive events are
// used by the program; input is fetched with Input().
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QSerialPort;

namespace platform {

class SerialPort : public QObject {
    Q_OBJECT
public:
    enum class Handshake { None, XonXoff, RtsCts, RtsCtsXonXoff };

    explicit SerialPort(QObject *parent = nullptr);
    ~SerialPort() override;

    // Port number 1..n; refused (false, ErrorText()) while the port is open
    // or out of range.
    int CommPort() const;
    bool setCommPort(int n);

    // "speed,parity,databits,stopbits", e.g. "9600,n,8,1" or "1200,e,7,1".
    // A malformed text is refused. Applied at once when the port is open.
    QString Settings() const;
    bool setSettings(const QString &settings);

    bool PortOpen() const;
    bool setPortOpen(bool open);

    // Writes the text in the 8-bit code page; false when not open or the
    // write fails, or the text holds a character with no byte in the page.
    bool Output(const QString &text);

    // Reads and removes every character waiting (InputLen 0).
    QString Input();
    int InputLen() const { return m_inputLen; }
    void setInputLen(int n) { m_inputLen = n; }

    // Number of characters waiting; setting 0 discards them, also those the
    // operating system holds for the port. Both fail while the port is closed.
    int InBufferCount();
    bool setInBufferCount(int n);

    // Flow control; set while the port is open (refused while closed) and
    // applied again at every opening.
    Handshake Handshaking() const { return m_handshake; }
    bool setHandshaking(Handshake h);

    // The line settings the open device carries, as a settings text; empty
    // while closed. It differs from Settings() on a pseudo-terminal, which
    // takes the speed but neither 7 data bits nor even parity.
    QString DeviceSettings() const;

    // Text of the last failure, for the boxes that show it.
    QString ErrorText() const { return m_error; }

    // The device path that port number n reaches on this machine.
    static QString DevicePath(int n);
    // The order in which present devices receive port numbers (see DevicePath).
    static QStringList OrderDevicePaths(QStringList paths);

signals:
    // Characters arrived (ends the pause of a wait loop early).
    void inputArrived();
    // The port was closed because the device went away.
    void portLost(const QString &reason);

private:
    bool fail(const QString &text);
    bool applySettings();
    bool applyHandshake(Handshake h);
    void pumpInput();
    QSerialPort *m_port;
    int m_commPort = 1;
    QString m_settings = QStringLiteral("9600,n,8,1");
    int m_inputLen = 0;
    Handshake m_handshake = Handshake::None;
    QString m_error;
    QString m_path;          // device of the port while open
    bool m_opening = false;  // errors while opening are the opening's own
};

}  // namespace platform
