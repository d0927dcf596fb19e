#include "data/house_location.h"
#include "hotel/session.h"
#include "shell/about_window.h"
#include "shell/home_page.h"
#include "shell/login_window.h"
#include "shell/main_window.h"
#include "shell/shell_windows.h"
#include "test_database.h"
#include "test_seam.h"
#include "ui/windows.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolBar>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace {

// Types name and password into a fresh login window on `house` and presses the button.
MainWindow *logIn(const HouseLocation &house, const QString &name, const QString &password)
{
    auto *login = new LoginWindow(house);
    login->show();
    login->findChild<QLineEdit *>(u"Text1"_s)->setText(name);
    login->findChild<QLineEdit *>(u"Text2"_s)->setText(password);
    QTest::mouseClick(login->findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton);
    flushDeletes();
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *main = qobject_cast<MainWindow *>(w))
            return main;
    }
    return nullptr;
}

QStringList disabledGroups(MainWindow *main)
{
    QStringList out;
    for (const QString &g : {u"m_a"_s, u"m_b"_s, u"m_c"_s, u"m_d"_s, u"m_e"_s, u"m_f"_s, u"m_g"_s}) {
        if (!main->findChild<QMenu *>(g)->menuAction()->isEnabled())
            out.append(g);
    }
    return out;
}

void closeAll()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->close();
    flushDeletes();
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerAllWindows(); }
    void cleanup() { closeAll(); }
    void loginWindowControls();
    void loginNameIgnoresCase();
    void loginRefusals_data();
    void loginRefusals();
    void loginRefusedWhenFileUnreadable();
    void rights_data();
    void rights();
    void titleFromCompany();
    void titleWhenNoCompanyRow();
    void menuTreeAndToolbar();
    void toolItemsStartPrograms();
    void escapeClosesNoWindow();
    void homePageIsAPrivateCopy();
};

void TestShell::loginWindowControls()
{
    TestSeam seam;
    LoginWindow login(HouseLocation{});
    QCOMPARE(login.windowTitle(), u"登陆Quillon"_s);
    auto *text2 = login.findChild<QLineEdit *>(u"Text2"_s);
    QCOMPARE(text2->echoMode(), QLineEdit::Password);
    QCOMPARE(login.findChild<QPushButton *>(u"Command1"_s)->text(), u"登陆系统"_s);
    QVERIFY(login.findChild<QPushButton *>(u"Command1"_s)->isDefault());
    QCOMPARE(login.findChild<QLineEdit *>(u"Text1"_s)->accessibleName(), u"用户名"_s);
    // Tab runs Text1, Text2, Command1.
    auto nextStop = [](QWidget *w) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    };
    QCOMPARE(nextStop(login.findChild<QWidget *>(u"Text1"_s)), text2);
    QCOMPARE(nextStop(text2), login.findChild<QWidget *>(u"Command1"_s));
}

void TestShell::loginNameIgnoresCase()
{
    TestDatabase db;
    TestSeam seam;
    MainWindow *main =
        logIn(db.location(), u"ADMIN"_s, u"admin"_s); // the password itself is compared exactly
    QVERIFY(main);
    QVERIFY(seam.messages.isEmpty());
    QCOMPARE(main->operatorName(), u"ADMIN"_s); // as typed
    QVERIFY(disabledGroups(main).isEmpty());
}

void TestShell::loginRefusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::newRow("wrong password") << u"admin"_s << u"nimda"_s;
    QTest::newRow("password in capitals") << u"admin"_s << u"ADMIN"_s;
    QTest::newRow("both empty") << QString() << QString();
    QTest::newRow("quote in name") << u"admin'"_s << u"admin"_s;
    QTest::newRow("injection") << u"' or '1'='1"_s << u"' or '1'='1"_s;
    QTest::newRow("trailing blank") << u"admin "_s << u"admin"_s;
}

void TestShell::loginRefusals()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    TestDatabase db;
    TestSeam seam;
    auto *login = new LoginWindow(db.location());
    login->findChild<QLineEdit *>(u"Text1"_s)->setText(name);
    login->findChild<QLineEdit *>(u"Text2"_s)->setText(password);
    login->findChild<QPushButton *>(u"Command1"_s)->click();
    QCOMPARE(seam.messageTexts(), QStringList{u"对不起，用户名或密码错误？"_s});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Information);
    QCOMPARE(seam.messages.first().title, u"提示"_s);
    // The window stays with what was typed.
    QCOMPARE(login->findChild<QLineEdit *>(u"Text1"_s)->text(), name);
    QCOMPARE(login->findChild<QLineEdit *>(u"Text2"_s)->text(), password);
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<MainWindow *>(w));
    delete login;
}

void TestShell::loginRefusedWhenFileUnreadable()
{
    TestDatabase db;
    TestSeam seam;
    HouseLocation otherPassword = db.location();
    otherPassword.password = u"00000000"_s; // a file guarded by another password
    auto *login = new LoginWindow(otherPassword);
    login->findChild<QLineEdit *>(u"Text1"_s)->setText(u"admin"_s);
    login->findChild<QLineEdit *>(u"Text2"_s)->setText(u"admin"_s);
    // Each refusal says its cause, never that the name or password was wrong.
    login->findChild<QPushButton *>(u"Command1"_s)->click();
    QCOMPARE(seam.messages.size(), 1);
    const StoreCause notOurs = db.server().isEmpty() ? StoreCause::Unreadable : StoreCause::NoHouse;
    QVERIFY2(seam.messages.last().text.startsWith(hotel::causeSentence(notOurs)),
             qPrintable(seam.messages.last().text));
    QVERIFY(db.takeAway());
    delete login;
    login = new LoginWindow(db.location());
    login->findChild<QLineEdit *>(u"Text1"_s)->setText(u"admin"_s);
    login->findChild<QLineEdit *>(u"Text2"_s)->setText(u"admin"_s);
    login->findChild<QPushButton *>(u"Command1"_s)->click();
    QCOMPARE(seam.messages.size(), 2);
    QVERIFY2(seam.messages.last().text.startsWith(hotel::causeSentence(StoreCause::FileMissing)),
             qPrintable(seam.messages.last().text));
    QVERIFY(!QFile::exists(db.path())); // refusing never creates the file
    delete login;
}

void TestShell::rights_data()
{
    QTest::addColumn<QVariant>("rights");
    QTest::addColumn<QStringList>("disabled");
    QTest::addColumn<QString>("toolbar"); // 1 for each usable button, Toolbar1_Button1 first
    const QStringList none = {u"m_a"_s, u"m_b"_s, u"m_c"_s, u"m_d"_s, u"m_e"_s, u"m_f"_s};
    QTest::newRow("Z:ace") << QVariant(u"Z:ace"_s) << QStringList{u"m_b"_s, u"m_d"_s, u"m_f"_s}
                           << u"000100"_s;
    QTest::newRow("Z:") << QVariant(u"Z:"_s) << none << u"000000"_s;
    // Statistics only: neither the check-out nor the cash buttons, nor the front desk's.
    QTest::newRow("Z:e") << QVariant(u"Z:e"_s)
                         << QStringList{u"m_a"_s, u"m_b"_s, u"m_c"_s, u"m_d"_s, u"m_f"_s} << u"000000"_s;
    QTest::newRow("Z:b") << QVariant(u"Z:b"_s)
                         << QStringList{u"m_a"_s, u"m_c"_s, u"m_d"_s, u"m_e"_s, u"m_f"_s} << u"111000"_s;
    QTest::newRow("capital A grants nothing")
        << QVariant(u"Z:Abcdef"_s) << QStringList{u"m_a"_s} << u"111111"_s;
    QTest::newRow("letters anywhere") << QVariant(u"fedcba"_s) << QStringList{} << u"111111"_s;
    QTest::newRow("NULL disables none") << QVariant() << QStringList{} << u"111111"_s;
}

void TestShell::rights()
{
    QFETCH(QVariant, rights);
    QFETCH(QStringList, disabled);
    QFETCH(QString, toolbar);
    TestDatabase db;
    TestSeam seam;
    db.exec(u"insert into 操作用户 (用户名称, 登陆密码, 权限设置) values ('clerk', 'pw', ?)"_s, {rights});
    MainWindow *main = logIn(db.location(), u"clerk"_s, u"pw"_s);
    QVERIFY(main);
    QCOMPARE(hotel::session()->operatorName(), u"clerk"_s);
    QCOMPARE(disabledGroups(main), disabled);
    QVERIFY(main->findChild<QMenu *>(u"m_g"_s)->menuAction()->isEnabled());
    // A toolbar button opens no window its menu group would not.
    QString usable;
    for (int i = 1; i <= 6; ++i) {
        auto *button = main->findChild<QAction *>(u"Toolbar1_Button"_s + QString::number(i));
        usable += button->isEnabled() ? u'1' : u'0';
        const qsizetype before = seam.shown.size();
        button->trigger(); // a disabled button does nothing
        QCOMPARE(seam.shown.size() > before, button->isEnabled());
        for (qsizetype w = before; w < seam.shown.size(); ++w)
            seam.shown.at(w)->close();
        flushDeletes();
    }
    QCOMPARE(usable, toolbar);
}

void TestShell::titleFromCompany()
{
    TestDatabase db;
    TestSeam seam;
    db.exec(u"update 公司配置 set 企业名称='江南宾馆'"_s);
    MainWindow main;
    QCOMPARE(main.windowTitle(), u"江南宾馆 [QuillonV3.01] "_s);
    db.exec(u"update 公司配置 set 企业名称=NULL"_s);
    MainWindow nullName;
    QCOMPARE(nullName.windowTitle(), u" [QuillonV3.01] "_s);
}

void TestShell::titleWhenNoCompanyRow()
{
    TestSeam seam;
    {
        TestDatabase db;
        db.exec(u"delete from 公司配置"_s);
        MainWindow main;
        QCOMPARE(main.windowTitle(), u"VantorQuillonV3.0"_s);
    }
    // No desk logged in to any house.
    MainWindow noFile;
    QCOMPARE(noFile.windowTitle(), u"VantorQuillonV3.0"_s);
    QVERIFY(seam.messages.isEmpty());
}

void TestShell::menuTreeAndToolbar()
{
    TestDatabase db;
    TestSeam seam;
    MainWindow main;
    const QList<std::pair<QString, QString>> items = {
        {u"m_a_1"_s, u"企业配置"_s},     {u"m_a_2"_s, u"用户管理"_s},     {u"m_a_4"_s, u"楼层管理"_s},
        {u"m_a_5"_s, u"房间管理"_s},     {u"m_a_7"_s, u"数据库备份"_s},   {u"m_a_10"_s, u"数据初始化"_s},
        {u"m_a_9"_s, u"退出系统"_s},     {u"m_b_1"_s, u"新旅客入住"_s},   {u"m_b_2"_s, u"当前入住旅客"_s},
        {u"m_b_4"_s, u"新增客房预订"_s}, {u"m_b_5"_s, u"取消客房预订"_s}, {u"m_c_1"_s, u"新增旅客退房"_s},
        {u"m_c_2"_s, u"历史退房管理"_s}, {u"m_d_1"_s, u"上缴营业款"_s},   {u"m_d_3"_s, u"下拔营业款"_s},
        {u"m_e_1"_s, u"按日期统计"_s},   {u"m_e_2"_s, u"按房间统计"_s},   {u"m_f_1"_s, u"计算器"_s},
        {u"m_f_3"_s, u"写字板"_s},       {u"m_f_5"_s, u"作者主页"_s},     {u"m_g_2"_s, u"版权信息"_s}};
    for (const auto &[name, caption] : items) {
        QAction *a = main.findChild<QAction *>(name);
        QVERIFY2(a, qPrintable(name));
        QCOMPARE(a->text(), caption);
    }
    for (const QString &sep :
         {u"m_a_3"_s, u"m_a_6"_s, u"m_a_8"_s, u"m_b_3"_s, u"m_d_2"_s, u"m_f_2"_s, u"m_f_4"_s})
        QVERIFY2(main.findChild<QAction *>(sep)->isSeparator(), qPrintable(sep));
    const QStringList texts = {u"旅客预订"_s, u"旅客入住"_s, u"旅客管理"_s,
                               u"旅客退房"_s, u"上缴财务"_s, u"下拔营业款"_s};
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(main.findChild<QAction *>(u"Toolbar1_Button"_s + QString::number(i + 1))->text(),
                 texts.at(i));
    QCOMPARE(main.operatorName(), u"操作员"_s);
    // The About window opens from its menu, owned by the main window.
    main.findChild<QAction *>(u"m_g_2"_s)->trigger();
    auto *about = seam.last<AboutWindow>();
    QVERIFY(about);
    QCOMPARE(about->windowTitle(), u"版权信息"_s);
    QCOMPARE(about->parentWidget(), &main);
    QCOMPARE(main.findChild<QToolBar *>(u"Toolbar1"_s)->actions().size(), texts.size());
}

void TestShell::toolItemsStartPrograms()
{
    TestDatabase db;
    TestSeam seam;
    seam.setProgramsAvailable(false); // nothing installed: one message for each, no crash
    MainWindow main;
    main.findChild<QAction *>(u"m_f_1"_s)->trigger();
    main.findChild<QAction *>(u"m_f_3"_s)->trigger();
    main.findChild<QAction *>(u"m_f_5"_s)->trigger();
    QCOMPARE(seam.started.size(), 3);
    QCOMPARE(seam.started.at(0).program, ui::Program::Calculator);
    QCOMPARE(seam.started.at(1).program, ui::Program::TextEditor);
    QCOMPARE(seam.started.at(2).program, ui::Program::Browser);
    QVERIFY(seam.started.at(2).argument.startsWith(u"file:"_s));
    const QString noBrowser = u"对不起，无法打开作者主页，本机没有可用的网页浏览器！"_s;
    QCOMPARE(seam.messageTexts(),
             (QStringList{u"对不起，无法启动计算器，本机没有可用的计算器程序！"_s,
                          u"对不起，无法启动写字板，本机没有可用的文本编辑程序！"_s, noBrowser}));
    AboutWindow about(db.location());
    QTest::mouseClick(about.findChild<QLabel *>(u"Label7"_s), Qt::LeftButton);
    QCOMPARE(seam.started.size(), 4);
    QCOMPARE(seam.messageTexts().last(), noBrowser);
    seam.clear();
    seam.setProgramsAvailable(true);
    main.findChild<QAction *>(u"m_f_1"_s)->trigger();
    QVERIFY(seam.messages.isEmpty());
}

void TestShell::escapeClosesNoWindow()
{
    TestDatabase db;
    TestSeam seam;
    auto *login = new LoginWindow(db.location());
    login->setAttribute(Qt::WA_DeleteOnClose);
    login->show();
    QPointer<QWidget> alive = login;
    QTest::keyClick(login->findChild<QLineEdit *>(u"Text1"_s), Qt::Key_Escape);
    flushDeletes();
    QVERIFY(alive && login->isVisible());
    // Every window opened from the menus; the operators window in add mode, something typed.
    for (const QString &form : {u"Form3"_s, u"Form4"_s, u"Form5"_s, u"Form6"_s, u"Form7"_s, u"Form8"_s,
                                u"Form9"_s, u"Form10"_s, u"Form11"_s, u"Form12"_s, u"Form13"_s, u"Form14"_s,
                                u"Form15"_s, u"Form16"_s, u"Form17"_s, u"Form19"_s, u"Form20"_s}) {
        QPointer<QWidget> w = ui::showWindow(form);
        if (auto *add = w->findChild<QPushButton *>(u"Command1"_s); add && form == u"Form4"_s)
            QTest::mouseClick(add, Qt::LeftButton);
        auto *box = w->findChild<QLineEdit *>(u"Text2"_s);
        QTest::keyClick(box && box->isVisible() ? static_cast<QWidget *>(box) : w.data(), Qt::Key_Escape);
        flushDeletes();
        QVERIFY2(w && w->isVisible(), qPrintable(form));
        w->close();
        flushDeletes();
    }
}

void TestShell::homePageIsAPrivateCopy()
{
    // Not a guessable name in the shared temporary folder (that could be anyone's file), and
    // readable by the desk's account alone (Windows gives each account a temporary folder).
    const QString path = QUrl(homePageUrl()).toLocalFile();
    QVERIFY(QFileInfo(path).fileName().contains(QRegularExpression(u"^quillon-home-.{6}\\.html$"_s)));
#ifdef Q_OS_UNIX
    QCOMPARE(QFileInfo(path).permissions() &
                 ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
             QFile::Permissions());
#endif
    QFile copy(path), page(u":/quillon/home.html"_s);
    QVERIFY(copy.open(QIODevice::ReadOnly) && page.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), page.readAll());
    QCOMPARE(QUrl(homePageUrl()).toLocalFile(), path);
}

QTEST_MAIN(TestShell)
#include "test_shell.moc"
