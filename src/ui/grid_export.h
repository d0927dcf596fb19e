#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class FlexGrid;
class QPainter;
class QRectF;

// What leaves the program from any list: the rows as listed, to a CSV file or on paper (or a
// PDF file when no printer is there). Every FlexGrid offers both in its context menu.
namespace grid_export {

// Puts "导出为 CSV 文件…" and "打印列表…" in the grid's context menu.
void attach(FlexGrid *grid);

// The header texts without their alignment marks and padding blanks.
QStringList headerTexts(const FlexGrid *grid);

// The list as CSV: UTF-8 with a byte-order mark (spreadsheet programs then read Chinese),
// CRLF line ends, fields quoted where they hold a comma, quote, line break or edge blank.
QByteArray csv(const FlexGrid *grid);
// Writes csv() to the file whole or not at all; false with the reason.
bool writeCsv(const FlexGrid *grid, const QString &path, QString *error);

// Draws the list as a table over as many pages as it needs; `newPage` starts the next one.
// Returns the number of pages drawn.
int paintPages(const FlexGrid *grid, const QString &title, QPainter &painter, const QRectF &page,
               const std::function<bool()> &newPage);

// The menu's two commands, with their questions and messages through the seam.
void exportCsv(FlexGrid *grid);
void print(FlexGrid *grid);

} // namespace grid_export
