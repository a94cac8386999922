// The search field and the minimum-time control above the outline.

#include "MainWindowFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTreeView>

class FilterControlsTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        writeSavedTimings({{editorName(), 700, {{QStringLiteral("a.txt"), 400}, {QStringLiteral("b.txt"), 200}}},
                           {terminalName(), 120, {}},
                           {QStringLiteral("Mail"), 90, {}},
                           {QStringLiteral("Calendar"), 89, {}}});
    }

    void type(const QString &text)
    {
        window->searchField()->setFocus();
        window->searchField()->selectAll();
        if (text.isEmpty())
            QTest::keyClick(window->searchField(), Qt::Key_Backspace);
        else
            QTest::keyClicks(window->searchField(), text);
    }

    const QStringList everything{QStringLiteral("Calendar"), editorName(), QStringLiteral("Mail"), terminalName()};
};

TEST_F(FilterControlsTest, TypingNarrowsTheOutlineInAnyCase)
{
    openWindow();
    ASSERT_EQ(shownApplications(), everything);

    type(QStringLiteral("mAIL"));
    EXPECT_EQ(shownApplications(), QStringList{QStringLiteral("Mail")});
    type(QStringLiteral("E"));
    EXPECT_EQ(shownApplications(), (QStringList{QStringLiteral("Calendar"), editorName(), terminalName()}));
    type(QString());
    EXPECT_EQ(shownApplications(), everything);
}

TEST_F(FilterControlsTest, WindowNamesAreFoundAndClearingTheSearchKeepsExpandedRows)
{
    openWindow();
    window->outline()->collapseAll();
    window->outline()->expand(rowOf(editorName()));

    // Found by its name, the editor lists all its windows; found by a window, only that one.
    type(QStringLiteral("edit"));
    EXPECT_EQ(shownRows(), (QStringList{editorName(), QStringLiteral("  a.txt"), QStringLiteral("  b.txt")}));
    type(QStringLiteral("B.TXT"));
    EXPECT_EQ(shownRows(), (QStringList{editorName(), QStringLiteral("  b.txt")}));
    type(QStringLiteral("mail"));
    EXPECT_EQ(shownRows(), QStringList{QStringLiteral("Mail")});

    type(QString());
    EXPECT_EQ(shownRows(), (QStringList{QStringLiteral("Calendar"), editorName(), QStringLiteral("  a.txt"), QStringLiteral("  b.txt"),
                                        QStringLiteral("Mail"), terminalName()}));
}

TEST_F(FilterControlsTest, TheSliderSetsTheMinimumInWholeMinutes)
{
    openWindow();
    EXPECT_EQ(window->cutoffDisplay()->text(), QStringLiteral("00:00:00"));

    window->cutoffSlider()->setFocus();
    QTest::keyClick(window->cutoffSlider(), Qt::Key_Right);
    QTest::keyClick(window->cutoffSlider(), Qt::Key_Right);
    ASSERT_EQ(window->cutoffSlider()->value(), 2);
    EXPECT_EQ(window->cutoffDisplay()->text(), QStringLiteral("00:02:00"));
    // 120 seconds reach a cut-off of 120; 90 do not.
    EXPECT_EQ(shownApplications(), (QStringList{editorName(), terminalName()}));

    QTest::keyClick(window->cutoffSlider(), Qt::Key_Home);
    EXPECT_EQ(window->cutoffDisplay()->text(), QStringLiteral("00:00:00"));
    EXPECT_EQ(shownApplications(), everything);
}

TEST_F(FilterControlsTest, TheSliderSpansTheLongestApplicationInWholeMinutes)
{
    openWindow();
    // The editor's 700 seconds are 11 whole minutes: each step is a minute of them.
    EXPECT_EQ(window->cutoffSlider()->maximum(), 11);
    pressCountingButton();
    scheduler.advance(60);
    EXPECT_EQ(window->cutoffSlider()->maximum(), 12);

    window->cutoffSlider()->setFocus();
    QTest::keyClick(window->cutoffSlider(), Qt::Key_End);
    EXPECT_EQ(shownApplications(), QStringList{editorName()});
}

TEST_F(FilterControlsTest, ACutoffInSecondsShowsItsDurationTextAndHidesShorterApplications)
{
    openWindow();
    window->setCutoffValue(90.0);
    EXPECT_EQ(window->cutoffDisplay()->text(), QStringLiteral("00:01:30"));
    EXPECT_EQ(shownApplications(), (QStringList{editorName(), QStringLiteral("Mail"), terminalName()}));
}

TEST_F(FilterControlsTest, SearchAndCutoffTogether)
{
    openWindow();
    type(QStringLiteral("a"));
    EXPECT_EQ(shownApplications(), (QStringList{QStringLiteral("Calendar"), editorName(), QStringLiteral("Mail"), terminalName()}));
    window->cutoffSlider()->setValue(2);
    EXPECT_EQ(shownApplications(), (QStringList{editorName(), terminalName()}));
}
