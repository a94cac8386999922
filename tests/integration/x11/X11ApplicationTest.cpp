// The front application on a real display: which application and process the backend names
// for the active window, and where the tracker books the time as the user moves between
// applications and windows, and as windows go away.

#include "Waiting.h"
#include "X11DesktopFixture.h"

#include <unistd.h>

using namespace std::chrono_literals;

namespace {

QString xtermName() { return QStringLiteral("XTerm"); }
QString xlogoName() { return QStringLiteral("XLogo"); }

} // namespace

class X11Applications : public X11DesktopFixture
{
protected:
    // Counts with `first` in front for 2.6 s, `second` for 1.3 s and `first` again for 1 s:
    // each switch comes in the middle of a second, whose part is booked as the switch is.
    void frontInTurn(xcb_window_t first, xcb_window_t second)
    {
        ASSERT_TRUE(activate(first));
        startCounting();
        runFor(2);
        clock.advance(0.6);
        ASSERT_TRUE(activate(second));
        runFor(1);
        clock.advance(0.3);
        ASSERT_TRUE(activate(first));
        runFor(1);
    }
};

TEST_F(X11Applications, SwitchingApplicationsBooksEachItsOwnTime)
{
    const Client xlogo = startXlogo();
    ASSERT_NE(xlogo.window, 0u);
    const Client xterm = startXterm(QStringLiteral("notes.txt (edited)"));
    ASSERT_NE(xterm.window, 0u);

    EXPECT_EQ(desktop->activeApplication().name, xtermName());
    EXPECT_EQ(desktop->activeApplication().pid, xterm.pid);
    startCounting();
    runFor(3);
    clock.advance(1);
    ASSERT_TRUE(activate(xlogo.window));

    // xlogo sets no _NET_WM_PID: its process is found through the server.
    EXPECT_EQ(desktop->activeApplication().name, xlogoName());
    EXPECT_EQ(desktop->activeApplication().pid, xlogo.pid);
    EXPECT_DOUBLE_EQ(appTime(xtermName()), 4.0);
    EXPECT_DOUBLE_EQ(windowTime(xtermName(), QStringLiteral("notes.txt")), 4.0);
    EXPECT_EQ(tracker->activeStoreApp(), app(xlogoName()));

    runFor(2);
    ASSERT_TRUE(activate(xterm.window));
    runFor(1);

    EXPECT_EQ(appNames(), QStringList({xlogoName(), xtermName()}));
    EXPECT_DOUBLE_EQ(appTime(xtermName()), 5.0);
    EXPECT_DOUBLE_EQ(windowTime(xtermName(), QStringLiteral("notes.txt")), 5.0);
    EXPECT_DOUBLE_EQ(appTime(xlogoName()), 2.0);
    EXPECT_DOUBLE_EQ(windowTime(xlogoName(), QStringLiteral("xlogo")), 2.0);
}

TEST_F(X11Applications, TwoProcessesOfOneProgramShareItsNodeAndKeepTheirWindows)
{
    const Client first = startXterm(QStringLiteral("first.txt"));
    ASSERT_NE(first.window, 0u);
    const Client second = startXterm(QStringLiteral("second.txt"));
    ASSERT_NE(second.window, 0u);
    ASSERT_TRUE(activate(first.window));

    startCounting();
    runFor(2);
    clock.advance(1);
    ASSERT_TRUE(activate(second.window));
    EXPECT_EQ(desktop->activeApplication().pid, second.pid);
    runFor(2);

    EXPECT_EQ(appNames(), QStringList({xtermName()}));
    EXPECT_DOUBLE_EQ(appTime(xtermName()), 5.0);
    EXPECT_DOUBLE_EQ(windowTime(xtermName(), QStringLiteral("first.txt")), 3.0);
    EXPECT_DOUBLE_EQ(windowTime(xtermName(), QStringLiteral("second.txt")), 2.0);
}

TEST_F(X11Applications, WindowsOfOneProcessEachGetTheirOwnTime)
{
    const xcb_window_t plan = createWindow(notebookWindow(QStringLiteral("plan.txt")));
    ASSERT_NE(plan, 0u);
    const xcb_window_t budget = createWindow(notebookWindow(QStringLiteral("budget.txt (edited)")));
    ASSERT_NE(budget, 0u);
    ASSERT_TRUE(activate(plan));

    // Moving between windows of one application is no application switch.
    int switches = 0;
    const auto subscription = desktop->subscribeToApplicationSwitches([&switches] { ++switches; });
    EXPECT_EQ(desktop->activeApplication().name, notebookName());
    EXPECT_EQ(desktop->activeApplication().pid, qint64(::getpid()));

    startCounting();
    runFor(2);
    ASSERT_TRUE(activate(budget));
    EXPECT_EQ(tracker->activeStoreWindow(), window(notebookName(), QStringLiteral("budget.txt")));
    runFor(3);
    ASSERT_TRUE(activate(plan));
    EXPECT_EQ(tracker->activeStoreWindow(), window(notebookName(), QStringLiteral("plan.txt")));
    runFor(1);

    EXPECT_EQ(switches, 0);
    EXPECT_EQ(appNames(), QStringList({notebookName()}));
    EXPECT_DOUBLE_EQ(appTime(notebookName()), 6.0);
    EXPECT_EQ(windowCount(notebookName()), 2);
    EXPECT_DOUBLE_EQ(windowTime(notebookName(), QStringLiteral("plan.txt")), 3.0);
    EXPECT_DOUBLE_EQ(windowTime(notebookName(), QStringLiteral("budget.txt")), 3.0);
}

TEST_F(X11Applications, ASwitchBetweenWindowsOfOneProgramBooksThePartSecondToTheWindowLeft)
{
    const xcb_window_t plan = createWindow(notebookWindow(QStringLiteral("plan.txt")));
    ASSERT_NE(plan, 0u);
    const xcb_window_t budget = createWindow(notebookWindow(QStringLiteral("budget.txt")));
    ASSERT_NE(budget, 0u);
    ASSERT_NO_FATAL_FAILURE(frontInTurn(plan, budget));

    EXPECT_NEAR(windowTime(notebookName(), QStringLiteral("plan.txt")), 3.6, 1e-9);
    EXPECT_NEAR(windowTime(notebookName(), QStringLiteral("budget.txt")), 1.3, 1e-9);
    EXPECT_NEAR(appTime(notebookName()), 4.9, 1e-9);
}

TEST_F(X11Applications, WindowsOfTwoApplicationsOfOneProcessStayWithTheirApplication)
{
    // One process may show windows of two applications, each of a class of its own (a browser
    // and its web applications do): the process id does not tell them apart.
    const QString mailName = QStringLiteral("KestrumMail");
    const xcb_window_t plan = createWindow(notebookWindow(QStringLiteral("plan.txt")));
    ASSERT_NE(plan, 0u);
    TestClient::NewWindow inbox = notebookWindow(QStringLiteral("inbox"));
    inbox.instanceName = QByteArrayLiteral("kestrum-mail");
    inbox.className = mailName.toLatin1();
    const xcb_window_t mail = createWindow(inbox);
    ASSERT_NE(mail, 0u);
    EXPECT_EQ(desktop->activeApplication().name, mailName);
    EXPECT_EQ(desktop->activeApplication().pid, qint64(::getpid()));
    ASSERT_NO_FATAL_FAILURE(frontInTurn(plan, mail));

    EXPECT_EQ(appNames(), QStringList({mailName, notebookName()}));
    EXPECT_EQ(windowCount(notebookName()), 1);
    EXPECT_EQ(windowCount(mailName), 1);
    EXPECT_NEAR(windowTime(notebookName(), QStringLiteral("plan.txt")), 3.6, 1e-9);
    EXPECT_NEAR(windowTime(mailName, QStringLiteral("inbox")), 1.3, 1e-9);
}

TEST_F(X11Applications, ClientWithoutProcessIdIsNamedThroughTheServer)
{
    TestClient::NewWindow withoutProcessId = notebookWindow(QStringLiteral("ledger.txt"));
    withoutProcessId.setsProcessId = false;
    const xcb_window_t ledger = createWindow(withoutProcessId);
    ASSERT_NE(ledger, 0u);
    ASSERT_TRUE(session->client().property(ledger, QByteArrayLiteral("_NET_WM_PID")).type.isEmpty());

    EXPECT_EQ(desktop->activeApplication().name, notebookName());
    EXPECT_EQ(desktop->activeApplication().pid, qint64(::getpid()));

    startCounting();
    runFor(2);
    EXPECT_DOUBLE_EQ(appTime(notebookName()), 2.0);
    EXPECT_DOUBLE_EQ(windowTime(notebookName(), QStringLiteral("ledger.txt")), 2.0);
}

TEST_F(X11Applications, ActiveWindowKilledGivesWayToTheNextWindow)
{
    const Client xlogo = startXlogo();
    ASSERT_NE(xlogo.window, 0u);
    const Client xterm = startXterm(QStringLiteral("notes.txt"));
    ASSERT_NE(xterm.window, 0u);
    startCounting();
    runFor(2);
    clock.advance(1);

    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("windowkill"), QString::number(xterm.window)}));
    // The window manager gives the focus back to the window that had it before.
    ASSERT_TRUE(waitUntil([&] { return desktop->activeWindow() == WindowElement(xlogo.window); }, 5s));
    EXPECT_TRUE(waitUntil([&] { return xterm.process->state() == QProcess::NotRunning; }, 5s));

    EXPECT_EQ(desktop->activeApplication().name, xlogoName());
    EXPECT_EQ(desktop->windowTitle(WindowElement(xterm.window)), std::nullopt);
    EXPECT_DOUBLE_EQ(appTime(xtermName()), 3.0);
    const double notesTime = windowTime(xtermName(), QStringLiteral("notes.txt"));
    EXPECT_GE(notesTime, 2.0);
    EXPECT_LE(notesTime, 3.0);

    runFor(3);
    EXPECT_DOUBLE_EQ(appTime(xlogoName()), 3.0);
    EXPECT_DOUBLE_EQ(windowTime(xlogoName(), QStringLiteral("xlogo")), 3.0);
    EXPECT_DOUBLE_EQ(appTime(xtermName()), 3.0);
    EXPECT_DOUBLE_EQ(windowTime(xtermName(), QStringLiteral("notes.txt")), notesTime);
    EXPECT_EQ(windowCount(xtermName()), 1);
}

TEST_F(X11Applications, ClosedWindowOfTheActiveApplicationGivesWayToItsOtherWindow)
{
    const xcb_window_t plan = createWindow(notebookWindow(QStringLiteral("plan.txt")));
    ASSERT_NE(plan, 0u);
    const xcb_window_t draft = createWindow(notebookWindow(QStringLiteral("draft.txt")));
    ASSERT_NE(draft, 0u);
    startCounting();
    runFor(2);

    session->client().destroyWindow(draft);
    ASSERT_TRUE(waitUntil([&] { return desktop->activeWindow() == WindowElement(plan); }, 5s));
    EXPECT_EQ(desktop->windowTitle(WindowElement(draft)), std::nullopt);
    EXPECT_EQ(desktop->activeApplication().name, notebookName());
    runFor(3);

    EXPECT_DOUBLE_EQ(appTime(notebookName()), 5.0);
    EXPECT_DOUBLE_EQ(windowTime(notebookName(), QStringLiteral("draft.txt")), 2.0);
    EXPECT_DOUBLE_EQ(windowTime(notebookName(), QStringLiteral("plan.txt")), 3.0);
}

TEST_F(X11Applications, AWindowSeenBeforeIsTakenAsItNowIs)
{
    // A window that was in front is remembered, and heard from while it is behind.
    const Client xterm = startXterm(QStringLiteral("notes.txt"));
    ASSERT_NE(xterm.window, 0u);
    const xcb_window_t plan = createWindow(notebookWindow(QStringLiteral("plan.txt")));
    ASSERT_NE(plan, 0u);
    ASSERT_TRUE(activate(xterm.window));
    ASSERT_TRUE(activate(plan));
    EXPECT_EQ(desktop->activeApplication().name, notebookName());
    TestClient &client = session->client();
    const auto setClass = [&](xcb_window_t window, const char *instanceAndClass, qsizetype size) {
        client.setProperty(window, QByteArrayLiteral("WM_CLASS"), QByteArrayLiteral("STRING"), QByteArray(instanceAndClass, size));
    };

    // A class said in front counts from the window's next turn in front; a class or a title
    // said behind, once it comes back.
    setClass(plan, "ledger\0Ledger\0", 14);
    ASSERT_TRUE(activate(xterm.window));
    EXPECT_EQ(desktop->windowTitle(WindowElement(plan)), QStringLiteral("plan.txt"));
    setClass(plan, "atlas\0Atlas\0", 12);
    client.setProperty(plan, QByteArrayLiteral("WM_NAME"), QByteArrayLiteral("STRING"), QByteArrayLiteral("budget.txt"));
    ASSERT_TRUE(activate(plan));
    EXPECT_EQ(desktop->activeApplication().name, QStringLiteral("Atlas"));
    EXPECT_EQ(desktop->windowTitle(WindowElement(plan)), QStringLiteral("budget.txt"));

    // A closed window's id may pass to a new window, of another program.
    ASSERT_TRUE(activate(xterm.window));
    client.destroyWindow(plan);
    TestClient::NewWindow successor = notebookWindow(QStringLiteral("chart.svg"));
    successor.instanceName = QByteArrayLiteral("sketch");
    successor.className = QByteArrayLiteral("Sketch");
    successor.id = plan;
    ASSERT_EQ(createWindow(successor), plan);
    EXPECT_EQ(desktop->activeApplication().name, QStringLiteral("Sketch"));
    EXPECT_EQ(desktop->windowTitle(WindowElement(plan)), QStringLiteral("chart.svg"));
}
