// Runs the real tracker through a scripted working morning on the fake desktop, one tick a
// second, and prints what it booked.

#include "platform/fake/FakeDesktop.h"
#include "platform/fake/FakeQuestionDialog.h"
#include "platform/fake/ManualClock.h"
#include "tracking/IdleTime.h"
#include "tracking/MemorySettings.h"
#include "tracking/TimeTracker.h"

#include <QTextStream>

#include <algorithm>

namespace {

struct Morning
{
    ManualClock clock;
    FakeDesktop desktop{clock};
    MemorySettings settings;
    FakeQuestionDialog questions;
    IdleTimeReader idle{desktop};
    TimeTracker tracker{{desktop, desktop, idle, clock, settings, questions}};

    // Lets `seconds` pass with one tick a second, the user typing throughout unless `away`.
    void work(int seconds, bool away = false)
    {
        for (int i = 0; i < seconds; ++i) {
            clock.advance(1.0);
            if (!away)
                desktop.input();
            tracker.updateDisplayTime(isIdle(settings, idle));
        }
    }
};

template<typename Node>
QList<Node *> longestFirst(QList<Node *> nodes)
{
    std::stable_sort(nodes.begin(), nodes.end(), [](Node *a, Node *b) { return a->activeTime() > b->activeTime(); });
    return nodes;
}

} // namespace

int main()
{
    Morning m;
    m.desktop.addApplication(101, QStringLiteral("Text Editor"));
    m.desktop.addApplication(202, QStringLiteral("Terminal"));
    m.desktop.addApplication(303, QStringLiteral("Web Browser"));
    m.desktop.setMainWindow(101, WindowElement(1), QStringLiteral("report.md (edited)"));
    m.desktop.setMainWindow(202, WindowElement(2), QStringLiteral("make test"));
    m.desktop.setMainWindow(303, WindowElement(3), QStringLiteral("Qt Documentation @ qt.io"));

    m.desktop.bringToFront(101);
    m.tracker.setIsRunning(true);
    m.work(25 * 60);
    m.desktop.setMainWindow(101, WindowElement(4), QStringLiteral("notes.txt"));
    m.work(10 * 60);
    m.desktop.bringToFront(202);
    m.work(12 * 60);
    m.desktop.bringToFront(303);
    m.work(8 * 60);
    m.work(40 * 60, /*away=*/true); // coffee: after 15 minutes without input this is idle time
    m.desktop.input();
    m.desktop.bringToFront(101);
    m.work(20 * 60);

    QTextStream out(stdout);
    out << "Kestrum demo: a scripted morning, booked by the real tracker on a fake desktop.\n\n";
    QList<TimeStoreApp *> apps;
    for (const auto &app : m.tracker.fullTimeSet())
        apps.append(app.get());
    for (TimeStoreApp *app : longestFirst(apps)) {
        out << qSetFieldWidth(40) << Qt::left << app->name().value_or(QString()) << qSetFieldWidth(0)
            << app->activeTimeString() << '\n';
        QList<TimeStoreNode *> windows = app->children().value_or(QList<TimeStoreNode *>());
        for (TimeStoreNode *window : longestFirst(windows))
            out << "    " << qSetFieldWidth(36) << Qt::left << window->name().value_or(QString()) << qSetFieldWidth(0)
                << window->activeTimeString() << '\n';
    }
    out << '\n' << qSetFieldWidth(40) << Qt::left << "Total (without Idle)" << qSetFieldWidth(0)
        << TimeTracker::timeStringForDouble(m.tracker.totalTime()) << '\n';
    return 0;
}
