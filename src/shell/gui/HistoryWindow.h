#pragma once

#include "HistoryHandlers.h"
#include "history/HistoryDatabase.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QDateEdit;
class QLabel;
class QTreeWidget;
class Settings;
class TimelineStrip;

// View ▸ History…: the booked stretches of a day, a week or a month, read from the history
// database. A timeline of the day, bars of the applications and their windows, the total
// (with "Idle" apart), export of the range to CSV, and forgetting a range or an application.
class HistoryWindow : public QDialog
{
    Q_OBJECT

public:
    enum class Range { Day, Week, Month };

    // `path`: the history file.
    HistoryWindow(QString path, const Settings &settings, HistoryHandlers handlers, QWidget *parent = nullptr);
    ~HistoryWindow() override;

    // Shows the range of this kind around `day`, read afresh.
    void showRange(Range range, QDate day);
    QDate firstDay() const { return m_first; }
    QDate lastDay() const { return m_last; }

    // What to do when the user is asked something; by default a message box. For tests.
    void setConfirmation(std::function<bool(const QString &)> confirm) { m_confirm = std::move(confirm); }
    // Forgets the shown range, or the selected application in it, after a question.
    void forgetRange();
    void forgetSelectedApplication();
    // Writes the range's stretches (or totals) as CSV to `path`.
    bool exportRange(const QString &path, bool totals, QString *error) const;

    TimelineStrip *timeline() const { return m_timeline; }
    QTreeWidget *bars() const { return m_bars; }
    QLabel *totalLabel() const { return m_total; }
    QLabel *statusLabel() const { return m_status; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void reload();
    void step(int direction);
    void chooseAndExport(bool totals);
    void forget(const std::optional<QString> &application);

    QString m_path;
    const Settings &m_settings;
    HistoryHandlers m_handlers;
    std::function<bool(const QString &)> m_confirm;
    Range m_range = Range::Day;
    QDate m_first;
    QDate m_last;
    QComboBox *m_rangeBox = nullptr;
    QDateEdit *m_dayEdit = nullptr;
    TimelineStrip *m_timeline = nullptr;
    QTreeWidget *m_bars = nullptr;
    QLabel *m_total = nullptr;
    QLabel *m_status = nullptr;
};

// The stretches of one day along a strip, one colour per application; hovering one tells
// which application and window, from when to when.
class TimelineStrip : public QWidget
{
    Q_OBJECT

public:
    explicit TimelineStrip(QWidget *parent = nullptr);
    void setDay(QDate day, QList<Stretch> stretches);
    qsizetype stretchCount() const { return m_stretches.size(); }
    // What hovering at x tells; empty where no stretch is.
    QString toolTipAt(int x) const;
    static QColor colourOf(const QString &application);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    QSize sizeHint() const override { return {600, 36}; }

private:
    double xOf(const QDateTime &time) const;

    QDateTime m_start; // the day's local midnight
    QList<Stretch> m_stretches;
};
