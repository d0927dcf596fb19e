#pragma once

#include "hotel/listing.h"
#include "hotel/records.h"

#include <QString>
#include <optional>

class Connection;

// The record of who did what (操作记录): every write a desk makes adds one row to it, in the
// same transaction, so a write and its row are stored or lost together.
namespace hotel {

class Session;

enum class Deed {
    CheckIn,
    Reserve,
    CorrectStay,
    CorrectReservation,
    DeleteStay,
    CancelReservation,
    Arrive,
    CheckOut,
    Add,     // a row of the named table
    Rewrite, // a row of the named table
    Delete,  // a row of the named table
    Backup,
    DataInit,
    Restore,
    ImportOld, // an old desk program's house brought across; its report stands as the table
};

// What the record says was done, in the operator's words.
QString deedName(Deed deed, const QString &table);

// The money a record carries, if any.
inline Number moneyOf(const Stay &r)
{
    return r.prepayment ? Number(*r.prepayment) : std::nullopt;
}
inline Number moneyOf(const CompletedStay &r)
{
    return r.amount ? Number(*r.amount) : std::nullopt;
}
inline Number moneyOf(const LedgerEntry &r)
{
    return r.amount;
}
inline Number moneyOf(const Room &r)
{
    return r.price;
}
template <class R> Number moneyOf(const R &)
{
    return std::nullopt;
}

struct Money {
    Number before;
    Number after;
};

// Adds the row: the store's clock, the session's operator, this desk's host name. A house whose
// record is missing (an older house on a server, until its owner upgrades it) is written
// without it.
void note(Connection &c, const Session &s, Deed deed, const QString &table, std::optional<qint64> key,
          Money money = {});

// The record as the maintenance window lists it, newest first: rows from `from` to `to`, of one
// operator and one kind when given (empty: any), with the money before and after added up.
struct RecordFilter {
    QDateTime from;
    QDateTime to;
    QString operatorName;
    QString deed;
};
Result<ListingPtr> listRecord(Session *s, const RecordFilter &filter);
// The operators and the kinds the record holds, for the window's choices.
struct RecordChoices {
    QStringList operators;
    QStringList deeds;
};
Result<RecordChoices> recordChoices(Session *s);
QStringList recordSums();

} // namespace hotel
