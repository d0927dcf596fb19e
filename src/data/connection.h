#pragma once

#include "data/dialect.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

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

    // Runs one statement with bound values; the record-set layer builds on this.
    QSqlQuery run(const QString &sql, const QVariantList &params = {}, bool forwardOnly = true);

    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    QSqlDatabase &database() { return m_db; }
    // The engine behind this connection; its SQL goes through dialect::translate().
    dialect::Engine engine() const { return m_engine; }

private:
    // Counts a statement for the test switches; throws DbError where one is set to fail.
    void countStatement();

    QString m_name;
    QSqlDatabase m_db;
    bool m_inTransaction = false;
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

// The program's SQL in the words of the file store (SQLite).
QString toStoreDialect(const QString &sql);

// Test-only switches that make the Nth statement, or the next commit, fail.
namespace faults {
void reset();
void failStatement(int n); // 1-based count of statements since reset(); 0 turns it off
void failCommit(bool on);
int statementsRun();
int commitsRun();
} // namespace faults
