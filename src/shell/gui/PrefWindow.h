#pragma once

#include "history/HistoryDatabase.h"

#include "shell/PeriodicSave.h"

#include <QDialog>

#include <array>

class KestrumController;
class LoginAutostart;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;
class QToolButton;

// The preferences window. Every control writes its setting the moment it changes, and the
// controls of the periodic save rebuild its schedule; showing the window shows the values
// stored now, the weekday mask among them.
class PrefWindow : public QDialog
{
    Q_OBJECT

public:
    PrefWindow(KestrumController &kestrumController, LoginAutostart &autostart, QWidget *parent = nullptr);

    // Shows the window in front, with the stored values.
    void makeKeyAndOrderFront();

    // The controls, for tests.
    QCheckBox *startCountingBox() const { return m_startCounting; }
    QCheckBox *openAtLoginBox() const { return m_openAtLogin; }
    QCheckBox *documentMonitoringBox() const { return m_documentMonitoring; }
    QCheckBox *idleDetectionBox() const { return m_idleDetection; }
    QSpinBox *idleMinutesBox() const { return m_idleMinutes; }
    QCheckBox *idleInTotalBox() const { return m_idleInTotal; }
    QCheckBox *periodicSaveBox() const { return m_periodicSave; }
    QTimeEdit *periodicTimeEdit() const { return m_periodicTime; }
    // Index 0 = Sunday to 6 = Saturday, as the bits of the weekday mask.
    const std::array<QToolButton *, 7> &periodicDaysOfWeek() const { return m_periodicDaysOfWeek; }
    QComboBox *formatBox() const { return m_format; }
    QLineEdit *directoryField() const { return m_directory; }
    QPushButton *chooseDirectoryButton() const { return m_chooseDirectory; }

    // A word on how Kestrum sees this desktop (the GNOME extension's state, say), shown in its
    // own group; an empty text hides the group.
    void setDesktopNote(const QString &text);
    QLabel *desktopNoteLabel() const { return m_desktopNote; }
    // This computer's device id among the user's computers, shown beside its name.
    void setDeviceId(const QString &id);
    QLineEdit *deviceNameField() const { return m_deviceName; }
    QLabel *deviceIdLabel() const { return m_deviceId; }
    QPlainTextEdit *privateApplicationsEdit() const { return m_privateApplications; }
    QPlainTextEdit *privatePatternsEdit() const { return m_privatePatterns; }
    QLabel *invalidPatternsLabel() const { return m_invalidPatterns; }
    QCheckBox *askAboutTimeAwayBox() const { return m_askAway; }
    QSpinBox *minutesAwayBeforeAskingBox() const { return m_minutesAway; }
    QCheckBox *neverIdleWhileInhibitedBox() const { return m_neverIdleInhibited; }
    QCheckBox *neverIdleApplicationsBox() const { return m_neverIdleApplications; }
    QPlainTextEdit *neverIdleApplicationsEdit() const { return m_neverIdleList; }

    // The "Choose…" button's action with the folder already chosen.
    void chooseDirectory(const QString &directory);

    // Sharing the history with the user's other computers: the folder a sync tool keeps in step
    // (chosen, or none to stop), and the other computers seen there.
    void chooseSharedFolder(const QString &folder);
    void setDevices(const QList<HistoryDevice> &devices);
    QLineEdit *sharedFolderField() const { return m_sharedFolder; }
    QPushButton *stopSharingButton() const { return m_stopSharing; }
    QCheckBox *shareWindowTitlesBox() const { return m_shareTitles; }
    QLabel *devicesLabel() const { return m_devices; }

Q_SIGNALS:
    // The shared folder, whether titles go there, or this computer's name changed.
    void sharingChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void connectControls();
    // Sets every control to the stored value, without writing anything back.
    void showStoredValues();
    void updateEnabledControls();
    // The words after the minute boxes, in the number their values ask for.
    void updateMinuteTexts();
    void storeWeekdays();
    void chooseDirectoryWithDialog();
    void setOpenAtLogin(bool open);
    void storePrivacyRules();
    void buildTimeAway(QLayout *into);
    void buildSharing(QLayout *into);

    KestrumController &m_kestrumController;
    LoginAutostart &m_autostart;

    QCheckBox *m_startCounting = nullptr;
    QCheckBox *m_openAtLogin = nullptr;
    QCheckBox *m_documentMonitoring = nullptr;
    QCheckBox *m_idleDetection = nullptr;
    QSpinBox *m_idleMinutes = nullptr;
    QLabel *m_idleMinutesText = nullptr;
    QCheckBox *m_idleInTotal = nullptr;
    QCheckBox *m_periodicSave = nullptr;
    QTimeEdit *m_periodicTime = nullptr;
    std::array<QToolButton *, 7> m_periodicDaysOfWeek = {};
    QComboBox *m_format = nullptr;
    QLineEdit *m_directory = nullptr;
    QPushButton *m_chooseDirectory = nullptr;
    QPlainTextEdit *m_privateApplications = nullptr;
    QPlainTextEdit *m_privatePatterns = nullptr;
    QLabel *m_invalidPatterns = nullptr;
    QCheckBox *m_askAway = nullptr;
    QSpinBox *m_minutesAway = nullptr;
    QCheckBox *m_neverIdleInhibited = nullptr;
    QCheckBox *m_neverIdleApplications = nullptr;
    QPlainTextEdit *m_neverIdleList = nullptr;
    QLineEdit *m_deviceName = nullptr;
    QLabel *m_deviceId = nullptr;
    QLineEdit *m_sharedFolder = nullptr;
    QPushButton *m_chooseSharedFolder = nullptr;
    QPushButton *m_stopSharing = nullptr;
    QCheckBox *m_shareTitles = nullptr;
    QLabel *m_devices = nullptr;
    QGroupBox *m_desktop = nullptr;
    QLabel *m_desktopNote = nullptr;
};
