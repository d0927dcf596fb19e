#include "data/server_store.h"

#include "data/connection.h"

#include "data/db_error.h"
#include "data/dialect.h"
#include "data/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#if QUILLON_SERVER_STORE
#include <libpq-fe.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace serverstore {

namespace {

QString libpqQuoted(const QString &value)
{
    QString v = value;
    v.replace(u'\\', u"\\\\"_s);
    v.replace(u'\'', u"\\'"_s);
    return u"'"_s + v + u"'"_s;
}

// A desk or a server that vanished (cable, power) is noticed within a minute from either end.
constexpr int KeepaliveIdleSeconds = 20;
constexpr int KeepaliveIntervalSeconds = 5;
constexpr int KeepaliveCount = 4;

// The line of the settings at `path` that names the server (1 is the first), or 0.
int settingsLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    QString section;
    for (int line = 1; !file.atEnd(); ++line) {
        const QString text = QString::fromUtf8(file.readLine()).trimmed();
        if (text.startsWith(u'[') && text.endsWith(u']'))
            section = text.mid(1, text.size() - 2).trimmed();
        else if (section.compare(u"server"_s, Qt::CaseInsensitive) == 0 &&
                 text.section(u'=', 0, 0).trimmed() == u"connection"_s && text.contains(u'='))
            return line;
    }
    return 0;
}

Limits limitsIn(const QSettings &settings)
{
    Limits limits;
    const auto seconds = [&settings](const QString &key, int fallback) {
        bool ok = false;
        const int v = settings.value(key).toInt(&ok);
        return ok && v > 0 ? v : fallback;
    };
    limits.idleTransactionSeconds =
        seconds(u"server/idle_transaction_seconds"_s, limits.idleTransactionSeconds);
    limits.statementSeconds = seconds(u"server/statement_seconds"_s, limits.statementSeconds);
    return limits;
}

} // namespace

std::optional<Server> configuredServer(const QString &settingsPath)
{
    if (!QFile::exists(settingsPath))
        return std::nullopt;
    const QSettings settings(settingsPath, QSettings::IniFormat);
    // An unquoted value with commas (a list of hosts) reads as a list.
    const QString conninfo = settings.value(u"server/connection"_s).toStringList().join(u',').trimmed();
    if (conninfo.isEmpty())
        return std::nullopt;
    return Server(conninfo, settingsLine(settingsPath), limitsIn(settings),
                  QFileInfo(settingsPath).absolutePath());
}

QString keywordForm(const QString &server, int settingsLine, const QString &settingsFolder)
{
    // The settings' line is named only when the text came from them; a tool's own argument has none.
    const auto refused = [settingsLine](StoreCause cause, const char *why) {
        const int line = settingsLine;
        const QString where =
            line > 0 ? u"quillon.ini line "_s + QString::number(line) : u"the connection string"_s;
        return DbError::settings(cause, line, where + u": "_s + QString::fromLatin1(why));
    };
    if (server.contains(u';'))
        throw refused(StoreCause::SettingsSemicolon, "a \";\" is not allowed");
#if !QUILLON_SERVER_STORE
    throw DbError::driver(StoreCause::NoServerDriver, u"this build has no server driver"_s);
#else
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(server.toUtf8().constData(), &error);
    if (!options) {
        // libpq's words quote the string, which may hold a password: they are not shown.
        PQfreemem(error);
        throw refused(StoreCause::SettingsUnreadable, "libpq cannot read it");
    }
    // A file the settings name by a relative path (the CA beside quillon.ini) lies in their folder,
    // not wherever the program was started from.
    const bool fromSettings = !settingsFolder.isEmpty();
    const QDir folder(settingsFolder);
    const QStringList files = {u"sslrootcert"_s, u"sslcert"_s,   u"sslkey"_s,
                               u"sslcrl"_s,      u"sslcrldir"_s, u"passfile"_s};
    QStringList parts;
    QStringList given;
    bool password = false;
    for (const PQconninfoOption *o = options; o->keyword; ++o) {
        if (!o->val)
            continue;
        const QString keyword = QString::fromUtf8(o->keyword);
        if (keyword == u"password"_s && *o->val)
            password = true;
        given.append(keyword);
        QString value = QString::fromUtf8(o->val);
        if (fromSettings && files.contains(keyword) && !value.isEmpty() && QDir::isRelativePath(value))
            value = folder.absoluteFilePath(value);
        parts.append(keyword + u'=' + libpqQuoted(value));
    }
    PQconninfoFree(options);
    if (password)
        throw refused(StoreCause::SettingsPassword, "a password belongs in ~/.pgpass, not here");
    // A server that vanished (cable, power) is noticed within a minute, and one that never
    // answers within ten seconds.
    const std::pair<QString, QString> defaults[] = {
        {u"keepalives"_s, u"1"_s},
        {u"keepalives_idle"_s, QString::number(KeepaliveIdleSeconds)},
        {u"keepalives_interval"_s, QString::number(KeepaliveIntervalSeconds)},
        {u"keepalives_count"_s, QString::number(KeepaliveCount)},
        {u"connect_timeout"_s, u"10"_s},
    };
    for (const auto &[keyword, value] : defaults) {
        if (!given.contains(keyword))
            parts.append(keyword + u'=' + libpqQuoted(value));
    }
    return parts.join(u' ');
#endif
}

void open(QSqlDatabase &db, const Server &server, int lockWaitMs)
{
    // The driver adds its own options to these; the whole string goes to libpq as it is.
    db.setConnectOptions(keywordForm(server.conninfo, server.settingsLine, server.settingsFolder));
    if (!db.open())
        throw openError(db.lastError());
    // The server's side of the keepalives, and a limit on unacknowledged data: a process blocked
    // sending rows to a desk whose machine is gone ends with its connection. tcp_user_timeout
    // only where the server knows it.
    const Limits &limits = server.limits;
    QSqlQuery q(db);
    if (!q.prepare(
            u"select set_config('lock_timeout', ?, false), set_config('statement_timeout', ?, false), "
            u"set_config('idle_in_transaction_session_timeout', ?, false), "
            u"set_config('tcp_keepalives_idle', ?, false), set_config('tcp_keepalives_interval', ?, false), "
            u"set_config('tcp_keepalives_count', ?, false), "
            u"(select set_config(name, '40000', false) from pg_settings where name = 'tcp_user_timeout'), "
            u"set_config('client_min_messages', 'warning', false)"_s))
        throw errorOf(q.lastError());
    q.addBindValue(lockTimeout(lockWaitMs));
    q.addBindValue(QString::number(limits.statementSeconds) + u"s"_s);
    q.addBindValue(QString::number(limits.idleTransactionSeconds) + u"s"_s);
    for (const int n : {KeepaliveIdleSeconds, KeepaliveIntervalSeconds, KeepaliveCount})
        q.addBindValue(QString::number(n));
    if (!q.exec())
        throw errorOf(q.lastError());
}

void *connectionHandle(QSqlDatabase &db)
{
    // "PGconn*", named by its struct in some builds.
    const QVariant handle = db.driver()->handle();
    const QByteArrayView type(handle.typeName());
    if ((type == "PGconn*" || type == "pg_conn*") && handle.data())
        return *static_cast<void *const *>(handle.data());
    return nullptr;
}

QString lockTimeout(int ms)
{
    // A lock timeout of 0 would wait for ever.
    return QString::number(std::max(ms, 1)) + u"ms"_s;
}

QStringList createStatements(bool indexes)
{
    QStringList sql;
    // Login names and room numbers compare without regard to case where the SQL asks for it
    // ("collate nocase"), as they do in the file.
    sql.append(u"create collation if not exists nocase "
               u"(provider = icu, locale = 'und-u-ks-level2', deterministic = false)"_s);
    // The file store's datetime(t, '+N days'); the windows' SQL uses it to test stored times.
    sql.append(u"create or replace function datetime(t timestamp, modifier text) returns timestamp "
               u"language sql immutable as 'select t + modifier::interval'"_s);
    return sql + schema::createStatements(dialect::Engine::Postgres, indexes);
}

bool holdsHouse(QSqlDatabase &db)
{
    QStringList names;
    for (const schema::Table &t : schema::tables())
        names.append(u"to_regclass('\""_s + t.name + u"\"') is not null"_s);
    names.append(u"to_regclass('"_s + schema::AccessTable + u"') is not null"_s);
    QSqlQuery q(db);
    if (!q.exec(u"select "_s + names.join(u" or "_s)) || !q.next())
        throw errorOf(q.lastError());
    return q.value(0).toBool();
}

bool isBusy(const QString &sqlState)
{
    // Lock timeout, serialization failure, deadlock: another desk holds the rows.
    return sqlState == u"55P03"_s || sqlState == u"40001"_s || sqlState == u"40P01"_s;
}

bool isBusy(const QSqlError &error)
{
    return isBusy(error.nativeErrorCode());
}

QString describe(const QSqlError &error)
{
    return isBusy(error) ? Connection::busyError().text() : error.databaseText();
}

DbError errorOf(const QString &code, const QString &text, bool connectionGone)
{
    if (code == u"40001"_s || code == u"40P01"_s)
        return DbError::conflict(Connection::busyError().text());
    if (isBusy(code))
        return Connection::busyError();
    StoreCause cause = StoreCause::Other;
    // 25P03: the server ended a session whose transaction was left idle past its limit.
    if (code.startsWith(u"08"_s) || code == u"57P01"_s || code == u"57P02"_s || code == u"57P03"_s ||
        code == u"25P03"_s)
        cause = StoreCause::ConnectionLost;
    else if (code.startsWith(u"28"_s))
        cause = StoreCause::AccountRefused;
    else if (code == u"42501"_s)
        cause = StoreCause::Permission;
    else if (code == u"57014"_s)
        cause = StoreCause::TimedOut;
    else if (code == u"53100"_s)
        cause = StoreCause::DiskFull;
    else if (code == u"25006"_s)
        cause = StoreCause::ReadOnly;
    else if (code == u"42P01"_s || code == u"3D000"_s || code == u"3F000"_s)
        cause = StoreCause::NoHouse;
    else if (connectionGone)
        cause = StoreCause::ConnectionLost;
    return DbError::driver(cause, text);
}

DbError errorOf(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return errorOf(code, error.databaseText(), code.isEmpty() && error.type() == QSqlError::ConnectionError);
}

StoreCause openCause(const QString &text)
{
    // libpq's and the server's words: encryption one side requires and the other does not offer;
    // a server not verified; a refused login; an unknown database; anything else is "not reached".
    // A libpq built without TLS cannot give what the settings ask for.
    if (text.contains(u"SSL was required"_s) || text.contains(u"does not support SSL"_s) ||
        text.contains(u"SSL support is not compiled in"_s) ||
        (text.contains(u"no pg_hba.conf entry"_s) &&
         (text.contains(u"no encryption"_s) || text.contains(u"SSL off"_s))))
        return StoreCause::SslRefused;
    if (text.contains(u"authentication failed"_s) || text.contains(u"password"_s) ||
        text.contains(u"no pg_hba.conf entry"_s) || text.contains(u"role \""_s))
        return StoreCause::AccountRefused;
    // libpq's words when it cannot verify the server: a certificate for another name, one no CA
    // given signed, or no CA given at all.
    if (text.contains(u"certificate"_s))
        return StoreCause::CertificateRefused;
    if (text.contains(u"database \""_s) && text.contains(u"does not exist"_s))
        return StoreCause::NoHouse;
    return StoreCause::Unreachable;
}

DbError openError(const QSqlError &error)
{
    const QString text = error.databaseText();
    return DbError::driver(openCause(text), text);
}

} // namespace serverstore
