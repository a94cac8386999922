#include "CategoriesFile.h"

#include "persistence/AtomicFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>

Q_DECLARE_LOGGING_CATEGORY(lcCategories)

namespace {

QStringList problemLines(const QString &path, const QList<CategoryProblem> &problems)
{
    QStringList lines;
    for (const CategoryProblem &problem : problems) {
        lines.append(problem.line > 0 ? QCoreApplication::translate("CategoriesFile", "%1 line %2: %3")
                                            .arg(path, QString::number(problem.line), problem.what)
                                      : QStringLiteral("%1: %2").arg(path, problem.what));
    }
    return lines;
}

// Reads `path`: none with the reason when it cannot be opened; `readable` false when what it
// holds is no categories file at all.
std::optional<CategorySet> readSet(const QString &path, QStringList *problems, bool *readable, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QCoreApplication::translate("CategoriesFile", "Cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QList<CategoryProblem> found;
    CategorySet set = CategorySet::fromJson(file.readAll(), &found);
    *readable = std::none_of(found.cbegin(), found.cend(), [](const CategoryProblem &problem) { return problem.unreadable; });
    *problems = problemLines(path, found);
    return set;
}

} // namespace

CategoriesFile::CategoriesFile(QString path, QObject *parent)
    : QObject(parent)
    , m_path(std::move(path))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(200);
    connect(&m_settle, &QTimer::timeout, this, [this] {
        watchPaths();
        if (reload())
            Q_EMIT changed();
        Q_EMIT folderChanged();
    });
    reload();
}

QString CategoriesFile::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Kestrum/categories.json");
}

CategorySet CategoriesFile::read(const QString &path, QStringList *problems, bool *unreadable)
{
    if (unreadable)
        *unreadable = false;
    problems->clear();
    if (!QFileInfo::exists(path))
        return CategorySet::defaults();
    bool readable = true;
    QString error;
    const std::optional<CategorySet> set = readSet(path, problems, &readable, &error);
    if (!set)
        *problems = {error};
    if (unreadable)
        *unreadable = !set || !readable;
    return set.value_or(CategorySet());
}

bool CategoriesFile::reload()
{
    QStringList problems;
    bool unreadable = false;
    const CategorySet set = read(m_path, &problems, &unreadable);
    for (const QString &problem : problems) {
        if (!m_problems.contains(problem))
            qCWarning(lcCategories).noquote() << problem;
    }
    const bool different = !(set == m_set);
    m_set = set;
    m_problems = problems;
    m_unreadable = unreadable;
    return different;
}

void CategoriesFile::watch()
{
    if (m_watcher)
        return;
    m_watcher = new QFileSystemWatcher(this);
    // An atomic write replaces the file, which ends the watch on it: the folder tells of the new one.
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { m_settle.start(); });
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_settle.start(); });
    watchPaths();
}

void CategoriesFile::setPath(const QString &path)
{
    if (path == m_path)
        return;
    m_path = path;
    if (m_watcher) {
        const QStringList watched = m_watcher->files() + m_watcher->directories();
        if (!watched.isEmpty())
            m_watcher->removePaths(watched);
        watchPaths();
    }
    if (reload())
        Q_EMIT changed();
}

void CategoriesFile::watchPaths()
{
    if (!m_watcher)
        return;
    const QString folder = QFileInfo(m_path).absolutePath();
    if (QFileInfo::exists(folder) && !m_watcher->directories().contains(folder))
        m_watcher->addPath(folder);
    if (QFileInfo::exists(m_path) && !m_watcher->files().contains(m_path))
        m_watcher->addPath(m_path);
}

bool CategoriesFile::save(const CategorySet &set, QString *error)
{
    reload();
    if (m_unreadable && QFileInfo::exists(m_path)) {
        const QString aside = m_path + QStringLiteral(".corrupt-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        if (!QFile::rename(m_path, aside)) {
            if (error)
                *error = tr("Cannot move the unreadable %1 aside to %2, so it is not overwritten").arg(m_path, aside);
            return false;
        }
        qCWarning(lcCategories).noquote() << QStringLiteral("%1 could not be read; it was kept as %2").arg(m_path, aside);
    }
    if (!writeFile(m_path, set, error))
        return false;
    watchPaths();
    if (reload())
        Q_EMIT changed();
    return true;
}

CategorySet CategoriesFile::readFile(const QString &path, QStringList *problems, QString *error)
{
    bool readable = true;
    QStringList found;
    const std::optional<CategorySet> set = readSet(path, &found, &readable, error);
    if (problems)
        *problems = found;
    if (set && !readable && error)
        *error = found.value(0);
    return set && readable ? *set : CategorySet();
}

bool CategoriesFile::writeFile(const QString &path, const CategorySet &set, QString *error)
{
    return makePrivateDirectory(QFileInfo(path).absolutePath(), error) && writeFileAtomically(path, set.toJson(), error);
}
