#include "PrefWindow.h"

#include "shell/KestrumController.h"
#include "shell/LoginAutostart.h"
#include "tracking/PrivacyRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <vector>

// Its debug lines (the weekday control as each showing finds it) are off unless asked for.
Q_LOGGING_CATEGORY(lcPreferences, "kestrum.preferences", QtInfoMsg)

namespace {

constexpr int MaximumIdleMinutes = 24 * 60;

// A short explanation beneath a check box, aligned with its text.
QLabel *hintLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setEnabled(false); // drawn in the muted colour of the style
    const QStyle *style = parent->style();
    label->setIndent(style->pixelMetric(QStyle::PM_IndicatorWidth) + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing));
    return label;
}

QString weekdayName(int weekday, QLocale::FormatType format)
{
    // Qt numbers the days from Monday = 1 to Sunday = 7; the mask from Sunday = 0.
    return QLocale().standaloneDayName(weekday == 0 ? 7 : weekday, format);
}

// The locale's way of writing a time of day, to the minute: the save is due at a minute, and
// a few locales (the C one among them) write the seconds too.
QString timeToTheMinuteFormat()
{
    return QLocale().timeFormat(QLocale::ShortFormat).remove(QRegularExpression(QStringLiteral("[:.]?s+")));
}

// The lines of a list edit that hold something, trimmed.
QStringList linesOf(const QPlainTextEdit *edit)
{
    QStringList result;
    for (const QString &line : edit->toPlainText().split(u'\n')) {
        if (!line.trimmed().isEmpty())
            result.append(line.trimmed());
    }
    return result;
}

} // namespace

PrefWindow::PrefWindow(KestrumController &kestrumController, LoginAutostart &autostart, QWidget *parent)
    : QDialog(parent)
    , m_kestrumController(kestrumController)
    , m_autostart(autostart)
{
    setWindowTitle(tr("Kestrum Preferences"));
    buildControls();
    showStoredValues();
    connectControls();
}

void PrefWindow::buildControls()
{
    auto *general = new QGroupBox(tr("General"), this);
    m_startCounting = new QCheckBox(tr("Start counting when Kestrum opens"), general);
    m_openAtLogin = new QCheckBox(tr("Open Kestrum at login"), general);
    auto *generalLayout = new QVBoxLayout(general);
    generalLayout->addWidget(m_startCounting);
    generalLayout->addWidget(m_openAtLogin);

    auto *counting = new QGroupBox(tr("Counting"), this);
    m_documentMonitoring = new QCheckBox(tr("Count time per window and document"), counting);
    m_idleDetection = new QCheckBox(tr("Idle after"), counting);
    m_idleMinutes = new QSpinBox(counting);
    m_idleMinutes->setRange(1, MaximumIdleMinutes);
    m_idleMinutes->setAccessibleName(tr("Minutes without input until idle"));
    m_idleInTotal = new QCheckBox(tr("Include “Idle” in the total"), counting);
    auto *idleRow = new QHBoxLayout;
    idleRow->addWidget(m_idleDetection);
    idleRow->addWidget(m_idleMinutes);
    m_idleMinutesText = new QLabel(counting);
    idleRow->addWidget(m_idleMinutesText);
    idleRow->addStretch(1);
    auto *countingLayout = new QVBoxLayout(counting);
    countingLayout->addWidget(m_documentMonitoring);
    countingLayout->addWidget(hintLabel(tr("Takes effect the next time Kestrum opens."), counting));
    countingLayout->addLayout(idleRow);
    countingLayout->addWidget(m_idleInTotal);

    auto *periodic = new QGroupBox(tr("Periodic save"), this);
    m_periodicSave = new QCheckBox(tr("Save the timings at"), periodic);
    m_periodicTime = new QTimeEdit(periodic);
    m_periodicTime->setDisplayFormat(timeToTheMinuteFormat());
    m_periodicTime->setAccessibleName(tr("Time of the periodic save"));
    auto *saveRow = new QHBoxLayout;
    saveRow->addWidget(m_periodicSave);
    saveRow->addWidget(m_periodicTime);
    saveRow->addStretch(1);

    auto *weekdays = new QHBoxLayout;
    weekdays->setSpacing(2);
    for (int day = 0; day < 7; ++day) {
        auto *button = new QToolButton(periodic);
        button->setCheckable(true);
        button->setText(weekdayName(day, QLocale::ShortFormat));
        button->setToolTip(weekdayName(day, QLocale::LongFormat));
        button->setAccessibleName(weekdayName(day, QLocale::LongFormat));
        button->setObjectName(QStringLiteral("weekday%1").arg(day));
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("Www")) + 12);
        weekdays->addWidget(button);
        m_periodicDaysOfWeek[size_t(day)] = button;
    }
    weekdays->addStretch(1);

    m_format = new QComboBox(periodic);
    m_format->addItem(tr("CSV file"), PeriodicFormat::CsvOnly);
    m_format->addItem(tr("Timing document"), PeriodicFormat::DocumentOnly);
    m_format->addItem(tr("CSV file and timing document"), PeriodicFormat::CsvAndDocument);

    m_directory = new QLineEdit(periodic);
    m_directory->setReadOnly(true);
    m_directory->setMinimumWidth(m_directory->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 32);
    m_chooseDirectory = new QPushButton(tr("Choose…"), periodic);
    auto *directoryRow = new QHBoxLayout;
    directoryRow->addWidget(m_directory, 1);
    directoryRow->addWidget(m_chooseDirectory);

    auto *periodicForm = new QFormLayout;
    periodicForm->addRow(tr("On:"), weekdays);
    periodicForm->addRow(tr("Save as:"), m_format);
    periodicForm->addRow(tr("In:"), directoryRow);
    auto *periodicLayout = new QVBoxLayout(periodic);
    periodicLayout->addLayout(saveRow);
    periodicLayout->addLayout(periodicForm);
    periodicLayout->addWidget(hintLabel(tr("After each save the timings start over."), periodic));

    auto *privacy = new QGroupBox(tr("Privacy"), this);
    const auto listEdit = [privacy](const QString &placeholder) {
        auto *edit = new QPlainTextEdit(privacy);
        edit->setPlaceholderText(placeholder);
        edit->setTabChangesFocus(true);
        edit->setFixedHeight(edit->fontMetrics().lineSpacing() * 4 + 12);
        return edit;
    };
    m_privateApplications = listEdit(tr("One application a line"));
    m_privatePatterns = listEdit(tr("One regular expression a line"));
    m_invalidPatterns = new QLabel(privacy);
    m_invalidPatterns->setWordWrap(true);
    m_invalidPatterns->hide();
    auto *privacyLayout = new QVBoxLayout(privacy);
    privacyLayout->addWidget(new QLabel(tr("Never record the window titles of these applications:"), privacy));
    privacyLayout->addWidget(m_privateApplications);
    privacyLayout->addWidget(new QLabel(tr("Record windows whose title matches one of these as \"(private)\":"), privacy));
    privacyLayout->addWidget(m_privatePatterns);
    privacyLayout->addWidget(m_invalidPatterns);
    privacyLayout->addWidget(hintLabel(tr("Applies from the next title read on; nothing is recorded before that."), privacy));

    auto *device = new QGroupBox(tr("This computer"), this);
    m_deviceName = new QLineEdit(device);
    m_deviceName->setAccessibleName(tr("This computer's name among your computers"));
    m_deviceId = new QLabel(device);
    m_deviceId->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *deviceForm = new QFormLayout(device);
    deviceForm->addRow(tr("Name:"), m_deviceName);
    deviceForm->addRow(tr("Device id:"), m_deviceId);
    buildSharing(deviceForm);

    m_desktop = new QGroupBox(tr("Desktop"), this);
    m_desktopNote = new QLabel(m_desktop);
    m_desktopNote->setWordWrap(true);
    m_desktopNote->setTextInteractionFlags(Qt::TextSelectableByMouse); // the command can be copied
    (new QVBoxLayout(m_desktop))->addWidget(m_desktopNote);
    m_desktop->hide();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(general);
    layout->addWidget(counting);
    buildTimeAway(layout);
    layout->addWidget(periodic);
    layout->addWidget(privacy);
    layout->addWidget(device);
    layout->addWidget(m_desktop);
    layout->addStretch(1);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PrefWindow::buildTimeAway(QLayout *into)
{
    auto *away = new QGroupBox(tr("Time away"), this);
    m_askAway = new QCheckBox(tr("Ask what the time away was after"), away);
    m_minutesAway = new QSpinBox(away);
    m_minutesAway->setRange(0, MaximumIdleMinutes);
    m_minutesAway->setSpecialValueText(tr("the idle time"));
    m_minutesAway->setAccessibleName(tr("Minutes away before Kestrum asks"));
    auto *askRow = new QHBoxLayout;
    askRow->addWidget(m_askAway);
    askRow->addWidget(m_minutesAway);
    askRow->addStretch(1);
    m_neverIdleInhibited = new QCheckBox(tr("Never idle while an application keeps the screen awake (a film, a call)"), away);
    m_neverIdleApplications = new QCheckBox(tr("Never idle while one of these applications is in front:"), away);
    m_neverIdleList = new QPlainTextEdit(away);
    m_neverIdleList->setPlaceholderText(tr("One application a line"));
    m_neverIdleList->setAccessibleName(tr("Applications that never go idle"));
    m_neverIdleList->setTabChangesFocus(true);
    m_neverIdleList->setFixedHeight(m_neverIdleList->fontMetrics().lineSpacing() * 4 + 12);
    auto *layout = new QVBoxLayout(away);
    layout->addLayout(askRow);
    layout->addWidget(m_neverIdleInhibited);
    layout->addWidget(m_neverIdleApplications);
    layout->addWidget(m_neverIdleList);
    into->addWidget(away);

    Settings &settings = m_kestrumController.settings();
    connect(m_askAway, &QCheckBox::toggled, this, [this, &settings](bool on) {
        settings.setValue(SettingsKey::AskAboutTimeAway, on);
        updateEnabledControls();
    });
    connect(m_minutesAway, &QSpinBox::valueChanged, this,
            [&settings](int minutes) { settings.setValue(SettingsKey::MinutesAwayBeforeAsking, minutes); });
    connect(m_neverIdleInhibited, &QCheckBox::toggled, this,
            [&settings](bool on) { settings.setValue(SettingsKey::NeverIdleWhileInhibited, on); });
    connect(m_neverIdleApplications, &QCheckBox::toggled, this, [this, &settings](bool on) {
        settings.setValue(SettingsKey::EnableNeverIdleApplications, on);
        updateEnabledControls();
    });
    connect(m_neverIdleList, &QPlainTextEdit::textChanged, this,
            [this, &settings] { settings.setValue(SettingsKey::NeverIdleApplications, linesOf(m_neverIdleList)); });
}

void PrefWindow::storePrivacyRules()
{
    Settings &settings = m_kestrumController.settings();
    settings.setValue(SettingsKey::PrivateApplications, linesOf(m_privateApplications));
    const QStringList patterns = linesOf(m_privatePatterns);
    settings.setValue(SettingsKey::PrivateTitlePatterns, patterns);
    const QStringList invalid = PrivacyRules::invalidPatterns(patterns);
    m_invalidPatterns->setText(tr("Not a regular expression, so it hides nothing: %1").arg(invalid.join(QStringLiteral("; "))));
    m_invalidPatterns->setVisible(!invalid.isEmpty());
}

void PrefWindow::setDeviceId(const QString &id)
{
    m_deviceId->setText(id.isEmpty() ? tr("none (see the status line)") : id);
}

void PrefWindow::setDesktopNote(const QString &text)
{
    m_desktopNote->setText(text);
    m_desktop->setVisible(!text.isEmpty());
}

void PrefWindow::connectControls()
{
    Settings &settings = m_kestrumController.settings();
    connect(m_startCounting, &QCheckBox::toggled, this,
            [&settings](bool on) { settings.setValue(SettingsKey::StartCountingAtLaunch, on); });
    connect(m_privateApplications, &QPlainTextEdit::textChanged, this, &PrefWindow::storePrivacyRules);
    connect(m_privatePatterns, &QPlainTextEdit::textChanged, this, &PrefWindow::storePrivacyRules);
    connect(m_openAtLogin, &QCheckBox::toggled, this, &PrefWindow::setOpenAtLogin);
    connect(m_documentMonitoring, &QCheckBox::toggled, this,
            [&settings](bool on) { settings.setValue(SettingsKey::EnableDocumentMonitoring, on); });
    connect(m_idleDetection, &QCheckBox::toggled, this, [this, &settings](bool on) {
        settings.setValue(SettingsKey::EnableIdleDetection, on);
        updateEnabledControls();
    });
    connect(m_idleMinutes, &QSpinBox::valueChanged, this,
            [&settings](int minutes) { settings.setValue(SettingsKey::MinutesUntilIdle, minutes); });
    connect(m_idleMinutes, &QSpinBox::valueChanged, this, &PrefWindow::updateMinuteTexts);
    connect(m_minutesAway, &QSpinBox::valueChanged, this, &PrefWindow::updateMinuteTexts);
    connect(m_idleInTotal, &QCheckBox::toggled, this, [this, &settings](bool on) {
        settings.setValue(SettingsKey::IncludeIdleInSumOfTimes, on);
        m_kestrumController.clickInTable(); // the total follows at once
    });
    connect(m_periodicSave, &QCheckBox::toggled, this, [this, &settings](bool on) {
        settings.setValue(SettingsKey::SaveTimerPeriodically, on);
        m_kestrumController.updatedSaveTimerPeriodically();
        updateEnabledControls();
    });
    connect(m_periodicTime, &QTimeEdit::timeChanged, this, [this, &settings](QTime time) {
        PeriodicSave::setTimeOfDay(settings, time);
        m_kestrumController.updatedSaveTimerPeriodically();
    });
    for (QToolButton *button : m_periodicDaysOfWeek)
        connect(button, &QToolButton::toggled, this, &PrefWindow::storeWeekdays);
    connect(m_format, &QComboBox::currentIndexChanged, this, [this, &settings](int index) {
        if (index >= 0)
            settings.setValue(SettingsKey::PeriodicFormatType, m_format->itemData(index).toInt());
    });
    connect(m_chooseDirectory, &QPushButton::clicked, this, &PrefWindow::chooseDirectoryWithDialog);
    // A name left empty is the host name again.
    connect(m_deviceName, &QLineEdit::editingFinished, this, [this, &settings] {
        const QString name = m_deviceName->text().trimmed();
        if (name.isEmpty())
            settings.removeValue(SettingsKey::DeviceName);
        else
            settings.setValue(SettingsKey::DeviceName, name);
        m_deviceName->setText(settings.value(SettingsKey::DeviceName).toString());
        Q_EMIT sharingChanged();
    });
    connect(m_chooseSharedFolder, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getExistingDirectory(this, tr("Folder Shared with Your Other Computers"), m_sharedFolder->text());
        if (!chosen.isEmpty())
            chooseSharedFolder(chosen);
    });
    connect(m_stopSharing, &QPushButton::clicked, this, [this] { chooseSharedFolder(QString()); });
    connect(m_shareTitles, &QCheckBox::toggled, this, [this, &settings](bool on) {
        settings.setValue(SettingsKey::ShareWindowTitles, on);
        Q_EMIT sharingChanged();
    });
}

void PrefWindow::buildSharing(QLayout *into)
{
    auto *form = static_cast<QFormLayout *>(into);
    QWidget *group = form->parentWidget();
    m_sharedFolder = new QLineEdit(group);
    m_sharedFolder->setReadOnly(true);
    m_sharedFolder->setPlaceholderText(tr("None: the history stays on this computer"));
    m_sharedFolder->setAccessibleName(tr("Folder shared with your other computers"));
    m_chooseSharedFolder = new QPushButton(tr("Choose…"), group);
    m_stopSharing = new QPushButton(tr("Stop Sharing"), group);
    auto *row = new QHBoxLayout;
    row->addWidget(m_sharedFolder, 1);
    row->addWidget(m_chooseSharedFolder);
    row->addWidget(m_stopSharing);
    form->addRow(tr("Shared folder:"), row);
    m_shareTitles = new QCheckBox(tr("Share window titles with my other computers"), group);
    form->addRow(QString(), m_shareTitles);
    form->addRow(QString(), hintLabel(tr("A folder that Syncthing, Nextcloud or another sync tool keeps in step: each computer writes "
                                         "its own days there and reads the others'."),
                                      group));
    m_devices = new QLabel(group);
    m_devices->setWordWrap(true);
    m_devices->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(tr("Other computers:"), m_devices);
    setDevices({});
}

void PrefWindow::chooseSharedFolder(const QString &folder)
{
    Settings &settings = m_kestrumController.settings();
    if (folder.isEmpty())
        settings.removeValue(SettingsKey::SharedFolder);
    else
        settings.setValue(SettingsKey::SharedFolder, QDir(folder).absolutePath());
    m_sharedFolder->setText(settings.folderValue(SettingsKey::SharedFolder));
    m_stopSharing->setEnabled(!m_sharedFolder->text().isEmpty());
    Q_EMIT sharingChanged();
}

void PrefWindow::setDevices(const QList<HistoryDevice> &devices)
{
    QStringList lines;
    for (const HistoryDevice &device : devices) {
        QString line = tr("%1: days up to %2, read %3")
                           .arg(device.name.toHtmlEscaped(),
                                device.lastDay.isValid() ? QLocale().toString(device.lastDay, QLocale::ShortFormat)
                                                         : tr("none", "no day of another computer's history yet"),
                                device.lastImport.isValid() ? QLocale().toString(device.lastImport.toLocalTime(), QLocale::ShortFormat)
                                                            : tr("never", "another computer's history was never read"));
        if (!device.problem.isEmpty())
            line += QStringLiteral("<br><i>%1</i>").arg(device.problem.toHtmlEscaped());
        lines.append(line);
    }
    m_devices->setText(lines.isEmpty() ? tr("None seen yet") : lines.join(QStringLiteral("<br>")));
}

void PrefWindow::showStoredValues()
{
    const Settings &settings = m_kestrumController.settings();
    // Showing a value is not the user's change: nothing is written back.
    std::vector<QObject *> controls = {m_startCounting, m_openAtLogin, m_documentMonitoring, m_idleDetection, m_idleMinutes,
                                       m_idleInTotal, m_periodicSave, m_periodicTime, m_format, m_privateApplications,
                                       m_privatePatterns, m_askAway, m_minutesAway, m_neverIdleInhibited, m_neverIdleApplications,
                                       m_neverIdleList, m_deviceName, m_shareTitles};
    controls.insert(controls.end(), m_periodicDaysOfWeek.cbegin(), m_periodicDaysOfWeek.cend());
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    for (QObject *control : controls)
        blockers.push_back(std::make_unique<QSignalBlocker>(control));

    m_startCounting->setChecked(settings.boolValue(SettingsKey::StartCountingAtLaunch));
    m_openAtLogin->setChecked(m_autostart.isEnabled());
    m_documentMonitoring->setChecked(settings.boolValue(SettingsKey::EnableDocumentMonitoring));
    m_idleDetection->setChecked(settings.boolValue(SettingsKey::EnableIdleDetection));
    m_idleMinutes->setValue(int(std::clamp<qint64>(settings.integerValue(SettingsKey::MinutesUntilIdle), 1, MaximumIdleMinutes)));
    m_idleInTotal->setChecked(settings.boolValue(SettingsKey::IncludeIdleInSumOfTimes));
    m_periodicSave->setChecked(settings.boolValue(SettingsKey::SaveTimerPeriodically));
    m_periodicTime->setTime(PeriodicSave::timeOfDay(settings));
    m_privateApplications->setPlainText(settings.textListValue(SettingsKey::PrivateApplications).join(u'\n'));
    m_privatePatterns->setPlainText(settings.textListValue(SettingsKey::PrivateTitlePatterns).join(u'\n'));
    m_askAway->setChecked(settings.boolValue(SettingsKey::AskAboutTimeAway));
    m_minutesAway->setValue(int(std::clamp<qint64>(settings.integerValue(SettingsKey::MinutesAwayBeforeAsking), 0, MaximumIdleMinutes)));
    m_neverIdleInhibited->setChecked(settings.boolValue(SettingsKey::NeverIdleWhileInhibited));
    m_neverIdleApplications->setChecked(settings.boolValue(SettingsKey::EnableNeverIdleApplications));
    m_neverIdleList->setPlainText(settings.textListValue(SettingsKey::NeverIdleApplications).join(u'\n'));
    m_deviceName->setText(settings.value(SettingsKey::DeviceName).toString());
    m_sharedFolder->setText(settings.folderValue(SettingsKey::SharedFolder));
    m_stopSharing->setEnabled(!m_sharedFolder->text().isEmpty());
    m_shareTitles->setChecked(settings.boolValue(SettingsKey::ShareWindowTitles));
    const WeekdaySelection weekdays = m_kestrumController.selectProperPeriodicDaysOfWeek();
    for (size_t day = 0; day < weekdays.size(); ++day)
        m_periodicDaysOfWeek[day]->setChecked(weekdays[day]);
    // A format the setting does not know shows as no choice: such a setting saves nothing.
    m_format->setCurrentIndex(m_format->findData(int(settings.integerValue(SettingsKey::PeriodicFormatType))));
    const QString directory =
        QDir::toNativeSeparators(PeriodicSave::expandedDirectory(settings.folderValue(SettingsKey::PeriodicSaveDirectory)));
    m_directory->setText(directory);
    m_directory->setToolTip(directory);
    m_directory->setCursorPosition(0);
    updateMinuteTexts();
    updateEnabledControls();
}

void PrefWindow::updateMinuteTexts()
{
    m_idleMinutesText->setText(tr("minute(s) without input", nullptr, m_idleMinutes->value()));
    m_minutesAway->setSuffix(tr(" minute(s)", nullptr, m_minutesAway->value()));
}

void PrefWindow::updateEnabledControls()
{
    m_idleMinutes->setEnabled(m_idleDetection->isChecked());
    m_minutesAway->setEnabled(m_askAway->isChecked());
    m_neverIdleList->setEnabled(m_neverIdleApplications->isChecked());
    const bool periodic = m_periodicSave->isChecked();
    m_periodicTime->setEnabled(periodic);
    for (QToolButton *button : m_periodicDaysOfWeek)
        button->setEnabled(periodic);
    m_format->setEnabled(periodic);
    m_directory->setEnabled(periodic);
    m_chooseDirectory->setEnabled(periodic);
}

void PrefWindow::storeWeekdays()
{
    WeekdaySelection selection = {};
    for (size_t day = 0; day < selection.size(); ++day)
        selection[day] = m_periodicDaysOfWeek[day]->isChecked();
    m_kestrumController.setPeriodicDaysOfWeek(selection);
}

void PrefWindow::chooseDirectoryWithDialog()
{
    const QString chosen = QFileDialog::getExistingDirectory(this, tr("Folder for the Periodic Saves"), m_directory->text());
    if (!chosen.isEmpty())
        chooseDirectory(chosen);
}

void PrefWindow::chooseDirectory(const QString &directory)
{
    m_kestrumController.setPeriodicSaveDirectory(QDir(directory).absolutePath());
    showStoredValues();
}

void PrefWindow::setOpenAtLogin(bool open)
{
    QString error;
    if (m_autostart.setEnabled(open, &error))
        return;
    QMessageBox box(QMessageBox::Warning, tr("Kestrum"),
                    open ? tr("Kestrum could not be set to open at login.") : tr("Kestrum could not be kept from opening at login."),
                    QMessageBox::Ok, this);
    box.setInformativeText(error);
    box.setWindowModality(Qt::WindowModal);
    box.exec();
    const QSignalBlocker blocker(m_openAtLogin);
    m_openAtLogin->setChecked(m_autostart.isEnabled());
}

void PrefWindow::makeKeyAndOrderFront()
{
    QStringList selected;
    for (QToolButton *button : m_periodicDaysOfWeek) {
        if (button->isChecked())
            selected.append(button->accessibleName());
    }
    qCDebug(lcPreferences).noquote() << "Weekday control before showing:" << (selected.isEmpty() ? QStringLiteral("none") : selected.join(u", "));
    // A hidden window shows the stored values as it is shown (showEvent); a shown one now.
    if (isVisible())
        showStoredValues();
    show();
    raise();
    activateWindow();
}

void PrefWindow::showEvent(QShowEvent *event)
{
    showStoredValues();
    QDialog::showEvent(event);
}
