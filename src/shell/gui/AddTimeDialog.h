#pragma once

#include "history/HistoryOverlay.h"

#include <QDialog>

class QComboBox;
class QDateTimeEdit;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

// History ▸ Add Time…: a start, an end, what the time was (an entry's name, a category or both)
// and a note, for time the computer did not see. Also edits added time.
class AddTimeDialog : public QDialog
{
    Q_OBJECT

public:
    AddTimeDialog(const OverlayEntry &proposal, const QList<CategoryPath> &categories, const QStringList &names, QWidget *parent = nullptr);

    // What the dialog holds now, as added time (the proposal's id kept); none while it cannot be
    // added (no name and no category, or an end not after the start), with the reason shown.
    std::optional<OverlayEntry> entry() const;
    // The display format of a date edit (with the time to the minute, or without), in the user's
    // locale's short form with the year in four digits.
    static QString editFormat(bool withTime);

    QDateTimeEdit *startEdit() const { return m_start; }
    QDateTimeEdit *endEdit() const { return m_end; }
    QLineEdit *nameField() const { return m_name; }
    QComboBox *categoryChoice() const { return m_category; }
    QLineEdit *noteField() const { return m_note; }

private:
    // Why the dialog's values cannot be added, or nothing.
    QString problem() const;
    void check();

    OverlayEntry m_proposal;
    QList<CategoryPath> m_categories;
    QDateTimeEdit *m_start = nullptr;
    QDateTimeEdit *m_end = nullptr;
    QLineEdit *m_name = nullptr;
    QComboBox *m_category = nullptr;
    QLineEdit *m_note = nullptr;
    QLabel *m_problem = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
};
