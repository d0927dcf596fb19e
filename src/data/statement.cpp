#include "data/statement.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/db_error.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlRecord>
#include <algorithm>
#include <iterator>
#include <sqlite3.h>

using namespace Qt::Literals::StringLiterals;

namespace {

sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant h = db.driver() ? db.driver()->handle() : QVariant();
    return h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0
               ? *static_cast<sqlite3 *const *>(h.constData())
               : nullptr;
}

DbError failure(sqlite3 *db, int code)
{
    return Connection::storeError(code, QString::fromUtf8(sqlite3_errmsg(db)));
}

// Values are bound as Qt's driver binds them, so nothing stored changes kind: a null text, date
// or byte array is NULL, integers and numbers keep their kind, anything else is text.
int bind(sqlite3_stmt *s, int at, const QVariant &v)
{
    static constexpr int Integers[] = {QMetaType::Bool,  QMetaType::Char,     QMetaType::SChar,
                                       QMetaType::UChar, QMetaType::Short,    QMetaType::UShort,
                                       QMetaType::Int,   QMetaType::UInt,     QMetaType::Long,
                                       QMetaType::ULong, QMetaType::LongLong, QMetaType::ULongLong};
    const int type = v.typeId();
    if (v.isNull() || (type == QMetaType::QString && v.toString().isNull()) ||
        (type == QMetaType::QByteArray && v.toByteArray().isNull()) ||
        (type == QMetaType::QDateTime && v.toDateTime().isNull()) ||
        (type == QMetaType::QDate && v.toDate().isNull()))
        return sqlite3_bind_null(s, at);
    if (std::find(std::begin(Integers), std::end(Integers), type) != std::end(Integers))
        return sqlite3_bind_int64(s, at, v.toLongLong());
    if (type == QMetaType::Double || type == QMetaType::Float)
        return sqlite3_bind_double(s, at, v.toDouble());
    if (type == QMetaType::QByteArray) {
        const QByteArray b = v.toByteArray();
        return sqlite3_bind_blob(s, at, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    const QString text =
        type == QMetaType::QDateTime ? v.toDateTime().toString(Qt::ISODateWithMs) : v.toString();
    return sqlite3_bind_text16(s, at, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
}

} // namespace

Statement::Statement(Connection &connection, const QString &sql, const QVariantList &params)
    : m_connection(connection)
{
    if (connection.engine() != dialect::Engine::Sqlite) {
        m_query.emplace(connection.run(sql, params, true));
        return;
    }
    connection.countStatement();
    sqlite3 *db = handleOf(connection.database());
    if (!db)
        throw DbError(u"数据库连接没有打开。"_s);
    const QByteArray utf8 = dialect::translate(connection.engine(), sql).toUtf8();
    int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_native, nullptr);
    if (rc == SQLITE_OK && !m_native)
        throw DbError(u"空的 SQL 语句。"_s);
    if (rc == SQLITE_OK && sqlite3_bind_parameter_count(m_native) != params.size()) {
        sqlite3_finalize(m_native);
        throw DbError(u"参数个数不符。"_s);
    }
    for (int i = 0; rc == SQLITE_OK && i < params.size(); ++i)
        rc = bind(m_native, i + 1, params.at(i));
    if (rc == SQLITE_OK)
        rc = sqlite3_step(m_native);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        const DbError e = failure(db, rc);
        sqlite3_finalize(m_native);
        throw e;
    }
    m_state = rc == SQLITE_ROW ? State::RowWaiting : State::Done;
    m_changes = sqlite3_changes(db);
    m_lastId = sqlite3_last_insert_rowid(db);
    connection.m_statements.insert(this);
}

Statement::~Statement()
{
    if (m_query)
        m_query->finish();
    if (m_native) {
        release();
        m_connection.m_statements.erase(this);
    }
}

void Statement::release()
{
    sqlite3_finalize(m_native);
    m_native = nullptr;
    m_state = State::Done;
}

bool Statement::next()
{
    if (m_query)
        return m_query->next();
    switch (m_state) {
    case State::RowWaiting:
        m_state = State::OnRow;
        return true;
    case State::OnRow:
        // A statement stepped past its end would start again: stepping stops at Done.
        if (const int rc = sqlite3_step(m_native); rc == SQLITE_ROW) {
            return true;
        } else if (rc != SQLITE_DONE) {
            m_state = State::Done;
            throw failure(sqlite3_db_handle(m_native), rc);
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
    if (m_query)
        return m_query->record().count();
    return m_native ? sqlite3_column_count(m_native) : 0;
}

bool Statement::onRow(int column) const
{
    return m_state == State::OnRow && column >= 0 && column < sqlite3_column_count(m_native);
}

bool Statement::isNull(int column) const
{
    if (m_query)
        return m_query->isNull(column);
    return !onRow(column) || sqlite3_column_type(m_native, column) == SQLITE_NULL;
}

qint64 Statement::integer(int column) const
{
    if (!m_query && onRow(column) && sqlite3_column_type(m_native, column) == SQLITE_INTEGER)
        return sqlite3_column_int64(m_native, column);
    return value(column).toLongLong();
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
    if (m_query) {
        QVariant v = m_query->value(column);
        return v.isNull() ? QVariant() : v;
    }
    if (!onRow(column))
        return {};
    switch (sqlite3_column_type(m_native, column)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(m_native, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_native, column);
    case SQLITE_NULL:
        return {};
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(m_native, column));
        return QByteArray(data, sqlite3_column_bytes(m_native, column));
    }
    default: {
        const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_native, column));
        return QString::fromUtf8(data, sqlite3_column_bytes(m_native, column));
    }
    }
}

int Statement::rowsAffected() const
{
    return m_query ? m_query->numRowsAffected() : m_changes;
}

qint64 Statement::lastInsertId() const
{
    // Asked of the server only after an insert: its driver runs a query of its own for it.
    return m_query ? m_query->lastInsertId().toLongLong() : m_lastId;
}

QStringList Statement::columnNames() const
{
    QStringList names;
    if (m_query) {
        const QSqlRecord r = m_query->record();
        for (int i = 0; i < r.count(); ++i)
            names.append(r.fieldName(i));
        return names;
    }
    for (int i = 0; i < columnCount(); ++i)
        names.append(QString::fromUtf8(sqlite3_column_name(m_native, i)));
    return names;
}

void readStoreFile(QSqlDatabase &db, const std::function<bool(const char *, qint64)> &sink)
{
    sqlite3 *handle = handleOf(db);
    sqlite3_file *file = nullptr;
    if (!handle || sqlite3_file_control(handle, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        !file || !file->pMethods)
        throw DbError(u"无法读取数据库文件。"_s);
    sqlite3_int64 size = 0;
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK)
        throw DbError(u"无法读取数据库文件的大小。"_s);
    constexpr int Chunk = 256 * 1024;
    QByteArray buffer(Chunk, Qt::Uninitialized);
    for (sqlite3_int64 at = 0; at < size;) {
        const int n = int(std::min<sqlite3_int64>(Chunk, size - at));
        if (file->pMethods->xRead(file, buffer.data(), n, at) != SQLITE_OK)
            throw DbError(u"读取数据库文件时出错。"_s);
        if (!sink(buffer.constData(), n))
            return;
        at += n;
    }
}
