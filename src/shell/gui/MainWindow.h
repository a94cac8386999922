#pragma once

#include "HistoryHandlers.h"
#include "categories/CategoriesFile.h"
#include "persistence/CsvExport.h"
#include "shell/LoginAutostart.h"
#include "store/ChangeNotifier.h"

#include <QMainWindow>
#include <QModelIndex>
#include <QSet>

#include <functional>
#include <optional>

class KestrumController;
class OutlineModel;
class PrefWindow;
class CategoriesWindow;
class AwayQuestionWindow;
class AwayNotifier;
class QDBusConnection;
class HistoryWindow;
class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTreeView;
class SumOfTimesLabel;
class TimeStoreNode;

// Kestrum's window: Start/Pause, the search field and the minimum-time slider above the
// outline of the timings, and the total of the selection (or of everything) beneath it.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(KestrumController &controller, QWidget *parent = nullptr);
    ~MainWindow() override;

    // What the Start/Pause button says, in the user's words: the controller names what a click
    // does ("Start" or "Pause"), as the tray's item says it too.
    static QString countingText(const KestrumController &controller);

    // Quits without asking, after storing the timings, whatever dialog is open (a quit signal,
    // the end of the session).
    void quitWithoutQuestion();

    // Where View ▸ History… reads, and how it reaches what is not written yet.
    void setHistory(const QString &path, HistoryHandlers handlers);
    HistoryWindow &historyWindow();
    // Edit ▸ Categories…, over the user's categories file (followed as it changes on disk).
    CategoriesFile &categories();
    CategoriesWindow &categoriesWindow();
    // "What were you doing?", shown when the user comes back from time away.
    AwayQuestionWindow &awayQuestion();
    // From now on the question is asked as a notification where the desktop's service on `bus`
    // offers actions, and by the window elsewhere.
    void askThroughNotifications(const QDBusConnection &bus);

    // The categories follow the shared folder: this computer's move there after a question, and
    // a conflict copy the sync tool made of them is settled after another.
    void followSharedCategories(const QString &localPath = CategoriesFile::defaultPath());
    // How the user answers such a question (tests give their own): the index of the answer
    // chosen, or -1 for none (asked again later).
    using QuestionAsker = std::function<int(const QString &question, const QString &detail, const QStringList &answers)>;
    void setQuestionAsker(QuestionAsker ask) { m_ask = std::move(ask); }

    // What the preferences window says of the desktop (see PrefWindow::setDesktopNote).
    void setDesktopNote(const QString &text);
    // This computer's device id, for the preferences window.
    void setDeviceId(const QString &id);

    QPushButton *countingButton() const { return m_countingButton; }
    QLineEdit *searchField() const { return m_searchField; }
    QSlider *cutoffSlider() const { return m_cutoffSlider; }
    QLabel *cutoffDisplay() const { return m_cutoffDisplay; }
    QTreeView *outline() const { return m_outline; }
    // What the empty outline says to do while nothing is counted.
    QLabel *emptyOutlineHint() const { return m_emptyHint; }
    OutlineModel *outlineModel() const { return m_model; }
    SumOfTimesLabel *totalLabel() const { return m_totalLabel; }
    QLabel *totalCaption() const { return m_totalCaption; }
    QList<TimeStoreNode *> selectedNodes() const;
    // The preferences window, made when first asked for.
    PrefWindow &prefWindow();

    // The commands, for menus, shortcuts and tests.
    // Opens a timing document; when the current timings hold anything, asks first whether
    // to save them, replace them or cancel.
    void openTimings(const QString &path);
    // Answers whether the timings were saved; a failure has been shown.
    bool saveTimingsAs(const QString &path);
    void exportToCsv(ExportScope scope, const QString &path);
    void clearTimers();
    void showPreferences();
    // Applications with less time than this are not shown; the slider sets whole minutes.
    void setCutoffValue(double seconds);

protected:
    void closeEvent(QCloseEvent *event) override;

Q_SIGNALS:
    // The preferences changed what or where the history is shared.
    void sharingChanged();

private:
    void settleCategoryConflicts();
    void buildMenus();
    void chooseAndOpen();
    bool chooseAndSave();
    bool hasTimings() const;
    bool mayReplaceTimings(const QString &path);
    void chooseAndExport(ExportScope scope);
    void showFailure(const QString &what, const QString &reason);
    void updateStatus();
    void updateEmptyHint();
    // The cut-off slider spans the longest application's time in whole minutes, so that a small
    // drag is a small change; it follows the store as times grow and applications come and go.
    void followStoreForCutoffRange(const ChangeNotice &notice);
    // The outline is rebuilt whenever the set of applications changes (one appears, a search,
    // a load); the selected and expanded rows are kept across that, by name. An application
    // stays expanded until the user collapses it, also while a search hides it.
    struct OutlineRow
    {
        QString application;
        std::optional<QString> window;
    };
    std::optional<OutlineRow> outlineRowAt(const QModelIndex &index) const;
    QModelIndex indexOfOutlineRow(const OutlineRow &row) const;
    void keepOutlineState();
    void restoreOutlineState();

    KestrumController &m_controller;
    OutlineModel *m_model = nullptr;
    QPushButton *m_countingButton = nullptr;
    QAction *m_countingAction = nullptr;
    QLineEdit *m_searchField = nullptr;
    QSlider *m_cutoffSlider = nullptr;
    QLabel *m_cutoffDisplay = nullptr;
    QTreeView *m_outline = nullptr;
    QLabel *m_emptyHint = nullptr;
    QLabel *m_totalCaption = nullptr;
    SumOfTimesLabel *m_totalLabel = nullptr;
    LoginAutostart m_autostart;
    PrefWindow *m_prefWindow = nullptr;
    QuestionAsker m_ask;
    bool m_settlingConflict = false;
    QString m_desktopNote;
    QString m_historyPath;
    HistoryHandlers m_historyHandlers;
    HistoryWindow *m_historyWindow = nullptr;
    CategoriesFile *m_categories = nullptr;
    CategoriesWindow *m_categoriesWindow = nullptr;
    AwayQuestionWindow *m_awayQuestion = nullptr;
    AwayNotifier *m_awayNotifier = nullptr;
    QString m_deviceId;
    QString m_lastSaveError;
    QString m_lastPeriodicSaveError;
    QList<OutlineRow> m_keptSelection;
    std::optional<OutlineRow> m_keptCurrent;
    QSet<QString> m_expandedApplications;
    ChangeNotifier::SubscriptionId m_storeSubscription = 0;
    bool m_quitting = false;
};
