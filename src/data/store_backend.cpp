#include "data/store_backend.h"

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
    if (const int version = houseVersion(); version > schema::Version) {
        close();
        throw DbError::driver(
            StoreCause::NewerHouse,
            u"the house is version %1, this program knows up to %2"_s.arg(version).arg(schema::Version));
    }
}

int Backend::houseVersion()
{
    const bool file = engine() == dialect::Engine::Sqlite;
    try {
        const std::unique_ptr<Query> q =
            prepare(file ? u"PRAGMA user_version"_s : u"select max(version) from "_s + schema::VersionTable);
        q->bind({});
        return q->step() ? std::max(q->value(0).toInt(), 1) : 1;
    } catch (const DbError &) {
        // A server house made before versions were recorded; its upgrade adds the table.
        return 1;
    }
}

void Backend::addMissingIndexes(int busyWaitMs)
{
    auto run = [this](const QString &sql) {
        const std::unique_ptr<Query> q = prepare(sql);
        q->bind({});
        q->step();
    };
    auto hasTable = [&run](const QString &name) {
        try {
            run(u"select 1 from "_s + dialect::quoted(name) + u" where 1=0"_s);
            return true;
        } catch (const DbError &) {
            return false;
        }
    };
    const bool file = engine() == dialect::Engine::Sqlite;
    // What this program's version adds to a house made before it; the newest index tells the
    // rest. The file records its version in itself and needs no table for it.
    auto lacking = [&](bool &indexed, bool &searchable) {
        indexed = hasIndex(schema::indexes().last().name) && (file || hasTable(schema::VersionTable));
        searchable = hasIndex(schema::searchIndexName(engine()));
    };
    // A house made before an index was added gets them all once. Without waiting: a house another
    // desk is writing, or one this desk may not change, is served without them until a later open.
    bool indexed = false;
    bool searchable = false;
    try {
        lacking(indexed, searchable);
        if (indexed && searchable)
            return; // the record came with the indexes
        setBusyWait(0);
    } catch (const DbError &) {
        return;
    }
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
    m_keepsRecord = hasTable(schema::Record);
    try {
        lacking(indexed, searchable);
        // A file is its desk's own: what it lacks now (another desk was writing) comes next time.
        m_needsUpgrade = !file && (!m_keepsRecord || !indexed || !searchable);
        m_searchable = searchable;
    } catch (const DbError &) {
    }
    try {
        setBusyWait(busyWaitMs);
    } catch (const DbError &) {
    }
}

std::unique_ptr<Backend> open(const StoreTarget &target, int busyWaitMs)
{
    std::unique_ptr<Backend> backend;
    if (target.server) {
#if QUILLON_SERVER_STORE
        backend = postgres::make();
#else
        throw DbError::driver(StoreCause::NoServerDriver, u"this build has no server driver"_s);
#endif
    } else {
        if (target.file.isEmpty())
            throw DbError::driver(StoreCause::FileMissing, target.file);
        backend = sqlite::make();
    }
    if (const Wrapper &wrap = installedWrapper())
        backend = wrap(std::move(backend));
    backend->open(target, busyWaitMs);
    return backend;
}

void setWrapper(Wrapper wrap)
{
    installedWrapper() = std::move(wrap);
}

} // namespace store
