// Byte strings the program sends to the encoder, written out for the tests.
#pragma once

#include <QByteArray>

namespace encsim_test {

// A TAP block as the program frames it: STX, pager ID, CR, text, CR, ETX, the
// low 12 bits of the byte sum from STX to ETX as three characters '0' + nibble
// (most significant first), CR.
inline QByteArray tap(const QByteArray &pagerId, const QByteArray &text)
{
    QByteArray b = "\x02" + pagerId + "\r" + text + "\r\x03";
    unsigned sum = 0;
    for (char c : b)
        sum += static_cast<unsigned char>(c);
    sum &= 0xFFF;
    b += char('0' + (sum >> 8));
    b += char('0' + ((sum >> 4) & 0xF));
    b += char('0' + (sum & 0xF));
    b += '\r';
    return b;
}

inline QByteArray request(const QByteArray &text) { return tap("019d46", text); }
inline QByteArray program(const QByteArray &text) { return tap("019d56", text); }

inline const QByteArray kRecordAck("\x1e\r");
inline const QByteArray kNak("\x15\r");

}  // namespace encsim_test
