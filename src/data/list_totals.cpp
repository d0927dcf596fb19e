#include "data/list_totals.h"

#include "data/connection.h"
#include "data/dialect.h"

#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

namespace totals {

Totals compute(Connection &connection, const QString &select, const QVariantList &params,
               const QStringList &columns)
{
    QString sql = u"select count(*)"_s;
    for (const QString &c : columns)
        sql += u", coalesce(sum("_s + dialect::quoted(c) + u"), 0)"_s;
    // The list's own select as a derived table: same filter, same rows.
    sql += u" from ("_s + select + u") listed"_s;
    QSqlQuery q = connection.run(sql, params);
    Totals t;
    if (q.next()) {
        t.count = q.value(0).toLongLong();
        for (int i = 0; i < columns.size(); ++i)
            t.sums.append(q.value(i + 1).toDouble());
    }
    return t;
}

} // namespace totals
