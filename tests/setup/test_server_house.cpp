#include "data/connection.h"
#include "data/db_error.h"
#include "data/house_location.h"
#include "data/schema.h"
#include "data/server_store.h"
#include "index_kit.h"
#include "setup/backup_window.h"
#include "setup/data_init_window.h"
#include "setup/setup_windows.h"
#include "test_database.h"
#include "window_kit.h"

#include <QDir>
#include <QPointer>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <thread>

using namespace Qt::Literals::StringLiterals;
using kit::click;

// Backup, data initialization and the access check where the house lives on the test server.
class TestServerHouse : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void backupIsAFileHouse();
    void wipeKeepsSnapshotInOneTransaction();
    void wipeWaitsForAnotherDesk_data();
    void wipeWaitsForAnotherDesk();
    void accessNeedsTheHousePassword();
    void olderHouseGetsItsIndexesWhenOpened();
    void houseOfAnotherVersion();
};

namespace {

const QStringList Wiped = {schema::Disbursements, schema::Takings,        schema::Floors,      schema::Rooms,
                           schema::Stays,         schema::CompletedStays, schema::Reservations};

// Every table of a house file, rows in key order, as text.
QString fileDump(const QString &path)
{
    QString out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"copy"_s);
        db.setDatabaseName(path);
        if (!db.open())
            return u"cannot open "_s + path;
        for (const schema::Table &t : schema::tables()) {
            out += t.name + u"\n"_s;
            QSqlQuery q(u"select * from \""_s + t.name + u"\" order by 1"_s, db);
            while (q.next()) {
                QStringList row;
                for (int i = 0; i < t.columns.size(); ++i)
                    row.append(q.value(i).isNull() ? u"<NULL>"_s : q.value(i).toString());
                out += row.join(u"|"_s) + u"\n"_s;
            }
        }
    }
    QSqlDatabase::removeDatabase(u"copy"_s);
    return out;
}

QStringList copies(const TestDatabase &db)
{
    return QDir(QDir(db.directory()).filePath(u"innkeep-backups"_s)).entryList(QDir::Files);
}

} // namespace

void TestServerHouse::initTestCase()
{
    registerSetupWindows();
    if (TestDatabase::testServer().isEmpty())
        QFAIL("QUILLON_TEST_SERVER must name the test server");
}

void TestServerHouse::backupIsAFileHouse()
{
    TestDatabase db(true);
    TestSeam seam;
    BackupWindow *w = kit::open<BackupWindow>(u"Form7"_s);
    const QString target = QDir(db.directory()).filePath(u"copy.mdb"_s);
    kit::set(w, u"Text1"_s, target);
    // What the server holds; the backup's own row in the record of who did what comes after it.
    const QString house = db.dump().section(u"seq:"_s, 0, 0);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"恭喜您，数据库备份成功？"_s});
    // Row for row what the server held, and a house the file store opens with the password.
    QCOMPARE(fileDump(target), house);
    Connection file;
    file.open(StoreTarget{target, std::nullopt, HousePassword.toString()});
    QVERIFY(file.isOpen());
    // The same refusals as a file copy: a relative path writes nothing.
    seam.clear();
    kit::set(w, u"Text1"_s, u"copy2.mdb"_s);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY(seam.messages.first().text != u"恭喜您，数据库备份成功？"_s);
}

void TestServerHouse::wipeKeepsSnapshotInOneTransaction()
{
    TestDatabase db(true);
    const QString before = db.dump();
    TestSeam seam;
    QPointer<DataInitWindow> w = kit::open<DataInitWindow>(u"Form20"_s);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"恭喜您,初始化数据资料成功!"_s});
    QVERIFY(w.isNull());
    for (const QString &t : Wiped)
        QCOMPARE(db.count(t), 0);
    QCOMPARE(db.count(schema::Operators), 1);
    QCOMPARE(db.count(schema::Company), 1);
    const QStringList made = copies(db);
    QCOMPARE(made.size(), 1);
    QCOMPARE(fileDump(QDir(db.directory()).filePath(u"innkeep-backups/"_s + made.first())),
             before.section(u"seq:"_s, 0, 0));
}

void TestServerHouse::wipeWaitsForAnotherDesk_data()
{
    QTest::addColumn<bool>("commitsMeanwhile");
    QTest::newRow("desk keeps writing: nothing changes") << false;
    QTest::newRow("desk commits after the copy: copied again") << true;
}

void TestServerHouse::wipeWaitsForAnotherDesk()
{
    QFETCH(bool, commitsMeanwhile);
    TestDatabase db(true);
    // Another desk is in the middle of a write.
    Connection other;
    other.open(db.location());
    other.beginTransaction();
    other.execute(u"update 房间 set 房间名称=? where \"房间ID\"=1"_s, {u"改名中"_s});
    const QString before = db.dump();
    std::thread late([&] {
        QThread::msleep(1500);
        if (commitsMeanwhile)
            other.commit();
    });
    TestSeam seam;
    QPointer<DataInitWindow> w = kit::open<DataInitWindow>(u"Form20"_s);
    click(w, u"Command1"_s);
    late.join();
    if (commitsMeanwhile) {
        QCOMPARE(seam.messageTexts(), QStringList{u"恭喜您,初始化数据资料成功!"_s});
        QCOMPARE(copies(db).size(), 1);
        QVERIFY(fileDump(QDir(db.directory()).filePath(u"innkeep-backups/"_s + copies(db).first()))
                    .contains(u"改名中"_s));
        return;
    }
    QCOMPARE(seam.messageTexts(), QStringList{u"数据正在另一台前台上使用，请稍等片刻再试一次。"_s});
    QCOMPARE(db.dump(), before);
    QCOMPARE(copies(db), QStringList());
    other.rollback();
}

void TestServerHouse::accessNeedsTheHousePassword()
{
    TestDatabase db;
    HouseLocation otherPassword = db.location();
    otherPassword.password = u"12345678"_s;
    Connection c;
    QVERIFY_THROWS_EXCEPTION(DbError, c.open(otherPassword));
    c.open(db.location());
    QVERIFY(c.isOpen());
    QCOMPARE(c.engine(), dialect::Engine::Postgres);
}

void TestServerHouse::olderHouseGetsItsIndexesWhenOpened()
{
    if (qEnvironmentVariableIsSet("QUILLON_TEST_DESK_ROLE"))
        QSKIP("a desk role may not add indexes: the owner upgrades the house (test_server_setup)");
    TestDatabase db(true);
    kit::checkOlderHouseGetsItsIndexes(db);
}

void TestServerHouse::houseOfAnotherVersion()
{
    TestDatabase db;
    kit::checkHouseVersions(db);
}

QTEST_MAIN(TestServerHouse)
#include "test_server_house.moc"
