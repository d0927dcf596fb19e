#include "data/connection.h"
#include "data/house_location.h"
#include "data/house_transfer.h"
#include "data/schema.h"
#include "data/server_store.h"
#include "hotel/house.h"
#include "hotel/session.h"
#include "hotel/stays.h"
#include "hotel_file.h"
#include "test_database.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSettings>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <libpq-fe.h>

using namespace Qt::Literals::StringLiterals;

// Several desks on one house on a server (QUILLON_TEST_SERVER): desks are real processes driving
// the real windows; what they leave is read back through a snapshot in the file checker.
class TestServerDesks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void twoDesksTakeOneRoom();
    void killedDeskLeavesNothingHalfWritten();
    void bigHouseMovesThereAndBack();
    void frozenDesksHoldTheHouseLessThanAMinute();
};

namespace {

// A snapshot of the server house as a file, checked by the same invariants as the file store.
QStringList serverProblems(const QString &folder)
{
    const QString copy = folder + u"/snapshot.mdb"_s;
    QFile::remove(copy);
    Connection connection;
    connection.open(HouseLocation{folder});
    const QString error = housetransfer::snapshotToFile(connection.database(), copy);
    if (!error.isEmpty())
        return {u"snapshot: "_s + error};
    return stress::invariantProblems(copy);
}

// Rows of every table of two house files that the other lacks, and the key counters.
QStringList differences(const QString &a, const QString &b)
{
    QStringList out;
    const QString name = u"compare"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(a);
        QSqlQuery q(db);
        if (!db.open() || !q.exec(u"attach database '"_s + b + u"' as other"_s))
            return {u"cannot open: "_s + q.lastError().text()};
        QStringList tables;
        for (const schema::Table &t : schema::tables())
            tables.append(u"\""_s + t.name + u"\""_s);
        tables << schema::AccessTable << u"sqlite_sequence"_s;
        for (const QString &t : std::as_const(tables)) {
            for (const auto &[from, to] :
                 {std::pair{u"main"_s, u"other"_s}, std::pair{u"other"_s, u"main"_s}}) {
                q.exec(u"select count(*) from (select * from %1.%2 except select * from %3.%2)"_s.arg(from, t,
                                                                                                      to));
                if (!q.next() || q.value(0).toInt() != 0)
                    out.append(t + u": "_s + q.value(0).toString() + u" rows only in "_s + from +
                               q.lastError().text());
            }
            q.exec(u"select (select count(*) from main.%1) - (select count(*) from other.%1)"_s.arg(t));
            if (!q.next() || q.value(0).toInt() != 0)
                out.append(t + u": row counts differ"_s);
        }
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

hotel::Stay guestIn(qint64 room)
{
    return {0,         u"张三"_s, {},           u"身份证"_s, u"1234"_s, QDateTime::currentDateTime(),
            qint16(1), qint16(1), qint16(room), qint16(100), {}};
}

} // namespace

void TestServerDesks::initTestCase()
{
    stress::quietOffscreenWarnings();
    if (TestDatabase::testServer().isEmpty())
        QFAIL("QUILLON_TEST_SERVER must name the test server");
}

// Both desks confirm the same free room at the same instant, 100 times: exactly one stay per room.
void TestServerDesks::twoDesksTakeOneRoom()
{
    TestDatabase db;
    const int rounds = 100;
    const qint64 first = db.addRoom(u"R0"_s);
    for (int i = 1; i < rounds; ++i)
        db.addRoom(u"R"_s + QString::number(i));
    const qint64 start = QDateTime::currentMSecsSinceEpoch() + 2500;
    const int gap = 200;
    QProcess desks[2];
    for (QProcess &desk : desks)
        desk.start(QStringLiteral(QUILLON_DESK_DRIVER),
                   {db.directory(), QString::number(start), QString::number(first), QString::number(rounds),
                    QString::number(gap)});
    QByteArray out[2];
    for (int d = 0; d < 2; ++d) {
        QVERIFY(desks[d].waitForFinished(120000));
        QCOMPARE(desks[d].exitCode(), 0);
        out[d] = desks[d].readAllStandardOutput();
    }
    int raced = 0;
    for (int r = 0; r < rounds; ++r) {
        const QByteArray tag = "round " + QByteArray::number(r) + ' ';
        QStringList outcome;
        QStringList said;
        for (const QByteArray &o : out) {
            const qsizetype at = o.indexOf(tag);
            QVERIFY2(at >= 0, o.constData());
            const QByteArray line = o.mid(at + tag.size(), o.indexOf('\n', at) - at - tag.size());
            outcome.append(QString::fromUtf8(line.left(line.indexOf(' '))));
            said.append(QString::fromUtf8(line));
        }
        QVERIFY2(outcome.count(u"taken"_s) == 1,
                 qPrintable(u"round %1: %2"_s.arg(r).arg(said.join(u" / "_s))));
        raced += outcome.contains(u"refused"_s) ? 1 : 0;
        const qint64 room = first + r;
        QCOMPARE(db.scalar(u"select count(*) from 旅客入住 where 房间ID=?"_s, {room}).toInt(), 1);
        QCOMPARE(db.scalar(u"select 房间状态 from 房间 where 房间ID=?"_s, {room}).toInt(), 2);
    }
    qInfo("two desks: %d rounds, %d of them confirmed by both desks, 0 double bookings", rounds, raced);
    // The rounds must have been real races, not one desk arriving after the other had finished.
    QVERIFY2(raced >= rounds / 2, qPrintable(QString::number(raced)));
}

// A desk killed in the middle of its transaction leaves nothing half-written.
void TestServerDesks::killedDeskLeavesNothingHalfWritten()
{
    TestDatabase db;
    for (const stress::HotelRoom &room : stress::hotelRooms())
        db.addRoom(room.number, room.price);
    // The driver finds the settings file beside this name and works on the server.
    QFile placeholder(db.directory() + u"/innkeep.mdb"_s);
    // The driver's connections carry a name of their own, so the watch sees no other test's.
    const QString desk = u"desk_"_s + QString::number(QCoreApplication::applicationPid());
    QSettings(db.directory() + u"/quillon.ini"_s, QSettings::IniFormat)
        .setValue(u"server/connection"_s, db.server() + u" application_name="_s + desk);
    QVERIFY(placeholder.open(QIODevice::WriteOnly));
    placeholder.close();
    QSqlDatabase watch = QSqlDatabase::addDatabase(u"QPSQL"_s, u"watch"_s);
    serverstore::open(watch, TestDatabase::testServer());
    QRandomGenerator rng(11);
    int midWrite = 0;
    int operations = 0;
    const int kills = 12;
    for (int k = 0; k < kills; ++k) {
        QProcess driver;
        driver.start(QStringLiteral(QUILLON_STRESS_DRIVER),
                     {placeholder.fileName(), QString::number(1000 + k)});
        QVERIFY(driver.waitForReadyRead(30000));
        QTest::qWait(int(rng.bounded(50, 400)));
        // Aim at a write: a transaction of the driver's that already holds a change.
        QSqlQuery q(watch);
        for (int tries = 0; tries < 2000; ++tries) {
            QVERIFY(q.exec(u"select count(*) from pg_stat_activity where backend_xid is not null "
                           u"and application_name = '"_s +
                           desk + u"'"_s));
            if (q.next() && q.value(0).toInt() > 0) {
                ++midWrite;
                break;
            }
        }
        QCOMPARE(driver.state(), QProcess::Running);
        ::kill(pid_t(driver.processId()), SIGKILL);
        QVERIFY(driver.waitForFinished(10000));
        const QByteArray out = driver.readAllStandardOutput();
        QVERIFY2(!out.contains("FAILED"), out.constData());
        operations += int(out.count("op "));
        // The server rolls a dead desk's transaction back once it notices the connection gone.
        QTest::qWait(100);
        const QStringList problems = serverProblems(db.directory());
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u"\n"_s)));
    }
    watch.close();
    watch = QSqlDatabase();
    QSqlDatabase::removeDatabase(u"watch"_s);
    qInfo("server kill test: %d kills, %d of them inside a write, %d operations", kills, midWrite,
          operations);
    QVERIFY(midWrite >= kills / 2);
    QVERIFY(operations >= kills);
}

// 250,000 completed stays go from a file to the server and back, row for row and key counters.
void TestServerDesks::bigHouseMovesThereAndBack()
{
    // An empty schema of its own on the server, dropped at the end.
    const QString schemaName = u"move_"_s + QString::number(QCoreApplication::applicationPid());
    const QString server = TestDatabase::testServer() + u" options='-c search_path="_s + schemaName + u"'"_s;
    QSqlDatabase pg = QSqlDatabase::addDatabase(u"QPSQL"_s, u"move"_s);
    serverstore::open(pg, TestDatabase::testServer());
    QSqlQuery(pg).exec(u"drop schema if exists "_s + schemaName + u" cascade"_s);
    QVERIFY(QSqlQuery(pg).exec(u"create schema "_s + schemaName));
    const auto dropSchema = qScopeGuard([&] {
        QSqlQuery(pg).exec(u"drop schema "_s + schemaName + u" cascade"_s);
        pg.close();
        pg = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"move"_s);
    });
    QTemporaryDir dir;
    const QString original = dir.filePath(u"original.mdb"_s);
    QCOMPARE(stress::createHotel(original), QString());
    {
        QSqlDatabase file = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"big"_s);
        file.setDatabaseName(original);
        QVERIFY(file.open());
        QSqlQuery q(file);
        QVERIFY(q.exec(
            u"with recursive n(i) as (select 1 union all select i + 1 from n where i < 250000) "
            u"insert into 旅客退房 (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, "
            u"入住人数, "
            u"房间ID, 预付款, 退房时间, 实际入住天数, 实际金额, 应收款, 应退款, 备注信息) "
            u"select '旅客' || i, case when i % 7 = 0 then null else 'O''Brien\t单位' end, '身份证', "
            u"printf('%018d', i), datetime('2016-01-01', '+' || (i / 70) || ' days', '+14 hours'), "
            u"1 + i % 5, 1 + i % 3, 1 + i % 10, 100 * (i % 9), "
            u"date('2016-01-01', '+' || (i / 70 + 1 + i % 5) || ' days') || ' 00:00:00', 1 + i % 5, "
            u"120 * (1 + i % 5), i % 50, i % 30, case when i % 11 = 0 then '备注\\' || char(10) || '第二行' end from n"_s));
        // Keys handed out and since deleted stay spent on both stores.
        QVERIFY(q.exec(u"delete from 旅客退房 where 退房ID > 249990"_s));
        QVERIFY(q.exec(
            u"insert into 交款 (交款时间, 交款金额, 交款人) values ('2016-02-01 10:00:00', 1234.5, '张')"_s));
        file.close();
    }
    QSqlDatabase::removeDatabase(u"big"_s);

    QCOMPARE(housetransfer::fileToServer(original, server), QString());
    // A second move onto the same house is refused.
    QCOMPARE(housetransfer::fileToServer(original, server), u"服务器上已经有一家旅馆的数据，不会覆盖。"_s);
    const QString back = dir.filePath(u"back.mdb"_s);
    {
        QSqlDatabase house = QSqlDatabase::addDatabase(u"QPSQL"_s, u"house"_s);
        serverstore::open(house, server);
        QSqlQuery count(house);
        QVERIFY(count.exec(u"select count(*) from \"旅客退房\""_s) && count.next());
        QCOMPARE(count.value(0).toInt(), 249990);
        QCOMPARE(housetransfer::snapshotToFile(house, back), QString());
        count = QSqlQuery();
        house.close();
        house = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"house"_s);
    }
    QCOMPARE(differences(original, back), QStringList());
    // The copy is a house the file store opens as it is.
    Connection file;
    file.open(StoreTarget{back, std::nullopt, HousePassword.toString()});
    QVERIFY(file.isOpen());
}

// Two desks stop mid-work: one while its transaction holds a room's row (to the server, a
// connection that falls silent), one while its server process sends it the rows of a big select
// (such a process ignores a cancel and is never idle). Another desk reads at once, is told busy for
// that room, checks in elsewhere and backs up; once the server ends the idle transaction it checks
// that room in, once, and wipes the house. The desk that held the row reconnects when it wakes.
void TestServerDesks::frozenDesksHoldTheHouseLessThanAMinute()
{
    TestDatabase db(true);
    QSettings(db.directory() + u"/quillon.ini"_s, QSettings::IniFormat)
        .setValue(u"server/idle_transaction_seconds"_s, 10);
    const qint64 held = db.scalar(u"select min(房间ID) from 房间 where 房间状态=1"_s).toLongLong();
    const qint64 other = db.scalar(u"select max(房间ID) from 房间 where 房间状态=1"_s).toLongLong();
    hotel::Session stopped(db.location(), u"admin"_s, u"Z:abcdef"_s);
    stopped.readFree([&](Connection &c) {
        c.beginTransaction();
        c.execute(u"update 房间 set 房间名称='改名中' where \"房间ID\"=?"_s, {held});
        return hotel::Outcome::done();
    });
    Connection sending;
    sending.open(db.location());
    sending.beginTransaction();
    PGconn *pg = *static_cast<PGconn *const *>(sending.database().driver()->handle().constData());
    QVERIFY(PQsendQuery(pg, "select r.*, repeat('x', 1000) from 房间 r, generate_series(1, 2000)") &&
            PQsetSingleRowMode(pg));
    PQclear(PQgetResult(pg));
    // Its own process, not another suite's on the same server; a loaded machine takes a while.
    QTRY_COMPARE_WITH_TIMEOUT(db.scalar(u"select count(*) from pg_stat_activity where pid=? and "
                                        u"wait_event='ClientWrite'"_s,
                                        {PQbackendPID(pg)})
                                  .toInt(),
                              1, 30000);

    hotel::Session desk(db.location(), u"admin"_s, u"Z:abcdef"_s);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(hotel::freeRooms(&desk).ok() && clock.elapsed() < 2000);
    hotel::Result<qint64> entered = hotel::enterStay(&desk, hotel::StayKind::Stay, guestIn(held));
    QVERIFY(entered.kind() == hotel::Outcome::Kind::Busy && clock.elapsed() < 10000);
    QVERIFY(hotel::enterStay(&desk, hotel::StayKind::Stay, guestIn(other)).ok());
    QVERIFY(hotel::backUp(&desk, db.directory() + u"/copy.mdb"_s).ok());
    while (entered.kind() == hotel::Outcome::Kind::Busy && clock.elapsed() < 60000)
        entered = hotel::enterStay(&desk, hotel::StayKind::Stay, guestIn(held));
    // Within the settings' idle limit and one more wait, not the default half minute.
    QVERIFY2(entered.ok() && clock.elapsed() < 25000, qPrintable(entered.message()));
    QCOMPARE(db.scalar(u"select count(*) from 旅客入住 where 房间ID=?"_s, {held}).toInt(), 1);
    const hotel::Outcome wiped = hotel::initializeData(&desk);
    QVERIFY2(wiped.ok() && clock.elapsed() < 60000, qPrintable(wiped.message()));
    QCOMPARE(db.count(u"房间"_s), 0);
    QVERIFY(hotel::freeRooms(&stopped).ok());
    QCOMPARE(stopped.connectionsOpened(), 2);
}

QTEST_MAIN(TestServerDesks)
#include "test_server_desks.moc"
