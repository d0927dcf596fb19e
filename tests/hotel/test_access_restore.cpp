#include "hotel/access_move.h"
#include "test_database.h"

#include <QDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using hotel::Refusal;

Q_DECLARE_METATYPE(hotel::Refusal)

// A restore from an Access backup, on the store the tests run against: the house becomes the
// Access house as a restore leaves it, safety copy and the import's proof in the record; every
// refusal leaves the house as it was. The Access file is never written.
class TestAccessRestore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void restore_data();
    void restore();
};

void TestAccessRestore::restore_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("rights");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<Refusal>("expected");
    QTest::newRow("an Access house") << u"plain"_s << u"Z:abcdef"_s << false << Refusal::None;
    QTest::newRow("no backup right") << u"plain"_s << u"Z:bcdef"_s << false << Refusal::NoRight;
    QTest::newRow("cancelled") << u"plain"_s << u"Z:abcdef"_s << true << Refusal::Cancelled;
    QTest::newRow("open in the old program")
        << u"locked"_s << u"Z:abcdef"_s << false << Refusal::NotBroughtAcross;
}

void TestAccessRestore::restore()
{
    QFETCH(QString, file);
    QFETCH(QString, rights);
    QFETCH(bool, cancel);
    QFETCH(Refusal, expected);
    TestDatabase db(true);
    const QString access = QDir(db.directory()).filePath(u"old-backup.mdb"_s);
    QVERIFY(QFile::copy(u":/access/plain.mdb"_s, access));
    if (file == u"locked"_s)
        QVERIFY(QFile(QDir(db.directory()).filePath(u"old-backup.ldb"_s)).open(QIODevice::WriteOnly));
    const QString before = db.dump();
    hotel::Session desk(db.location(), u"admin"_s, rights);
    // In place, as the progress bar's thread would run it, answering 取消 at once or never.
    const auto runner = [cancel](const hotel::LongWork &work) {
        work([cancel](qint64, qint64) { return !cancel; });
    };

    const auto restored = hotel::restoreFromAccess(&desk, access, runner);

    QFile read(access), fixture(u":/access/plain.mdb"_s);
    QVERIFY(read.open(QIODevice::ReadOnly) && fixture.open(QIODevice::ReadOnly));
    QCOMPARE(read.readAll(), fixture.readAll());
    const QDir kept(QDir(db.directory()).filePath(u"innkeep-backups"_s));
    if (expected != Refusal::None) {
        QVERIFY2(restored.isRefused(expected), qPrintable(restored.message()));
        QVERIFY(!restored.message().isEmpty());
        QCOMPARE(db.dump(), before);
        QVERIFY(kept.isEmpty());
        return;
    }
    QVERIFY2(restored.ok(), qPrintable(restored.message()));
    for (const auto &[table, rows] : {std::pair{u"操作用户"_s, 4},
                                      {u"楼层"_s, 3},
                                      {u"房间"_s, 12},
                                      {u"旅客入住"_s, 3},
                                      {u"旅客预订"_s, 2},
                                      {u"旅客退房"_s, 40},
                                      {u"交款"_s, 2},
                                      {u"拔款"_s, 1}})
        QCOMPARE(db.count(table), rows);
    QCOMPARE(db.scalar(u"select 企业名称 from 公司配置"_s).toString(), u"临江客栈"_s);
    // The house as it was is kept first, as for any restore.
    QCOMPARE(kept.entryList(QDir::Files), QStringList{QFileInfo(restored->restored.safetyCopy).fileName()});
    QVERIFY(restored->restored.operatorKept); // admin holds every right in the Access house too
    // The record holds the import's proof, as the operator was shown it, then the restore.
    QCOMPARE(db.rows(u"select 数据表 from 操作记录 where 操作='导入旧数据'"_s),
             QList<QStringList>{{restored->report}});
    QCOMPARE(db.rows(u"select 操作 from 操作记录 order by 记录ID desc limit 1"_s),
             QList<QStringList>{{u"数据恢复"_s}});
}

QTEST_MAIN(TestAccessRestore)
#include "test_access_restore.moc"
