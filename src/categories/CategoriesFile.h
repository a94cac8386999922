#pragma once

#include "CategorySet.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

// The user's categories and rules in $XDG_CONFIG_HOME/Kestrum/categories.json, read again when
// the file changes on disk (an edit by hand, a copy synced from another computer).
//
// Kestrum never rewrites the file on its own: what cannot be used is reported, the rest is
// used, and only a save from the editor writes it (atomically, readable by the user alone),
// first keeping a file that could not be read beside it.
class CategoriesFile : public QObject
{
    Q_OBJECT

public:
    // Without a file the default set is used, and nothing is written.
    explicit CategoriesFile(QString path = defaultPath(), QObject *parent = nullptr);

    static QString defaultPath();
    const QString &path() const { return m_path; }

    // What the file holds now, as far as it can be used.
    const CategorySet &set() const { return m_set; }
    // What is wrong with it, one line each: "categories.json line 7: rule 2 is not used: …".
    const QStringList &problems() const { return m_problems; }
    // Reads the file again; answers whether what it holds changed.
    bool reload();
    // Follows the file on disk, calling changed() when what it holds changes.
    void watch();
    // Follows the file at `path` from now on (the shared folder's, or this computer's again).
    void setPath(const QString &path);

    // Writes `set` to the file (changed() follows). A file that could not be read is first moved
    // aside (NAME.corrupt-YYYYMMDD-HHMMSS). False, with the reason, when nothing was written.
    bool save(const CategorySet &set, QString *error);
    // What the file at `path` holds as Kestrum uses it (the default set when there is none),
    // and what is wrong with it; `unreadable` when it is there but nothing of it can be used.
    static CategorySet read(const QString &path, QStringList *problems, bool *unreadable = nullptr);
    // Reads a file to import: the set and what is wrong with it, nothing of it yet used.
    static CategorySet readFile(const QString &path, QStringList *problems, QString *error);
    static bool writeFile(const QString &path, const CategorySet &set, QString *error);

Q_SIGNALS:
    void changed();
    // Something changed in the file's folder (a sync tool's conflict copy beside it, say).
    void folderChanged();

private:
    void watchPaths();

    QString m_path;
    CategorySet m_set;
    QStringList m_problems;
    bool m_unreadable = false; // the file is there but holds no categories file at all
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer m_settle; // an editor's or a sync tool's several writes are read once
};
