#include "data/house_copy.h"
#include "data/schema.h"
#include "setup/data_init_window.h"
#include "setup/setup_windows.h"
#include "test_database.h"
#include "ui/windows.h"
#include "window_kit.h"

#include <QDir>
#include <QFile>
#include <QPointer>

using namespace Qt::Literals::StringLiterals;
using kit::click;

namespace {

const QString Success = u"恭喜您,初始化数据资料成功!"_s;
const QStringList Wiped = {schema::Disbursements, schema::Takings,        schema::Floors,      schema::Rooms,
                           schema::Stays,         schema::CompletedStays, schema::Reservations};

QStringList copies(const TestDatabase &db)
{
    return QDir(QDir(db.directory()).filePath(u"innkeep-backups"_s)).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestDataInit : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerSetupWindows(); }
    void wipesBusinessTablesKeepingCopy();
    void emptyDatabaseSucceedsAgain();
    void failedWipeChangesNothing_data();
    void failedWipeChangesNothing();
    void noCopyNoWipe();
    void copyNames();
};

void TestDataInit::wipesBusinessTablesKeepingCopy()
{
    TestDatabase db(true);
    for (const QString &t : Wiped)
        QVERIFY2(db.count(t) > 0, qPrintable(t));
    db.exec(u"insert into 操作用户 (用户名称, 登陆密码, 权限设置) values ('小王', 'pw', 'Z:be')"_s);
    const QList<QStringList> operators = db.rows(u"select * from 操作用户"_s);
    const QList<QStringList> company = db.rows(u"select * from 公司配置"_s);
    const QByteArray before = kit::bytes(db.path());

    TestSeam seam;
    QPointer<DataInitWindow> w = kit::open<DataInitWindow>(u"Form20"_s);
    click(w, u"Command1"_s);
    // No question first; one notice; the window closes and is not shown again.
    QCOMPARE(seam.messageTexts(), QStringList{Success});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Information);
    QVERIFY(w.isNull());
    QCOMPARE(seam.shown.size(), 1);
    for (const QString &t : Wiped)
        QCOMPARE(db.count(t), 0);
    QCOMPARE(db.rows(u"select * from 操作用户"_s), operators);
    QCOMPARE(db.rows(u"select * from 公司配置"_s), company);

    // The copy taken just before holds everything that was wiped.
    const QStringList made = copies(db);
    QCOMPARE(made.size(), 1);
    QVERIFY2(made.first().startsWith(u"innkeep-before-init-"_s) && made.first().endsWith(u".mdb"_s),
             qPrintable(made.first()));
    QCOMPARE(kit::bytes(QDir(db.directory()).filePath(u"innkeep-backups/"_s + made.first())), before);
}

void TestDataInit::emptyDatabaseSucceedsAgain()
{
    TestDatabase db;
    TestSeam seam;
    click(kit::open<DataInitWindow>(u"Form20"_s), u"Command1"_s);
    click(kit::open<DataInitWindow>(u"Form20"_s), u"Command1"_s);
    QCOMPARE(seam.messageTexts(), (QStringList{Success, Success}));
    QCOMPARE(db.count(schema::Operators), 1);
    // Two runs within one second still keep two copies.
    QCOMPARE(copies(db).size(), 2);
}

void TestDataInit::failedWipeChangesNothing_data()
{
    QTest::addColumn<int>("failingStatement");
    QTest::addColumn<bool>("commitFails");
    QTest::newRow("first delete") << 1 << false;
    QTest::newRow("fourth delete (rooms)") << 4 << false;
    QTest::newRow("last delete") << 7 << false;
    QTest::newRow("commit") << 0 << true;
}

void TestDataInit::failedWipeChangesNothing()
{
    QFETCH(int, failingStatement);
    QFETCH(bool, commitFails);
    TestDatabase db(true);
    const QString before = db.dump();
    TestSeam seam;
    DataInitWindow *w = kit::open<DataInitWindow>(u"Form20"_s);
    {
        kit::FaultScope scope;
        faults::failStatement(failingStatement);
        faults::failCommit(commitFails);
        click(w, u"Command1"_s);
    }
    QCOMPARE(db.dump(), before);
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Warning);
    QCOMPARE(seam.last<DataInitWindow>(), w);
    QVERIFY(copies(db).isEmpty()); // nothing was wiped, so no copy is kept
}

void TestDataInit::noCopyNoWipe()
{
    TestDatabase db(true);
    const QString before = db.dump();
    // A plain file where the copies' folder belongs.
    QFile blocker(QDir(db.directory()).filePath(u"innkeep-backups"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TestSeam seam;
    DataInitWindow *w = kit::open<DataInitWindow>(u"Form20"_s);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Warning);
    QCOMPARE(db.dump(), before);
    QCOMPARE(seam.last<DataInitWindow>(), w);
}

void TestDataInit::copyNames()
{
    const QDateTime when(QDate(2026, 12, 7), QTime(8, 30, 5));
    QTemporaryDir dir;
    const QString database = dir.filePath(u"innkeep.mdb"_s);
    const QString folder = dir.filePath(u"innkeep-backups"_s);
    QCOMPARE(housecopy::beforeInitFolder(database), folder);
    QCOMPARE(housecopy::beforeInitCopyPath(database, when),
             folder + u"/innkeep-before-init-20261207-083005.mdb"_s);
    QVERIFY(QDir().mkpath(folder));
    QFile taken(folder + u"/innkeep-before-init-20261207-083005.mdb"_s);
    QVERIFY(taken.open(QIODevice::WriteOnly));
    taken.close();
    QCOMPARE(housecopy::beforeInitCopyPath(database, when),
             folder + u"/innkeep-before-init-20261207-083005-2.mdb"_s);
}

QTEST_MAIN(TestDataInit)
#include "test_data_init.moc"
