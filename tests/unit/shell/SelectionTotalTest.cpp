// The totals label: the sum of the selected entries, or of everything when nothing is selected.

#include "ControllerFixture.h"

class SelectionTotal : public ControllerFixture
{
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        createController();
        controller->loadDictionary(timingsWrapper({
            {editorName(), 100.0, {{QStringLiteral("notes.txt"), 60.0}, {QStringLiteral("todo.txt"), 25.0}}},
            {QStringLiteral("Browser"), 40.0, {{QStringLiteral("Inbox"), 40.0}}},
            {terminalName(), 30.0, {}},
            {QStringLiteral("Idle"), 50.0, {}},
        }));
        ASSERT_EQ(appNames().size(), 4);
    }

    TimeStoreNode *app(const QString &name) const { return controller->tracker().appForName(name); }

    TimeStoreNode *window(const QString &appName, const QString &windowName) const
    {
        for (const auto &w : controller->tracker().appForName(appName)->windows()) {
            if (w->name() == windowName)
                return w.get();
        }
        ADD_FAILURE() << "no window " << windowName.toStdString();
        return nullptr;
    }

    double total(const QList<TimeStoreNode *> &selected) const
    {
        return KestrumController::selectionTotal(selected, controller->tracker());
    }
};

TEST_F(SelectionTotal, NothingSelectedIsTheTotalOfAllApplications)
{
    EXPECT_DOUBLE_EQ(total({}), 170.0);
    settings->setValue(SettingsKey::IncludeIdleInSumOfTimes, true);
    EXPECT_DOUBLE_EQ(total({}), 220.0);
}

TEST_F(SelectionTotal, AnApplicationWithOneOfItsWindowsCountsTheApplicationOnce)
{
    TimeStoreNode *editor = app(editorName());
    TimeStoreNode *notes = window(editorName(), QStringLiteral("notes.txt"));
    EXPECT_DOUBLE_EQ(total({editor, notes}), 100.0);
    EXPECT_DOUBLE_EQ(total({notes, editor}), 100.0);
    EXPECT_DOUBLE_EQ(total({editor, editor}), 100.0);
}

TEST_F(SelectionTotal, TwoWindowsWithoutTheirApplicationAreAddedUp)
{
    EXPECT_DOUBLE_EQ(total({window(editorName(), QStringLiteral("notes.txt")), window(editorName(), QStringLiteral("todo.txt"))}),
                     85.0);
}

TEST_F(SelectionTotal, ALeafApplicationWithOneWindowCountsItsOwnTime)
{
    TimeStoreNode *browser = app(QStringLiteral("Browser"));
    ASSERT_TRUE(browser->isLeaf());
    EXPECT_DOUBLE_EQ(total({browser}), 40.0);
    EXPECT_DOUBLE_EQ(total({browser, window(editorName(), QStringLiteral("notes.txt"))}), 100.0);
    EXPECT_DOUBLE_EQ(total({app(terminalName())}), 30.0);
}

TEST_F(SelectionTotal, SelectedIdleCountsAlthoughTheTotalLeavesItOut)
{
    EXPECT_DOUBLE_EQ(total({app(QStringLiteral("Idle"))}), 50.0);
    EXPECT_DOUBLE_EQ(total({app(QStringLiteral("Idle")), app(terminalName())}), 80.0);
}

TEST_F(SelectionTotal, TheLabelShowsTheSumOfTheSelection)
{
    QList<TimeStoreNode *> selected = {window(editorName(), QStringLiteral("notes.txt")),
                                       window(editorName(), QStringLiteral("todo.txt"))};
    QStringList shown;
    QObject::connect(controller.get(), &KestrumController::timeSumChanged, [&shown](const QString &text) { shown.append(text); });
    controller->setSelectionProvider([&selected] { return selected; });

    controller->clickInTable();
    EXPECT_EQ(controller->timeSum(), QStringLiteral("00:01:25"));
    selected.clear();
    controller->clickInTable();
    EXPECT_EQ(controller->timeSum(), QStringLiteral("00:02:50"));
    controller->clickInTable();
    EXPECT_EQ(shown, QStringList({QStringLiteral("00:01:25"), QStringLiteral("00:02:50")}));
}
