#pragma once

#include <QString>

namespace schema {
enum class ColumnType;
}

// What differs between the engines that can hold a house: the windows write one SQL (Jet's
// "select top N", "[table]" in commands, "collate nocase" where text compares without case)
// and each engine gets it in its own words here, and nowhere else.
namespace dialect {

enum class Engine { Sqlite, Postgres };

// The program's SQL as the engine must read it.
QString translate(Engine engine, const QString &sql);

// What ends a select to take `count` rows after skipping `skip`: two "?" to bind, in that order.
QString rowWindow(Engine engine);

// The engine's type for each kind of column; a key numbers new rows itself and never hands out a
// deleted key again.
QString columnType(Engine engine, schema::ColumnType type);
// The type of a column of raw bytes.
QString bytesType(Engine engine);

// A table or column name as the engine quotes it.
QString quoted(const QString &identifier);

} // namespace dialect
