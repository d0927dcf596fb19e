#pragma once

#include "hotel/listing.h"
#include "hotel/outcome.h"
#include "hotel/session.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// Completed stays picked for the statistics, newest first, with their count and the sums of
// statisticsSums(). Every operation asks for the statistics right.
namespace hotel {

// The amount columns the statistics add up, in the order of a listing's sums.
const QStringList &statisticsSums();

// The condition on 旅客退房's columns that picks the stays below; two "?" for the range's ends.
QString checkedInBetween();

// The stays checked in from `start` to `end`, both ends included to the second. A stay whose
// check-in time cannot be read cannot be tested against a range and is listed whatever it is.
Result<ListingPtr> staysCheckedInBetween(Session *s, const QDateTime &start, const QDateTime &end);

// The stays of the first room (by key) numbered `number`, letter case aside, whatever the room's
// status; NotFound when no room has that number.
Result<ListingPtr> staysOfRoom(Session *s, const QString &number);

} // namespace hotel
