#include "editors/settings_rules.h"

namespace {

struct ProtocolOption {
    const char *caption;
    const char *value;
};
constexpr ProtocolOption kProtocols[kProtocolOptionCount] = {
    {"TAP", "TAP"},     {"PET && TAP", "PET"}, {"COMP1", "COMP1"}, {"COMP2", "COMP2"},
    {"Quorvane", "QV"}, {"Scope", "SCOPE"},    {"SNPP", "SNPP"},
};

struct FlowOption {
    const char *caption;
    const char *value;
};
constexpr FlowOption kFlows[5] = {
    {"None", "NONE"},
    {"Hardware (RTS/CTS)", "HW"},
    {"Software (XON/XOFF)", "SW"},
    {"Alt Hardware (Flow before ACK/NAK)", "AHW"},
    {"Alt Software (Flow before ACK/NAK)", "ASW"},
};

// The value of a text of digits, saturated far above any limit the dialog
// applies (a long run of digits is simply a large number).
qint64 digitsValue(const QString &s)
{
    qint64 v = 0;
    for (QChar c : s) {
        v = v * 10 + (c.unicode() - '0');
        if (v > 1000000000)
            return 1000000000;
    }
    return v;
}

}  // namespace

QString ProtocolOptionCaption(int index)
{
    return index >= 0 && index < kProtocolOptionCount ? QString::fromLatin1(kProtocols[index].caption) : QString();
}

QString ProtocolOptionValue(int index)
{
    return index >= 0 && index < kProtocolOptionCount ? QString::fromLatin1(kProtocols[index].value) : QString();
}

int ProtocolOptionIndex(const QString &protocol)
{
    for (int i = 0; i < kProtocolOptionCount; ++i)
        if (protocol == QLatin1String(kProtocols[i].value))
            return i;
    return -1;
}

QStringList SpeedItems()
{
    return {QStringLiteral("300"), QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("9600")};
}

QStringList DataBitsItems() { return {QStringLiteral("7"), QStringLiteral("8")}; }

QStringList ParityItems() { return {QStringLiteral("Even"), QStringLiteral("None")}; }

bool Comp1LacksDefaultPager(const PagerDatabase &db)
{
    const GroupRow &group1 = db.Groups[0];
    return group1[grpPagerID1] == QLatin1String("0000") || group1[grpActive] == QLatin1String("0");
}

QString CharacterFormat(const QString &parity, const QString &dataBits)
{
    if (dataBits.isEmpty())
        return QString();
    if (parity == QLatin1String("Even"))
        return QStringLiteral("E") + dataBits + QStringLiteral("1");
    if (parity == QLatin1String("None"))
        return QStringLiteral("N") + dataBits + QStringLiteral("1");
    return QString();
}

bool AccessCodeMatches(const QString &entry) { return entry.toUpper() == kAccessCode; }

QString FlowOptionCaption(int index)
{
    return index >= 0 && index < 5 ? QString::fromLatin1(kFlows[index].caption) : QString();
}

QString FlowOptionValue(int index)
{
    return index >= 0 && index < 5 ? QString::fromLatin1(kFlows[index].value) : QString();
}

int FlowOptionIndex(const QString &flow)
{
    for (int i = 0; i < 5; ++i)
        if (flow == QLatin1String(kFlows[i].value))
            return i;
    return -1;
}

bool DutyCycleManagementActive(const QString &dutyCycle)
{
    if (dutyCycle.isEmpty() || !AllDigits(dutyCycle))
        return false;
    const qint64 duty = digitsValue(dutyCycle);
    return duty > 0 && duty < 100;
}

AdvancedValuesVerdict CheckAdvancedValues(const QString &dutyCycle, const QString &batch)
{
    if (dutyCycle.isEmpty() || batch.isEmpty())
        return AdvancedValuesVerdict::EmptyValue;
    if (!AllDigits(dutyCycle))
        return AdvancedValuesVerdict::BadDutyCycle;
    if (!AllDigits(batch))
        return AdvancedValuesVerdict::BadBatch;
    if (DutyCycleManagementActive(dutyCycle) && digitsValue(batch) > kMaxManagedBatch)
        return AdvancedValuesVerdict::BatchTooHigh;
    return AdvancedValuesVerdict::Accept;
}

QString LoadErrorText(const QString &description)
{
    return QStringLiteral("Error in Loading Encoder Settings Form: ") + description;
}

QString Comp1BoxTitle() { return QStringLiteral("COMP1 Pager ID Not Defined"); }

QString Comp1BoxText()
{
    return QStringLiteral("COMP1 Protocol Requires a Default Pager Assignment\r"
                          "The First Pager ID in the First Pager Group is Used as the Default Pager ID\r"
                          "The Protocol has been set to TAP");
}

QString IDAsCapBoxTitle() { return QStringLiteral("Pager Family and Group Settings Ignored"); }

QString IDAsCapBoxText()
{
    return QStringLiteral("When 'ID As Capcode' mode is enabled\r"
                          "the encoder ignores your pager family and pager group settings");
}

QString InvalidValuesBoxTitle() { return QStringLiteral("Invalid Values Detected"); }

QString InvalidValuesBoxText()
{
    return QStringLiteral("Please Enter Numerical Values For\rDuty Cycle And Batch Quantity");
}

QString BatchLimitBoxTitle() { return QStringLiteral("Max Msgs per Batch Too High"); }

QString BatchLimitBoxText()
{
    return QStringLiteral("When Duty Cycle Management Mode is Active\r"
                          "The Max Msgs per Batch Cannot be Greater Than 32\r\r"
                          "Max Msgs per Batch will be Changed to 32");
}
