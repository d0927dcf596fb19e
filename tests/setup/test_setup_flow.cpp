// From a fresh database through the main window's menus, as a person setting up the house
// would: floors, rooms, a renamed floor, the company name, a new operator, a backup, a wipe.
#include "hotel/session.h"
#include "setup/backup_window.h"
#include "setup/company_window.h"
#include "setup/data_init_window.h"
#include "setup/floors_window.h"
#include "setup/operators_window.h"
#include "setup/restore_window.h"
#include "setup/rooms_window.h"
#include "shell/login_window.h"
#include "shell/main_window.h"
#include "shell/shell_windows.h"
#include "test_database.h"
#include "ui/windows.h"
#include "window_kit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;
using kit::click;

namespace {

MainWindow *logIn(const HouseLocation &house, const QString &name, const QString &password)
{
    auto *login = new LoginWindow(house);
    login->show();
    kit::set(login, u"Text1"_s, name);
    kit::set(login, u"Text2"_s, password);
    click(login, u"Command1"_s);
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *main = qobject_cast<MainWindow *>(w))
            return main;
    }
    return nullptr;
}

// The menu item shows its window modal and owned by the main window.
template <class T> T *openFromMenu(MainWindow *main, TestSeam &seam, const QString &item)
{
    T *w = qobject_cast<T *>(kit::fromMenu(seam, main, item));
    if (!w || w->parentWidget() != main)
        qFatal("%s did not open its window owned by the main window", qPrintable(item));
    return w;
}

void closeAll()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->close();
    flushDeletes();
    for (QWidget *w : QApplication::topLevelWidgets())
        delete w;
}

} // namespace

class TestSetupFlow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerAllWindows(); }
    void cleanup() { closeAll(); }
    void settingUpTheHouse();
    void restoringABackup();
};

void TestSetupFlow::settingUpTheHouse()
{
    TestDatabase db(false);
    TestSeam seam;
    MainWindow *main = logIn(db.location(), u"admin"_s, u"admin"_s);
    QVERIFY(main);
    ui::setMainWindow(main);

    // Two floors.
    for (const QString &name : {u"一楼"_s, u"二楼"_s}) {
        FloorsWindow *floors = openFromMenu<FloorsWindow>(main, seam, u"m_a_4"_s);
        kit::set(floors, u"Text1"_s, name);
        click(floors, u"Command1"_s);
        QCOMPARE(seam.last<FloorsWindow>()->parentWidget(), main); // reopened, still owned by the main window
        seam.last<FloorsWindow>()->close();
        flushDeletes();
    }
    // A room on each, the floor picked from the drop-down.
    for (int i = 0; i < 2; ++i) {
        RoomsWindow *rooms = openFromMenu<RoomsWindow>(main, seam, u"m_a_5"_s);
        auto *floorBox = kit::child<QComboBox>(rooms, u"Combo1"_s);
        QCOMPARE(floorBox->count(), 2);
        click(rooms, u"Command1"_s);
        kit::set(rooms, u"Text1"_s, QString::number(101 + 100 * i));
        kit::set(rooms, u"Text2"_s, u"房"_s);
        floorBox->setCurrentIndex(i);
        kit::set(rooms, u"Text4"_s, u"100"_s);
        kit::set(rooms, u"Text5"_s, u"80"_s);
        click(rooms, u"Command1"_s);
        seam.last<RoomsWindow>()->close();
        flushDeletes();
    }
    QCOMPARE(db.rows(u"select 房间号, 所属楼层, 房间状态 from 房间 order by 房间ID"_s),
             (QList<QStringList>{{u"101"_s, u"一楼"_s, u"1"_s}, {u"201"_s, u"二楼"_s, u"1"_s}}));

    // Renaming a floor leaves its rooms with the old name.
    FloorsWindow *floors = openFromMenu<FloorsWindow>(main, seam, u"m_a_4"_s);
    kit::grid(floors)->selectRecord(1);
    kit::set(floors, u"Text2"_s, u"大堂层"_s);
    click(floors, u"Command2"_s);
    seam.last<FloorsWindow>()->close();
    flushDeletes();
    RoomsWindow *rooms = openFromMenu<RoomsWindow>(main, seam, u"m_a_5"_s);
    QCOMPARE(kit::grid(rooms)->text(1, 4), u"一楼"_s);
    QCOMPARE(kit::child<QComboBox>(rooms, u"Combo1"_s)->itemText(0), u"大堂层"_s);
    rooms->close();

    // The company name shows in the title from the next start.
    CompanyWindow *company = openFromMenu<CompanyWindow>(main, seam, u"m_a_1"_s);
    kit::set(company, u"Text1"_s, u"海边客栈"_s);
    click(company, u"Command2"_s);
    QVERIFY(!main->windowTitle().startsWith(u"海边客栈"_s));
    seam.last<CompanyWindow>()->close();

    // An operator with rights b and e.
    OperatorsWindow *users = openFromMenu<OperatorsWindow>(main, seam, u"m_a_2"_s);
    click(users, u"Command1"_s);
    kit::set(users, u"Text1"_s, u"小王"_s);
    kit::set(users, u"Text2"_s, u"xw"_s);
    for (const QString &name : {u"Check2"_s, u"Check5"_s}) {
        auto *check = kit::child<QCheckBox>(users, name);
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
    }
    click(users, u"Command1"_s);
    seam.last<OperatorsWindow>()->close();

    // A backup identical to the file.
    QTemporaryDir target;
    BackupWindow *backup = openFromMenu<BackupWindow>(main, seam, u"m_a_7"_s);
    kit::set(backup, u"Text1"_s, target.filePath(u"innkeep-copy.mdb"_s));
    // The house as it was; the backup's own row in the record of who did what comes after it.
    const QByteArray house = kit::bytes(db.path());
    click(backup, u"Command1"_s);
    QCOMPARE(seam.messageTexts().last(), u"恭喜您，数据库备份成功？"_s);
    QCOMPARE(kit::bytes(target.filePath(u"innkeep-copy.mdb"_s)), house);
    backup->close();

    // Wipe the business data; operators and company stay.
    click(openFromMenu<DataInitWindow>(main, seam, u"m_a_10"_s), u"Command1"_s);
    QCOMPARE(db.count(u"楼层"_s), 0);
    QCOMPARE(db.count(u"房间"_s), 0);
    QCOMPARE(db.count(u"操作用户"_s), 2);
    closeAll();
    ui::setMainWindow(nullptr);

    // The new operator logs in to a title with the new name and only menus b and e.
    MainWindow *next = logIn(db.location(), u"小王"_s, u"xw"_s);
    QVERIFY(next);
    QVERIFY(next->windowTitle().startsWith(u"海边客栈"_s));
    QStringList enabled;
    for (const QString &g : {u"m_a"_s, u"m_b"_s, u"m_c"_s, u"m_d"_s, u"m_e"_s, u"m_f"_s}) {
        if (next->findChild<QMenu *>(g)->menuAction()->isEnabled())
            enabled.append(g);
    }
    QCOMPARE(enabled, (QStringList{u"m_b"_s, u"m_e"_s}));
}

void TestSetupFlow::restoringABackup()
{
    TestDatabase db(false);
    TestSeam seam;
    MainWindow *main = logIn(db.location(), u"admin"_s, u"admin"_s);
    QVERIFY(main);
    ui::setMainWindow(main);
    QTemporaryDir target;
    const QString backup = target.filePath(u"innkeep-copy.mdb"_s);
    BackupWindow *backupWindow = openFromMenu<BackupWindow>(main, seam, u"m_a_7"_s);
    kit::set(backupWindow, u"Text1"_s, backup);
    click(backupWindow, u"Command1"_s);
    backupWindow->close();
    db.exec(u"insert into 楼层 (楼层名称) values ('备份后')"_s);
    db.exec(u"update 操作用户 set 权限设置='Z:a'"_s);

    // The file picked through the dialog, asked about once, and restored; the desk stays in.
    RestoreWindow *restore = openFromMenu<RestoreWindow>(main, seam, u"m_a_11"_s);
    seam.setFileDialogResult(backup);
    click(restore, u"Command2"_s);
    seam.clear();
    seam.answer(true);
    restore->findChild<QPushButton *>(u"Command1"_s)->setFocus();
    QTest::keyClick(restore->findChild<QPushButton *>(u"Command1"_s), Qt::Key_Space);
    QCOMPARE(seam.messages.size(), 2);
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Question);
    QVERIFY2(seam.messages.last().text.startsWith(u"数据恢复成功！恢复前的数据已保存在"_s),
             qPrintable(seam.messages.last().text));
    QCOMPARE(db.count(u"楼层"_s), 0);
    flushDeletes();
    QVERIFY(hotel::session());

    // The copy kept just now is offered; restoring it, whose admin has fewer rights than the
    // session, ends the session and goes back to the login.
    RestoreWindow *again = openFromMenu<RestoreWindow>(main, seam, u"m_a_11"_s);
    auto *list = kit::child<QListWidget>(again, u"List1"_s);
    QCOMPARE(list->count(), 1);
    list->setCurrentRow(0);
    QCOMPARE(kit::child<QLineEdit>(again, u"Text1"_s)->text(),
             QDir::toNativeSeparators(list->item(0)->data(Qt::UserRole).toString()));
    seam.clear();
    seam.answer(true);
    click(again, u"Command1"_s);
    QCOMPARE(db.count(u"楼层"_s), 1);
    QVERIFY2(seam.messages.last().text.contains(u"请重新登录"_s), qPrintable(seam.messages.last().text));
    QVERIFY(!hotel::session());
    flushDeletes();
    LoginWindow *login = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<LoginWindow *>(w) && w->isVisible())
            login = qobject_cast<LoginWindow *>(w);
    }
    QVERIFY(login);
    // The login shown again admits to the same house.
    ui::setMainWindow(nullptr);
    kit::set(login, u"Text1"_s, u"admin"_s);
    kit::set(login, u"Text2"_s, u"admin"_s);
    click(login, u"Command1"_s);
    QVERIFY2(hotel::session(), qPrintable(seam.messageTexts().join(u'\n')));
    QCOMPARE(hotel::session()->location(), db.location());
    closeAll();
}

QTEST_MAIN(TestSetupFlow)
#include "test_setup_flow.moc"
