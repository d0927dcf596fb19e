#include "data/module1.h"
#include "shell/about_window.h"
#include "shell/login_window.h"
#include "shell/main_window.h"
#include "shell/shell_windows.h"
#include "test_seam.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The first start of an installed program, whose database belongs in the user's data folder.
class TestFirstStart : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerAllWindows(); }
    void init();
    void cleanup();
    void yesCreatesAnEmptyHouseThatAdmitsAdmin();
    void noCreatesNothing();
    void noOfferWhenThereIsNothingToDo();
    void failureIsToldAndLeavesNothing();

private:
    QString housePath() const { return m_data->path() + u"/quillon/innkeep.mdb"_s; }
    std::unique_ptr<QTemporaryDir> m_data;
    QByteArray m_oldData;
};

void TestFirstStart::init()
{
    m_data = std::make_unique<QTemporaryDir>();
    m_oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", m_data->path().toUtf8());
    Module1::setProgramDirectory(u"/usr/bin"_s);
}

void TestFirstStart::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->close();
    flushDeletes();
    Module1::setProgramDirectory({});
    if (m_oldData.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", m_oldData);
}

void TestFirstStart::yesCreatesAnEmptyHouseThatAdmitsAdmin()
{
    TestSeam seam;
    seam.answer(ui::vbYes);
    auto *login = new Form1();
    login->show();
    QVERIFY(login->offerNewHouse());
    QVERIFY(QFile::exists(housePath()));
    QCOMPARE(seam.messages.size(), 2);
    QCOMPARE(seam.messages.at(0).style, int(ui::vbYesNo | ui::vbInformation));
    QVERIFY(seam.messages.at(0).text.contains(housePath()));
    QVERIFY(seam.messages.at(1).text.startsWith(u"已新建数据库"_s));
    // The folder holds the operators' passwords: nobody else may enter it.
    QCOMPARE(QFile::permissions(m_data->path() + u"/quillon"_s) & 0x0077, QFileDevice::Permissions());

    // A second start finds the house and asks nothing.
    QVERIFY(!login->offerNewHouse());
    QCOMPARE(seam.messages.size(), 2);

    // The new house admits the first operator through the login window.
    login->findChild<QLineEdit *>(u"Text1"_s)->setText(u"admin"_s);
    login->findChild<QLineEdit *>(u"Text2"_s)->setText(u"admin"_s);
    QTest::mouseClick(login->findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton);
    flushDeletes();
    Form2 *main = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *m = qobject_cast<Form2 *>(w))
            main = m;
    }
    QVERIFY(main);
    QCOMPARE(seam.messages.size(), 2);

    // The About window says where the house is.
    Form19 about;
    auto *where = about.findChild<QLabel *>(u"HouseLocation"_s);
    QVERIFY(where);
    QVERIFY(where->text().contains(housePath()));
}

void TestFirstStart::noCreatesNothing()
{
    TestSeam seam;
    seam.answer(ui::vbNo);
    Form1 login;
    QVERIFY(!login.offerNewHouse());
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY(!QFile::exists(housePath()));
    QVERIFY(!QFile::exists(m_data->path() + u"/quillon"_s));
}

void TestFirstStart::noOfferWhenThereIsNothingToDo()
{
    TestSeam seam;
    // Run from a folder of its own: the database belongs beside the program and is never made.
    QTemporaryDir own;
    Module1::setProgramDirectory(own.path());
    Form1 login;
    QVERIFY(!login.offerNewHouse());
    QVERIFY(QDir(own.path()).isEmpty());

    // Installed, with something already where the database goes, even a folder: it stays as it is.
    Module1::setProgramDirectory(u"/usr/bin"_s);
    QVERIFY(QDir().mkpath(housePath()));
    QVERIFY(!login.offerNewHouse());
    QVERIFY(QFileInfo(housePath()).isDir());
    QVERIFY(seam.messages.isEmpty());
}

void TestFirstStart::failureIsToldAndLeavesNothing()
{
    TestSeam seam;
    // The data folder is a plain file, so no folder can be made below it, even by root.
    QFile blocker(m_data->path() + u"/file"_s);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", blocker.fileName().toUtf8());
    seam.answer(ui::vbYes);
    Form1 login;
    QVERIFY(!login.offerNewHouse());
    QCOMPARE(seam.messages.size(), 2);
    QVERIFY(seam.messages.at(1).text.startsWith(u"新建数据库失败"_s));
    QCOMPARE(QFileInfo(blocker.fileName()).size(), 0);
}

QTEST_MAIN(TestFirstStart)
#include "test_first_start.moc"
