#include "hotel/business_figures.h"
#include "hotel/statistics.h"
#include "test_database.h"

#include <QRandomGenerator>
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
    void figuresMatchEveryStayCountedByHand();
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
    hotel::Session clerk(db.location(), u"前台"_s, u"Z:abcdf"_s);
    QVERIFY(hotel::businessFigures(&clerk, start, start, step).isRefused(hotel::Refusal::NoRight));
    QVERIFY(hotel::businessFigures(nullptr, start, start, step).isRefused(hotel::Refusal::NoRight));
    const QDateTime longest = start.addDays(hotel::MaxFigureDays - 1);
    QVERIFY(hotel::businessFigures(hotel::session(), start, longest, step).ok());
    QVERIFY(hotel::businessFigures(hotel::session(), start, longest.addDays(1), step)
                .isRefused(hotel::Refusal::BadValue));
}

// Random stays, some with times that cannot be read, counted night by night here.
void TestBusinessFigures::figuresMatchEveryStayCountedByHand()
{
    TestDatabase db;
    db.addRoom(u"101"_s);
    QRandomGenerator random(20260109);
    const QDateTime origin = at(u"2026-01-01 00:00:00"_s);
    struct Stay {
        QVariant in, out;
        int amount;
    };
    QList<Stay> stays;
    // A server keeps times as times: only an unknown one.
    const QStringList odd = db.server().isEmpty()
                                ? QStringList{u"2026-01-07"_s, u"2026-01-08 25:00:00"_s, u"昨天"_s, QString()}
                                : QStringList{QString()};
    for (int i = 0; i < 150; ++i) {
        const QDateTime in = origin.addSecs(random.bounded(60 * 24 * 3600));
        const QDateTime out = in.addSecs(random.bounded(i % 10 == 0 ? 40 * 24 * 3600 : 4 * 24 * 3600));
        QVariant inText = in.toString(u"yyyy-MM-dd HH:mm:ss"_s),
                 outText = out.toString(u"yyyy-MM-dd HH:mm:ss"_s);
        if (i % 17 == 0)
            inText = odd.at(i / 17 % odd.size());
        if (i % 23 == 0)
            outText = odd.at(i / 23 % odd.size());
        stays.append({inText, outText, 10 + i});
        db.exec(
            u"insert into 旅客退房 (旅客姓名, 入住时间, 计划入住天数, 入住人数, 房间ID, 预付款, 退房时间, "
            u"实际入住天数, 实际金额, 应收款, 应退款) values ('客', ?, 1, 1, 1, 0, ?, 1, ?, 0, 0)"_s,
            {inText, outText, 10 + i});
    }
    for (const auto &[start, end] : {std::pair{u"2026-01-10 08:00:00"_s, u"2026-02-20 17:30:00"_s},
                                     std::pair{u"2026-01-01 00:00:00"_s, u"2026-03-31 23:59:59"_s},
                                     std::pair{u"2026-02-03 12:00:00"_s, u"2026-02-03 12:00:00"_s}}) {
        const auto got = hotel::businessFigures(hotel::session(), at(start), at(end), Step::Day);
        QVERIFY2(got.ok(), qPrintable(got.message()));
        const QDate first = at(start).date();
        // A stay reaches into the days when, as stored, it leaves on or after the first and
        // arrives before the day after the last.
        const QString firstNight = first.toString(u"yyyy-MM-dd 00:00:00"_s);
        const QString afterLast = at(end).date().addDays(1).toString(u"yyyy-MM-dd 00:00:00"_s);
        QCOMPARE(got.value().periods.size(), first.daysTo(at(end).date()) + 1);
        for (const hotel::FigurePeriod &p : got.value().periods) {
            const QDate d = p.first;
            qint64 nights = 0;
            double revenue = 0;
            for (const Stay &st : std::as_const(stays)) {
                const QDate in = QDate::fromString(st.in.toString().left(10), u"yyyy-MM-dd"_s);
                const QDate out = QDate::fromString(st.out.toString().left(10), u"yyyy-MM-dd"_s);
                const bool reaches = st.out.toString() >= firstNight && st.in.toString() < afterLast;
                if (reaches && in.isValid() && out.isValid() && in <= d && d < std::max(out, in.addDays(1)))
                    ++nights;
                const QDateTime time = at(st.in.toString());
                if (time.isValid() && time.date() == d && time >= at(start) && time <= at(end))
                    revenue += st.amount;
            }
            QCOMPARE(p.roomNights, nights);
            QCOMPARE(p.revenue, revenue);
        }
    }
}

QTEST_MAIN(TestBusinessFigures)
#include "test_business_figures.moc"
