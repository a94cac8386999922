// The kestrum program itself: on a real X server with a real window manager and real X
// clients, it books the time each client spends in front and stores it when it is told to
// quit, starts counting by itself when set to, and opens its preferences; without a display
// it says so and fails; --help and --version need no display.

#include "DisplaySession.h"
#include "Programs.h"
#include "StoredTimes.h"
#include "history/HistoryDatabase.h"
#include "persistence/PropertyList.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QThread>

#include <chrono>

#include <csignal>
#include <cstring>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

const QString kKestrum = QStringLiteral(KESTRUM_PROGRAM);

} // namespace

class KestrumOnXTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QStringList missing = DisplaySession::missingPrograms(
            {QStringLiteral("xdotool"), QStringLiteral("xprop"), QStringLiteral("xterm"), QStringLiteral("xlogo"), QStringLiteral("dbus-daemon")});
        if (!missing.isEmpty()) {
            const std::string message = "missing " + missing.join(QStringLiteral(", ")).toStdString()
                + ": scripts/install-deps installs them";
            // In CI these tests must run: a missing program is a broken set-up, not a reason to skip.
            if (runningInCi())
                FAIL() << message;
            GTEST_SKIP() << message;
        }
        QString error;
        ASSERT_TRUE(session.start(&error)) << error.toStdString();
    }

    // Brings the window to the front and waits until the window manager made it active.
    void activate(const QString &window)
    {
        const bool ok = session.run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        ASSERT_TRUE(ok) << "xdotool cannot activate window " << window.toStdString();
        const QString active = session.outputOf(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).trimmed();
        ASSERT_EQ(active, window) << "the window manager did not activate the window";
    }

    // Starts kestrum on the display without desktop entries; with `window`, waits for its window.
    QProcess *startKestrum(const QStringList &arguments, QString *window = nullptr, QProcessEnvironment variables = {})
    {
        variables.insert(QStringLiteral("XDG_DATA_DIRS"), session.noDesktopEntries());
        QProcess *kestrum = session.startProgram(kKestrum, arguments, variables);
        if (kestrum && window)
            *window = session.waitForWindow({QStringLiteral("--name"), QStringLiteral("^Kestrum$")}, 20s);
        return kestrum;
    }

    // Waits until a dialog is open over Kestrum's window: two visible windows of its class.
    bool waitForDialog()
    {
        const QDeadlineTimer deadline(10s);
        do {
            const QString found = session.outputOf(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                                               QStringLiteral("--class"), QStringLiteral("^Kestrum$")});
            if (found.count(u'\n') == 2)
                return true;
            QThread::msleep(100);
        } while (!deadline.hasExpired());
        return false;
    }

    QString settingsPath() const { return session.home() + QStringLiteral("/.config/Kestrum/Kestrum.plist"); }

    // The settings file a user's earlier Kestrum left.
    void writeSettings(const PropertyListDictionary &settings)
    {
        QByteArray xml;
        QString error;
        ASSERT_TRUE(PropertyList::serialize(QVariant::fromValue(settings), &xml, &error)) << error.toStdString();
        ASSERT_TRUE(QDir().mkpath(QFileInfo(settingsPath()).absolutePath()));
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(xml) == xml.size());
    }

    DisplaySession session{DisplaySession::Options{1024, 768}};
};

TEST_F(KestrumOnXTest, BooksTheTimeOfTheWindowsInFrontAndStoresItWhenTerminated)
{
    QProcess *xterm = session.startProgram(QStringLiteral("xterm"), {QStringLiteral("-T"), QStringLiteral("alpha.txt (edited)"),
                                                                     QStringLiteral("-e"), QStringLiteral("sleep"), QStringLiteral("600")});
    QProcess *xlogo = session.startProgram(QStringLiteral("xlogo"), {});
    ASSERT_TRUE(xterm && xlogo);
    const QString xtermWindow = session.waitForWindow({QStringLiteral("--class"), QStringLiteral("^XTerm$")}, 10s);
    const QString xlogoWindow = session.waitForWindow({QStringLiteral("--class"), QStringLiteral("^XLogo$")}, 10s);
    ASSERT_FALSE(xtermWindow.isEmpty()) << "no xterm window: " << session.logOf(xterm).toStdString();
    ASSERT_FALSE(xlogoWindow.isEmpty()) << "no xlogo window: " << session.logOf(xlogo).toStdString();

    // Its window is mapped once its event loop runs, after counting has started.
    QString kestrumWindow;
    QProcess *kestrum = startKestrum({QStringLiteral("--start")}, &kestrumWindow);
    ASSERT_NE(kestrum, nullptr);
    ASSERT_FALSE(kestrumWindow.isEmpty()) << "kestrum shows no window: " << session.logOf(kestrum).toStdString();
    QThread::msleep(500);

    // Each client in front in turn; the measured spans run from one activation to the next.
    QElapsedTimer clock;
    double xtermSeconds = 0.0;
    double xlogoSeconds = 0.0;
    for (int round = 0; round < 2; ++round) {
        ASSERT_NO_FATAL_FAILURE(activate(xtermWindow));
        clock.start();
        QThread::msleep(3000);
        ASSERT_NO_FATAL_FAILURE(activate(xlogoWindow));
        xtermSeconds += clock.restart() / 1000.0;
        QThread::msleep(2000);
        ASSERT_NO_FATAL_FAILURE(activate(kestrumWindow));
        xlogoSeconds += clock.elapsed() / 1000.0;
    }

    kestrum->terminate();
    ASSERT_TRUE(kestrum->waitForFinished(15000)) << "kestrum did not quit on SIGTERM: " << session.logOf(kestrum).toStdString();
    EXPECT_EQ(kestrum->exitStatus(), QProcess::NormalExit) << session.logOf(kestrum).toStdString();
    EXPECT_EQ(kestrum->exitCode(), 0) << session.logOf(kestrum).toStdString();

    const StoredTimes stored = readStoredTimes(settingsPath());
    ASSERT_TRUE(stored.error.isEmpty()) << stored.error.toStdString();
    SCOPED_TRACE("stored: " + describe(stored).toStdString() + "; measured XTerm=" + std::to_string(xtermSeconds)
                 + ", XLogo=" + std::to_string(xlogoSeconds));
    ASSERT_TRUE(stored.applications.contains(QStringLiteral("XTerm")));
    ASSERT_TRUE(stored.applications.contains(QStringLiteral("XLogo")));
    EXPECT_NEAR(stored.applications.value(QStringLiteral("XTerm")), xtermSeconds, 2.0);
    EXPECT_NEAR(stored.applications.value(QStringLiteral("XLogo")), xlogoSeconds, 2.0);
    // The terminal's title names the document "alpha.txt".
    EXPECT_NEAR(stored.windows.value(QStringLiteral("XTerm")).value(QStringLiteral("alpha.txt"), -100.0), xtermSeconds, 2.0);

    // The history holds the same seconds, written by the time Kestrum has quit.
    QString error;
    const auto history = HistoryDatabase::openToRead(session.home() + QStringLiteral("/.local/share/Kestrum/history.sqlite3"), &error);
    ASSERT_NE(history, nullptr) << error.toStdString();
    const QDateTime today = QDate::currentDate().startOfDay();
    const QList<HistoryTotal> totals = history->totals(HistoryDatabase::Grouping::Application, today.addDays(-1), today.addDays(2), &error).value();
    for (const HistoryTotal &total : totals)
        EXPECT_NEAR(total.seconds, stored.applications.value(total.application, -100.0), 0.001) << total.application.toStdString();
}

TEST_F(KestrumOnXTest, StartsCountingByItselfWhenSetToAndOpensItsPreferencesWithCtrlComma)
{
    PropertyListDictionary settings;
    settings.insert(QStringLiteral("startCountingAtLaunch"), true);
    ASSERT_NO_FATAL_FAILURE(writeSettings(settings));

    QProcess *xlogo = session.startProgram(QStringLiteral("xlogo"), {});
    ASSERT_NE(xlogo, nullptr);
    const QString xlogoWindow = session.waitForWindow({QStringLiteral("--class"), QStringLiteral("^XLogo$")}, 10s);
    ASSERT_FALSE(xlogoWindow.isEmpty()) << "no xlogo window: " << session.logOf(xlogo).toStdString();
    QString kestrumWindow;
    QProcess *kestrum = startKestrum({}, &kestrumWindow);
    ASSERT_NE(kestrum, nullptr);
    ASSERT_FALSE(kestrumWindow.isEmpty()) << "kestrum shows no window: " << session.logOf(kestrum).toStdString();

    ASSERT_NO_FATAL_FAILURE(activate(kestrumWindow));
    ASSERT_TRUE(session.run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+comma")}));
    const QString preferences = session.waitForWindow({QStringLiteral("--name"), QStringLiteral("^Kestrum Preferences$")}, 10s);
    EXPECT_FALSE(preferences.isEmpty()) << "no preferences window: " << session.logOf(kestrum).toStdString();

    ASSERT_NO_FATAL_FAILURE(activate(xlogoWindow));
    QThread::msleep(2500);
    kestrum->terminate();
    ASSERT_TRUE(kestrum->waitForFinished(15000)) << "kestrum did not quit on SIGTERM: " << session.logOf(kestrum).toStdString();
    const StoredTimes stored = readStoredTimes(settingsPath());
    ASSERT_TRUE(stored.error.isEmpty()) << stored.error.toStdString();
    EXPECT_GE(stored.applications.value(QStringLiteral("XLogo")), 1.5) << describe(stored).toStdString();
}

TEST_F(KestrumOnXTest, BackFromAMinuteAwayTheQuestionLeavesTheFocusAloneAndTheAnswerReachesTheHistory)
{
    PropertyListDictionary settings;
    settings.insert(QStringLiteral("startCountingAtLaunch"), true);
    settings.insert(QStringLiteral("minutesUntilIdle"), 1);
    ASSERT_NO_FATAL_FAILURE(writeSettings(settings));
    QString error;

    QProcess *xterm = session.startProgram(QStringLiteral("xterm"), {QStringLiteral("-T"), QStringLiteral("notes.txt"), QStringLiteral("-e"),
                                                                     QStringLiteral("sleep"), QStringLiteral("600")});
    ASSERT_NE(xterm, nullptr);
    const QString xtermWindow = session.waitForWindow({QStringLiteral("--class"), QStringLiteral("^XTerm$")}, 10s);
    ASSERT_FALSE(xtermWindow.isEmpty()) << session.logOf(xterm).toStdString();
    QString kestrumWindow;
    QProcess *kestrum = startKestrum({}, &kestrumWindow);
    ASSERT_NE(kestrum, nullptr);
    ASSERT_FALSE(kestrumWindow.isEmpty()) << session.logOf(kestrum).toStdString();
    ASSERT_NO_FATAL_FAILURE(activate(xtermWindow));

    // No input for longer than the idle threshold, then the pointer moves.
    QThread::sleep(66);
    ASSERT_TRUE(session.run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("300"), QStringLiteral("300")}));
    const QString question = session.waitForWindow({QStringLiteral("--name"), QStringLiteral("^What were you doing\\?$")}, 10s);
    ASSERT_FALSE(question.isEmpty()) << "no question: " << session.logOf(kestrum).toStdString();
    EXPECT_EQ(session.outputOf(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).trimmed(), xtermWindow)
        << "the question took the focus from the terminal";

    // The user turns to it and answers.
    ASSERT_NO_FATAL_FAILURE(activate(question));
    ASSERT_TRUE(session.run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), QStringLiteral("Standup")}));
    ASSERT_TRUE(session.run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")}));
    QThread::msleep(500);
    kestrum->terminate();
    ASSERT_TRUE(kestrum->waitForFinished(15000)) << session.logOf(kestrum).toStdString();
    EXPECT_EQ(kestrum->exitCode(), 0) << session.logOf(kestrum).toStdString();

    const StoredTimes stored = readStoredTimes(settingsPath());
    ASSERT_TRUE(stored.error.isEmpty()) << stored.error.toStdString();
    const double away = stored.applications.value(QStringLiteral("Standup"), -1.0);
    EXPECT_GE(away, 60.0) << describe(stored).toStdString();
    EXPECT_LT(stored.applications.value(QStringLiteral("Idle"), 0.0), 1.0) << describe(stored).toStdString();
    const auto history = HistoryDatabase::openToRead(session.home() + QStringLiteral("/.local/share/Kestrum/history.sqlite3"), &error);
    ASSERT_NE(history, nullptr) << error.toStdString();
    const QDateTime today = QDate::currentDate().startOfDay();
    const QList<Stretch> stretches = history->stretches(today.addDays(-1), today.addDays(2), &error).value();
    const auto answered = std::find_if(stretches.begin(), stretches.end(), [](const Stretch &s) { return s.application == u"Standup"; });
    ASSERT_NE(answered, stretches.end()) << error.toStdString();
    EXPECT_EQ(answered->source, StretchSource::Answered);
    EXPECT_NEAR(answered->seconds, away, 0.001);
}

TEST_F(KestrumOnXTest, QuitSignalsEndKestrumWhateverIsOpenAndSayWhenTheTimingsCannotBeStored)
{
    // The warning about a settings file that cannot be read is open when SIGINT comes.
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settingsPath()).absolutePath()));
    QFile corrupt(settingsPath());
    ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly) && corrupt.write("not a property list") > 0);
    corrupt.close();
    QProcess *kestrum = startKestrum({});
    ASSERT_TRUE(kestrum && waitForDialog()) << "no warning: " << session.logOf(kestrum).toStdString();
    ::kill(pid_t(kestrum->processId()), SIGINT);
    ASSERT_TRUE(kestrum->waitForFinished(10000)) << "SIGINT did not end kestrum";
    EXPECT_EQ(kestrum->exitCode(), 0) << session.logOf(kestrum).toStdString();

    // So is the warning about a setting that cannot be read as its kind, which names it.
    ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly | QIODevice::Truncate)
                && corrupt.write("<plist version=\"1.0\"><dict><key>periodicSaveTime</key><string>25:00</string></dict></plist>") > 0);
    corrupt.close();
    kestrum = startKestrum({});
    ASSERT_TRUE(kestrum && waitForDialog()) << "no warning: " << session.logOf(kestrum).toStdString();
    EXPECT_TRUE(session.logOf(kestrum).contains(
        QStringLiteral("The setting periodicSaveTime is \"25:00\", which is no time of day (HH:MM); 19:00 is used instead.")))
        << session.logOf(kestrum).toStdString();
    ::kill(pid_t(kestrum->processId()), SIGINT);
    ASSERT_TRUE(kestrum->waitForFinished(10000)) << "SIGINT did not end kestrum";
    ASSERT_TRUE(QFile::remove(settingsPath()));

    // Counting, the quit question open: SIGTERM stores the timings and ends Kestrum.
    QString window;
    kestrum = startKestrum({QStringLiteral("--start")}, &window);
    ASSERT_FALSE(window.isEmpty()) << session.logOf(kestrum).toStdString();
    ASSERT_NO_FATAL_FAILURE(activate(window));
    QThread::msleep(1500);
    ASSERT_TRUE(session.run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+q")}));
    ASSERT_TRUE(waitForDialog()) << "no quit question: " << session.logOf(kestrum).toStdString();
    kestrum->terminate();
    ASSERT_TRUE(kestrum->waitForFinished(10000)) << "SIGTERM did not end kestrum";
    EXPECT_EQ(kestrum->exitCode(), 0) << session.logOf(kestrum).toStdString();
    const StoredTimes stored = readStoredTimes(settingsPath());
    EXPECT_GE(stored.applications.value(QStringLiteral("Kestrum")), 0.5) << describe(stored).toStdString();

    // Where the timings cannot be stored, the quit says so and fails.
    ASSERT_TRUE(QDir(QFileInfo(settingsPath()).absolutePath()).removeRecursively());
    QFile blocking(QFileInfo(settingsPath()).absolutePath());
    ASSERT_TRUE(blocking.open(QIODevice::WriteOnly));
    blocking.close();
    kestrum = startKestrum({}, &window);
    ASSERT_FALSE(window.isEmpty()) << session.logOf(kestrum).toStdString();
    ::kill(pid_t(kestrum->processId()), SIGHUP);
    ASSERT_TRUE(kestrum->waitForFinished(10000)) << "SIGHUP did not end kestrum";
    EXPECT_EQ(kestrum->exitCode(), 1);
    EXPECT_TRUE(session.logOf(kestrum).contains(QStringLiteral("kestrum: the timings could not be saved: cannot create the folder")))
        << session.logOf(kestrum).toStdString();
}

TEST_F(KestrumOnXTest, AQuitOnAFullDiskSaysHowMuchHistoryIsLostAndFails)
{
    // No file of Kestrum's may grow, as on a full disk: a write fails as a full disk's does,
    // rather than ending the process. What it prints goes through a pipe, which still takes it.
    QProcess kestrum;
    QProcessEnvironment variables = session.environment();
    variables.insert(QStringLiteral("XDG_DATA_DIRS"), session.noDesktopEntries());
    kestrum.setProcessEnvironment(variables);
    kestrum.setProcessChannelMode(QProcess::MergedChannels);
    kestrum.setChildProcessModifier([] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit nothing{0, 0};
        ::setrlimit(RLIMIT_FSIZE, &nothing);
    });
    kestrum.start(kKestrum, {QStringLiteral("--start")});
    ASSERT_TRUE(kestrum.waitForStarted(5000));
    const QString window = session.waitForWindow({QStringLiteral("--name"), QStringLiteral("^Kestrum$")}, 20s);
    ASSERT_FALSE(window.isEmpty()) << kestrum.readAll().toStdString();
    QThread::msleep(4000);
    kestrum.terminate();
    ASSERT_TRUE(kestrum.waitForFinished(10000)) << "SIGTERM did not end kestrum";
    const QString log = QString::fromLocal8Bit(kestrum.readAll());
    EXPECT_EQ(kestrum.exitCode(), 1) << log.toStdString();
    const QRegularExpressionMatch lost =
        QRegularExpression(QStringLiteral("kestrum: (\\d+) seconds of history could not be written and are lost: .*history\\.sqlite3"))
            .match(log);
    ASSERT_TRUE(lost.hasMatch()) << log.toStdString();
    EXPECT_GE(lost.captured(1).toInt(), 3) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("kestrum: the timings could not be saved"))) << log.toStdString();
}

TEST_F(KestrumOnXTest, ASecondStartHandsOverAndAKilledKestrumLeavesNoLockNorLitterBehind)
{
    QString window;
    QProcess *first = startKestrum({}, &window);
    ASSERT_FALSE(window.isEmpty()) << session.logOf(first).toStdString();
    QProcess *xlogo = session.startProgram(QStringLiteral("xlogo"), {});
    const QString xlogoWindow = session.waitForWindow({QStringLiteral("--class"), QStringLiteral("^XLogo$")}, 10s);
    ASSERT_TRUE(xlogo && !xlogoWindow.isEmpty());
    ASSERT_NO_FATAL_FAILURE(activate(xlogoWindow));

    // The second start hands over: the running Kestrum comes to the front and starts counting.
    QProcess *second = startKestrum({QStringLiteral("--start")});
    ASSERT_TRUE(second && second->waitForFinished(10000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(session.logOf(second), QStringLiteral("Kestrum is already running; its window was brought to the front\n"));
    const QDeadlineTimer deadline(5s);
    while (session.outputOf(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).trimmed() != window && !deadline.hasExpired())
        QThread::msleep(100);
    EXPECT_EQ(session.outputOf(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).trimmed(), window);
    QThread::msleep(1500);
    first->terminate();
    ASSERT_TRUE(first->waitForFinished(10000));
    EXPECT_GE(readStoredTimes(settingsPath()).applications.value(QStringLiteral("Kestrum")), 0.5) << session.logOf(first).toStdString();

    // A Kestrum killed mid-save leaves its lock and a temporary file behind; the next one starts
    // all the same and removes the temporary files of its own naming, and nothing else.
    QProcess *killed = startKestrum({}, &window);
    ASSERT_FALSE(window.isEmpty()) << session.logOf(killed).toStdString();
    ::kill(pid_t(killed->processId()), SIGKILL);
    ASSERT_TRUE(killed->waitForFinished(10000));
    const QDir settingsFolder = QFileInfo(settingsPath()).absoluteDir();
    const QDir saveFolder(session.home() + QStringLiteral("/.local/share/Kestrum"));
    for (const QString &file : {settingsFolder.filePath(QStringLiteral(".Kestrum.plist.kestrum-tmp.Ab12Cd")),
                                settingsFolder.filePath(QStringLiteral("notes.txt")),
                                saveFolder.filePath(QStringLiteral(".2026-01-08.csv.kestrum-tmp.Zz9Yy8")),
                                saveFolder.filePath(QStringLiteral(".report.odt.Ab12Cd"))}) {
        QFile touched(file);
        ASSERT_TRUE(touched.open(QIODevice::WriteOnly)) << file.toStdString();
    }
    // Started with the usual umask, which would let others read what it creates.
    const mode_t usualMask = ::umask(022);
    QProcess *next = startKestrum({}, &window);
    ::umask(usualMask);
    ASSERT_FALSE(window.isEmpty()) << "no window after a killed Kestrum: " << session.logOf(next).toStdString();
    EXPECT_EQ(settingsFolder.entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("Kestrum.plist"), QStringLiteral("Kestrum.plist.lock"), QStringLiteral("notes.txt")}));
    // The history lives beside the periodic saves, with its journal while Kestrum runs, and
    // this computer's device id.
    QStringList saved = saveFolder.entryList(QDir::Files | QDir::Hidden);
    const QStringList history = saved.filter(QRegularExpression(QStringLiteral("^history\\.sqlite3")));
    saved.removeIf([](const QString &name) { return name.startsWith(QStringLiteral("history.sqlite3")); });
    EXPECT_EQ(saved, (QStringList{QStringLiteral(".report.odt.Ab12Cd"), QStringLiteral("device.json")}));

    // What Kestrum made is the user's alone: the lock names the host, the machine and its boot.
    const QDir runtime(session.environment().value(QStringLiteral("XDG_RUNTIME_DIR")));
    QStringList made{settingsFolder.path(), settingsFolder.filePath(QStringLiteral("Kestrum.plist")),
                     settingsFolder.filePath(QStringLiteral("Kestrum.plist.lock")), saveFolder.path(),
                     saveFolder.filePath(QStringLiteral("device.json"))};
    for (const QString &name : history)
        made.append(saveFolder.filePath(name));
    for (const QString &name : runtime.entryList({QStringLiteral("kestrum-*")}, QDir::AllEntries | QDir::System))
        made.append(runtime.filePath(name));
    EXPECT_GE(made.size(), 7) << "no history or no socket: " << made.join(u' ').toStdString();
    for (const QString &path : made) {
        struct stat status = {};
        ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &status), 0) << path.toStdString();
        EXPECT_EQ(status.st_mode & 077, 0u) << path.toStdString() << " has mode " << std::oct << (status.st_mode & 07777);
    }
}

TEST_F(KestrumOnXTest, BusesThatTakeConnectionsAndNeverAnswerHoldNothingUp)
{
    // A socket that takes connections (the kernel queues them) and never says a word.
    const QString hung = session.home() + QStringLiteral("/hung-bus");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(hung).constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0) << strerror(errno);
    ASSERT_EQ(::listen(listener, 64), 0);
    const auto closeListener = qScopeGuard([listener] { ::close(listener); });

    QProcessEnvironment variables;
    variables.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + hung);
    variables.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), QStringLiteral("unix:path=") + hung);
    QElapsedTimer started;
    started.start();
    QString window;
    QProcess *kestrum = startKestrum({QStringLiteral("--start")}, &window, variables);
    ASSERT_FALSE(window.isEmpty()) << session.logOf(kestrum).toStdString();
    EXPECT_LT(started.elapsed(), 10000) << "the window waited for the buses";

    // Kestrum says so once its first try at the system bus has failed.
    QThread::msleep(1500);
    kestrum->terminate();
    ASSERT_TRUE(kestrum->waitForFinished(10000)) << "SIGTERM did not end kestrum";
    EXPECT_EQ(kestrum->exitCode(), 0);
    EXPECT_TRUE(session.logOf(kestrum).contains(QStringLiteral("the system bus does not answer"))) << session.logOf(kestrum).toStdString();
}

TEST_F(KestrumOnXTest, ALogindThatNeverAnswersHoldsNothingUp)
{
    // A system bus of the test's own, on which logind's name belongs to a program that never
    // answers a call.
    const QString address = QStringLiteral("unix:path=") + session.home() + QStringLiteral("/system-bus");
    QProcess bus;
    endWithTestProcess(bus);
    bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--address=") + address,
                                              QStringLiteral("--print-address"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile")});
    ASSERT_TRUE(waitForLine(bus, 15000)) << "dbus-daemon: " << bus.readAllStandardError().toStdString();
    QProcess logind;
    QString error;
    ASSERT_TRUE(startSilentBusName(logind, address, QStringLiteral("org.freedesktop.login1"), &error)) << error.toStdString();
    const auto stopBus = qScopeGuard([&] {
        stopProcess(logind);
        stopProcess(bus);
    });

    QProcessEnvironment variables;
    variables.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address);
    QString window;
    QProcess *kestrum = startKestrum({QStringLiteral("--start")}, &window, variables);
    ASSERT_FALSE(window.isEmpty()) << session.logOf(kestrum).toStdString();

    // Kestrum has asked logind, and goes on while no answer comes: a second start hands over.
    QProcess *second = startKestrum({}, nullptr, variables);
    ASSERT_TRUE(second && second->waitForFinished(15000));
    EXPECT_EQ(session.logOf(second).toStdString(), "Kestrum is already running; its window was brought to the front\n");

    // Once its questions have timed out, it says what it goes without.
    const QDeadlineTimer deadline(15s);
    while (!session.logOf(kestrum).contains(QStringLiteral("session switches are not watched")) && !deadline.hasExpired())
        QThread::msleep(100);
    EXPECT_TRUE(session.logOf(kestrum).contains(QStringLiteral("Cannot take a sleep inhibitor"))) << session.logOf(kestrum).toStdString();
    EXPECT_TRUE(session.logOf(kestrum).contains(QStringLiteral("login session was not found"))) << session.logOf(kestrum).toStdString();
    kestrum->terminate();
    ASSERT_TRUE(kestrum->waitForFinished(10000)) << "SIGTERM did not end kestrum";
    EXPECT_EQ(kestrum->exitCode(), 0) << session.logOf(kestrum).toStdString();
    EXPECT_GT(readStoredTimes(settingsPath()).applications.value(QStringLiteral("Kestrum")), 0.0) << session.logOf(kestrum).toStdString();
}

// --- without a display ------------------------------------------------------------------------------

class KestrumCommandLineTest : public ::testing::Test
{
protected:
    struct Outcome
    {
        bool finished = false;
        int exitCode = -1;
        QString out;
        QString err;
    };

    static Outcome runWithoutDisplay(const QStringList &arguments, const QStringList &variables = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        for (const QString &variable : variables)
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral(".local/share")));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(kKestrum, arguments);
        Outcome outcome;
        outcome.finished = process.waitForStarted(5000) && process.waitForFinished(15000) && process.exitStatus() == QProcess::NormalExit;
        if (!outcome.finished) {
            process.kill();
            process.waitForFinished(3000);
        }
        outcome.exitCode = process.exitCode();
        outcome.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        outcome.err = QString::fromLocal8Bit(process.readAllStandardError());
        return outcome;
    }

    static inline QTemporaryDir home;
};

TEST_F(KestrumCommandLineTest, WithoutADisplaySaysSoInOneLineAndFails)
{
    const Outcome outcome = runWithoutDisplay({QStringLiteral("--start")});
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err.count(u'\n'), 1) << outcome.err.toStdString();
    EXPECT_TRUE(outcome.err.endsWith(u'\n'));
    EXPECT_TRUE(outcome.err.contains(QStringLiteral("display"), Qt::CaseInsensitive)) << outcome.err.toStdString();
    EXPECT_TRUE(outcome.out.isEmpty()) << outcome.out.toStdString();
}

TEST_F(KestrumCommandLineTest, ADisplayThatCannotBeOpenedIsOneLineAndAFailure)
{
    for (const QStringList &variables : {QStringList{QStringLiteral("DISPLAY=:919")},
                                         QStringList{QStringLiteral("WAYLAND_DISPLAY=no-compositor"),
                                                     QStringLiteral("XDG_RUNTIME_DIR=") + home.path()}}) {
        const Outcome outcome = runWithoutDisplay({QStringLiteral("--start")}, variables);
        ASSERT_TRUE(outcome.finished) << variables.join(u' ').toStdString();
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.err.count(u'\n'), 1) << outcome.err.toStdString();
        EXPECT_TRUE(outcome.err.startsWith(QStringLiteral("kestrum: cannot "))) << outcome.err.toStdString();
        EXPECT_TRUE(outcome.err.contains(variables.constFirst().section(u'=', 1))) << outcome.err.toStdString();
    }
}

TEST_F(KestrumCommandLineTest, VersionNeedsNoDisplay)
{
    const Outcome outcome = runWithoutDisplay({QStringLiteral("--version")});
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    EXPECT_EQ(outcome.out, QStringLiteral("Kestrum " KESTRUM_VERSION "\n"));
}

TEST_F(KestrumCommandLineTest, HelpNeedsNoDisplayAndNamesStart)
{
    const Outcome outcome = runWithoutDisplay({QStringLiteral("--help")});
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    EXPECT_TRUE(outcome.out.contains(QStringLiteral("--start"))) << outcome.out.toStdString();
    EXPECT_TRUE(outcome.out.contains(QStringLiteral("--version"))) << outcome.out.toStdString();
}
