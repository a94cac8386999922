#include "AddTimeDialog.h"

#include "TimelineStrip.h"

#include <QComboBox>
#include <QCompleter>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

AddTimeDialog::AddTimeDialog(const OverlayEntry &proposal, const QList<CategoryPath> &categories, const QStringList &names, QWidget *parent)
    : QDialog(parent)
    , m_proposal(proposal)
    , m_categories(categories)
{
    setWindowTitle(proposal.id ? tr("Edit Added Time") : tr("Add Time"));
    const auto timeEdit = [this](const QDateTime &time, const QString &name) {
        auto *edit = new QDateTimeEdit(time.toLocalTime(), this);
        edit->setDisplayFormat(editFormat(true));
        edit->setCalendarPopup(true);
        edit->setAccessibleName(name);
        return edit;
    };
    m_start = timeEdit(proposal.start, tr("Start"));
    m_end = timeEdit(proposal.end, tr("End"));
    m_name = new QLineEdit(proposal.application, this);
    m_name->setPlaceholderText(tr("Meeting, phone call, workshop…"));
    auto *completer = new QCompleter(names, m_name);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_name->setCompleter(completer);
    m_category = new QComboBox(this);
    m_category->addItem(tr("No category"));
    for (const CategoryPath &path : categories)
        m_category->addItem(categoryPathText(path));
    m_category->setCurrentIndex(std::max(0, int(categories.indexOf(proposal.category)) + 1));
    m_note = new QLineEdit(proposal.note, this);
    m_note->setPlaceholderText(tr("Optional"));
    m_problem = new QLabel(this);
    m_problem->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(tr("From:"), m_start);
    form->addRow(tr("To:"), m_end);
    form->addRow(tr("What:"), m_name);
    form->addRow(tr("Category:"), m_category);
    form->addRow(tr("Note:"), m_note);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setText(proposal.id ? tr("Save") : tr("Add"));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_problem);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QDateTimeEdit *edit : {m_start, m_end})
        connect(edit, &QDateTimeEdit::dateTimeChanged, this, &AddTimeDialog::check);
    connect(m_name, &QLineEdit::textChanged, this, &AddTimeDialog::check);
    connect(m_category, &QComboBox::currentIndexChanged, this, &AddTimeDialog::check);
    check();
}

QString AddTimeDialog::editFormat(bool withTime)
{
    // A year of two digits would be read in the wrong century.
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return withTime ? format + u' ' + TimelineStrip::timeFormat(false) : format;
}

std::optional<OverlayEntry> AddTimeDialog::entry() const
{
    const QDateTime start = m_start->dateTime().toUTC();
    const QDateTime end = m_end->dateTime().toUTC();
    const CategoryPath category = m_categories.value(m_category->currentIndex() - 1);
    // Named by its category's last name where the user gave no name of its own.
    const QString name = m_name->text().trimmed().isEmpty() && !category.isEmpty() ? category.constLast() : m_name->text().trimmed();
    if (!problem().isEmpty())
        return std::nullopt;
    OverlayEntry entry = m_proposal;
    entry.kind = StretchSource::Added;
    entry.start = start;
    entry.end = end;
    entry.application = name;
    entry.category = category;
    entry.note = m_note->text().trimmed();
    return entry;
}

QString AddTimeDialog::problem() const
{
    if (m_end->dateTime() <= m_start->dateTime())
        return tr("The end must come after the start.");
    if (m_name->text().trimmed().isEmpty() && m_category->currentIndex() <= 0)
        return tr("Say what the time was, or choose a category.");
    if (m_start->dateTime().secsTo(m_end->dateTime()) > 7 * 24 * 3600)
        return tr("Added time is at most a week long.");
    return {};
}

void AddTimeDialog::check()
{
    const QString problem = this->problem();
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(problem.isEmpty());
}
