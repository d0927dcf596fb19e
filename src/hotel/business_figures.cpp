#include "hotel/business_figures.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/schema.h"
#include "data/statement.h"
#include "hotel/statistics.h"

#include <QHash>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace hotel {

namespace {

using Engine = dialect::Engine;

// A stored time's day as "yyyy-MM-dd" text, in each engine's words; NULL or not a day where the
// time is unreadable.
QString dayOf(Engine engine, const QString &column)
{
    // The file keeps "yyyy-MM-dd HH:mm:ss" text: its leading characters are the day.
    return engine == Engine::Postgres ? u"to_char("_s + column + u", 'YYYY-MM-DD')"_s
                                      : u"substr("_s + column + u", 1, 10)"_s;
}

QString text(const QDate &d)
{
    return d.toString(u"yyyy-MM-dd"_s);
}

// A "yyyy-MM-dd" day; invalid for anything else. Read by hand: there is one per group of stays.
QDate day(const QString &text)
{
    if (text.size() != 10 || text.at(4) != u'-' || text.at(7) != u'-')
        return {};
    for (const int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return {};
    }
    const auto number = [&text](int at, int size) { return QStringView(text).mid(at, size).toInt(); };
    return QDate(number(0, 4), number(5, 2), number(8, 2));
}

// Completed stays of the same days, as the store groups them.
struct StayGroup {
    bool checkedIn;  // checked in within the range, to the second
    QString in, out; // the days of check-in and check-out
    bool unreadable; // the check-in time cannot be read
    qint64 count;
    double revenue;
    qint64 nightsBilled;
    qint64 reaching; // how many of them have nights in the range's days
};

// Every completed stay the figures need, read once and grouped by its days in the store: those
// checked in within the range (through the check-in index), those before or after it whose
// nights reach into its days (through the check-out index), and those whose check-in time cannot
// be read, which the totals count whatever the range (through their own index).
QList<StayGroup> readStays(Connection &c, const QDateTime &start, const QDateTime &end, const QDate &first,
                           const QDate &last)
{
    const Engine engine = c.engine();
    const QString in = u"\"入住时间\""_s, out = u"\"退房时间\""_s, stays = u"\"旅客退房\""_s;
    const QString days = dayOf(engine, in) + u", "_s + dayOf(engine, out);
    const QString sums = u"count(*), sum(\"实际金额\"), sum(\"实际入住天数\")"_s;
    const QString inRange = in + u" between ? and ?"_s;
    // On the file the check-in index would have it read every earlier stay's row; the check-out
    // index holds both times.
    const QString others = out + u" >= ? and "_s + (engine == Engine::Sqlite ? u"+"_s : QString()) + in +
                           u" < ? and not coalesce("_s + inRange + u", false)"_s;
    const QString unreadable = u"\"退房ID\" in (select \"退房ID\" from "_s + stays + u" where "_s +
                               schema::unreadableTime(in) + u")"_s;
    const QString sql = u"select 1, "_s + days + u", case when "_s + unreadable + u" then 1 else 0 end, "_s +
                        sums + u", count(case when "_s + out + u" >= ? then 1 end) from "_s + stays +
                        u" where "_s + inRange + u" group by 2, 3, 4 union all select 0, "_s + days +
                        u", 0, count(*), 0, 0, count(*) from "_s + stays + u" where "_s + others +
                        u" group by 2, 3 union all select 0, "_s + days + u", 1, "_s + sums + u", 0 from "_s +
                        stays + u" where "_s + unreadable + u" and not coalesce("_s + inRange +
                        u", false) group by 2, 3"_s;
    const QString from = conv::toStorage(start), to = conv::toStorage(end);
    const QString firstNight = conv::toStorage(QDateTime(first, QTime(0, 0)));
    const QString afterLast = conv::toStorage(QDateTime(last.addDays(1), QTime(0, 0)));
    Statement st(c, sql, {firstNight, from, to, firstNight, afterLast, from, to, from, to});
    QList<StayGroup> groups;
    while (st.next())
        groups.append({st.integer(0) != 0, st.text(1), st.text(2), st.integer(3) != 0, st.integer(4),
                       st.isNull(5) ? 0 : st.real(5), st.isNull(6) ? 0 : st.integer(6), st.integer(7)});
    return groups;
}

// The days on which guests still in the house checked in (a readable time before `before`).
QList<QDate> guestsInHouse(Connection &c, const QDateTime &before)
{
    const QString in = u"\"入住时间\""_s;
    Statement st(c,
                 u"select "_s + dayOf(c.engine(), in) + u" from \"旅客入住\" where "_s + in +
                     u" < ? and not ("_s + schema::unreadableTime(in) + u")"_s,
                 {conv::toStorage(before)});
    QList<QDate> days;
    while (st.next())
        days.append(day(st.text(0)));
    return days;
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
        {
            Statement rooms(c, u"select count(*) from \"房间\""_s);
            f.rooms = rooms.next() ? int(rooms.integer(0)) : 0;
        }
        const QList<StayGroup> groups = readStays(c, start, end, first, last);
        // Rooms taken each night: a stay adds its rooms from the first night it holds in the range
        // and takes them off on its check-out day; a running sum over the days counts them.
        std::vector<qint64> moves(size_t(std::max<qint64>(span, 0)) + 1, 0);
        auto move = [&](const QDate &d, qint64 n) {
            if (const qint64 at = first.daysTo(d); at >= 0 && at <= span)
                moves[size_t(at)] += n;
        };
        QHash<QString, FigurePeriod> byLabel;
        const bool byDay = step == BusinessFigures::Step::Day;
        for (const StayGroup &g : groups) {
            // The same stays, counted and added up, as statistics by date lists.
            if (g.checkedIn || g.unreadable) {
                f.stays += int(g.count);
                f.revenue += g.revenue;
                f.nightsBilled += g.nightsBilled;
            }
            // Only a well-formed time is put on a day.
            if (g.checkedIn && !g.unreadable) {
                FigurePeriod &p = byLabel[byDay ? g.in : g.in.left(7)];
                p.stays += int(g.count);
                p.revenue += g.revenue;
                p.nightsBilled += g.nightsBilled;
            }
            const QDate in = day(g.in), out = day(g.out);
            if (g.reaching > 0 && in.isValid() && out.isValid()) {
                move(std::max(in, first), g.reaching);
                move(std::max(out, in.addDays(1)), -g.reaching);
            }
        }
        if (span <= 0)
            return Outcome::done();
        // A guest in the house holds every night up to tonight's.
        const QDate tomorrow = QDate::currentDate().addDays(1);
        if (tomorrow > first) {
            for (const QDate &d :
                 guestsInHouse(c, QDateTime(std::min(last.addDays(1), tomorrow), QTime(0, 0)))) {
                move(std::max(d, first), 1);
                move(tomorrow, -1);
            }
        }
        qint64 taken = 0;
        for (QDate d = first; d <= last; d = d.addDays(1)) {
            taken += moves[size_t(first.daysTo(d))];
            const bool opens = byDay || d == first || d.day() == 1;
            if (opens) {
                FigurePeriod p = byLabel.value(byDay ? text(d) : d.toString(u"yyyy-MM"_s));
                p.first = d;
                f.periods.append(p);
            }
            FigurePeriod &p = f.periods.last();
            ++p.days;
            p.roomNights += taken;
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
