#include "data/connection.h"
#include "data/database_builder.h"
#include "data/schema.h"
#include "data/statement.h"
#include "hotel/house.h"
#include "test_database.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <thread>

using namespace Qt::Literals::StringLiterals;
using hotel::Refusal;

Q_DECLARE_METATYPE(hotel::Refusal)

// Restoring the house from a file, on the store the tests run against: every file that is no
// house this program can take is refused with its reason and nothing changes; a restore while
// other desks are at work loses none of their writes without a word.
class TestRestore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void refused_data();
    void refused();
    void otherDesksDuringRestore();
    void operatorAfterRestore_data();
    void operatorAfterRestore();
};

namespace {

const QString DbPassword = u"58316094"_s;

// `sql` run on the file at `path` as a plain SQLite file (made if missing).
void runOn(const QString &path, const QStringList &sql)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"edit"_s);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString &statement : sql)
            QVERIFY2(QSqlQuery(db).exec(statement), qPrintable(statement));
    }
    QSqlDatabase::removeDatabase(u"edit"_s);
}

// A new house file at `path` with its sample data, then `sql` run on it.
void makeHouse(const QString &path, const QStringList &sql = {}, const QString &password = DbPassword)
{
    dbbuild::Options options;
    options.password = password;
    QCOMPARE(dbbuild::createDatabase(path, options), QString());
    runOn(path, sql);
}

// The first column of the first row of `sql` in the house file at `path`.
QVariant fileScalar(const QString &path, const QString &sql)
{
    QVariant out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"read"_s);
        db.setDatabaseName(path);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        QSqlQuery q(db);
        if (db.open() && q.exec(sql) && q.next())
            out = q.value(0);
    }
    QSqlDatabase::removeDatabase(u"read"_s);
    return out;
}

qint64 floorsNamed(hotel::Session &desk, const QString &name)
{
    qint64 n = -1;
    const hotel::Outcome o = desk.read(hotel::Right::Setup, [&](Connection &c) {
        Statement q(c, u"select count(*) from 楼层 where 楼层名称=?"_s, {name});
        n = q.next() ? q.integer(0) : -1;
        return hotel::Outcome::done();
    });
    return o.ok() ? n : -2;
}

QStringList keptCopies(const TestDatabase &db)
{
    return QDir(QDir(db.directory()).filePath(u"innkeep-backups"_s)).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

void TestRestore::refused_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("rights");
    QTest::addColumn<Refusal>("expected");
    QTest::newRow("no such file") << u"missing"_s << u"Z:abcdef"_s << Refusal::NoSuchFile;
    QTest::newRow("a text file") << u"text"_s << u"Z:abcdef"_s << Refusal::NotADatabase;
    QTest::newRow("a damaged house") << u"damaged"_s << u"Z:abcdef"_s << Refusal::Damaged;
    QTest::newRow("another program's database") << u"foreign"_s << u"Z:abcdef"_s << Refusal::NotAHouse;
    QTest::newRow("a house without its rooms") << u"no rooms"_s << u"Z:abcdef"_s << Refusal::NotAHouse;
    QTest::newRow("a later program's house") << u"newer"_s << u"Z:abcdef"_s << Refusal::NewerHouse;
    QTest::newRow("another database password") << u"password"_s << u"Z:abcdef"_s << Refusal::WrongPassword;
    QTest::newRow("a sound house, no backup right") << u"sound"_s << u"Z:bcdef"_s << Refusal::NoRight;
    if (TestDatabase::testServer().isEmpty())
        QTest::newRow("the house file itself") << u"itself"_s << u"Z:abcdef"_s << Refusal::IsTheHouse;
}

void TestRestore::refused()
{
    QFETCH(QString, file);
    QFETCH(QString, rights);
    QFETCH(Refusal, expected);
    TestDatabase db(true);
    QTemporaryDir dir;
    QString path = dir.filePath(u"backup.mdb"_s);
    if (file == u"text"_s) {
        QFile text(path);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray("楼层,房间\n").repeated(2000));
    } else if (file == u"damaged"_s) {
        makeHouse(path);
        QFile house(path);
        QVERIFY(house.open(QIODevice::ReadWrite));
        QVERIFY(house.size() > 3 * 4096);
        house.seek(4096 + 8); // into the first table's page, past its header
        house.write(QByteArray(2048, '\xff'));
    } else if (file == u"foreign"_s) {
        runOn(path, {u"create table notes (id integer primary key, text text)"_s,
                     u"insert into notes (text) values ('楼层')"_s});
    } else if (file == u"no rooms"_s) {
        makeHouse(path, {u"drop table 房间"_s});
    } else if (file == u"newer"_s) {
        makeHouse(path, {u"pragma user_version = "_s + QString::number(schema::Version + 1)});
    } else if (file == u"password"_s) {
        makeHouse(path, {}, u"12345678"_s);
    } else if (file == u"sound"_s) {
        makeHouse(path);
    } else if (file == u"itself"_s) {
        path = db.path();
    }
    const QString before = db.dump();
    hotel::Session desk(db.location(), u"admin"_s, rights);
    const hotel::Outcome o = hotel::restoreHouse(&desk, path);
    QVERIFY2(o.isRefused(expected), qPrintable(o.message()));
    QVERIFY(!o.message().isEmpty());
    QCOMPARE(db.dump(), before);
    QCOMPARE(keptCopies(db), QStringList());
}

void TestRestore::otherDesksDuringRestore()
{
    TestDatabase db(true);
    QTemporaryDir dir;
    const QString backup = dir.filePath(u"backup.mdb"_s);
    QVERIFY(hotel::backUp(hotel::session(), backup).ok());
    const QString restoredHouse = db.dump();

    // Another desk, its connection open since before the restore.
    hotel::Session other(db.location(), u"admin"_s, u"Z:abcdef"_s);
    QCOMPARE(floorsNamed(other, u"恢复前"_s), 0);
    // A third desk is in the middle of a write when the restore starts, and commits while the
    // restore waits for it.
    Connection writer;
    writer.open(db.location());
    writer.beginTransaction();
    writer.execute(u"insert into 楼层 (楼层名称) values (?)"_s, {u"恢复前"_s});
    std::thread late([&writer] {
        QThread::msleep(1500);
        writer.commit();
    });
    const auto restored = hotel::restoreHouse(hotel::session(), backup);
    late.join();
    QVERIFY2(restored.ok(), qPrintable(restored.message()));
    QVERIFY(restored->operatorKept);

    // That write is in the safety copy; the house is the backup's again.
    QCOMPARE(QFileInfo(restored->safetyCopy).dir().absolutePath(),
             QDir(db.directory()).absoluteFilePath(u"innkeep-backups"_s));
    QCOMPARE(fileScalar(restored->safetyCopy, u"select count(*) from 楼层 where 楼层名称='恢复前'"_s).toInt(),
             1);
    // The record of who did what (dumped last) is the house's own, and tells of the restore.
    QCOMPARE(db.dump().section(u"操作记录\n"_s, 0, 0), restoredHouse.section(u"操作记录\n"_s, 0, 0));
    QCOMPARE(db.rows(u"select \"操作\" from \"操作记录\" order by 1"_s).last(), QStringList{u"数据恢复"_s});

    // The other desk reads the restored house on the connection it had, and its next write lands
    // in it.
    QCOMPARE(floorsNamed(other, u"恢复前"_s), 0);
    QVERIFY(other
                .write(hotel::Right::Setup,
                       [](Connection &c) {
                           Statement(c, u"insert into 楼层 (楼层名称) values (?)"_s, {u"恢复后"_s});
                           return hotel::Outcome::done();
                       })
                .ok());
    QCOMPARE(db.scalar(u"select count(*) from 楼层 where 楼层名称=?"_s, {u"恢复后"_s}).toInt(), 1);
    QCOMPARE(other.connectionsOpened(), 1);
}

void TestRestore::operatorAfterRestore_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("kept");
    QTest::newRow("same operator, same rights") << QString() << true;
    QTest::newRow("name in other letter case") << u"update 操作用户 set 用户名称='ADMIN'"_s << true;
    QTest::newRow("rights narrowed") << u"update 操作用户 set 权限设置='Z:abcd'"_s << false;
    QTest::newRow("operator gone") << u"update 操作用户 set 用户名称='小王'"_s << false;
}

void TestRestore::operatorAfterRestore()
{
    QFETCH(QString, change);
    QFETCH(bool, kept);
    TestDatabase db;
    QTemporaryDir dir;
    const QString backup = dir.filePath(u"backup.mdb"_s);
    makeHouse(backup, change.isEmpty() ? QStringList() : QStringList{change});
    const auto restored = hotel::restoreHouse(hotel::session(), backup);
    QVERIFY2(restored.ok(), qPrintable(restored.message()));
    QCOMPARE(restored->operatorKept, kept);
    QVERIFY(QFileInfo::exists(restored->safetyCopy));
}

QTEST_MAIN(TestRestore)
#include "test_restore.moc"
