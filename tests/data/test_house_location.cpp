#include "data/house_location.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The database lives beside a program in a folder of its own, and in the user's data folder when
// the program was installed with the system.
class TestHouseLocation : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void installedOrOwnFolder()
    {
        const QStringList roots = {u"/usr"_s, u"/bin"_s};
        for (const QString &dir :
             {u"/usr/bin"_s, u"/usr/local/bin/"_s, u"/usr"_s, u"/home/desk/../../usr/bin"_s})
            QVERIFY2(isInstalledProgramDirectory(dir, roots), qPrintable(dir));
        for (const QString &dir :
             {u"/usrlocal/bin"_s, u"/opt/usr/bin"_s, u"/media/desk/USB/quillon"_s, QString()})
            QVERIFY2(!isInstalledProgramDirectory(dir, roots), qPrintable(dir));

        // Writable or not, a folder under a root is installed; a link counts as what it points at.
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkpath(u"sys/bin"_s) && QDir(tmp.path()).mkpath(u"own"_s));
#ifndef Q_OS_WIN // QFile::link makes a shortcut there, which no path goes through
        QVERIFY(QFile::link(tmp.filePath(u"sys/bin"_s), tmp.filePath(u"link"_s)));
        QVERIFY(isInstalledProgramDirectory(tmp.filePath(u"link"_s), {tmp.filePath(u"sys"_s)}));
#endif
        QVERIFY(!isInstalledProgramDirectory(tmp.filePath(u"own"_s), {tmp.filePath(u"sys"_s)}));
    }

    void houseFollowsTheProgram()
    {
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());

#ifdef Q_OS_WIN // installed under Program Files, the house in the user's %LOCALAPPDATA%
        const auto folder = [](const char *name) {
            return QDir::fromNativeSeparators(qEnvironmentVariable(name));
        };
        const HouseLocation installed = houseLocationFor(folder("ProgramFiles") + u"/Quillon"_s);
        const QString file = folder("LOCALAPPDATA") + u"/quillon/innkeep.mdb"_s;
#else
        const HouseLocation installed = houseLocationFor(u"/usr/bin"_s);
        const QString file = data.path() + u"/quillon/innkeep.mdb"_s;
#endif
        QVERIFY(installed.inUserDataFolder);
        QCOMPARE(installed.filePath(), file);
        QCOMPARE(installed.storeTarget().file, file);
        QCOMPARE(installed.settingsPath(), QFileInfo(file).path() + u"/quillon.ini"_s);

        QTemporaryDir own;
        const HouseLocation beside = houseLocationFor(own.path());
        QVERIFY(!beside.inUserDataFolder);
        QCOMPARE(beside, HouseLocation{own.path()});
        QCOMPARE(beside.filePath(), own.path() + u"/innkeep.mdb"_s);
        QCOMPARE(beside.password, u"58316094"_s); // the old program's: its houses open with it
        qunsetenv("XDG_DATA_HOME");
    }

    // A folder given with its separator names the same file.
    void trailingSeparator()
    {
        QCOMPARE(HouseLocation{u"/opt/hotel/"_s}.filePath(), u"/opt/hotel/innkeep.mdb"_s);
        QCOMPARE(HouseLocation{u"C:/"_s}.filePath(), u"C:/innkeep.mdb"_s);
    }
};

QTEST_GUILESS_MAIN(TestHouseLocation)
#include "test_house_location.moc"
