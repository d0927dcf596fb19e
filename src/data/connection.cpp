#include "data/connection.h"

#include "data/connection_string.h"
#include "data/db_error.h"
#include "data/dialect.h"
#include "data/module1.h"
#include "data/schema.h"
#include "data/server_store.h"
#include "data/statement.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSqlError>
#include <atomic>
#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace faults {
namespace {
int g_failAt = 0;
bool g_failCommit = false;
int g_statements = 0;
int g_commits = 0;
int g_busyWaitMs = 0;
std::function<void(int)> g_beforeStep;
} // namespace
void reset()
{
    g_failAt = 0;
    g_failCommit = false;
    g_statements = 0;
    g_commits = 0;
    g_beforeStep = {};
}
void failStatement(int n)
{
    g_failAt = n;
}
void failCommit(bool on)
{
    g_failCommit = on;
}
int statementsRun()
{
    return g_statements;
}
int commitsRun()
{
    return g_commits;
}
void setBusyWait(int ms)
{
    g_busyWaitMs = ms;
}
void beforeEachStep(std::function<void(int)> hook)
{
    g_beforeStep = std::move(hook);
}
} // namespace faults

namespace {

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return u"quillon-"_s + QString::number(++counter);
}

QString cannotOpen(const QString &path)
{
    // Missing file, damaged file and wrong password read the same.
    return u"无法打开数据库文件“"_s + path + u"”：文件不存在、已损坏或数据库密码不正确。"_s;
}

// How long a desk waits for another desk's write before giving up.
constexpr int BusyWaitMs = 5000;

int busyWaitMs()
{
    return faults::g_busyWaitMs > 0 ? faults::g_busyWaitMs : BusyWaitMs;
}

// SQLITE_BUSY and SQLITE_LOCKED, with or without their extended bits.
bool isBusyCode(int code)
{
    return (code & 0xff) == 5 || (code & 0xff) == 6;
}

DbError errorOf(dialect::Engine engine, const QSqlError &error)
{
    if (engine == dialect::Engine::Postgres)
        return serverstore::errorOf(error);
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return Connection::storeError(ok ? code : 0, error.text());
}

QByteArray passwordHash(const QByteArray &salt, const QString &password)
{
    return QCryptographicHash::hash(salt + password.toUtf8(), QCryptographicHash::Sha256);
}

} // namespace

Connection::Connection() : m_name(nextConnectionName()) {}

Connection::~Connection()
{
    close();
}

void Connection::open()
{
    open(Module1::connectionString());
}

void Connection::open(const QString &connectionString)
{
    close();
    QString password;
    QString source;
    if (const auto server = serverstore::parseConnectionString(connectionString); server.valid) {
        m_db = QSqlDatabase::addDatabase(u"QPSQL"_s, m_name);
        m_engine = dialect::Engine::Postgres;
        try {
            serverstore::open(m_db, server.server);
        } catch (const DbError &) {
            close();
            throw;
        }
        password = server.password;
        source = server.server;
    } else {
        const ConnectionTarget target = parseConnectionString(connectionString);
        const QFileInfo file(target.dataSource);
        // QSQLITE would create a missing file; the program never creates its database.
        if (!target.valid || !file.exists() || !file.isFile())
            throw DbError(cannotOpen(target.dataSource));

        m_db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        m_engine = dialect::Engine::Sqlite;
        m_db.setDatabaseName(file.absoluteFilePath());
        m_db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT="_s + QString::number(busyWaitMs()));
        if (!m_db.open()) {
            close();
            throw DbError(cannotOpen(target.dataSource));
        }
        password = target.password;
        source = target.dataSource;
    }
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    const bool read = q.exec(u"select salt, hash from "_s + schema::AccessTable);
    if (!read && errorOf(m_engine, q.lastError()).cause() == DbError::Cause::Busy) {
        const DbError busy = errorOf(m_engine, q.lastError());
        q = QSqlQuery();
        close();
        throw busy;
    }
    if (!read || !q.next() || passwordHash(q.value(0).toByteArray(), password) != q.value(1).toByteArray()) {
        q = QSqlQuery();
        close();
        throw DbError(cannotOpen(source));
    }
    q = QSqlQuery();
    addMissingIndexes();
    if (faults::g_beforeStep)
        faults::g_beforeStep(0);
}

void Connection::addMissingIndexes()
{
    // A house made before an index was added gets them all once; the newest tells. Without
    // waiting: a house another desk is writing, or one this desk may not change, is served
    // without them until a later open.
    const bool server = m_engine == dialect::Engine::Postgres;
    const QString newest = schema::indexes().last().name;
    QSqlQuery q(m_db);
    if (!q.exec(server ? u"select 1 from pg_indexes where schemaname=current_schema() and indexname='"_s +
                             newest + u"'"_s
                       : u"select 1 from sqlite_master where type='index' and name='"_s + newest + u"'"_s) ||
        q.next())
        return;
    const auto waitFor = [&q, server](int ms) {
        // A server's lock timeout of 0 would wait for ever.
        q.exec(server ? u"select set_config('lock_timeout', '"_s + QString::number(std::max(ms, 1)) +
                            u"ms', false)"_s
                      : u"PRAGMA busy_timeout="_s + QString::number(ms));
    };
    waitFor(0);
    for (const QString &sql : schema::indexStatements())
        q.exec(sql);
    waitFor(busyWaitMs());
}

void Connection::close()
{
    if (m_db.isValid()) {
        for (Statement *s : m_statements)
            s->release();
        m_statements.clear();
        if (m_inTransaction)
            m_db.rollback();
        m_inTransaction = false;
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
}

void Connection::countStatement()
{
    if (!m_db.isOpen())
        throw DbError(u"数据库连接没有打开。"_s);
    ++faults::g_statements;
    if (faults::g_beforeStep)
        faults::g_beforeStep(faults::g_statements);
    if (faults::g_failAt > 0 && faults::g_statements == faults::g_failAt)
        throw DbError(u"模拟的数据库故障（第 "_s + QString::number(faults::g_failAt) + u" 步）。"_s);
}

QSqlQuery Connection::run(const QString &sql, const QVariantList &params, bool forwardOnly)
{
    countStatement();
    QSqlQuery q(m_db);
    q.setForwardOnly(forwardOnly);
    if (!q.prepare(dialect::translate(engine(), sql)))
        throw errorOf(m_engine, q.lastError());
    for (const QVariant &p : params)
        q.addBindValue(p);
    if (!q.exec())
        throw errorOf(m_engine, q.lastError());
    return q;
}

int Connection::execute(const QString &sql, const QVariantList &params)
{
    return Statement(*this, sql, params).rowsAffected();
}

void Connection::beginTransaction()
{
    if (!m_db.isOpen())
        throw DbError(u"数据库连接没有打开。"_s);
    // IMMEDIATE takes the write lock at once, so a busy file fails before anything is written.
    // The server locks row by row; repeatable read makes a row another desk changed after this
    // transaction read it fail to write (reported as busy) instead of being overwritten.
    QSqlQuery q(m_db);
    if (!q.exec(m_engine == dialect::Engine::Postgres ? u"BEGIN ISOLATION LEVEL REPEATABLE READ"_s
                                                      : u"BEGIN IMMEDIATE"_s))
        throw errorOf(m_engine, q.lastError());
    m_inTransaction = true;
}

void Connection::commit()
{
    ++faults::g_commits;
    if (faults::g_failCommit) {
        rollback();
        throw DbError(u"模拟的提交故障。"_s);
    }
    QSqlQuery q(m_db);
    if (!q.exec(u"COMMIT"_s)) {
        const DbError error = errorOf(m_engine, q.lastError());
        rollback();
        throw error;
    }
    m_inTransaction = false;
}

void Connection::rollback()
{
    if (!m_inTransaction)
        return;
    QSqlQuery q(m_db);
    q.exec(u"ROLLBACK"_s);
    m_inTransaction = false;
}

void Connection::readFileBytes(const std::function<bool(const char *, qint64)> &sink)
{
    if (!m_db.isOpen() || m_engine != dialect::Engine::Sqlite)
        throw DbError(u"无法读取数据库文件。"_s);
    readStoreFile(m_db, sink);
}

QString Connection::checkFile(const QString &path)
{
    const QString name = nextConnectionName();
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(path);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        if (!db.open()) {
            problem = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (!q.exec(u"PRAGMA integrity_check"_s) || !q.next())
                problem = q.lastError().text();
            else if (const QString first = q.value(0).toString(); first != u"ok"_s)
                problem = first;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return problem.isEmpty() && !QFileInfo(path).isFile() ? u"文件不存在。"_s : problem;
}

DbError Connection::storeError(int nativeCode, const QString &text)
{
    // The store's own words ("database is locked") mean nothing at a front desk.
    if (isBusyCode(nativeCode))
        return busyError();
    StoreCause cause = StoreCause::Other;
    switch (nativeCode & 0xff) {
    case 13: // SQLITE_FULL
        cause = StoreCause::DiskFull;
        break;
    case 8: // SQLITE_READONLY
        cause = StoreCause::ReadOnly;
        break;
    case 3:  // SQLITE_PERM
    case 23: // SQLITE_AUTH
        cause = StoreCause::Permission;
        break;
    case 11: // SQLITE_CORRUPT
    case 14: // SQLITE_CANTOPEN
    case 26: // SQLITE_NOTADB
        cause = StoreCause::Unreadable;
        break;
    default:
        break;
    }
    return DbError::driver(cause, text);
}

DbError Connection::busyError()
{
    return DbError(u"数据正在另一台前台上使用，请稍等片刻再试一次。"_s, DbError::Cause::Busy);
}

Transaction::Transaction(Connection &c) : m_connection(c)
{
    m_connection.beginTransaction();
}

Transaction::~Transaction()
{
    if (!m_done)
        m_connection.rollback();
}

void Transaction::commit()
{
    m_done = true;
    m_connection.commit();
}
