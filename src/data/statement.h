#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <optional>

class Connection;
namespace store {
class Query;
}

// One prepared statement with its values bound, run at once and finished when it goes out of
// scope. Columns are read by ordinal in the kind the caller expects, on either store: on the file
// a list reads each value once, straight into its kind.
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
    std::unique_ptr<store::Query> m_query; // null once finished early
    enum class State { RowWaiting, OnRow, Done };
    State m_state = State::Done; // RowWaiting: the first row, reached when the statement ran
    int m_changes = 0;
    int m_columns = 0;
};
