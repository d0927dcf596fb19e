#include "data/house_location.h"
#include "hotel/session.h"
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
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The first start of an installed program, whose database belongs in the user's data folder.
class TestFirstStart : public QObject
{
    Q_OBJECT
    QTemporaryDir m_data;
    QString m_root;      // the user's data folder
    QString m_installed; // a program folder under the system's
    QString house() const { return m_root + u"/quillon/innkeep.mdb"_s; }
    QString shown() const { return QDir::toNativeSeparators(house()); }
    HouseLocation location() const { return houseLocationFor(m_installed); }

private Q_SLOTS:
    void initTestCase()
    {
        registerAllWindows();
#ifdef Q_OS_WIN
        // Windows names the folder after the account, whatever the environment says: Qt's test folder.
        QStandardPaths::setTestModeEnabled(true);
        m_root = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QVERIFY(QDir(m_root + u"/quillon"_s).removeRecursively() && QDir().mkpath(m_root));
        m_installed = systemProgramRoots().value(0) + u"/Quillon"_s;
#else
        qputenv("XDG_DATA_HOME", m_data.path().toUtf8());
        m_root = m_data.path();
        m_installed = u"/usr/bin"_s;
#endif
    }

    void noAndFailureCreateNothing()
    {
        TestSeam seam;
        seam.answer(false);
        LoginWindow login(location());
        QVERIFY(!login.offerNewHouse());
        QVERIFY(!QFile::exists(m_root + u"/quillon"_s));

        // No folder can be made where a plain file is, even by root.
        QFile blocker(m_root + u"/quillon"_s);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        seam.answer(true);
        QVERIFY(!login.offerNewHouse());
        QVERIFY(blocker.remove());
        QCOMPARE(seam.messages.size(), 3);
        QVERIFY(seam.messages.at(2).text.startsWith(u"新建数据库失败"_s));

        // Run from a folder of its own, nothing is offered: the file belongs beside the program.
        QTemporaryDir own;
        LoginWindow beside(houseLocationFor(own.path()));
        QVERIFY(!beside.offerNewHouse());
        QCOMPARE(seam.messages.size(), 3);
    }

    void yesCreatesAHouseThatAdmitsAdmin()
    {
        TestSeam seam;
        seam.answer(true);
        auto *login = new LoginWindow(location());
        login->show();
        QVERIFY(login->offerNewHouse());
        QVERIFY(QFile::exists(house()));
        QVERIFY(seam.messages.at(0).text.contains(shown()));
#ifdef Q_OS_UNIX // Windows keeps it in an access list (test_file_modes)
        // The folder holds the operators' passwords: nobody else may enter it.
        QCOMPARE(QFile::permissions(QFileInfo(house()).path()) & 0x0077, QFileDevice::Permissions());
#endif
        QVERIFY(!login->offerNewHouse()); // found next time, nothing asked
        QCOMPARE(seam.messages.size(), 2);

        login->findChild<QLineEdit *>(u"Text1"_s)->setText(u"admin"_s);
        login->findChild<QLineEdit *>(u"Text2"_s)->setText(u"admin"_s);
        QTest::mouseClick(login->findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton);
        flushDeletes();
        QCOMPARE(seam.messages.size(), 2);
        bool loggedIn = false;
        for (QWidget *w : QApplication::topLevelWidgets())
            loggedIn = loggedIn || (qobject_cast<MainWindow *>(w) && w->isVisible());
        QVERIFY(loggedIn);

        // The desk keeps the house it logged in to, and names its file.
        QCOMPARE(hotel::session()->location(), location());
        AboutWindow about(hotel::session()->location());
        QVERIFY(about.findChild<QLabel *>(u"HouseLocation"_s)->text().contains(shown()));
    }
};

QTEST_MAIN(TestFirstStart)
#include "test_first_start.moc"
