#include "data/connection.h"
#include "data/conversions.h"
#include "frontdesk/checkout_window.h"
#include "frontdesk/frontdesk_windows.h"
#include "test_database.h"
#include "window_kit.h"

#include <QGroupBox>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;
using namespace kit;

namespace {

qint64 addStay(TestDatabase &db, qint64 room, const QString &checkIn = u"2006-04-20 14:30:00"_s,
               int prepayment = 500, const QString &name = u"张三"_s)
{
    return db.insert(u"insert into 旅客入住 (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, "
                     u"入住人数, 房间ID, 预付款)"
                     u" values (?, '华光公司', '身份证', '1234', ?, 3, 2, ?, ?)"_s,
                     {name, checkIn, room, prepayment});
}

QStringList computed(QWidget *w)
{
    return {text(w, u"Text12"_s), text(w, u"Text13"_s), text(w, u"Text14"_s), text(w, u"Text15"_s)};
}

// Fetches room `number` in a fresh check-out window.
QWidget *fetch(const QString &number)
{
    QWidget *w = open(u"Form12"_s);
    set(w, u"Text1"_s, number);
    click(w, u"Command1"_s);
    return w;
}

} // namespace

class TestCheckout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerFrontdeskWindows(); }
    void cleanup()
    {
        faults::reset();
        flushDeletes();
    }
    void controls();
    void fetchRefusals_data();
    void fetchRefusals();
    void fetchShowsStayRoomAndToday();
    void occupiedRoomWithoutStay();
    void fetchFailureIsShown();
    void searchChangeClearsResult();
    void compute_data();
    void compute();
    void failedComputeLeavesNothingToConfirm();
    void confirmStoresFreesAndDeletes();
    void confirmRefusesEmptyResult();
    void confirmRefusesBadBoxes();
    void confirmFailureChangesNothing();
    void confirmAfterAnotherDesk_data();
    void confirmAfterAnotherDesk();
};

void TestCheckout::controls()
{
    TestDatabase db;
    TestSeam seam;
    QWidget *w = open(u"Form12"_s);
    QCOMPARE(w->windowTitle(), u"新增旅客退房"_s);
    QCOMPARE(w->findChild<QGroupBox *>(u"Frame1"_s)->title(), u"查询"_s);
    QCOMPARE(w->findChild<QGroupBox *>(u"Frame2"_s)->title(), u"旅客信息"_s);
    auto *option = w->findChild<QRadioButton *>(u"Option1"_s);
    QCOMPARE(option->text(), u"按房间号"_s);
    QVERIFY(option->isChecked());
    QCOMPARE(button(w, u"Command1"_s)->text(), u"提取信息"_s);
    QCOMPARE(button(w, u"Command2"_s)->text(), u"计算数据"_s);
    QCOMPARE(button(w, u"Command3"_s)->text(), u"确认退房"_s);
    QVERIFY(button(w, u"Command1"_s)->isEnabled());
    QVERIFY(!button(w, u"Command2"_s)->isEnabled());
    QVERIFY(!button(w, u"Command3"_s)->isEnabled());
    const QStringList labels{u"旅客姓名："_s, u"旅客单位："_s,     u"证件名称："_s,     u"证件号码："_s,
                             u"入住时间："_s, u"计划入住天数："_s, u"入住人数："_s,     u"房间ID："_s,
                             u"预付款："_s,   u"退房时间："_s,     u"实际入住天数："_s, u"实际金额："_s,
                             u"应收款："_s,   u"应退款："_s,       u"备注信息："_s};
    for (int i = 0; i < labels.size(); ++i)
        QCOMPARE(label(w, u"Label"_s + QString::number(i + 1)), labels.at(i));
    QCOMPARE(box(w, u"Text14"_s)->accessibleName(), u"应收款"_s);
    QCOMPARE(box(w, u"Text17"_s)->accessibleName(), u"房间ID"_s);
    QVERIFY(!box(w, u"Text17"_s)->isEnabled());
    QVERIFY(box(w, u"Text17"_s)->styleSheet().contains(u"#FFE0C0"_s, Qt::CaseInsensitive));
    QVERIFY(!box(w, u"Text9"_s)->isVisible());
    QVERIFY(!box(w, u"Text9"_s)->isEnabled());
    for (int i = 1; i <= 17; ++i)
        QVERIFY(text(w, u"Text"_s + QString::number(i)).isEmpty());
    FlexGrid *room = grid(w, u"MSFlexGrid1"_s);
    QCOMPARE(room->Rows(), 1);
    QCOMPARE(room->minimumRowHeight(), 17); // pixels
    QCOMPARE(
        room->FormatString(),
        u"序号|^房间号        |^房间名称        |^房间类型    |^    所属楼层|^标准价格|^会员价格|^房间状态   "_s);
}

void TestCheckout::fetchRefusals_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("message");
    const QString none = u"对不起，此房间号没有入住资料"_s;
    QTest::newRow("empty") << QString() << u"对不起，请输入查询对象？"_s;
    QTest::newRow("free room") << u"102"_s << none;
    QTest::newRow("reserved room") << u"103"_s << none;
    QTest::newRow("no such room") << u"999"_s << none;
}

void TestCheckout::fetchRefusals()
{
    QFETCH(QString, number);
    QFETCH(QString, message);
    TestDatabase db;
    TestSeam seam;
    addStay(db, db.addRoom(u"101"_s, 120, 2));
    addStay(db, db.addRoom(u"102"_s, 120, 1));
    db.addRoom(u"103"_s, 120, 3);
    QWidget *w = fetch(number);
    QCOMPARE(seam.messageTexts(), QStringList{message});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Information);
    QVERIFY(!button(w, u"Command2"_s)->isEnabled());
    QVERIFY(text(w, u"Text2"_s).isEmpty());
    QVERIFY(text(w, u"Text11"_s).isEmpty());
    QCOMPARE(grid(w, u"MSFlexGrid1"_s)->Rows(), 1);
}

void TestCheckout::fetchShowsStayRoomAndToday()
{
    TestDatabase db;
    TestSeam seam;
    seam.setToday(QDate(2006, 4, 26));
    const qint64 room = db.addRoom(u"101"_s, 120, 2);
    addStay(db, room);
    addStay(db, room, u"2006-04-22 08:00:00"_s, 100,
            u"第二位"_s); // a second stay of the room: the first is used
    QWidget *w = fetch(u"101"_s);
    QVERIFY(seam.messages.isEmpty());
    QCOMPARE(text(w, u"Text2"_s), u"张三"_s);
    QCOMPARE(text(w, u"Text3"_s), u"华光公司"_s);
    QCOMPARE(text(w, u"Text5"_s), u"1234"_s);
    QCOMPARE(text(w, u"Text6"_s), conv::dateTimeToText(QDateTime(QDate(2006, 4, 20), QTime(14, 30))));
    QCOMPARE(text(w, u"Text7"_s), u"3"_s);
    QCOMPARE(text(w, u"Text8"_s), u"2"_s);
    QCOMPARE(text(w, u"Text9"_s), QString::number(room));
    QCOMPARE(text(w, u"Text10"_s), u"500"_s);
    QCOMPARE(text(w, u"Text17"_s), u"101"_s);
    QCOMPARE(text(w, u"Text11"_s), conv::dateToText(QDate(2006, 4, 26)));
    QCOMPARE(text(w, u"Text11"_s), u"2006/4/26"_s); // short date of the zh_CN desk
    FlexGrid *g = grid(w, u"MSFlexGrid1"_s);
    QCOMPARE(g->Rows(), 2);
    QCOMPARE(g->text(1, 0), QString::number(room));
    QCOMPARE(g->text(1, 5), u"120"_s);
    QCOMPARE(g->text(1, 6), u"100"_s);
    QVERIFY(button(w, u"Command2"_s)->isEnabled());
    QVERIFY(!button(w, u"Command3"_s)->isEnabled());
    for (int i = 12; i <= 16; ++i)
        QVERIFY(text(w, u"Text"_s + QString::number(i)).isEmpty());
    // Fetching again adds the room row again; the price still comes from the first.
    click(w, u"Command1"_s);
    QCOMPARE(g->Rows(), 3);
    click(w, u"Command2"_s);
    QCOMPARE(computed(w), (QStringList{u"6"_s, u"720"_s, u"220"_s, u"0"_s}));
}

void TestCheckout::occupiedRoomWithoutStay()
{
    TestDatabase db;
    TestSeam seam;
    db.addRoom(u"101"_s, 120, 2);
    QWidget *w = fetch(u"101"_s);
    QCOMPARE(seam.messageTexts(),
             QStringList{u"对不起，此房间是已住房，却找不到它的入住资料，请核对房间状态！"_s});
    QVERIFY(!button(w, u"Command2"_s)->isEnabled());
    QVERIFY(text(w, u"Text11"_s).isEmpty());
    QCOMPARE(grid(w, u"MSFlexGrid1"_s)->Rows(), 1);
}

void TestCheckout::fetchFailureIsShown()
{
    TestDatabase db;
    TestSeam seam;
    addStay(db, db.addRoom(u"101"_s, 120, 2));
    QVERIFY(db.takeAway());
    QWidget *w = fetch(u"101"_s);
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY(seam.messages.first().text.contains(u"innkeep.mdb"_s));
    QVERIFY(!button(w, u"Command2"_s)->isEnabled());
    QVERIFY(text(w, u"Text11"_s).isEmpty());
}

void TestCheckout::searchChangeClearsResult()
{
    TestDatabase db;
    TestSeam seam;
    addStay(db, db.addRoom(u"101"_s, 120, 2));
    QWidget *w = fetch(u"101"_s);
    set(w, u"Text16"_s, u"发票已开"_s);
    click(w, u"Command2"_s);
    QVERIFY(button(w, u"Command3"_s)->isEnabled());
    set(w, u"Text1"_s, u"10"_s);
    for (int i = 2; i <= 16; ++i)
        QVERIFY2(text(w, u"Text"_s + QString::number(i)).isEmpty(), qPrintable(QString::number(i)));
    QCOMPARE(grid(w, u"MSFlexGrid1"_s)->Rows(), 1);
    // The room number shown and the buttons stay as they were.
    QCOMPARE(text(w, u"Text17"_s), u"101"_s);
    QVERIFY(button(w, u"Command2"_s)->isEnabled());
    QVERIFY(button(w, u"Command3"_s)->isEnabled());
}

void TestCheckout::compute_data()
{
    QTest::addColumn<QString>("checkIn");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<double>("price");
    QTest::addColumn<int>("prepayment");
    QTest::addColumn<QStringList>("result"); // days, amount, due, refund; empty when refused
    QTest::addColumn<QString>("message");
    const QDate apr26(2006, 4, 26);
    QTest::newRow("worked example, amount due")
        << u"2006-04-20 14:30:00"_s << apr26 << 120.0 << 500
        << QStringList{u"6"_s, u"720"_s, u"220"_s, u"0"_s} << QString();
    QTest::newRow("worked example, refund") << u"2006-04-20 14:30:00"_s << apr26 << 120.0 << 800
                                            << QStringList{u"6"_s, u"720"_s, u"0"_s, u"80"_s} << QString();
    QTest::newRow("check-out on the day of check-in")
        << u"2006-04-26 18:00:00"_s << apr26 << 120.0 << 300 << QStringList{u"0"_s, u"0"_s, u"0"_s, u"300"_s}
        << QString();
    QTest::newRow("23:59 to the next day is one day")
        << u"2006-04-20 23:59:00"_s << QDate(2006, 4, 21) << 120.0 << 0
        << QStringList{u"1"_s, u"120"_s, u"120"_s, u"0"_s} << QString();
    QTest::newRow("price rounds half to even")
        << u"2006-04-25 10:00:00"_s << apr26 << 120.5 << 0 << QStringList{u"1"_s, u"120"_s, u"120"_s, u"0"_s}
        << QString();
    QTest::newRow("member price never charged")
        << u"2006-04-23 10:00:00"_s << apr26 << 200.0 << 0 << QStringList{u"3"_s, u"600"_s, u"600"_s, u"0"_s}
        << QString();
    QTest::newRow("300 days at 120")
        << u"2005-06-30 12:00:00"_s << apr26 << 120.0 << 500 << QStringList{}
        << u"对不起，实际金额（300 天 × 120 元）超出了 -32768 到 32767 的范围，无法计算数据！"_s;
    QTest::newRow("price out of range")
        << u"2006-04-25 10:00:00"_s << apr26 << 40000.0 << 0 << QStringList{}
        << u"对不起，房间的标准价格不是 -32768 到 32767 之间的数字，无法计算数据！"_s;
}

void TestCheckout::compute()
{
    QFETCH(QString, checkIn);
    QFETCH(QDate, today);
    QFETCH(double, price);
    QFETCH(int, prepayment);
    QFETCH(QStringList, result);
    QFETCH(QString, message);
    TestDatabase db;
    TestSeam seam;
    seam.setToday(today);
    const qint64 room = db.addRoom(u"101"_s, price, 2);
    addStay(db, room, checkIn, prepayment);
    QWidget *w = fetch(u"101"_s);
    QVERIFY(seam.messages.isEmpty());
    click(w, u"Command2"_s);
    if (result.isEmpty()) {
        QCOMPARE(seam.messageTexts(), QStringList{message});
        QCOMPARE(computed(w), (QStringList{QString(), QString(), QString(), QString()}));
        QVERIFY(!button(w, u"Command3"_s)->isEnabled());
    } else {
        QVERIFY(seam.messages.isEmpty());
        QCOMPARE(computed(w), result);
        QVERIFY(button(w, u"Command3"_s)->isEnabled());
    }
    QVERIFY(button(w, u"Command2"_s)->isEnabled());
}

void TestCheckout::failedComputeLeavesNothingToConfirm()
{
    TestDatabase db;
    TestSeam seam;
    addStay(db, db.addRoom(u"101"_s, 120, 2));
    QWidget *w = fetch(u"101"_s);
    click(w, u"Command2"_s);
    QVERIFY(button(w, u"Command3"_s)->isEnabled());
    // The operator corrects the boxes between the steps; each step reads them as they stand.
    const struct {
        QString box, value, message;
    } cases[] = {
        {u"Text10"_s, u"六百"_s, u"对不起，预付款不是 -32768 到 32767 之间的数字，无法计算数据！"_s},
        {u"Text10"_s, QString(), u"对不起，预付款不是 -32768 到 32767 之间的数字，无法计算数据！"_s},
        {u"Text6"_s, u"四月二十日"_s, u"对不起，入住时间不是有效的日期，无法计算数据！"_s},
        {u"Text11"_s, QString(), u"对不起，退房时间不是有效的日期，无法计算数据！"_s},
    };
    for (const auto &c : cases) {
        seam.clear();
        const QString kept = text(w, c.box);
        set(w, c.box, c.value);
        click(w, u"Command2"_s);
        QCOMPARE(seam.messageTexts(), QStringList{c.message});
        QCOMPARE(computed(w), (QStringList{QString(), QString(), QString(), QString()}));
        QVERIFY(!button(w, u"Command3"_s)->isEnabled());
        set(w, c.box, kept);
        click(w, u"Command2"_s);
        QCOMPARE(computed(w), (QStringList{u"6"_s, u"720"_s, u"220"_s, u"0"_s}));
        QVERIFY(button(w, u"Command3"_s)->isEnabled());
    }
    // A corrected check-out date is counted from as it stands.
    seam.clear();
    set(w, u"Text11"_s, u"2006/4/30"_s);
    set(w, u"Text10"_s, u"1000"_s);
    click(w, u"Command2"_s);
    QCOMPARE(computed(w), (QStringList{u"10"_s, u"1200"_s, u"200"_s, u"0"_s}));
    // Without the room row there is no price.
    set(w, u"Text1"_s, u"1010"_s); // clears boxes and grid
    set(w, u"Text6"_s, u"2006/4/20 14:30:00"_s);
    set(w, u"Text11"_s, u"2006/4/26"_s);
    set(w, u"Text10"_s, u"500"_s);
    click(w, u"Command2"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"对不起，没有房间资料，请先提取信息！"_s});
    QVERIFY(!button(w, u"Command3"_s)->isEnabled());
}

void TestCheckout::confirmStoresFreesAndDeletes()
{
    TestDatabase db;
    TestSeam seam;
    seam.setToday(QDate(2006, 4, 26));
    const qint64 room = db.addRoom(u"101"_s, 120, 2);
    const qint64 other = db.addRoom(u"102"_s, 120, 2);
    addStay(db, room);
    addStay(db, room, u"2006-04-22 08:00:00"_s, 100, u"第二位"_s);
    const qint64 otherStay = addStay(db, other);
    QWidget *w = fetch(u"101"_s);
    click(w, u"Command2"_s);
    set(w, u"Text16"_s, u"发票已开"_s);
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"恭喜您，旅客退房成功？请核准相关帐目!"_s});
    const QList<QStringList> done = db.rows(u"select * from 旅客退房"_s);
    QCOMPARE(done.size(), 1);
    QCOMPARE(done.first().mid(1),
             (QStringList{u"张三"_s, u"华光公司"_s, u"身份证"_s, u"1234"_s, u"2006-04-20 14:30:00"_s, u"3"_s,
                          u"2"_s, QString::number(room), u"500"_s, u"2006-04-26 00:00:00"_s, u"6"_s, u"720"_s,
                          u"220"_s, u"0"_s, u"发票已开"_s}));
    QCOMPARE(db.scalar(u"select 房间状态 from 房间 where 房间ID=?"_s, {room}).toInt(), 1);
    QCOMPARE(db.scalar(u"select 房间状态 from 房间 where 房间ID=?"_s, {other}).toInt(), 2);
    // Every stay row of the room goes, and only those.
    QCOMPARE(db.rows(u"select 入住ID from 旅客入住"_s), QList<QStringList>{{QString::number(otherStay)}});
    // Reopened empty, in the first state.
    flushDeletes();
    QWidget *fresh = kit::current(seam, u"Form12"_s);
    QVERIFY(fresh && fresh != w);
    QVERIFY(text(fresh, u"Text1"_s).isEmpty());
    QVERIFY(text(fresh, u"Text17"_s).isEmpty());
    QVERIFY(!button(fresh, u"Command2"_s)->isEnabled());
    QVERIFY(!button(fresh, u"Command3"_s)->isEnabled());

    // Empty remarks leave the column unset.
    seam.clear();
    set(fresh, u"Text1"_s, u"102"_s);
    click(fresh, u"Command1"_s);
    click(fresh, u"Command2"_s);
    click(fresh, u"Command3"_s);
    QCOMPARE(db.scalar(u"select count(*) from 旅客退房 where 备注信息 is null"_s).toInt(), 1);
}

void TestCheckout::confirmRefusesEmptyResult()
{
    TestDatabase db;
    TestSeam seam;
    addStay(db, db.addRoom(u"101"_s, 120, 2));
    QWidget *w = fetch(u"101"_s);
    click(w, u"Command2"_s);
    const QString refusal = u"对不起，请先提取信息并计算数据，再确认退房！"_s;
    // Changing the search text empties everything, yet the confirm button stays enabled.
    set(w, u"Text1"_s, u"1010"_s);
    const QString before = db.dump();
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList{refusal});
    QCOMPARE(db.dump(), before);
    // Fetched again but not computed: the result boxes are still empty.
    seam.clear();
    set(w, u"Text1"_s, u"101"_s);
    click(w, u"Command1"_s);
    QVERIFY(button(w, u"Command3"_s)->isEnabled());
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList{refusal});
    QCOMPARE(db.dump(), before);
    QCOMPARE(kit::current(seam, u"Form12"_s), w);
}

void TestCheckout::confirmRefusesBadBoxes()
{
    TestDatabase db;
    TestSeam seam;
    addStay(db, db.addRoom(u"101"_s, 120, 2));
    const QString before = db.dump();
    QWidget *w = fetch(u"101"_s);
    click(w, u"Command2"_s);
    // Boxes typed over after computing are stored only if they are what their columns hold.
    for (const auto &[name, value] : {std::pair{u"Text14"_s, u"二百"_s}, std::pair{u"Text13"_s, u"40000"_s},
                                      std::pair{u"Text11"_s, u"明天"_s}}) {
        seam.clear();
        const QString kept = text(w, name);
        set(w, name, value);
        click(w, u"Command3"_s);
        QCOMPARE(seam.messages.size(), 1);
        QVERIFY(seam.messages.first().text.contains(value));
        QCOMPARE(db.dump(), before);
        set(w, name, kept);
    }
}

void TestCheckout::confirmFailureChangesNothing()
{
    TestDatabase db;
    TestSeam seam;
    addStay(db, db.addRoom(u"101"_s, 120, 2));
    const QString before = db.dump();
    QWidget *w = fetch(u"101"_s);
    click(w, u"Command2"_s);
    // A failing store says so once; the window keeps what it shows, to try again.
    FaultScope scope;
    faults::failCommit(true);
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"模拟的提交故障。"_s});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Warning);
    QCOMPARE(db.dump(), before);
    QCOMPARE(kit::current(seam, u"Form12"_s), w);
    QCOMPARE(text(w, u"Text13"_s), u"720"_s);
    faults::reset();
    seam.clear();
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"恭喜您，旅客退房成功？请核准相关帐目!"_s});
}

void TestCheckout::confirmAfterAnotherDesk_data()
{
    QTest::addColumn<QStringList>("otherDesk");
    QTest::addColumn<QString>("message");
    QTest::newRow("checked out first")
        << QStringList{u"delete from 旅客入住"_s, u"update 房间 set 房间状态=1"_s}
        << u"对不起，此房间的入住资料已经不存在，可能已经办理过退房！"_s;
    QTest::newRow("prepayment corrected")
        << QStringList{u"update 旅客入住 set 预付款=800"_s}
        << u"对不起，此房间的入住资料已经在另一台前台被修改或重新入住，本次退房"
           u"没有保存，请重新提取信息并计算数据！"_s;
}

void TestCheckout::confirmAfterAnotherDesk()
{
    QFETCH(QStringList, otherDesk);
    QFETCH(QString, message);
    TestDatabase db;
    TestSeam seam;
    addStay(db, db.addRoom(u"101"_s, 120, 2));
    QWidget *w = fetch(u"101"_s);
    click(w, u"Command2"_s);
    for (const QString &sql : otherDesk)
        db.exec(sql);
    const QString before = db.dump();
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList{message});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Information);
    QCOMPARE(db.dump(), before);
    QCOMPARE(kit::current(seam, u"Form12"_s), w);
}

QTEST_MAIN(TestCheckout)
#include "test_checkout.moc"
