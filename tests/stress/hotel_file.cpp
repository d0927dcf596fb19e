#include "hotel_file.h"

#include "data/database_builder.h"
#include "data/schema.h"
#include "direct_db.h"

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace stress {

const QList<HotelRoom> &hotelRooms()
{
    // Half-yuan prices exercise the rounding of the price at check-out.
    static const QList<HotelRoom> rooms{
        {u"101"_s, 80},  {u"102"_s, 120}, {u"103"_s, 150.5}, {u"104"_s, 199.5}, {u"105"_s, 88},
        {u"201"_s, 120}, {u"202"_s, 260}, {u"203"_s, 300},   {u"204"_s, 99.5},  {u"205"_s, 66}};
    return rooms;
}

namespace {

bool g_quiet = false;
QtMessageHandler g_previousHandler = nullptr;

void dropOffscreenWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.contains(u"propagateSizeHints"_s))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

void quietOffscreenWarnings()
{
    if (g_quiet)
        return;
    g_quiet = true;
    g_previousHandler = qInstallMessageHandler(dropOffscreenWarnings);
}

QString createHotel(const QString &path)
{
    dbbuild::Options options;
    options.password = u"58316094"_s;
    options.sampleData = false;
    const QString error = dbbuild::createDatabase(path, options);
    if (!error.isEmpty())
        return error;
    DirectDb db(path);
    if (!db.ok())
        return db.error();
    for (const HotelRoom &room : hotelRooms()) {
        QString problem;
        db.rows(u"insert into 房间 (房间号, 房间名称, 房间类型, 所属楼层, 标准价格, 会员价格, 房间状态) "
                u"values (?, ?, '标准间', '一楼', ?, ?, 1)"_s,
                {room.number, u"房间"_s + room.number, room.price, room.price - 10}, &problem);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

QStringList invariantProblems(const QString &path)
{
    QStringList problems;
    DirectDb db(path);
    if (!db.ok())
        return {u"cannot open: "_s + db.error()};
    QString error;
    const auto integrity = db.rows(u"PRAGMA integrity_check"_s, {}, &error);
    if (integrity != QList<QStringList>{{u"ok"_s}}) {
        QStringList lines;
        for (const QStringList &row : integrity)
            lines << row.join(u" "_s);
        problems << u"integrity_check: "_s + lines.join(u"; "_s) + error;
        return problems;
    }
    const auto rooms = db.rows(u"select r.房间ID, r.房间号, r.房间状态,"
                               u" (select count(*) from 旅客入住 s where s.房间ID = r.房间ID),"
                               u" (select count(*) from 旅客预订 b where b.房间ID = r.房间ID)"
                               u" from 房间 r order by r.房间ID"_s,
                               {}, &error);
    for (const QStringList &r : rooms) {
        const int status = r[2].toInt();
        const int stays = r[3].toInt();
        const int bookings = r[4].toInt();
        const bool holds = (status == 2) == (stays == 1) && (status == 3) == (bookings == 1) &&
                           (status == 1) == (stays == 0 && bookings == 0) && status >= 1 && status <= 3;
        if (!holds)
            problems << u"room %1 (%2): status %3 with %4 stay rows and %5 reservation rows"_s.arg(
                r[0], r[1], r[2], r[3], r[4]);
    }
    const QString orphans = u"select count(*) from %1 where 房间ID not in (select 房间ID from 房间)"_s;
    for (const QString &table : {schema::Stays, schema::Reservations, schema::CompletedStays}) {
        const auto n = db.rows(orphans.arg(table), {}, &error);
        if (n.isEmpty() || n[0][0] != u"0"_s)
            problems << table + u": rows naming no existing room: "_s + (n.isEmpty() ? error : n[0][0]);
    }
    QStringList columns;
    const auto &completed = schema::table(schema::CompletedStays)->columns;
    for (int i = 1; i <= 15; ++i)
        columns << u"\""_s + completed[i].name + u"\""_s;
    const auto duplicates = db.rows(u"select count(*) from (select 1 from 旅客退房 group by "_s +
                                        columns.join(u", "_s) + u" having count(*) > 1)"_s,
                                    {}, &error);
    if (duplicates.isEmpty() || duplicates[0][0] != u"0"_s)
        problems << u"旅客退房: duplicated completed stays: "_s +
                        (duplicates.isEmpty() ? error : duplicates[0][0]);
    if (!error.isEmpty())
        problems << u"query failed: "_s + error;
    return problems;
}

} // namespace stress
