#include "data/connection.h"
#include "data/schema.h"
#include "data/statement.h"
#include "hotel/history.h"
#include "hotel/house.h"
#include "test_database.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Guest {
    QVariant name, id, unit;
    QString room;
};

// What desks type into these boxes, with the characters LIKE treats specially, full-width
// letters, É and the Kelvin sign (which folds to an ASCII k).
const QList<Guest> Guests = {
    {u"张伟"_s, u"310101198001011234"_s, u"华东电力设计院"_s, u"101"_s},
    {u"张伟明"_s, u"32010219850505234X"_s, u"个人"_s, u"102"_s},
    {u"欧阳秀英"_s, u"E12345678"_s, u"Quillon Travel"_s, u"201"_s},
    {u"李娜"_s, u"军字第20190088号"_s, u"50%折扣_团"_s, u"1010"_s},
    {u"Wang Fang"_s, u"x1985y"_s, QVariant(), u"101"_s},
    {u"MARY O'Neil"_s, u"AB_12%3"_s, u"Foo\"Bar"_s, u"102"_s},
    {u"ＫＩＭ"_s, u"É123"_s, u"\u212Aelvin"_s, u"201"_s},
    {u"张"_s, QVariant(), u"伟业公司"_s, u"102"_s},
    {u"王"_s, u"1"_s, u""_s, u"201"_s},
    {u"Ab!c"_s, u"!9"_s, u"ÀB"_s, u"2010"_s},
};

QString asciiLower(QString text)
{
    for (QChar &c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return text;
}

// The keys found, newest first, and their amounts added up.
QString found(const QStringList &keys, double amount)
{
    return keys.join(u","_s) + u" sum "_s + QString::number(amount);
}

// A plain substring filter over every stay as stored, folded as each store's LIKE folds: the file
// only ASCII letters, a server's lower() every letter.
QString expected(TestDatabase &db, const QString &text)
{
    const bool server = !db.server().isEmpty();
    const QString needle = text.trimmed().toLower();
    QStringList keys;
    double amount = 0;
    for (const QStringList &row :
         db.rows(u"select s.退房ID, s.实际金额, s.旅客姓名, s.证件号码, s.旅客单位, r.房间号 from 旅客退房 s "
                 u"left join 房间 r on r.房间ID = s.房间ID order by s.退房ID desc"_s)) {
        bool hit = needle.isEmpty();
        for (int i = 2; i < row.size(); ++i)
            hit = hit || (row[i] != u"<NULL>"_s &&
                          (server ? row[i].toLower() : asciiLower(row[i])).contains(needle));
        if (hit) {
            keys.append(row[0]);
            amount += row[1].toDouble();
        }
    }
    return found(keys, amount) + u" of "_s + QString::number(keys.size());
}

QString listed(const QString &text)
{
    const auto list = hotel::history::list(hotel::session(), text, {u"实际金额"_s});
    if (!list.ok())
        return list.message();
    QStringList keys;
    for (const QVariantList &row : list.value()->read(0, list.value()->count()))
        keys.append(row.value(0).toString());
    return found(keys, list.value()->sums().value(0)) + u" of "_s + QString::number(list.value()->count());
}

void addGuests(TestDatabase &db)
{
    QHash<QString, qint64> rooms;
    int amount = 0;
    for (const Guest &g : Guests) {
        if (!rooms.contains(g.room))
            rooms[g.room] = db.addRoom(g.room);
        amount += 10;
        db.insert(
            u"insert into 旅客退房 (旅客姓名, 证件号码, 旅客单位, 房间ID, 实际金额) values (?, ?, ?, ?, ?)"_s,
            {g.name, g.id, g.unit, rooms[g.room], amount});
    }
}

// The file's index holds every stay, and no other.
void checkIndexHoldsEveryStay(TestDatabase &db)
{
    QCOMPARE(
        db.scalar(u"select group_concat(doc) from (select distinct doc from 旅客退房_检索词 order by doc)"_s),
        db.scalar(u"select group_concat(退房ID) from (select 退房ID from 旅客退房 order by 退房ID)"_s));
}

const QStringList Texts = {u"张伟"_s,  u"张"_s,     u"欧阳秀"_s,  u"伟明"_s,   u"1985"_s,
                           u"19"_s,    u"1"_s,      u"x"_s,       u"wang"_s,   u"WANG FANG"_s,
                           u"%"_s,     u"_"_s,      u"50%"_s,     u"b_1"_s,    u"'"_s,
                           u"\"bar"_s, u"ＫＩＭ"_s, u"ｋｉ"_s,    u"é1"_s,     u"kel"_s,
                           u"101"_s,   u"10"_s,     u"  李娜 "_s, u"军字第"_s, u"no such guest"_s,
                           u""_s,      u"!"_s,      u"b!"_s,      u"!9"_s,     u"k"_s,
                           u"ｋ"_s,    u"é"_s,      u"àb"_s,      u"9"_s,      u"阳"_s};

// The server's texts of one or two characters that its index of characters and pairs answers.
const QStringList ShortTexts = {u"张"_s, u"伟明"_s, u"ｋ"_s, u"b!"_s, u"k9"_s};

} // namespace

class TestHistorySearch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void findsWhatAPlainFilterFinds_data();
    void findsWhatAPlainFilterFinds();
    void olderHouseGetsTheIndexWhenOpened();
    void serverReadsShortTextsThroughItsIndex();
    void longListsPageWhatAPlainFilterFinds();
};

void TestHistorySearch::findsWhatAPlainFilterFinds_data()
{
    QTest::addColumn<QString>("text");
    for (const QString &t : Texts)
        QTest::newRow(qPrintable(u"\""_s + t + u"\""_s)) << t;
}

void TestHistorySearch::findsWhatAPlainFilterFinds()
{
    QFETCH(QString, text);
    TestDatabase db;
    const bool file = db.server().isEmpty();
    addGuests(db);
    const auto check = [&](const char *when) {
        QVERIFY2(listed(text) == expected(db, text),
                 qPrintable(QString::fromLatin1(when) + u": listed "_s + listed(text) + u", stored "_s +
                            expected(db, text)));
        if (file)
            checkIndexHoldsEveryStay(db);
    };
    check("after inserts");
    if (QTest::currentTestFailed())
        return;
    // Corrections of each searched column, to and from NULL.
    db.exec(u"update 旅客退房 set 旅客姓名='赵磊', 证件号码='19851985' where 旅客姓名='张伟明'"_s);
    db.exec(u"update 旅客退房 set 旅客单位='伟大 Travel', 证件号码=NULL where 旅客姓名='Wang Fang'"_s);
    db.exec(u"update 旅客退房 set 旅客姓名=NULL where 旅客姓名='李娜'"_s);
    check("after corrections");
    if (QTest::currentTestFailed())
        return;
    if (file) {
        const QString old = u"select count(*) from 旅客退房_检索 where 旅客退房_检索 match ?"_s;
        QCOMPARE(db.scalar(old, {u"\"张伟明\""_s}).toInt(), 0);
        QCOMPARE(db.scalar(old, {u"\"x1985y\""_s}).toInt(), 0);
    }
    db.exec(u"delete from 旅客退房 where 旅客姓名 in ('张伟', '欧阳秀英') or 旅客姓名 is null"_s);
    check("after deletes");
}

void TestHistorySearch::olderHouseGetsTheIndexWhenOpened()
{
    TestDatabase db;
    const bool file = db.server().isEmpty();
    addGuests(db);
    const QString probe =
        file ? u"select count(*) from sqlite_master where name = ?"_s
             : u"select count(*) from pg_indexes where schemaname=current_schema() and indexname=?"_s;
    const QVariantList name{
        schema::searchIndexName(file ? dialect::Engine::Sqlite : dialect::Engine::Postgres)};
    // As a house was before the index: no table, no triggers (their names start with its own).
    if (file) {
        for (const QStringList &row :
             db.rows(u"select type, name from sqlite_master where name like '旅客退房!_检索%' "
                     u"escape '!' and type in ('table', 'trigger') and sql is not null"_s))
            db.exec(u"drop "_s + row[0] + u" if exists \""_s + row[1] + u"\""_s);
    } else {
        for (
            const QStringList &row : db.rows(
                u"select indexname from pg_indexes where schemaname=current_schema() and indexname like '%检索'"_s))
            db.exec(u"drop index \""_s + row[0] + u"\""_s);
        db.exec(u"drop function "_s + schema::ShortPieces + u"(text)"_s);
    }
    QCOMPARE(db.scalar(probe, name).toInt(), 0);
    // Without the index the search still finds what it should.
    QCOMPARE(listed(u"张伟"_s), expected(db, u"张伟"_s));
    Connection c;
    c.open(db.location());
    QCOMPARE(db.scalar(probe, name).toInt(), 1);
    if (file)
        checkIndexHoldsEveryStay(db);
    for (const QString &text : Texts)
        QVERIFY2(listed(text) == expected(db, text), qPrintable(text));
    // The data initialization leaves the index empty with the stays.
    QVERIFY(hotel::initializeData(hotel::session()).ok());
    QCOMPARE(listed(u"张"_s), expected(db, u"张"_s));
    QCOMPARE(db.count(schema::CompletedStays), 0);
    if (file)
        checkIndexHoldsEveryStay(db);
}

void TestHistorySearch::serverReadsShortTextsThroughItsIndex()
{
    TestDatabase db;
    if (db.server().isEmpty())
        QSKIP("the file finds them through its own index's vocabulary");
    addGuests(db);
    // A handful of stays is scanned whatever the indexes: only a plan without that choice shows
    // whether the search's condition is one the index answers.
    Connection c;
    c.open(db.location());
    Statement(c, u"set enable_seqscan = off"_s).next();
    for (const QString &text : ShortTexts) {
        const hotel::history::Search s = hotel::history::search(text, dialect::Engine::Postgres);
        QStringList plan;
        Statement explained(c, u"explain select * from \"旅客退房\" where "_s + s.where, s.params);
        while (explained.next())
            plan.append(explained.text(0));
        for (const QString &c : schema::searchedColumns())
            QVERIFY2(plan.join(u"\n"_s).contains(schema::CompletedStays + u"_"_s + c + u"_短检索"_s),
                     qPrintable(text + u":\n"_s + plan.join(u"\n"_s)));
    }
}

void TestHistorySearch::longListsPageWhatAPlainFilterFinds()
{
    TestDatabase db;
    // More stays than the newest keys a page looks through first, so that pages come from that
    // look, from the index below it, and from both; "1985" crowds the newest and thins out below.
    db.exec(
        u"with recursive n(i) as (select 1 union all select i + 1 from n where i < 5000) "
        u"insert into 旅客退房 (旅客姓名, 证件号码, 实际金额) select "
        u"case when i % 16 = 0 then '欧阳秀' else '' end || case when i % 3 = 0 then '张' else '王' end || "
        u"case when i % 1000 = 1 then '伟明' else '' end, "
        u"case when i > 4700 or i % 450 = 0 then '19850505' else '20000101' end, i % 97 from n"_s);
    for (const QString &text : {u"张"_s, u"欧阳秀"_s, u"伟明"_s, u"1985"_s, u""_s}) {
        const auto list = hotel::history::list(hotel::session(), text, {u"实际金额"_s},
                                               hotel::Listing::Counting::AfterFirstPage);
        QVERIFY(list.ok());
        const hotel::ListingPtr rows = list.value();
        // Read on page by page as a list scrolls, then counted.
        QStringList keys;
        std::vector<QVariantList> page;
        do {
            page = rows->read(int(keys.size()), hotel::Listing::FirstPageRows);
            for (const QVariantList &row : page)
                keys.append(row.value(0).toString());
        } while (int(page.size()) == hotel::Listing::FirstPageRows);
        const bool long_ = keys.size() >= hotel::Listing::FirstPageRows;
        QCOMPARE(rows->counted(), !long_);
        QVERIFY(rows->countRows().ok());
        QCOMPARE(found(keys, rows->sums().value(0)) + u" of "_s + QString::number(rows->count()),
                 expected(db, text));
        // A page reached by a jump, on a list of its own.
        const auto jumped = hotel::history::list(hotel::session(), text, {u"实际金额"_s},
                                                 hotel::Listing::Counting::AfterFirstPage);
        const int at = int(keys.size()) / 2;
        QStringList middle;
        for (const QVariantList &row : jumped.value()->read(at, 10))
            middle.append(row.value(0).toString());
        QCOMPARE(middle, keys.mid(at, 10));
    }
}

QTEST_GUILESS_MAIN(TestHistorySearch)
#include "test_history_search.moc"
