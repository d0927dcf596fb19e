#include "data/connection.h"
#include "data/db_error.h"
#include "data/statement.h"
#include "test_database.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestStatement : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void typedReadsOfBoundValues();
    void valuesKeepTheirKindOnTheServer_data();
    void valuesKeepTheirKindOnTheServer();
    void runsOnceAndLetsGoWhenClosed();
    void anotherDesksWriteIsBusy();
};

void TestStatement::typedReadsOfBoundValues()
{
    TestDatabase db;
    Connection c;
    c.open(db.location());
    {
        Statement insert(c, u"insert into 交款 (交款时间, 交款金额, 交款人) values (?, ?, ?)"_s,
                         {u"2006-04-20 14:30:05"_s, 12.5, u"O'Brien; drop table 交款"_s});
        QCOMPARE(insert.rowsAffected(), 1);
        QVERIFY(insert.lastInsertId() > 0);
    }
    // The file keeps whatever text it is given; a server's time column takes times only.
    const bool file = db.server().isEmpty();
    Statement(c, u"insert into 交款 (交款时间, 交款金额, 交款人) values (?, ?, ?)"_s,
              {file ? QVariant(u"not a date"_s) : QVariant(), 7, QVariant()});
    Statement read(
        c, u"select \"交款ID\", 交款时间, 交款金额, 交款人 from 交款 where 交款金额>? order by \"交款ID\""_s,
        {5});
    QCOMPARE(read.columnCount(), 4);
    QVERIFY(read.next());
    QCOMPARE(read.integer(0), 1);
    QCOMPARE(read.dateTime(1), QDateTime(QDate(2006, 4, 20), QTime(14, 30, 5)));
    QCOMPARE(read.real(2), 12.5);
    QCOMPARE(read.text(3), u"O'Brien; drop table 交款"_s);
    QVERIFY(!read.isNull(3));
    QVERIFY(read.next());
    QCOMPARE(read.dateTime(1), std::nullopt); // text that is no stored date-time, or NULL
    QCOMPARE(read.value(2).toLongLong(), 7);
    QVERIFY(read.isNull(3));
    QVERIFY(!read.value(3).isValid());
    QVERIFY(!read.next());
    try {
        Statement(c, u"select * from 没有这个表"_s);
        QFAIL("read a table that is not there");
    } catch (const DbError &e) {
        // The server's words, told apart by its SQLSTATE.
        QVERIFY(e.fromDriver());
        QVERIFY(e.text().contains(u"没有这个表"_s));
        if (!file)
            QCOMPARE(e.store(), StoreCause::NoHouse);
    }
}

void TestStatement::valuesKeepTheirKindOnTheServer_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QVariant>("bound");
    QTest::addColumn<QVariant>("read"); // invalid: NULL
    const QDateTime time(QDate(2006, 4, 20), QTime(14, 30, 5));
    const QByteArray bytes("\0\x01'\\\xff?", 6);
    QTest::newRow("integer") << u"bigint"_s << QVariant(Q_INT64_C(-9007199254740993))
                             << QVariant(Q_INT64_C(-9007199254740993));
    QTest::newRow("small integer") << u"smallint"_s << QVariant(7) << QVariant(qint64(7));
    QTest::newRow("number") << u"double precision"_s << QVariant(0.1) << QVariant(0.1);
    QTest::newRow("huge number") << u"double precision"_s << QVariant(-1.5e300) << QVariant(-1.5e300);
    QTest::newRow("whole number") << u"double precision"_s << QVariant(120) << QVariant(120.0);
    QTest::newRow("truth") << u"boolean"_s << QVariant(true) << QVariant(true);
    QTest::newRow("quoted text") << u"text"_s << QVariant(u"O'Brien \"?\" \\ 张伟"_s)
                                 << QVariant(u"O'Brien \"?\" \\ 张伟"_s);
    QTest::newRow("empty text") << u"text"_s << QVariant(u""_s) << QVariant(u""_s);
    QTest::newRow("null text") << u"text"_s << QVariant(QString()) << QVariant();
    QTest::newRow("null") << u"integer"_s << QVariant() << QVariant();
    QTest::newRow("bytes") << u"bytea"_s << QVariant(bytes) << QVariant(bytes);
    QTest::newRow("null bytes") << u"bytea"_s << QVariant(QByteArray()) << QVariant();
    // Whole seconds, as the house keeps them.
    QTest::newRow("time") << u"timestamp(0)"_s << QVariant(time.addMSecs(600)) << QVariant(time);
    QTest::newRow("time as text") << u"timestamp(0)"_s << QVariant(u"2006-04-20 14:30:05"_s)
                                  << QVariant(time);
    QTest::newRow("time with fraction")
        << u"timestamp"_s << QVariant(u"2006-04-20 14:30:05.25"_s) << QVariant(time.addMSecs(250));
    QTest::newRow("time with zone") << u"timestamptz"_s << QVariant(time) << QVariant(time);
    QTest::newRow("null time") << u"timestamp(0)"_s << QVariant(QDateTime()) << QVariant();
    QTest::newRow("date") << u"date"_s << QVariant(QDate(2006, 4, 20)) << QVariant(QDate(2006, 4, 20));
}

// Each kind of value stored through a bound parameter and read back in the kind the server's
// column has.
void TestStatement::valuesKeepTheirKindOnTheServer()
{
    TestDatabase db;
    if (db.server().isEmpty())
        QSKIP("the server's column kinds");
    QFETCH(QString, type);
    QFETCH(QVariant, bound);
    QFETCH(QVariant, read);
    Connection c;
    c.open(db.location());
    Statement(c, u"create temp table kinds (v "_s + type + u")"_s);
    Statement(c, u"insert into kinds (v) values (?)"_s, {bound});
    // A "?" in quotes is text, not a parameter.
    Statement s(c, u"select v, '?' as \"?\" from kinds where ? = 1"_s, {1});
    QVERIFY(s.next());
    QCOMPARE(s.value(0), read);
    QCOMPARE(s.value(0).typeId(), read.typeId());
    QCOMPARE(s.isNull(0), !read.isValid());
    QCOMPARE(s.text(1), u"?"_s);
    QCOMPARE(s.columnNames(), (QStringList{u"v"_s, u"?"_s}));
}

void TestStatement::runsOnceAndLetsGoWhenClosed()
{
    TestDatabase db;
    Connection c;
    c.open(db.location());
    {
        // An insert has no rows; asking for one must not run it again.
        Statement insert(c, u"insert into 楼层 (楼层名称) values (?)"_s, {QString()});
        QVERIFY(!insert.next());
        QVERIFY(!insert.next());
    }
    Statement(c, u"insert into 楼层 (楼层名称) values (?)"_s, {u""_s});
    // A null text is stored as NULL, an empty one as empty text, as before.
    QCOMPARE(db.scalar(u"select count(*) from 楼层 where 楼层名称 is null"_s).toInt(), 1);
    QCOMPARE(db.scalar(u"select count(*) from 楼层 where 楼层名称=''"_s).toInt(), 1);
    QVERIFY_THROWS_EXCEPTION(DbError, Statement(c, u"select * from 楼层 where \"楼层ID\"=?"_s));

    // A read left half way holds the file until its connection closes; then another desk writes.
    // On either store the statement is finished when its connection closes, and reads no more.
    Statement reading(c, u"select * from 楼层"_s);
    QVERIFY(reading.next());
    faults::setBusyWait(50);
    Connection other;
    other.open(db.location());
    if (db.server().isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(DbError, [&] {
            Transaction t(other);
            other.execute(u"delete from 楼层"_s);
            t.commit();
        }());
    }
    c.close();
    QVERIFY(!reading.next());
    QVERIFY(reading.isNull(0));
    Transaction t(other);
    QCOMPARE(other.execute(u"delete from 楼层"_s), 2);
    t.commit();
    faults::setBusyWait(0);
}

// Another desk writing the same row: past the wait, busy on either store, and nothing changed;
// the write that held it goes through.
void TestStatement::anotherDesksWriteIsBusy()
{
    TestDatabase db;
    const qint64 room = db.addRoom(u"101"_s);
    faults::setBusyWait(100);
    Connection a, b;
    a.open(db.location());
    b.open(db.location());
    faults::setBusyWait(0);
    Transaction holding(a);
    a.execute(u"update 房间 set 房间状态=2 where \"房间ID\"=?"_s, {room});
    try {
        Transaction t(b);
        b.execute(u"update 房间 set 房间状态=3 where \"房间ID\"=?"_s, {room});
        t.commit();
        QFAIL("wrote a row another desk is writing");
    } catch (const DbError &e) {
        QCOMPARE(e.cause(), DbError::Cause::Busy);
        QCOMPARE(e.text(), Connection::busyError().text());
    }
    QVERIFY(!b.inTransaction());
    holding.commit();
    QCOMPARE(db.scalar(u"select 房间状态 from 房间 where 房间ID=?"_s, {room}).toInt(), 2);
}

QTEST_GUILESS_MAIN(TestStatement)
#include "test_statement.moc"
