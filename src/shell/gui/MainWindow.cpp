#include "MainWindow.h"

#include "SumOfTimesLabel.h"
#include "persistence/CsvExport.h"
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
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
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
{
    setWindowTitle(QStringLiteral("Kestrum"));
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    auto *controls = new QHBoxLayout;
    m_countingButton = new QPushButton(m_controller.buttonTitle(), central);
    m_countingButton->setToolTip(tr("Start or pause counting (Ctrl+Return)"));
    m_countingButton->setMinimumWidth(90);
    m_searchField = new QLineEdit(central);
    m_searchField->setPlaceholderText(tr("Search applications"));
    m_searchField->setClearButtonEnabled(true);
    m_cutoffSlider = new QSlider(Qt::Horizontal, central);
    m_cutoffSlider->setRange(0, MaximumCutoffMinutes);
    m_cutoffSlider->setSingleStep(1);
    m_cutoffSlider->setPageStep(15);
    m_cutoffSlider->setToolTip(tr("Show only applications with at least this much time"));
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
    m_outline->setSortingEnabled(true);
    m_outline->sortByColumn(OutlineModel::NameColumn, Qt::AscendingOrder);
    m_outline->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_outline->setDragEnabled(true);
    m_outline->setDragDropMode(QAbstractItemView::DragOnly);
    m_outline->setUniformRowHeights(true);
    m_outline->setAlternatingRowColors(true);
    m_outline->header()->setStretchLastSection(false);
    m_outline->header()->setSectionResizeMode(OutlineModel::NameColumn, QHeaderView::Stretch);
    m_outline->header()->setSectionResizeMode(OutlineModel::TimeColumn, QHeaderView::ResizeToContents);
    layout->addWidget(m_outline, 1);

    auto *totals = new QHBoxLayout;
    m_totalLabel = new SumOfTimesLabel(central);
    m_totalLabel->setOutlineView(m_outline);
    m_totalLabel->setText(m_controller.timeSum());
    totals->addStretch(1);
    totals->addWidget(new QLabel(tr("Total:"), central));
    totals->addWidget(m_totalLabel);
    layout->addLayout(totals);
    setCentralWidget(central);

    buildMenus();
    updateStatus();

    m_controller.setSelectionProvider([this] { return selectedNodes(); });
    connect(m_countingButton, &QPushButton::clicked, &m_controller, &KestrumController::toggleCounting);
    connect(&m_controller, &KestrumController::countingChanged, this, [this] {
        m_countingButton->setText(m_controller.buttonTitle());
        m_countingAction->setText(m_controller.buttonTitle());
    });
    connect(&m_controller, &KestrumController::timeSumChanged, m_totalLabel, &QLabel::setText);
    connect(&m_controller, &KestrumController::saveFailed, this, [this](const QString &error) {
        // Told once per kind of failure, not at every save.
        if (error == m_lastSaveError)
            return;
        m_lastSaveError = error;
        statusBar()->showMessage(tr("The timings could not be saved: %1").arg(error));
    });
    connect(m_outline->selectionModel(), &QItemSelectionModel::selectionChanged, &m_controller, &KestrumController::clickInTable);
    connect(m_model, &QAbstractItemModel::modelReset, &m_controller, &KestrumController::clickInTable);
    connect(m_searchField, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_controller.tracker().setSearchString(text);
    });
    connect(m_cutoffSlider, &QSlider::valueChanged, this, [this](int minutes) {
        const float seconds = float(minutes) * 60.0f;
        m_controller.tracker().setCutoffTime(seconds);
        m_cutoffDisplay->setText(TimeTracker::timeStringForDouble(double(seconds)));
    });

    resize(560, 480);
    const QByteArray geometry = m_controller.settings().value(kGeometryKey).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
}

MainWindow::~MainWindow()
{
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
    edit->addAction(tr("&Preferences…"), QKeySequence::Preferences, this, &MainWindow::showPreferences);

    QMenu *counting = menuBar()->addMenu(tr("&Counting"));
    m_countingAction = counting->addAction(m_controller.buttonTitle(), QKeySequence(tr("Ctrl+Return")), &m_controller,
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
    QString error;
    if (!m_controller.loadSettingsFromDisk(path, &error))
        showFailure(tr("The timings in “%1” could not be opened.").arg(QFileInfo(path).fileName()), error);
}

void MainWindow::chooseAndSave()
{
    QFileDialog dialog(this, tr("Save Timings As"), QString(), tr("Kestrum timings (*.kestrum)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("kestrum"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        saveTimingsAs(withExtension(dialog.selectedFiles().constFirst(), QStringLiteral("kestrum")));
}

void MainWindow::saveTimingsAs(const QString &path)
{
    QString error;
    if (!m_controller.writeDocument(path, &error))
        showFailure(tr("The timings could not be saved as “%1”.").arg(QFileInfo(path).fileName()), error);
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
    TimeTracker &tracker = m_controller.tracker();
    QList<TimeStoreApp *> apps;
    if (scope == ExportScope::Shown) {
        apps = tracker.timeSet();
    } else {
        for (const auto &app : tracker.fullTimeSet())
            apps.append(app.get());
    }
    QString error;
    if (!exportCSVSet(apps, tracker.totalTime(), path, &error))
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

void MainWindow::showPreferences()
{
    QMessageBox::information(this, tr("Preferences"),
                             tr("Kestrum's preferences window is on its way. Until then Kestrum uses its defaults: "
                                "idle after 15 minutes without input, and time per window as well as per application."));
}

void MainWindow::showFailure(const QString &what, const QString &reason)
{
    QMessageBox box(QMessageBox::Warning, tr("Kestrum"), what, QMessageBox::Ok, this);
    box.setInformativeText(reason);
    box.setWindowModality(Qt::WindowModal);
    box.exec();
}

void MainWindow::updateStatus()
{
    if (!m_controller.tracker().trackDocumentTiming())
        statusBar()->showMessage(tr("Window titles cannot be read here: only applications are timed."));
}

// --- quitting -----------------------------------------------------------------------------------------

void MainWindow::quitWithoutQuestion()
{
    m_quitting = true;
    close();
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
