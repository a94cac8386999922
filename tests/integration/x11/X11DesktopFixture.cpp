#include "X11DesktopFixture.h"

#include "Programs.h"
#include "Waiting.h"

#include <QFile>

#include <algorithm>

using namespace std::chrono_literals;

void X11DesktopFixture::SetUp()
{
    const QStringList missing = DisplaySession::missingPrograms(
        {QStringLiteral("xdotool"), QStringLiteral("xprop"), QStringLiteral("xset"), QStringLiteral("xterm"), QStringLiteral("xlogo")});
    if (!missing.isEmpty()) {
        const std::string message = "The X11 integration tests need " + missing.join(QStringLiteral(", ")).toStdString()
            + " on PATH; scripts/install-deps installs them.";
        if (runningInCi())
            FAIL() << message << " CI is set, so they must run here.";
        GTEST_SKIP() << message;
    }

    session = std::make_unique<DisplaySession>();
    QString error;
    ASSERT_TRUE(session->start(&error)) << error.toStdString();

    QFile entry(session->dataDirectory() + QStringLiteral("/applications/kestrum-test-notebook.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Test Notebook\nExec=true\nStartupWMClass=KestrumNotebook\n");
    entry.close();

    // The backend reads desktop entries where this process's environment says, and clients
    // the test starts find the display through it too.
    const QProcessEnvironment environment = session->environment();
    for (const QString &name : {QStringLiteral("DISPLAY"), QStringLiteral("XDG_DATA_HOME"), QStringLiteral("XDG_DATA_DIRS")})
        qputenv(name.toLatin1().constData(), environment.value(name).toLocal8Bit());

    desktop = X11Desktop::open(session->displayName(), &error);
    ASSERT_NE(desktop, nullptr) << error.toStdString();
    idleReader = std::make_unique<IdleTimeReader>(*desktop);
    tracker = std::make_unique<TimeTracker>(TrackerPorts{*desktop, *desktop, *idleReader, clock, settings, questions});
}

void X11DesktopFixture::TearDown()
{
    tracker.reset();
    idleReader.reset();
    desktop.reset();
    if (session)
        session->stop();
    session.reset();
}

X11DesktopFixture::Client X11DesktopFixture::startClient(const QString &program, const QStringList &arguments,
                                                         const QByteArray &className)
{
    Client client;
    const QList<xcb_window_t> known = session->client().managedWindows();
    client.process = session->startProgram(program, arguments);
    if (!client.process) {
        ADD_FAILURE() << program.toStdString() << " does not start";
        return client;
    }
    client.pid = client.process->processId();
    xcb_window_t window = 0;
    waitUntil(
        [&] {
            window = session->client().newManagedWindowOfClass(className, known);
            return window != 0 || client.process->state() != QProcess::Running;
        },
        10s);
    if (window == 0) {
        ADD_FAILURE() << program.toStdString() << " shows no managed window within ten seconds";
        return client;
    }
    if (activate(window))
        client.window = window;
    return client;
}

X11DesktopFixture::Client X11DesktopFixture::startXterm(const QString &title)
{
    // cat waits on the terminal and ends with it, however the terminal ends.
    return startClient(QStringLiteral("xterm"), {QStringLiteral("-T"), title, QStringLiteral("-e"), QStringLiteral("cat")},
                       QByteArrayLiteral("XTerm"));
}

X11DesktopFixture::Client X11DesktopFixture::startXlogo()
{
    return startClient(QStringLiteral("xlogo"), {}, QByteArrayLiteral("XLogo"));
}

xcb_window_t X11DesktopFixture::createWindow(const TestClient::NewWindow &description)
{
    TestClient &client = session->client();
    const xcb_window_t window = client.createWindow(description);
    if (window == 0) {
        ADD_FAILURE() << "cannot create a window";
        return 0;
    }
    if (!waitUntil([&] { return client.managedWindows().contains(window); }, 10s)) {
        ADD_FAILURE() << "the window manager does not manage window " << window << " within ten seconds";
        return 0;
    }
    return activate(window) ? window : 0;
}

bool X11DesktopFixture::activate(xcb_window_t window)
{
    const WindowElement wanted(window);
    QString output;
    // The request is asked again should the window manager pass it over (it may be busy with
    // a window it has just mapped).
    for (int attempt = 0; attempt < 3; ++attempt) {
        session->run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QString::number(window)}, &output);
        if (waitUntil([&] { return desktop->activeWindow() == wanted; }, 3s))
            return true;
    }
    ADD_FAILURE() << "window " << window << " did not become the active window; xdotool: " << output.toStdString();
    return false;
}

bool X11DesktopFixture::runTool(const QString &program, const QStringList &arguments)
{
    QString output;
    const bool ok = session->run(program, arguments, &output);
    if (!ok)
        ADD_FAILURE() << output.toStdString();
    return ok;
}

TimeStoreWindow *X11DesktopFixture::window(const QString &appName, const QString &windowName) const
{
    const TimeStoreApp *node = app(appName);
    if (!node)
        return nullptr;
    const auto &windows = node->windows();
    const auto found = std::find_if(windows.begin(), windows.end(), [&](const auto &w) { return w->name() == windowName; });
    return found != windows.end() ? found->get() : nullptr;
}

QStringList X11DesktopFixture::appNames() const
{
    QStringList names;
    for (const auto &node : tracker->fullTimeSet())
        names.append(node->name().value_or(QStringLiteral("<none>")));
    names.sort();
    return names;
}

TestClient::NewWindow X11DesktopFixture::notebookWindow(const QString &title)
{
    return {title, QByteArrayLiteral("kestrum-notebook"), QByteArrayLiteral("KestrumNotebook"), true};
}
