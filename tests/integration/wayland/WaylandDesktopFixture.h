#pragma once

#include "CompositorSession.h"

#include "platform/DesktopChoice.h"
#include "platform/fake/BookedWindows.h"
#include "platform/fake/FakeQuestionDialog.h"
#include "platform/fake/ManualClock.h"
#include "tracking/IdleTime.h"
#include "tracking/MemorySettings.h"
#include "tracking/TimeTracker.h"

#include <gtest/gtest.h>

#include <QDBusConnection>

#include <memory>
#include <ostream>

// Names in failure messages as text.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// A test on a real Wayland compositor of its own: the backend that Kestrum's start-up chooses
// there, and a tracker booking what it reports on a manual clock the test moves, with the
// windows of each of its bookings kept as the history hears of them.
//
// Without the compositor's programs the tests are skipped, except in CI ($CI set), where they
// fail: there they must run.
class WaylandDesktopFixture : public ::testing::Test
{
protected:
    explicit WaylandDesktopFixture(CompositorSession::Compositor compositor) : m_compositor(compositor) {}

    void SetUp() override;
    void TearDown() override;

    // Chooses the backend as Kestrum's start-up does; false (with the reason) when none is.
    bool chooseBackend();
    // The bus KWin runs on, for this process; disconnected for sway.
    QDBusConnection sessionBus() const;

    void startCounting() { tracker->setIsRunning(true); }
    void runFor(double seconds)
    {
        clock.advance(seconds);
        tracker->updateDisplayTime(false);
    }
    double appTime(const QString &name) const;
    double windowTime(const QString &appName, const QString &windowName) const;
    // The names of an application's window nodes, by name.
    QStringList windowNames(const QString &appName) const;
    // The windows the bookings to an application named, by name.
    QStringList bookedWindowNames(const QString &appName) const { return m_booked.windowsOf(appName); }
    // The title of the active window, as the backend reads it.
    std::optional<QString> activeTitle() const { return desktop->windowTitle(desktop->activeWindow()); }
    std::optional<QString> frontName() const { return desktop->activeApplication().name; }

    // One client shows windows of two applications: the compositor brings the second one's new
    // window to the front, and the first one's back when it closes. Each application's node and
    // bookings hold its own window alone.
    void twoApplicationsOfOneClientKeepTheirOwnWindows();

    std::unique_ptr<CompositorSession> session;
    ManualClock clock;
    MemorySettings settings;
    FakeQuestionDialog questions;
    std::unique_ptr<DesktopBackend> desktop;
    std::unique_ptr<IdleTimeReader> idleReader;
    std::unique_ptr<TimeTracker> tracker;

private:
    CompositorSession::Compositor m_compositor;
    BookedWindows m_booked;
};
