// KDE Plasma's compositor, KWin, on its virtual backend: where it trusts Kestrum, the plasma
// window management protocol; where it does not (Kestrum run from the build tree), the script
// Kestrum loads into KWin; and where neither can be had, the plain message.

#include "Waiting.h"
#include "WaylandDesktopFixture.h"

#include "platform/kde/KWinScriptDesktop.h"
#include "platform/kde/PlasmaDesktop.h"

#include <QDBusMessage>

using namespace std::chrono_literals;

class KWinFixture : public WaylandDesktopFixture
{
protected:
    using WaylandDesktopFixture::WaylandDesktopFixture;

    // KWin brings a new window to the front, and the one before when it closes: the backend
    // follows, with the process id and titles, and the tracker books each window.
    void followsOpeningRetitlingAndClosingWindows()
    {
        QProcess *editor = session->openToplevels(QStringLiteral("org.example.Editor"), QStringLiteral("notes.txt"));
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(waitUntil([&] { return frontName() == QStringLiteral("org.example.Editor"); }));
        EXPECT_EQ(desktop->activeApplication().pid, editor->processId());
        EXPECT_EQ(activeTitle(), QStringLiteral("notes.txt"));
        startCounting();
        runFor(2);

        QProcess *browser = session->openToplevels(QStringLiteral("org.example.Browser"), QStringLiteral("News"));
        ASSERT_NE(browser, nullptr);
        ASSERT_TRUE(waitUntil([&] { return frontName() == QStringLiteral("org.example.Browser"); }));
        EXPECT_EQ(desktop->activeApplication().pid, browser->processId());
        runFor(1);
        clock.advance(0.5);
        ASSERT_TRUE(session->retitle(browser, 0, QStringLiteral("Sports")));
        ASSERT_TRUE(waitUntil([&] { return activeTitle() == QStringLiteral("Sports"); }));

        session->close(browser);
        ASSERT_TRUE(waitUntil([&] { return frontName() == QStringLiteral("org.example.Editor"); }));
        runFor(3);
        EXPECT_DOUBLE_EQ(windowTime(QStringLiteral("org.example.Editor"), QStringLiteral("notes.txt")), 5.0);
        EXPECT_DOUBLE_EQ(windowTime(QStringLiteral("org.example.Browser"), QStringLiteral("Sports")), 1.5);
        EXPECT_DOUBLE_EQ(appTime(QStringLiteral("org.example.Browser")), 1.5);
    }
};

class OnTrustedKWin : public KWinFixture
{
protected:
    OnTrustedKWin() : KWinFixture(CompositorSession::Compositor::TrustedKWin) {}
};

class OnKWin : public KWinFixture
{
protected:
    OnKWin() : KWinFixture(CompositorSession::Compositor::KWin) {}

    bool isWatcherLoaded()
    {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
                                                           QStringLiteral("org.kde.kwin.Scripting"), QStringLiteral("isScriptLoaded"));
        call.setArguments({QString::fromLatin1(KWinScriptDesktop::kPluginName)});
        const QDBusMessage reply = sessionBus().call(call, QDBus::Block, 5000);
        return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool();
    }
};

TEST_F(OnTrustedKWin, WindowManagementFollowsTheFrontWindow)
{
    ASSERT_TRUE(chooseBackend());
    ASSERT_NE(dynamic_cast<PlasmaDesktop *>(desktop.get()), nullptr);
    EXPECT_EQ(desktop->backendName(), QStringLiteral("kde"));
    followsOpeningRetitlingAndClosingWindows();
}

TEST_F(OnTrustedKWin, TwoApplicationsOfOneProcessKeepTheirOwnWindows)
{
    ASSERT_TRUE(chooseBackend());
    twoApplicationsOfOneClientKeepTheirOwnWindows();
}

TEST_F(OnTrustedKWin, IdleTimeGrowsWithoutInput)
{
    ASSERT_TRUE(chooseBackend());
    EXPECT_EQ(static_cast<ToplevelDesktop &>(*desktop).idleProtocol(), QStringLiteral("ext_idle_notifier_v1"));
    ASSERT_TRUE(waitUntil([&] { return desktop->read().nanoseconds > 0; }, 10s));
    EXPECT_GE(desktop->read().nanoseconds, quint64(WaylandIdle::kTimeout.count()) * 1'000'000u);
}

TEST_F(OnKWin, AScriptInsideKWinFollowsTheFrontWindowAndIsUnloadedAtTheEnd)
{
    ASSERT_TRUE(chooseBackend());
    ASSERT_NE(dynamic_cast<KWinScriptDesktop *>(desktop.get()), nullptr);
    EXPECT_TRUE(waitUntil([&] { return isWatcherLoaded(); }));
    followsOpeningRetitlingAndClosingWindows();

    tracker.reset();
    idleReader.reset();
    desktop.reset();
    EXPECT_FALSE(isWatcherLoaded());
}

TEST_F(OnKWin, TwoApplicationsOfOneProcessKeepTheirOwnWindowsThroughTheScript)
{
    ASSERT_TRUE(chooseBackend());
    ASSERT_TRUE(waitUntil([&] { return isWatcherLoaded(); }));
    twoApplicationsOfOneClientKeepTheirOwnWindows();
}

TEST_F(OnKWin, WithoutItsSessionBusNoWindowsAreCountedAndTheMessageSaysWhy)
{
    // KWin without its bus offers Kestrum neither its window list nor a way to run a script.
    const DesktopChoice choice = chooseDesktop(QDBusConnection(QString()));
    EXPECT_EQ(choice.desktop, nullptr);
    EXPECT_TRUE(choice.limitation.contains(QStringLiteral("does not tell which application is in front"))) << choice.limitation.toStdString();
}
