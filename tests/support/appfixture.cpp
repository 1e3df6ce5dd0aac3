#include "support/appfixture.h"

#include "app/forms.h"
#include "app/frmsplash.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "platform/dialogs.h"
#include "platform/system.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

namespace testing_support {

namespace {
const char *const kTitles[] = {"Quorvane Paging System", "Quorvane Paging Encoder Setup", "Kordamere Paging Encoder Setup"};

// Every port number points nowhere while this lives; the old values come
// back afterwards.
class PortsPointNowhere {
public:
    PortsPointNowhere()
    {
        for (int n = 1; n <= kPorts; ++n) {
            const QByteArray var = "QV_COM" + QByteArray::number(n);
            m_old[n - 1] = qgetenv(var.constData());
            qputenv(var.constData(), NowhereDevice(n));
        }
    }
    ~PortsPointNowhere()
    {
        for (int n = 1; n <= kPorts; ++n)
            qputenv(("QV_COM" + QByteArray::number(n)).constData(), m_old[n - 1]);
    }

private:
    static constexpr int kPorts = 16;
    QByteArray m_old[kPorts];
};
}  // namespace

QByteArray NowhereDevice(int port)
{
    return QFile::encodeName(QDir::temp().filePath(QStringLiteral("no-device/com%1").arg(port)));
}

void AppFixture::SetUp()
{
    ResetSharedState();
    platform::SetAppTitle(QStringLiteral("Quorvane Paging System"));
    platform::SetTimeScale(1.0);
    platform::SetAppPath(m_dir.path());
    for (const char *title : kTitles)
        QSettings(QSettings::IniFormat, QSettings::UserScope, QString::fromLatin1(title)).clear();
    writeIni("[Main]\r\nVirginMode=False\r\nTestEnabled=False\r\n");
    platform::SetShellHandler([this](const QString &target) { shellRequests << target; });
}

void AppFixture::TearDown()
{
    {
        // The exit opens a closed port by its device name to send "config
        // reboot". A test's pseudo-terminal may be gone by now (a peer ends
        // with the test's body), and the kernel gives a freed name to the
        // next pseudo-terminal opened anywhere on the machine, such as the
        // simulated encoder of a test running beside this one: the reboot
        // would land there, ahead of that test's own first command.
        const PortsPointNowhere nowhere;
        shutDown();
    }
    platform::SetShellHandler({});
    platform::SetTimeScale(1.0);
    QDir::setCurrent(QDir::tempPath());
}

void AppFixture::writeIni(const QByteArray &content)
{
    QFile f(QDir(m_dir.path()).filePath(QStringLiteral("setup.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

void AppFixture::removeIni() { QFile::remove(QDir(m_dir.path()).filePath(QStringLiteral("setup.ini"))); }

QString AppFixture::stored(const QString &key)
{
    return platform::GetSetting(QStringLiteral("Properties"), key);
}

void AppFixture::store(const QString &key, const QString &value)
{
    // before start-up the store is addressed by the brand's title, which is
    // the name the load step reads it under
    const QString before = platform::AppTitle();
    platform::SetAppTitle(QStringLiteral("Quorvane Paging Encoder Setup"));
    platform::SaveSetting(QStringLiteral("Properties"), key, value);
    platform::SetAppTitle(before);
}

frmTerminal *AppFixture::start()
{
    forms::loadSplash();
    return forms::terminal();
}

void AppFixture::closeSplash()
{
    if (frmSplash *s = forms::splash())
        s->CloseSplash();
    QApplication::processEvents();
}

void AppFixture::shutDown()
{
    if (frmTerminal *w = forms::terminal()) {
        w->Form_Unload();
        delete w;
    }
    forms::unloadWindow("frmSplash");
    forms::unloadWindow("frmKDSplash");
    forms::unloadWindow("frmCancelSend");
    QApplication::processEvents();
}

}  // namespace testing_support
