#include "SharedFolder.h"

#include "persistence/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QUuid>

Q_LOGGING_CATEGORY(lcSync, "kestrum.sync")

namespace {

const QString kManifestName = QStringLiteral("manifest.json");
const QString kDaysFolder = QStringLiteral("days");

std::optional<QByteArray> readWhole(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    return file.readAll();
}

} // namespace

SharedFolder::SharedFolder(Options options)
    : m_options(std::move(options))
{
    m_options.folder = QDir::cleanPath(expandedFolder(m_options.folder));
}

std::optional<SharedFolder::Options> SharedFolder::fromSettings(const Settings &settings, const QString &device)
{
    const QString folder = settings.folderValue(SettingsKey::SharedFolder);
    if (folder.isEmpty() || device.isEmpty())
        return std::nullopt;
    return Options{folder, device, settings.value(SettingsKey::DeviceName).toString(), settings.boolValue(SettingsKey::ShareWindowTitles)};
}

QString SharedFolder::deviceFolder(const QString &device) const
{
    return m_options.folder + QStringLiteral("/devices/") + device;
}

QStringList SharedFolder::watchedFolders() const
{
    QStringList folders{m_options.folder + QStringLiteral("/devices")};
    const QDir devices(folders.constFirst());
    for (const QString &device : devices.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (device != m_options.device)
            folders << devices.filePath(device) << devices.filePath(device) + u'/' + kDaysFolder;
    }
    return folders;
}

std::optional<DayManifest> SharedFolder::ownManifest(QString *error)
{
    if (m_manifest)
        return m_manifest;
    // A folder that is gone (a network share not mounted) is not made again in its place.
    if (!QFileInfo(m_options.folder).isDir()) {
        *error = tr("the shared folder %1 is not there").arg(m_options.folder);
        return std::nullopt;
    }
    DayManifest manifest{m_options.device, m_options.name, {}};
    const QString path = deviceFolder(m_options.device) + u'/' + kManifestName;
    if (QFileInfo::exists(path)) {
        QString why;
        const std::optional<QByteArray> text = readWhole(path, &why);
        std::optional<DayManifest> kept = text ? DayManifest::fromJson(*text, &why) : std::nullopt;
        if (kept && kept->device == m_options.device) {
            manifest.days = kept->days;
            manifest.windowTitles = kept->windowTitles;
        } else {
            // Built again from the day files that are there, so that no day drops out of it.
            qCWarning(lcSync).noquote() << QStringLiteral("%1 cannot be read (%2): it is made again from the day files beside it.")
                                               .arg(path, kept ? QStringLiteral("it is another device's") : why); // not translated: log only
            const QDir days(deviceFolder(m_options.device) + u'/' + kDaysFolder);
            for (const QString &name : days.entryList({QStringLiteral("*.jsonl")}, QDir::Files)) {
                const QDate day = QDate::fromString(name.chopped(6), Qt::ISODate);
                if (const std::optional<QByteArray> contents = readWhole(days.filePath(name), &why); day.isValid() && contents)
                    manifest.days.insert(day, DayManifest::checksum(*contents));
            }
        }
    }
    if (!makePrivateDirectory(deviceFolder(m_options.device) + u'/' + kDaysFolder, error))
        return std::nullopt;
    m_manifest = manifest;
    return m_manifest;
}

bool SharedFolder::exportDays(const HistoryDatabase &database, const QList<QDate> &days, QString *error)
{
    std::optional<DayManifest> manifest = ownManifest(error);
    if (!manifest)
        return false;
    // The days first, then the manifest that names them, once: a reader that sees a new
    // manifest before a new day finds the checksums disagree and waits.
    bool ok = true;
    bool changed = manifest->name != m_options.name || manifest->windowTitles != m_options.shareWindowTitles;
    for (const QDate day : days) {
        if (!(ok = exportDay(database, day, &*manifest, &changed, error)))
            break;
    }
    if (!changed)
        return ok;
    manifest->name = m_options.name;
    // Days written before under the other choice are all written again once, by opened().
    manifest->windowTitles = m_options.shareWindowTitles;
    if (!writeFileAtomically(deviceFolder(m_options.device) + u'/' + kManifestName, manifest->toJson(), error, TemporaryName::SyncIgnored))
        return false;
    m_manifest = manifest;
    return ok;
}

bool SharedFolder::exportDay(const HistoryDatabase &database, QDate day, DayManifest *manifest, bool *changed, QString *error)
{
    const auto [from, to] = HistoryDatabase::localDays(day, day);
    QString why;
    const std::optional<QList<Stretch>> stretches = database.stretches(from, to, &why);
    const std::optional<QList<Assignment>> assignments = stretches ? database.assignments(from, to, &why) : std::nullopt;
    if (!assignments) {
        *error = tr("the history of %1 cannot be read: %2").arg(QLocale().toString(day, QLocale::ShortFormat), why);
        return false;
    }
    DayFile file{m_options.device, day, {}, {}};
    for (const Stretch &stretch : *stretches) {
        // A day holds what starts in it, as its totals count it; time that covers a whole
        // recorded stretch leaves nothing of it to count.
        if (stretch.start < from || !stretch.device.isEmpty() || (stretch.seconds == 0.0 && stretch.covered > 0.0))
            continue;
        Stretch shared = stretch;
        if (!m_options.shareWindowTitles)
            shared.window.reset();
        file.stretches.append(shared);
    }
    for (const Assignment &assignment : *assignments) {
        if (assignment.device.isEmpty())
            file.assignments.append(assignment);
    }

    const QString path = deviceFolder(m_options.device) + u'/' + kDaysFolder + u'/' + DayFile::fileName(day);
    const bool empty = file.stretches.isEmpty() && file.assignments.isEmpty();
    const QByteArray contents = file.toJsonLines();
    const QString checksum = DayManifest::checksum(contents);
    if (empty ? !manifest->days.contains(day) && !QFileInfo::exists(path) : manifest->days.value(day) == checksum && QFileInfo::exists(path))
        return true;
    if (empty) {
        if (QFileInfo::exists(path) && !QFile::remove(path)) {
            *error = tr("cannot remove %1").arg(path);
            return false;
        }
        manifest->days.remove(day);
    } else {
        if (!writeFileAtomically(path, contents, error, TemporaryName::SyncIgnored))
            return false;
        manifest->days.insert(day, checksum);
    }
    *changed = true;
    return true;
}

bool SharedFolder::ownFolderIsAhead(const HistoryDatabase &database)
{
    // What the folder holds as written last, whoever wrote it: the latest day's last stretch.
    QString why;
    const std::optional<QByteArray> text = readWhole(deviceFolder(m_options.device) + u'/' + kManifestName, &why);
    const std::optional<DayManifest> manifest = text ? DayManifest::fromJson(*text, &why) : std::nullopt;
    if (!manifest || manifest->days.isEmpty())
        return false;
    const QDate latest = manifest->days.lastKey();
    const std::optional<QByteArray> contents = readWhole(deviceFolder(m_options.device) + u'/' + kDaysFolder + u'/' + DayFile::fileName(latest), &why);
    const std::optional<DayFile> day = contents ? DayFile::fromJsonLines(*contents, &why) : std::nullopt;
    const std::optional<QDateTime> recorded = database.latestEnd(&why);
    if (!day || !recorded)
        return false;
    QDateTime written;
    for (const Stretch &stretch : day->stretches) {
        if (stretch.source == StretchSource::Recorded)
            written = std::max(written, stretch.end);
    }
    // This computer writes what it recorded, at most a minute late; a copy of it went on.
    return written.isValid() && (!recorded->isValid() || *recorded < written.addSecs(-120));
}

std::optional<QDate> SharedFolder::latestOwnDay(QString *error)
{
    const std::optional<DayManifest> manifest = ownManifest(error);
    if (!manifest)
        return std::nullopt;
    if (manifest->windowTitles != m_options.shareWindowTitles)
        return QDate();
    return manifest->days.isEmpty() ? QDate() : manifest->days.lastKey();
}

SharedFolder::Imported SharedFolder::importAll(HistoryDatabase &database)
{
    Imported imported;
    const QDir devices(m_options.folder + QStringLiteral("/devices"));
    if (!QFileInfo(m_options.folder).isDir()) {
        report(tr("The shared folder %1 is not there: nothing is shared until it is.").arg(m_options.folder), nullptr, &imported);
        return imported;
    }
    for (const QFileInfo &entry : devices.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        const QString name = entry.fileName();
        if (name == m_options.device)
            continue;
        if (!entry.isDir() || QUuid::fromString(name).isNull()) {
            report(tr("%1 is not a device's folder: left alone.").arg(entry.filePath()), nullptr, &imported);
            continue;
        }
        importDevice(database, name, &imported);
    }
    return imported;
}

void SharedFolder::importDevice(HistoryDatabase &database, const QString &device, Imported *imported)
{
    const QString folder = deviceFolder(device);
    QStringList problems;
    QString why;
    const QString manifestPath = folder + u'/' + kManifestName;
    const std::optional<QByteArray> text = readWhole(manifestPath, &why);
    std::optional<DayManifest> manifest = text ? DayManifest::fromJson(*text, &why) : std::nullopt;
    if (manifest && manifest->device != device) {
        why = tr("it names another device, %1").arg(manifest->device);
        manifest.reset();
    }
    if (!manifest) {
        // Not there yet is a device still being synced; anything else is said.
        if (text)
            report(tr("%1 cannot be read (%2): that computer's days are left as they were.").arg(manifestPath, why), &problems, imported);
        if (!problems.isEmpty())
            database.noteImport(device, device, problems.join(QStringLiteral("; ")), &why);
        return;
    }
    const std::optional<QHash<QDate, QString>> known = database.importedDays(device, &why);
    if (!known) {
        report(tr("The history cannot be read to import %1: %2").arg(manifest->name, why), nullptr, imported);
        return;
    }
    const QString daysFolder = folder + u'/' + kDaysFolder;
    for (auto it = manifest->days.cbegin(); it != manifest->days.cend(); ++it) {
        if (known->value(it.key()) == it.value())
            continue;
        const QString path = daysFolder + u'/' + DayFile::fileName(it.key());
        const std::optional<QByteArray> contents = readWhole(path, &why);
        if (!contents || DayManifest::checksum(*contents) != it.value()) {
            // The day and its manifest travel apart: the next import finds them agreeing.
            ++imported->waiting;
            continue;
        }
        const std::optional<DayFile> day = DayFile::fromJsonLines(*contents, &why);
        if (!day || day->device != device || day->day != it.key()) {
            report(tr("%1 is not imported: %2.").arg(path, day ? tr("it holds another device's day") : why), &problems, imported);
            continue;
        }
        if (!database.importDay(device, manifest->name, it.key(), it.value(), day->stretches, day->assignments, &why)) {
            report(tr("%1 cannot be imported into the history: %2").arg(path, why), &problems, imported);
            continue;
        }
        ++imported->days;
    }
    for (auto it = known->cbegin(); it != known->cend(); ++it) {
        if (!manifest->days.contains(it.key()) && database.removeImportedDay(device, it.key(), &why))
            ++imported->removed;
    }
    // What the sync tool or someone else left among the days.
    static const QRegularExpression dayName(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}\\.jsonl$"));
    for (const QString &name : QDir(daysFolder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (dayName.match(name).hasMatch() && manifest->days.contains(QDate::fromString(name.chopped(6), Qt::ISODate)))
            continue;
        if (name.startsWith(QStringLiteral(".syncthing.")) && name.endsWith(QStringLiteral(".tmp"))) {
            // The sync tool's own while it carries a file: said once, and no problem of the device's.
            // not translated: log only
            const QString note = QStringLiteral("%1/%2 is a sync tool's temporary file: left alone.").arg(daysFolder, name);
            if (!m_reported.contains(note)) {
                m_reported.insert(note);
                qCInfo(lcSync).noquote() << note;
            }
            continue;
        }
        const QString problem = name.contains(QStringLiteral(".sync-conflict-"))
            ? tr("%1/%2 is a sync tool's conflict copy: left alone.").arg(daysFolder, name)
            : tr("%1/%2 is not one of its days: left alone.").arg(daysFolder, name);
        report(problem, &problems, imported);
    }
    database.noteImport(device, manifest->name, problems.join(QStringLiteral("; ")), &why);
}

void SharedFolder::report(const QString &problem, QStringList *deviceProblems, Imported *imported)
{
    if (deviceProblems)
        deviceProblems->append(problem);
    if (m_reported.contains(problem))
        return;
    m_reported.insert(problem);
    qCWarning(lcSync).noquote() << problem;
    imported->problems.append(problem);
}
