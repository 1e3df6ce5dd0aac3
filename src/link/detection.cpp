#include "link/detection.h"

#include "platform/system.h"

#include <QElapsedTimer>
#include <cmath>

const std::array<DetectAttempt, kDetectAttemptCount> &DetectAttempts()
{
    static const std::array<DetectAttempt, kDetectAttemptCount> attempts = {{
        {QString(), 1500},
        {QStringLiteral("9600,n,8,1"), 1500},
        {QStringLiteral("9600,e,7,1"), 1500},
        {QStringLiteral("2400,n,8,1"), 3000},
        {QStringLiteral("2400,e,7,1"), 3000},
        {QStringLiteral("1200,n,8,1"), 6000},
        {QStringLiteral("1200,e,7,1"), 6000},
        {QStringLiteral("300,n,8,1"), 7500},
        {QStringLiteral("300,e,7,1"), 7500},
    }};
    return attempts;
}

IdentifyReply ClassifyIdentifyReply(const QString &reply)
{
    auto holds = [&reply](const QString &s) { return reply.contains(s, Qt::CaseSensitive); };
    if (holds(QStringLiteral("ID=")))
        return IdentifyReply::LogOnPrompt;
    if (holds(QStringLiteral("Encoder")))
        return IdentifyReply::Identified;
    if (holds(QStringLiteral("COMP1>")))
        return IdentifyReply::Comp1Prompt;
    if (holds(QStringLiteral("COMP2>")))
        return IdentifyReply::Comp2Prompt;
    if (holds(QStringLiteral("ATI\r\x07\r")))
        return IdentifyReply::Echo;
    if (holds(QStringLiteral("INVALID")) || holds(QStringLiteral("\nError - Invalid")))
        return IdentifyReply::Invalid;
    return IdentifyReply::Unknown;
}

QString ParseEncoderVersion(const QString &reply)
{
    const int encoder = reply.indexOf(QStringLiteral("Encoder"), 0, Qt::CaseSensitive);
    // the search for the "v" starts right after "Encoder", or at the seventh
    // character when there is none
    const int from = encoder >= 0 ? encoder + 7 : 6;
    const int v = reply.indexOf(QLatin1Char('v'), from, Qt::CaseSensitive);
    if (v < 0)
        return QString();
    const int cr = reply.indexOf(QLatin1Char('\r'), v);
    if (cr < 0)
        return QString();
    return reply.mid(v + 1, cr - v - 1);
}

QString ModelLabel(const QString &lastReply)
{
    if (lastReply.startsWith(QLatin1String("Quorvane Paging Encoder v8")) ||
        lastReply.startsWith(QLatin1String("Entering TAP")))
        return QStringLiteral("Paging Encoder V8");
    return QStringLiteral("Paging Encoder V7");
}

QString DetectingText(int port, const QString &settings)
{
    // the label shows the two lines one under the other
    return QStringLiteral("Attempting to Detect Paging Encoder\non COM Port ") + QString::number(port) +
           QStringLiteral(" at ") + settings;
}

QString V7RefusalText()
{
    return QStringLiteral("A Version 7 Paging System was Detected.  Please set all DIP Switches\r"
                          "on the Paging System to the ON position, then Cycle Power on the\r"
                          "Paging System and Try Again");
}

QString NotDetectedText()
{
    return QStringLiteral("The Paging Encoder was Not Detected.\r"
                          "Please Check Connections, Paging Encoder Configuration,\r"
                          "or COM Port Settings, and Try Again");
}

QString DetectedText()
{
    return QStringLiteral("Paging Encoder Was Detected\rThe Encoder Database will Now be Read");
}

QString ReadQuestionText()
{
    return QStringLiteral("You are About to Read the Encoder and Replace the Current Configuration\rAre You Sure?");
}

void FixedPause(int ms)
{
    const qint64 total = platform::ScaledMs(ms);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qint64 left = total - clock.elapsed();
        if (left <= 0)
            return;
        // Sleep() counts on the test clock and ends early when input arrives
        platform::Sleep(qMax(1, int(std::ceil(double(left) / platform::TimeScale()))));
    }
}
