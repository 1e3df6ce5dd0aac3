#include "testconsole/encodermode.h"

#include "database/state.h"
#include "link/encoderlink.h"
#include "link/exchange.h"
#include "platform/system.h"
#include "testconsole/testconsole.h"

#include <QThread>

namespace testconsole {

namespace {
constexpr int kRebootPauseMs = 2500;
constexpr int kSwitchBackPauseMs = 75;
const QString kProgrammingSettings = QStringLiteral("9600,n,8,1");

// A pause that lets no window message through.
void BlockingPause(int ms) { QThread::msleep(static_cast<unsigned long>(platform::ScaledMs(ms))); }
}  // namespace

QString EnterPagingMode()
{
    const QString settings = LinkSettingsText(gSettings.sSerial1Baud, gSettings.sSerial1Databits);
    if (!gLink)
        return settings;
    EncoderSend(QStringLiteral("config reboot"), Term::CR);
    BlockingPause(kRebootPauseMs);
    gLink->MSComm1.setSettings(settings);
    return settings;
}

void ReturnToProgrammingMode()
{
    EncoderExchange(QString(QChar(1)) + QStringLiteral("#PrgmMode#"), Term::None, true, {QStringLiteral("9600 baud")},
                    kTimeoutAsSet, false);
    if (!gLink)
        return;
    gLink->MSComm1.setSettings(kProgrammingSettings);
    BlockingPause(kSwitchBackPauseMs);
}

}  // namespace testconsole
