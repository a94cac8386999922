// The GNOME backend against python-dbusmock on a private bus standing in for GNOME Shell with
// Kestrum's extension, Mutter's idle monitor and GNOME's screen saver: the tracker follows the
// extension's announcements, reads the idle time, and outlives the extension's going away and
// coming back; kestrum-probe names the backend.

#include "../logind/LogindMock.h"
#include "Programs.h"

#include "platform/DesktopChoice.h"
#include "platform/fake/FakeQuestionDialog.h"
#include "platform/fake/ManualClock.h"
#include "platform/gnome/GnomeDesktop.h"
#include "tracking/IdleTime.h"
#include "tracking/MemorySettings.h"
#include "tracking/TimeTracker.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>

namespace {

const QString kShell = QStringLiteral("org.gnome.Shell");
const QString kTrackerPath = QStringLiteral("/io/github/kestrum/Kestrum");
const QString kTrackerInterface = QStringLiteral("io.github.kestrum.Kestrum.FocusTracker");
const QString kMutter = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString kIdlePath = QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core");
const QString kScreenSaver = QStringLiteral("org.gnome.ScreenSaver");

} // namespace

class OnGnome : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString missing = LogindMock::missingTools();
        if (!missing.isEmpty()) {
            if (runningInCi())
                FAIL() << "missing " << missing.toStdString() << "; CI is set, so these tests must run here";
            GTEST_SKIP() << "missing " << missing.toStdString();
        }
        QString error;
        ASSERT_TRUE(mock.startBus(&error)) << error.toStdString();
        ASSERT_TRUE(mock.startMock(mutter, kMutter, kIdlePath, kMutter, &error)) << error.toStdString();
        setIdleMilliseconds(0);
        ASSERT_TRUE(mock.startMock(screenSaver, kScreenSaver, QStringLiteral("/org/gnome/ScreenSaver"), kScreenSaver, &error));
        mock.callService(kScreenSaver, QStringLiteral("/org/gnome/ScreenSaver"), LogindMock::MockInterface, QStringLiteral("AddMethod"),
                         {kScreenSaver, QStringLiteral("GetActive"), QString(), QStringLiteral("b"), QStringLiteral("ret = False")});
    }

    void TearDown() override
    {
        tracker.reset();
        idleReader.reset();
        desktop.reset();
        for (QProcess *process : {&shell, &mutter, &screenSaver})
            stopProcess(*process);
        mock.stop();
    }

    // GNOME Shell with the extension enabled, its focused window as given.
    void startShell(const QString &appId, const QString &title, uint pid)
    {
        QString error;
        ASSERT_TRUE(mock.startMock(shell, kShell, kTrackerPath, kTrackerInterface, &error)) << error.toStdString();
        mock.callService(kShell, kTrackerPath, LogindMock::MockInterface, QStringLiteral("AddMethod"),
                         {kTrackerInterface, QStringLiteral("ActiveWindow"), QString(), QStringLiteral("ssu"),
                          QStringLiteral("ret = ('%1', '%2', %3)").arg(appId, title).arg(pid)});
        // The extension announces the focused window as soon as it is enabled.
        focus(appId, title, pid);
    }

    void focus(const QString &appId, const QString &title, uint pid)
    {
        mock.callService(kShell, kTrackerPath, LogindMock::MockInterface, QStringLiteral("EmitSignal"),
                         {kTrackerInterface, QStringLiteral("ActiveWindowChanged"), QStringLiteral("ssu"), QVariantList{appId, title, pid}});
    }

    void setIdleMilliseconds(quint64 milliseconds)
    {
        mock.callService(kMutter, kIdlePath, LogindMock::MockInterface, QStringLiteral("AddMethod"),
                         {kMutter, QStringLiteral("GetIdletime"), QString(), QStringLiteral("t"), QStringLiteral("ret = %1").arg(milliseconds)});
    }

    void openBackend()
    {
        QString error;
        desktop = GnomeDesktop::open(mock.connect(QStringLiteral("kestrum")), &error);
        ASSERT_NE(desktop, nullptr) << error.toStdString();
        idleReader = std::make_unique<IdleTimeReader>(*desktop);
        tracker = std::make_unique<TimeTracker>(TrackerPorts{*desktop, *desktop, *idleReader, clock, settings, questions});
    }

    std::optional<QString> front() const { return desktop->activeApplication().name; }
    void runFor(double seconds)
    {
        clock.advance(seconds);
        tracker->updateDisplayTime(false);
    }
    double seconds(const QString &appName, const QString &windowName = {}) const
    {
        const TimeStoreApp *app = tracker->appForName(appName);
        if (!app || windowName.isEmpty())
            return app ? app->activeTime() : -1.0;
        for (const auto &window : app->windows()) {
            if (window->name() == windowName)
                return window->activeTime();
        }
        return -1.0;
    }

    LogindMock mock;
    QProcess shell;
    QProcess mutter;
    QProcess screenSaver;
    ManualClock clock;
    MemorySettings settings;
    FakeQuestionDialog questions;
    std::unique_ptr<GnomeDesktop> desktop;
    std::unique_ptr<IdleTimeReader> idleReader;
    std::unique_ptr<TimeTracker> tracker;
};

TEST_F(OnGnome, FollowsTheExtensionAndBooksEachWindow)
{
    startShell(QStringLiteral("org.example.Editor.desktop"), QStringLiteral("notes.txt"), 4242);
    openBackend();
    ASSERT_TRUE(waitFor([&] { return front() == QStringLiteral("org.example.Editor"); }));
    EXPECT_EQ(desktop->activeApplication().pid, 4242);
    EXPECT_TRUE(desktop->hasExtension());
    tracker->setIsRunning(true);
    runFor(2);

    focus(QStringLiteral("XTerm"), QStringLiteral("bash"), 77);
    ASSERT_TRUE(waitFor([&] { return front() == QStringLiteral("XTerm"); }));
    runFor(3);
    // A new title of the same window: the extension names no window, so it is one of its own.
    focus(QStringLiteral("XTerm"), QStringLiteral("vim report.txt"), 77);
    ASSERT_TRUE(waitFor([&] { return desktop->windowTitle(desktop->activeWindow()) == QStringLiteral("vim report.txt"); }));
    runFor(1);
    // GNOME's screen lock stands in front while it is on.
    mock.callService(kScreenSaver, QStringLiteral("/org/gnome/ScreenSaver"), LogindMock::MockInterface, QStringLiteral("EmitSignal"),
                     {kScreenSaver, QStringLiteral("ActiveChanged"), QStringLiteral("b"), QVariantList{true}});
    ASSERT_TRUE(waitFor([&] { return front() == QStringLiteral("ScreenSaverEngine"); }));

    EXPECT_DOUBLE_EQ(seconds(QStringLiteral("org.example.Editor"), QStringLiteral("notes.txt")), 2.0);
    EXPECT_DOUBLE_EQ(seconds(QStringLiteral("XTerm"), QStringLiteral("bash")), 3.0);
    EXPECT_DOUBLE_EQ(seconds(QStringLiteral("XTerm"), QStringLiteral("vim report.txt")), 1.0);
    EXPECT_DOUBLE_EQ(seconds(QStringLiteral("XTerm")), 4.0);
}

TEST_F(OnGnome, IdleTimeComesFromMutterAtEachTick)
{
    startShell(QStringLiteral("org.example.Editor.desktop"), QStringLiteral("notes.txt"), 4242);
    setIdleMilliseconds(90'000);
    openBackend();
    ASSERT_TRUE(waitFor([&] { return desktop->read().status == IdleReading::Status::Ok; }));
    EXPECT_GE(desktop->read().nanoseconds, 90'000'000'000u);
    EXPECT_LT(desktop->read().nanoseconds, 95'000'000'000u);

    setIdleMilliseconds(0);
    ASSERT_TRUE(waitFor([&] { return desktop->read().nanoseconds < 1'000'000'000u; }));

    mutter.kill();
    mutter.waitForFinished();
    ASSERT_TRUE(waitFor([&] { return desktop->read().status != IdleReading::Status::Ok; }));
}

TEST_F(OnGnome, TheShellsFirstAnswersAreAwaitedWithoutUnknownTimeOrAComplaint)
{
    startShell(QStringLiteral("org.example.Editor.desktop"), QStringLiteral("notes.txt"), 4242);
    openBackend();
    // Asked at the start, neither the extension nor Mutter has answered yet: the first tick
    // books nothing and finds nothing wrong.
    EXPECT_EQ(front(), std::nullopt);
    EXPECT_EQ(desktop->read().status, IdleReading::Status::Pending);
    testing::internal::CaptureStdout();
    tracker->setIsRunning(true);
    const bool idleAtFirst = isIdle(settings, *idleReader);
    runFor(0.5);

    const bool answered = waitFor([&] { return front() == QStringLiteral("org.example.Editor"); })
        && waitFor([&] { return desktop->read().status == IdleReading::Status::Ok; });
    const bool idleThen = isIdle(settings, *idleReader);
    runFor(2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_TRUE(answered);
    EXPECT_FALSE(idleAtFirst || idleThen);
    EXPECT_EQ(tracker->appForName(QStringLiteral("Unknown")), nullptr);
    EXPECT_DOUBLE_EQ(seconds(QStringLiteral("org.example.Editor")), 2.0);
}

TEST_F(OnGnome, WithoutTheExtensionApplicationsAreUnknownUntilItComesBack)
{
    openBackend();
    QSignalSpy problems(desktop.get(), &DesktopBackend::problem);
    ASSERT_TRUE(waitFor([&] { return problems.count() == 1; }));
    EXPECT_TRUE(problems.at(0).at(0).toString().contains(QStringLiteral("gnome-extensions enable kestrum@kestrum.github.io")));
    EXPECT_EQ(front(), QStringLiteral("Unknown"));
    EXPECT_FALSE(desktop->hasExtension());
    tracker->setIsRunning(true);
    runFor(2);

    startShell(QStringLiteral("org.example.Editor.desktop"), QStringLiteral("notes.txt"), 4242);
    ASSERT_TRUE(waitFor([&] { return front() == QStringLiteral("org.example.Editor"); }));
    runFor(3);

    stopProcess(shell);
    ASSERT_TRUE(waitFor([&] { return front() == QStringLiteral("Unknown"); }));
    runFor(1);
    EXPECT_EQ(problems.count(), 2);
    EXPECT_DOUBLE_EQ(seconds(QStringLiteral("Unknown")), 3.0);
    EXPECT_DOUBLE_EQ(seconds(QStringLiteral("org.example.Editor"), QStringLiteral("notes.txt")), 3.0);
}

TEST_F(OnGnome, KestrumProbePrintsTheGnomeBackend)
{
    startShell(QStringLiteral("org.example.Editor.desktop"), QStringLiteral("notes.txt (edited)"), 4242);
    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), mock.address());
    environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("ubuntu:GNOME"));
    environment.remove(QStringLiteral("DISPLAY"));
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(KESTRUM_PROBE), {QStringLiteral("--count"), QStringLiteral("3")});
    ASSERT_TRUE(probe.waitForFinished(15000));
    ASSERT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    const QList<QByteArray> lines = probe.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3);
    for (const QByteArray &line : lines)
        EXPECT_EQ(QJsonDocument::fromJson(line).object().value(QStringLiteral("backend")).toString(), QStringLiteral("gnome"));
    // The first line may come before the extension answered; the last one has its window.
    const QJsonObject last = QJsonDocument::fromJson(lines.last()).object();
    EXPECT_EQ(last.value(QStringLiteral("front")).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("org.example.Editor"));
    EXPECT_EQ(last.value(QStringLiteral("window")).toObject().value(QStringLiteral("document")).toString(), QStringLiteral("notes.txt"));
}

TEST_F(OnGnome, AnInstalledButDisabledExtensionIsToldApartFromAMissingOne)
{
    // GNOME Shell is there, the extension's object is not.
    QString error;
    ASSERT_TRUE(mock.startMock(shell, kShell, QStringLiteral("/org/gnome/Shell"), QStringLiteral("org.gnome.Shell.Extensions"), &error));
    mock.callService(kShell, QStringLiteral("/org/gnome/Shell"), LogindMock::MockInterface, QStringLiteral("AddMethod"),
                     {QStringLiteral("org.gnome.Shell.Extensions"), QStringLiteral("GetExtensionInfo"), QStringLiteral("s"),
                      QStringLiteral("a{sv}"),
                      QStringLiteral("ret = {'uuid': args[0], 'state': dbus.Double(2.0)} if args[0] == 'kestrum@kestrum.github.io' else {}")});
    openBackend();
    ASSERT_TRUE(waitFor([&] { return desktop->extensionState() == GnomeDesktop::ExtensionState::Disabled; }));
    EXPECT_EQ(front(), QStringLiteral("Unknown"));
    const QString advice = GnomeDesktop::describe(desktop->extensionState());
    EXPECT_TRUE(advice.contains(QStringLiteral("not enabled")) && advice.contains(QStringLiteral("gnome-extensions enable")))
        << advice.toStdString();
}
