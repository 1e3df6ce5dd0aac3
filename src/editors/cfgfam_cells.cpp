#include "editors/cfgfam_cells.h"

#include "database/checks_common.h"

#include <QStringList>

namespace cfgfam {

QString HeadingFormat()
{
    return QStringLiteral("^     |^Active|<Pager Qty|<Start ID|<End ID |<Start Capcode |<End Capcode|<Pager Type|"
                          "<Func Code|<Data Rate|<Prefix Msg|<Suffix Msg");
}

QString RowLabelFormat()
{
    QString s = QStringLiteral(";");
    for (int n = 1; n <= kFamilyCount; ++n)
        s += QStringLiteral("| ") + QString::number(n);
    return s;
}

std::optional<long long> StoredNumber(const QString &text) { return checks::ToInt32(text); }

bool TypedNumber(const QString &text, long long &value)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (QChar ch : text)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
    value = text.toLongLong();
    return true;
}

QString QtyText(const QString &stored)
{
    const std::optional<long long> q = StoredNumber(stored);
    return q ? QString::number(*q) : QString();
}

QString EndIDText(const FamilyRow &row)
{
    const std::optional<long long> start = StoredNumber(row[famStartID]);
    const std::optional<long long> qty = StoredNumber(row[famPagerQty]);
    // a family of no pagers has no last pager ID, as in the printed report
    if (!start || !qty || *qty < 1 || *start + *qty - 1 < 1)
        return QString();
    return checks::PadNumber(*start + *qty - 1, int(row[famStartID].size()));
}

QString EndCapText(const FamilyRow &row, bool incCapBy8)
{
    const std::optional<long long> start = StoredNumber(row[famStartCap]);
    const std::optional<long long> qty = StoredNumber(row[famPagerQty]);
    if (!start || !qty || *qty < 1)
        return QString();
    const long long last = *start + (*qty - 1) * (incCapBy8 ? 8 : 1);
    if (last < 1)
        return QString();
    return checks::PadNumber(last, 7);
}

QString PgrTypeText(const QString &stored)
{
    return stored == QLatin1String("A") ? QStringLiteral("Alpha") : QStringLiteral("Numeric");
}

std::optional<QString> LoadFuncText(const QString &stored)
{
    if (stored == QLatin1String("0") || stored == QLatin1String("1") || stored == QLatin1String("2") ||
        stored == QLatin1String("3"))
        return QString::number(stored.toInt() + 1);
    return std::nullopt;
}

std::optional<QString> LoadRateText(const QString &stored)
{
    if (stored == QLatin1String("5"))
        return QStringLiteral("512");
    if (stored == QLatin1String("1"))
        return QStringLiteral("1200");
    if (stored == QLatin1String("2"))
        return QStringLiteral("2400");
    return std::nullopt;
}

QString OnFuncText(const QString &stored)
{
    if (stored == QLatin1String("3"))
        return QStringLiteral("4");
    if (stored == QLatin1String("2"))
        return QStringLiteral("3");
    if (stored == QLatin1String("1"))
        return QStringLiteral("2");
    return QStringLiteral("1");
}

QString OnRateText(const QString &stored)
{
    if (stored == QLatin1String("5"))
        return QStringLiteral("512");
    if (stored == QLatin1String("1"))
        return QStringLiteral("1200");
    return QStringLiteral("2400");
}

QString MsgText(const QString &stored)
{
    if (stored == QLatin1String("00"))
        return QStringLiteral("None");
    if (stored.startsWith(QLatin1Char('0')))
        return stored.right(1);
    return stored;
}

QString MessageLabel(const QString &word, const QString &field, const MessageTable &messages, bool shorten)
{
    const QString bare = word + QLatin1Char(':');
    if (field.isEmpty() || field == QLatin1String("00"))
        return bare;
    const std::optional<long long> n = StoredNumber(field);
    if (!n || *n < 1 || *n > kMessageCount)
        return bare;  // no such canned message
    QString text = messages[size_t(*n - 1)];
    if (shorten && text.size() > 90)
        text = text.left(85) + QStringLiteral("...");
    return bare + QLatin1Char(' ') + text;
}

const TypedField *TypedFieldFor(int col)
{
    static const TypedField qty{famPagerQty, 3, 1, 999, 3,
                                QStringLiteral("Entry Should be Numeric Value Between 1 and 999"), QStringLiteral("1")};
    static const TypedField startID{famStartID, 4, 1, 8999, 0,
                                    QStringLiteral("Entry Should be Numeric Value Between 1 and 8999"),
                                    QStringLiteral("1")};
    static const TypedField startCap{famStartCap, 7, 8, -1, 7,
                                     QStringLiteral("Entry Should be Numeric Value Greater Than 7"),
                                     QStringLiteral("8")};
    switch (col) {
    case colQty:
        return &qty;
    case colStartID:
        return &startID;
    case colStartCap:
        return &startCap;
    default:
        return nullptr;
    }
}

QString PadStored(const QString &typed, int width)
{
    if (typed.size() >= width)
        return typed;
    return QString(width - typed.size(), QLatin1Char('0')) + typed;
}

QString PgrTypeCode(const QString &shown)
{
    return shown == QLatin1String("Alpha") ? QStringLiteral("A") : QStringLiteral("N");
}

QString RateCode(const QString &shown)
{
    if (shown == QLatin1String("512"))
        return QStringLiteral("5");
    if (shown == QLatin1String("1200"))
        return QStringLiteral("1");
    return QStringLiteral("2");
}

QString MsgCode(const QString &shown)
{
    return shown == QLatin1String("None") ? QStringLiteral("00") : shown;
}

FuncChoice DecideFunc(const QString &chosen, const QString &pgrType)
{
    static const QString alpha = QStringLiteral("The Normal Function Code Value for Alpha Pagers is 4");
    static const QString numeric = QStringLiteral("The Normal Function Code Value for Numeric Pagers is 1");
    static const QString alphanumeric = QStringLiteral("The Normal Function Code Value for Alphanumeric Pagers is 4");
    const bool a = pgrType == QLatin1String("A");
    const bool n = pgrType == QLatin1String("N");
    if (chosen == QLatin1String("4") && a)
        return {QString(), QStringLiteral("3")};
    if (chosen == QLatin1String("3"))
        return {a ? alpha : numeric, QStringLiteral("2")};
    if (chosen == QLatin1String("2"))
        return {a ? alpha : numeric, QStringLiteral("1")};
    if (chosen == QLatin1String("1") && n)
        return {QString(), QStringLiteral("0")};
    if (chosen == QLatin1String("4") && n)
        return {numeric, QStringLiteral("3")};
    if (chosen == QLatin1String("1") && a)
        return {alphanumeric, QStringLiteral("0")};
    return {QString(), std::nullopt};
}

bool FamilyComplete(const FamilyRow &row)
{
    const QString &qty = row[famPagerQty];
    if (qty.isEmpty() || qty == QLatin1String("000"))
        return false;
    if (row[famStartID] == QLatin1String("0000"))
        return false;
    const std::optional<long long> cap = StoredNumber(row[famStartCap]);
    if (!cap || *cap < 8)
        return false;
    return row[famPgrType] == QLatin1String("A") || row[famPgrType] == QLatin1String("N");
}

bool ValueMissing(const FamilyRow &row, int col)
{
    switch (col) {
    case colQty: {
        const std::optional<long long> qty = StoredNumber(row[famPagerQty]);
        return !qty || *qty < 1;
    }
    case colStartID:
        return row[famStartID].isEmpty() || row[famStartID] == QLatin1String("0000");
    case colStartCap: {
        const std::optional<long long> cap = StoredNumber(row[famStartCap]);
        return !cap || *cap < 8;
    }
    case colPgrType:
        return row[famPgrType] != QLatin1String("A") && row[famPgrType] != QLatin1String("N");
    case colRate:
        return row[famRate].isEmpty();
    default:
        return false;
    }
}

bool EraseIncompleteFamily(FamilyRow &row)
{
    row[famPagerQty] = QStringLiteral("000");
    row[famStartID] = QStringLiteral("0000");
    row[famStartCap] = QStringLiteral("0000000");
    row[famPgrType] = QStringLiteral("A");
    row[famComplete].clear();
    if (row[famActive] == QLatin1String("1")) {
        row[famActive] = QStringLiteral("0");
        return true;
    }
    return false;
}

QString IncompleteQuestion()
{
    return QStringList{QStringLiteral("Pager Families Definition is Incomplete"),
                       QStringLiteral("As Shown by Magenta Fields."), QStringLiteral("Incomplete Records Will be Erased."),
                       QStringLiteral("Are You Sure You Want to Exit?")}
        .join(QLatin1Char('\r'));
}

}  // namespace cfgfam
