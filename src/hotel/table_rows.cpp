#include "hotel/table_rows.h"

#include "data/dialect.h"
#include "data/schema.h"
#include "data/statement.h"

using namespace Qt::Literals::StringLiterals;

namespace hotel::rows {

namespace {

const schema::Table &tableNamed(const QString &name)
{
    const schema::Table *t = schema::table(name);
    Q_ASSERT(t);
    return *t;
}

QString keyOf(const schema::Table &t)
{
    return dialect::quoted(t.columns.at(0).name);
}

std::vector<QVariantList> readAll(Statement &q)
{
    std::vector<QVariantList> out;
    const int n = q.columnCount();
    while (q.next()) {
        QVariantList row;
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row.append(q.value(i));
        out.push_back(std::move(row));
    }
    return out;
}

} // namespace

std::optional<QVariantList> byKey(Connection &c, const QString &table, qint64 key)
{
    const schema::Table &t = tableNamed(table);
    Statement q(c, u"select * from "_s + dialect::quoted(t.name) + u" where "_s + keyOf(t) + u"=?"_s, {key});
    auto all = readAll(q);
    if (all.empty())
        return std::nullopt;
    return std::move(all.front());
}

std::vector<QVariantList> where(Connection &c, const QString &table, const QString &condition,
                                const QVariantList &params)
{
    const schema::Table &t = tableNamed(table);
    Statement q(c,
                u"select * from "_s + dialect::quoted(t.name) + u" where "_s + condition + u" order by "_s +
                    keyOf(t),
                params);
    return readAll(q);
}

qint64 insert(Connection &c, const QString &table, const QVariantList &values)
{
    const schema::Table &t = tableNamed(table);
    QStringList names;
    for (int i = 1; i <= values.size() && i < t.columns.size(); ++i)
        names.append(dialect::quoted(t.columns.at(i).name));
    const QStringList marks(names.size(), u"?"_s);
    const QString sql = u"insert into "_s + dialect::quoted(t.name) + u" ("_s + names.join(u", "_s) +
                        u") values ("_s + marks.join(u", "_s) + u")"_s;
    Statement q(c, sql + u" returning "_s + keyOf(t), values);
    return q.next() ? q.integer(0) : -1;
}

int update(Connection &c, const QString &table, qint64 key, const QVariantList &values)
{
    const schema::Table &t = tableNamed(table);
    QStringList sets;
    for (int i = 1; i <= values.size() && i < t.columns.size(); ++i)
        sets.append(dialect::quoted(t.columns.at(i).name) + u"=?"_s);
    QVariantList params = values;
    params.append(key);
    return Statement(c,
                     u"update "_s + dialect::quoted(t.name) + u" set "_s + sets.join(u", "_s) + u" where "_s +
                         keyOf(t) + u"=?"_s,
                     params)
        .rowsAffected();
}

int remove(Connection &c, const QString &table, qint64 key)
{
    const schema::Table &t = tableNamed(table);
    return Statement(c, u"delete from "_s + dialect::quoted(t.name) + u" where "_s + keyOf(t) + u"=?"_s,
                     {key})
        .rowsAffected();
}

} // namespace hotel::rows
