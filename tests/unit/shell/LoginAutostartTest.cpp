// "Open Kestrum at login": the XDG autostart entry, as the desktop reads it.

#include "shell/LoginAutostart.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

class LoginAutostartTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    QString directory() const { return home.filePath(QStringLiteral("autostart")); }

    void writeEntry(const QByteArray &text)
    {
        ASSERT_TRUE(QDir().mkpath(directory()));
        QFile file(directory() + QStringLiteral("/kestrum.desktop"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir home;
};

} // namespace

TEST_F(LoginAutostartTest, WritesAnEntryThatStartsTheProgramAndRemovesIt)
{
    LoginAutostart autostart(directory(), QStringLiteral("/opt/kestrum/bin/kestrum"));
    EXPECT_FALSE(autostart.isEnabled());

    QString error;
    ASSERT_TRUE(autostart.setEnabled(true, &error)) << error.toStdString();
    EXPECT_TRUE(autostart.isEnabled());
    QFile entry(autostart.entryPath());
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QByteArray text = entry.readAll();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nExec=/opt/kestrum/bin/kestrum\n")) << text.toStdString();
    EXPECT_EQ(entry.permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

    ASSERT_TRUE(autostart.setEnabled(false, &error)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(autostart.entryPath()));
    EXPECT_FALSE(autostart.isEnabled());
    // Removing what is not there is no failure.
    EXPECT_TRUE(autostart.setEnabled(false, &error));
}

TEST_F(LoginAutostartTest, AnEntryTheUserHidOrSwitchedOffDoesNotCountAsOn)
{
    LoginAutostart autostart(directory(), QStringLiteral("/usr/bin/kestrum"));
    writeEntry("[Desktop Entry]\nType=Application\nExec=kestrum\nHidden=true\n");
    EXPECT_FALSE(autostart.isEnabled());
    writeEntry("[Desktop Entry]\nType=Application\nExec=kestrum\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_FALSE(autostart.isEnabled());
    // Only the main group counts.
    writeEntry("[Desktop Entry]\nType=Application\nExec=kestrum\n\n[Desktop Action Other]\nHidden=true\n");
    EXPECT_TRUE(autostart.isEnabled());
}

TEST_F(LoginAutostartTest, ProgramPathsWithReservedCharactersAreQuotedAndEscaped)
{
    EXPECT_EQ(LoginAutostart::execArgument(QStringLiteral("/usr/bin/kestrum")), QStringLiteral("/usr/bin/kestrum"));
    EXPECT_EQ(LoginAutostart::execArgument(QStringLiteral("/home/a b/kestrum")), QStringLiteral("\"/home/a b/kestrum\""));
    // Inside quotes a quote, a dollar and a backslash take a backslash, which the string value
    // then escapes again; a percent sign is doubled.
    EXPECT_EQ(LoginAutostart::execArgument(QStringLiteral("/x/\"$\\/100%/k")),
              QStringLiteral("\"/x/\\\\\"\\\\$\\\\\\\\/100%%/k\""));
}

TEST_F(LoginAutostartTest, TheWrittenEntryIsValidForTheDesktop)
{
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed (scripts/install-deps installs it)";
    LoginAutostart autostart(directory(), home.filePath(QStringLiteral("my apps/kestrum $1")));
    ASSERT_TRUE(autostart.setEnabled(true));
    QProcess process;
    process.start(validator, {autostart.entryPath()});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QByteArray output = process.readAllStandardOutput() + process.readAllStandardError();
    EXPECT_EQ(process.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.trimmed().isEmpty()) << output.toStdString();
}

TEST_F(LoginAutostartTest, AFolderThatCannotBeMadeIsAnError)
{
    QFile blocker(directory()); // a file where the folder belongs
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    LoginAutostart autostart(directory(), QStringLiteral("/usr/bin/kestrum"));
    QString error;
    EXPECT_FALSE(autostart.setEnabled(true, &error));
    EXPECT_TRUE(error.contains(directory())) << error.toStdString();
    EXPECT_FALSE(autostart.isEnabled());
}
