// Window time: which window node receives the time of the front application's main window,
// how nodes are named after window titles, and titles no program should ever send.

#include "TimeTrackerFixture.h"

#include "platform/fake/BookedWindows.h"

namespace {

constexpr double kTolerance = 1e-9;

QString notes() { return QStringLiteral("notes.txt"); }

qsizetype codePoints(const QString &text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

} // namespace

class TimeTrackerWindows : public TimeTrackerReadyFixture
{
};

TEST_F(TimeTrackerWindows, TitleIsReducedToTheDocumentName)
{
    startCountingInEditor();
    runFor(2);

    EXPECT_EQ(windowCount(editorName()), 1);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), notes()), 2.0);
    EXPECT_EQ(tracker->activeStoreWindow(), window(editorName(), notes()));
}

TEST_F(TimeTrackerWindows, TwoWindowsFocusedInTurnEachKeepTheTimeSpentInThem)
{
    startCountingInEditor();
    runFor(1);
    clock.advance(0.4);
    desktop.setMainWindow(EditorPid, WindowElement(2), QStringLiteral("todo.txt"));
    EXPECT_NEAR(windowTime(editorName(), notes()), 1.4, kTolerance);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("todo.txt")), 0.0);

    clock.advance(0.3);
    desktop.setMainWindow(EditorPid, WindowElement(1), QStringLiteral("notes.txt (edited)"));
    EXPECT_NEAR(windowTime(editorName(), QStringLiteral("todo.txt")), 0.3, kTolerance);
    EXPECT_NEAR(windowTime(editorName(), notes()), 1.4, kTolerance);

    clock.advance(0.3);
    tick();
    EXPECT_NEAR(windowTime(editorName(), notes()), 1.7, kTolerance);
    EXPECT_NEAR(windowTime(editorName(), QStringLiteral("todo.txt")), 0.3, kTolerance);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 2.0);
    EXPECT_EQ(windowCount(editorName()), 2);
}

TEST_F(TimeTrackerWindows, FocusedWindowNotificationBooksToTheMainWindow)
{
    startCountingInEditor();
    runFor(1);
    clock.advance(0.5);
    desktop.setMainWindow(EditorPid, WindowElement(1), QStringLiteral("notes.txt"));
    clock.advance(0.25);
    desktop.notifyFocusedWindowChanged(EditorPid);
    EXPECT_NEAR(windowTime(editorName(), notes()), 1.75, kTolerance);

    // A focus change alone reaches the tracker too: the window that is main now is read.
    desktop.setWindowTitle(WindowElement(1), QStringLiteral("todo.txt"));
    clock.advance(0.25);
    desktop.notifyFocusedWindowChanged(EditorPid);
    EXPECT_EQ(windowCount(editorName()), 1);
    EXPECT_NEAR(windowTime(editorName(), QStringLiteral("todo.txt")), 2.0, kTolerance);
}

TEST_F(TimeTrackerWindows, WindowRenamedInPlaceKeepsItsNodeUnderTheFirstName)
{
    startCountingInEditor();
    runFor(2);
    TimeStoreWindow *node = window(editorName(), notes());
    ASSERT_NE(node, nullptr);

    desktop.setWindowTitle(WindowElement(1), QStringLiteral("report.txt (saved)"));
    runFor(1);
    EXPECT_EQ(node->name(), QStringLiteral("report.txt"));
    EXPECT_DOUBLE_EQ(node->activeTime(), 3.0);
    EXPECT_EQ(windowCount(editorName()), 1);
    EXPECT_EQ(window(editorName(), notes()), nullptr);

    clock.advance(0.5);
    desktop.setMainWindow(EditorPid, WindowElement(1), QStringLiteral("summary.txt"));
    EXPECT_EQ(node->name(), QStringLiteral("summary.txt"));
    EXPECT_NEAR(node->activeTime(), 3.5, kTolerance);
    EXPECT_EQ(windowCount(editorName()), 1);

    // The application still files the node under the name it first had.
    EXPECT_EQ(app(editorName())->windowStoreForName(notes(), WindowElement()), node);
    EXPECT_EQ(windowCount(editorName()), 1);
}

TEST_F(TimeTrackerWindows, TitleWithoutDocumentNameKeepsTheNodeNameAndItsTime)
{
    startCountingInEditor();
    runFor(2);
    desktop.setWindowTitle(WindowElement(1), QStringLiteral("(untitled)"));
    runFor(2);
    desktop.setWindowTitle(WindowElement(1), QStringLiteral("   "));
    runFor(1);

    EXPECT_EQ(windowCount(editorName()), 1);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), notes()), 5.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 5.0);
    EXPECT_EQ(tracker->activeStoreWindow(), window(editorName(), notes()));
}

TEST_F(TimeTrackerWindows, UntitledOtherWindowGetsNoNodeWhileTheAppStillGetsTime)
{
    startCountingInEditor();
    runFor(2);
    clock.advance(0.5);
    desktop.setMainWindow(EditorPid, WindowElement(2), QStringLiteral("(untitled)"));
    EXPECT_EQ(tracker->activeStoreWindow(), nullptr);
    runFor(3);
    desktop.setMainWindow(EditorPid, WindowElement(3), QStringLiteral("@home"));
    runFor(2);

    EXPECT_EQ(windowCount(editorName()), 1);
    EXPECT_NEAR(windowTime(editorName(), notes()), 2.5, kTolerance);
    EXPECT_NEAR(appTime(editorName()), 7.5, kTolerance);

    clock.advance(0.5);
    desktop.setMainWindow(EditorPid, WindowElement(1), QStringLiteral("notes.txt"));
    runFor(1);
    EXPECT_NEAR(windowTime(editorName(), notes()), 3.5, kTolerance);
    EXPECT_EQ(windowCount(editorName()), 1);
}

TEST_F(TimeTrackerWindows, UntitledWindowCollectsOnceItShowsADocument)
{
    startCountingInEditor();
    runFor(2);
    desktop.setMainWindow(EditorPid, WindowElement(2), QStringLiteral("(untitled)"));
    runFor(2);
    desktop.setWindowTitle(WindowElement(2), QStringLiteral("essay.txt"));
    runFor(3);

    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("essay.txt")), 3.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), notes()), 2.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 7.0);
}

TEST_F(TimeTrackerWindows, AnotherWindowWithAnExistingDocumentNameReusesThatNode)
{
    startCountingInEditor();
    runFor(2);
    clock.advance(0.5);
    desktop.setMainWindow(EditorPid, WindowElement(2), QStringLiteral("notes.txt (read only)"));
    runFor(1);

    EXPECT_EQ(windowCount(editorName()), 1);
    TimeStoreWindow *node = window(editorName(), notes());
    ASSERT_NE(node, nullptr);
    EXPECT_NEAR(node->activeTime(), 3.5, kTolerance);
    EXPECT_EQ(node->windowElement(), WindowElement(2));

    clock.advance(0.5);
    desktop.setMainWindow(EditorPid, WindowElement(1), QStringLiteral("notes.txt"));
    EXPECT_EQ(windowCount(editorName()), 1);
    EXPECT_NEAR(node->activeTime(), 4.0, kTolerance);
}

TEST_F(TimeTrackerWindows, MainWindowWithoutTitleCollectsNothingUntilItHasOne)
{
    startCountingInEditor();
    runFor(2);
    desktop.setMainWindow(EditorPid, WindowElement(2), std::nullopt);
    runFor(3);
    EXPECT_EQ(windowCount(editorName()), 1);
    EXPECT_DOUBLE_EQ(allWindowTime(), 2.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 5.0);

    desktop.setWindowTitle(WindowElement(2), QStringLiteral("late.txt"));
    runFor(1);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("late.txt")), 1.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), notes()), 2.0);
}

TEST_F(TimeTrackerWindows, NoMainWindowBooksApplicationTimeOnly)
{
    desktop.bringToFront(TerminalPid);
    desktop.input();
    tracker->setIsRunning(true);
    runFor(4);

    EXPECT_DOUBLE_EQ(appTime(terminalName()), 4.0);
    EXPECT_EQ(windowCount(terminalName()), 0);
}

TEST_F(TimeTrackerWindows, WindowsStayWithTheirApplications)
{
    startCountingInEditor();
    desktop.setMainWindow(BrowserPid, WindowElement(20), QStringLiteral("Inbox @ Home"));
    runFor(2);
    desktop.bringToFront(BrowserPid);
    runFor(3);
    desktop.bringToFront(EditorPid);
    runFor(1);

    EXPECT_EQ(windowCount(editorName()), 1);
    EXPECT_EQ(windowCount(browserName()), 1);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), notes()), 3.0);
    EXPECT_DOUBLE_EQ(windowTime(browserName(), QStringLiteral("Inbox")), 3.0);
}

TEST_F(TimeTrackerWindows, WindowsOfTwoApplicationsOfOneProcessStayWithTheirApplications)
{
    // By the time a switch is told, the desktop names the next application's window for the
    // process: the part second before the switch is booked to the window seen until then.
    BookedWindows booked;
    tracker->setBookingListener(&booked);
    startCountingInEditor();
    runFor(2);
    clock.advance(0.5);
    desktop.showApplication(EditorPid, browserName(), WindowElement(20), QStringLiteral("Inbox"));
    runFor(1);
    clock.advance(0.25);
    desktop.showApplication(EditorPid, editorName(), WindowElement(1), notes());
    runFor(1);

    EXPECT_EQ(windowCount(editorName()), 1);
    EXPECT_EQ(windowCount(browserName()), 1);
    EXPECT_NEAR(windowTime(editorName(), notes()), 3.5, kTolerance);
    EXPECT_NEAR(windowTime(browserName(), QStringLiteral("Inbox")), 1.25, kTolerance);
    EXPECT_EQ(booked.windowsOf(editorName()), QStringList{notes()});
    EXPECT_EQ(booked.windowsOf(browserName()), QStringList{QStringLiteral("Inbox")});
}

// --- titles no program should send -----------------------------------------------------------------

class TimeTrackerHostileTitles : public TimeTrackerReadyFixture
{
protected:
    // Shows the title in a new main window of the editor and lets a second pass.
    void showTitle(const QString &title)
    {
        desktop.setMainWindow(EditorPid, WindowElement(++m_nextWindow), title);
        runFor(1);
    }

    quint64 m_nextWindow = 100;
};

TEST_F(TimeTrackerHostileTitles, AnyTitleIsHandledAndNamesStayBounded)
{
    const QChar nul(0);
    const QChar esc(0x1b);
    const QList<QString> titles = {
        QString(200000, u'x'),
        QString(5000, u' '),
        QString(5000, u'('),
        QString(nul) + QStringLiteral("abc") + nul + QStringLiteral("def"),
        QString(esc) + QStringLiteral("[31mred") + esc + QStringLiteral("[0m") + QChar(0x7f) + QChar(0x07),
        QStringLiteral("\n\r\n\tline\nbreak\r\n\t"),
        QString(QChar(0xD800)) + QStringLiteral("lone high"),
        QStringLiteral("lone high at the end") + QChar(0xDBFF),
        QString(QChar(0xDC00)) + QStringLiteral("lone low"),
        QString(QChar(0xDC00)) + QChar(0xD800),
        QString(QChar(0x202E)) + QStringLiteral("txt.exe") + QChar(0xFEFF) + QChar(0xFFFF) + QChar(0x200D),
        QString(3000, QChar(0xD83D)),
        QString(3000, QChar(0xDE00)),
        QStringLiteral("@@@@"),
        QString(),
    };
    startCountingInEditor();
    runFor(1);
    for (const QString &title : titles)
        showTitle(title);

    EXPECT_DOUBLE_EQ(appTime(editorName()), 1.0 + double(titles.size()));
    for (const auto &node : app(editorName())->windows()) {
        ASSERT_TRUE(node->name().has_value());
        EXPECT_FALSE(node->name()->isEmpty());
        EXPECT_LE(codePoints(*node->name()), 1024);
        EXPECT_GE(node->activeTime(), 0.0);
    }
    EXPECT_NE(window(editorName(), QString(1024, u'x')), nullptr);
}

TEST_F(TimeTrackerHostileTitles, LongTitleGivesANameOf1024CodePoints)
{
    startCountingInEditor();
    showTitle(QString(5000, u'a'));

    const TimeStoreWindow *node = tracker->activeStoreWindow();
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->name(), QString(1024, u'a'));
    EXPECT_DOUBLE_EQ(node->activeTime(), 1.0);
}

TEST_F(TimeTrackerHostileTitles, NameIsCutAfterTheTitleIsReduced)
{
    startCountingInEditor();
    showTitle(QStringLiteral(" \t ") + QString(3000, u'b') + QStringLiteral(" (modified)"));

    ASSERT_NE(tracker->activeStoreWindow(), nullptr);
    EXPECT_EQ(tracker->activeStoreWindow()->name(), QString(1024, u'b'));
}

TEST_F(TimeTrackerHostileTitles, CutNeverSplitsACharacterOutsideTheBasicPlane)
{
    const QString face = QString::fromUcs4(U"\U0001F600", 1);
    QString manyFaces;
    for (int i = 0; i < 5000; ++i)
        manyFaces += face;
    startCountingInEditor();
    showTitle(manyFaces);

    ASSERT_NE(tracker->activeStoreWindow(), nullptr);
    const QString name = *tracker->activeStoreWindow()->name();
    EXPECT_EQ(name.size(), 2048);
    EXPECT_EQ(codePoints(name), 1024);
    EXPECT_TRUE(name.back().isLowSurrogate());

    showTitle(QString(1023, u'c') + face + QStringLiteral("tail"));
    ASSERT_NE(tracker->activeStoreWindow(), nullptr);
    EXPECT_EQ(tracker->activeStoreWindow()->name(), QString(1023, u'c') + face);
}

TEST_F(TimeTrackerHostileTitles, RenamingToAHostileTitleKeepsTheNodeBounded)
{
    startCountingInEditor();
    runFor(1);
    desktop.setWindowTitle(WindowElement(1), QString(100000, u'z') + QChar(0xD800));
    runFor(1);

    EXPECT_EQ(windowCount(editorName()), 1);
    EXPECT_EQ(window(editorName(), QString(1024, u'z')), app(editorName())->windows().front().get());
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QString(1024, u'z')), 2.0);
}
