#include "data/store_backend.h"

#include "data/connection_string.h"
#include "data/db_error.h"
#include "data/schema.h"
#include "data/server_store.h"

#include <QCryptographicHash>

using namespace Qt::Literals::StringLiterals;

namespace store {

namespace {

Wrapper &installedWrapper()
{
    static Wrapper wrap;
    return wrap;
}

QByteArray passwordHash(const QByteArray &salt, const QString &password)
{
    return QCryptographicHash::hash(salt + password.toUtf8(), QCryptographicHash::Sha256);
}

} // namespace

QString cannotOpen(const QString &source)
{
    // Missing file, damaged file and wrong password read the same.
    return u"无法打开数据库文件“"_s + source + u"”：文件不存在、已损坏或数据库密码不正确。"_s;
}

void Backend::admit(const QString &source, const QString &password)
{
    bool admitted = false;
    try {
        const std::unique_ptr<Query> q = prepare(u"select salt, hash from "_s + schema::AccessTable);
        q->bind({});
        admitted =
            q->step() && passwordHash(q->value(0).toByteArray(), password) == q->value(1).toByteArray();
    } catch (const DbError &e) {
        // A house another desk is writing is busy, not unreadable.
        if (e.cause() == DbError::Cause::Busy) {
            close();
            throw;
        }
    }
    if (!admitted) {
        close();
        throw DbError(cannotOpen(source));
    }
}

void Backend::addMissingIndexes(int busyWaitMs)
{
    // A house made before an index was added gets them all once; the newest tells. Without
    // waiting: a house another desk is writing, or one this desk may not change, is served
    // without them until a later open.
    try {
        if (hasIndex(schema::indexes().last().name))
            return;
        setBusyWait(0);
    } catch (const DbError &) {
        return;
    }
    for (const QString &sql : schema::indexStatements()) {
        try {
            const std::unique_ptr<Query> q = prepare(sql);
            q->bind({});
            q->step();
        } catch (const DbError &) {
        }
    }
    try {
        setBusyWait(busyWaitMs);
    } catch (const DbError &) {
    }
}

std::unique_ptr<Backend> open(const QString &connectionString, int busyWaitMs)
{
    std::unique_ptr<Backend> backend;
    QString source;
    QString password;
    if (const auto server = serverstore::parseConnectionString(connectionString); server.valid) {
        backend = postgres::make();
        source = server.server;
        password = server.password;
    } else {
        const ConnectionTarget target = parseConnectionString(connectionString);
        if (!target.valid)
            throw DbError(cannotOpen(target.dataSource));
        backend = sqlite::make();
        source = target.dataSource;
        password = target.password;
    }
    if (const Wrapper &wrap = installedWrapper())
        backend = wrap(std::move(backend));
    backend->open(source, password, busyWaitMs);
    return backend;
}

void setWrapper(Wrapper wrap)
{
    installedWrapper() = std::move(wrap);
}

} // namespace store
