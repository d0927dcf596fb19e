#pragma once

#include <QDateTime>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <optional>

class Connection;
struct sqlite3_stmt;

// One prepared statement with its values bound, run at once and finished when it goes out of
// scope. Columns are read by ordinal in the kind the caller expects. On the file store it is
// SQLite's own statement, so a list reads each value once, straight into its kind; on a server
// it goes through Qt SQL's driver.
class Statement
{
public:
    // Prepares `sql` in the engine's words, binds `params` in order and runs it; throws DbError.
    Statement(Connection &connection, const QString &sql, const QVariantList &params = {});
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // The next row; false at the end. Throws DbError when the store fails mid-read.
    bool next();
    int columnCount() const;

    bool isNull(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    QString text(int column) const;
    // Date-times are kept as "yyyy-MM-dd HH:mm:ss" text; nullopt for NULL or text that is none.
    std::optional<QDateTime> dateTime(int column) const;
    // The value as the engine gave it; NULL as an invalid QVariant.
    QVariant value(int column) const;

    QStringList columnNames() const;
    int rowsAffected() const;
    qint64 lastInsertId() const;

private:
    friend class Connection;
    // Finishes the statement early: its connection is closing.
    void release();
    bool onRow(int column) const;

    Connection &m_connection;
    sqlite3_stmt *m_native = nullptr; // the file store
    std::optional<QSqlQuery> m_query; // a server
    enum class State { RowWaiting, OnRow, Done };
    State m_state = State::Done; // RowWaiting: the first row, reached when the statement ran
    int m_changes = 0;
    qint64 m_lastId = -1;
};

// The bytes of the file behind an open SQLite connection, in order, handed to `sink` in chunks
// (false from the sink stops). Read through SQLite's own file handle, so its locks hold
// throughout; a second handle on the file would drop them when closed. Throws DbError.
void readStoreFile(QSqlDatabase &db, const std::function<bool(const char *data, qint64 size)> &sink);
