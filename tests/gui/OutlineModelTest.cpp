// The outline: it follows the store through a busy day without breaking Qt's model rules,
// keeps the user's selection and expanded rows while the store changes, sorts by name (any
// case) and by time (as numbers), and drags rows out as text.

#include "MainWindowFixture.h"

#include "shell/OutlineModel.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QPaintEvent>
#include <QStyledItemDelegate>
#include <QSet>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTreeView>

namespace {

QSet<QString> namesOf(const QList<TimeStoreNode *> &nodes)
{
    QSet<QString> names;
    for (const TimeStoreNode *node : nodes)
        names.insert(node->name().value_or(QString()));
    return names;
}

} // namespace

class OutlineModelTest : public MainWindowFixture
{
protected:
    static constexpr qint64 BrowserPid = 303;

    // Lets queued work (the re-sort after a burst of changes) run, as the event loop would.
    static void settle() { QApplication::processEvents(); }

    // The outline shows exactly the filtered set: every application with its duration text,
    // the windows of each application that is not a leaf, in the order the header shows.
    void expectOutlineMatchesStore(const char *step)
    {
        SCOPED_TRACE(step);
        settle();
        const OutlineModel &model = *window->outlineModel();
        const QList<TimeStoreApp *> apps = controller->tracker().timeSet();
        ASSERT_EQ(model.rowCount(), apps.size());
        QSet<const TimeStoreNode *> shown;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex appIndex = model.index(row, OutlineModel::NameColumn);
            const auto *app = static_cast<const TimeStoreApp *>(model.nodeAt(appIndex));
            ASSERT_NE(app, nullptr);
            shown.insert(app);
            EXPECT_EQ(appIndex.data().toString(), app->name().value_or(QString()));
            EXPECT_EQ(model.index(row, OutlineModel::TimeColumn).data().toString(), app->activeTimeString());
            const qsizetype windows = app->isLeaf() ? 0 : app->windowCount();
            ASSERT_EQ(model.rowCount(appIndex), windows) << app->name().value_or(QString()).toStdString();
            QSet<const TimeStoreNode *> shownWindows;
            for (int child = 0; child < windows; ++child) {
                const QModelIndex windowIndex = model.index(child, OutlineModel::NameColumn, appIndex);
                const TimeStoreNode *node = model.nodeAt(windowIndex);
                shownWindows.insert(node);
                EXPECT_EQ(windowIndex.data().toString(), node->name().value_or(QString()));
                EXPECT_EQ(model.index(child, OutlineModel::TimeColumn, appIndex).data().toString(), node->activeTimeString());
            }
            for (const auto &node : app->windows())
                EXPECT_TRUE(app->isLeaf() || shownWindows.contains(node.get()));
            expectOrdered(appIndex);
        }
        for (const TimeStoreApp *app : apps)
            EXPECT_TRUE(shown.contains(app)) << app->name().value_or(QString()).toStdString();
        expectOrdered(QModelIndex());
    }

    // The rows under `parent` follow the order the header shows.
    void expectOrdered(const QModelIndex &parent)
    {
        const QHeaderView *header = window->outline()->header();
        const OutlineModel &model = *window->outlineModel();
        const bool ascending = header->sortIndicatorOrder() == Qt::AscendingOrder;
        for (int row = 1; row < model.rowCount(parent); ++row) {
            const QModelIndex before = model.index(row - 1, 0, parent);
            const QModelIndex after = model.index(row, 0, parent);
            int order = 0;
            if (header->sortIndicatorSection() == OutlineModel::TimeColumn) {
                const double a = before.data(OutlineModel::SecondsRole).toDouble();
                const double b = after.data(OutlineModel::SecondsRole).toDouble();
                order = a < b ? -1 : (a > b ? 1 : 0);
            }
            if (order == 0)
                order = before.data().toString().compare(after.data().toString(), Qt::CaseInsensitive);
            EXPECT_TRUE(ascending ? order <= 0 : order >= 0)
                << before.data().toString().toStdString() << " before " << after.data().toString().toStdString();
        }
    }
};

TEST_F(OutlineModelTest, FollowsABusyDayWithinTheModelRules)
{
    openWindow();
    // Any breach of the model rules ends the test process at once.
    QAbstractItemModelTester tester(window->outlineModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    expectOutlineMatchesStore("empty at start");

    pressCountingButton();
    scheduler.advance(3);
    expectOutlineMatchesStore("the editor appears and counts");

    desktop.bringToFront(TerminalPid);
    scheduler.advance(2);
    expectOutlineMatchesStore("the terminal appears");

    desktop.bringToFront(EditorPid);
    desktop.setMainWindow(EditorPid, WindowElement(8), QStringLiteral("draft.txt"));
    scheduler.advance(2);
    ASSERT_FALSE(controller->tracker().appForName(editorName())->isLeaf());
    expectOutlineMatchesStore("a second window: the editor shows its windows");

    desktop.setMainWindow(EditorPid, WindowElement(8), QStringLiteral("final.txt"));
    scheduler.advance(1);
    desktop.setMainWindow(EditorPid, WindowElement(10), QStringLiteral("appendix.txt"));
    scheduler.advance(4);
    expectOutlineMatchesStore("a window renamed, a third one");

    window->outline()->sortByColumn(OutlineModel::TimeColumn, Qt::DescendingOrder);
    desktop.addApplication(BrowserPid, QStringLiteral("Browser"));
    desktop.setMainWindow(BrowserPid, WindowElement(11), QStringLiteral("Home"));
    desktop.bringToFront(BrowserPid);
    for (int second = 0; second < 12; ++second) {
        scheduler.advance(1);
        settle();
    }
    expectOutlineMatchesStore("sorted by time while the browser overtakes the others");

    QTest::keyClicks(window->searchField(), QStringLiteral("ROW"));
    scheduler.advance(2);
    expectOutlineMatchesStore("searching");
    window->searchField()->clear();
    expectOutlineMatchesStore("search cleared");

    scheduler.advance(60);
    window->cutoffSlider()->setValue(1);
    scheduler.advance(3);
    expectOutlineMatchesStore("a cut-off of a minute");
    window->cutoffSlider()->setValue(0);

    scheduler.advance(16 * 60); // no input: the time goes to "Idle"
    desktop.input();
    scheduler.advance(2);
    ASSERT_NE(controller->tracker().appForName(TimeTracker::IdleAppName), nullptr);
    expectOutlineMatchesStore("idle and back");

    const ModalSeen cleared = runAnsweringMessageBox([this] { window->clearTimers(); }, QStringLiteral("Clear Timers"));
    ASSERT_TRUE(cleared.answered);
    scheduler.advance(2);
    expectOutlineMatchesStore("cleared while counting");

    const QString day = writeDocument(QStringLiteral("day.kestrum"),
                                      {{editorName(), 700, {{QStringLiteral("a.txt"), 400}, {QStringLiteral("b.txt"), 200}}},
                                       {QStringLiteral("Mail"), 90, {}}});
    ASSERT_TRUE(runAnsweringMessageBox([&] { window->openTimings(day); }, QStringLiteral("Replace Timings")).answered);
    scheduler.advance(2);
    expectOutlineMatchesStore("a document opened while counting");
    EXPECT_EQ(shownApplications().size(), 3) << shownApplications().join(u',').toStdString();

    pressCountingButton();
    expectOutlineMatchesStore("paused");
}

TEST_F(OutlineModelTest, ABookedSecondUpdatesRowsInsteadOfResettingTheOutline)
{
    writeSavedTimings({{editorName(), 100, {{QStringLiteral("a.txt"), 60}, {QStringLiteral("notes.txt"), 40}}},
                       {terminalName(), 50, {}}});
    openWindow();
    pressCountingButton();
    scheduler.advance(1);

    QSignalSpy resets(window->outlineModel(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(window->outlineModel(), &QAbstractItemModel::dataChanged);
    scheduler.advance(1);

    EXPECT_EQ(resets.count(), 0);
    ASSERT_GE(changes.count(), 1);
    const QModelIndex editorTime = rowOf(editorName()).siblingAtColumn(OutlineModel::TimeColumn);
    EXPECT_EQ(editorTime.data().toString(), QStringLiteral("00:01:42"));
    bool editorRowChanged = false;
    for (const QList<QVariant> &change : std::as_const(changes)) {
        const auto from = change.at(0).value<QModelIndex>();
        const auto to = change.at(1).value<QModelIndex>();
        editorRowChanged |= from.parent() == editorTime.parent() && from.row() <= editorTime.row() && editorTime.row() <= to.row()
            && from.column() <= OutlineModel::TimeColumn && OutlineModel::TimeColumn <= to.column();
    }
    EXPECT_TRUE(editorRowChanged);
}

TEST_F(OutlineModelTest, OnlyTextsThatChangeAreAnnounced)
{
    writeSavedTimings({{editorName(), 100, {{QStringLiteral("a.txt"), 60}, {QStringLiteral("notes.txt"), 40}}}});
    openWindow();
    pressCountingButton();
    QSignalSpy changes(window->outlineModel(), &QAbstractItemModel::dataChanged);

    // Half a second booked to the window when it is renamed to the same document: no text moves.
    scheduler.advance(0.5);
    desktop.setMainWindow(EditorPid, WindowElement(7), QStringLiteral("notes.txt (saved)"));
    EXPECT_EQ(changes.count(), 0);

    // The tick: the editor's and its window's times, and no name.
    scheduler.advance(0.5);
    QSet<QModelIndex> announced;
    for (const QList<QVariant> &change : std::as_const(changes))
        announced.insert(change.at(0).value<QModelIndex>());
    const QModelIndex editor = rowOf(editorName());
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(announced, (QSet<QModelIndex>{editor.siblingAtColumn(OutlineModel::TimeColumn),
                                            rowOf(editorName(), QStringLiteral("notes.txt")).siblingAtColumn(OutlineModel::TimeColumn)}));
    EXPECT_EQ(editor.siblingAtColumn(OutlineModel::TimeColumn).data().toString(), QStringLiteral("00:01:41"));
}

TEST_F(OutlineModelTest, SelectedWindowsStaySelectedWhenTheirApplicationGainsAWindow)
{
    writeSavedTimings({{editorName(), 700, {{QStringLiteral("a.txt"), 400}, {QStringLiteral("b.txt"), 200}}},
                       {terminalName(), 120, {}}});
    openWindow();
    clickRow(rowOf(editorName(), QStringLiteral("a.txt")));
    clickRow(rowOf(editorName(), QStringLiteral("b.txt")), Qt::ControlModifier);
    ASSERT_EQ(totalText(), QStringLiteral("00:10:00"));

    // Counting starts in the editor's "notes.txt", a window the store has not seen yet.
    pressCountingButton();
    scheduler.advance(2);

    ASSERT_EQ(controller->tracker().appForName(editorName())->windowCount(), 3);
    EXPECT_EQ(namesOf(window->selectedNodes()), (QSet<QString>{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
    EXPECT_EQ(totalText(), QStringLiteral("00:10:00"));
    EXPECT_TRUE(window->outline()->isExpanded(rowOf(editorName())));
}

TEST_F(OutlineModelTest, SelectionAndExpandedRowsSurviveANewApplication)
{
    writeSavedTimings({{editorName(), 700, {{QStringLiteral("a.txt"), 400}, {QStringLiteral("b.txt"), 200}}},
                       {terminalName(), 120, {}}});
    openWindow();
    clickRow(rowOf(editorName(), QStringLiteral("a.txt")));
    ASSERT_EQ(totalText(), QStringLiteral("00:06:40"));

    // The terminal comes to the front and counts; a browser never seen before follows.
    desktop.bringToFront(TerminalPid);
    pressCountingButton();
    scheduler.advance(2);
    desktop.addApplication(BrowserPid, QStringLiteral("Browser"));
    desktop.bringToFront(BrowserPid);
    scheduler.advance(2);

    ASSERT_EQ(shownApplications(), (QStringList{QStringLiteral("Browser"), editorName(), terminalName()}));
    EXPECT_EQ(namesOf(window->selectedNodes()), QSet<QString>{QStringLiteral("a.txt")});
    EXPECT_EQ(totalText(), QStringLiteral("00:06:40"));
    EXPECT_TRUE(window->outline()->isExpanded(rowOf(editorName())));
}

// The rows an application keeps across a new application are checked against the order: a
// window that counted past another just before stands in its place at once, not only after
// the re-sort the event loop would run.
TEST_F(OutlineModelTest, KeptRowsAreInOrderWhenANewApplicationComes)
{
    writeSavedTimings({{editorName(), 100, {{QStringLiteral("a.txt"), 60}, {QStringLiteral("b.txt"), 40}}}});
    openWindow();
    window->outline()->sortByColumn(OutlineModel::TimeColumn, Qt::DescendingOrder);
    desktop.bringToFront(EditorPid);
    desktop.setMainWindow(EditorPid, WindowElement(9), QStringLiteral("b.txt"));
    pressCountingButton();
    scheduler.advance(25); // b.txt passes a.txt
    desktop.addApplication(BrowserPid, QStringLiteral("Browser"));
    desktop.bringToFront(BrowserPid);
    scheduler.advance(1);

    const QModelIndex editor = rowOf(editorName());
    ASSERT_EQ(window->outlineModel()->rowCount(editor), 2);
    EXPECT_EQ(window->outlineModel()->index(0, OutlineModel::NameColumn, editor).data().toString(), QStringLiteral("b.txt"));
    expectOutlineMatchesStore("after the event loop");
}

// Windows of an application nobody has expanded are put in order when first shown, by the
// order asked for then; the sort, a new application and a search before that change nothing.
TEST_F(OutlineModelTest, CollapsedWindowsAreInTheOrderOfTheMomentWhenFirstShown)
{
    writeSavedTimings({{editorName(), 60, {{QStringLiteral("c.txt"), 30}, {QStringLiteral("a.txt"), 10}, {QStringLiteral("b.txt"), 20}}},
                       {QStringLiteral("Mail"), 12, {{QStringLiteral("z"), 5}, {QStringLiteral("y"), 7}}}});
    openWindow();
    window->outline()->sortByColumn(OutlineModel::TimeColumn, Qt::DescendingOrder);
    desktop.addApplication(BrowserPid, QStringLiteral("Browser"));
    desktop.bringToFront(BrowserPid);
    pressCountingButton();
    scheduler.advance(1);
    QTest::keyClicks(window->searchField(), QStringLiteral("t"));
    window->searchField()->clear();
    // The editor's a.txt counts past the others before the editor is expanded.
    desktop.bringToFront(EditorPid);
    desktop.setMainWindow(EditorPid, WindowElement(9), QStringLiteral("a.txt"));
    scheduler.advance(25);
    settle();

    window->outline()->expand(rowOf(editorName()));
    window->outline()->expand(rowOf(QStringLiteral("Mail")));
    EXPECT_EQ(shownRows(), (QStringList{editorName(), QStringLiteral("  a.txt"), QStringLiteral("  c.txt"), QStringLiteral("  b.txt"),
                                        QStringLiteral("  notes.txt"), QStringLiteral("Mail"), QStringLiteral("  y"), QStringLiteral("  z"), QStringLiteral("Browser")}));
    expectOutlineMatchesStore("expanded");
}

// --- what the screen shows ------------------------------------------------------------------------

// Records what the outline last painted in each cell that reached the screen: a paint event
// repaints only its region, and a cell outside it keeps what was painted there before.
class PaintedCells : public QStyledItemDelegate
{
public:
    explicit PaintedCells(QTreeView &outline)
        : QStyledItemDelegate(&outline)
        , m_outline(outline)
    {
        outline.setItemDelegate(this);
        outline.viewport()->installEventFilter(this);
    }

    // The rows on screen, top to bottom, as "name  time".
    QStringList rows() const
    {
        QStringList rows;
        const int rowHeight = m_outline.visualRect(m_outline.model()->index(0, 0)).height();
        for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it) {
            if (it.key().second == OutlineModel::NameColumn && it.key().first < m_outline.viewport()->height() - rowHeight)
                rows.append(it.value() + QStringLiteral("  ") + m_cells.value({it.key().first, OutlineModel::TimeColumn}));
        }
        return rows;
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (m_region.intersects(option.rect))
            m_cells.insert({option.rect.top(), index.column()}, index.data().toString());
        QStyledItemDelegate::paint(painter, option, index);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_outline.viewport() && event->type() == QEvent::Paint) {
            m_region = static_cast<QPaintEvent *>(event)->region();
            // What the region covers is painted anew: a cell left without a row goes blank.
            for (auto it = m_cells.begin(); it != m_cells.end();) {
                const QRect cell(m_outline.header()->sectionViewportPosition(it.key().second), it.key().first,
                                 m_outline.header()->sectionSize(it.key().second), 1);
                it = m_region.intersects(cell) ? m_cells.erase(it) : std::next(it);
            }
        }
        return false;
    }

private:
    QTreeView &m_outline;
    QRegion m_region;
    mutable QMap<std::pair<int, int>, QString> m_cells; // (top, column) -> text
};

// The outline on screen matches the store under every sort order while Kestrum's window is
// in the background and applications it has never seen come to the front: each one appears
// in its place, and every time stands beside its own name.
TEST_F(OutlineModelTest, TheScreenShowsTheStoreWhileTheWindowIsInTheBackground)
{
    const std::pair<int, Qt::SortOrder> orders[] = {{OutlineModel::NameColumn, Qt::AscendingOrder},
                                                    {OutlineModel::NameColumn, Qt::DescendingOrder},
                                                    {OutlineModel::TimeColumn, Qt::AscendingOrder},
                                                    {OutlineModel::TimeColumn, Qt::DescendingOrder}};
    openWindow();
    QAbstractItemModelTester tester(window->outlineModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    PaintedCells screen(*window->outline());
    QWidget elsewhere; // another program's window has the focus
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    ASSERT_FALSE(window->isActiveWindow());
    pressCountingButton();

    qint64 pid = 500;
    for (const auto &[column, order] : orders) {
        window->outline()->sortByColumn(column, order);
        for (const QString &name : {QStringLiteral("zsh"), QStringLiteral("Atom"), QStringLiteral("mpv"), QStringLiteral("Blender")}) {
            ++pid;
            desktop.addApplication(pid, QStringLiteral("%1 %2").arg(name).arg(pid));
            desktop.setMainWindow(pid, WindowElement(quint64(pid)), name + QStringLiteral(".doc"));
            desktop.bringToFront(pid);
            scheduler.advance(1 + pid % 3);
            QTest::qWait(5);
        }
        ++pid;
        desktop.bringToFront(EditorPid);
        desktop.setMainWindow(EditorPid, WindowElement(quint64(pid)), QStringLiteral("draft %1.txt").arg(pid));
        scheduler.advance(2);
        expectOutlineMatchesStore("apps and windows added in the background");

        QStringList expected;
        for (QModelIndex row = window->outline()->indexAt(QPoint(1, 1)); row.isValid(); row = window->outline()->indexBelow(row))
            expected.append(row.data().toString() + QStringLiteral("  ") + row.siblingAtColumn(OutlineModel::TimeColumn).data().toString());
        QTest::qWait(20);
        EXPECT_EQ(screen.rows(), expected.mid(0, screen.rows().size())) << "sorted by column " << column << ", order " << order;
        EXPECT_GE(screen.rows().size(), std::min<qsizetype>(expected.size(), 8));
    }
}

// --- sorting --------------------------------------------------------------------------------------

class OutlineSortingTest : public MainWindowFixture
{
protected:
    void clickHeader(int column)
    {
        QHeaderView *header = window->outline()->header();
        const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, centre, QApplication::doubleClickInterval() + 50);
    }

    QStringList shownTimes() const
    {
        QStringList times;
        const QAbstractItemModel *model = window->outline()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            times.append(model->index(row, OutlineModel::TimeColumn).data().toString());
        return times;
    }
};

TEST_F(OutlineSortingTest, ByTimeComparesSecondsNotText)
{
    writeSavedTimings({{QStringLiteral("Hundred hours"), 360000, {}},
                       {QStringLiteral("Almost a hundred"), 359999, {}},
                       {QStringLiteral("An hour"), 3600, {}}});
    openWindow();

    clickHeader(OutlineModel::TimeColumn);
    const QStringList ascending{QStringLiteral("01:00:00"), QStringLiteral("99:59:59"), QStringLiteral("100:00:00")};
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    const bool wasAscending = window->outline()->header()->sortIndicatorOrder() == Qt::AscendingOrder;
    EXPECT_EQ(shownTimes(), wasAscending ? ascending : descending);

    clickHeader(OutlineModel::TimeColumn);
    EXPECT_EQ(window->outline()->header()->sortIndicatorOrder(), wasAscending ? Qt::DescendingOrder : Qt::AscendingOrder);
    EXPECT_EQ(shownTimes(), wasAscending ? descending : ascending);
}

TEST_F(OutlineSortingTest, ByNameIgnoresCaseInBothDirections)
{
    // Prefixes, punctuation and letters beyond ASCII order as Qt's case-insensitive comparison has it.
    writeSavedTimings({{QStringLiteral("beta"), 10, {}},
                       {QStringLiteral("Delta"), 20, {}},
                       {QStringLiteral("alpha"), 30, {}},
                       {QStringLiteral("Charlie"), 40, {}},
                       {QStringLiteral("Alph"), 50, {}},
                       {QStringLiteral("[x]"), 60, {}},
                       {QStringLiteral("\u00c9cran"), 70, {}},
                       {QStringLiteral("\u00e9clair"), 80, {}}});
    openWindow();
    QStringList ascending{QStringLiteral("alpha"), QStringLiteral("beta"), QStringLiteral("Charlie"), QStringLiteral("Delta"),
                          QStringLiteral("Alph"), QStringLiteral("[x]"), QStringLiteral("\u00c9cran"), QStringLiteral("\u00e9clair")};
    std::sort(ascending.begin(), ascending.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(shownApplications(), ascending);

    clickHeader(OutlineModel::NameColumn);
    ASSERT_EQ(window->outline()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(shownApplications(), descending);
}

TEST_F(OutlineSortingTest, WindowsFollowTheOrderAndACountingRowMovesWhenItOvertakes)
{
    writeSavedTimings({{editorName(), 100, {{QStringLiteral("b.txt"), 70}, {QStringLiteral("a.txt"), 30}}},
                       {terminalName(), 101, {}}});
    openWindow();
    EXPECT_EQ(shownRows(), (QStringList{editorName(), QStringLiteral("  a.txt"), QStringLiteral("  b.txt"), terminalName()}));

    window->outline()->sortByColumn(OutlineModel::TimeColumn, Qt::AscendingOrder);
    EXPECT_EQ(shownRows(), (QStringList{editorName(), QStringLiteral("  a.txt"), QStringLiteral("  b.txt"), terminalName()}));
    window->outline()->sortByColumn(OutlineModel::TimeColumn, Qt::DescendingOrder);
    EXPECT_EQ(shownRows(), (QStringList{terminalName(), editorName(), QStringLiteral("  b.txt"), QStringLiteral("  a.txt")}));

    // The editor counts past the terminal: at 102 seconds it leads.
    pressCountingButton();
    scheduler.advance(2);
    QApplication::processEvents();
    EXPECT_EQ(shownApplications(), (QStringList{editorName(), terminalName()}));
}

// --- dragging rows out --------------------------------------------------------------------------

class OutlineDragTest : public MainWindowFixture
{
protected:
    QString draggedText() const
    {
        const QModelIndexList selected = window->outline()->selectionModel()->selectedIndexes();
        std::unique_ptr<QMimeData> mime(window->outline()->model()->mimeData(selected));
        return mime ? mime->text() : QStringLiteral("<no data>");
    }
};

TEST_F(OutlineDragTest, TwoSelectedRowsGoOutAsTabSeparatedLinesInOutlineOrder)
{
    writeSavedTimings({{QStringLiteral("Other"), 30, {}}, {QStringLiteral("Name"), 60, {}}, {QStringLiteral("Unused"), 5, {}}});
    openWindow();
    EXPECT_TRUE(window->outline()->dragEnabled());
    EXPECT_TRUE(window->outline()->model()->mimeTypes().contains(QStringLiteral("text/plain")));

    clickRow(rowOf(QStringLiteral("Other")));
    clickRow(rowOf(QStringLiteral("Name")), Qt::ControlModifier);
    EXPECT_EQ(draggedText(), QStringLiteral("Name\t00:01:00\nOther\t00:00:30\n"));
}

TEST_F(OutlineDragTest, AnApplicationAndOneOfItsWindowsAreTwoLines)
{
    writeSavedTimings({{editorName(), 700, {{QStringLiteral("a.txt"), 400}, {QStringLiteral("b.txt"), 200}}},
                       {terminalName(), 120, {}}});
    openWindow();
    clickRow(rowOf(editorName(), QStringLiteral("b.txt")));
    clickRow(rowOf(editorName()), Qt::ControlModifier);
    EXPECT_EQ(draggedText(), QStringLiteral("Editor\t00:11:40\nb.txt\t00:03:20\n"));
}
