#include "SharedCategories.h"

#include "persistence/AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace SharedCategories {

namespace {

const QString kName = QStringLiteral("categories.json");

} // namespace

QString folderOf(const Settings &settings)
{
    return expandedFolder(settings.folderValue(SettingsKey::SharedFolder));
}

QString sharedPath(const QString &folder)
{
    return QDir(folder).filePath(kName);
}

QString pathFor(const Settings &settings, const QString &localPath)
{
    const QString folder = folderOf(settings);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return localPath;
    const QVariant answered = settings.value(SettingsKey::CategoriesInSharedFolder);
    if (answered.isValid())
        return settings.boolValue(SettingsKey::CategoriesInSharedFolder) ? sharedPath(folder) : localPath;
    // Not asked yet: the shared file once there is one (another computer put it there), and
    // this computer's until the user has said whether its own should go there.
    return QFileInfo::exists(sharedPath(folder)) || !QFileInfo::exists(localPath) ? sharedPath(folder) : localPath;
}

bool shouldAskToMove(const Settings &settings, const QString &localPath)
{
    const QString folder = folderOf(settings);
    return !folder.isEmpty() && QFileInfo(folder).isDir() && !settings.value(SettingsKey::CategoriesInSharedFolder).isValid()
        && QFileInfo::exists(localPath) && !QFileInfo::exists(sharedPath(folder));
}

bool moveToShared(const QString &localPath, const QString &folder, QString *error)
{
    QFile local(localPath);
    if (!local.open(QIODevice::ReadOnly)) {
        *error = QCoreApplication::translate("SharedCategories", "cannot read %1: %2").arg(localPath, local.errorString());
        return false;
    }
    const QByteArray contents = local.readAll();
    local.close();
    if (!writeFileAtomically(sharedPath(folder), contents, error, TemporaryName::SyncIgnored))
        return false;
    if (!QFile::remove(localPath)) {
        *error = QCoreApplication::translate("SharedCategories", "the categories are in %1 now, but %2 could not be removed")
                     .arg(sharedPath(folder), localPath);
        return false;
    }
    return true;
}

QStringList conflictCopies(const QString &folder)
{
    QStringList copies;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("categories.sync-conflict-*.json")}, QDir::Files, QDir::Name))
        copies.append(dir.filePath(name));
    return copies;
}

bool settleConflict(const QString &folder, const QString &copy, bool useCopy, QString *error)
{
    if (useCopy) {
        QFile file(copy);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QCoreApplication::translate("SharedCategories", "cannot read %1: %2").arg(copy, file.errorString());
            return false;
        }
        if (!writeFileAtomically(sharedPath(folder), file.readAll(), error, TemporaryName::SyncIgnored))
            return false;
    }
    if (!QFile::remove(copy)) {
        *error = QCoreApplication::translate("SharedCategories", "cannot remove %1").arg(copy);
        return false;
    }
    return true;
}

} // namespace SharedCategories
