#include "database/pg8file.h"

#include "editors/cfgfam_cells.h"
#include "editors/cfggroup_logic.h"
#include "platform/codepage.h"
#include "platform/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

constexpr int kStoredFamilyFields = 9;  // Active .. Suffix; Complete is derived
constexpr int kGroupFieldsBeforeReference = 28;  // GroupID .. PagerID20

// One settings line: the key the writer puts before the comma, the start the
// reader recognises it by (long enough to tell "Serial1 PPHReset" from
// "Serial1 Protocol"), and the setting it carries.
struct SettingLine {
    const char *key;
    const char *prefix;
    bool EncoderSettings::*flag;
    QString EncoderSettings::*text;
};

// In file order.
const SettingLine kSettingLines[] = {
    {"InvertData", "InvertD", &EncoderSettings::bInvertData, nullptr},
    {"InvertRFCD", "InvertR", &EncoderSettings::bInvertRFCD, nullptr},
    {"DutyCycle", "Dut", nullptr, &EncoderSettings::sDutyCycle},
    {"MaxBatch", "Max", nullptr, &EncoderSettings::sMaxBatch},
    {"IgnoreRFCD", "Ign", &EncoderSettings::bIgnoreRFCD, nullptr},
    {"IncCapsby8", "IncCaps", &EncoderSettings::bIncCapBy8, nullptr},
    {"Serial1 PPHReset", "Serial1 PPH", &EncoderSettings::bSerial1PPHReset, nullptr},
    {"Serial2 PPHReset", "Serial2 PPH", &EncoderSettings::bSerial2PPHReset, nullptr},
    {"Serial1 IDAsCap", "Serial1 IDA", &EncoderSettings::bSerial1IDAsCap, nullptr},
    {"Serial2 IDAsCap", "Serial2 IDA", &EncoderSettings::bSerial2IDAsCap, nullptr},
    {"Serial1 Flow", "Serial1 Flo", nullptr, &EncoderSettings::sSerial1Flow},
    {"Serial2 Flow", "Serial2 Flo", nullptr, &EncoderSettings::sSerial2Flow},
    {"Serial1 Protocol", "Serial1 Pro", nullptr, &EncoderSettings::sSerial1Protocol},
    {"Serial2 Protocol", "Serial2 Pro", nullptr, &EncoderSettings::sSerial2Protocol},
    {"Serial1 Baud", "Serial1 Bau", nullptr, &EncoderSettings::sSerial1Baud},
    {"Serial2 Baud", "Serial2 Bau", nullptr, &EncoderSettings::sSerial2Baud},
    {"Serial1 Databits", "Serial1 Dat", nullptr, &EncoderSettings::sSerial1Databits},
    {"Serial2 Databits", "Serial2 Dat", nullptr, &EncoderSettings::sSerial2Databits},
    {"Serial1 Verbose", "Serial1 Ver", &EncoderSettings::bSerial1Verbose, nullptr},
    {"Serial2 Verbose", "Serial2 Ver", &EncoderSettings::bSerial2Verbose, nullptr},
};

const char *const kNotesKey = "Notes";
const char *const kNotesPrefix = "Not";

const char *const kFamilyFieldNames[kStoredFamilyFields] = {
    "Active", "Start Capcode", "Data Rate", "Pager Type", "Function Code",
    "Pager Quantity", "Start ID", "Prefix Message", "Suffix Message",
};

const char *const kGroupFieldNames[grpPagerID1] = {
    "Group ID", "Active", "Trigger 1 Active", "Trigger 1 Message",
    "Trigger 2 Active", "Trigger 2 Message", "Timer Active", "Timer Message",
};

QString groupFieldName(int group, int field)
{
    QString name;
    if (field < grpPagerID1)
        name = QLatin1String(kGroupFieldNames[field]);
    else if (field <= grpPagerID20)
        name = QStringLiteral("Pager ID %1").arg(field - grpPagerID1 + 1);
    else
        name = QStringLiteral("Reference");
    return QStringLiteral("Group %1 %2").arg(group).arg(name);
}

// Where a value stands on its line: among the comma-separated fields, or as
// the last item, which takes the rest of the line, commas included.
enum class Place { Field, LineEnd };

// Why `value` cannot go into the file as it is, or an empty text when it can.
// Every line is one record, so a line break would split it; a comma inside a
// field would end it early and shift the fields after it; a character with
// no byte in the code page would come back as something else.
QString storeProblem(const QString &value, const QString &fieldName, Place place)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\r' || c == u'\n')
            return QStringLiteral("%1 holds a line break, which cannot be stored in a pager "
                                  "database file. Remove it and save again.")
                .arg(fieldName);
        if (c == u',' && place == Place::Field)
            return QStringLiteral("%1 holds a comma, which cannot be stored in a pager "
                                  "database file. Remove it and save again.")
                .arg(fieldName);
        if (platform::HasAnsiByte(c))
            continue;
        const QString what = platform::DescribeNonAnsi(value, i);
        return QStringLiteral("%1 holds %2, which cannot be stored in a pager database file. "
                              "Change it and save again.")
            .arg(fieldName, what);
    }
    return QString();
}

// Up to `count` comma-separated fields of a table line, after its tag.
// A line without a comma after the tag has no fields. When all `count`
// fields were followed by a comma, `rest` (if given) receives what follows
// the last of them and `hasRest` becomes true; when the line ended first it
// stays false.
QStringList takeFields(const QString &line, int count, QString *rest = nullptr,
                       bool *hasRest = nullptr)
{
    QStringList fields;
    if (hasRest)
        *hasRest = false;
    const qsizetype tagEnd = line.indexOf(u',');
    if (tagEnd < 0)
        return fields;
    qsizetype pos = tagEnd + 1;
    while (fields.size() < count) {
        const qsizetype comma = line.indexOf(u',', pos);
        if (comma < 0) {
            fields << line.mid(pos);
            return fields;
        }
        fields << line.mid(pos, comma - pos);
        pos = comma + 1;
    }
    if (rest)
        *rest = line.mid(pos);
    if (hasRest)
        *hasRest = true;
    return fields;
}

QString padStartID(QString id)
{
    while (id.size() < 3)
        id.prepend(u'0');
    return id;
}

// True for a text of digits only whose value is above zero; any other text
// (empty, signed, with blanks or letters) is not a pager ID at all.
bool isPositiveWholeNumber(const QString &s)
{
    if (s.isEmpty())
        return false;
    bool nonZero = false;
    for (const QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
        if (c != u'0')
            nonZero = true;
    }
    return nonZero;
}

void readFamilyLine(const QString &line, FamilyRow &row, Pg8ReadMode mode)
{
    const QStringList fields = takeFields(line, kStoredFamilyFields);
    for (int f = 0; f < fields.size(); ++f) {
        QString value = fields.at(f);
        // hand-edited files and older encoders give short IDs; Open shows them
        // in the three-digit form the editors use
        if (f == famStartID && mode == Pg8ReadMode::Open && !value.isEmpty())
            value = padStartID(value);
        row[f] = value;
    }
    // an inactive family keeps its definition when it holds a full one, so
    // that programming sends it instead of the empty record; a row is never
    // complete because of the database loaded before
    const bool complete = row[famActive] == QLatin1String("1") || cfgfam::FamilyComplete(row);
    row[famComplete] = complete ? QStringLiteral("YES") : QString();
}

void readGroupLine(const QString &line, GroupRow &row, Pg8ReadMode mode)
{
    QString rest;
    bool hasRest = false;
    const QStringList fields = takeFields(line, kGroupFieldsBeforeReference, &rest, &hasRest);
    for (int f = 0; f < fields.size(); ++f)
        row[f] = fields.at(f);
    // the Reference is free text and may hold commas: it is all that is left
    if (hasRest)
        row[grpReference] = rest;
    // an empty Group ID (a table nothing had filled) is no ID either; a group
    // without one of its own keeps its definition when the groups editor
    // would take it as complete, so that programming sends it instead of the
    // empty record
    const QString &id = row[grpGroupID];
    const bool idSet = mode == Pg8ReadMode::Open ? !id.isEmpty() && id != QLatin1String("0000")
                                                 : isPositiveWholeNumber(id);
    row[grpComplete] = idSet || groupsgrid::GroupComplete(row) ? QStringLiteral("YES") : QString();
}

void readMessageLine(const QString &line, QString &message)
{
    const qsizetype comma = line.indexOf(u',');
    if (comma < 0)
        return;  // no text to take
    message = line.mid(comma + 1);
}

void readSettingLine(const QString &line, const SettingLine &setting, EncoderSettings &settings)
{
    const qsizetype comma = line.indexOf(u',');
    const QString value = comma < 0 ? line : line.mid(comma + 1);
    if (setting.flag)
        settings.*setting.flag = value == QLatin1String("1");
    else
        settings.*setting.text = value;
}

// The notes sit between the double quote after the first comma and the last
// character of the line, which the writer makes the closing quote; quotes and
// commas inside stay as they are.
QString notesFromLine(const QString &line)
{
    const qsizetype comma = line.indexOf(u',');
    if (comma < 0)
        return QString();
    const qsizetype length = line.size() - comma - 3;
    if (length <= 0)
        return QString();
    return line.mid(comma + 2, length);
}

}  // namespace

QByteArray WritePagerDatabaseFile(const PagerDatabase &db, const EncoderSettings &settings,
                                  const QString &notes, QString *error)
{
    QString out;
    out.reserve(8192);
    QString problem;
    const QString crlf = QStringLiteral("\r\n");

    auto put = [&](const QString &value, const auto &fieldName, Place place = Place::LineEnd) {
        if (!problem.isEmpty())
            return;
        problem = storeProblem(value, fieldName(), place);
        out += value;
    };

    for (int r = 0; r < kFamilyCount && problem.isEmpty(); ++r) {
        out += QStringLiteral("Fam%1").arg(r + 1);
        for (int f = 0; f < kStoredFamilyFields; ++f) {
            out += u',';
            put(
                db.Families[r][f],
                [&] {
                    return QStringLiteral("Family %1 %2").arg(r + 1).arg(QLatin1String(kFamilyFieldNames[f]));
                },
                Place::Field);
        }
        out += crlf;
    }

    for (int r = 0; r < kGroupCount && problem.isEmpty(); ++r) {
        out += QStringLiteral("Grp%1").arg(r + 1);
        for (int f = 0; f < kGroupFieldsBeforeReference; ++f) {
            out += u',';
            put(db.Groups[r][f], [&] { return groupFieldName(r + 1, f); }, Place::Field);
        }
        out += u',';
        put(db.Groups[r][grpReference], [&] { return groupFieldName(r + 1, grpReference); });
        out += crlf;
    }

    for (int m = 0; m < kMessageCount && problem.isEmpty(); ++m) {
        out += QStringLiteral("Msg%1,").arg(m + 1);
        put(db.CannedMessages[m], [&] { return QStringLiteral("Canned message %1").arg(m + 1); });
        out += crlf;
    }

    for (const SettingLine &s : kSettingLines) {
        out += QLatin1String(s.key);
        out += u',';
        if (s.flag)
            out += BoolDigit(settings.*s.flag);
        else
            put(settings.*s.text,
                [&] { return QStringLiteral("The %1 setting").arg(QLatin1String(s.key)); });
        out += crlf;
    }

    out += QLatin1String(kNotesKey);
    out += QStringLiteral(",\"");
    put(notes, [] { return QStringLiteral("Config Notes"); });
    out += QStringLiteral("\"");
    out += crlf;

    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return QByteArray();
    }
    if (error)
        error->clear();
    return platform::ToAnsi(out);
}

Pg8ReadResult ReadPagerDatabaseFile(const QByteArray &bytes, Pg8ReadMode mode, PagerDatabase &db,
                                    EncoderSettings &settings, QString &notes)
{
    Pg8ReadResult result;
    const QStringList lines = platform::SplitLines(platform::FromAnsi(bytes));
    // a table line outside its rows is still a line of the file's own kinds
    bool anyKnownLine = false;
    // rows follow the line's position in the file, not the number in its tag
    for (int counter = 0; counter < lines.size(); ++counter) {
        const QString &line = lines.at(counter);
        bool known = true;
        if (line.startsWith(QLatin1String("Fam"))) {
            if (counter < kFamilyCount)
                readFamilyLine(line, db.Families[counter], mode);
        } else if (line.startsWith(QLatin1String("Grp"))) {
            const int row = counter - kFamilyCount;
            if (row >= 0 && row < kGroupCount)
                readGroupLine(line, db.Groups[row], mode);
        } else if (line.startsWith(QLatin1String("Msg"))) {
            const int pos = counter - kFamilyCount - kGroupCount;
            if (pos >= 0 && pos < kMessageCount)
                readMessageLine(line, db.CannedMessages[pos]);
        } else if (line.startsWith(QLatin1String(kNotesPrefix))) {
            notes = notesFromLine(line);
            result.notesLineRead = true;
        } else {
            known = false;
            for (const SettingLine &s : kSettingLines) {
                if (!line.startsWith(QLatin1String(s.prefix)))
                    continue;
                readSettingLine(line, s, settings);
                if (s.flag == &EncoderSettings::bIncCapBy8)
                    result.incCapsLineRead = true;
                else if (s.flag == &EncoderSettings::bSerial1IDAsCap)
                    result.idAsCapLineRead = true;
                known = true;
                break;
            }
        }
        anyKnownLine = anyKnownLine || known;
    }
    result.lineCount = int(lines.size());
    result.notADatabase = !bytes.isEmpty() && !anyKnownLine;
    return result;
}

bool SavePagerDatabaseFile(const QString &path, const QByteArray &bytes, QString *error)
{
    // a file the user may write is saved even in a folder that takes no new
    // file, in place, as a plain save would
    return platform::ReplaceFile(path, bytes, error, platform::FolderRefuses::WriteInPlace);
}

bool LoadPagerDatabaseFile(const QString &path, QByteArray *bytes, QString *error)
{
    if (bytes)
        bytes->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray data = file.readAll();
    // a read that broke off would load half a database: load nothing instead
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (bytes)
        *bytes = data;
    if (error)
        error->clear();
    return true;
}

QString Pg8FileTitle(const QString &path)
{
    return QFileInfo(path).fileName();
}

QString SavedDatabaseStatusText(const QString &title, bool matchesEncoder)
{
    return QStringLiteral("Saved Database to File: ") + title
        + (matchesEncoder ? QStringLiteral(", Matches Encoder")
                          : QStringLiteral(", Doesn't Match Encoder"));
}

QString OpenedDatabaseStatusText(const QString &title)
{
    return QStringLiteral("Loaded File: ") + title + QStringLiteral(", Doesn't Match Encoder");
}

QString StartUpLoadedStatusText(const QString &title)
{
    return QStringLiteral("Loaded Database File: ") + title;
}

QString NotADatabaseFileText(const QString &title)
{
    return QStringLiteral("The pager database could not be loaded from ") + title
        + QStringLiteral(":\rNo line in it is a family, group, message, setting or notes line, "
                         "so it is not a pager database file.");
}

QString IncCapBy8CaptionText(bool on)
{
    return on ? QStringLiteral("Increment Capcodes by 8 Mode is ON")
              : QStringLiteral("Increment Capcodes by 8 Mode is OFF");
}

QString IDAsCapCaptionText(bool on)
{
    return on ? QStringLiteral("ID As Capcode Mode is ON for Port 1")
              : QStringLiteral("ID As Capcode Mode is OFF for Port 1");
}

QString NewDatabaseQuestionTitle()
{
    return QStringLiteral("Clear Pager Database");
}

QString NewDatabaseQuestionText()
{
    return QStringLiteral("Are You Sure You Want to Clear the Pager Database?\r"
                          "This Action Will Not Erase the Encoder's Database");
}

QString NewDatabaseStatusText()
{
    return QStringLiteral("New Configuration, Does Not Match Encoder");
}

QString OpenDatabaseDialogTitle()
{
    return QStringLiteral("Open Pager Database File");
}

QString SaveDatabaseDialogTitle()
{
    return QStringLiteral("Save Pager Database File");
}

QString DatabaseFileFilter()
{
    return QStringLiteral("Pager Database Files (*.pg8)|*.pg8");
}

QString DatabaseFileSuffix()
{
    return QStringLiteral("pg8");
}
