// The data every window shares: the pager database, the encoder settings block,
// the run-time state and the wait flags that end the polling loops.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

inline constexpr int kFamilyCount = 50;
inline constexpr int kFamilyFieldCount = 10;
inline constexpr int kGroupCount = 10;
inline constexpr int kGroupFieldCount = 30;
inline constexpr int kGroupPagerIDCount = 20;
inline constexpr int kMessageCount = 15;
inline constexpr int kMessageMaxLength = 60;

// Fields of a `Families` row.
enum FamilyField : int {
    famActive = 0,
    famStartCap = 1,
    famRate = 2,
    famPgrType = 3,
    famFunc = 4,
    famPagerQty = 5,
    famStartID = 6,
    famPrefix = 7,
    famSuffix = 8,
    famComplete = 9,
};

// Fields of a `Groups` row; pager ID k (1..20) is field grpPagerID1 + k - 1.
enum GroupField : int {
    grpGroupID = 0,
    grpActive = 1,
    grpTrigger1Active = 2,
    grpTrigger1Msg = 3,
    grpTrigger2Active = 4,
    grpTrigger2Msg = 5,
    grpTimerActive = 6,
    grpTimerMsg = 7,
    grpPagerID1 = 8,
    grpPagerID20 = 27,
    grpComplete = 28,
    grpReference = 29,
};

using FamilyRow = std::array<QString, kFamilyFieldCount>;
using GroupRow = std::array<QString, kGroupFieldCount>;
using FamilyTable = std::array<FamilyRow, kFamilyCount>;
using GroupTable = std::array<GroupRow, kGroupCount>;
using MessageTable = std::array<QString, kMessageCount>;

// The in-memory pager database; every field is a text, empty at program start.
struct PagerDatabase {
    FamilyTable Families;
    GroupTable Groups;
    MessageTable CannedMessages;

    bool operator==(const PagerDatabase &) const = default;
};

// The encoder's own settings. Member initialisers are the start values of the
// main window's load step; the ones it does not set start False.
struct EncoderSettings {
    bool bIgnoreRFCD = false;
    bool bInvertData = false;
    bool bInvertRFCD = false;
    bool bSerial1PPHReset = true;
    bool bSerial2PPHReset = true;
    bool bSerial1Verbose = false;
    bool bSerial2Verbose = false;
    bool bSerial1IDAsCap = false;
    bool bSerial2IDAsCap = false;
    QString sDutyCycle = QStringLiteral("66");
    QString sMaxBatch = QStringLiteral("10");
    QString sSerial1Flow = QStringLiteral("HW");
    QString sSerial2Flow = QStringLiteral("HW");
    QString sSerial1Protocol = QStringLiteral("TAP");
    QString sSerial2Protocol = QStringLiteral("TAP");
    QString sSerial1Baud = QStringLiteral("9600");
    QString sSerial2Baud = QStringLiteral("9600");
    QString sSerial1Databits = QStringLiteral("N81");
    QString sSerial2Databits = QStringLiteral("N81");
    bool bIncCapBy8 = false;
    // version 7 encoders only
    bool bBriefACK = false;
    bool bPETSupport = false;
    bool bFlowBeforeACK = false;

    bool operator==(const EncoderSettings &) const = default;
};

// Run-time state of the running program.
struct RunState {
    QString sBrand;
    QString sDBFileName;
    // full path of that file, where it was opened or saved
    QString sDBFilePath;
    int16_t iCommPort = 1;
    bool bVirginMode = false;
    bool bTestEnabled = false;
    bool bV7Firmware = false;
    // the view's claim to match the encoder (made and checked by the
    // transfer's claim functions only) and what the encoder then held: the
    // tables and settings a read found or programming sent, for the
    // firmware family then in use
    bool bMatchesEncoder = false;
    PagerDatabase claimedDb;
    EncoderSettings claimedSettings;
    bool bClaimedV7 = false;
    bool bLoading = false;
    bool bNoModifiedStatus = false;
    bool bDatabaseChecked = true;
    bool bFamiliesEdited = false;
    bool bGroupsEdited = false;
    bool bFamilyFieldsAdjusted = false;
    bool bGroupFieldsAdjusted = false;
    bool bSkipDetect = false;
    bool bExiting = false;
    bool bRangeTestRunning = false;
    // verdict of the families or groups editor's OK step on the record it
    // judged (True = incomplete); read and cleared by their closing questions
    bool bDefinitionIncomplete = false;
    // tells the access-code dialog what to open once the code is typed
    QString sAccessMode;
    // an encoder operation (detection, lookup, transfer) is using the port;
    // commands that would start another one do nothing meanwhile
    bool bPortBusy = false;
    // a families or groups check is running (it lets window events through)
    int iChecksRunning = 0;
    // the configuration was edited while the running transfer was under way
    bool bEditedDuringTransfer = false;
    // the user confirmed leaving while an operation held the port: it is
    // cancelled, and the main window closes when it has ended
    bool bExitAfterOperation = false;
    // the main window was asked to close while a window's closing ran (an
    // editor's closing steps, or a closing that waits on the encoder): it is
    // asked again once they have ended
    bool bCloseAfterClosing = false;
};

// Flags that end the polling loops; set by timer and button handlers only.
struct WaitFlags {
    bool bReplyTimeout = false;
    bool bTimer1Expired = false;
    bool bCancelRequested = false;
};

// The one instance of each, alive for the whole program.
extern PagerDatabase gDb;
extern EncoderSettings gSettings;
extern RunState gRun;
extern WaitFlags gWait;

// Puts every shared item back to how the program starts (tests use it).
void ResetSharedState();

// The values of an unused record; New Database gives every family and group
// row these values (`Reference` kept) and empties the canned messages.
FamilyRow NewDatabaseFamilyRow();
GroupRow NewDatabaseGroupRow();  // `Complete` and `Reference` empty
void ApplyNewDatabase(PagerDatabase &db);

// Derived values of family row r: last pager ID and last capcode.
// Return -1 when the fields do not hold numbers.
long FamilyEndID(const FamilyRow &row);
long FamilyEndCap(const FamilyRow &row, bool incCapBy8);

// Every occurrence of `find` in `text` replaced; an empty `find` changes nothing.
QString ReplaceAll(const QString &text, const QString &find, const QString &replacement);

// True when every character of `text` is one of 0 to 9 (so also for an
// empty text).
bool AllDigits(const QString &text);

// "1" for exactly True, "0" otherwise: how a Boolean travels in files and records.
inline QString BoolDigit(bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); }
