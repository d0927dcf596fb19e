#include "data/connection.h"

#include "data/db_error.h"
#include "data/house_location.h"
#include "data/statement.h"
#include "data/store_backend.h"

using namespace Qt::Literals::StringLiterals;

namespace {

DbError notOpen()
{
    return DbError(u"数据库连接没有打开。"_s);
}

} // namespace

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

void Connection::open(const HouseLocation &house)
{
    open(house.storeTarget());
}

void Connection::open(const StoreTarget &target)
{
    open(target, store::BusyWaitMs);
}

void Connection::open(const StoreTarget &target, int busyWaitMs)
{
    close();
    m_backend = store::open(target, busyWaitMs);
    m_engine = m_backend->engine();
}

bool Connection::isOpen() const
{
    return m_backend && m_backend->isOpen();
}

bool Connection::keepsRecord() const
{
    return m_backend && m_backend->keepsRecord();
}

bool Connection::needsUpgrade() const
{
    return m_backend && m_backend->needsUpgrade();
}

bool Connection::searchable() const
{
    return m_backend && m_backend->searchable();
}

QSqlDatabase &Connection::database()
{
    return m_backend ? m_backend->database() : m_noDatabase;
}

void Connection::close()
{
    if (!m_backend)
        return;
    for (Statement *s : m_statements)
        s->release();
    m_statements.clear();
    if (m_inTransaction)
        m_backend->rollback();
    m_inTransaction = false;
    m_backend->close();
    m_backend.reset();
}

std::unique_ptr<store::Query> Connection::prepare(const QString &sql)
{
    if (!isOpen())
        throw notOpen();
    return m_backend->prepare(sql);
}

int Connection::execute(const QString &sql, const QVariantList &params)
{
    return Statement(*this, sql, params).rowsAffected();
}

void Connection::beginTransaction()
{
    if (!isOpen())
        throw notOpen();
    m_backend->begin();
    m_inTransaction = true;
}

void Connection::commit()
{
    if (!isOpen())
        throw notOpen();
    try {
        m_backend->commit();
    } catch (const DbError &) {
        rollback();
        throw;
    }
    m_inTransaction = false;
}

void Connection::rollback()
{
    if (!m_inTransaction)
        return;
    m_backend->rollback();
    m_inTransaction = false;
}

void Connection::setBusyWait(int ms)
{
    if (!isOpen())
        throw notOpen();
    m_backend->setBusyWait(ms);
}

void Connection::readFileBytes(const std::function<bool(const char *, qint64)> &sink)
{
    if (!isOpen())
        throw DbError(u"无法读取数据库文件。"_s);
    m_backend->readFileBytes(sink);
}

QString Connection::checkFile(const QString &path)
{
    return store::sqlite::checkFile(path);
}

DbError Connection::storeError(int nativeCode, const QString &text)
{
    return store::sqlite::errorOf(nativeCode, text);
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
