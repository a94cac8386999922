#include "HistoryWindow.h"

#include "AddTimeDialog.h"

#include "categories/CategoriesFile.h"
#include "history/HistoryCsv.h"
#include "history/HistoryTimesheet.h"
#include "persistence/AtomicFile.h"
#include "tracking/Settings.h"
#include "tracking/TimeTracker.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMap>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kIdle = QStringLiteral("Idle");
constexpr int kBarRole = Qt::UserRole + 1;    // the row's share of the longest, 0..1
constexpr int kColourRole = Qt::UserRole + 2; // the bar's colour
constexpr int kSecondsRole = Qt::UserRole + 3;
// What a row of the bars is, for its context actions.
constexpr int kKindRole = Qt::UserRole + 4;
enum class RowKind { Category, Application, Window };
constexpr int kNameRole = Qt::UserRole + 5;   // the application or window's name; the category's path text
constexpr int kPathRole = Qt::UserRole + 6;   // the category (of a category row, or the row's category)

// Draws each row's share as a bar behind its time.
class BarDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const double share = index.data(kBarRole).toDouble();
        if (share > 0.0) {
            QRectF bar = option.rect.adjusted(2, 3, -2, -3);
            bar.setWidth(bar.width() * share);
            painter->fillRect(bar, index.data(kColourRole).value<QColor>().lighter(130));
        }
        QStyledItemDelegate::paint(painter, option, index);
    }
};

// Sorts every level of the tree longest first.
void sortLongestFirst(QList<QTreeWidgetItem *> &items)
{
    std::stable_sort(items.begin(), items.end(), [](QTreeWidgetItem *a, QTreeWidgetItem *b) {
        return a->data(0, kSecondsRole).toDouble() > b->data(0, kSecondsRole).toDouble();
    });
    for (QTreeWidgetItem *item : items) {
        QList<QTreeWidgetItem *> children = item->takeChildren();
        sortLongestFirst(children);
        item->addChildren(children);
    }
}

// The wall-clock seconds of [from, to) in which two computers or more were in use (idle time
// left out): counted once on each of them.
double simultaneousSeconds(const QList<Stretch> &stretches, const QDateTime &from, const QDateTime &to)
{
    QHash<QString, QList<std::pair<qint64, qint64>>> byDevice;
    for (const Stretch &stretch : stretches) {
        const qint64 start = std::max(stretch.start, from).toMSecsSinceEpoch();
        const qint64 end = std::min(stretch.end, to).toMSecsSinceEpoch();
        if (stretch.seconds > 0.0 && stretch.application != kIdle && start < end)
            byDevice[stretch.device].append({start, end});
    }
    if (byDevice.size() < 2)
        return 0.0;
    // Each computer's time as one set of spans, then a sweep over all of them.
    QList<std::pair<qint64, int>> edges;
    for (QList<std::pair<qint64, qint64>> &spans : byDevice) {
        std::sort(spans.begin(), spans.end());
        qint64 start = spans.constFirst().first;
        qint64 end = spans.constFirst().second;
        for (const auto &[nextStart, nextEnd] : std::as_const(spans)) {
            if (nextStart > end) {
                edges << std::pair{start, 1} << std::pair{end, -1};
                start = nextStart;
            }
            end = std::max(end, nextEnd);
        }
        edges << std::pair{start, 1} << std::pair{end, -1};
    }
    std::sort(edges.begin(), edges.end());
    qint64 both = 0;
    int inUse = 0;
    qint64 previous = 0;
    for (const auto &[at, change] : std::as_const(edges)) {
        if (inUse >= 2)
            both += at - previous;
        inUse += change;
        previous = at;
    }
    return double(both) / 1000.0;
}

QString timeText(double seconds)
{
    return TimeTracker::timeStringForDouble(seconds);
}

} // namespace

// --- the window ---------------------------------------------------------------------------------

HistoryWindow::HistoryWindow(QString path, const Settings &settings, HistoryHandlers handlers, QWidget *parent)
    : QDialog(parent)
    , m_path(std::move(path))
    , m_settings(settings)
    , m_handlers(std::move(handlers))
    , m_confirm([this](const QString &question) {
        return QMessageBox::question(this, tr("Forget"), question, QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel)
            == QMessageBox::Yes;
    })
{
    setWindowTitle(tr("Kestrum History"));
    m_rangeBox = new QComboBox(this);
    m_rangeBox->addItems({tr("Day"), tr("Week"), tr("Month")});
    auto *previous = new QToolButton(this);
    previous->setArrowType(Qt::LeftArrow);
    previous->setToolTip(tr("Previous"));
    previous->setAccessibleName(tr("Previous"));
    auto *next = new QToolButton(this);
    next->setArrowType(Qt::RightArrow);
    next->setToolTip(tr("Next"));
    next->setAccessibleName(tr("Next"));
    m_dayEdit = new QDateEdit(QDate::currentDate(), this);
    m_dayEdit->setDisplayFormat(AddTimeDialog::editFormat(false));
    m_dayEdit->setCalendarPopup(true);
    m_dayEdit->setAccessibleName(tr("Day shown"));
    m_viewBox = new QComboBox(this);
    m_viewBox->addItems({tr("By Application"), tr("By Category")});
    m_viewBox->setAccessibleName(tr("Group by"));
    m_deviceBox = new QComboBox(this);
    m_deviceBox->setAccessibleName(tr("Computers"));
    m_deviceBox->hide();
    m_total = new QLabel(this);
    m_total->setAccessibleName(tr("Total"));
    auto *top = new QHBoxLayout;
    top->addWidget(m_rangeBox);
    top->addWidget(previous);
    top->addWidget(m_dayEdit);
    top->addWidget(next);
    top->addWidget(m_viewBox);
    top->addWidget(m_deviceBox);
    top->addStretch(1);
    top->addWidget(m_total);

    m_timeline = new TimelineStrip(this);
    m_zoom = new QToolButton(this);
    m_zoom->setText(tr("Zoom"));
    m_zoom->setCheckable(true);
    m_zoom->setToolTip(tr("Show only the hours that hold activity, or the whole day"));
    auto *strip = new QHBoxLayout;
    strip->addWidget(m_timeline, 1);
    strip->addWidget(m_zoom);
    m_legend = new QLabel(this);
    m_legend->setWordWrap(true);
    m_legend->setAccessibleName(tr("Legend"));
    m_bars = new QTreeWidget(this);
    m_bars->setColumnCount(2);
    m_bars->setHeaderLabels({tr("Application"), tr("Time")});
    m_bars->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_bars->setItemDelegateForColumn(1, new BarDelegate(m_bars));
    m_bars->setUniformRowHeights(true);
    m_bars->setContextMenuPolicy(Qt::CustomContextMenu);
    m_bars->setAccessibleName(tr("Time by application"));
    m_status = new QLabel(this);
    m_status->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(tr("Export Stretches…"), QDialogButtonBox::ActionRole)->setObjectName(QStringLiteral("exportStretches"));
    buttons->addButton(tr("Export Totals…"), QDialogButtonBox::ActionRole)->setObjectName(QStringLiteral("exportTotals"));
    buttons->addButton(tr("Export Timesheet…"), QDialogButtonBox::ActionRole)->setObjectName(QStringLiteral("exportTimesheet"));
    buttons->addButton(tr("Add Time…"), QDialogButtonBox::ActionRole)->setObjectName(QStringLiteral("addTime"));
    QPushButton *forgetRangeButton = buttons->addButton(tr("Forget Range…"), QDialogButtonBox::ActionRole);
    QPushButton *forgetAppButton = buttons->addButton(tr("Forget Application…"), QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    connect(buttons, &QDialogButtonBox::clicked, this, [this, forgetRangeButton, forgetAppButton](QAbstractButton *button) {
        if (button->objectName() == u"exportStretches")
            chooseAndExport(false);
        else if (button->objectName() == u"exportTotals")
            chooseAndExport(true);
        else if (button->objectName() == u"exportTimesheet")
            chooseAndExportTimesheet();
        else if (button->objectName() == u"addTime")
            addTimeWithEditor();
        else if (button == forgetRangeButton)
            forgetRange();
        else if (button == forgetAppButton)
            forgetSelectedApplication();
    });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(strip);
    layout->addWidget(m_legend);
    layout->addWidget(m_bars, 1);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(640, 480);

    connect(m_rangeBox, &QComboBox::currentIndexChanged, this, [this](int index) { showRange(Range(index), m_dayEdit->date()); });
    connect(m_dayEdit, &QDateEdit::dateChanged, this, [this](QDate day) { showRange(m_range, day); });
    connect(previous, &QToolButton::clicked, this, [this] { step(-1); });
    connect(next, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_viewBox, &QComboBox::currentIndexChanged, this, [this](int index) { setView(View(index)); });
    connect(m_deviceBox, &QComboBox::activated, this, [this] { reload(); });
    connect(m_zoom, &QToolButton::toggled, m_timeline, &TimelineStrip::setZoomed);
    connect(m_timeline, &TimelineStrip::actionsRequested, this, [this](const QPoint &where) {
        offerActions(selectionActions(), where, [this](const QString &action) { runSelectionAction(action); });
    });
    connect(m_bars, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        QTreeWidgetItem *item = m_bars->itemAt(position);
        if (item) {
            offerActions(rowActions(item), m_bars->viewport()->mapToGlobal(position),
                         [this, item](const QString &action) { runRowAction(item, action); });
        }
    });
    m_chooseCategory = [this](const QString &question) -> std::optional<CategoryPath> {
        QStringList choices;
        for (const CategoryPath &path : categorySet().allPaths())
            choices.append(categoryPathText(path));
        bool ok = false;
        const QString chosen = QInputDialog::getItem(this, tr("Category"), question, choices, 0, true, &ok);
        const CategoryPath path = categoryPathFromText(chosen);
        return ok && !path.isEmpty() ? std::optional(path) : std::nullopt;
    };
    m_editAddedTime = [this](const OverlayEntry &proposal) -> std::optional<OverlayEntry> {
        QStringList names;
        for (int i = 0; i < m_bars->topLevelItemCount(); ++i)
            names.append(m_bars->topLevelItem(i)->data(0, kNameRole).toString());
        AddTimeDialog dialog(proposal, categorySet().allPaths(), names, this);
        return dialog.exec() == QDialog::Accepted ? dialog.entry() : std::nullopt;
    };
    m_askName = [this](const QString &question, const QString &name) -> std::optional<QString> {
        bool ok = false;
        const QString given = QInputDialog::getText(this, tr("Rename"), question, QLineEdit::Normal, name, &ok).trimmed();
        return ok && !given.isEmpty() ? std::optional(given) : std::nullopt;
    };
}

HistoryWindow::~HistoryWindow() = default;

void HistoryWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    showRange(m_range, m_dayEdit->date());
}

void HistoryWindow::showRange(Range range, QDate day)
{
    m_range = range;
    switch (range) {
    case Range::Day:
        m_first = m_last = day;
        break;
    case Range::Week:
        m_first = day.addDays(1 - day.dayOfWeek());
        m_last = m_first.addDays(6);
        break;
    case Range::Month:
        m_first = QDate(day.year(), day.month(), 1);
        m_last = m_first.addMonths(1).addDays(-1);
        break;
    }
    {
        const QSignalBlocker rangeBlocker(m_rangeBox);
        const QSignalBlocker dayBlocker(m_dayEdit);
        m_rangeBox->setCurrentIndex(int(range));
        m_dayEdit->setDate(day);
    }
    reload();
}

void HistoryWindow::step(int direction)
{
    const QDate day = m_dayEdit->date();
    showRange(m_range, m_range == Range::Day ? day.addDays(direction) : m_range == Range::Week ? day.addDays(7 * direction)
                                                                                               : day.addMonths(direction));
}

void HistoryWindow::setView(View view)
{
    m_view = view;
    {
        const QSignalBlocker blocker(m_viewBox);
        m_viewBox->setCurrentIndex(int(view));
    }
    m_bars->setHeaderLabels({view == View::ByCategory ? tr("Category") : tr("Application"), tr("Time")});
    m_bars->setAccessibleName(view == View::ByCategory ? tr("Time by category") : tr("Time by application"));
    reload();
}

void HistoryWindow::setCategories(CategoriesFile *categories)
{
    m_categories = categories;
    m_classifier.reset();
    if (categories) {
        connect(categories, &CategoriesFile::changed, this, [this] {
            m_classifier.reset();
            if (isVisible())
                reload();
        });
    }
}

const CategorySet &HistoryWindow::categorySet() const
{
    return m_categories ? m_categories->set() : m_defaultSet;
}

void HistoryWindow::reload()
{
    if (m_handlers.beforeReading)
        m_handlers.beforeReading();
    m_bars->clear();
    m_timeline->setDay(m_first, {});
    m_total->clear();
    m_legend->clear();
    QString error;
    const std::unique_ptr<HistoryDatabase> database = HistoryDatabase::openToRead(m_path, &error);
    if (!database) {
        m_status->setText(error);
        return;
    }
    // The other computers the history now knows, then the history as the choice reads it.
    if (const std::optional<QList<HistoryDevice>> devices = database->devices(&error))
        showDevices(*devices);
    readChosenDevices(*database);
    if (!m_classifier)
        m_classifier = std::make_unique<Classifier>(categorySet());
    const auto [from, to] = HistoryDatabase::localDays(m_first, m_last);
    // The strip shows the day itself, or the first day of a longer range.
    const auto [dayStart, dayEnd] = HistoryDatabase::localDays(m_first, m_first);
    const std::optional<QList<HistoryCategories::Piece>> day = HistoryCategories::pieces(*database, *m_classifier, dayStart, dayEnd, &error);
    std::optional<QList<HistoryTotal>> windows;
    std::optional<QList<HistoryCategories::Share>> shares;
    if (day && m_view == View::ByApplication)
        windows = database->totals(HistoryDatabase::Grouping::Window, from, to, &error);
    else if (day)
        shares = HistoryCategories::shares(*database, *m_classifier, from, to, &error);
    if (!windows && !shares) {
        // Nothing of a history that reads only in part: it would show wrong totals.
        m_status->setText(database->isDamaged() ? tr("The history is damaged and cannot be shown (%1). Kestrum moves a damaged "
                                                     "history aside at its next start and keeps what can still be read of it.")
                                                      .arg(error)
                                                : tr("The history cannot be read: %1").arg(error));
        return;
    }
    m_status->clear();
    m_timeline->setColouring(m_view == View::ByCategory ? TimelineStrip::Colouring::ByCategory : TimelineStrip::Colouring::ByApplication,
                             &categorySet());
    // One lane a computer, this one first, while all of them are shown.
    QList<std::pair<QString, QString>> lanes;
    if (!m_deviceBox->isHidden() && m_deviceBox->currentIndex() == 0) {
        lanes.append({QString(), m_deviceNames.thisComputer});
        for (auto it = m_deviceNames.others.cbegin(); it != m_deviceNames.others.cend(); ++it)
            lanes.append({it.key(), it.value()});
    }
    m_timeline->setLanes(lanes);
    m_timeline->setDay(m_first, *day);
    showLegend();
    if (windows)
        showBarsByApplication(*windows);
    else
        showBarsByCategory(*shares);

    double total = 0.0;
    double idle = 0.0;
    for (int i = 0; i < m_bars->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_bars->topLevelItem(i);
        (item->data(0, kNameRole).toString() == kIdle ? idle : total) += item->data(0, kSecondsRole).toDouble();
    }
    const bool idleCounts = m_settings.boolValue(SettingsKey::IncludeIdleInSumOfTimes);
    // Time at two computers at once counts on each: the total says how much of it there is.
    double both = 0.0;
    if (lanes.size() > 1) {
        if (const std::optional<QList<Stretch>> all = database->stretches(from, to, &error))
            both = simultaneousSeconds(*all, from, to);
    }
    const QString shown = timeText(idleCounts ? total + idle : total);
    m_total->setText(both >= 1.0 ? tr("Total: %1 · Idle: %2 · at two computers at once: %3, counted on each").arg(shown, timeText(idle), timeText(both))
                                 : tr("Total: %1 · Idle: %2").arg(shown, timeText(idle)));
}

void HistoryWindow::showLegend()
{
    QStringList entries;
    for (const auto &[name, colour] : m_timeline->legend()) {
        // not translated: the markup of a swatch in the name's colour before the name
        entries.append(QStringLiteral("<span style=\"color:%1\">\u25A0</span>&nbsp;%2").arg(colour.name(), name.toHtmlEscaped()));
    }
    m_legend->setText(entries.join(QStringLiteral(" &nbsp; ")));
    m_legend->setAccessibleDescription(QStringList(entries).replaceInStrings(QRegularExpression(QStringLiteral("<[^>]*>|&nbsp;")), QString()).join(u','));
}

void HistoryWindow::showBarsByApplication(const QList<HistoryTotal> &windows)
{
    QMap<QString, QTreeWidgetItem *> applications;
    QMap<QString, double> applicationSeconds;
    double longest = 0.0;
    for (const HistoryTotal &total : windows)
        longest = std::max(longest, applicationSeconds[total.application] += total.seconds);
    const auto fill = [longest](QTreeWidgetItem *item, RowKind kind, const QString &name, const QString &application, double seconds) {
        item->setData(0, kKindRole, int(kind));
        item->setData(0, kNameRole, name);
        item->setData(0, kSecondsRole, seconds);
        item->setData(1, kColourRole, TimelineStrip::colourOf(application));
        item->setData(1, kBarRole, longest > 0.0 ? seconds / longest : 0.0);
    };
    for (auto it = applicationSeconds.cbegin(); it != applicationSeconds.cend(); ++it) {
        auto *item = new QTreeWidgetItem(m_bars, {it.key(), timeText(it.value())});
        fill(item, RowKind::Application, it.key(), it.key(), it.value());
        applications.insert(it.key(), item);
    }
    for (const HistoryTotal &window : windows) {
        if (!window.window)
            continue;
        auto *item = new QTreeWidgetItem(applications.value(window.application), {*window.window, timeText(window.seconds)});
        fill(item, RowKind::Window, *window.window, window.application, window.seconds);
    }
    QList<QTreeWidgetItem *> items;
    while (m_bars->topLevelItemCount() > 0)
        items.append(m_bars->takeTopLevelItem(0));
    sortLongestFirst(items);
    m_bars->addTopLevelItems(items);
}

void HistoryWindow::showBarsByCategory(const QList<HistoryCategories::Share> &shares)
{
    // The tree of categories, parents holding their children, an application beneath the
    // category that holds its time, and its windows beneath it.
    QHash<CategoryPath, QTreeWidgetItem *> categories;
    QHash<QString, QTreeWidgetItem *> rows; // applications and windows, by category and name
    const std::function<QTreeWidgetItem *(const CategoryPath &)> categoryItem = [&](const CategoryPath &path) {
        if (QTreeWidgetItem *found = categories.value(path))
            return found;
        QTreeWidgetItem *item = path.size() == 1 ? new QTreeWidgetItem(m_bars) : new QTreeWidgetItem(categoryItem(path.mid(0, path.size() - 1)));
        item->setText(0, path.constLast());
        item->setData(0, kKindRole, int(RowKind::Category));
        item->setData(0, kNameRole, categoryPathText(path));
        item->setData(0, kPathRole, path);
        item->setData(1, kColourRole, m_timeline->colourOf(path));
        categories.insert(path, item);
        return item;
    };
    const auto row = [&](QTreeWidgetItem *parent, RowKind kind, const QString &name, const CategoryPath &category) {
        const QString key = QString::number(quintptr(parent)) + u'|' + name;
        if (QTreeWidgetItem *found = rows.value(key))
            return found;
        auto *item = new QTreeWidgetItem(parent, {name});
        item->setData(0, kKindRole, int(kind));
        item->setData(0, kNameRole, name);
        item->setData(0, kPathRole, category);
        item->setData(1, kColourRole, parent->data(1, kColourRole));
        rows.insert(key, item);
        return item;
    };
    const auto add = [](QTreeWidgetItem *item, double seconds) { item->setData(0, kSecondsRole, item->data(0, kSecondsRole).toDouble() + seconds); };
    for (const HistoryCategories::Share &share : shares) {
        QTreeWidgetItem *category = categoryItem(share.classification.category);
        for (QTreeWidgetItem *up = category; up; up = up->parent())
            add(up, share.seconds);
        if (share.classification.source == Classification::Source::Idle)
            continue; // "Idle" beneath "Idle" says nothing more
        QTreeWidgetItem *application = row(category, RowKind::Application, share.application, share.classification.category);
        add(application, share.seconds);
        if (share.window)
            add(row(application, RowKind::Window, *share.window, share.classification.category), share.seconds);
    }
    double longest = 0.0;
    for (int i = 0; i < m_bars->topLevelItemCount(); ++i)
        longest = std::max(longest, m_bars->topLevelItem(i)->data(0, kSecondsRole).toDouble());
    const std::function<void(QTreeWidgetItem *)> label = [&](QTreeWidgetItem *item) {
        const double seconds = item->data(0, kSecondsRole).toDouble();
        item->setText(1, timeText(seconds));
        item->setData(1, kBarRole, longest > 0.0 ? seconds / longest : 0.0);
        for (int c = 0; c < item->childCount(); ++c)
            label(item->child(c));
    };
    QList<QTreeWidgetItem *> items;
    while (m_bars->topLevelItemCount() > 0)
        items.append(m_bars->takeTopLevelItem(0));
    for (QTreeWidgetItem *item : std::as_const(items))
        label(item);
    sortLongestFirst(items);
    m_bars->addTopLevelItems(items);
}

std::unique_ptr<HistoryDatabase> HistoryWindow::openHistory(QString *error) const
{
    std::unique_ptr<HistoryDatabase> database = HistoryDatabase::openToRead(m_path, error);
    if (database)
        readChosenDevices(*database);
    return database;
}

void HistoryWindow::readChosenDevices(HistoryDatabase &database) const
{
    const int choice = m_deviceBox->isHidden() ? 1 : m_deviceBox->currentIndex();
    if (choice == 0)
        database.readDevices(HistoryDatabase::Devices::All);
    else if (choice > 1)
        database.readDevices(HistoryDatabase::Devices::Other, m_deviceBox->currentData().toString());
}

void HistoryWindow::showDevices(const QList<HistoryDevice> &devices)
{
    m_deviceNames = DeviceNames::of(m_settings.value(SettingsKey::DeviceName).toString(), devices);
    const QString chosen = m_deviceBox->count() > 0 ? m_deviceBox->currentData().toString() : QStringLiteral("all");
    QSignalBlocker blocker(m_deviceBox);
    m_deviceBox->clear();
    m_deviceBox->addItem(tr("All Computers"), QStringLiteral("all"));
    m_deviceBox->addItem(tr("This Computer (%1)").arg(m_deviceNames.thisComputer), QStringLiteral("this"));
    for (const HistoryDevice &device : devices)
        m_deviceBox->addItem(device.name, device.id);
    m_deviceBox->setCurrentIndex(std::max(0, m_deviceBox->findData(chosen)));
    m_deviceBox->setVisible(!devices.isEmpty());
}

bool HistoryWindow::exportRange(const QString &path, bool totals, QString *error) const
{
    const std::unique_ptr<HistoryDatabase> database = openHistory(error);
    if (!database)
        return false;
    const auto [from, to] = HistoryDatabase::localDays(m_first, m_last);
    QString text;
    if (totals) {
        const std::optional<QList<HistoryTotal>> read = database->totals(HistoryDatabase::Grouping::Application, from, to, error);
        if (!read)
            return false;
        text = historyTotalsCsv(*read, HistoryDatabase::Grouping::Application);
    } else {
        const std::optional<QList<Stretch>> read = database->stretches(from, to, error);
        if (!read)
            return false;
        text = historyCsv(*read, m_deviceNames);
    }
    return writeFileAtomically(path, text.toUtf8(), error);
}

void HistoryWindow::chooseAndExport(bool totals)
{
    const QString path = QFileDialog::getSaveFileName(this, totals ? tr("Export Totals") : tr("Export Stretches"),
                                                      // not translated: a file name, with the day in ISO form
                                                      QStringLiteral("kestrum-history-%1.csv").arg(m_first.toString(Qt::ISODate)),
                                                      tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!exportRange(path, totals, &error))
        QMessageBox::warning(this, tr("Export"), tr("The history could not be exported: %1").arg(error));
}

void HistoryWindow::forgetRange()
{
    forget(std::nullopt);
}

void HistoryWindow::forgetSelectedApplication()
{
    const QTreeWidgetItem *item = m_bars->currentItem();
    if (!item)
        return;
    while (item->parent())
        item = item->parent();
    forget(item->text(0));
}

void HistoryWindow::forget(const std::optional<QString> &application)
{
    const QString range = m_first == m_last ? QLocale().toString(m_first, QLocale::LongFormat)
                                            : tr("%1 to %2", "a range of days")
                                                  .arg(QLocale().toString(m_first, QLocale::ShortFormat), QLocale().toString(m_last, QLocale::ShortFormat));
    const QString question = application ? tr("Forget everything \"%1\" did in the history from %2? This cannot be undone.")
                                               .arg(*application, range)
                                         : tr("Forget the history of %1? This cannot be undone.").arg(range);
    if (!m_confirm(question))
        return;
    const auto [from, to] = HistoryDatabase::localDays(m_first, m_last);
    QString error;
    qint64 removed = -1;
    if (m_handlers.forget) {
        removed = m_handlers.forget(from, to, application, &error);
    } else {
        QString warning;
        std::unique_ptr<HistoryDatabase> database = HistoryDatabase::open(m_path, &warning, &error);
        removed = database ? database->forget(from, to, application, &error) : -1;
    }
    m_status->setText(removed < 0 ? tr("Nothing was forgotten: %1").arg(error) : tr("%Ln stretch(es) forgotten.", nullptr, int(removed)));
    reload();
}

bool HistoryWindow::exportTimesheet(const QString &path, QString *error) const
{
    const std::unique_ptr<HistoryDatabase> database = openHistory(error);
    if (!database)
        return false;
    Classifier classifier(categorySet());
    const Timesheet::Rows rows = m_view == View::ByCategory ? Timesheet::Rows::Category : Timesheet::Rows::Application;
    const std::optional<Timesheet> sheet = Timesheet::read(*database, classifier, m_first, m_last, rows, 0, {}, error);
    return sheet && writeFileAtomically(path, sheet->csv(rows).toUtf8(), error);
}

void HistoryWindow::chooseAndExportTimesheet()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Export Timesheet"),
                                                      // not translated: a file name, with the day in ISO form
                                                      QStringLiteral("kestrum-timesheet-%1.csv").arg(m_first.toString(Qt::ISODate)),
                                                      tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!exportTimesheet(path, &error))
        QMessageBox::warning(this, tr("Export"), tr("The timesheet could not be exported: %1").arg(error));
}

bool HistoryWindow::assignSelection(const CategoryPath &category, QString *error)
{
    const std::optional<TimelineStrip::Span> span = m_timeline->selection();
    if (!span || category.isEmpty()) {
        *error = tr("nothing is selected");
        return false;
    }
    HistoryOperation operation{HistoryOperation::Kind::Assign, {}, {}, 0.0, category, {}};
    operation.stretch.start = span->from;
    operation.stretch.end = span->to;
    const bool assigned = write(operation, error);
    if (assigned) {
        m_status->setText(tr("%1 to %2 is now in \"%3\".")
                              .arg(TimelineStrip::clockText(span->from), TimelineStrip::clockText(span->to), categoryPathText(category)));
        reload();
    }
    return assigned;
}

bool HistoryWindow::write(const HistoryOperation &operation, QString *error)
{
    if (operation.kind == HistoryOperation::Kind::Assign && m_handlers.assign)
        return m_handlers.assign(operation.stretch.start, operation.stretch.end, operation.category, error);
    const bool overlay = operation.kind == HistoryOperation::Kind::PutOverlay || operation.kind == HistoryOperation::Kind::RemoveOverlay;
    if (overlay && m_handlers.overlay)
        return m_handlers.overlay(operation, error);
    QString warning;
    std::unique_ptr<HistoryDatabase> database = HistoryDatabase::open(m_path, &warning, error);
    return database && database->apply({operation}, error);
}

bool HistoryWindow::addTime(const OverlayEntry &entry, QString *error)
{
    if (entry.application.trimmed().isEmpty() || entry.end <= entry.start) {
        *error = tr("added time needs a name and an end after its start");
        return false;
    }
    OverlayEntry added = entry;
    added.kind = StretchSource::Added;
    if (!write({HistoryOperation::Kind::PutOverlay, {}, {}, 0.0, {}, added}, error))
        return false;
    m_status->setText(tr("%1 to %2 added as \"%3\".")
                          .arg(TimelineStrip::clockText(entry.start, false), TimelineStrip::clockText(entry.end, false), entry.application));
    reload();
    return true;
}

bool HistoryWindow::removeAddedTime(const Stretch &added, QString *error)
{
    // Its span goes with it: the days it reached are written again to the shared folder.
    OverlayEntry removed;
    removed.id = added.overlay;
    removed.start = added.start;
    removed.end = added.end;
    if (!write({HistoryOperation::Kind::RemoveOverlay, {}, {}, 0.0, {}, removed}, error))
        return false;
    m_status->setText(tr("The added time was removed; what was recorded beneath it counts again."));
    reload();
    return true;
}

bool HistoryWindow::renameSelection(const QString &name, QString *error)
{
    const qsizetype index = m_timeline->selectedPiece();
    if (index < 0 || name.trimmed().isEmpty()) {
        *error = tr("no stretch is selected");
        return false;
    }
    const Stretch &piece = m_timeline->pieces().at(index).stretch;
    if (piece.source == StretchSource::Added) {
        *error = tr("added time is changed with Edit Added Time…");
        return false;
    }
    // The piece may be part of its stretch (an assignment splits it): the rename takes the
    // stretch whose row it is, from the start of that stretch.
    QDateTime start = piece.start;
    if (const std::unique_ptr<HistoryDatabase> database = HistoryDatabase::openToRead(m_path, error)) {
        const std::optional<QList<Stretch>> around = database->stretches(piece.start, piece.end.addMSecs(1), error);
        if (!around)
            return false;
        for (const Stretch &stretch : *around) {
            if (stretch.row == piece.row)
                start = stretch.start;
        }
    }
    OverlayEntry renamed;
    renamed.kind = StretchSource::Corrected;
    renamed.start = start;
    renamed.end = start.addMSecs(1);
    renamed.application = name.trimmed();
    renamed.original = piece.recordedAs.value_or(piece.application);
    if (!write({HistoryOperation::Kind::PutOverlay, {}, {}, 0.0, {}, renamed}, error))
        return false;
    m_status->setText(tr("The stretch from %1 is now \"%2\"; it was recorded as \"%3\".")
                          .arg(TimelineStrip::clockText(start), renamed.application, renamed.original));
    reload();
    return true;
}

void HistoryWindow::addTimeWithEditor()
{
    OverlayEntry proposal;
    proposal.kind = StretchSource::Added;
    const std::optional<TimelineStrip::Span> span = m_timeline->selection();
    if (span && m_timeline->selectedPiece() < 0 && span->from < span->to) {
        proposal.start = span->from;
        proposal.end = span->to;
    } else {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const QDateTime end = m_first == m_last && m_first != QDate::currentDate() ? m_first.startOfDay().addSecs(10 * 3600).toUTC() : now;
        proposal.start = end.addSecs(-3600);
        proposal.end = end;
    }
    const std::optional<OverlayEntry> added = m_editAddedTime(proposal);
    QString error;
    if (added && !addTime(*added, &error))
        m_status->setText(tr("Nothing was added: %1").arg(error));
}

void HistoryWindow::editAddedTime(const Stretch &added)
{
    OverlayEntry proposal;
    proposal.id = added.overlay;
    proposal.kind = StretchSource::Added;
    proposal.start = added.start;
    proposal.end = added.end;
    proposal.application = added.application;
    proposal.category = added.category.value_or(CategoryPath());
    proposal.note = added.note;
    const std::optional<OverlayEntry> changed = m_editAddedTime(proposal);
    QString error;
    if (changed && !addTime(*changed, &error))
        m_status->setText(tr("Nothing was changed: %1").arg(error));
}

bool HistoryWindow::alwaysPut(CategoryRule::Field field, const QString &name, const CategoryPath &category, QString *error)
{
    if (!m_categories) {
        *error = tr("there is no categories file to keep the rule in");
        return false;
    }
    CategorySet set = m_categories->set();
    set.rules.prepend(CategoryRule::of(category, field, CategoryRule::Match::Is, name));
    if (!set.category(category))
        set.categories.append({category, {}, {}, 0});
    if (!m_categories->save(set, error))
        return false;
    m_classifier.reset();
    m_status->setText(tr("\"%1\" is now always in \"%2\", on every day kept.").arg(name, categoryPathText(category)));
    reload();
    return true;
}

namespace {

QString alwaysApplication(const QString &application)
{
    return HistoryWindow::tr("Always Put \"%1\" in…").arg(application);
}

QString alwaysWindow(const QString &window)
{
    return HistoryWindow::tr("Always Put Window \"%1\" in…").arg(window);
}

} // namespace

void HistoryWindow::askAndAlwaysPut(CategoryRule::Field field, const QString &name)
{
    const std::optional<CategoryPath> category = m_chooseCategory(tr("Always put \"%1\" into:").arg(name));
    QString error;
    if (category && !alwaysPut(field, name, *category, &error))
        m_status->setText(tr("Nothing was changed: %1").arg(error));
}

QStringList HistoryWindow::selectionActions() const
{
    if (!m_timeline->selection())
        return {};
    // Another computer's time is changed on that computer: its history is its own.
    if (m_timeline->selectedPiece() >= 0 && !m_timeline->pieces().at(m_timeline->selectedPiece()).stretch.device.isEmpty())
        return {};
    QStringList actions;
    if (m_timeline->selectedPiece() < 0)
        actions.append(tr("Add Time…"));
    actions.append(tr("Assign to Category…"));
    if (m_timeline->selectedPiece() >= 0) {
        const Stretch &stretch = m_timeline->pieces().at(m_timeline->selectedPiece()).stretch;
        if (stretch.source == StretchSource::Added) {
            actions << tr("Edit Added Time…") << tr("Remove Added Time");
        } else {
            actions.append(tr("Rename as…"));
            if (stretch.application != kIdle)
                actions.append(alwaysApplication(stretch.application));
            if (stretch.window)
                actions.append(alwaysWindow(*stretch.window));
        }
    }
    actions.append(tr("Forget…"));
    return actions;
}

void HistoryWindow::runSelectionAction(const QString &action)
{
    if (action == tr("Assign to Category…")) {
        const std::optional<CategoryPath> category = m_chooseCategory(tr("Put the selected time into:"));
        QString error;
        if (category && !assignSelection(*category, &error))
            m_status->setText(tr("Nothing was changed: %1").arg(error));
        return;
    }
    if (action == tr("Forget…")) {
        forgetSelection();
        return;
    }
    if (action == tr("Add Time…")) {
        addTimeWithEditor();
        return;
    }
    if (m_timeline->selectedPiece() < 0)
        return;
    const Stretch stretch = m_timeline->pieces().at(m_timeline->selectedPiece()).stretch;
    QString error;
    if (action == tr("Edit Added Time…")) {
        editAddedTime(stretch);
    } else if (action == tr("Remove Added Time")) {
        if (!removeAddedTime(stretch, &error))
            m_status->setText(tr("Nothing was removed: %1").arg(error));
    } else if (action == tr("Rename as…")) {
        const std::optional<QString> name = m_askName(tr("Count this stretch as:"), stretch.application);
        if (name && !renameSelection(*name, &error))
            m_status->setText(tr("Nothing was renamed: %1").arg(error));
    }
    if (action == alwaysApplication(stretch.application))
        askAndAlwaysPut(CategoryRule::Field::Application, stretch.application);
    else if (stretch.window && action == alwaysWindow(*stretch.window))
        askAndAlwaysPut(CategoryRule::Field::Window, *stretch.window);
}

QStringList HistoryWindow::rowActions(const QTreeWidgetItem *item) const
{
    const RowKind kind = RowKind(item->data(0, kKindRole).toInt());
    const QString name = item->data(0, kNameRole).toString();
    QStringList actions;
    if (item->data(0, kPathRole).value<CategoryPath>() == CategoryPath{Classifier::kUncategorized} && kind != RowKind::Category)
        actions.append(tr("Make a Rule…"));
    if (kind == RowKind::Application && name != kIdle)
        actions.append(alwaysApplication(name));
    if (kind == RowKind::Window)
        actions.append(alwaysWindow(name));
    if (kind == RowKind::Application && m_view == View::ByApplication)
        actions.append(tr("Forget Application…"));
    return actions;
}

void HistoryWindow::runRowAction(const QTreeWidgetItem *item, const QString &action)
{
    const RowKind kind = RowKind(item->data(0, kKindRole).toInt());
    const QString name = item->data(0, kNameRole).toString();
    if (action == tr("Make a Rule…")) {
        if (m_makeRule) {
            m_makeRule(CategoryRule::of({}, kind == RowKind::Window ? CategoryRule::Field::Window : CategoryRule::Field::Application,
                                        CategoryRule::Match::Is, name));
        }
    } else if (action == tr("Forget Application…")) {
        forget(name);
    } else if (action == alwaysApplication(name) || action == alwaysWindow(name)) {
        askAndAlwaysPut(kind == RowKind::Window ? CategoryRule::Field::Window : CategoryRule::Field::Application, name);
    }
}

void HistoryWindow::offerActions(const QStringList &actions, const QPoint &where, const std::function<void(const QString &)> &run)
{
    if (actions.isEmpty())
        return;
    QMenu menu(this);
    for (const QString &action : actions)
        menu.addAction(action);
    if (const QAction *chosen = menu.exec(where))
        run(chosen->text());
}

void HistoryWindow::forgetSelection()
{
    const std::optional<TimelineStrip::Span> span = m_timeline->selection();
    if (!span)
        return;
    const QString question = tr("Forget the stretches that start from %1 to %2? This cannot be undone.")
                                 .arg(TimelineStrip::clockText(span->from), TimelineStrip::clockText(span->to));
    if (!m_confirm(question))
        return;
    QString error;
    qint64 removed = -1;
    // The selected stretch's own start is in the range however its end was rounded.
    const QDateTime to = span->to.addMSecs(span->from == span->to ? 1 : 0);
    if (m_handlers.forget) {
        removed = m_handlers.forget(span->from, to, std::nullopt, &error);
    } else {
        QString warning;
        std::unique_ptr<HistoryDatabase> database = HistoryDatabase::open(m_path, &warning, &error);
        removed = database ? database->forget(span->from, to, std::nullopt, &error) : -1;
    }
    m_status->setText(removed < 0 ? tr("Nothing was forgotten: %1").arg(error) : tr("%Ln stretch(es) forgotten.", nullptr, int(removed)));
    reload();
}
