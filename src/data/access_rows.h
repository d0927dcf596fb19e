#pragma once

#include "data/access_house.h"

#include <QString>
#include <optional>
#include <vector>

class AccessReader;
namespace schema {
struct Table;
}

// The Access house read as the house keeps it: the layout checked by table name and column
// position, each value converted to its column's kind, the sums and the odd rows noted.
namespace accesshouse::detail {

// One value as the house keeps it; a date-time as the file store's text.
struct Cell {
    enum class Kind { Null, Integer, Real, Text };
    Kind kind = Kind::Null;
    qint64 integer = 0;
    double real = 0;
    QString text;
};

// Stops the read or the move, with the reason; thrown through the sink too.
struct Stop {
    Failure failure;
};

// Takes each table's rows; may throw Stop.
class RowSink
{
public:
    virtual ~RowSink() = default;
    virtual void beginTable(const schema::Table &table) = 0;
    virtual void row(const std::vector<Cell> &cells) = 0;
};

// Checks every table's layout first, then reads every row into `sink` (none: only looks),
// filling the counts read, the sums read and the odd rows of `report`. Throws Stop.
void readHouse(AccessReader &reader, Report &report, RowSink *sink, const Progress &progress);

// The money columns summed on both sides, and whether the house keeps them as 16-bit integers.
struct SumColumn {
    QString table;
    QString column;
    bool int16;
};
const QList<SumColumn> &sumColumns();

// Adds to a sum of cents, stopping at the ends of the range (a damaged file's sums, never a
// hotel's).
void addCents(qint64 &sum, qint64 cents);
// Cents of a stored amount, as its shortest decimal text rounds (half away from zero): 1.005
// gives 101, as the text the desk shows does.
qint64 centsOf(double value);
// An Access date (days since 1899-12-30, the fraction the time of day) as "yyyy-MM-dd HH:mm:ss",
// to the second; nullopt outside the years 100 to 9999.
std::optional<QString> dateTimeText(double days);

} // namespace accesshouse::detail
