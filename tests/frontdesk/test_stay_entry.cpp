#include "frontdesk/frontdesk_windows.h"
#include "frontdesk/stay_entry_window.h"
#include "hotel/outcome.h"
#include "test_database.h"
#include "window_kit.h"

#include <QApplication>

using namespace Qt::Literals::StringLiterals;
using namespace kit;

namespace {

// A fresh window of `form`, the guest's particulars typed and the first free room picked.
QWidget *openWithGuest(const QString &form)
{
    QWidget *w = open(form);
    typeGuest(w);
    grid(w, u"MSFlexGrid1"_s)->selectRecord(1);
    return w;
}

// Form, table written, status the room takes, success message.
void addFormColumns()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("success");
}

void addFormRows()
{
    QTest::newRow("check-in") << u"Form8"_s << u"旅客入住"_s << 2 << u"恭喜您，旅客入住成功？"_s;
    QTest::newRow("reservation") << u"Form10"_s << u"旅客预订"_s << 3 << u"恭喜您，旅客预订房间成功？"_s;
}

} // namespace

class TestStayEntry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerFrontdeskWindows(); }
    void cleanup() { flushDeletes(); }
    void controls_data();
    void controls();
    void listsOnlyFreeRoomsAndPicks_data() { addFormColumns(), addFormRows(); }
    void listsOnlyFreeRoomsAndPicks();
    void mouseAndKeysPickTheRoomCheckedInto_data() { addFormColumns(), addFormRows(); }
    void mouseAndKeysPickTheRoomCheckedInto();
    void refusals_data();
    void refusals();
    void confirmWritesRowAndTakesRoom_data() { addFormColumns(), addFormRows(); }
    void confirmWritesRowAndTakesRoom();
    void roundingAndDefaults_data();
    void roundingAndDefaults();
    void outOfRangeWritesNothing_data() { addFormColumns(), addFormRows(); }
    void outOfRangeWritesNothing();
    void roomTakenMeanwhile_data() { addFormColumns(), addFormRows(); }
    void roomTakenMeanwhile();
    void boardHandsARoom_data() { addFormColumns(), addFormRows(); }
    void boardHandsARoom();
    void missingFileSaysSo_data() { addFormColumns(), addFormRows(); }
    void missingFileSaysSo();
};

void TestStayEntry::controls_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("confirm");
    QTest::addColumn<QString>("instruction");
    QTest::newRow("Form8") << u"Form8"_s << u"新旅客入住"_s << u"确认入住"_s
                           << u"以下表中均为可供选择的空房间，请点击序号选择"_s;
    QTest::newRow("Form10") << u"Form10"_s << u"旅客房间预订"_s << u"确认预订"_s
                            << u"以下表中都是可供选择的空房间，请点击序号进行选择"_s;
}

void TestStayEntry::controls()
{
    QFETCH(QString, form);
    QFETCH(QString, caption);
    QFETCH(QString, confirm);
    QFETCH(QString, instruction);
    TestDatabase db;
    TestSeam seam;
    QWidget *w = open(form);
    QCOMPARE(w->windowTitle(), caption);
    QCOMPARE(button(w, u"Command1"_s)->text(), confirm);
    QCOMPARE(label(w, u"Label14"_s), instruction);
    const QStringList labels{u"旅客姓名："_s, u"旅客单位："_s,     u"证件名称："_s, u"证件号码："_s,
                             u"入住时间："_s, u"计划入住天数："_s, u"入住人数："_s, u"房间ID："_s,
                             u"预付款："_s,   u"备注信息："_s,     u"天"_s,         u"人"_s,
                             u"元"_s};
    for (int i = 0; i < labels.size(); ++i)
        QCOMPARE(label(w, u"Label"_s + QString::number(i + 1)), labels.at(i));
    QCOMPARE(box(w, u"Text8"_s)->accessibleName(), u"预付款"_s);
    QCOMPARE(box(w, u"Text10"_s)->accessibleName(), u"房间ID"_s);
    // The room number is shown tinted and cannot be typed; the key under it is hidden.
    QVERIFY(!box(w, u"Text10"_s)->isEnabled());
    QVERIFY(box(w, u"Text10"_s)->styleSheet().contains(u"#FFE0C0"_s, Qt::CaseInsensitive));
    QVERIFY(!box(w, u"Text7"_s)->isEnabled());
    QVERIFY(!box(w, u"Text7"_s)->isVisible());
    for (int i = 1; i <= 10; ++i)
        QVERIFY(text(w, u"Text"_s + QString::number(i)).isEmpty());
    QCOMPARE(picker(w)->Value(), QDateTime(QDate(2006, 4, 26), QTime(8, 15))); // the test clock's minute
    FlexGrid *rooms = grid(w, u"MSFlexGrid1"_s);
    QCOMPARE(rooms->toolTip(), u"请选择房间,这里的房间都是未入住房间"_s);
    QCOMPARE(
        rooms->FormatString(),
        u"序号|^房间号        |^房间名称        |^房间类型    |^    所属楼层|^标准价格|^会员价格|^房间状态   "_s);
    QCOMPARE(rooms->minimumRowHeight(), 17); // pixels
}

void TestStayEntry::listsOnlyFreeRoomsAndPicks()
{
    QFETCH(QString, form);
    TestDatabase db;
    TestSeam seam;
    QWidget *empty = open(form);
    // No free room: header only, a pick does nothing and confirming asks for the room.
    QCOMPARE(grid(empty, u"MSFlexGrid1"_s)->Rows(), 1);
    grid(empty, u"MSFlexGrid1"_s)->selectRecord(1);
    QVERIFY(text(empty, u"Text7"_s).isEmpty());
    typeGuest(empty);
    click(empty, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"请填写完整资料？"_s});
    empty->close();

    const qint64 free1 = db.addRoom(u"101"_s, 120, 1);
    db.addRoom(u"102"_s, 120, 2);
    db.addRoom(u"103"_s, 120, 3);
    const qint64 free2 = db.addRoom(u"007"_s, 80, 1);
    QWidget *w = open(form);
    FlexGrid *rooms = grid(w, u"MSFlexGrid1"_s);
    QCOMPARE(column(rooms, 0), (QStringList{QString::number(free1), QString::number(free2)}));
    QCOMPARE(column(rooms, 1), (QStringList{u"101"_s, u"007"_s}));
    QCOMPARE(rooms->text(2, 5), u"80"_s);
    QCOMPARE(rooms->text(2, 7), u"1"_s);
    rooms->selectRecord(2);
    QCOMPARE(text(w, u"Text7"_s), QString::number(free2));
    QCOMPARE(text(w, u"Text10"_s), u"007"_s);
    // Typing elsewhere keeps the pick; another pick replaces it.
    set(w, u"Text1"_s, u"李四"_s);
    QCOMPARE(text(w, u"Text10"_s), u"007"_s);
    rooms->selectRecord(1);
    QCOMPARE(text(w, u"Text7"_s), QString::number(free1));
    QCOMPARE(text(w, u"Text10"_s), u"101"_s);
}

void TestStayEntry::mouseAndKeysPickTheRoomCheckedInto()
{
    QFETCH(QString, form);
    QFETCH(QString, table);
    TestDatabase db;
    TestSeam seam;
    const qint64 first = db.addRoom(u"201"_s);
    const qint64 second = db.addRoom(u"202"_s);
    const qint64 third = db.addRoom(u"203"_s);
    QWidget *w = open(form);
    FlexGrid *rooms = grid(w, u"MSFlexGrid1"_s);
    kit::clickRow(rooms, 2);
    QCOMPARE(text(w, u"Text10"_s), u"202"_s);
    kit::key(rooms, Qt::Key_Down);
    QCOMPARE(rooms->RowSel(), 3);
    QCOMPARE(text(w, u"Text10"_s), u"203"_s);
    kit::clickRow(rooms, 2);
    kit::clickRow(rooms, 3);
    typeGuest(w);
    click(w, u"Command1"_s);
    // The guest is in the room highlighted, and only that room changed.
    QCOMPARE(db.scalar(u"select 房间ID from "_s + table).toLongLong(), third);
    QCOMPARE(db.scalar(u"select count(*) from 房间 where 房间状态=1 and 房间ID in (?, ?)"_s, {first, second})
                 .toInt(),
             2);
    QCOMPARE(db.scalar(u"select count(*) from 房间 where 房间状态=1"_s).toInt(), 2);
}

void TestStayEntry::refusals_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    for (const QString &form : {u"Form8"_s, u"Form10"_s}) {
        const QByteArray f = form.toLatin1();
        const QString incomplete = u"请填写完整资料？"_s;
        const QString notNumber = u"入住天数，人数，预付款只能为数字形式？"_s;
        QTest::newRow(f + " no organisation") << form << u"Text2"_s << QString() << incomplete;
        QTest::newRow(f + " no name") << form << u"Text1"_s << QString() << incomplete;
        QTest::newRow(f + " no prepayment") << form << u"Text8"_s << QString() << incomplete;
        QTest::newRow(f + " days not a number") << form << u"Text5"_s << u"三"_s << notNumber;
        QTest::newRow(f + " persons not a number") << form << u"Text6"_s << u"2人"_s << notNumber;
        QTest::newRow(f + " prepayment not a number") << form << u"Text8"_s << u"five"_s << notNumber;
    }
}

void TestStayEntry::refusals()
{
    QFETCH(QString, form);
    QFETCH(QString, box);
    QFETCH(QString, value);
    QFETCH(QString, message);
    TestDatabase db;
    TestSeam seam;
    db.addRoom(u"101"_s);
    const QString before = db.dump();
    QWidget *w = openWithGuest(form);
    set(w, box, value);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{message});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Information);
    QCOMPARE(seam.messages.first().title, u"提示"_s);
    QCOMPARE(db.dump(), before);
    // The window stays with what was typed.
    QCOMPARE(kit::current(seam, form), w);
    QCOMPARE(text(w, box), value);
    QCOMPARE(text(w, u"Text10"_s), u"101"_s);

    // Both faults at once: completeness is checked first.
    seam.clear();
    set(w, u"Text5"_s, u"abc"_s);
    set(w, u"Text3"_s, QString());
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"请填写完整资料？"_s});
}

void TestStayEntry::confirmWritesRowAndTakesRoom()
{
    QFETCH(QString, form);
    QFETCH(QString, table);
    QFETCH(int, status);
    QFETCH(QString, success);
    TestDatabase db;
    TestSeam seam;
    db.addRoom(u"101"_s);
    const qint64 room = db.addRoom(u"102"_s);
    QWidget *w = open(form);
    typeGuest(w);
    set(w, u"Text9"_s, u"靠窗"_s);
    picker(w)->setValue(QDateTime(QDate(2006, 4, 20), QTime(14, 30)));
    grid(w, u"MSFlexGrid1"_s)->selectRecord(2);
    seam.answer(true); // six days back, and meant
    click(w, u"Command1"_s);
    QCOMPARE(seam.messages.size(), 2);
    QCOMPARE(seam.messageTexts().last(), success);
    // Every box in its column, the room picked taken.
    const QList<QStringList> rows = db.rows(u"select * from "_s + table);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().mid(1), (QStringList{u"张三"_s, u"华光公司"_s, u"身份证"_s, u"110101199001011234"_s,
                                               u"2006-04-20 14:30:00"_s, u"3"_s, u"2"_s,
                                               QString::number(room), u"500"_s, u"靠窗"_s}));
    QCOMPARE(db.scalar(u"select 房间状态 from 房间 where 房间ID=?"_s, {room}).toInt(), status);
    // Reopened fresh: empty boxes, and the room just taken is no longer offered.
    flushDeletes();
    QWidget *fresh = kit::current(seam, form);
    QVERIFY(fresh && fresh != w);
    QCOMPARE(column(grid(fresh, u"MSFlexGrid1"_s), 1), QStringList{u"101"_s});
    QVERIFY(text(fresh, u"Text1"_s).isEmpty());
    QVERIFY(text(fresh, u"Text10"_s).isEmpty());
    // The twin window no longer offers it either.
    QWidget *other2 = open(form == u"Form8"_s ? u"Form10"_s : u"Form8"_s);
    QCOMPARE(column(grid(other2, u"MSFlexGrid1"_s), 1), QStringList{u"101"_s});
}

void TestStayEntry::roundingAndDefaults_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("days");
    QTest::addColumn<QString>("persons");
    QTest::addColumn<QString>("prepayment");
    QTest::addColumn<QStringList>("stored"); // days, persons, prepayment
    for (const QString &form : {u"Form8"_s, u"Form10"_s}) {
        const QByteArray f = form.toLatin1();
        QTest::newRow(f + " halves to even")
            << form << u"1.5"_s << u"2.5"_s << u"0.5"_s << QStringList{u"2"_s, u"2"_s, u"0"_s};
        QTest::newRow(f + " negative and blanks")
            << form << u"-1"_s << u" 3 "_s << u"32767"_s << QStringList{u"-1"_s, u"3"_s, u"32767"_s};
        QTest::newRow(f + " exponent")
            << form << u"1e1"_s << u"3.5"_s << u"-32768"_s << QStringList{u"10"_s, u"4"_s, u"-32768"_s};
    }
}

void TestStayEntry::roundingAndDefaults()
{
    QFETCH(QString, form);
    QFETCH(QString, days);
    QFETCH(QString, persons);
    QFETCH(QString, prepayment);
    QFETCH(QStringList, stored);
    TestDatabase db;
    TestSeam seam;
    db.addRoom(u"101"_s);
    QWidget *w = openWithGuest(form);
    set(w, u"Text5"_s, days);
    set(w, u"Text6"_s, persons);
    set(w, u"Text8"_s, prepayment);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messages.size(), 1);
    const QString table = form == u"Form8"_s ? u"旅客入住"_s : u"旅客预订"_s;
    const QList<QStringList> rows =
        db.rows(u"select 计划入住天数, 入住人数, 预付款, 入住时间, 备注信息 from "_s + table);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().mid(0, 3), stored);
    // Untouched picker (the test clock's minute) and empty remarks.
    QCOMPARE(rows.first().at(3), u"2006-04-26 08:15:00"_s);
    QCOMPARE(rows.first().at(4), u"<NULL>"_s);
}

void TestStayEntry::outOfRangeWritesNothing()
{
    QFETCH(QString, form);
    QFETCH(QString, table);
    TestDatabase db;
    TestSeam seam;
    db.addRoom(u"101"_s);
    QWidget *w = openWithGuest(form);
    set(w, u"Text8"_s, u"40000"_s);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(),
             QStringList{u"数值“40000”不是 -32768 到 32767 之间的整数（溢出或类型不匹配）。"_s});
    QCOMPARE(db.count(table), 0);
    QCOMPARE(kit::current(seam, form), w);
    QCOMPARE(text(w, u"Text8"_s), u"40000"_s);
}

void TestStayEntry::roomTakenMeanwhile()
{
    QFETCH(QString, form);
    QFETCH(QString, success);
    TestDatabase db;
    TestSeam seam;
    const qint64 room = db.addRoom(u"101"_s);
    db.addRoom(u"102"_s);
    QWidget *w = openWithGuest(form);
    // Another desk books the room after this one listed it.
    db.exec(u"update 房间 set 房间状态=3 where 房间ID=?"_s, {room});
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"对不起，此房间已经不是空闲房，请重新选择房间！"_s});
    // Still the same window: the particulars stay, the room is to be picked again from a fresh list.
    QCOMPARE(kit::current(seam, form), w);
    QCOMPARE(text(w, u"Text1"_s), u"张三"_s);
    QVERIFY(text(w, u"Text7"_s).isEmpty());
    QVERIFY(text(w, u"Text10"_s).isEmpty());
    QCOMPARE(column(grid(w, u"MSFlexGrid1"_s), 1), QStringList{u"102"_s});
    // Picking a free room then succeeds.
    grid(w, u"MSFlexGrid1"_s)->selectRecord(1);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts().last(), success);
}

void TestStayEntry::boardHandsARoom()
{
    QFETCH(QString, form);
    TestDatabase db;
    TestSeam seam;
    db.addRoom(u"101"_s);
    const qint64 room = db.addRoom(u"102"_s);
    const QDateTime now(QDate(2006, 5, 1), QTime(9, 45));
    QWidget *w = ui::showWindowFor(form, {room, u"102"_s, now, -1});
    QCOMPARE(grid(w, u"MSFlexGrid1"_s)->RowSel(), 2);
    QCOMPARE(text(w, u"Text7"_s), QString::number(room));
    QCOMPARE(text(w, u"Text10"_s), u"102"_s);
    // Only a check-in starts at the time the board gives; a reservation starts at the clock.
    QCOMPARE(picker(w)->Value(), form == u"Form8"_s ? now : ui::now());

    // A room no longer free is not picked.
    QWidget *gone = ui::showWindowFor(form, {999, u"999"_s, now, -1});
    QCOMPARE(grid(gone, u"MSFlexGrid1"_s)->RowSel(), 0);
    QVERIFY(text(gone, u"Text7"_s).isEmpty());
    QVERIFY(seam.messages.isEmpty());
}

void TestStayEntry::missingFileSaysSo()
{
    QFETCH(QString, form);
    TestDatabase db;
    TestSeam seam;
    db.addRoom(u"101"_s);
    QVERIFY(db.takeAway());
    // An empty list is never taken for "no free rooms": the window says why, once.
    QWidget *w = open(form);
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY2(seam.messages.first().text.startsWith(hotel::causeSentence(StoreCause::FileMissing)),
             qPrintable(seam.messages.first().text));
    QCOMPARE(grid(w, u"MSFlexGrid1"_s)->Rows(), 1);
    QCOMPARE(grid(w, u"MSFlexGrid1"_s)->Cols(), 8);
    typeGuest(w);
    set(w, u"Text7"_s, u"1"_s);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messages.size(), 2);
    QVERIFY(seam.messages.last().text.contains(u"innkeep.mdb"_s));
    QVERIFY(!QFile::exists(db.path()));
}

QTEST_MAIN(TestStayEntry)
#include "test_stay_entry.moc"
