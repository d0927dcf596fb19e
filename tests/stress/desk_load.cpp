#include "desk_load.h"

#include "data/schema.h"
#include "direct_db.h"
#include "hotel/deeds.h"
#include "hotel_file.h"

#include <QFile>
#include <QHash>
#include <QMap>
#include <QTextStream>
#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace desks {

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::CheckIn:
        return u"check-in"_s;
    case Kind::Reserve:
        return u"reserve"_s;
    case Kind::Arrive:
        return u"arrive"_s;
    case Kind::CheckOut:
        return u"check-out"_s;
    case Kind::Takings:
        return u"takings"_s;
    case Kind::Disbursement:
        return u"disbursement"_s;
    case Kind::HistoryOpen:
        return u"history-open"_s;
    case Kind::HistorySearch:
        return u"history-search"_s;
    }
    return {};
}

QString deedOf(Kind kind)
{
    using hotel::Deed;
    switch (kind) {
    case Kind::CheckIn:
        return hotel::deedName(Deed::CheckIn, {});
    case Kind::Reserve:
        return hotel::deedName(Deed::Reserve, {});
    case Kind::Arrive:
        return hotel::deedName(Deed::Arrive, {});
    case Kind::CheckOut:
        return hotel::deedName(Deed::CheckOut, {});
    case Kind::Takings:
        return hotel::deedName(Deed::Add, schema::Takings);
    case Kind::Disbursement:
        return hotel::deedName(Deed::Add, schema::Disbursements);
    case Kind::HistoryOpen:
    case Kind::HistorySearch:
        break;
    }
    return {};
}

namespace {

const QStringList toldNames{u"done"_s, u"refused"_s, u"busy"_s, u"failed"_s, u"nothing"_s};

// Tabs and line ends never occur in what the desks type, but a failure's text may hold them.
QString flat(QString text)
{
    return text.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
}

} // namespace

QString toLine(const Event &e)
{
    return QStringList{kindName(e.kind), toldNames.at(int(e.told)), QString::number(e.micros),
                       flat(e.subject),  QString::number(e.key),    QString::number(e.amount),
                       flat(e.detail)}
        .join(u'\t');
}

std::optional<Event> fromLine(const QString &line)
{
    const QStringList f = line.split(u'\t');
    if (f.size() != 7)
        return std::nullopt;
    Event e;
    const auto kind =
        std::find_if(std::begin(AllKinds), std::end(AllKinds), [&](Kind k) { return kindName(k) == f[0]; });
    const qsizetype told = toldNames.indexOf(f[1]);
    bool numbers[3] = {};
    e.micros = f[2].toLongLong(&numbers[0]);
    e.key = f[4].toLongLong(&numbers[1]);
    e.amount = f[5].toInt(&numbers[2]);
    if (kind == std::end(AllKinds) || told < 0 || !numbers[0] || !numbers[1] || !numbers[2])
        return std::nullopt;
    e.kind = *kind;
    e.told = Told(told);
    e.subject = f[3];
    e.detail = f[6];
    return e;
}

DeskLog readLog(const QString &path)
{
    DeskLog log;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return log;
    QTextStream in(&file);
    QString line;
    while (in.readLineInto(&line)) {
        if (line.startsWith(u"desk "_s))
            log.operatorName = line.mid(5);
        else if (line == u"end"_s)
            log.complete = true;
        else if (const auto e = fromLine(line))
            log.events.append(*e);
    }
    return log;
}

bool writeLog(const QString &path, const DeskLog &log)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "desk " << log.operatorName << '\n';
    for (const Event &e : log.events)
        out << toLine(e) << '\n';
    out << "end\n";
    out.flush();
    return out.status() == QTextStream::Ok && file.flush();
}

namespace {

// Where a guest should be, from the successes the desks were told of alone.
struct Fate {
    QString entered; // the desk told the stay or reservation was entered
    qint64 stayKey = -1;
    qint64 reservationKey = -1;
    int arrived = 0;
    int checkedOut = 0;
    int amount = 0;
};

QString keys(QList<qint64> list)
{
    std::sort(list.begin(), list.end());
    QStringList out;
    for (qint64 k : list)
        out << QString::number(k);
    return u"["_s + out.join(u","_s) + u"]"_s;
}

void compareGuests(const DirectDb &db, const QList<DeskLog> &logs, QStringList &problems)
{
    QMap<QString, Fate> fates;
    qint64 charged = 0;
    for (const DeskLog &log : logs) {
        for (const Event &e : log.events) {
            if (e.told != Told::Done || e.subject.isEmpty())
                continue;
            Fate &f = fates[e.subject];
            switch (e.kind) {
            case Kind::CheckIn:
                f.entered = log.operatorName;
                f.stayKey = e.key;
                break;
            case Kind::Reserve:
                f.entered = log.operatorName;
                f.reservationKey = e.key;
                break;
            case Kind::Arrive:
                ++f.arrived;
                break;
            case Kind::CheckOut:
                ++f.checkedOut;
                f.amount = e.amount;
                charged += e.amount;
                break;
            default:
                break;
            }
        }
    }
    // The ledgers are guests of another kind: their persons are as unique as the guests' names.
    QString error;
    const auto rows = [&](const QString &sql) {
        QMap<QString, QList<qint64>> out;
        for (const QStringList &r : db.rows(sql, {}, &error))
            out[r[0]].append(r[1].toLongLong());
        return out;
    };
    const auto stays = rows(u"select 旅客姓名, 入住ID from 旅客入住"_s);
    const auto reservations = rows(u"select 旅客姓名, 预订ID from 旅客预订"_s);
    const auto completed = rows(u"select 旅客姓名, 实际金额 from 旅客退房"_s);
    if (!error.isEmpty()) {
        problems << u"cannot read the stays: "_s + error;
        return;
    }
    QStringList guests = fates.keys();
    for (const auto *table : {&stays, &reservations, &completed})
        guests += table->keys();
    guests.removeDuplicates();
    for (const QString &g : std::as_const(guests)) {
        const Fate f = fates.value(g);
        const bool entered = f.stayKey >= 0 || f.reservationKey >= 0;
        if ((f.arrived || f.checkedOut) && !entered)
            problems << g + u": arrived or checked out, but no desk was told it was entered"_s;
        if (f.arrived > 1 || f.checkedOut > 1 || (f.arrived && f.stayKey >= 0))
            problems << g + u": %1 arrivals and %2 check-outs told done"_s.arg(f.arrived).arg(f.checkedOut);
        // Where the successes put the guest, and with which key where the desk was told one.
        QList<qint64> wantStay, wantReservation, wantCompleted;
        if (f.checkedOut)
            wantCompleted = {f.amount};
        else if (f.arrived)
            wantStay = stays.value(g).size() == 1 ? stays.value(g) : QList<qint64>{-1};
        else if (f.stayKey >= 0)
            wantStay = {f.stayKey};
        else if (f.reservationKey >= 0)
            wantReservation = {f.reservationKey};
        const auto check = [&](const QString &table, const QList<qint64> &want, const QList<qint64> &have) {
            QList<qint64> a = want, b = have;
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            if (a != b)
                problems << u"%1 in %2: %3 stored, %4 told%5"_s.arg(
                    g, table, keys(b), keys(a),
                    entered ? QString() : u" (no desk was told it was entered)"_s);
        };
        check(u"旅客入住"_s, wantStay, stays.value(g));
        check(u"旅客预订"_s, wantReservation, reservations.value(g));
        check(u"旅客退房 (amount)"_s, wantCompleted, completed.value(g));
    }
    const auto revenue = db.rows(u"select coalesce(sum(实际金额), 0) from 旅客退房"_s, {}, &error);
    if (revenue.isEmpty() || revenue[0][0].toLongLong() != charged)
        problems << u"revenue %1 stored, %2 charged by the check-outs"_s.arg(
            revenue.isEmpty() ? error : revenue[0][0], QString::number(charged));
}

void compareLedgers(const DirectDb &db, const QList<DeskLog> &logs, QStringList &problems)
{
    for (const auto &[kind, table, person] : {std::tuple{Kind::Takings, u"交款"_s, u"交款人"_s},
                                              std::tuple{Kind::Disbursement, u"拔款"_s, u"拔款人"_s}}) {
        QHash<QString, int> want;
        for (const DeskLog &log : logs) {
            for (const Event &e : log.events) {
                if (e.kind == kind)
                    want[e.subject] += e.told == Told::Done ? 1 : 0;
            }
        }
        QString error;
        QHash<QString, int> have;
        for (const QStringList &r :
             db.rows(u"select %1, count(*) from %2 group by %1"_s.arg(person, table), {}, &error))
            have[r[0]] = r[1].toInt();
        if (!error.isEmpty())
            problems << table + u": "_s + error;
        for (auto i = have.cbegin(); i != have.cend(); ++i) {
            if (want.value(i.key()) != i.value())
                problems << u"%1 of %2: %3 stored, %4 told done"_s.arg(table, i.key())
                                .arg(i.value())
                                .arg(want.value(i.key()));
        }
        for (auto i = want.cbegin(); i != want.cend(); ++i) {
            if (i.value() && !have.contains(i.key()))
                problems << u"%1 of %2: lost, %3 told done"_s.arg(table, i.key()).arg(i.value());
        }
    }
}

void compareRecord(const DirectDb &db, const QList<DeskLog> &logs, QStringList &problems)
{
    QString error;
    QMap<std::pair<QString, QString>, QList<qint64>> have;
    for (const QStringList &r :
         db.rows(u"select 操作员, 操作, coalesce(cast(记录号 as integer), -1) from 操作记录"_s, {}, &error))
        have[{r[0], r[1]}].append(r[2].toLongLong());
    if (!error.isEmpty())
        problems << u"操作记录: "_s + error;
    for (const DeskLog &log : logs) {
        QMap<QString, QList<qint64>> want;
        for (const Event &e : log.events) {
            if (e.told == Told::Done && !deedOf(e.kind).isEmpty())
                want[deedOf(e.kind)].append(e.key);
        }
        for (const Kind kind : AllKinds) {
            const QString deed = deedOf(kind);
            if (deed.isEmpty())
                continue;
            const QList<qint64> stored = have.value({log.operatorName, deed});
            const QList<qint64> told = want.value(deed);
            // Where the desk was told the new key, the record names that very row.
            const bool keyed = kind == Kind::CheckIn || kind == Kind::Reserve;
            if (stored.size() != told.size() || (keyed && keys(stored) != keys(told)))
                problems << u"操作记录 %1 %2: %3 rows for %4 successes%5"_s.arg(log.operatorName, deed)
                                .arg(stored.size())
                                .arg(told.size())
                                .arg(keyed
                                         ? u" (keys "_s + keys(stored) + u" against "_s + keys(told) + u")"_s
                                         : QString());
        }
        for (auto i = have.cbegin(); i != have.cend(); ++i) {
            if (i.key().first == log.operatorName && !want.contains(i.key().second))
                problems << u"操作记录 %1 %2: %3 rows, no such success"_s
                                .arg(log.operatorName, i.key().second)
                                .arg(i.value().size());
        }
    }
}

} // namespace

QStringList houseProblems(const QString &housePath, const QList<DeskLog> &logs)
{
    QStringList problems = stress::invariantProblems(housePath);
    for (const DeskLog &log : logs) {
        if (!log.complete)
            problems << log.operatorName + u": the desk did not finish its log"_s;
        for (const Event &e : log.events) {
            if (e.told == Told::Failed)
                problems << u"%1: %2 %3 told the store failed: %4"_s.arg(log.operatorName, kindName(e.kind),
                                                                         e.subject, e.detail);
        }
    }
    DirectDb db(housePath);
    if (!db.ok())
        return problems << u"cannot open the house: "_s + db.error();
    compareGuests(db, logs, problems);
    compareLedgers(db, logs, problems);
    compareRecord(db, logs, problems);
    return problems;
}

double percentile(QList<qint64> values, double p)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype rank = qsizetype(std::ceil(p / 100.0 * double(values.size())));
    return double(values.at(std::clamp<qsizetype>(rank - 1, 0, values.size() - 1)));
}

namespace {

QList<qint64> micros(const QList<DeskLog> &logs, Kind kind)
{
    QList<qint64> out;
    for (const DeskLog &log : logs) {
        for (const Event &e : log.events) {
            if (e.kind == kind)
                out.append(e.micros);
        }
    }
    return out;
}

} // namespace

QStringList latencyTable(const QList<DeskLog> &logs)
{
    QStringList lines{u"%1 %2 %3 %4 %5 %6 %7 %8"_s.arg(u"kind"_s, -15)
                          .arg(u"count"_s, 6)
                          .arg(u"done"_s, 6)
                          .arg(u"refused"_s, 8)
                          .arg(u"busy"_s, 5)
                          .arg(u"nothing"_s, 8)
                          .arg(u"median"_s, 10)
                          .arg(u"p99"_s, 10)};
    for (const Kind kind : AllKinds) {
        int told[5] = {};
        for (const DeskLog &log : logs) {
            for (const Event &e : log.events) {
                if (e.kind == kind)
                    ++told[int(e.told)];
            }
        }
        const QList<qint64> all = micros(logs, kind);
        lines << u"%1 %2 %3 %4 %5 %6 %7 ms %8 ms"_s.arg(kindName(kind), -15)
                     .arg(all.size(), 6)
                     .arg(told[int(Told::Done)], 6)
                     .arg(told[int(Told::Refused)], 8)
                     .arg(told[int(Told::Busy)], 5)
                     .arg(told[int(Told::Nothing)], 8)
                     .arg(percentile(all, 50) / 1000.0, 7, 'f', 1)
                     .arg(percentile(all, 99) / 1000.0, 7, 'f', 1);
    }
    return lines;
}

double worstP99(const QList<DeskLog> &logs, Kind *which)
{
    double worst = 0;
    for (const Kind kind : AllKinds) {
        const double p99 = percentile(micros(logs, kind), 99) / 1000.0;
        if (p99 >= worst && which)
            *which = kind;
        worst = std::max(worst, p99);
    }
    return worst;
}

} // namespace desks
