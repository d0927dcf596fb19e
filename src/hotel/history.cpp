#include "hotel/history.h"

#include "data/schema.h"
#include "hotel/table_rows.h"

using namespace Qt::Literals::StringLiterals;

namespace hotel::history {

Search search(const QString &text)
{
    const QString needle = text.trimmed().toLower();
    if (needle.isEmpty())
        return {};
    // The typed text is matched literally: its own % and _ are escaped for LIKE.
    QString escaped = needle;
    escaped.replace(u"!"_s, u"!!"_s).replace(u"%"_s, u"!%"_s).replace(u"_"_s, u"!_"_s);
    const QString pattern = u"%"_s + escaped + u"%"_s;
    return {u"lower(\"旅客姓名\") like ? escape '!' "
            u"or lower(\"证件号码\") like ? escape '!' "
            u"or lower(\"旅客单位\") like ? escape '!' "
            u"or \"房间ID\" in (select \"房间ID\" from \"房间\" where lower(\"房间号\") like ? escape '!')"_s,
            {pattern, pattern, pattern, pattern}};
}

Result<ListingPtr> list(Session *s, const QString &text, const QStringList &sums)
{
    const Search picked = search(text);
    return Listing::make(s, Right::CheckOut, schema::CompletedStays, picked.where, picked.params,
                         Listing::Order::NewestFirst, sums);
}

Result<std::optional<Sheet>> sheet(Session *s, qint64 completedStayKey)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    std::optional<Sheet> found;
    const Outcome o = s->read(Right::CheckOut, [&](Connection &c) {
        const auto row = rows::byKey(c, schema::CompletedStays, completedStayKey);
        if (!row)
            return Outcome::done();
        found = Sheet{fromRow<CompletedStay>(*row), std::nullopt};
        if (const Int16 room = found->stay.room) {
            if (const auto stored = rows::byKey(c, schema::Rooms, *room))
                found->room = RoomRow{fromRow<Room>(*stored), *stored};
        }
        return Outcome::done();
    });
    if (!o.ok())
        return o;
    return found;
}

} // namespace hotel::history
