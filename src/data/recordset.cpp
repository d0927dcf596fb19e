#include "data/recordset.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/db_error.h"
#include "data/dialect.h"
#include "data/statement.h"

#include <QDateTime>
#include <utility>

using namespace Qt::Literals::StringLiterals;

Recordset::Recordset(Connection &connection) : m_connection(connection) {}

Recordset::~Recordset() = default;

void Recordset::open(const QString &select, const QVariantList &params)
{
    close();
    if (m_connection.engine() != dialect::Engine::Sqlite) {
        // The columns alone, from a select that returns no row.
        const Statement columns(m_connection,
                                u"select * from ("_s + dialect::translate(m_connection.engine(), select) +
                                    u") listed limit 0"_s,
                                params);
        m_columns = columns.columnCount();
        m_table = schema::tableWithColumns(columns.columnNames());
        m_heldSelect = select;
        m_heldParams = params;
        return;
    }
    m_statement = std::make_unique<Statement>(m_connection, select, params);
    // The columns a select of all columns returns name its table.
    m_columns = m_statement->columnCount();
    m_table = schema::tableWithColumns(m_statement->columnNames());
    const bool any = m_statement->next();
    m_eof = !any;
    m_bof = !any;
}

void Recordset::run() const
{
    if (m_heldSelect.isNull())
        return;
    const QString select = std::exchange(m_heldSelect, QString());
    m_statement = std::make_unique<Statement>(m_connection, select, std::exchange(m_heldParams, {}));
    m_eof = m_bof = !m_statement->next();
}

bool Recordset::eof() const
{
    run();
    return m_eof;
}

bool Recordset::bof() const
{
    run();
    return m_bof;
}

void Recordset::close()
{
    m_statement.reset();
    m_heldSelect = QString();
    m_heldParams.clear();
    m_table = nullptr;
    m_columns = 0;
    m_eof = m_bof = true;
    m_adding = false;
    m_pendingOrdinals.clear();
    m_pendingValues.clear();
}

void Recordset::moveNext()
{
    if (eof())
        throw DbError(u"记录集已经到达末尾。"_s);
    m_bof = false;
    m_eof = !m_statement->next();
}

int Recordset::fieldCount() const
{
    return m_columns;
}

QVariant Recordset::field(int ordinal) const
{
    if (eof())
        throw DbError(u"当前没有记录。"_s);
    if (ordinal < 0 || ordinal >= fieldCount())
        throw DbError(u"没有第 "_s + QString::number(ordinal) + u" 列。"_s);
    if (m_table && m_table->columns.at(ordinal).type == schema::ColumnType::DateTime) {
        if (const auto dt = m_statement->dateTime(ordinal))
            return *dt;
    }
    return m_statement->value(ordinal);
}

QVariant Recordset::stored(int ordinal) const
{
    if (eof())
        throw DbError(u"当前没有记录。"_s);
    if (ordinal < 0 || ordinal >= fieldCount())
        throw DbError(u"没有第 "_s + QString::number(ordinal) + u" 列。"_s);
    return m_statement->value(ordinal);
}

QString Recordset::text(int ordinal) const
{
    return conv::variantToText(field(ordinal));
}

void Recordset::addNew()
{
    if (!m_table)
        throw DbError(u"不能在这个查询上新增记录。"_s);
    m_adding = true;
    m_pendingOrdinals.clear();
    m_pendingValues.clear();
}

QVariant Recordset::storageValue(int ordinal, const QVariant &value) const
{
    if (!value.isValid() || value.isNull())
        return {};
    using schema::ColumnType;
    switch (m_table->columns.at(ordinal).type) {
    case ColumnType::Key:
        throw DbError(u"自动编号的列不能写入。"_s);
    case ColumnType::Text:
        return value.toString();
    case ColumnType::Int16: {
        std::optional<qint16> n;
        if (value.typeId() == QMetaType::QString)
            n = conv::toInt16(value.toString());
        else if (value.canConvert<double>())
            n = conv::toInt16(value.toDouble());
        if (!n)
            throw DbError(u"数值“"_s + value.toString() +
                          u"”不是 -32768 到 32767 之间的整数（溢出或类型不匹配）。"_s);
        return int(*n);
    }
    case ColumnType::Number: {
        if (value.typeId() == QMetaType::QString) {
            const auto d = conv::toNumber(value.toString());
            if (!d)
                throw DbError(u"“"_s + value.toString() + u"”不是数字（类型不匹配）。"_s);
            return *d;
        }
        return value;
    }
    case ColumnType::DateTime: {
        std::optional<QDateTime> dt;
        if (value.typeId() == QMetaType::QDateTime)
            dt = value.toDateTime();
        else if (value.typeId() == QMetaType::QDate)
            dt = value.toDate().startOfDay();
        else
            dt = conv::textToDateTime(value.toString());
        if (!dt || !dt->isValid())
            throw DbError(u"“"_s + value.toString() + u"”不是日期（类型不匹配）。"_s);
        return conv::toStorage(*dt);
    }
    }
    return value;
}

void Recordset::setField(int ordinal, const QVariant &value)
{
    if (!m_table)
        throw DbError(u"这个查询的记录不能修改。"_s);
    if (!m_adding && eof())
        throw DbError(u"当前没有记录。"_s);
    if (ordinal < 0 || ordinal >= m_table->columns.size())
        throw DbError(u"没有第 "_s + QString::number(ordinal) + u" 列。"_s);
    const QVariant stored = storageValue(ordinal, value);
    const qsizetype at = m_pendingOrdinals.indexOf(ordinal);
    if (at >= 0) {
        m_pendingValues[at] = stored;
    } else {
        m_pendingOrdinals.append(ordinal);
        m_pendingValues.append(stored);
    }
}

void Recordset::update()
{
    if (!m_table)
        throw DbError(u"这个查询的记录不能修改。"_s);
    const QString table = dialect::quoted(m_table->name);
    QStringList names;
    for (int ordinal : std::as_const(m_pendingOrdinals))
        names.append(dialect::quoted(m_table->columns.at(ordinal).name));
    if (m_adding) {
        const QStringList marks(names.size(), u"?"_s);
        Statement insert(m_connection,
                         u"insert into "_s + table +
                             (names.isEmpty() ? u" default values"_s
                                              : u" ("_s + names.join(u", "_s) + u") values ("_s +
                                                    marks.join(u", "_s) + u")"_s),
                         m_pendingValues);
        m_lastKey = insert.lastInsertId();
        m_adding = false;
    } else {
        if (eof())
            throw DbError(u"当前没有记录。"_s);
        if (!names.isEmpty()) {
            QStringList sets;
            for (const QString &n : std::as_const(names))
                sets.append(n + u"=?"_s);
            QVariantList values = m_pendingValues;
            values.append(m_statement->value(0));
            Statement(m_connection,
                      u"update "_s + table + u" set "_s + sets.join(u", "_s) + u" where "_s +
                          dialect::quoted(m_table->columns.at(0).name) + u"=?"_s,
                      values);
        }
    }
    m_pendingOrdinals.clear();
    m_pendingValues.clear();
}
