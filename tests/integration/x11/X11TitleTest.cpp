// Window titles on a real display: renames of the active window reach the tracker at once, a
// closed window has none, and titles are read in the encoding their property says (UTF-8,
// Latin-1 or COMPOUND_TEXT).

#include "Waiting.h"
#include "X11DesktopFixture.h"

using namespace std::chrono_literals;

namespace {

constexpr double kTolerance = 1e-9;

QString xtermName() { return QStringLiteral("XTerm"); }

} // namespace

class X11Titles : public X11DesktopFixture
{
protected:
    // Writes a text property as xprop does: format "8s" is a Latin-1 STRING, "8u" UTF8_STRING.
    bool setTextProperty(xcb_window_t window, const QString &property, const QString &format, const QString &text)
    {
        return runTool(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), QStringLiteral("-f"), property,
                                                 format, QStringLiteral("-set"), property, text});
    }
};

TEST_F(X11Titles, RenameOfTheActiveWindowIsBookedAtOnce)
{
    const Client xterm = startXterm(QStringLiteral("notes.txt (edited)"));
    ASSERT_NE(xterm.window, 0u);
    startCounting();
    runFor(2);
    TimeStoreWindow *node = window(xtermName(), QStringLiteral("notes.txt"));
    ASSERT_NE(node, nullptr);
    ASSERT_DOUBLE_EQ(node->activeTime(), 2.0);

    // No tick follows the renames: the window's time up to each one is booked when it happens.
    clock.advance(0.5);
    ASSERT_TRUE(setTextProperty(xterm.window, QStringLiteral("WM_NAME"), QStringLiteral("8s"), QStringLiteral("report.txt (saved)")));
    ASSERT_TRUE(waitUntil([&] { return node->name() == QStringLiteral("report.txt"); }, 5s));
    EXPECT_NEAR(node->activeTime(), 2.5, kTolerance);

    clock.advance(0.25);
    ASSERT_TRUE(
        setTextProperty(xterm.window, QStringLiteral("_NET_WM_NAME"), QStringLiteral("8u"), QStringLiteral("summary.txt (draft)")));
    ASSERT_TRUE(waitUntil([&] { return node->name() == QStringLiteral("summary.txt"); }, 5s));
    EXPECT_NEAR(node->activeTime(), 2.75, kTolerance);
    // The application's time goes with its window's, so the two never disagree at a rename.
    EXPECT_NEAR(appTime(xtermName()), 2.75, kTolerance);

    runFor(1);
    EXPECT_NEAR(node->activeTime(), 3.75, kTolerance);
    EXPECT_NEAR(appTime(xtermName()), 3.75, kTolerance);
    EXPECT_EQ(windowCount(xtermName()), 1);
    EXPECT_EQ(tracker->activeStoreWindow(), node);
}

TEST_F(X11Titles, Utf8TitleIsReadAsWritten)
{
    const xcb_window_t overview = createWindow(notebookWindow(QStringLiteral("untitled")));
    ASSERT_NE(overview, 0u);
    const QString title = QStringLiteral("Überblick — Straße.txt (edited)");
    ASSERT_TRUE(setTextProperty(overview, QStringLiteral("_NET_WM_NAME"), QStringLiteral("8u"), title));
    const TestClient::Property written = session->client().property(overview, QByteArrayLiteral("_NET_WM_NAME"));
    ASSERT_EQ(written.type, QByteArrayLiteral("UTF8_STRING"));
    ASSERT_EQ(written.value, title.toUtf8());

    // The active window's title is kept until the window says it changed.
    EXPECT_TRUE(waitUntil([&] { return desktop->windowTitle(WindowElement(overview)) == title; }, 2s));
    startCounting();
    runFor(2);
    EXPECT_DOUBLE_EQ(windowTime(notebookName(), QStringLiteral("Überblick — Straße.txt")), 2.0);
    EXPECT_EQ(windowCount(notebookName()), 1);
}

TEST_F(X11Titles, Latin1StringTitleIsReadAsLatin1)
{
    const xcb_window_t daily = createWindow(notebookWindow(QStringLiteral("untitled")));
    ASSERT_NE(daily, 0u);
    // The shell's printf writes the bytes themselves: "día.txt" in Latin-1, as xdotool stores it.
    ASSERT_TRUE(runTool(QStringLiteral("sh"), {QStringLiteral("-c"),
                                               QStringLiteral("xdotool set_window --name \"$(printf 'd\\355a.txt (1)')\" %1").arg(daily)}));
    const TestClient::Property written = session->client().property(daily, QByteArrayLiteral("WM_NAME"));
    ASSERT_EQ(written.type, QByteArrayLiteral("STRING"));
    ASSERT_EQ(written.value, QByteArrayLiteral("d\xed" "a.txt (1)"));

    EXPECT_TRUE(waitUntil([&] { return desktop->windowTitle(WindowElement(daily)) == QStringLiteral("día.txt (1)"); }, 2s));
    startCounting();
    runFor(2);
    EXPECT_DOUBLE_EQ(windowTime(notebookName(), QStringLiteral("día.txt")), 2.0);
    EXPECT_EQ(windowCount(notebookName()), 1);
}

TEST_F(X11Titles, CompoundTextTitleOfAnXtClientIsDecoded)
{
    // Xt clients write a title that Latin-1 cannot hold as COMPOUND_TEXT and set no _NET_WM_NAME.
    const QString title = QStringLiteral("Привет.txt (1)");
    const Client xterm = startXterm(title);
    ASSERT_NE(xterm.window, 0u);
    const TestClient::Property written = session->client().property(xterm.window, QByteArrayLiteral("WM_NAME"));
    ASSERT_EQ(written.type, QByteArrayLiteral("COMPOUND_TEXT"));
    ASSERT_TRUE(session->client().property(xterm.window, QByteArrayLiteral("_NET_WM_NAME")).type.isEmpty());

    EXPECT_EQ(desktop->windowTitle(WindowElement(xterm.window)), title);
    startCounting();
    runFor(2);
    EXPECT_DOUBLE_EQ(windowTime(xtermName(), QStringLiteral("Привет.txt")), 2.0);
}

TEST_F(X11Titles, CompoundTextTitleIsDecodedSegmentBySegment)
{
    const xcb_window_t journal = createWindow(notebookWindow(QStringLiteral("untitled")));
    ASSERT_NE(journal, 0u);
    // Latin-1 in the right half by default, then Cyrillic (ISO 8859-5), Japanese (JIS X 0208)
    // and a UTF-8 segment, as Xlib writes them.
    const QByteArray compoundText = QByteArrayLiteral("caf\xe9 "
                                                      "\x1b-L\xbf\xe0\xd8\xd2\xd5\xe2 "
                                                      "\x1b$)B\xc6\xfc\xcb\xdc "
                                                      "\x1b%G\xe2\x9c\x93\x1b%@"
                                                      "\x1b-A\xe9.txt (2)");
    session->client().setProperty(journal, QByteArrayLiteral("WM_NAME"), QByteArrayLiteral("COMPOUND_TEXT"), compoundText);

    const QString title = QStringLiteral("café Привет 日本 ✓é.txt (2)");
    ASSERT_TRUE(waitUntil([&] { return desktop->windowTitle(WindowElement(journal)) == title; }, 2s))
        << desktop->windowTitle(WindowElement(journal)).value_or(QStringLiteral("<none>")).toStdString();
    startCounting();
    runFor(2);
    EXPECT_DOUBLE_EQ(windowTime(notebookName(), QStringLiteral("café Привет 日本 ✓é.txt")), 2.0);
}

TEST_F(X11Titles, TheLastWindowClosedHasNoTitle)
{
    // Nothing comes to the front after it: the closed window stays the last active one.
    const Client xterm = startXterm(QStringLiteral("notes.txt"));
    ASSERT_NE(xterm.window, 0u);
    ASSERT_EQ(desktop->windowTitle(WindowElement(xterm.window)), QStringLiteral("notes.txt"));

    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("windowkill"), QString::number(xterm.window)}));
    EXPECT_TRUE(waitUntil([&] { return !desktop->windowTitle(WindowElement(xterm.window)); }, 5s));
    EXPECT_EQ(desktop->activeWindow(), WindowElement(xterm.window));
}
