#pragma once

#include "data/schema.h"

#include <QVariantList>
#include <map>
#include <vector>

class Connection;

// The rows of one table, newest key first, as they stood when opened: rows stored later (another
// desk's check-out) stay out, so pages read afterwards neither shift nor repeat.
class PagedTable
{
public:
    // Counts the rows and fixes the newest key; throws DbError.
    PagedTable(Connection &connection, const schema::Table &table);

    int count() const { return m_count; }
    // Rows first .. first + count - 1 (0 is the newest), values by ordinal as Recordset::stored()
    // gives them; throws DbError.
    std::vector<QVariantList> read(Connection &connection, int first, int count) const;

private:
    const schema::Table &m_table;
    QString m_key;
    QVariant m_newest;
    int m_count = 0;
    mutable std::map<int, QVariant> m_known; // keys at the edges of the pages read, by row
};
