#include "database/pg8file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

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

// Turns on or off, for this thread only, root's power to write into any
// folder; false when the thread does not have it.
bool setWriteAnywhere(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    const unsigned bit = 1u << (CAP_DAC_OVERRIDE % 32);
    __user_cap_data_struct &word = data[CAP_DAC_OVERRIDE / 32];
    if (!(word.permitted & bit))
        return false;
    word.effective = on ? word.effective | bit : word.effective & ~bit;
    return syscall(SYS_capset, &header, data) == 0;
}

// A folder that takes no new file while this lives, also for root.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString &path) : m_path(path)
    {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        m_tookPower = setWriteAnywhere(false);
    }
    ~ReadOnlyFolder()
    {
        if (m_tookPower)
            setWriteAnywhere(true);
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    QString m_path;
    bool m_tookPower = false;
};

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

// The folder takes no new file, so no temporary file either, but the file
// in it may be written: it is written in place.
TEST(Pg8Save, folderTakingNoNewFile_writesTheFileInPlace)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("site.pg8"));
    ASSERT_TRUE(writeFile(path, QByteArray(5000, 'x')));
    bool probed = false;
    bool saved = false;
    QString error;
    {
        const ReadOnlyFolder readOnly(dir.path());
        probed = QFile(dir.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly);
        saved = SavePagerDatabaseFile(path, "Fam1,1\r\n", &error);
    }
    ASSERT_FALSE(probed) << "the folder still takes new files";
    EXPECT_TRUE(saved) << error.toStdString();
    EXPECT_EQ(contents(path), QByteArray("Fam1,1\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("site.pg8")});
}

namespace {
char gReopenedFolder[4096];
}  // namespace

// A folder that takes no new file, as above, but lets a file be removed (a
// share may grant the one right without the other; here the folder's write
// permission comes back with the signal of the full disk). The write in
// place breaks off half-way, the file size limit standing in for a full
// disk: the file stays, partly written, and the system's reason is reported.
TEST(Pg8Save, folderTakingNoNewFile_failedWriteInPlace_keepsTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("site.pg8"));
    ASSERT_TRUE(writeFile(path, QByteArray(5000, 'x')));
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_LT(size_t(folder.size()), sizeof gReopenedFolder);
    qstrcpy(gReopenedFolder, folder.constData());

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    bool ok = true;
    QString error;
    {
        const ReadOnlyFolder readOnly(dir.path());
        rlimit small = saved;
        small.rlim_cur = 64;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const auto oldHandler = std::signal(SIGXFSZ, [](int) { chmod(gReopenedFolder, 0700); });
        ok = SavePagerDatabaseFile(path, QByteArray(4096, 'n'), &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }

    EXPECT_FALSE(ok);
    EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("site.pg8")});
    EXPECT_EQ(contents(path), QByteArray(64, 'n'));
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
