#include "transfer/records.h"

namespace {

const QString kYes = QStringLiteral("YES");
const QString kBlank = QStringLiteral(" ");

// fields of a group that travel: GroupID .. PagerID20
constexpr int kGroupWireFields = grpPagerID20 + 1;
// fields of a family that travel: Active .. Suffix
constexpr int kFamilyWireFields = famSuffix + 1;
// the letter and the number come before the fields in every reply
constexpr int kFirstFieldToken = 3;

QChar letter(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Group: return u'L';
    case RecordKind::Family: return u'G';
    case RecordKind::Message: return u'M';
    }
    return u'?';
}

QString head(RecordKind kind, int n) { return QString(letter(kind)) + kBlank + QString::number(n); }

bool inTable(RecordKind kind, int n) { return n >= 1 && n <= RecordCount(kind); }

// "0123" -> "123", "0012" -> "012", "0000" and "123" stay: the encoder pads
// pager IDs to four digits, the tables keep them to three where they fit.
void dropStartIdPadding(QString &id)
{
    bool ok = false;
    const qlonglong value = id.toLongLong(&ok);
    if (!ok || value < 1)
        return;
    int cut = 0;
    while (id.size() - cut > 3 && id.at(cut) == u'0')
        ++cut;
    id.remove(0, cut);
}

}  // namespace

int RecordCount(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Group: return kGroupCount;
    case RecordKind::Family: return kFamilyCount;
    case RecordKind::Message: return kMessageCount;
    }
    return 0;
}

QList<RecordStep> RecordOrder()
{
    QList<RecordStep> steps;
    for (RecordKind kind : {RecordKind::Group, RecordKind::Family, RecordKind::Message})
        for (int n = 1; n <= RecordCount(kind); ++n)
            steps.append({kind, n});
    return steps;
}

QString RecordCaption(RecordKind kind, int n, bool writing)
{
    QString name;
    switch (kind) {
    case RecordKind::Group: name = QStringLiteral("Group "); break;
    case RecordKind::Family: name = QStringLiteral("Family "); break;
    case RecordKind::Message: name = QStringLiteral("Message "); break;
    }
    return (writing ? QStringLiteral("Writing Pager Database - ") : QStringLiteral("Reading Pager Database - "))
           + name + QString::number(n);
}

QString RecordRequestText(RecordKind kind, int n) { return head(kind, n); }

QString RecordRequest(RecordKind kind, int n) { return BuildTAPBlock(kRequestPagerID, RecordRequestText(kind, n)); }

QString GroupRecord(const GroupRow &row, int n)
{
    QString text = head(RecordKind::Group, n);
    if (row[grpComplete] != kYes)
        return text + QStringLiteral(" 0 0 0 0 0 0 0 0");
    for (int f = 0; f < kGroupWireFields; ++f)
        text += kBlank + row[f];
    return text;
}

QString FamilyRecord(const FamilyRow &row, int n)
{
    QString text = head(RecordKind::Family, n);
    if (row[famComplete] != kYes)
        return text + QStringLiteral(" 0 8 5 A 0 0 0 0 0");
    for (int f = 0; f < kFamilyWireFields; ++f)
        text += kBlank + row[f];
    return text;
}

QString MessageRecord(const QString &message, int n)
{
    return head(RecordKind::Message, n) + kBlank + QChar(u'"') + message + QChar(u'"');
}

QString RecordText(RecordKind kind, int n, const PagerDatabase &db)
{
    if (!inTable(kind, n))
        return head(kind, n);
    switch (kind) {
    case RecordKind::Group: return GroupRecord(db.Groups[n - 1], n);
    case RecordKind::Family: return FamilyRecord(db.Families[n - 1], n);
    case RecordKind::Message: return MessageRecord(db.CannedMessages[n - 1], n);
    }
    return QString();
}

QString ProgrammedRecord(RecordKind kind, int n, const PagerDatabase &db)
{
    return BuildTAPBlock(kProgramPagerID, RecordText(kind, n, db));
}

bool HasRecordAck(const QString &reply) { return reply.contains(kRecordAck); }

QString ReplyValue(const QString &reply) { return reply.size() < 2 ? QString() : reply.chopped(2); }

int ReadGroupReply(const QString &reply, GroupRow &row)
{
    const SplitResult tokens = SplitFields(ReplyValue(reply), kBlank);
    // the encoder's short answer for an unused group carries no pager IDs: a
    // field the reply leaves out takes the unused group's value, whatever the
    // row held before, so that the row holds what the encoder holds
    const GroupRow unused = NewDatabaseGroupRow();
    for (int f = 0; f < kGroupWireFields; ++f)
        row[f] = tokens.has(f + kFirstFieldToken) ? tokens.fields[f + kFirstFieldToken] : unused[f];
    row[grpComplete] = kYes;
    return tokens.count();
}

int ReadFamilyReply(const QString &reply, FamilyRow &row)
{
    const SplitResult tokens = SplitFields(ReplyValue(reply), kBlank);
    // a field the reply leaves out takes the unused family's value, whatever
    // the row held before
    const FamilyRow unused = NewDatabaseFamilyRow();
    // the encoder's short answer for a family that holds only a number
    if (tokens.count() == 3) {
        for (int f = 0; f < kFamilyWireFields; ++f)
            row[f] = unused[f];
        row[famStartCap] = QStringLiteral("0000000");
        row[famComplete] = kYes;
        return tokens.count();
    }
    for (int f = 0; f < kFamilyWireFields; ++f) {
        if (!tokens.has(f + kFirstFieldToken)) {
            row[f] = unused[f];
            continue;
        }
        row[f] = tokens.fields[f + kFirstFieldToken];
        if (f == famStartID)
            dropStartIdPadding(row[f]);
    }
    if (row[famActive] == u"0" && row[famPagerQty] == u"000") {
        row[famStartCap] = QStringLiteral("0000000");
        row[famComplete].clear();
    } else {
        row[famComplete] = kYes;
    }
    return tokens.count();
}

QString MessageFromReply(const QString &reply)
{
    // M n "" CR LF for messages 1 to 9
    if (reply.size() == 8)
        return QString();
    const qsizetype quote = reply.indexOf(u'"');  // -1 when there is none
    const qsizetype start = quote + 1;
    const qsizetype length = reply.size() - start - 3;
    if (length < 0)
        return QString();
    return reply.mid(start, length);
}

bool ReadRecordReply(RecordKind kind, int n, const QString &reply, PagerDatabase &db)
{
    if (!inTable(kind, n))
        return false;
    switch (kind) {
    case RecordKind::Group: ReadGroupReply(reply, db.Groups[n - 1]); break;
    case RecordKind::Family: ReadFamilyReply(reply, db.Families[n - 1]); break;
    case RecordKind::Message: db.CannedMessages[n - 1] = MessageFromReply(reply); break;
    }
    return true;
}
