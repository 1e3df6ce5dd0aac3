#include "paging/validatepagerid.h"

#include "database/state.h"
#include "paging/paginghost.h"
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

bool allDigits(const QString &text)
{
    for (const QChar c : text)
        if (!isDigit(c))
            return false;
    return true;
}

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

bool validateCapcode(const QString &text)
{
    if (!allDigits(text))
        return capcodeBox();
    bool ok = false;
    const int c = text.toInt(&ok);
    if (!ok)
        return false;  // empty, or beyond 32 bits: no box of its own
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
    if (!allDigits(id.left(n - 3)))
        return invalidIdBox(kNumericError);
    return true;
}

}  // namespace

bool ValidatePagerIDText(const QString &text)
{
    const bool capcodeMode = gSettings.sSerial1Protocol == QLatin1String("QV") || gSettings.bSerial1IDAsCap ||
                             gSettings.sSerial1Protocol == QLatin1String("SCOPE");
    if (capcodeMode)
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
