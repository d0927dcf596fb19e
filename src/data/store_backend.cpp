#include "data/store_backend.h"

#include "data/connection_string.h"
#include "data/db_error.h"
#include "data/dialect.h"
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

} // namespace

QByteArray passwordHash(const QByteArray &salt, const QString &password)
{
    return QCryptographicHash::hash(salt + password.toUtf8(), QCryptographicHash::Sha256);
}

void Backend::admit(const QString &source, const QString &password)
{
    const bool file = engine() == dialect::Engine::Sqlite;
    // What a house without our access record is: a damaged or foreign file, or a server (or a
    // schema) that holds no house. The server's text never names it: it may hold a password.
    const DbError notAHouse = file ? DbError::driver(StoreCause::Unreadable, source)
                                   : DbError::driver(StoreCause::NoHouse, QString());
    bool admitted = false;
    try {
        const std::unique_ptr<Query> q = prepare(u"select salt, hash from "_s + schema::AccessTable);
        q->bind({});
        admitted =
            q->step() && passwordHash(q->value(0).toByteArray(), password) == q->value(1).toByteArray();
    } catch (const DbError &e) {
        close();
        // Busy, a file that cannot be read before it is written, a lost server: each its own
        // cause. A missing table or a file that is no database is no house.
        switch (e.store()) {
        case StoreCause::Other:
        case StoreCause::NoHouse:
        case StoreCause::Unreadable:
            if (e.cause() == DbError::Cause::Busy)
                throw;
            throw notAHouse;
        default:
            throw;
        }
    }
    if (!admitted) {
        close();
        throw notAHouse;
    }
}

void Backend::addMissingIndexes(int busyWaitMs)
{
    // A house made before an index was added gets them all once; the newest tells. Without
    // waiting: a house another desk is writing, or one this desk may not change, is served
    // without them until a later open.
    bool indexed = false;
    bool searchable = false;
    try {
        indexed = hasIndex(schema::indexes().last().name);
        searchable = hasIndex(schema::searchIndexName(engine()));
        if (indexed && searchable)
            return; // the record came with the indexes
        setBusyWait(0);
    } catch (const DbError &) {
        return;
    }
    auto run = [this](const QString &sql) {
        const std::unique_ptr<Query> q = prepare(sql);
        q->bind({});
        q->step();
    };
    for (const QString &sql : indexed ? QStringList() : schema::upgradeStatements(engine())) {
        try {
            run(sql);
        } catch (const DbError &) {
        }
    }
    // The search index is made and filled in one transaction: half of it would miss stays.
    if (!searchable) {
        try {
            begin();
            for (const QString &sql : schema::searchIndexStatements(engine()))
                run(sql);
            commit();
        } catch (const DbError &) {
            rollback();
        }
    }
    try {
        const std::unique_ptr<Query> q =
            prepare(u"select 1 from "_s + dialect::quoted(schema::Record) + u" where 1=0"_s);
        q->bind({});
        q->step();
    } catch (const DbError &) {
        m_keepsRecord = false;
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
#if QUILLON_SERVER_STORE
        backend = postgres::make();
#else
        throw DbError::driver(StoreCause::NoServerDriver, u"this build has no server driver"_s);
#endif
        source = server.server;
        password = server.password;
    } else {
        const ConnectionTarget target = parseConnectionString(connectionString);
        if (!target.valid)
            throw DbError::driver(StoreCause::FileMissing, target.dataSource);
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
