#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantList>
#include <optional>

// The house's records, typed, named once from the tables' columns. A record read from a list is
// what the clerk was shown; an operation compares it with the store's row as typed values to
// find another desk's change.
namespace hotel {

using Int16 = std::optional<qint16>;
using Number = std::optional<double>;
// A stored time; nullopt for NULL or text that reads as no time.
using Time = std::optional<QDateTime>;

struct Floor {
    qint64 key = 0;
    QString name;
    bool operator==(const Floor &) const = default;
};

enum RoomStatus : qint16 { Free = 1, Occupied = 2, Reserved = 3 };

struct Room {
    qint64 key = 0;
    QString number;
    QString name;
    QString type;
    QString floor;
    Number price;
    Number memberPrice;
    Int16 status;
    bool operator==(const Room &) const = default;
};

// A guest's particulars: a stay (旅客入住) or a reservation (旅客预订), which have the same columns.
struct Stay {
    qint64 key = 0;
    QString guest;
    QString unit;
    QString idType;
    QString idNumber;
    Time checkIn;
    Int16 plannedDays;
    Int16 persons;
    Int16 room; // the room's key
    Int16 prepayment;
    QString remarks;
    bool operator==(const Stay &) const = default;
};
using Reservation = Stay;

struct CompletedStay {
    qint64 key = 0;
    QString guest;
    QString unit;
    QString idType;
    QString idNumber;
    Time checkIn;
    Int16 plannedDays;
    Int16 persons;
    Int16 room;
    Int16 prepayment;
    Time checkOut;
    Int16 days;
    Int16 amount;
    Int16 due;
    Int16 refund;
    QString remarks;
    bool operator==(const CompletedStay &) const = default;
};

// A takings (交款) or disbursement (拔款) entry.
struct LedgerEntry {
    qint64 key = 0;
    Time time;
    Number amount;
    QString person;
    bool operator==(const LedgerEntry &) const = default;
};

struct Operator {
    qint64 key = 0;
    QString name;
    QString password;
    QString rights;
    bool operator==(const Operator &) const = default;
};

struct Company {
    qint64 key = 0;
    QString name;
    QString representative;
    QString phone;
    QString fax;
    QString email;
    QString address;
    QString postcode;
    QString profile;
    bool operator==(const Company &) const = default;
};

// A record from its row as stored (every column by ordinal, key first), and back: the values
// to store for columns 1 onwards.
template <class R> R fromRow(const QVariantList &row);
template <class R> QVariantList toRow(const R &record);

// The table a record lives in, where only one does.
template <class R> const QString &tableOf();

// Box text as a column's value. The first text that is none is kept with the store's words for
// it, so a window refuses with the same message the store always gave.
class BoxReader
{
public:
    Int16 int16(const QString &text);
    Number number(const QString &text);
    Time time(const QString &text);
    Time time(const QDateTime &value);
    bool ok() const { return m_refusal.isEmpty(); }
    const QString &refusal() const { return m_refusal; }

private:
    QString m_refusal;
};

} // namespace hotel
