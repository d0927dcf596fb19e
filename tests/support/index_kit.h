#pragma once

#include "data/connection.h"
#include "data/db_error.h"
#include "data/schema.h"
#include "data/server_admin.h"
#include "test_database.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace kit {

// A house made before its two newest indexes, still holding the narrower one they replace, opens
// without waiting while another desk writes to it, and gets them (and loses that one) at the next
// open. Works on either store.
inline void checkOlderHouseGetsItsIndexes(TestDatabase &db)
{
    const QString count =
        db.server().isEmpty()
            ? u"select count(*) from sqlite_master where type='index' and name in (?, ?)"_s
            : u"select count(*) from pg_indexes where schemaname=current_schema() and indexname in (?, ?)"_s;
    const QVariantList names{schema::indexes().last().name, schema::UnreadableTimeIndex};
    Connection other;
    other.open(db.location());
    db.exec(u"drop index \""_s + names.at(0).toString() + u"\""_s);
    db.exec(u"drop index \""_s + names.at(1).toString() + u"\""_s);
    db.exec(u"create index \"旅客退房_房间ID\" on 旅客退房 (房间ID)"_s);
    {
        other.beginTransaction();
        other.execute(u"update 旅客退房 set 备注信息=备注信息"_s);
        Connection c;
        c.open(db.location());
        QCOMPARE(db.scalar(count, names).toInt(), 0);
        other.rollback();
    }
    Connection c;
    c.open(db.location());
    QCOMPARE(db.scalar(count, names).toInt(), 2);
    QCOMPARE(db.scalar(count, {u"旅客退房_房间ID"_s, QString()}).toInt(), 0);
}

// A house of another version than this program's: a newer one is refused before anything is
// read or written; a server house made before versions were recorded is upgraded by its owner when
// opened, and a desk role is told it needs the owner's upgrade and works on without it.
inline void checkHouseVersions(TestDatabase &db)
{
    const bool file = db.server().isEmpty();
    const bool deskRole = qEnvironmentVariableIsSet("QUILLON_TEST_DESK_ROLE");
    const QString versionOf = u"select max(version) from "_s + schema::VersionTable;
    if (!file) {
        db.exec(u"drop table "_s + schema::VersionTable);
        Connection c;
        c.open(db.location());
        QCOMPARE(c.needsUpgrade(), deskRole);
        c.execute(u"insert into \"楼层\" (\"楼层名称\") values ('二楼')"_s);
        if (!deskRole)
            QCOMPARE(db.scalar(versionOf).toInt(), schema::Version);
        else
            QCOMPARE(serveradmin::upgrade(db.ownerServer()), QString());
    }
    {
        Connection c;
        c.open(db.location());
        QVERIFY(!c.needsUpgrade());
    }
    db.exec(file ? u"PRAGMA user_version = "_s + QString::number(schema::Version + 1)
                 : u"update "_s + schema::VersionTable + u" set version = version + 1"_s);
    Connection c;
    try {
        c.open(db.location());
        QFAIL("a newer house opened");
    } catch (const DbError &e) {
        QCOMPARE(e.store(), StoreCause::NewerHouse);
    }
    QVERIFY(!c.isOpen());
}

} // namespace kit
