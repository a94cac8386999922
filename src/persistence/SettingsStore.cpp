#include "SettingsStore.h"

#include "AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <sys/stat.h>

Q_LOGGING_CATEGORY(lcSettings, "kestrum.settings")

SettingsStore::SettingsStore(QString path, QVariantMap defaults)
    : m_path(std::move(path))
    , m_defaults(std::move(defaults))
{
}

QString SettingsStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Kestrum/Kestrum.plist");
}

QString SettingsStore::supportDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Kestrum");
}

QVariantMap SettingsStore::defaultsForThisUser()
{
    QVariantMap defaults = registeredDefaults();
    const QString home = QDir::homePath();
    QString directory = supportDirectory();
    if (directory.startsWith(home + u'/'))
        directory = u'~' + directory.mid(home.size());
    defaults.insert(SettingsKey::PeriodicSaveDirectory, directory);
    return defaults;
}

void SettingsStore::ensureSupportDirectory()
{
    struct stat st;
    if (::lstat(QFile::encodeName(supportDirectory()).constData(), &st) == 0)
        return; // something is there already; it is left as it is
    QString error;
    if (!makePrivateDirectory(supportDirectory(), &error))
        qCWarning(lcSettings).noquote() << error;
}

namespace {

QByteArray fileIdentity(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return QByteArray::number(quint64(status.st_dev)) + ':' + QByteArray::number(quint64(status.st_ino)) + ':'
        + QByteArray::number(qint64(status.st_size)) + ':' + QByteArray::number(qint64(status.st_ctim.tv_sec)) + '.'
        + QByteArray::number(qint64(status.st_ctim.tv_nsec));
}

} // namespace

SettingsFileRead SettingsStore::readFile(const QString &path)
{
    SettingsFileRead read{fileIdentity(path), {}};
    if (!read.identity.isEmpty())
        read.contents = PropertyList::readFile(path);
    return read;
}

bool SettingsStore::load(const SettingsFileRead &readAhead, QString *warning)
{
    m_userValues = {};
    m_writeBlocked = false;
    // An atomic save gives the file a new inode, so a read made before the last one shows.
    const SettingsFileRead current = readAhead.identity == fileIdentity(m_path) ? readAhead : readFile(m_path);
    if (current.identity.isEmpty())
        return true;

    const PropertyListResult &result = current.contents;
    QString reason = result.error;
    if (result.ok() && !result.value.canConvert<PropertyListDictionary>())
        reason = tr("the file holds no dictionary");
    if (reason.isEmpty()) {
        m_userValues = result.value.value<PropertyListDictionary>();
        // A value that cannot be read as its kind is kept in the file, read as its default, and told.
        QStringList unreadable;
        for (const auto &[key, value] : m_userValues) {
            const QString problem = unreadableSettingWarning(*this, key);
            if (!problem.isEmpty()) {
                qCWarning(lcSettings).noquote() << QStringLiteral("%1: %2").arg(m_path, problem);
                unreadable.append(problem);
            }
        }
        if (warning && !unreadable.isEmpty()) {
            *warning = tr("Some settings in %1 cannot be read; until they are set again in Preferences:\n%2")
                           .arg(m_path, unreadable.join(u'\n'));
        }
        return true;
    }

    const QString aside = m_path + QStringLiteral(".corrupt-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString message;
    if (QFile::rename(m_path, aside)) {
        message = tr("Could not read the settings file %1 (%2); it was moved to %3 and Kestrum starts from the defaults.")
                      .arg(m_path, reason, aside);
    } else {
        m_writeBlocked = true;
        message = tr("Could not read the settings file %1 (%2) nor move it aside; Kestrum starts from the defaults and will not overwrite it.")
                      .arg(m_path, reason);
    }
    qCWarning(lcSettings).noquote() << message;
    if (warning)
        *warning = message;
    return false;
}

bool SettingsFileWrite::perform(QString *error) const
{
    if (blocked) {
        if (error)
            *error = QCoreApplication::translate("SettingsStore", "%1 could not be read and is kept as it is").arg(path);
        return false;
    }
    QByteArray xml;
    QString localError;
    bool ok = PropertyList::serialize(QVariant::fromValue(values), &xml, &localError);
    if (ok) {
        // The folder holds the timings and, once, their unreadable copies: the user's alone.
        ok = makePrivateDirectory(QFileInfo(path).absolutePath(), &localError) && writeFileAtomically(path, xml, &localError);
    }
    if (!ok) {
        qCWarning(lcSettings).noquote() << QStringLiteral("Could not save the settings:") << localError;
        if (error)
            *error = localError;
    }
    return ok;
}

QVariant SettingsStore::value(const QString &key) const
{
    if (m_userValues.contains(key))
        return m_userValues.value(key);
    return m_defaults.value(key);
}

void SettingsStore::setValue(const QString &key, const QVariant &value)
{
    m_userValues.insert(key, value);
}

void SettingsStore::removeValue(const QString &key)
{
    m_userValues.remove(key);
}
