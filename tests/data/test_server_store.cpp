#include "data/db_error.h"
#include "data/house_location.h"
#include "data/server_store.h"
#include "server_sql.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The server's words for the tests' own SQL, and how the settings file names a server.
class TestServerStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void serverDialect_data();
    void serverDialect();
    void keywordForm();
    void openCauses();
    void settingsChooseTheStore();
};

void TestServerStore::serverDialect_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("server");
    QTest::newRow("top") << u"select top 1 * from 公司配置"_s
                         << u"select * from 公司配置 order by 1 limit 1"_s;
    QTest::newRow("brackets") << u"delete from [旅客入住]"_s << u"delete from \"旅客入住\""_s;
    QTest::newRow("mixed names quoted") << u"update 房间 set 房间状态=2 where 房间ID=? and 房间状态=1"_s
                                        << u"update 房间 set 房间状态=2 where \"房间ID\"=? and 房间状态=1"_s;
    QTest::newRow("plain list in key order")
        << u"select * from 房间 where 房间状态=1"_s << u"select * from 房间 where 房间状态=1 order by 1"_s;
    QTest::newRow("own order kept") << u"select * from 旅客退房 order by 退房ID desc"_s
                                    << u"select * from 旅客退房 order by \"退房ID\" desc"_s;
    QTest::newRow("quoted text untouched")
        << u"select * from 房间 where 房间名称='[ID]房间ID' and 房间号=? collate nocase"_s
        << u"select * from 房间 where 房间名称='[ID]房间ID' and 房间号=? collate nocase order by 1"_s;
    QTest::newRow("already quoted") << u"select \"房间ID\" from \"房间\""_s
                                    << u"select \"房间ID\" from \"房间\""_s;
}

void TestServerStore::serverDialect()
{
    QFETCH(QString, sql);
    QFETCH(QString, server);
    QCOMPARE(testsql::forServer(sql), server);
}

void TestServerStore::keywordForm()
{
    if (!QUILLON_SERVER_STORE)
        QSKIP("built without the server store");
    // Keepalives and a connect timeout are added unless the settings give their own.
    const QString limits =
        u" keepalives='1' keepalives_idle='20' keepalives_interval='5' keepalives_count='4' connect_timeout='10'"_s;
    QCOMPARE(serverstore::keywordForm(u"postgresql://desk@db.example:5433/quillon"_s),
             u"user='desk' dbname='quillon' host='db.example' port='5433'"_s + limits);
    QCOMPARE(
        serverstore::keywordForm(u"host=/run/pg dbname='a b' options='-c x=1' application_name=it\\'s"_s),
        u"dbname='a b' host='/run/pg' options='-c x=1' application_name='it\\'s'"_s + limits);
    QCOMPARE(serverstore::keywordForm(u"host=db keepalives=0 connect_timeout=3 keepalives_count=9"_s),
             u"connect_timeout='3' host='db' keepalives='0' keepalives_count='9' keepalives_idle='20' "
             u"keepalives_interval='5'"_s);
    // Passwords belong in ~/.pgpass; a ";" would be cut by the driver; nonsense is refused. The
    // refusal never repeats the string, which may carry a password.
    for (const QString &refused : {u"host=db password=secret"_s, u"postgresql://desk:secret@db/quillon"_s,
                                   u"host=db;dbname=x password=secret"_s, u"host=db secret"_s,
                                   u"host=db password=secret nonsense"_s}) {
        try {
            serverstore::keywordForm(refused);
            QFAIL(qPrintable(u"accepted: "_s + refused));
        } catch (const DbError &e) {
            QVERIFY2(!e.text().contains(u"secret"_s), qPrintable(e.text()));
        }
    }
}

void TestServerStore::openCauses()
{
    // libpq's and the server's words at a failed connection.
    const std::pair<const char *, StoreCause> cases[] = {
        {"connection to server at \"10.0.0.5\", port 5432 failed: Connection refused",
         StoreCause::Unreachable},
        {"FATAL:  Peer authentication failed for user \"desk\"", StoreCause::AccountRefused},
        {"FATAL:  no pg_hba.conf entry for host \"h\", user \"u\", database \"q\", SSL encryption",
         StoreCause::AccountRefused},
        {"FATAL:  no pg_hba.conf entry for host \"h\", user \"u\", database \"q\", no encryption",
         StoreCause::SslRefused},
        {"server does not support SSL, but SSL was required", StoreCause::SslRefused},
        {"sslmode value \"verify-full\" invalid when SSL support is not compiled in", StoreCause::SslRefused},
        {"FATAL:  database \"quillon\" does not exist", StoreCause::NoHouse},
        {"server certificate for \"localhost\" does not match host name \"127.0.0.1\"",
         StoreCause::CertificateRefused},
        {"root certificate file \"/home/desk/.postgresql/root.crt\" does not exist\nEither provide the file "
         "or change sslmode to disable server certificate verification.",
         StoreCause::CertificateRefused},
        {"SSL error: certificate verify failed", StoreCause::CertificateRefused},
    };
    for (const auto &[text, cause] : cases)
        QVERIFY2(serverstore::openCause(QString::fromUtf8(text)) == cause, text);
}

void TestServerStore::settingsChooseTheStore()
{
    QTemporaryDir dir;
    const HouseLocation house{dir.path()};
    const StoreTarget file = house.storeTarget();
    QCOMPARE(file.file, dir.path() + u"/innkeep.mdb"_s);
    QVERIFY(!file.server);
    QCOMPARE(file.password, HousePassword.toString());

    QFile ini(house.settingsPath());
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("; the desks' house\n[server]\nidle_transaction_seconds=10\nconnection=host=db1,db2 "
              "dbname=quillon\n");
    ini.close();
    const StoreTarget server = house.storeTarget();
    QVERIFY(server.server);
    QCOMPARE(server.server->conninfo, u"host=db1,db2 dbname=quillon"_s);
    QCOMPARE(server.server->settingsLine, 4);
    QCOMPARE(server.server->limits.idleTransactionSeconds, 10);
    QCOMPARE(server.server->limits.statementSeconds, serverstore::Limits().statementSeconds);
    QCOMPARE(server.password, HousePassword.toString());
    QVERIFY(!server.sameHouse(file));

    // A file the settings name by a relative path lies beside them; an absolute one, or a relative
    // one a tool was given, stays as written.
    if (QUILLON_SERVER_STORE) {
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(
            "[server]\nconnection=host=db sslmode=verify-full sslrootcert=ca.crt sslkey=/keys/desk.key\n");
        ini.close();
        const QString beside = u"sslrootcert='"_s + QDir(dir.path()).absoluteFilePath(u"ca.crt"_s) + u"'"_s;
        const serverstore::Server named = *house.storeTarget().server;
        const QString form =
            serverstore::keywordForm(named.conninfo, named.settingsLine, named.settingsFolder);
        QVERIFY2(form.contains(beside) && form.contains(u"sslkey='/keys/desk.key'"_s), qPrintable(form));
        QVERIFY(
            serverstore::keywordForm(u"host=db sslrootcert=ca.crt"_s).contains(u"sslrootcert='ca.crt'"_s));
    }

    // A settings file without a server leaves the file store in place.
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[other]\nx=1\n");
    ini.close();
    QVERIFY(house.storeTarget().sameHouse(file));
    QVERIFY(!house.storeTarget().server);
}

QTEST_MAIN(TestServerStore)
#include "test_server_store.moc"
