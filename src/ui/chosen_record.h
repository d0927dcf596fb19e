#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class FlexGrid;
class Recordset;
class QWidget;

// The row of a list the operator chose, kept as shown so a write can check it still holds.
namespace ui {

// The chosen row's cells as shown; when no record is chosen (row 0, the header), one message
// says so and the list is empty.
QStringList chosenRecord(QWidget *window, const FlexGrid *grid);
QString nothingChosenMessage();

// In one transaction: reads the record `rowSelect` finds by cells[0], and deletes it with
// `deleteSql` (bound to the same key) only if it still reads as shown. On failure one message,
// nothing written, false.
bool deleteShown(QWidget *window, const QString &rowSelect, const QString &deleteSql,
                 const QStringList &cells);
// The same, but `write` sets the record's new values, which are then stored.
bool rewriteShown(QWidget *window, const QString &rowSelect, const QStringList &cells,
                  const std::function<void(Recordset &)> &write);

} // namespace ui
