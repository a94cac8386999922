// The wlroots backend on headless sway: the front application and title and their changes,
// each application's windows kept apart at every switch, idle time without input and after a
// key, the compositor going away, thousands of windows; and kestrum-probe and kestrum
// themselves there.

#include "Waiting.h"
#include "WaylandDesktopFixture.h"

#include "StoredTimes.h"
#include "history/HistoryDatabase.h"
#include "platform/wlroots/WlrootsDesktop.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

using namespace std::chrono_literals;

class OnSway : public WaylandDesktopFixture
{
protected:
    OnSway() : WaylandDesktopFixture(CompositorSession::Compositor::Sway) {}
};

TEST_F(OnSway, FollowsTheFrontWindowAndItsTitleAndBooksEachWindow)
{
    QProcess *editor = session->openToplevels(QStringLiteral("org.example.Editor"), QStringLiteral("notes.txt"));
    QProcess *browser = session->openToplevels(QStringLiteral("org.example.Browser"), QStringLiteral("News"));
    ASSERT_TRUE(editor && browser);
    // An application id names the application by its desktop entry where one is installed.
    ASSERT_TRUE(session->addDesktopEntry(QStringLiteral("org.example.Browser.desktop"), QStringLiteral("Example Browser")));
    ASSERT_TRUE(chooseBackend());
    ASSERT_NE(dynamic_cast<WlrootsDesktop *>(desktop.get()), nullptr);
    EXPECT_EQ(desktop->backendName(), QStringLiteral("wlroots"));
    // sway focuses the newest window; the protocol names no process.
    EXPECT_EQ(frontName(), QStringLiteral("Example Browser"));
    EXPECT_EQ(desktop->activeApplication().pid, 0);
    EXPECT_EQ(activeTitle(), QStringLiteral("News"));

    startCounting();
    runFor(2);
    ASSERT_TRUE(session->focus(QStringLiteral("org.example.Editor")));
    ASSERT_TRUE(waitUntil([&] { return frontName() == QStringLiteral("org.example.Editor"); }));
    EXPECT_EQ(activeTitle(), QStringLiteral("notes.txt"));
    runFor(3);

    // A rename is booked at once, without a tick, to the window under its new name; control
    // characters in it are cleaned.
    clock.advance(0.5);
    ASSERT_TRUE(session->retitle(editor, 0, QStringLiteral("plan\\e[31m.txt")));
    ASSERT_TRUE(waitUntil([&] { return activeTitle() == QStringLiteral("plan\x1b[31m.txt"); }));
    runFor(1);

    EXPECT_DOUBLE_EQ(appTime(QStringLiteral("Example Browser")), 2.0);
    EXPECT_DOUBLE_EQ(windowTime(QStringLiteral("Example Browser"), QStringLiteral("News")), 2.0);
    EXPECT_DOUBLE_EQ(windowTime(QStringLiteral("org.example.Editor"), QString::fromUtf8("plan\uFFFD[31m.txt")), 4.5);
    EXPECT_DOUBLE_EQ(appTime(QStringLiteral("org.example.Editor")), 4.5);
    // The protocol names no process: each application still holds its own windows alone.
    EXPECT_EQ(windowNames(QStringLiteral("Example Browser")), QStringList{QStringLiteral("News")});
    EXPECT_EQ(windowNames(QStringLiteral("org.example.Editor")), QStringList{QString::fromUtf8("plan\uFFFD[31m.txt")});
}

TEST_F(OnSway, ApplicationsSwitchedToAndFroKeepTheirOwnWindows)
{
    ASSERT_NE(session->openToplevels(QStringLiteral("org.example.Editor"), QStringLiteral("notes.txt")), nullptr);
    ASSERT_NE(session->openToplevels(QStringLiteral("org.example.Browser"), QStringLiteral("News")), nullptr);
    ASSERT_TRUE(chooseBackend());
    startCounting();
    // Each switch comes in the middle of a second, whose part is booked as the switch is.
    for (const char *appId : {"org.example.Editor", "org.example.Browser", "org.example.Editor"}) {
        runFor(1);
        clock.advance(0.5);
        ASSERT_TRUE(session->focus(QString::fromLatin1(appId)));
        ASSERT_TRUE(waitUntil([&] { return frontName() == QString::fromLatin1(appId); }));
    }
    runFor(1);

    EXPECT_EQ(windowNames(QStringLiteral("org.example.Editor")), QStringList{QStringLiteral("notes.txt")});
    EXPECT_EQ(bookedWindowNames(QStringLiteral("org.example.Editor")), QStringList{QStringLiteral("notes.txt")});
    EXPECT_EQ(windowNames(QStringLiteral("org.example.Browser")), QStringList{QStringLiteral("News")});
    EXPECT_EQ(bookedWindowNames(QStringLiteral("org.example.Browser")), QStringList{QStringLiteral("News")});
    EXPECT_DOUBLE_EQ(windowTime(QStringLiteral("org.example.Browser"), QStringLiteral("News")), 3.0);
    EXPECT_DOUBLE_EQ(windowTime(QStringLiteral("org.example.Editor"), QStringLiteral("notes.txt")), 2.5);
}

TEST_F(OnSway, TwoApplicationsOfOneClientKeepTheirOwnWindows)
{
    ASSERT_TRUE(chooseBackend());
    twoApplicationsOfOneClientKeepTheirOwnWindows();
}

TEST_F(OnSway, IdleTimeGrowsWithoutInputAndAKeyResetsIt)
{
    ASSERT_NE(session->openToplevels(QStringLiteral("org.example.Editor"), QStringLiteral("notes.txt")), nullptr);
    ASSERT_TRUE(chooseBackend());
    // sway 1.7 offers only KDE's idle protocol; newer ones ext-idle-notify.
    EXPECT_FALSE(static_cast<ToplevelDesktop &>(*desktop).idleProtocol().isEmpty());

    // The compositor announces idle after the timeout; from then on the reading counts on.
    ASSERT_TRUE(waitUntil([&] { return desktop->read().nanoseconds > 0; }, 10s));
    const IdleReading first = desktop->read();
    ASSERT_EQ(first.status, IdleReading::Status::Ok);
    EXPECT_GE(first.nanoseconds, quint64(WaylandIdle::kTimeout.count()) * 1'000'000u);
    runEventLoopFor(1200ms);
    EXPECT_GE(desktop->read().nanoseconds, first.nanoseconds + 1'000'000'000u);

    ASSERT_TRUE(session->typeKey());
    ASSERT_TRUE(waitUntil([&] { return desktop->read().nanoseconds == 0; }, 5s));
}

TEST_F(OnSway, AShownWindowHoldingAnIdleInhibitorKeepsTheIdleTimeAtZero)
{
    QProcess *player = session->openToplevels(QStringLiteral("org.example.Player"), QStringLiteral("film.mkv"));
    ASSERT_NE(player, nullptr);
    ASSERT_TRUE(session->inhibitIdle(player, 0, true));
    ASSERT_TRUE(chooseBackend());
    // Longer than the timeout the idle notification is armed with: without the inhibitor the
    // seat would have been announced idle by now.
    runEventLoopFor(WaylandIdle::kTimeout + 2s);
    EXPECT_EQ(desktop->read().nanoseconds, 0u);

    ASSERT_TRUE(session->inhibitIdle(player, 0, false));
    ASSERT_TRUE(waitUntil([&] { return desktop->read().nanoseconds > 0; }, 10s));
}

TEST_F(OnSway, TheCompositorGoingAwayIsReportedOnceAndCountingGoesOn)
{
    ASSERT_NE(session->openToplevels(QStringLiteral("org.example.Editor"), QStringLiteral("notes.txt")), nullptr);
    ASSERT_TRUE(chooseBackend());
    int losses = 0;
    QObject::connect(desktop.get(), &DesktopBackend::connectionLost, [&losses] { ++losses; });
    startCounting();
    runFor(2);

    session->killCompositor();
    ASSERT_TRUE(waitUntil([&] { return losses > 0; }, 5s));
    runEventLoopFor(300ms);
    EXPECT_EQ(losses, 1);
    EXPECT_FALSE(desktop->isConnected());
    EXPECT_EQ(desktop->read().status, IdleReading::Status::ServiceUnreachable);
    EXPECT_EQ(activeTitle(), std::nullopt);
    runFor(3);
    EXPECT_DOUBLE_EQ(appTime(QStringLiteral("org.example.Editor")), 5.0);
    EXPECT_DOUBLE_EQ(windowTime(QStringLiteral("org.example.Editor"), QStringLiteral("notes.txt")), 2.0);
}

TEST_F(OnSway, AThousandWindowsAreFollowed)
{
    // sway itself takes seconds for more, and tens of seconds on a loaded machine.
    QProcess *many = session->openToplevels(QStringLiteral("org.example.Many"), QStringLiteral("Document"), 1000);
    ASSERT_NE(many, nullptr);
    ASSERT_TRUE(chooseBackend());
    const auto &toplevels = static_cast<ToplevelDesktop &>(*desktop);
    EXPECT_EQ(toplevels.toplevelCount(), 1000);
    EXPECT_EQ(frontName(), QStringLiteral("org.example.Many"));
    EXPECT_EQ(activeTitle(), QStringLiteral("Document 999"));
    session->close(many);
    ASSERT_TRUE(waitUntil([&] { return toplevels.toplevelCount() == 0; }, 10s));
    EXPECT_TRUE(desktop->isConnected());
}

// The programs themselves, on the same desktop.
TEST_F(OnSway, KestrumProbePrintsTheWlrootsBackendAndTheFrontWindow)
{
    ASSERT_NE(session->openToplevels(QStringLiteral("org.example.Editor"), QStringLiteral("notes.txt (edited)")), nullptr);
    QProcess *probe = session->startProgram(QStringLiteral(KESTRUM_PROBE), {QStringLiteral("--count"), QStringLiteral("2")});
    ASSERT_NE(probe, nullptr);
    ASSERT_TRUE(probe->waitForFinished(15000));
    ASSERT_EQ(probe->exitCode(), 0) << session->logOf(probe).toStdString();
    const QList<QByteArray> lines = QByteArray(session->logOf(probe).toUtf8()).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2) << session->logOf(probe).toStdString();
    for (const QByteArray &line : lines) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        EXPECT_EQ(object.value(QStringLiteral("backend")).toString(), QStringLiteral("wlroots")) << line.toStdString();
        EXPECT_EQ(object.value(QStringLiteral("front")).toObject().value(QStringLiteral("name")).toString(),
                  QStringLiteral("org.example.Editor"));
        EXPECT_EQ(object.value(QStringLiteral("window")).toObject().value(QStringLiteral("document")).toString(),
                  QStringLiteral("notes.txt"));
        // sway keeps the idle time at zero itself while an inhibitor is held.
        const QJsonObject sources = object.value(QStringLiteral("idleInhibition")).toObject().value(QStringLiteral("sources")).toObject();
        EXPECT_TRUE(sources.value(QStringLiteral("compositor")).toString().startsWith(QStringLiteral("honoured by "))) << line.toStdString();
    }
}

TEST_F(OnSway, KestrumCountsTwoWindowsAndStoresThemWhenTerminated)
{
    ASSERT_NE(session->openToplevels(QStringLiteral("org.example.Editor"), QStringLiteral("notes.txt")), nullptr);
    ASSERT_NE(session->openToplevels(QStringLiteral("org.example.Browser"), QStringLiteral("News")), nullptr);
    // Kestrum's own window is a Wayland client here, and comes to the front when it opens.
    QProcess *kestrum = session->startProgram(QStringLiteral(KESTRUM_PROGRAM), {QStringLiteral("--start")});
    ASSERT_NE(kestrum, nullptr);
    runEventLoopFor(1500ms);
    ASSERT_TRUE(session->focus(QStringLiteral("org.example.Browser")));
    runEventLoopFor(2500ms);
    ASSERT_TRUE(session->focus(QStringLiteral("org.example.Editor")));
    runEventLoopFor(2500ms);
    kestrum->terminate();
    ASSERT_TRUE(kestrum->waitForFinished(10000));
    ASSERT_EQ(kestrum->exitCode(), 0) << session->logOf(kestrum).toStdString();

    const StoredTimes stored = readStoredTimes(session->home() + QStringLiteral("/.config/Kestrum/Kestrum.plist"));
    ASSERT_TRUE(stored.error.isEmpty()) << stored.error.toStdString();
    SCOPED_TRACE("stored: " + describe(stored).toStdString() + "; " + session->logOf(kestrum).toStdString());
    EXPECT_NEAR(stored.applications.value(QStringLiteral("org.example.Browser")), 2.5, 1.0);
    EXPECT_NEAR(stored.applications.value(QStringLiteral("org.example.Editor")), 2.5, 1.0);
    // Its own window was in front first: the desktop entry's name is "kestrum" (none installed).
    EXPECT_GT(stored.applications.value(QStringLiteral("kestrum")), 0.5);

    // Each application holds its own windows alone, in the timings and in the history; Kestrum's
    // own are whatever its window is titled.
    const auto expectApart = [](const QMap<QString, QStringList> &windows, const char *where) {
        SCOPED_TRACE(where);
        EXPECT_EQ(windows.value(QStringLiteral("org.example.Browser")), QStringList{QStringLiteral("News")});
        EXPECT_EQ(windows.value(QStringLiteral("org.example.Editor")), QStringList{QStringLiteral("notes.txt")});
        const QStringList own = windows.value(QStringLiteral("kestrum"));
        EXPECT_FALSE(own.contains(QStringLiteral("News")) || own.contains(QStringLiteral("notes.txt"))) << own.join(u',').toStdString();
    };
    QMap<QString, QStringList> storedWindows;
    for (auto it = stored.windows.cbegin(); it != stored.windows.cend(); ++it)
        storedWindows.insert(it.key(), it->keys());
    expectApart(storedWindows, "the timings");

    QString error;
    const auto history = HistoryDatabase::openToRead(session->home() + QStringLiteral("/.local/share/Kestrum/history.sqlite3"), &error);
    ASSERT_NE(history, nullptr) << error.toStdString();
    const QDateTime today = QDate::currentDate().startOfDay();
    QMap<QString, QStringList> booked;
    const std::optional<QList<Stretch>> stretches = history->stretches(today.addDays(-1), today.addDays(2), &error);
    ASSERT_TRUE(stretches) << error.toStdString();
    for (const Stretch &stretch : *stretches) {
        if (stretch.window && !booked[stretch.application].contains(*stretch.window))
            booked[stretch.application].append(*stretch.window);
    }
    for (QStringList &names : booked)
        names.sort();
    expectApart(booked, "the history");
}
