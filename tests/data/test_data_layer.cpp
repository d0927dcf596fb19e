#include "data/connection.h"
#include "data/database_builder.h"
#include "data/db_error.h"
#include "data/house_location.h"
#include "data/server_store.h"
#include "data/statement.h"
#include "index_kit.h"
#include "test_database.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestDataLayer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void anyFolderNameReachesItsFile();
    void commandDeletesByKey();
    void int16ColumnsRefuseOutOfRange();
    void missingOrWrongPasswordTellTheirCause();
    void transactionIsAllOrNothing();
    void faultSwitchFailsTheNthStatement();
    void storeCauses_data();
    void storeCauses();
    void olderFileGetsItsIndexesWhenOpened();
    void newerFileIsRefused();
    void copyCheckFindsDamagedPages();
};

void TestDataLayer::anyFolderNameReachesItsFile()
{
    QTemporaryDir root;
#ifdef Q_OS_WIN // no " or \ in a Windows name
    const QString odd = root.filePath(u"x;y=z 'q' back 'end"_s);
#else
    const QString odd = root.filePath(u"x;y=z \"q\" \\back\\ 'end"_s);
#endif
    QVERIFY(QDir().mkpath(odd));
    dbbuild::Options options;
    options.password = HousePassword.toString();
    QCOMPARE(dbbuild::createDatabase(odd + u"/innkeep.mdb"_s, options), QString());
    const HouseLocation house{odd};
    QCOMPARE(house.filePath(), odd + u"/innkeep.mdb"_s);
    QCOMPARE(house.storeTarget().file, odd + u"/innkeep.mdb"_s);
    Connection connection;
    connection.open(house);
    QVERIFY(Statement(connection, u"select * from 公司配置 limit 1"_s).next());
}

void TestDataLayer::commandDeletesByKey()
{
    TestDatabase db;
    db.addFloor(u"A"_s);
    const qint64 b = db.addFloor(u"B"_s);
    Connection c;
    c.open(db.location());
    QCOMPARE(c.execute(u"delete from 楼层 where \"楼层ID\"=?"_s, {b}), 1);
    QCOMPARE(db.count(u"楼层"_s), 1);
    c.execute(u"delete from \"楼层\""_s);
    QCOMPARE(db.count(u"楼层"_s), 0);
}

// Whoever writes a 16-bit column, the store itself refuses what does not fit.
void TestDataLayer::int16ColumnsRefuseOutOfRange()
{
    TestDatabase db;
    db.exec(u"insert into 旅客入住 (旅客姓名, 预付款) values ('张三', 32767)"_s);
    Connection c;
    c.open(db.location());
    QSqlQuery raw(c.database());
    QVERIFY(!raw.exec(u"update 旅客入住 set 预付款=40000"_s));
    QCOMPARE(db.scalar(u"select 预付款 from 旅客入住"_s).toInt(), 32767);
}

void TestDataLayer::missingOrWrongPasswordTellTheirCause()
{
    TestDatabase db;
    const auto openFails = [](const HouseLocation &house, const QString &why) {
        try {
            Connection c;
            c.open(house);
            QTest::qFail(qPrintable(why), __FILE__, __LINE__);
        } catch (const DbError &e) {
            return e;
        }
        return DbError(QString());
    };
    HouseLocation wrongPassword = db.location();
    wrongPassword.password = u"12345678"_s;
    const DbError wrong = openFails(wrongPassword, u"opened with a wrong password"_s);
    // Neither the connection string nor a password is ever part of the error.
    QCOMPARE(wrong.store(), db.server().isEmpty() ? StoreCause::Unreadable : StoreCause::NoHouse);
    QVERIFY2(!wrong.text().contains(u"12345678"_s) &&
                 (db.server().isEmpty() || !wrong.text().contains(db.server())),
             qPrintable(wrong.text()));
    if (db.server().isEmpty()) {
        HouseLocation missing = db.location();
        missing.fileName = u"nothere.mdb"_s;
        QCOMPARE(openFails(missing, u"opened a missing file"_s).store(), StoreCause::FileMissing);
        QVERIFY(!QFile::exists(db.directory() + u"/nothere.mdb"_s)); // never created
    }
    Connection ok;
    ok.open(db.location());
    QVERIFY(ok.isOpen());
}

void TestDataLayer::transactionIsAllOrNothing()
{
    TestDatabase db;
    const qint64 room = db.addRoom(u"101"_s);
    const QString before = db.dump();
    try {
        Connection c;
        c.open(db.location());
        Transaction tx(c);
        c.execute(u"update 房间 set 房间状态=2 where \"房间ID\"=?"_s, {room});
        c.execute(u"insert into 没有这张表 values (1)"_s);
        tx.commit();
        QFAIL("a failing statement went through");
    } catch (const DbError &) {
    }
    QCOMPARE(db.dump(), before);
}

void TestDataLayer::faultSwitchFailsTheNthStatement()
{
    TestDatabase db;
    faults::reset();
    faults::failStatement(2);
    Connection c;
    c.open(db.location()); // its password check and index repair are not the program's statements
    c.execute(u"delete from 楼层"_s);
    QVERIFY_THROWS_EXCEPTION(DbError, c.execute(u"delete from 房间"_s));
    QCOMPARE(faults::statementsRun(), 2);
    faults::reset();
    faults::failCommit(true);
    {
        Transaction tx(c);
        c.execute(u"insert into 楼层 (楼层名称) values ('一楼')"_s);
        QVERIFY_THROWS_EXCEPTION(DbError, tx.commit());
    }
    QVERIFY(!c.inTransaction());
    QCOMPARE(faults::commitsRun(), 1);
    QCOMPARE(db.count(u"楼层"_s), 0);
    faults::reset();
}

void TestDataLayer::storeCauses_data()
{
    QTest::addColumn<bool>("server");
    QTest::addColumn<QString>("code"); // SQLite's result code, or the server's SQLSTATE
    QTest::addColumn<int>("cause");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("conflict"); // another desk's change committed first: worth running again
    const auto row = [](const char *name, bool server, const QString &code, StoreCause cause,
                        bool busy = false, bool conflict = false) {
        QTest::newRow(name) << server << code << int(cause) << busy << conflict;
    };
    // Extended result codes carry the primary one in their low byte.
    row("file busy", false, u"5"_s, StoreCause::Other, true);
    row("file busy snapshot", false, u"517"_s, StoreCause::Other, true);
    row("file locked shared cache", false, u"262"_s, StoreCause::Other, true);
    row("file full", false, u"13"_s, StoreCause::DiskFull);
    row("file moved read-only", false, u"1032"_s, StoreCause::ReadOnly);
    row("file read-only folder", false, u"1544"_s, StoreCause::ReadOnly);
    row("file journal cannot be rolled back", false, u"776"_s, StoreCause::NeedsWrite);
    row("file corrupt", false, u"11"_s, StoreCause::Unreadable);
    row("file not a database", false, u"26"_s, StoreCause::Unreadable);
    row("file constraint", false, u"19"_s, StoreCause::Other);
    row("server lock timeout", true, u"55P03"_s, StoreCause::Other, true);
    row("server serialization", true, u"40001"_s, StoreCause::Other, true, true);
    row("server deadlock", true, u"40P01"_s, StoreCause::Other, true, true);
    row("server gone", true, u"08006"_s, StoreCause::ConnectionLost);
    row("server shut down", true, u"57P01"_s, StoreCause::ConnectionLost);
    row("server idle transaction ended", true, u"25P03"_s, StoreCause::ConnectionLost);
    row("server password", true, u"28P01"_s, StoreCause::AccountRefused);
    row("server no table", true, u"42P01"_s, StoreCause::NoHouse);
    row("server disk full", true, u"53100"_s, StoreCause::DiskFull);
    row("server read only", true, u"25006"_s, StoreCause::ReadOnly);
    row("server no privilege", true, u"42501"_s, StoreCause::Permission);
    row("server unique", true, u"23505"_s, StoreCause::Other);
}

void TestDataLayer::storeCauses()
{
    QFETCH(bool, server);
    QFETCH(QString, code);
    QFETCH(int, cause);
    QFETCH(bool, busy);
    QFETCH(bool, conflict);
    const DbError e =
        server ? serverstore::errorOf(QSqlError(u"driver"_s, u"words"_s, QSqlError::StatementError, code))
               : Connection::storeError(code.toInt(), u"words"_s);
    QCOMPARE(e.cause() == DbError::Cause::Busy, busy);
    QCOMPARE(e.isConflict(), conflict);
    if (busy) {
        QCOMPARE(e.text(), Connection::busyError().text()); // never the store's own words
        return;
    }
    QCOMPARE(int(e.store()), cause);
    QVERIFY(e.fromDriver());
    QCOMPARE(e.text(), u"words"_s);
}

void TestDataLayer::olderFileGetsItsIndexesWhenOpened()
{
    TestDatabase db;
    kit::checkOlderHouseGetsItsIndexes(db);
}

void TestDataLayer::newerFileIsRefused()
{
    TestDatabase db;
    kit::checkHouseVersions(db);
}

// The check a backup's copy passes before it replaces an earlier backup.
void TestDataLayer::copyCheckFindsDamagedPages()
{
    TestDatabase db;
    if (!db.server().isEmpty())
        QSKIP("a file's copy");
    for (int i = 0; i < 200; ++i)
        db.addFloor(u"楼层"_s + QString::number(i) + QString(40, u'长'));
    QFile source(db.path());
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QByteArray sound = source.readAll();
    const int page = (uchar(sound.at(16)) << 8) | uchar(sound.at(17));
    const int pages = int(sound.size() / page);
    QVERIFY(pages > 6);
    const QList<std::pair<const char *, std::function<void(QByteArray &)>>> faults{
        {"sound", [](QByteArray &) {}},
        {"cut short", [&](QByteArray &b) { b.truncate(b.size() / 2); }},
        {"a page lost", [&](QByteArray &b) { b.replace(page * (pages / 2), page, QByteArray(page, '\0')); }},
        {"the last page lost",
         [&](QByteArray &b) { b.replace(page * (pages - 1), page, QByteArray(page, '\0')); }},
        {"pages swapped",
         [&](QByteArray &b) {
             const QByteArray a = b.mid(page * 2, page);
             b.replace(page * 2, page, b.mid(page * (pages - 2), page));
             b.replace(page * (pages - 2), page, a);
         }},
        {"a page's header garbled",
         [&](QByteArray &b) { b.replace(page * (pages / 3), 12, QByteArray(12, '\x7f')); }},
    };
    QTemporaryDir dir;
    for (const auto &[name, fault] : faults) {
        QByteArray bytes = sound;
        fault(bytes);
        const QString copy = dir.filePath(QString::fromUtf8(name) + u".mdb"_s);
        QFile out(copy);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        out.close();
        QVERIFY2(Connection::checkFile(copy).isEmpty() == (bytes == sound), name);
    }
}

QTEST_MAIN(TestDataLayer)
#include "test_data_layer.moc"
