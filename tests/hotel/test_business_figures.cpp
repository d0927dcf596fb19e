#include "hotel/business_figures.h"
#include "hotel/statistics.h"
#include "test_database.h"

#include <QTest>
#include <numeric>

using namespace Qt::Literals::StringLiterals;
using Step = hotel::BusinessFigures::Step;

namespace {

QDateTime at(const QString &text)
{
    return QDateTime::fromString(text, u"yyyy-MM-dd HH:mm:ss"_s);
}

// The same house for every row: a stay across the end of January, a stay in and out on one day,
// a short one, one whose check-in time is unknown, and a guest still in the house.
void fillHouse(TestDatabase &db, int rooms)
{
    for (int r = 0; r < rooms; ++r)
        db.addRoom(QString::number(101 + r));
    const QString completed =
        u"insert into 旅客退房 (旅客姓名, 入住时间, 计划入住天数, 入住人数, 房间ID, 预付款, "
        u"退房时间, 实际入住天数, 实际金额, 应收款, 应退款) values (?, ?, 1, 1, 1, 0, ?, ?, ?, 0, 0)"_s;
    db.exec(completed, {u"甲"_s, u"2026-01-30 14:00:00"_s, u"2026-02-02 12:00:00"_s, 3, 300});
    db.exec(completed, {u"乙"_s, u"2026-02-01 10:00:00"_s, u"2026-02-01 18:00:00"_s, 1, 80});
    db.exec(completed, {u"丙"_s, u"2026-02-03 20:00:00"_s, u"2026-02-05 09:00:00"_s, 2, 240});
    db.exec(completed, {u"丁"_s, QVariant(), u"2026-02-05 09:00:00"_s, 1, 50});
    db.exec(u"insert into 旅客入住 (旅客姓名, 入住时间, 计划入住天数, 入住人数, 房间ID, 预付款) "
            u"values ('戊', '2026-02-04 15:00:00', 30, 1, 2, 0)"_s);
}

} // namespace

class TestBusinessFigures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void figures_data();
    void figures();
    void refusals();
};

void TestBusinessFigures::figures_data()
{
    QTest::addColumn<int>("rooms");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("step");
    QTest::addColumn<QStringList>("periods");   // first day, days
    QTest::addColumn<QList<int>>("revenue");    // per period
    QTest::addColumn<QList<int>>("roomNights"); // per period
    QTest::addColumn<int>("nights");            // billed in the range, the unknown check-in included

    QTest::newRow("days over a month boundary")
        << 2 << u"2026-01-31 00:00:00"_s << u"2026-02-04 23:59:59"_s << int(Step::Day)
        << QStringList{u"2026-01-31 1"_s, u"2026-02-01 1"_s, u"2026-02-02 1"_s, u"2026-02-03 1"_s,
                       u"2026-02-04 1"_s}
        << QList<int>{0, 80, 0, 240, 0} << QList<int>{1, 2, 0, 1, 2} << 4;
    QTest::newRow("months, a stay crossing the start")
        << 2 << u"2026-01-30 00:00:00"_s << u"2026-02-28 23:59:59"_s << int(Step::Month)
        << QStringList{u"2026-01-30 2"_s, u"2026-02-01 28"_s} << QList<int>{300, 320} << QList<int>{2, 29}
        << 7;
    QTest::newRow("a stay crossing the end")
        << 3 << u"2026-01-29 00:00:00"_s << u"2026-01-30 23:59:59"_s << int(Step::Day)
        << QStringList{u"2026-01-29 1"_s, u"2026-01-30 1"_s} << QList<int>{0, 300} << QList<int>{0, 1} << 4;
    QTest::newRow("check-in after the last second")
        << 2 << u"2026-02-01 00:00:00"_s << u"2026-02-01 09:59:59"_s << int(Step::Day)
        << QStringList{u"2026-02-01 1"_s} << QList<int>{0} << QList<int>{2} << 1;
    QTest::newRow("end before start") << 2 << u"2026-02-02 00:00:00"_s << u"2026-02-01 00:00:00"_s
                                      << int(Step::Day) << QStringList{} << QList<int>{} << QList<int>{} << 1;
    QTest::newRow("no stays in the range")
        << 2 << u"2025-06-01 00:00:00"_s << u"2025-06-02 23:59:59"_s << int(Step::Month)
        << QStringList{u"2025-06-01 2"_s} << QList<int>{0} << QList<int>{0} << 1;
    QTest::newRow("no rooms") << 0 << u"2026-02-01 00:00:00"_s << u"2026-02-01 23:59:59"_s << int(Step::Day)
                              << QStringList{u"2026-02-01 1"_s} << QList<int>{80} << QList<int>{2} << 2;
}

void TestBusinessFigures::figures()
{
    QFETCH(int, rooms);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(int, step);
    QFETCH(QStringList, periods);
    QFETCH(QList<int>, revenue);
    QFETCH(QList<int>, roomNights);
    QFETCH(int, nights);
    TestDatabase db;
    fillHouse(db, rooms);
    const auto got = hotel::businessFigures(hotel::session(), at(start), at(end), Step(step));
    QVERIFY2(got.ok(), qPrintable(got.message()));
    const hotel::BusinessFigures &f = got.value();
    QStringList gotPeriods;
    QList<int> gotRevenue, gotNights;
    int days = 0;
    for (const hotel::FigurePeriod &p : f.periods) {
        gotPeriods.append(p.first.toString(u"yyyy-MM-dd "_s) + QString::number(p.days));
        gotRevenue.append(int(p.revenue));
        gotNights.append(int(p.roomNights));
        days += p.days;
    }
    QCOMPARE(gotPeriods, periods);
    QCOMPARE(gotRevenue, revenue);
    QCOMPARE(gotNights, roomNights);
    QCOMPARE(f.rooms, rooms);
    QCOMPARE(f.nightsBilled, nights);
    QCOMPARE(f.days, days);
    QCOMPARE(f.roomNights, std::accumulate(roomNights.cbegin(), roomNights.cend(), qint64(0)));
    QCOMPARE(hotel::occupancy(f.roomNights, f.rooms, f.days).has_value(), rooms > 0 && days > 0);
    if (rooms > 0 && days > 0)
        QCOMPARE(*hotel::occupancy(f.roomNights, f.rooms, f.days), double(f.roomNights) / (rooms * days));
    QCOMPARE(*hotel::averagePrice(f.revenue, f.nightsBilled), f.revenue / nights);
    // The totals are those of statistics by date over the same range, to the second.
    const auto listed = hotel::staysCheckedInBetween(hotel::session(), at(start), at(end));
    QVERIFY(listed.ok());
    QCOMPARE(f.stays, listed.value()->count());
    QCOMPARE(f.revenue, listed.value()->sums().value(0));
}

void TestBusinessFigures::refusals()
{
    TestDatabase db;
    fillHouse(db, 1);
    const QDateTime start = at(u"2016-01-01 00:00:00"_s);
    const auto step = Step::Month;
    hotel::Session clerk(u"前台"_s, u"Z:abcdf"_s);
    QVERIFY(hotel::businessFigures(&clerk, start, start, step).isRefused(hotel::Refusal::NoRight));
    QVERIFY(hotel::businessFigures(nullptr, start, start, step).isRefused(hotel::Refusal::NoRight));
    const QDateTime longest = start.addDays(hotel::MaxFigureDays - 1);
    QVERIFY(hotel::businessFigures(hotel::session(), start, longest, step).ok());
    QVERIFY(hotel::businessFigures(hotel::session(), start, longest.addDays(1), step)
                .isRefused(hotel::Refusal::BadValue));
}

QTEST_MAIN(TestBusinessFigures)
#include "test_business_figures.moc"
