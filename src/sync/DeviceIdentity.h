#pragma once

#include <QCoreApplication>
#include <QString>

// This computer as Kestrum's other computers will know it: a random id made the first time
// Kestrum runs, kept in its data folder with the machine it was made on. The id, never the
// computer's name, is what its shared history is filed under. A data folder copied to another
// computer (a cloned home, a restored backup) finds another machine there and takes a new id,
// so that the copy never poses as the computer it came from.
class DeviceIdentity
{
    Q_DECLARE_TR_FUNCTIONS(DeviceIdentity)

public:
    static constexpr int kVersion = 1;

    // $XDG_DATA_HOME/Kestrum/device.json
    static QString defaultPath();
    // The machine's own id (/etc/machine-id, else /var/lib/dbus/machine-id); empty when it has none.
    static QString machineId();

    // The identity kept at `path` for this `machine`, or a new one, written there (readable by
    // the user alone). A new one replaces one made on another machine, and one that cannot be
    // read (moved aside as PATH.corrupt-YYYYMMDD-HHMMSS): `message` says so. A file of a later
    // version is used as it is and never rewritten. An invalid identity, with the reason, when
    // none can be kept at all.
    static DeviceIdentity load(const QString &path, const QString &machine, QString *message, QString *error);

    // A new id for this computer in place of `previous` (another computer writes as it), kept at
    // `path`; `message` says so. Invalid, with the reason, when it cannot be kept.
    static DeviceIdentity renew(const QString &path, const QString &machine, const QString &previous, QString *message, QString *error);
    // The id kept at `path`, read without writing anything; empty when there is none.
    static QString peek(const QString &path);

    bool isValid() const { return !m_id.isEmpty(); }
    QString id() const { return m_id; }
    QString machine() const { return m_machine; }
    // The id this one took the place of, when the folder came from another computer.
    QString previousId() const { return m_previousId; }

private:
    // A new id for `machine`, kept at `path` (readable by the user alone); invalid, with the
    // reason, when it cannot be kept.
    static DeviceIdentity made(const QString &path, const QString &machine, const QString &previous, QString *error);

    QString m_id;
    QString m_machine;
    QString m_previousId;
};
