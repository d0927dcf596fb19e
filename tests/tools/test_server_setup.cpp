// A house on a server as its IT person sets it up: the owner makes it and grants a desk role, the
// check command tells a right set-up from each kind of wrong one, TLS is verified.
#include "data/dialect.h"
#include "data/house_location.h"
#include "data/schema.h"
#include "hotel/outcome.h"
#include "hotel/session.h"
#include "test_database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Run {
    int code = -1;
    QString out;
};

Run createdb(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QCoreApplication::applicationDirPath() + u"/../../tools/quillon-createdb"_s, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

QString tlsServer()
{
    QFile file(qEnvironmentVariable("QUILLON_TEST_TLS_SERVER"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

// A statement straight to the server as `conninfo`; the server's SQLSTATE when it failed.
QString execAs(const QString &conninfo, const QString &sql)
{
    const QString name = QUuid::createUuid().toString();
    QString state;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
        db.setConnectOptions(conninfo);
        if (!db.open())
            return u"not opened"_s;
        QSqlQuery q(db);
        if (!q.exec(sql))
            state = q.lastError().nativeErrorCode();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return state;
}

const QString Desk = u" user=quillon_desk"_s;

// Leaves the house as a row wants it; the server string to check.
using Prepare = std::function<QString(TestDatabase &)>;
// The same for the TLS server, from its own string.
using PrepareTls = std::function<QString(const QString &)>;

// A desk whose quillon.ini names `server`, with the CA its sslrootcert names copied beside the
// settings and named there by the file's name alone; the login's outcome. The folder's Chinese
// name is a Chinese Windows account's %LOCALAPPDATA%.
hotel::Outcome logInBeside(const QString &server)
{
    QTemporaryDir temporary;
    const QDir dir(temporary.filePath(u"前台"_s));
    QString desk = server;
    const qsizetype at = server.indexOf(u"sslrootcert="_s);
    const QString ca = server.mid(at + 12).section(u' ', 0, 0);
    if (at < 0 || !dir.mkpath(u"."_s) || !QFile::copy(ca, dir.filePath(u"ca.crt"_s)))
        return hotel::Outcome::failed(StoreCause::Other, u"the test CA was not copied"_s);
    desk.replace(ca, u"ca.crt"_s);
    QFile ini(dir.filePath(u"quillon.ini"_s));
    if (!ini.open(QIODevice::WriteOnly))
        return hotel::Outcome::failed(StoreCause::Other, u"quillon.ini not written"_s);
    ini.write("[server]\nconnection=\"" + desk.toUtf8() + "\"\n");
    ini.close();
    HouseLocation house;
    house.folder = dir.path();
    return hotel::Session::logIn(house, u"admin"_s, u"admin"_s);
}

} // namespace

Q_DECLARE_METATYPE(Prepare)
Q_DECLARE_METATYPE(PrepareTls)

class TestServerSetup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void checkTellsEachSetUp_data();
    void checkTellsEachSetUp();
    void deskRoleCannotReshapeTheHouse();
    void tlsVerifiedOrRefused_data();
    void tlsVerifiedOrRefused();
};

void TestServerSetup::checkTellsEachSetUp_data()
{
    // How the house is left, who checks, the exit code and the words of the last line.
    QTest::addColumn<Prepare>("prepare");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("last");
    QTest::newRow("owner") << Prepare([](TestDatabase &h) { return h.server(); }) << 0 << u"session limits"_s;
    QTest::newRow("desk role granted") << Prepare([](TestDatabase &h) {
        createdb({u"--server"_s, h.server(), u"--desk-role"_s, u"quillon_desk"_s});
        return h.server() + Desk;
    }) << 0 << u"session limits"_s;
    QTest::newRow("desk role not granted")
        << Prepare([](TestDatabase &h) { return h.server() + Desk; }) << 1 << u"may not use the schema"_s;
    QTest::newRow("no house") << Prepare([](TestDatabase &h) {
        for (const schema::Table &t : schema::tables())
            h.exec(u"drop table \""_s + t.name + u"\""_s);
        h.exec(u"drop table quillon_access"_s);
        return h.server();
    }) << 1 << u"no house in this schema"_s;
    QTest::newRow("index missing") << Prepare([](TestDatabase &h) {
        h.exec(u"drop index \"旅客退房_入住时间不可读\""_s);
        return h.server();
    }) << 1 << u"indexes missing"_s;
    QTest::newRow("made before versions") << Prepare([](TestDatabase &h) {
        h.exec(u"drop table "_s + schema::VersionTable);
        return h.server();
    }) << 1 << u"before versions were recorded"_s;
    QTest::newRow("newer house") << Prepare([](TestDatabase &h) {
        h.exec(u"update "_s + schema::VersionTable + u" set version = 99"_s);
        return h.server();
    }) << 1 << u"version 99, newer than this program"_s;
    QTest::newRow("not reached") << Prepare([](TestDatabase &) {
        return u"host=/nonexistent dbname=quillon_test connect_timeout=2"_s;
    }) << 1 << u"server not reached"_s;
}

void TestServerSetup::checkTellsEachSetUp()
{
    QFETCH(Prepare, prepare);
    QFETCH(int, code);
    QFETCH(QString, last);
    TestDatabase house;
    const Run run = createdb({u"--server"_s, prepare(house), u"--check"_s});
    QVERIFY2(run.code == code, qPrintable(run.out));
    const QStringList lines = run.out.trimmed().split(u'\n');
    QVERIFY2(lines.last().contains(last), qPrintable(run.out));
    QCOMPARE(lines.last().startsWith(u"FAILED"_s), code != 0);
    QVERIFY(!run.out.contains(u"password"_s));
}

void TestServerSetup::deskRoleCannotReshapeTheHouse()
{
    TestDatabase house;
    QCOMPARE(createdb({u"--server"_s, house.server(), u"--desk-role"_s, u"quillon_desk"_s}).code, 0);
    const QString desk = house.server() + Desk;
    // Its work, yes; the house's shape, no; the upgrade is the owner's.
    QCOMPARE(execAs(desk, u"insert into \"楼层\" (\"楼层名称\") values ('二楼')"_s), QString());
    QCOMPARE(execAs(desk, u"delete from \"楼层\""_s), QString());
    for (const QString &sql :
         {u"drop table \"房间\""_s, u"alter table \"房间\" add column x int"_s, u"truncate \"旅客退房\""_s,
          u"delete from quillon_access"_s, u"create table extra (x int)"_s,
          u"update \"操作记录\" set \"操作员\" = 'x'"_s, u"delete from \"操作记录\""_s})
        QCOMPARE(execAs(desk, sql), u"42501"_s);
    house.exec(u"drop index \"旅客退房_入住时间不可读\""_s);
    // As a house made before its search had an index of characters and pairs.
    house.exec(u"drop function "_s + schema::ShortPieces + u"(text) cascade"_s);
    QCOMPARE(createdb({u"--server"_s, desk, u"--upgrade"_s}).code, 1);
    QCOMPARE(createdb({u"--server"_s, house.server(), u"--upgrade"_s}).code, 0);
    QCOMPARE(createdb({u"--server"_s, desk, u"--check"_s}).code, 0);
}

void TestServerSetup::tlsVerifiedOrRefused_data()
{
    // How the server or the string is changed; the check's exit code and words; the desk's login
    // (-1: admitted), told by the same sentence on every system. The last row turns TLS off.
    QTest::addColumn<PrepareTls>("prepare");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("words");
    QTest::addColumn<int>("cause");
    QTest::newRow("verified") << PrepareTls([](const QString &s) { return s; }) << 0
                              << u"certificate and name verified"_s << -1;
    // The same server by another address: the certificate does not name it.
    QTest::newRow("certificate of another name") << PrepareTls([](const QString &s) {
        return QString(s).replace(u"host=localhost"_s, u"host=127.0.0.1"_s);
    }) << 1 << u"certificate not verified"_s << int(StoreCause::CertificateRefused);
    // A server that no longer offers TLS is refused, not spoken to in clear.
    QTest::newRow("server without TLS") << PrepareTls([](const QString &s) {
        if (!execAs(s, u"alter system set ssl = off"_s).isEmpty() ||
            !execAs(s, u"select pg_reload_conf()"_s).isEmpty())
            return QString();
        return s;
    }) << 1 << u"TLS required"_s << int(StoreCause::SslRefused);
}

void TestServerSetup::tlsVerifiedOrRefused()
{
    QFETCH(PrepareTls, prepare);
    QFETCH(int, code);
    QFETCH(QString, words);
    QFETCH(int, cause);
    const QString server = tlsServer();
    QVERIFY2(!server.isEmpty(), "the TLS test server is started by ctest");
    static const bool made = createdb({u"--server"_s, server, u"--empty"_s}).code == 0;
    QVERIFY(made);
    const QString target = prepare(server);
    QVERIFY(!target.isEmpty());
    const Run run = createdb({u"--server"_s, target, u"--check"_s});
    QVERIFY2(run.code == code && run.out.contains(words), qPrintable(run.out));
    const hotel::Outcome in = logInBeside(target);
    QVERIFY2(in.ok() == (cause == -1), qPrintable(in.message()));
    if (cause != -1) {
        QCOMPARE(int(in.cause()), cause);
        QVERIFY2(in.message().startsWith(hotel::causeSentence(StoreCause(cause))), qPrintable(in.message()));
    }
}

QTEST_GUILESS_MAIN(TestServerSetup)
#include "test_server_setup.moc"
