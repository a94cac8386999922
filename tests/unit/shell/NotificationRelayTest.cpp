// The relay: a "LoadFile" notification loads a timing document on the controller's thread,
// at once when posted there, queued and in order when posted from other threads.

#include "ControllerFixture.h"

#include <QCoreApplication>
#include <QThread>

#include <chrono>
#include <future>

using namespace std::chrono_literals;

class NotificationRelay : public ControllerFixture
{
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        createController();
        editorDocument = writeDocument(QStringLiteral("editor.kestrum"), {{editorName(), 60.0, {{QStringLiteral("notes.txt"), 60.0}}}});
        terminalDocument = writeDocument(QStringLiteral("terminal.kestrum"), {{terminalName(), 30.0, {}}});
        controller->tracker().notifier().subscribe([this](const ChangeNotice &notice) {
            if (notice.property == ObservedProperty::TimeSet)
                storeChangedOn.append(QThread::currentThread());
        });
    }

    static Notification loadFile(const QString &path) { return {KestrumController::LoadFileNotification, path}; }

    // Posts from a thread of its own and waits a while for the posting calls to return; the
    // answer says whether they did.
    bool postFromAnotherThread(const QList<Notification> &notifications)
    {
        std::future<void> posted = std::async(std::launch::async, [this, notifications] {
            for (const Notification &notification : notifications)
                controller->processNotification(notification);
        });
        const bool returned = posted.wait_for(5s) == std::future_status::ready;
        if (!returned) {
            // Let a poster that waits for the main thread go, so the test ends either way.
            QCoreApplication::processEvents();
            posted.wait();
        }
        return returned;
    }

    QString editorDocument;
    QString terminalDocument;
    QList<QThread *> storeChangedOn;
};

TEST_F(NotificationRelay, OnTheControllersThreadTheDocumentIsLoadedBeforeTheCallReturns)
{
    controller->processNotification(loadFile(editorDocument));

    EXPECT_EQ(appNames(), QStringList({editorName()}));
    EXPECT_DOUBLE_EQ(appTime(editorName()), 60.0);
    EXPECT_EQ(controller->timeSum(), QStringLiteral("00:01:00"));
}

TEST_F(NotificationRelay, FromAnotherThreadThePostReturnsAtOnceAndTheMainThreadLoadsLater)
{
    EXPECT_TRUE(postFromAnotherThread({loadFile(editorDocument)}));
    EXPECT_TRUE(appNames().isEmpty());
    EXPECT_TRUE(storeChangedOn.isEmpty());

    QCoreApplication::processEvents();
    EXPECT_EQ(appNames(), QStringList({editorName()}));
    EXPECT_DOUBLE_EQ(appTime(editorName()), 60.0);
    ASSERT_FALSE(storeChangedOn.isEmpty());
    for (QThread *thread : std::as_const(storeChangedOn))
        EXPECT_EQ(thread, QThread::currentThread());
}

TEST_F(NotificationRelay, QueuedDocumentsAreLoadedInTheOrderTheyWerePosted)
{
    ASSERT_TRUE(postFromAnotherThread({loadFile(editorDocument), loadFile(terminalDocument)}));
    QCoreApplication::processEvents();
    EXPECT_EQ(appNames(), QStringList({terminalName()}));

    // The same from a QThread, the other way round.
    QThread *poster = QThread::create([this] {
        controller->processNotification(loadFile(terminalDocument));
        controller->processNotification(loadFile(editorDocument));
    });
    poster->start();
    ASSERT_TRUE(poster->wait(5000));
    delete poster;
    EXPECT_EQ(appNames(), QStringList({terminalName()}));
    QCoreApplication::processEvents();
    EXPECT_EQ(appNames(), QStringList({editorName()}));
}

TEST_F(NotificationRelay, NotificationsOfOtherNamesAreIgnored)
{
    const Notification other{QStringLiteral("SaveFile"), editorDocument};
    controller->processNotification(other);
    ASSERT_TRUE(postFromAnotherThread({other}));
    QCoreApplication::processEvents();

    EXPECT_TRUE(appNames().isEmpty());
    EXPECT_TRUE(storeChangedOn.isEmpty());
}

TEST_F(NotificationRelay, ADocumentThatCannotBeReadLeavesTheTimingsAsTheyWere)
{
    controller->processNotification(loadFile(editorDocument));
    controller->processNotification(loadFile(home.filePath(QStringLiteral("missing.kestrum"))));
    EXPECT_EQ(appNames(), QStringList({editorName()}));
    EXPECT_DOUBLE_EQ(appTime(editorName()), 60.0);
}
