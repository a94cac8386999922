#pragma once

#include "HistoryHandlers.h"
#include "categories/CategorySet.h"

#include <QDialog>
#include <QTimer>

class CategoriesFile;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

// Edit ▸ Categories…: the tree of categories with their colours and the ordered rules that sort
// time into them. Rules are added, removed, edited in place and reordered by dragging or with
// Ctrl+Up and Ctrl+Down; a rule that cannot be used says why (a pattern the regular-expression
// engine rejects, with its message). Beside each rule, how much of the last seven days it
// claims; a "try it" line tells which rule and category a name gets. Nothing is written until
// Save.
class CategoriesWindow : public QDialog
{
    Q_OBJECT

public:
    enum RuleColumn { CategoryColumn, FieldColumn, MatchColumn, PatternColumn, CaseColumn, ClaimsColumn, ProblemColumn };

    // `historyPath`: the history the claims of the last seven days are read from.
    CategoriesWindow(CategoriesFile &file, QString historyPath, HistoryHandlers handlers, QWidget *parent = nullptr);

    // What the editor holds now, and replacing it (as an import does).
    CategorySet editedSet() const;
    void setEditedSet(const CategorySet &set);
    // Opens with `rule` added first, its category to be chosen (from "Make a Rule…").
    void addRule(const CategoryRule &rule);
    void addCategory(const CategoryPath &path, const QString &colour = {});
    void removeDefaults();
    // Moves the rule at `from` to `to`.
    void moveRule(int from, int to);
    // "rule 2: window contains "x" → Work ▸ Kestrum", for an application and a window name.
    QString tryIt(const QString &application, const QString &window) const;
    // The seconds of the last seven days each rule claims, in the order of the rules.
    QList<double> claims() const { return m_claims; }
    bool save(QString *error);
    bool importFile(const QString &path, QString *error);
    bool exportFile(const QString &path, QString *error) const;

    QTreeWidget *rulesView() const { return m_rules; }
    QTreeWidget *categoriesView() const { return m_categories; }
    QLabel *statusLabel() const { return m_status; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void load(const CategorySet &set);
    QTreeWidgetItem *ruleItem(const CategoryRule &rule);
    void addCategoryItem(const Category &category);
    CategoryRule ruleOf(const QTreeWidgetItem *item) const;
    void recheck();
    void updateClaims();
    void updateTryIt();
    void chooseColour(QTreeWidgetItem *item);

    CategoriesFile &m_file;
    QString m_historyPath;
    HistoryHandlers m_handlers;
    CategorySet m_loaded; // what the editor was opened with: keys it does not show are kept
    QTreeWidget *m_categories = nullptr;
    QTreeWidget *m_rules = nullptr;
    QLineEdit *m_tryApplication = nullptr;
    QLineEdit *m_tryWindow = nullptr;
    QLabel *m_tryResult = nullptr;
    QLabel *m_status = nullptr;
    QList<double> m_claims;
    QTimer m_claimsLater; // edits come in bursts: the history is read once they settle
    bool m_loading = false;
    bool m_saving = false;
};
