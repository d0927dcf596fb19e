#pragma once

#include "data/connection.h"
#include "data/schema.h"
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
    other.open();
    db.exec(u"drop index \""_s + names.at(0).toString() + u"\""_s);
    db.exec(u"drop index \""_s + names.at(1).toString() + u"\""_s);
    db.exec(u"create index \"旅客退房_房间ID\" on 旅客退房 (房间ID)"_s);
    {
        other.beginTransaction();
        other.execute(u"update 旅客退房 set 备注信息=备注信息"_s);
        Connection c;
        c.open();
        QCOMPARE(db.scalar(count, names).toInt(), 0);
        other.rollback();
    }
    Connection c;
    c.open();
    QCOMPARE(db.scalar(count, names).toInt(), 2);
    QCOMPARE(db.scalar(count, {u"旅客退房_房间ID"_s, QString()}).toInt(), 0);
}

} // namespace kit
