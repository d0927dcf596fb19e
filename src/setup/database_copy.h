#pragma once

#include <QDateTime>
#include <QString>

// Copies of the database file: the operator's backup and the copy kept before a data
// initialization. Both go through copyDatabaseFile, which never damages the database or an
// earlier good copy.
namespace setup {

// The database file the connection string names.
QString databaseFilePath();

// Copies `source` to `target` byte for byte. The bytes go to a temporary file in the target's
// folder, moved into place only once complete. Refuses an empty or relative path, a folder,
// a missing folder, a read-only or non-regular target and the source file itself (however the
// path is spelled). Returns why it failed, or empty text on success.
QString copyDatabaseFile(const QString &source, const QString &target);

// Folder beside the database that keeps the copies taken before a data initialization.
QString beforeInitFolder(const QString &databasePath);
// <folder>/<name>-before-init-yyyyMMdd-HHmmss.<suffix>, with "-2", "-3"... if that is taken.
QString beforeInitCopyPath(const QString &databasePath, const QDateTime &when);

// Copies the closed database file into beforeInitFolder(); `copyPath` receives where.
// Returns why it failed, or empty text on success.
QString keepCopyBeforeInit(const QString &databasePath, QString *copyPath);

} // namespace setup
