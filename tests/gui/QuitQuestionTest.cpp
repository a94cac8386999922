// Quitting by closing the main window: while counting, the user is asked first and may stay;
// otherwise Kestrum quits at once. Either way the timings are stored.

#include "MainWindowFixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

class QuitQuestionTest : public MainWindowFixture
{
protected:
    // Runs the application's event loop with `action` as its first event, the way a real
    // close arrives; answers whether the application quit (within a few seconds).
    bool quitsAfter(const std::function<void()> &action)
    {
        QTimer::singleShot(0, window.get(), action);
        QTimer giveUp;
        giveUp.setSingleShot(true);
        QObject::connect(&giveUp, &QTimer::timeout, [] { QApplication::exit(2); });
        giveUp.start(5000);
        return QApplication::exec() == 0;
    }
};

TEST_F(QuitQuestionTest, WhileCountingClosingAsksAndRemainOpenKeepsCounting)
{
    openWindow(Questions::MessageBoxes);
    pressCountingButton();
    scheduler.advance(2);

    const ModalSeen seen = runAnsweringMessageBox([this] { window->close(); }, QStringLiteral("Remain Open"));

    ASSERT_EQ(seen.count, 1);
    EXPECT_EQ(seen.text, QStringLiteral("Timer still running."));
    EXPECT_EQ(seen.informativeText,
              QStringLiteral("There is a timer currently running. Kestrum must remain open in order to keep track of time. "
                             "Are you sure you wish to quit?"));
    EXPECT_EQ(seen.defaultButton, QStringLiteral("Remain Open"));
    EXPECT_TRUE(seen.buttons.contains(QStringLiteral("Quit")));
    EXPECT_EQ(seen.buttons.size(), 2);
    EXPECT_TRUE(seen.windowModal);
    ASSERT_TRUE(seen.answered);

    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->countingButton()->text(), QStringLiteral("Pause"));
    scheduler.advance(1);
    EXPECT_EQ(appTime(editorName()), 3.0);
}

TEST_F(QuitQuestionTest, WhileCountingQuitStoresTheTimingsAndQuits)
{
    openWindow(Questions::MessageBoxes);
    pressCountingButton();
    scheduler.advance(2);

    ModalSeen seen;
    EXPECT_TRUE(quitsAfter([&] { seen = runAnsweringMessageBox([this] { window->close(); }, QStringLiteral("Quit")); }));

    EXPECT_EQ(seen.count, 1);
    EXPECT_TRUE(seen.answered);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(savedAppTimes().value(editorName()), 2.0);
}

TEST_F(QuitQuestionTest, NotCountingClosingQuitsWithoutAQuestionAndStores)
{
    writeSavedTimings({{editorName(), 30, {}}});
    openWindow(Questions::MessageBoxes);
    pressCountingButton();
    scheduler.advance(5);
    pressCountingButton();
    ASSERT_EQ(window->countingButton()->text(), QStringLiteral("Start"));

    ModalSeen seen;
    EXPECT_TRUE(quitsAfter([&] { seen = runAnsweringMessageBox([this] { window->close(); }); }));

    EXPECT_EQ(seen.count, 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(savedAppTimes().value(editorName()), 35.0);
}

TEST_F(QuitQuestionTest, AQuitRequestFromOutsideStoresAndQuitsWithoutAQuestionWhileCounting)
{
    openWindow(Questions::MessageBoxes);
    pressCountingButton();
    scheduler.advance(4);

    ModalSeen seen;
    EXPECT_TRUE(quitsAfter([&] { seen = runAnsweringMessageBox([this] { window->quitWithoutQuestion(); }); }));

    EXPECT_EQ(seen.count, 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(savedAppTimes().value(editorName()), 4.0);
}
