#include "database/state.h"

PagerDatabase gDb;
EncoderSettings gSettings;
RunState gRun;
WaitFlags gWait;

void ResetSharedState()
{
    gDb = PagerDatabase{};
    gSettings = EncoderSettings{};
    gRun = RunState{};
    gWait = WaitFlags{};
}

FamilyRow NewDatabaseFamilyRow()
{
    return FamilyRow{QStringLiteral("0"), QStringLiteral("0000000"), QStringLiteral("5"),
                     QStringLiteral("A"), QStringLiteral("3"), QStringLiteral("000"),
                     QStringLiteral("0000"), QStringLiteral("00"), QStringLiteral("00"),
                     QString()};
}

GroupRow NewDatabaseGroupRow()
{
    GroupRow row;
    row[grpGroupID] = QStringLiteral("0000");
    row[grpActive] = QStringLiteral("0");
    row[grpTrigger1Active] = QStringLiteral("0");
    row[grpTrigger1Msg] = QStringLiteral("00");
    row[grpTrigger2Active] = QStringLiteral("0");
    row[grpTrigger2Msg] = QStringLiteral("00");
    row[grpTimerActive] = QStringLiteral("0");
    row[grpTimerMsg] = QStringLiteral("00");
    for (int k = grpPagerID1; k <= grpPagerID20; ++k)
        row[k] = QStringLiteral("0000");
    return row;
}

void ApplyNewDatabase(PagerDatabase &db)
{
    for (auto &row : db.Families)
        row = NewDatabaseFamilyRow();
    for (auto &row : db.Groups) {
        // the Reference is the user's own note and survives New Database
        const QString reference = row[grpReference];
        row = NewDatabaseGroupRow();
        row[grpReference] = reference;
    }
    for (auto &msg : db.CannedMessages)
        msg.clear();
}

static long toNumber(const QString &s)
{
    bool ok = false;
    const long v = s.trimmed().toLong(&ok);
    return ok ? v : -1;
}

long FamilyEndID(const FamilyRow &row)
{
    const long start = toNumber(row[famStartID]);
    const long qty = toNumber(row[famPagerQty]);
    if (start < 0 || qty < 0)
        return -1;
    return start + qty - 1;
}

long FamilyEndCap(const FamilyRow &row, bool incCapBy8)
{
    const long start = toNumber(row[famStartCap]);
    const long qty = toNumber(row[famPagerQty]);
    if (start < 0 || qty < 0)
        return -1;
    return incCapBy8 ? start + (qty - 1) * 8 : start + qty - 1;
}

bool AllDigits(const QString &text)
{
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

QString ReplaceAll(const QString &text, const QString &find, const QString &replacement)
{
    if (find.isEmpty())
        return text;
    QString out = text;
    return out.replace(find, replacement, Qt::CaseSensitive);
}
