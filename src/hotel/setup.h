#pragma once

#include "hotel/listing.h"
#include "hotel/outcome.h"
#include "hotel/records.h"
#include "hotel/session.h"

#include <QString>
#include <QStringList>
#include <optional>

// Keeping the house: its floors, rooms, operators and the company's particulars. Rewrites and
// deletes act on the record as the clerk was shown it, and are refused (Gone, Changed) when
// another desk deleted or changed it since.
namespace hotel {

// The lists of the setup windows, oldest first.
Result<ListingPtr> listFloors(Session *s);
Result<ListingPtr> listRooms(Session *s);
Result<ListingPtr> listOperators(Session *s);

// Every floor's name, in the order the floors were added, for the rooms window's floor box.
Result<QStringList> floorNames(Session *s);

Outcome addFloor(Session *s, const Floor &floor);
// Rooms keep the floor name they were saved with: a rename or delete does not touch them.
Outcome renameFloor(Session *s, const Floor &shown, const QString &name);
Outcome deleteFloor(Session *s, const Floor &shown);

// A new room starts free, whatever status it carries. A room needs both prices: refused
// (BadValue) without them.
Outcome addRoom(Session *s, const Room &room);
// The particulars of the room shown; its status stays as stored (only the front desk moves it).
Outcome rewriteRoom(Session *s, const Room &shown, const Room &edited);
// Whatever its status: a stay or reservation of the room is left as it is.
Outcome deleteRoom(Session *s, const Room &shown);

Outcome addOperator(Session *s, const Operator &op);
Outcome rewriteOperator(Session *s, const Operator &shown, const Operator &edited);
Outcome deleteOperator(Session *s, const Operator &shown);

// The company's particulars: the first row of its table; none when the table is empty.
Result<std::optional<Company>> readCompany(Session *s);
// The company's name alone, for the main window's title, which every operator sees; none
// without a row.
Result<std::optional<QString>> companyName(Session *s);
// Saves the typed particulars over the stored ones; an empty field keeps what is stored. Refused
// NotFound without a row, and Changed when the row no longer reads as `shown` (none: as loaded
// from a store that could not be read).
Outcome saveCompany(Session *s, const std::optional<Company> &shown, const Company &typed);

} // namespace hotel
