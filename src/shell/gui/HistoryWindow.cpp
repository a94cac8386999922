#include "HistoryWindow.h"

#include "history/HistoryCsv.h"
#include "persistence/AtomicFile.h"
#include "tracking/Settings.h"
#include "tracking/TimeTracker.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMap>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kIdle = QStringLiteral("Idle");
constexpr int kBarRole = Qt::UserRole + 1; // the row's share of the longest, 0..1

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
            painter->fillRect(bar, TimelineStrip::colourOf(index.data(Qt::UserRole).toString()).lighter(130));
        }
        QStyledItemDelegate::paint(painter, option, index);
    }
};

QString timeText(double seconds)
{
    return TimeTracker::timeStringForDouble(seconds);
}

} // namespace

// --- the timeline ---------------------------------------------------------------------------------

TimelineStrip::TimelineStrip(QWidget *parent)
    : QWidget(parent)
{
    setMinimumHeight(28);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QColor TimelineStrip::colourOf(const QString &application)
{
    if (application == kIdle)
        return QColor(200, 200, 200);
    // The same application gets the same colour everywhere, on every day.
    return QColor::fromHsv(int(qHash(application) % 360), 140, 210);
}

void TimelineStrip::setDay(QDate day, QList<Stretch> stretches)
{
    m_start = day.startOfDay();
    m_stretches = std::move(stretches);
    update();
}

double TimelineStrip::xOf(const QDateTime &time) const
{
    const double dayMs = double(m_start.msecsTo(m_start.addDays(1)));
    return std::clamp(double(m_start.msecsTo(time)) / dayMs, 0.0, 1.0) * width();
}

void TimelineStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    for (int hour = 0; hour <= 24; hour += 3) {
        const double x = width() * hour / 24.0;
        painter.setPen(palette().mid().color());
        painter.drawLine(QPointF(x, 0), QPointF(x, height()));
    }
    for (const Stretch &stretch : std::as_const(m_stretches)) {
        const double left = xOf(stretch.start);
        const double right = std::max(left + 1.0, xOf(stretch.end));
        painter.fillRect(QRectF(left, 4, right - left, height() - 8), colourOf(stretch.application));
    }
}

QString TimelineStrip::toolTipAt(int x) const
{
    for (const Stretch &stretch : m_stretches) {
        if (x >= int(xOf(stretch.start)) && x <= int(std::max(xOf(stretch.start) + 1.0, xOf(stretch.end)))) {
            return QStringLiteral("%1%2\n%3 – %4").arg(stretch.application,
                                                       stretch.window ? QStringLiteral(": ") + *stretch.window : QString(),
                                                       stretch.start.toLocalTime().toString(QStringLiteral("HH:mm:ss")),
                                                       stretch.end.toLocalTime().toString(QStringLiteral("HH:mm:ss")));
        }
    }
    return {};
}

bool TimelineStrip::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = toolTipAt(help->pos().x());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

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
    auto *next = new QToolButton(this);
    next->setArrowType(Qt::RightArrow);
    next->setToolTip(tr("Next"));
    m_dayEdit = new QDateEdit(QDate::currentDate(), this);
    m_dayEdit->setCalendarPopup(true);
    m_total = new QLabel(this);
    auto *top = new QHBoxLayout;
    top->addWidget(m_rangeBox);
    top->addWidget(previous);
    top->addWidget(m_dayEdit);
    top->addWidget(next);
    top->addStretch(1);
    top->addWidget(m_total);

    m_timeline = new TimelineStrip(this);
    m_bars = new QTreeWidget(this);
    m_bars->setColumnCount(2);
    m_bars->setHeaderLabels({tr("Application"), tr("Time")});
    m_bars->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_bars->setItemDelegateForColumn(1, new BarDelegate(m_bars));
    m_bars->setUniformRowHeights(true);
    m_status = new QLabel(this);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(tr("Export Stretches…"), QDialogButtonBox::ActionRole)->setObjectName(QStringLiteral("exportStretches"));
    buttons->addButton(tr("Export Totals…"), QDialogButtonBox::ActionRole)->setObjectName(QStringLiteral("exportTotals"));
    QPushButton *forgetRangeButton = buttons->addButton(tr("Forget Range…"), QDialogButtonBox::ActionRole);
    QPushButton *forgetAppButton = buttons->addButton(tr("Forget Application…"), QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    connect(buttons, &QDialogButtonBox::clicked, this, [this, forgetRangeButton, forgetAppButton](QAbstractButton *button) {
        if (button->objectName() == u"exportStretches")
            chooseAndExport(false);
        else if (button->objectName() == u"exportTotals")
            chooseAndExport(true);
        else if (button == forgetRangeButton)
            forgetRange();
        else if (button == forgetAppButton)
            forgetSelectedApplication();
    });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_timeline);
    layout->addWidget(m_bars, 1);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(640, 480);

    connect(m_rangeBox, &QComboBox::currentIndexChanged, this, [this](int index) { showRange(Range(index), m_dayEdit->date()); });
    connect(m_dayEdit, &QDateEdit::dateChanged, this, [this](QDate day) { showRange(m_range, day); });
    connect(previous, &QToolButton::clicked, this, [this] { step(-1); });
    connect(next, &QToolButton::clicked, this, [this] { step(1); });
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

void HistoryWindow::reload()
{
    if (m_handlers.beforeReading)
        m_handlers.beforeReading();
    m_bars->clear();
    m_timeline->setDay(m_first, {});
    m_total->clear();
    QString error;
    const std::unique_ptr<HistoryDatabase> database = HistoryDatabase::openToRead(m_path, &error);
    if (!database) {
        m_status->setText(error);
        return;
    }
    const auto [from, to] = HistoryDatabase::localDays(m_first, m_last);
    // The strip shows the day itself, or the first day of a longer range.
    const auto [dayStart, dayEnd] = HistoryDatabase::localDays(m_first, m_first);
    const std::optional<QList<Stretch>> day = database->stretches(dayStart, dayEnd, &error);
    const std::optional<QList<HistoryTotal>> read = day ? database->totals(HistoryDatabase::Grouping::Window, from, to, &error)
                                                        : std::nullopt;
    if (!read) {
        // Nothing of a history that reads only in part: it would show wrong totals.
        m_status->setText(database->isDamaged() ? tr("The history is damaged and cannot be shown (%1). Kestrum moves a damaged "
                                                     "history aside at its next start and keeps what can still be read of it.")
                                                      .arg(error)
                                                : tr("The history cannot be read: %1").arg(error));
        return;
    }
    m_status->clear();
    m_timeline->setDay(m_first, *day);
    const QList<HistoryTotal> &windows = *read;
    QMap<QString, QTreeWidgetItem *> applications;
    QMap<QString, double> applicationSeconds;
    double longest = 0.0;
    for (const HistoryTotal &total : windows)
        longest = std::max(longest, applicationSeconds[total.application] += total.seconds);
    double total = 0.0;
    double idle = 0.0;
    for (auto it = applicationSeconds.cbegin(); it != applicationSeconds.cend(); ++it) {
        auto *item = new QTreeWidgetItem(m_bars, {it.key(), timeText(it.value())});
        item->setData(1, Qt::UserRole, it.key());
        item->setData(1, kBarRole, longest > 0.0 ? it.value() / longest : 0.0);
        item->setData(0, Qt::UserRole, it.value());
        applications.insert(it.key(), item);
        (it.key() == kIdle ? idle : total) += it.value();
    }
    for (const HistoryTotal &window : windows) {
        if (!window.window)
            continue;
        auto *item = new QTreeWidgetItem(applications.value(window.application), {*window.window, timeText(window.seconds)});
        item->setData(1, Qt::UserRole, window.application);
        item->setData(1, kBarRole, longest > 0.0 ? window.seconds / longest : 0.0);
    }
    // Longest first: sort on the seconds, not the text.
    QList<QTreeWidgetItem *> items;
    while (m_bars->topLevelItemCount() > 0)
        items.append(m_bars->takeTopLevelItem(0));
    std::sort(items.begin(), items.end(), [](QTreeWidgetItem *a, QTreeWidgetItem *b) { return a->data(0, Qt::UserRole).toDouble() > b->data(0, Qt::UserRole).toDouble(); });
    m_bars->addTopLevelItems(items);

    const bool idleCounts = m_settings.boolValue(SettingsKey::IncludeIdleInSumOfTimes);
    m_total->setText(tr("Total: %1 · Idle: %2").arg(timeText(idleCounts ? total + idle : total), timeText(idle)));
}

bool HistoryWindow::exportRange(const QString &path, bool totals, QString *error) const
{
    const std::unique_ptr<HistoryDatabase> database = HistoryDatabase::openToRead(m_path, error);
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
        text = historyCsv(*read);
    }
    return writeFileAtomically(path, text.toUtf8(), error);
}

void HistoryWindow::chooseAndExport(bool totals)
{
    const QString path = QFileDialog::getSaveFileName(this, totals ? tr("Export Totals") : tr("Export Stretches"),
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
                                            : tr("%1 to %2").arg(QLocale().toString(m_first, QLocale::ShortFormat),
                                                                 QLocale().toString(m_last, QLocale::ShortFormat));
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
    m_status->setText(removed < 0 ? tr("Nothing was forgotten: %1").arg(error) : tr("%n stretch(es) forgotten.", nullptr, int(removed)));
    reload();
}
