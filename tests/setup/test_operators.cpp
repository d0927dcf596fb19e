#include "setup/operators_window.h"
#include "setup/setup_windows.h"
#include "test_database.h"
#include "ui/chosen_record.h"
#include "ui/windows.h"
#include "window_kit.h"

#include <QCheckBox>
#include <QPointer>

using namespace Qt::Literals::StringLiterals;
using kit::box;
using kit::click;

namespace {

QCheckBox *check(QWidget *w, int n)
{
    return kit::child<QCheckBox>(w, u"Check"_s + QString::number(n));
}

QPushButton *button(QWidget *w, const QString &name)
{
    return kit::child<QPushButton>(w, name);
}

// A click on the box itself; a check box stretched by its layout ignores clicks past its caption.
void tick(QCheckBox *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

// "1" for every ticked box, Check1 first.
QString ticks(QWidget *w)
{
    QString s;
    for (int n = 1; n <= 6; ++n)
        s += check(w, n)->checkState() == Qt::Checked ? u'1' : u'0';
    return s;
}

QList<QStringList> operators(TestDatabase &db)
{
    return db.rows(u"select 用户名称, 登陆密码, 权限设置 from 操作用户 order by 用户ID"_s);
}

} // namespace

class TestOperators : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerSetupWindows(); }
    void controlsAndList();
    void rightsText_data();
    void rightsText();
    void addIsTwoSteps();
    void addWithEmptyBoxesLeavesColumnsEmpty();
    void addThenCloseStoresNothing();
    void pickTicksOnlyItsRights();
    void rewrite();
    void rewriteRefusesEmptyNameOrPassword_data();
    void rewriteRefusesEmptyNameOrPassword();
    void rewriteAndDeleteNeedChosenRow();
    void deleteAsksFirst_data() { kit::yesAndNo(); }
    void deleteAsksFirst();
    void failedWritesShowOneFailureAndKeepWindow_data();
    void failedWritesShowOneFailureAndKeepWindow();
};

void TestOperators::controlsAndList()
{
    TestDatabase db;
    TestSeam seam;
    OperatorsWindow *w = kit::open<OperatorsWindow>(u"Form4"_s);
    QCOMPARE(w->windowTitle(), u"用户管理"_s);
    QCOMPARE(kit::grid(w)->FormatString(),
             u"序号|^用户名称                |^登陆密码            |^                权限设置        "_s);
    QCOMPARE(kit::rows(kit::grid(w)), (QList<QStringList>{{u"1"_s, u"admin"_s, u"admin"_s, u"Z:abcdef"_s}}));
    QCOMPARE(box(w, u"Text2"_s)->echoMode(), QLineEdit::Normal); // the password is shown
    QCOMPARE(box(w, u"Text1"_s)->accessibleName(), u"用户名称"_s);
    QCOMPARE(box(w, u"Text2"_s)->accessibleName(), u"登陆密码"_s);
    QCOMPARE(check(w, 1)->accessibleName(), QString()); // each box is named by its own caption
}

void TestOperators::rightsText_data()
{
    QTest::addColumn<QList<int>>("clicked");
    QTest::addColumn<QString>("rights");
    QTest::newRow("b, e, a in that order") << QList<int>{2, 5, 1} << u"Z:abe"_s;
    QTest::newRow("nothing") << QList<int>{} << u"Z:"_s;
    QTest::newRow("all backwards") << QList<int>{6, 5, 4, 3, 2, 1} << u"Z:abcdef"_s;
    QTest::newRow("ticked then unticked") << QList<int>{3, 4, 3} << u"Z:d"_s;
    QTest::newRow("b and e") << QList<int>{5, 2} << u"Z:be"_s;
}

void TestOperators::rightsText()
{
    QFETCH(QList<int>, clicked);
    QFETCH(QString, rights);
    TestDatabase db;
    TestSeam seam;
    OperatorsWindow *w = kit::open<OperatorsWindow>(u"Form4"_s);
    click(w, u"Command1"_s);
    kit::set(w, u"Text1"_s, u"小王"_s);
    kit::set(w, u"Text2"_s, u"pw"_s);
    for (int n : clicked)
        tick(check(w, n));
    click(w, u"Command1"_s);
    QCOMPARE(operators(db).last(), (QStringList{u"小王"_s, u"pw"_s, rights}));

    // The rewrite builds the same text; a grey box does not count.
    seam.clear();
    w = seam.last<OperatorsWindow>();
    kit::grid(w)->selectRecord(2);
    check(w, 6)->setTristate(true);
    check(w, 6)->setCheckState(Qt::PartiallyChecked);
    click(w, u"Command2"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"修改用户信息成功!"_s});
    QCOMPARE(operators(db).last().last(), QString(rights).remove(u'f'));
}

void TestOperators::addIsTwoSteps()
{
    TestDatabase db;
    TestSeam seam;
    QPointer<OperatorsWindow> w = kit::open<OperatorsWindow>(u"Form4"_s);
    kit::grid(w)->selectRecord(1);
    QCOMPARE(ticks(w), u"111111"_s);
    click(w, u"Command1"_s);
    QCOMPARE(button(w, u"Command1"_s)->text(), u"确认提交"_s);
    QVERIFY(!button(w, u"Command2"_s)->isEnabled());
    QVERIFY(!button(w, u"Command3"_s)->isEnabled());
    QVERIFY(kit::text(w, u"Text1"_s).isEmpty());
    QVERIFY(kit::text(w, u"Text2"_s).isEmpty());
    QCOMPARE(ticks(w), u"000000"_s);
    QCOMPARE(db.count(u"操作用户"_s), 1);
    QVERIFY(seam.messages.isEmpty());

    kit::set(w, u"Text1"_s, u"O'Hara"_s);
    kit::set(w, u"Text2"_s, u"p'w"_s);
    tick(check(w, 3));
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"新增用户信息成功!"_s});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Information);
    QCOMPARE(operators(db).last(), (QStringList{u"O'Hara"_s, u"p'w"_s, u"Z:c"_s}));
    QVERIFY(w.isNull());
    OperatorsWindow *fresh = seam.last<OperatorsWindow>();
    QCOMPARE(button(fresh, u"Command1"_s)->text(), u"新增用户"_s);
    QVERIFY(button(fresh, u"Command2"_s)->isEnabled());
    QCOMPARE(kit::grid(fresh)->Rows(), 3);
}

void TestOperators::addWithEmptyBoxesLeavesColumnsEmpty()
{
    TestDatabase db;
    TestSeam seam;
    OperatorsWindow *w = kit::open<OperatorsWindow>(u"Form4"_s);
    click(w, u"Command1"_s);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"新增用户信息成功!"_s});
    QCOMPARE(operators(db).last(), (QStringList{u"<NULL>"_s, u"<NULL>"_s, u"Z:"_s}));
}

void TestOperators::addThenCloseStoresNothing()
{
    TestDatabase db;
    const QString before = db.dump();
    TestSeam seam;
    OperatorsWindow *w = kit::open<OperatorsWindow>(u"Form4"_s);
    click(w, u"Command1"_s);
    kit::set(w, u"Text1"_s, u"小王"_s);
    w->close();
    flushDeletes();
    QCOMPARE(db.dump(), before);
}

void TestOperators::pickTicksOnlyItsRights()
{
    TestDatabase db;
    db.exec(u"insert into 操作用户 (用户名称, 登陆密码, 权限设置) values ('小王', '1', 'Z:cf')"_s);
    db.exec(u"insert into 操作用户 (用户名称, 登陆密码, 权限设置) values ('小李', null, 'Z:ABx')"_s);
    TestSeam seam;
    OperatorsWindow *w = kit::open<OperatorsWindow>(u"Form4"_s);
    kit::grid(w)->selectRecord(1); // Z:abcdef
    kit::grid(w)->selectRecord(2);
    QCOMPARE(ticks(w), u"001001"_s);
    QCOMPARE(kit::text(w, u"Text1"_s), u"小王"_s);
    QCOMPARE(kit::text(w, u"Text2"_s), u"1"_s);
    kit::grid(w)->selectRecord(3); // capitals are not the letters
    QCOMPARE(ticks(w), u"000000"_s);
    QVERIFY(kit::text(w, u"Text2"_s).isEmpty());
}

void TestOperators::rewrite()
{
    TestDatabase db;
    db.exec(u"insert into 操作用户 (用户名称, 登陆密码, 权限设置) values ('小王', '1', 'Z:cf')"_s);
    TestSeam seam;
    QPointer<OperatorsWindow> w = kit::open<OperatorsWindow>(u"Form4"_s);
    kit::grid(w)->selectRecord(2);
    kit::set(w, u"Text1"_s, u"王'); delete from 操作用户; --"_s);
    kit::set(w, u"Text2"_s, u"新密码"_s);
    tick(check(w, 6));
    tick(check(w, 1));
    click(w, u"Command2"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"修改用户信息成功!"_s});
    QCOMPARE(operators(db),
             (QList<QStringList>{{u"admin"_s, u"admin"_s, u"Z:abcdef"_s},
                                 {u"王'); delete from 操作用户; --"_s, u"新密码"_s, u"Z:ac"_s}}));
    QVERIFY(w.isNull());
    QVERIFY(seam.last<OperatorsWindow>());
}

void TestOperators::rewriteRefusesEmptyNameOrPassword_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::newRow("no name") << QString() << u"pw"_s;
    QTest::newRow("no password") << u"小王"_s << QString();
    QTest::newRow("neither") << QString() << QString();
}

void TestOperators::rewriteRefusesEmptyNameOrPassword()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    TestDatabase db;
    const QString before = db.dump();
    TestSeam seam;
    OperatorsWindow *w = kit::open<OperatorsWindow>(u"Form4"_s);
    kit::grid(w)->selectRecord(1);
    kit::set(w, u"Text1"_s, name);
    kit::set(w, u"Text2"_s, password);
    click(w, u"Command2"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"请填写完整资料？"_s});
    QCOMPARE(db.dump(), before);
    QCOMPARE(seam.last<OperatorsWindow>(), w);
}

void TestOperators::rewriteAndDeleteNeedChosenRow()
{
    TestDatabase db;
    TestSeam seam;
    OperatorsWindow *w = kit::open<OperatorsWindow>(u"Form4"_s);
    const QString before = db.dump();
    kit::set(w, u"Text1"_s, u"小王"_s);
    kit::set(w, u"Text2"_s, u"pw"_s);
    click(w, u"Command2"_s);
    seam.answer(true);
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList(2, ui::nothingChosenMessage()));
    QCOMPARE(db.dump(), before);
    QCOMPARE(seam.last<OperatorsWindow>(), w);

    // With no operator at all, the header row is never taken for one.
    w->close();
    flushDeletes();
    db.exec(u"delete from 操作用户"_s);
    seam.clear();
    w = kit::open<OperatorsWindow>(u"Form4"_s);
    QCOMPARE(kit::grid(w)->Rows(), 1);
    kit::grid(w)->selectRecord(1);
    kit::set(w, u"Text1"_s, u"小王"_s);
    kit::set(w, u"Text2"_s, u"pw"_s);
    click(w, u"Command2"_s);
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList(2, ui::nothingChosenMessage()));
    QCOMPARE(db.count(u"操作用户"_s), 0);
}

void TestOperators::deleteAsksFirst()
{
    QFETCH(bool, answer);
    TestDatabase db;
    TestSeam seam;
    QPointer<OperatorsWindow> w = kit::open<OperatorsWindow>(u"Form4"_s);
    kit::grid(w)->selectRecord(1); // the last operator may go too
    seam.answer(answer);
    click(w, u"Command3"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"确认删除此信息？"_s});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Question);
    QCOMPARE(db.count(u"操作用户"_s), answer ? 0 : 1);
    QCOMPARE(w.isNull(), answer);
    QCOMPARE(kit::grid(seam.last<OperatorsWindow>())->Rows(), answer ? 1 : 2);
}

void TestOperators::failedWritesShowOneFailureAndKeepWindow_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("failingStatement");
    // Statements: add = insert; rewrite = select, update; delete = select, delete.
    QTest::newRow("add, insert fails") << u"Command1"_s << 1;
    QTest::newRow("rewrite, update fails") << u"Command2"_s << 2;
    QTest::newRow("delete fails") << u"Command3"_s << 2;
}

void TestOperators::failedWritesShowOneFailureAndKeepWindow()
{
    QFETCH(QString, button);
    QFETCH(int, failingStatement);
    TestDatabase db;
    const QString before = db.dump();
    TestSeam seam;
    OperatorsWindow *w = kit::open<OperatorsWindow>(u"Form4"_s);
    kit::grid(w)->selectRecord(1);
    if (button == u"Command1"_s)
        click(w, button);
    kit::set(w, u"Text1"_s, u"小王"_s);
    kit::set(w, u"Text2"_s, u"pw"_s);
    seam.answer(true);
    kit::FaultScope scope;
    faults::failStatement(failingStatement);
    click(w, button);
    QCOMPARE(db.dump(), before);
    QCOMPARE(seam.messages.last().kind, ui::MessageKind::Warning);
    for (const TestSeam::Message &m : std::as_const(seam.messages))
        QVERIFY2(!m.text.contains(u"成功"_s), qPrintable(m.text));
    QCOMPARE(seam.last<OperatorsWindow>(), w);
    QCOMPARE(kit::text(w, u"Text1"_s), u"小王"_s);
}

QTEST_MAIN(TestOperators)
#include "test_operators.moc"
