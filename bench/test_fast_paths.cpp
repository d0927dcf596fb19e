// The fast ways that the list fills take must give what the general ways give: date-times
// formatted without QDateTime, rows read straight from the store into UTF-8 grid cells.
#include "bench_data.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/db_error.h"
#include "data/recordset.h"
#include "ui/flex_grid.h"
#include "ui/grid_fill.h"
#include "test_database.h"

#include <QRandomGenerator>
#include <QTest>
#include <ctime>

using namespace Qt::Literals::StringLiterals;

namespace {

// What storageToText gave before it had a fast way.
QString referenceText(const QString &stored)
{
    if (const auto dt = conv::fromStorage(stored))
        return conv::dateTimeToText(*dt);
    return stored;
}

QStringList storedSamples()
{
    QStringList s = {
        u"2006-04-26 00:00:00"_s,
        u"2006-04-20 14:30:05"_s,
        u"1999-12-31 23:59:59"_s,
        u"2021-01-02 00:00:01"_s,
        u"2021-11-09 12:00:00"_s,
        u"2008-02-29 01:02:03"_s,
        u"0001-01-01 00:00:00"_s,
        u"0999-06-15 09:05:00"_s,
        u"9999-12-31 23:59:59"_s,
        u"2021-03-14 02:30:00"_s, // a skipped hour in New York
        u"2021-11-07 01:30:00"_s, // a repeated hour there
        u"2021-02-30 10:00:00"_s,
        u"2021-13-01 10:00:00"_s,
        u"2021-01-01 24:00:00"_s,
        u"2021-01-01 10:60:00"_s,
        u"0000-01-01 10:00:00"_s,
        u"2021-3-01 14:30:000"_s,
        u"2021/03/01 14:30:00"_s,
        u"2021-03-01T14:30:00"_s,
        u"2021-03-01 14:30"_s,
        u"2021-03-01"_s,
        QString(),
        u"abc"_s,
        u"２０２１-03-01 14:30:00"_s,
        u" 2021-03-01 14:30:0"_s,
    };
    QRandomGenerator r(42);
    for (int i = 0; i < 150; ++i)
        s.append(QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", r.bounded(1900, 2100), r.bounded(1, 13),
                                   r.bounded(1, 29), r.bounded(0, 24), r.bounded(0, 60), r.bounded(0, 60)));
    for (int i = 0; i < 20; ++i)
        s.append(QString::asprintf("%04d-%02d-%02d 00:00:00", r.bounded(1900, 2100), r.bounded(1, 13),
                                   r.bounded(1, 29)));
    return s;
}

// The cells a fill gave before it read the store directly: Recordset::readTexts, row by row.
QList<QStringList> throughRecordset(const QString &select, const QVariantList &params, int gridCols)
{
    Connection c;
    c.open();
    Recordset rs(c);
    rs.open(select, params);
    const int n = std::min(gridCols, rs.fieldCount());
    std::vector<QString> cells(std::size_t(std::max(n, 0)));
    QList<QStringList> rows;
    while (!rs.eof()) {
        rs.readTexts(cells.data(), n);
        QStringList row(cells.begin(), cells.end());
        while (row.size() < gridCols)
            row.append(QString());
        rows.append(row);
        rs.moveNext();
    }
    return rows;
}

QList<QStringList> gridRows(const FlexGrid &g)
{
    QList<QStringList> rows;
    for (int r = 1; r < g.Rows(); ++r) {
        QStringList row;
        for (int c = 0; c < g.Cols(); ++c)
            row.append(g.TextMatrix(r, c));
        rows.append(row);
    }
    return rows;
}

} // namespace

class TestFastPaths : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { conv::setLocale(QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China)); }
    void cleanup() { faults::reset(); }
    void storedDateTextInEveryLocale();
    void fillMatchesRecordset_data();
    void fillMatchesRecordset();
    void fillCountsOneStatementAndHonoursFaults();
    void fillKeepsTheDriversErrorText();
    void cellsSurviveUtf8Storage();
};

void TestFastPaths::storedDateTextInEveryLocale()
{
    const QStringList samples = storedSamples();
    const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    QVERIFY(locales.size() > 100);
    int fastLocales = 0;
    for (const QLocale &l : locales) {
        conv::setLocale(l);
        bool fast = false;
        for (const QString &s : samples) {
            const QString expected = referenceText(s);
            QCOMPARE(conv::storageToText(s), expected);
            const QByteArray utf8 = s.toUtf8();
            QByteArray out(conv::storageTextUtf8Room() + 1, '\0');
            const qsizetype n = conv::storageTextUtf8(utf8.constData(), utf8.size(), out.data());
            if (n >= 0) {
                fast = true;
                QVERIFY(n <= conv::storageTextUtf8Room());
                QCOMPARE(QString::fromUtf8(out.constData(), n), expected);
            }
        }
        fastLocales += fast ? 1 : 0;
    }
    // Most locales take the fast way; the rest fall back rather than differ.
    QVERIFY2(fastLocales > locales.size() / 2, qPrintable(QString::number(fastLocales)));
    // The operator's usual locales among them, the 12-hour clock included.
    for (const QLocale &l :
         {QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China),
          QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany)}) {
        conv::setLocale(l);
        char out[256];
        QVERIFY2(conv::storageTextUtf8("2006-04-20 14:30:05", 19, out) > 0, qPrintable(l.name()));
    }
}

void TestFastPaths::fillMatchesRecordset_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QVariantList>("params");
    QTest::addColumn<QString>("header");
    const QLocale zh(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
    const QLocale de(QLocale::German, QLocale::Germany);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QString stays = grid::completedStayHeader();
    for (const QLocale &l : {zh, de, us}) {
        const QString name = l.name();
        QTest::newRow(qPrintable(name + u" history"_s))
            << l << u"select * from 旅客退房 order by 退房ID desc"_s << QVariantList() << stays;
        QTest::newRow(qPrintable(name + u" rooms"_s))
            << l << u"select * from 房间"_s << QVariantList() << grid::roomHeader();
    }
    QTest::newRow("text and integer parameters")
        << zh << u"select * from 旅客退房 where 房间ID=? and 旅客单位<>?"_s << QVariantList{3, u"个人"_s}
        << stays;
    QTest::newRow("long long and double parameters")
        << zh << u"select * from 房间 where 房间ID>=? and 标准价格>?"_s
        << QVariantList{QVariant(qlonglong(2)), QVariant(50.5)} << grid::roomHeader();
    QTest::newRow("null text parameter finds nothing")
        << zh << u"select * from 房间 where 房间号=?"_s << QVariantList{QString()} << grid::roomHeader();
    QTest::newRow("date parameter goes the general way")
        << zh << u"select * from 旅客退房 where 入住时间>?"_s
        << QVariantList{QDateTime(QDate(2020, 1, 1), QTime(0, 0))} << stays;
    QTest::newRow("top n") << zh << u"select top 5 * from 旅客退房 order by 退房ID desc"_s << QVariantList()
                           << stays;
    QTest::newRow("fewer columns than the header")
        << zh << u"select 退房ID, 入住时间 from 旅客退房"_s << QVariantList() << stays;
    QTest::newRow("grid narrower than the table")
        << zh << u"select * from 旅客退房"_s << QVariantList() << u"序号|^旅客姓名|^单位"_s;
    QTest::newRow("not one of our tables: no date formatting")
        << zh << u"select * from (select * from 旅客退房)"_s << QVariantList() << stays;
}

void TestFastPaths::fillMatchesRecordset()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, select);
    QFETCH(QVariantList, params);
    QFETCH(QString, header);
    conv::setLocale(locale);
    TestDatabase db;
    benchdata::Shape shape;
    shape.floors = 2;
    shape.rooms = 6;
    shape.completedStays = 300;
    shape.currentStays = 2;
    benchdata::populate(db.path(), shape);
    // The odd values a long-kept file may hold.
    db.exec(
        u"insert into 旅客退房 (旅客姓名, 旅客单位, 证件名称, 入住时间, 房间ID, 退房时间, 备注信息) values "
        u"('', 'O''Brien & 子', '😀护照', '2021-02-30 10:00:00', 3, 20210301, x'e4b8ad')"_s);
    db.exec(u"insert into 旅客退房 (旅客姓名, 入住时间, 房间ID, 预付款, 实际金额) values "
            u"('负数', '2021-03-01 00:00:00', 3, -32768, 32767)"_s);
    db.exec(u"insert into 旅客退房 (旅客姓名, 入住时间, 房间ID) values ('空', NULL, 3)"_s);
    db.exec(
        u"insert into 房间 (房间号, 房间名称, 标准价格, 会员价格, 房间状态) values ('901', '小数', 12.5, 0.1 + 0.2, 1)"_s);
    db.exec(u"insert into 房间 (房间号, 标准价格, 会员价格, 房间状态) values ('902', 1e20, -0.0, 1)"_s);
    db.exec(
        u"insert into 房间 (房间号, 标准价格, 会员价格, 房间状态) values ('903', -1234567.25, 120.0, 1)"_s);

    FlexGrid g;
    grid::fill(&g, header, grid::DefaultRowHeight, select, params);
    const QList<QStringList> expected = throughRecordset(select, params, g.Cols());
    const QList<QStringList> shown = gridRows(g);
    QCOMPARE(shown.size(), expected.size());
    for (int r = 0; r < shown.size(); ++r)
        QCOMPARE(shown.at(r), expected.at(r));
}

void TestFastPaths::fillCountsOneStatementAndHonoursFaults()
{
    TestDatabase db;
    db.addRoom(u"101"_s);
    db.addRoom(u"102"_s);
    FlexGrid g;
    faults::reset();
    grid::fill(&g, grid::roomHeader(), grid::DefaultRowHeight, u"select * from 房间"_s);
    QCOMPARE(faults::statementsRun(), 1); // the select (opening does not count)
    QCOMPARE(g.Rows(), 3);
    faults::reset();
    faults::failStatement(1);
    QVERIFY_THROWS_EXCEPTION(
        DbError, grid::fill(&g, grid::roomHeader(), grid::DefaultRowHeight, u"select * from 房间"_s));
    QCOMPARE(g.Rows(), 1); // reset, then nothing read
    QCOMPARE(g.TextMatrix(0, 1), u"房间号        "_s);
}

void TestFastPaths::fillKeepsTheDriversErrorText()
{
    TestDatabase db;
    FlexGrid g;
    QString viaGrid, viaRecordset;
    try {
        grid::fill(&g, grid::roomHeader(), grid::DefaultRowHeight, u"select * from 没有这个表"_s);
    } catch (const DbError &e) {
        viaGrid = e.text();
    }
    try {
        Connection c;
        c.open();
        Recordset rs(c);
        rs.open(u"select * from 没有这个表"_s);
    } catch (const DbError &e) {
        viaRecordset = e.text();
    }
    QVERIFY(!viaGrid.isEmpty());
    QCOMPARE(viaGrid, viaRecordset);
}

void TestFastPaths::cellsSurviveUtf8Storage()
{
    FlexGrid g;
    g.setFormatString(u"序号|^a|^b"_s);
    const QString longText = QString(70000, u'长') + u"x"_s; // past the short length field
    const QStringList row = {u"1"_s, u"中文 ＆ 😀"_s, longText};
    g.flexModel()->beginFill();
    g.flexModel()->appendRow(row.constData(), 3);
    g.flexModel()->appendRow(row.constData(), 1);
    g.flexModel()->endFill();
    QCOMPARE(g.TextMatrix(1, 1), row.at(1));
    QCOMPARE(g.TextMatrix(1, 2), longText);
    QCOMPARE(g.TextMatrix(2, 0), u"1"_s);
    QCOMPARE(g.TextMatrix(2, 2), QString());
    g.setTextMatrix(2, 2, longText);
    g.setTextMatrix(1, 2, u"短"_s);
    QCOMPARE(g.TextMatrix(1, 2), u"短"_s);
    QCOMPARE(g.TextMatrix(2, 2), longText);
    g.setRows(5);
    QCOMPARE(g.TextMatrix(4, 1), QString());
    g.setTextMatrix(4, 1, u"新"_s);
    QCOMPARE(g.TextMatrix(4, 1), u"新"_s);
    g.setCols(4);
    QCOMPARE(g.TextMatrix(2, 2), longText);
    QCOMPARE(g.TextMatrix(1, 1), row.at(1));
    g.setRows(2);
    QCOMPARE(g.Rows(), 2);
    QCOMPARE(g.TextMatrix(1, 2), u"短"_s);
    QCOMPARE(g.TextMatrix(2, 2), QString()); // beyond the rows
}

int main(int argc, char *argv[])
{
    // Daylight saving, so the skipped and repeated hours are really there.
    qputenv("TZ", "America/New_York");
    tzset();
    QApplication app(argc, argv);
    TestFastPaths t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_fast_paths.moc"
