#pragma once

#include "data/schema.h"

#include <QList>
#include <QStringList>
#include <QVariantList>
#include <map>
#include <vector>

class Connection;

// The rows of one table, or those of it a filter picks, in key order, as they stood when opened:
// rows stored later (another desk's check-out) stay out, so pages read afterwards neither shift
// nor repeat.
class PagedTable
{
public:
    enum class Order { NewestFirst, OldestFirst };
    // A condition on the table's own columns with "?" for its values; empty: every row.
    struct Filter {
        QString where;
        QVariantList params;
    };

    // Counts the rows, adds up the `sums` columns over them and fixes the newest key, in one
    // statement; throws DbError.
    PagedTable(Connection &connection, const schema::Table &table, Filter filter = {},
               Order order = Order::NewestFirst, const QStringList &sums = {});

    int count() const { return m_count; }
    // One per column of `sums`, 0 where no row has a value.
    const QList<double> &sums() const { return m_sums; }
    // Rows first .. first + count - 1 (0 is the first in the list's order), values by ordinal as
    // the store keeps them (date-times as their stored text on the file); throws DbError.
    std::vector<QVariantList> read(Connection &connection, int first, int count) const;

private:
    // The same rows counted newest first.
    std::vector<QVariantList> readNewestFirst(Connection &connection, int first, int count) const;

    const schema::Table &m_table;
    QString m_key;
    Filter m_filter;
    Order m_order;
    QVariant m_newest;
    int m_count = 0;
    QList<double> m_sums;
    mutable std::map<int, QVariant> m_known; // keys at the edges of the pages read, by row
};
