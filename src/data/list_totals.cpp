#include "data/list_totals.h"

#include "data/connection.h"
#include "data/dialect.h"
#include "data/statement.h"

#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace totals {

Totals compute(Connection &connection, const QString &select, const QVariantList &params,
               const QStringList &columns)
{
    QString sql = u"select count(*)"_s;
    for (const QString &c : columns)
        sql += u", coalesce(sum("_s + dialect::quoted(c) + u"), 0)"_s;
    // The list's own select as a derived table: same filter, same rows. Its closing ORDER BY
    // changes no count or sum, and without it the store can add up straight from the table.
    static const QRegularExpression orderBy(u"\\s+order\\s+by\\s+[^()']*$"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression limited(u"\\b(top\\s+\\d|limit\\b)"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    QString rows = select;
    if (!rows.contains(limited)) // with a row limit the order picks the rows
        rows.remove(orderBy);
    sql += u" from ("_s + rows + u") listed"_s;
    Statement q(connection, sql, params);
    Totals t;
    if (q.next()) {
        t.count = q.integer(0);
        for (int i = 0; i < columns.size(); ++i)
            t.sums.append(q.real(i + 1));
    }
    return t;
}

} // namespace totals
