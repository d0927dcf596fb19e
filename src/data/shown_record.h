#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Recordset;

// A record is written back only while it still reads as the window showed it: another desk
// may have changed or deleted it since the list was read. The check runs on the row re-read
// inside the write's own transaction, so nothing can slip in between.
namespace shown {

// Throws a Conflict DbError unless `records` (opened by key) holds a row whose columns read as
// `cells`, cell i against column i, as a list shows them.
void requireAsShown(const Recordset &records, const QStringList &cells);

// The current row of `records` as the texts of its columns.
QStringList readRow(const Recordset &records);
// The rows of `records` from the current one on, each as the texts of its columns.
QList<QStringList> readRows(Recordset &records);

QString goneMessage();
QString changedMessage();

} // namespace shown
