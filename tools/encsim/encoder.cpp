#include "encsim/encoder.h"

#include <algorithm>
#include <initializer_list>

namespace encsim {

namespace {

constexpr char SOH = 1;
constexpr char STX = 2;
constexpr char ETX = 3;
constexpr char ACK = 6;
constexpr char BEL = 7;
constexpr char LF = 10;
constexpr char CR = 13;
constexpr char ESC = 27;
constexpr char NAK = 21;
constexpr char RS = 30;

const QByteArray kPrgmMode = QByteArrayLiteral("#PrgmMode#");
const QByteArray kLogOnPrompt = QByteArrayLiteral("ID=");
const QByteArray kInvalidCommand = QByteArrayLiteral("Error - Invalid Command\r\n");
// Bytes a line at the wrong speed or a sick encoder produces: no line end,
// no RS, nothing the program listens for.
const QByteArray kGarbage = QByteArray("\xf8\x80\x7f\xfe\x9c\xe0\x1f\xff\xbe", 9);

QByteArray bytesOf(std::initializer_list<char> chars)
{
    return QByteArray(chars.begin(), qsizetype(chars.size()));
}

QByteArray nak() { return bytesOf({NAK, CR}); }
QByteArray recordAck() { return bytesOf({RS, CR}); }

QByteArray tokensToRecord(char letter, int n, const QStringList &tokens)
{
    QByteArray out;
    out += letter;
    out += ' ';
    out += QByteArray::number(n);
    for (const QString &t : tokens) {
        out += ' ';
        out += t.toLatin1();
    }
    return out;
}

bool allDigits(const QString &s)
{
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The record number of a request or record: decimal, no leading zero.
int recordNumber(const QString &digits, int last)
{
    if (!allDigits(digits) || digits.startsWith(u'0'))
        return 0;
    const int n = digits.toInt();
    return n >= 1 && n <= last ? n : 0;
}

int recordCount(QChar letter)
{
    if (letter == u'L')
        return kGroupCount;
    if (letter == u'G')
        return kFamilyCount;
    if (letter == u'M')
        return kMessageCount;
    return 0;
}

bool speaksTap(IdentifyStyle s)
{
    return s == IdentifyStyle::TapPrompt || s == IdentifyStyle::IdPrompt;
}

QByteArray rateText(const QString &code)
{
    if (code == u"5")
        return "512";
    if (code == u"1")
        return "1200";
    if (code == u"2")
        return "2400";
    return code.toLatin1();
}

QByteArray functionBits(const QString &func)
{
    static const char *const bits[] = {"00", "01", "10", "11"};
    const int f = allDigits(func) ? func.toInt() : -1;
    return f >= 0 && f <= 3 ? QByteArray(bits[f]) : QByteArray("??");
}

}  // namespace

// ---------------------------------------------------------------- database

Database Database::blank()
{
    Database db;
    for (QStringList &g : db.groups)
        g = QStringList(8, QStringLiteral("0"));
    for (QStringList &f : db.families)
        f = QStringList{"0", "8", "5", "A", "0", "0", "0", "0", "0"};
    return db;
}

Database Database::sample()
{
    Database db = blank();
    db.families[0] = QStringList{"1", "0012000", "5", "A", "3", "010", "1000", "01", "00"};
    db.families[1] = QStringList{"1", "0020000", "1", "N", "0", "005", "2000", "00", "02"};
    QStringList group{"5000", "1", "0", "00", "0", "00", "1", "03", "1000", "1001"};
    while (group.size() < GroupFieldCount)
        group << QStringLiteral("0000");
    db.groups[0] = group;
    db.messages[0] = QStringLiteral("TEST MESSAGE");
    db.messages[1] = QStringLiteral("CALL DISPATCH");
    db.messages[2] = QStringLiteral("SYSTEM CHECK OK");
    return db;
}

QByteArray Database::groupRecord(int n) const
{
    return tokensToRecord('L', n, groups.at(n - 1));
}

QByteArray Database::familyRecord(int n) const
{
    return tokensToRecord('G', n, families.at(n - 1));
}

QByteArray Database::messageRecord(int n) const
{
    return "M " + QByteArray::number(n) + " \"" + messages.at(n - 1).toLatin1() + '"';
}

// ------------------------------------------------------------------ styles

QString styleName(IdentifyStyle style)
{
    switch (style) {
    case IdentifyStyle::TapPrompt: return QStringLiteral("tap");
    case IdentifyStyle::IdPrompt: return QStringLiteral("id");
    case IdentifyStyle::Identified: return QStringLiteral("identified");
    case IdentifyStyle::Comp1Prompt: return QStringLiteral("comp1");
    case IdentifyStyle::Comp2Prompt: return QStringLiteral("comp2");
    case IdentifyStyle::Echo: return QStringLiteral("echo");
    case IdentifyStyle::Invalid: return QStringLiteral("invalid");
    case IdentifyStyle::ErrorInvalid: return QStringLiteral("error-invalid");
    case IdentifyStyle::Silent: return QStringLiteral("silent");
    case IdentifyStyle::Snpp: return QStringLiteral("snpp");
    }
    return QString();
}

bool styleFromName(const QString &name, IdentifyStyle *style)
{
    for (IdentifyStyle s : {IdentifyStyle::TapPrompt, IdentifyStyle::IdPrompt, IdentifyStyle::Identified,
                            IdentifyStyle::Comp1Prompt, IdentifyStyle::Comp2Prompt, IdentifyStyle::Echo,
                            IdentifyStyle::Invalid, IdentifyStyle::ErrorInvalid, IdentifyStyle::Silent,
                            IdentifyStyle::Snpp}) {
        if (styleName(s) == name) {
            *style = s;
            return true;
        }
    }
    return false;
}

// ----------------------------------------------------------------- encoder

Encoder::Encoder(const Config &config)
    : m_firmware(config.firmware == 7 ? 7 : 8),
      m_version(config.version),
      m_banner(config.banner),
      m_style(config.identify),
      m_pagingSpeed(config.pagingSpeed),
      m_mode(config.startInProgrammingMode ? Mode::Programming : Mode::Paging),
      m_db(Database::blank())
{
    if (m_version.isEmpty())
        m_version = m_firmware == 7 ? QStringLiteral("7.1.4") : QStringLiteral("8.2.6");
    if (m_banner.isEmpty())
        m_banner = "Quorvane Paging Encoder v" + m_version.toLatin1() + "\r\n";

    // factory settings; a version 7 keeps "invertrfcd" the other way round
    // ("1" is the program's "0V = Carrier Detected")
    const QString speed = QString::number(m_pagingSpeed);
    if (m_firmware == 8) {
        m_settings = {{"maxbatch", "10"}, {"dutycycle", "66"}, {"ignorerfcd", "0"},
                      {"invertdata", "0"}, {"invertrfcd", "0"}, {"capby8", "0"},
                      {"serial1 pphreset", "1"}, {"serial2 pphreset", "1"},
                      {"serial1 verbose", "0"}, {"serial2 verbose", "0"},
                      {"serial1 idascap", "0"}, {"serial2 idascap", "0"},
                      {"serial1 flow", "HW"}, {"serial2 flow", "HW"},
                      {"serial1 protocol", "TAP"}, {"serial2 protocol", "TAP"},
                      {"serial1 baud", speed}, {"serial2 baud", "9600"},
                      {"serial1 databits", "N81"}, {"serial2 databits", "N81"}};
    } else {
        m_settings = {{"maxbatch", "10"}, {"dutycycle", "66"}, {"ignorerfcd", "0"},
                      {"invertdata", "0"}, {"invertrfcd", "1"}, {"pphreset", "1"},
                      {"pet", "0"}, {"briefack", "0"}, {"altfc", "0"}, {"idascap", "0"}};
    }
}

QStringList Encoder::settingKeys(int firmware)
{
    if (firmware == 7)
        return {"maxbatch", "dutycycle", "ignorerfcd", "invertdata", "invertrfcd",
                "pphreset", "pet", "briefack", "altfc", "idascap"};
    return {"maxbatch", "dutycycle", "ignorerfcd", "invertdata", "invertrfcd", "capby8",
            "serial1 pphreset", "serial2 pphreset", "serial1 verbose", "serial2 verbose",
            "serial1 idascap", "serial2 idascap", "serial1 flow", "serial2 flow",
            "serial1 protocol", "serial2 protocol", "serial1 baud", "serial2 baud",
            "serial1 databits", "serial2 databits"};
}

bool Encoder::idAsCapcode(int port) const
{
    if (m_firmware == 7)
        return port == 1 && setting(QStringLiteral("idascap")) == u"1";
    return setting(QStringLiteral("serial%1 idascap").arg(port)) == u"1";
}

QByteArray Encoder::programmingModeReply()
{
    return QByteArrayLiteral("Entering TAP Programming Mode at 9600 baud\r\n");
}

void Encoder::addFault(const Fault &fault)
{
    m_faults.append(ArmedFault{fault, 0});
}

QByteArray Encoder::takeHeldBack()
{
    QByteArray held;
    held.swap(m_heldBack);
    return held;
}

QByteArray Encoder::feed(const QByteArray &bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        if (m_hangUp)
            break;
        if (m_inBlock) {
            m_raw += c;
            if (m_checksumLeft < 0) {
                if (c == ETX)
                    m_checksumLeft = 3;
            } else if (--m_checksumLeft == 0) {
                // the block is complete with its three checksum characters;
                // its final CR arrives as an empty line and joins it in the log
                const QByteArray raw = m_raw;
                m_raw.clear();
                m_inBlock = false;
                m_checksumLeft = -1;
                out += exchange(raw, raw, &Encoder::block);
                m_afterBlock = true;
            }
            continue;
        }
        const bool afterBlock = m_afterBlock;
        m_afterBlock = false;
        switch (c) {
        case STX:
            // a block starts; a half-received line before it is dropped
            m_text.clear();
            m_raw += c;
            m_inBlock = true;
            break;
        case CR:
            if (m_text.isEmpty())
                out += emptyLine(CR, afterBlock);
            else
                out += finishLine();
            break;
        case LF:
            if (m_text.isEmpty())
                out += emptyLine(LF, afterBlock);
            else
                m_raw += c;
            break;
        case SOH:
            m_raw += c;
            break;
        default:
            m_raw += c;
            m_text += c;
            break;
        }
    }
    // "#PrgmMode#" with nothing after it in this write is the bare request
    if (!m_hangUp && !m_inBlock && m_text == kPrgmMode) {
        const QByteArray raw = m_raw;
        const QByteArray text = m_text;
        m_raw.clear();
        m_text.clear();
        out += exchange(raw, text, m_mode == Mode::Programming ? &Encoder::programmingLine : &Encoder::pagingBare);
    }
    return out;
}

QByteArray Encoder::finishLine()
{
    const QByteArray raw = m_raw + CR;
    const QByteArray text = m_text;
    m_raw.clear();
    m_text.clear();
    return exchange(raw, text, m_mode == Mode::Programming ? &Encoder::programmingLine : &Encoder::pagingLine);
}

QByteArray Encoder::emptyLine(char terminator, bool afterBlock)
{
    QByteArray raw = m_raw + terminator;
    m_raw.clear();
    QByteArray reply;
    const bool lastFaulted = !m_log.isEmpty() && m_log.last().faulted;
    // the echoing input answers an empty line with BEL CR
    if (terminator == CR && !afterBlock && !lastFaulted && m_mode == Mode::Paging
        && m_style == IdentifyStyle::Echo)
        reply = bytesOf({BEL, CR});
    appendToLast(raw, reply);
    return reply;
}

void Encoder::appendToLast(const QByteArray &bytes, const QByteArray &reply)
{
    if (m_log.isEmpty())
        return;
    m_log.last().received += bytes;
    m_log.last().reply += reply;
}

const Fault *Encoder::faultFor(const QByteArray &raw)
{
    const Fault *hit = nullptr;
    for (ArmedFault &armed : m_faults) {
        const Fault &f = armed.fault;
        if (!f.match.isEmpty() && !raw.contains(f.match))
            continue;
        ++armed.seen;
        if (!hit && armed.seen >= f.atExchange && (f.count == 0 || armed.seen < f.atExchange + f.count))
            hit = &f;
    }
    return hit;
}

QByteArray Encoder::exchange(const QByteArray &raw, const QByteArray &text, Handler handler)
{
    Exchange ex;
    ex.number = ++m_exchangeCount;
    ex.mode = m_mode;
    ex.received = raw;
    const Fault *fault = faultFor(raw);
    if (!fault) {
        ex.reply = (this->*handler)(text);
    } else {
        ex.faulted = true;
        switch (fault->kind) {
        case FaultKind::Silence:
            break;
        case FaultKind::Garbage:
            ex.reply = kGarbage;
            break;
        case FaultKind::FallBackToPaging:
            m_mode = Mode::Paging;
            m_txTest = 0;
            ex.reply = kLogOnPrompt;
            break;
        case FaultKind::PromptBeforeAnswer:
            ex.reply = kLogOnPrompt + (this->*handler)(text);
            break;
        case FaultKind::HeldBack:
            m_heldBack += (this->*handler)(text);
            break;
        case FaultKind::HangUp:
            m_hangUp = true;
            m_raw.clear();
            m_text.clear();
            m_inBlock = false;
            break;
        }
    }
    m_log.append(ex);
    return ex.reply;
}

// ------------------------------------------------------------- paging mode

QByteArray Encoder::pagingLine(const QByteArray &text)
{
    if (text == kPrgmMode)
        return pagingPrgmMode(false);
    if (text.toUpper() == "ATI")
        return pagingIdentify();
    // TAP log-on with a terminal ID: the go-ahead
    if (speaksTap(m_style) && text.startsWith(ESC))
        return bytesOf({CR, ACK, CR, ESC}) + "[p\r";
    return pagingOther(text);
}

QByteArray Encoder::pagingBare(const QByteArray &)
{
    return pagingPrgmMode(true);
}

QByteArray Encoder::pagingPrgmMode(bool bare)
{
    switch (m_style) {
    case IdentifyStyle::Silent:
        return QByteArray();
    case IdentifyStyle::TapPrompt:
        return enterProgramming();
    case IdentifyStyle::Comp1Prompt:
        if (bare && m_firmware == 7)
            return kPrgmMode;   // the version 7 COMP1 input echoes it and stays put
        break;
    case IdentifyStyle::Comp2Prompt:
        if (bare && m_firmware == 7)
            return QByteArray();
        break;
    default:
        break;
    }
    return bare ? enterProgramming() : pagingOther(kPrgmMode);
}

QByteArray Encoder::pagingIdentify()
{
    switch (m_style) {
    case IdentifyStyle::TapPrompt:
    case IdentifyStyle::IdPrompt:
        // a version 7 takes programming commands on its one input once it has
        // identified itself; a version 8 needs "#PrgmMode#" first
        if (m_firmware == 7)
            m_mode = Mode::Programming;
        return m_banner + kLogOnPrompt;
    case IdentifyStyle::Identified:
        return m_banner;
    default:
        return pagingOther("ATI");
    }
}

QByteArray Encoder::pagingOther(const QByteArray &text)
{
    switch (m_style) {
    case IdentifyStyle::TapPrompt:
    case IdentifyStyle::IdPrompt:
        return kLogOnPrompt;
    case IdentifyStyle::Identified:
    case IdentifyStyle::Silent:
        return QByteArray();
    case IdentifyStyle::Comp1Prompt:
        return QByteArrayLiteral("\r\nCOMP1>");
    case IdentifyStyle::Comp2Prompt:
        return QByteArrayLiteral("\r\nCOMP2>");
    case IdentifyStyle::Echo:
        return text + CR;
    case IdentifyStyle::Invalid:
        return QByteArrayLiteral("INVALID\r\n");
    case IdentifyStyle::ErrorInvalid:
        return "\r\n" + kInvalidCommand;
    case IdentifyStyle::Snpp:
        return snppCommand(text);
    }
    return QByteArray();
}

// The SNPP input answers as a level 1 server does: a transaction gathers
// pager IDs and one message until SEND, and RESE starts it afresh.
QByteArray Encoder::snppCommand(const QByteArray &text)
{
    const QByteArray verb = text.left(4).toUpper();
    const bool bareVerb = text.size() == 4;
    const QByteArray argument = text.size() > 5 && text.at(4) == ' ' ? text.mid(5) : QByteArray();
    if (verb == "PAGE" && (bareVerb || text.at(4) == ' ')) {
        const QByteArray pagerId = argument.trimmed().split(' ').value(0);
        if (pagerId.isEmpty())
            return "550 Error, Invalid Pager ID\r\n";
        m_snppPagers.append(pagerId);
        return "250 Pager ID Accepted\r\n";
    }
    if (verb == "MESS" && (bareVerb || text.at(4) == ' ')) {
        if (m_snppHasMessage)
            return "503 ERROR, Message Already Entered\r\n";
        if (argument.trimmed().isEmpty())
            return "550 ERROR, Invalid Message\r\n";
        m_snppMessage = argument;
        m_snppHasMessage = true;
        return "250 Message OK\r\n";
    }
    if (bareVerb && verb == "SEND") {
        if (m_snppPagers.isEmpty() || !m_snppHasMessage)
            return "503 Error, Pager ID or Message Incomplete\r\n";
        for (const QByteArray &pagerId : std::as_const(m_snppPagers))
            m_pages.append(Page{pagerId, m_snppMessage});
        snppReset();
        return "250 Message Sent Successfully\r\n";
    }
    if (bareVerb && verb == "RESE") {
        snppReset();
        return "250 RESET OK\r\n";
    }
    if (bareVerb && verb == "QUIT") {
        snppReset();
        return "221 OK, Goodbye\r\n";
    }
    return "500 Command Not Implemented, Try Again\r\n";
}

void Encoder::snppReset()
{
    m_snppPagers.clear();
    m_snppMessage.clear();
    m_snppHasMessage = false;
}

QByteArray Encoder::enterProgramming()
{
    m_mode = Mode::Programming;
    snppReset();
    return programmingModeReply();
}

void Encoder::reboot()
{
    m_mode = Mode::Paging;
    m_txTest = 0;
    ++m_reboots;
    snppReset();
    // a version 8 comes back with its paging input at port 1's speed
    if (m_firmware == 8) {
        bool ok = false;
        const int speed = setting(QStringLiteral("serial1 baud")).toInt(&ok);
        if (ok && speed > 0)
            m_pagingSpeed = speed;
    }
}

// -------------------------------------------------------- programming mode

QByteArray Encoder::programmingLine(const QByteArray &text)
{
    if (text == kPrgmMode)
        return programmingModeReply();
    const QString line = QString::fromLatin1(text);
    const QString upper = line.toUpper();
    if (upper == u"ATI")
        return m_banner + kLogOnPrompt;
    if (upper.startsWith(u"CONFIG "))
        return config(line.mid(7));
    if (upper.startsWith(u"LOOKUP "))
        return lookupReply(line.mid(7));
    for (int rate : {512, 1200, 2400}) {
        if (upper == QStringLiteral("TEST") + QString::number(rate)) {
            m_txTest = rate;
            return "Transmitting test pattern at " + QByteArray::number(rate) + " bps\r\n";
        }
    }
    return kInvalidCommand;
}

QByteArray Encoder::config(const QString &rest)
{
    const QString lower = rest.toLower();
    if (lower == u"reboot") {
        reboot();
        return QByteArray();
    }
    QStringList keys = settingKeys(m_firmware);
    if (lower.endsWith(u'?')) {
        const QString key = lower.chopped(1).trimmed();
        if (keys.contains(key))
            return setting(key).toLatin1() + "\r\n";
        return kInvalidCommand;
    }
    std::sort(keys.begin(), keys.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &key : keys) {
        if (lower.startsWith(key + u' ')) {
            setSetting(key, rest.mid(key.size() + 1));
            return key.toUpper().toLatin1() + " option updated\r\n";
        }
    }
    return kInvalidCommand;
}

QByteArray Encoder::lookupReply(const QString &entry) const
{
    const auto fixed = m_lookupAnswers.constFind(entry);
    if (fixed != m_lookupAnswers.constEnd())
        return fixed.value();
    const QByteArray id = entry.toLatin1();
    if (!allDigits(entry) || entry.size() > 9)
        return "ID " + id + " invalid\r\n";
    const qint64 n = entry.toLongLong();

    auto describe = [&](qint64 capcode, const QString &type, const QString &rate, const QString &func) {
        return "ID " + id + " capcode " + QByteArray::number(capcode).rightJustified(7, '0') + ", msg enc:"
            + type.toLatin1() + ", baud:" + rateText(rate) + " func bits:" + functionBits(func) + "\r\n";
    };
    if (idAsCapcode(1))
        return describe(n, QStringLiteral("A"), QStringLiteral("5"), QStringLiteral("3"));

    for (int g = 0; g < kGroupCount; ++g) {
        const QStringList &f = m_db.groups[g];
        if (f.size() > GroupActive && f[GroupActive] == u"1" && allDigits(f[GroupID]) && f[GroupID].toLongLong() == n)
            return "ID " + id + " list " + QByteArray::number(g + 1) + "\r\n";
    }
    const bool by8 = m_firmware == 8 && setting(QStringLiteral("capby8")) == u"1";
    for (const QStringList &f : m_db.families) {
        if (f.size() < FamilyFieldCount || f[FamActive] != u"1")
            continue;
        const qint64 start = f[StartID].toLongLong();
        const qint64 qty = f[PagerQty].toLongLong();
        if (start < 1 || qty < 1 || n < start || n >= start + qty)
            continue;
        const qint64 capcode = f[StartCap].toLongLong() + (n - start) * (by8 ? 8 : 1);
        return describe(capcode, f[PgrType], f[Rate], f[Func]);
    }
    return "ID " + id + " not found\r\n";
}

// ------------------------------------------------------------------ blocks

QByteArray Encoder::block(const QByteArray &raw)
{
    const QByteArray b = raw.mid(raw.indexOf(STX));
    const int etx = b.size() - 4;
    bool valid = etx >= 1 && b.at(etx) == ETX;
    if (valid) {
        int sum = 0;
        for (int i = 0; i <= etx; ++i)
            sum += static_cast<unsigned char>(b.at(i));
        sum &= 0xFFF;
        const QByteArray expected = bytesOf({char('0' + (sum >> 8)), char('0' + ((sum >> 4) & 0xF)), char('0' + (sum & 0xF))});
        valid = b.mid(etx + 1, 3) == expected;
    }
    // STX, pager ID, CR, text, CR, ETX
    const QByteArray body = valid ? b.mid(1, etx - 1) : QByteArray();
    const int cr = body.indexOf(CR);
    valid = valid && cr >= 0 && body.size() >= cr + 2 && body.endsWith(CR);
    const QByteArray pagerId = valid ? body.left(cr) : QByteArray();
    const QByteArray text = valid ? body.mid(cr + 1, body.size() - cr - 2) : QByteArray();

    if (m_mode == Mode::Paging) {
        if (valid)
            m_pages.append(Page{pagerId, text});
        if (!speaksTap(m_style))
            return QByteArray();
        return valid ? bytesOf({ACK, CR}) : nak();
    }
    if (!valid)
        return nak();
    if (pagerId == kRequestPagerId)
        return recordRequest(QString::fromLatin1(text));
    if (pagerId == kProgramPagerId)
        return programRecord(QString::fromLatin1(text));
    return nak();
}

QByteArray Encoder::recordRequest(const QString &text)
{
    if (text.size() < 3 || text.at(1) != u' ')
        return nak();
    const QChar letter = text.at(0);
    const int n = recordNumber(text.mid(2), recordCount(letter));
    if (n == 0)
        return nak();
    if (letter == u'L')
        return m_db.groupRecord(n) + "\r\n";
    if (letter == u'G')
        return m_db.familyRecord(n) + "\r\n";
    return m_db.messageRecord(n) + "\r\n";
}

QByteArray Encoder::programRecord(const QString &text)
{
    if (text.size() < 3 || text.at(1) != u' ')
        return nak();
    const QChar letter = text.at(0);
    int end = 2;
    while (end < text.size() && text.at(end) != u' ')
        ++end;
    const int n = recordNumber(text.mid(2, end - 2), recordCount(letter));
    if (n == 0)
        return nak();
    const QString tail = text.mid(end);
    if (letter == u'M') {
        if (tail.size() < 3 || !tail.startsWith(u" \"") || !tail.endsWith(u'"'))
            return nak();
        m_db.messages[n - 1] = tail.mid(2, tail.size() - 3);
        return recordAck();
    }
    QStringList tokens;
    if (!tail.isEmpty())
        tokens = tail.mid(1).split(u' ', Qt::KeepEmptyParts);
    if (m_refuseEmptyFields && tokens.contains(QString()))
        return nak();
    if (letter == u'L')
        m_db.groups[n - 1] = tokens;
    else
        m_db.families[n - 1] = tokens;
    return recordAck();
}

}  // namespace encsim
