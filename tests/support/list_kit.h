#pragma once

// A list grid filled as a window fills it: the rows of one table through the desk's session.

#include "hotel/listing.h"
#include "ui/grid_fill.h"

#include <QTest>

namespace kit {

inline hotel::ListingPtr fillList(FlexGrid *grid, const QString &header, int rowHeight, const QString &table,
                                  const QString &where = {}, const QVariantList &params = {},
                                  hotel::Listing::Order order = hotel::Listing::Order::NewestFirst,
                                  const QStringList &sums = {})
{
    const auto rows =
        hotel::Listing::make(hotel::session(), hotel::Right::Setup, table, where, params, order, sums);
    if (!rows.ok())
        qWarning("the list of %s could not be read: %s", qPrintable(table), qPrintable(rows.message()));
    grid::fill(grid, header, rowHeight, rows.ok() ? rows.value() : nullptr);
    return rows.ok() ? rows.value() : nullptr;
}

} // namespace kit
