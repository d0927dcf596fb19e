#pragma once

#include <QString>

class Connection;
struct HouseLocation;

// Putting a kept copy of the house (a backup, or a copy taken before a data initialization) back
// in place of the house, for every desk at once.
namespace houserestore {

// Why a file cannot be restored, from the first thing found wrong with it.
enum class Problem {
    None,
    Missing,        // no such file
    TheHouseItself, // the live database file, however the path is spelled
    NotADatabase,   // no SQLite database at all
    Damaged,        // fails SQLite's integrity check
    NotAHouse,      // a database without the house's access record or tables
    WrongPassword,  // a house kept under another database password
    Newer,          // written by a program that knows a later layout of the house
};

struct Verdict {
    Problem problem = Problem::None;
    QString detail; // what the integrity check reported, for a damaged file
};

// Reads `path` without changing it. `house`: the live database file, or empty text for a house
// on a server; `password`: the database password the house is kept under.
Verdict check(const QString &path, const QString &house, const QString &password);

// A house in a file: writes the checked file at `backup` into the live database at `house`, which
// `c` has open (outside any transaction), with SQLite's online backup, which holds the house's exclusive lock
// from before the safety copy is taken until the last page is written; other desks wait and then
// read the restored house. Returns where the safety copy went. Throws DbError.
QString restoreIntoFile(Connection &c, const HouseLocation &house, const QString &backup);

// A house on a server: inside the transaction `c` holds, with every other desk's writes held
// off, replaces every table's rows with the checked file's; key counters end past every key.
// Throws DbError.
void restoreIntoServer(Connection &c, const QString &backup);

} // namespace houserestore
