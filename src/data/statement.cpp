#include "data/statement.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/db_error.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlRecord>
#include <sqlite3.h>

using namespace Qt::Literals::StringLiterals;

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

void readStoreFile(QSqlDatabase &db, const std::function<bool(const char *, qint64)> &sink)
{
    const QVariant h = db.driver() ? db.driver()->handle() : QVariant();
    sqlite3 *handle = h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0
                          ? *static_cast<sqlite3 *const *>(h.constData())
                          : nullptr;
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
