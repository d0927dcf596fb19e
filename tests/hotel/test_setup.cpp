#include "data/schema.h"
#include "hotel/setup.h"
#include "test_database.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using hotel::Refusal;

Q_DECLARE_METATYPE(hotel::Refusal)

// The setup operations on floors, rooms, operators and the company particulars, on the store
// the tests run against: what each stores, and what each refuses (another desk's change or
// delete since the record was listed, a value the store cannot take, a missing right).
class TestSetup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void changes_data();
    void changes();
    void company_data();
    void company();
};

namespace {

// Columns 1 onwards of every row of `table`, joined, in key order.
QStringList rowsOf(TestDatabase &db, const QString &table)
{
    QStringList out;
    for (QStringList row : db.rows(u"select * from \""_s + table + u"\" order by 1"_s)) {
        row.removeFirst();
        out.append(row.join(u"|"_s));
    }
    return out;
}

// Every table but `table`: what an operation on `table` must leave alone.
QStringList otherTables(TestDatabase &db, const QString &table)
{
    QStringList out;
    for (const schema::Table &t : schema::tables()) {
        if (t.name != table && t.name != schema::Record)
            out += rowsOf(db, t.name);
    }
    return out;
}

// The row of `key` as the list showed it.
QVariantList listed(const hotel::Result<hotel::ListingPtr> &list, qint64 key)
{
    if (!list.ok())
        qFatal("the list could not be read");
    for (const QVariantList &row : list.value()->read(0, list.value()->count())) {
        if (row.value(0).toLongLong() == key)
            return row;
    }
    qFatal("row %lld is not listed", key);
}

QString orNull(const QString &text)
{
    return text.isEmpty() ? QString() : text;
}

hotel::Room typedRoom(const QStringList &typed)
{
    hotel::BoxReader read;
    return {0,
            typed.at(0),
            typed.at(1),
            typed.at(2),
            typed.at(3),
            read.number(typed.at(4)),
            read.number(typed.at(5)),
            hotel::Int16(hotel::RoomStatus::Reserved)};
}

} // namespace

void TestSetup::changes_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("action");    // add, rewrite, delete
    QTest::addColumn<QString>("elsewhere"); // what another desk did since the list: changed, deleted
    QTest::addColumn<QString>("rights");    // the operator's; "nobody" for no login at all
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<Refusal>("refusal");
    QTest::addColumn<QStringList>("after"); // the table's rows when done

    struct Kind {
        QString name;
        QString table;
        QStringList typed;
        QStringList added, rewritten, deleted;
    };
    const QString room101 = u"101|房间101|标准间|二楼|120|100|2"_s;
    const QString admin = u"admin|admin|Z:abcdef"_s;
    const QList<Kind> kinds = {
        // Rooms keep the floor name they were saved with.
        {u"floor"_s,
         schema::Floors,
         {u"贵宾楼"_s},
         {u"一楼"_s, u"二楼"_s, u"贵宾楼"_s},
         {u"一楼"_s, u"贵宾楼"_s},
         {u"一楼"_s}},
        // A new room starts free; a rewritten one keeps its status; an occupied one goes, its
        // stay left as it is.
        {u"room"_s,
         schema::Rooms,
         {u"1'02"_s, u"朝南"_s, u"套间"_s, u"阁楼"_s, u"12.5"_s, u" 88 "_s},
         {room101, u"1'02|朝南|套间|阁楼|12.5|88|1"_s},
         {u"1'02|朝南|套间|阁楼|12.5|88|2"_s},
         {}},
        {u"operator"_s,
         schema::Operators,
         {u"O'Hara"_s, u"p'w"_s, u"Z:be"_s},
         {admin, u"小王|1|Z:cf"_s, u"O'Hara|p'w|Z:be"_s},
         {admin, u"O'Hara|p'w|Z:be"_s},
         {admin}},
    };
    for (const Kind &k : kinds) {
        const auto row = [&](const QString &what) -> QTestData & {
            return QTest::newRow(qPrintable(k.name + u" "_s + what));
        };
        row(u"add"_s) << k.table << u"add"_s << QString() << u"Z:a"_s << k.typed << Refusal::None << k.added;
        row(u"rewrite"_s) << k.table << u"rewrite"_s << QString() << u"Z:a"_s << k.typed << Refusal::None
                          << k.rewritten;
        row(u"delete"_s) << k.table << u"delete"_s << QString() << u"Z:a"_s << k.typed << Refusal::None
                         << k.deleted;
        for (const QString &action : {u"rewrite"_s, u"delete"_s}) {
            row(action + u", changed elsewhere"_s) << k.table << action << u"changed"_s << u"Z:a"_s << k.typed
                                                   << Refusal::Changed << QStringList();
            row(action + u", deleted elsewhere"_s)
                << k.table << action << u"deleted"_s << u"Z:a"_s << k.typed << Refusal::Gone << QStringList();
        }
        for (const QString &action : {u"add"_s, u"rewrite"_s, u"delete"_s})
            row(action + u" without the right"_s) << k.table << action << QString() << u"Z:bcdef"_s << k.typed
                                                  << Refusal::NoRight << QStringList();
    }
    QTest::newRow("floor add, nobody logged in") << schema::Floors << u"add"_s << QString() << u"nobody"_s
                                                 << kinds.first().typed << Refusal::NoRight << QStringList();
    QTest::newRow("room add, price no number")
        << schema::Rooms << u"add"_s << QString() << u"Z:a"_s
        << QStringList{u"1"_s, u"a"_s, u"b"_s, u"c"_s, u"1e999"_s, u"1"_s} << Refusal::BadValue
        << QStringList();
    QTest::newRow("room rewrite, member price no number")
        << schema::Rooms << u"rewrite"_s << QString() << u"Z:a"_s
        << QStringList{u"1"_s, u"a"_s, u"b"_s, u"c"_s, u"1"_s, u"1.2.3"_s} << Refusal::BadValue
        << QStringList();
    QTest::newRow("operator add, empty boxes stored as no value")
        << schema::Operators << u"add"_s << QString() << u"Z:a"_s
        << QStringList{QString(), QString(), u"Z:"_s} << Refusal::None
        << QStringList{admin, u"小王|1|Z:cf"_s, u"<NULL>|<NULL>|Z:"_s};
}

void TestSetup::changes()
{
    QFETCH(QString, table);
    QFETCH(QString, action);
    QFETCH(QString, elsewhere);
    QFETCH(QString, rights);
    QFETCH(QStringList, typed);
    QFETCH(Refusal, refusal);
    QFETCH(QStringList, after);
    TestDatabase db;
    db.addFloor(u"一楼"_s);
    const qint64 floor = db.addFloor(u"二楼"_s);
    const qint64 room = db.addRoom(u"101"_s, 120, hotel::RoomStatus::Occupied, u"二楼"_s);
    db.exec(u"insert into 旅客入住 (旅客姓名, 房间ID) values ('张三', ?)"_s, {room});
    const qint64 clerk =
        db.insert(u"insert into 操作用户 (用户名称, 登陆密码, 权限设置) values ('小王', '1', 'Z:cf')"_s);

    // The record as the window's list showed it.
    hotel::Session *desk = hotel::session();
    qint64 key = 0;
    QVariantList shown;
    if (table == schema::Floors)
        shown = listed(hotel::listFloors(desk), key = floor);
    else if (table == schema::Rooms)
        shown = listed(hotel::listRooms(desk), key = room);
    else
        shown = listed(hotel::listOperators(desk), key = clerk);

    if (elsewhere == u"changed"_s) {
        const QString column = schema::table(table)->columns.at(table == schema::Operators ? 2 : 1).name;
        db.exec(u"update \""_s + table + u"\" set \""_s + column + u"\"='另一台前台' where \""_s +
                    schema::table(table)->columns.at(0).name + u"\"=?"_s,
                {key});
    } else if (elsewhere == u"deleted"_s) {
        db.exec(u"delete from \""_s + table + u"\" where \""_s + schema::table(table)->columns.at(0).name +
                    u"\"=?"_s,
                {key});
    }
    if (rights == u"nobody"_s)
        hotel::Session::setCurrent(nullptr);
    else
        hotel::Session::setCurrent(std::make_shared<hotel::Session>(db.location(), u"clerk"_s, rights));
    hotel::Session *s = hotel::session();
    const QStringList before = rowsOf(db, table);
    const QStringList others = otherTables(db, table);

    hotel::Outcome o;
    if (table == schema::Floors) {
        const auto was = hotel::fromRow<hotel::Floor>(shown);
        o = action == u"add"_s       ? hotel::addFloor(s, {0, typed.value(0)})
            : action == u"rewrite"_s ? hotel::renameFloor(s, was, typed.value(0))
                                     : hotel::deleteFloor(s, was);
    } else if (table == schema::Rooms) {
        const auto was = hotel::fromRow<hotel::Room>(shown);
        if (action == u"add"_s)
            o = hotel::addRoom(s, typedRoom(typed));
        else if (action == u"rewrite"_s) {
            hotel::Room edited = typedRoom(typed);
            edited.key = was.key;
            o = hotel::rewriteRoom(s, was, edited);
        } else
            o = hotel::deleteRoom(s, was);
    } else {
        const auto was = hotel::fromRow<hotel::Operator>(shown);
        const hotel::Operator edited{was.key, orNull(typed.value(0)), orNull(typed.value(1)), typed.value(2)};
        o = action == u"add"_s       ? hotel::addOperator(s, edited)
            : action == u"rewrite"_s ? hotel::rewriteOperator(s, was, edited)
                                     : hotel::deleteOperator(s, was);
    }

    QCOMPARE(o.refusal(), refusal);
    QCOMPARE(o.ok(), refusal == Refusal::None);
    QCOMPARE(rowsOf(db, table), o.ok() ? after : before);
    QCOMPARE(otherTables(db, table), others);
}

void TestSetup::company_data()
{
    QTest::addColumn<QString>("elsewhere"); // changed, deleted, or nothing
    QTest::addColumn<QString>("rights");
    QTest::addColumn<Refusal>("refusal");
    // Typed: a name and a fax; the other boxes left empty keep what is stored.
    QTest::newRow("typed over stored") << QString() << u"Z:a"_s << Refusal::None;
    QTest::newRow("changed elsewhere") << u"changed"_s << u"Z:a"_s << Refusal::Changed;
    QTest::newRow("no row") << u"deleted"_s << u"Z:a"_s << Refusal::NotFound;
    QTest::newRow("without the right") << QString() << u"Z:bcdef"_s << Refusal::NoRight;
}

void TestSetup::company()
{
    QFETCH(QString, elsewhere);
    QFETCH(QString, rights);
    QFETCH(Refusal, refusal);
    TestDatabase db;
    db.exec(u"update 公司配置 set 企业名称='老店', 法人代表='李四', 电话=null, 传真=null, 企业简介=?"_s,
            {u"一\r\n二"_s});
    const auto shown = hotel::readCompany(hotel::session());
    QVERIFY(shown.ok() && shown.value());
    if (elsewhere == u"changed"_s)
        db.exec(u"update 公司配置 set 电话='另一台前台'"_s);
    else if (elsewhere == u"deleted"_s)
        db.exec(u"delete from 公司配置"_s);
    const QStringList before = rowsOf(db, schema::Company);
    hotel::Session::setCurrent(std::make_shared<hotel::Session>(db.location(), u"clerk"_s, rights));

    const hotel::Outcome o = hotel::saveCompany(hotel::session(), shown.value(),
                                                {0, u"新'店"_s, {}, {}, u"传真"_s, {}, {}, {}, {}});
    QCOMPARE(o.refusal(), refusal);
    QStringList after = before;
    if (o.ok())
        after.first() = u"新'店|李四|<NULL>|传真|"_s + before.first().section(u'|', 4);
    QCOMPARE(rowsOf(db, schema::Company), after);
    // Every operator reads the name, for the main window's title.
    if (!before.isEmpty())
        QCOMPARE(*hotel::companyName(hotel::session()).value(), after.first().section(u'|', 0, 0));
}

QTEST_MAIN(TestSetup)
#include "test_setup.moc"
