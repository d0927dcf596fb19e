#include "data/statement.h"

#include "data/connection.h"
#include "data/conversions.h"

#include <QSqlRecord>

Statement::Statement(Connection &connection, const QString &sql, const QVariantList &params)
    : m_query(connection.run(sql, params, true))
{}

Statement::~Statement()
{
    m_query.finish();
}

bool Statement::next()
{
    return m_query.next();
}

int Statement::columnCount() const
{
    return m_query.record().count();
}

bool Statement::isNull(int column) const
{
    return m_query.isNull(column);
}

qint64 Statement::integer(int column) const
{
    return m_query.value(column).toLongLong();
}

double Statement::real(int column) const
{
    return m_query.value(column).toDouble();
}

QString Statement::text(int column) const
{
    return m_query.value(column).toString();
}

std::optional<QDateTime> Statement::dateTime(int column) const
{
    const QVariant v = m_query.value(column);
    if (v.isNull())
        return std::nullopt;
    if (v.typeId() == QMetaType::QDateTime) // engines with a date-time kind of their own
        return v.toDateTime();
    return conv::fromStorage(v.toString());
}

QVariant Statement::value(int column) const
{
    QVariant v = m_query.value(column);
    if (v.isNull())
        v = QVariant();
    return v;
}

QStringList Statement::columnNames() const
{
    const QSqlRecord r = m_query.record();
    QStringList names;
    for (int i = 0; i < r.count(); ++i)
        names.append(r.fieldName(i));
    return names;
}

int Statement::rowsAffected() const
{
    return m_query.numRowsAffected();
}

qint64 Statement::lastInsertId() const
{
    return m_query.lastInsertId().toLongLong();
}
