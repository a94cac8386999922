#pragma once

// Helpers for tests that work with real files: reading what was written, running a step as
// an ordinary user, asking Python's standard library for a second opinion, switching the C
// library to German and catching what Kestrum logs.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <functional>
#include <ostream>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Failures show texts as texts.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '"' << bytes.toStdString() << '"';
}

inline QByteArray fileContents(const QString &file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<unreadable>");
}

// Writes the bytes as they are, bypassing every Kestrum writer.
inline bool writeRawFile(const QString &file, const QByteArray &contents, mode_t fileMode = 0644)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(contents) != contents.size())
        return false;
    out.close();
    return ::chmod(QFile::encodeName(file).constData(), fileMode) == 0;
}

inline mode_t fileMode(const QString &file)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(file).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// Every name in the directory, hidden ones too: a leftover temporary file shows here.
inline QStringList directoryEntries(const QString &directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// What a step run in a child process reported.
struct Outcome
{
    bool ok = false;
    QString error;
};

// Runs `work` in a child process, for conditions that must not touch the test process
// (resource limits, dropped privileges). The outcome comes back through a pipe.
inline Outcome inChildProcess(const std::function<Outcome()> &work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {false, QStringLiteral("pipe failed")};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const Outcome outcome = work();
        const QByteArray message = (outcome.ok ? "1" : "0") + outcome.error.toUtf8();
        const ssize_t written = ::write(fds[1], message.constData(), size_t(message.size()));
        ::_exit(written == message.size() ? 0 : 1);
    }
    ::close(fds[1]);
    QByteArray message;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            message.append(buffer, n);
        else if (errno != EINTR)
            break;
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (pid < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || message.isEmpty())
        return {false, QStringLiteral("the child process failed")};
    return {message.startsWith('1'), QString::fromUtf8(message.mid(1))};
}

// Root may write into any directory, so it takes on an ordinary user's identity first.
inline bool dropPrivileges()
{
    if (::geteuid() != 0)
        return true;
    constexpr uid_t kNobody = 65534;
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

// Runs `work` in a child process as an ordinary user, for whom `directory` can be read but not
// changed. The directories above it must let others pass.
inline Outcome inReadOnlyDirectoryAsUser(const QString &directory, const std::function<Outcome()> &work)
{
    const QByteArray native = QFile::encodeName(directory);
    if (::chmod(native.constData(), 0555) != 0)
        return {false, QStringLiteral("cannot make %1 read-only").arg(directory)};
    const Outcome outcome = inChildProcess([&] {
        if (!dropPrivileges())
            return Outcome{false, QStringLiteral("cannot drop privileges")};
        return work();
    });
    ::chmod(native.constData(), 0755);
    return outcome;
}

// Runs a Python script with the arguments and answers what it printed.
inline QByteArray runPython(const QString &script, const QStringList &arguments)
{
    QProcess python;
    // Debian's own, which has the readers scripts/install-deps installs.
    python.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + arguments);
    EXPECT_TRUE(python.waitForFinished(60000)) << "python3 did not run";
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return python.readAllStandardOutput();
}

// Restores the C library's and Qt's locale however the test ends.
class LocaleGuard
{
public:
    LocaleGuard()
        : m_cLocale(std::setlocale(LC_ALL, nullptr))
        , m_locPath(qgetenv("LOCPATH"))
        , m_hadLocPath(qEnvironmentVariableIsSet("LOCPATH"))
    {
    }
    ~LocaleGuard()
    {
        if (m_hadLocPath)
            qputenv("LOCPATH", m_locPath);
        else
            qunsetenv("LOCPATH");
        std::setlocale(LC_ALL, m_cLocale.constData());
        QLocale::setDefault(QLocale::c());
    }

    LocaleGuard(const LocaleGuard &) = delete;
    LocaleGuard &operator=(const LocaleGuard &) = delete;

private:
    QByteArray m_cLocale;
    QByteArray m_locPath;
    bool m_hadLocPath;
};

// Switches the C library to German. Where the system has no such locale generated, it is
// compiled into `directory` from the installed locale sources.
inline bool setGermanCLocale(const QTemporaryDir &directory)
{
    if (std::setlocale(LC_ALL, "de_DE.UTF-8"))
        return true;
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"), {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                                                  QStringLiteral("UTF-8"), directory.filePath(QStringLiteral("de_DE.UTF-8"))});
    localedef.waitForFinished(60000);
    qputenv("LOCPATH", QFile::encodeName(directory.path()));
    return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

// Collects every message logged through Qt while it exists.
class LogCapture
{
public:
    struct Message
    {
        QtMsgType type;
        QString category;
        QString text;
    };

    LogCapture() { m_previous = qInstallMessageHandler(&LogCapture::handle); }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        messages().clear();
    }

    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    static QList<Message> &messages()
    {
        static QList<Message> list;
        return list;
    }

    // The texts of the warnings (and worse) logged so far.
    static QStringList warnings()
    {
        QStringList texts;
        for (const Message &message : messages()) {
            if (message.type != QtDebugMsg && message.type != QtInfoMsg)
                texts.append(message.text);
        }
        return texts;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        messages().append({type, QString::fromUtf8(context.category ? context.category : ""), text});
    }

    QtMessageHandler m_previous = nullptr;
};
