#pragma once

#include "store/ChangeNotifier.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QList>

#include <optional>

class TimeStoreApp;
class TimeStoreNode;
class TimeStoreWindow;
class TimeTracker;

// The outline of the timings: the tracker's filtered set of applications, and under each
// application that is not a leaf its windows; two columns, name and duration text.
// It follows the store's change notices, so a booked second updates one row rather than
// resetting the model, and a store of thousands of applications stays smooth while counting.
// A change is announced only when it changes the text a cell shows: the many bookings of less
// than a second, and names set to what they were, repaint nothing.
class OutlineModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, TimeColumn, ColumnCount };
    // The node a row shows, for selection totals and drags.
    static constexpr int NodeRole = Qt::UserRole + 1;
    // Seconds as a number, so that sorting by time is numeric; announced with the text.
    static constexpr int SecondsRole = Qt::UserRole + 2;

    explicit OutlineModel(TimeTracker &tracker, QObject *parent = nullptr);
    ~OutlineModel() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;

    TimeStoreNode *nodeAt(const QModelIndex &index) const;
    QModelIndex indexOf(const TimeStoreNode *node, int column = NameColumn) const;

    // The rows as text, one line a row: the name and the duration text separated by a tab.
    static QString dragText(const QList<TimeStoreNode *> &nodes);

private:
    // An application's windows are put in order, and placed, when a view first asks for one of
    // them: until then they are in the store's order, and only their number has been told. A
    // large store opens with its applications collapsed, and most are never expanded.
    struct AppRow
    {
        TimeStoreApp *app;
        QList<TimeStoreNode *> windows; // shown only when the application is not a leaf
        bool ordered = false;
    };

    void onNotice(const ChangeNotice &notice);
    void textChanged(const ChangeNotice &notice);
    void rebuild();
    QList<TimeStoreNode *> shownWindows(const TimeStoreApp *app) const;
    AppRow rowAfterSetChange(TimeStoreApp *app, bool *kept) const;
    void putInOrder(int appRow) const;
    bool lessThan(const TimeStoreNode *a, const TimeStoreNode *b) const;
    // lessThan as comparators of windows and of application rows.
    auto nodeOrder() const;
    auto appRowOrder() const;
    void sortAppRows();
    void sortRows();
    void scheduleSort();
    bool isInPlace(const QModelIndex &index) const;
    int appRow(const TimeStoreNode *app) const;
    void placeWindows(int appRow) const;

    TimeTracker &m_tracker;
    ChangeNotifier::SubscriptionId m_subscription = 0;
    // Mutable for the windows put in order when first asked for.
    mutable QList<AppRow> m_rows;
    // Where each shown window is, so that a booked second finds its row at once.
    struct WindowPlace
    {
        const TimeStoreApp *app;
        int row;
    };
    QHash<const TimeStoreNode *, int> m_rowOfApp;
    mutable QHash<const TimeStoreNode *, WindowPlace> m_placeOfWindow; // of ordered rows only
    int m_sortColumn = NameColumn;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    // What the cell whose change was announced last showed before it.
    struct ShownBefore
    {
        const TimeStoreNode *node = nullptr;
        ObservedProperty property = ObservedProperty::Name;
        std::optional<QString> name;
        double wholeSeconds = 0.0;
    };
    ShownBefore m_before;
    bool m_resetting = false;
    bool m_sortScheduled = false;
};
