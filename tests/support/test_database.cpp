#include "test_database.h"

#include "data/database_builder.h"
#include "data/module1.h"
#include "data/schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QUuid>

using namespace Qt::Literals::StringLiterals;

TestDatabase::TestDatabase(bool sampleData) : m_connectionName(u"test-"_s + QUuid::createUuid().toString())
{
    dbbuild::Options options;
    options.password = u"58316094"_s;
    options.sampleData = sampleData;
    const QString error = dbbuild::createDatabase(path(), options);
    if (!error.isEmpty())
        qFatal("cannot create test database: %s", qPrintable(error));
    Module1::setProgramDirectory(m_dir.path());
    Module1::DbFileName = u"innkeep.mdb"_s;
    Module1::DbPassword = u"58316094"_s;
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connectionName);
    db.setDatabaseName(path());
    if (!db.open())
        qFatal("cannot open test database");
}

TestDatabase::~TestDatabase()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    Module1::setProgramDirectory(QString());
}

QString TestDatabase::path() const
{
    return m_dir.filePath(u"innkeep.mdb"_s);
}

static QSqlQuery runQuery(const QString &connection, const QString &sql, const QVariantList &params)
{
    QSqlQuery q(QSqlDatabase::database(connection));
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
            row.append(q.value(i).isNull() ? u"<NULL>"_s : q.value(i).toString());
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
