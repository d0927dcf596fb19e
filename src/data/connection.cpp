#include "data/connection.h"

#include "data/connection_string.h"
#include "data/db_error.h"
#include "data/dialect.h"
#include "data/module1.h"
#include "data/schema.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSqlError>
#include <atomic>

using namespace Qt::Literals::StringLiterals;

namespace faults {
namespace {
int g_failAt = 0;
bool g_failCommit = false;
int g_statements = 0;
int g_commits = 0;
} // namespace
void reset()
{
    g_failAt = 0;
    g_failCommit = false;
    g_statements = 0;
    g_commits = 0;
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
    const ConnectionTarget target = parseConnectionString(connectionString);
    const QFileInfo file(target.dataSource);
    // QSQLITE would create a missing file; the program never creates its database.
    if (!target.valid || !file.exists() || !file.isFile())
        throw DbError(cannotOpen(target.dataSource));

    m_db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
    m_db.setDatabaseName(file.absoluteFilePath());
    m_db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=2000"_s);
    if (!m_db.open()) {
        close();
        throw DbError(cannotOpen(target.dataSource));
    }
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(u"select salt, hash from "_s + schema::AccessTable) || !q.next() ||
        passwordHash(q.value(0).toByteArray(), target.password) != q.value(1).toByteArray()) {
        q = QSqlQuery();
        close();
        throw DbError(cannotOpen(target.dataSource));
    }
}

void Connection::close()
{
    if (m_db.isValid()) {
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
    if (faults::g_failAt > 0 && faults::g_statements == faults::g_failAt)
        throw DbError(u"模拟的数据库故障（第 "_s + QString::number(faults::g_failAt) + u" 步）。"_s);
}

QSqlQuery Connection::run(const QString &sql, const QVariantList &params, bool forwardOnly)
{
    countStatement();
    QSqlQuery q(m_db);
    q.setForwardOnly(forwardOnly);
    if (!q.prepare(dialect::translate(engine(), sql)))
        throw DbError(q.lastError().text());
    for (const QVariant &p : params)
        q.addBindValue(p);
    if (!q.exec())
        throw DbError(q.lastError().text());
    return q;
}

int Connection::execute(const QString &sql, const QVariantList &params)
{
    QSqlQuery q = run(sql, params);
    return q.numRowsAffected();
}

void Connection::beginTransaction()
{
    if (!m_db.isOpen())
        throw DbError(u"数据库连接没有打开。"_s);
    // IMMEDIATE takes the write lock at once, so a busy file fails before anything is written.
    QSqlQuery q(m_db);
    if (!q.exec(u"BEGIN IMMEDIATE"_s))
        throw DbError(q.lastError().text());
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
        const QString text = q.lastError().text();
        rollback();
        throw DbError(text);
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

QString toStoreDialect(const QString &sql)
{
    return dialect::translate(dialect::Engine::Sqlite, sql);
}
