#include "CategoriesWindow.h"

#include "categories/CategoriesFile.h"
#include "categories/Classifier.h"
#include "history/HistoryCategories.h"
#include "store/DurationText.h"

#include <QAbstractItemModel>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kPathRole = Qt::UserRole + 1;     // a category row's path
constexpr int kDeclaredRole = Qt::UserRole + 2; // a category row the set names (not only implied)
constexpr int kColourRole = Qt::UserRole + 3;
constexpr int kRuleRole = Qt::UserRole + 4;     // a rule row's index in the set it was loaded from, or -1

// What a rule looks at and how it matches, in the order of CategoryRule's Field and Match,
// shown in the user's language.
struct RuleWord
{
    const char *source;
    const char *comment;
};
constexpr RuleWord kFieldNames[] = {QT_TRANSLATE_NOOP3("CategoriesWindow", "application", "a rule looks at the application"),
                                    QT_TRANSLATE_NOOP3("CategoriesWindow", "window", "a rule looks at the window title"),
                                    QT_TRANSLATE_NOOP3("CategoriesWindow", "either", "a rule looks at the application or the window title")};
constexpr RuleWord kMatchNames[] = {QT_TRANSLATE_NOOP3("CategoriesWindow", "contains", "a rule's pattern is part of the name"),
                                    QT_TRANSLATE_NOOP3("CategoriesWindow", "is", "a rule's pattern is the whole name"),
                                    QT_TRANSLATE_NOOP3("CategoriesWindow", "regex", "a rule's pattern is a regular expression")};

template<std::size_t N>
QStringList translated(const RuleWord (&words)[N])
{
    QStringList names;
    for (const RuleWord &word : words)
        names.append(QCoreApplication::translate("CategoriesWindow", word.source, word.comment));
    return names;
}

QStringList fieldNames()
{
    return translated(kFieldNames);
}

QStringList matchNames()
{
    return translated(kMatchNames);
}

QIcon swatch(const QString &colour)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::darkGray);
    painter.setBrush(QColor(colour));
    painter.drawRect(0, 0, 13, 13);
    return QIcon(pixmap);
}

// Field and match are chosen from their words; the category from the tree's paths, or typed.
class RuleDelegate : public QStyledItemDelegate
{
public:
    RuleDelegate(std::function<QStringList()> categories, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_categories(std::move(categories))
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int column = index.column();
        if (column != CategoriesWindow::FieldColumn && column != CategoriesWindow::MatchColumn && column != CategoriesWindow::CategoryColumn)
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto *box = new QComboBox(parent);
        box->addItems(column == CategoriesWindow::FieldColumn ? fieldNames() : column == CategoriesWindow::MatchColumn ? matchNames() : m_categories());
        box->setEditable(column == CategoriesWindow::CategoryColumn);
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *box = qobject_cast<QComboBox *>(editor))
            box->setCurrentText(index.data().toString());
        else
            QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *box = qobject_cast<QComboBox *>(editor))
            model->setData(index, box->currentText());
        else
            QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    std::function<QStringList()> m_categories;
};

} // namespace

CategoriesWindow::CategoriesWindow(CategoriesFile &file, QString historyPath, HistoryHandlers handlers, QWidget *parent)
    : QDialog(parent)
    , m_file(file)
    , m_historyPath(std::move(historyPath))
    , m_handlers(std::move(handlers))
{
    setWindowTitle(tr("Categories"));

    m_categories = new QTreeWidget(this);
    m_categories->setHeaderLabels({tr("Category")});
    m_categories->setAccessibleName(tr("Categories"));
    auto *addCategoryButton = new QPushButton(tr("Add Category…"), this);
    auto *removeCategoryButton = new QPushButton(tr("Remove Category"), this);
    auto *colourButton = new QPushButton(tr("Colour…"), this);
    auto *categoryButtons = new QHBoxLayout;
    categoryButtons->addWidget(addCategoryButton);
    categoryButtons->addWidget(removeCategoryButton);
    categoryButtons->addWidget(colourButton);
    categoryButtons->addStretch(1);
    auto *categoriesBox = new QGroupBox(tr("Categories"), this);
    auto *categoriesLayout = new QVBoxLayout(categoriesBox);
    categoriesLayout->addWidget(m_categories);
    categoriesLayout->addLayout(categoryButtons);

    m_rules = new QTreeWidget(this);
    m_rules->setRootIsDecorated(false);
    m_rules->setHeaderLabels({tr("Category"), tr("Field"), tr("Match"), tr("Pattern"), tr("Case"), tr("Last 7 days"), tr("Problem")});
    m_rules->header()->setStretchLastSection(false);
    for (const int column : {CategoryColumn, FieldColumn, MatchColumn, CaseColumn, ClaimsColumn})
        m_rules->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    m_rules->header()->setSectionResizeMode(PatternColumn, QHeaderView::Stretch);
    m_rules->header()->resizeSection(ProblemColumn, 150);
    m_rules->setDragDropMode(QAbstractItemView::InternalMove);
    m_rules->setSelectionMode(QAbstractItemView::SingleSelection);
    m_rules->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_rules->setItemDelegate(new RuleDelegate([this] {
        QStringList paths;
        for (const CategoryPath &path : editedSet().allPaths())
            paths.append(categoryPathText(path));
        paths.append(Classifier::kIdle);
        return paths;
    }, m_rules));
    m_rules->setAccessibleName(tr("Rules, the first that matches decides"));
    auto *addRuleButton = new QPushButton(tr("Add Rule"), this);
    auto *removeRuleButton = new QPushButton(tr("Remove Rule"), this);
    auto *upButton = new QPushButton(tr("Move Up"), this);
    auto *downButton = new QPushButton(tr("Move Down"), this);
    upButton->setToolTip(tr("Ctrl+Up"));
    downButton->setToolTip(tr("Ctrl+Down"));
    auto *ruleButtons = new QHBoxLayout;
    for (QPushButton *button : {addRuleButton, removeRuleButton, upButton, downButton})
        ruleButtons->addWidget(button);
    ruleButtons->addStretch(1);
    m_tryApplication = new QLineEdit(this);
    m_tryApplication->setPlaceholderText(tr("Application"));
    m_tryApplication->setAccessibleName(tr("Try an application"));
    m_tryWindow = new QLineEdit(this);
    m_tryWindow->setPlaceholderText(tr("Window or document"));
    m_tryWindow->setAccessibleName(tr("Try a window"));
    m_tryResult = new QLabel(this);
    m_tryResult->setWordWrap(true);
    auto *tryLine = new QHBoxLayout;
    tryLine->addWidget(new QLabel(tr("Try it:"), this));
    tryLine->addWidget(m_tryApplication);
    tryLine->addWidget(m_tryWindow);
    auto *rulesBox = new QGroupBox(tr("Rules (the first that matches decides)"), this);
    auto *rulesLayout = new QVBoxLayout(rulesBox);
    rulesLayout->addWidget(m_rules);
    rulesLayout->addLayout(ruleButtons);
    rulesLayout->addLayout(tryLine);
    rulesLayout->addWidget(m_tryResult);

    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Close, this);
    QPushButton *importButton = buttons->addButton(tr("Import…"), QDialogButtonBox::ActionRole);
    QPushButton *exportButton = buttons->addButton(tr("Export…"), QDialogButtonBox::ActionRole);
    QPushButton *defaultsButton = buttons->addButton(tr("Remove Default Set"), QDialogButtonBox::ActionRole);

    auto *layout = new QVBoxLayout(this);
    auto *columns = new QHBoxLayout;
    columns->addWidget(categoriesBox, 1);
    columns->addWidget(rulesBox, 4);
    layout->addLayout(columns, 1);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(1060, 560);

    m_claimsLater.setSingleShot(true);
    m_claimsLater.setInterval(300);
    connect(&m_claimsLater, &QTimer::timeout, this, &CategoriesWindow::updateClaims);
    connect(addCategoryButton, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QString text = QInputDialog::getText(this, tr("Add Category"), tr("Path (for example \"Work ▸ Kestrum\" or Work/Kestrum):"),
                                                   QLineEdit::Normal, QString(), &ok);
        if (ok && !categoryPathFromText(text).isEmpty())
            addCategory(categoryPathFromText(text));
    });
    connect(removeCategoryButton, &QPushButton::clicked, this, [this] {
        if (QTreeWidgetItem *item = m_categories->currentItem()) {
            delete item;
            recheck();
        }
    });
    connect(colourButton, &QPushButton::clicked, this, [this] {
        if (QTreeWidgetItem *item = m_categories->currentItem())
            chooseColour(item);
    });
    connect(m_categories, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) { chooseColour(item); });
    connect(addRuleButton, &QPushButton::clicked, this, [this] {
        CategoryRule rule;
        const QList<CategoryPath> paths = editedSet().allPaths();
        rule.category = paths.isEmpty() ? CategoryPath{tr("New Category")} : paths.constFirst();
        QTreeWidgetItem *item = ruleItem(rule);
        m_rules->addTopLevelItem(item);
        m_rules->setCurrentItem(item);
        m_rules->editItem(item, PatternColumn);
        recheck();
    });
    connect(removeRuleButton, &QPushButton::clicked, this, [this] {
        delete m_rules->currentItem();
        recheck();
    });
    const auto move = [this](int step) {
        const int row = m_rules->indexOfTopLevelItem(m_rules->currentItem());
        if (row >= 0)
            moveRule(row, row + step);
    };
    connect(upButton, &QPushButton::clicked, this, [move] { move(-1); });
    connect(downButton, &QPushButton::clicked, this, [move] { move(1); });
    for (const auto &[keys, step] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Up), -1}, std::pair{QKeySequence(Qt::CTRL | Qt::Key_Down), 1}}) {
        auto *shortcut = new QShortcut(keys, m_rules, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [move, step = step] { move(step); });
    }
    connect(m_rules, &QTreeWidget::itemChanged, this, [this] {
        if (!m_loading)
            recheck();
    });
    // A drop moves rows.
    connect(m_rules->model(), &QAbstractItemModel::rowsInserted, this, [this] {
        if (!m_loading)
            QTimer::singleShot(0, this, &CategoriesWindow::recheck);
    });
    connect(m_tryApplication, &QLineEdit::textChanged, this, &CategoriesWindow::updateTryIt);
    connect(m_tryWindow, &QLineEdit::textChanged, this, &CategoriesWindow::updateTryIt);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        QString error;
        if (!save(&error))
            QMessageBox::warning(this, tr("Categories"), tr("The categories could not be saved: %1").arg(error));
    });
    connect(importButton, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, tr("Import Categories"), QString(), tr("Categories (*.json)"));
        QString error;
        if (!path.isEmpty() && !importFile(path, &error))
            QMessageBox::warning(this, tr("Import"), tr("%1 could not be imported: %2").arg(path, error));
    });
    connect(exportButton, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, tr("Export Categories"), QStringLiteral("categories.json"), tr("Categories (*.json)"));
        QString error;
        if (!path.isEmpty() && !exportFile(path, &error))
            QMessageBox::warning(this, tr("Export"), tr("The categories could not be exported: %1").arg(error));
    });
    connect(defaultsButton, &QPushButton::clicked, this, &CategoriesWindow::removeDefaults);

    // A change on disk (an edit by hand, a synced copy) is shown unless it would undo edits here.
    connect(&m_file, &CategoriesFile::changed, this, [this] {
        if (m_saving)
            return;
        // The tree lists categories in its own order: the order they came in is no edit.
        const auto byPath = [](CategorySet set) {
            std::sort(set.categories.begin(), set.categories.end(), [](const Category &a, const Category &b) { return a.path < b.path; });
            return set;
        };
        const bool edited = !(byPath(editedSet()) == byPath(m_loaded));
        if (!edited)
            load(m_file.set());
        else
            m_status->setText(tr("%1 changed on disk; Save replaces it with what is shown here.").arg(m_file.path()));
    });
    load(m_file.set());
}

void CategoriesWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_claimsLater.start();
}

void CategoriesWindow::load(const CategorySet &set)
{
    m_loading = true;
    m_loaded = set;
    m_categories->clear();
    m_rules->clear();
    for (const Category &category : set.categories)
        addCategoryItem(category);
    for (qsizetype i = 0; i < set.rules.size(); ++i) {
        QTreeWidgetItem *item = ruleItem(set.rules.at(i));
        item->setData(0, kRuleRole, int(i));
        m_rules->addTopLevelItem(item);
    }
    m_categories->expandAll();
    m_loading = false;
    recheck();
    if (!m_file.problems().isEmpty())
        m_status->setText(m_file.problems().join(u'\n'));
}

void CategoriesWindow::addCategoryItem(const Category &category)
{
    // Its parents as rows of their own, implied until they are named.
    QTreeWidgetItem *parent = nullptr;
    for (qsizetype depth = 1; depth <= category.path.size(); ++depth) {
        const CategoryPath path = category.path.mid(0, depth);
        QTreeWidgetItem *found = nullptr;
        const int count = parent ? parent->childCount() : m_categories->topLevelItemCount();
        for (int i = 0; i < count && !found; ++i) {
            QTreeWidgetItem *child = parent ? parent->child(i) : m_categories->topLevelItem(i);
            if (child->data(0, kPathRole).toStringList() == path)
                found = child;
        }
        if (!found) {
            found = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_categories);
            found->setText(0, path.constLast());
            found->setData(0, kPathRole, path);
        }
        parent = found;
    }
    parent->setData(0, kDeclaredRole, true);
    parent->setData(0, kColourRole, category.colour);
    parent->setIcon(0, swatch(category.colour.isEmpty() ? editedSet().colour(category.path) : category.colour));
    parent->setToolTip(0, categoryPathText(category.path));
    parent->setData(0, Qt::AccessibleTextRole, tr("%1, colour %2").arg(categoryPathText(category.path), category.colour.isEmpty() ? tr("chosen by Kestrum") : category.colour));
}

void CategoriesWindow::addCategory(const CategoryPath &path, const QString &colour)
{
    addCategoryItem({path, colour, {}, 0});
    m_categories->expandAll();
    recheck();
}

QTreeWidgetItem *CategoriesWindow::ruleItem(const CategoryRule &rule)
{
    auto *item = new QTreeWidgetItem;
    item->setData(0, kRuleRole, -1);
    if (rule.unusable) {
        // Not a rule at all: shown as it is, kept as it is.
        item->setText(CategoryColumn, tr("(not a rule)"));
        item->setText(PatternColumn, QString::fromUtf8(QJsonDocument(QJsonArray{*rule.unusable}).toJson(QJsonDocument::Compact)).chopped(1).mid(1));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
        return item;
    }
    item->setText(CategoryColumn, categoryPathText(rule.category));
    item->setText(FieldColumn, fieldNames().value(int(rule.field)));
    item->setText(MatchColumn, matchNames().value(int(rule.match)));
    item->setText(PatternColumn, rule.pattern);
    item->setCheckState(CaseColumn, rule.caseSensitive ? Qt::Checked : Qt::Unchecked);
    item->setData(CaseColumn, Qt::AccessibleTextRole, tr("case-sensitive"));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled | Qt::ItemIsUserCheckable);
    return item;
}

CategoryRule CategoriesWindow::ruleOf(const QTreeWidgetItem *item) const
{
    const int loaded = item->data(0, kRuleRole).toInt();
    CategoryRule rule = loaded >= 0 && loaded < m_loaded.rules.size() ? m_loaded.rules.at(loaded) : CategoryRule();
    if (rule.unusable)
        return rule;
    rule.category = categoryPathFromText(item->text(CategoryColumn));
    rule.field = CategoryRule::Field(std::max<qsizetype>(0, fieldNames().indexOf(item->text(FieldColumn))));
    rule.match = CategoryRule::Match(std::max<qsizetype>(0, matchNames().indexOf(item->text(MatchColumn))));
    rule.pattern = item->text(PatternColumn);
    rule.caseSensitive = item->checkState(CaseColumn) == Qt::Checked;
    rule.problem.clear();
    return rule;
}

CategorySet CategoriesWindow::editedSet() const
{
    CategorySet set;
    set.version = m_loaded.version;
    set.unknown = m_loaded.unknown;
    const std::function<void(const QTreeWidgetItem *)> collect = [&](const QTreeWidgetItem *item) {
        if (item->data(0, kDeclaredRole).toBool()) {
            const CategoryPath path = item->data(0, kPathRole).toStringList();
            const Category *before = m_loaded.category(path);
            set.categories.append({path, item->data(0, kColourRole).toString(), before && before->path == path ? before->unknown : QJsonObject(), 0});
        }
        for (int i = 0; i < item->childCount(); ++i)
            collect(item->child(i));
    };
    for (int i = 0; i < m_categories->topLevelItemCount(); ++i)
        collect(m_categories->topLevelItem(i));
    for (int i = 0; i < m_rules->topLevelItemCount(); ++i)
        set.rules.append(ruleOf(m_rules->topLevelItem(i)));
    return set;
}

void CategoriesWindow::setEditedSet(const CategorySet &set)
{
    load(set);
}

void CategoriesWindow::addRule(const CategoryRule &rule)
{
    CategoryRule made = rule;
    if (made.category.isEmpty()) {
        const QList<CategoryPath> paths = editedSet().allPaths();
        made.category = paths.isEmpty() ? CategoryPath{tr("New Category")} : paths.constFirst();
    }
    QTreeWidgetItem *item = ruleItem(made);
    m_rules->insertTopLevelItem(0, item);
    m_rules->setCurrentItem(item, CategoryColumn);
    recheck();
}

void CategoriesWindow::removeDefaults()
{
    CategorySet set = editedSet();
    set.removeDefaults();
    // Rows keep their link to the loaded rules only by index: load the result as a whole.
    load(set);
}

void CategoriesWindow::moveRule(int from, int to)
{
    if (from < 0 || from >= m_rules->topLevelItemCount() || to < 0 || to >= m_rules->topLevelItemCount() || from == to)
        return;
    m_loading = true;
    QTreeWidgetItem *item = m_rules->takeTopLevelItem(from);
    m_rules->insertTopLevelItem(to, item);
    m_rules->setCurrentItem(item);
    m_loading = false;
    recheck();
}

void CategoriesWindow::recheck()
{
    CategorySet set = editedSet();
    set.checkRules();
    const QColor trouble = QColor(255, 220, 220);
    m_loading = true;
    for (int i = 0; i < m_rules->topLevelItemCount() && i < set.rules.size(); ++i) {
        QTreeWidgetItem *item = m_rules->topLevelItem(i);
        const QString &problem = set.rules.at(i).problem;
        item->setText(ProblemColumn, problem);
        item->setToolTip(ProblemColumn, problem);
        for (int column = 0; column < m_rules->columnCount(); ++column)
            item->setBackground(column, problem.isEmpty() ? QBrush() : QBrush(trouble));
    }
    m_loading = false;
    updateTryIt();
    m_claimsLater.start();
}

void CategoriesWindow::updateClaims()
{
    const CategorySet set = editedSet();
    m_claims = QList<double>(set.rules.size(), 0.0);
    if (m_handlers.beforeReading)
        m_handlers.beforeReading();
    QString error;
    const std::unique_ptr<HistoryDatabase> database = HistoryDatabase::openToRead(m_historyPath, &error);
    std::optional<QList<HistoryCategories::Share>> shares;
    Classifier classifier(set);
    if (database) {
        const auto [from, to] = HistoryDatabase::localDays(QDate::currentDate().addDays(-6), QDate::currentDate());
        shares = HistoryCategories::shares(*database, classifier, from, to, &error);
    }
    if (classifier.hitLimits()) {
        m_status->setText(tr("A regular expression ran into the engine's limits on a name of the last seven days: there it counts "
                             "as no match. The log names the rule."));
    }
    for (const HistoryCategories::Share &share : shares.value_or(QList<HistoryCategories::Share>())) {
        if (share.classification.source == Classification::Source::Rule && share.classification.rule < m_claims.size())
            m_claims[share.classification.rule] += share.seconds;
    }
    m_loading = true;
    for (int i = 0; i < m_rules->topLevelItemCount() && i < m_claims.size(); ++i) {
        QTreeWidgetItem *item = m_rules->topLevelItem(i);
        item->setText(ClaimsColumn, shares ? timeStringForDouble(m_claims.at(i)) : QString());
        item->setToolTip(ClaimsColumn, shares ? tr("The time of the last seven days this rule decides") : error);
    }
    m_loading = false;
}

QString CategoriesWindow::tryIt(const QString &application, const QString &window) const
{
    Classifier classifier(editedSet());
    const Classification classification = classifier.classify(application, window.isEmpty() ? std::nullopt : std::optional(window));
    if (classifier.hitLimits()) {
        return tr("%1 → %2 (a regular expression ran into the engine's limits on this name and counts as no match)")
            .arg(classification.shownExplanation(), categoryPathText(classification.category));
    }
    return tr("%1 → %2").arg(classification.shownExplanation(), categoryPathText(classification.category));
}

void CategoriesWindow::updateTryIt()
{
    if (m_tryApplication->text().isEmpty() && m_tryWindow->text().isEmpty())
        m_tryResult->clear();
    else
        m_tryResult->setText(tryIt(m_tryApplication->text(), m_tryWindow->text()));
}

void CategoriesWindow::chooseColour(QTreeWidgetItem *item)
{
    const CategoryPath path = item->data(0, kPathRole).toStringList();
    const QColor chosen = QColorDialog::getColor(QColor(editedSet().colour(path)), this, tr("Colour of %1").arg(categoryPathText(path)));
    if (!chosen.isValid())
        return;
    item->setData(0, kDeclaredRole, true);
    item->setData(0, kColourRole, chosen.name());
    item->setIcon(0, swatch(chosen.name()));
    recheck();
}

bool CategoriesWindow::save(QString *error)
{
    const CategorySet set = editedSet();
    m_saving = true;
    const bool saved = m_file.save(set, error);
    m_saving = false;
    if (!saved)
        return false;
    load(m_file.set());
    m_status->setText(m_file.problems().isEmpty() ? tr("Saved in %1.").arg(m_file.path()) : m_file.problems().join(u'\n'));
    return true;
}

bool CategoriesWindow::importFile(const QString &path, QString *error)
{
    QStringList problems;
    error->clear();
    const CategorySet set = CategoriesFile::readFile(path, &problems, error);
    if (!error->isEmpty())
        return false;
    load(set);
    m_status->setText(problems.isEmpty() ? tr("Imported %1; Save keeps it.").arg(path) : problems.join(u'\n'));
    return true;
}

bool CategoriesWindow::exportFile(const QString &path, QString *error) const
{
    return CategoriesFile::writeFile(path, editedSet(), error);
}
