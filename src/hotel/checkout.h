#pragma once

#include "hotel/outcome.h"
#include "hotel/records.h"
#include "hotel/session.h"

#include <QList>
#include <QString>
#include <QVariantList>

// Check-out in two steps: the stay of an occupied room is quoted, the clerk settles it, and the
// completed stay is confirmed only while the room and its stay still read as quoted.
namespace hotel::checkout {

struct Quote {
    Room room;
    QVariantList roomRow; // the room as stored, for the window's grid
    QList<Stay> stays;    // every stay row of the room, by key; the first is the one shown

    const Stay &stay() const { return stays.first(); }
};

// The occupied room with that number (whatever its case) and all its stay rows. Refused
// NotFound when no occupied room has that number, NoStay when the room has no stay rows.
Result<Quote> quote(Session *s, const QString &roomNumber);

// In one transaction: stores `completed`, frees the room and deletes exactly the quoted stay
// rows. Refused Gone when the room has no stay rows left (checked out at another desk), Changed
// when its stay rows or the room itself no longer read as quoted.
Outcome confirm(Session *s, const Quote &quote, const CompletedStay &completed);

} // namespace hotel::checkout
