#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The check-out arithmetic: calendar days, the amount at the standard price and the balance
// against the prepayment, all in 16-bit integers as the stored columns are.
namespace settlement {

// What the window read from its boxes; nullopt where a box holds no date or no 16-bit number.
struct Input {
    std::optional<QDate> checkIn;
    std::optional<QDate> checkOut;
    bool roomListed = false; // the room grid has a data row
    std::optional<qint16> price;
    std::optional<qint16> prepayment;
};

struct Result {
    qint16 days = 0;
    qint16 amount = 0;
    qint16 due = 0;
    qint16 refund = 0;
};

// A settlement, or (in `refusal`) why the input gives none.
struct Outcome {
    std::optional<Result> result;
    QString refusal;
};

Outcome settle(const Input &in);

} // namespace settlement
