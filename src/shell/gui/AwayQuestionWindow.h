#pragma once

#include "categories/CategorySet.h"
#include "tracking/AwayStretch.h"

#include <QWidget>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class Settings;
class TimeTracker;

// "What were you doing?": a small window that asks, without taking the focus from what the user
// came back to, what the stretches of time away were. The user's recent answers are one click
// away; "Keep as Idle" (the default, and Escape, and closing) leaves the time in "Idle". With
// several stretches waiting, the answer goes to those ticked.
class AwayQuestionWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kRecentAnswers = 6;

    AwayQuestionWindow(TimeTracker &tracker, Settings &settings, QWidget *parent = nullptr);

    // Shows the questions waiting, or hides when none is; never takes the focus.
    void refresh();
    // The categories an answer may be put in.
    void setCategories(const QList<CategoryPath> &categories);
    // "Away from 10:05 to 10:47 (42 min). What was it?"
    static QString questionText(const AwayStretch &stretch);
    // "Away from 10:05 to 10:47 (42 min)", as the list of several stretches shows each.
    static QString stretchText(const AwayStretch &stretch);
    static QString durationText(double seconds);
    // The question for all that waits: questionText() for one, "Away 3 times (…)" for several.
    static QString summaryText(const QList<AwayStretch> &waiting);
    // Puts `label` first among the recent answers.
    static void rememberAnswer(Settings &settings, const QString &label);

    // Answers the stretches ticked (all of them with one waiting) with `label` and the chosen category.
    void answer(const QString &label);
    void keepAsIdle();

    QLineEdit *labelField() const { return m_label; }
    QComboBox *categoryChoice() const { return m_category; }
    QListWidget *stretchList() const { return m_stretches; }
    QLabel *questionLabel() const { return m_question; }
    QList<QPushButton *> recentButtons() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QList<quint64> chosenStretches() const;
    void rebuildRecent();

    TimeTracker &m_tracker;
    Settings &m_settings;
    QLabel *m_question = nullptr;
    QListWidget *m_stretches = nullptr;
    QHBoxLayout *m_recent = nullptr;
    QLineEdit *m_label = nullptr;
    QComboBox *m_category = nullptr;
    QPushButton *m_keep = nullptr;
    QPushButton *m_book = nullptr;
    QList<CategoryPath> m_categories;
};
