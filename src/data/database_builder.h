#pragma once

#include "data/store_target.h"

#include <QByteArray>
#include <QString>

// Makes a new database file: the tables, the access record for the password, the first
// operator with every right and the company row; sample floors, rooms and stays on request.
// The program itself never does this; the creation tool, the tests and the benchmarks do.
namespace dbbuild {

struct Options {
    QString password;
    bool sampleData = true;
    QString operatorName = QStringLiteral("admin");
    QString operatorPassword = QStringLiteral("admin");
    QString companyName;
};

// The access record of a new house: a random salt and the hash of `password` with it.
struct AccessRecord {
    QByteArray salt;
    QByteArray hash;
};
AccessRecord accessRecord(const QString &password);

// Returns an empty string on success, else why it failed. Never overwrites an existing file.
QString createDatabase(const QString &path, const Options &options);
// The same house on a PostgreSQL server (its current schema), in one transaction; refuses a
// server that already holds a house.
QString createServerHouse(const serverstore::Server &server, const Options &options);

} // namespace dbbuild
