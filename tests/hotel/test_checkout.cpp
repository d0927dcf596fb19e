#include "data/connection.h"
#include "hotel/checkout.h"
#include "test_database.h"

#include <QTest>
#include <tuple>

using namespace Qt::Literals::StringLiterals;
using hotel::Refusal;

Q_DECLARE_METATYPE(hotel::Refusal)

// Check-out quoted and confirmed as a desk does it, on the file and (with QUILLON_TEST_SERVER)
// on a server; another desk's doings between the two steps are rows of the table.
class TestHotelCheckout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void quote_data();
    void quote();
    void confirm_data();
    void confirm();
    void confirmIsAllOrNothing();
};

namespace {

qint64 addStay(TestDatabase &db, qint64 room, const QString &guest, int prepayment = 500)
{
    return db.insert(u"insert into 旅客入住 (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, "
                     u"入住人数, 房间ID, 预付款) values (?, '华光公司', '身份证', '1234', "
                     u"'2006-04-20 14:30:00', 3, 2, ?, ?)"_s,
                     {guest, room, prepayment});
}

// The quoted stay settled as the window would store it.
hotel::CompletedStay completedFrom(const hotel::checkout::Quote &q)
{
    const hotel::Stay &s = q.stay();
    hotel::CompletedStay c;
    std::tie(c.guest, c.unit, c.idType, c.idNumber, c.checkIn) =
        std::tie(s.guest, s.unit, s.idType, s.idNumber, s.checkIn);
    std::tie(c.plannedDays, c.persons, c.room, c.prepayment) =
        std::tie(s.plannedDays, s.persons, s.room, s.prepayment);
    c.checkOut = QDateTime(QDate(2006, 4, 26), QTime());
    std::tie(c.days, c.amount, c.due, c.refund) = std::tuple(6, 720, 220, 0);
    c.remarks = u"发票已开"_s;
    return c;
}

} // namespace

void TestHotelCheckout::quote_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("stays");
    QTest::addColumn<QString>("rights");
    QTest::addColumn<Refusal>("refusal");
    QTest::newRow("occupied") << u"A101"_s << 2 << 2 << u"Z:c"_s << Refusal::None;
    QTest::newRow("number in another case") << u"a101"_s << 2 << 1 << u"Z:c"_s << Refusal::None;
    QTest::newRow("free room") << u"A101"_s << 1 << 1 << u"Z:c"_s << Refusal::NotFound;
    QTest::newRow("reserved room") << u"A101"_s << 3 << 1 << u"Z:c"_s << Refusal::NotFound;
    QTest::newRow("no such number") << u"A102"_s << 2 << 1 << u"Z:c"_s << Refusal::NotFound;
    QTest::newRow("number with a blank") << u"A101 "_s << 2 << 1 << u"Z:c"_s << Refusal::NotFound;
    QTest::newRow("quote") << u"1'01"_s << 2 << 1 << u"Z:c"_s << Refusal::NotFound;
    QTest::newRow("injection") << u"x' or '1'='1"_s << 2 << 1 << u"Z:c"_s << Refusal::NotFound;
    QTest::newRow("occupied without stay") << u"A101"_s << 2 << 0 << u"Z:c"_s << Refusal::NoStay;
    QTest::newRow("no right") << u"A101"_s << 2 << 1 << u"Z:ab"_s << Refusal::NoRight;
}

void TestHotelCheckout::quote()
{
    QFETCH(QString, number);
    QFETCH(int, status);
    QFETCH(int, stays);
    QFETCH(QString, rights);
    QFETCH(Refusal, refusal);
    TestDatabase db;
    addStay(db, db.addRoom(u"100"_s, 90, 2), u"别人"_s); // another room's stay is no part of it
    const qint64 room = db.addRoom(u"A101"_s, 120, status);
    QList<qint64> keys;
    for (int i = 0; i < stays; ++i)
        keys.append(addStay(db, room, i == 0 ? u"张三"_s : u"第二位"_s, 500 + i));
    hotel::Session desk(db.location(), u"clerk"_s, rights);

    const auto q = hotel::checkout::quote(&desk, number);
    if (refusal != Refusal::None) {
        QVERIFY(q.isRefused(refusal));
        return;
    }
    QVERIFY2(q.ok(), qPrintable(q.message()));
    QCOMPARE(q->room.key, room);
    QCOMPARE(q->room.number, u"A101"_s);
    QCOMPARE(q->room.price, hotel::Number(120));
    QCOMPARE(q->roomRow.value(0).toLongLong(), room);
    QList<qint64> quoted;
    for (const hotel::Stay &s : q->stays)
        quoted.append(s.key);
    QCOMPARE(quoted, keys);
    // The first stay by key is the one shown.
    QCOMPARE(q->stay().guest, u"张三"_s);
    QCOMPARE(q->stay().checkIn, hotel::Time(QDateTime(QDate(2006, 4, 20), QTime(14, 30))));
    QCOMPARE(q->stay().prepayment, hotel::Int16(500));
    QCOMPARE(q->stay().room, hotel::Int16(qint16(room)));
}

void TestHotelCheckout::confirm_data()
{
    // What another desk does between the quote and the confirmation ("?" is the room's key).
    QTest::addColumn<QStringList>("otherDesk");
    QTest::addColumn<QString>("rights");
    QTest::addColumn<Refusal>("refusal");
    QTest::newRow("as quoted") << QStringList() << u"Z:c"_s << Refusal::None;
    QTest::newRow("another room's stay changed")
        << QStringList{u"update 旅客入住 set 预付款=1 where 房间ID<>?"_s} << u"Z:c"_s << Refusal::None;
    QTest::newRow("stay changed") << QStringList{u"update 旅客入住 set 预付款=600 where 房间ID=?"_s}
                                  << u"Z:c"_s << Refusal::Changed;
    QTest::newRow("stay's time changed")
        << QStringList{u"update 旅客入住 set 入住时间='2006-04-21 14:30:00' where 房间ID=?"_s} << u"Z:c"_s
        << Refusal::Changed;
    QTest::newRow("room price changed")
        << QStringList{u"update 房间 set 标准价格=150 where 房间ID=?"_s} << u"Z:c"_s << Refusal::Changed;
    QTest::newRow("extra stay row added")
        << QStringList{u"insert into 旅客入住 (旅客姓名, 房间ID) values ('王五', ?)"_s} << u"Z:c"_s
        << Refusal::Changed;
    QTest::newRow("room not occupied")
        << QStringList{u"update 房间 set 房间状态=1 where 房间ID=?"_s} << u"Z:c"_s << Refusal::Changed;
    QTest::newRow("room deleted") << QStringList{u"delete from 房间 where 房间ID=?"_s} << u"Z:c"_s
                                  << Refusal::Changed;
    QTest::newRow("stay gone") << QStringList{u"delete from 旅客入住 where 房间ID=?"_s,
                                              u"update 房间 set 房间状态=1 where 房间ID=?"_s}
                               << u"Z:c"_s << Refusal::Gone;
    QTest::newRow("no right") << QStringList() << u"Z:ab"_s << Refusal::NoRight;
}

void TestHotelCheckout::confirm()
{
    QFETCH(QStringList, otherDesk);
    QFETCH(QString, rights);
    QFETCH(Refusal, refusal);
    TestDatabase db;
    const qint64 room = db.addRoom(u"101"_s, 120, 2);
    const qint64 other = db.addRoom(u"102"_s, 120, 2);
    addStay(db, room, u"张三"_s);
    addStay(db, room, u"第二位"_s, 100);
    const qint64 otherStay = addStay(db, other, u"别人"_s);
    const auto q = hotel::checkout::quote(hotel::session(), u"101"_s);
    QVERIFY(q.ok());
    for (const QString &sql : otherDesk)
        db.exec(sql, {room});
    const QString before = db.dump();

    hotel::Session desk(db.location(), u"clerk"_s, rights);
    const hotel::CompletedStay completed = completedFrom(q.value());
    const hotel::Outcome o = hotel::checkout::confirm(&desk, q.value(), completed);
    if (refusal != Refusal::None) {
        QVERIFY(o.isRefused(refusal));
        QCOMPARE(db.dump(), before);
        return;
    }
    QVERIFY2(o.ok(), qPrintable(o.message()));
    // The room is freed and its stay rows go; the other room keeps its guest.
    QCOMPARE(db.rows(u"select 房间ID, 房间状态 from 房间 order by 房间ID"_s),
             (QList<QStringList>{{QString::number(room), u"1"_s}, {QString::number(other), u"2"_s}}));
    QCOMPARE(db.rows(u"select 入住ID from 旅客入住"_s), QList<QStringList>{{QString::number(otherStay)}});
    // The completed stay is stored as given, column for column.
    QCOMPARE(db.rows(u"select * from 旅客退房"_s).first().mid(1),
             (QStringList{u"张三"_s, u"华光公司"_s, u"身份证"_s, u"1234"_s, u"2006-04-20 14:30:00"_s, u"3"_s,
                          u"2"_s, QString::number(room), u"500"_s, u"2006-04-26 00:00:00"_s, u"6"_s, u"720"_s,
                          u"220"_s, u"0"_s, u"发票已开"_s}));
}

void TestHotelCheckout::confirmIsAllOrNothing()
{
    TestDatabase db;
    const qint64 room = db.addRoom(u"101"_s, 120, 2);
    addStay(db, room, u"张三"_s);
    addStay(db, room, u"第二位"_s, 100);
    const auto q = hotel::checkout::quote(hotel::session(), u"101"_s);
    QVERIFY(q.ok());
    const QString before = db.dump();
    const hotel::CompletedStay completed = completedFrom(q.value());
    auto resetFaults = qScopeGuard([] { faults::reset(); });

    faults::reset();
    faults::failCommit(true);
    QVERIFY(!hotel::checkout::confirm(hotel::session(), q.value(), completed).ok());
    QCOMPARE(db.dump(), before);
    // Each statement failing in turn leaves the house as it was; the first run where no fault
    // fires is the check-out itself.
    int step = 1;
    for (;; ++step) {
        faults::reset();
        faults::failStatement(step);
        const hotel::Outcome o = hotel::checkout::confirm(hotel::session(), q.value(), completed);
        if (o.ok())
            break;
        QCOMPARE(o.kind(), hotel::Outcome::Kind::Failed);
        QVERIFY(o.message().contains(u"模拟的数据库故障"_s));
        QCOMPARE(db.dump(), before);
        QVERIFY(step < 20);
    }
    QVERIFY2(step > 4, "the writes were never failed"); // after two reads: insert, free, deletes
    QCOMPARE(db.count(u"旅客退房"_s), 1);
    QCOMPARE(db.count(u"旅客入住"_s), 0);
}

QTEST_GUILESS_MAIN(TestHotelCheckout)
#include "test_checkout.moc"
