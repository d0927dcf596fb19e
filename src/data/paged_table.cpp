#include "data/paged_table.h"

#include "data/connection.h"
#include "data/dialect.h"
#include "data/statement.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

PagedTable::PagedTable(Connection &connection, const schema::Table &table, Filter filter, Order order,
                       const QStringList &sums)
    : m_table(table), m_key(dialect::quoted(table.columns.at(0).name)), m_filter(std::move(filter)),
      m_order(order), m_sums(sums.size(), 0.0)
{
    // One statement, so the count, the sums and the newest key come from the same state of the
    // table. Over a whole table the count and sums are left to the store's smallest index that
    // holds them.
    const QString from = u" from "_s + dialect::quoted(table.name);
    QString sql = m_filter.where.isEmpty()
                      ? u"select (select max("_s + m_key + u")"_s + from + u"), count(*)"_s
                      : u"select max("_s + m_key + u"), count(*)"_s;
    for (const QString &c : sums)
        sql += u", coalesce(sum("_s + dialect::quoted(c) + u"), 0)"_s;
    sql += from;
    if (!m_filter.where.isEmpty())
        sql += u" where "_s + m_filter.where;
    Statement bounds(connection, sql, m_filter.params);
    if (!bounds.next() || bounds.isNull(0))
        return;
    m_newest = bounds.value(0);
    m_count = int(bounds.integer(1));
    for (int i = 0; i < sums.size(); ++i)
        m_sums[i] = bounds.real(2 + i);
}

std::vector<QVariantList> PagedTable::read(Connection &connection, int first, int count) const
{
    count = std::min(count, m_count - first);
    if (first < 0 || count <= 0)
        return {};
    if (m_order == Order::NewestFirst)
        return readNewestFirst(connection, first, count);
    std::vector<QVariantList> rows = readNewestFirst(connection, m_count - first - count, count);
    std::reverse(rows.begin(), rows.end());
    return rows;
}

std::vector<QVariantList> PagedTable::readNewestFirst(Connection &connection, int first, int count) const
{
    QString where = m_key + u"<=?"_s;
    QVariantList params{m_newest};
    if (!m_filter.where.isEmpty()) {
        where += u" and ("_s + m_filter.where + u")"_s;
        params += m_filter.params;
    }
    bool ascending = false;
    int skip = 0;
    // A neighbouring page already read gives where this one starts, so reading on in either
    // direction costs one page; otherwise rows are skipped from the nearer end.
    if (const auto before = m_known.find(first - 1); before != m_known.end()) {
        where += u" and "_s + m_key + u"<?"_s;
        params.append(before->second);
    } else if (const auto after = m_known.find(first + count); after != m_known.end()) {
        where += u" and "_s + m_key + u">?"_s;
        params.append(after->second);
        ascending = true;
    } else {
        ascending = first > m_count - first - count;
        skip = ascending ? m_count - first - count : first;
    }
    params << count << skip;
    Statement q(connection,
                u"select * from "_s + dialect::quoted(m_table.name) + u" where "_s + where + u" order by "_s +
                    m_key + (ascending ? u" asc"_s : u" desc"_s) + dialect::rowWindow(),
                params);
    std::vector<QVariantList> rows;
    const int columns = q.columnCount();
    while (q.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.append(q.value(c));
        rows.push_back(std::move(row));
    }
    if (ascending)
        std::reverse(rows.begin(), rows.end());
    if (int(rows.size()) == count) {
        m_known[first] = rows.front().value(0);
        m_known[first + count - 1] = rows.back().value(0);
    }
    return rows;
}
