#pragma once

#include "data/dialect.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <functional>
#include <set>

class DbError;
class Statement;

// One connection to the database file, opened by a handler and closed when it goes out of scope.
// Every failure is thrown as DbError.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens the file named by Module1's connection string.
    void open();
    void open(const QString &connectionString);
    void close();
    bool isOpen() const { return m_db.isOpen(); }

    // Command pattern: a delete or update; returns the number of rows it touched.
    int execute(const QString &sql, const QVariantList &params = {});

    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    QSqlDatabase &database() { return m_db; }
    // The engine behind this connection; its SQL goes through dialect::translate().
    dialect::Engine engine() const { return m_engine; }

    // The error to throw for a failed step: a busy or locked store (another desk's write
    // outlasted the wait) becomes one plain message; anything else keeps the store's text.
    static DbError storeError(int nativeCode, const QString &text);
    static DbError busyError();

    // The open database file's bytes, in order, handed to `sink` in chunks (false from the sink
    // stops). They are read through the store's own handle, so its locks hold throughout; call
    // inside a Transaction and no other desk can commit while they are read. Throws DbError.
    void readFileBytes(const std::function<bool(const char *data, qint64 size)> &sink);
    // A full consistency check of a closed database file (a copy); empty when it is sound,
    // otherwise what is wrong.
    static QString checkFile(const QString &path);

private:
    friend class Statement;
    // Runs one statement with bound values through Qt SQL (the server's driver).
    QSqlQuery run(const QString &sql, const QVariantList &params, bool forwardOnly);
    // Counts a statement for the test switches; throws DbError where one is set to fail.
    void countStatement();
    void addMissingIndexes();

    QString m_name;
    QSqlDatabase m_db;
    bool m_inTransaction = false;
    std::set<Statement *> m_statements; // on the file store, finished before it closes
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

// Test-only switches that make the Nth statement, or the next commit, fail.
namespace faults {
void reset();
void failStatement(int n); // 1-based count of statements since reset(); 0 turns it off
void failCommit(bool on);
int statementsRun();
int commitsRun();
// How long a desk waits for another desk's write (0: the program's own wait); for new connections.
void setBusyWait(int ms);
// Called with 0 once a connection has opened, and with the statement's number just before each
// counted statement runs (another desk can act there); empty turns it off.
void beforeEachStep(std::function<void(int)> hook);
} // namespace faults
