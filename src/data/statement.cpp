#include "data/statement.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/db_error.h"
#include "data/store_backend.h"

Statement::Statement(Connection &connection, const QString &sql, const QVariantList &params)
    : m_connection(connection), m_query(connection.prepare(sql))
{
    m_query->bind(params);
    m_state = m_query->step() ? State::RowWaiting : State::Done;
    m_changes = m_query->changes();
    m_columns = m_query->columnCount();
    connection.m_statements.insert(this);
}

Statement::~Statement()
{
    if (m_query) {
        release();
        m_connection.m_statements.erase(this);
    }
}

void Statement::release()
{
    m_query.reset();
    m_state = State::Done;
}

bool Statement::next()
{
    switch (m_state) {
    case State::RowWaiting:
        m_state = State::OnRow;
        return true;
    case State::OnRow:
        // A statement stepped past its end would start again: stepping stops at Done.
        try {
            if (m_query->step())
                return true;
        } catch (const DbError &) {
            m_state = State::Done;
            throw;
        }
        m_state = State::Done;
        return false;
    case State::Done:
        break;
    }
    return false;
}

int Statement::columnCount() const
{
    return m_query ? m_columns : 0;
}

bool Statement::onRow(int column) const
{
    return m_state == State::OnRow && column >= 0 && column < m_columns;
}

bool Statement::isNull(int column) const
{
    return !onRow(column) || m_query->isNull(column);
}

qint64 Statement::integer(int column) const
{
    return onRow(column) ? m_query->integer(column) : 0;
}

double Statement::real(int column) const
{
    return value(column).toDouble();
}

QString Statement::text(int column) const
{
    return value(column).toString();
}

std::optional<QDateTime> Statement::dateTime(int column) const
{
    const QVariant v = value(column);
    if (v.isNull())
        return std::nullopt;
    if (v.typeId() == QMetaType::QDateTime) // engines with a date-time kind of their own
        return v.toDateTime();
    return conv::fromStorage(v.toString());
}

QVariant Statement::value(int column) const
{
    return onRow(column) ? m_query->value(column) : QVariant();
}

int Statement::rowsAffected() const
{
    return m_changes;
}

qint64 Statement::lastInsertId() const
{
    return m_query ? m_query->lastInsertId() : -1;
}

QStringList Statement::columnNames() const
{
    QStringList names;
    for (int i = 0; i < columnCount(); ++i)
        names.append(m_query->columnName(i));
    return names;
}
