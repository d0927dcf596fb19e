#include "data/connection_string.h"
#include "data/module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// Where the database lives: beside a program in a folder of its own, in the user's data folder
// when the program was installed with the system.
class TestHouseLocation : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void installedOrOwnFolder_data();
    void installedOrOwnFolder();
    void linksAreFollowed();
    void houseFollowsTheProgram();
};

void TestHouseLocation::installedOrOwnFolder_data()
{
    QTest::addColumn<QString>("dir");
    QTest::addColumn<bool>("installed");
    const QList<std::pair<QString, bool>> rows = {
        {u"/usr/bin"_s, true},
        {u"/usr/local/bin"_s, true},
        {u"/usr/lib/quillon/"_s, true},
        {u"/usr"_s, true},
        {u"/usr/bin/../bin"_s, true},
        {u"/usrlocal/bin"_s, false},
        {u"/home/desk/quillon"_s, false},
        {u"/media/desk/USB/quillon"_s, false},
        {u"/opt/usr/bin"_s, false},
        {u"/tmp/build/app"_s, false},
        {u"/home/desk/../../usr/bin"_s, true},
        {QString(), false},
    };
    for (const auto &[dir, installed] : rows)
        QTest::newRow(qPrintable(dir.isEmpty() ? u"(empty)"_s : dir)) << dir << installed;
}

void TestHouseLocation::installedOrOwnFolder()
{
    QFETCH(QString, dir);
    QFETCH(bool, installed);
    QCOMPARE(Module1::isInstalledProgramDirectory(dir, {u"/usr"_s, u"/bin"_s, u"/sbin"_s}), installed);
}

void TestHouseLocation::linksAreFollowed()
{
    // A writable folder counts as installed when it is under a system root, and a link into a
    // system root counts as what it points at.
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath(u"sys/bin"_s));
    QVERIFY(QDir(tmp.path()).mkpath(u"own"_s));
    QVERIFY(QFile::link(tmp.filePath(u"sys/bin"_s), tmp.filePath(u"bin-link"_s)));
    QVERIFY(QFile::link(tmp.filePath(u"sys"_s), tmp.filePath(u"sys-link"_s)));
    const QStringList roots = {tmp.filePath(u"sys"_s)};
    QVERIFY(Module1::isInstalledProgramDirectory(tmp.filePath(u"sys/bin"_s), roots));
    QVERIFY(Module1::isInstalledProgramDirectory(tmp.filePath(u"bin-link"_s), roots));
    QVERIFY(!Module1::isInstalledProgramDirectory(tmp.filePath(u"own"_s), roots));
    // The root itself given through a link.
    QVERIFY(Module1::isInstalledProgramDirectory(tmp.filePath(u"sys/bin"_s), {tmp.filePath(u"sys-link"_s)}));
}

void TestHouseLocation::houseFollowsTheProgram()
{
    QTemporaryDir data;
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    Module1::DbFileName = u"innkeep.mdb"_s;
    Module1::DbPassword = u"58316094"_s;

    Module1::setProgramDirectory(u"/usr/bin"_s);
    const QString userHouse = data.path() + u"/quillon"_s;
    QCOMPARE(Module1::userDataDirectory(), userHouse);
    QCOMPARE(Module1::houseDirectory(), userHouse);
    QCOMPARE(Module1::databasePath(), userHouse + u"/innkeep.mdb"_s);
    QCOMPARE(parseConnectionString(Module1::connectionString()).dataSource, userHouse + u"/innkeep.mdb"_s);

    QTemporaryDir own;
    Module1::setProgramDirectory(own.path());
    QCOMPARE(Module1::houseDirectory(), own.path());
    QCOMPARE(Module1::connectionString(), buildConnectionString(own.path(), u"innkeep.mdb"_s, u"58316094"_s));

    Module1::setProgramDirectory({});
    if (oldData.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", oldData);
}

QTEST_GUILESS_MAIN(TestHouseLocation)
#include "test_house_location.moc"
