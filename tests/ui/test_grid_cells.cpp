// What a list shows: every cell as the stored value reads in the operator's locale, long lists
// read only as far as they are looked at, and columns wide enough for what they hold.
#include "data/conversions.h"
#include "data/schema.h"
#include "list_kit.h"
#include "test_database.h"
#include "ui/flex_grid.h"
#include "ui/grid_fill.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <ctime>

using namespace Qt::Literals::StringLiterals;

namespace {

// The text of each cell as read straight from the file: numbers in plain decimal, stored
// date-times of the date columns in the general date, anything else as stored.
QList<QStringList> expectedCells(const QString &path, const QString &table, const QString &order, int cols)
{
    const schema::Table *t = schema::table(table);
    QList<QStringList> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"reference"_s);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(u"select * from "_s + table + u" "_s + order);
        while (q.next()) {
            QStringList row;
            for (int c = 0; c < cols; ++c) {
                const QVariant v = q.value(c);
                const auto stored = conv::fromStorage(v.toString());
                const bool date = t->columns.at(c).type == schema::ColumnType::DateTime &&
                                  v.typeId() == QMetaType::QString && stored;
                row.append(v.isNull() ? QString()
                           : date     ? conv::dateTimeToText(*stored)
                                      : conv::variantToText(v));
            }
            rows.append(row);
        }
    }
    QSqlDatabase::removeDatabase(u"reference"_s);
    return rows;
}

QList<QStringList> shownCells(const FlexGrid &g)
{
    QList<QStringList> rows;
    for (int r = 1; r < g.Rows(); ++r) {
        QStringList row;
        for (int c = 0; c < g.Cols(); ++c)
            row.append(g.text(r, c));
        rows.append(row);
    }
    return rows;
}

void addCompletedStays(TestDatabase &db, int count)
{
    db.exec(u"begin"_s);
    for (int i = 0; i < count; ++i)
        db.exec(u"insert into 旅客退房 (旅客姓名, 证件号码, 入住时间, 房间ID, 预付款, 退房时间, 实际金额) "
                u"values (?, ?, ?, 3, ?, ?, 12.5)"_s,
                {u"客"_s + QString::number(i), u"3201021985050500"_s + QString::number(i % 100),
                 QString::asprintf("2021-%02d-%02d %02d:30:00", 1 + i % 12, 1 + i % 28, i % 24), i,
                 QString::asprintf("2021-%02d-%02d 00:00:00", 1 + i % 12, 1 + i % 28)});
    db.exec(u"commit"_s);
}

} // namespace

class TestGridCells : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        faults::reset();
        conv::setLocale(QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China));
    }
    void cellsReadAsStoredInEachLocale();
    void historyReadsOnlyWhatIsLookedAt();
    void historyIsOneSnapshot();
    void changingListsAreOneSnapshot();
    void filteredListsInEitherOrder();
    void columnsFitTheWidestDrawnValue();
};

void TestGridCells::cellsReadAsStoredInEachLocale()
{
    TestDatabase db;
    addCompletedStays(db, 5);
    // The odd values a long-kept file may hold.
    db.exec(
        u"insert into 旅客退房 (旅客姓名, 旅客单位, 证件名称, 入住时间, 房间ID, 退房时间, 备注信息) values "
        u"('', 'O''Brien & 子', '😀护照', '2021-02-30 10:00:00', 3, 20210301, x'e4b8ad')"_s);
    db.exec(u"insert into 旅客退房 (旅客姓名, 入住时间, 房间ID, 预付款, 实际金额, 退房时间) values "
            u"('负数', '2021-03-14 02:30:00', 3, -32768, 32767, '2021-11-07 01:30:00')"_s);
    db.exec(u"insert into 旅客退房 (旅客姓名, 入住时间, 房间ID, 退房时间) values ('空', NULL, 3, '2021-01-01 "
            u"24:00:00'), "
            u"('月', '2021-13-01 10:00:00', 3, '0000-01-01 10:00:00'), ('秒', '2021-01-01 10:00:60', 3, "
            u"'2021-3-01 14:30:000')"_s);
    db.exec(
        u"insert into 房间 (房间号, 房间名称, 标准价格, 会员价格, 房间状态) values "
        u"('901', '小数', 12.5, 0.1 + 0.2, 1), ('902', '负', -1234567.25, -0.0, 1), ('903', '大', 1e20, 120.0, 1)"_s);
    const QList<QLocale> locales = {QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China),
                                    QLocale(QLocale::German, QLocale::Germany),
                                    QLocale(QLocale::English, QLocale::UnitedStates)};
    for (const QLocale &l : locales) {
        conv::setLocale(l);
        FlexGrid g;
        kit::fillList(&g, grid::completedStayHeader(), grid::DefaultRowHeight, schema::CompletedStays);
        QCOMPARE(shownCells(g),
                 expectedCells(db.path(), schema::CompletedStays, u"order by 退房ID desc"_s, 16));
        kit::fillList(&g, grid::roomHeader(), grid::DefaultRowHeight, schema::Rooms, {}, {},
                      hotel::Listing::Order::OldestFirst);
        QCOMPARE(shownCells(g), expectedCells(db.path(), schema::Rooms, {}, 8));
    }
    // The check-out time shown in the general date of the locale; midnight as the date alone.
    conv::setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    FlexGrid g;
    kit::fillList(&g, grid::completedStayHeader(), grid::DefaultRowHeight, schema::CompletedStays);
    QCOMPARE(g.text(4, 10), u"11/7/2021 1:30:00 AM"_s);
    QCOMPARE(g.text(6, 10), u"5/5/2021"_s);
}

void TestGridCells::historyReadsOnlyWhatIsLookedAt()
{
    TestDatabase db;
    addCompletedStays(db, 5 * FlexGridModel::PageRows);
    faults::reset();
    FlexGrid g;
    kit::fillList(&g, grid::completedStayHeader(), grid::DefaultRowHeight, schema::CompletedStays);
    QCOMPARE(g.Rows(), 1 + 5 * FlexGridModel::PageRows);
    // The count, and the first page for the column widths.
    const int atOpen = faults::statementsRun();
    QVERIFY2(atOpen <= 4, qPrintable(QString::number(atOpen)));
    const QString last = g.text(g.Rows() - 1, 1);
    QCOMPARE(last, u"客0"_s);
    QCOMPARE(faults::statementsRun(), atOpen + 1); // that page alone
    QCOMPARE(g.text(g.Rows() - 2, 1), u"客1"_s);
    QCOMPARE(faults::statementsRun(), atOpen + 1);
    // Reading on page by page, as a print of the whole list would, gives every row once.
    QStringList names;
    for (int r = 1; r < g.Rows(); ++r)
        names.append(g.text(r, 1));
    names.removeDuplicates();
    QCOMPARE(names.size(), g.Rows() - 1);
    QCOMPARE(names.first(), u"客%1"_s.arg(g.Rows() - 2));
}

void TestGridCells::historyIsOneSnapshot()
{
    TestDatabase db;
    addCompletedStays(db, 3 * FlexGridModel::PageRows);
    const QList<QStringList> before =
        expectedCells(db.path(), schema::CompletedStays, u"order by 退房ID desc"_s, 16);
    FlexGrid g;
    kit::fillList(&g, grid::completedStayHeader(), grid::DefaultRowHeight, schema::CompletedStays);
    // Check-outs at another desk while the list is open.
    addCompletedStays(db, 10);
    QCOMPARE(g.Rows(), 1 + int(before.size()));
    QCOMPARE(shownCells(g), before);
}

void TestGridCells::changingListsAreOneSnapshot()
{
    TestDatabase db;
    db.exec(u"begin"_s);
    for (int i = 0; i < 3 * FlexGridModel::PageRows; ++i)
        db.exec(u"insert into 房间 (房间号, 房间状态) values (?, 1)"_s, {u"R"_s + QString::number(i)});
    db.exec(u"commit"_s);
    const QList<QStringList> before =
        expectedCells(db.path(), schema::Rooms, u"where 房间状态=1 order by 房间ID"_s, 8);
    FlexGrid g;
    kit::fillList(&g, grid::roomHeader(), grid::DefaultRowHeight, schema::Rooms, u"房间状态=1"_s, {},
                  hotel::Listing::Order::OldestFirst);
    // Rooms taken and removed at another desk before the rows further down are looked at.
    db.exec(u"update 房间 set 房间状态=2 where 房间ID % 5 = 0"_s);
    db.exec(u"delete from 房间 where 房间ID % 7 = 0"_s);
    QCOMPARE(shownCells(g), before);
}

void TestGridCells::filteredListsInEitherOrder()
{
    TestDatabase db;
    addCompletedStays(db, 4 * FlexGridModel::PageRows);
    db.exec(u"update 旅客退房 set 房间ID=4, 实际金额=退房ID where 退房ID % 3 = 0"_s);
    for (const auto order : {hotel::Listing::Order::NewestFirst, hotel::Listing::Order::OldestFirst}) {
        const QString sql = u"where 房间ID=4 order by 退房ID "_s +
                            (order == hotel::Listing::Order::NewestFirst ? u"desc"_s : u"asc"_s);
        const QList<QStringList> expected = expectedCells(db.path(), schema::CompletedStays, sql, 16);
        FlexGrid g;
        const auto rows =
            kit::fillList(&g, grid::completedStayHeader(), grid::DefaultRowHeight, schema::CompletedStays,
                          u"\"房间ID\"=?"_s, {4}, order, {u"实际金额"_s, u"预付款"_s});
        QCOMPARE(rows->count(), int(expected.size()));
        QCOMPARE(rows->sums().value(0),
                 db.scalar(u"select sum(实际金额) from 旅客退房 where 房间ID=4"_s).toDouble());
        QCOMPARE(rows->sums().value(1),
                 db.scalar(u"select sum(预付款) from 旅客退房 where 房间ID=4"_s).toDouble());
        // Rows added at another desk stay out; the last page is read before the ones between.
        addCompletedStays(db, 3);
        db.exec(u"update 旅客退房 set 房间ID=4 where 退房ID > ?"_s, {4 * FlexGridModel::PageRows});
        QCOMPARE(g.text(g.Rows() - 1, 0), expected.last().first());
        QCOMPARE(shownCells(g), expected);
    }
}

void TestGridCells::columnsFitTheWidestDrawnValue()
{
    TestDatabase db;
    // More bytes, but narrower on screen than the 18 digits below it.
    db.exec(
        u"insert into 旅客退房 (证件号码, 房间ID) values ('军字第20190088号', 1), ('320102198505050011', 1)"_s);
    FlexGrid g;
    g.resize(900, 400);
    kit::fillList(&g, grid::completedStayHeader(), grid::DefaultRowHeight, schema::CompletedStays);
    const QFontMetrics m = g.fontMetrics();
    QVERIFY(m.horizontalAdvance(u"320102198505050011"_s) > m.horizontalAdvance(u"军字第20190088号"_s));
    QVERIFY(g.columnWidth(4) >= m.horizontalAdvance(u"320102198505050011"_s));
}

int main(int argc, char *argv[])
{
    // Daylight saving, so the skipped and repeated hours are really there.
    qputenv("TZ", "America/New_York");
    tzset();
    QApplication app(argc, argv);
    TestGridCells t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_grid_cells.moc"
