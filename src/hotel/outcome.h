#pragma once

#include "data/db_error.h"

#include <QString>

// What an operation did, from a closed set: done; refused for a reason the window words; the
// store busy with another desk's write; or the store failed, with its cause.
namespace hotel {

enum class Refusal {
    None,
    NoRight,       // the operator lacks the right of the menu group
    NothingChosen, // no record chosen in the list
    NotFound,      // what was asked for is not there
    RoomNotFree,   // another desk took the room first
    NotReserved,   // the room is no longer reserved
    NoStay,        // an occupied room without its stay rows
    Gone,          // deleted at another desk since it was shown
    Changed,       // changed at another desk since it was shown
    BadValue,      // a box holds no value its column takes; detail() says which, as the store did
    // A file offered to restore the house from, refused before anything changed:
    NoSuchFile,    // not there
    IsTheHouse,    // the database file itself
    NotADatabase,  // no database at all
    Damaged,       // fails the integrity check; detail() says what it found
    NotAHouse,     // a database, but not a house
    WrongPassword, // a house kept under another database password
    NewerHouse,    // a house a later program wrote
    // An Access house not brought across; detail() says why, in the operator's words:
    NotBroughtAcross,
    Cancelled, // the operator stopped the work; nothing changed
};

class Outcome
{
public:
    enum class Kind { Done, Refused, Busy, Failed };

    static Outcome done() { return {}; }
    static Outcome refused(Refusal why, QString detail = {});
    static Outcome busy();
    static Outcome failed(StoreCause cause, QString detail);
    // A failed store step as an outcome: busy, a conflict with another desk, or a failure.
    static Outcome of(const DbError &error);

    Kind kind() const { return m_kind; }
    bool ok() const { return m_kind == Kind::Done; }
    bool isRefused(Refusal why) const { return m_kind == Kind::Refused && m_refusal == why; }
    Refusal refusal() const { return m_refusal; }
    StoreCause cause() const { return m_cause; }
    // The store's or the check's own words: the value refused, or the driver's text.
    const QString &detail() const { return m_detail; }

    // The sentence a clerk reads for a busy store, a store failure, a missing right or another
    // desk's change; the window words the other refusals itself.
    QString message() const;

private:
    Kind m_kind = Kind::Done;
    Refusal m_refusal = Refusal::None;
    StoreCause m_cause = StoreCause::Other;
    QString m_detail;
    bool m_fromDriver = false;
    int m_line = 0; // of the settings refused
};

// An outcome that carries a value when done.
template <class T> class Result : public Outcome
{
public:
    Result(Outcome o = {}) : Outcome(std::move(o)) {}
    Result(T value) : m_value(std::move(value)) {}
    const T &value() const { return m_value; }
    T &value() { return m_value; }
    const T *operator->() const { return &m_value; }

private:
    T m_value{};
};

QString noRightMessage();
QString goneMessage();
QString changedMessage();
QString busyMessage();
// Why a file was not restored, and that nothing changed; `detail`: what the check found.
QString restoreRefusal(Refusal why, const QString &detail = {});
// The sentence for a store failure of this cause; `line`: of the settings refused.
QString causeSentence(StoreCause cause, int line = 0);
// What a desk is told once when its house lacks what only the house's owner may add.
QString upgradeSentence();

} // namespace hotel
