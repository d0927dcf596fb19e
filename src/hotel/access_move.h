#pragma once

#include "hotel/house.h"
#include "hotel/long_work.h"
#include "hotel/outcome.h"

#include <QString>

// Bringing a house of the old desk program (its Access file, or a .mdb backup of it) across into
// Quillon's store. The Access file itself is never written.
namespace hotel {

class Session;

// True when the file begins as an Access database does, whatever its name.
bool isAccessFile(const QString &path);

// The house file a desk at `house` would open, when it is an Access file still to bring across
// (the first start in the old program's folder); empty when the desk works on a server or the
// file is anything else.
QString accessHouseToBringAcross(const HouseLocation &house);

// What a move found and did, in the operator's words: per table the rows read and written, the
// sums on both sides, the odd rows kept. The same text is the move's row in 操作记录.
struct AccessMove {
    QString report;
    QString keptAt; // where the Access file was kept, byte for byte (a move in place)
};

// The first start: the Access house file the desk would open becomes a Quillon house in its
// place, and the Access file is kept in innkeep-backups/ beside it. Refused with
// Refusal::NotBroughtAcross (the reason as detail) or Refusal::Cancelled, nothing changed.
Result<AccessMove> bringAccessHouseAcross(const HouseLocation &house, const WorkRunner &run);

struct AccessRestored {
    Restored restored;
    QString report;
};

// A restore from an Access backup: the file is brought across into a private temporary house,
// which is then restored as any backup is (the same checks, the same safety copy, the same hold
// on other desks). Refused as bringAccessHouseAcross is, or as restoreHouse is.
Result<AccessRestored> restoreFromAccess(Session *s, const QString &accessFile, const WorkRunner &run);

} // namespace hotel
