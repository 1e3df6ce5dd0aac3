// Test entry point: a headless application, settings in a temporary folder,
// the real dialogs replaced so that no box can block a test.
#include "platform/system.h"
#include "support/appfixture.h"
#include "support/prompts.h"

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    // the headless platform's notes about window sizes are noise here
    if (msg.contains(QLatin1String("propagateSizeHints")) || msg.contains(QLatin1String("does not support raise()")))
        return;
    fprintf(stderr, "%s\n", qPrintable(msg));
    if (type == QtFatalMsg)
        abort();
}
}  // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietMessages);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    QTemporaryDir home;
    // keep every test out of the user's own settings and data
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
    qputenv("TMPDIR", home.path().toLocal8Bit());
    // the instance lock lives in the runtime folder: one of this run's own
    const QString runtime = home.path() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    // no test may reach a real serial device: every port number points
    // nowhere unless a test points it at its own pseudo-terminal
    for (int n = 1; n <= 16; ++n) {
        const QByteArray var = "QV_COM" + QByteArray::number(n);
        if (qEnvironmentVariableIsEmpty(var.constData()))
            qputenv(var.constData(), testing_support::NowhereDevice(n));
    }
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.path() + QStringLiteral("/settings"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    testing_support::InstallFailingPromptHandler();
    const int result = RUN_ALL_TESTS();
    platform::ReleaseSingleInstance();
    return result;
}
