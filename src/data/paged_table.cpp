#include "data/paged_table.h"

#include "data/connection.h"
#include "data/dialect.h"
#include "data/statement.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {
// How many of the newest keys a page looks through by the filter's scan before asking its index:
// a millisecond or two of reading, which fills a page whenever more than one row in thirty matches.
constexpr qint64 ScanWindow = 2048;
} // namespace

PagedTable::PagedTable(Connection &connection, const schema::Table &table, Filter filter, Order order,
                       const QStringList &sums, Counting counting)
    : m_table(table), m_key(dialect::quoted(table.columns.at(0).name)), m_filter(std::move(filter)),
      m_order(order), m_sumColumns(sums), m_sums(sums.size(), 0.0)
{
    const QString from = u" from "_s + dialect::quoted(table.name);
    if (counting == Counting::Later && order == Order::NewestFirst) {
        // The rows the list holds are those up to the newest key now, whichever the filter picks.
        Statement bounds(connection, u"select (select min("_s + m_key + u")"_s + from + u"), (select max("_s +
                                         m_key + u")"_s + from + u")"_s);
        if (!bounds.next() || bounds.isNull(1))
            return;
        m_oldest = bounds.value(0);
        m_newest = bounds.value(1);
        m_count = -1;
        return;
    }
    // One statement, so the count, the sums and the newest key come from the same state of the
    // table. Over a whole table the count and sums are left to the store's smallest index that
    // holds them.
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

void PagedTable::countRows(Connection &connection)
{
    if (counted())
        return;
    const QString from = u" from "_s + dialect::quoted(m_table.name);
    QString figures = u"count(*)"_s;
    for (const QString &c : std::as_const(m_sumColumns))
        figures += u", coalesce(sum("_s + dialect::quoted(c) + u"), 0)"_s;
    const auto take = [this](Statement &q) {
        m_count = int(q.integer(0));
        for (int i = 0; i < m_sums.size(); ++i)
            m_sums[i] = q.real(1 + i);
    };
    if (m_filter.where.isEmpty()) {
        // The whole table through its smallest index, as when counted at once, unless rows were
        // stored since the list was made.
        Statement whole(connection,
                        u"select "_s + figures + u", (select count(*)"_s + from + u" where "_s + m_key +
                            u">?)"_s + from,
                        {m_newest});
        if (whole.next() && whole.integer(1 + m_sums.size()) == 0) {
            take(whole);
            return;
        }
    }
    QVariantList params{m_newest};
    params += m_filter.params;
    Statement q(connection,
                u"select "_s + figures + from + u" where "_s + m_key + u"<=?"_s +
                    (m_filter.where.isEmpty() ? QString() : u" and ("_s + m_filter.where + u")"_s),
                params);
    if (q.next())
        take(q);
}

bool PagedTable::countFrom(const std::vector<QVariantList> &rows)
{
    QList<double> sums(m_sums.size(), 0.0);
    for (int i = 0; i < m_sumColumns.size(); ++i) {
        int ordinal = -1;
        for (int c = 0; c < m_table.columns.size(); ++c) {
            if (m_table.columns.at(c).name == m_sumColumns.at(i))
                ordinal = c;
        }
        // Only whole numbers add up here exactly as the store adds them.
        if (ordinal < 0 || m_table.columns.at(ordinal).type != schema::ColumnType::Int16)
            return false;
        for (const QVariantList &row : rows)
            sums[i] += row.value(ordinal).toLongLong();
    }
    m_count = int(rows.size());
    m_sums = sums;
    return true;
}

std::vector<QVariantList> PagedTable::read(Connection &connection, int first, int count) const
{
    if (counted())
        count = std::min(count, m_count - first);
    if (first < 0 || count <= 0 || m_newest.isNull())
        return {};
    if (m_order == Order::NewestFirst)
        return readNewestFirst(connection, first, count);
    std::vector<QVariantList> rows = readNewestFirst(connection, m_count - first - count, count);
    std::reverse(rows.begin(), rows.end());
    return rows;
}

std::vector<QVariantList> PagedTable::select(Connection &connection, const QString &where,
                                             QVariantList params, bool ascending, int count, int skip,
                                             bool throughIndex) const
{
    params << count << skip;
    const QString key = throughIndex ? dialect::orderedApart(connection.engine(), m_key) : m_key;
    Statement q(connection,
                u"select * from "_s + dialect::quoted(m_table.name) + u" where "_s + where + u" order by "_s +
                    key + (ascending ? u" asc"_s : u" desc"_s) + dialect::rowWindow(),
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
    return rows;
}

std::vector<QVariantList> PagedTable::readOn(Connection &connection, const QVariant &below, int count) const
{
    const qint64 top = below.isValid() ? below.toLongLong() - 1 : m_newest.toLongLong();
    const qint64 floor = top - ScanWindow;
    QVariantList params{top, floor};
    params += m_filter.scanParams;
    std::vector<QVariantList> rows =
        select(connection, m_key + u"<=? and "_s + m_key + u">? and ("_s + m_filter.scan + u")"_s, params,
               false, count, 0);
    if (int(rows.size()) < count && floor >= m_oldest.toLongLong()) {
        params = {floor};
        params += m_filter.params;
        // Few rows near the newest: the index finds the rest, wherever they are.
        std::vector<QVariantList> rest = select(connection, m_key + u"<=? and ("_s + m_filter.where + u")"_s,
                                                params, false, count - int(rows.size()), 0, true);
        std::move(rest.begin(), rest.end(), std::back_inserter(rows));
    }
    return rows;
}

std::vector<QVariantList> PagedTable::readNewestFirst(Connection &connection, int first, int count) const
{
    const auto before = m_known.find(first - 1);
    std::vector<QVariantList> rows;
    if (!m_filter.scan.isEmpty() && m_oldest.isValid() && (first == 0 || before != m_known.end())) {
        rows = readOn(connection, first == 0 ? QVariant() : before->second, count);
    } else {
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
        if (before != m_known.end()) {
            where += u" and "_s + m_key + u"<?"_s;
            params.append(before->second);
        } else if (const auto after = m_known.find(first + count); after != m_known.end()) {
            where += u" and "_s + m_key + u">?"_s;
            params.append(after->second);
            ascending = true;
        } else if (counted()) {
            ascending = first > m_count - first - count;
            skip = ascending ? m_count - first - count : first;
        } else {
            skip = first;
        }
        rows = select(connection, where, params, ascending, count, skip);
    }
    if (int(rows.size()) == count) {
        m_known[first] = rows.front().value(0);
        m_known[first + count - 1] = rows.back().value(0);
    }
    return rows;
}
