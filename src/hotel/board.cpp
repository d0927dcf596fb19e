#include "hotel/board.h"
#include "hotel/deeds.h"

#include "data/conversions.h"
#include "data/dialect.h"
#include "data/schema.h"
#include "data/statement.h"
#include "hotel/table_rows.h"

#include <QHash>
#include <algorithm>
#include <optional>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace hotel::board {

namespace {

struct Occupant {
    qint64 key = -1;
    QString guest;
    QString since;
    int plannedDays = 0;
};

QString q(const QString &identifier)
{
    return dialect::quoted(identifier);
}

// A stored time as the file keeps it, whatever kind the engine hands it back as.
QString storedTime(const QVariant &v)
{
    return v.typeId() == QMetaType::QDateTime ? conv::toStorage(v.toDateTime()) : conv::variantToText(v);
}

// The first row by key of each room in 旅客入住 or 旅客预订: the one check-out and the
// reservation list would take.
QHash<qint64, Occupant> firstByRoom(Connection &c, const QString &table, const QString &key)
{
    QHash<qint64, Occupant> byRoom;
    Statement found(c, u"select "_s + q(key) +
                           u", \"房间ID\", \"旅客姓名\", \"入住时间\", \"计划入住天数\" from "_s + q(table) +
                           u" order by "_s + q(key));
    while (found.next()) {
        const qint64 room = found.integer(1);
        if (byRoom.contains(room))
            continue;
        Occupant o;
        o.key = found.integer(0);
        o.guest = found.text(2);
        o.since = storedTime(found.value(3));
        o.plannedDays = int(found.integer(4));
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

// Reads every floor, room, stay and reservation; throws DbError.
Snapshot readAll(Connection &c)
{
    Snapshot s;
    QHash<QString, int> floorIndex;
    {
        Statement floors(c, u"select \"楼层名称\" from \"楼层\" order by \"楼层ID\""_s);
        while (floors.next()) {
            const QString name = floors.text(0);
            if (floorIndex.contains(name))
                continue; // two floors of one name hold the same rooms
            floorIndex.insert(name, int(s.floors.size()));
            s.floors.append({name, {}});
        }
    }
    const QHash<qint64, Occupant> stays = firstByRoom(c, schema::Stays, u"入住ID"_s);
    const QHash<qint64, Occupant> reservations = firstByRoom(c, schema::Reservations, u"预订ID"_s);

    QList<FloorGroup> unknownFloors;
    QHash<QString, int> unknownIndex;
    Statement rooms(c,
                    u"select \"房间ID\", \"房间号\", \"房间类型\", \"所属楼层\", \"房间状态\" from \"房间\" "
                    u"order by \"房间ID\""_s);
    while (rooms.next()) {
        RoomTile t;
        t.roomId = rooms.integer(0);
        t.number = rooms.text(1);
        t.type = rooms.text(2);
        t.floor = rooms.text(3);
        t.status = int(rooms.integer(4));
        const QHash<qint64, Occupant> *source = t.status == RoomStatus::Occupied   ? &stays
                                                : t.status == RoomStatus::Reserved ? &reservations
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
        s.free += t.status == RoomStatus::Free;
        s.occupied += t.status == RoomStatus::Occupied;
        s.reserved += t.status == RoomStatus::Reserved;
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

} // namespace

QDateTime RoomTile::sinceTime() const
{
    return conv::fromStorage(since).value_or(QDateTime());
}

bool isOverdue(const RoomTile &tile, const QDate &today)
{
    if (tile.status != RoomStatus::Occupied || !tile.hasRecord() || tile.plannedDays <= 0)
        return false;
    const QDate departure = tile.departure();
    return departure.isValid() && departure < today;
}

QString boardDay(const QDate &day, const QDate &today)
{
    if (!day.isValid())
        return {};
    return day.toString(day.year() == today.year() ? u"MM-dd"_s : u"yyyy-MM-dd"_s);
}

QString overdueMark(const RoomTile &tile, const QDate &today)
{
    return isOverdue(tile, today) ? u"超期 "_s + boardDay(tile.departure(), today) : QString();
}

Result<Snapshot> read(Session *s)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    Snapshot snapshot;
    const Outcome o = s->readFree(
        [&](Connection &c) {
            snapshot = readAll(c);
            return Outcome::done();
        },
        Session::Waiting::Never);
    if (!o.ok())
        return o;
    return snapshot;
}

Outcome arrive(Session *s, qint64 reservationKey, const QDateTime &now)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    return s->write(Right::FrontDesk, [&](Connection &c) {
        const auto row = rows::byKey(c, schema::Reservations, reservationKey);
        if (!row)
            return Outcome::refused(Refusal::Gone);
        Stay stay = fromRow<Reservation>(*row);
        // Only a room still marked reserved is taken, so a second desk cannot check in twice.
        Statement taken(c, u"update \"房间\" set \"房间状态\"=? where \"房间ID\"=? and \"房间状态\"=?"_s,
                        {int(RoomStatus::Occupied), row->value(8), int(RoomStatus::Reserved)});
        if (taken.rowsAffected() == 0)
            return Outcome::refused(Refusal::NotReserved);
        stay.checkIn = now;
        const qint64 key = rows::insert(c, schema::Stays, toRow(stay));
        rows::remove(c, schema::Reservations, reservationKey);
        note(c, *s, Deed::Arrive, schema::Stays, key, {std::nullopt, moneyOf(stay)});
        return Outcome::done();
    });
}

} // namespace hotel::board
