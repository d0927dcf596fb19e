#include "hotel/statistics.h"

#include "data/conversions.h"
#include "data/schema.h"
#include "hotel/table_rows.h"

using namespace Qt::Literals::StringLiterals;

namespace hotel {

const QStringList &statisticsSums()
{
    static const QStringList sums{u"实际金额"_s, u"应收款"_s, u"应退款"_s};
    return sums;
}

QString checkedInBetween()
{
    // Date-times are kept as "yyyy-MM-dd HH:mm:ss" text, whose order is time order, so the range
    // is a text range on the check-in index; the unreadable times have a partial index of their
    // own, whose condition this one repeats word for word. The keys come from the two indexes
    // alone (one found by both is listed once), and the rows are then read by key.
    const QString checkIn = u"\"入住时间\""_s;
    return u"\"退房ID\" in (select \"退房ID\" from \"旅客退房\" where "_s + checkIn +
           u" between ? and ? union all select \"退房ID\" from \"旅客退房\" where "_s +
           schema::unreadableTime(checkIn) + u")"_s;
}

Result<ListingPtr> staysCheckedInBetween(Session *s, const QDateTime &start, const QDateTime &end)
{
    return Listing::make(s, Right::Statistics, schema::CompletedStays, checkedInBetween(),
                         {conv::toStorage(start), conv::toStorage(end)}, Listing::Order::NewestFirst,
                         statisticsSums());
}

Result<ListingPtr> staysOfRoom(Session *s, const QString &number)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    QVariant room;
    const Outcome found = s->read(Right::Statistics, [&](Connection &c) {
        const auto rooms = rows::where(c, schema::Rooms, u"\"房间号\"=? collate nocase"_s, {number});
        if (rooms.empty())
            return Outcome::refused(Refusal::NotFound);
        room = rooms.front().value(0);
        return Outcome::done();
    });
    if (!found.ok())
        return found;
    // The count and sums come from the index of a room's stays with their amounts alone.
    return Listing::make(s, Right::Statistics, schema::CompletedStays, u"\"房间ID\"=?"_s, {room},
                         Listing::Order::NewestFirst, statisticsSums());
}

} // namespace hotel
