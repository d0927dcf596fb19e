#include "setup/rooms_window.h"
#include "setup/setup_windows.h"
#include "test_database.h"
#include "ui/chosen_record.h"
#include "ui/grid_fill.h"
#include "ui/windows.h"
#include "window_kit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPointer>

using namespace Qt::Literals::StringLiterals;
using kit::box;
using kit::click;

namespace {

QComboBox *floorBox(QWidget *w)
{
    return kit::child<QComboBox>(w, u"Combo1"_s);
}

QPushButton *button(QWidget *w, const QString &name)
{
    return kit::child<QPushButton>(w, name);
}

// Text1, Text2, Text3, Combo1, Text4, Text5.
void fill(QWidget *w, const QStringList &values)
{
    kit::set(w, u"Text1"_s, values.at(0));
    kit::set(w, u"Text2"_s, values.at(1));
    kit::set(w, u"Text3"_s, values.at(2));
    floorBox(w)->setEditText(values.at(3));
    kit::set(w, u"Text4"_s, values.at(4));
    kit::set(w, u"Text5"_s, values.at(5));
}

QStringList fields(QWidget *w)
{
    return {kit::text(w, u"Text1"_s),   kit::text(w, u"Text2"_s), kit::text(w, u"Text3"_s),
            floorBox(w)->currentText(), kit::text(w, u"Text4"_s), kit::text(w, u"Text5"_s)};
}

QString statusBoxes(QWidget *w)
{
    QString s;
    for (const QString &name : {u"Check1"_s, u"Check2"_s, u"Check3"_s})
        s += kit::child<QCheckBox>(w, name)->isChecked() ? u'1' : u'0';
    return s;
}

QStringList texts(std::initializer_list<const char16_t *> items)
{
    QStringList out;
    for (const char16_t *s : items)
        out.append(QString::fromUtf16(s));
    return out;
}

const QString RoomColumns =
    u"select 房间号, 房间名称, 房间类型, 所属楼层, 标准价格, 会员价格, 房间状态 from 房间 "_s;

} // namespace

class TestRooms : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerSetupWindows(); }
    void controlsAndLists();
    void addIsTwoSteps();
    void addChecks_data();
    void addChecks();
    void addWithoutChoosingFloorStoresPrompt();
    void addAfterPickingCopiesThatRoomAsNewFree();
    void pickShowsStatus_data();
    void pickShowsStatus();
    void statusBoxesOnlyShow();
    void rewriteKeepsStatus();
    void rewriteAfterMouseAndKeyPicks();
    void rewriteChecksAndNeedsChosenRow();
    void deleteAsksFirst_data() { kit::yesAndNo(); }
    void deleteAsksFirst();
    void deleteWithEmptyListDoesNothing();
    void failedSavesShowOneFailureAndKeepWindow_data();
    void failedSavesShowOneFailureAndKeepWindow();
};

void TestRooms::controlsAndLists()
{
    TestDatabase db;
    db.addFloor(u"二楼"_s);
    db.addFloor(u"一楼"_s);
    const qint64 room = db.addRoom(u"101"_s, 150, 2, u"一楼"_s);
    TestSeam seam;
    RoomsWindow *w = kit::open<RoomsWindow>(u"Form6"_s);
    QCOMPARE(w->windowTitle(), u"房间管理"_s);
    QCOMPARE(
        kit::grid(w)->FormatString(),
        u"序号|^房间号        |^房间名称        |^房间类型    |^    所属楼层|^标准价格|^会员价格|^房间状态   "_s);
    QCOMPARE(kit::rows(kit::grid(w)),
             (QList<QStringList>{{QString::number(room), u"101"_s, u"房间101"_s, u"标准间"_s, u"一楼"_s,
                                  u"150"_s, u"130"_s, u"2"_s}}));
    QCOMPARE(kit::text(w, u"Text3"_s), u"标准间"_s);
    QVERIFY(floorBox(w)->isEditable());
    QCOMPARE(floorBox(w)->currentText(), u"请选择楼层"_s);
    // Floors in the order the table returns them, unsorted.
    QCOMPARE(floorBox(w)->count(), 2);
    QCOMPARE(floorBox(w)->itemText(0), u"二楼"_s);
    QCOMPARE(floorBox(w)->itemText(1), u"一楼"_s);
    QCOMPARE(box(w, u"Text4"_s)->accessibleName(), u"标准价格"_s);
    QCOMPARE(floorBox(w)->accessibleName(), u"所属楼层"_s);
    QCOMPARE(statusBoxes(w), u"000"_s);
    QVERIFY(seam.messages.isEmpty());
}

void TestRooms::addIsTwoSteps()
{
    TestDatabase db;
    db.addFloor(u"一楼"_s);
    TestSeam seam;
    QPointer<RoomsWindow> w = kit::open<RoomsWindow>(u"Form6"_s);
    fill(w, {u"x"_s, u"y"_s, u"套间"_s, u"一楼"_s, u"1"_s, u"2"_s});
    click(w, u"Command1"_s);
    // First press: confirm caption, rewrite and delete off, four boxes emptied.
    QCOMPARE(button(w, u"Command1"_s)->text(), u"确认提交"_s);
    QVERIFY(!button(w, u"Command2"_s)->isEnabled());
    QVERIFY(!button(w, u"Command3"_s)->isEnabled());
    QCOMPARE(fields(w), (QStringList{QString(), QString(), u"套间"_s, u"一楼"_s, QString(), QString()}));
    QCOMPARE(db.count(u"房间"_s), 0);
    QVERIFY(seam.messages.isEmpty());

    fill(w, {u"1'01"_s, u"朝南 \"大\" 房"_s, u"套间"_s, u"一楼"_s, u"12.5"_s, u" 88 "_s});
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"新增房间信息成功!"_s});
    QCOMPARE(db.rows(RoomColumns), (QList<QStringList>{{u"1'01"_s, u"朝南 \"大\" 房"_s, u"套间"_s, u"一楼"_s,
                                                        u"12.5"_s, u"88"_s, u"1"_s}}));
    QVERIFY(w.isNull());
    RoomsWindow *fresh = seam.last<RoomsWindow>();
    QCOMPARE(button(fresh, u"Command1"_s)->text(), u"新增房间"_s);
    QVERIFY(button(fresh, u"Command2"_s)->isEnabled());
    QCOMPARE(kit::grid(fresh)->Rows(), 2);
}

void TestRooms::addChecks_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("message");
    const QString missing = u"请填写完成资料？"_s;
    const QString price = u"房间价格只能为货币数字形式？"_s;
    QTest::newRow("no number") << texts({u"", u"a", u"b", u"一楼", u"1", u"2"}) << missing;
    QTest::newRow("no name") << texts({u"1", u"", u"b", u"一楼", u"1", u"2"}) << missing;
    QTest::newRow("no type") << texts({u"1", u"a", u"", u"一楼", u"1", u"2"}) << missing;
    QTest::newRow("no price") << texts({u"1", u"a", u"b", u"一楼", u"", u"2"}) << missing;
    QTest::newRow("no member price") << texts({u"1", u"a", u"b", u"一楼", u"1", u""}) << missing;
    QTest::newRow("letters and a gap") << texts({u"1", u"", u"b", u"一楼", u"abc", u"2"}) << missing;
    QTest::newRow("letters for price") << texts({u"1", u"a", u"b", u"一楼", u"abc", u"2"}) << price;
    QTest::newRow("letters for member") << texts({u"1", u"a", u"b", u"一楼", u"2", u"1x"}) << price;
    QTest::newRow("two points") << texts({u"1", u"a", u"b", u"一楼", u"1.2.3", u"2"}) << price;
    QTest::newRow("blank") << texts({u"1", u"a", u"b", u"一楼", u" ", u"2"}) << price;
}

void TestRooms::addChecks()
{
    QFETCH(QStringList, values);
    QFETCH(QString, message);
    TestDatabase db;
    TestSeam seam;
    RoomsWindow *w = kit::open<RoomsWindow>(u"Form6"_s);
    click(w, u"Command1"_s);
    fill(w, values);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{message});
    QCOMPARE(db.count(u"房间"_s), 0);
    QCOMPARE(seam.last<RoomsWindow>(), w);
    QCOMPARE(fields(w), values);
    QCOMPARE(button(w, u"Command1"_s)->text(), u"确认提交"_s); // still adding

    // The rewrite refuses the same way, before looking for a chosen row.
    seam.clear();
    const qint64 key = db.addRoom(u"9"_s);
    QPointer<RoomsWindow> again = seam.last<RoomsWindow>();
    again->close();
    flushDeletes();
    w = kit::open<RoomsWindow>(u"Form6"_s);
    kit::grid(w)->selectRecord(1);
    fill(w, values);
    click(w, u"Command2"_s);
    QCOMPARE(seam.messageTexts(), QStringList{message});
    QCOMPARE(db.scalar(u"select 房间号 from 房间 where 房间ID=?"_s, {key}).toString(), u"9"_s);
}

void TestRooms::addWithoutChoosingFloorStoresPrompt()
{
    TestDatabase db;
    db.addFloor(u"一楼"_s);
    TestSeam seam;
    RoomsWindow *w = kit::open<RoomsWindow>(u"Form6"_s);
    click(w, u"Command1"_s);
    fill(w, {u"101"_s, u"a"_s, u"标准间"_s, floorBox(w)->currentText(), u"100"_s, u"80"_s});
    click(w, u"Command1"_s);
    QCOMPARE(db.scalar(u"select 所属楼层 from 房间"_s).toString(), u"请选择楼层"_s);

    // A floor typed into the box need not be in the list.
    w = seam.last<RoomsWindow>();
    click(w, u"Command1"_s);
    fill(w, {u"102"_s, u"a"_s, u"标准间"_s, u"阁楼"_s, u"100"_s, u"80"_s});
    click(w, u"Command1"_s);
    QCOMPARE(db.scalar(u"select 所属楼层 from 房间 where 房间号='102'"_s).toString(), u"阁楼"_s);

    // Typing the start of a listed floor keeps what was typed.
    db.addFloor(u"A1"_s);
    seam.last<RoomsWindow>()->close();
    flushDeletes();
    w = kit::open<RoomsWindow>(u"Form6"_s);
    QCOMPARE(floorBox(w)->itemText(1), u"A1"_s);
    click(w, u"Command1"_s);
    fill(w, {u"103"_s, u"a"_s, u"标准间"_s, QString(), u"100"_s, u"80"_s});
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    floorBox(w)->lineEdit()->setFocus();
    QTest::keyClicks(floorBox(w)->lineEdit(), u"A"_s);
    click(w, u"Command1"_s);
    QCOMPARE(db.scalar(u"select 所属楼层 from 房间 where 房间号='103'"_s).toString(), u"A"_s);
}

void TestRooms::addAfterPickingCopiesThatRoomAsNewFree()
{
    TestDatabase db;
    const qint64 first = db.addRoom(u"301"_s, 200, 2, u"三楼"_s);
    TestSeam seam;
    RoomsWindow *w = kit::open<RoomsWindow>(u"Form6"_s);
    click(w, u"Command1"_s);
    kit::grid(w)->selectRecord(1); // a pick works while adding
    QCOMPARE(statusBoxes(w), u"010"_s);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"新增房间信息成功!"_s});
    const QList<QStringList> rows =
        db.rows(u"select 房间ID, 房间号, 所属楼层, 标准价格, 房间状态 from 房间 order by 房间ID"_s);
    QCOMPARE(rows, (QList<QStringList>{{QString::number(first), u"301"_s, u"三楼"_s, u"200"_s, u"2"_s},
                                       {QString::number(first + 1), u"301"_s, u"三楼"_s, u"200"_s, u"1"_s}}));
}

void TestRooms::pickShowsStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("boxes");
    QTest::newRow("free") << 1 << u"100"_s;
    QTest::newRow("occupied") << 2 << u"010"_s;
    QTest::newRow("reserved") << 3 << u"001"_s;
    QTest::newRow("unknown keeps earlier") << 7 << u"001"_s;
}

void TestRooms::pickShowsStatus()
{
    QFETCH(int, status);
    QFETCH(QString, boxes);
    TestDatabase db;
    db.addRoom(u"100"_s, 90, 3, u"一楼"_s);
    db.addRoom(u"200"_s, 120.5, status, u"二楼"_s);
    TestSeam seam;
    RoomsWindow *w = kit::open<RoomsWindow>(u"Form6"_s);
    kit::grid(w)->selectRecord(1);
    QCOMPARE(statusBoxes(w), u"001"_s);
    kit::grid(w)->selectRecord(2);
    QCOMPARE(statusBoxes(w), boxes);
    QCOMPARE(fields(w),
             (QStringList{u"200"_s, u"房间200"_s, u"标准间"_s, u"二楼"_s, u"120.5"_s, u"100.5"_s}));
}

void TestRooms::statusBoxesOnlyShow()
{
    TestDatabase db;
    db.addRoom(u"100"_s, 90, 1);
    TestSeam seam;
    RoomsWindow *w = kit::open<RoomsWindow>(u"Form6"_s);
    kit::grid(w)->selectRecord(1);
    auto *free = kit::child<QCheckBox>(w, u"Check1"_s);
    auto *occupied = kit::child<QCheckBox>(w, u"Check2"_s);
    QTest::mouseClick(free, Qt::LeftButton);
    QTest::mouseClick(occupied, Qt::LeftButton);
    QCOMPARE(statusBoxes(w), u"100"_s);
}

void TestRooms::rewriteKeepsStatus()
{
    TestDatabase db;
    db.addRoom(u"100"_s, 90, 1);
    const qint64 key = db.addRoom(u"200"_s, 120, 2, u"二楼"_s);
    TestSeam seam;
    QPointer<RoomsWindow> w = kit::open<RoomsWindow>(u"Form6"_s);
    kit::grid(w)->selectRecord(2);
    kit::set(w, u"Text1"_s, u"2'01"_s);
    floorBox(w)->setEditText(u"新楼"_s);
    kit::set(w, u"Text4"_s, u"300"_s);
    click(w, u"Command2"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"房间信息修改成功!"_s});
    QCOMPARE(
        db.rows(RoomColumns + u"where 房间ID=?"_s, {key}),
        (QList<QStringList>{{u"2'01"_s, u"房间200"_s, u"标准间"_s, u"新楼"_s, u"300"_s, u"100"_s, u"2"_s}}));
    QCOMPARE(db.scalar(u"select 房间号 from 房间 where 房间ID=?"_s, {key - 1}).toString(), u"100"_s);
    QVERIFY(w.isNull());
    QVERIFY(seam.last<RoomsWindow>());
}

void TestRooms::rewriteAfterMouseAndKeyPicks()
{
    TestDatabase db;
    db.addRoom(u"100"_s, 90, 1);
    const qint64 key = db.addRoom(u"200"_s, 120, 2, u"二楼"_s);
    db.addRoom(u"300"_s, 150, 3);
    TestSeam seam;
    RoomsWindow *w = kit::open<RoomsWindow>(u"Form6"_s);
    kit::clickRow(kit::grid(w), 2);
    QCOMPARE(statusBoxes(w), u"010"_s);
    kit::key(kit::grid(w), Qt::Key_PageDown);
    QCOMPARE(kit::text(w, u"Text1"_s), u"300"_s);
    kit::key(kit::grid(w), Qt::Key_Up);
    kit::set(w, u"Text2"_s, u"新名"_s);
    click(w, u"Command2"_s);
    QCOMPARE(
        db.rows(RoomColumns + u"order by 房间ID"_s),
        (QList<QStringList>{{u"100"_s, u"房间100"_s, u"标准间"_s, u"一楼"_s, u"90"_s, u"70"_s, u"1"_s},
                            {u"200"_s, u"新名"_s, u"标准间"_s, u"二楼"_s, u"120"_s, u"100"_s, u"2"_s},
                            {u"300"_s, u"房间300"_s, u"标准间"_s, u"一楼"_s, u"150"_s, u"130"_s, u"3"_s}}));
    QCOMPARE(db.scalar(u"select 房间ID from 房间 where 房间名称='新名'"_s).toLongLong(), key);
}

void TestRooms::rewriteChecksAndNeedsChosenRow()
{
    TestDatabase db;
    db.addRoom(u"100"_s);
    const QString before = db.dump();
    TestSeam seam;
    RoomsWindow *w = kit::open<RoomsWindow>(u"Form6"_s);
    fill(w, {u"1"_s, u"a"_s, u"b"_s, u"c"_s, u"1"_s, u"2"_s});
    click(w, u"Command2"_s); // nothing chosen: said, nothing written
    seam.answer(true);
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList(2, ui::nothingChosenMessage()));
    QCOMPARE(db.dump(), before);
    QCOMPARE(seam.last<RoomsWindow>(), w);
}

void TestRooms::deleteAsksFirst()
{
    QFETCH(bool, answer);
    TestDatabase db;
    const qint64 keep = db.addRoom(u"100"_s);
    db.addRoom(u"200"_s, 120, 2);
    TestSeam seam;
    QPointer<RoomsWindow> w = kit::open<RoomsWindow>(u"Form6"_s);
    kit::grid(w)->selectRecord(2);
    seam.answer(answer);
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"您确认删除此信息？"_s});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Question);
    if (answer) {
        QCOMPARE(db.rows(u"select 房间ID from 房间"_s), QList<QStringList>{{QString::number(keep)}});
        QVERIFY(w.isNull());
        QCOMPARE(kit::grid(seam.last<RoomsWindow>())->Rows(), 2);
    } else {
        QCOMPARE(db.count(u"房间"_s), 2);
        QCOMPARE(seam.last<RoomsWindow>(), w.data());
    }
}

void TestRooms::deleteWithEmptyListDoesNothing()
{
    TestDatabase db;
    TestSeam seam;
    RoomsWindow *w = kit::open<RoomsWindow>(u"Form6"_s);
    QCOMPARE(kit::grid(w)->Rows(), 1);
    seam.answer(true);
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList{ui::nothingChosenMessage()});
    QCOMPARE(seam.last<RoomsWindow>(), w);
}

void TestRooms::failedSavesShowOneFailureAndKeepWindow_data()
{
    QTest::addColumn<bool>("adding");
    QTest::addColumn<int>("failingStatement");
    // Statements: add = insert; rewrite = select, update.
    QTest::newRow("add, insert fails") << true << 1;
    QTest::newRow("rewrite, select fails") << false << 1;
    QTest::newRow("rewrite, update fails") << false << 2;
}

void TestRooms::failedSavesShowOneFailureAndKeepWindow()
{
    QFETCH(bool, adding);
    QFETCH(int, failingStatement);
    TestDatabase db;
    db.addRoom(u"100"_s);
    const QString before = db.dump();
    TestSeam seam;
    RoomsWindow *w = kit::open<RoomsWindow>(u"Form6"_s);
    kit::grid(w)->selectRecord(1);
    if (adding)
        click(w, u"Command1"_s);
    const QStringList typed = {u"555"_s, u"a"_s, u"b"_s, u"c"_s, u"1"_s, u"2"_s};
    fill(w, typed);
    kit::FaultScope scope;
    faults::failStatement(failingStatement);
    click(w, adding ? u"Command1"_s : u"Command2"_s);
    QCOMPARE(db.dump(), before);
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Warning);
    QCOMPARE(seam.last<RoomsWindow>(), w);
    QCOMPARE(fields(w), typed);
    QCOMPARE(button(w, u"Command1"_s)->text(), adding ? u"确认提交"_s : u"新增房间"_s);
}

QTEST_MAIN(TestRooms)
#include "test_rooms.moc"
