#include "data/conversions.h"
#include "hotel/board.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(hotel::board::RoomTile)

// What a tile says about its stay's departure, measured against the desk's today.
class TestBoardMarks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void overdue_data();
    void overdue();
};

namespace {

hotel::board::RoomTile tile(int status, const QDateTime &since, int plannedDays, qint64 key = 7)
{
    hotel::board::RoomTile t;
    t.status = status;
    t.recordKey = key;
    t.guest = u"王五"_s;
    t.since = conv::toStorage(since);
    t.plannedDays = plannedDays;
    return t;
}

} // namespace

void TestBoardMarks::overdue_data()
{
    QTest::addColumn<hotel::board::RoomTile>("tile");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("mark");      // empty: not overdue
    QTest::addColumn<QString>("departure"); // the day as the tile shows it
    const QDateTime dec5(QDate(2026, 12, 5), QTime(14, 0));
    const QDateTime lateDec(QDate(2025, 12, 28), QTime(23, 59));
    QTest::newRow("due today") << tile(hotel::Occupied, dec5, 3) << QDate(2026, 12, 8) << QString()
                               << u"12-08"_s;
    QTest::newRow("due yesterday") << tile(hotel::Occupied, dec5, 3) << QDate(2026, 12, 9) << u"超期 12-08"_s
                                   << u"12-08"_s;
    QTest::newRow("due last year") << tile(hotel::Occupied, lateDec, 2) << QDate(2026, 1, 2)
                                   << u"超期 2025-12-30"_s << u"2025-12-30"_s;
    QTest::newRow("due next year") << tile(hotel::Occupied, lateDec, 5) << QDate(2025, 12, 31) << QString()
                                   << u"2026-01-02"_s;
    QTest::newRow("no planned days") << tile(hotel::Occupied, dec5, 0) << QDate(2027, 3, 1) << QString()
                                     << u"2026-12-05"_s;
    QTest::newRow("reservation whose day passed")
        << tile(hotel::Reserved, dec5, 3) << QDate(2026, 12, 20) << QString() << u"12-08"_s;
    QTest::newRow("occupied room without its stay")
        << tile(hotel::Occupied, dec5, 3, -1) << QDate(2026, 12, 20) << QString() << u"12-08"_s;
}

void TestBoardMarks::overdue()
{
    QFETCH(hotel::board::RoomTile, tile);
    QFETCH(QDate, today);
    QFETCH(QString, mark);
    QFETCH(QString, departure);
    QCOMPARE(hotel::board::isOverdue(tile, today), !mark.isEmpty());
    QCOMPARE(hotel::board::overdueMark(tile, today), mark);
    QCOMPARE(hotel::board::boardDay(tile.departure(), today), departure);
}

QTEST_GUILESS_MAIN(TestBoardMarks)
#include "test_board_marks.moc"
