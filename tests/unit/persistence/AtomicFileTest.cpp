#include "persistence/AtomicFile.h"

#include "FileTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Outcome write(const QString &path, const QByteArray &contents)
{
    Outcome outcome;
    outcome.ok = writeFileAtomically(path, contents, &outcome.error);
    return outcome;
}

class AtomicFile : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return m_directory.filePath(name); }

    static QByteArray contents(const QString &file) { return fileContents(file); }
    static mode_t mode(const QString &file) { return fileMode(file); }
    static QStringList entries(const QString &directory) { return directoryEntries(directory); }

    void createFile(const QString &file, const QByteArray &data, mode_t permissions = 0644)
    {
        ASSERT_TRUE(writeRawFile(file, data, permissions));
    }

    QTemporaryDir m_directory;
};

} // namespace

TEST_F(AtomicFile, ANewFileHasModeSixHundredWhateverTheUmask)
{
    for (mode_t mask : {mode_t(0000), mode_t(0022), mode_t(0077), mode_t(0777)}) {
        const QString file = path(QStringLiteral("new-%1").arg(mask, 0, 8));
        const mode_t previous = ::umask(mask);
        const Outcome outcome = write(file, "contents");
        ::umask(previous);
        ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
        EXPECT_EQ(mode(file), mode_t(0600)) << "umask " << mask;
        EXPECT_EQ(contents(file), "contents");
    }
    EXPECT_EQ(entries(m_directory.path()).size(), 4);
}

// A lock file is created by QLockFile, which asks for mode 0666.
TEST_F(AtomicFile, WhatIsCreatedPrivatelyIsTheUsersAloneAndTheUmaskComesBack)
{
    const mode_t previous = ::umask(0022);
    {
        const PrivateCreation privately;
        QLockFile lock(path(QStringLiteral("private.lock")));
        EXPECT_TRUE(lock.tryLock(0));
        EXPECT_EQ(mode(path(QStringLiteral("private.lock"))), mode_t(0600));
    }
    EXPECT_EQ(::umask(previous), mode_t(0022));
}

TEST_F(AtomicFile, AnExistingFileIsReplacedAndNothingElseIsLeft)
{
    const QString file = path(QStringLiteral("Kestrum.plist"));
    createFile(file, "old contents that are longer than the new ones");
    const Outcome outcome = write(file, "new");
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    EXPECT_EQ(contents(file), "new");
    EXPECT_EQ(mode(file), mode_t(0600));
    EXPECT_EQ(entries(m_directory.path()), QStringList{QStringLiteral("Kestrum.plist")});
}

TEST_F(AtomicFile, EmptyAndLargeContentsAreWrittenWhole)
{
    EXPECT_TRUE(write(path(QStringLiteral("empty")), QByteArray()).ok);
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("empty"))));
    EXPECT_EQ(contents(path(QStringLiteral("empty"))), QByteArray());

    QByteArray large(16 * 1024 * 1024 + 3, Qt::Uninitialized);
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = char(i * 31 + i / 4096);
    EXPECT_TRUE(write(path(QStringLiteral("large")), large).ok);
    EXPECT_EQ(contents(path(QStringLiteral("large"))), large);
}

TEST_F(AtomicFile, ASymbolicLinkIsWrittenThrough)
{
    ASSERT_TRUE(QDir(m_directory.path()).mkdir(QStringLiteral("dotfiles")));
    const QString target = path(QStringLiteral("dotfiles/Kestrum.plist"));
    const QString link = path(QStringLiteral("Kestrum.plist"));
    createFile(target, "old");
    ASSERT_EQ(::symlink("dotfiles/Kestrum.plist", QFile::encodeName(link).constData()), 0);

    ASSERT_TRUE(write(link, "new").ok);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(target), "new");
    EXPECT_EQ(entries(path(QStringLiteral("dotfiles"))), QStringList{QStringLiteral("Kestrum.plist")});
}

TEST_F(AtomicFile, TheLongestFileNameStillFindsRoomForTheTemporaryFile)
{
    const QString name(255, u'n');
    const Outcome outcome = write(path(name), "contents");
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    EXPECT_EQ(contents(path(name)), "contents");
    EXPECT_EQ(entries(m_directory.path()), QStringList{name});
}

// --- failures ------------------------------------------------------------------------------------

class AtomicFileFailure : public AtomicFile
{
protected:
    void SetUp() override
    {
        createFile(m_target, "old");
        // Open to other users, so a test that gives up root's rights can still reach its files.
        ASSERT_EQ(::chmod(QFile::encodeName(m_directory.path()).constData(), 0755), 0);
    }

    void expectTargetUntouched()
    {
        EXPECT_EQ(contents(m_target), "old");
        EXPECT_EQ(mode(m_target), mode_t(0644));
    }

    static void expectError(const Outcome &outcome, const QString &file, int errorNumber)
    {
        EXPECT_FALSE(outcome.ok);
        EXPECT_TRUE(outcome.error.contains(u'"' + file + u'"')) << outcome.error.toStdString();
        EXPECT_TRUE(outcome.error.endsWith(QString::fromLocal8Bit(std::strerror(errorNumber))))
            << outcome.error.toStdString();
    }

    const QString m_target = path(QStringLiteral("Kestrum.plist"));
};

TEST_F(AtomicFileFailure, AMissingDirectory)
{
    const QString file = path(QStringLiteral("missing/Kestrum.plist"));
    expectError(write(file, "new"), file, ENOENT);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(entries(m_directory.path()), QStringList{QStringLiteral("Kestrum.plist")});
}

TEST_F(AtomicFileFailure, AReadOnlyDirectory)
{
    const QString directory = path(QStringLiteral("readonly"));
    const QString file = directory + QStringLiteral("/Kestrum.plist");
    ASSERT_TRUE(QDir(m_directory.path()).mkdir(QStringLiteral("readonly")));
    createFile(file, "old");

    const Outcome outcome = inReadOnlyDirectoryAsUser(directory, [&] { return write(file, "new"); });

    expectError(outcome, file, EACCES);
    EXPECT_EQ(contents(file), "old");
    EXPECT_EQ(entries(directory), QStringList{QStringLiteral("Kestrum.plist")});
}

TEST_F(AtomicFileFailure, AWriteThatFailsPartWay)
{
    // A file size limit makes the disk "full" after the first kilobyte.
    const Outcome outcome = inChildProcess([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {1024, 1024};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return Outcome{false, QStringLiteral("setrlimit failed")};
        return write(m_target, QByteArray(1024 * 1024, 'x'));
    });
    expectError(outcome, m_target, EFBIG);
    EXPECT_TRUE(outcome.error.contains(QStringLiteral("write failed"))) << outcome.error.toStdString();
    expectTargetUntouched();
    EXPECT_EQ(entries(m_directory.path()), QStringList{QStringLiteral("Kestrum.plist")});
}

TEST_F(AtomicFileFailure, ATargetThatIsADirectory)
{
    const QString file = path(QStringLiteral("folder"));
    ASSERT_TRUE(QDir(m_directory.path()).mkdir(QStringLiteral("folder")));
    ASSERT_TRUE(QDir(file).mkdir(QStringLiteral("inside")));

    const Outcome outcome = write(file, "new");
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.error.contains(QStringLiteral("cannot replace the file"))) << outcome.error.toStdString();
    EXPECT_TRUE(QFileInfo(file).isDir());
    EXPECT_EQ(entries(file), QStringList{QStringLiteral("inside")});
    EXPECT_EQ(entries(m_directory.path()), (QStringList{QStringLiteral("Kestrum.plist"), QStringLiteral("folder")}));
    expectTargetUntouched();
}
