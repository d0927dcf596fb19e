#pragma once

#include "hotel/listing.h"

#include <QString>
#include <QVariantList>
#include <vector>

class FlexGrid;

// The two things every list window does with its grid: fill it from a table, and (in the
// window itself) copy the chosen row's cells into boxes.
namespace grid {

inline constexpr int DefaultRowHeight = 17; // pixels: a line of text and its margin
inline constexpr int KeepRowHeight = -1;

// Back to the header row only, with the given header and least row height.
void reset(FlexGrid *grid, const QString &header, int rowHeight = DefaultRowHeight);

// reset(), then the rows of the list, read page by page as they come into view (a list read whole
// at once is shown whole). A page that cannot be read is told once, in one message.
void fill(FlexGrid *grid, const QString &header, int rowHeight, const hotel::ListingPtr &rows);
// The same for a list that may not have been read: the header only, and the operator told why,
// so an empty list is never taken for one with no rows.
void fill(FlexGrid *grid, const QString &header, int rowHeight, const hotel::Result<hotel::ListingPtr> &rows);

// Adds a row of stored values as a new last row; `timeColumns` says which hold times.
void appendRow(FlexGrid *grid, const QVariantList &row, const std::vector<bool> &timeColumns);

// Header strings shared by several windows.
QString roomHeader();
QString stayHeader();
QString completedStayHeader();

} // namespace grid
