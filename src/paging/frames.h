// What the paging engines put on the wire and how they read the answers:
// frames, checksums, reply codes and the logged form of a reply. No window,
// port or timer is involved, so every byte can be checked directly.
//
// Texts are QStrings whose characters have codes 0..255; the serial port
// sends each character as one byte.
#pragma once

#include <QChar>
#include <QString>

namespace paging {

inline constexpr QChar SOH{0x01};
inline constexpr QChar STX{0x02};
inline constexpr QChar ETX{0x03};
inline constexpr QChar EOT{0x04};
inline constexpr QChar ACK{0x06};
inline constexpr QChar LF{0x0A};
inline constexpr QChar CR{0x0D};
inline constexpr QChar XON{0x11};
inline constexpr QChar XOFF{0x13};
inline constexpr QChar NAK{0x15};
inline constexpr QChar ESC{0x1B};
inline constexpr QChar RS{0x1E};
inline constexpr QChar DEL{0x7F};

// ---- TAP -----------------------------------------------------------------
// STX, pager ID, CR, message, CR, ETX, three checksum characters, CR.
QString TapPageBlock(const QString &pin, const QString &message);
// Terminal ID sent in answer to a log-in request: ESC "PG1" CR.
QString TapTerminalId();

// What a TAP reply asks of the engine, judged in this order.
enum class TapVerdict {
    Nak,           // the block was refused: send it again (up to three transmissions)
    PinRejected,   // RS with "511"
    Busy,          // RS with "111": send again
    Rejected,      // RS with any other code
    LoginRequest,  // "ID="
    Done,          // anything else, an empty reply included
};
TapVerdict JudgeTapReply(const QString &reply);

// True when the page wait may stop: the reply holds ACK, NAK, RS or XOFF.
bool TapReplyComplete(const QString &reply);

// "Encoder: " + reply with CR ACK ESC RS EOT NAK LF XOFF XON named.
QString TapEcho(const QString &reply);

// ---- maker's framed protocol and Scope -------------------------------------
// "A" "1", "B" "2", "C" "3", anything else "4".
QString QuorvaneFunctionDigit(const QString &functionCode);
// "512" "5", "1200" "1", anything else "2".
QString QuorvaneRateDigit(const QString &dataRate);
// "512" "AN", "1200" "AF", anything else "AS".
QString ScopeRateCode(const QString &dataRate);

// SOH, function digit, rate digit, PIN7, STX, message, ETX, EOT.
QString QuorvaneFrame(const QString &pin7, const QString &message, const QString &functionCode,
                      const QString &dataRate);
// Rate code, PIN7, function code as given, message, CR.
QString ScopeFrame(const QString &pin7, const QString &message, const QString &functionCode,
                   const QString &dataRate);

// The two characters after the first NAK (fewer when the reply ends sooner);
// `hasNak` tells whether the reply holds a NAK at all.
QString NakCode(const QString &reply, bool *hasNak);

// What a NAK code asks for (framed engines and COMP2).
enum class NakVerdict { InvalidAddress, Overflow, FormatError, Other };
NakVerdict JudgeNakCode(const QString &code);

// `prefix` + reply with the twelve control characters named (CR ACK ESC RS
// EOT NAK LF XOFF XON SOH STX ETX); `prefix` itself is searched too.
QString ReplyEcho(const QString &prefix, const QString &reply);

// ---- COMP1, COMP2, SNPP ----------------------------------------------------
// message, CR, LF.
QString Comp1Line(const QString &message);
// DEL DEL DEL, pager ID, function code, CR, message, CR.
QString Comp2Packet(const QString &pagerId, const QString &message, const QString &functionCode);
// The prompt that ends a COMP2 wait early: "okay" CR LF "COMP2>".
QString Comp2Prompt();
// "PAGE " pager ID function code CR LF; "MESS " message CR LF; "SEND" CR LF.
QString SnppPage(const QString &pagerId, const QString &functionCode);
QString SnppMess(const QString &message);
QString SnppSend();
// "RESE" CR LF: the server forgets the pager IDs and message it holds.
QString SnppReset();

// An SNPP answer to "PAGE ".
enum class SnppVerdict {
    Accepted,           // "250" anywhere (tested first)
    InvalidPagerId,     // "550 " followed by exactly "Error, Inv"
    Overflow,           // "550 " followed by exactly "04" or "05"
    FormatError,        // "550 " followed by exactly "08"
    OtherCode,          // "550" with any other code
    NoCode,             // neither "250" nor "550"
};
// The text compared: up to ten characters after the first "550 ", or from
// the fourth character on when the reply has "550" but no "550 ".
QString SnppCode(const QString &reply);
SnppVerdict JudgeSnppReply(const QString &reply);

}  // namespace paging
