#include "DeviceIdentity.h"

#include "persistence/AtomicFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QUuid>

namespace {

const QString kIdKey = QStringLiteral("id");
const QString kMachineKey = QStringLiteral("machine");
const QString kVersionKey = QStringLiteral("version");

bool isDeviceId(const QString &id)
{
    return !QUuid::fromString(id).isNull();
}

} // namespace

QString DeviceIdentity::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Kestrum/device.json");
}

QString DeviceIdentity::machineId()
{
    for (const QString &path : {QStringLiteral("/etc/machine-id"), QStringLiteral("/var/lib/dbus/machine-id")}) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QString id = QString::fromLatin1(file.readAll()).trimmed();
            if (!id.isEmpty())
                return id;
        }
    }
    return {};
}

DeviceIdentity DeviceIdentity::renew(const QString &path, const QString &machine, const QString &previous, QString *message, QString *error)
{
    const DeviceIdentity identity = made(path, machine, previous, error);
    if (!identity.isValid())
        return {};
    *message = tr("Another computer shares its history as this one (device %1): this computer is a device of its own "
                  "from now on, %2.")
                   .arg(previous, identity.m_id);
    return identity;
}

DeviceIdentity DeviceIdentity::made(const QString &path, const QString &machine, const QString &previous, QString *error)
{
    DeviceIdentity identity;
    identity.m_id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    identity.m_machine = machine;
    identity.m_previousId = previous;
    const QJsonObject kept{{kVersionKey, kVersion}, {kIdKey, identity.m_id}, {kMachineKey, machine}};
    if (!makePrivateDirectory(QFileInfo(path).absolutePath(), error)
        || !writeFileAtomically(path, QJsonDocument(kept).toJson(QJsonDocument::Indented), error))
        return {};
    return identity;
}

QString DeviceIdentity::peek(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString id = QJsonDocument::fromJson(file.readAll()).object().value(kIdKey).toString();
    return isDeviceId(id) ? id : QString();
}

DeviceIdentity DeviceIdentity::load(const QString &path, const QString &machine, QString *message, QString *error)
{
    DeviceIdentity identity;
    QString problem;
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            *error = tr("cannot read %1: %2").arg(path, file.errorString());
            return {};
        }
        QJsonParseError parseError;
        const QJsonObject kept = QJsonDocument::fromJson(file.readAll(), &parseError).object();
        file.close();
        const QString id = kept.value(kIdKey).toString();
        const int version = kept.value(kVersionKey).toInt(0);
        if (parseError.error != QJsonParseError::NoError || version < 1 || !isDeviceId(id)) {
            problem = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                    : version < 1                                  ? tr("it has no version")
                                                                   : tr("it holds no device id");
        } else if (version > kVersion) {
            // A later Kestrum's: its id is used, and the file left to it.
            identity.m_id = id;
            identity.m_machine = kept.value(kMachineKey).toString();
            return identity;
        } else if (machine.isEmpty() || kept.value(kMachineKey).toString() == machine) {
            identity.m_id = id;
            identity.m_machine = machine;
            return identity;
        } else {
            identity.m_previousId = id;
        }
    }

    if (!problem.isEmpty()) {
        const QString stamp = path + QStringLiteral(".corrupt-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString aside = stamp;
        for (int n = 2; QFileInfo::exists(aside); ++n)
            aside = stamp + QStringLiteral("-%1").arg(n);
        if (!QFile::rename(path, aside)) {
            *error = tr("%1 cannot be read (%2) and cannot be moved aside").arg(path, problem);
            return {};
        }
        *message = tr("This computer's device id could not be read from %1 (%2): it was moved to %3, and a new id taken.")
                       .arg(path, problem, QFileInfo(aside).fileName());
    }
    identity = made(path, machine, identity.m_previousId, error);
    if (!identity.isValid())
        return {};
    if (!identity.m_previousId.isEmpty()) {
        *message = tr("Kestrum's data folder was made on another computer (device %1): this computer is a device of its "
                      "own from now on, %2, so that the two never pose as one.")
                       .arg(identity.m_previousId, identity.m_id);
    }
    return identity;
}
