#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

class Connection;

// Count and sums of the rows a list select returns, computed by the store over that very
// select, so the figures under a list always match its rows.
namespace totals {

struct Totals {
    qint64 count = 0;
    QList<double> sums; // one per summed column, 0 where no row has a value
};

// `select` is any list select ("select * from …", filters and order included); `columns`
// name the columns to add up. Throws DbError.
Totals compute(Connection &connection, const QString &select, const QVariantList &params,
               const QStringList &columns);

} // namespace totals
