// A house on a PostgreSQL server. Qt's QPSQL driver opens and closes the connection; statements
// go through libpq on the driver's own handle, one round trip each: the driver would prepare,
// execute and deallocate every statement, three trips to the server.
#include "data/db_error.h"
#include "data/server_store.h"
#include "data/store_backend.h"

#include <QDateTime>
#include <QSqlDriver>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <libpq-fe.h>
#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace store::postgres {

namespace {

// The server's type numbers (pg_type.h belongs to the server's own headers).
enum : Oid {
    BoolOid = 16,
    ByteaOid = 17,
    Int8Oid = 20,
    Int2Oid = 21,
    Int4Oid = 23,
    OidOid = 26,
    Float4Oid = 700,
    Float8Oid = 701,
    DateOid = 1082,
    TimestampOid = 1114,
    TimestamptzOid = 1184,
    NumericOid = 1700,
};

// What a column's text is read into, as Qt's driver read it.
enum class Kind { Integer, Real, Bool, DateTime, DateTimeZoned, Date, Bytes, Text };

Kind kindOf(Oid type)
{
    switch (type) {
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
    case OidOid:
        return Kind::Integer;
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        return Kind::Real;
    case BoolOid:
        return Kind::Bool;
    case TimestampOid:
        return Kind::DateTime;
    case TimestamptzOid:
        return Kind::DateTimeZoned;
    case DateOid:
        return Kind::Date;
    case ByteaOid:
        return Kind::Bytes;
    default:
        return Kind::Text;
    }
}

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

DbError failure(PGconn *conn, const PGresult *r)
{
    const char *state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const QString text = QString::fromUtf8(r ? PQresultErrorMessage(r) : PQerrorMessage(conn)).trimmed();
    return serverstore::errorOf(QString::fromLatin1(state), text, PQstatus(conn) == CONNECTION_BAD);
}

// A statement's result, or its failure thrown.
Result checked(PGconn *conn, PGresult *raw)
{
    Result r(raw, &PQclear);
    switch (r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR) {
    case PGRES_TUPLES_OK:
    case PGRES_COMMAND_OK:
    case PGRES_EMPTY_QUERY:
        return r;
    default:
        throw failure(conn, r.get());
    }
}

// "?" becomes the server's "$1", "$2" ..., except in quoted text, quoted names and comments.
QByteArray numberedPlaceholders(const QString &sql)
{
    const QByteArray in = sql.toUtf8();
    QByteArray out;
    out.reserve(in.size() + 16);
    int n = 0;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (c == '\'' || c == '"') {
            const qsizetype end = in.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? in.size() : end + 1;
            out.append(in.constData() + i, stop - i);
            i = stop - 1;
        } else if (c == '-' && i + 1 < in.size() && in.at(i + 1) == '-') {
            const qsizetype end = in.indexOf('\n', i);
            const qsizetype stop = end < 0 ? in.size() : end;
            out.append(in.constData() + i, stop - i);
            i = stop - 1;
        } else if (c == '?') {
            out.append('$');
            out.append(QByteArray::number(++n));
        } else {
            out.append(c);
        }
    }
    return out;
}

// A bound value as the server reads it: text the server types from its place in the statement,
// bytes as they are. A null text, date or byte array is NULL, as with the file.
struct Param {
    QByteArray data;
    bool null = true;
    bool binary = false;
};

QByteArray dateText(int year, int month, int day, const char *rest = "")
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d%s", year, month, day, rest);
    return QByteArray(buffer);
}

Param paramOf(const QVariant &v)
{
    Param p;
    p.null = false;
    switch (v.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        p.null = true;
        break;
    case QMetaType::Bool:
        p.data = v.toBool() ? "t" : "f";
        break;
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        p.data = QByteArray::number(v.toLongLong());
        break;
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        p.data = QByteArray::number(v.toULongLong());
        break;
    case QMetaType::Float:
    case QMetaType::Double:
        // The shortest text that reads back as the same number.
        p.data = QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest).toLatin1();
        break;
    case QMetaType::QDateTime: {
        // Whole seconds of local time, as the house keeps them (timestamp(0) without zone, which
        // ignores the offset); the offset places the moment for a column with a zone.
        const QDateTime t = v.toDateTime().toLocalTime();
        p.null = !t.isValid();
        if (!p.null) {
            const QDate d = t.date();
            const QTime h = t.time();
            const int offset = t.offsetFromUtc() / 60;
            char rest[32];
            std::snprintf(rest, sizeof rest, " %02d:%02d:%02d%c%02d:%02d", h.hour(), h.minute(), h.second(),
                          offset < 0 ? '-' : '+', std::abs(offset) / 60, std::abs(offset) % 60);
            p.data = dateText(d.year(), d.month(), d.day(), rest);
        }
        break;
    }
    case QMetaType::QDate: {
        const QDate d = v.toDate();
        p.null = !d.isValid();
        if (!p.null)
            p.data = dateText(d.year(), d.month(), d.day());
        break;
    }
    case QMetaType::QByteArray:
        p.data = v.toByteArray();
        p.null = p.data.isNull();
        p.binary = true;
        break;
    case QMetaType::QString: {
        const QString s = v.toString();
        p.null = s.isNull();
        p.data = s.toUtf8();
        break;
    }
    default:
        p.data = v.toString().toUtf8();
        break;
    }
    return p;
}

int digitsAt(const char *s, int count)
{
    int v = 0;
    for (int i = 0; i < count; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return -1;
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

// "yyyy-MM-dd" at `s` (at least 10 characters); an invalid date for anything else.
QDate dateAt(const char *s)
{
    if (s[4] != '-' || s[7] != '-')
        return {};
    return QDate(digitsAt(s, 4), digitsAt(s + 5, 2), digitsAt(s + 8, 2));
}

QDateTime dateTimeOf(const char *s, int length, bool zoned)
{
    // "yyyy-MM-dd HH:mm:ss[.ffffff]", the server's ISO form of a time without zone, read directly.
    if (!zoned && length >= 19 && s[10] == ' ' && s[13] == ':' && s[16] == ':') {
        int ms = 0;
        if (length > 20 && s[19] == '.') {
            for (int i = 20, scale = 100; i < length && i < 23; ++i, scale /= 10)
                ms += (s[i] - '0') * scale;
        }
        const QDate d = dateAt(s);
        const QTime t(digitsAt(s + 11, 2), digitsAt(s + 14, 2), digitsAt(s + 17, 2), ms);
        if (d.isValid() && t.isValid())
            return QDateTime(d, t);
    }
    // A zone ("+08", "+05:30") or anything unusual: Qt reads the ISO form, shown in local time.
    QString text = QString::fromLatin1(s, length);
    if (text.size() > 3 && (text.at(text.size() - 3) == u'+' || text.at(text.size() - 3) == u'-'))
        text += u":00"_s;
    return QDateTime::fromString(text, Qt::ISODateWithMs).toLocalTime();
}

class ServerQuery final : public Query
{
public:
    ServerQuery(PGconn *conn, QString sql) : m_conn(conn), m_sql(std::move(sql)) {}

    void bind(const QVariantList &params) override { m_params = params; }

    bool step() override
    {
        if (!m_ran) {
            m_ran = true;
            run();
        }
        return ++m_row < m_rows;
    }

    int columnCount() const override { return int(m_kinds.size()); }
    QString columnName(int column) const override
    {
        return QString::fromUtf8(PQfname(m_result.get(), column));
    }
    bool isNull(int column) const override { return PQgetisnull(m_result.get(), m_row, column); }

    qint64 integer(int column) const override
    {
        if (m_kinds[column] == Kind::Integer)
            return QByteArrayView(text(column), length(column)).toLongLong();
        return value(column).toLongLong();
    }

    QVariant value(int column) const override
    {
        if (PQgetisnull(m_result.get(), m_row, column))
            return {};
        const char *s = text(column);
        const int n = length(column);
        switch (m_kinds[column]) {
        case Kind::Integer:
            return QByteArrayView(s, n).toLongLong();
        case Kind::Real:
            return real(s, n);
        case Kind::Bool:
            return *s == 't';
        case Kind::DateTime:
        case Kind::DateTimeZoned:
            return dateTimeOf(s, n, m_kinds[column] == Kind::DateTimeZoned);
        case Kind::Date:
            return n >= 10 ? dateAt(s) : QDate();
        case Kind::Bytes: {
            size_t size = 0;
            unsigned char *bytes = PQunescapeBytea(reinterpret_cast<const unsigned char *>(s), &size);
            const QByteArray b(reinterpret_cast<const char *>(bytes), qsizetype(size));
            PQfreemem(bytes);
            return b;
        }
        case Kind::Text:
            break;
        }
        return QString::fromUtf8(s, n);
    }

    int changes() const override { return m_changes; }

    // Asked only after an insert: the key the table's sequence last gave on this connection.
    qint64 lastInsertId() override
    {
        Result r(PQexec(m_conn, "select lastval()"), &PQclear);
        if (PQresultStatus(r.get()) != PGRES_TUPLES_OK || PQntuples(r.get()) != 1)
            return -1;
        return QByteArrayView(PQgetvalue(r.get(), 0, 0)).toLongLong();
    }

private:
    void run()
    {
        if (m_params.isEmpty()) {
            // Nothing to bind: sent as it is, as the statements that make a house are.
            m_result = checked(m_conn, PQexec(m_conn, m_sql.toUtf8().constData()));
        } else {
            const QByteArray sql = numberedPlaceholders(m_sql);
            const int n = int(m_params.size());
            std::vector<Param> params;
            params.reserve(n);
            std::vector<const char *> values(n);
            std::vector<int> lengths(n);
            std::vector<int> formats(n);
            for (int i = 0; i < n; ++i) {
                params.push_back(paramOf(m_params.at(i)));
                const Param &p = params.back();
                values[i] = p.null ? nullptr : p.data.constData();
                lengths[i] = int(p.data.size());
                formats[i] = p.binary ? 1 : 0;
            }
            m_result = checked(m_conn, PQexecParams(m_conn, sql.constData(), n, nullptr, values.data(),
                                                    lengths.data(), formats.data(), 0));
        }
        m_rows = PQntuples(m_result.get());
        // A select changes nothing, as on the file; an insert's "returning" rows are its changes.
        if (!QByteArrayView(PQcmdStatus(m_result.get())).startsWith("SELECT"))
            m_changes = QByteArrayView(PQcmdTuples(m_result.get())).toInt();
        const int columns = PQnfields(m_result.get());
        m_kinds.reserve(columns);
        for (int c = 0; c < columns; ++c)
            m_kinds.push_back(kindOf(PQftype(m_result.get(), c)));
    }

    const char *text(int column) const { return PQgetvalue(m_result.get(), m_row, column); }
    int length(int column) const { return PQgetlength(m_result.get(), m_row, column); }

    static double real(const char *s, int n)
    {
        bool ok = false;
        const double d = QByteArrayView(s, n).toDouble(&ok);
        if (ok)
            return d;
        const QByteArrayView v(s, n);
        if (v == "NaN")
            return qQNaN();
        if (v == "Infinity")
            return qInf();
        if (v == "-Infinity")
            return -qInf();
        return 0;
    }

    PGconn *m_conn;
    QString m_sql;
    QVariantList m_params;
    Result m_result{nullptr, &PQclear};
    std::vector<Kind> m_kinds;
    bool m_ran = false;
    int m_row = -1;
    int m_rows = 0;
    int m_changes = 0;
};

class ServerBackend final : public Backend
{
public:
    ~ServerBackend() override { close(); }

    dialect::Engine engine() const override { return dialect::Engine::Postgres; }

    void open(const StoreTarget &target, int busyWaitMs) override
    {
        if (!target.server)
            throw DbError::driver(StoreCause::NoHouse, QString());
        static std::atomic<int> counter{0};
        m_name = u"quillon-server-"_s + QString::number(++counter);
        m_db = QSqlDatabase::addDatabase(u"QPSQL"_s, m_name);
        try {
            serverstore::open(m_db, *target.server, busyWaitMs);
            m_conn = static_cast<PGconn *>(serverstore::connectionHandle(m_db));
            if (!m_conn)
                throw DbError(u"数据库连接没有打开。"_s);
            // Texts go both ways as UTF-8; the driver asks for it, this makes sure.
            if (qstrcmp(PQparameterStatus(m_conn, "client_encoding"), "UTF8") != 0 &&
                PQsetClientEncoding(m_conn, "UTF8") != 0)
                throw failure(m_conn, nullptr);
        } catch (const DbError &) {
            close();
            throw;
        }
        admit(QString(), target.password);
        addMissingIndexes(busyWaitMs);
    }

    bool isOpen() const override { return m_conn && m_db.isOpen(); }

    void close() override
    {
        m_conn = nullptr;
        if (m_name.isEmpty())
            return;
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        m_name.clear();
    }

    std::unique_ptr<Query> prepare(const QString &sql) override
    {
        if (!isOpen())
            throw DbError(u"数据库连接没有打开。"_s);
        return std::make_unique<ServerQuery>(m_conn, sql);
    }

    // The server locks row by row; repeatable read makes a row another desk changed after this
    // transaction read it fail to write (reported as busy) instead of being overwritten.
    void begin() override { run("BEGIN ISOLATION LEVEL REPEATABLE READ"); }
    void commit() override { run("COMMIT"); }
    void rollback() override
    {
        if (m_conn)
            PQclear(PQexec(m_conn, "ROLLBACK"));
    }

    void setBusyWait(int ms) override
    {
        run((u"select set_config('lock_timeout', '"_s + serverstore::lockTimeout(ms) + u"', false)"_s)
                .toUtf8());
    }

    bool hasIndex(const QString &name) override
    {
        const std::unique_ptr<Query> q =
            prepare(u"select 1 from pg_indexes where schemaname=current_schema() and indexname=?"_s);
        q->bind({name});
        return q->step();
    }

    void readFileBytes(const std::function<bool(const char *, qint64)> &) override
    {
        throw DbError(u"无法读取数据库文件。"_s);
    }

    QSqlDatabase &database() override { return m_db; }

private:
    void run(const QByteArray &sql)
    {
        if (!m_conn)
            throw DbError(u"数据库连接没有打开。"_s);
        checked(m_conn, PQexec(m_conn, sql.constData()));
    }

    QString m_name;
    QSqlDatabase m_db;
    PGconn *m_conn = nullptr; // the driver's, closed with it
};

} // namespace

std::unique_ptr<Backend> make()
{
    return std::make_unique<ServerBackend>();
}

} // namespace store::postgres
