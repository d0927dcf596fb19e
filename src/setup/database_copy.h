#pragma once

#include <QDateTime>
#include <QString>

class Connection;

// Copies of the database file: the operator's backup and the copy kept before a data
// initialization. Both go through copyDatabase, which never damages the database or an
// earlier good copy.
namespace setup {

// The database file the connection string names.
QString databaseFilePath();

// Why `typedTarget` cannot take a copy of `source`; empty when it can. Refused: an empty or
// relative path, a folder, a missing folder, a read-only or non-regular target, the source
// itself however the path is spelled, and the journal and other files the store keeps beside it.
QString copyRefusal(const QString &source, const QString &typedTarget);

// Copies the database `locked` has open, inside its Transaction, to `typedTarget` byte for byte.
// The bytes go to a temporary file in the target's folder with the database's permission bits,
// are forced to disk and checked for consistency, and only then replace the target. Throws DbError.
void copyDatabase(Connection &locked, const QString &source, const QString &typedTarget);

// The operator's backup: a consistent snapshot of the database file, taken under the write
// lock so no other desk's commit lands while it is read. Throws DbError.
void backupDatabase(const QString &typedTarget);

// Folder beside the database that keeps the copies taken before a data initialization.
QString beforeInitFolder(const QString &databasePath);
// <folder>/<name>-before-init-yyyyMMdd-HHmmss.<suffix>, with "-2", "-3"... if that is taken.
QString beforeInitCopyPath(const QString &databasePath, const QDateTime &when);

// Copies the database `locked` holds the lock of into beforeInitFolder() (made private to the
// owner); returns where. Throws DbError.
QString keepCopyBeforeInit(Connection &locked, const QString &databasePath);

} // namespace setup
