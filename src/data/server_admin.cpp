#include "data/server_admin.h"

#include "data/db_error.h"
#include "data/dialect.h"
#include "data/schema.h"
#include "data/server_store.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <functional>
#if QUILLON_SERVER_STORE
#include <libpq-fe.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace serveradmin {

namespace {

using Kind = Answer::Kind;

// Opens the server as the desks do (the same options and session limits), runs `work` and
// closes it again.
void withServer(const serverstore::Server &server, const std::function<void(QSqlDatabase &)> &work)
{
    const QString name = u"quillon-admin-"_s + QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
        struct Closer {
            QSqlDatabase &db;
            ~Closer() { db.close(); }
        } closer{db};
        serverstore::open(db, server);
        work(db);
    }
    QSqlDatabase::removeDatabase(name);
}

QSqlQuery run(QSqlDatabase &db, const QString &sql, const QVariantList &params = {})
{
    QSqlQuery q(db);
    // Transaction control and grants cannot be prepared.
    const bool done = params.isEmpty() ? q.exec(sql) : [&] {
        if (!q.prepare(sql))
            return false;
        for (const QVariant &p : params)
            q.addBindValue(p);
        return q.exec();
    }();
    if (!done)
        throw serverstore::errorOf(q.lastError());
    return q;
}

QVariant scalar(QSqlDatabase &db, const QString &sql, const QVariantList &params = {})
{
    QSqlQuery q = run(db, sql, params);
    return q.next() ? q.value(0) : QVariant();
}

QString quotedName(const QString &name)
{
    return u"\""_s + QString(name).replace(u"\""_s, u"\"\""_s) + u"\""_s;
}

QStringList houseTables()
{
    QStringList names;
    for (const schema::Table &t : schema::tables())
        names.append(t.name);
    return names;
}

// The house's tables and its access record.
QStringList everyTable()
{
    return houseTables() << schema::AccessTable;
}

bool exists(QSqlDatabase &db, const QString &table)
{
    return !scalar(db, u"select to_regclass(?) is null"_s, {quotedName(table)}).toBool();
}

// The tables a desk holds rights on: the house's, and its version where it has one yet.
QStringList grantedTables(QSqlDatabase &db)
{
    QStringList tables = everyTable();
    if (exists(db, schema::VersionTable))
        tables.append(schema::VersionTable);
    return tables;
}

QStringList expectedIndexes()
{
    QStringList names;
    for (const schema::Index &i : schema::indexes())
        names.append(i.name);
    names.append(schema::UnreadableTimeIndex);
    names.append(schema::searchIndexName(dialect::Engine::Postgres));
    return names;
}

QStringList missingIndexes(QSqlDatabase &db)
{
    QStringList present;
    QSqlQuery q = run(db, u"select indexname from pg_indexes where schemaname = current_schema()"_s);
    while (q.next())
        present.append(q.value(0).toString());
    QStringList missing;
    for (const QString &name : expectedIndexes())
        if (!present.contains(name))
            missing.append(name);
    return missing;
}

// The sequences that give the house's tables their keys.
QStringList keySequences(QSqlDatabase &db)
{
    QStringList sequences;
    for (const schema::Table &t : schema::tables()) {
        for (const schema::Column &c : t.columns) {
            if (c.type != schema::ColumnType::Key)
                continue;
            const QVariant s =
                scalar(db, u"select pg_get_serial_sequence(?, ?)"_s, {quotedName(t.name), c.name});
            if (!s.isNull())
                sequences.append(s.toString());
        }
    }
    return sequences;
}

// What a desk does to each table: reads and writes the house, reads its access record, adds to
// the record of who did what.
QStringList deskRights(const QString &table)
{
    if (table == schema::AccessTable || table == schema::VersionTable)
        return {u"select"_s};
    if (table == schema::Record)
        return {u"select"_s, u"insert"_s};
    return {u"select"_s, u"insert"_s, u"update"_s, u"delete"_s};
}

bool ownsHouse(QSqlDatabase &db)
{
    return scalar(db,
                  u"select bool_and(pg_has_role(c.relowner, 'MEMBER')) from pg_class c "
                  u"where c.oid = any(array(select to_regclass(t) from unnest(?::text[]) t))"_s,
                  {u"{"_s + everyTable().join(u',') + u"}"_s})
        .toBool();
}

#if QUILLON_SERVER_STORE
QString hostText(PGconn *conn)
{
    const char *host = conn ? PQhost(conn) : nullptr;
    return host ? QString::fromUtf8(host) : QString();
}

QString sslMode(PGconn *conn)
{
    QString mode = u"prefer"_s;
    if (PQconninfoOption *options = conn ? PQconninfo(conn) : nullptr) {
        for (PQconninfoOption *o = options; o->keyword; ++o)
            if (qstrcmp(o->keyword, "sslmode") == 0 && o->val)
                mode = QString::fromUtf8(o->val);
        PQconninfoFree(options);
    }
    return mode;
}

#endif

Answer reached(QSqlDatabase &db)
{
    QSqlQuery q = run(db, u"select current_setting('server_version'), current_database(), current_user, "
                          u"current_schema()"_s);
    q.next();
    return {Kind::Ok,
            u"server reached: PostgreSQL %1, database %2, schema %3, account %4"_s.arg(
                q.value(0).toString(), q.value(1).toString(), q.value(3).toString(), q.value(2).toString())};
}

Answer tls(QSqlDatabase &db)
{
#if !QUILLON_SERVER_STORE
    Q_UNUSED(db);
    return {Kind::Warning, u"TLS not known: this build has no server store"_s};
#else
    auto *conn = static_cast<PGconn *>(serverstore::connectionHandle(db));
    const QString host = hostText(conn);
    const QString mode = sslMode(conn);
    if (conn && PQsslInUse(conn)) {
        const QString protocol = QString::fromUtf8(PQsslAttribute(conn, "protocol"));
        if (mode == u"verify-full"_s)
            return {
                Kind::Ok,
                u"TLS in use (%1), the server's certificate and name verified (sslmode=verify-full)"_s.arg(
                    protocol)};
        return {Kind::Warning,
                u"TLS in use (%1) but the server is not verified (sslmode=%2): "
                u"use sslmode=verify-full with sslrootcert naming the server's CA"_s.arg(protocol, mode)};
    }
    if (host.isEmpty() || host.startsWith(u'/'))
        return {Kind::Ok, u"TLS not used: the local socket %1 does not leave this machine"_s.arg(host)};
    if (host == u"localhost"_s || host == u"127.0.0.1"_s || host == u"::1"_s)
        return {Kind::Ok, u"TLS not used: %1 does not leave this machine"_s.arg(host)};
    return {Kind::Warning,
            u"TLS not in use to %1 (sslmode=%2): guests' particulars cross the network in "
            u"clear; use sslmode=verify-full with sslrootcert naming the server's CA"_s.arg(host, mode)};
#endif
}

Answer account(QSqlDatabase &db)
{
    const QString user = scalar(db, u"select current_user"_s).toString();
    // Without the use of the house's schema its tables are not even seen.
    if (scalar(db, u"select current_schema()"_s).isNull())
        return {Kind::Failed,
                u"account %1 may not use the schema %2: the house's owner grants a desk role with "
                u"quillon-createdb --server … --desk-role %1"_s.arg(
                    user, scalar(db, u"select current_setting('search_path')"_s).toString())};
    if (!serverstore::holdsHouse(db))
        return {Kind::Ok, u"account %1: no house here yet to hold rights on"_s.arg(user)};
    if (ownsHouse(db))
        return {Kind::Warning,
                u"account %1 owns the house: it may drop or alter its tables; let the desks log in with a "
                u"role made for them (quillon-createdb --server … --desk-role NAME)"_s.arg(user)};
    QStringList lacking;
    bool truncates = false;
    bool rewrites = false;
    for (const QString &table : grantedTables(db)) {
        const QStringList needed = deskRights(table);
        for (const QString &right : needed)
            if (!scalar(db, u"select has_table_privilege(to_regclass(?), ?)"_s, {quotedName(table), right})
                     .toBool())
                lacking.append(right + u" on "_s + table);
        // The record of who did what only grows.
        if (table == schema::Record)
            for (const QString &right : {u"update"_s, u"delete"_s})
                rewrites = rewrites || scalar(db, u"select has_table_privilege(to_regclass(?), ?)"_s,
                                              {quotedName(table), right})
                                           .toBool();
        truncates = truncates || scalar(db, u"select has_table_privilege(to_regclass(?), 'truncate')"_s,
                                        {quotedName(table)})
                                     .toBool();
    }
    for (const QString &sequence : keySequences(db))
        if (!scalar(db, u"select has_sequence_privilege(?, 'usage')"_s, {sequence}).toBool())
            lacking.append(u"usage of "_s + sequence);
    if (!lacking.isEmpty())
        return {Kind::Failed,
                u"account %1 may not %2: the house's owner grants a desk role with "
                u"quillon-createdb --server … --desk-role %1"_s.arg(user, lacking.join(u", "_s))};
    if (rewrites)
        return {Kind::Warning,
                u"account %1 is a desk role but may also rewrite the record of who did what"_s.arg(user)};
    if (truncates)
        return {Kind::Warning,
                u"account %1 is a desk role but may also truncate the house's tables"_s.arg(user)};
    return {Kind::Ok, u"account %1 is a desk role: reads and writes the house, may not drop, alter or "
                      u"truncate its tables"_s.arg(user)};
}

Answer house(QSqlDatabase &db)
{
    QStringList missing;
    for (const QString &table : everyTable())
        if (!exists(db, table))
            missing.append(table);
    if (missing.size() == everyTable().size())
        return {Kind::Failed,
                u"no house in this schema: the owner creates it with quillon-createdb --server …"_s};
    if (!missing.isEmpty())
        return {Kind::Failed, u"the house lacks the tables %1"_s.arg(missing.join(u", "_s))};
    if (scalar(db, u"select count(*) from "_s + schema::AccessTable).toLongLong() != 1)
        return {Kind::Failed, u"the house's access record is missing"_s};
    if (!exists(db, schema::VersionTable))
        return {Kind::Failed, u"the house was made before versions were recorded: the house's owner runs "
                              u"quillon-createdb --server … --upgrade"_s};
    const int version = scalar(db, u"select max(version) from "_s + schema::VersionTable).toInt();
    if (version > schema::Version)
        return {Kind::Failed, u"the house is version %1, newer than this program (version %2): install the "
                              u"newer Quillon on the desks"_s.arg(version)
                                  .arg(schema::Version)};
    return {Kind::Ok,
            u"house present, version %4: %1 rooms, %2 guests in, %3 completed stays"_s.arg(
                scalar(db, u"select count(*) from "_s + quotedName(schema::Rooms)).toString(),
                scalar(db, u"select count(*) from "_s + quotedName(schema::Stays)).toString(),
                scalar(db, u"select count(*) from "_s + quotedName(schema::CompletedStays)).toString(),
                QString::number(version))};
}

Answer indexes(QSqlDatabase &db)
{
    const QStringList missing = missingIndexes(db);
    if (!missing.isEmpty())
        return {Kind::Failed,
                u"indexes missing: %1: the house's owner runs quillon-createdb --server … --upgrade"_s.arg(
                    missing.join(u", "_s))};
    return {Kind::Ok, u"indexes complete (%1)"_s.arg(expectedIndexes().size())};
}

Answer limits(QSqlDatabase &db)
{
    QSqlQuery q =
        run(db, u"select current_setting('lock_timeout'), current_setting('statement_timeout'), "
                u"current_setting('idle_in_transaction_session_timeout'), "
                u"current_setting('tcp_keepalives_idle'), current_setting('tcp_keepalives_interval'), "
                u"current_setting('tcp_keepalives_count')"_s);
    q.next();
    // A local socket has no keepalives: the server sees a vanished desk at once.
    const QString keepalives = q.value(3).toString() == u"0"_s
                                   ? u"none on a local socket"_s
                                   : u"after %1, every %2, %3 tries"_s.arg(
                                         q.value(3).toString(), q.value(4).toString(), q.value(5).toString());
    return {Kind::Ok,
            u"session limits: lock wait %1, statements %2, idle transaction %3, keepalives %4"_s.arg(
                q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), keepalives)};
}

QString failureText(const DbError &e)
{
    switch (e.store()) {
    case StoreCause::Unreachable:
        return u"server not reached: "_s + e.text();
    case StoreCause::AccountRefused:
        return u"the server refused the account: "_s + e.text();
    case StoreCause::SslRefused:
        return u"TLS required by one side and not offered by the other: "_s + e.text();
    case StoreCause::CertificateRefused:
        return u"the server's certificate not verified: "_s + e.text();
    case StoreCause::NoHouse:
        return u"no such database: "_s + e.text();
    case StoreCause::Permission:
        return u"not allowed: "_s + e.text();
    default:
        return e.text();
    }
}

} // namespace

QList<Answer> check(const serverstore::Server &server)
{
    QList<Answer> answers;
    try {
        withServer(server, [&answers](QSqlDatabase &db) {
            for (const auto &step : {reached, tls, account, house, indexes, limits}) {
                answers.append(step(db));
                if (answers.last().kind == Kind::Failed)
                    return;
            }
        });
    } catch (const DbError &e) {
        answers.append({Kind::Failed, failureText(e)});
    }
    return answers;
}

bool holdsHouse(const serverstore::Server &server)
{
    bool holds = false;
    try {
        withServer(server, [&holds](QSqlDatabase &db) { holds = serverstore::holdsHouse(db); });
    } catch (const DbError &) {
    }
    return holds;
}

QString grantDeskRole(const serverstore::Server &server, const QString &role)
{
    try {
        withServer(server, [&role](QSqlDatabase &db) {
            if (scalar(db, u"select count(*) from pg_roles where rolname = ?"_s, {role}).toInt() != 1)
                throw DbError(u"no role %1 on the server: create it first (createuser %1)"_s.arg(role));
            if (!serverstore::holdsHouse(db) || !ownsHouse(db))
                throw DbError(u"only the house's owner grants a desk role"_s);
            const QString who = quotedName(role);
            const QString sequences = keySequences(db).join(u", "_s);
            run(db, u"begin"_s);
            run(db, u"grant usage on schema "_s +
                        quotedName(scalar(db, u"select current_schema()"_s).toString()) + u" to "_s + who);
            for (const QString &table : grantedTables(db)) {
                run(db, u"revoke all on "_s + quotedName(table) + u" from "_s + who);
                run(db, u"grant "_s + deskRights(table).join(u", "_s) + u" on "_s + quotedName(table) +
                            u" to "_s + who);
            }
            if (!sequences.isEmpty()) {
                run(db, u"revoke all on sequence "_s + sequences + u" from "_s + who);
                // Moving a house in sets the sequences past its keys.
                run(db, u"grant usage, select, update on sequence "_s + sequences + u" to "_s + who);
            }
            run(db, u"commit"_s);
        });
    } catch (const DbError &e) {
        return failureText(e);
    }
    return {};
}

QString upgrade(const serverstore::Server &server)
{
    try {
        withServer(server, [](QSqlDatabase &db) {
            if (!serverstore::holdsHouse(db))
                throw DbError(u"no house in this schema to upgrade"_s);
            if (!ownsHouse(db))
                throw DbError(u"only the house's owner upgrades it"_s);
            run(db, u"begin"_s);
            for (const QString &sql : schema::upgradeStatements(dialect::Engine::Postgres))
                run(db, sql);
            for (const QString &sql : schema::searchIndexStatements(dialect::Engine::Postgres))
                run(db, sql);
            // The desk roles read the house's version from now on.
            QSqlQuery roles = run(db,
                                  u"select distinct grantee from information_schema.role_table_grants "
                                  u"where table_schema = current_schema() and table_name = ? and "
                                  u"privilege_type = 'SELECT' and grantee <> current_user"_s,
                                  {schema::AccessTable});
            QStringList grantees;
            while (roles.next())
                grantees.append(quotedName(roles.value(0).toString()));
            if (!grantees.isEmpty())
                run(db, u"grant select on "_s + schema::VersionTable + u" to "_s + grantees.join(u", "_s));
            run(db, u"commit"_s);
        });
    } catch (const DbError &e) {
        return failureText(e);
    }
    return {};
}

} // namespace serveradmin
