#include "hotel/session.h"
#include "stats/stats_windows.h"
#include "test_database.h"
#include "ui/grid_fill.h"
#include "window_kit.h"

using namespace Qt::Literals::StringLiterals;
using namespace kit;

namespace {

// A completed stay in `room`, checked in at `checkIn` (stored text, or NULL), out at `checkOut`.
qint64 addStay(TestDatabase &db, qint64 room, const QVariant &checkIn,
               const QString &checkOut = u"2006-06-01 00:00:00"_s, const QString &name = u"旅客"_s)
{
    return db.insert(
        u"insert into 旅客退房 (旅客姓名, 入住时间, 计划入住天数, 入住人数, 房间ID, 预付款, 退房时间, "
        u"实际入住天数, 实际金额, 应收款, 应退款) values (?, ?, 1, 1, ?, 0, ?, 1, 100, 100, 0)"_s,
        {name, checkIn, room, checkOut});
}

QDateTime at(const QString &text)
{
    return QDateTime::fromString(text, u"yyyy-MM-dd HH:mm:ss"_s);
}

// Both pickers set, then "查询".
void queryByDate(QWidget *w, const QDateTime &start, const QDateTime &end)
{
    child<DatePicker>(w, u"DTPicker1"_s)->setValue(start);
    child<DatePicker>(w, u"DTPicker2"_s)->setValue(end);
    click(w, u"Command1"_s);
}

void queryByRoom(QWidget *w, const QString &number)
{
    set(w, u"Text1"_s, number);
    click(w, u"Command1"_s);
}

} // namespace

class TestStats : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerStatsWindows(); }
    void cleanup() { flushDeletes(); }
    void windowsOpenEmpty_data();
    void windowsOpenEmpty();
    void calculator_data();
    void calculator();
    void secondQueryKeepsParticulars();
    void roomQueryRefusals();
    void roomClickShowsSearchedRoom();
    void queriesWithoutDatabase();
};

void TestStats::windowsOpenEmpty_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("roomNumberBox");
    QTest::newRow("by date") << u"Form16"_s << u"按日期统计"_s << u"Text1"_s;
    QTest::newRow("by room") << u"Form17"_s << u"按房间统计"_s << u"Text17"_s;
}

void TestStats::windowsOpenEmpty()
{
    QFETCH(QString, form);
    QFETCH(QString, caption);
    QFETCH(QString, roomNumberBox);
    TestDatabase db;
    TestSeam seam;
    addStay(db, db.addRoom(u"101"_s), u"2006-04-26 00:00:00"_s);
    QWidget *w = open(form);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), caption);
    auto *list = kit::grid(w, u"MSFlexGrid2"_s);
    QCOMPARE(list->Rows(), 1); // nothing until the first query
    QCOMPARE(list->FormatString(), grid::completedStayHeader());
    QCOMPARE(list->minimumRowHeight(), 17); // pixels
    QCOMPARE(kit::grid(w, u"MSFlexGrid1"_s)->FormatString(), grid::roomHeader());
    QCOMPARE(child<QLabel>(w, u"Label14"_s)->text(), u"应退款："_s);
    QCOMPARE(child<QLabel>(w, u"Label6"_s)->text(), u"计划入住天数："_s);
    QCOMPARE(child<QPushButton>(w, u"Command1"_s)->text(), u"查询"_s);
    QCOMPARE(child<QPushButton>(w, u"Command2"_s)->text(), u"计算器"_s);
    QVERIFY(!child<QLineEdit>(w, roomNumberBox)->isEnabled());
    list->selectRecord(1);
    QCOMPARE(text(w, u"Text2"_s), QString());
    if (form == u"Form16"_s) {
        QCOMPARE(child<QLabel>(w, u"Label16"_s)->text(), u"开始日期："_s);
        QCOMPARE(child<QLabel>(w, u"Label17"_s)->text(), u"结束日期："_s);
        QCOMPARE(child<DatePicker>(w, u"DTPicker1"_s)->Value(), at(u"2006-04-26 00:00:00"_s));
        QCOMPARE(child<DatePicker>(w, u"DTPicker2"_s)->Value(), at(u"2006-04-26 00:00:00"_s));
    } else {
        QCOMPARE(child<QLabel>(w, u"Label16"_s)->text(), u"房间号："_s);
    }
    QVERIFY(seam.messages.isEmpty());
}

void TestStats::calculator_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<bool>("available");
    QTest::newRow("by date") << u"Form16"_s << true;
    QTest::newRow("by room") << u"Form17"_s << true;
    QTest::newRow("no calculator") << u"Form16"_s << false;
}

void TestStats::calculator()
{
    QFETCH(QString, form);
    QFETCH(bool, available);
    TestDatabase db;
    TestSeam seam;
    seam.setProgramsAvailable(available);
    QWidget *w = open(form);
    click(w, u"Command2"_s);
    QCOMPARE(seam.started.size(), 1);
    QCOMPARE(seam.started.first().program, ui::Program::Calculator);
    // None installed: the operator is told, once.
    QCOMPARE(seam.messageTexts(), available
                                      ? QStringList()
                                      : QStringList{u"对不起，无法启动计算器，本机没有可用的计算器程序！"_s});
}

void TestStats::secondQueryKeepsParticulars()
{
    TestDatabase db;
    TestSeam seam;
    const qint64 room = db.addRoom(u"909"_s);
    addStay(db, room, u"2006-04-26 00:00:00"_s, u"2006-04-27 00:00:00"_s, u"孙八"_s);
    QWidget *w = open(u"Form16"_s);
    click(w, u"Command1"_s);
    auto *list = kit::grid(w, u"MSFlexGrid2"_s);
    QCOMPARE(list->Rows(), 2);
    list->selectRecord(1);
    QCOMPARE(text(w, u"Text1"_s), u"909"_s);
    queryByDate(w, at(u"2007-01-01 00:00:00"_s), at(u"2007-12-31 00:00:00"_s));
    QCOMPARE(list->Rows(), 1);
    QCOMPARE(text(w, u"Text2"_s), u"孙八"_s);
    QCOMPARE(kit::grid(w, u"MSFlexGrid1"_s)->text(1, 1), u"909"_s);
    QCOMPARE(text(w, u"Text1"_s), u"909"_s);
}

void TestStats::roomQueryRefusals()
{
    TestDatabase db;
    TestSeam seam;
    addStay(db, db.addRoom(u"301"_s), u"2006-01-01 10:00:00"_s);
    QWidget *w = open(u"Form17"_s);
    auto *list = kit::grid(w, u"MSFlexGrid2"_s);
    queryByRoom(w, u"301"_s);
    QCOMPARE(list->Rows(), 2);

    queryByRoom(w, QString());
    QCOMPARE(seam.messageTexts(), QStringList{u"对不起，请输入查询对象？"_s});
    QCOMPARE(seam.messages.last().kind, ui::MessageKind::Information);
    QCOMPARE(list->Rows(), 2); // the list keeps its rows

    seam.clear();
    queryByRoom(w, u"999"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"没有找到相关资料信息！"_s});
    QCOMPARE(seam.messages.last().title, u"提示"_s);
    QCOMPARE(list->Rows(), 1);
    QCOMPARE(child<QLabel>(w, u"ListTotals"_s)->text(),
             u"记录数：0    实际金额合计：0    应收款合计：0    应退款合计：0"_s);
}

void TestStats::roomClickShowsSearchedRoom()
{
    TestDatabase db;
    TestSeam seam;
    const qint64 room = db.addRoom(u"402"_s, 260, 1, u"四楼"_s);
    addStay(db, room, u"2006-01-01 10:00:00"_s, u"2006-01-03 00:00:00"_s, u"周九"_s);
    QWidget *w = open(u"Form17"_s);
    queryByRoom(w, u"402"_s);
    kit::grid(w, u"MSFlexGrid2"_s)->selectRecord(1);
    QCOMPARE(text(w, u"Text2"_s), u"周九"_s);
    QCOMPARE(text(w, u"Text17"_s), u"402"_s);
    QCOMPARE(text(w, u"Text1"_s), u"402"_s); // the search box, untouched
    auto *rooms = kit::grid(w, u"MSFlexGrid1"_s);
    QCOMPARE(rooms->Rows(), 2);
    QCOMPARE(rooms->text(1, 0), QString::number(room));
    QCOMPARE(rooms->text(1, 4), u"四楼"_s);
}

void TestStats::queriesWithoutDatabase()
{
    TestDatabase db;
    TestSeam seam;
    addStay(db, db.addRoom(u"101"_s), u"2006-04-26 00:00:00"_s);
    QWidget *byDate = open(u"Form16"_s);
    QWidget *byRoom = open(u"Form17"_s);
    queryByDate(byDate, at(u"2006-01-01 00:00:00"_s), at(u"2006-12-31 00:00:00"_s));
    queryByRoom(byRoom, u"101"_s);
    QCOMPARE(kit::grid(byDate, u"MSFlexGrid2"_s)->Rows(), 2);
    QCOMPARE(kit::grid(byRoom, u"MSFlexGrid2"_s)->Rows(), 2);
    QVERIFY(db.takeAway()); // the next query has to open the store again
    // Both show the failure once, so the empty list is not read as a time or room without stays.
    queryByDate(byDate, at(u"2006-01-01 00:00:00"_s), at(u"2006-12-31 00:00:00"_s));
    QCOMPARE(kit::grid(byDate, u"MSFlexGrid2"_s)->Rows(), 1);
    QCOMPARE(seam.messages.size(), 1);
    queryByRoom(byRoom, u"101"_s);
    QCOMPARE(kit::grid(byRoom, u"MSFlexGrid2"_s)->Rows(), 1);
    QCOMPARE(seam.messages.size(), 2);
    QCOMPARE(seam.messages.last().kind, ui::MessageKind::Warning);
}

QTEST_MAIN(TestStats)
#include "test_stats.moc"
