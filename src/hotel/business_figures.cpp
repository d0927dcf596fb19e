#include "hotel/business_figures.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/statement.h"
#include "hotel/statistics.h"

#include <QHash>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace hotel {

namespace {

using Engine = dialect::Engine;

// The few words in which the two engines differ for dates.
struct DateWords {
    QString day;         // %1: a stored time's day, as a date
    QString nextDay;     // %1: the day after a day
    QString isDay;       // %1: a day that is a real date
    QString date;        // a bound "yyyy-MM-dd" as a date
    QString greatest;    // the larger of two values
    QString label;       // %1: a date as "yyyy-MM-dd" text
    QString period;      // %1: a stored time as "yyyy-MM-dd" text
    QString monthPeriod; // %1: a stored time as "yyyy-MM" text
    QString days;        // a table days(d) of every day from one bound date to another
};

DateWords wordsFor(Engine engine)
{
    if (engine == Engine::Postgres)
        return {
            u"%1::date"_s,
            u"(%1 + 1)"_s,
            u"%1 is not null"_s,
            u"?::date"_s,
            u"greatest"_s,
            u"to_char(%1, 'YYYY-MM-DD')"_s,
            u"to_char(%1, 'YYYY-MM-DD')"_s,
            u"to_char(%1, 'YYYY-MM')"_s,
            u"days(d) as (select g::date from generate_series(?::date, ?::date, interval '1 day') as g)"_s};
    // The file keeps "yyyy-MM-dd HH:mm:ss" text: its leading characters are the day and month.
    return {u"substr(%1, 1, 10)"_s,
            u"date(%1, '+1 day')"_s,
            u"date(%1) = %1"_s,
            u"?"_s,
            u"max"_s,
            u"%1"_s,
            u"substr(%1, 1, 10)"_s,
            u"substr(%1, 1, 7)"_s,
            u"days(d) as (select ? union all select date(d, '+1 day') from days where d < ?)"_s};
}

// Only a well-formed time is put on a day; the totals still count the others, as the statistics do.
QString readable(const QString &column)
{
    return u"datetime("_s + column + u", '+0 days') = "_s + column;
}

QString text(const QDate &d)
{
    return d.toString(u"yyyy-MM-dd"_s);
}

// Stays checked in per day or month: count, revenue, billed nights.
void readTakings(Connection &c, const DateWords &w, BusinessFigures::Step step, const QDateTime &start,
                 const QDateTime &end, QHash<QString, FigurePeriod> &byLabel)
{
    const QString checkIn = u"\"入住时间\""_s;
    const QString period = (step == BusinessFigures::Step::Day ? w.period : w.monthPeriod).arg(checkIn);
    Statement st(c,
                 u"select "_s + period +
                     u", count(*), sum(\"实际金额\"), sum(\"实际入住天数\") from \"旅客退房\" where "_s +
                     checkIn + u" between ? and ? and "_s + readable(checkIn) + u" group by 1"_s,
                 {conv::toStorage(start), conv::toStorage(end)});
    while (st.next()) {
        FigurePeriod &p = byLabel[st.text(0)];
        p.stays = int(st.integer(1));
        p.revenue = st.isNull(2) ? 0 : st.real(2);
        p.nightsBilled = st.isNull(3) ? 0 : st.integer(3);
    }
}

// Rooms occupied each night from `first` to `last`: a stay adds one from the first night it
// holds in the range and takes it off on its check-out day, and a running sum over the days
// counts the rooms. Only the stays that reach into the range are read, through the check-out
// index, and those with the same check-in and check-out days are taken together.
QList<qint64> readNights(Connection &c, Engine engine, const DateWords &w, const QDate &first,
                         const QDate &last)
{
    const QString in = u"\"入住时间\""_s;
    const QString out = u"\"退房时间\""_s;
    const QString spans = u"spans(a, b, n) as (select "_s + w.day.arg(in) + u", "_s + w.day.arg(out) +
                          u", count(*) from \"旅客退房\" where "_s + out + u" >= ? and "_s + in +
                          u" < ? group by 1, 2)"_s;
    QString nights = u"select "_s + w.greatest + u"(a, "_s + w.date + u"), "_s + w.greatest + u"(b, "_s +
                     w.nextDay.arg(u"a"_s) + u"), n from spans where "_s + w.isDay.arg(u"a"_s) + u" and "_s +
                     w.isDay.arg(u"b"_s);
    const QString afterLast = conv::toStorage(QDateTime(last.addDays(1), QTime(0, 0)));
    QVariantList params{text(first), text(last), conv::toStorage(QDateTime(first, QTime(0, 0))), afterLast,
                        text(first)};
    // A guest in the house holds every night up to tonight's.
    const QDate tomorrow = QDate::currentDate().addDays(1);
    if (tomorrow > first) {
        nights += u" union all select "_s + w.greatest + u"("_s + w.day.arg(in) + u", "_s + w.date +
                  u"), "_s + w.date + u", 1 from \"旅客入住\" where "_s + in + u" < ? and "_s + readable(in);
        params += {text(first), text(tomorrow),
                   conv::toStorage(QDateTime(std::min(last.addDays(1), tomorrow), QTime(0, 0)))};
    }
    const QString sql =
        (engine == Engine::Sqlite ? u"with recursive "_s : u"with "_s) + w.days + u", "_s + spans +
        u", nights(a, b, n) as ("_s + nights +
        u"), moves(d, n) as (select a, n from nights union all select b, -n from nights) "
        u"select "_s +
        w.label.arg(u"days.d"_s) +
        u", sum(coalesce(m.n, 0)) over (order by days.d) from days left join "
        u"(select d, sum(n) as n from moves group by d) as m on m.d = days.d order by days.d"_s;
    Statement st(c, sql, params);
    QList<qint64> rooms;
    while (st.next())
        rooms.append(st.integer(1));
    return rooms;
}

} // namespace

std::optional<double> occupancy(qint64 roomNights, int rooms, int days)
{
    if (rooms <= 0 || days <= 0)
        return std::nullopt;
    return double(roomNights) / (double(rooms) * days);
}

std::optional<double> averagePrice(double revenue, qint64 nightsBilled)
{
    if (nightsBilled <= 0)
        return std::nullopt;
    return revenue / double(nightsBilled);
}

Result<BusinessFigures> businessFigures(Session *s, const QDateTime &start, const QDateTime &end,
                                        BusinessFigures::Step step)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    const QDate first = start.date();
    const QDate last = end.date();
    const qint64 span = first.daysTo(last) + 1;
    if (span > MaxFigureDays)
        return Outcome::refused(Refusal::BadValue, QString::number(span));
    BusinessFigures f;
    const Outcome o = s->read(Right::Statistics, [&](Connection &c) {
        const DateWords w = wordsFor(c.engine());
        {
            Statement rooms(c, u"select count(*) from \"房间\""_s);
            f.rooms = rooms.next() ? int(rooms.integer(0)) : 0;
        }
        {
            // The same stays, counted and added up, as statistics by date lists.
            Statement totals(
                c,
                u"select count(*), sum(\"实际金额\"), sum(\"实际入住天数\") from \"旅客退房\" where "_s +
                    checkedInBetween(),
                {conv::toStorage(start), conv::toStorage(end)});
            if (totals.next()) {
                f.stays = int(totals.integer(0));
                f.revenue = totals.isNull(1) ? 0 : totals.real(1);
                f.nightsBilled = totals.isNull(2) ? 0 : totals.integer(2);
            }
        }
        if (span <= 0)
            return Outcome::done();
        QHash<QString, FigurePeriod> byLabel;
        readTakings(c, w, step, start, end, byLabel);
        const QList<qint64> nights = readNights(c, c.engine(), w, first, last);
        for (QDate d = first; d <= last; d = d.addDays(1)) {
            const bool opens = step == BusinessFigures::Step::Day || d == first || d.day() == 1;
            if (opens) {
                const QString label = step == BusinessFigures::Step::Day ? text(d) : d.toString(u"yyyy-MM"_s);
                FigurePeriod p = byLabel.value(label);
                p.first = d;
                f.periods.append(p);
            }
            FigurePeriod &p = f.periods.last();
            ++p.days;
            p.roomNights += nights.value(first.daysTo(d));
        }
        return Outcome::done();
    });
    if (!o.ok())
        return o;
    for (const FigurePeriod &p : std::as_const(f.periods)) {
        f.roomNights += p.roomNights;
        f.days += p.days;
    }
    return f;
}

} // namespace hotel
