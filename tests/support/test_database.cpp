#include "test_database.h"

#include "data/conversions.h"
#include "data/database_builder.h"
#include "data/db_error.h"
#include "data/schema.h"
#include "data/server_admin.h"
#include "data/server_store.h"
#include "hotel/session.h"
#include "server_sql.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSettings>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QUuid>

using namespace Qt::Literals::StringLiterals;

namespace {

// The database made for this process, dropped when the application ends.
QString ownDatabase;

void dropOwnDatabase(const QString &base)
{
    const QString name = u"quillon-test-drop"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
        try {
            serverstore::open(db, base);
            // A desk left connected (a killed child's server process) must not keep it.
            QSqlQuery(db).exec(u"drop database if exists "_s + ownDatabase + u" with (force)"_s);
        } catch (const DbError &) {
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// "@file": the connection string is in that file (the test server writes it when it starts).
QString sharedServer()
{
    const QString value = qEnvironmentVariable("QUILLON_TEST_SERVER");
    if (!value.startsWith(u'@'))
        return value;
    QFile file(value.mid(1));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the test server's connection string from %s", qPrintable(value.mid(1)));
    return QString::fromUtf8(file.readAll()).trimmed();
}

} // namespace

QString TestDatabase::testServer()
{
    // Each test process works in a database of its own: suites run side by side share no
    // extension, function, collation or catalog row that one house's creation would wait on.
    static const QString server = [] {
        const QString base = sharedServer();
        if (base.isEmpty())
            return base;
        ownDatabase = u"t_"_s + QString::number(QCoreApplication::applicationPid()) + u"_"_s +
                      QUuid::createUuid().toString(QUuid::Id128).left(12);
        const QString name = u"quillon-test-create"_s;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
            try {
                serverstore::open(db, base);
            } catch (const DbError &e) {
                qFatal("cannot reach the test server: %s", qPrintable(e.text()));
            }
            QSqlQuery q(db);
            if (!q.exec(u"create database "_s + ownDatabase))
                qFatal("cannot create this process's test database: %s", qPrintable(q.lastError().text()));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        qAddPostRoutine([] { dropOwnDatabase(sharedServer()); });
        // libpq takes the last of a repeated keyword.
        return base + u" dbname="_s + ownDatabase;
    }();
    return server;
}

void TestDatabase::logInEveryRight(const HouseLocation &house)
{
    hotel::Session::setCurrent(std::make_shared<hotel::Session>(house, u"admin"_s, u"Z:abcdef"_s));
}

TestDatabase::TestDatabase(bool sampleData) : m_connectionName(u"test-"_s + QUuid::createUuid().toString())
{
    dbbuild::Options options;
    options.password = HousePassword.toString();
    options.sampleData = sampleData;
    // Before any connection opens, so the fault switches reach every one.
    faults::install();
    logInEveryRight(location());
    if (!testServer().isEmpty()) {
        m_schemaName = u"t_"_s + QUuid::createUuid().toString(QUuid::Id128);
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, m_connectionName);
        try {
            serverstore::open(db, testServer());
        } catch (const DbError &e) {
            qFatal("cannot reach the test server: %s", qPrintable(e.text()));
        }
        exec(u"create schema "_s + m_schemaName);
        exec(u"set search_path = "_s + m_schemaName);
        m_server = testServer() + u" options='-c search_path="_s + m_schemaName + u"'"_s;
        const QString error = dbbuild::createServerHouse(m_server, options);
        if (!error.isEmpty())
            qFatal("cannot create the test house on the server: %s", qPrintable(error));
        m_ownerServer = m_server;
        // The house made by its owner, the desk on the role granted what a desk needs.
        if (const QString role = qEnvironmentVariable("QUILLON_TEST_DESK_ROLE"); !role.isEmpty()) {
            if (const QString refused = serveradmin::grantDeskRole(m_server, role); !refused.isEmpty())
                qFatal("cannot grant the desk role: %s", qPrintable(refused));
            m_server += u" user="_s + role;
        }
        QSettings ini(location().settingsPath(), QSettings::IniFormat);
        ini.setValue(u"server/connection"_s, m_server);
        return;
    }
    const QString error = dbbuild::createDatabase(path(), options);
    if (!error.isEmpty())
        qFatal("cannot create test database: %s", qPrintable(error));
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connectionName);
    db.setDatabaseName(path());
    if (!db.open())
        qFatal("cannot open test database");
}

TestDatabase::~TestDatabase()
{
    hotel::Session::setCurrent(nullptr);
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (!m_schemaName.isEmpty())
            QSqlQuery(db).exec(u"drop schema "_s + m_schemaName + u" cascade"_s);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QString TestDatabase::path() const
{
    // On the server the settings file is what points the program at the house: taking it away
    // leaves the program without its store, as taking the file away does.
    if (!m_server.isEmpty())
        return m_dir.filePath(u"quillon.ini"_s);
    return m_dir.filePath(u"innkeep.mdb"_s);
}

bool TestDatabase::takeAway()
{
    // A server connection would lose its search path when opened again: the file store only.
    if (m_server.isEmpty())
        QSqlDatabase::database(m_connectionName, false).close();
    if (hotel::Session *desk = hotel::Session::current())
        desk->disconnect();
    return QFile::rename(path(), path() + u".away"_s);
}

bool TestDatabase::bringBack()
{
    return QFile::rename(path() + u".away"_s, path());
}

static QSqlQuery runQuery(const QString &connection, const QString &program, const QVariantList &params)
{
    QSqlDatabase db = QSqlDatabase::database(connection);
    const bool server = db.driverName() == u"QPSQL"_s;
    const QString sql = server ? testsql::forServer(program) : program;
    QSqlQuery q(db);
    // The server prepares only queries; statements without values go as they are.
    if (server && params.isEmpty()) {
        if (!q.exec(sql))
            qFatal("exec failed: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return q;
    }
    if (!q.prepare(sql))
        qFatal("prepare failed: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    for (const QVariant &p : params)
        q.addBindValue(p);
    if (!q.exec())
        qFatal("exec failed: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return q;
}

void TestDatabase::exec(const QString &sql, const QVariantList &params)
{
    runQuery(m_connectionName, sql, params);
}

qint64 TestDatabase::insert(const QString &sql, const QVariantList &params)
{
    return runQuery(m_connectionName, sql, params).lastInsertId().toLongLong();
}

QVariant TestDatabase::scalar(const QString &sql, const QVariantList &params)
{
    QSqlQuery q = runQuery(m_connectionName, sql, params);
    return q.next() ? q.value(0) : QVariant();
}

QList<QStringList> TestDatabase::rows(const QString &sql, const QVariantList &params)
{
    QSqlQuery q = runQuery(m_connectionName, sql, params);
    QList<QStringList> out;
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < q.record().count(); ++i)
            row.append(q.value(i).isNull() ? u"<NULL>"_s
                       : q.value(i).typeId() == QMetaType::QDateTime
                           ? conv::toStorage(q.value(i).toDateTime())
                           : q.value(i).toString());
        out.append(row);
    }
    return out;
}

int TestDatabase::count(const QString &table)
{
    return scalar(u"select count(*) from \""_s + table + u"\""_s).toInt();
}

QString TestDatabase::dump()
{
    QString out;
    for (const schema::Table &t : schema::tables()) {
        out += t.name + u"\n"_s;
        for (const QStringList &row : rows(u"select * from \""_s + t.name + u"\" order by 1"_s))
            out += row.join(u"|"_s) + u"\n"_s;
    }
    out += u"seq:"_s;
    // A server's key counter moves on even for an insert that is rolled back (keys are still
    // never reused), so the counters are compared on the file only.
    if (!m_server.isEmpty())
        return out;
    for (const QStringList &row : rows(u"select name, seq from sqlite_sequence order by name"_s))
        out += row.join(u"="_s) + u";"_s;
    return out;
}

qint64 TestDatabase::addFloor(const QString &name)
{
    return insert(u"insert into 楼层 (楼层名称) values (?)"_s, {name});
}

qint64 TestDatabase::addRoom(const QString &number, double price, int status, const QString &floor)
{
    return insert(
        u"insert into 房间 (房间号, 房间名称, 房间类型, 所属楼层, 标准价格, 会员价格, 房间状态) values (?, ?, ?, ?, ?, ?, ?)"_s,
        {number, u"房间"_s + number, u"标准间"_s, floor.isEmpty() ? u"一楼"_s : floor, price, price - 20,
         status});
}
