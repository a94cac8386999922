#pragma once

#include "tracking/Settings.h"

#include <QString>
#include <QStringList>

// The categories while a shared folder is set: kept there as FOLDER/categories.json, so that
// every computer sorts time the same way. This computer's own file moves there once, when the
// user agrees; a conflict copy the sync tool makes of it waits until the user chooses.
namespace SharedCategories {

QString sharedPath(const QString &folder);
// The shared folder the settings name, "~" expanded; empty while there is none.
QString folderOf(const Settings &settings);

// Where the categories are read and saved: the shared folder's file, or this computer's.
QString pathFor(const Settings &settings, const QString &localPath);

// Whether to ask the user to move this computer's categories into the shared folder: there is a
// shared folder with no categories of its own yet, this computer has some, and the user was
// not asked before.
bool shouldAskToMove(const Settings &settings, const QString &localPath);
// Writes this computer's categories into the shared folder (atomically) and removes them here.
bool moveToShared(const QString &localPath, const QString &folder, QString *error);

// The sync tools' conflict copies of the shared categories ("categories.sync-conflict-….json").
QStringList conflictCopies(const QString &folder);
// Settles one: the copy's version becomes the categories (`useCopy`), or the current one stays;
// either way the copy goes.
bool settleConflict(const QString &folder, const QString &copy, bool useCopy, QString *error);

} // namespace SharedCategories
