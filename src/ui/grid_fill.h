#pragma once

#include "data/paged_table.h"

#include <QString>
#include <QVariantList>
#include <memory>

class Connection;
class FlexGrid;
class Recordset;

// The two things every list window does with its grid: fill it from a table, and (in the
// window itself) copy the chosen row's cells into boxes.
namespace grid {

inline constexpr int DefaultRowHeight = 250; // twips
inline constexpr int KeepRowHeight = -1;

// Back to the header row only, with the given header and least row height.
void reset(FlexGrid *grid, const QString &header, int rowHeightTwips = DefaultRowHeight);

// reset(), then the rows of `table` that `filter` picks, in key order. Rows of an append-only table
// are read page by page as they come into view (the pages shown first on `connection`, later ones
// on a connection of their own); a short list of other rows is read whole at once. Rows stored
// after this call stay out of the list. Returns the count and the sums of the `sums` columns, taken
// with the rows. Throws DbError.
std::shared_ptr<const PagedTable> fillPaged(FlexGrid *grid, const QString &header, int rowHeightTwips,
                                            Connection &connection, const QString &table,
                                            const PagedTable::Filter &filter = {},
                                            PagedTable::Order order = PagedTable::Order::NewestFirst,
                                            const QStringList &sums = {});
// The same on a connection of its own; the header stands even when the file cannot be opened.
std::shared_ptr<const PagedTable> fillPaged(FlexGrid *grid, const QString &header, int rowHeightTwips,
                                            const QString &table, const PagedTable::Filter &filter = {},
                                            PagedTable::Order order = PagedTable::Order::NewestFirst,
                                            const QStringList &sums = {});

// Adds the record set's current record as a new last row.
void appendRecord(FlexGrid *grid, const Recordset &records);

// Header strings shared by several windows.
QString roomHeader();
QString stayHeader();
QString completedStayHeader();

} // namespace grid
