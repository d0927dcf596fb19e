#include "data/file_modes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>

using namespace Qt::Literals::StringLiterals;

// The calls that differ between systems, held to one meaning on each.
class TestFileModes : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        QFile f(path(u"house.mdb"_s));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("house") == 5);
    }

    void identity_data()
    {
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("same");
        QTest::addColumn<bool>("regular");
        QTest::newRow("itself") << u"house.mdb"_s << true << true;
        QTest::newRow("spelled otherwise") << u"sub/../house.mdb"_s << true << true;
        QTest::newRow("hard link") << u"hard.mdb"_s << true << true;
        QTest::newRow("a copy") << u"copy.mdb"_s << false << true;
        QTest::newRow("a folder") << u"sub"_s << false << false;
        QTest::newRow("missing") << u"gone.mdb"_s << false << false;
    }
    void identity()
    {
        QFETCH(QString, other);
        QFETCH(bool, same);
        QFETCH(bool, regular);
        QVERIFY(QDir(m_tmp->path()).mkpath(u"sub"_s));
        std::filesystem::create_hard_link(path(u"house.mdb"_s).toStdWString(),
                                          path(u"hard.mdb"_s).toStdWString());
        QVERIFY(QFile::copy(path(u"house.mdb"_s), path(u"copy.mdb"_s)));
        QCOMPARE(filemodes::sameInode(path(u"house.mdb"_s), path(other)), same);
        QCOMPARE(filemodes::isRegularFile(path(other)), regular);
    }

    void privateFilesAndFolders()
    {
        const QString file = path(u"new.mdb"_s);
        QVERIFY(filemodes::createPrivateFile(file));
        QCOMPARE(QFileInfo(file).size(), 0);
        QVERIFY(QFile(file).open(QIODevice::ReadWrite)); // its owner still reads and writes it
        QVERIFY(!filemodes::createPrivateFile(file));    // never over an existing file
        QVERIFY(!filemodes::createPrivateFile(path(u"no/such/new.mdb"_s)));
#ifdef Q_OS_UNIX
        QCOMPARE(QFileInfo(file).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);
#endif
        QVERIFY(filemodes::makePrivateFolder(path(u"copies"_s)));
        QVERIFY(filemodes::makePrivateFolder(path(u"copies"_s)));
        QVERIFY(QFileInfo(path(u"copies"_s)).isDir());
        QVERIFY(!filemodes::makePrivateFolder(file));
    }

    // A copy being written is locked: no cleaner removes it, it takes the place of an older file
    // still open and locked, and once it is closed a cleaner may remove it.
    void lockedCopiesStay()
    {
        const QString copy = path(u"未完成的副本.tmp"_s);
        const QString target = path(u"house.mdb"_s);
        QFile live;
        QCOMPARE(filemodes::openNewPrivate(live, copy), QString());
        QFile again;
        QVERIFY(!filemodes::openNewPrivate(again, copy).isEmpty()); // never over an existing file
#ifdef Q_OS_UNIX
        QCOMPARE(QFileInfo(copy).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);
#endif
        QVERIFY(filemodes::lockWhileOpen(live.handle()));
        QCOMPARE(live.write("bytes"), 5);
        QVERIFY(live.flush() && filemodes::syncToDisk(live.handle()));
        QVERIFY(!filemodes::removeUnlessLocked(copy));
        QVERIFY(QFileInfo::exists(copy));
        QCOMPARE(filemodes::replaceFile(copy, target), QString());
        QVERIFY(!QFileInfo::exists(copy));
        QVERIFY(!filemodes::removeUnlessLocked(target)); // still locked under its new name
        live.close();
        QFile placed(target);
        QVERIFY(placed.open(QIODevice::ReadOnly));
        QCOMPARE(placed.readAll(), "bytes");
        placed.close();
        QVERIFY(filemodes::removeUnlessLocked(target));
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(filemodes::removeUnlessLocked(target)); // already gone is gone
        QVERIFY(!filemodes::replaceFile(copy, target).isEmpty());
        QVERIFY(filemodes::maxNameBytes(m_tmp->path()) >= 255);
    }

private:
    QString path(const QString &name) const
    {
        return m_tmp->filePath(name);
    }
    std::unique_ptr<QTemporaryDir> m_tmp;
};

QTEST_GUILESS_MAIN(TestFileModes)
#include "test_file_modes.moc"
