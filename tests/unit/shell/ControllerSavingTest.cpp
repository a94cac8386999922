// When the controller stores the timings in the settings file: the quit decision, termination,
// the 15-minute store timer and clearing; and what happens when the file cannot be written.

#include "ControllerFixture.h"
#include "shell/BackgroundSaver.h"

#include <QCoreApplication>
#include <QFile>

#include <sys/stat.h>

#include <atomic>
#include <memory>
#include <thread>

class ControllerQuit : public ControllerFixture
{
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        createController();
    }
};

TEST_F(ControllerQuit, NotCountingQuitsAtOnceWithoutAQuestion)
{
    controller->toggleCounting();
    scheduler.advance(30);
    controller->toggleCounting();

    EXPECT_TRUE(controller->applicationShouldTerminate());
    EXPECT_TRUE(questions.asked().isEmpty());
}

TEST_F(ControllerQuit, RemainOpenCancelsTheQuitAndCountingGoesOn)
{
    controller->toggleCounting();
    scheduler.advance(30);
    questions.queueAnswer(QuestionAnswer::Default);

    EXPECT_FALSE(controller->applicationShouldTerminate());
    ASSERT_EQ(questions.asked().size(), 1);
    const Question &asked = questions.asked().constFirst();
    EXPECT_EQ(asked.message, QStringLiteral("Timer still running."));
    EXPECT_EQ(asked.informativeText, KestrumController::quitQuestion().informativeText);
    EXPECT_EQ(asked.defaultButton, QStringLiteral("Remain Open"));
    EXPECT_EQ(asked.alternateButton, QStringLiteral("Quit"));
    EXPECT_TRUE(asked.otherButton.isEmpty());

    EXPECT_TRUE(controller->isTicking());
    scheduler.advance(30);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 60.0);
    EXPECT_TRUE(savedAppTimes().isEmpty());
}

TEST_F(ControllerQuit, QuitStoresTheTimingsAndQuits)
{
    controller->toggleCounting();
    scheduler.advance(45);
    questions.queueAnswer(QuestionAnswer::Alternate);

    EXPECT_TRUE(controller->applicationShouldTerminate());
    EXPECT_EQ(questions.asked().size(), 1);
    EXPECT_EQ(savedAppTimes(), (QMap<QString, double>{{editorName(), 45.0}}));
}

class ControllerStoring : public ControllerQuit
{
};

TEST_F(ControllerStoring, TerminationStoresTheTimings)
{
    controller->toggleCounting();
    scheduler.advance(20);
    controller->applicationWillTerminate();
    EXPECT_EQ(savedAppTimes(), (QMap<QString, double>{{editorName(), 20.0}}));
}

TEST_F(ControllerStoring, TheStoreTimerWritesTheSettingsFileEveryFifteenMinutes)
{
    // Half an hour without input: idleness is beside the point here.
    settings->setValue(SettingsKey::EnableIdleDetection, false);
    controller->finishLaunching();
    // Ticks fall half a second off the store timer's instants, so the stored times are exact.
    scheduler.advance(10.5);
    controller->toggleCounting();

    scheduler.advance(889.4);
    EXPECT_TRUE(savedAppTimes().isEmpty());
    scheduler.advance(0.1);
    EXPECT_EQ(savedAppTimes(), (QMap<QString, double>{{editorName(), 889.0}}));
    scheduler.advance(900);
    EXPECT_EQ(savedAppTimes(), (QMap<QString, double>{{editorName(), 1789.0}}));
}

TEST_F(ControllerStoring, DeferredStoresWaitUntilAskedForAndThenStoreTheTimingsOfThatMoment)
{
    settings->setValue(SettingsKey::EnableIdleDetection, false);
    controller->setStoreTiming(StoreTiming::Deferred);
    controller->finishLaunching();
    controller->toggleCounting();
    scheduler.advance(1800);
    controller->clearTimersConfirmed();
    scheduler.advance(1830);
    EXPECT_TRUE(savedAppTimes().isEmpty());

    EXPECT_TRUE(controller->storeDueTimings());
    EXPECT_EQ(savedAppTimes(), (QMap<QString, double>{{editorName(), 1830.0}}));
    // Stored once: with nothing due, nothing is written.
    const QString file = settings->path();
    ASSERT_TRUE(QFile::remove(file));
    EXPECT_TRUE(controller->storeDueTimings());
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(ControllerStoring, ClearingStoresTheEmptiedTimings)
{
    controller->toggleCounting();
    scheduler.advance(30);
    controller->toggleCounting();
    controller->applicationWillTerminate();
    ASSERT_EQ(savedAppTimes(), (QMap<QString, double>{{editorName(), 30.0}}));

    controller->clearTimersConfirmed();
    EXPECT_TRUE(appNames().isEmpty());
    EXPECT_EQ(controller->timeSum(), QStringLiteral("00:00:00"));
    EXPECT_TRUE(savedAppTimes().isEmpty());
}

// With a saver, as the application runs: the window's thread hands each write over and goes
// on counting; the quit save still writes the newest timings last.
TEST_F(ControllerStoring, ASaverWritesInTheBackgroundAndTheQuitSaveComesLast)
{
    BackgroundSaver saver;
    controller->setBackgroundSaver(&saver);
    settings->setValue(SettingsKey::EnableIdleDetection, false);
    controller->finishLaunching();
    controller->toggleCounting();

    scheduler.advance(900);
    saver.waitUntilIdle();
    // The store timer runs just before that second's tick.
    EXPECT_EQ(savedAppTimes(), (QMap<QString, double>{{editorName(), 899.0}}));

    // A write handed over right before the quit save never lands after it.
    scheduler.advance(30);
    controller->applicationWillTerminate();
    scheduler.advance(15);
    EXPECT_TRUE(controller->saveSettingsToDisk());
    saver.waitUntilIdle();
    EXPECT_EQ(savedAppTimes(), (QMap<QString, double>{{editorName(), 945.0}}));

    // The usual quit: the save handed over holds all there is, so it is waited for rather than
    // written a second time (each write puts a new file in place).
    controller->toggleCounting();
    controller->applicationWillTerminate();
    saver.waitUntilIdle();
    const auto inode = [this] {
        struct stat status {};
        return ::stat(QFile::encodeName(settings->path()).constData(), &status) == 0 ? status.st_ino : ino_t(0);
    };
    const ino_t before = inode();
    EXPECT_TRUE(controller->saveSettingsToDisk());
    EXPECT_EQ(inode(), before);
    EXPECT_EQ(savedAppTimes(), (QMap<QString, double>{{editorName(), 945.0}}));

    // The quit while counting: confirmed, then the window's end, then the last word. Nothing
    // was counted in between, so the timings are written once.
    controller->toggleCounting();
    scheduler.advance(5);
    questions.queueAnswer(QuestionAnswer::Alternate);
    ASSERT_TRUE(controller->applicationShouldTerminate());
    saver.waitUntilIdle();
    const ino_t confirmed = inode();
    EXPECT_NE(confirmed, before);
    controller->applicationWillTerminate();
    saver.waitUntilIdle();
    EXPECT_TRUE(controller->saveSettingsToDisk());
    EXPECT_EQ(inode(), confirmed);
    EXPECT_EQ(savedAppTimes(), (QMap<QString, double>{{editorName(), 950.0}}));
}

namespace {

// A settings value that notes the thread its last copy is let go of on, written as an empty
// dictionary.
struct FreedOn
{
    std::atomic<std::thread::id> *thread;
    ~FreedOn() { thread->store(std::this_thread::get_id()); }
};
struct NotedValue
{
    std::shared_ptr<FreedOn> note;
    PropertyListDictionary toDictionary() const { return {}; }
};

} // namespace

Q_DECLARE_METATYPE(NotedValue)

// The write before the newest holds the previous snapshot of the timings; a large store's names
// are let go of on the saver's thread, not the window's.
TEST_F(ControllerStoring, TheWriteBeforeIsLetGoOfOnTheSaversThread)
{
    QMetaType::registerConverter<NotedValue, PropertyListDictionary>(&NotedValue::toDictionary);
    std::atomic<std::thread::id> freedOn;
    const QString path = home.filePath(QStringLiteral("saved.plist"));
    BackgroundSaver saver;
    saver.save({path, {{QStringLiteral("Apps"), QVariant::fromValue(NotedValue{std::make_shared<FreedOn>(&freedOn)})}}});
    saver.waitUntilIdle();
    EXPECT_EQ(freedOn.load(), std::thread::id()); // the newest write is kept

    saver.save({path, {{QStringLiteral("Apps"), 1}}});
    saver.waitUntilIdle();
    EXPECT_NE(freedOn.load(), std::thread::id());
    EXPECT_NE(freedOn.load(), std::this_thread::get_id());
}

// --- a settings file that cannot be written --------------------------------------------------------

class ControllerUnwritableSettings : public ControllerFixture
{
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        // A plain file where the settings directory should be: not even root can write there.
        QFile blocker(home.filePath(QStringLiteral("blocker")));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        settings = std::make_unique<SettingsStore>(home.filePath(QStringLiteral("blocker/Kestrum/Kestrum.plist")));
        createController();
        QObject::connect(controller.get(), &KestrumController::saveFailed,
                         [this](const QString &reason) { failures.append(reason); });
    }

    QStringList failures;
};

TEST_F(ControllerUnwritableSettings, ADeferredStoreThatCannotBeWrittenSaysWhy)
{
    controller->setStoreTiming(StoreTiming::Deferred);
    controller->finishLaunching();
    controller->toggleCounting();
    scheduler.advance(900);
    EXPECT_TRUE(failures.isEmpty());

    QString error;
    EXPECT_FALSE(controller->storeDueTimings(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(failures, QStringList{error});
}

TEST_F(ControllerUnwritableSettings, EverySaveReportsWhyItFailedAndCountingGoesOn)
{
    settings->setValue(SettingsKey::EnableIdleDetection, false);
    controller->finishLaunching();
    controller->toggleCounting();

    scheduler.advance(900);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_FALSE(failures.constFirst().isEmpty());

    EXPECT_FALSE(controller->saveSettingsToDisk());
    controller->applicationWillTerminate();
    controller->switchHandler(SessionEvent::Resigned);
    EXPECT_EQ(failures.size(), 4);

    controller->switchHandler(SessionEvent::BecameActive);
    EXPECT_TRUE(controller->isTicking());
    scheduler.advance(10);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 910.0);

    // A write on the saver's thread that fails is reported on the window's thread too.
    BackgroundSaver saver;
    controller->setBackgroundSaver(&saver);
    controller->applicationWillTerminate();
    saver.waitUntilIdle();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(failures.size(), 5);
    // The quit save after it tries again rather than take the failed write for done.
    QString why;
    EXPECT_FALSE(controller->saveSettingsToDisk(&why));
    EXPECT_FALSE(why.isEmpty());
}

// A title holding characters a saved file cannot hold (an escape, U+FFFF) and an application
// name holding one: after each restart the live names still match the loaded nodes, so the
// time keeps adding up in one node.
TEST_F(ControllerStoring, HostileNamesKeepTheirTimeAcrossRestarts)
{
    const QString title = QStringLiteral("evil\x1b]0;owned\x07 %1.txt").arg(QChar(0xFFFF));
    desktop.addApplication(TerminalPid, QStringLiteral("Term\x01inal"));
    desktop.setMainWindow(TerminalPid, WindowElement(9), title);
    desktop.bringToFront(TerminalPid);
    for (int run = 1; run <= 4; ++run) {
        if (run > 1)
            createController();
        controller->toggleCounting();
        scheduler.advance(60);
        controller->toggleCounting();
        controller->applicationWillTerminate();
        controller.reset();
    }
    createController();
    ASSERT_EQ(controller->tracker().fullTimeSet().size(), 1u);
    const TimeStoreApp &terminal = *controller->tracker().fullTimeSet().front();
    EXPECT_EQ(terminal.name(), QStringLiteral("Term\uFFFDinal"));
    ASSERT_EQ(terminal.windowCount(), 1);
    EXPECT_EQ(terminal.windows().front()->name(), QStringLiteral("evil\uFFFD]0;owned\uFFFD \uFFFD.txt"));
    EXPECT_DOUBLE_EQ(terminal.windows().front()->activeTime(), 240.0);
    EXPECT_DOUBLE_EQ(terminal.activeTime(), 240.0);
}
