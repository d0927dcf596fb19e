#include "hotel/checkout.h"
#include "hotel/deeds.h"

#include "data/schema.h"
#include "data/statement.h"
#include "hotel/table_rows.h"

using namespace Qt::Literals::StringLiterals;

namespace hotel::checkout {

namespace {

QList<Stay> staysOf(Connection &c, qint64 room)
{
    QList<Stay> stays;
    for (const QVariantList &row : rows::where(c, schema::Stays, u"\"房间ID\"=?"_s, {room}))
        stays.append(fromRow<Stay>(row));
    return stays;
}

} // namespace

Result<Quote> quote(Session *s, const QString &roomNumber)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    Quote found;
    const Outcome o = s->read(Right::CheckOut, [&](Connection &c) {
        // Typed text compares without regard to case, as the store does.
        const auto rooms = rows::where(c, schema::Rooms, u"\"房间号\"=? collate nocase and \"房间状态\"=?"_s,
                                       {roomNumber, int(RoomStatus::Occupied)});
        if (rooms.empty())
            return Outcome::refused(Refusal::NotFound);
        found.roomRow = rooms.front();
        found.room = fromRow<Room>(found.roomRow);
        found.stays = staysOf(c, found.room.key);
        if (found.stays.isEmpty())
            return Outcome::refused(Refusal::NoStay);
        return Outcome::done();
    });
    if (!o.ok())
        return o;
    return found;
}

Outcome confirm(Session *s, const Quote &quote, const CompletedStay &completed)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    return s->write(Right::CheckOut, [&](Connection &c) {
        const QList<Stay> stays = staysOf(c, quote.room.key);
        if (stays.isEmpty())
            return Outcome::refused(Refusal::Gone); // another check-out came first
        // The amount was computed from the room's price as quoted.
        const auto room = rows::byKey(c, schema::Rooms, quote.room.key);
        if (stays != quote.stays || !room || fromRow<Room>(*room) != quote.room)
            return Outcome::refused(Refusal::Changed);
        const qint64 key = rows::insert(c, schema::CompletedStays, toRow(completed));
        note(c, *s, Deed::CheckOut, schema::CompletedStays, key, {std::nullopt, moneyOf(completed)});
        Statement(c, u"update \"房间\" set \"房间状态\"=? where \"房间ID\"=?"_s,
                  {int(RoomStatus::Free), quote.room.key});
        for (const Stay &stay : quote.stays)
            rows::remove(c, schema::Stays, stay.key);
        return Outcome::done();
    });
}

} // namespace hotel::checkout
