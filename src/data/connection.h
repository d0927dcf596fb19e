#pragma once

#include "data/dialect.h"
#include "data/store_target.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>
#include <set>

class DbError;
class Statement;
struct HouseLocation;
namespace store {
class Backend;
class Query;
} // namespace store

// One connection to the house, opened by a handler and closed when it goes out of scope. The
// store behind it (a file or a server) is chosen when it opens; it behaves the same on both.
// Every failure is thrown as DbError.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens the house at `house`: on the server its quillon.ini names, else its file.
    void open(const HouseLocation &house);
    void open(const StoreTarget &target);
    // The same, waiting `busyWaitMs` instead of the program's own wait for another desk's write.
    void open(const StoreTarget &target, int busyWaitMs);
    void close();
    bool isOpen() const;

    // Command pattern: a delete or update; returns the number of rows it touched.
    int execute(const QString &sql, const QVariantList &params = {});

    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }
    // How long each later step waits for another desk's write before failing as busy; 0: not at
    // all. Throws DbError.
    void setBusyWait(int ms);

    // Qt's connection underneath, for the house moves that speak to the driver directly.
    QSqlDatabase &database();
    // The engine behind this connection: SQL goes to it as written, in words both engines take.
    dialect::Engine engine() const { return m_engine; }
    // Whether the house has its record of who did what (an older house on a server may lack it
    // until its owner upgrades it).
    bool keepsRecord() const;
    // Whether the house lacks what this program's version adds and only its owner may add.
    bool needsUpgrade() const;
    // Whether the house had its search index when opened (see Backend::searchable).
    bool searchable() const;

    // The error to throw for a failed step: a busy or locked store (another desk's write
    // outlasted the wait) becomes one plain message; anything else keeps the store's text.
    static DbError storeError(int nativeCode, const QString &text);
    static DbError busyError();

    // The open database file's bytes, in order, handed to `sink` in chunks (false from the sink
    // stops). They are read through the store's own handle, so its locks hold throughout; call
    // inside a Transaction and no other desk can commit while they are read. Throws DbError.
    void readFileBytes(const std::function<bool(const char *data, qint64 size)> &sink);
    // A check of every page of a closed database file (a copy): each table and index is a sound
    // tree of well-formed pages and records. Whether each index lists exactly its table's rows
    // is left out: a byte copy takes that from its source, and checking it costs several times
    // the copy. Empty when sound, otherwise what is wrong.
    static QString checkFile(const QString &path);

private:
    friend class Statement;
    // The statement in the engine's words, prepared; throws DbError.
    std::unique_ptr<store::Query> prepare(const QString &sql);

    std::unique_ptr<store::Backend> m_backend;
    QSqlDatabase m_noDatabase; // database() before the connection opens
    bool m_inTransaction = false;
    std::set<Statement *> m_statements; // finished before the store closes
    dialect::Engine m_engine = dialect::Engine::Sqlite;
};

// All or nothing: rolls back unless commit() was reached.
class Transaction
{
public:
    explicit Transaction(Connection &c);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Connection &m_connection;
    bool m_done = false;
};
