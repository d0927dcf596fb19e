#include "data/connection_string.h"
#include "data/module1.h"

#include <QDir>
#include <QFile>
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
            QVERIFY2(Module1::isInstalledProgramDirectory(dir, roots), qPrintable(dir));
        for (const QString &dir :
             {u"/usrlocal/bin"_s, u"/opt/usr/bin"_s, u"/media/desk/USB/quillon"_s, QString()})
            QVERIFY2(!Module1::isInstalledProgramDirectory(dir, roots), qPrintable(dir));

        // Writable or not, a folder under a root is installed; a link counts as what it points at.
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkpath(u"sys/bin"_s) && QDir(tmp.path()).mkpath(u"own"_s));
#ifndef Q_OS_WIN // QFile::link makes a shortcut there, which no path goes through
        QVERIFY(QFile::link(tmp.filePath(u"sys/bin"_s), tmp.filePath(u"link"_s)));
        QVERIFY(Module1::isInstalledProgramDirectory(tmp.filePath(u"link"_s), {tmp.filePath(u"sys"_s)}));
#endif
        QVERIFY(!Module1::isInstalledProgramDirectory(tmp.filePath(u"own"_s), {tmp.filePath(u"sys"_s)}));
    }

    void houseFollowsTheProgram()
    {
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        Module1::DbFileName = u"innkeep.mdb"_s;
        Module1::DbPassword = u"58316094"_s;

#ifdef Q_OS_WIN // installed under Program Files, the house in the user's %LOCALAPPDATA%
        const auto folder = [](const char *name) {
            return QDir::fromNativeSeparators(qEnvironmentVariable(name));
        };
        Module1::setProgramDirectory(folder("ProgramFiles") + u"/Quillon"_s);
        const QString file = folder("LOCALAPPDATA") + u"/quillon/innkeep.mdb"_s;
#else
        Module1::setProgramDirectory(u"/usr/bin"_s);
        const QString file = data.path() + u"/quillon/innkeep.mdb"_s;
#endif
        QCOMPARE(Module1::databasePath(), file);
        QCOMPARE(parseConnectionString(Module1::connectionString()).dataSource, file);

        QTemporaryDir own;
        Module1::setProgramDirectory(own.path());
        QCOMPARE(Module1::connectionString(),
                 buildConnectionString(own.path(), u"innkeep.mdb"_s, u"58316094"_s));
        Module1::setProgramDirectory({});
        qunsetenv("XDG_DATA_HOME");
    }
};

QTEST_GUILESS_MAIN(TestHouseLocation)
#include "test_house_location.moc"
