#pragma once

#include <QString>
#include <exception>

// Why a store step failed, as far as the store tells it.
enum class StoreCause {
    Other,
    DiskFull,
    ReadOnly,
    NeedsWrite, // a file that can only be read once an interrupted write is undone
    FileMissing,
    Unreadable,         // file damaged, not a house, or the wrong database password
    Unreachable,        // server not reached
    AccountRefused,     // server refused the account
    SslRefused,         // one side requires an encrypted connection the other does not offer
    CertificateRefused, // the server's certificate not verified: another name, or no CA to check it by
    NoHouse,            // no house on the server
    Permission,
    ConnectionLost,
    TimedOut, // the server cancelled a statement that ran past its limit
    // quillon.ini refused: text libpq cannot read, a ";", or a password written into it
    SettingsUnreadable,
    SettingsSemicolon,
    SettingsPassword,
    NoServerDriver, // quillon.ini names a server, but this build keeps its house in the file only
    NewerHouse,     // the house was made or upgraded by a later program than this one
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
    // The settings refused at line `line` of quillon.ini (0: not known); worded for the clerk
    // elsewhere, never with the settings' own text. `text` is for the command-line tools.
    static DbError settings(StoreCause store, int line, QString text)
    {
        DbError e(std::move(text));
        e.m_store = store;
        e.m_fromDriver = true;
        e.m_line = line;
        return e;
    }
    // Busy because another desk's change committed first (a serialization failure, a deadlock):
    // nothing of this transaction stands, and run again it starts from that desk's change.
    static DbError conflict(QString text)
    {
        DbError e(std::move(text), Cause::Busy);
        e.m_conflict = true;
        return e;
    }
    const QString &text() const { return m_text; }
    Cause cause() const { return m_cause; }
    bool isConflict() const { return m_conflict; }
    StoreCause store() const { return m_store; }
    bool fromDriver() const { return m_fromDriver; }
    int line() const { return m_line; }
    const char *what() const noexcept override { return "database error"; }

private:
    QString m_text;
    Cause m_cause;
    StoreCause m_store = StoreCause::Other;
    bool m_fromDriver = false;
    bool m_conflict = false;
    int m_line = 0;
};
