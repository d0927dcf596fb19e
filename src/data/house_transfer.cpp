#include "data/house_transfer.h"

#include "data/conversions.h"
#include "data/db_error.h"
#include "data/dialect.h"
#include "data/schema.h"
#include "data/server_store.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#if QUILLON_SERVER_STORE
#include <libpq-fe.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace housetransfer {

namespace {

struct Table {
    QString name;
    QStringList columns;
    QString key; // empty for the access record
};

QList<Table> allTables()
{
    QList<Table> out;
    for (const schema::Table &t : schema::tables()) {
        Table table{t.name, {}, t.columns.first().name};
        for (const schema::Column &c : t.columns)
            table.columns.append(c.name);
        out.append(table);
    }
    out.append({schema::AccessTable, {u"salt"_s, u"hash"_s}, {}});
    return out;
}

QString quotedList(const QStringList &names)
{
    return u"\""_s + names.join(u"\", \""_s) + u"\""_s;
}

void exec(QSqlDatabase &db, const QString &sql, const QVariantList &params = {})
{
    QSqlQuery q(db);
    const bool ok = params.isEmpty() ? q.exec(sql) : [&] {
        if (!q.prepare(sql))
            return false;
        for (const QVariant &p : params)
            q.addBindValue(p);
        return q.exec();
    }();
    if (!ok)
        throw DbError(q.lastError().text() + u" ("_s + sql + u")"_s);
}

#if QUILLON_SERVER_STORE
PGconn *nativeServer(QSqlDatabase &db)
{
    if (void *handle = serverstore::connectionHandle(db))
        return static_cast<PGconn *>(handle);
    throw DbError(u"不是数据库服务器的连接。"_s);
}
#endif

// One value in COPY's text format.
void appendCopyValue(QByteArray &out, const QVariant &v)
{
    if (v.isNull()) {
        out += "\\N";
        return;
    }
    if (v.typeId() == QMetaType::QByteArray) {
        out += "\\\\x" + v.toByteArray().toHex();
        return;
    }
    QByteArray text =
        v.typeId() == QMetaType::Double ? QByteArray::number(v.toDouble(), 'g', 17) : v.toString().toUtf8();
    for (char c : std::as_const(text)) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

#if QUILLON_SERVER_STORE
// Streams every row of one file table into the server with COPY; returns the highest key.
qint64 copyTable(QSqlDatabase &file, PGconn *pg, const Table &t)
{
    QSqlQuery read(file);
    read.setForwardOnly(true);
    const QString select = u"select "_s + quotedList(t.columns) + u" from \""_s + t.name + u"\""_s;
    if (!read.exec(select))
        throw DbError(read.lastError().text() + u" ("_s + select + u")"_s);
    const QByteArray copy =
        (u"copy \""_s + t.name + u"\" ("_s + quotedList(t.columns) + u") from stdin"_s).toUtf8();
    PGresult *r = PQexec(pg, copy.constData());
    const bool started = PQresultStatus(r) == PGRES_COPY_IN;
    PQclear(r);
    if (!started)
        throw DbError(QString::fromUtf8(PQerrorMessage(pg)));
    qint64 maxKey = 0;
    QByteArray buffer;
    const int n = int(t.columns.size());
    auto flush = [&] {
        if (!buffer.isEmpty() && PQputCopyData(pg, buffer.constData(), int(buffer.size())) != 1)
            throw DbError(QString::fromUtf8(PQerrorMessage(pg)));
        buffer.clear();
    };
    while (read.next()) {
        for (int i = 0; i < n; ++i) {
            if (i)
                buffer += '\t';
            appendCopyValue(buffer, read.value(i));
        }
        buffer += '\n';
        if (!t.key.isEmpty())
            maxKey = std::max(maxKey, read.value(0).toLongLong());
        if (buffer.size() > (1 << 20))
            flush();
    }
    flush();
    if (PQputCopyEnd(pg, nullptr) != 1)
        throw DbError(QString::fromUtf8(PQerrorMessage(pg)));
    bool ok = true;
    while (PGresult *res = PQgetResult(pg)) {
        ok = ok && PQresultStatus(res) == PGRES_COMMAND_OK;
        PQclear(res);
    }
    if (!ok)
        throw DbError(u"表“"_s + t.name + u"”无法搬到服务器："_s + QString::fromUtf8(PQerrorMessage(pg)));
    return maxKey;
}
#endif

// Key counters of the file: the highest key ever handed out per table.
QHash<QString, qint64> fileCounters(QSqlDatabase &file)
{
    QHash<QString, qint64> out;
    QSqlQuery q(file);
    if (q.exec(u"select name, seq from sqlite_sequence"_s)) {
        while (q.next())
            out.insert(q.value(0).toString(), q.value(1).toLongLong());
    }
    return out;
}

QSqlDatabase openFile(const QString &name, const QString &path, bool readOnly)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
    db.setDatabaseName(path);
    if (readOnly)
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
    if (!db.open())
        throw DbError(u"无法打开数据库文件“"_s + path + u"”："_s + db.lastError().text());
    return db;
}

// Every table's rows of the file into the server's empty tables, in the server's current
// transaction; each key counter ends at least past the keys the file holds and handed out.
// Whether an open file has the table: an older house has no record of who did what.
bool fileHas(QSqlDatabase &file, const QString &table)
{
    QSqlQuery probe(file);
    return probe.exec(u"select 1 from \""_s + table + u"\" limit 0"_s);
}

// The file's rows into the server's empty tables; its record of who did what only when `record`
// and the file has one.
void copyRows(QSqlDatabase &file, QSqlDatabase &pg, bool record)
{
    const bool withRecord = record && fileHas(file, schema::Record);
    // Reading inside one file transaction: the file cannot change halfway through.
    exec(file, u"begin"_s);
    const QHash<QString, qint64> counters = fileCounters(file);
#if QUILLON_SERVER_STORE
    PGconn *native = nativeServer(pg);
    for (const Table &t : allTables()) {
        if (t.name == schema::Record && !withRecord)
            continue;
        const qint64 maxKey = copyTable(file, native, t);
        const qint64 next = std::max(maxKey, counters.value(t.name));
        if (!t.key.isEmpty() && next > 0)
            exec(pg, u"select setval(pg_get_serial_sequence(?, ?), ?)"_s,
                 {u"\""_s + t.name + u"\""_s, t.key, next});
    }
#else
    Q_UNUSED(counters);
    Q_UNUSED(pg);
    Q_UNUSED(withRecord);
#endif
    exec(file, u"rollback"_s);
}

} // namespace

QString fileToServer(const QString &filePath, const serverstore::Server &server)
{
    const QFileInfo info(filePath);
    if (!info.isFile())
        return u"找不到数据库文件“"_s + filePath + u"”。"_s;
    const QString fileName = u"quillon-move-"_s + QUuid::createUuid().toString();
    const QString serverName = fileName + u"-server"_s;
    QString error;
    {
        QSqlDatabase file;
        QSqlDatabase pg = QSqlDatabase::addDatabase(u"QPSQL"_s, serverName);
        try {
            file = openFile(fileName, info.absoluteFilePath(), true);
            for (const Table &t : allTables()) {
                if (t.name == schema::Record)
                    continue; // an older house has none
                QSqlQuery probe(file);
                if (!probe.exec(u"select "_s + quotedList(t.columns) + u" from \""_s + t.name +
                                u"\" limit 0"_s))
                    throw DbError(u"“"_s + filePath + u"”不是 Quillon 的数据库文件（缺少表“"_s + t.name +
                                  u"”）。"_s);
            }
            serverstore::open(pg, server);
            exec(pg, u"begin"_s);
            // A big house takes longer than a desk's statements may.
            exec(pg, u"set local statement_timeout = 0"_s);
            if (serverstore::holdsHouse(pg))
                throw DbError(u"服务器上已经有一家旅馆的数据，不会覆盖。"_s);
            // The indexes and the search index are built once over the copied rows, not row by
            // row, with room to sort in memory.
            exec(pg, u"set local maintenance_work_mem = '256MB'"_s);
            for (const QString &sql : serverstore::createStatements(false))
                exec(pg, sql);
            copyRows(file, pg, true);
            for (const QString &sql :
                 schema::indexStatements() + schema::searchIndexStatements(dialect::Engine::Postgres))
                exec(pg, sql);
            exec(pg, u"commit"_s);
        } catch (const DbError &e) {
            error = e.text();
            QSqlQuery(pg).exec(u"rollback"_s);
        }
        file.close();
        pg.close();
    }
    QSqlDatabase::removeDatabase(fileName);
    QSqlDatabase::removeDatabase(serverName);
    return error;
}

void replaceFromFile(QSqlDatabase &server, const QString &filePath)
{
    const QString name = u"quillon-restore-"_s + QUuid::createUuid().toString();
    const auto drop = qScopeGuard([&name] { QSqlDatabase::removeDatabase(name); });
    QSqlDatabase file = openFile(name, QFileInfo(filePath).absoluteFilePath(), true);
    const auto close = qScopeGuard([&file] { file.close(); });
    // A big house takes longer than a desk's statements may.
    exec(server, u"set local statement_timeout = 0"_s);
    // The house keeps its record of who did what (a desk may only add to it).
    for (const Table &t : allTables())
        if (t.name != schema::Record)
            exec(server, u"delete from \""_s + t.name + u"\""_s);
    copyRows(file, server, false);
}

QString serverToFile(QSqlDatabase &server, const QString &filePath)
{
    if (QFileInfo::exists(filePath))
        return u"文件已经存在，不会覆盖："_s + filePath;
    const QString name = u"quillon-snapshot-"_s + QUuid::createUuid().toString();
    QString error;
    {
        QSqlDatabase file;
        try {
            file = openFile(name, filePath, false);
            exec(file, u"begin"_s);
            for (const QString &sql : schema::createStatements(dialect::Engine::Sqlite, false))
                exec(file, sql);
            for (const Table &t : allTables()) {
                const schema::Table *types = schema::table(t.name);
                QSqlQuery read(server);
                read.setForwardOnly(true);
                const QString select = u"select "_s + quotedList(t.columns) + u" from \""_s + t.name +
                                       u"\""_s + (t.key.isEmpty() ? QString() : u" order by 1"_s);
                if (!read.exec(select))
                    throw DbError(read.lastError().text() + u" ("_s + select + u")"_s);
                QSqlQuery write(file);
                const QStringList marks(t.columns.size(), u"?"_s);
                if (!write.prepare(u"insert into \""_s + t.name + u"\" ("_s + quotedList(t.columns) +
                                   u") values ("_s + marks.join(u", "_s) + u")"_s))
                    throw DbError(write.lastError().text());
                const int n = int(t.columns.size());
                while (read.next()) {
                    for (int i = 0; i < n; ++i) {
                        QVariant v = read.value(i);
                        // Date-times are kept in the file as sortable text.
                        if (!v.isNull() && types && types->columns.at(i).type == schema::ColumnType::DateTime)
                            v = conv::toStorage(v.toDateTime());
                        write.bindValue(i, v);
                    }
                    if (!write.exec())
                        throw DbError(write.lastError().text());
                }
                if (read.lastError().isValid())
                    throw DbError(read.lastError().text());
                if (t.key.isEmpty())
                    continue;
                // The file's counter takes over where the server's sequence stands.
                QSqlQuery seq(server);
                seq.prepare(u"select pg_sequence_last_value(pg_get_serial_sequence(?, ?)::regclass)"_s);
                seq.addBindValue(u"\""_s + t.name + u"\""_s);
                seq.addBindValue(t.key);
                if (!seq.exec() || !seq.next())
                    throw DbError(seq.lastError().text());
                if (!seq.value(0).isNull()) {
                    exec(file, u"delete from sqlite_sequence where name=?"_s, {t.name});
                    exec(file, u"insert into sqlite_sequence (name, seq) values (?, ?)"_s,
                         {t.name, seq.value(0).toLongLong()});
                }
            }
            for (const QString &sql :
                 schema::indexStatements() + schema::searchIndexStatements(dialect::Engine::Sqlite))
                exec(file, sql);
            exec(file, u"commit"_s);
        } catch (const DbError &e) {
            error = e.text();
        }
        file.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty())
        QFile::remove(filePath);
    return error;
}

QString snapshotToFile(QSqlDatabase &server, const QString &filePath, QString *fingerprint)
{
    QSqlQuery q(server);
    // Reading a big house may take longer than a desk's statements may; it holds back no writer.
    if (!q.exec(u"start transaction isolation level repeatable read, read only"_s))
        return q.lastError().text();
    if (!q.exec(u"set local statement_timeout = 0"_s)) {
        const QString error = q.lastError().text();
        QSqlQuery(server).exec(u"rollback"_s);
        return error;
    }
    QString error = serverToFile(server, filePath);
    if (error.isEmpty() && fingerprint) {
        try {
            *fingerprint = housetransfer::fingerprint(server);
        } catch (const DbError &e) {
            error = e.text();
            QFile::remove(filePath);
        }
    }
    QSqlQuery(server).exec(u"commit"_s);
    return error;
}

QString fingerprint(QSqlDatabase &server)
{
    // Rows counted and their texts hashed and summed: any row added, removed or changed shows,
    // and only the sums cross the network.
    QStringList sums;
    for (const Table &t : allTables())
        sums.append(
            u"(select count(*) || ':' || coalesce(sum(hashtextextended(t::text, 0)::numeric), 0) from \""_s +
            t.name + u"\" t)"_s);
    QSqlQuery q(server);
    if (!q.exec(u"select concat_ws('/', "_s + sums.join(u", "_s) + u")"_s) || !q.next())
        throw serverstore::errorOf(q.lastError());
    return q.value(0).toString();
}

} // namespace housetransfer
