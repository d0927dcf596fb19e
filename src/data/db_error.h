#pragma once

#include <QString>
#include <exception>

// Why a store step failed, as far as the store tells it.
enum class StoreCause {
    Other,
    DiskFull,
    ReadOnly,
    Unreadable,     // file missing, damaged, or the wrong database password
    Unreachable,    // server not reached
    AccountRefused, // server refused the account
    NoHouse,        // no house on the server
    Permission,
    ConnectionLost,
};

// A failed database or file step. Its text is either the program's own sentence for the
// operator, or (fromDriver()) the driver's words, which are worded for the clerk elsewhere.
class DbError : public std::exception
{
public:
    // Busy is no fault of the store: another desk's write outlasted the wait, and the operator
    // is only told to try again.
    enum class Cause { Failure, Busy };

    explicit DbError(QString text, Cause cause = Cause::Failure) : m_text(std::move(text)), m_cause(cause) {}
    // The driver's own text for a failure of the given kind.
    static DbError driver(StoreCause store, QString text)
    {
        DbError e(std::move(text));
        e.m_store = store;
        e.m_fromDriver = true;
        return e;
    }
    const QString &text() const { return m_text; }
    Cause cause() const { return m_cause; }
    StoreCause store() const { return m_store; }
    bool fromDriver() const { return m_fromDriver; }
    const char *what() const noexcept override { return "database error"; }

private:
    QString m_text;
    Cause m_cause;
    StoreCause m_store = StoreCause::Other;
    bool m_fromDriver = false;
};
