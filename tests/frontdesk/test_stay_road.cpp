#include "shell/main_window.h"
#include "shell/shell_windows.h"
#include "test_database.h"
#include "window_kit.h"

#include <QAction>

using namespace Qt::Literals::StringLiterals;
using namespace kit;

// One room through reservation, cancellation, check-in, correction and check-out, every step
// through the windows the desk uses, each opened over the main window.
class TestStayRoad : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerAllWindows(); }
    void cleanup() { flushDeletes(); }
    void menusAndToolbarOpenTheWindows();
    void wholeRoad();
};

namespace {

// The free rooms a fresh check-in and a fresh reservation window offer.
QStringList freeRooms()
{
    QStringList lists;
    for (const QString &form : {u"Form8"_s, u"Form10"_s}) {
        QWidget *w = open(form);
        lists.append(column(grid(w, u"MSFlexGrid1"_s), 1).join(u","_s));
        w->close();
    }
    flushDeletes();
    return lists;
}

} // namespace

void TestStayRoad::menusAndToolbarOpenTheWindows()
{
    TestDatabase db;
    TestSeam seam;
    auto *main = new MainWindow();
    const QList<std::pair<QString, QString>> entries{{u"m_b_1"_s, u"Form8"_s},
                                                     {u"m_b_2"_s, u"Form9"_s},
                                                     {u"m_b_4"_s, u"Form10"_s},
                                                     {u"m_b_5"_s, u"Form11"_s},
                                                     {u"m_c_1"_s, u"Form12"_s},
                                                     {u"Toolbar1_Button1"_s, u"Form10"_s},
                                                     {u"Toolbar1_Button2"_s, u"Form8"_s},
                                                     {u"Toolbar1_Button3"_s, u"Form9"_s},
                                                     {u"Toolbar1_Button4"_s, u"Form12"_s}};
    for (const auto &[action, form] : entries) {
        QVERIFY2(main->findChild<QAction *>(action)->isEnabled(), qPrintable(action));
        QWidget *w = fromMenu(seam, main, action);
        QVERIFY(w);
        QCOMPARE(w->objectName(), form);
        QCOMPARE(w->parentWidget(), main);
        w->close();
    }
    delete main;
}

void TestStayRoad::wholeRoad()
{
    TestDatabase db;
    TestSeam seam;
    seam.setToday(QDate(2006, 4, 26));
    auto *mainWindow = new MainWindow();
    MainWindow &main = *mainWindow;
    const qint64 room = db.addRoom(u"101"_s, 120, 1);
    db.addRoom(u"102"_s, 150, 1);
    auto status = [&] { return db.scalar(u"select 房间状态 from 房间 where 房间ID=?"_s, {room}).toInt(); };
    QCOMPARE(freeRooms(), (QStringList{u"101,102"_s, u"101,102"_s}));

    // Reserve 101.
    QWidget *reserve = fromMenu(seam, &main, u"m_b_4"_s);
    QCOMPARE(reserve->parentWidget(), &main);
    typeGuest(reserve, u"张三"_s, u"6"_s, u"1"_s);
    grid(reserve, u"MSFlexGrid1"_s)->selectRecord(1);
    click(reserve, u"Command1"_s);
    QCOMPARE(seam.messageTexts().last(), u"恭喜您，旅客预订房间成功？"_s);
    QCOMPARE(kit::current(seam, u"Form10"_s)->parentWidget(), &main);
    kit::current(seam, u"Form10"_s)->close();
    QCOMPARE(status(), 3);
    QCOMPARE(freeRooms(), (QStringList{u"102"_s, u"102"_s}));

    // Cancel it: the room is free again.
    QWidget *cancel = fromMenu(seam, &main, u"m_b_5"_s);
    grid(cancel, u"MSFlexGrid2"_s)->selectRecord(1);
    QCOMPARE(text(cancel, u"Text10"_s), u"101"_s);
    seam.answer(true);
    click(cancel, u"Command2"_s);
    kit::current(seam, u"Form11"_s)->close();
    QCOMPARE(db.count(u"旅客预订"_s), 0);
    QCOMPARE(status(), 1);
    QCOMPARE(freeRooms(), (QStringList{u"101,102"_s, u"101,102"_s}));

    // Check the guest in on 20 April at 14:30.
    QWidget *checkIn = fromMenu(seam, &main, u"m_b_1"_s);
    typeGuest(checkIn, u"张山"_s, u"6"_s, u"1"_s);
    picker(checkIn)->setValue(QDateTime(QDate(2006, 4, 20), QTime(14, 30)));
    grid(checkIn, u"MSFlexGrid1"_s)->selectRecord(1);
    seam.answer(true); // asked, being six days back
    click(checkIn, u"Command1"_s);
    QCOMPARE(seam.messageTexts().last(), u"恭喜您，旅客入住成功？"_s);
    kit::current(seam, u"Form8"_s)->close();
    QCOMPARE(status(), 2);

    // Correct the misspelt name.
    QWidget *guests = fromMenu(seam, &main, u"m_b_2"_s);
    QCOMPARE(column(grid(guests, u"MSFlexGrid2"_s), 1), QStringList{u"张山"_s});
    grid(guests, u"MSFlexGrid2"_s)->selectRecord(1);
    QCOMPARE(text(guests, u"Text10"_s), u"101"_s);
    set(guests, u"Text1"_s, u"张三"_s);
    click(guests, u"Command1"_s);
    QCOMPARE(seam.messageTexts().last(), u"恭喜您，旅客入住信息修改成功？"_s);
    kit::current(seam, u"Form9"_s)->close();
    QCOMPARE(status(), 2);

    // Check out on 26 April: 6 days at 120 against 500 prepaid.
    QWidget *checkOut = fromMenu(seam, &main, u"m_c_1"_s);
    set(checkOut, u"Text1"_s, u"101"_s);
    click(checkOut, u"Command1"_s);
    QCOMPARE(text(checkOut, u"Text2"_s), u"张三"_s);
    click(checkOut, u"Command2"_s);
    QCOMPARE((QStringList{text(checkOut, u"Text12"_s), text(checkOut, u"Text13"_s),
                          text(checkOut, u"Text14"_s), text(checkOut, u"Text15"_s)}),
             (QStringList{u"6"_s, u"720"_s, u"220"_s, u"0"_s}));
    click(checkOut, u"Command3"_s);
    QCOMPARE(seam.messageTexts().last(), u"恭喜您，旅客退房成功？请核准相关帐目!"_s);
    kit::current(seam, u"Form12"_s)->close();

    QCOMPARE(status(), 1);
    QCOMPARE(db.count(u"旅客入住"_s), 0);
    QCOMPARE(db.rows(u"select 旅客姓名, 房间ID, 实际入住天数, 实际金额, 应收款, 应退款 from 旅客退房"_s),
             (QList<QStringList>{{u"张三"_s, QString::number(room), u"6"_s, u"720"_s, u"220"_s, u"0"_s}}));
    QCOMPARE(grid(open(u"Form9"_s), u"MSFlexGrid2"_s)->Rows(), 1);
    QCOMPARE(freeRooms(), (QStringList{u"101,102"_s, u"101,102"_s}));
    // Only the expected messages (and the one question) were shown along the way: no failure anywhere.
    QCOMPARE(seam.messages.size(), 6);
    delete mainWindow;
}

QTEST_MAIN(TestStayRoad)
#include "test_stay_road.moc"
