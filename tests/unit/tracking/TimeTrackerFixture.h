#pragma once

#include "platform/fake/FakeDesktop.h"
#include "platform/fake/FakeQuestionDialog.h"
#include "platform/fake/ManualClock.h"
#include "store/ChangeNotifier.h"
#include "tracking/IdleTime.h"
#include "tracking/MemorySettings.h"
#include "tracking/TimeTracker.h"

#include <gtest/gtest.h>

#include <QList>
#include <QString>

#include <memory>

// A tracker on a scripted desktop and a manual clock. The desktop knows an editor, a browser
// and a terminal; nothing is in front and nothing counts until a test says so.
class TimeTrackerFixture : public ::testing::Test
{
protected:
    static constexpr qint64 EditorPid = 101;
    static constexpr qint64 BrowserPid = 202;
    static constexpr qint64 TerminalPid = 303;

    static QString editorName() { return QStringLiteral("Editor"); }
    static QString browserName() { return QStringLiteral("Browser"); }
    static QString terminalName() { return QStringLiteral("Terminal"); }
    static QString idleName() { return QStringLiteral("Idle"); }

    TimeTrackerFixture()
    {
        desktop.addApplication(EditorPid, editorName());
        desktop.addApplication(BrowserPid, browserName());
        desktop.addApplication(TerminalPid, terminalName());
    }

    // Creates the tracker as the program does at start, with the desktop and settings as
    // they are now.
    TimeTracker &createTracker()
    {
        tracker.reset();
        tracker = std::make_unique<TimeTracker>(TrackerPorts{desktop, desktop, idleReader, clock, settings, questions});
        tracker->notifier().subscribe([this](const ChangeNotice &notice) { notices.append(notice); });
        return *tracker;
    }

    // The editor in front with "notes.txt" as its main window, the user at the keyboard,
    // and counting switched on.
    void startCountingInEditor()
    {
        desktop.setMainWindow(EditorPid, WindowElement(1), QStringLiteral("notes.txt (edited)"));
        desktop.bringToFront(EditorPid);
        desktop.input();
        tracker->setIsRunning(true);
    }

    // One tick of the controller: asks whether the user is idle, then books.
    void tick() { tracker->updateDisplayTime(isIdle(settings, idleReader)); }

    // Lets whole seconds pass with a tick at the end of each.
    void runFor(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            clock.advance(1.0);
            tick();
        }
    }

    TimeStoreApp *app(const QString &name) const { return tracker->appForName(name); }

    double appTime(const QString &name) const
    {
        const TimeStoreApp *node = app(name);
        return node ? node->activeTime() : -1.0e9;
    }

    // The window node of the application that currently carries this name.
    TimeStoreWindow *window(const QString &appName, const QString &windowName) const
    {
        const TimeStoreApp *node = app(appName);
        if (!node)
            return nullptr;
        for (const auto &w : node->windows()) {
            if (w->name() == windowName)
                return w.get();
        }
        return nullptr;
    }

    double windowTime(const QString &appName, const QString &windowName) const
    {
        const TimeStoreWindow *node = window(appName, windowName);
        return node ? node->activeTime() : -1.0e9;
    }

    qsizetype windowCount(const QString &appName) const
    {
        const TimeStoreApp *node = app(appName);
        return node ? node->windowCount() : -1;
    }

    QStringList appNames() const
    {
        QStringList names;
        for (const auto &node : tracker->fullTimeSet())
            names.append(node->name().value_or(QStringLiteral("<none>")));
        names.sort();
        return names;
    }

    // Sum of all window nodes of every application.
    double allWindowTime() const
    {
        double total = 0.0;
        for (const auto &node : tracker->fullTimeSet()) {
            for (const auto &w : node->windows())
                total += w->activeTime();
        }
        return total;
    }

    QList<ChangeNotice> noticesOf(ObservedProperty property, const TimeStoreNode *node = nullptr) const
    {
        QList<ChangeNotice> result;
        for (const ChangeNotice &notice : notices) {
            if (notice.property == property && (node == nullptr || notice.node == node))
                result.append(notice);
        }
        return result;
    }

    static QList<ChangeNotice> noticePair(const TimeStoreNode *node, ObservedProperty property)
    {
        return {{node, property, ChangePhase::Will}, {node, property, ChangePhase::Did}};
    }

    ManualClock clock;
    FakeDesktop desktop{clock};
    MemorySettings settings;
    FakeQuestionDialog questions;
    IdleTimeReader idleReader{desktop};
    QList<ChangeNotice> notices;
    std::unique_ptr<TimeTracker> tracker; // declared last: it goes before the desktop it uses
};

// The same, with the tracker created before each test.
class TimeTrackerReadyFixture : public TimeTrackerFixture
{
protected:
    void SetUp() override { createTracker(); }
};
