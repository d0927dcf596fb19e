#include "data/access_house.h"
#include "data/access_pipe.h"
#include "data/access_rows.h"
#include "data/database_builder.h"
#include "data/db_error.h"
#include "data/house_restore.h"
#include "data/schema.h"
#include "data/server_store.h"
#include "test_database.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <mdbtools.h>

using namespace Qt::Literals::StringLiterals;
using accesshouse::Problem;

Q_DECLARE_METATYPE(accesshouse::Problem)

// The old program's Access houses brought across, each value checked against libmdb's own
// reading of the file: its text rendering through bound columns, a path the import never takes.
class TestAccessHouse : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void conversions_data();
    void conversions();
    void everyValueAsLibmdbReadsIt_data();
    void everyValueAsLibmdbReadsIt();
    void oddRowsAreKeptAndReported();
    void badInputChangesNothing_data();
    void badInputChangesNothing();
    void cancelLeavesNothing();
    void pipeKeepsOrderAndStopsAtAFailure();
    void inPlaceKeepsTheAccessFile();
    void serverHouse();
};

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(QUILLON_ACCESS_FIXTURES) + u'/' + name;
}

QByteArray hashOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                       : QByteArray();
}

accesshouse::Options options()
{
    accesshouse::Options o;
    o.operatorName = u"测试"_s;
    return o;
}

// Every row of `table` as libmdb renders it, dates as ISO text; NULL and empty both read "".
QList<QStringList> libmdbRows(const QString &file, const QString &table)
{
    MdbHandle *mdb = mdb_open(QFile::encodeName(file).constData(), MDB_NOFLAGS);
    if (!mdb)
        return {};
    mdb_set_date_fmt(mdb, "%Y-%m-%d %H:%M:%S");
    mdb_set_shortdate_fmt(mdb, "%Y-%m-%d %H:%M:%S");
    mdb_set_bind_size(mdb, 1 << 20);
    QByteArray name = table.toUtf8();
    MdbTableDef *t = mdb_read_table_by_name(mdb, name.data(), MDB_TABLE);
    QList<QStringList> rows;
    if (t && mdb_read_columns(t)) {
        std::vector<QByteArray> bound(t->num_cols, QByteArray(1 << 20, '\0'));
        for (unsigned c = 0; c < t->num_cols; ++c)
            mdb_bind_column(t, int(c) + 1, bound[c].data(), nullptr);
        mdb_rewind_table(t);
        while (mdb_fetch_row(t)) {
            QStringList row;
            for (const QByteArray &b : bound)
                row.append(QString::fromUtf8(b.constData()));
            rows.append(row);
        }
    }
    mdb_free_tabledef(t);
    mdb_close(mdb);
    return rows;
}

// The house file's rows of `table` by key; NULL stays an invalid QVariant.
QList<QVariantList> houseRows(const QString &file, const QString &table)
{
    QList<QVariantList> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"check"_s);
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(u"select * from \""_s + table + u"\" order by 1"_s, db);
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < q.record().count(); ++i)
                row.append(q.value(i));
            rows.append(row);
        }
    }
    QSqlDatabase::removeDatabase(u"check"_s);
    return rows;
}

QVariant scalar(const QString &file, const QString &sql)
{
    const QList<QVariantList> rows = [&] {
        QList<QVariantList> out;
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"scalar"_s);
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(sql, db);
        if (q.next())
            out.append({q.value(0)});
        return out;
    }();
    QSqlDatabase::removeDatabase(u"scalar"_s);
    return rows.isEmpty() ? QVariant() : rows.first().first();
}

} // namespace

void TestAccessHouse::conversions_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("dateTime"); // empty: no date
    QTest::addColumn<qint64>("cents");
    QTest::newRow("Access's zero") << 0.0 << u"1899-12-30 00:00:00"_s << qint64(0);
    QTest::newRow("a day and a quarter") << 1.25 << u"1899-12-31 06:00:00"_s << qint64(125);
    QTest::newRow("before the zero, time still forward") << -1.25 << u"1899-12-29 06:00:00"_s << qint64(-125);
    QTest::newRow("a stay to the second")
        << 46354.587233796294 << u"2026-11-28 14:05:37"_s << qint64(4635459);
    QTest::newRow("rounds into the next day") << 2.9999999 << u"1900-01-02 00:00:00"_s << qint64(300);
    QTest::newRow("half a cent, as its text shows") << 1.005 << u"1899-12-31 00:07:12"_s << qint64(101);
    QTest::newRow("negative half a cent") << -0.005 << u"1899-12-30 00:07:12"_s << qint64(-1);
    QTest::newRow("Currency's fourth decimal") << 200.125 << u"1900-07-18 03:00:00"_s << qint64(20013);
    QTest::newRow("sum of tenths") << 0.1 + 0.2 << u"1899-12-30 07:12:00"_s << qint64(30);
    QTest::newRow("after 9999") << 2958466.0 << QString() << qint64(295846600);
    QTest::newRow("before the year 100") << -657435.0 << QString() << qint64(-65743500);
}

void TestAccessHouse::conversions()
{
    QFETCH(double, value);
    QFETCH(QString, dateTime);
    QFETCH(qint64, cents);
    QCOMPARE(accesshouse::detail::dateTimeText(value).value_or(QString()), dateTime);
    QCOMPARE(accesshouse::detail::centsOf(value), cents);
    QVERIFY(!accesshouse::detail::dateTimeText(qQNaN()));
}

void TestAccessHouse::everyValueAsLibmdbReadsIt_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("plain: captions, Double money, a password") << u"plain.mdb"_s;
    QTest::newRow("renamed: other names, Currency, odd rows") << u"renamed.mdb"_s;
    QTest::newRow("types: Integer key, Byte, Long, Single, Decimal, long memo") << u"types.mdb"_s;
    QTest::newRow("empty: one operator, the company") << u"empty.mdb"_s;
}

void TestAccessHouse::everyValueAsLibmdbReadsIt()
{
    QFETCH(QString, file);
    QTemporaryDir dir;
    const QString source = dir.filePath(u"old.mdb"_s);
    QVERIFY(QFile::copy(fixture(file), source));
    // Read from a medium that cannot be written: only ever read.
    QFile::setPermissions(source, QFileDevice::ReadOwner);
    const QByteArray before = hashOf(source);
    const QString house = dir.filePath(u"innkeep.mdb"_s);

    const accesshouse::Report looked = accesshouse::inspect(source);
    const accesshouse::Report r = accesshouse::importToFile(source, house, options());
    QVERIFY2(r.ok(), qPrintable(accesshouse::reportText(r)));
    QCOMPARE(hashOf(source), before);
    QCOMPARE(houserestore::check(house, {}, u"58316094"_s).problem, houserestore::Problem::None);

    QHash<QString, qint64> sums;
    QCOMPARE(r.tables.size(), 9);
    for (int n = 0; n < r.tables.size(); ++n) {
        const accesshouse::TableCount &count = r.tables[n];
        const schema::Table *t = schema::table(count.table);
        QList<QStringList> expected = libmdbRows(source, t->name);
        const QList<QVariantList> got = houseRows(house, t->name);
        QCOMPARE(count.read, qint64(expected.size()));
        QCOMPARE(count.written, qint64(got.size()));
        QCOMPARE(looked.tables.value(n).read, count.read);
        QCOMPARE(got.size(), expected.size());
        // Rows by key (the company's in the file's order, keyed from 1).
        if (t->name != schema::Company)
            std::sort(expected.begin(), expected.end(), [](const QStringList &a, const QStringList &b) {
                return a[0].toLongLong() < b[0].toLongLong();
            });
        for (int i = 0; i < got.size(); ++i) {
            for (int c = 0; c < t->columns.size(); ++c) {
                const QString &want = expected[i][c];
                const QVariant &have = got[i][c];
                const QString where =
                    t->name + u" row "_s + QString::number(i) + u" column "_s + QString::number(c);
                switch (t->columns[c].type) {
                case schema::ColumnType::Key:
                    QCOMPARE(have.toLongLong(), t->name == schema::Company ? i + 1 : want.toLongLong());
                    break;
                case schema::ColumnType::Int16:
                    QVERIFY2(have.isNull() ? want.isEmpty() : have.toString() == want, qPrintable(where));
                    break;
                case schema::ColumnType::Number: {
                    const qint64 cents = accesshouse::detail::centsOf(want.toDouble());
                    QVERIFY2(accesshouse::detail::centsOf(have.toDouble()) == cents, qPrintable(where));
                    sums[t->name + t->columns[c].name] += cents;
                    break;
                }
                case schema::ColumnType::DateTime:
                    // libmdb renders no date before its zero.
                    if (have.toString() >= u"1899-12-30"_s)
                        QVERIFY2(have.toString() == want,
                                 qPrintable(where + u": "_s + have.toString() + u" "_s + want));
                    break;
                case schema::ColumnType::Text:
                    QVERIFY2(have.toString() == want, qPrintable(where));
                    break;
                }
                if (t->columns[c].type == schema::ColumnType::Int16)
                    sums[t->name + t->columns[c].name] += want.toLongLong() * 100;
            }
        }
        // Each counter past the largest key: the next row is numbered after it.
        if (!got.isEmpty())
            QCOMPARE(scalar(house, u"select seq from sqlite_sequence where name='"_s + t->name + u"'"_s)
                         .toLongLong(),
                     got.last().first().toLongLong());
    }
    for (const accesshouse::MoneySum &s : r.sums) {
        QCOMPARE(s.readCents, sums.value(s.table + s.column));
        QCOMPARE(s.writtenCents, s.readCents);
    }
    // One row of who did what, with the proof and the word about passwords.
    QCOMPARE(scalar(house, u"select count(*) from 操作记录"_s).toInt(), 1);
    QCOMPARE(scalar(house, u"select 数据表 from 操作记录"_s).toString(), accesshouse::reportText(r));
    QVERIFY(accesshouse::reportText(r).contains(u"区分大小写"_s));
}

void TestAccessHouse::oddRowsAreKeptAndReported()
{
    QTemporaryDir dir;
    const QString house = dir.filePath(u"innkeep.mdb"_s);
    const accesshouse::Report r = accesshouse::importToFile(fixture(u"renamed.mdb"_s), house, options());
    QVERIFY(r.ok());
    using accesshouse::Oddity;
    QCOMPARE(r.oddCount(Oddity::StayWithoutRoom), 1);
    QCOMPARE(r.oddCount(Oddity::RoomWithoutFloor), 1);
    QCOMPARE(r.oddCount(Oddity::DuplicateRoomNumber), 1);
    QCOMPARE(r.oddCount(Oddity::SecondCompanyRow) + r.oddCount(Oddity::NoCompanyRow), 0);
    QCOMPARE(r.odd.size(), 3);
    QCOMPARE(r.odd.last().key, 4); // 赵六's stay names room 99
    QCOMPARE(r.odd.last().detail, u"99"_s);
    // Kept as they were: the stay of room 99, both rooms 401; NULL and empty texts apart.
    QCOMPARE(scalar(house, u"select 房间ID from 旅客入住 where 入住ID=4"_s).toInt(), 99);
    QCOMPARE(scalar(house, u"select count(*) from 房间 where 房间号='401'"_s).toInt(), 2);
    QCOMPARE(
        scalar(house, u"select quote(旅客单位) || quote(备注信息) from 旅客入住 where 入住ID=2"_s).toString(),
        u"''NULL"_s);
    QCOMPARE(
        scalar(house, u"select quote(旅客单位) || quote(备注信息) from 旅客入住 where 入住ID=3"_s).toString(),
        u"NULL''"_s);
    QCOMPARE(scalar(house, u"select 企业简介 from 公司配置"_s).toString(), u"二十间客房，\r\n临湖。"_s);
    QVERIFY(accesshouse::reportText(r).contains(u"“旅客入住” 序号 4：房间ID 99"_s));
    QVERIFY(accesshouse::reportText(r).contains(u"所属楼层“四楼”"_s));
}

void TestAccessHouse::badInputChangesNothing_data()
{
    QTest::addColumn<QString>("file");        // a fixture, or "text", "quillon", "none"
    QTest::addColumn<qint64>("cutTo");        // bytes kept, or -1
    QTest::addColumn<qint64>("flipAt");       // a byte inverted, or -1
    QTest::addColumn<QString>("destination"); // "new", "exists", "under a file"
    QTest::addColumn<bool>("lockFile");
    QTest::addColumn<Problem>("problem");
    QTest::addColumn<QString>("where"); // the table, the column and the key named; "*": any
    const QString n = u"new"_s;
    QTest::newRow("a text file") << u"text"_s << -1LL << -1LL << n << false << Problem::NotAccess
                                 << QString();
    QTest::newRow("a Quillon house") << u"quillon"_s << -1LL << -1LL << n << false << Problem::NotAccess
                                     << QString();
    QTest::newRow("no such file") << u"none"_s << -1LL << -1LL << n << false << Problem::Missing << QString();
    QTest::newRow("cut mid-page") << u"plain.mdb"_s << 100000LL << -1LL << n << false << Problem::Damaged
                                  << QString();
    QTest::newRow("cut at a page") << u"plain.mdb"_s << 40LL * 4096 << -1LL << n << false << Problem::Damaged
                                   << u"*"_s;
    QTest::newRow("encoded, key flipped")
        << u"plain.mdb"_s << -1LL << 0x3eLL << n << false << Problem::Encrypted << QString();
    QTest::newRow("a table missing") << u"missing.mdb"_s << -1LL << -1LL << n << false
                                     << Problem::TableMissing << u"拔款"_s;
    QTest::newRow("too few columns") << u"fewcols.mdb"_s << -1LL << -1LL << n << false
                                     << Problem::TooFewColumns << u"交款"_s;
    QTest::newRow("a date kept as text")
        << u"wrongtype.mdb"_s << -1LL << -1LL << n << false << Problem::WrongType << u"旅客入住 入住时间"_s;
    QTest::newRow("40000 in a 16-bit column") << u"toolarge.mdb"_s << -1LL << -1LL << n << false
                                              << Problem::ValueDoesNotFit << u"旅客入住 预付款 2"_s;
    QTest::newRow("a key twice") << u"dupkey.mdb"_s << -1LL << -1LL << n << false << Problem::DuplicateKey
                                 << u"楼层 2"_s;
    QTest::newRow("Access 97, another program's")
        << u"testV1997.mdb"_s << -1LL << -1LL << n << false << Problem::TableMissing << u"操作用户"_s;
    QTest::newRow("Access 2007, empty")
        << u"empty2007.accdb"_s << -1LL << -1LL << n << false << Problem::TableMissing << u"操作用户"_s;
    QTest::newRow("open in the old program")
        << u"plain.mdb"_s << -1LL << -1LL << n << true << Problem::InUse << QString();
    QTest::newRow("a house already there")
        << u"plain.mdb"_s << -1LL << -1LL << u"exists"_s << false << Problem::DestinationExists << QString();
    QTest::newRow("a folder that is a file") << u"plain.mdb"_s << -1LL << -1LL << u"under a file"_s << false
                                             << Problem::DestinationUnwritable << QString();
}

void TestAccessHouse::badInputChangesNothing()
{
    QFETCH(QString, file);
    QFETCH(qint64, cutTo);
    QFETCH(qint64, flipAt);
    QFETCH(QString, destination);
    QFETCH(bool, lockFile);
    QFETCH(Problem, problem);
    QFETCH(QString, where);
    QTemporaryDir dir;
    const QString source = dir.filePath(u"old.mdb"_s);
    if (file == u"quillon"_s) {
        dbbuild::Options house;
        house.password = u"58316094"_s;
        QCOMPARE(dbbuild::createDatabase(source, house), QString());
    } else if (file != u"none"_s) {
        QFile in(fixture(file));
        QByteArray bytes = file == u"text"_s ? u"这不是数据库"_s.toUtf8().repeated(9000)
                                             : (in.open(QIODevice::ReadOnly), in.readAll());
        if (cutTo >= 0)
            bytes.truncate(cutTo);
        if (flipAt >= 0)
            bytes[flipAt] = char(~bytes[flipAt]);
        QFile out(source);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    }
    if (lockFile)
        QVERIFY(QFile(dir.filePath(u"old.ldb"_s)).open(QIODevice::WriteOnly));
    QDir(dir.path()).mkdir(u"out"_s);
    QString house = dir.filePath(u"out/innkeep.mdb"_s);
    if (destination == u"exists"_s)
        QVERIFY(QFile(house).open(QIODevice::WriteOnly));
    if (destination == u"under a file"_s)
        house = source + u"/innkeep.mdb"_s;
    const QByteArray before = hashOf(source);

    const accesshouse::Report r = accesshouse::importToFile(source, house, options());
    QCOMPARE(r.failure.problem, problem);
    QVERIFY(!accesshouse::problemText(r.failure).isEmpty());
    QStringList named{r.failure.table, r.failure.column,
                      r.failure.key ? QString::number(*r.failure.key) : QString()};
    named.removeAll(QString());
    if (where != u"*"_s)
        QCOMPARE(named.join(u' '), where);
    QCOMPARE(hashOf(source), before);
    QCOMPARE(QDir(dir.filePath(u"out"_s)).entryList(QDir::Files | QDir::Hidden),
             destination == u"exists"_s ? QStringList{u"innkeep.mdb"_s} : QStringList());
    // The look before the move finds what the move found in the file.
    if (destination == u"new"_s && !lockFile)
        QCOMPARE(accesshouse::inspect(source).failure.problem, problem);
    // A lock file left behind by a crash does not hold the move up when told so.
    if (lockFile) {
        accesshouse::Options anyway = options();
        anyway.ignoreLockFile = true;
        QVERIFY(accesshouse::importToFile(source, house, anyway).ok());
    }
}

void TestAccessHouse::cancelLeavesNothing()
{
    QTemporaryDir dir;
    accesshouse::Options o = options();
    qint64 calls = 0;
    o.progress = [&calls](qint64 done, qint64 total) {
        ++calls;
        return done < total ? accesshouse::Step::Continue : accesshouse::Step::Cancel;
    };
    const accesshouse::Report r =
        accesshouse::importToFile(fixture(u"plain.mdb"_s), dir.filePath(u"innkeep.mdb"_s), o);
    QCOMPARE(r.failure.problem, Problem::Cancelled);
    QVERIFY(calls >= 9);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// Rows cross to the writing thread in batches: every table's rows in order behind its own
// beginTable, and a failure there reaches the reader with nothing written after it.
void TestAccessHouse::pipeKeepsOrderAndStopsAtAFailure()
{
    using accesshouse::detail::Cell;
    struct Recorder : accesshouse::detail::RowSink {
        QStringList seen;
        qint64 failAt = -1;
        void beginTable(const schema::Table &t) override { seen.append(t.name); }
        void row(const std::vector<Cell> &cells) override
        {
            if (cells.front().integer == failAt) {
                accesshouse::Failure f;
                f.problem = Problem::WriteFailed;
                throw accesshouse::detail::Stop{f};
            }
            seen.append(QString::number(cells.front().integer));
        }
    };
    const schema::Table &floors = schema::tables().at(0);
    const schema::Table &rooms = schema::tables().at(1);
    std::vector<Cell> cells(1);
    cells[0].kind = Cell::Kind::Integer;
    // Keys 1… in the first table, 10001… in the second; the failure comes in the second.
    for (const qint64 failAt : {qint64(-1), qint64(11500)}) {
        Recorder sink;
        sink.failAt = failAt;
        QStringList expected;
        bool stopped = false;
        try {
            accesshouse::detail::PipedSink pipe(sink);
            for (const schema::Table *t : {&floors, &rooms}) {
                pipe.beginTable(*t);
                expected.append(t->name);
                const qint64 first = t == &floors ? 1 : 10001;
                for (qint64 key = first; key < first + 2000; ++key) {
                    cells[0].integer = key;
                    pipe.row(cells);
                    if (failAt < 0 || key < failAt)
                        expected.append(QString::number(key));
                }
            }
            pipe.close();
        } catch (const accesshouse::detail::Stop &s) {
            stopped = s.failure.problem == Problem::WriteFailed;
        }
        QCOMPARE(stopped, failAt >= 0);
        // The reader may have queued more, but the sink never took a row past the failure.
        QCOMPARE(sink.seen, expected);
    }
}

void TestAccessHouse::inPlaceKeepsTheAccessFile()
{
    QTemporaryDir dir;
    const QString house = dir.filePath(u"innkeep.mdb"_s);
    QVERIFY(QFile::copy(fixture(u"plain.mdb"_s), house));
    const QByteArray access = hashOf(house);
    // What a killed import left an hour ago goes; one another desk is writing now stays.
    QFile stale(house + u".importing-dead"_s);
    QVERIFY(stale.open(QIODevice::WriteOnly));
    QVERIFY(
        stale.setFileTime(QDateTime::currentDateTime().addSecs(-7200), QFileDevice::FileModificationTime));
    stale.close();
    QFile live(house + u".importing-live"_s);
    QVERIFY(live.open(QIODevice::WriteOnly));
    live.close();
    QString kept;
    const accesshouse::Report r = accesshouse::importInPlace(house, options(), &kept);
    QVERIFY2(r.ok(), qPrintable(accesshouse::reportText(r)));
    QVERIFY(!stale.exists());
    QVERIFY(live.exists());
    QVERIFY(!accesshouse::isAccessFile(house));
    QCOMPARE(houserestore::check(house, {}, u"58316094"_s).problem, houserestore::Problem::None);
    QCOMPARE(QFileInfo(kept).dir().dirName(), u"innkeep-backups"_s);
    QCOMPARE(hashOf(kept), access);
    // A second start finds the new house and brings nothing across again.
    const QByteArray imported = hashOf(house);
    QCOMPARE(accesshouse::importInPlace(house, options()).failure.problem, Problem::NotAccess);
    QCOMPARE(hashOf(house), imported);
    QCOMPARE(QDir(dir.filePath(u"innkeep-backups"_s)).entryList(QDir::Files).size(), 1);
}

void TestAccessHouse::serverHouse()
{
    if (TestDatabase::testServer().isEmpty())
        QSKIP("QUILLON_TEST_SERVER names no server");
    const QString schema = u"a_"_s + QUuid::createUuid().toString(QUuid::Id128);
    const QString server = TestDatabase::testServer() + u" options='-c search_path="_s + schema + u"'"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, u"owner"_s);
        serverstore::open(db, TestDatabase::testServer());
        QVERIFY(QSqlQuery(db).exec(u"create schema "_s + schema));
    }
    const auto drop = qScopeGuard([&schema] {
        {
            QSqlDatabase db = QSqlDatabase::database(u"owner"_s);
            QSqlQuery(db).exec(u"drop schema "_s + schema + u" cascade"_s);
        }
        QSqlDatabase::removeDatabase(u"owner"_s);
    });
    const accesshouse::Report r = accesshouse::importToServer(fixture(u"renamed.mdb"_s), server, options());
    QVERIFY2(r.ok(), qPrintable(accesshouse::reportText(r)));
    for (const accesshouse::TableCount &t : r.tables)
        QVERIFY2(t.written == t.read && t.read > 0, qPrintable(t.table));
    // A server that holds a house keeps it.
    QCOMPARE(accesshouse::importToServer(fixture(u"plain.mdb"_s), server, options()).failure.problem,
             Problem::WriteFailed);
}

QTEST_GUILESS_MAIN(TestAccessHouse)
#include "test_access_house.moc"
