#include "transfer/validation.h"

#include "platform/codepage.h"

#include <algorithm>
#include <span>

namespace {

QString quoted(const QString &s) { return QLatin1Char('"') + s + QLatin1Char('"'); }

// What stops the character at `i` from travelling, or nothing. Inside a
// token a blank would split the record and a double quote would open a
// message; a character with no byte in the code page cannot go on the line.
std::optional<QString> characterProblem(const QString &value, qsizetype i, bool blankAllowed)
{
    const QChar c = value.at(i);
    if (!platform::HasAnsiByte(c))
        return QStringLiteral("holds %1, which has no byte in the code page and cannot be sent")
            .arg(platform::DescribeNonAnsi(value, i));
    const char16_t u = c.unicode();
    if (platform::IsControlCharacter(c))
        return QStringLiteral("holds a control character (code %1)").arg(int(u));
    if (u == u'"')
        return QStringLiteral("holds a double quote");
    if (u == u' ' && !blankAllowed)
        return QStringLiteral("holds a blank");
    return std::nullopt;
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

enum class Form {
    Text,          // any single token
    Digits,        // digits 0 to 9 only
    SignedDigits,  // the same, or a minus sign and digits: a setting read as a 16-bit number
};

// An empty token is left to the callers: a number setting needs its value,
// a record field is a fault only where a set field follows it.
std::optional<QString> tokenProblem(const QString &value, Form form)
{
    for (qsizetype i = 0; i < value.size(); ++i)
        if (auto p = characterProblem(value, i, false))
            return p;
    if (form == Form::Text || value.isEmpty())
        return std::nullopt;
    const qsizetype first = form == Form::SignedDigits && value.startsWith(u'-') ? 1 : 0;
    const bool number = value.size() > first && std::all_of(value.begin() + first, value.end(), isDigit);
    if (!number)
        return QStringLiteral("is %1, not a number (digits 0 to 9 only)").arg(quoted(value));
    return std::nullopt;
}

std::optional<TransferProblem> checkToken(const QString &item, const QString &value, Form form)
{
    if (auto p = tokenProblem(value, form))
        return TransferProblem{item, *p};
    return std::nullopt;
}

// The encoder splits a record on blanks and skips empty tokens, so an empty
// field with a set one after it would hand every later field to the one
// before; empty fields at the end only leave the encoder's own values.
std::optional<QString> shiftProblem(std::span<const QString> fields, size_t f)
{
    if (!fields[f].isEmpty())
        return std::nullopt;
    if (std::all_of(fields.begin() + f + 1, fields.end(), [](const QString &v) { return v.isEmpty(); }))
        return std::nullopt;
    return QStringLiteral("is empty, so the encoder would read every later field one place early");
}

QString settingItem(const char *name) { return QStringLiteral("Encoder Settings, ") + QLatin1String(name); }

const char *const kFamilyFieldNames[] = {
    "Active",        "Start Capcode",  "Data Rate",      "Pager Type",     "Function Code",
    "Pager Quantity", "Start Pager ID", "Prefix Message", "Suffix Message",
};

const char *const kGroupFieldNames[] = {
    "Group ID",         "Active",       "Trigger 1 Active", "Trigger 1 Message",
    "Trigger 2 Active", "Trigger 2 Message", "Timer Active", "Timer Message",
};

}  // namespace

std::optional<TransferProblem> CheckSettingsForProgramming(Firmware fw, const EncoderSettings &s)
{
    // in the order the programmers send them
    struct Item {
        const char *name;
        const QString &value;
    };
    const Item numbers[] = {
        {"Duty Cycle", s.sDutyCycle},
        {"Max Msgs/Batch", s.sMaxBatch},
    };
    const Item texts[] = {
        {"Port 1 Flow Control", s.sSerial1Flow},  {"Port 2 Flow Control", s.sSerial2Flow},
        {"Port 1 Protocol", s.sSerial1Protocol},  {"Port 2 Protocol", s.sSerial2Protocol},
        {"Port 1 Baud Rate", s.sSerial1Baud},     {"Port 2 Baud Rate", s.sSerial2Baud},
        {"Port 1 Data Bits", s.sSerial1Databits}, {"Port 2 Data Bits", s.sSerial2Databits},
    };
    for (const Item &i : numbers) {
        // "config maxbatch " alone carries no value
        if (i.value.isEmpty())
            return TransferProblem{settingItem(i.name), QStringLiteral("is empty, not a number (digits 0 to 9 only)")};
        if (auto p = checkToken(settingItem(i.name), i.value, Form::SignedDigits))
            return p;
    }
    if (fw == Firmware::V8)
        for (const Item &i : texts)
            if (auto p = checkToken(settingItem(i.name), i.value, Form::Text))
                return p;
    return std::nullopt;
}

std::optional<TransferProblem> CheckGroupForProgramming(const GroupRow &row, int n)
{
    if (row[grpComplete] != u"YES")
        return std::nullopt;
    const QString prefix = QStringLiteral("Group %1, ").arg(n);
    for (int f = 0; f <= grpPagerID20; ++f) {
        const QString name = f < grpPagerID1 ? QLatin1String(kGroupFieldNames[f])
                                             : QStringLiteral("Pager ID %1").arg(f - grpPagerID1 + 1);
        if (auto p = checkToken(prefix + name, row[f], Form::Digits))
            return p;
        if (auto p = shiftProblem(std::span(row).first(grpPagerID20 + 1), f))
            return TransferProblem{prefix + name, *p};
    }
    return std::nullopt;
}

std::optional<TransferProblem> CheckFamilyForProgramming(const FamilyRow &row, int n)
{
    if (row[famComplete] != u"YES")
        return std::nullopt;
    const QString prefix = QStringLiteral("Family %1, ").arg(n);
    for (int f = 0; f <= famSuffix; ++f) {
        const QString item = prefix + QLatin1String(kFamilyFieldNames[f]);
        if (auto p = checkToken(item, row[f], f == famPgrType ? Form::Text : Form::Digits))
            return p;
        if (auto p = shiftProblem(std::span(row).first(famSuffix + 1), f))
            return TransferProblem{item, *p};
    }
    return std::nullopt;
}

std::optional<TransferProblem> CheckMessageForProgramming(const QString &message, int n)
{
    const QString item = QStringLiteral("Canned Message %1").arg(n);
    if (message.size() > kMessageMaxLength)
        return TransferProblem{item, QStringLiteral("is %1 characters long (at most %2)")
                                         .arg(message.size())
                                         .arg(kMessageMaxLength)};
    for (qsizetype i = 0; i < message.size(); ++i)
        if (auto p = characterProblem(message, i, true))
            return TransferProblem{item, *p};
    return std::nullopt;
}

std::optional<TransferProblem> CheckBeforeProgramming(Firmware fw, const PagerDatabase &db, const EncoderSettings &s)
{
    if (auto p = CheckSettingsForProgramming(fw, s))
        return p;
    for (int n = 1; n <= kGroupCount; ++n)
        if (auto p = CheckGroupForProgramming(db.Groups[n - 1], n))
            return p;
    for (int n = 1; n <= kFamilyCount; ++n)
        if (auto p = CheckFamilyForProgramming(db.Families[n - 1], n))
            return p;
    for (int n = 1; n <= kMessageCount; ++n)
        if (auto p = CheckMessageForProgramming(db.CannedMessages[n - 1], n))
            return p;
    return std::nullopt;
}

QString ProgrammingBlockedTitle() { return QStringLiteral("Cannot Program Encoder"); }

QString ProgrammingBlockedText(const TransferProblem &p)
{
    return p.text() + QStringLiteral(".\rNothing has been sent to the encoder. Please correct it and try again.");
}
