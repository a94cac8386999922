#pragma once

#include "PropertyList.h"
#include "tracking/Settings.h"

#include <QCoreApplication>

// One write of the settings file, copied from the store so that any thread can carry it out
// while the store changes on: the values are implicitly shared, not copied.
struct SettingsFileWrite
{
    QString path;
    PropertyListDictionary values;
    bool blocked = false; // the file could not be read and must not be overwritten

    bool perform(QString *error = nullptr) const;

    friend bool operator==(const SettingsFileWrite &, const SettingsFileWrite &) = default;
};

// The settings file as read at one moment, with what tells that version of the file apart:
// a read made ahead, on another thread, stands only while the file is still the same.
struct SettingsFileRead
{
    QByteArray identity; // device, inode, size and time of change; empty when there is no file
    PropertyListResult contents;
};

// The user's settings on disk: registered defaults in memory, the user's own values in an
// XML property list ($XDG_CONFIG_HOME/Kestrum/Kestrum.plist), written atomically and readable
// by the user alone. A file that cannot be read is moved aside, never overwritten.
class SettingsStore : public Settings
{
    Q_DECLARE_TR_FUNCTIONS(SettingsStore)

public:
    explicit SettingsStore(QString path = defaultPath(), QVariantMap defaults = defaultsForThisUser());

    static QString defaultPath();
    // The registered defaults with the periodic saves going to this user's support directory,
    // written with a leading "~" when it lies in the home directory.
    static QVariantMap defaultsForThisUser();
    // $XDG_DATA_HOME/Kestrum, where the periodic saves go unless the user chooses otherwise.
    static QString supportDirectory();
    // Creates the support directory (mode 0700) when nothing exists at its path.
    static void ensureSupportDirectory();

    // Reads the user's values. A missing file is a first run. A file that cannot be read is
    // renamed to "<name>.corrupt-YYYYMMDD-HHMMSS" with a warning, and the store starts from the
    // defaults; the answer is then false with the reason in `warning`. Values that cannot be
    // read as their kind are kept and read as their defaults; `warning` then names them.
    bool load(QString *warning = nullptr) { return load(readFile(m_path), warning); }
    // The same with the file read ahead of time; read again when it has changed since.
    bool load(const SettingsFileRead &readAhead, QString *warning = nullptr);
    // Reads the file at `path`; safe on any thread.
    static SettingsFileRead readFile(const QString &path);
    // Writes the user's values to disk now.
    bool synchronize(QString *error = nullptr) { return pendingWrite().perform(error); }
    // The write of the user's values as they are now, to be performed later or elsewhere.
    SettingsFileWrite pendingWrite() const { return {m_path, m_userValues, m_writeBlocked}; }

    QVariant value(const QString &key) const override;
    QVariant defaultValue(const QString &key) const override { return m_defaults.value(key); }
    void setValue(const QString &key, const QVariant &value) override;
    void removeValue(const QString &key) override;

    const QString &path() const { return m_path; }

private:
    QString m_path;
    QVariantMap m_defaults;
    PropertyListDictionary m_userValues;
    // Set when an unreadable file could not be moved aside: it must not be overwritten.
    bool m_writeBlocked = false;
};
