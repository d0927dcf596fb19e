#pragma once

#include <QDateTime>
#include <QString>

class Connection;
struct HouseLocation;

// Copies of the house: the operator's backup and the copy kept before a data initialization.
// A house in a file is copied byte for byte under its write lock; a house on a server is
// written as a house file that single-desk Quillon opens as it is. Every copy goes through
// copyDatabase, which never damages the database or an earlier good copy.
namespace housecopy {

// Why `typedTarget` cannot take a copy of `source`; empty when it can. Refused: an empty or
// relative path, a folder, a missing folder, a read-only or non-regular target, the source
// itself however the path is spelled, and the journal and other files the store keeps beside it.
QString copyRefusal(const QString &source, const QString &typedTarget);

// Copies the database `locked` has open, inside its Transaction, to `typedTarget` byte for byte.
// The bytes go to a temporary file in the target's folder (named UnfinishedCopyPrefix…, locked
// while it is written) with the database's permission bits, are forced to disk and checked for
// consistency, and only then replace the target. Unfinished copies a killed backup left in that
// folder are removed first. Throws DbError.
void copyDatabase(Connection &locked, const QString &source, const QString &typedTarget);

// The start of a copy's name while it is written; a copy cut short keeps it until removed.
inline constexpr QStringView UnfinishedCopyPrefix = u"未完成的备份-";
// Removes the unfinished copies in `folder` that no live copy is writing; how many went.
int removeUnfinishedCopies(const QString &folder);

// The operator's backup of the house at `house`, which `c` is open on (outside any transaction):
// a consistent snapshot, taken so that no other desk's commit lands while it is read. Throws
// DbError.
void backUp(Connection &c, const HouseLocation &house, const QString &typedTarget);

// Folder beside the database that keeps the copies taken before a data initialization.
QString beforeInitFolder(const QString &databasePath);
// <folder>/<name>-before-init-yyyyMMdd-HHmmss.<suffix>, with "-2", "-3"... if that is taken.
QString beforeInitCopyPath(const QString &databasePath, const QDateTime &when);

// A house in a file: inside the transaction `c` holds open, keeps every other desk's writes off
// until it ends, and copies the house into beforeInitFolder() (made private to the owner).
// Returns where. Throws DbError.
QString keepCopyBeforeInit(Connection &c, const HouseLocation &house);

// A house on a server is copied before the wipe's transaction, from a snapshot that holds no
// lock a writer waits for: a desk that freezes while it reads holds nobody up. The wipe's
// transaction then only checks, under its locks, that nothing changed since.
struct ServerCopy {
    QString path;        // the copy in beforeInitFolder()
    QString fingerprint; // the house as the copy read it
};
// Outside any transaction. Throws DbError.
ServerCopy keepServerCopyBeforeInit(Connection &c, const HouseLocation &house);
// First thing in the wipe's transaction: keeps every other desk's writes off until it ends (a
// desk holding them past the busy wait makes it fail as busy) and tells whether the house is
// still as `copy` read it. Throws DbError.
bool stillAsCopied(Connection &c, const ServerCopy &copy);

} // namespace housecopy
