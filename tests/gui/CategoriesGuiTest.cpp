// The History window by category and the categories editor, over a real history file and a
// real categories file: the tree, the timeline's colours and explanations, an assignment that
// outlives a rule added later, the timesheet, and the editor's checks, claims and saving.

#include "categories/CategoriesFile.h"
#include "shell/gui/CategoriesWindow.h"
#include "shell/gui/HistoryWindow.h"
#include "tracking/MemorySettings.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

// Today's morning, so that the editor's last seven days hold it.
const QDate kToday = QDate::currentDate();

Stretch stretch(quint64 id, QTime start, int seconds, const QString &application, const std::optional<QString> &window = {})
{
    const QDateTime begin = QDateTime(kToday, start).toUTC();
    return {id, false, begin, begin.addSecs(seconds), double(seconds), application, window};
}

CategoryRule rule(const QString &category, CategoryRule::Field field, CategoryRule::Match match, const QString &pattern)
{
    return CategoryRule::of(categoryPathFromText(category), field, match, pattern);
}

// The rows of a tree, depth-first, indented by level: "Work 00:30:00", "  Writing 00:30:00".
QStringList rowsOf(const QTreeWidget *tree)
{
    QStringList rows;
    const std::function<void(const QTreeWidgetItem *, int)> walk = [&](const QTreeWidgetItem *item, int level) {
        rows.append(QString(2 * level, u' ') + item->text(0) + u' ' + item->text(1));
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), level + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), 0);
    return rows;
}

} // namespace

class CategoriesGuiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        historyPath = directory.filePath(QStringLiteral("history.sqlite3"));
        QString error;
        auto database = HistoryDatabase::open(historyPath, nullptr, &error);
        ASSERT_NE(database, nullptr) << error.toStdString();
        QList<HistoryOperation> operations;
        for (const Stretch &s : {stretch(1, QTime(9, 0), 1200, QStringLiteral("Editor"), QStringLiteral("notes.txt")),
                                 stretch(2, QTime(9, 20), 600, QStringLiteral("Editor"), QStringLiteral("kestrum.cpp")),
                                 stretch(3, QTime(9, 30), 600, QStringLiteral("Idle")),
                                 stretch(4, QTime(9, 40), 900, QStringLiteral("Browser"), QStringLiteral("Standup call"))})
            operations.append({HistoryOperation::Kind::Write, s, {}, 0.0, {}, {}});
        ASSERT_TRUE(database->apply(operations, &error)) << error.toStdString();
        CategorySet set;
        set.categories = {{{QStringLiteral("Work"), QStringLiteral("Writing")}, QStringLiteral("#3d7edb"), {}, 0},
                          {{QStringLiteral("Work"), QStringLiteral("Kestrum")}, QStringLiteral("#2e9e6a"), {}, 0}};
        set.rules = {rule(QStringLiteral("Work/Kestrum"), CategoryRule::Field::Window, CategoryRule::Match::Contains, QStringLiteral("kestrum")),
                     rule(QStringLiteral("Work/Writing"), CategoryRule::Field::Application, CategoryRule::Match::Is, QStringLiteral("editor"))};
        ASSERT_TRUE(CategoriesFile::writeFile(categoriesPath(), set, &error)) << error.toStdString();
        categories = std::make_unique<CategoriesFile>(categoriesPath());
    }

    QString categoriesPath() const { return directory.filePath(QStringLiteral("categories.json")); }

    QTemporaryDir directory;
    QString historyPath;
    MemorySettings settings;
    std::unique_ptr<CategoriesFile> categories;
};

TEST_F(CategoriesGuiTest, TheHistoryByCategoryShowsTheTreeExplainsEachStretchAndKeepsAnAssignmentAboveNewRules)
{
    HistoryWindow window(historyPath, settings, {});
    window.setCategories(categories.get());
    window.setView(HistoryWindow::View::ByCategory);
    window.showRange(HistoryWindow::Range::Day, kToday);
    const QStringList rows = rowsOf(window.bars());
    ASSERT_GE(rows.size(), 4);
    EXPECT_EQ(rows.at(0), QStringLiteral("Work 00:30:00"));
    EXPECT_TRUE(rows.contains(QStringLiteral("  Kestrum 00:10:00")) && rows.contains(QStringLiteral("Uncategorized 00:15:00"))) << rows.join(u'\n').toStdString();
    EXPECT_EQ(window.totalLabel()->text(), QStringLiteral("Total: 00:45:00 · Idle: 00:10:00"));
    EXPECT_TRUE(window.legendLabel()->text().contains(QStringLiteral("Work \u25B8 Kestrum"))) << window.legendLabel()->text().toStdString();
    window.timeline()->resize(2400, 48);
    const QString hover = window.timeline()->toolTipAt(2400 * (9 * 60 + 25) / (24 * 60));
    EXPECT_TRUE(hover.contains(QStringLiteral("Work \u25B8 Kestrum (rule 1: window contains \"kestrum\")"))) << hover.toStdString();

    // "Make a Rule…" on Uncategorized's browser hands the editor a rule for it.
    std::optional<CategoryRule> made;
    window.setRuleMaker([&made](const CategoryRule &rule) { made = rule; });
    const QTreeWidgetItem *browser = window.bars()->findItems(QStringLiteral("Browser"), Qt::MatchExactly | Qt::MatchRecursive).value(0);
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(window.rowActions(browser).contains(QStringLiteral("Make a Rule…")));
    window.runRowAction(browser, QStringLiteral("Make a Rule…"));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->pattern, QStringLiteral("Browser"));

    // The stand-up was a meeting: the browser's stretch is assigned, then a rule puts the browser
    // in "Web" on every day, and the assignment still decides that stretch.
    window.setCategoryChooser([](const QString &) { return std::optional(CategoryPath{QStringLiteral("Meetings")}); });
    window.timeline()->selectPiece(3);
    ASSERT_EQ(window.selectionActions(), QStringList({QStringLiteral("Assign to Category…"), QStringLiteral("Rename as…"),
                                                      QStringLiteral("Always Put \"Browser\" in…"),
                                                      QStringLiteral("Always Put Window \"Standup call\" in…"), QStringLiteral("Forget…")}));
    window.runSelectionAction(QStringLiteral("Assign to Category…"));
    EXPECT_TRUE(window.bars()->findItems(QStringLiteral("Meetings"), Qt::MatchExactly).size() == 1) << rowsOf(window.bars()).join(u'\n').toStdString();
    window.setCategoryChooser([](const QString &) { return std::optional(CategoryPath{QStringLiteral("Web")}); });
    window.runRowAction(window.bars()->findItems(QStringLiteral("Browser"), Qt::MatchExactly | Qt::MatchRecursive).value(0),
                        QStringLiteral("Always Put \"Browser\" in…"));
    EXPECT_EQ(categories->set().rules.constFirst().pattern, QStringLiteral("Browser")) << "the rule goes first, into the file";
    EXPECT_TRUE(rowsOf(window.bars()).contains(QStringLiteral("Meetings 00:15:00"))) << rowsOf(window.bars()).join(u'\n').toStdString();
    EXPECT_TRUE(window.bars()->findItems(QStringLiteral("Web"), Qt::MatchExactly).isEmpty());

    const QString sheet = directory.filePath(QStringLiteral("sheet.csv"));
    QString error;
    ASSERT_TRUE(window.exportTimesheet(sheet, &error)) << error.toStdString();
    QFile file(sheet);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString day = kToday.toString(Qt::ISODate);
    EXPECT_EQ(QString::fromUtf8(file.readAll()),
              QStringLiteral("category,%1,total\nWork,1800.000,1800.000\nWork \u25B8 Writing,1200.000,1200.000\nWork \u25B8 Kestrum,600.000,600.000\n"
                             "Meetings,900.000,900.000\nIdle,600.000,600.000\nTotal,3300.000,3300.000\n").arg(day));
}

TEST_F(CategoriesGuiTest, TheEditorMarksWhatCannotBeUsedSaysWhatEachRuleClaimsAndSavesTheOrder)
{
    CategoriesWindow editor(*categories, historyPath, {});
    editor.addRule(rule(QStringLiteral("Work/Writing"), CategoryRule::Field::Window, CategoryRule::Match::Regex, QStringLiteral("(notes")));
    const QTreeWidgetItem *broken = editor.rulesView()->topLevelItem(0);
    EXPECT_TRUE(broken->text(CategoriesWindow::ProblemColumn).contains(QStringLiteral("missing closing parenthesis")))
        << broken->text(CategoriesWindow::ProblemColumn).toStdString();
    EXPECT_EQ(editor.tryIt(QStringLiteral("Editor"), QStringLiteral("kestrum.cpp")),
              QStringLiteral("rule 2: window contains \"kestrum\" \u2192 Work \u25B8 Kestrum"));

    // Mended, and moved below the others with the keyboard's order: it claims nothing then, as
    // the editor rule before it takes the notes.
    editor.rulesView()->topLevelItem(0)->setText(CategoriesWindow::PatternColumn, QStringLiteral("notes|plan"));
    EXPECT_TRUE(editor.rulesView()->topLevelItem(0)->text(CategoriesWindow::ProblemColumn).isEmpty());
    editor.moveRule(0, 2);
    editor.show(); // the claims are read once the edits settle
    QElapsedTimer waited;
    waited.start();
    while (editor.claims().size() != 3 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_EQ(editor.claims().size(), 3);
    EXPECT_EQ(editor.claims(), QList<double>({600.0, 1200.0, 0.0}));

    editor.removeDefaults(); // nothing of the default set here: nothing goes
    QString error;
    ASSERT_TRUE(editor.save(&error)) << error.toStdString();
    const CategorySet saved = CategoriesFile::readFile(categoriesPath(), nullptr, &error);
    ASSERT_EQ(saved.rules.size(), 3);
    EXPECT_EQ(saved.rules.at(2).pattern, QStringLiteral("notes|plan"));
    EXPECT_EQ(categories->set(), saved);
}

TEST_F(CategoriesGuiTest, TheTimelineSelectsByMouseAndKeyboardAndForgetsWhatItSelected)
{
    HistoryWindow window(historyPath, settings, {});
    window.setCategories(categories.get());
    window.setConfirmation([](const QString &) { return true; });
    window.showRange(HistoryWindow::Range::Day, kToday);
    TimelineStrip *timeline = window.timeline();
    timeline->setZoomed(true); // 09:00 to 10:00
    EXPECT_EQ(timeline->viewStart(), QDateTime(kToday, QTime(9, 0)));
    EXPECT_EQ(timeline->viewEnd(), QDateTime(kToday, QTime(10, 0)));
    timeline->resize(600, 48); // ten pixels a minute
    const auto x = [](int minute) { return QPoint(minute * 10, 30); };

    // A drag from 09:05 to 09:25 selects that range; a click on the browser selects its stretch.
    QTest::mousePress(timeline, Qt::LeftButton, {}, x(5));
    QTest::mouseMove(timeline, x(25));
    QTest::mouseRelease(timeline, Qt::LeftButton, {}, x(25));
    ASSERT_TRUE(timeline->selection());
    EXPECT_EQ(timeline->selection()->from, QDateTime(kToday, QTime(9, 5)));
    EXPECT_EQ(timeline->selection()->to, QDateTime(kToday, QTime(9, 25)));
    EXPECT_EQ(timeline->selectedPiece(), -1);
    QTest::mouseClick(timeline, Qt::LeftButton, {}, x(45));
    EXPECT_EQ(timeline->selectedPiece(), 3);

    // The keyboard steps back to the editor's stretch, and Enter asks what to do with it.
    int asked = 0;
    QObject::disconnect(timeline, &TimelineStrip::actionsRequested, &window, nullptr); // its menu would wait for a click
    QObject::connect(timeline, &TimelineStrip::actionsRequested, [&asked] { ++asked; });
    QTest::keyClick(timeline, Qt::Key_Left);
    QTest::keyClick(timeline, Qt::Key_Left);
    EXPECT_EQ(timeline->selectedPiece(), 1);
    QTest::keyClick(timeline, Qt::Key_Return);
    EXPECT_EQ(asked, 1);

    // Forgetting the selection forgets that stretch and no other.
    window.runSelectionAction(QStringLiteral("Forget…"));
    EXPECT_EQ(window.timeline()->stretchCount(), 3);
    EXPECT_TRUE(window.bars()->findItems(QStringLiteral("Kestrum"), Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
    QTest::keyClick(window.timeline(), Qt::Key_Escape);
    EXPECT_FALSE(window.timeline()->selection());
}

TEST_F(CategoriesGuiTest, TheEditorImportsExportsAndRemovesTheDefaultSetKeepingWhatItCannotShow)
{
    // A file with the default set, a category of the user's and a rule of a later version.
    CategorySet set = CategorySet::defaults();
    set.categories.append({{QStringLiteral("Clients"), QStringLiteral("Acme")}, QStringLiteral("#123456"), {}, 0});
    QString error;
    ASSERT_TRUE(CategoriesFile::writeFile(categoriesPath(), set, &error)) << error.toStdString();
    QByteArray text;
    {
        QFile file(categoriesPath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        text = file.readAll();
    }
    text.replace("\"rules\": [", "\"rules\": [\n   {\"category\":[\"Clients\",\"Acme\"],\"field\":\"title\",\"match\":\"is\",\"pattern\":\"acme\"},");
    const QString imported = directory.filePath(QStringLiteral("shared.json"));
    {
        QFile file(imported);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    CategoriesWindow editor(*categories, historyPath, {});
    ASSERT_TRUE(editor.importFile(imported, &error)) << error.toStdString();
    EXPECT_EQ(editor.editedSet().rules.size(), CategorySet::defaults().rules.size() + 1);
    EXPECT_TRUE(editor.rulesView()->topLevelItem(0)->text(CategoriesWindow::ProblemColumn).contains(QStringLiteral("\"field\"")));

    editor.removeDefaults();
    EXPECT_EQ(editor.editedSet().categories.size(), 1);
    EXPECT_EQ(editor.editedSet().rules.size(), 1) << "the rule it cannot show stays, as it was";
    const QString exported = directory.filePath(QStringLiteral("exported.json"));
    ASSERT_TRUE(editor.exportFile(exported, &error)) << error.toStdString();
    QStringList problems;
    const CategorySet back = CategoriesFile::readFile(exported, &problems, &error);
    EXPECT_EQ(back.categories.size(), 1);
    ASSERT_EQ(back.rules.size(), 1);
    ASSERT_TRUE(back.rules.constFirst().unusable);
    EXPECT_TRUE(back.rules.constFirst().unusable->toObject().value(QStringLiteral("field")) == QStringLiteral("title"));
}

TEST_F(CategoriesGuiTest, TheEditorFollowsTheFileOnDiskUnlessThatWouldUndoItsEdits)
{
    CategoriesWindow editor(*categories, historyPath, {});
    CategorySet synced = categories->set();
    synced.rules.removeLast();
    QString error;
    ASSERT_TRUE(categories->save(synced, &error)) << error.toStdString(); // as a synced copy would arrive
    EXPECT_EQ(editor.editedSet().rules.size(), 1);

    editor.addRule(CategoryRule::of({QStringLiteral("Work")}, CategoryRule::Field::Window, CategoryRule::Match::Is, QStringLiteral("plan")));
    synced.rules.clear();
    ASSERT_TRUE(categories->save(synced, &error)) << error.toStdString();
    EXPECT_EQ(editor.editedSet().rules.size(), 2) << "an edit in the editor is not undone";
    EXPECT_TRUE(editor.statusLabel()->text().contains(QStringLiteral("changed on disk"))) << editor.statusLabel()->text().toStdString();
}
