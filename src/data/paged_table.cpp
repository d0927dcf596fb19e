#include "data/paged_table.h"

#include "data/connection.h"
#include "data/dialect.h"
#include "data/recordset.h"
#include "data/statement.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

PagedTable::PagedTable(Connection &connection, const schema::Table &table)
    : m_table(table), m_key(dialect::quoted(table.columns.at(0).name))
{
    const QString from = u" from "_s + dialect::quoted(table.name);
    Statement newest(connection, u"select max("_s + m_key + u")"_s + from);
    if (!newest.next() || newest.isNull(0))
        return;
    m_newest = newest.value(0);
    Statement rows(connection, u"select count(*)"_s + from + u" where "_s + m_key + u"<=?"_s, {m_newest});
    m_count = rows.next() ? int(rows.integer(0)) : 0;
}

std::vector<QVariantList> PagedTable::read(Connection &connection, int first, int count) const
{
    count = std::min(count, m_count - first);
    if (first < 0 || count <= 0)
        return {};
    // The page's key range, counted from whichever end is nearer.
    const bool fromOldest = first > m_count - first - count;
    const QString from = u" from "_s + dialect::quoted(m_table.name) + u" where "_s + m_key + u"<=?"_s;
    const QString order = u" order by "_s + m_key + (fromOldest ? u" asc"_s : u" desc"_s);
    const int skip = fromOldest ? m_count - first - count : first;
    QVariant lowest, highest;
    {
        Statement keys(connection,
                       u"select "_s + m_key + from + order + dialect::rowWindow(connection.engine()),
                       {m_newest, count, skip});
        while (keys.next()) {
            const QVariant key = keys.value(0);
            if (!lowest.isValid() || key.toLongLong() < lowest.toLongLong())
                lowest = key;
            if (!highest.isValid() || key.toLongLong() > highest.toLongLong())
                highest = key;
        }
    }
    std::vector<QVariantList> rows;
    if (!lowest.isValid())
        return rows;
    Recordset records(connection);
    records.open(u"select *"_s + from + u" and "_s + m_key + u">=? and "_s + m_key + u"<=? order by "_s +
                     m_key + u" desc"_s,
                 {m_newest, lowest, highest});
    while (!records.eof()) {
        QVariantList row;
        for (int c = 0; c < records.fieldCount(); ++c)
            row.append(records.stored(c));
        rows.push_back(std::move(row));
        records.moveNext();
    }
    return rows;
}
