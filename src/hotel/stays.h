#pragma once

#include "hotel/listing.h"
#include "hotel/lookups.h"
#include "hotel/outcome.h"
#include "hotel/records.h"
#include "hotel/session.h"

#include <optional>

// Guests checked in and reservations: the two tables share their columns, so every operation
// here takes the kind and does the same to either. All need the front-desk right.
namespace hotel {

enum class StayKind {
    Stay,        // 旅客入住, its room occupied
    Reservation, // 旅客预订, its room reserved
};

const QString &stayTable(StayKind kind);
// The status a room of this kind of record has.
RoomStatus roomStatusOf(StayKind kind);

// The rooms free now, oldest first: what a check-in or a reservation picks from.
Result<ListingPtr> freeRooms(Session *s);

// Adds the stay or reservation and takes its room, both or neither: the room is taken only while
// it is still free (RoomNotFree otherwise). `typed` is the reader the record came from; a box it
// refused is refused here as BadValue, before anything is written. Gives the new record's key.
Result<qint64> enterStay(Session *s, StayKind kind, const Stay &stay, const BoxReader &typed = {});

// Every stay in progress, or every reservation, oldest first.
Result<ListingPtr> listStays(Session *s, StayKind kind);

// A room as the list windows show it beside a stay.
Result<std::optional<RoomRow>> roomOfStay(Session *s, qint64 roomKey);

// Rewrites the record shown with the edited particulars, only while it still reads as shown
// (Gone, Changed). Empty remarks keep the ones stored; the room is never touched.
Outcome correctStay(Session *s, StayKind kind, const Stay &shown, const Stay &edited,
                    const BoxReader &typed = {});

// Deletes the record shown, only while it still reads as shown, and frees the room it names in
// the same transaction: a reservation cancelled, or a stay removed without a check-out.
Outcome withdrawStay(Session *s, StayKind kind, const Stay &shown);

} // namespace hotel
