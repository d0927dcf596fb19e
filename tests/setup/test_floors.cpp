#include "setup/floors_window.h"
#include "setup/setup_windows.h"
#include "test_database.h"
#include "ui/chosen_record.h"
#include "ui/windows.h"
#include "window_kit.h"

#include <QLabel>
#include <QPointer>

using namespace Qt::Literals::StringLiterals;
using kit::box;
using kit::click;

class TestFloors : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerSetupWindows(); }
    void controlsAndEmptyList();
    void add_data();
    void add();
    void emptyNameIsRefused();
    void pickCopiesNameIntoRenameBox();
    void renameChangesOnlyThatFloor();
    void renameWithoutChosenRowDoesNothing();
    void deleteAsksFirst_data() { kit::yesAndNo(); }
    void deleteAsksFirst();
    void deleteWithEmptyListDoesNothing();
    void failedWritesShowOneFailureAndKeepWindow_data();
    void failedWritesShowOneFailureAndKeepWindow();
    void unreadableFileLeavesListEmptyAndSaysWhy();
};

void TestFloors::controlsAndEmptyList()
{
    TestDatabase db;
    TestSeam seam;
    FloorsWindow *w = kit::open<FloorsWindow>(u"Form5"_s);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), u"楼层管理"_s);
    QCOMPARE(kit::grid(w)->FormatString(), u"序号|^楼层名称           "_s);
    QCOMPARE(kit::grid(w)->Rows(), 1);
    QCOMPARE(kit::grid(w)->minimumRowHeight(), 17); // pixels
    QCOMPARE(box(w, u"Text1"_s)->accessibleName(), u"楼层名称"_s);
    QCOMPARE(box(w, u"Text2"_s)->accessibleName(), u"楼层名称"_s);
    QVERIFY(!kit::child<QLabel>(w, u"Image1"_s)->pixmap().isNull());
    QVERIFY(seam.messages.isEmpty());
}

void TestFloors::add_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << u"一楼"_s;
    QTest::newRow("quote") << u"O'Neil's 楼"_s;
    QTest::newRow("blanks only") << u"   "_s;
    QTest::newRow("statement inside") << u"x'); delete from 楼层; --"_s;
    QTest::newRow("leading and trailing blanks kept") << u" 二楼 "_s;
}

void TestFloors::add()
{
    QFETCH(QString, name);
    TestDatabase db;
    db.addFloor(u"地下室"_s);
    TestSeam seam;
    QPointer<FloorsWindow> w = kit::open<FloorsWindow>(u"Form5"_s);
    kit::set(w, u"Text1"_s, name);
    click(w, u"Command1"_s);

    QCOMPARE(seam.messageTexts(), QStringList{u"恭喜您，添加楼层信息成功！"_s});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Information);
    QCOMPARE(seam.messages.first().title, u"提示"_s);
    QCOMPARE(db.rows(u"select 楼层名称 from 楼层 order by 楼层ID"_s),
             (QList<QStringList>{{u"地下室"_s}, {name}}));
    // Closed and shown again: the new list holds the floor, the boxes start empty.
    QVERIFY(w.isNull());
    FloorsWindow *fresh = seam.last<FloorsWindow>();
    QVERIFY(fresh);
    QCOMPARE(kit::grid(fresh)->Rows(), 3);
    QCOMPARE(kit::grid(fresh)->text(2, 1), name);
    QVERIFY(kit::text(fresh, u"Text1"_s).isEmpty());
}

void TestFloors::emptyNameIsRefused()
{
    TestDatabase db;
    TestSeam seam;
    FloorsWindow *w = kit::open<FloorsWindow>(u"Form5"_s);
    kit::set(w, u"Text2"_s, u"留着"_s);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"请填写完整资料！"_s});
    QCOMPARE(db.count(u"楼层"_s), 0);
    QCOMPARE(seam.last<FloorsWindow>(), w); // not reopened
    QCOMPARE(kit::text(w, u"Text2"_s), u"留着"_s);

    // Adding the same name twice gives two floors with their own keys.
    kit::set(w, u"Text1"_s, u"一楼"_s);
    click(w, u"Command1"_s);
    w = seam.last<FloorsWindow>();
    kit::set(w, u"Text1"_s, u"一楼"_s);
    click(w, u"Command1"_s);
    QCOMPARE(db.scalar(u"select count(distinct 楼层ID) from 楼层 where 楼层名称='一楼'"_s).toInt(), 2);
}

void TestFloors::pickCopiesNameIntoRenameBox()
{
    TestDatabase db;
    db.addFloor(u"一楼"_s);
    db.addFloor(u"二楼"_s);
    TestSeam seam;
    FloorsWindow *w = kit::open<FloorsWindow>(u"Form5"_s);
    kit::set(w, u"Text1"_s, u"新的"_s);
    kit::grid(w)->selectRecord(2);
    QCOMPARE(kit::text(w, u"Text2"_s), u"二楼"_s);
    QCOMPARE(kit::text(w, u"Text1"_s), u"新的"_s);
    kit::grid(w)->selectRecord(1);
    QCOMPARE(kit::text(w, u"Text2"_s), u"一楼"_s);
}

void TestFloors::renameChangesOnlyThatFloor()
{
    TestDatabase db;
    db.addFloor(u"一楼"_s);
    const qint64 second = db.addFloor(u"二楼"_s);
    TestSeam seam;
    QPointer<FloorsWindow> w = kit::open<FloorsWindow>(u"Form5"_s);
    kit::grid(w)->selectRecord(2);
    kit::set(w, u"Text2"_s, u"贵宾'楼"_s);
    click(w, u"Command2"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"恭喜您，楼层信息修改成功！"_s});
    QCOMPARE(db.rows(u"select 楼层ID, 楼层名称 from 楼层 order by 楼层ID"_s),
             (QList<QStringList>{{QString::number(second - 1), u"一楼"_s},
                                 {QString::number(second), u"贵宾'楼"_s}}));
    QVERIFY(w.isNull());
    QCOMPARE(kit::grid(seam.last<FloorsWindow>())->text(2, 1), u"贵宾'楼"_s);
}

void TestFloors::renameWithoutChosenRowDoesNothing()
{
    TestDatabase db;
    TestSeam seam;
    {
        // Empty list: the header row is never a floor.
        FloorsWindow *w = kit::open<FloorsWindow>(u"Form5"_s);
        kit::set(w, u"Text2"_s, u"二楼"_s);
        click(w, u"Command2"_s);
        QCOMPARE(seam.messageTexts(), QStringList{ui::nothingChosenMessage()});
        QCOMPARE(seam.last<FloorsWindow>(), w);
        // An empty name is still refused first.
        seam.clear();
        box(w, u"Text2"_s)->clear();
        click(w, u"Command2"_s);
        QCOMPARE(seam.messageTexts(), QStringList{u"请填写完整资料！"_s});
        w->close();
        flushDeletes();
    }
    seam.clear();
    db.addFloor(u"一楼"_s);
    const QString before = db.dump();
    FloorsWindow *w = kit::open<FloorsWindow>(u"Form5"_s);
    QVERIFY(!kit::grid(w)->hasSelectedRecord());
    kit::set(w, u"Text2"_s, u"二楼"_s);
    click(w, u"Command2"_s);
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList(2, ui::nothingChosenMessage()));
    QCOMPARE(db.dump(), before);
    QCOMPARE(seam.last<FloorsWindow>(), w);
}

void TestFloors::deleteAsksFirst()
{
    QFETCH(bool, answer);
    TestDatabase db;
    const qint64 first = db.addFloor(u"一楼"_s);
    db.addFloor(u"二楼"_s);
    TestSeam seam;
    QPointer<FloorsWindow> w = kit::open<FloorsWindow>(u"Form5"_s);
    kit::grid(w)->selectRecord(2);
    seam.answer(answer);
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"您确认删除此信息？"_s});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Question);
    if (answer) {
        QCOMPARE(db.rows(u"select 楼层ID from 楼层"_s), QList<QStringList>{{QString::number(first)}});
        QVERIFY(w.isNull());
        QCOMPARE(kit::grid(seam.last<FloorsWindow>())->Rows(), 2);
    } else {
        QCOMPARE(db.count(u"楼层"_s), 2);
        QCOMPARE(seam.last<FloorsWindow>(), w.data());
    }
}

void TestFloors::deleteWithEmptyListDoesNothing()
{
    TestDatabase db;
    TestSeam seam;
    FloorsWindow *w = kit::open<FloorsWindow>(u"Form5"_s);
    kit::grid(w)->selectRecord(1); // nothing to choose
    QVERIFY(kit::text(w, u"Text2"_s).isEmpty());
    seam.answer(true);
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList{ui::nothingChosenMessage()});
    QCOMPARE(seam.last<FloorsWindow>(), w);
}

void TestFloors::failedWritesShowOneFailureAndKeepWindow_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("failingStatement");
    // Statements: add = insert; rename = select, update; delete = select, delete.
    QTest::newRow("add, insert fails") << u"Command1"_s << 1;
    QTest::newRow("rename, select fails") << u"Command2"_s << 1;
    QTest::newRow("rename, update fails") << u"Command2"_s << 2;
    QTest::newRow("delete, select fails") << u"Command3"_s << 1;
    QTest::newRow("delete fails") << u"Command3"_s << 2;
}

void TestFloors::failedWritesShowOneFailureAndKeepWindow()
{
    QFETCH(QString, button);
    QFETCH(int, failingStatement);
    TestDatabase db;
    db.addFloor(u"一楼"_s);
    const QString before = db.dump();
    TestSeam seam;
    FloorsWindow *w = kit::open<FloorsWindow>(u"Form5"_s);
    kit::grid(w)->selectRecord(1);
    kit::set(w, u"Text1"_s, u"二楼"_s);
    kit::set(w, u"Text2"_s, u"三楼"_s);
    seam.answer(true);
    kit::FaultScope scope;
    faults::failStatement(failingStatement);
    click(w, button);
    QCOMPARE(db.dump(), before);
    QCOMPARE(seam.messages.last().kind, ui::MessageKind::Warning);
    for (const TestSeam::Message &m : std::as_const(seam.messages))
        QVERIFY2(!m.text.startsWith(u"恭喜您"_s), qPrintable(m.text));
    QCOMPARE(seam.last<FloorsWindow>(), w);
    QCOMPARE(kit::text(w, u"Text1"_s), u"二楼"_s);
    QCOMPARE(kit::text(w, u"Text2"_s), u"三楼"_s);
}

void TestFloors::unreadableFileLeavesListEmptyAndSaysWhy()
{
    TestDatabase db;
    db.addFloor(u"一楼"_s);
    QVERIFY(db.takeAway());
    TestSeam seam;
    FloorsWindow *w = kit::open<FloorsWindow>(u"Form5"_s);
    QVERIFY(w);
    QCOMPARE(kit::grid(w)->Rows(), 1);
    QCOMPARE(kit::grid(w)->FormatString(), FloorsWindow::header());
    QCOMPARE(seam.messages.size(), 1); // the empty list is not taken for a house without floors
    // Adding now fails once, visibly, without the success message.
    kit::set(w, u"Text1"_s, u"二楼"_s);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messages.size(), 2);
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Warning);
    QVERIFY(db.bringBack());
}

QTEST_MAIN(TestFloors)
#include "test_floors.moc"
