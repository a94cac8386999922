#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at `path` with `contents` so that a crash or kill at any moment leaves
// either the old file or the new one, never a torn one: the contents go to a temporary file
// in the same directory (".NAME.kestrum-tmp.XXXXXX", created exclusively, mode 0600), are
// flushed to disk and renamed over the target, and the directory is synced. A symbolic link is written through to the
// file it names. The new file has mode 0600.
//
// On failure the target is left as it was, no temporary file remains, and `error` names the
// file and the reason. Only when the final directory sync fails is the new file already in
// place; the error then says so.
//
// In a folder that a sync tool keeps in step with other computers the temporary file is named
// as the tool names its own (".syncthing.NAME.kestrum-tmp.XXXXXX.tmp"), which it never carries.
enum class TemporaryName { Hidden, SyncIgnored };
bool writeFileAtomically(const QString &path, const QByteArray &contents, QString *error, TemporaryName naming = TemporaryName::Hidden);

// Creates the folder at `path` and every missing folder above it, each readable by the user
// alone (mode 0700); folders that exist are left as their owner set them. On failure answers
// false, and `error` names the folder that could not be made and the reason.
bool makePrivateDirectory(const QString &path, QString *error);

// While one lives, what this process creates (files, sockets) is readable by the user alone,
// whatever mode the code that creates it asks for (QLockFile asks for 0666). It sets the
// process's umask, which every thread shares, so it is kept only around the creation.
class PrivateCreation
{
public:
    PrivateCreation();
    ~PrivateCreation();
    PrivateCreation(const PrivateCreation &) = delete;
    PrivateCreation &operator=(const PrivateCreation &) = delete;

private:
    unsigned m_previousMask = 0;
};

// Removes from `folder` the temporary files that writes cut short (a kill, a power loss) left
// behind: the user's own regular files of this writer's naming, and of the naming earlier
// versions gave the settings file and the periodic saves. Nothing else is touched. Call it only
// where no other Kestrum can be writing. Answers how many were removed.
int removeLeftoverTemporaryFiles(const QString &folder);
