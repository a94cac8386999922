#include "AwayQuestionWindow.h"

#include "tracking/Settings.h"
#include "tracking/TimeTracker.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <QLocale>

#include <cmath>

namespace {

// A moment of the day as the user's locale writes the time.
QString clockTime(const QDateTime &moment)
{
    return QLocale().toString(moment.toLocalTime().time(), QLocale::ShortFormat);
}

} // namespace

AwayQuestionWindow::AwayQuestionWindow(TimeTracker &tracker, Settings &settings, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_tracker(tracker)
    , m_settings(settings)
{
    setWindowTitle(tr("What were you doing?"));
    // The user came back to something else: this window waits beside it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto *layout = new QVBoxLayout(this);
    m_question = new QLabel(this);
    m_question->setWordWrap(true);
    layout->addWidget(m_question);
    m_stretches = new QListWidget(this);
    m_stretches->setAccessibleName(tr("Stretches of time away"));
    m_stretches->setMaximumHeight(120);
    layout->addWidget(m_stretches);
    m_recent = new QHBoxLayout;
    layout->addLayout(m_recent);

    auto *form = new QHBoxLayout;
    m_label = new QLineEdit(this);
    m_label->setPlaceholderText(tr("Meeting, phone call, lunch…"));
    m_label->setAccessibleName(tr("What it was"));
    m_category = new QComboBox(this);
    m_category->setAccessibleName(tr("Category"));
    form->addWidget(m_label, 2);
    form->addWidget(m_category, 1);
    layout->addLayout(form);

    auto *buttons = new QHBoxLayout;
    m_keep = new QPushButton(tr("Keep as Idle"), this);
    m_book = new QPushButton(tr("Book", "button: book the time away as what was typed"), this);
    m_keep->setDefault(true);
    m_book->setEnabled(false);
    buttons->addStretch(1);
    buttons->addWidget(m_keep);
    buttons->addWidget(m_book);
    layout->addLayout(buttons);

    connect(m_keep, &QPushButton::clicked, this, &AwayQuestionWindow::keepAsIdle);
    connect(m_book, &QPushButton::clicked, this, [this] { answer(m_label->text()); });
    connect(m_label, &QLineEdit::returnPressed, this, [this] {
        if (!m_label->text().trimmed().isEmpty())
            answer(m_label->text());
    });
    connect(m_label, &QLineEdit::textChanged, this, [this](const QString &text) {
        const bool named = !text.trimmed().isEmpty();
        m_book->setEnabled(named);
        // With a name given, Return books it; without, it keeps the time as Idle.
        m_book->setDefault(named);
        m_keep->setDefault(!named);
    });
    setCategories({});
    rebuildRecent();
}

QString AwayQuestionWindow::durationText(double seconds)
{
    const qint64 minutes = std::max<qint64>(1, std::llround(seconds / 60.0));
    const QLocale locale;
    if (minutes < 60)
        return tr("%1 min").arg(locale.toString(minutes));
    return minutes % 60 ? tr("%1 h %2 min").arg(locale.toString(minutes / 60), locale.toString(minutes % 60))
                        : tr("%1 h").arg(locale.toString(minutes / 60));
}

QString AwayQuestionWindow::questionText(const AwayStretch &stretch)
{
    return tr("Away from %1 to %2 (%3). What was it?").arg(clockTime(stretch.start), clockTime(stretch.end), durationText(stretch.seconds));
}

QString AwayQuestionWindow::stretchText(const AwayStretch &stretch)
{
    return tr("Away from %1 to %2 (%3)").arg(clockTime(stretch.start), clockTime(stretch.end), durationText(stretch.seconds));
}

QString AwayQuestionWindow::summaryText(const QList<AwayStretch> &waiting)
{
    if (waiting.size() == 1)
        return questionText(waiting.constFirst());
    double seconds = 0.0;
    for (const AwayStretch &stretch : waiting)
        seconds += stretch.seconds;
    return tr("Away %n time(s) (%1 in all). What was it?", nullptr, int(waiting.size())).arg(durationText(seconds));
}

void AwayQuestionWindow::setCategories(const QList<CategoryPath> &categories)
{
    m_categories = categories;
    const QString chosen = m_category->currentText();
    m_category->clear();
    m_category->addItem(tr("No category"));
    for (const CategoryPath &path : categories)
        m_category->addItem(categoryPathText(path));
    const int again = m_category->findText(chosen);
    m_category->setCurrentIndex(again > 0 ? again : 0);
}

void AwayQuestionWindow::refresh()
{
    // The answers given elsewhere (a notification's buttons) are offered here too.
    QStringList shownAnswers;
    for (const QPushButton *button : recentButtons())
        shownAnswers.append(button->property("answer").toString());
    if (shownAnswers != m_settings.textListValue(SettingsKey::RecentAwayAnswers).mid(0, kRecentAnswers))
        rebuildRecent();
    const QList<AwayStretch> &waiting = m_tracker.unansweredAway();
    if (waiting.isEmpty()) {
        hide();
        return;
    }
    QList<quint64> ticked = chosenStretches();
    const QList<quint64> shown = [this] {
        QList<quint64> ids;
        for (int i = 0; i < m_stretches->count(); ++i)
            ids.append(m_stretches->item(i)->data(Qt::UserRole).toULongLong());
        return ids;
    }();
    m_stretches->clear();
    for (const AwayStretch &stretch : waiting) {
        auto *item = new QListWidgetItem(stretchText(stretch), m_stretches);
        item->setData(Qt::UserRole, stretch.id);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        // A new stretch is ticked; the user's unticking of the others stays.
        const bool tick = !shown.contains(stretch.id) || ticked.contains(stretch.id);
        item->setCheckState(tick ? Qt::Checked : Qt::Unchecked);
    }
    m_stretches->setVisible(waiting.size() > 1);
    m_question->setText(summaryText(waiting));
    if (!isVisible())
        show();
}

QList<quint64> AwayQuestionWindow::chosenStretches() const
{
    QList<quint64> ids;
    for (int i = 0; i < m_stretches->count(); ++i) {
        const QListWidgetItem *item = m_stretches->item(i);
        if (item->checkState() == Qt::Checked || m_stretches->count() == 1)
            ids.append(item->data(Qt::UserRole).toULongLong());
    }
    return ids;
}

void AwayQuestionWindow::answer(const QString &text)
{
    const QString label = text.trimmed();
    if (label.isEmpty())
        return;
    AwayAnswer answer{label, {}};
    if (m_category->currentIndex() > 0)
        answer.category = m_categories.value(m_category->currentIndex() - 1);
    for (const quint64 id : chosenStretches())
        m_tracker.answerAway(id, answer);
    // refresh() offers the new answer among the recent ones.
    rememberAnswer(m_settings, label);
    m_label->clear();
    refresh();
}

void AwayQuestionWindow::keepAsIdle()
{
    for (const quint64 id : chosenStretches())
        m_tracker.keepAwayAsIdle(id);
    m_label->clear();
    refresh();
}

void AwayQuestionWindow::rememberAnswer(Settings &settings, const QString &label)
{
    QStringList recent = settings.textListValue(SettingsKey::RecentAwayAnswers);
    recent.removeAll(label);
    recent.prepend(label);
    settings.setValue(SettingsKey::RecentAwayAnswers, QStringList(recent.mid(0, kRecentAnswers)));
}

QList<QPushButton *> AwayQuestionWindow::recentButtons() const
{
    QList<QPushButton *> buttons;
    for (int i = 0; i < m_recent->count(); ++i) {
        if (auto *button = qobject_cast<QPushButton *>(m_recent->itemAt(i)->widget()))
            buttons.append(button);
    }
    return buttons;
}

void AwayQuestionWindow::rebuildRecent()
{
    for (QPushButton *button : recentButtons()) {
        m_recent->removeWidget(button);
        button->deleteLater();
    }
    const QStringList recent = m_settings.textListValue(SettingsKey::RecentAwayAnswers);
    for (const QString &label : recent.mid(0, kRecentAnswers)) {
        auto *button = new QPushButton(QString(label).replace(u'&', QStringLiteral("&&")), this);
        button->setProperty("answer", label);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, label] { answer(label); });
        m_recent->addWidget(button);
    }
    auto *completer = new QCompleter(recent, m_label);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_label->setCompleter(completer);
}

void AwayQuestionWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        keepAsIdle();
        return;
    }
    QWidget::keyPressEvent(event);
}

void AwayQuestionWindow::closeEvent(QCloseEvent *event)
{
    // Closing keeps the time as Idle, as Escape does; the window comes back with the next stretch.
    keepAsIdle();
    event->accept();
}
