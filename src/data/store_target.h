#pragma once

#include <QString>
#include <optional>
#include <utility>

namespace serverstore {

// How long the server lets a desk's session leave a transaction idle and run one statement.
// quillon.ini's [server] section may change them: idle_transaction_seconds, statement_seconds.
struct Limits {
    int idleTransactionSeconds = 30;
    int statementSeconds = 60;
    bool operator==(const Limits &) const = default;
};

// A house on a PostgreSQL server: libpq's connection text (keywords or a URI), as written.
struct Server {
    // Implicit: a tool's own argument or a test's server is a server named nowhere else.
    Server(QString conninfo = {}, int settingsLine = 0, Limits limits = {}, QString settingsFolder = {})
        : conninfo(std::move(conninfo)), settingsLine(settingsLine), limits(limits),
          settingsFolder(std::move(settingsFolder))
    {}
    QString conninfo;
    // The line of quillon.ini that names it (1 is the first); 0 when it came from elsewhere.
    int settingsLine = 0;
    Limits limits;
    // The folder of that quillon.ini, where files it names by a relative path lie; empty otherwise.
    QString settingsFolder;
    bool operator==(const Server &) const = default;
};

} // namespace serverstore

// What a connection opens: the house on `server` when there is one, else the house file at
// `file`; either is admitted only with `password`, the house's database password.
struct StoreTarget {
    QString file;
    std::optional<serverstore::Server> server;
    QString password;

    // The same house behind the same password, whatever limits the settings give it.
    bool sameHouse(const StoreTarget &other) const
    {
        return file == other.file && password == other.password &&
               server.has_value() == other.server.has_value() &&
               (!server || server->conninfo == other.server->conninfo);
    }
};
