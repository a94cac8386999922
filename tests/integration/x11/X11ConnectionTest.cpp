// Losing the X server: the backend says so once and answers "nothing" from then on; the
// tracker keeps what it has booked and goes on counting.

#include "Waiting.h"
#include "X11DesktopFixture.h"

#include <QLoggingCategory>

using namespace std::chrono_literals;

namespace {

QString xtermName() { return QStringLiteral("XTerm"); }

// Counts the warnings of the X11 backend's logging category while it exists.
class BackendWarnings
{
public:
    BackendWarnings()
    {
        s_count = 0;
        m_previous = qInstallMessageHandler(&BackendWarnings::handle);
        s_previous = m_previous;
    }
    ~BackendWarnings() { qInstallMessageHandler(m_previous); }

    int count() const { return s_count; }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type == QtWarningMsg && qstrcmp(context.category, "kestrum.x11") == 0)
            ++s_count;
        if (s_previous)
            s_previous(type, context, message);
    }

    static inline int s_count = 0;
    static inline QtMessageHandler s_previous = nullptr;
    QtMessageHandler m_previous = nullptr;
};

} // namespace

class X11Connection : public X11DesktopFixture
{
};

TEST_F(X11Connection, LosingTheServerKeepsTheTimingsAndCountingGoesOn)
{
    const Client xterm = startXterm(QStringLiteral("notes.txt"));
    ASSERT_NE(xterm.window, 0u);
    int losses = 0;
    QObject::connect(desktop.get(), &X11Desktop::connectionLost, [&losses] { ++losses; });
    startCounting();
    runFor(2);

    const BackendWarnings warnings;
    session->killServer();
    // Before the event loop has noticed: every read meets a connection that is gone.
    EXPECT_NE(desktop->read().status, IdleReading::Status::Ok);
    EXPECT_EQ(desktop->windowTitle(WindowElement(xterm.window)), std::nullopt);
    ASSERT_TRUE(waitUntil([&] { return losses > 0; }, 5s));
    runEventLoopFor(300ms);

    EXPECT_EQ(losses, 1);
    EXPECT_EQ(warnings.count(), 1);
    EXPECT_FALSE(desktop->isConnected());
    EXPECT_FALSE(desktop->isAccessEnabled());
    EXPECT_EQ(desktop->read().status, IdleReading::Status::ServiceUnreachable);
    EXPECT_EQ(desktop->windowTitle(WindowElement(xterm.window)), std::nullopt);
    EXPECT_EQ(desktop->mainWindow(AppElement{xterm.pid}), std::nullopt);
    EXPECT_EQ(desktop->createObserver(xterm.pid, [] {}), nullptr);
    EXPECT_EQ(idleReader->idleTime(), 0u);

    runFor(3);
    runFor(1);
    EXPECT_EQ(appNames(), QStringList({xtermName()}));
    EXPECT_DOUBLE_EQ(appTime(xtermName()), 6.0);
    EXPECT_DOUBLE_EQ(windowTime(xtermName(), QStringLiteral("notes.txt")), 2.0);
    EXPECT_EQ(losses, 1);
    EXPECT_EQ(warnings.count(), 1);
}
