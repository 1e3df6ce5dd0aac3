#include "transfer/commands.h"

namespace {

const QString kCRLF = QStringLiteral("\r\n");
const QString kCROnly = QStringLiteral("\r");
const QString kLFOnly = QStringLiteral("\n");
const QString kReadPrefix = QStringLiteral("Reading Pager Database - ");
const QString kWritePrefix = QStringLiteral("Writing Pager Database - ");

enum class Rule {
    Number,   // 16-bit integer, stored without padding
    IsOne,    // True exactly for "1"
    NotZero,  // False exactly for "0"
    IsZero,   // True exactly for "0"
    Text,     // stored as received
    Pet,      // version 7 PET support, with port 1's protocol
    BriefAck, // version 7 brief ACK, with port 1's verbose mode
    AltFc,    // version 7 flow control before ACK, with port 1's flow
};

struct QueryRow {
    const char *key;
    const char *caption;  // after "Reading Pager Database - "
    Rule rule;
    bool EncoderSettings::*flag;
    QString EncoderSettings::*text;
};

using S = EncoderSettings;

const QueryRow kQueriesV8[] = {
    {"maxbatch", "Max Msgs/Batch", Rule::Number, nullptr, &S::sMaxBatch},
    {"dutycycle", "Transmitter Duty Cycle %", Rule::Number, nullptr, &S::sDutyCycle},
    {"ignorerfcd", "Carrier Detection Mode", Rule::IsOne, &S::bIgnoreRFCD, nullptr},
    {"invertrfcd", "Carrier Detection Polarity", Rule::IsOne, &S::bInvertRFCD, nullptr},
    {"invertdata", "Data Polarity", Rule::NotZero, &S::bInvertData, nullptr},
    {"capby8", "Increment Capcodes by 8", Rule::NotZero, &S::bIncCapBy8, nullptr},
    {"serial2 idascap", "ID as Capcode for Port 2", Rule::NotZero, &S::bSerial2IDAsCap, nullptr},
    {"serial1 flow", "Serial Port 1 Flow Control", Rule::Text, nullptr, &S::sSerial1Flow},
    {"serial2 flow", "Serial Port 2 Flow Control", Rule::Text, nullptr, &S::sSerial2Flow},
    {"serial1 pphreset", "Message Timeout Reset Mode", Rule::IsOne, &S::bSerial1PPHReset, nullptr},
    {"serial2 pphreset", "Message Timeout Reset Mode", Rule::IsOne, &S::bSerial2PPHReset, nullptr},
    {"serial1 protocol", "Port 1 Protocol", Rule::Text, nullptr, &S::sSerial1Protocol},
    {"serial2 protocol", "Port 2 Protocol", Rule::Text, nullptr, &S::sSerial2Protocol},
    {"serial1 verbose", "Port 1 Verbose Mode", Rule::IsOne, &S::bSerial1Verbose, nullptr},
    {"serial2 verbose", "Port 2 Verbose Mode", Rule::IsOne, &S::bSerial2Verbose, nullptr},
    {"serial1 databits", "Port 1 Data Bits", Rule::Text, nullptr, &S::sSerial1Databits},
    {"serial2 databits", "Port 2 Data Bits", Rule::Text, nullptr, &S::sSerial2Databits},
    {"serial1 baud", "Port 1 Baud", Rule::Text, nullptr, &S::sSerial1Baud},
    {"serial2 baud", "Port 2 Baud", Rule::Text, nullptr, &S::sSerial2Baud},
};

const QueryRow kQueriesV7[] = {
    {"maxbatch", "Max Msgs/Batch", Rule::Number, nullptr, &S::sMaxBatch},
    {"dutycycle", "Transmitter Duty Cycle %", Rule::Number, nullptr, &S::sDutyCycle},
    {"pphreset", "Message Timeout Reset Mode", Rule::IsOne, &S::bSerial1PPHReset, nullptr},
    {"ignorerfcd", "Carrier Detection Mode", Rule::IsOne, &S::bIgnoreRFCD, nullptr},
    {"pet", "PET Protocol Support", Rule::Pet, &S::bPETSupport, nullptr},
    {"invertrfcd", "Carrier Detection Polarity", Rule::IsZero, &S::bInvertRFCD, nullptr},
    {"invertdata", "Data Polarity", Rule::NotZero, &S::bInvertData, nullptr},
    {"briefack", "Brief ACK Mode", Rule::BriefAck, &S::bBriefACK, nullptr},
    {"altfc", "NAK Before Flow Mode", Rule::AltFc, &S::bFlowBeforeACK, nullptr},
};

template <typename F>
const QueryRow *findQuery(Firmware fw, F &&match)
{
    if (fw == Firmware::V7) {
        for (const QueryRow &row : kQueriesV7)
            if (match(row))
                return &row;
    } else {
        for (const QueryRow &row : kQueriesV8)
            if (match(row))
                return &row;
    }
    return nullptr;
}

CommandStep settingStep(const QString &keyAndValue, const QString &caption)
{
    CommandStep step;
    step.text = QStringLiteral("config ") + keyAndValue;
    step.lineEnd = kCRLF;
    step.awaited = {kCRLF};
    step.caption = caption;
    return step;
}

// A Boolean setting: "1" only for True; the caption names the value sent.
CommandStep flagStep(const QString &key, bool value, const QString &captionOn, const QString &captionOff)
{
    return settingStep(key + u' ' + BoolDigit(value), kWritePrefix + (value ? captionOn : captionOff));
}

// A setting sent as stored; the caption shows the value between two texts.
CommandStep textStep(const QString &key, const QString &value, const QString &captionBefore,
                     const QString &captionAfter = QString())
{
    return settingStep(key + u' ' + value, kWritePrefix + captionBefore + value + captionAfter);
}

CommandStep idAsCapStep(const QString &text)
{
    CommandStep step;
    step.text = text;
    step.lineEnd = kCROnly;
    step.awaited = {kLFOnly};
    step.flushFirst = false;
    return step;
}

}  // namespace

bool CommandStep::replyComplete(const QString &reply) const
{
    for (const QString &marker : awaited)
        if (reply.contains(marker))
            return true;
    return false;
}

QList<CommandStep> SettingsQueries(Firmware fw)
{
    QList<CommandStep> steps;
    auto add = [&steps](const QueryRow &row) {
        CommandStep step = settingStep(QString::fromLatin1(row.key) + u'?', kReadPrefix + QString::fromLatin1(row.caption));
        step.key = QString::fromLatin1(row.key);
        // without PET support the encoder answers with an RS, not a line
        if (row.rule == Rule::Pet)
            step.awaited.append(QString(kRS));
        steps.append(step);
    };
    if (fw == Firmware::V7)
        for (const QueryRow &row : kQueriesV7)
            add(row);
    else
        for (const QueryRow &row : kQueriesV8)
            add(row);
    return steps;
}

bool StoreSettingsReply(Firmware fw, const QString &key, const QString &reply, EncoderSettings &s)
{
    const QueryRow *row = findQuery(fw, [&key](const QueryRow &r) { return key == QLatin1String(r.key); });
    if (!row)
        return false;
    const QString value = ReplyValue(reply);
    switch (row->rule) {
    case Rule::Number: {
        bool ok = false;
        const short number = value.trimmed().toShort(&ok);
        if (!ok)
            return false;
        s.*row->text = QString::number(number);
        return true;
    }
    case Rule::IsOne: s.*row->flag = value == u"1"; return true;
    case Rule::NotZero: s.*row->flag = value != u"0"; return true;
    case Rule::IsZero: s.*row->flag = value == u"0"; return true;
    case Rule::Text: s.*row->text = value; return true;
    case Rule::Pet:
        s.bPETSupport = !reply.contains(kRS) && value == u"1";
        s.sSerial1Protocol = s.bPETSupport ? QStringLiteral("PET") : QStringLiteral("TAP");
        return true;
    case Rule::BriefAck:
        s.bBriefACK = value == u"1";
        s.bSerial1Verbose = !s.bBriefACK;
        return true;
    case Rule::AltFc:
        s.bFlowBeforeACK = value == u"1";
        s.sSerial1Flow = s.bFlowBeforeACK ? QStringLiteral("AHW") : QStringLiteral("HW");
        return true;
    }
    return false;
}

QList<CommandStep> SettingsCommands(Firmware fw, const EncoderSettings &s)
{
    const auto on = QStringLiteral(" ON");
    const auto off = QStringLiteral(" OFF");
    if (fw == Firmware::V7) {
        const QString rfData = QStringLiteral("RF Data Inversion");
        const QString pet = QStringLiteral("PET Protocol Support");
        const QString rfcd = QStringLiteral("RF Carrier Detect Inversion");
        const QString pph = QStringLiteral("Message Timeout Reset Detection");
        const QString carrier = QStringLiteral("Carrier Signal Detection");
        const QString brief = QStringLiteral("Brief ACK");
        const QString altfc = QStringLiteral("Flow Control Before ACK");
        CommandStep petStep = flagStep(QStringLiteral("pet"), s.bPETSupport, pet + on, pet + off);
        // the encoder ends its answer to this one with a bare CR
        petStep.awaited = {kCROnly};
        return {
            flagStep(QStringLiteral("invertdata"), s.bInvertData, rfData + on, rfData + off),
            petStep,
            // the encoder's polarity is the opposite of ours; the caption names the encoder's
            flagStep(QStringLiteral("invertrfcd"), !s.bInvertRFCD, rfcd + on, rfcd + off),
            textStep(QStringLiteral("dutycycle"), s.sDutyCycle, QStringLiteral("Duty Cycle "), QStringLiteral("%")),
            textStep(QStringLiteral("maxbatch"), s.sMaxBatch, QStringLiteral("Max Msgs/Batch ")),
            flagStep(QStringLiteral("pphreset"), s.bSerial1PPHReset, pph + on, pph + off),
            // ignoring the carrier means carrier detection is off
            flagStep(QStringLiteral("ignorerfcd"), s.bIgnoreRFCD, carrier + off, carrier + on),
            flagStep(QStringLiteral("briefack"), s.bBriefACK, brief + on, brief + off),
            flagStep(QStringLiteral("altfc"), s.bFlowBeforeACK, altfc + on, altfc + off),
        };
    }
    const QString rfData = QStringLiteral("RF Data Inversion");
    const QString rfcd = QStringLiteral("RF Carrier Detect Inversion");
    const QString by8 = QStringLiteral("Increment Capcodes by 8");
    const QString pph = QStringLiteral("Message Timeout Reset Detection");
    const QString carrier = QStringLiteral("Carrier Signal Detection");
    const QString idAsCap = QStringLiteral("ID Assumed as Capcode");
    const QString verbose = QStringLiteral("Verbose Mode");
    const QString port1 = QStringLiteral(" for Port 1");
    const QString port2 = QStringLiteral(" for Port 2");
    return {
        flagStep(QStringLiteral("invertdata"), s.bInvertData, rfData + on, rfData + off),
        flagStep(QStringLiteral("invertrfcd"), s.bInvertRFCD, rfcd + on, rfcd + off),
        textStep(QStringLiteral("dutycycle"), s.sDutyCycle, QStringLiteral("Duty Cycle "), QStringLiteral("%")),
        textStep(QStringLiteral("maxbatch"), s.sMaxBatch, QStringLiteral("Max Msgs/Batch ")),
        flagStep(QStringLiteral("CAPBY8"), s.bIncCapBy8, by8 + on, by8 + off),
        flagStep(QStringLiteral("serial1 pphreset"), s.bSerial1PPHReset, pph + on + port1, pph + off + port1),
        flagStep(QStringLiteral("serial2 pphreset"), s.bSerial2PPHReset, pph + on + port2, pph + off + port2),
        flagStep(QStringLiteral("ignorerfcd"), s.bIgnoreRFCD, carrier + off, carrier + on),
        flagStep(QStringLiteral("serial2 idascap"), s.bSerial2IDAsCap, idAsCap + on + port2, idAsCap + off + port2),
        flagStep(QStringLiteral("serial1 verbose"), s.bSerial1Verbose, verbose + on + port1, verbose + off + port1),
        flagStep(QStringLiteral("serial2 verbose"), s.bSerial2Verbose, verbose + on + port2, verbose + off + port2),
        textStep(QStringLiteral("serial1 flow"), s.sSerial1Flow, QStringLiteral("Flow Control: "), port1),
        textStep(QStringLiteral("serial2 flow"), s.sSerial2Flow, QStringLiteral("Flow Control: "), port2),
        textStep(QStringLiteral("serial1 protocol"), s.sSerial1Protocol, QStringLiteral("Protocol: "), port1),
        textStep(QStringLiteral("serial2 protocol"), s.sSerial2Protocol, QStringLiteral("Protocol: "), port2),
        textStep(QStringLiteral("serial1 baud"), s.sSerial1Baud, QStringLiteral("Baud Rate: "), port1),
        textStep(QStringLiteral("serial2 baud"), s.sSerial2Baud, QStringLiteral("Baud Rate: "), port2),
        textStep(QStringLiteral("serial1 databits"), s.sSerial1Databits, QStringLiteral("Data Bits: "), port1),
        textStep(QStringLiteral("serial2 databits"), s.sSerial2Databits, QStringLiteral("Data Bits: "), port2),
    };
}

CommandStep ClosingIDAsCapCommand(Firmware fw, const EncoderSettings &s)
{
    const QString caption = QStringLiteral("ID Assumed as Capcode");
    const QString port = fw == Firmware::V7 ? QString() : QStringLiteral(" for Port 1");
    const QString key = fw == Firmware::V7 ? QStringLiteral("idascap") : QStringLiteral("serial1 idascap");
    return flagStep(key, s.bSerial1IDAsCap, caption + QStringLiteral(" ON") + port,
                    caption + QStringLiteral(" OFF") + port);
}

CommandStep IDAsCapQuery(Firmware fw)
{
    return idAsCapStep(fw == Firmware::V7 ? QStringLiteral("CONFIG IDASCAP?") : QStringLiteral("CONFIG SERIAL1 IDASCAP?"));
}

CommandStep IDAsCapSwitch(Firmware fw, bool on)
{
    const QString base = fw == Firmware::V7 ? QStringLiteral("CONFIG IDASCAP ") : QStringLiteral("CONFIG SERIAL1 IDASCAP ");
    return idAsCapStep(base + BoolDigit(on));
}

bool IDAsCapReportedOn(const QString &reply) { return reply.startsWith(u'1'); }

bool ReplyNamesComp2(const QString &reply) { return reply.contains(QLatin1String("COMP2")); }

bool IDAsCapConfirmed(const QString &reply) { return reply.contains(kIDAsCapConfirmation); }

CommandStep RecordRequestStep(RecordKind kind, int n)
{
    CommandStep step;
    step.text = RecordRequest(kind, n);
    step.awaited = {kCRLF};
    step.caption = RecordCaption(kind, n, false);
    return step;
}

CommandStep ProgrammedRecordStep(RecordKind kind, int n, const PagerDatabase &db)
{
    CommandStep step;
    step.text = ProgrammedRecord(kind, n, db);
    step.awaited = {kRecordAck};
    step.caption = RecordCaption(kind, n, true);
    return step;
}

bool LeftProgrammingMode(const QString &reply) { return reply.contains(QLatin1String("ID=")); }

StepVerdict JudgeReadStep(const QString &reply, bool timedOut, bool cancelled)
{
    if (timedOut || LeftProgrammingMode(reply))
        return StepVerdict::Failed;
    return cancelled ? StepVerdict::Cancelled : StepVerdict::Ok;
}

StepVerdict JudgeWriteStep(const QString &reply, bool timedOut, bool cancelled)
{
    return timedOut || cancelled || LeftProgrammingMode(reply) ? StepVerdict::Failed : StepVerdict::Ok;
}

QString IDAsCapLabel(Firmware fw, bool on)
{
    return QStringLiteral("ID As Capcode Mode is ") + (on ? QStringLiteral("ON") : QStringLiteral("OFF"))
           + (fw == Firmware::V8 ? QStringLiteral(" for Port 1") : QString());
}

int ApplyComp1Rule(const PagerDatabase &db, EncoderSettings &s)
{
    if (db.Groups[0][grpPagerID1] != u"0000")
        return 0;
    const QString comp1 = QStringLiteral("COMP1");
    if (s.sSerial1Protocol == comp1) {
        s.sSerial1Protocol = QStringLiteral("TAP");
        return 1;
    }
    if (s.sSerial2Protocol == comp1) {
        s.sSerial2Protocol = QStringLiteral("TAP");
        return 2;
    }
    return 0;
}
