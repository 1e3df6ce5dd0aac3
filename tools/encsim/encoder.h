// A simulated paging encoder: a pure state machine that takes the bytes the
// program writes and returns the bytes the encoder answers. No threads, no
// timers; the pseudo-terminal driver (ptysimulator.h) puts it on a line.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <array>

namespace encsim {

inline constexpr int kGroupCount = 10;
inline constexpr int kFamilyCount = 50;
inline constexpr int kMessageCount = 15;

// Programming mode always runs at 9600 bit/s, whatever the paging input's speed.
inline constexpr int kProgrammingSpeed = 9600;

// Pager-ID fields of the database blocks: asking for a record, programming one.
inline constexpr char kRequestPagerId[] = "019d46";
inline constexpr char kProgramPagerId[] = "019d56";

enum class Mode { Paging, Programming };

// Field positions of a group record (the tokens after "L n").
enum GroupField {
    GroupID = 0, GroupActive, Trigger1Active, Trigger1Msg, Trigger2Active, Trigger2Msg,
    TimerActive, TimerMsg, PagerID1, GroupFieldCount = 28
};

// Field positions of a family record (the tokens after "G n").
enum FamilyField {
    FamActive = 0, StartCap, Rate, PgrType, Func, PagerQty, StartID, Prefix, Suffix,
    FamilyFieldCount = 9
};

// The pager database as the encoder holds it: each group and family is the
// list of tokens that followed "L n" / "G n" in the record that programmed it
// (blank-separated, empty tokens kept), each message the text between the
// quotes. A request is answered with exactly the record that was programmed.
struct Database {
    std::array<QStringList, kGroupCount> groups;
    std::array<QStringList, kFamilyCount> families;
    std::array<QString, kMessageCount> messages;

    // What a fresh encoder holds: every group "0 0 0 0 0 0 0 0", every family
    // "0 8 5 A 0 0 0 0 0", every message empty (the forms of an unused record).
    static Database blank();
    // A small filled database for reading tests and for people trying the tool:
    // families 1 (IDs 1000-1009, alphanumeric, 512 bit/s) and 2 (IDs 2000-2004,
    // numeric, 1200 bit/s), group 1 (ID 5000 with members 1000, 1001), messages 1-3.
    static Database sample();

    // The record lines, without line end, n counted from 1.
    QByteArray groupRecord(int n) const;
    QByteArray familyRecord(int n) const;
    QByteArray messageRecord(int n) const;

    bool operator==(const Database &other) const = default;
};

// How the paging input answers the detection while the encoder is not in
// programming mode ("bare" = "#PrgmMode#" with no line end after it).
enum class IdentifyStyle {
    TapPrompt,     // "#PrgmMode#" with or without CR: "Entering TAP Programming Mode at 9600 baud", programming mode
    IdPrompt,      // every line: the log-on prompt "ID="; "ATI": banner, then "ID="; bare "#PrgmMode#": programming mode
    Identified,    // "ATI": the banner alone; other lines nothing; bare (or SOH) "#PrgmMode#": programming mode
    Comp1Prompt,   // every line: CR LF "COMP1>"; bare "#PrgmMode#": version 8 enters, version 7 echoes it
    Comp2Prompt,   // every line: CR LF "COMP2>"; bare "#PrgmMode#": version 8 enters, version 7 stays silent
    Echo,          // every line echoed with its CR, an empty line as BEL CR; bare "#PrgmMode#": programming mode
    Invalid,       // every line: "INVALID" CR LF; bare "#PrgmMode#": programming mode
    ErrorInvalid,  // every line: CR LF "Error - Invalid Command" CR LF; bare "#PrgmMode#": programming mode
    Silent,        // nothing, ever, while in paging mode
    Snpp,          // every line: an SNPP command (PAGE, MESS, SEND, RESE, QUIT); bare "#PrgmMode#": programming mode
};

QString styleName(IdentifyStyle style);
// Accepts the names styleName() gives ("tap", "id", ...); false when unknown.
bool styleFromName(const QString &name, IdentifyStyle *style);

enum class FaultKind {
    Silence,             // no answer, the command is not carried out
    Garbage,             // line noise instead of the answer, the command is not carried out
    FallBackToPaging,    // the encoder restarts into paging mode and answers "ID=" alone
    PromptBeforeAnswer,  // "ID=" followed by the normal answer (the command is carried out)
    HangUp,              // the line goes dead: the driver closes the pseudo-terminal
    HeldBack,            // the command is carried out, its answer kept until takeHeldBack()
};

// A fault replaces the encoder's answer to chosen exchanges. Exchanges are
// counted from 1: every command line, every bare "#PrgmMode#" and every TAP
// block received, in any mode (empty lines are not exchanges). With `match`
// set only exchanges whose received bytes contain it are counted, so
// {Silence, 1, 1, "G 17"} silences the first exchange that mentions family 17.
struct Fault {
    FaultKind kind = FaultKind::Silence;
    int atExchange = 1;   // first counted exchange it hits
    int count = 1;        // how many counted exchanges it hits; 0 = every one from then on
    QByteArray match;
};

struct Exchange {
    int number = 0;          // 1-based
    Mode mode = Mode::Paging;  // mode in which it was received
    QByteArray received;     // exact bytes, line end (and any empty line after it) included
    QByteArray reply;        // exact bytes answered
    bool faulted = false;
};

// A page taken on the paging input: a TAP block outside programming mode,
// or, on the SNPP input, one page per pager ID pending at SEND.
struct Page {
    QByteArray pagerId;
    QByteArray message;
};

struct Config {
    int firmware = 8;                  // 7 (one serial input) or 8 (two)
    QString version;                   // empty: "8.2.6" or "7.1.4"
    IdentifyStyle identify = IdentifyStyle::TapPrompt;
    int pagingSpeed = 9600;            // the speed the paging input listens at
    bool startInProgrammingMode = false;
    QByteArray banner;                 // identification line; empty: "Quorvane Paging Encoder v<version>" CR LF
};

class Encoder {
public:
    explicit Encoder(const Config &config = Config());

    // Bytes received from the program; returns the bytes to answer.
    QByteArray feed(const QByteArray &bytes);

    int firmware() const { return m_firmware; }
    QString version() const { return m_version; }
    QByteArray banner() const { return m_banner; }
    Mode mode() const { return m_mode; }
    void setMode(Mode mode) { m_mode = mode; }
    // The speed the encoder listens and talks at now.
    int lineSpeed() const { return m_mode == Mode::Programming ? kProgrammingSpeed : m_pagingSpeed; }
    int pagingSpeed() const { return m_pagingSpeed; }
    void setPagingSpeed(int speed) { m_pagingSpeed = speed; }
    IdentifyStyle identifyStyle() const { return m_style; }
    void setIdentifyStyle(IdentifyStyle style) { m_style = style; }

    Database &database() { return m_db; }
    const Database &database() const { return m_db; }
    void setDatabase(const Database &db) { m_db = db; }
    // A strict encoder refuses (NAK CR) a group or family record that holds an
    // empty field: two blanks in a row, or a blank at its end. Off: the record
    // is stored with its empty fields.
    void setRefuseEmptyFields(bool on) { m_refuseEmptyFields = on; }

    // Settings by their lower-case key ("maxbatch", "serial1 flow", "capby8", ...);
    // only the keys of the encoder's own firmware family exist.
    QMap<QString, QString> &settings() { return m_settings; }
    const QMap<QString, QString> &settings() const { return m_settings; }
    QString setting(const QString &key) const { return m_settings.value(key); }
    void setSetting(const QString &key, const QString &value) { m_settings.insert(key, value); }
    static QStringList settingKeys(int firmware);
    bool idAsCapcode(int port) const;

    // A fixed answer (line end included) for "LOOKUP " and this entry,
    // instead of the one worked out from the database.
    void setLookupAnswer(const QString &entry, const QByteArray &reply) { m_lookupAnswers.insert(entry, reply); }
    QByteArray lookupReply(const QString &entry) const;

    void addFault(const Fault &fault);
    void clearFaults() { m_faults.clear(); }
    // The answers HeldBack faults kept, in order, handed over once.
    QByteArray takeHeldBack();

    int exchangeCount() const { return m_exchangeCount; }
    const QList<Exchange> &exchanges() const { return m_log; }
    const QList<Page> &pages() const { return m_pages; }
    int transmitterTest() const { return m_txTest; }   // 0, or 512, 1200, 2400 while keyed
    int reboots() const { return m_reboots; }
    bool hangUpRequested() const { return m_hangUp; }

    // The answer to "#PrgmMode#" that enters programming mode.
    static QByteArray programmingModeReply();

private:
    struct ArmedFault {
        Fault fault;
        int seen = 0;
    };
    using Handler = QByteArray (Encoder::*)(const QByteArray &text);

    QByteArray exchange(const QByteArray &raw, const QByteArray &text, Handler handler);
    const Fault *faultFor(const QByteArray &raw);
    void appendToLast(const QByteArray &bytes, const QByteArray &reply = QByteArray());
    QByteArray finishLine();
    QByteArray emptyLine(char terminator, bool afterBlock);

    QByteArray pagingLine(const QByteArray &text);
    QByteArray pagingBare(const QByteArray &text);
    QByteArray pagingPrgmMode(bool bare);
    QByteArray pagingIdentify();
    QByteArray pagingOther(const QByteArray &text);
    QByteArray snppCommand(const QByteArray &text);
    void snppReset();
    QByteArray programmingLine(const QByteArray &text);
    QByteArray block(const QByteArray &raw);
    QByteArray config(const QString &rest);
    QByteArray recordRequest(const QString &text);
    QByteArray programRecord(const QString &text);
    QByteArray enterProgramming();
    void reboot();

    int m_firmware;
    QString m_version;
    QByteArray m_banner;
    IdentifyStyle m_style;
    int m_pagingSpeed;
    Mode m_mode;
    Database m_db;
    bool m_refuseEmptyFields = false;
    QMap<QString, QString> m_settings;
    QMap<QString, QByteArray> m_lookupAnswers;
    QList<ArmedFault> m_faults;
    QByteArray m_heldBack;

    int m_exchangeCount = 0;
    QList<Exchange> m_log;
    QList<Page> m_pages;
    int m_txTest = 0;
    int m_reboots = 0;
    bool m_hangUp = false;

    // SNPP transaction: pager IDs taken by PAGE and the message taken by
    // MESS, held until SEND delivers them or RESE drops them
    QList<QByteArray> m_snppPagers;
    QByteArray m_snppMessage;
    bool m_snppHasMessage = false;

    // receive state
    QByteArray m_raw;    // bytes of the line or block being received
    QByteArray m_text;   // the command text of the line (no SOH, no LF)
    bool m_inBlock = false;
    int m_checksumLeft = -1;
    bool m_afterBlock = false;   // the CR that ends a block is still to come
};

}  // namespace encsim
