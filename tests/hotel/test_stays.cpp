#include "data/connection.h"
#include "hotel/stays.h"
#include "test_database.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace hotel;

// Check-in and reservation, and the corrections and cancellations of either, below the windows:
// what each writes, and that a refusal or a failed step writes nothing at all.
class TestStays : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { faults::reset(); }
    void enterTakesTheRoomOrNothing_data();
    void enterTakesTheRoomOrNothing();
    void correctOrWithdrawTheShownRecord_data();
    void correctOrWithdrawTheShownRecord();
};

namespace {

const QString outOfRange = u"数值“40000”不是 -32768 到 32767 之间的整数（溢出或类型不匹配）。"_s;

Stay particulars(const QString &guest, qint64 room, const QString &remarks = {})
{
    return {0,           guest,     u"华光公司"_s,
            u"身份证"_s, u"1234"_s, QDateTime(QDate(2006, 4, 20), QTime(14, 30)),
            qint16(3),   qint16(2), qint16(room),
            qint16(500), remarks};
}

qint64 addRecord(TestDatabase &db, StayKind kind, const QString &guest, qint64 room,
                 const QString &remarks = {})
{
    return db.insert(
        u"insert into "_s + stayTable(kind) +
            u" (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, 入住人数, 房间ID, "
            u"预付款, 备注信息) values (?, '华光公司', '身份证', '1234', '2006-04-20 14:30:00', 3, "
            u"2, ?, 500, ?)"_s,
        {guest, room, remarks.isEmpty() ? QVariant() : QVariant(remarks)});
}

int status(TestDatabase &db, qint64 room)
{
    return db.scalar(u"select 房间状态 from 房间 where 房间ID=?"_s, {room}).toInt();
}

// Every record of the kind as a list window is given them.
QList<Stay> listed(StayKind kind)
{
    QList<Stay> out;
    const auto list = listStays(session(), kind);
    if (list.ok()) {
        for (const QVariantList &row : list.value()->read(0, list.value()->count()))
            out.append(fromRow<Stay>(row));
    }
    return out;
}

QString other(StayKind kind)
{
    return stayTable(kind == StayKind::Stay ? StayKind::Reservation : StayKind::Stay);
}

enum Fault { NoFault, BadBox, SecondWriteFails, CommitFails, ChangedMeanwhile, DeletedMeanwhile };

const char *nameOf(StayKind kind)
{
    return kind == StayKind::Stay ? "check-in" : "reservation";
}

void enterRows(const char *name, int roomStatus, Fault fault, Refusal refusal)
{
    for (StayKind k : {StayKind::Stay, StayKind::Reservation})
        QTest::addRow("%s %s", nameOf(k), name) << int(k) << roomStatus << int(fault) << int(refusal);
}

void shownRows(const char *name, bool withdraw, const QString &remarks, Fault fault, Refusal refusal)
{
    for (StayKind k : {StayKind::Stay, StayKind::Reservation})
        QTest::addRow("%s %s", nameOf(k), name)
            << int(k) << withdraw << remarks << int(fault) << int(refusal);
}

} // namespace

void TestStays::enterTakesTheRoomOrNothing_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("roomStatus"); // 0: the room was deleted
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("refusal"); // Refusal::None and a fault of the store: failed
    enterRows("takes a free room", 1, NoFault, Refusal::None);
    enterRows("room occupied meanwhile", 2, NoFault, Refusal::RoomNotFree);
    enterRows("room reserved meanwhile", 3, NoFault, Refusal::RoomNotFree);
    enterRows("room deleted meanwhile", 0, NoFault, Refusal::RoomNotFree);
    enterRows("a box out of range", 1, BadBox, Refusal::BadValue);
    enterRows("the row fails after the room was taken", 1, SecondWriteFails, Refusal::None);
    enterRows("the commit fails", 1, CommitFails, Refusal::None);
}

void TestStays::enterTakesTheRoomOrNothing()
{
    QFETCH(int, kind);
    QFETCH(int, roomStatus);
    QFETCH(int, fault);
    QFETCH(int, refusal);
    const auto k = StayKind(kind);
    TestDatabase db;
    const qint64 neighbour = db.addRoom(u"101"_s);
    const qint64 room = db.addRoom(u"102"_s, 120, roomStatus ? roomStatus : 1);
    if (!roomStatus)
        db.exec(u"delete from 房间 where 房间ID=?"_s, {room});
    const QString before = db.dump();
    BoxReader typed;
    Stay stay = particulars(u"张三"_s, room);
    if (fault == BadBox)
        stay.prepayment = typed.int16(u"40000"_s);
    faults::reset();
    if (fault == SecondWriteFails)
        faults::failStatement(2);
    faults::failCommit(fault == CommitFails);

    const Result<qint64> entered = enterStay(session(), k, stay, typed);
    faults::reset();

    if (roomStatus == 1 && fault == NoFault) {
        QVERIFY(entered.ok());
        QCOMPARE(db.rows(u"select * from "_s + stayTable(k)),
                 (QList<QStringList>{{QString::number(entered.value()), u"张三"_s, u"华光公司"_s, u"身份证"_s,
                                      u"1234"_s, u"2006-04-20 14:30:00"_s, u"3"_s, u"2"_s,
                                      QString::number(room), u"500"_s, u"<NULL>"_s}}));
        QCOMPARE(status(db, room), int(roomStatusOf(k)));
        QCOMPARE(status(db, neighbour), 1);
        QCOMPARE(db.count(other(k)), 0);
        return;
    }
    QVERIFY(!entered.ok());
    if (refusal != int(Refusal::None))
        QVERIFY(entered.isRefused(Refusal(refusal)));
    else
        QCOMPARE(entered.kind(), Outcome::Kind::Failed);
    if (fault == BadBox)
        QCOMPARE(entered.message(), outOfRange);
    QCOMPARE(db.dump(), before);
}

void TestStays::correctOrWithdrawTheShownRecord_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("withdraw");
    QTest::addColumn<QString>("remarks"); // typed in the box when correcting
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("refusal");
    shownRows("corrected, remarks kept", false, {}, NoFault, Refusal::None);
    shownRows("corrected, remarks replaced", false, u"加床"_s, NoFault, Refusal::None);
    shownRows("corrected after a change elsewhere", false, {}, ChangedMeanwhile, Refusal::Changed);
    shownRows("corrected after a delete elsewhere", false, {}, DeletedMeanwhile, Refusal::Gone);
    shownRows("corrected with a box out of range", false, {}, BadBox, Refusal::BadValue);
    shownRows("withdrawn, room freed", true, {}, NoFault, Refusal::None);
    shownRows("withdrawn after a change elsewhere", true, {}, ChangedMeanwhile, Refusal::Changed);
    shownRows("withdrawn after a delete elsewhere", true, {}, DeletedMeanwhile, Refusal::Gone);
    // Lookup, delete, then freeing the room fails.
    shownRows("withdrawn, freeing the room fails", true, {}, SecondWriteFails, Refusal::None);
}

void TestStays::correctOrWithdrawTheShownRecord()
{
    QFETCH(int, kind);
    QFETCH(bool, withdraw);
    QFETCH(QString, remarks);
    QFETCH(int, fault);
    QFETCH(int, refusal);
    const auto k = StayKind(kind);
    TestDatabase db;
    const int taken = int(roomStatusOf(k));
    const qint64 room = db.addRoom(u"101"_s, 120, taken);
    const qint64 otherRoom = db.addRoom(u"202"_s, 150, taken);
    const qint64 key = addRecord(db, k, u"张三"_s, room, u"靠窗"_s);
    const qint64 otherKey = addRecord(db, k, u"李四"_s, otherRoom);
    const QList<Stay> shown = listed(k);
    QCOMPARE(shown.size(), 2);
    Stay expected = particulars(u"张三"_s, room, u"靠窗"_s);
    expected.key = key;
    QVERIFY(shown.first() == expected);
    const auto byKey = u"select * from "_s + stayTable(k) + u" where "_s +
                       (k == StayKind::Stay ? u"入住ID"_s : u"预订ID"_s) + u"=?"_s;
    const QList<QStringList> otherRow = db.rows(byKey, {otherKey});

    if (fault == ChangedMeanwhile)
        db.exec(u"update "_s + stayTable(k) + u" set 旅客单位='另一台前台' where 房间ID=?"_s, {room});
    if (fault == DeletedMeanwhile)
        db.exec(u"delete from "_s + stayTable(k) + u" where 房间ID=?"_s, {room});
    const QString before = db.dump();
    BoxReader typed;
    Stay edited = shown.first();
    edited.guest = u"张三丰"_s;
    edited.plannedDays = 5;
    edited.remarks = remarks;
    if (fault == BadBox)
        edited.persons = typed.int16(u"40000"_s);
    faults::reset();
    if (fault == SecondWriteFails)
        faults::failStatement(3);

    const Outcome o = withdraw ? withdrawStay(session(), k, shown.first())
                               : correctStay(session(), k, shown.first(), edited, typed);
    faults::reset();

    if (refusal == int(Refusal::None) && fault == NoFault) {
        QVERIFY(o.ok());
        if (withdraw) {
            QCOMPARE(db.rows(byKey, {key}), QList<QStringList>{});
            QCOMPARE(status(db, room), 1);
        } else {
            QCOMPARE(db.rows(byKey, {key}).value(0).mid(1),
                     (QStringList{u"张三丰"_s, u"华光公司"_s, u"身份证"_s, u"1234"_s,
                                  u"2006-04-20 14:30:00"_s, u"5"_s, u"2"_s, QString::number(room), u"500"_s,
                                  remarks.isEmpty() ? u"靠窗"_s : remarks}));
            QCOMPARE(status(db, room), taken); // a correction never touches the room
        }
        QCOMPARE(db.rows(byKey, {otherKey}), otherRow);
        QCOMPARE(status(db, otherRoom), taken);
        return;
    }
    QVERIFY(!o.ok());
    if (refusal != int(Refusal::None))
        QVERIFY(o.isRefused(Refusal(refusal)));
    else
        QCOMPARE(o.kind(), Outcome::Kind::Failed);
    if (fault == BadBox)
        QCOMPARE(o.message(), outOfRange);
    QCOMPARE(db.dump(), before);
}

QTEST_MAIN(TestStays)
#include "test_stays.moc"
