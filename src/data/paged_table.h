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
        // The same rows picked without an index (optional): when the rows it picks are many, the
        // newest keys read this way fill a page sooner than the index finds every row.
        QString scan;
        QVariantList scanParams;
    };
    // When the rows are counted: at once, or when count() is first needed (newest first only).
    enum class Counting { AtOnce, Later };

    // Fixes the newest key, and unless counting later, counts the rows and adds up the `sums`
    // columns over them in the same statement; throws DbError.
    PagedTable(Connection &connection, const schema::Table &table, Filter filter = {},
               Order order = Order::NewestFirst, const QStringList &sums = {},
               Counting counting = Counting::AtOnce);

    bool counted() const { return m_count >= 0; }
    // Counts the rows and adds up the sums, once; throws DbError.
    void countRows(Connection &connection);
    // The same from `rows`, every row the table holds, when the sums are of whole numbers (the
    // store would add them up alike); false, and nothing counted, otherwise.
    bool countFrom(const std::vector<QVariantList> &rows);
    // -1 until counted.
    int count() const { return m_count; }
    // One per column of `sums`, 0 where no row has a value.
    const QList<double> &sums() const { return m_sums; }
    // Rows first .. first + count - 1 (0 is the first in the list's order), values by ordinal as
    // the store keeps them (date-times as their stored text on the file); throws DbError.
    std::vector<QVariantList> read(Connection &connection, int first, int count) const;

private:
    // The same rows counted newest first.
    std::vector<QVariantList> readNewestFirst(Connection &connection, int first, int count) const;
    // Rows below the key `below` (at or below the newest when none), newest first: the newest
    // keys through the filter's scan, then, when they hold too few, the rest through its index.
    std::vector<QVariantList> readOn(Connection &connection, const QVariant &below, int count) const;
    std::vector<QVariantList> select(Connection &connection, const QString &where, QVariantList params,
                                     bool ascending, int count, int skip, bool throughIndex = false) const;

    const schema::Table &m_table;
    QString m_key;
    Filter m_filter;
    Order m_order;
    QStringList m_sumColumns;
    QVariant m_oldest; // when counted later
    QVariant m_newest;
    int m_count = 0;
    QList<double> m_sums;
    mutable std::map<int, QVariant> m_known; // keys at the edges of the pages read, by row
};
