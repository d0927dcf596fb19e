#pragma once

#include "data/db_error.h"
#include "data/store_target.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

class QSqlError;

// A house kept on a PostgreSQL server instead of the file. quillon.ini beside the house names the
// server in its [server] section (a libpq connection string or URI); without it nothing changes.
// Passwords never live there: libpq reads them from ~/.pgpass or the service file.
namespace serverstore {

// The server named by the settings file at `settingsPath` (a house's quillon.ini), with the line
// that names it and the limits the file gives; none for the file store.
std::optional<Server> configuredServer(const QString &settingsPath);

// The server in libpq's keyword form, with TCP keepalives and a connect timeout unless the
// settings give their own. Throws DbError for text libpq cannot read, a ";" (the driver would
// split there) or a password written into it, with `settingsLine` of quillon.ini when it came from
// there; files it names by a relative path lie in `settingsFolder`, the folder of that quillon.ini.
QString keywordForm(const QString &conninfo, int settingsLine = 0, const QString &settingsFolder = {});

// Opens `db` (a QPSQL connection) on the server; a row another desk is writing is waited for
// `lockWaitMs`, then reported as busy. The server ends the session when a transaction is left
// idle, a statement runs or the desk's machine stays silent past the limits, so a frozen desk
// never holds the house for long. Throws DbError in the server's words.
void open(QSqlDatabase &db, const Server &server, int lockWaitMs = 5000);
// libpq's own handle (a PGconn *) of an open QPSQL connection, or nullptr.
void *connectionHandle(QSqlDatabase &db);
// The server's lock_timeout for a wait of `ms`.
QString lockTimeout(int ms);

// The statements that create an empty house in the server's current schema.
QStringList createStatements(bool indexes = true);
// Whether the current schema already holds a house (any of its tables). Throws DbError.
bool holdsHouse(QSqlDatabase &db);

// A failed statement in words for the operator; a row held by another desk reads as busy.
// Another desk holds the rows (lock timeout, serialization failure, deadlock).
bool isBusy(const QString &sqlState);
bool isBusy(const QSqlError &error);
QString describe(const QSqlError &error);
// A failed statement as a DbError of its kind, in the server's own words (never the connection
// string).
DbError errorOf(const QSqlError &error);
// The same by the server's SQLSTATE (empty when it sent none) and its words; `connectionGone`:
// the connection itself is broken, whatever else the state says.
DbError errorOf(const QString &sqlState, const QString &text, bool connectionGone);
// Why a connection failed, by libpq's or the server's words.
StoreCause openCause(const QString &text);
// A failed connection as a DbError: not reached, account refused, encryption refused, or no such
// database.
DbError openError(const QSqlError &error);

} // namespace serverstore
