#include "data/database_builder.h"

#include "data/conversions.h"
#include "data/db_error.h"
#include "data/dialect.h"
#include "data/file_modes.h"
#include "data/schema.h"
#include "data/server_store.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

using namespace Qt::Literals::StringLiterals;

namespace dbbuild {

namespace {

struct Writer {
    QSqlDatabase db;
    QString error;

    bool run(const QString &sql, const QVariantList &params = {})
    {
        if (!error.isEmpty())
            return false;
        QSqlQuery q(db);
        // The server prepares only queries, never "begin" or a "create".
        if (params.isEmpty()) {
            if (!q.exec(sql)) {
                error = q.lastError().text() + u" ("_s + sql + u")"_s;
                return false;
            }
            return true;
        }
        if (!q.prepare(sql)) {
            error = q.lastError().text() + u" ("_s + sql + u")"_s;
            return false;
        }
        for (const QVariant &p : params)
            q.addBindValue(p);
        if (!q.exec()) {
            error = q.lastError().text() + u" ("_s + sql + u")"_s;
            return false;
        }
        return true;
    }

    // One row into `table`, a value for each of `columns`.
    bool insert(const QString &table, const QStringList &columns, const QVariantList &values)
    {
        QStringList names;
        for (const QString &c : columns)
            names.append(dialect::quoted(c));
        return run(u"insert into "_s + dialect::quoted(table) + u" ("_s + names.join(u", "_s) +
                       u") values ("_s + QStringList(columns.size(), u"?"_s).join(u", "_s) + u")"_s,
                   values);
    }
};

const QStringList StayColumns = {u"旅客姓名"_s, u"旅客单位"_s, u"证件名称"_s,
                                 u"证件号码"_s, u"入住时间"_s, u"计划入住天数"_s,
                                 u"入住人数"_s, u"房间ID"_s,   u"预付款"_s};

void setRoomStatus(Writer &w, const QVariant &room, int status)
{
    w.run(u"update \"房间\" set \"房间状态\"=? where \"房间ID\"=?"_s, {status, room});
}

void writeSample(Writer &w)
{
    const QStringList floors = {u"一楼"_s, u"二楼"_s, u"三楼"_s};
    for (const QString &f : floors)
        w.insert(schema::Floors, {u"楼层名称"_s}, {f});

    struct Room {
        QString number, name, type, floor;
        double price, member;
    };
    QList<Room> rooms;
    for (int i = 1; i <= 6; ++i)
        rooms.append({QString::number(100 + i), u"标准间"_s + QString::number(100 + i), u"标准间"_s,
                      floors[0], 120, 100});
    for (int i = 1; i <= 6; ++i)
        rooms.append({QString::number(200 + i), u"单人间"_s + QString::number(200 + i), u"单人间"_s,
                      floors[1], 88, 75});
    for (int i = 1; i <= 4; ++i)
        rooms.append({QString::number(300 + i), u"豪华套房"_s + QString::number(300 + i), u"套房"_s,
                      floors[2], 268.5, 228});
    for (const Room &r : rooms)
        w.insert(schema::Rooms,
                 {u"房间号"_s, u"房间名称"_s, u"房间类型"_s, u"所属楼层"_s, u"标准价格"_s, u"会员价格"_s,
                  u"房间状态"_s},
                 {r.number, r.name, r.type, r.floor, r.price, r.member, 1});

    const QDate today = QDate::currentDate();
    auto stamp = [](const QDate &d, int h, int m) { return conv::toStorage(QDateTime(d, QTime(h, m))); };

    // Guests in the house now: rooms 101, 102 and 201.
    struct Guest {
        QString name, org, idKind, idNumber;
    };
    const QList<Guest> guests = {
        {u"张伟"_s, u"华东电力设计院"_s, u"身份证"_s, u"310101198001011234"_s},
        {u"李娜"_s, u"个人"_s, u"身份证"_s, u"320102198505052345"_s},
        {u"王芳"_s, u"江南纺织有限公司"_s, u"护照"_s, u"E12345678"_s},
        {u"刘洋"_s, u"新星软件公司"_s, u"身份证"_s, u"330106199002023456"_s},
        {u"陈静"_s, u"个人"_s, u"身份证"_s, u"440103197812124567"_s},
        {u"赵磊"_s, u"北方机械厂"_s, u"军官证"_s, u"军字第20190088号"_s},
    };
    const int occupied[] = {1, 2, 7};
    for (int i = 0; i < 3; ++i) {
        const Guest &g = guests[i];
        w.insert(schema::Stays, StayColumns + QStringList{u"备注信息"_s},
                 {g.name, g.org, g.idKind, g.idNumber, stamp(today.addDays(-(i + 1)), 14, 30), 3 + i,
                  1 + (i % 2), occupied[i], 500, i == 0 ? QVariant(u"需要叫醒服务"_s) : QVariant()});
        setRoomStatus(w, occupied[i], 2);
    }
    // One reservation: room 301.
    w.insert(schema::Reservations, StayColumns,
             {guests[3].name, guests[3].org, guests[3].idKind, guests[3].idNumber,
              stamp(today.addDays(3), 12, 0), 2, 2, 13, 300});
    setRoomStatus(w, 13, 3);

    // A few completed stays over the past weeks.
    const struct {
        int guest, room, daysAgoIn, planned, actual, prepay;
    } past[] = {{4, 3, 30, 2, 2, 300}, {5, 8, 21, 3, 4, 200}, {0, 14, 12, 1, 1, 500}, {1, 4, 6, 2, 3, 200}};
    for (const auto &p : past) {
        const Guest &g = guests[p.guest];
        const double price = p.room <= 6 ? 120 : p.room <= 12 ? 88 : 268;
        const int amount = int(price * p.actual);
        const int due = std::max(0, amount - p.prepay);
        const int refund = std::max(0, p.prepay - amount);
        w.insert(schema::CompletedStays,
                 StayColumns + QStringList{u"退房时间"_s, u"实际入住天数"_s, u"实际金额"_s, u"应收款"_s,
                                           u"应退款"_s, u"备注信息"_s},
                 {g.name, g.org, g.idKind, g.idNumber, stamp(today.addDays(-p.daysAgoIn), 15, 0), p.planned,
                  1, p.room, p.prepay, stamp(today.addDays(-p.daysAgoIn + p.actual), 0, 0), p.actual, amount,
                  due, refund, QVariant()});
    }
    const QStringList takings = {u"交款时间"_s, u"交款金额"_s, u"交款人"_s};
    w.insert(schema::Takings, takings, {stamp(today.addDays(-7), 18, 0), 1580, u"张会计"_s});
    w.insert(schema::Takings, takings, {stamp(today.addDays(-1), 18, 5), 2365.5, u"张会计"_s});
    w.insert(schema::Disbursements, {u"拔款时间"_s, u"拔款金额"_s, u"拔款人"_s},
             {stamp(today.addDays(-5), 9, 30), 500, u"王经理"_s});
}

void writeHouse(Writer &w, const Options &options)
{
    const AccessRecord access = accessRecord(options.password);
    w.insert(schema::AccessTable, {u"salt"_s, u"hash"_s}, {access.salt, access.hash});
    w.insert(schema::Operators, {u"用户名称"_s, u"登陆密码"_s, u"权限设置"_s},
             {options.operatorName, options.operatorPassword, u"Z:abcdef"_s});
    const QString company = options.companyName.isEmpty() ? u"Quillon 示范宾馆"_s : options.companyName;
    w.insert(schema::Company,
             {u"企业名称"_s, u"法人代表"_s, u"电话"_s, u"传真"_s, u"电子邮件"_s, u"地址"_s, u"邮政编码"_s,
              u"企业简介"_s},
             {company, u"（请填写）"_s, QString(), QString(), QString(), QString(), QString(),
              u"这是新建数据库时写入的示范企业资料，请在“企业配置”中改为贵店的资料。"_s});
    if (options.sampleData)
        writeSample(w);
}

} // namespace

AccessRecord accessRecord(const QString &password)
{
    QByteArray salt(16, Qt::Uninitialized);
    for (char &c : salt)
        c = char(QRandomGenerator::system()->generate() & 0xff);
    return {salt, QCryptographicHash::hash(salt + password.toUtf8(), QCryptographicHash::Sha256)};
}

QString createServerHouse(const serverstore::Server &server, const Options &options)
{
    const QString name = u"quillon-build-"_s + QUuid::createUuid().toString();
    QString error;
    {
        Writer w{QSqlDatabase::addDatabase(u"QPSQL"_s, name), {}};
        try {
            serverstore::open(w.db, server);
            w.run(u"begin"_s);
            if (serverstore::holdsHouse(w.db))
                w.error = u"服务器上已经有一家旅馆的数据，不会覆盖。"_s;
            for (const QString &sql : serverstore::createStatements())
                w.run(sql);
            writeHouse(w, options);
            if (w.error.isEmpty())
                w.run(u"commit"_s);
        } catch (const DbError &e) {
            w.error = e.text();
        }
        error = w.error;
        w.db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

QString createDatabase(const QString &path, const Options &options)
{
    if (QFileInfo::exists(path))
        return u"文件已经存在，不会覆盖："_s + path;
    // Readable by its owner only: the file holds every guest's particulars. The store takes
    // the empty file as a new database.
    if (!filemodes::createPrivateFile(path))
        return u"无法建立文件："_s + path;
    const QString name = u"quillon-build-"_s + QUuid::createUuid().toString();
    QString error;
    {
        Writer w{QSqlDatabase::addDatabase(u"QSQLITE"_s, name), {}};
        w.db.setDatabaseName(path);
        if (!w.db.open()) {
            error = w.db.lastError().text();
        } else {
            w.run(u"BEGIN"_s);
            for (const QString &sql : schema::createStatements(dialect::Engine::Sqlite))
                w.run(sql);
            writeHouse(w, options);
            if (w.error.isEmpty())
                w.run(u"COMMIT"_s);
            error = w.error;
            w.db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty())
        QFile::remove(path);
    return error;
}

} // namespace dbbuild
