// The helpers docs/building.md offers for looking at windows, run as the separate programs they are.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// The build tree, two folders above this program: under Wine its Linux path names no Windows folder.
QString buildTree()
{
    return QDir(QCoreApplication::applicationDirPath() + u"/../.."_s).absolutePath();
}

// Runs a program to its end; its exit code, or -1 when it did not finish.
int run(const QString &program, const QStringList &args, const QProcessEnvironment &env = {})
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TestTools : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shotOfLoginAndMainWindow();
    void screenshotScriptDrivesTheProgram();
    void createdbBringsAccessAcross_data();
    void createdbBringsAccessAcross();
    void createdbChecksTheServerOfTheHouseItIsGiven();
};

void TestTools::shotOfLoginAndMainWindow()
{
    const QString build = buildTree();
    QTemporaryDir dir;
    QCOMPARE(run(build + u"/tools/quillon-createdb"_s, {dir.filePath(u"innkeep.mdb"_s)}), 0);
    const auto shot = [&](const QString &form, const QString &png, const QStringList &steps = {}) {
        return run(build + u"/tools/quillon-shot"_s,
                   QStringList{form, dir.filePath(png), u"--db"_s, dir.path()} + steps);
    };
    QCOMPARE(shot(u"Form1"_s, u"login.png"_s), 0);
    QCOMPARE(shot(u"Form2"_s, u"main.png"_s), 0);
    // Logging in from the login window leaves the main window in front.
    QCOMPARE(shot(u"Form1"_s, u"in.png"_s,
                  {u"--set"_s, u"Text1=admin"_s, u"--set"_s, u"Text2=admin"_s, u"--click"_s, u"Command1"_s}),
             0);
    const QImage login(dir.filePath(u"login.png"_s)), main(dir.filePath(u"main.png"_s));
    QVERIFY(!login.isNull() && main.width() > login.width());
    QVERIFY(QImage(dir.filePath(u"in.png"_s)).width() > login.width());
}

void TestTools::screenshotScriptDrivesTheProgram()
{
#ifdef Q_OS_WIN
    QSKIP("scripts/screenshot.sh drives the Linux build under Xvfb");
#endif
    for (const QString &tool : {u"Xvfb"_s, u"xdotool"_s, u"bash"_s})
        QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(), "scripts/install-deps.sh installs it");
    QTemporaryDir dir;
    const QString out = dir.filePath(u"screen.png"_s);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QUILLON_BUILD_DIR"_s, buildTree());
    QCOMPARE(run(u"bash"_s,
                 {QStringLiteral(QUILLON_SOURCE_DIR) + u"/scripts/screenshot.sh"_s, out, u"type admin"_s,
                  u"key Tab"_s, u"type admin"_s, u"key Return"_s, u"sleep 1"_s},
                 env),
             0);
    const QImage screen(out);
    QCOMPARE(screen.size(), QSize(1280, 900));
    // The main window, at the top left once logged in, covers what is black without one.
    QVERIFY(qGray(screen.pixel(5, 5)) > 100);
}

void TestTools::createdbBringsAccessAcross_data()
{
    // "NEW" is a path in a fresh folder, "HOUSE" a Quillon house made there first.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says"); // on standard output
    const QString plain = QStringLiteral(QUILLON_SOURCE_DIR "/tests/data/access/plain.mdb");
    QTest::newRow("version") << QStringList{u"--version"_s} << 0 << u"quillon-createdb " QUILLON_VERSION ""_s;
    QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"--inspect OLD.mdb"_s;
    QTest::newRow("a look") << QStringList{u"--inspect"_s, plain} << 0 << u"旅客退房  40 / —"_s;
    QTest::newRow("a look at no house")
        << QStringList{u"--inspect"_s, QStringLiteral(QUILLON_SOURCE_DIR "/tests/data/access/missing.mdb")}
        << 1 << u"缺少表“拔款”"_s;
    QTest::newRow("an Access house") << QStringList{u"--from"_s, plain, u"NEW"_s} << 0
                                     << u"旅客退房  40 / 40"_s;
    QTest::newRow("a Quillon house is copied, not imported")
        << QStringList{u"--from"_s, u"HOUSE"_s, u"NEW"_s} << 1 << QString();
    QTest::newRow("no target") << QStringList{u"--from"_s, plain} << 2 << QString();
}

void TestTools::createdbBringsAccessAcross()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, says);
    QTemporaryDir dir;
    const QString createdb = buildTree() + u"/tools/quillon-createdb"_s;
    QCOMPARE(run(createdb, {u"--empty"_s, dir.filePath(u"house.mdb"_s)}), 0);
    args.replaceInStrings(u"NEW"_s, dir.filePath(u"new.mdb"_s));
    args.replaceInStrings(u"HOUSE"_s, dir.filePath(u"house.mdb"_s));
    QProcess p;
    p.start(createdb, args);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), status);
    // In the system's 8-bit encoding, as a console shows it: GBK on a Chinese Windows.
    QVERIFY(QString::fromLocal8Bit(p.readAllStandardOutput()).contains(says));
    QCOMPARE(QFileInfo::exists(dir.filePath(u"new.mdb"_s)),
             args.contains(dir.filePath(u"new.mdb"_s)) && status == 0);
}

// --house names the folder whose quillon.ini names the server to check, as a desk there finds it.
void TestTools::createdbChecksTheServerOfTheHouseItIsGiven()
{
    if (!QUILLON_SERVER_STORE)
        QSKIP("built without the server store");
    QTemporaryDir dir;
    QFile ini(dir.filePath(u"quillon.ini"_s));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[server]\nconnection=host=/nonexistent dbname=quillon connect_timeout=2\n");
    ini.close();
    QProcess p;
    p.start(buildTree() + u"/tools/quillon-createdb"_s, {u"--house"_s, dir.path(), u"--check"_s});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
    const QString said = QString::fromLocal8Bit(p.readAllStandardOutput());
    QVERIFY2(said.startsWith(u"FAILED"_s) && said.contains(u"server not reached"_s), qPrintable(said));
}

QTEST_MAIN(TestTools)
#include "test_tools.moc"
