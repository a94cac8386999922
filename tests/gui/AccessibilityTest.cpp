// Every window as a screen reader meets it: each control a user can reach with the keyboard
// has a name that Orca can read (its own text, its label's, or one given to it), and the
// History window's timeline is reached and worked with the keyboard alone.

#include "MainWindowFixture.h"
#include "shell/gui/AwayQuestionWindow.h"
#include "shell/gui/CategoriesWindow.h"
#include "shell/gui/HistoryWindow.h"
#include "shell/gui/PrefWindow.h"

#include <QAccessible>
#include <QTest>
#include <QTreeWidget>

namespace {

// The controls of `window` that take the keyboard's focus and have no name for a screen reader.
QStringList unnamedControls(QWidget &window)
{
    QStringList unnamed;
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(&window) || widget->focusProxy())
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty()) {
            unnamed.append(QStringLiteral("%1 %2 (in %3)")
                               .arg(QString::fromLatin1(widget->metaObject()->className()), widget->objectName(),
                                    widget->parentWidget() ? QString::fromLatin1(widget->parentWidget()->metaObject()->className()) : QString()));
        }
    }
    return unnamed;
}

} // namespace

class AccessibilityTest : public MainWindowFixture
{
};

TEST_F(AccessibilityTest, EveryControlOfEveryWindowHasANameAScreenReaderCanRead)
{
    openWindow();
    EXPECT_EQ(unnamedControls(*window), QStringList()) << "the main window";
    window->showPreferences();
    EXPECT_EQ(unnamedControls(window->prefWindow()), QStringList()) << "the preferences";
    HistoryWindow &history = window->historyWindow();
    history.show();
    EXPECT_EQ(unnamedControls(history), QStringList()) << "the history";
    CategoriesWindow &categories = window->categoriesWindow();
    categories.show();
    EXPECT_EQ(unnamedControls(categories), QStringList()) << "the categories";
    AwayQuestionWindow &away = window->awayQuestion();
    away.show();
    EXPECT_EQ(unnamedControls(away), QStringList()) << "the question on time away";
}

TEST_F(AccessibilityTest, TheTimelineIsInTheHistorysTabOrderBetweenTheRangeAndTheBars)
{
    openWindow();
    HistoryWindow &history = window->historyWindow();
    history.show();
    QList<QWidget *> order;
    for (QWidget *next = history.nextInFocusChain(); next != &history; next = next->nextInFocusChain()) {
        if (next->focusPolicy() & Qt::TabFocus && next->isVisibleTo(&history))
            order.append(next);
    }
    const qsizetype timeline = order.indexOf(history.timeline());
    ASSERT_GE(timeline, 0) << "the timeline is not reached with Tab";
    EXPECT_GT(timeline, 0) << "the range and the day come first";
    EXPECT_GT(order.indexOf(history.bars()), timeline);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(history.timeline());
    EXPECT_FALSE(accessible->text(QAccessible::Description).isEmpty()) << "the timeline says how the keyboard works it";
}
