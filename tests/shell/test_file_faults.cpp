// Broken, foreign, locked and read-only database files: the login refuses (or reads), every
// window opens and every button can be pressed without a crash, and the file's bytes stay as
// they were.
#include "data/connection.h"
#include "data/database_builder.h"
#include "data/db_error.h"
#include "data/house_location.h"
#include "hotel/outcome.h"
#include "shell/login_window.h"
#include "shell/main_window.h"
#include "shell/shell_windows.h"
#include "test_database.h"
#include "test_seam.h"
#include "ui/windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

bool logIn(TestSeam &seam, const HouseLocation &house)
{
    // A successful login deletes its window, so it lives on the heap.
    QPointer<LoginWindow> login = new LoginWindow(house);
    login->findChild<QLineEdit *>(u"Text1"_s)->setText(u"admin"_s);
    login->findChild<QLineEdit *>(u"Text2"_s)->setText(u"admin"_s);
    const qsizetype before = seam.messages.size();
    login->findChild<QPushButton *>(u"Command1"_s)->click();
    flushDeletes();
    delete login.data();
    bool admitted = false;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *main = qobject_cast<MainWindow *>(w)) {
            admitted = true;
            main->close();
        }
    }
    flushDeletes();
    // A house that cannot be read is never told as a wrong name or password.
    if (!admitted &&
        (seam.messages.size() != before + 1 || seam.messages.last().text == u"对不起，用户名或密码错误？"_s))
        qWarning("refused without its cause");
    return admitted;
}

const QStringList &allForms()
{
    static const QStringList forms = {u"Form3"_s,  u"Form4"_s,  u"Form5"_s,  u"Form6"_s,  u"Form7"_s,
                                      u"Form8"_s,  u"Form9"_s,  u"Form10"_s, u"Form11"_s, u"Form12"_s,
                                      u"Form13"_s, u"Form14"_s, u"Form15"_s, u"Form16"_s, u"Form17"_s,
                                      u"Form19"_s, u"Form20"_s};
    return forms;
}

// Opens every window and presses every enabled button once (twice for two-step buttons).
int pressEverything(TestSeam &seam)
{
    int pressed = 0;
    for (const QString &form : allForms()) {
        QWidget *w = ui::showWindow(form);
        if (!w)
            continue;
        const auto buttons = w->findChildren<QAbstractButton *>();
        for (QAbstractButton *b : buttons) {
            for (int i = 0; i < 2; ++i) {
                if (!b || !b->isEnabled() || !b->isVisible())
                    break;
                seam.answer(true);
                b->click();
                ++pressed;
            }
        }
        for (const QPointer<QWidget> &shown : std::as_const(seam.shown)) {
            if (shown && shown->isWindow())
                shown->close();
        }
        flushDeletes();
    }
    return pressed;
}

} // namespace

class TestFileFaults : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerAllWindows(); }
    void brokenFiles_data();
    void brokenFiles();
    void lockedByAnotherProcess();
    void readOnlyFileAndFolder();
};

void TestFileFaults::brokenFiles_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *k :
         {"missing", "empty", "random bytes", "truncated", "foreign sqlite", "wrong password", "directory"})
        QTest::newRow(k) << QString::fromLatin1(k);
}

void TestFileFaults::brokenFiles()
{
    QFETCH(QString, kind);
    TestDatabase db(true);
    TestSeam seam;
    const QString path = db.path();
    QFile good(path);
    QVERIFY(good.open(QIODevice::ReadOnly));
    const QByteArray goodBytes = good.readAll();
    good.close();
    if (kind == u"missing"_s) {
        QFile::remove(path);
    } else if (kind == u"empty"_s) {
        writeFile(path, {});
    } else if (kind == u"random bytes"_s) {
        QByteArray junk(64 * 1024, Qt::Uninitialized);
        QRandomGenerator rng(42);
        for (char &c : junk)
            c = char(rng.generate());
        writeFile(path, junk);
    } else if (kind == u"truncated"_s) {
        writeFile(path, goodBytes.left(goodBytes.size() / 3));
    } else if (kind == u"foreign sqlite"_s) {
        QFile::remove(path);
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"foreign"_s);
            other.setDatabaseName(path);
            QVERIFY(other.open());
            QSqlQuery(other).exec(u"create table notes (x text)"_s);
            other.close();
        }
        QSqlDatabase::removeDatabase(u"foreign"_s);
    } else if (kind == u"wrong password"_s) {
        // A file of ours, guarded by another password.
        QFile::remove(path);
        dbbuild::Options other;
        other.password = u"11111111"_s;
        QCOMPARE(dbbuild::createDatabase(path, other), QString());
    } else if (kind == u"directory"_s) {
        QFile::remove(path);
        QVERIFY(QDir().mkdir(path));
    }
    const QByteArray before = fileHash(path);

    QVERIFY(!logIn(seam, db.location()));
    const StoreCause cause = kind == u"missing"_s ? StoreCause::FileMissing : StoreCause::Unreadable;
    QVERIFY2(seam.messages.last().text.startsWith(hotel::causeSentence(cause)),
             qPrintable(seam.messages.last().text));
    {
        MainWindow main;
        QCOMPARE(main.windowTitle(), MainWindow::designTitle());
        const int pressed = pressEverything(seam);
        qInfo("%s: %d button presses survived", qPrintable(kind), pressed);
    }
    QCOMPARE(fileHash(path), before);
    QVERIFY(kind == u"directory"_s || kind == u"missing"_s || QFileInfo(path).isFile());
    if (kind == u"missing"_s)
        QVERIFY(!QFile::exists(path)); // nothing ever creates the file
}

void TestFileFaults::lockedByAnotherProcess()
{
    TestDatabase db(true);
    TestSeam seam;
    // Another program holds a write transaction open on the file.
    QProcess holder;
    holder.setProgram(u"sqlite3"_s);
    holder.setArguments({db.path()});
    holder.start();
    if (!holder.waitForStarted())
        QSKIP("sqlite3 command-line tool not available");
    holder.write("BEGIN IMMEDIATE; INSERT INTO 楼层 (楼层名称) VALUES ('held');\n.print ready\n");
    QVERIFY(holder.waitForReadyRead(5000));
    const QByteArray before = fileHash(db.path());

    QVERIFY(logIn(seam, db.location())); // reading is still possible
    Connection c;
    c.open(db.location());
    QVERIFY_THROWS_EXCEPTION(DbError, c.execute(u"delete from 楼层"_s));
    c.close();
    holder.write(".quit\n");
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(5000));
    // The holder never committed: its row is gone, ours were never touched.
    QCOMPARE(fileHash(db.path()), before);
    QCOMPARE(db.count(u"楼层"_s), 3);
}

void TestFileFaults::readOnlyFileAndFolder()
{
    TestDatabase db(true);
    QFile::setPermissions(db.path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(db.directory(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    const QByteArray before = fileHash(db.path());
    // Root ignores permissions: check as an ordinary user in a child process, started from a copy
    // of this program in a folder that user can reach.
    QTemporaryDir exeDir;
    const QString exe = exeDir.filePath(u"test_file_faults"_s);
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), exe));
    const auto readAndRun = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                            QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(exeDir.path(), readAndRun);
    QFile::setPermissions(exe, readAndRun);
    QStringList command = {exe, u"--read-only-child"_s, db.directory()};
    if (::geteuid() == 0)
        command =
            QStringList{u"setpriv"_s, u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s} + command;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(command.first(), command.mid(1));
    QVERIFY(child.waitForFinished(120000));
    if (child.exitCode() == 126 || child.exitCode() == 127)
        QSKIP("cannot start a process as an ordinary user here");
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(fileHash(db.path()), before);
    QFile::setPermissions(db.directory(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(db.path(), QFile::ReadOwner | QFile::WriteOwner);
}

// In the child: the file reads, every write fails with a message, nothing crashes.
static int readOnlyChild(const QString &dir)
{
    const HouseLocation house{dir};
    TestSeam seam;
    registerAllWindows();
    if (!logIn(seam, house)) {
        qWarning("read-only file refused a login");
        return 1;
    }
    try {
        Connection c;
        c.open(house);
        c.execute(u"delete from 楼层"_s);
        qWarning("a write to a read-only file succeeded");
        return 1;
    } catch (const DbError &e) {
        if (hotel::Outcome::of(e).cause() != StoreCause::ReadOnly) {
            qWarning("a read-only file told as another cause");
            return 1;
        }
    }
    MainWindow main;
    pressEverything(seam);
    return 0;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--read-only-child")
        return readOnlyChild(QString::fromLocal8Bit(argv[2]));
    TestFileFaults t;
    return QTest::qExec(&t, argc, argv);
}
#include "test_file_faults.moc"
