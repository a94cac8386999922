#include "MainWindow.h"

#include "AwayNotifier.h"
#include "AwayQuestionWindow.h"
#include "CategoriesWindow.h"
#include "HistoryWindow.h"
#include "categories/CategoriesFile.h"
#include "PrefWindow.h"
#include "StatusLine.h"
#include "SumOfTimesLabel.h"
#include "persistence/CsvExport.h"
#include "persistence/SavedState.h"
#include "sync/SharedCategories.h"
#include "shell/KestrumController.h"
#include "shell/OutlineModel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

const QString kGeometryKey = QStringLiteral("mainWindowGeometry");

QString withExtension(QString path, const QString &extension)
{
    if (!path.isEmpty() && QFileInfo(path).suffix().compare(extension, Qt::CaseInsensitive) != 0)
        path += u'.' + extension;
    return path;
}

} // namespace

MainWindow::MainWindow(KestrumController &controller, QWidget *parent)
    : QMainWindow(parent)
    , m_controller(controller)
    , m_ask([this](const QString &question, const QString &detail, const QStringList &answers) {
        QMessageBox box(QMessageBox::Question, tr("Kestrum"), question, QMessageBox::NoButton, this);
        box.setInformativeText(detail);
        QList<QAbstractButton *> buttons;
        for (const QString &answer : answers)
            buttons.append(box.addButton(answer, buttons.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
        box.addButton(QMessageBox::Cancel);
        box.exec();
        return int(buttons.indexOf(box.clickedButton()));
    })
{
    setWindowTitle(QStringLiteral("Kestrum"));
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    auto *controls = new QHBoxLayout;
    m_countingButton = new QPushButton(countingText(m_controller), central);
    m_countingButton->setToolTip(tr("Start or pause counting (Ctrl+Return)"));
    m_countingButton->setMinimumWidth(90);
    m_searchField = new QLineEdit(central);
    m_searchField->setPlaceholderText(tr("Search applications"));
    m_searchField->setClearButtonEnabled(true);
    m_searchField->setAccessibleName(tr("Search applications"));
    m_cutoffSlider = new QSlider(Qt::Horizontal, central);
    m_cutoffSlider->setRange(0, 0);
    m_cutoffSlider->setSingleStep(1);
    m_cutoffSlider->setPageStep(15);
    m_cutoffSlider->setToolTip(tr("Show only applications with at least this much time"));
    m_cutoffSlider->setAccessibleName(tr("Least time shown"));
    m_cutoffSlider->setAccessibleDescription(tr("Show only applications with at least this much time"));
    m_cutoffDisplay = new QLabel(TimeTracker::timeStringForDouble(0), central);
    m_cutoffDisplay->setMinimumWidth(m_cutoffDisplay->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00 ")));
    controls->addWidget(m_countingButton);
    controls->addWidget(m_searchField, 2);
    controls->addWidget(new QLabel(tr("At least"), central));
    controls->addWidget(m_cutoffSlider, 1);
    controls->addWidget(m_cutoffDisplay);
    layout->addLayout(controls);

    m_model = new OutlineModel(m_controller.tracker(), this);
    m_outline = new QTreeView(central);
    m_outline->setModel(m_model);
    m_outline->setAccessibleName(tr("Timings"));
    m_outline->setAccessibleDescription(tr("Applications and, beneath each, its windows, with their time"));
    // The indicator first: enabling sorting sorts by it, and the header's own default (the
    // first column, descending) would sort a large store twice before it is shown.
    m_outline->header()->setSortIndicator(OutlineModel::NameColumn, Qt::AscendingOrder);
    m_outline->setSortingEnabled(true);
    m_outline->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_outline->setDragEnabled(true);
    m_outline->setDragDropMode(QAbstractItemView::DragOnly);
    m_outline->setUniformRowHeights(true);
    m_outline->setAlternatingRowColors(true);
    m_outline->header()->setStretchLastSection(false);
    m_outline->header()->setSectionResizeMode(OutlineModel::NameColumn, QHeaderView::Stretch);
    // The time column is as wide as thousands of hours. Sized to its contents instead, it would
    // make the header lay the outline out while painting itself, and the outline's repaint asked
    // for during that paint is lost: rows added in the background would not show.
    const int timeWidth = m_outline->fontMetrics().horizontalAdvance(QStringLiteral("0000:00:00"))
        + 2 * m_outline->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, m_outline);
    m_outline->header()->setSectionResizeMode(OutlineModel::TimeColumn, QHeaderView::Interactive);
    m_outline->header()->resizeSection(OutlineModel::TimeColumn,
                                       std::max(timeWidth, m_outline->header()->sectionSizeHint(OutlineModel::TimeColumn)));
    layout->addWidget(m_outline, 1);
    // Until anything is counted, the empty outline says how to begin. It lies over the outline's
    // viewport, wrapped to its width, and lets every click through to it.
    m_emptyHint = new QLabel(tr("Press Start to count the time you spend in each application, or turn on "
                                "“Start counting when Kestrum opens” in Edit ▸ Preferences."),
                             m_outline->viewport());
    m_emptyHint->setWordWrap(true);
    m_emptyHint->setAlignment(Qt::AlignCenter);
    m_emptyHint->setForegroundRole(QPalette::PlaceholderText);
    m_emptyHint->setAttribute(Qt::WA_TransparentForMouseEvents);
    (new QVBoxLayout(m_outline->viewport()))->addWidget(m_emptyHint);

    auto *totals = new QHBoxLayout;
    m_totalLabel = new SumOfTimesLabel(central);
    m_totalLabel->setOutlineView(m_outline);
    m_totalLabel->showTotal(m_controller.timeSum());
    totals->addStretch(1);
    m_totalCaption = new QLabel(tr("Total:"), central);
    totals->addWidget(m_totalCaption);
    totals->addWidget(m_totalLabel);
    layout->addLayout(totals);
    setCentralWidget(central);
    setStatusBar(new StatusLine(this));

    buildMenus();
    updateStatus();

    m_controller.setSelectionProvider([this] { return selectedNodes(); });
    connect(m_countingButton, &QPushButton::clicked, &m_controller, &KestrumController::toggleCounting);
    connect(&m_controller, &KestrumController::countingChanged, this, [this] {
        m_countingButton->setText(countingText(m_controller));
        m_countingAction->setText(countingText(m_controller));
        updateEmptyHint();
    });
    connect(&m_controller, &KestrumController::timeSumChanged, m_totalLabel, &SumOfTimesLabel::showTotal);
    connect(&m_controller, &KestrumController::saveFailed, this, [this](const QString &error) {
        // Told once per kind of failure, not at every save.
        if (error == m_lastSaveError)
            return;
        m_lastSaveError = error;
        statusBar()->showMessage(tr("The timings could not be saved: %1").arg(error));
    });
    connect(&m_controller, &KestrumController::periodicSaveFailed, this, [this](const QString &error) {
        // The timings were kept; the user learns once why the dated files are missing.
        if (error == m_lastPeriodicSaveError)
            return;
        m_lastPeriodicSaveError = error;
        statusBar()->showMessage(tr("The periodic save failed, so the timings were kept: %1").arg(error));
    });
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, &MainWindow::keepOutlineState);
    connect(m_outline, &QTreeView::collapsed, this, [this](const QModelIndex &index) {
        if (!index.parent().isValid())
            m_expandedApplications.remove(index.data().toString());
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &MainWindow::restoreOutlineState);
    connect(m_outline->selectionModel(), &QItemSelectionModel::selectionChanged, &m_controller, &KestrumController::clickInTable);
    // The label says what it sums: every application, or the rows selected.
    connect(m_outline->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        m_totalCaption->setText(selectedNodes().isEmpty() ? tr("Total:") : tr("Selected:"));
    });
    connect(m_model, &QAbstractItemModel::modelReset, &m_controller, &KestrumController::clickInTable);
    connect(m_searchField, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_controller.tracker().setSearchString(text);
    });
    connect(m_cutoffSlider, &QSlider::valueChanged, this, [this](int minutes) { setCutoffValue(minutes * 60.0); });
    // Back from time away: the question waits beside what the user returned to.
    m_controller.tracker().setAwayQuestionHandler([this] {
        if (m_awayNotifier)
            m_awayNotifier->refresh();
        else
            awayQuestion().refresh();
    });
    m_storeSubscription = m_controller.tracker().notifier().subscribe([this](const ChangeNotice &notice) {
        followStoreForCutoffRange(notice);
        // Only a change of the set of applications can empty the store or end its emptiness.
        if (notice.property == ObservedProperty::TimeSet && notice.phase == ChangePhase::Did)
            updateEmptyHint();
    });
    followStoreForCutoffRange({nullptr, ObservedProperty::TimeSet, ChangePhase::Did});
    updateEmptyHint();

    resize(560, 480);
    const QByteArray geometry = m_controller.settings().value(kGeometryKey).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
}

QString MainWindow::countingText(const KestrumController &controller)
{
    const QString title = controller.buttonTitle();
    if (title == KestrumController::StartTitle)
        return tr("Start", "button: start counting");
    if (title == KestrumController::PauseTitle)
        return tr("Pause", "button: pause counting");
    return title;
}

MainWindow::~MainWindow()
{
    m_controller.tracker().setAwayQuestionHandler(nullptr);
    delete m_awayNotifier;
    delete m_awayQuestion;
    m_controller.tracker().notifier().unsubscribe(m_storeSubscription);
    m_controller.setSelectionProvider(nullptr);
}

void MainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Open Timings…"), QKeySequence::Open, this, &MainWindow::chooseAndOpen);
    file->addAction(tr("Save Timings &As…"), QKeySequence::SaveAs, this, &MainWindow::chooseAndSave);
    file->addSeparator();
    file->addAction(tr("Export &All to CSV…"), QKeySequence(tr("Ctrl+E")), this, [this] { chooseAndExport(ExportScope::All); });
    file->addAction(tr("Export &Shown to CSV…"), QKeySequence(tr("Ctrl+Shift+E")), this,
                    [this] { chooseAndExport(ExportScope::Shown); });
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(tr("&Find"), QKeySequence::Find, this, [this] {
        m_searchField->setFocus();
        m_searchField->selectAll();
    });
    edit->addAction(tr("&Clear Timers…"), QKeySequence(tr("Ctrl+Shift+Backspace")), this, &MainWindow::clearTimers);
    edit->addSeparator();
    edit->addAction(tr("C&ategories…"), this, [this] {
        CategoriesWindow &window = categoriesWindow();
        window.show();
        window.raise();
        window.activateWindow();
    });
    // Not every desktop defines a shortcut for Preferences; Ctrl+, is the common one.
    const QKeySequence preferences = QKeySequence::keyBindings(QKeySequence::Preferences).value(0, QKeySequence(tr("Ctrl+,")));
    edit->addAction(tr("&Preferences…"), preferences, this, &MainWindow::showPreferences);

    QMenu *view = menuBar()->addMenu(tr("&View"));
    view->addAction(tr("&History…"), QKeySequence(tr("Ctrl+H")), this, [this] {
        HistoryWindow &history = historyWindow();
        history.show();
        history.raise();
        history.activateWindow();
    });

    QMenu *counting = menuBar()->addMenu(tr("&Counting"));
    m_countingAction = counting->addAction(countingText(m_controller), QKeySequence(tr("Ctrl+Return")), &m_controller,
                                           &KestrumController::toggleCounting);
}

QList<TimeStoreNode *> MainWindow::selectedNodes() const
{
    QList<TimeStoreNode *> nodes;
    for (const QModelIndex &index : m_outline->selectionModel()->selectedRows(OutlineModel::NameColumn)) {
        if (TimeStoreNode *node = m_model->nodeAt(index))
            nodes.append(node);
    }
    return nodes;
}

std::optional<MainWindow::OutlineRow> MainWindow::outlineRowAt(const QModelIndex &index) const
{
    const TimeStoreNode *node = m_model->nodeAt(index);
    if (!node || !node->name())
        return std::nullopt;
    if (const TimeStoreNode *app = m_model->nodeAt(index.parent())) {
        if (!app->name())
            return std::nullopt;
        return OutlineRow{*app->name(), node->name()};
    }
    return OutlineRow{*node->name(), std::nullopt};
}

QModelIndex MainWindow::indexOfOutlineRow(const OutlineRow &row) const
{
    const TimeStoreApp *app = m_controller.tracker().appForName(row.application);
    if (!app)
        return {};
    if (!row.window)
        return m_model->indexOf(app);
    for (const auto &window : app->windows()) {
        if (window->name() == row.window)
            return m_model->indexOf(window.get());
    }
    return {};
}

void MainWindow::keepOutlineState()
{
    // The rows still hold the nodes they show: the store announces a change before making it.
    m_keptSelection.clear();
    for (const QModelIndex &index : m_outline->selectionModel()->selectedRows(OutlineModel::NameColumn)) {
        if (const std::optional<OutlineRow> row = outlineRowAt(index))
            m_keptSelection.append(*row);
    }
    m_keptCurrent = outlineRowAt(m_outline->currentIndex());
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, OutlineModel::NameColumn);
        if (m_outline->isExpanded(index))
            m_expandedApplications.insert(index.data().toString());
    }
}

void MainWindow::restoreOutlineState()
{
    for (const QString &application : std::as_const(m_expandedApplications)) {
        const QModelIndex index = indexOfOutlineRow({application, std::nullopt});
        if (index.isValid())
            m_outline->expand(index);
    }
    if (m_keptCurrent) {
        const QModelIndex current = indexOfOutlineRow(*m_keptCurrent);
        if (current.isValid())
            m_outline->selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    }
    QItemSelection selection;
    for (const OutlineRow &row : std::as_const(m_keptSelection)) {
        const QModelIndex index = indexOfOutlineRow(row);
        if (index.isValid())
            selection.select(index, index.siblingAtColumn(OutlineModel::TimeColumn));
    }
    if (!selection.isEmpty())
        m_outline->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_keptSelection.clear();
    m_keptCurrent.reset();
}

// --- commands -------------------------------------------------------------------------------------

void MainWindow::chooseAndOpen()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Open Timings"), QString(),
                                                      tr("Kestrum timings (*.kestrum);;All files (*)"));
    if (!path.isEmpty())
        openTimings(path);
}

void MainWindow::openTimings(const QString &path)
{
    const PropertyListResult document = readTimingDocument(path);
    if (!document.ok()) {
        showFailure(tr("The timings in “%1” could not be opened.").arg(QFileInfo(path).fileName()), document.error);
        return;
    }
    if (hasTimings() && !mayReplaceTimings(path))
        return;
    m_controller.loadDictionary(document.value);
}

bool MainWindow::hasTimings() const
{
    const auto &apps = m_controller.tracker().fullTimeSet();
    return std::any_of(apps.cbegin(), apps.cend(), [](const auto &app) { return app->activeTime() != 0.0 || app->windowCount() > 0; });
}

bool MainWindow::mayReplaceTimings(const QString &path)
{
    // The timings counted so far are in no document: opening another one would lose them.
    QMessageBox box(QMessageBox::Question, tr("Open Timings"),
                    tr("Opening “%1” replaces the current timings.").arg(QFileInfo(path).fileName()), QMessageBox::NoButton, this);
    box.setInformativeText(tr("Do you want to save the current timings first?"));
    box.setWindowModality(Qt::WindowModal);
    QPushButton *save = box.addButton(tr("Save Timings…"), QMessageBox::AcceptRole);
    QPushButton *replace = box.addButton(tr("Replace Timings"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return chooseAndSave();
    return box.clickedButton() == replace;
}

bool MainWindow::chooseAndSave()
{
    QFileDialog dialog(this, tr("Save Timings As"), QString(), tr("Kestrum timings (*.kestrum)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("kestrum"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    return saveTimingsAs(withExtension(dialog.selectedFiles().constFirst(), QStringLiteral("kestrum")));
}

bool MainWindow::saveTimingsAs(const QString &path)
{
    QString error;
    if (m_controller.writeDocument(path, &error))
        return true;
    showFailure(tr("The timings could not be saved as “%1”.").arg(QFileInfo(path).fileName()), error);
    return false;
}

void MainWindow::chooseAndExport(ExportScope scope)
{
    QFileDialog dialog(this, scope == ExportScope::All ? tr("Export All to CSV") : tr("Export Shown to CSV"), QString(),
                       tr("CSV files (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        exportToCsv(scope, withExtension(dialog.selectedFiles().constFirst(), QStringLiteral("csv")));
}

void MainWindow::exportToCsv(ExportScope scope, const QString &path)
{
    QString error;
    if (!exportCSVSet(m_controller.tracker(), scope, path, &error))
        showFailure(tr("The timings could not be exported to “%1”.").arg(QFileInfo(path).fileName()), error);
}

void MainWindow::clearTimers()
{
    QMessageBox box(QMessageBox::Warning, tr("Clear Timers"), tr("Are you sure you wish to clear the timers?"),
                    QMessageBox::NoButton, this);
    box.setWindowModality(Qt::WindowModal);
    QPushButton *keep = box.addButton(tr("Keep Current Timers"), QMessageBox::RejectRole);
    QPushButton *clear = box.addButton(tr("Clear Timers"), QMessageBox::DestructiveRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    if (box.clickedButton() == clear)
        m_controller.clearTimersConfirmed();
}

void MainWindow::setCutoffValue(double seconds)
{
    // The tracker keeps the cut-off in single precision; the display shows that same value.
    const float cutoff = float(seconds);
    m_controller.tracker().setCutoffTime(cutoff);
    m_cutoffDisplay->setText(TimeTracker::timeStringForDouble(double(cutoff)));
}

void MainWindow::followStoreForCutoffRange(const ChangeNotice &notice)
{
    if (notice.phase != ChangePhase::Did)
        return;
    const auto minutesOf = [](const TimeStoreNode &app) { return int(std::clamp(app.activeTime() / 60.0, 0.0, 1e9)); };
    if (notice.property == ObservedProperty::TimeSet) {
        int longest = 0;
        for (const auto &app : m_controller.tracker().fullTimeSet())
            longest = std::max(longest, minutesOf(*app));
        m_cutoffSlider->setMaximum(longest);
    } else if (notice.property == ObservedProperty::ActiveTimeString && dynamic_cast<const TimeStoreApp *>(notice.node)) {
        // A tick books one application or two: the range only grows here; it shrinks when the
        // set of applications changes (a clear, a load, the periodic save).
        m_cutoffSlider->setMaximum(std::max(m_cutoffSlider->maximum(), minutesOf(*notice.node)));
    }
}

PrefWindow &MainWindow::prefWindow()
{
    if (!m_prefWindow) {
        m_prefWindow = new PrefWindow(m_controller, m_autostart, this);
        m_prefWindow->setDesktopNote(m_desktopNote);
        m_prefWindow->setDeviceId(m_deviceId);
        connect(m_prefWindow, &PrefWindow::sharingChanged, this, &MainWindow::sharingChanged);
    }
    return *m_prefWindow;
}

void MainWindow::setHistory(const QString &path, HistoryHandlers handlers)
{
    m_historyPath = path;
    m_historyHandlers = std::move(handlers);
}

HistoryWindow &MainWindow::historyWindow()
{
    if (!m_historyWindow) {
        m_historyWindow = new HistoryWindow(m_historyPath.isEmpty() ? HistoryDatabase::defaultPath() : m_historyPath,
                                            m_controller.settings(), m_historyHandlers, this);
        m_historyWindow->setCategories(&categories());
        // "Make a Rule…" opens the editor with the rule filled in, its category to be chosen.
        m_historyWindow->setRuleMaker([this](const CategoryRule &rule) {
            CategoriesWindow &window = categoriesWindow();
            window.addRule(rule);
            window.show();
            window.raise();
            window.activateWindow();
        });
    }
    return *m_historyWindow;
}

CategoriesFile &MainWindow::categories()
{
    if (!m_categories) {
        m_categories = new CategoriesFile(CategoriesFile::defaultPath(), this);
        m_categories->watch();
        // What cannot be used is said at once; the editor lists all of it.
        const auto tell = [this] {
            const QStringList &problems = m_categories->problems();
            if (!problems.isEmpty()) {
                statusBar()->showMessage(problems.size() == 1 ? problems.constFirst()
                                                              : tr("%1 (and %n more: see Edit ▸ Categories…)", nullptr, int(problems.size() - 1))
                                                                    .arg(problems.constFirst()));
            }
        };
        connect(m_categories, &CategoriesFile::changed, this, tell);
        connect(m_categories, &CategoriesFile::folderChanged, this, &MainWindow::settleCategoryConflicts);
        tell();
    }
    return *m_categories;
}

void MainWindow::followSharedCategories(const QString &local)
{
    Settings &settings = m_controller.settings();
    if (SharedCategories::shouldAskToMove(settings, local)) {
        const QString folder = SharedCategories::folderOf(settings);
        const int answer = m_ask(tr("Keep your categories in the shared folder?"),
                                 tr("Every computer then sorts its time into the same categories, by the same rules. This "
                                    "computer's categories move to %1.")
                                     .arg(SharedCategories::sharedPath(folder)),
                                 {tr("Move to the Shared Folder"), tr("Keep on This Computer")});
        QString error;
        if (answer == 0 && !SharedCategories::moveToShared(local, folder, &error))
            statusBar()->showMessage(tr("The categories stay on this computer: %1").arg(error));
        else if (answer == 0 || answer == 1)
            settings.setValue(SettingsKey::CategoriesInSharedFolder, answer == 0);
    }
    categories().setPath(SharedCategories::pathFor(settings, local));
    settleCategoryConflicts();
}

void MainWindow::settleCategoryConflicts()
{
    const QString folder = SharedCategories::folderOf(m_controller.settings());
    if (m_settlingConflict || folder.isEmpty() || categories().path() != SharedCategories::sharedPath(folder))
        return;
    // One question at a time: a second change of the folder while one is open waits for it.
    m_settlingConflict = true;
    for (const QString &copy : SharedCategories::conflictCopies(folder)) {
        const QFileInfo info(copy);
        const int answer = m_ask(tr("Two versions of the categories"),
                                 tr("The sync tool kept another computer's version of the categories beside them, as %1 (changed %2). "
                                    "Which should every computer use?")
                                     .arg(info.fileName(), QLocale().toString(info.lastModified(), QLocale::ShortFormat)),
                                 {tr("Keep the Current Categories"), tr("Use the Other Version")});
        if (answer < 0)
            break;
        QString error;
        if (!SharedCategories::settleConflict(folder, copy, answer == 1, &error))
            statusBar()->showMessage(tr("The two versions of the categories are left as they are: %1").arg(error));
    }
    m_settlingConflict = false;
    categories().reload();
}

AwayQuestionWindow &MainWindow::awayQuestion()
{
    if (!m_awayQuestion) {
        // A window of its own, not one over Kestrum's: it comes up while Kestrum's is hidden too.
        m_awayQuestion = new AwayQuestionWindow(m_controller.tracker(), m_controller.settings());
        const auto offerCategories = [this] {
            QList<CategoryPath> paths;
            for (const Category &category : categories().set().categories)
                paths.append(category.path);
            m_awayQuestion->setCategories(paths);
        };
        connect(&categories(), &CategoriesFile::changed, m_awayQuestion, offerCategories);
        offerCategories();
    }
    return *m_awayQuestion;
}

void MainWindow::askThroughNotifications(const QDBusConnection &bus)
{
    if (m_awayNotifier)
        return;
    m_awayNotifier = new AwayNotifier(m_controller.tracker(), m_controller.settings(), awayQuestion(), bus, this);
    m_awayNotifier->start();
}

CategoriesWindow &MainWindow::categoriesWindow()
{
    if (!m_categoriesWindow) {
        m_categoriesWindow = new CategoriesWindow(categories(), m_historyPath.isEmpty() ? HistoryDatabase::defaultPath() : m_historyPath,
                                                  m_historyHandlers, this);
    }
    return *m_categoriesWindow;
}

void MainWindow::setDeviceId(const QString &id)
{
    m_deviceId = id;
    if (m_prefWindow)
        m_prefWindow->setDeviceId(id);
}

void MainWindow::setDesktopNote(const QString &text)
{
    m_desktopNote = text;
    if (m_prefWindow)
        m_prefWindow->setDesktopNote(text);
}

void MainWindow::showPreferences()
{
    // The other computers as the history last imported them.
    QString error;
    if (const std::unique_ptr<HistoryDatabase> history = HistoryDatabase::openToRead(m_historyPath.isEmpty() ? HistoryDatabase::defaultPath() : m_historyPath, &error)) {
        if (const std::optional<QList<HistoryDevice>> devices = history->devices(&error))
            prefWindow().setDevices(*devices);
    }
    prefWindow().makeKeyAndOrderFront();
}

void MainWindow::showFailure(const QString &what, const QString &reason)
{
    QMessageBox box(QMessageBox::Warning, tr("Kestrum"), what, QMessageBox::Ok, this);
    box.setInformativeText(reason);
    box.setWindowModality(Qt::WindowModal);
    box.exec();
}

void MainWindow::updateEmptyHint()
{
    // It tells what to press: while counting, or once anything is in the store, it has said its
    // piece. It comes back when Clear Timers empties the store while counting is off, since
    // Start is then again what to do.
    m_emptyHint->setVisible(m_controller.buttonTitle() == KestrumController::StartTitle
                            && m_controller.tracker().fullTimeSet().empty());
}

void MainWindow::updateStatus()
{
    // Titles that cannot be read and window timing the user turned off both leave only the
    // applications timed, but only the first is something the desktop does.
    const TimeTracker &tracker = m_controller.tracker();
    if (!tracker.isAXEnabled())
        statusBar()->showMessage(tr("Window titles cannot be read here: only applications are timed."));
    else if (!tracker.trackDocumentTiming())
        statusBar()->showMessage(tr("Time per window is turned off: only applications are timed."));
}

// --- quitting -----------------------------------------------------------------------------------------

void MainWindow::quitWithoutQuestion()
{
    // Not through close(): with the quit question open a second close is ignored. Whatever
    // dialog is open, its event loop ends with the application's, and nothing waits for it.
    m_quitting = true;
    m_controller.settings().setValue(kGeometryKey, saveGeometry());
    m_controller.applicationWillTerminate();
    hide();
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_quitting && !m_controller.applicationShouldTerminate()) {
        event->ignore();
        return;
    }
    m_controller.settings().setValue(kGeometryKey, saveGeometry());
    m_controller.applicationWillTerminate();
    event->accept();
    QApplication::quit();
}
