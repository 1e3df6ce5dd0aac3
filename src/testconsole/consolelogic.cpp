#include "testconsole/testconsole.h"

#include "paging/engines.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>

#include <cmath>
#include <limits>

bool bMsgTestClosed = false;
bool bArchiveBusy = false;
int16_t iRangeCycleSecs = 0;

namespace testconsole {

Engine EngineForProtocol(const QString &protocol)
{
    if (protocol == QLatin1String("TAP") || protocol == QLatin1String("PET"))
        return Engine::TAP;
    if (protocol == QLatin1String("COMP1"))
        return Engine::Comp1;
    if (protocol == QLatin1String("COMP2"))
        return Engine::Comp2;
    if (protocol == QLatin1String("QV"))
        return Engine::Quorvane;
    if (protocol == QLatin1String("SCOPE"))
        return Engine::Scope;
    if (protocol == QLatin1String("SNPP"))
        return Engine::SNPP;
    return Engine::None;
}

QString PaddedPagerID(const QString &pin)
{
    QString padded = pin;
    while (padded.size() < 7)
        padded.prepend(QLatin1Char('0'));
    return padded;
}

QString FunctionCodeLetter(int checkedButton)
{
    switch (checkedButton) {
    case 0:
        return QStringLiteral("A");
    case 1:
        return QStringLiteral("B");
    case 2:
        return QStringLiteral("C");
    default:
        return QStringLiteral("D");
    }
}

QString DataRateText(int checkedButton)
{
    switch (checkedButton) {
    case 0:
        return QStringLiteral("512");
    case 1:
        return QStringLiteral("1200");
    default:
        return QStringLiteral("2400");
    }
}

EngineCall PlanPage(const QString &protocol, const Page &page, Caller caller)
{
    EngineCall call;
    call.engine = EngineForProtocol(protocol);
    call.message = page.message;
    switch (call.engine) {
    case Engine::None:
        call.message.clear();
        break;
    case Engine::TAP:
        call.pagerId = page.pagerId;
        break;
    case Engine::Comp1:
        break;
    case Engine::Comp2:
        call.pagerId = page.pagerId;
        if (!(caller == Caller::SendButton && page.pagerId.size() >= 8))
            call.functionCode = page.functionCode;
        break;
    case Engine::Quorvane:
    case Engine::Scope:
        call.pagerId = PaddedPagerID(page.pagerId);
        call.functionCode = page.functionCode;
        call.dataRate = page.dataRate;
        break;
    case Engine::SNPP:
        call.pagerId = page.pagerId;
        call.functionCode = page.functionCode;
        break;
    }
    return call;
}

int16_t SendPlannedPage(const EngineCall &call)
{
    // each sender works on its own copy of the message
    const QString message = call.message;
    switch (call.engine) {
    case Engine::TAP:
        return OutTAP(call.pagerId, message, call.message);
    case Engine::Comp1:
        return OutComp1(message);
    case Engine::Comp2:
        return OutComp2(call.pagerId, message, call.functionCode);
    case Engine::Quorvane:
        return OutQuorvane(call.pagerId, message, call.functionCode, call.dataRate);
    case Engine::Scope:
        return OutScope(call.pagerId, message, call.functionCode, call.dataRate);
    case Engine::SNPP:
        return OutSNPP(call.pagerId, message, call.functionCode);
    case Engine::None:
        break;
    }
    return 0;
}

QString LinkSettingsText(const QString &baud, const QString &databits)
{
    if (databits == QLatin1String("N81"))
        return baud + QStringLiteral(",n,8,1");
    if (databits == QLatin1String("E71"))
        return baud + QStringLiteral(",e,7,1");
    return baud + QStringLiteral(",o,7,1");
}

QString ProtocolStatusText(const QString &protocol, const QString &settings)
{
    if (protocol == QLatin1String("QV"))
        return QStringLiteral("Quorvane Protocol, ") + settings;
    return protocol + QStringLiteral(" Protocol, ") + settings;
}

QString IDAsCapText(bool idAsCap)
{
    return idAsCap ? QStringLiteral("ID As Capcode Mode is ON for Port 1")
                   : QStringLiteral("ID As Capcode Mode is OFF for Port 1");
}

QString Comp1PagerID(const QString &groupField, bool *defined)
{
    if (defined)
        *defined = groupField != QLatin1String("0000");
    if (groupField == QLatin1String("0000"))
        return QString();
    QString id = groupField;
    while (id.startsWith(QLatin1Char('0')))
        id.remove(0, 1);
    return id;
}

// ---- message archive ---------------------------------------------------

QString MessageArchivePath() { return QDir(platform::WritableAppPath()).filePath(QStringLiteral("messages.dat")); }

QString MessageArchiveReadPath()
{
    // an installed program keeps its archive in the per-user folder; until
    // that holds one, the archive that came beside the program is read
    const QString own = MessageArchivePath();
    const QString beside = QDir(platform::AppPath()).filePath(QStringLiteral("messages.dat"));
    return QFileInfo::exists(own) || !QFileInfo::exists(beside) ? own : beside;
}

QStringList ReadArchiveFile(const QString &path, bool *opened)
{
    QFile f(path);
    const bool ok = f.open(QIODevice::ReadOnly);
    if (opened)
        *opened = ok;
    if (!ok)
        return QStringList();
    return platform::SplitLines(platform::FromAnsi(f.readAll()));
}

QByteArray ArchiveFileBytes(const QStringList &entries)
{
    QByteArray bytes;
    for (const QString &e : entries)
        bytes += platform::ToAnsi(e) + "\r\n";
    return bytes;
}

QString ArchiveStoreProblem(const QString &text)
{
    const qsizetype bad = platform::FirstNonAnsi(text);
    if (bad < 0)
        return QString();
    return QStringLiteral("The message holds %1, which cannot be stored in the message archive. "
                          "Change it and try again.")
        .arg(platform::DescribeNonAnsi(text, bad));
}

bool WriteArchiveFile(const QString &path, const QStringList &entries, QString *error)
{
    for (const QString &e : entries) {
        const QString problem = ArchiveStoreProblem(e);
        if (!problem.isEmpty()) {
            if (error)
                *error = problem;
            return false;
        }
    }
    return platform::ReplaceFile(path, ArchiveFileBytes(entries), error);
}

int ArchiveEntryToDropAfterReplace(int count, int replaced)
{
    if (count <= kArchiveMaxEntries)
        return -1;
    return replaced == count - 1 ? count - 2 : count - 1;
}

// ---- range test --------------------------------------------------------

QString RangePageText(const QString &baseMessage, int pageNumber)
{
    return baseMessage + QLatin1Char(' ') + QString::number(pageNumber);
}

QString RangeCountdownCaption(const QString &brand, int seconds)
{
    return brand + QStringLiteral(" Range Test - Next Msg. in ") + QString::number(seconds) + QStringLiteral(" Sec.");
}

QString PagingTestCaption(const QString &brand) { return brand + QStringLiteral(" Paging Test"); }

bool ParseCycleTime(const QString &text, int16_t *seconds)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    const double rounded = std::nearbyint(value);  // the default rounding: a half to the even neighbour
    if (rounded < std::numeric_limits<int16_t>::min() || rounded > std::numeric_limits<int16_t>::max())
        return false;
    if (seconds)
        *seconds = int16_t(rounded);
    return true;
}

int16_t NextPageNumber(int16_t page)
{
    return page >= std::numeric_limits<int16_t>::max() ? int16_t(1) : int16_t(page + 1);
}

}  // namespace testconsole
