#pragma once

#include "hotel/outcome.h"
#include "hotel/session.h"

#include <QString>

// The house as a whole: its backup, and wiping the business data to start afresh.
namespace hotel {

// Copies the house to the file the operator typed. The copy is refused, with the reason as the
// detail, for a target that cannot take it.
Outcome backUp(Session *s, const QString &typedTarget);

// In one transaction: a copy of the house kept beside it, then the ledgers, floors, rooms, stays,
// completed stays and reservations emptied; operators and the company stay. Nothing is wiped
// unless the copy was made, and no copy is kept when nothing was wiped.
Outcome initializeData(Session *s);

// What a restore did: where the house as it was went, and whether the desk's operator is in the
// restored house with the same rights (else the desk must log in again).
struct Restored {
    QString safetyCopy;
    bool operatorKept = false;
};

// Puts the house kept in the file `backup` in place of the house, for every desk. The file is
// checked first and refused, nothing changed, when it is missing, the database itself, no
// database, damaged, no house, kept under another database password or written by a later
// program. Then, as for a data initialization, a copy of the house is kept, and no other desk's
// write falls between that copy and the restore. `importReport`: for a backup brought across from
// the old program, its report, which a server house (keeping its own record) records with the restore.
Result<Restored> restoreHouse(Session *s, const QString &backup, const QString &importReport = {});

// The copies kept beside the house at `house` before a data initialization or a restore, newest
// first.
QStringList keptCopies(const HouseLocation &house);

// Removes the copies a backup or a data initialization killed mid-way left in the house's folder
// and in the folder of the copies kept before a data initialization; at the program's start.
void removeUnfinishedCopies(const HouseLocation &house);

// A new, empty house file at `path` with the first operator admin/admin, before anyone logs in;
// the reason it could not be made, or empty text.
QString createEmptyHouse(const QString &path, const QString &databasePassword);

} // namespace hotel
