#pragma once

#include "data/dialect.h"
#include "data/store_target.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>

class DbError;

// The store behind a Connection, one backend per engine, chosen once when the connection opens:
// the file through SQLite's own interface, a server through Qt's PostgreSQL driver. Everything
// above it (Connection, Statement) is the same for both. Every failure is thrown as DbError, busy
// and the store's causes already told apart.
namespace store {

// One prepared statement of a backend.
class Query
{
public:
    virtual ~Query() = default;
    // Binds `params` to the statement's "?" in order.
    virtual void bind(const QVariantList &params) = 0;
    // The next row: true on a row, false at the end (never called again after that). The first
    // step runs the statement.
    virtual bool step() = 0;
    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    // Columns are read on a row, in range.
    virtual bool isNull(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
    // NULL as an invalid QVariant.
    virtual QVariant value(int column) const = 0;
    // After the first step: the rows it changed, and the key its insert was given.
    virtual int changes() const = 0;
    virtual qint64 lastInsertId() = 0;
};

class Backend
{
public:
    virtual ~Backend() = default;
    virtual dialect::Engine engine() const = 0;

    // Opens the house at `target` (its file, or its server for this engine) and checks its password
    // against the access record; a house made before an index was added gets its indexes. Another
    // desk's write is waited for `busyWaitMs` before a step fails as busy.
    virtual void open(const StoreTarget &target, int busyWaitMs) = 0;
    virtual bool isOpen() const = 0;
    // Every Query of it must be gone first.
    virtual void close() = 0;

    virtual std::unique_ptr<Query> prepare(const QString &sql) = 0;
    // A transaction that fails at once, not halfway, when another desk holds what it writes.
    virtual void begin() = 0;
    virtual void commit() = 0;
    // Never throws: there is nothing left to do when it fails.
    virtual void rollback() = 0;
    virtual void setBusyWait(int ms) = 0;
    // An index of that name (on the file also a table: the search index is one).
    virtual bool hasIndex(const QString &name) = 0;
    // Whether the house has its record of who did what: an older house on a server that this
    // desk may not upgrade has not, until its owner upgrades it.
    virtual bool keepsRecord() const { return m_keepsRecord; }
    // Whether the house lacks a table or an index this program's version adds, which this desk
    // may not add itself (a desk role on a server); it works without them where it can.
    virtual bool needsUpgrade() const { return m_needsUpgrade; }
    // Whether the house had its search index when opened (a server house this desk may not
    // upgrade may lack it; the search then reads the stays).
    virtual bool searchable() const { return m_searchable; }

    // The store file's bytes through the store's own handle (see Connection::readFileBytes).
    virtual void readFileBytes(const std::function<bool(const char *data, qint64 size)> &sink) = 0;
    // Qt's connection underneath, for the house moves that speak to the driver directly.
    virtual QSqlDatabase &database() = 0;

protected:
    // The steps of open() after the driver has opened, the same on every engine; both close the
    // backend and throw when they fail. A house newer than this program is refused: its layout
    // may hold what this program would write past.
    void admit(const QString &source, const QString &password);
    void addMissingIndexes(int busyWaitMs);

private:
    // The house's recorded version; a house older than recorded versions is 1.
    int houseVersion();

    bool m_keepsRecord = true;
    bool m_needsUpgrade = false;
    bool m_searchable = true;
};

// What the access record holds for `password` with its `salt`.
QByteArray passwordHash(const QByteArray &salt, const QString &password);

// How long a desk waits for another desk's write before giving up.
inline constexpr int BusyWaitMs = 5000;

// The backend for `target`, open, waiting `busyWaitMs` for another desk's write at each step
// (opening included); throws DbError.
std::unique_ptr<Backend> open(const StoreTarget &target, int busyWaitMs = BusyWaitMs);

// Hands every backend a connection opens to `wrap`, before it opens, and uses what it returns:
// for tests, which count and fail store steps around the real backend. Empty: none.
using Wrapper = std::function<std::unique_ptr<Backend>(std::unique_ptr<Backend>)>;
void setWrapper(Wrapper wrap);

namespace sqlite {
std::unique_ptr<Backend> make();
// A failed step by SQLite's result code (extended or not) and its words; see
// Connection::storeError.
DbError errorOf(int code, const QString &text);
// See Connection::checkFile.
QString checkFile(const QString &path);
} // namespace sqlite

namespace postgres {
std::unique_ptr<Backend> make();
} // namespace postgres

} // namespace store
