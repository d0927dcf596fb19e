#include "hotel/stays.h"
#include "hotel/deeds.h"

#include "data/connection.h"
#include "data/dialect.h"
#include "data/schema.h"
#include "hotel/table_rows.h"

using namespace Qt::Literals::StringLiterals;

namespace hotel {

namespace {

constexpr Right Desk = Right::FrontDesk;

// Sets the room's status, only while it is `from` when one is given; the rows touched.
int setRoomStatus(Connection &c, qint64 room, RoomStatus to, std::optional<RoomStatus> from = {})
{
    const QString status = dialect::quoted(u"房间状态"_s);
    QString sql = u"update "_s + dialect::quoted(schema::Rooms) + u" set "_s + status + u"=? where "_s +
                  dialect::quoted(u"房间ID"_s) + u"=?"_s;
    QVariantList params{int(to), room};
    if (from) {
        sql += u" and "_s + status + u"=?"_s;
        params.append(int(*from));
    }
    return c.execute(sql, params);
}

// Columns 1 onwards of the record; the remarks only when some are given, so none leaves the
// stored ones as they are.
QVariantList columnsOf(const Stay &stay)
{
    QVariantList values = toRow(stay);
    if (stay.remarks.isEmpty())
        values.removeLast();
    return values;
}

Outcome typedOk(const BoxReader &typed)
{
    return typed.ok() ? Outcome::done() : Outcome::refused(Refusal::BadValue, typed.refusal());
}

} // namespace

const QString &stayTable(StayKind kind)
{
    return kind == StayKind::Stay ? schema::Stays : schema::Reservations;
}

RoomStatus roomStatusOf(StayKind kind)
{
    return kind == StayKind::Stay ? RoomStatus::Occupied : RoomStatus::Reserved;
}

Result<ListingPtr> freeRooms(Session *s)
{
    return Listing::make(s, Desk, schema::Rooms, dialect::quoted(u"房间状态"_s) + u"=?"_s,
                         {int(RoomStatus::Free)}, Listing::Order::OldestFirst);
}

Result<qint64> enterStay(Session *s, StayKind kind, const Stay &stay, const BoxReader &typed)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    qint64 key = -1;
    const Outcome o = s->write(Desk, [&](Connection &c) {
        if (Outcome bad = typedOk(typed); !bad.ok())
            return bad;
        // The room first: a room another desk took since it was listed refuses before any row.
        if (!stay.room || setRoomStatus(c, *stay.room, roomStatusOf(kind), RoomStatus::Free) == 0)
            return Outcome::refused(Refusal::RoomNotFree);
        key = rows::insert(c, stayTable(kind), columnsOf(stay));
        note(c, *s, kind == StayKind::Stay ? Deed::CheckIn : Deed::Reserve, stayTable(kind), key,
             {std::nullopt, moneyOf(stay)});
        return Outcome::done();
    });
    if (!o.ok())
        return o;
    return key;
}

Result<ListingPtr> listStays(Session *s, StayKind kind)
{
    return Listing::make(s, Desk, stayTable(kind), {}, {}, Listing::Order::OldestFirst);
}

Result<std::optional<RoomRow>> roomOfStay(Session *s, qint64 roomKey)
{
    return roomByKey(s, Desk, roomKey);
}

Outcome correctStay(Session *s, StayKind kind, const Stay &shown, const Stay &edited, const BoxReader &typed)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    return s->write(Desk, [&](Connection &c) {
        // Another desk's change is news before a box that holds no value.
        Outcome o = rows::requireAsShown(c, stayTable(kind), shown);
        if (o.ok())
            o = typedOk(typed);
        if (o.ok()) {
            rows::update(c, stayTable(kind), shown.key, columnsOf(edited));
            note(c, *s, kind == StayKind::Stay ? Deed::CorrectStay : Deed::CorrectReservation,
                 stayTable(kind), shown.key, {moneyOf(shown), moneyOf(edited)});
        }
        return o;
    });
}

Outcome withdrawStay(Session *s, StayKind kind, const Stay &shown)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    return s->write(Desk, [&](Connection &c) {
        Outcome o = rows::requireAsShown(c, stayTable(kind), shown);
        if (!o.ok())
            return o;
        rows::remove(c, stayTable(kind), shown.key);
        note(c, *s, kind == StayKind::Stay ? Deed::DeleteStay : Deed::CancelReservation, stayTable(kind),
             shown.key, {moneyOf(shown), std::nullopt});
        // The room the record names, as stored: the two always go together.
        if (shown.room)
            setRoomStatus(c, *shown.room, RoomStatus::Free);
        return o;
    });
}

} // namespace hotel
