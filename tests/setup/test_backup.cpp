#include "data/house_location.h"
#include "setup/backup_window.h"
#include "setup/setup_windows.h"
#include "test_database.h"
#include "ui/windows.h"
#include "window_kit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace Qt::Literals::StringLiterals;
using kit::box;
using kit::click;

namespace {

const QString Success = u"恭喜您，数据库备份成功？"_s;

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerSetupWindows(); }
    void controls();
    void copyIsByteForByteAndReplaces();
    void initialTextIsRefused();
    void refusals_data();
    void refusals();
    void missingDatabaseLeavesEarlierBackup();
    void copyCutShortLeavesEarlierBackup();
    void fileDialog();
};

void TestBackup::controls()
{
    TestSeam seam;
    BackupWindow *w = kit::open<BackupWindow>(u"Form7"_s);
    QCOMPARE(w->windowTitle(), u"数据库备份管理"_s);
    QCOMPARE(kit::text(w, u"Text1"_s), u"E:\\\\backup\\"_s);
    QCOMPARE(box(w, u"Text1"_s)->accessibleName(), u"请输入目标地"_s);
}

void TestBackup::copyIsByteForByteAndReplaces()
{
    TestDatabase db;
    db.addFloor(u"一楼"_s);
    QTemporaryDir target;
    const QString path = target.filePath(u"备份 2026.mdb"_s);
    QVERIFY(kit::write(path, "an older file, longer than nothing at all"));
    TestSeam seam;
    BackupWindow *w = kit::open<BackupWindow>(u"Form7"_s);
    kit::set(w, u"Text1"_s, path);
    // The house as it was; the backup's own row in the record of who did what comes after it.
    QByteArray house = kit::bytes(db.path());
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{Success});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Information);
    QCOMPARE(kit::bytes(path), house);
    QCOMPARE(db.rows(u"select \"操作\" from \"操作记录\""_s), QList<QStringList>{{u"数据备份"_s}});
    QVERIFY(!kit::bytes(path).isEmpty());

    // Again to the same path, after a change: the copy is replaced without a question.
    db.addFloor(u"二楼"_s);
    house = kit::bytes(db.path());
    click(w, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), (QStringList{Success, Success}));
    QCOMPARE(kit::bytes(path), house);
    // The window stays, and no temporary file is left beside the copy.
    QCOMPARE(seam.last<BackupWindow>(), w);
    QCOMPARE(kit::text(w, u"Text1"_s), path);
    QCOMPARE(QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"备份 2026.mdb"_s});
}

void TestBackup::initialTextIsRefused()
{
    TestDatabase db;
    QTemporaryDir cwd;
    const QString before = QDir::currentPath();
    QDir::setCurrent(cwd.path());
    TestSeam seam;
    BackupWindow *w = kit::open<BackupWindow>(u"Form7"_s);
    click(w, u"Command1"_s);
    QDir::setCurrent(before);
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Warning);
    // Nothing was written anywhere near the working folder.
    QVERIFY(QDir(cwd.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void TestBackup::refusals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("empty") << u"empty"_s;
    QTest::newRow("blanks") << u"blanks"_s;
    QTest::newRow("relative") << u"relative"_s;
    QTest::newRow("existing folder") << u"folder"_s;
    QTest::newRow("folder with slash") << u"folder/"_s;
    QTest::newRow("missing folder") << u"missing"_s;
    QTest::newRow("read-only file") << u"readonly"_s;
    QTest::newRow("device") << u"device"_s;
    QTest::newRow("database itself") << u"self"_s;
    QTest::newRow("database through dot dot") << u"dotdot"_s;
    QTest::newRow("database through double slash") << u"slashes"_s;
    QTest::newRow("hard link to database") << u"hardlink"_s;
#ifdef Q_OS_UNIX // QFile::link makes a shortcut file on Windows, no symbolic link
    QTest::newRow("symlink to database") << u"symlink"_s;
    QTest::newRow("link to database folder") << u"dirlink"_s;
#endif
}

void TestBackup::refusals()
{
    QFETCH(QString, kind);
    TestDatabase db;
    db.addFloor(u"一楼"_s);
    const QByteArray database = kit::bytes(db.path());
    QTemporaryDir dir;
    const QString dbDir = QFileInfo(db.path()).absolutePath();
    QString target;
    QByteArray targetBefore;
    if (kind == u"empty"_s) {
        target = QString();
    } else if (kind == u"blanks"_s) {
        target = u"   "_s;
    } else if (kind == u"relative"_s) {
        target = u"backup.mdb"_s;
    } else if (kind == u"folder"_s) {
        target = dir.path();
    } else if (kind == u"folder/"_s) {
        target = dir.path() + u"/"_s;
    } else if (kind == u"missing"_s) {
        target = dir.filePath(u"没有/backup.mdb"_s);
    } else if (kind == u"readonly"_s) {
        target = dir.filePath(u"old.mdb"_s);
        targetBefore = "a good earlier backup";
        QVERIFY(kit::write(target, targetBefore));
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    } else if (kind == u"device"_s) {
#ifdef Q_OS_WIN
        target = u"\\\\.\\NUL"_s;
#else
        target = u"/dev/null"_s;
#endif
    } else if (kind == u"self"_s) {
        target = db.path();
    } else if (kind == u"dotdot"_s) {
        target = dbDir + u"/../"_s + QFileInfo(dbDir).fileName() + u"/./innkeep.mdb"_s;
    } else if (kind == u"slashes"_s) {
        target = dbDir + u"//innkeep.mdb"_s;
    } else if (kind == u"symlink"_s) {
        target = dir.filePath(u"link.mdb"_s);
        QVERIFY(QFile::link(db.path(), target));
    } else if (kind == u"hardlink"_s) {
        target = dir.filePath(u"hard.mdb"_s);
        std::error_code error;
        std::filesystem::create_hard_link(db.path().toStdWString(), target.toStdWString(), error);
        QVERIFY2(!error, error.message().c_str());
    } else if (kind == u"dirlink"_s) {
        QVERIFY(QFile::link(dbDir, dir.filePath(u"db"_s)));
        target = dir.filePath(u"db/innkeep.mdb"_s);
    }
    const QStringList entriesBefore =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);

    TestSeam seam;
    BackupWindow *w = kit::open<BackupWindow>(u"Form7"_s);
    kit::set(w, u"Text1"_s, target);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Warning);
    QVERIFY(seam.messages.first().text != Success);
    QCOMPARE(kit::bytes(db.path()), database);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), entriesBefore);
    if (!targetBefore.isEmpty())
        QCOMPARE(kit::bytes(target), targetBefore);
    QCOMPARE(kit::text(w, u"Text1"_s), target);
}

void TestBackup::missingDatabaseLeavesEarlierBackup()
{
    TestDatabase db;
    QTemporaryDir dir;
    const QString target = dir.filePath(u"good.mdb"_s);
    QVERIFY(kit::write(target, "a good earlier backup"));
    HouseLocation missing = db.location();
    missing.fileName = u"missing.mdb"_s;
    TestDatabase::logInEveryRight(missing);
    TestSeam seam;
    BackupWindow *w = kit::open<BackupWindow>(u"Form7"_s);
    kit::set(w, u"Text1"_s, target);
    click(w, u"Command1"_s);
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Warning);
    QCOMPARE(kit::bytes(target), QByteArray("a good earlier backup"));
}

void TestBackup::copyCutShortLeavesEarlierBackup()
{
#ifndef Q_OS_UNIX
    QSKIP("a file size limit stands in for a full disk, and Windows has none");
#else
    TestDatabase db;
    QTemporaryDir dir;
    const QString target = dir.filePath(u"good.mdb"_s);
    QVERIFY(kit::write(target, "a good earlier backup"));
    QVERIFY(QFileInfo(db.path()).size() > 8192);
    TestSeam seam;
    BackupWindow *w = kit::open<BackupWindow>(u"Form7"_s);
    kit::set(w, u"Text1"_s, target);
    // A file size limit stands in for a full disk: the write fails part way.
    rlimit saved{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 8192;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    click(w, u"Command1"_s);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Warning);
    QCOMPARE(kit::bytes(target), QByteArray("a good earlier backup"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"good.mdb"_s});
#endif
}

void TestBackup::fileDialog()
{
    TestSeam seam;
    BackupWindow *w = kit::open<BackupWindow>(u"Form7"_s);
    // Cancel: the path stays as it was.
    click(w, u"Command2"_s);
    QCOMPARE(kit::text(w, u"Text1"_s), u"E:\\\\backup\\"_s);
    // No "D:\" folder here, so the dialog starts at home.
    QCOMPARE(seam.fileDialogDirs, QStringList{QDir::homePath()});

    seam.setFileDialogResult(u"/srv/backups/innkeep-copy.mdb"_s);
    click(w, u"Command2"_s);
    QCOMPARE(kit::text(w, u"Text1"_s), QDir::toNativeSeparators(u"/srv/backups/innkeep-copy.mdb"_s));
    seam.setFileDialogResult(QString());
    click(w, u"Command2"_s);
    QCOMPARE(kit::text(w, u"Text1"_s), QDir::toNativeSeparators(u"/srv/backups/innkeep-copy.mdb"_s));
    QVERIFY(seam.messages.isEmpty());

    // The real open-file dialog takes the name of a file that does not exist yet.
    QTemporaryDir dir;
    const QString target = dir.filePath(u"new-backup.mdb"_s);
    bool anyFile = false;
    QTimer::singleShot(0, w, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        anyFile =
            dialog->fileMode() == QFileDialog::AnyFile && dialog->acceptMode() == QFileDialog::AcceptOpen;
        // Accepting a missing name in an existing-file dialog would stop at a warning box.
        if (!anyFile)
            return dialog->reject();
        dialog->selectFile(target);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    ui::setSeam(nullptr);
    click(w, u"Command2"_s);
    ui::setSeam(&seam);
    QVERIFY(anyFile);
    QCOMPARE(kit::text(w, u"Text1"_s), QDir::toNativeSeparators(target));
}

QTEST_MAIN(TestBackup)
#include "test_backup.moc"
