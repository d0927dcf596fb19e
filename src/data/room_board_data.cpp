#include "data/room_board_data.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/db_error.h"
#include "data/dialect.h"
#include "data/recordset.h"
#include "data/statement.h"

#include <QHash>
#include <algorithm>
#include <optional>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace board {

namespace {

struct Occupant {
    qint64 key = -1;
    QString guest;
    QString since;
    int plannedDays = 0;
};

// The first row by key of each room in 旅客入住 or 旅客预订: the one check-out and the
// reservation list would take.
QHash<qint64, Occupant> firstByRoom(Connection &connection, const QString &table, const QString &key)
{
    QHash<qint64, Occupant> byRoom;
    const QString k = dialect::quoted(key);
    Statement q(connection, u"select "_s + k +
                                u", \"房间ID\", \"旅客姓名\", \"入住时间\", \"计划入住天数\" from "_s +
                                dialect::quoted(table) + u" order by "_s + k);
    while (q.next()) {
        const qint64 room = q.integer(1);
        if (byRoom.contains(room))
            continue;
        Occupant o;
        o.key = q.integer(0);
        o.guest = q.text(2);
        o.since = q.text(3);
        o.plannedDays = int(q.integer(4));
        byRoom.insert(room, o);
    }
    return byRoom;
}

std::optional<qint64> wholeNumber(const QString &s)
{
    if (s.isEmpty() || s.size() > 18)
        return std::nullopt;
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    return s.toLongLong();
}

} // namespace

QDateTime RoomTile::sinceTime() const
{
    return conv::fromStorage(since).value_or(QDateTime());
}

Snapshot read(Connection &connection)
{
    Snapshot s;
    QHash<QString, int> floorIndex;
    {
        Statement q(connection, u"select \"楼层名称\" from \"楼层\" order by \"楼层ID\""_s);
        while (q.next()) {
            const QString name = q.text(0);
            if (floorIndex.contains(name))
                continue; // two floors of one name hold the same rooms
            floorIndex.insert(name, int(s.floors.size()));
            s.floors.append({name, {}});
        }
    }
    const QHash<qint64, Occupant> stays = firstByRoom(connection, u"旅客入住"_s, u"入住ID"_s);
    const QHash<qint64, Occupant> reservations = firstByRoom(connection, u"旅客预订"_s, u"预订ID"_s);

    QList<FloorGroup> unknownFloors;
    QHash<QString, int> unknownIndex;
    Statement q(connection,
                u"select \"房间ID\", \"房间号\", \"房间类型\", \"所属楼层\", \"房间状态\" from \"房间\" "
                u"order by \"房间ID\""_s);
    while (q.next()) {
        RoomTile t;
        t.roomId = q.integer(0);
        t.number = q.text(1);
        t.type = q.text(2);
        t.floor = q.text(3);
        t.status = int(q.integer(4));
        const QHash<qint64, Occupant> *source = t.status == Occupied   ? &stays
                                                : t.status == Reserved ? &reservations
                                                                       : nullptr;
        if (source) {
            const auto it = source->constFind(t.roomId);
            if (it != source->constEnd()) {
                t.recordKey = it->key;
                t.guest = it->guest;
                t.since = it->since;
                t.plannedDays = it->plannedDays;
            }
        }
        ++s.total;
        s.free += t.status == Free;
        s.occupied += t.status == Occupied;
        s.reserved += t.status == Reserved;
        if (const auto it = floorIndex.constFind(t.floor); it != floorIndex.constEnd()) {
            s.floors[*it].rooms.append(t);
        } else {
            auto u = unknownIndex.constFind(t.floor);
            if (u == unknownIndex.constEnd()) {
                u = unknownIndex.insert(t.floor, int(unknownFloors.size()));
                unknownFloors.append({t.floor, {}});
            }
            unknownFloors[*u].rooms.append(t);
        }
    }
    std::sort(unknownFloors.begin(), unknownFloors.end(),
              [](const FloorGroup &a, const FloorGroup &b) { return a.name < b.name; });
    s.floors.append(unknownFloors);
    for (FloorGroup &f : s.floors) {
        // Each number is read once, not at every comparison.
        struct Key {
            std::optional<qint64> number;
            int index;
        };
        std::vector<Key> keys;
        keys.reserve(std::size_t(f.rooms.size()));
        for (int i = 0; i < f.rooms.size(); ++i)
            keys.push_back({wholeNumber(f.rooms.at(i).number), i});
        std::stable_sort(keys.begin(), keys.end(), [&f](const Key &a, const Key &b) {
            if (a.number && b.number && *a.number != *b.number)
                return *a.number < *b.number;
            if (a.number.has_value() != b.number.has_value())
                return a.number.has_value(); // numbered rooms first
            return f.rooms.at(a.index).number < f.rooms.at(b.index).number;
        });
        QList<RoomTile> sorted;
        sorted.reserve(f.rooms.size());
        for (const Key &k : keys)
            sorted.append(f.rooms.at(k.index));
        f.rooms = std::move(sorted);
    }
    return s;
}

Arrival arrive(Connection &connection, qint64 reservationKey, const QDateTime &now, qint64 *stayKey)
{
    Transaction transaction(connection);
    Recordset reservation(connection);
    reservation.open(u"select * from \"旅客预订\" where \"预订ID\"=?"_s, {reservationKey});
    if (reservation.eof())
        return Arrival::ReservationGone;
    QVariantList values;
    for (int ordinal = 1; ordinal <= 10; ++ordinal)
        values.append(reservation.field(ordinal));
    reservation.close();
    const QVariant room = values.at(7);
    // Only a room still marked reserved is taken, so a second desk cannot check in twice.
    if (connection.execute(u"update \"房间\" set \"房间状态\"=2 where \"房间ID\"=? and \"房间状态\"=3"_s,
                           {room}) == 0)
        return Arrival::RoomNotReserved;
    Recordset stay(connection);
    stay.open(u"select * from \"旅客入住\" where \"入住ID\"=?"_s, {-1});
    stay.addNew();
    for (int ordinal = 1; ordinal <= 10; ++ordinal) {
        const QVariant value = ordinal == 5 ? QVariant(now) : values.at(ordinal - 1);
        if (!value.isNull() && value.isValid())
            stay.setField(ordinal, value);
    }
    stay.update();
    if (stayKey)
        *stayKey = stay.lastInsertedKey();
    connection.execute(u"delete from \"旅客预订\" where \"预订ID\"=?"_s, {reservationKey});
    transaction.commit();
    return Arrival::Done;
}

} // namespace board
