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
    shutDown();
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
