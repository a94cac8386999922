#pragma once

#include "HistoryHandlers.h"
#include "TimelineStrip.h"
#include "categories/Classifier.h"
#include "history/HistoryCsv.h"
#include "history/HistoryDatabase.h"

#include <QDialog>

#include <functional>

class CategoriesFile;
class QComboBox;
class QDateEdit;
class QLabel;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class Settings;

// View ▸ History…: the booked stretches of a day, a week or a month, read from the history
// database, by application or by category. A timeline of the day, bars of the applications and
// their windows (beneath their categories), the total (with "Idle" apart), export of the range
// to CSV or as a timesheet, forgetting a range or an application, and putting a stretch or a
// range into a category.
class HistoryWindow : public QDialog
{
    Q_OBJECT

public:
    enum class Range { Day, Week, Month };
    enum class View { ByApplication, ByCategory };

    // `path`: the history file.
    HistoryWindow(QString path, const Settings &settings, HistoryHandlers handlers, QWidget *parent = nullptr);
    ~HistoryWindow() override;

    // Shows the range of this kind around `day`, read afresh.
    void showRange(Range range, QDate day);
    void setView(View view);
    View view() const { return m_view; }
    // The categories to sort by, followed as they change; without them, the default set.
    void setCategories(CategoriesFile *categories);
    QDate firstDay() const { return m_first; }
    QDate lastDay() const { return m_last; }

    // What to do when the user is asked something; by default a message box. For tests.
    void setConfirmation(std::function<bool(const QString &)> confirm) { m_confirm = std::move(confirm); }
    // Forgets the shown range, or the selected application in it, after a question.
    void forgetRange();
    void forgetSelectedApplication();
    // Writes the range's stretches (or totals) as CSV to `path`.
    bool exportRange(const QString &path, bool totals, QString *error) const;
    // Writes the range as a timesheet (days as columns) by the view's rows, as CSV.
    bool exportTimesheet(const QString &path, QString *error) const;

    // Puts the timeline's selection into `category`, above the rules.
    bool assignSelection(const CategoryPath &category, QString *error);
    // Adds time the computer did not see (an entry of id 0), or changes added time; removes it.
    bool addTime(const OverlayEntry &entry, QString *error);
    bool removeAddedTime(const Stretch &added, QString *error);
    // Shows the selected stretch as `name` from now on; what was recorded is kept beneath.
    bool renameSelection(const QString &name, QString *error);
    // Add Time…: the time the user adds, from a proposal (by default the dialog); none: cancelled.
    void setAddedTimeEditor(std::function<std::optional<OverlayEntry>(const OverlayEntry &proposal)> edit) { m_editAddedTime = std::move(edit); }
    // How the user gives a new name (by default a dialog); none: cancelled.
    void setNameAsker(std::function<std::optional<QString>(const QString &question, const QString &name)> ask) { m_askName = std::move(ask); }
    // Opens Add Time… for the dragged range, else for the hour before now on the shown day.
    void addTimeWithEditor();
    // Puts an application's (or a window's) time into `category` from now on and on every day
    // kept: a rule first in the list.
    bool alwaysPut(CategoryRule::Field field, const QString &name, const CategoryPath &category, QString *error);
    // How the user picks a category (by default a dialog listing them, any path may be typed),
    // and what "Make a rule…" opens with the rule filled in. For the main window and tests.
    void setCategoryChooser(std::function<std::optional<CategoryPath>(const QString &question)> choose) { m_chooseCategory = std::move(choose); }
    void setRuleMaker(std::function<void(const CategoryRule &)> makeRule) { m_makeRule = std::move(makeRule); }
    // The context actions of the timeline's selection, and of a row of the bars.
    QStringList selectionActions() const;
    void runSelectionAction(const QString &action);
    QStringList rowActions(const QTreeWidgetItem *item) const;
    void runRowAction(const QTreeWidgetItem *item, const QString &action);

    TimelineStrip *timeline() const { return m_timeline; }
    QTreeWidget *bars() const { return m_bars; }
    QLabel *totalLabel() const { return m_total; }
    QLabel *statusLabel() const { return m_status; }
    QLabel *legendLabel() const { return m_legend; }
    // Whose time is shown: all computers (the first choice, once the history holds others'),
    // this one, or one of the others; hidden while there are no others.
    QComboBox *deviceBox() const { return m_deviceBox; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void reload();
    // The history, reading the computers chosen; null, with the reason, when it cannot be read.
    std::unique_ptr<HistoryDatabase> openHistory(QString *error) const;
    void readChosenDevices(HistoryDatabase &database) const;
    // The device choice, kept, as the history now names the other computers.
    void showDevices(const QList<HistoryDevice> &devices);
    void step(int direction);
    void chooseAndExport(bool totals);
    void chooseAndExportTimesheet();
    void forget(const std::optional<QString> &application);
    void forgetSelection();
    void askAndAlwaysPut(CategoryRule::Field field, const QString &name);
    const CategorySet &categorySet() const;
    void showBarsByApplication(const QList<HistoryTotal> &windows);
    void showBarsByCategory(const QList<HistoryCategories::Share> &shares);
    void showLegend();
    // Writes one operation after all that was booked before, through the handlers where they are.
    bool write(const HistoryOperation &operation, QString *error);
    void editAddedTime(const Stretch &added);
    void offerActions(const QStringList &actions, const QPoint &where, const std::function<void(const QString &)> &run);

    QString m_path;
    const Settings &m_settings;
    HistoryHandlers m_handlers;
    std::function<bool(const QString &)> m_confirm;
    Range m_range = Range::Day;
    View m_view = View::ByApplication;
    CategoriesFile *m_categories = nullptr;
    CategorySet m_defaultSet = CategorySet::defaults();
    std::unique_ptr<Classifier> m_classifier; // kept while the rules stay: names are matched once
    std::function<std::optional<CategoryPath>(const QString &)> m_chooseCategory;
    std::function<void(const CategoryRule &)> m_makeRule;
    std::function<std::optional<OverlayEntry>(const OverlayEntry &)> m_editAddedTime;
    std::function<std::optional<QString>(const QString &, const QString &)> m_askName;
    QDate m_first;
    QDate m_last;
    QComboBox *m_rangeBox = nullptr;
    QComboBox *m_viewBox = nullptr;
    QComboBox *m_deviceBox = nullptr;
    DeviceNames m_deviceNames;
    QToolButton *m_zoom = nullptr;
    QLabel *m_legend = nullptr;
    QDateEdit *m_dayEdit = nullptr;
    TimelineStrip *m_timeline = nullptr;
    QTreeWidget *m_bars = nullptr;
    QLabel *m_total = nullptr;
    QLabel *m_status = nullptr;
};
