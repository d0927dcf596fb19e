#pragma once

#include "data/store_target.h"

#include <QList>
#include <QString>

// What the person who runs a house's server does with it: let a desk role in, upgrade the house,
// and check a desk's set-up before the first clerk logs in. `server` is a libpq connection string
// or URI, with the schema the house lives in (search_path) when not the default.
namespace serveradmin {

// One answer of the check; the check stops at the first that fails.
struct Answer {
    enum class Kind { Ok, Warning, Failed };
    Kind kind = Kind::Ok;
    QString text;
};
QList<Answer> check(const serverstore::Server &server);

// Whether the server holds a house in that schema; false when it cannot be reached.
bool holdsHouse(const serverstore::Server &server);

// Grants `role` exactly what a desk needs on the house: read and write its tables (the access
// record only read), use its sequences; nothing it held before on them. Run as the house's owner.
// Empty text when done, else why not.
QString grantDeskRole(const serverstore::Server &server, const QString &role);

// Adds what a house made by an older version lacks (indexes). Run as the house's owner. Empty text
// when done, else why not.
QString upgrade(const serverstore::Server &server);

} // namespace serveradmin
