#include "AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Room for the temporary name's dot and suffix within NAME_MAX.
constexpr qsizetype kMaxTempBaseLength = 200;
// What makes a temporary file recognisably this writer's, so that leftovers can be removed.
constexpr char kTempMarker[] = ".kestrum-tmp.";

// Any failure: the reason is taken from errno at once, before cleaning up can change it.
// `step` is one of the texts marked QT_TRANSLATE_NOOP("AtomicFile", ...) below.
bool fail(QString *error, const QString &path, const char *step, int errorNumber)
{
    if (error) {
        *error = QCoreApplication::translate("AtomicFile", "cannot write \"%1\": %2: %3")
                     .arg(path, QCoreApplication::translate("AtomicFile", step), qt_error_string(errorNumber));
    }
    return false;
}

// A symbolic link is replaced by the file it names, not by a plain file in its place.
QByteArray resolvedTarget(const QByteArray &path)
{
    struct stat status = {};
    if (::lstat(path.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
        return path;
    char *resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return path; // a dangling link is replaced like any other name
    QByteArray result(resolved);
    ::free(resolved);
    return result;
}

bool writeAll(int fd, const QByteArray &contents)
{
    const char *data = contents.constData();
    qsizetype remaining = contents.size();
    while (remaining > 0) {
        // Linux transfers at most about 2 GiB per call.
        const size_t chunk = size_t(qMin<qsizetype>(remaining, qsizetype(1) << 30));
        const ssize_t written = ::write(fd, data, chunk);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        remaining -= written;
    }
    return true;
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &contents, QString *error, TemporaryName naming)
{
    const QByteArray target = resolvedTarget(QFile::encodeName(path));
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray directory = slash < 0 ? QByteArrayLiteral(".") : slash == 0 ? QByteArrayLiteral("/") : target.left(slash);
    const QByteArray baseName = target.mid(slash + 1);
    if (baseName.isEmpty() || baseName == "." || baseName == "..")
        return fail(error, path, QT_TRANSLATE_NOOP("AtomicFile", "invalid file name"), EISDIR);

    const bool syncIgnored = naming == TemporaryName::SyncIgnored;
    QByteArray tempPath = (slash < 0 ? QByteArray() : target.left(slash + 1)) + (syncIgnored ? ".syncthing." : ".")
        + baseName.left(kMaxTempBaseLength) + kTempMarker + "XXXXXX" + (syncIgnored ? ".tmp" : "");
    const int fd = ::mkostemps(tempPath.data(), syncIgnored ? 4 : 0, O_CLOEXEC);
    if (fd < 0)
        return fail(error, path, QT_TRANSLATE_NOOP("AtomicFile", "cannot create a temporary file"), errno);

    const auto abandon = [&](const char *step, bool isOpen) {
        const int errorNumber = errno;
        if (isOpen)
            ::close(fd);
        ::unlink(tempPath.constData());
        return fail(error, path, step, errorNumber);
    };
    // mkostemp leaves the mode to the umask; the file holds private data whatever it is.
    if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0)
        return abandon(QT_TRANSLATE_NOOP("AtomicFile", "cannot set the file mode"), true);
    if (!writeAll(fd, contents))
        return abandon(QT_TRANSLATE_NOOP("AtomicFile", "write failed"), true);
    // QSaveFile ignores this step's errors; a full or failing disk shows up here.
    int synced;
    do {
        synced = ::fdatasync(fd);
    } while (synced != 0 && errno == EINTR);
    if (synced != 0)
        return abandon(QT_TRANSLATE_NOOP("AtomicFile", "flushing to disk failed"), true);
    // On Linux the descriptor is gone even when close fails, so it is not closed twice.
    if (::close(fd) != 0)
        return abandon(QT_TRANSLATE_NOOP("AtomicFile", "closing failed"), false);
    if (::rename(tempPath.constData(), target.constData()) != 0)
        return abandon(QT_TRANSLATE_NOOP("AtomicFile", "cannot replace the file"), false);

    // Without this the rename itself may not survive a crash.
    const int directoryFd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryFd < 0)
        return fail(error, path, QT_TRANSLATE_NOOP("AtomicFile", "written, but cannot open its directory to sync it"), errno);
    const int directorySynced = ::fsync(directoryFd);
    const int syncError = errno;
    ::close(directoryFd);
    // EINVAL: the file system cannot sync directories, so there is nothing more to do.
    if (directorySynced != 0 && syncError != EINVAL)
        return fail(error, path, QT_TRANSLATE_NOOP("AtomicFile", "written, but syncing its directory failed"), syncError);
    return true;
}

bool makePrivateDirectory(const QString &path, QString *error)
{
    const QByteArray target = QFile::encodeName(path);
    for (qsizetype end = target.indexOf('/', 1); ; end = target.indexOf('/', end + 1)) {
        const QByteArray folder = end < 0 ? target : target.left(end);
        if (!folder.isEmpty() && ::mkdir(folder.constData(), S_IRWXU) != 0) {
            const int errorNumber = errno;
            struct stat status = {};
            if (errorNumber != EEXIST || ::stat(folder.constData(), &status) != 0 || !S_ISDIR(status.st_mode)) {
                if (error) {
                    *error = QCoreApplication::translate("AtomicFile", "cannot create the folder \"%1\": %2")
                                 .arg(QFile::decodeName(folder), qt_error_string(errorNumber == EEXIST ? ENOTDIR : errorNumber));
                }
                return false;
            }
        }
        if (end < 0)
            return true;
    }
}

PrivateCreation::PrivateCreation()
    : m_previousMask(::umask(S_IRWXG | S_IRWXO))
{
}

PrivateCreation::~PrivateCreation()
{
    ::umask(mode_t(m_previousMask));
}

int removeLeftoverTemporaryFiles(const QString &folder)
{
    int removed = 0;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        // Every such name starts with a dot; the expressions are made only when one does, which
        // spares nearly every start the regular-expression engine's pages.
        if (!name.startsWith(u'.'))
            continue;
        static const QRegularExpression ours(QStringLiteral("^\\..+\\.kestrum-tmp\\.[A-Za-z0-9]{6}(\\.tmp)?$"));
        // Earlier versions named them ".NAME.XXXXXX": only the names Kestrum itself writes count.
        static const QRegularExpression earlier(
            QStringLiteral("^\\.(Kestrum\\.plist|\\d{4}-\\d{2}-\\d{2}( \\d+)?\\.(csv|kestrum))\\.[A-Za-z0-9]{6}$"));
        if (!ours.match(name).hasMatch() && !earlier.match(name).hasMatch())
            continue;
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        struct stat status = {};
        if (::lstat(path.constData(), &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::getuid()
            && ::unlink(path.constData()) == 0)
            ++removed;
    }
    return removed;
}
