// A first start: until anything is counted, the empty outline says how to begin, and it makes
// way for the timings as soon as there are any.

#include "MainWindowFixture.h"
#include "shell/gui/PrefWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

using EmptyOutlineHintTest = MainWindowFixture;

TEST_F(EmptyOutlineHintTest, AFirstStartSaysToPressStartOrToCountFromTheStartInAnyWidth)
{
    openWindow();
    const QLabel &hint = *window->emptyOutlineHint();

    ASSERT_TRUE(hint.isVisible());
    EXPECT_TRUE(hint.text().startsWith(QStringLiteral("Press Start"))) << hint.text().toStdString();
    // It names a preference that is there, by the words of its check box.
    const QList<QCheckBox *> boxes = window->prefWindow().findChildren<QCheckBox *>();
    const auto named = std::find_if(boxes.cbegin(), boxes.cend(), [&hint](const QCheckBox *box) {
        return hint.text().contains(u'“' + box->text() + u'”');
    });
    ASSERT_NE(named, boxes.cend()) << hint.text().toStdString();
    EXPECT_EQ((*named)->text(), QStringLiteral("Start counting when Kestrum opens"));
    for (const QSize size : {QSize(300, 360), QSize(560, 480), QSize(1400, 500)}) {
        resizeWindow(size);
        EXPECT_TRUE(showsAllOf(hint, *window->outline()->viewport())) << size.width() << " wide";
    }
}

TEST_F(EmptyOutlineHintTest, ItIsGoneWhileCountingAndWhileAnythingIsStored)
{
    desktop.bringToFront(999); // in front: an application no one can name, so nothing is booked
    openWindow();
    const QLabel &hint = *window->emptyOutlineHint();
    pressCountingButton();
    scheduler.advance(3);
    ASSERT_TRUE(controller->tracker().fullTimeSet().empty());
    EXPECT_FALSE(hint.isVisible()) << "Start was pressed already";
    pressCountingButton();
    EXPECT_TRUE(hint.isVisible());

    desktop.bringToFront(EditorPid);
    pressCountingButton();
    scheduler.advance(3);
    ASSERT_EQ(shownApplications(), QStringList{editorName()});
    const auto clear = [this] { return runAnsweringMessageBox([this] { window->clearTimers(); }, QStringLiteral("Clear Timers")); };
    ASSERT_TRUE(clear().answered);
    EXPECT_FALSE(hint.isVisible()) << "counting goes on: there is nothing to press";
    scheduler.advance(2);
    pressCountingButton(); // paused, with the editor's seconds shown
    EXPECT_FALSE(hint.isVisible());
    ASSERT_TRUE(clear().answered);
    EXPECT_TRUE(hint.isVisible()) << "cleared while paused: Start is what to do again";
}

TEST_F(EmptyOutlineHintTest, SavedTimingsAreShownWithoutItWhateverTheSearch)
{
    writeSavedTimings({{editorName(), 700, {}}});
    openWindow();
    EXPECT_FALSE(window->emptyOutlineHint()->isVisible());
    // A search that hides every application is no first start: there is something to find.
    QTest::keyClicks(window->searchField(), QStringLiteral("nothing like it"));
    ASSERT_TRUE(shownApplications().isEmpty());
    EXPECT_FALSE(window->emptyOutlineHint()->isVisible());
}
