#include "data/schema.h"
#include "frontdesk/frontdesk_windows.h"
#include "frontdesk/stay_list_window.h"
#include "hotel/outcome.h"
#include "test_database.h"
#include "ui/chosen_record.h"
#include "window_kit.h"

#include <QGroupBox>
#include <QItemSelectionModel>

using namespace Qt::Literals::StringLiterals;
using namespace kit;

namespace {

qint64 addStay(TestDatabase &db, const QString &table, const QString &name, qint64 room,
               const QString &remark = QString())
{
    return db.insert(
        u"insert into "_s + table +
            u" (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, 入住人数, 房间ID, 预付款, "
            u"备注信息)"
            u" values (?, '华光公司', '身份证', '1234', '2006-04-20 14:30:00', 3, 2, ?, 500, ?)"_s,
        {name, room, remark.isEmpty() ? QVariant() : QVariant(remark)});
}

void addFormColumns()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("saved");
}

void addFormRows()
{
    QTest::newRow("current guests") << u"Form9"_s << u"旅客入住"_s << u"恭喜您，旅客入住信息修改成功？"_s;
    QTest::newRow("reservations") << u"Form11"_s << u"旅客预订"_s << u"恭喜您，旅客预订信息修改成功？"_s;
}

} // namespace

class TestStayList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerFrontdeskWindows(); }
    void cleanup() { flushDeletes(); }
    void controls_data();
    void controls();
    void selectingShowsParticularsAndRoom_data() { addFormColumns(), addFormRows(); }
    void selectingShowsParticularsAndRoom();
    void missingRoom_data();
    void missingRoom();
    void saveCorrectsTheShownRow_data() { addFormColumns(), addFormRows(); }
    void saveCorrectsTheShownRow();
    void saveRefusals_data() { addFormColumns(), addFormRows(); }
    void saveRefusals();
    void loadFailureIsShown_data() { addFormColumns(), addFormRows(); }
    void loadFailureIsShown();
    void cancelNeedsAShownReservation();
    void cancelReopensWithoutIt();
    void boardHandsARoom_data() { addFormColumns(), addFormRows(); }
    void boardHandsARoom();
};

void TestStayList::controls_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("listCaption");
    QTest::addColumn<bool>("canCancel");
    QTest::newRow("Form9") << u"Form9"_s << u"当前入住信息"_s << u"当前已入住的旅客"_s << false;
    QTest::newRow("Form11") << u"Form11"_s << u"取消客房预订"_s << u"旅客预订房信息"_s << true;
}

void TestStayList::controls()
{
    QFETCH(QString, form);
    QFETCH(QString, caption);
    QFETCH(QString, listCaption);
    QFETCH(bool, canCancel);
    TestDatabase db;
    TestSeam seam;
    QWidget *w = open(form);
    QCOMPARE(w->windowTitle(), caption);
    QCOMPARE(w->findChild<QGroupBox *>(u"Frame2"_s)->title(), listCaption);
    QCOMPARE(w->findChild<QGroupBox *>(u"Frame1"_s)->title(), QString());
    QCOMPARE(button(w, u"Command1"_s)->text(), u"确认修改信息"_s);
    QCOMPARE(w->findChild<QPushButton *>(u"Command2"_s) != nullptr, canCancel);
    if (canCancel)
        QCOMPARE(button(w, u"Command2"_s)->text(), u"取消房间预订"_s);
    const QStringList labels{u"旅客姓名："_s, u"旅客单位："_s,     u"证件名称："_s, u"证件号码："_s,
                             u"入住时间："_s, u"计划入住天数："_s, u"入住人数："_s, u"房间ID："_s,
                             u"预付款："_s,   u"备注信息："_s,     u"天"_s,         u"人"_s,
                             u"元"_s};
    for (int i = 0; i < labels.size(); ++i)
        QCOMPARE(label(w, u"Label"_s + QString::number(i + 1)), labels.at(i));
    QCOMPARE(box(w, u"Text5"_s)->accessibleName(), u"计划入住天数"_s);
    QVERIFY(!box(w, u"Text10"_s)->isEnabled());
    QVERIFY(!box(w, u"Text7"_s)->isVisible());
    QCOMPARE(picker(w)->Value(), QDateTime(QDate(2006, 4, 26), QTime(0, 0)));
    QCOMPARE(
        grid(w, u"MSFlexGrid2"_s)->FormatString(),
        u"序号|^旅客姓名      |^旅客单位                   |^证件名称  |^证件号码             |^入住时间            |^计划入住天数|^入住人数|^房间ID|^预付款|^备注信息              "_s);
    QCOMPARE(grid(w, u"MSFlexGrid2"_s)->Rows(), 1);
    QCOMPARE(grid(w, u"MSFlexGrid1"_s)->toolTip(), u"旅客入住的房间基本信息"_s);
    QVERIFY(seam.messages.isEmpty());
}

void TestStayList::selectingShowsParticularsAndRoom()
{
    QFETCH(QString, form);
    QFETCH(QString, table);
    TestDatabase db;
    TestSeam seam;
    const qint64 r1 = db.addRoom(u"101"_s, 120, 2);
    const qint64 r2 = db.addRoom(u"202"_s, 150, 2);
    const qint64 s1 = addStay(db, table, u"张三"_s, r1, u"靠窗"_s);
    const qint64 s2 = addStay(db, table, u"李四"_s, r2);
    QWidget *w = open(form);
    FlexGrid *list = grid(w, u"MSFlexGrid2"_s);
    QCOMPARE(column(list, 0), (QStringList{QString::number(s1), QString::number(s2)}));
    QCOMPARE(list->text(1, 10), u"靠窗"_s);
    QCOMPARE(list->text(2, 10), QString());
    list->selectRecord(1);
    QCOMPARE(text(w, u"Text1"_s), u"张三"_s);
    QCOMPARE(text(w, u"Text4"_s), u"1234"_s);
    QCOMPARE(picker(w)->Value(), QDateTime(QDate(2006, 4, 20), QTime(14, 30)));
    QCOMPARE(text(w, u"Text5"_s), u"3"_s);
    QCOMPARE(text(w, u"Text7"_s), QString::number(r1));
    QCOMPARE(text(w, u"Text8"_s), u"500"_s);
    QCOMPARE(text(w, u"Text9"_s), u"靠窗"_s);
    QCOMPARE(text(w, u"Text10"_s), u"101"_s);
    FlexGrid *room = grid(w, u"MSFlexGrid1"_s);
    QCOMPARE(room->Rows(), 2);
    QCOMPARE(room->text(1, 0), QString::number(r1));
    QCOMPARE(room->text(1, 5), u"120"_s);
    // The keyboard moves the choice just as a click does.
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->RowSel(), 2);
    QCOMPARE(text(w, u"Text1"_s), u"李四"_s);
    QCOMPARE(text(w, u"Text9"_s), QString());
    QCOMPARE(text(w, u"Text10"_s), u"202"_s);
    QCOMPARE(room->Rows(), 2);
    QCOMPARE(room->text(1, 5), u"150"_s);
    QVERIFY(seam.messages.isEmpty());
}

void TestStayList::missingRoom_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("roomRows");
    QTest::newRow("current guests: one empty row") << u"Form9"_s << u"旅客入住"_s << 2;
    QTest::newRow("reservations: no row") << u"Form11"_s << u"旅客预订"_s << 1;
}

void TestStayList::missingRoom()
{
    QFETCH(QString, form);
    QFETCH(QString, table);
    QFETCH(int, roomRows);
    TestDatabase db;
    TestSeam seam;
    const qint64 r1 = db.addRoom(u"101"_s, 120, 2);
    addStay(db, table, u"张三"_s, r1);
    addStay(db, table, u"王五"_s, 999); // its room was deleted
    QWidget *w = open(form);
    FlexGrid *list = grid(w, u"MSFlexGrid2"_s);
    list->selectRecord(1);
    QCOMPARE(text(w, u"Text10"_s), u"101"_s);
    list->selectRecord(2);
    QCOMPARE(text(w, u"Text1"_s), u"王五"_s);
    QCOMPARE(text(w, u"Text7"_s), u"999"_s);
    FlexGrid *room = grid(w, u"MSFlexGrid1"_s);
    QCOMPARE(room->Rows(), roomRows);
    for (int c = 0; c < room->Cols() && roomRows == 2; ++c)
        QCOMPARE(room->text(1, c), QString());
    // The number of the room shown before is not left beside this guest.
    QCOMPARE(text(w, u"Text10"_s), QString());
    QVERIFY(seam.messages.isEmpty());
}

void TestStayList::saveCorrectsTheShownRow()
{
    QFETCH(QString, form);
    QFETCH(QString, table);
    QFETCH(QString, saved);
    TestDatabase db;
    TestSeam seam;
    const qint64 r1 = db.addRoom(u"101"_s, 120, 2);
    const qint64 r2 = db.addRoom(u"202"_s, 150, 3);
    const qint64 s1 = addStay(db, table, u"张三"_s, r1, u"靠窗"_s);
    const QString byKey =
        u"select * from "_s + table + u" where "_s + schema::table(table)->columns.first().name + u"=?"_s;
    addStay(db, table, u"李四"_s, r2);
    QWidget *w = open(form);
    FlexGrid *list = grid(w, u"MSFlexGrid2"_s);
    list->selectRecord(1);
    set(w, u"Text1"_s, u"张三丰"_s);
    set(w, u"Text5"_s, u"2.5"_s);
    set(w, u"Text9"_s, QString()); // an emptied remark keeps the one stored
    picker(w)->setValueText(u"2006/4/21 9:15:00"_s);
    // The choice lost, the save names what is missing and writes nothing; chosen again, it saves.
    list->selectionModel()->clearSelection();
    QCOMPARE(list->RowSel(), 0);
    const QString unsaved = db.dump();
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{ui::nothingChosenMessage()});
    QCOMPARE(db.dump(), unsaved);
    seam.clear();
    list->selectionModel()->select(list->model()->index(0, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(list->RowSel(), 1);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{saved});
    // Every box back in its column; the emptied remark keeps the one stored.
    const QList<QStringList> rows = db.rows(byKey, {s1});
    QCOMPARE(rows.first().mid(1),
             (QStringList{u"张三丰"_s, u"华光公司"_s, u"身份证"_s, u"1234"_s, u"2006-04-21 09:15:00"_s,
                          u"2"_s, u"2"_s, QString::number(r1), u"500"_s, u"靠窗"_s}));
    // Reopened with the corrected list and empty boxes.
    flushDeletes();
    QWidget *fresh = kit::current(seam, form);
    QVERIFY(fresh && fresh != w);
    QCOMPARE(column(grid(fresh, u"MSFlexGrid2"_s), 1), (QStringList{u"张三丰"_s, u"李四"_s}));
    QVERIFY(text(fresh, u"Text1"_s).isEmpty());
}

void TestStayList::saveRefusals()
{
    QFETCH(QString, form);
    QFETCH(QString, table);
    QFETCH(QString, saved);
    TestDatabase db;
    TestSeam seam;
    const qint64 r1 = db.addRoom(u"101"_s, 120, 2);
    addStay(db, table, u"张三"_s, r1);
    const QString before = db.dump();
    QWidget *w = open(form);
    // Nothing shown yet: the boxes are empty.
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"请填写完整资料？"_s});
    grid(w, u"MSFlexGrid2"_s)->selectRecord(1);
    const struct {
        QString box, value, message;
    } cases[] = {{u"Text2"_s, QString(), u"请填写完整资料？"_s},
                 {u"Text6"_s, u"two"_s, u"入住天数，人数，预付款只能为数字形式？"_s},
                 {u"Text8"_s, u"40000"_s, QString()}}; // passes the checks, fails the conversion
    for (const auto &c : cases) {
        seam.clear();
        const QString kept = text(w, c.box);
        set(w, c.box, c.value);
        click(w, u"Command1"_s);
        QCOMPARE(seam.messages.size(), 1);
        if (c.message.isEmpty())
            QVERIFY(seam.messages.first().text.contains(c.value));
        else
            QCOMPARE(seam.messages.first().text, c.message);
        QVERIFY(seam.messages.first().text != saved);
        QCOMPARE(db.dump(), before);
        QCOMPARE(kit::current(seam, form), w);
        set(w, c.box, kept);
    }
    // A row deleted meanwhile is reported, not silently skipped.
    seam.clear();
    db.exec(u"delete from "_s + table);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{hotel::goneMessage()});
    QCOMPARE(kit::current(seam, form), w);
}

void TestStayList::loadFailureIsShown()
{
    QFETCH(QString, form);
    TestDatabase db;
    TestSeam seam;
    QVERIFY(db.takeAway());
    QWidget *w = open(form);
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY(seam.messages.first().text.contains(u"innkeep.mdb"_s));
    QCOMPARE(grid(w, u"MSFlexGrid2"_s)->Rows(), 1);
    QCOMPARE(grid(w, u"MSFlexGrid2"_s)->Cols(), 11);
}

void TestStayList::cancelNeedsAShownReservation()
{
    TestDatabase db;
    TestSeam seam;
    QWidget *empty = open(u"Form11"_s);
    click(empty, u"Command2"_s); // empty list: nothing asked, the cause named
    QCOMPARE(seam.messageTexts(), QStringList{ui::nothingChosenMessage()});
    seam.clear();
    empty->close();

    const qint64 room = db.addRoom(u"101"_s, 120, 3);
    addStay(db, u"旅客预订"_s, u"张三"_s, room);
    const QString before = db.dump();
    QWidget *w = open(u"Form11"_s);
    click(w, u"Command2"_s); // rows listed, none shown: nothing asked, the cause named
    QCOMPARE(seam.messageTexts(), QStringList{ui::nothingChosenMessage()});
    seam.clear();
    grid(w, u"MSFlexGrid2"_s)->selectRecord(1);
    seam.answer(false);
    click(w, u"Command2"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"您确认取消此房间预订？"_s});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Question);
    QCOMPARE(seam.messages.first().title, u"提示"_s);
    QCOMPARE(db.dump(), before);
    QCOMPARE(kit::current(seam, u"Form11"_s), w);
}

void TestStayList::cancelReopensWithoutIt()
{
    TestDatabase db;
    TestSeam seam;
    const qint64 r1 = db.addRoom(u"101"_s, 120, 3);
    const qint64 r2 = db.addRoom(u"202"_s, 150, 3);
    addStay(db, u"旅客预订"_s, u"张三"_s, r1);
    addStay(db, u"旅客预订"_s, u"李四"_s, r2);
    QWidget *w = open(u"Form11"_s);
    grid(w, u"MSFlexGrid2"_s)->selectRecord(1);
    seam.answer(true);
    click(w, u"Command2"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"您确认取消此房间预订？"_s}); // no success message
    QWidget *fresh = kit::current(seam, u"Form11"_s);
    QVERIFY(fresh && fresh != w);
    QCOMPARE(column(grid(fresh, u"MSFlexGrid2"_s), 1), QStringList{u"李四"_s});
    // The freed room is offered again for check-in and reservation.
    for (const QString &form : {u"Form8"_s, u"Form10"_s})
        QCOMPARE(column(grid(open(form), u"MSFlexGrid1"_s), 1), QStringList{u"101"_s});
}

void TestStayList::boardHandsARoom()
{
    QFETCH(QString, form);
    QFETCH(QString, table);
    TestDatabase db;
    TestSeam seam;
    const qint64 r1 = db.addRoom(u"101"_s, 120, 3);
    const qint64 r2 = db.addRoom(u"202"_s, 150, 3);
    addStay(db, table, u"张三"_s, r1);
    addStay(db, table, u"李四"_s, r2);
    const qint64 second = addStay(db, table, u"王五"_s, r2);
    // The record the board showed, else the room's first record.
    QWidget *w = ui::showWindowFor(form, {r2, u"202"_s, {}, second});
    QCOMPARE(grid(w, u"MSFlexGrid2"_s)->RowSel(), 3);
    QCOMPARE(text(w, u"Text1"_s), u"王五"_s);
    QCOMPARE(text(w, u"Text10"_s), u"202"_s);
    w = ui::showWindowFor(form, {r2, u"202"_s, {}, 999});
    QCOMPARE(text(w, u"Text1"_s), u"李四"_s);
    w = ui::showWindowFor(form, {r1, u"101"_s, {}, -1});
    QCOMPARE(text(w, u"Text1"_s), u"张三"_s);
    w = ui::showWindowFor(form, {999, u"999"_s, {}, -1});
    QCOMPARE(grid(w, u"MSFlexGrid2"_s)->RowSel(), 0);
    QVERIFY(seam.messages.isEmpty());
}

QTEST_MAIN(TestStayList)
#include "test_stay_list.moc"
