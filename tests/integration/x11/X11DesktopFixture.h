#pragma once

#include "DisplaySession.h"
#include "TestClient.h"

#include "platform/fake/FakeQuestionDialog.h"
#include "platform/fake/ManualClock.h"
#include "platform/x11/X11Desktop.h"
#include "tracking/IdleTime.h"
#include "tracking/MemorySettings.h"
#include "tracking/TimeTracker.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

#include <memory>

// A test on a real X display: a session of its own (Xvfb and openbox), the X11 backend on it,
// and a tracker that books what the backend reports, on a manual clock the test moves. The
// tracker counts from startCounting() on; runFor() is the controller's tick.
//
// Without Xvfb, openbox or the X tools the tests are skipped, except in CI ($CI set), where
// they fail: there they must run.
class X11DesktopFixture : public ::testing::Test
{
protected:
    // A client program on the display and its top-level window.
    struct Client
    {
        QProcess *process = nullptr;
        qint64 pid = 0;
        xcb_window_t window = 0;
    };

    void SetUp() override;
    void TearDown() override;

    // Starts the client, waits until the window manager manages its window (the first new one
    // of that WM_CLASS class) and makes it active. A null window when it cannot (the failure is
    // reported).
    Client startClient(const QString &program, const QStringList &arguments, const QByteArray &className);
    // An xterm titled `title` that runs no shell (a shell could retitle it).
    Client startXterm(const QString &title);
    Client startXlogo();
    // A window of the test process itself, managed and made active. 0 when it cannot.
    xcb_window_t createWindow(const TestClient::NewWindow &description);
    // Asks the window manager to activate the window, as a pager does, and waits until the
    // backend reports it as the active window.
    bool activate(xcb_window_t window);
    // Runs an X tool (xdotool, xprop, xset) on the display; a failure is reported.
    bool runTool(const QString &program, const QStringList &arguments);

    void startCounting() { tracker->setIsRunning(true); }
    // Lets `seconds` pass on the tracker's clock, then ticks with the user present.
    void runFor(double seconds)
    {
        clock.advance(seconds);
        tracker->updateDisplayTime(false);
    }

    // The store as the tracker keeps it: nodes by name, and their seconds (-1 for a missing node).
    TimeStoreApp *app(const QString &name) const { return tracker->appForName(name); }
    TimeStoreWindow *window(const QString &appName, const QString &windowName) const;
    double appTime(const QString &name) const { return secondsOf(app(name)); }
    double windowTime(const QString &appName, const QString &windowName) const { return secondsOf(window(appName, windowName)); }
    qsizetype windowCount(const QString &appName) const { return app(appName) ? app(appName)->windowCount() : -1; }
    QStringList appNames() const;
    static double secondsOf(const TimeStoreNode *node) { return node ? node->activeTime() : -1.0; }

    // Windows of class "KestrumNotebook": the session's desktop entry names them "Test Notebook".
    static QString notebookName() { return QStringLiteral("Test Notebook"); }
    static TestClient::NewWindow notebookWindow(const QString &title);

    std::unique_ptr<DisplaySession> session;
    ManualClock clock;
    MemorySettings settings;
    FakeQuestionDialog questions;
    std::unique_ptr<X11Desktop> desktop;
    std::unique_ptr<IdleTimeReader> idleReader;
    std::unique_ptr<TimeTracker> tracker;
};
