#include "database/pg8file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace

TEST(Pg8Save, replacesTheWholeOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("site.pg8"));
    ASSERT_TRUE(writeFile(path, QByteArray(5000, 'x')));
    QString error = QStringLiteral("stale");
    EXPECT_TRUE(SavePagerDatabaseFile(path, "Fam1,1\r\n", &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(contents(path), QByteArray("Fam1,1\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("site.pg8")});

    QByteArray loaded;
    EXPECT_TRUE(LoadPagerDatabaseFile(path, &loaded, &error));
    EXPECT_EQ(loaded, QByteArray("Fam1,1\r\n"));
}

// The write breaks off half-way (the file size limit stands in for a full
// disk, which stops root as well): the old file stays whole and no
// temporary file is left beside it.
TEST(Pg8Save, failedWrite_keepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("site.pg8"));
    const QByteArray old("Fam1,old\r\n");
    ASSERT_TRUE(writeFile(path, old));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool ok = SavePagerDatabaseFile(path, QByteArray(4096, 'n'), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(contents(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("site.pg8")});
}

TEST(Pg8Save, unwritablePlaces_reportTheSystemsReason)
{
    QTemporaryDir dir;
    const QString plainFile = dir.filePath(QStringLiteral("plain"));
    ASSERT_TRUE(writeFile(plainFile, "keep"));
    const QString paths[] = {
        plainFile + QStringLiteral("/site.pg8"),              // folder is a file
        dir.filePath(QStringLiteral("missing/site.pg8")),     // folder does not exist
        QStringLiteral("/proc/qv-pg8-test.pg8"),              // folder takes no new files
        dir.path(),                                           // the name is a folder
    };
    for (const QString &path : paths) {
        QString error;
        EXPECT_FALSE(SavePagerDatabaseFile(path, "Fam1,1\r\n", &error)) << path.toStdString();
        EXPECT_FALSE(error.isEmpty()) << path.toStdString();
    }
    EXPECT_EQ(contents(plainFile), QByteArray("keep"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("plain")});
}

TEST(Pg8Load, unreadablePlaces_reportAReasonAndGiveNothing)
{
    QTemporaryDir dir;
    const QString paths[] = {
        dir.filePath(QStringLiteral("none.pg8")),
        dir.filePath(QStringLiteral("missing/none.pg8")),
        dir.path(),
    };
    for (const QString &path : paths) {
        QByteArray bytes("stale");
        QString error;
        EXPECT_FALSE(LoadPagerDatabaseFile(path, &bytes, &error)) << path.toStdString();
        EXPECT_FALSE(error.isEmpty()) << path.toStdString();
        EXPECT_TRUE(bytes.isEmpty());
    }
}
