#include "paging/frames.h"

#include "database/state.h"
#include "transfer/tapblock.h"

#include <utility>

namespace paging {

QString TapPageBlock(const QString &pin, const QString &message) { return BuildTAPBlock(pin, message); }

QString TapTerminalId() { return ESC + QStringLiteral("PG1") + CR; }

TapVerdict JudgeTapReply(const QString &reply)
{
    if (reply.contains(NAK))
        return TapVerdict::Nak;
    if (reply.contains(RS)) {
        if (reply.contains(QLatin1String("511")))
            return TapVerdict::PinRejected;
        if (reply.contains(QLatin1String("111")))
            return TapVerdict::Busy;
        return TapVerdict::Rejected;
    }
    if (reply.contains(QLatin1String("ID=")))
        return TapVerdict::LoginRequest;
    return TapVerdict::Done;
}

bool TapReplyComplete(const QString &reply)
{
    return reply.contains(ACK) || reply.contains(NAK) || reply.contains(RS) || reply.contains(XOFF);
}

namespace {

using Name = std::pair<QChar, const char *>;

QString nameControls(QString line, std::initializer_list<Name> names)
{
    for (const Name &n : names)
        line = ReplaceAll(line, QString(n.first), QString::fromLatin1(n.second));
    return line;
}

}  // namespace

QString TapEcho(const QString &reply)
{
    return nameControls(QStringLiteral("Encoder: ") + reply,
                        {{CR, "<CR>"}, {ACK, "<ACK>"}, {ESC, "<ESC>"}, {RS, "<RS>"}, {EOT, "<EOT>"},
                         {NAK, "<NAK>"}, {LF, "<LF>"}, {XOFF, "<XOFF>"}, {XON, "<XON>"}});
}

QString ReplyEcho(const QString &prefix, const QString &reply)
{
    return nameControls(prefix + reply, {{CR, "<CR>"}, {ACK, "<ACK>"}, {ESC, "<ESC>"}, {RS, "<RS>"},
                                         {EOT, "<EOT>"}, {NAK, "<NAK>"}, {LF, "<LF>"}, {XOFF, "<XOFF>"},
                                         {XON, "<XON>"}, {SOH, "<SOH>"}, {STX, "<STX>"}, {ETX, "<ETX>"}});
}

QString QuorvaneFunctionDigit(const QString &functionCode)
{
    if (functionCode == QLatin1String("A"))
        return QStringLiteral("1");
    if (functionCode == QLatin1String("B"))
        return QStringLiteral("2");
    if (functionCode == QLatin1String("C"))
        return QStringLiteral("3");
    return QStringLiteral("4");
}

QString QuorvaneRateDigit(const QString &dataRate)
{
    if (dataRate == QLatin1String("512"))
        return QStringLiteral("5");
    if (dataRate == QLatin1String("1200"))
        return QStringLiteral("1");
    return QStringLiteral("2");
}

QString ScopeRateCode(const QString &dataRate)
{
    if (dataRate == QLatin1String("512"))
        return QStringLiteral("AN");
    if (dataRate == QLatin1String("1200"))
        return QStringLiteral("AF");
    return QStringLiteral("AS");
}

QString QuorvaneFrame(const QString &pin7, const QString &message, const QString &functionCode,
                      const QString &dataRate)
{
    return SOH + QuorvaneFunctionDigit(functionCode) + QuorvaneRateDigit(dataRate) + pin7 + STX + message + ETX + EOT;
}

QString ScopeFrame(const QString &pin7, const QString &message, const QString &functionCode,
                   const QString &dataRate)
{
    return ScopeRateCode(dataRate) + pin7 + functionCode + message + CR;
}

QString NakCode(const QString &reply, bool *hasNak)
{
    const qsizetype at = reply.indexOf(NAK);
    if (hasNak)
        *hasNak = at >= 0;
    return at >= 0 ? reply.mid(at + 1, 2) : QString();
}

NakVerdict JudgeNakCode(const QString &code)
{
    if (code == QLatin1String("03"))
        return NakVerdict::InvalidAddress;
    if (code == QLatin1String("04") || code == QLatin1String("05"))
        return NakVerdict::Overflow;
    if (code == QLatin1String("08"))
        return NakVerdict::FormatError;
    return NakVerdict::Other;
}

QString Comp1Line(const QString &message) { return message + CR + LF; }

QString Comp2Packet(const QString &pagerId, const QString &message, const QString &functionCode)
{
    return QString(3, DEL) + pagerId + functionCode + CR + message + CR;
}

QString Comp2Prompt() { return QStringLiteral("okay") + CR + LF + QStringLiteral("COMP2>"); }

QString SnppPage(const QString &pagerId, const QString &functionCode)
{
    return QStringLiteral("PAGE ") + pagerId + functionCode + CR + LF;
}

QString SnppMess(const QString &message) { return QStringLiteral("MESS ") + message + CR + LF; }

QString SnppSend() { return QStringLiteral("SEND") + CR + LF; }

QString SnppReset() { return QStringLiteral("RESE") + CR + LF; }

QString SnppCode(const QString &reply)
{
    const qsizetype at = reply.indexOf(QLatin1String("550 "));
    return at >= 0 ? reply.mid(at + 4, 10) : reply.mid(3, 10);
}

SnppVerdict JudgeSnppReply(const QString &reply)
{
    if (reply.contains(QLatin1String("250")))
        return SnppVerdict::Accepted;
    if (!reply.contains(QLatin1String("550")))
        return SnppVerdict::NoCode;
    const QString code = SnppCode(reply);
    if (code == QLatin1String("Error, Inv"))
        return SnppVerdict::InvalidPagerId;
    if (code == QLatin1String("04") || code == QLatin1String("05"))
        return SnppVerdict::Overflow;
    if (code == QLatin1String("08"))
        return SnppVerdict::FormatError;
    return SnppVerdict::OtherCode;
}

}  // namespace paging
