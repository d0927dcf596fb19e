#include "data/conversions.h"
#include "hotel/records.h"
#include "hotel/statistics.h"
#include "test_database.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using hotel::Refusal;

namespace {

// A completed stay in `room`, checked in at `checkIn` (stored text, or NULL), out at `checkOut`;
// it charged `amount`, of which `due` is still to collect, and refunds `amount` / 10.
qint64 addStay(TestDatabase &db, qint64 room, const QVariant &checkIn, const QString &checkOut,
               const QString &name, int amount = 100, int due = 0)
{
    return db.insert(
        u"insert into 旅客退房 (旅客姓名, 入住时间, 计划入住天数, 入住人数, 房间ID, 预付款, 退房时间, "
        u"实际入住天数, 实际金额, 应收款, 应退款) values (?, ?, 1, 1, ?, 0, ?, 1, ?, ?, ?)"_s,
        {name, checkIn, room, checkOut, amount, due, amount / 10});
}

QDateTime at(const QString &text)
{
    return QDateTime::fromString(text, u"yyyy-MM-dd HH:mm:ss"_s);
}

QList<hotel::CompletedStay> stays(const hotel::ListingPtr &list)
{
    QList<hotel::CompletedStay> out;
    for (const QVariantList &row : list->read(0, list->count()))
        out.append(hotel::fromRow<hotel::CompletedStay>(row));
    return out;
}

// Each stay's name, in the listing's order; the count and sums must be those of these stays.
QStringList names(const hotel::Result<hotel::ListingPtr> &list)
{
    if (!list.ok()) {
        qWarning("%s", qPrintable(list.message()));
        return {u"<refused>"_s};
    }
    QStringList out;
    QList<double> sums{0, 0, 0};
    for (const hotel::CompletedStay &s : stays(list.value())) {
        out.append(s.guest);
        sums[0] += s.amount.value_or(0);
        sums[1] += s.due.value_or(0);
        sums[2] += s.refund.value_or(0);
    }
    if (list.value()->count() != out.size() || list.value()->sums() != sums)
        return {u"<totals not those of the rows>"_s};
    return out;
}

} // namespace

class TestStatistics : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void byDate_data();
    void byDate();
    void byDateMatchesFilterOverEveryRow();
    void byRoom_data();
    void byRoom();
    void rights();
};

void TestStatistics::byDate_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QStringList>("names"); // listed, newest first
    const QString design = u"2006-04-26 00:00:00"_s;
    // Stays without a readable check-in time come in every list (newest first, so at the top).
    const QStringList unreadable{u"other format"_s, u"words"_s, u"no such day"_s, u"empty"_s, u"no time"_s};
    QTest::newRow("design values") << design << design << unreadable + QStringList{u"start midnight"_s};
    QTest::newRow("end at midnight leaves out 14:00")
        << u"2006-04-26 00:00:00"_s << u"2006-04-28 00:00:00"_s
        << unreadable + QStringList{u"end midnight"_s, u"morning"_s, u"start midnight"_s};
    QTest::newRow("end at 14:00 takes it in")
        << u"2006-04-26 00:00:00"_s << u"2006-04-28 14:00:00"_s
        << unreadable + QStringList{u"end afternoon"_s, u"end midnight"_s, u"morning"_s, u"start midnight"_s};
    QTest::newRow("one second after") << u"2006-04-26 00:00:01"_s << u"2006-04-28 13:59:59"_s
                                      << unreadable + QStringList{u"end midnight"_s, u"morning"_s};
    // Checked in before the range, checked out inside it: not listed.
    QTest::newRow("check-in decides")
        << u"2006-04-27 00:00:00"_s << u"2006-05-31 00:00:00"_s
        << unreadable + QStringList{u"end afternoon"_s, u"end midnight"_s, u"morning"_s};
    QTest::newRow("start after end") << u"2006-04-28 00:00:00"_s << u"2006-04-26 00:00:00"_s << unreadable;
    QTest::newRow("everything") << u"1900-01-01 00:00:00"_s << u"9999-12-31 23:59:59"_s
                                << unreadable + QStringList{u"end afternoon"_s, u"end midnight"_s,
                                                            u"morning"_s, u"start midnight"_s, u"earlier"_s};
}

void TestStatistics::byDate()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QStringList, names);
    TestDatabase db;
    const qint64 room = db.addRoom(u"101"_s);
    int amount = 0;
    auto add = [&](const QVariant &checkIn, const QString &checkOut, const QString &name) {
        amount += 100;
        addStay(db, room, checkIn, checkOut, name, amount, amount % 300);
    };
    add(u"2006-04-20 10:00:00"_s, u"2006-04-27 00:00:00"_s, u"earlier"_s);
    add(u"2006-04-26 00:00:00"_s, u"2006-04-27 00:00:00"_s, u"start midnight"_s);
    add(u"2006-04-27 09:00:00"_s, u"2006-04-28 00:00:00"_s, u"morning"_s);
    add(u"2006-04-28 00:00:00"_s, u"2006-04-29 00:00:00"_s, u"end midnight"_s);
    add(u"2006-04-28 14:00:00"_s, u"2006-04-29 00:00:00"_s, u"end afternoon"_s);
    add(QVariant(), u"2006-04-27 00:00:00"_s, u"no time"_s);
    // Only the file can hold text that is no time; a server's date-time column refuses it.
    if (db.server().isEmpty()) {
        add(u""_s, u"2006-04-27 00:00:00"_s, u"empty"_s);
        add(u"2006-04-31 10:00:00"_s, u"2006-05-02 00:00:00"_s, u"no such day"_s);
        add(u"tomorrow"_s, u"2006-05-02 00:00:00"_s, u"words"_s);
        add(u"2006-4-27 9:00"_s, u"2006-05-02 00:00:00"_s, u"other format"_s);
    } else {
        for (const QString &n : {u"empty"_s, u"no such day"_s, u"words"_s, u"other format"_s})
            names.removeAll(n);
    }
    QCOMPARE(::names(hotel::staysCheckedInBetween(hotel::session(), at(start), at(end))), names);
}

void TestStatistics::byDateMatchesFilterOverEveryRow()
{
    TestDatabase db;
    const qint64 room = db.addRoom(u"101"_s);
    QRandomGenerator random(20061);
    const QDateTime base = at(u"2006-01-01 00:00:00"_s);
    QList<QPair<qint64, QDateTime>> all;
    db.exec(u"begin"_s);
    for (int i = 0; i < 400; ++i) {
        // Whole days, hours or seconds apart, so range ends often fall on a stay exactly.
        const qint64 step = QList<qint64>{86400, 3600, 1}.at(random.bounded(3));
        const QDateTime t = base.addSecs(step * random.bounded(400));
        all.append({addStay(db, room, conv::toStorage(t), u"2006-06-01 00:00:00"_s, u"旅客"_s), t});
    }
    db.exec(u"commit"_s);
    for (int q = 0; q < 40; ++q) {
        const QDateTime start = all.at(random.bounded(all.size())).second;
        const QDateTime end = random.bounded(4) == 0 ? start : all.at(random.bounded(all.size())).second;
        QList<qint64> expected;
        for (auto it = all.crbegin(); it != all.crend(); ++it) {
            if (start <= it->second && it->second <= end)
                expected.append(it->first);
        }
        const auto list = hotel::staysCheckedInBetween(hotel::session(), start, end);
        QVERIFY(list.ok());
        QList<qint64> keys;
        for (const hotel::CompletedStay &s : stays(list.value()))
            keys.append(s.key);
        QCOMPARE(keys, expected);
    }
}

void TestStatistics::byRoom_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("names"); // listed, newest first; none: no such room
    QTest::newRow("free now, all its past stays") << u"201"_s << QStringList{u"丙"_s, u"乙"_s, u"甲"_s};
    QTest::newRow("letters in another case") << u"a204"_s << QStringList{u"丁"_s};
    QTest::newRow("exact letters") << u"A204"_s << QStringList{u"丁"_s};
    QTest::newRow("occupied") << u"202"_s << QStringList{u"戊"_s};
    QTest::newRow("without stays") << u"203"_s << QStringList{};
    QTest::newRow("first of two rooms of a number") << u"205"_s << QStringList{u"己"_s};
    QTest::newRow("no such room") << u"999"_s << QStringList{u"<none>"_s};
    QTest::newRow("trailing blank") << u"201 "_s << QStringList{u"<none>"_s};
    QTest::newRow("quote") << u"201'"_s << QStringList{u"<none>"_s};
    QTest::newRow("a wildcard is no wildcard") << u"20_"_s << QStringList{u"<none>"_s};
}

void TestStatistics::byRoom()
{
    QFETCH(QString, number);
    QFETCH(QStringList, names);
    TestDatabase db;
    const qint64 free = db.addRoom(u"201"_s, 120, 1);
    const qint64 occupied = db.addRoom(u"202"_s, 120, 2);
    db.addRoom(u"203"_s, 120, 3);
    const qint64 lettered = db.addRoom(u"A204"_s, 120, 1);
    const qint64 first = db.addRoom(u"205"_s);
    const qint64 second = db.addRoom(u"205"_s);
    const QString out = u"2006-02-01 00:00:00"_s;
    addStay(db, free, u"2006-01-01 10:00:00"_s, out, u"甲"_s, 240, 40);
    addStay(db, occupied, u"2006-01-02 10:00:00"_s, out, u"戊"_s);
    addStay(db, free, u"2006-01-03 10:00:00"_s, out, u"乙"_s, 120);
    addStay(db, second, u"2006-01-03 10:00:00"_s, out, u"庚"_s);
    addStay(db, free, u"2006-01-02 10:00:00"_s, out, u"丙"_s, -32768,
            32767); // listed by check-out, not check-in
    addStay(db, lettered, u"2006-01-04 10:00:00"_s, out, u"丁"_s);
    addStay(db, first, u"2006-01-05 10:00:00"_s, out, u"己"_s);
    const auto list = hotel::staysOfRoom(hotel::session(), number);
    if (names == QStringList{u"<none>"_s}) {
        QVERIFY2(list.isRefused(Refusal::NotFound), qPrintable(list.message()));
        return;
    }
    QCOMPARE(::names(list), names);
}

void TestStatistics::rights()
{
    TestDatabase db;
    addStay(db, db.addRoom(u"101"_s), u"2006-04-26 00:00:00"_s, u"2006-04-27 00:00:00"_s, u"甲"_s);
    const QDateTime start = at(u"2006-01-01 00:00:00"_s);
    const QDateTime end = at(u"2006-12-31 00:00:00"_s);
    hotel::Session clerk(db.location(), u"前台"_s, u"Z:abcdf"_s);
    QVERIFY(hotel::staysCheckedInBetween(&clerk, start, end).isRefused(Refusal::NoRight));
    QVERIFY(hotel::staysOfRoom(&clerk, u"101"_s).isRefused(Refusal::NoRight));
    QVERIFY(hotel::staysCheckedInBetween(nullptr, start, end).isRefused(Refusal::NoRight));
    QVERIFY(hotel::staysOfRoom(nullptr, u"101"_s).isRefused(Refusal::NoRight));
    hotel::Session statistician(db.location(), u"统计"_s, u"Z:e"_s);
    QCOMPARE(hotel::staysCheckedInBetween(&statistician, start, end).value()->count(), 1);
    QCOMPARE(hotel::staysOfRoom(&statistician, u"101"_s).value()->count(), 1);
}

QTEST_MAIN(TestStatistics)
#include "test_statistics.moc"
