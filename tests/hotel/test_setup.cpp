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
    void floorNamesInTheOrderAdded();
    void company_data();
    void company();
};

namespace {

// Every table but `table`, row by row: what an operation on `table` must leave alone.
QString otherTables(TestDatabase &db, const QString &table)
{
    QString out;
    for (const schema::Table &t : schema::tables()) {
        if (t.name == table)
            continue;
        for (const QStringList &row : db.rows(u"select * from \""_s + t.name + u"\" order by 1"_s))
            out += t.name + u":"_s + row.join(u"|"_s) + u"\n"_s;
    }
    return out;
}

// Columns 1 onwards of every row, joined, in key order.
QStringList rowsOf(TestDatabase &db, const QString &table)
{
    QStringList out;
    for (QStringList row : db.rows(u"select * from \""_s + table + u"\" order by 1"_s)) {
        row.removeFirst();
        out.append(row.join(u"|"_s));
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
    QTest::addColumn<QString>("elsewhere"); // what another desk did since the list: "", changed, deleted
    QTest::addColumn<QString>("rights");    // the operator's; "nobody" for no login at all
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<Refusal>("refusal");
    QTest::addColumn<QStringList>("after"); // the table's rows when done

    const QString floors = schema::Floors;
    const QString rooms = schema::Rooms;
    const QString ops = schema::Operators;
    const QString all = u"Z:abcdef"_s;
    const QString noSetup = u"Z:bcdef"_s;
    const QStringList newFloor = {u"贵宾楼"_s};
    const QStringList asWas = {};
    QTest::newRow("floor add") << floors << u"add"_s << QString() << all << newFloor << Refusal::None
                               << QStringList{u"一楼"_s, u"二楼"_s, u"贵宾楼"_s};
    QTest::newRow("floor add without the right")
        << floors << u"add"_s << QString() << noSetup << newFloor << Refusal::NoRight << asWas;
    QTest::newRow("floor add with nobody logged in")
        << floors << u"add"_s << QString() << u"nobody"_s << newFloor << Refusal::NoRight << asWas;
    // Rooms keep the floor name they were saved with.
    QTest::newRow("floor rename") << floors << u"rewrite"_s << QString() << all << newFloor << Refusal::None
                                  << QStringList{u"一楼"_s, u"贵宾楼"_s};
    QTest::newRow("floor rename, changed elsewhere")
        << floors << u"rewrite"_s << u"changed"_s << all << newFloor << Refusal::Changed << asWas;
    QTest::newRow("floor rename, deleted elsewhere")
        << floors << u"rewrite"_s << u"deleted"_s << all << newFloor << Refusal::Gone << asWas;
    QTest::newRow("floor rename without the right")
        << floors << u"rewrite"_s << QString() << noSetup << newFloor << Refusal::NoRight << asWas;
    QTest::newRow("floor delete") << floors << u"delete"_s << QString() << all << asWas << Refusal::None
                                  << QStringList{u"一楼"_s};
    QTest::newRow("floor delete, changed elsewhere")
        << floors << u"delete"_s << u"changed"_s << all << asWas << Refusal::Changed << asWas;
    QTest::newRow("floor delete, deleted elsewhere")
        << floors << u"delete"_s << u"deleted"_s << all << asWas << Refusal::Gone << asWas;

    const QStringList room = {u"1'02"_s, u"朝南"_s, u"套间"_s, u"阁楼"_s, u"12.5"_s, u" 88 "_s};
    const QString first = u"101|房间101|标准间|二楼|120|100|2"_s;
    QTest::newRow("room add starts free") << rooms << u"add"_s << QString() << all << room << Refusal::None
                                          << QStringList{first, u"1'02|朝南|套间|阁楼|12.5|88|1"_s};
    QTest::newRow("room add, price no number")
        << rooms << u"add"_s << QString() << all
        << QStringList{u"102"_s, u"a"_s, u"b"_s, u"c"_s, u"1e999"_s, u"1"_s} << Refusal::BadValue << asWas;
    QTest::newRow("room add without the right")
        << rooms << u"add"_s << QString() << u"Z:b"_s << room << Refusal::NoRight << asWas;
    QTest::newRow("room rewrite keeps its status")
        << rooms << u"rewrite"_s << QString() << all << room << Refusal::None
        << QStringList{u"1'02|朝南|套间|阁楼|12.5|88|2"_s};
    QTest::newRow("room rewrite, member price no number")
        << rooms << u"rewrite"_s << QString() << all
        << QStringList{u"101"_s, u"a"_s, u"b"_s, u"c"_s, u"1"_s, u"1.2.3"_s} << Refusal::BadValue << asWas;
    QTest::newRow("room rewrite, changed elsewhere")
        << rooms << u"rewrite"_s << u"changed"_s << all << room << Refusal::Changed << asWas;
    QTest::newRow("room rewrite, deleted elsewhere")
        << rooms << u"rewrite"_s << u"deleted"_s << all << room << Refusal::Gone << asWas;
    // An occupied room goes; its stay is left as it is.
    QTest::newRow("room delete") << rooms << u"delete"_s << QString() << all << asWas << Refusal::None
                                 << QStringList();
    QTest::newRow("room delete, changed elsewhere")
        << rooms << u"delete"_s << u"changed"_s << all << asWas << Refusal::Changed << asWas;
    QTest::newRow("room delete, deleted elsewhere")
        << rooms << u"delete"_s << u"deleted"_s << all << asWas << Refusal::Gone << asWas;
    QTest::newRow("room delete without the right")
        << rooms << u"delete"_s << QString() << u"Z:"_s << asWas << Refusal::NoRight << asWas;

    const QString admin = u"admin|admin|Z:abcdef"_s;
    const QStringList op = {u"O'Hara"_s, u"p'w"_s, u"Z:be"_s};
    QTest::newRow("operator add") << ops << u"add"_s << QString() << all << op << Refusal::None
                                  << QStringList{admin, u"小王|1|Z:cf"_s, u"O'Hara|p'w|Z:be"_s};
    QTest::newRow("operator add, empty boxes stored as no value")
        << ops << u"add"_s << QString() << all << QStringList{QString(), QString(), u"Z:"_s} << Refusal::None
        << QStringList{admin, u"小王|1|Z:cf"_s, u"<NULL>|<NULL>|Z:"_s};
    QTest::newRow("operator rewrite") << ops << u"rewrite"_s << QString() << all << op << Refusal::None
                                      << QStringList{admin, u"O'Hara|p'w|Z:be"_s};
    QTest::newRow("operator rewrite, changed elsewhere")
        << ops << u"rewrite"_s << u"changed"_s << all << op << Refusal::Changed << asWas;
    QTest::newRow("operator rewrite, deleted elsewhere")
        << ops << u"rewrite"_s << u"deleted"_s << all << op << Refusal::Gone << asWas;
    QTest::newRow("operator rewrite without the right")
        << ops << u"rewrite"_s << QString() << noSetup << op << Refusal::NoRight << asWas;
    QTest::newRow("operator delete") << ops << u"delete"_s << QString() << all << asWas << Refusal::None
                                     << QStringList{admin};
    QTest::newRow("operator delete, changed elsewhere")
        << ops << u"delete"_s << u"changed"_s << all << asWas << Refusal::Changed << asWas;
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
        hotel::Session::setCurrent(std::make_shared<hotel::Session>(u"clerk"_s, rights));
    hotel::Session *s = hotel::session();
    const QStringList before = rowsOf(db, table);
    const QString others = otherTables(db, table);

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

void TestSetup::floorNamesInTheOrderAdded()
{
    TestDatabase db;
    db.addFloor(u"二楼"_s);
    db.addFloor(u"一楼"_s);
    const auto names = hotel::floorNames(hotel::session());
    QVERIFY(names.ok());
    QCOMPARE(names.value(), (QStringList{u"二楼"_s, u"一楼"_s}));
    hotel::Session::setCurrent(std::make_shared<hotel::Session>(u"clerk"_s, u"Z:b"_s));
    QVERIFY(hotel::floorNames(hotel::session()).isRefused(Refusal::NoRight));
    QVERIFY(hotel::listRooms(hotel::session()).isRefused(Refusal::NoRight));
}

void TestSetup::company_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("elsewhere"); // changed, deleted, or nothing
    QTest::addColumn<QString>("rights");
    QTest::addColumn<Refusal>("refusal");
    QTest::addColumn<QStringList>("after");
    const QStringList stored = {u"老店"_s,  u"李四"_s, u"010-1"_s,  u"<NULL>"_s,
                                u"a@b.c"_s, u"北京"_s, u"100000"_s, u"第一行\r\n第二行"_s};
    const QString all = u"Z:abcdef"_s;
    QStringList typed(8);
    typed[0] = u"新'店"_s;
    typed[3] = u"传真"_s;
    QStringList changed = stored;
    changed[0] = u"新'店"_s;
    changed[3] = u"传真"_s;
    QTest::newRow("typed boxes over stored, empty ones keep theirs")
        << typed << QString() << all << Refusal::None << changed;
    QTest::newRow("every box empty changes nothing")
        << QStringList(8) << QString() << all << Refusal::None << stored;
    QTest::newRow("changed elsewhere") << typed << u"changed"_s << all << Refusal::Changed << stored;
    QTest::newRow("no row") << typed << u"deleted"_s << all << Refusal::NotFound << QStringList();
    QTest::newRow("without the right") << typed << QString() << u"Z:bcdef"_s << Refusal::NoRight << stored;
}

void TestSetup::company()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, elsewhere);
    QFETCH(QString, rights);
    QFETCH(Refusal, refusal);
    QFETCH(QStringList, after);
    TestDatabase db;
    db.exec(
        u"update 公司配置 set 企业名称='老店', 法人代表='李四', 电话='010-1', 传真=null, 电子邮件='a@b.c', "
        u"地址='北京', 邮政编码='100000', 企业简介=?"_s,
        {u"第一行\r\n第二行"_s});
    const auto shown = hotel::readCompany(hotel::session());
    QVERIFY(shown.ok() && shown.value());
    QCOMPARE(shown.value()->fax, QString());
    const auto name = hotel::companyName(hotel::session());
    QVERIFY(name.ok() && name.value());
    QCOMPARE(*name.value(), u"老店"_s);
    if (elsewhere == u"changed"_s)
        db.exec(u"update 公司配置 set 电话='另一台前台'"_s);
    else if (elsewhere == u"deleted"_s)
        db.exec(u"delete from 公司配置"_s);
    const QList<QStringList> before = db.rows(u"select * from 公司配置"_s);
    hotel::Session::setCurrent(std::make_shared<hotel::Session>(u"clerk"_s, rights));

    const hotel::Company particulars{0,           typed.at(0), typed.at(1), typed.at(2), typed.at(3),
                                     typed.at(4), typed.at(5), typed.at(6), typed.at(7)};
    const hotel::Outcome o = hotel::saveCompany(hotel::session(), shown.value(), particulars);
    QCOMPARE(o.refusal(), refusal);
    if (!o.ok()) {
        QCOMPARE(db.rows(u"select * from 公司配置"_s), before);
        return;
    }
    QList<QStringList> rows = db.rows(u"select * from 公司配置"_s);
    QCOMPARE(rows.size(), 1);
    rows.first().removeFirst();
    QCOMPARE(rows.first(), after);
    // Every operator reads the name, for the main window's title.
    QCOMPARE(*hotel::companyName(hotel::session()).value(), after.first());
}

QTEST_MAIN(TestSetup)
#include "test_setup.moc"
