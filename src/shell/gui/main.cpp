// kestrum: the application. Puts the controller, the tracker and the desktop backends behind
// the main window.

#include "MainWindow.h"
#include "QtQuestionDialog.h"
#include "QuitSignals.h"
#include "TrayIcon.h"
#include "history/HistoryRecorder.h"
#include "i18n/Translations.h"
#include "history/HistoryWriter.h"
#include "sync/SharedFolderSync.h"
#include "persistence/AtomicFile.h"
#include "persistence/SettingsStore.h"
#include "platform/logind/BusProbe.h"
#include "platform/logind/ClockChangeWatcher.h"
#include "platform/logind/IdleInhibitors.h"
#include "platform/logind/LogindWiring.h"
#include "platform/logind/ScreenSaverWatcher.h"
#include "platform/DesktopChoice.h"
#include "platform/gnome/GnomeDesktop.h"
#include "platform/x11/X11Desktop.h"
#include "shell/BackgroundSaver.h"
#include "shell/PowerMessages.h"
#include "shell/KestrumController.h"
#include "shell/QtScheduler.h"
#include "shell/SingleInstance.h"
#include "sync/DeviceIdentity.h"
#include "tracking/NoDesktop.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <future>
#include <limits>
#include <malloc.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcApp, "kestrum.app")

namespace {

// Whether a Wayland compositor listens at $WAYLAND_DISPLAY: 0, or the error when none does.
int waylandError()
{
    const QString name = qEnvironmentVariable("WAYLAND_DISPLAY");
    const QByteArray path = QFile::encodeName(name.startsWith(u'/') ? name : qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/' + name);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    int error = ENAMETOOLONG;
    if (size_t(path.size()) < sizeof address.sun_path) {
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        error = fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ? errno : 0;
        if (fd >= 0)
            ::close(fd);
    }
    return error;
}

bool qtHasWayland()
{
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    return !platforms.entryList({QStringLiteral("libqwayland*")}, QDir::Files).isEmpty();
}

// Why Kestrum's window cannot be shown on the display this session names. It is found before
// there is an application object (a QApplication would abort there), and said once one is
// there with the translations.
struct DisplayProblem
{
    enum class Kind { None, X, WaylandUnreachable, QtWithoutWayland, NoDisplay };
    Kind kind = Kind::None;
    QString xProblem; // why no X server can be reached at $DISPLAY
    int waylandError = 0; // why the Wayland display does not answer

    QString text() const
    {
        switch (kind) {
        case Kind::None:
            break;
        case Kind::X:
            return xProblem;
        case Kind::WaylandUnreachable:
            return QCoreApplication::translate("kestrum", "cannot connect to the Wayland display \"%1\": %2")
                .arg(qEnvironmentVariable("WAYLAND_DISPLAY"), qt_error_string(waylandError));
        case Kind::QtWithoutWayland:
            return QCoreApplication::translate("kestrum", "this Qt cannot show windows on Wayland, and DISPLAY names no X server");
        case Kind::NoDisplay:
            return QCoreApplication::translate("kestrum", "no display to show Kestrum's window on (DISPLAY is not set)");
        }
        return {};
    }
};

// What keeps Kestrum's window from the display, if anything. Qt itself would abort with its
// plugin text; the user gets one clear line instead.
DisplayProblem displayProblem()
{
    using Kind = DisplayProblem::Kind;
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return {}; // a platform chosen by hand is the chooser's business
    DisplayProblem problem;
    if (!qEnvironmentVariableIsEmpty("DISPLAY") && X11Desktop::canOpen(QByteArray(), &problem.xProblem))
        return {};
    Kind wayland = Kind::None;
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        problem.waylandError = waylandError();
        if (problem.waylandError != 0)
            wayland = Kind::WaylandUnreachable;
        else if (qtHasWayland())
            return {};
        else
            wayland = Kind::QtWithoutWayland;
    }
    problem.kind = !problem.xProblem.isEmpty() ? Kind::X : wayland != Kind::None ? wayland : Kind::NoDisplay;
    return problem;
}

bool wantsOnlyText(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg = argv[i];
        if (arg == "-h" || arg == "--help" || arg == "-v" || arg == "--version" || arg == "--help-all")
            return true;
    }
    return false;
}

// The --help, and Kestrum's one option of its own: made once the translations are installed.
QCommandLineOption describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QCoreApplication::translate("kestrum", "Kestrum measures how long you actively work in each "
                                                                            "application and in each of its windows."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption start(QStringLiteral("start"), QCoreApplication::translate("kestrum", "Start counting at once."));
    parser.addOption(start);
    return start;
}

} // namespace

int main(int argc, char *argv[])
{
    // First of all: a quit signal that comes while Kestrum starts up ends it once it runs.
    QuitSignals::catchSignals();
    // Saves build buffers of the file's size now and then. With a fixed threshold they always
    // come from the system and go straight back to it; the C library's sliding threshold would
    // otherwise raise itself past them and keep their pages for as long as Kestrum runs.
    ::mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    QCoreApplication::setApplicationName(QStringLiteral("Kestrum"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTRUM_VERSION));

    if (wantsOnlyText(argc, argv)) {
        QCoreApplication app(argc, argv);
        installTranslations(app);
        QCommandLineParser parser;
        describe(parser);
        parser.process(app); // prints and exits
        return 0;
    }
    if (const DisplayProblem problem = displayProblem(); problem.kind != DisplayProblem::Kind::None) {
        // Only to say it in the user's language: there is no display for a QApplication.
        QCoreApplication app(argc, argv);
        installTranslations(app);
        std::fprintf(stderr, "kestrum: %s\n", qPrintable(problem.text()));
        return 1;
    }

    // Qt itself uses the session bus from the first window on. One that takes connections and
    // never answers would hold the window up for minutes: Kestrum then goes without it.
    const QByteArray sessionBus = sessionBusAddress();
    QString sessionBusProblem;
    if (!sessionBus.isEmpty() && !busAnswers(sessionBus, std::chrono::milliseconds(500), &sessionBusProblem)) {
        qCWarning(lcApp).noquote() << "The session bus does not answer, so Kestrum does without it:" << sessionBusProblem;
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    }

    // The timings are read and parsed while Qt connects to the display and loads its fonts:
    // a large store then adds little to the start. Whether it may be used is decided once the
    // lock is held.
    std::future<SettingsFileRead> settingsReadAhead =
        std::async(std::launch::async, [path = SettingsStore::defaultPath()] { return SettingsStore::readFile(path); });

    QApplication app(argc, argv);
    installTranslations(app);
    QApplication::setQuitOnLastWindowClosed(false); // the window's close decides
    QGuiApplication::setDesktopFileName(QStringLiteral("kestrum"));
    QApplication::setWindowIcon(TrayIcon::applicationIcon());
    QCommandLineParser parser;
    const QCommandLineOption startOption = describe(parser);
    parser.process(app);

    // One Kestrum per user: a second start hands over to the running one and ends.
    SettingsStore settings;
    SingleInstance instance(settings.path());
    QString instanceProblem;
    const SingleInstance::Claim claim = instance.claim(&instanceProblem);
    if (claim == SingleInstance::Claim::HeldByAnother) {
        const auto request = parser.isSet(startOption) ? SingleInstance::Request::ShowAndStart : SingleInstance::Request::Show;
        if (!instance.handOver(request, &instanceProblem)) {
            std::fprintf(stderr, "kestrum: %s\n",
                         qPrintable(QCoreApplication::translate("kestrum", "Kestrum is already running, but %1").arg(instanceProblem)));
            return 1;
        }
        std::puts(qPrintable(QCoreApplication::translate("kestrum", "Kestrum is already running; its window was brought to the front")));
        return 0;
    }
    if (claim == SingleInstance::Claim::Failed)
        qCWarning(lcApp).noquote() << "Another Kestrum could not be ruled out:" << instanceProblem;

    // The desktop: X11, or the Wayland compositor's own account of its windows. Where neither
    // tells which window is in front, Kestrum counts no windows rather than wrong ones. Connected
    // before the read-ahead timings are waited for, so that a large file's parse overlaps it.
    DesktopChoice choice = chooseDesktop(QDBusConnection::sessionBus());
    const std::unique_ptr<DesktopBackend> &desktop = choice.desktop;
    const QString limitation = choice.limitation;
    NoDesktop noDesktop;
    if (!limitation.isEmpty())
        qCWarning(lcApp).noquote() << limitation;
    Workspace &workspace = desktop ? static_cast<Workspace &>(*desktop) : noDesktop;
    Accessibility &accessibility = desktop ? static_cast<Accessibility &>(*desktop) : noDesktop;
    IdleSource &idleSource = desktop ? static_cast<IdleSource &>(*desktop) : noDesktop;

    QString settingsWarning;
    settings.load(settingsReadAhead.get(), &settingsWarning);
    if (claim == SingleInstance::Claim::Claimed) {
        // Writes that a kill cut short left their temporary files; no other Kestrum writes here.
        removeLeftoverTemporaryFiles(QFileInfo(settings.path()).absolutePath());
        removeLeftoverTemporaryFiles(PeriodicSave::expandedDirectory(settings.value(SettingsKey::PeriodicSaveDirectory).toString()));
    }

    QtScheduler scheduler;
    QtQuestionDialog questions;
    // Declared before the controller, so it outlives it: the saves of a running Kestrum are
    // written on its thread.
    BackgroundSaver saver;
    KestrumController controller({scheduler, workspace, accessibility, idleSource, settings, questions});
    controller.setBackgroundSaver(&saver);
    // Every booked stretch goes to the history, written on a thread of its own.
    HistoryWriter historyWriter(HistoryDatabase::defaultPath());
    HistoryRecorder history([&historyWriter](const QList<HistoryOperation> &operations) { historyWriter.write(operations); });
    controller.tracker().setBookingListener(&history);
    MainWindow window(controller);
    // The History window reads and forgets once all that was booked before is in the file.
    constexpr std::chrono::seconds historyWait{5};
    // Whether what the window asked was written; if not, why, and that it will be.
    const auto written = [](const std::optional<HistoryStore::Applied> &applied, const QString &done, QString *error) {
        if (applied && applied->written)
            return true;
        //: %2 is what is done then, as "it is forgotten" or "the time is assigned"
        *error = applied ? QCoreApplication::translate("kestrum", "the history cannot be written now (%1); %2 as soon as it can be")
                               .arg(applied->error, done)
                         //: %1 is what is done then, as "it is forgotten" or "the time is assigned"
                         : QCoreApplication::translate("kestrum", "the history is busy; %1 as soon as what is being written is written")
                               .arg(done);
        return false;
    };
    window.setHistory(HistoryDatabase::defaultPath(), {
        .beforeReading = [&] { historyWriter.writeAndWait(history.takeAll(), historyWait); },
        .forget = [&](const QDateTime &from, const QDateTime &to, const std::optional<QString> &application, QString *error) -> qint64 {
            const std::optional<HistoryStore::Applied> applied = historyWriter.writeAndWait(history.forget(from, to, application), historyWait);
            //: what is done with a range of the history once it can be written
            return written(applied, QCoreApplication::translate("kestrum", "it is forgotten"), error) ? applied->forgotten : -1;
        },
        .assign = [&](const QDateTime &from, const QDateTime &to, const CategoryPath &category, QString *error) {
            //: what is done with a range of the history once it can be written
            return written(historyWriter.writeAndWait(history.assign(from, to, category), historyWait),
                           QCoreApplication::translate("kestrum", "the time is assigned"), error);
        },
        .overlay = [&](const HistoryOperation &operation, QString *error) {
            const QList<HistoryOperation> operations = operation.kind == HistoryOperation::Kind::RemoveOverlay
                ? history.removeOverlay(operation.overlay)
                : history.putOverlay(operation.overlay);
            //: what is done with a change of the added time once the history can be written
            return written(historyWriter.writeAndWait(operations, historyWait), QCoreApplication::translate("kestrum", "the change is kept"),
                           error);
        },
    });
    // The categories are read (and followed) from the start, so that a file that cannot be used is said at once.
    window.categories();
    // Back from time away, the desktop's notifications ask where they can.
    window.askThroughNotifications(QDBusConnection::sessionBus());
    // This computer among the user's computers: an id of its own, made the first time.
    QString deviceMessage;
    QString deviceError;
    DeviceIdentity device = DeviceIdentity::load(DeviceIdentity::defaultPath(), DeviceIdentity::machineId(), &deviceMessage, &deviceError);
    if (!deviceError.isEmpty())
        qCWarning(lcApp).noquote() << "This computer has no device id:" << deviceError;
    if (!deviceMessage.isEmpty()) {
        qCWarning(lcApp).noquote() << deviceMessage;
        window.statusBar()->showMessage(deviceMessage);
    }
    window.setDeviceId(device.id());
    // Its history goes to the shared folder and the others' comes from it, on the history's thread.
    std::function<void()> followSharedFolder;
    // A copy of this computer writes as it: this one takes an id of its own and shares under it.
    const auto renewDevice = [&] {
        QString message;
        QString error;
        DeviceIdentity renewed = DeviceIdentity::renew(DeviceIdentity::defaultPath(), DeviceIdentity::machineId(), device.id(), &message, &error);
        if (!renewed.isValid()) {
            qCWarning(lcApp).noquote() << "This computer cannot take a device id of its own:" << error;
            return;
        }
        device = renewed;
        qCWarning(lcApp).noquote() << message;
        window.statusBar()->showMessage(message);
        window.setDeviceId(device.id());
        followSharedFolder();
    };
    followSharedFolder = [&historyWriter, &settings, &device, &window, renewDevice] {
        const std::optional<SharedFolder::Options> shared = SharedFolder::fromSettings(settings, device.id());
        if (!shared) {
            historyWriter.follow(nullptr);
            return;
        }
        auto sync = std::make_unique<SharedFolderSync>(*shared);
        sync->setOnSameIdElsewhere([&window, renewDevice] { QMetaObject::invokeMethod(&window, renewDevice, Qt::QueuedConnection); });
        historyWriter.follow(std::move(sync));
    };
    followSharedFolder();
    window.followSharedCategories();
    QObject::connect(&window, &MainWindow::sharingChanged, &window, [&window, followSharedFolder] {
        followSharedFolder();
        window.followSharedCategories();
    });
    QObject::connect(&historyWriter, &HistoryWriter::problem, &window,
                     [&window](const QString &message) { window.statusBar()->showMessage(message); });
    questions.setParent(&window);
    if (!limitation.isEmpty())
        window.statusBar()->showMessage(limitation);
    if (desktop) {
        QObject::connect(desktop.get(), &DesktopBackend::connectionLost, &window, [&window] {
            window.statusBar()->showMessage(
                QCoreApplication::translate("kestrum", "The connection to the display was lost: windows are no longer watched."));
        });
        QObject::connect(desktop.get(), &DesktopBackend::problem, &window,
                         [&window](const QString &message) { window.statusBar()->showMessage(message); });
        // On GNOME the preferences say whether Kestrum's Shell extension is there and enabled.
        if (auto *gnome = qobject_cast<GnomeDesktop *>(desktop.get())) {
            window.setDesktopNote(GnomeDesktop::describe(gnome->extensionState()));
            QObject::connect(gnome, &GnomeDesktop::extensionStateChanged, &window,
                             [&window](GnomeDesktop::ExtensionState state) { window.setDesktopNote(GnomeDesktop::describe(state)); });
        }
    }

    const auto setLocked = [&desktop](DesktopBackend::LockSource source, bool locked) {
        if (desktop)
            desktop->setScreenLocked(source, locked);
    };
    ScreenSaverWatcher screenSaver;
    QObject::connect(&screenSaver, &ScreenSaverWatcher::activeChanged, &window,
                     [setLocked](bool active) { setLocked(DesktopBackend::LockSource::SessionScreenSaver, active); });
    screenSaver.start();

    // Sleep and wake, session switches and the lock state from logind, and changes of the time
    // zone, come over the system bus. They are watched once it answers, which a thread finds
    // out, so that a hung bus never holds up the window; without it Kestrum runs on without them.
    LogindMonitor logind;
    connectLogindMonitor(logind, {
        .power = [](PowerMessage message, const std::function<void()> &allowPowerChange) {
            handlePowerMessage(KestrumController::current(), message, allowPowerChange);
        },
        .sessionActive = [&controller](bool active) {
            controller.switchHandler(active ? SessionEvent::BecameActive : SessionEvent::Resigned);
        },
        .locked = [setLocked](bool locked) { setLocked(DesktopBackend::LockSource::LoginSession, locked); },
    });
    // The periodic save is due at a wall-clock time: it follows the clock when that is set.
    ClockChangeWatcher clockChanges;
    QObject::connect(&clockChanges, &ClockChangeWatcher::clockChanged, &controller,
                     &KestrumController::rescheduleAfterClockChange);
    // What keeps the screen awake (a film, a call) keeps the time from being idle. The system
    // bus's inhibitors are asked once it answers.
    IdleInhibitors idleInhibitors(QDBusConnection(QString()), QDBusConnection::sessionBus());
    controller.setIdleInhibition(&idleInhibitors);
    BusWaiter systemBus(systemBusAddress());
    QObject::connect(&systemBus, &BusWaiter::answered, &window, [&] {
        const QDBusConnection bus = QDBusConnection::systemBus();
        idleInhibitors.setSystemBus(bus);
        logind.start(bus);
        clockChanges.start(bus);
    });
    QObject::connect(&systemBus, &BusWaiter::silent, &window, [&](const QString &why) {
        logind.reportUnavailable(why);
        clockChanges.start(QDBusConnection(QString()));
        window.statusBar()->showMessage(
            QCoreApplication::translate("kestrum", "Sleep, session switches and time-zone changes are not followed: the system bus does "
                                                   "not answer (%1).")
                .arg(why));
    });
    systemBus.start();

    QuitSignals::deliverTo(&window, [&window] {
        // Whatever hangs on the way out, the process ends within two seconds; the timings are
        // stored first thing.
        ::alarm(2);
        window.quitWithoutQuestion();
    });
    // The timings are stored whenever Kestrum stops being the active application, and when the
    // desktop session ends.
    QObject::connect(&app, &QGuiApplication::applicationStateChanged, &controller, [&controller](Qt::ApplicationState state) {
        if (state == Qt::ApplicationInactive)
            controller.applicationWillTerminate();
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&window](QSessionManager &) { window.quitWithoutQuestion(); });

    window.show();
    QObject::connect(&instance, &SingleInstance::requested, &window, [&window, &controller](SingleInstance::Request request) {
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.show();
        window.raise();
        window.activateWindow();
        if (request == SingleInstance::Request::ShowAndStart && !controller.isTicking())
            controller.startTimer();
    });
    if (claim == SingleInstance::Claim::Claimed && !instance.listen(&instanceProblem))
        qCWarning(lcApp).noquote() << "A second start cannot hand over to this Kestrum:" << instanceProblem;
    // The tray shows the icon once a tray is there, even when the panel starts after Kestrum.
    TrayIcon tray(controller, window);
    tray.show();
    controller.finishLaunching();
    if (!settingsWarning.isEmpty()) {
        // Shown from the running event loop, so that a quit signal still ends Kestrum meanwhile.
        QTimer::singleShot(0, &window, [&window, settingsWarning] {
            QMessageBox::warning(&window, QStringLiteral("Kestrum"), settingsWarning);
        });
    }
    if (parser.isSet(startOption) && !controller.isTicking())
        controller.startTimer();
    const int status = QApplication::exec();

    // The last word on the timings and the history: a quit that could not keep them is a
    // failure. The history gets what was booked up to the end.
    QString error;
    const bool saved = controller.saveSettingsToDisk(&error);
    history.flush();
    controller.tracker().setBookingListener(nullptr);
    controller.setIdleInhibition(nullptr);
    QString historyError;
    const double historyLost = historyWriter.finish(&historyError);
    int exitStatus = status;
    if (!saved) {
        std::fprintf(stderr, "kestrum: %s\n",
                     qPrintable(QCoreApplication::translate("kestrum", "the timings could not be saved: %1").arg(error)));
        exitStatus = 1;
    }
    if (historyLost > 0.0) {
        const int seconds = int(std::min(std::ceil(historyLost), double(std::numeric_limits<int>::max())));
        std::fprintf(stderr, "kestrum: %s\n",
                     qPrintable(QCoreApplication::translate("kestrum", "%n second(s) of history could not be written and are lost: %1",
                                                            nullptr, seconds)
                                    .arg(historyError)));
        exitStatus = 1;
    }
    return exitStatus;
}
