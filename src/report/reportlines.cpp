#include "report/reportlines.h"

#include <QStringList>
#include <limits>

namespace report {

namespace {

QString spaces(int n) { return QString(n, QLatin1Char(' ')); }

// "0" characters in front until the text is at least `width` long.
QString fillZeros(const QString &text, int width) { return text.rightJustified(width, QLatin1Char('0')); }

// Leading "0" characters shown as blanks, at most `most` of them.
QString zerosAsSpaces(QString text, int most)
{
    for (int i = 0; i < text.size() && i < most && text[i] == QLatin1Char('0'); ++i)
        text[i] = QLatin1Char(' ');
    return text;
}

bool isOn(const QString &flag) { return flag == QLatin1String("1"); }

QString familyNumberColumn(int n)
{
    const QString digits = QString::number(n);
    return (digits.size() == 1 ? spaces(3) : spaces(2)) + digits + spaces(3);
}

QString funcColumn(const QString &func)
{
    QString shown = func;
    if (func.isEmpty())
        shown = spaces(1);
    else if (func.size() == 1 && func[0] >= QLatin1Char('0') && func[0] <= QLatin1Char('3'))
        shown = QString(QChar(func[0].unicode() + 1));
    // any other code is shown as stored
    return spaces(2) + shown + spaces(2);
}

QString rateColumn(const QString &rate)
{
    if (rate == QLatin1String("5"))
        return QStringLiteral(" 512 ");
    if (rate == QLatin1String("1"))
        return QStringLiteral("1200 ");
    if (rate == QLatin1String("2"))
        return QStringLiteral("2400 ");
    if (rate.isEmpty())
        return spaces(5);
    return rate + spaces(1);  // an unknown code is shown as stored
}

// Prefix and suffix differ only in the blanks behind the value.
QString messageColumn(const QString &msg, int behindNone, int behindValue)
{
    if (msg == QLatin1String("00"))
        return spaces(1) + QStringLiteral("None") + spaces(behindNone);
    if (msg.startsWith(QLatin1Char('0')))
        return spaces(3) + msg.right(1) + spaces(behindValue);
    if (!msg.isEmpty())
        return spaces(2) + msg + spaces(behindValue);
    return spaces(7);
}

QString onOffCell(const QString &flag) { return isOn(flag) ? QStringLiteral("  ON   ") : QStringLiteral("  OFF  "); }

template <typename CellFn>
QString gridRow(const GroupTable &groups, CellFn cell)
{
    QString row;
    for (const GroupRow &g : groups)
        row += cell(g);
    return row;
}

}  // namespace

std::optional<long> ReadWhole(const QString &text, long min, long max)
{
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        negative = t[i++] == QLatin1Char('-');
    if (i >= t.size())
        return std::nullopt;
    long long value = 0;
    for (; i < t.size(); ++i) {
        if (!t[i].isDigit() || t[i].unicode() > '9')
            return std::nullopt;
        value = value * 10 + (t[i].unicode() - '0');
        if (value > (long long)std::numeric_limits<int32_t>::max() + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < min || value > max)
        return std::nullopt;
    return long(value);
}

std::optional<long> ReadInt16(const QString &text) { return ReadWhole(text, -32768, 32767); }

std::optional<long> ReadInt32(const QString &text)
{
    return ReadWhole(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
}

QString FamilyHeading()
{
    return QStringLiteral(
        "Family Active PagerQty StartID EndID StartCap  EndCap   PgrType Func Rate Prefix Suffix");
}

std::optional<QString> FamilyLine(int n, const FamilyRow &row, bool incCapBy8)
{
    const auto qty = ReadInt16(row[famPagerQty]);
    if (!qty)
        return std::nullopt;
    const bool active = isOn(row[famActive]);

    QString line = familyNumberColumn(n);
    line += active ? QStringLiteral("  ON   ") : QStringLiteral(" OFF   ");

    const QString &qtyText = row[famPagerQty];
    line += spaces(2) + (qtyText == QLatin1String("000") ? spaces(3) : zerosAsSpaces(qtyText, 2)) + spaces(4);

    const QString startID = fillZeros(row[famStartID], 4);
    line += spaces(2) + (startID == QLatin1String("0000") ? spaces(4) : zerosAsSpaces(startID, 3)) + spaces(2);

    QString endID = spaces(4);
    if (*qty >= 1) {
        const auto first = ReadInt16(row[famStartID]);
        if (!first)
            return std::nullopt;
        const long last = *first + *qty - 1;
        if (last > 32767 || last < -32768)
            return std::nullopt;
        endID = zerosAsSpaces(fillZeros(QString::number(last), 4), 3);
    }
    line += spaces(1) + endID + spaces(2);

    const QString startCap = fillZeros(row[famStartCap], 7);
    line += (startCap == QLatin1String("0000000") ? spaces(7) : startCap) + spaces(2);

    QString endCap = spaces(7);
    if (*qty > 0) {
        const auto first = ReadInt32(row[famStartCap]);
        if (!first)
            return std::nullopt;
        const long long last = (long long)*first + (long long)(*qty - 1) * (incCapBy8 ? 8 : 1);
        if (last > std::numeric_limits<int32_t>::max() || last < std::numeric_limits<int32_t>::min())
            return std::nullopt;
        endCap = fillZeros(QString::number(last), 7);
    }
    line += endCap + spaces(2);

    if (!active)
        line += spaces(8);
    else if (row[famPgrType] == QLatin1String("A"))
        line += QStringLiteral(" Alpha  ");
    else
        line += QStringLiteral("Numeric ");

    line += funcColumn(row[famFunc]);
    line += rateColumn(row[famRate]);
    line += messageColumn(row[famPrefix], 2, 3);
    line += messageColumn(row[famSuffix], 1, 2);
    return line;
}

QString GroupHeading()
{
    return QStringLiteral("   1      2      3      4      5      6      7      8      9     10");
}

QString GroupReferenceRow(const GroupTable &groups)
{
    return gridRow(groups, [](const GroupRow &g) {
        return g[grpReference].rightJustified(6, QLatin1Char(' ')) + spaces(1);
    });
}

QString GroupActiveRow(const GroupTable &groups)
{
    return gridRow(groups, [](const GroupRow &g) { return onOffCell(g[grpActive]); });
}

QString GroupIDRow(const GroupTable &groups)
{
    return gridRow(groups, [](const GroupRow &g) { return spaces(1) + fillZeros(g[grpGroupID], 4) + spaces(2); });
}

std::optional<QString> GroupPagerIDRow(const GroupTable &groups, int k)
{
    QString row;
    for (const GroupRow &g : groups) {
        const QString &id = g[grpPagerID1 + k - 1];
        // the encoder's short group reply leaves the pager IDs empty: unset
        if (id.isEmpty()) {
            row += spaces(7);
            continue;
        }
        const auto value = ReadInt16(id);
        if (!value)
            return std::nullopt;
        row += *value > 0 ? spaces(1) + fillZeros(id, 4) + spaces(2) : spaces(7);
    }
    return row;
}

QString GroupTimerActiveRow(const GroupTable &groups)
{
    return gridRow(groups, [](const GroupRow &g) { return onOffCell(g[grpTimerActive]); });
}

QString GroupTimerMsgRow(const GroupTable &groups)
{
    return gridRow(groups, [](const GroupRow &g) {
        if (!isOn(g[grpTimerActive]))
            return spaces(1) + QStringLiteral("None") + spaces(2);
        return (g[grpTimerMsg].size() < 2 ? spaces(3) : spaces(2)) + g[grpTimerMsg] + spaces(3);
    });
}

}  // namespace report
