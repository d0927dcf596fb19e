#include "data/connection.h"
#include "shell/main_window.h"
#include "shell/room_board.h"
#include "shell/room_board_view.h"
#include "shell/shell_windows.h"
#include "test_database.h"
#include "window_kit.h"

using namespace Qt::Literals::StringLiterals;
using namespace kit;

// The room board in the main window, driven as a clerk drives it: windows opened from the
// menus change rooms and the board follows; a double-click or Enter on a tile opens the room.
class TestRoomBoard : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerAllWindows(); }
    void cleanup() { flushDeletes(); }
    void followsTheRoomsThroughTheWindows();
    void tilesOpenTheirRoomsWindow();
    void arrivalMovesOneReservationToOneStay();
    void focusAndOverdueStandOut();
};

namespace {

RoomBoard *boardOf(MainWindow *main)
{
    auto *b = main->findChild<RoomBoard *>();
    if (!b)
        qFatal("no room board");
    return b;
}

// Lets the board hear that windows closed; no refresh is asked for by hand.
void settle()
{
    flushDeletes();
    QTest::qWait(20);
}

// Every room of the file with its state, and for an occupied or reserved room its guest, as
// the board shows them and as the tables hold them.
QStringList shown(RoomBoard *b)
{
    QStringList out;
    for (const hotel::board::RoomTile &t : b->view()->tiles())
        out.append(t.floor + u'/' + t.number + u'/' + QString::number(t.status) + u'/' + t.guest);
    return out;
}

QStringList stored(TestDatabase &db)
{
    QStringList out;
    const auto rows = db.rows(u"select r.所属楼层, r.房间号, r.房间状态, coalesce((select 旅客姓名 from "
                              u"旅客入住 s where s.房间ID=r.房间ID "
                              u"and r.房间状态=2 order by 入住ID limit 1), (select 旅客姓名 from 旅客预订 v "
                              u"where v.房间ID=r.房间ID and "
                              u"r.房间状态=3 order by 预订ID limit 1), '') from 房间 r"_s);
    for (const QStringList &r : rows)
        out.append(r.join(u'/'));
    return out;
}

// Picks the room with that number in a list of rooms.
void pickRoom(QWidget *w, const QString &number)
{
    FlexGrid *g = grid(w, u"MSFlexGrid1"_s);
    const int row = int(column(g, 1).indexOf(number)) + 1;
    QVERIFY(row > 0);
    g->selectRecord(row);
}

void doubleClick(RoomBoard *b, qint64 room)
{
    const QRect r = b->view()->tileRect(room);
    QVERIFY(!r.isEmpty());
    QTest::mouseDClick(b->view()->viewport(), Qt::LeftButton, {}, r.center());
}

} // namespace

void TestRoomBoard::followsTheRoomsThroughTheWindows()
{
    TestDatabase db;
    TestSeam seam;
    db.addFloor(u"一楼"_s);
    db.addFloor(u"二楼"_s);
    // Entered out of order and on both floors; one room names a floor that no longer exists.
    db.addRoom(u"201"_s, 88, 1, u"二楼"_s);
    db.addRoom(u"110"_s, 120, 1, u"一楼"_s);
    db.addRoom(u"102"_s, 120, 1, u"一楼"_s);
    db.addRoom(u"9"_s, 120, 1, u"一楼"_s);
    db.addRoom(u"501"_s, 120, 7, u"五楼"_s);
    auto *main = new MainWindow();
    RoomBoard *b = boardOf(main);
    // Floors in list order, rooms by number, unknown floors last.
    QCOMPARE(shown(b), (QStringList{u"一楼/9/1/"_s, u"一楼/102/1/"_s, u"一楼/110/1/"_s, u"二楼/201/1/"_s,
                                    u"五楼/501/7/"_s}));
    QCOMPARE(b->findChild<QLabel *>(u"BoardFreeCount"_s)->text(), u"空闲房：4"_s);

    // Closes the window a step left open; the board then agrees with the file.
    auto agreesAfter = [&](const QString &form) {
        current(seam, form)->close();
        settle();
        QStringList a = shown(b), s = stored(db);
        a.sort();
        s.sort();
        QCOMPARE(a, s);
    };
    auto book = [&](const QString &action, const QString &guest, const QString &room) {
        QWidget *w = fromMenu(seam, main, action);
        typeGuest(w, guest, u"3"_s, u"1"_s);
        pickRoom(w, room);
        click(w, u"Command1"_s);
    };

    book(u"m_b_1"_s, u"张三"_s, u"102"_s);
    agreesAfter(u"Form8"_s);
    QVERIFY(shown(b).contains(u"一楼/102/2/张三"_s));

    book(u"m_b_4"_s, u"李四"_s, u"201"_s);
    agreesAfter(u"Form10"_s);
    QVERIFY(shown(b).contains(u"二楼/201/3/李四"_s));
    QCOMPARE(b->findChild<QLabel *>(u"BoardReservedCount"_s)->text(), u"预订房：1"_s);
    QCOMPARE(b->findChild<QLabel *>(u"BoardOccupancy"_s)->text(), u"共 5 间    入住率：20.0%"_s);

    QWidget *cancel = fromMenu(seam, main, u"m_b_5"_s);
    grid(cancel, u"MSFlexGrid2"_s)->selectRecord(1);
    seam.answer(true);
    click(cancel, u"Command2"_s);
    agreesAfter(u"Form11"_s);
    QVERIFY(shown(b).contains(u"二楼/201/1/"_s));

    QWidget *checkOut = fromMenu(seam, main, u"m_c_1"_s);
    set(checkOut, u"Text1"_s, u"102"_s);
    click(checkOut, u"Command1"_s);
    click(checkOut, u"Command2"_s);
    click(checkOut, u"Command3"_s);
    agreesAfter(u"Form12"_s);
    QVERIFY(shown(b).contains(u"一楼/102/1/"_s));

    // Another desk's change shows at the next poll, and the keyboard focus stays where it was.
    b->view()->setFocus();
    b->view()->setCurrentRoom(db.scalar(u"select 房间ID from 房间 where 房间号='110'"_s).toLongLong());
    db.exec(u"update 房间 set 房间状态=2 where 房间号='9'"_s);
    QTRY_VERIFY_WITH_TIMEOUT(shown(b).contains(u"一楼/9/2/"_s), RoomBoard::PollMilliseconds + 2000);
    QCOMPARE(b->view()->currentTile()->number, u"110"_s);
    delete main;
}

void TestRoomBoard::tilesOpenTheirRoomsWindow()
{
    TestDatabase db;
    TestSeam seam;
    seam.setToday(QDate(2026, 12, 7));
    const qint64 free = db.addRoom(u"101"_s, 120, 1);
    const qint64 busy = db.addRoom(u"102"_s, 120, 2);
    const qint64 booked = db.addRoom(u"103"_s, 120, 3);
    db.exec(u"insert into 旅客入住 (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, "
            u"入住人数, 房间ID, 预付款) "
            u"values ('王五', '个人', '身份证', '1', '2026-12-05 14:00:00', 3, 1, ?, 100)"_s,
            {busy});
    // Two reservations: the board shows the one for its room, not merely the first.
    db.exec(u"insert into 旅客预订 (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, "
            u"入住人数, 房间ID, 预付款) "
            u"values ('别人', '个人', '身份证', '2', '2026-12-09 12:00:00', 1, 1, 999, 0), "
            u"('赵六', '个人', '身份证', '3', '2026-12-10 12:00:00', 2, 1, ?, 0)"_s,
            {booked});
    auto *main = new MainWindow();
    RoomBoard *b = boardOf(main);

    doubleClick(b, free);
    QWidget *w = seam.shown.last();
    QCOMPARE(w->objectName(), u"Form8"_s);
    QCOMPARE(text(w, u"Text7"_s), QString::number(free));
    QCOMPARE(text(w, u"Text10"_s), u"101"_s);
    QCOMPARE(picker(w)->Value().date(), QDate(2026, 12, 7));
    w->close();

    doubleClick(b, busy);
    w = seam.shown.last();
    QCOMPARE(w->objectName(), u"Form12"_s);
    QCOMPARE(text(w, u"Text1"_s), u"102"_s);
    QCOMPARE(text(w, u"Text2"_s), u"王五"_s);
    QCOMPARE(text(w, u"Text17"_s), u"102"_s);
    w->close();

    doubleClick(b, booked);
    w = seam.shown.last();
    QCOMPARE(w->objectName(), u"Form11"_s);
    QCOMPARE(text(w, u"Text1"_s), u"赵六"_s);
    QCOMPARE(text(w, u"Text10"_s), u"103"_s);
    w->close();
    settle();

    // From the keyboard: arrows move along the tiles, Enter opens the room.
    b->view()->setFocus();
    b->view()->setCurrentRoom(free);
    QTest::keyClick(b->view(), Qt::Key_Right);
    QTest::keyClick(b->view(), Qt::Key_Return);
    QCOMPARE(seam.shown.last()->objectName(), u"Form12"_s);
    QCOMPARE(text(seam.shown.last(), u"Text1"_s), u"102"_s);
    seam.shown.last()->close();
    settle();
    QCOMPARE(b->view()->currentTile()->roomId, busy);
    QVERIFY(b->view()->toolTipFor(*b->view()->currentTile()).contains(u"预计离店：2026"_s));

    // Without the front-desk rights the tiles open nothing.
    main->applyRights(u"Z:a"_s);
    const qsizetype before = seam.shown.size();
    doubleClick(b, free);
    doubleClick(b, busy);
    QCOMPARE(seam.shown.size(), before);
    QCOMPARE(seam.messages.size(), 2);
    delete main;
}

void TestRoomBoard::arrivalMovesOneReservationToOneStay()
{
    TestDatabase db;
    TestSeam seam;
    seam.setToday(QDate(2026, 12, 7));
    const qint64 a = db.addRoom(u"301"_s, 200, 3);
    const qint64 c = db.addRoom(u"302"_s, 200, 3);
    const QString insert =
        u"insert into 旅客预订 (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, 入住人数, "
        u"房间ID, 预付款, 备注信息) values (?, '远方公司', '护照', 'E1', '2026-12-09 12:00:00', 4, 2, ?, 300, ?)"_s;
    db.exec(insert, {u"孙七"_s, a, u"靠窗"_s});
    db.exec(insert, {u"周八"_s, c, QVariant()});
    auto *main = new MainWindow();
    RoomBoard *b = boardOf(main);
    auto tileOf = [&](qint64 room) {
        for (const hotel::board::RoomTile &t : b->view()->tiles())
            if (t.roomId == room)
                return t;
        return hotel::board::RoomTile{};
    };
    const hotel::board::RoomTile tile = tileOf(a);
    const QString before = db.dump();

    seam.answer(false);
    b->guestArrives(tile);
    QCOMPARE(db.dump(), before);

    // Any statement of the arrival failing, or its commit, leaves the file as it was; the run
    // where no fault fires is the arrival itself.
    faults::reset();
    faults::failCommit(true);
    seam.answer(true);
    b->guestArrives(tile);
    QCOMPARE(db.dump(), before);
    for (int step = 1;; ++step) {
        faults::reset();
        faults::failStatement(step);
        seam.answer(true);
        b->guestArrives(tile);
        if (db.dump() != before)
            break; // past the arrival's last statement: it went through (checked below)
        QVERIFY(step < 50);
    }
    faults::reset();
    b->refresh(); // the run that went through may have had its own re-read failed
    QCOMPARE(db.rows(u"select 旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, 入住人数, "
                     u"房间ID, 预付款, 备注信息 "
                     u"from 旅客入住"_s)
                 .size(),
             1);
    QStringList stay = db.rows(u"select 旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, "
                               u"入住人数, 房间ID, 预付款, 备注信息 from 旅客入住"_s)
                           .first();
    stay[4].truncate(10); // checked in today, at whatever time it is now
    QCOMPARE(stay, (QStringList{u"孙七"_s, u"远方公司"_s, u"护照"_s, u"E1"_s, u"2026-12-07"_s, u"4"_s, u"2"_s,
                                QString::number(a), u"300"_s, u"靠窗"_s}));
    QCOMPARE(db.rows(u"select 旅客姓名 from 旅客预订"_s), (QList<QStringList>{{u"周八"_s}}));
    QCOMPARE(db.rows(u"select 房间号, 房间状态 from 房间 order by 房间号"_s),
             (QList<QStringList>{{u"301"_s, u"2"_s}, {u"302"_s, u"3"_s}}));
    QCOMPARE(tileOf(a).status, int(hotel::Occupied));
    QCOMPARE(tileOf(a).guest, u"孙七"_s);

    // The same tile again (a stale board on another desk): nothing more moves.
    const QString after = db.dump();
    seam.answer(true);
    b->guestArrives(tile);
    QCOMPARE(db.dump(), after);
    QCOMPARE(seam.messageTexts().last(), u"对不起，这个预订已经不存在（可能已在另一台电脑上处理）。"_s);
    delete main;
}

void TestRoomBoard::focusAndOverdueStandOut()
{
    TestSeam seam;
    seam.setToday(QDate(2031, 5, 20)); // far from the real date: only the seam's day makes 101 overdue
    hotel::board::Snapshot snapshot;
    snapshot.floors.append({u"一楼"_s, {}});
    for (int status :
         {int(hotel::Occupied), int(hotel::Occupied), int(hotel::Free), int(hotel::Reserved), 7}) {
        const qint64 id = snapshot.floors[0].rooms.size() + 1;
        const QString since = id == 1 ? u"2031-05-10 14:00:00"_s : u"2031-05-19 14:00:00"_s;
        const qint64 key = status == hotel::Occupied || status == hotel::Reserved ? id : -1;
        snapshot.floors[0].rooms.append(
            {id, QString::number(100 + id), {}, {}, status, key, u"王五"_s, since, 3});
    }
    RoomBoardView view;
    view.resize(900, 200);
    view.setSnapshot(snapshot);
    view.show();
    QVERIFY(QTest::qWaitForWindowActive(&view));
    view.setFocus();
    // Near-black pixels in the gap around a tile and along its edge: every fill and edge is lighter.
    auto darkAround = [&](qint64 current, qint64 shown) {
        view.setCurrentRoom(current);
        const QImage image = view.viewport()->grab().toImage();
        const QRect r = view.tileRect(shown);
        int dark = 0;
        for (int y = r.top() - 7; y <= r.bottom() + 7; ++y) {
            for (int x = r.left() - 7; x <= r.right() + 7; ++x)
                dark += !r.adjusted(5, 5, -5, -5).contains(x, y) && qGray(image.pixel(x, y)) < 50;
        }
        return dark;
    };
    for (const hotel::board::RoomTile &t : snapshot.floors[0].rooms) {
        const QRect r = view.tileRect(t.roomId);
        QCOMPARE_GE(darkAround(t.roomId, t.roomId), 2 * (r.width() + r.height()));
        // Another tile, not a neighbour (whose frame reaches into the gap), holds the keyboard.
        QCOMPARE_LT(darkAround(t.roomId <= 2 ? 5 : 1, t.roomId), (r.width() + r.height()) / 2);
    }
    const QImage overdue = view.viewport()->grab().toImage();
    view.setToday(QDate(2031, 5, 12));
    QVERIFY(view.viewport()->grab().toImage() != overdue);
}

QTEST_MAIN(TestRoomBoard)
#include "test_room_board.moc"
