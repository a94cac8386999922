#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// "Open Kestrum at login": the desktop's XDG autostart entry for Kestrum,
// $XDG_CONFIG_HOME/autostart/kestrum.desktop. The file itself is the setting, so the choice
// follows the user when they add or remove the entry by other means.
class LoginAutostart
{
    Q_DECLARE_TR_FUNCTIONS(LoginAutostart)

public:
    // `program` is what the entry starts; by default the running kestrum.
    explicit LoginAutostart(QString directory = defaultDirectory(), QString program = QString());

    static QString defaultDirectory();
    QString entryPath() const;

    // Whether an entry exists that the desktop starts: not hidden, not switched off.
    bool isEnabled() const;
    // Writes the entry (atomically, readable by the user alone) or removes it.
    bool setEnabled(bool enabled, QString *error = nullptr);

    // The entry's text for a program path.
    static QByteArray entryText(const QString &program);
    // A program path as one argument of an Exec line: quoted when it must be, and escaped
    // for the desktop entry's string values.
    static QString execArgument(const QString &program);

private:
    QString m_directory;
    QString m_program;
};
