#pragma once

#include <QString>

namespace schema {
enum class ColumnType;
}

// What differs between the engines that can hold a house. The program's SQL is written once in
// words both take (quoted names, "limit ?", "collate nocase"); only the tables' column types
// differ, and they are chosen here.
namespace dialect {

enum class Engine { Sqlite, Postgres };

// What ends a select to take `count` rows after skipping `skip`: two "?" to bind, in that order.
QString rowWindow();

// An order by `key` that leaves the key's own index out of the plan: a server would otherwise read
// the keys in order and test each row, when the rows a search's indexes find are few.
QString orderedApart(Engine engine, const QString &key);

// The engine's type for each kind of column; a key numbers new rows itself and never hands out a
// deleted key again.
QString columnType(Engine engine, schema::ColumnType type);
// The type of a column of raw bytes.
QString bytesType(Engine engine);

// A table or column name quoted, so a server keeps its capitals (房间ID, not 房间id).
QString quoted(const QString &identifier);

} // namespace dialect
