// The totals label beneath the outline: the sum of what the user selects with the mouse, or of
// everything when nothing is selected, a click on it that clears the selection, and a new
// second that only repaints it.

#include "MainWindowFixture.h"

#include "shell/gui/SumOfTimesLabel.h"

#include <QApplication>
#include <QTest>
#include <QTreeView>

class SelectionTotalsTest : public MainWindowFixture
{
protected:
    // The editor has three windows' worth of time, of which two windows are stored (11:40 in
    // all, 06:40 and 03:20 in the windows); the terminal has one window, so it is a leaf.
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        writeSavedTimings({{editorName(), 700, {{QStringLiteral("a.txt"), 400}, {QStringLiteral("b.txt"), 200}}},
                           {terminalName(), 120, {{QStringLiteral("make test"), 120}}},
                           {TimeTracker::IdleAppName, 300, {}}});
    }

    void includeIdleInTheTotal() { writeSettings({{SettingsKey::IncludeIdleInSumOfTimes, true}}); }
};

TEST_F(SelectionTotalsTest, NothingSelectedShowsEverythingButIdle)
{
    openWindow();
    EXPECT_EQ(totalText(), QStringLiteral("00:13:40"));
}

TEST_F(SelectionTotalsTest, NothingSelectedIncludesIdleWhenTheSettingSaysSo)
{
    includeIdleInTheTotal();
    openWindow();
    EXPECT_EQ(totalText(), QStringLiteral("00:18:40"));
}

TEST_F(SelectionTotalsTest, AnApplicationWithOneOfItsWindowsCountsTheApplicationOnce)
{
    openWindow();
    clickRow(rowOf(editorName(), QStringLiteral("a.txt")));
    clickRow(rowOf(editorName()), Qt::ControlModifier);
    EXPECT_EQ(window->selectedNodes().size(), 2);
    EXPECT_EQ(totalText(), QStringLiteral("00:11:40"));
}

TEST_F(SelectionTotalsTest, TwoWindowsOfOneApplicationAreTheirSum)
{
    openWindow();
    clickRow(rowOf(editorName(), QStringLiteral("a.txt")));
    clickRow(rowOf(editorName(), QStringLiteral("b.txt")), Qt::ControlModifier);
    EXPECT_EQ(totalText(), QStringLiteral("00:10:00"));
}

TEST_F(SelectionTotalsTest, ALeafApplicationWithOneWindowCountsTheApplication)
{
    openWindow();
    const QModelIndex terminal = rowOf(terminalName());
    ASSERT_EQ(window->outline()->model()->rowCount(terminal), 0) << "one window is not shown as a row of its own";
    clickRow(terminal);
    EXPECT_EQ(totalText(), QStringLiteral("00:02:00"));
}

TEST_F(SelectionTotalsTest, SelectedIdleCountsWhateverTheSetting)
{
    openWindow();
    clickRow(rowOf(TimeTracker::IdleAppName));
    EXPECT_EQ(totalText(), QStringLiteral("00:05:00"));
    clickRow(rowOf(terminalName()), Qt::ControlModifier);
    EXPECT_EQ(totalText(), QStringLiteral("00:07:00"));
}

TEST_F(SelectionTotalsTest, FollowsTheSelectedRowWhileCounting)
{
    openWindow();
    clickRow(rowOf(editorName()));
    pressCountingButton();
    scheduler.advance(3);
    EXPECT_EQ(totalText(), QStringLiteral("00:11:43"));
}

TEST_F(SelectionTotalsTest, TheLabelSaysWhatItSumsAndAClickOnItClearsTheSelection)
{
    openWindow();
    // Counting goes to the editor's "notes.txt"; the selected window does not grow.
    EXPECT_EQ(window->totalCaption()->text(), QStringLiteral("Total:"));
    clickRow(rowOf(editorName(), QStringLiteral("a.txt")));
    pressCountingButton();
    scheduler.advance(1);
    ASSERT_EQ(totalText(), QStringLiteral("00:06:40"));
    EXPECT_EQ(window->totalCaption()->text(), QStringLiteral("Selected:"));

    QTest::mouseClick(window->totalLabel(), Qt::LeftButton);
    EXPECT_TRUE(window->selectedNodes().isEmpty());
    EXPECT_EQ(window->totalCaption()->text(), QStringLiteral("Total:"));
    scheduler.advance(1);
    EXPECT_EQ(totalText(), QStringLiteral("00:13:42"));
}

namespace {

// Counts the layout requests a widget receives.
class LayoutRequests : public QObject
{
public:
    explicit LayoutRequests(QWidget &widget) { widget.installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::LayoutRequest;
        return false;
    }
};

} // namespace

TEST_F(SelectionTotalsTest, ANewSecondDoesNotLayTheWindowOutAgainUntilTheTotalGrowsLonger)
{
    writeSavedTimings({{editorName(), 359998, {}}});
    openWindow();
    pressCountingButton();
    QApplication::processEvents();
    const LayoutRequests layouts(*window->centralWidget());

    scheduler.advance(1);
    QApplication::processEvents();
    ASSERT_EQ(totalText(), QStringLiteral("99:59:59"));
    EXPECT_EQ(layouts.count, 0);

    scheduler.advance(1);
    QApplication::processEvents();
    ASSERT_EQ(totalText(), QStringLiteral("100:00:00"));
    EXPECT_GE(window->totalLabel()->contentsRect().width(), window->totalLabel()->fontMetrics().horizontalAdvance(totalText()));
}
