// The window-free half of the encoder search: the nine serial settings it
// tries, how an identification reply is classified, the firmware version and
// model label taken from a reply, and the fixed texts of its boxes.
#pragma once

#include <QString>
#include <array>

// One attempt of the search. An empty `settings` keeps the port's settings in
// force (the first attempt).
struct DetectAttempt {
    QString settings;
    int probeTimeoutMs;
};

inline constexpr int kDetectAttemptCount = 9;
const std::array<DetectAttempt, kDetectAttemptCount> &DetectAttempts();

// The reply time-out written when the port is opened or closed.
inline constexpr int kDetectTimeoutMs = 8000;
// Settings of the programming link, and the first attempt's in virgin mode.
inline const QString kProgrammingSettings = QStringLiteral("9600,n,8,1");
inline const QString kVirginSettings = QStringLiteral("300,n,8,1");
// Pause after the link is set back to 9600 bit/s, and after "config reboot".
inline constexpr int kSettleMs = 75;
inline constexpr int kRebootPauseMs = 2500;

// What an answer to "ATI" says about the other end, tested in this order.
enum class IdentifyReply {
    LogOnPrompt,  // holds "ID="
    Identified,   // holds "Encoder"
    Comp1Prompt,  // holds "COMP1>"
    Comp2Prompt,  // holds "COMP2>"
    Echo,         // "ATI" CR BEL CR: the input echoes what it gets
    Invalid,      // "INVALID", or LF "Error - Invalid"
    Unknown,
};
IdentifyReply ClassifyIdentifyReply(const QString &reply);

// The text between the first "v" after "Encoder" (or from the seventh
// character on when "Encoder" is absent) and the CR that follows it; empty
// without such a "v" or without the CR.
QString ParseEncoderVersion(const QString &reply);

// True for a version 7 firmware version text.
inline bool IsVersion7(const QString &version) { return version.startsWith(QLatin1Char('7')); }

// The model label for the detection's last reply.
QString ModelLabel(const QString &lastReply);

// The cancel box's line during attempt `settings` on COM n.
QString DetectingText(int port, const QString &settings);

// Texts and titles of the search's boxes (lines separated by CR).
QString V7RefusalText();
inline const QString kV7RefusalTitle = QStringLiteral("V7 Paging System Detected");
QString NotDetectedText();
inline const QString kNotDetectedTitle = QStringLiteral("Paging Encoder Not Detected");
QString DetectedText();
inline const QString kDetectedTitle = QStringLiteral("Paging Encoder Detected");
QString ReadQuestionText();
inline const QString kReadQuestionTitle = QStringLiteral("Read Encoder?");

// A pause of `ms` (on the test clock) that handles window messages all the
// while and, unlike the pause of a wait loop, is not cut short by input.
void FixedPause(int ms);
