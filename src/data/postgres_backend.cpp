// A house on a PostgreSQL server, through Qt's QPSQL driver.
#include "data/db_error.h"
#include "data/server_store.h"
#include "data/store_backend.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>

using namespace Qt::Literals::StringLiterals;

namespace store::postgres {

namespace {

class ServerQuery final : public Query
{
public:
    ServerQuery(QSqlDatabase &db, QString sql) : m_q(db), m_sql(std::move(sql)) { m_q.setForwardOnly(true); }
    ~ServerQuery() override { m_q.finish(); }

    void bind(const QVariantList &params) override { m_params = params; }

    bool step() override
    {
        if (!m_ran) {
            m_ran = true;
            // The driver prepares with the server's PREPARE, which takes queries only: a statement
            // with nothing to bind (a "create", a "begin") is sent as it is.
            bool ok = false;
            if (m_params.isEmpty()) {
                ok = m_q.exec(m_sql);
            } else if (m_q.prepare(m_sql)) {
                for (const QVariant &p : std::as_const(m_params))
                    m_q.addBindValue(p);
                ok = m_q.exec();
            }
            if (!ok)
                throw serverstore::errorOf(m_q.lastError());
            m_changes = m_q.numRowsAffected();
        }
        if (m_q.next())
            return true;
        if (m_q.lastError().isValid())
            throw serverstore::errorOf(m_q.lastError());
        return false;
    }

    int columnCount() const override { return m_q.record().count(); }
    QString columnName(int column) const override { return m_q.record().fieldName(column); }
    bool isNull(int column) const override { return m_q.isNull(column); }
    qint64 integer(int column) const override { return m_q.value(column).toLongLong(); }

    QVariant value(int column) const override
    {
        QVariant v = m_q.value(column);
        return v.isNull() ? QVariant() : v;
    }

    int changes() const override { return m_changes; }
    // Asked only after an insert: the driver runs a query of its own for it.
    qint64 lastInsertId() override { return m_q.lastInsertId().toLongLong(); }

private:
    QSqlQuery m_q;
    QString m_sql;
    QVariantList m_params;
    bool m_ran = false;
    int m_changes = 0;
};

class ServerBackend final : public Backend
{
public:
    ~ServerBackend() override { close(); }

    dialect::Engine engine() const override { return dialect::Engine::Postgres; }

    void open(const QString &source, const QString &password, int busyWaitMs) override
    {
        static std::atomic<int> counter{0};
        m_name = u"quillon-server-"_s + QString::number(++counter);
        m_db = QSqlDatabase::addDatabase(u"QPSQL"_s, m_name);
        try {
            serverstore::open(m_db, source, busyWaitMs);
        } catch (const DbError &) {
            close();
            throw;
        }
        admit(source, password);
        addMissingIndexes(busyWaitMs);
    }

    bool isOpen() const override { return m_db.isOpen(); }

    void close() override
    {
        if (m_name.isEmpty())
            return;
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        m_name.clear();
    }

    std::unique_ptr<Query> prepare(const QString &sql) override
    {
        if (!m_db.isOpen())
            throw DbError(u"数据库连接没有打开。"_s);
        return std::make_unique<ServerQuery>(m_db, sql);
    }

    // The server locks row by row; repeatable read makes a row another desk changed after this
    // transaction read it fail to write (reported as busy) instead of being overwritten.
    void begin() override { run(u"BEGIN ISOLATION LEVEL REPEATABLE READ"_s); }
    void commit() override { run(u"COMMIT"_s); }
    void rollback() override
    {
        if (m_db.isOpen())
            QSqlQuery(m_db).exec(u"ROLLBACK"_s);
    }

    void setBusyWait(int ms) override
    {
        run(u"select set_config('lock_timeout', '"_s + serverstore::lockTimeout(ms) + u"', false)"_s);
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
    void run(const QString &sql)
    {
        QSqlQuery q(m_db);
        if (!q.exec(sql))
            throw serverstore::errorOf(q.lastError());
    }

    QString m_name;
    QSqlDatabase m_db;
};

} // namespace

std::unique_ptr<Backend> make()
{
    return std::make_unique<ServerBackend>();
}

} // namespace store::postgres
