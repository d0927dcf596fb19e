#pragma once

#include "hotel/outcome.h"
#include "hotel/session.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <optional>

// The business of a date range at a glance: takings, occupancy and the price of a night, day by
// day or month by month, counted by the store. Asks for the statistics right.
namespace hotel {

// One day, or the days of one month that lie in the range.
struct FigurePeriod {
    QDate first;
    int days = 0;
    int stays = 0;           // completed stays checked in during the period
    double revenue = 0;      // their 实际金额
    qint64 nightsBilled = 0; // their 实际入住天数
    qint64 roomNights = 0;   // rooms occupied, night by night, by any stay
};

struct BusinessFigures {
    enum class Step { Day, Month };

    int rooms = 0; // the rooms the house has now
    QList<FigurePeriod> periods;
    // The whole range: stays and revenue as statistics by date counts and adds them up, so they
    // include the stays whose check-in time cannot be read (which no period holds).
    int stays = 0;
    double revenue = 0;
    qint64 nightsBilled = 0;
    qint64 roomNights = 0;
    int days = 0;
};

// Occupied room-nights against the rooms available those nights; none without rooms or days.
std::optional<double> occupancy(qint64 roomNights, int rooms, int days);
// What a billed night brought in on average; none without nights.
std::optional<double> averagePrice(double revenue, qint64 nightsBilled);

// The longest range, in days, the figures are counted for: ten years.
inline constexpr int MaxFigureDays = 3660;

// The figures from `start` to `end` (to the second for the stays checked in; whole days for the
// nights). A night counts for a stay from its check-in day up to the day before its check-out,
// and at least its check-in day; a guest still in the house occupies every night up to tonight.
// BadValue when the range spans more than MaxFigureDays days.
Result<BusinessFigures> businessFigures(Session *s, const QDateTime &start, const QDateTime &end,
                                        BusinessFigures::Step step);

} // namespace hotel
