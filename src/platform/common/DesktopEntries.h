#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// Application names from the installed desktop entries: the "Name" of the entry whose
// StartupWMClass, or whose file name, matches a window's WM_CLASS. Read once, on first use.
class DesktopEntries
{
public:
    // The directories holding "applications/"; by default $XDG_DATA_HOME and $XDG_DATA_DIRS.
    explicit DesktopEntries(QStringList dataDirectories = standardDataDirectories());

    // The name for a window of this class (WM_CLASS class, then instance), if an entry names one.
    std::optional<QString> nameForWindowClass(const QString &windowClass, const QString &instance = {});

    // The name of the application with this id (a Wayland app id, or a desktop file id with its
    // ".desktop"): its entry's Name where one exists, else the id itself; none for no id.
    // Remembered once looked up.
    std::optional<QString> applicationName(const QString &appId);

    static QStringList standardDataDirectories();

private:
    void load();

    QStringList m_directories;
    bool m_loaded = false;
    QHash<QString, QString> m_byWindowClass; // lower-case StartupWMClass -> Name
    QHash<QString, QString> m_byFileName;      // lower-case file name without ".desktop" -> Name
    QHash<QString, QString> m_byApplicationId; // what applicationName answered
};
