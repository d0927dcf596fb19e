#pragma once

#include "data/store_target.h"

#include <QSqlDatabase>
#include <QString>

// Moving a house between the file and a server, row for row, keys and key counters included.
namespace housetransfer {

// Copies the house file at `filePath` into the server's current schema, which must hold no
// house yet, in one transaction. Returns why it failed, or empty text.
QString fileToServer(const QString &filePath, const serverstore::Server &server);

// In the server's current transaction, whose caller holds every other desk's writes off: every
// table's rows replaced by those of the house file at `filePath`. Throws DbError.
void replaceFromFile(QSqlDatabase &server, const QString &filePath);

// Writes the house as `server` sees it in its current transaction (the caller takes the
// snapshot) into a new file at `filePath`, which the file store opens as it is. Refuses an
// existing file. Returns why it failed, or empty text.
QString serverToFile(QSqlDatabase &server, const QString &filePath);

// serverToFile from a read-only, repeatable-read transaction of its own: one consistent snapshot
// that holds no lock a writer waits for. With `fingerprint`, also what the snapshot holds (below).
QString snapshotToFile(QSqlDatabase &server, const QString &filePath, QString *fingerprint = nullptr);

// Every table of the house as the server's current transaction sees it, summed up on the server
// in a few bytes: equal for a house that did not change. Throws DbError.
QString fingerprint(QSqlDatabase &server);

} // namespace housetransfer
