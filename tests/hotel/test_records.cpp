#include "data/connection.h"
#include "data/conversions.h"
#include "data/schema.h"
#include "hotel/board.h"
#include "hotel/records.h"
#include "hotel/table_rows.h"
#include "test_database.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace hotel;

// Box text as typed values, and typed records through the store and back, on the store the
// tests run against; what a room tile says about its stay's departure.
class TestRecords : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void boxText_data();
    void boxText();
    void recordsComeBackAsStored();
    void rowsAreFoundAndChangedExactly();
    void overdue_data();
    void overdue();
};

void TestRecords::boxText_data()
{
    QTest::addColumn<QString>("kind"); // int16, number, time
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value"); // invalid: none
    QTest::addColumn<QString>("refusal");
    const QString zh = u"zh_CN"_s;
    const auto notInt16 = [](const QString &t) {
        return u"数值“"_s + t + u"”不是 -32768 到 32767 之间的整数（溢出或类型不匹配）。"_s;
    };
    QTest::newRow("int16 40000") << u"int16"_s << zh << u"40000"_s << QVariant() << notInt16(u"40000"_s);
    QTest::newRow("int16 abc") << u"int16"_s << zh << u"abc"_s << QVariant() << notInt16(u"abc"_s);
    QTest::newRow("int16 2.5 down to even") << u"int16"_s << zh << u"2.5"_s << QVariant(2) << QString();
    QTest::newRow("int16 1.5 up to even") << u"int16"_s << zh << u"1.5"_s << QVariant(2) << QString();
    QTest::newRow("int16 no text") << u"int16"_s << zh << QString() << QVariant() << QString();
    QTest::newRow("number 12.5") << u"number"_s << zh << u"12.5"_s << QVariant(12.5) << QString();
    QTest::newRow("number grouped") << u"number"_s << zh << u"1,234"_s << QVariant(1234.0) << QString();
    QTest::newRow("number decimal comma")
        << u"number"_s << u"de_DE"_s << u"1,5"_s << QVariant(1.5) << QString();
    QTest::newRow("number 12元") << u"number"_s << zh << u"12元"_s << QVariant()
                                 << u"“12元”不是数字（类型不匹配）。"_s;
    QTest::newRow("time as typed") << u"time"_s << zh << u"2006/4/20 14:30:05"_s
                                   << QVariant(QDateTime(QDate(2006, 4, 20), QTime(14, 30, 5))) << QString();
    QTest::newRow("time short date") << u"time"_s << zh << u"2006/4/21"_s
                                     << QVariant(QDateTime(QDate(2006, 4, 21), QTime(0, 0))) << QString();
    QTest::newRow("time 2006-02-30") << u"time"_s << zh << u"2006-02-30"_s << QVariant()
                                     << u"“2006-02-30”不是日期（类型不匹配）。"_s;
}

void TestRecords::boxText()
{
    QFETCH(QString, kind);
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    QFETCH(QString, refusal);
    conv::setLocale(QLocale(locale));
    BoxReader read;
    QVariant got;
    if (kind == u"int16"_s) {
        if (const Int16 n = read.int16(text))
            got = int(*n);
    } else if (kind == u"number"_s) {
        if (const Number d = read.number(text))
            got = *d;
    } else if (const Time t = read.time(text)) {
        got = *t;
    }
    // A later bad box never replaces the first refusal.
    read.number(u"x"_s);
    conv::setLocale(QLocale(u"zh_CN"_s));
    QCOMPARE(got, value);
    QCOMPARE(read.refusal(), refusal.isEmpty() ? u"“x”不是数字（类型不匹配）。"_s : refusal);
}

// What a window stores is what a window reads back: numbers, times, NULL and odd text alike.
void TestRecords::recordsComeBackAsStored()
{
    TestDatabase db;
    Connection c;
    c.open(db.location());
    BoxReader typed;
    Room room{0,
              u"101"_s,
              u"O'Brien \"x\" ' or '1'='1 \\ %_"_s,
              u"标准间"_s,
              u"一楼"_s,
              typed.number(u"120"_s),
              typed.number(u"99.5"_s),
              Int16(Free)};
    room.key = rows::insert(c, schema::Rooms, toRow(room));
    Stay stay{0,
              u"张三"_s,
              QString(),
              u"身份证"_s,
              u"110101"_s,
              typed.time(u"2006/4/20 14:30:05"_s),
              typed.int16(u"2.5"_s),
              typed.int16(u"1"_s),
              Int16(qint16(room.key)),
              typed.int16(u"-32768"_s),
              u"备注"_s};
    stay.key = rows::insert(c, schema::Stays, toRow(stay));
    LedgerEntry paid{0, typed.time(u"2006/4/21"_s), typed.number(u"12.5"_s), QString()};
    paid.key = rows::insert(c, schema::Takings, toRow(paid));
    QVERIFY(typed.ok());
    QVERIFY(room.key > 0 && stay.key > 0 && paid.key > 0);

    QCOMPARE(fromRow<Room>(rows::byKey(c, schema::Rooms, room.key).value()), room);
    QCOMPARE(fromRow<Stay>(rows::byKey(c, schema::Stays, stay.key).value()), stay);
    QCOMPARE(fromRow<LedgerEntry>(rows::byKey(c, schema::Takings, paid.key).value()), paid);
    // Kept as each store keeps them; an empty box as NULL.
    QCOMPARE(db.rows(u"select 标准价格, 入住时间, 计划入住天数, 旅客单位 from 房间, 旅客入住"_s),
             (QList<QStringList>{{u"120"_s, u"2006-04-20 14:30:05"_s, u"2"_s, u"<NULL>"_s}}));
    QCOMPARE(db.rows(u"select 交款时间, 交款金额, 交款人 from 交款"_s),
             (QList<QStringList>{{u"2006-04-21 00:00:00"_s, u"12.5"_s, u"<NULL>"_s}}));
}

void TestRecords::rowsAreFoundAndChangedExactly()
{
    TestDatabase db;
    Connection c;
    c.open(db.location());
    const QString odd = u"O'Brien \"x\" ' or '1'='1 \\ %_"_s;
    const qint64 a = rows::insert(c, schema::Floors, toRow(Floor{0, u"A"_s}));
    const qint64 b = rows::insert(c, schema::Floors, toRow(Floor{0, odd}));
    const auto named = [&](const QString &name) {
        return rows::where(c, schema::Floors, u"楼层名称=?"_s, {name});
    };
    const std::vector<QVariantList> found = named(odd);
    QCOMPARE(found.size(), 1u);
    QCOMPARE(fromRow<Floor>(found.front()), (Floor{b, odd}));
    QVERIFY(named(u"' or '1'='1"_s).empty());
    QVERIFY(!rows::byKey(c, schema::Floors, b + 4711));

    QCOMPARE(rows::update(c, schema::Floors, b, toRow(Floor{b, u"B2"_s})), 1);
    QCOMPARE(fromRow<Floor>(rows::byKey(c, schema::Floors, a).value()), (Floor{a, u"A"_s}));
    QCOMPARE(fromRow<Floor>(rows::byKey(c, schema::Floors, b).value()), (Floor{b, u"B2"_s}));

    // A deleted row's key is never handed out again.
    QCOMPARE(rows::remove(c, schema::Floors, b), 1);
    QVERIFY(rows::insert(c, schema::Floors, toRow(Floor{0, u"C"_s})) > b);

    // The one-row tables of a new house: the company particulars and admin with every right.
    const std::vector<QVariantList> company = rows::where(c, schema::Company, u"1=1"_s, {});
    QCOMPARE(company.size(), 1u);
    Company edited = fromRow<Company>(company.front());
    edited.name = u"新名称"_s;
    QCOMPARE(rows::update(c, schema::Company, edited.key, toRow(edited)), 1);
    QCOMPARE(fromRow<Company>(rows::byKey(c, schema::Company, edited.key).value()), edited);
    const std::vector<QVariantList> operators = rows::where(c, schema::Operators, u"1=1"_s, {});
    QCOMPARE(operators.size(), 1u);
    QCOMPARE(fromRow<Operator>(operators.front()).name, u"admin"_s);
    QCOMPARE(fromRow<Operator>(operators.front()).rights, u"Z:abcdef"_s);
}

void TestRecords::overdue_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("days");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("mark"); // empty: not overdue
    QTest::newRow("due today") << int(Occupied) << 3 << QDate(2026, 12, 8) << QString();
    QTest::newRow("due yesterday") << int(Occupied) << 3 << QDate(2026, 12, 9) << u"超期 12-08"_s;
    QTest::newRow("due last year") << int(Occupied) << 3 << QDate(2027, 1, 2) << u"超期 2026-12-08"_s;
    QTest::newRow("no planned days") << int(Occupied) << 0 << QDate(2027, 3, 1) << QString();
    QTest::newRow("reservation") << int(Reserved) << 3 << QDate(2026, 12, 20) << QString();
}

void TestRecords::overdue()
{
    QFETCH(int, status);
    QFETCH(int, days);
    QFETCH(QDate, today);
    QFETCH(QString, mark);
    const board::RoomTile tile{1, u"101"_s, {}, {}, status, 7, u"王五"_s, u"2026-12-05 14:00:00"_s, days};
    QCOMPARE(board::isOverdue(tile, today), !mark.isEmpty());
    QCOMPARE(board::overdueMark(tile, today), mark);
}

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"
