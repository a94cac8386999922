// Idle time and the screen saver on a real display: the time since the last input grows while
// nobody touches the keyboard or the pointer, input resets it, and while the screen saver runs
// the tracker books to "Idle".

#include "Waiting.h"
#include "X11DesktopFixture.h"

#include <QThread>

using namespace std::chrono_literals;

namespace {

constexpr quint64 kSecond = 1'000'000'000u;

QString xtermName() { return QStringLiteral("XTerm"); }
QString idleName() { return QStringLiteral("Idle"); }

} // namespace

class X11Idle : public X11DesktopFixture
{
};

TEST_F(X11Idle, IdleTimeGrowsWithoutInputAndAKeyPressResetsIt)
{
    const IdleReading before = desktop->read();
    ASSERT_EQ(before.status, IdleReading::Status::Ok);

    runEventLoopFor(1500ms);
    const IdleReading later = desktop->read();
    ASSERT_EQ(later.status, IdleReading::Status::Ok);
    EXPECT_GE(later.nanoseconds, before.nanoseconds + 1200'000'000u);
    EXPECT_LT(later.nanoseconds, before.nanoseconds + 30 * kSecond);
    EXPECT_GE(idleReader->idleTime(), 1u);

    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("shift")}));
    IdleReading after;
    EXPECT_TRUE(waitUntil(
        [&] {
            after = desktop->read();
            return after.status == IdleReading::Status::Ok && after.nanoseconds < kSecond;
        },
        3s))
        << "idle for " << after.nanoseconds << " ns after a key press";
    EXPECT_EQ(idleReader->idleTime(), 0u);
}

TEST_F(X11Idle, InputMetWhileATitleIsReadEndsTheIdleTime)
{
    runEventLoopFor(1200ms);
    ASSERT_GE(idleReader->idleTime(), 1u);

    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("shift")}));
    QThread::msleep(200); // the server's word of the input waits in the socket, unread
    // Reading a title takes that word in along with the answer: the event loop must still get it.
    EXPECT_EQ(desktop->windowTitle(WindowElement(session->client().root())), std::nullopt);
    EXPECT_TRUE(waitUntil([&] { return desktop->read().nanoseconds < kSecond; }, 3s))
        << "idle for " << desktop->read().nanoseconds << " ns after a key press";
}

TEST_F(X11Idle, ScreenSaverBooksToIdleUntilInputEndsIt)
{
    const Client xterm = startXterm(QStringLiteral("notes.txt"));
    ASSERT_NE(xterm.window, 0u);
    startCounting();
    runFor(2);

    ASSERT_TRUE(runTool(QStringLiteral("xset"), {QStringLiteral("s"), QStringLiteral("activate")}));
    ASSERT_TRUE(waitUntil([&] { return desktop->activeApplication().name == QStringLiteral("ScreenSaverEngine"); }, 5s));
    EXPECT_TRUE(desktop->isScreenSaverActive());
    EXPECT_EQ(desktop->mainWindow(AppElement{xterm.pid}), std::nullopt);
    EXPECT_EQ(tracker->activeStoreApp(), app(idleName()));
    runFor(5);
    EXPECT_DOUBLE_EQ(appTime(idleName()), 5.0);
    EXPECT_DOUBLE_EQ(appTime(xtermName()), 2.0);
    EXPECT_EQ(windowCount(idleName()), 0);

    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("200"), QStringLiteral("150")}));
    ASSERT_TRUE(waitUntil([&] { return desktop->activeApplication().name == xtermName(); }, 5s));
    EXPECT_FALSE(desktop->isScreenSaverActive());
    EXPECT_EQ(desktop->activeApplication().pid, xterm.pid);
    EXPECT_EQ(tracker->activeStoreApp(), app(xtermName()));
    runFor(1);

    EXPECT_EQ(appNames(), QStringList({idleName(), xtermName()}));
    EXPECT_DOUBLE_EQ(appTime(idleName()), 5.0);
    EXPECT_DOUBLE_EQ(appTime(xtermName()), 3.0);
    EXPECT_DOUBLE_EQ(windowTime(xtermName(), QStringLiteral("notes.txt")), 3.0);
}

TEST_F(X11Idle, ScreenSaverRunningWhenTheBackendStartsIsReported)
{
    // No window is active yet: the screen saver alone is in front.
    ASSERT_TRUE(runTool(QStringLiteral("xset"), {QStringLiteral("s"), QStringLiteral("activate")}));
    ASSERT_TRUE(waitUntil([&] { return desktop->isScreenSaverActive(); }, 5s));

    QString error;
    const std::unique_ptr<X11Desktop> started = X11Desktop::open(session->displayName(), &error);
    ASSERT_NE(started, nullptr) << error.toStdString();
    EXPECT_TRUE(started->isScreenSaverActive());
    EXPECT_EQ(started->activeApplication().name, QStringLiteral("ScreenSaverEngine"));
    EXPECT_EQ(started->activeApplication().pid, 0);

    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("300"), QStringLiteral("200")}));
    ASSERT_TRUE(waitUntil([&] { return !started->isScreenSaverActive(); }, 5s));
    EXPECT_EQ(started->activeApplication().name, std::nullopt);
}
