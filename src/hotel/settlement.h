#pragma once

#include "hotel/outcome.h"
#include "hotel/records.h"

#include <QDate>
#include <optional>

// The check-out arithmetic: calendar days, the amount at the standard price and the balance
// against the prepayment, all in 16-bit integers as the stored columns are.
namespace hotel {

struct SettlementInput {
    std::optional<QDate> checkIn; // nullopt where the box holds no date
    std::optional<QDate> checkOut;
    bool roomListed = false; // a room was fetched
    Number price;            // the room's standard price as stored
    Int16 prepayment;        // nullopt where the box holds no 16-bit number
};

struct Settlement {
    qint16 days = 0;
    qint16 amount = 0;
    qint16 due = 0;
    qint16 refund = 0;
};

// The settlement, or a BadValue refusal whose detail is the sentence the clerk reads.
Result<Settlement> settle(const SettlementInput &in);

} // namespace hotel
