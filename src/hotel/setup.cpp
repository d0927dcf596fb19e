#include "hotel/setup.h"
#include "hotel/deeds.h"

#include "data/connection.h"
#include "data/dialect.h"
#include "data/schema.h"
#include "hotel/table_rows.h"

using namespace Qt::Literals::StringLiterals;

namespace hotel {

namespace {

Result<ListingPtr> oldestFirst(Session *s, const QString &table)
{
    return Listing::make(s, Right::Setup, table, {}, {}, Listing::Order::OldestFirst);
}

template <class R> Outcome add(Session *s, const R &record)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    return s->write(Right::Setup, [&](Connection &c) {
        const qint64 key = rows::insert(c, tableOf<R>(), toRow(record));
        note(c, *s, Deed::Add, tableOf<R>(), key, {std::nullopt, moneyOf(record)});
        return Outcome::done();
    });
}

std::optional<QVariantList> firstCompanyRow(Connection &c)
{
    auto all = rows::where(c, schema::Company, u"1=1"_s, {});
    if (all.empty())
        return std::nullopt;
    return std::move(all.front());
}

Result<std::optional<Company>> company(Session *s, bool free)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    std::optional<Company> found;
    const auto read = [&](Connection &c) {
        if (const auto row = firstCompanyRow(c))
            found = fromRow<Company>(*row);
        return Outcome::done();
    };
    const Outcome o = free ? s->readFree(read) : s->read(Right::Setup, read);
    if (!o.ok())
        return o;
    return found;
}

bool hasPrices(const Room &room)
{
    return room.price && room.memberPrice;
}

} // namespace

Result<ListingPtr> listFloors(Session *s)
{
    return oldestFirst(s, schema::Floors);
}

Result<ListingPtr> listRooms(Session *s)
{
    return oldestFirst(s, schema::Rooms);
}

Result<ListingPtr> listOperators(Session *s)
{
    return oldestFirst(s, schema::Operators);
}

Result<QStringList> floorNames(Session *s)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    QStringList names;
    const Outcome o = s->read(Right::Setup, [&](Connection &c) {
        for (const QVariantList &row : rows::where(c, schema::Floors, u"1=1"_s, {}))
            names.append(fromRow<Floor>(row).name);
        return Outcome::done();
    });
    if (!o.ok())
        return o;
    return names;
}

Outcome addFloor(Session *s, const Floor &floor)
{
    return add(s, floor);
}

Outcome renameFloor(Session *s, const Floor &shown, const QString &name)
{
    return rows::rewriteShown(s, Right::Setup, schema::Floors, shown, Floor{shown.key, name});
}

Outcome deleteFloor(Session *s, const Floor &shown)
{
    return rows::deleteShown(s, Right::Setup, schema::Floors, shown);
}

Outcome addRoom(Session *s, const Room &room)
{
    if (!hasPrices(room))
        return Outcome::refused(Refusal::BadValue);
    Room fresh = room;
    fresh.status = RoomStatus::Free;
    return add(s, fresh);
}

Outcome rewriteRoom(Session *s, const Room &shown, const Room &edited)
{
    if (!hasPrices(edited))
        return Outcome::refused(Refusal::BadValue);
    Room kept = edited;
    kept.status = shown.status; // stored as shown, or the rewrite is refused
    return rows::rewriteShown(s, Right::Setup, schema::Rooms, shown, kept);
}

Outcome deleteRoom(Session *s, const Room &shown)
{
    return rows::deleteShown(s, Right::Setup, schema::Rooms, shown);
}

Outcome addOperator(Session *s, const Operator &op)
{
    return add(s, op);
}

Outcome rewriteOperator(Session *s, const Operator &shown, const Operator &edited)
{
    return rows::rewriteShown(s, Right::Setup, schema::Operators, shown, edited);
}

Outcome deleteOperator(Session *s, const Operator &shown)
{
    return rows::deleteShown(s, Right::Setup, schema::Operators, shown);
}

Result<std::optional<Company>> readCompany(Session *s)
{
    return company(s, false);
}

Result<std::optional<QString>> companyName(Session *s)
{
    const auto found = company(s, true);
    if (!found.ok())
        return Outcome(found);
    if (!found.value())
        return std::optional<QString>();
    return std::optional<QString>(found.value()->name);
}

Outcome saveCompany(Session *s, const std::optional<Company> &shown, const Company &typed)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    return s->write(Right::Setup, [&](Connection &c) {
        const auto row = firstCompanyRow(c);
        if (!row)
            return Outcome::refused(Refusal::NotFound);
        Company saved = fromRow<Company>(*row);
        if (shown && !(saved == *shown))
            return Outcome::refused(Refusal::Changed);
        const auto keepUnlessTyped = [](QString &field, const QString &text) {
            if (!text.isEmpty())
                field = text;
        };
        keepUnlessTyped(saved.name, typed.name);
        keepUnlessTyped(saved.representative, typed.representative);
        keepUnlessTyped(saved.phone, typed.phone);
        keepUnlessTyped(saved.fax, typed.fax);
        keepUnlessTyped(saved.email, typed.email);
        keepUnlessTyped(saved.address, typed.address);
        keepUnlessTyped(saved.postcode, typed.postcode);
        keepUnlessTyped(saved.profile, typed.profile);
        rows::update(c, schema::Company, saved.key, toRow(saved));
        note(c, *s, Deed::Rewrite, schema::Company, saved.key);
        return Outcome::done();
    });
}

} // namespace hotel
