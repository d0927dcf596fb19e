#pragma once

#include <QDateTime>
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

// What a cell held in the store: a number stays a number in a spreadsheet, text stays the same
// text.
enum class CellKind { Text, Number };
// One CSV field: quoted where it holds a comma, quote, line break or edge blank. Text a
// spreadsheet would read as something else (digits, a date, TRUE, a formula) goes as a formula
// that yields exactly that text, which Excel and LibreOffice both evaluate on opening.
QString csvField(const QString &value, CellKind kind = CellKind::Text);
// The list as CSV: UTF-8 with a byte-order mark (spreadsheet programs then read Chinese),
// CRLF line ends, every cell through csvField().
QByteArray csv(const FlexGrid *grid);
// Writes csv() to the file whole or not at all; false with the reason.
bool writeCsv(const FlexGrid *grid, const QString &path, QString *error);

// What every printed page says the list is.
struct Heading {
    QString title;  // the window's title
    QString filter; // what chose the rows, empty for a whole list
    QString totals; // the line under the list on screen, printed after the last row
    QString operatorName;
    QDateTime printedAt;
};
// The heading of the grid's list as it stands now, printed by the operator logged in.
Heading heading(const FlexGrid *grid);

// Draws the list as a table over as many pages as it needs; `newPage` starts the next one.
// Every page carries the heading and "第 N 页 / 共 M 页". Returns the number of pages drawn.
int paintPages(const FlexGrid *grid, const Heading &heading, QPainter &painter, const QRectF &page,
               const std::function<bool()> &newPage);

// The menu's two commands, with their questions and messages through the seam.
void exportCsv(FlexGrid *grid);
void print(FlexGrid *grid);

} // namespace grid_export
