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
    QTemporaryDir m_data;
    QString house() const { return m_data.path() + u"/quillon/innkeep.mdb"_s; }

private Q_SLOTS:
    void initTestCase()
    {
        registerAllWindows();
        qputenv("XDG_DATA_HOME", m_data.path().toUtf8());
        Module1::setProgramDirectory(u"/usr/bin"_s);
    }

    void noAndFailureCreateNothing()
    {
        TestSeam seam;
        seam.answer(ui::vbNo);
        Form1 login;
        QVERIFY(!login.offerNewHouse());
        QVERIFY(!QFile::exists(m_data.path() + u"/quillon"_s));

        // No folder can be made below a plain file, even by root.
        QFile blocker(m_data.path() + u"/file"_s);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        qputenv("XDG_DATA_HOME", blocker.fileName().toUtf8());
        seam.answer(ui::vbYes);
        QVERIFY(!login.offerNewHouse());
        qputenv("XDG_DATA_HOME", m_data.path().toUtf8());
        QCOMPARE(seam.messages.size(), 3);
        QVERIFY(seam.messages.at(2).text.startsWith(u"新建数据库失败"_s));

        // Run from a folder of its own, nothing is offered: the file belongs beside the program.
        QTemporaryDir own;
        Module1::setProgramDirectory(own.path());
        QVERIFY(!login.offerNewHouse());
        Module1::setProgramDirectory(u"/usr/bin"_s);
        QCOMPARE(seam.messages.size(), 3);
    }

    void yesCreatesAHouseThatAdmitsAdmin()
    {
        TestSeam seam;
        seam.answer(ui::vbYes);
        auto *login = new Form1();
        login->show();
        QVERIFY(login->offerNewHouse());
        QVERIFY(QFile::exists(house()));
        QVERIFY(seam.messages.at(0).text.contains(house()));
        // The folder holds the operators' passwords: nobody else may enter it.
        QCOMPARE(QFile::permissions(QFileInfo(house()).path()) & 0x0077, QFileDevice::Permissions());
        QVERIFY(!login->offerNewHouse()); // found next time, nothing asked
        QCOMPARE(seam.messages.size(), 2);

        login->findChild<QLineEdit *>(u"Text1"_s)->setText(u"admin"_s);
        login->findChild<QLineEdit *>(u"Text2"_s)->setText(u"admin"_s);
        QTest::mouseClick(login->findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton);
        flushDeletes();
        QCOMPARE(seam.messages.size(), 2);
        bool loggedIn = false;
        for (QWidget *w : QApplication::topLevelWidgets())
            loggedIn = loggedIn || (qobject_cast<Form2 *>(w) && w->isVisible());
        QVERIFY(loggedIn);

        Form19 about;
        QVERIFY(about.findChild<QLabel *>(u"HouseLocation"_s)->text().contains(house()));
    }
};

QTEST_MAIN(TestFirstStart)
#include "test_first_start.moc"
