#include "paging/validatepagerid.h"

#include "database/state.h"
#include "paging/paginghost.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/system.h"

#include <cstdint>
#include <optional>

QString sPINErrorText;

namespace {

// Capcode blocks no pager may carry.
constexpr long kIllegalBlocks[][2] = {{2045056, 2045063}, {2007664, 2007671}};
// Texts of fewer characters are short IDs, longer ones direct IDs.
constexpr int kDirectIdLength = 5;

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

bool isFunctionLetter(QChar c) { return QStringLiteral("ABCDabcd").contains(c); }

const QString kNumericError = QStringLiteral("Expected Numeric Characters\rGot Alpha Characters");

bool capcodeBox()
{
    platform::MsgBox(QStringLiteral("The Capcode value cannot include alpha characters\r"
                                    "or the following illegal Capcodes:\r"
                                    "\r"
                                    "0 through 8\r"
                                    "2007664 through 2007671\r"
                                    "2045056 through 2045063\r"
                                    "or greater than 2097143"),
                     platform::Buttons::OK, platform::Icon::None, QStringLiteral("Invalid Capcode"));
    platform::SetDefaultPointer();
    return false;
}

bool invalidIdBox(const QString &detail)
{
    sPINErrorText = detail;
    platform::MsgBox(QStringLiteral("Pager ID value is incorrect.\r") + sPINErrorText, platform::Buttons::OK,
                     platform::Icon::None, QStringLiteral("Invalid ID"));
    return false;
}

// A whole number in the signed 16-bit range (blanks around it allowed).
std::optional<int16_t> toInt16(const QString &text)
{
    bool ok = false;
    const short v = text.trimmed().toShort(&ok);
    return ok ? std::optional<int16_t>(v) : std::nullopt;
}

// Drops leading zeros while the text is longer than a capcode field.
QString trimCapcodeZeros(QString text)
{
    while (text.size() > kCapcodeDigits && text.startsWith(QLatin1Char('0')))
        text.remove(0, 1);
    return text;
}

bool validateCapcode(const QString &typed)
{
    const QString text = trimCapcodeZeros(typed);
    if (!AllDigits(text) || text.size() > kCapcodeDigits)
        return capcodeBox();
    bool ok = false;
    const int c = text.toInt(&ok);
    if (!ok)
        return false;  // empty: no box of its own
    if (c < kMinCapcode || c > kMaxCapcode)
        return capcodeBox();
    for (const auto &block : kIllegalBlocks)
        if (c >= block[0] && c <= block[1])
            return capcodeBox();
    return true;
}

bool validateShortId(QString id)
{
    for (qsizetype i = 0; i < id.size(); ++i) {
        if (isDigit(id[i]))
            continue;
        if (i == id.size() - 1 && isFunctionLetter(id[i])) {
            id.chop(1);
            break;
        }
        return invalidIdBox(kNumericError);
    }

    for (int r = 0; r < kFamilyCount; ++r) {
        platform::DoEvents();
        const FamilyRow &row = gDb.Families[r];
        if (row[famComplete] != QLatin1String("YES"))
            continue;
        const auto start = toInt16(row[famStartID]);
        const auto qty = toInt16(row[famPagerQty]);
        if (!start || !qty)
            return false;
        const int last = int(*start) + int(*qty) - 1;
        if (last < INT16_MIN || last > INT16_MAX)
            return false;
        if (last < *start)
            continue;  // no pagers in this family
        const auto n = toInt16(id);
        if (!n)
            return false;
        if (*n >= *start && *n <= last)
            return true;
    }
    for (int r = 0; r < kGroupCount; ++r) {
        platform::DoEvents();
        const GroupRow &row = gDb.Groups[r];
        if (row[grpComplete] == QLatin1String("YES") && row[grpGroupID] == id)
            return true;
    }
    return invalidIdBox(QStringLiteral("Pager ID value not in current database"));
}

bool validateDirectId(const QString &id)
{
    const qsizetype n = id.size();
    const QChar third = id[n - 3];
    const QChar second = id[n - 2];
    const QChar last = id[n - 1];
    if (!QStringLiteral("AaNn01").contains(third))
        return invalidIdBox(QStringLiteral("Expected A, a, N, n, 0, or 1\rGot ") + third);
    if (!QStringLiteral("512").contains(second))
        return invalidIdBox(QStringLiteral("Expected 1, 2, or 5\rGot ") + second);
    if (!QStringLiteral("01234").contains(last))
        return invalidIdBox(QStringLiteral("Expected 0, 1, 2, 3, or 4\rGot ") + last);
    if (!AllDigits(id.left(n - 3)))
        return invalidIdBox(kNumericError);
    return true;
}

}  // namespace

bool CapcodeMode()
{
    return gSettings.sSerial1Protocol == QLatin1String("QV") || gSettings.bSerial1IDAsCap ||
           gSettings.sSerial1Protocol == QLatin1String("SCOPE");
}

QString PagerIDAsSent(const QString &text) { return CapcodeMode() ? trimCapcodeZeros(text) : text; }

bool ValidatePagerIDText(const QString &text)
{
    if (CapcodeMode())
        return validateCapcode(text);
    if (text.size() < kDirectIdLength)
        return validateShortId(text);
    return validateDirectId(text);
}

bool ValidatePagerID()
{
    PagingHost *host = CurrentPagingHost();
    return ValidatePagerIDText(host ? host->pagerIdText() : QString());
}

// ---- the message -----------------------------------------------------------

namespace {

// ASCII names of the control characters 0..31.
constexpr const char *kControlNames[32] = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
    "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",
};

QString controlName(QChar c)
{
    const char16_t u = c.unicode();
    if (u == u'\r' || u == u'\n')
        return QStringLiteral("a line break (%1)").arg(QString::fromLatin1(kControlNames[u]));
    const QString name = QString::fromLatin1(u == 127 ? "DEL" : kControlNames[u]);
    return QStringLiteral("the control character %1 (code %2)").arg(name).arg(int(u));
}

}  // namespace

QString MessageProblem(const QString &message)
{
    for (qsizetype i = 0; i < message.size(); ++i) {
        const QChar c = message.at(i);
        const QString at = QStringLiteral(" at position %1.\r").arg(i + 1);
        if (platform::IsControlCharacter(c))
            return QStringLiteral("The message holds ") + controlName(c) + at +
                   QStringLiteral("Control characters cannot be sent in a page; remove it and try again.");
        if (!platform::HasAnsiByte(c))
            return QStringLiteral("The message holds ") + platform::DescribeNonAnsi(message, i) + at +
                   QStringLiteral("It has no byte in the encoder's 8-bit character set; change it and try again.");
    }
    return QString();
}

bool ValidateMessageText(const QString &message)
{
    const QString problem = MessageProblem(message);
    if (problem.isEmpty())
        return true;
    platform::MsgBox(problem, platform::Buttons::OK, platform::Icon::None, QStringLiteral("Invalid Message"));
    platform::SetDefaultPointer();
    return false;
}
