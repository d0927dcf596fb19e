#include "hotel/lookups.h"

#include "data/schema.h"
#include "hotel/table_rows.h"

namespace hotel {

Result<std::optional<RoomRow>> roomByKey(Session *s, Right right, qint64 key)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    std::optional<RoomRow> found;
    const Outcome o = s->read(right, [&](Connection &c) {
        if (auto row = rows::byKey(c, schema::Rooms, key))
            found = RoomRow{fromRow<Room>(*row), *row};
        return Outcome::done();
    });
    if (!o.ok())
        return o;
    return found;
}

} // namespace hotel
