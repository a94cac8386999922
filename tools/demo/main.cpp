// Runs the real tracker through a scripted working morning on the fake desktop, one tick a
// second, and prints what it booked.

#include "platform/fake/FakeDesktop.h"
#include "platform/fake/FakeQuestionDialog.h"
#include "persistence/TimingTable.h"
#include "platform/fake/ManualClock.h"
#include "tracking/IdleTime.h"
#include "tracking/MemorySettings.h"
#include "tracking/TimeTracker.h"

#include <QTextStream>

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
    out << "Kestrum demo: a scripted morning, booked by the real tracker on a fake desktop.\n\n"
        << timingTable(m.tracker);
    return 0;
}
