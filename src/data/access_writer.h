#pragma once

#include "data/access_rows.h"

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace accesshouse::detail {

// A new house file written through SQLite in one transaction: the house's tables, the rows as
// they come, then the proof read back, the record of the move, the access record and the search
// index. Nothing is committed unless finish() is reached; the file itself is the caller's.
class HouseFileWriter : public RowSink
{
public:
    // Opens the empty file at `path` and creates the tables. Throws Stop.
    explicit HouseFileWriter(const QString &path);
    ~HouseFileWriter() override;
    HouseFileWriter(const HouseFileWriter &) = delete;
    HouseFileWriter &operator=(const HouseFileWriter &) = delete;

    void beginTable(const schema::Table &table) override;
    void row(const std::vector<Cell> &cells) override;

    // The rows and sums the new house holds, into `report`. Throws Stop.
    void countWritten(Report &report);
    // One row in 操作记录, the access record for `password`, the indexes and the search index
    // unless not `indexed` (a file only carrying the rows to a server); then commits and closes.
    // Throws Stop.
    void finish(const QString &password, const QString &operatorName, const QString &record, bool indexed);

private:
    void exec(const QString &sql);
    [[noreturn]] void fail(const QString &what, int code);

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_insert = nullptr;
    QString m_table;
};

} // namespace accesshouse::detail
