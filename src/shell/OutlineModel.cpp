#include "OutlineModel.h"

#include "tracking/TimeTracker.h"

#include <QMimeData>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstring>

auto OutlineModel::nodeOrder() const
{
    return [this](const TimeStoreNode *a, const TimeStoreNode *b) { return lessThan(a, b); };
}

auto OutlineModel::appRowOrder() const
{
    return [this](const AppRow &a, const AppRow &b) { return lessThan(a.app, b.app); };
}

OutlineModel::OutlineModel(TimeTracker &tracker, QObject *parent)
    : QAbstractItemModel(parent)
    , m_tracker(tracker)
{
    m_subscription = m_tracker.notifier().subscribe([this](const ChangeNotice &notice) { onNotice(notice); });
    rebuild();
}

OutlineModel::~OutlineModel()
{
    m_tracker.notifier().unsubscribe(m_subscription);
}

// --- structure -----------------------------------------------------------------------------------

QModelIndex OutlineModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column < 0 || column >= ColumnCount || row < 0)
        return {};
    if (!parent.isValid())
        return row < m_rows.size() ? createIndex(row, column, nullptr) : QModelIndex();
    if (parent.internalPointer() || parent.row() >= m_rows.size())
        return {}; // windows have no rows beneath them
    if (row >= m_rows.at(parent.row()).windows.size())
        return {};
    putInOrder(parent.row());
    return createIndex(row, column, m_rows.at(parent.row()).app);
}

QModelIndex OutlineModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || !child.internalPointer())
        return {};
    const int row = appRow(static_cast<const TimeStoreNode *>(child.internalPointer()));
    return row >= 0 ? createIndex(row, 0, nullptr) : QModelIndex();
}

int OutlineModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_rows.size());
    if (parent.internalPointer() || parent.column() != 0 || parent.row() >= m_rows.size())
        return 0;
    return int(m_rows.at(parent.row()).windows.size());
}

int OutlineModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

TimeStoreNode *OutlineModel::nodeAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    if (!index.internalPointer())
        return index.row() < m_rows.size() ? m_rows.at(index.row()).app : nullptr;
    const int row = appRow(static_cast<const TimeStoreNode *>(index.internalPointer()));
    if (row < 0 || index.row() >= m_rows.at(row).windows.size())
        return nullptr;
    return m_rows.at(row).windows.at(index.row());
}

QModelIndex OutlineModel::indexOf(const TimeStoreNode *node, int column) const
{
    if (const int row = appRow(node); row >= 0)
        return createIndex(row, column, nullptr);
    auto place = m_placeOfWindow.constFind(node);
    if (place == m_placeOfWindow.constEnd()) {
        // A window of an application whose rows are not in order yet, or one not shown.
        const auto *window = dynamic_cast<const TimeStoreWindow *>(node);
        const int ownerRow = window ? appRow(window->app()) : -1;
        if (ownerRow < 0 || m_rows.at(ownerRow).ordered)
            return {};
        putInOrder(ownerRow);
        place = m_placeOfWindow.constFind(node);
        if (place == m_placeOfWindow.constEnd())
            return {};
    }
    const int parentRow = appRow(place->app);
    if (parentRow < 0 || m_rows.at(parentRow).windows.value(place->row) != node)
        return {};
    return createIndex(place->row, column, const_cast<TimeStoreApp *>(place->app));
}

int OutlineModel::appRow(const TimeStoreNode *app) const
{
    return m_rowOfApp.value(app, -1);
}

void OutlineModel::placeWindows(int appRow) const
{
    const AppRow &app = m_rows.at(appRow);
    for (int row = 0; row < app.windows.size(); ++row)
        m_placeOfWindow.insert(app.windows.at(row), {app.app, row});
}

// --- contents ----------------------------------------------------------------------------------------

QVariant OutlineModel::data(const QModelIndex &index, int role) const
{
    const TimeStoreNode *node = nodeAt(index);
    if (!node)
        return {};
    // Time away the user named is shown as such, not as an application.
    const auto *app = dynamic_cast<const TimeStoreApp *>(node);
    const bool away = app && app->isAway();
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == NameColumn ? QVariant(node->name().value_or(QString())) : QVariant(node->activeTimeString());
    case Qt::ToolTipRole:
        if (away && index.column() == NameColumn)
            return tr("%1: time away from the computer, as you said").arg(node->name().value_or(QString()));
        return index.column() == NameColumn ? QVariant(node->name().value_or(QString())) : QVariant(node->activeTimeString());
    case Qt::TextAlignmentRole:
        return index.column() == TimeColumn ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    case SecondsRole:
        return node->activeTime();
    case NodeRole:
        return QVariant::fromValue(quintptr(node));
    default:
        return {};
    }
}

QVariant OutlineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::TextAlignmentRole)
        return section == TimeColumn ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant(); // over the times
    if (role != Qt::DisplayRole)
        return {};
    return section == NameColumn ? tr("Name") : tr("Time");
}

Qt::ItemFlags OutlineModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (index.internalPointer())
        flags |= Qt::ItemNeverHasChildren; // a window row
    return flags;
}

QStringList OutlineModel::mimeTypes() const
{
    return {QStringLiteral("text/plain")};
}

QMimeData *OutlineModel::mimeData(const QModelIndexList &indexes) const
{
    QList<TimeStoreNode *> nodes;
    QModelIndexList sorted = indexes;
    std::sort(sorted.begin(), sorted.end(), [this](const QModelIndex &a, const QModelIndex &b) {
        const auto key = [this](const QModelIndex &i) {
            return i.internalPointer() ? std::pair(appRow(static_cast<const TimeStoreNode *>(i.internalPointer())), i.row() + 1)
                                       : std::pair(i.row(), 0);
        };
        return key(a) < key(b);
    });
    for (const QModelIndex &index : std::as_const(sorted)) {
        TimeStoreNode *node = nodeAt(index);
        if (node && !nodes.contains(node))
            nodes.append(node);
    }
    auto *mime = new QMimeData;
    mime->setText(dragText(nodes));
    return mime;
}

QString OutlineModel::dragText(const QList<TimeStoreNode *> &nodes)
{
    QString text;
    for (const TimeStoreNode *node : nodes)
        text += node->name().value_or(QString()) + u'\t' + node->activeTimeString() + u'\n';
    return text;
}

// --- following the store -------------------------------------------------------------------------

QList<TimeStoreNode *> OutlineModel::shownWindows(const TimeStoreApp *app) const
{
    if (app->isLeaf())
        return {};
    const QList<TimeStoreWindow *> shown = m_tracker.shownWindows(*app);
    return {shown.cbegin(), shown.cend()};
}

void OutlineModel::putInOrder(int appRow) const
{
    AppRow &row = m_rows[appRow];
    if (row.ordered)
        return;
    std::stable_sort(row.windows.begin(), row.windows.end(), nodeOrder());
    row.ordered = true;
    placeWindows(appRow);
}

// An application's row after a change of the set of applications. Most such changes add one
// application and leave the others' windows as they were: their rows are kept (`kept` tells),
// with their order and places if they had them, rather than built again.
OutlineModel::AppRow OutlineModel::rowAfterSetChange(TimeStoreApp *app, bool *kept) const
{
    *kept = false;
    QList<TimeStoreNode *> shown = shownWindows(app);
    const int row = appRow(app);
    if (row < 0 || m_rows.at(row).windows.size() != shown.size())
        return {app, std::move(shown)};
    const AppRow &before = m_rows.at(row);
    if (!before.ordered) {
        // Still in the store's order: the same windows are the same list.
        *kept = before.windows == shown;
        return {app, std::move(shown)};
    }
    // By address: what the rows hold is the current nodes then, and whether they are still in
    // order is checked against those.
    const bool sameWindows = std::all_of(shown.cbegin(), shown.cend(), [&](const TimeStoreNode *window) {
        const auto place = m_placeOfWindow.constFind(window);
        return place != m_placeOfWindow.constEnd() && place->app == app;
    });
    if (!sameWindows || !std::is_sorted(before.windows.cbegin(), before.windows.cend(), nodeOrder()))
        return {app, std::move(shown)};
    *kept = true;
    return before;
}

void OutlineModel::rebuild()
{
    QList<AppRow> rows;
    QSet<const TimeStoreNode *> kept;
    for (TimeStoreApp *app : m_tracker.timeSet()) {
        bool rowKept = false;
        rows.append(rowAfterSetChange(app, &rowKept));
        if (rowKept)
            kept.insert(app);
    }
    // The places of kept rows stay; those of the others go. The applications gone may have been
    // deleted: only their addresses are compared.
    for (const AppRow &row : std::as_const(m_rows)) {
        if (kept.contains(row.app) || !row.ordered)
            continue;
        for (const TimeStoreNode *window : row.windows) {
            if (const auto place = m_placeOfWindow.constFind(window); place != m_placeOfWindow.constEnd() && place->app == row.app)
                m_placeOfWindow.erase(place);
        }
    }
    m_rows = std::move(rows);
    sortAppRows();
}

void OutlineModel::sortAppRows()
{
    std::stable_sort(m_rows.begin(), m_rows.end(), appRowOrder());
    m_rowOfApp.clear();
    for (int row = 0; row < m_rows.size(); ++row)
        m_rowOfApp.insert(m_rows.at(row).app, row);
}

void OutlineModel::onNotice(const ChangeNotice &notice)
{
    if (notice.property == ObservedProperty::TimeSet) {
        // The set of applications changed: new, loaded, cleared or filtered.
        if (notice.phase == ChangePhase::Will) {
            if (!m_resetting) {
                m_resetting = true;
                beginResetModel();
            }
        } else if (m_resetting) {
            rebuild();
            m_resetting = false;
            endResetModel();
        }
        return;
    }
    if (m_resetting || !notice.node)
        return;

    switch (notice.property) {
    case ObservedProperty::ActiveTimeString:
    case ObservedProperty::Name:
        textChanged(notice);
        break;
    case ObservedProperty::Children: {
        const int row = appRow(notice.node);
        if (row < 0 || notice.phase == ChangePhase::Will)
            break;
        const auto *app = static_cast<const TimeStoreApp *>(notice.node);
        // Whatever a view asks while the rows change is answered from rows in order, and only
        // an application whose windows change is put in order for it.
        putInOrder(row);
        const QList<TimeStoreNode *> after = shownWindows(app);
        const QSet<const TimeStoreNode *> shownAfter(after.cbegin(), after.cend());
        const QModelIndex parent = createIndex(row, 0, nullptr);
        // Rows stay where they are, so the user's selection and expanded rows stay too: only
        // windows no longer shown go, and new ones come, after which the order is restored.
        const qsizetype shownBefore = m_rows.at(row).windows.size();
        for (int child = int(shownBefore) - 1; child >= 0; --child) {
            const TimeStoreNode *window = m_rows.at(row).windows.at(child);
            if (shownAfter.contains(window))
                continue;
            beginRemoveRows(parent, child, child);
            m_placeOfWindow.remove(window);
            m_rows[row].windows.removeAt(child);
            endRemoveRows();
        }
        if (m_rows.at(row).windows.size() != shownBefore)
            placeWindows(row);
        QList<TimeStoreNode *> added;
        for (TimeStoreNode *window : after) {
            if (!m_placeOfWindow.contains(window))
                added.append(window);
        }
        if (added.isEmpty())
            break;
        const int first = int(m_rows.at(row).windows.size());
        beginInsertRows(parent, first, first + int(added.size()) - 1);
        m_rows[row].windows.append(added);
        placeWindows(row);
        endInsertRows();
        sortRows();
        break;
    }
    default:
        break;
    }
}

void OutlineModel::textChanged(const ChangeNotice &notice)
{
    if (notice.phase == ChangePhase::Will) {
        const bool isName = notice.property == ObservedProperty::Name;
        m_before = {notice.node, notice.property, isName ? notice.node->name() : std::nullopt,
                    isName ? 0.0 : std::floor(notice.node->activeTime())};
        return;
    }
    // Unless the text before is known to be the same, the cell is repainted. The duration text
    // shows whole seconds (timeStringForDouble floors them), so those are compared.
    const bool known = m_before.node == notice.node && m_before.property == notice.property;
    const bool changed = !known
        || (notice.property == ObservedProperty::Name ? m_before.name != notice.node->name()
                                                       : !(m_before.wholeSeconds == std::floor(notice.node->activeTime())));
    m_before = {};
    const bool isTime = notice.property == ObservedProperty::ActiveTimeString;
    const QModelIndex cell = indexOf(notice.node, isTime ? TimeColumn : NameColumn);
    if (!cell.isValid())
        return;
    if (changed)
        Q_EMIT dataChanged(cell, cell);
    // The order goes by the seconds themselves, which move also when the text does not.
    if ((changed || isTime) && (m_sortColumn == TimeColumn) == isTime && !isInPlace(cell))
        scheduleSort();
}

// --- order ----------------------------------------------------------------------------------------------

namespace {

QStringView nameOf(const TimeStoreNode *node)
{
    return node->name() ? QStringView(*node->name()) : QStringView();
}

// Names compare regardless of case, as QStringView::compare does with Qt::CaseInsensitive. Their
// ASCII start is compared here, though: a start-up sorts ten thousand names, and full case
// folding of every character made that most of the outline's first layout.
int compareNames(QStringView a, QStringView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    // Titles often share a long start ("document 12", "document 13"): runs of equal code units
    // are equal in any case, and are passed over four at a time.
    qsizetype i = 0;
    for (; i + 4 <= common; i += 4) {
        quint64 x = 0;
        quint64 y = 0;
        std::memcpy(&x, a.utf16() + i, sizeof x);
        std::memcpy(&y, b.utf16() + i, sizeof y);
        if (x != y)
            break;
    }
    for (; i < common; ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= 0x80 || y >= 0x80)
            return a.sliced(i).compare(b.sliced(i), Qt::CaseInsensitive);
        x = x >= u'A' && x <= u'Z' ? char16_t(x + 32) : x;
        y = y >= u'A' && y <= u'Z' ? char16_t(y + 32) : y;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

bool OutlineModel::lessThan(const TimeStoreNode *a, const TimeStoreNode *b) const
{
    int order = 0;
    if (m_sortColumn == TimeColumn) {
        // As numbers: as text, 100:00:00 would come before 99:59:59.
        order = a->activeTime() < b->activeTime() ? -1 : (a->activeTime() > b->activeTime() ? 1 : 0);
    }
    if (order == 0)
        order = compareNames(nameOf(a), nameOf(b));
    return m_sortOrder == Qt::AscendingOrder ? order < 0 : order > 0;
}

void OutlineModel::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column == TimeColumn ? TimeColumn : NameColumn;
    m_sortOrder = order;
    sortRows();
}

bool OutlineModel::isInPlace(const QModelIndex &index) const
{
    // A change moves one row at most: its neighbours tell whether the order still holds.
    const QModelIndex parent = index.parent();
    const TimeStoreNode *node = nodeAt(index);
    const QModelIndex before = this->index(index.row() - 1, 0, parent);
    const QModelIndex after = this->index(index.row() + 1, 0, parent);
    return !(before.isValid() && lessThan(node, nodeAt(before))) && !(after.isValid() && lessThan(nodeAt(after), node));
}

void OutlineModel::scheduleSort()
{
    if (m_sortScheduled)
        return;
    // Once per burst of changes (a tick changes several rows), after it.
    m_sortScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_sortScheduled = false;
        sortRows();
    });
}

void OutlineModel::sortRows()
{
    // Only what is out of order moves: the applications, and the windows of those whose rows
    // were put in order; the others are ordered when first asked for, by the order then.
    const bool appsInOrder = std::is_sorted(m_rows.cbegin(), m_rows.cend(), appRowOrder());
    QList<int> windowsToSort;
    for (int row = 0; row < m_rows.size(); ++row) {
        const AppRow &app = m_rows.at(row);
        if (app.ordered && !std::is_sorted(app.windows.cbegin(), app.windows.cend(), nodeOrder()))
            windowsToSort.append(row);
    }
    if (appsInOrder && windowsToSort.isEmpty())
        return;

    Q_EMIT layoutAboutToBeChanged();
    const QModelIndexList persistent = persistentIndexList();
    QList<std::pair<TimeStoreNode *, int>> remembered;
    remembered.reserve(persistent.size());
    for (const QModelIndex &index : persistent)
        remembered.append({nodeAt(index), index.column()});

    // Windows first, while the rows found above are where they were: a window's place names its
    // application, not the application's row.
    for (const int row : std::as_const(windowsToSort)) {
        std::stable_sort(m_rows[row].windows.begin(), m_rows[row].windows.end(), nodeOrder());
        placeWindows(row);
    }
    if (!appsInOrder)
        sortAppRows();

    QModelIndexList moved;
    moved.reserve(remembered.size());
    for (const auto &[node, column] : std::as_const(remembered))
        moved.append(node ? indexOf(node, column) : QModelIndex());
    changePersistentIndexList(persistent, moved);
    Q_EMIT layoutChanged();
}
