// One desk of many on one house: logs in as its operator, waits for the common start, then for a
// fixed time runs operations chosen at random (seeded) through the hotel's own operations:
// check-ins, reservations, arrivals, check-outs, both ledgers, the history and its search. Every
// operation's time and what the desk was told goes to the log file when the time is up.
//
//   quillon-desk-load <program folder> <operator> <password> <seed> <start, ms since the epoch>
//                     <seconds> <log file>

#include "data/house_location.h"
#include "desk_load.h"
#include "hotel/board.h"
#include "hotel/checkout.h"
#include "hotel/history.h"
#include "hotel/ledgers.h"
#include "hotel/settlement.h"
#include "hotel/stays.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;
using desks::Event;
using desks::Kind;
using desks::Told;

namespace {

class Desk
{
public:
    Desk(hotel::Session *s, QString name, quint64 seed) : m_s(s), m_name(std::move(name)), m_rng(seed) {}

    Event run(Kind kind)
    {
        Event e;
        e.kind = kind;
        switch (kind) {
        case Kind::CheckIn:
        case Kind::Reserve:
            enter(e, kind == Kind::CheckIn ? hotel::StayKind::Stay : hotel::StayKind::Reservation);
            break;
        case Kind::Arrive:
            arrive(e);
            break;
        case Kind::CheckOut:
            checkOut(e);
            break;
        case Kind::Takings:
        case Kind::Disbursement:
            ledger(e, kind == Kind::Takings ? hotel::Ledger::Takings : hotel::Ledger::Disbursements);
            break;
        case Kind::HistoryOpen:
            history(e, {});
            break;
        case Kind::HistorySearch:
            // Another desk's guests, by a prefix of their names.
            history(e, u"desk%1-%2"_s.arg(m_rng.bounded(1, 11)).arg(m_rng.bounded(1, 40)));
            break;
        }
        return e;
    }

    Kind next()
    {
        // Arrivals and check-outs keep the rooms turning over as fast as the desks fill them.
        static const std::pair<Kind, int> weights[] = {
            {Kind::CheckIn, 20}, {Kind::Reserve, 12},     {Kind::Arrive, 10},     {Kind::CheckOut, 26},
            {Kind::Takings, 8},  {Kind::Disbursement, 8}, {Kind::HistoryOpen, 6}, {Kind::HistorySearch, 10}};
        int r = int(m_rng.bounded(100));
        for (const auto &[kind, weight] : weights) {
            if (r < weight)
                return kind;
            r -= weight;
        }
        return Kind::CheckIn;
    }

private:
    static void tell(Event &e, const hotel::Outcome &o)
    {
        static const Told told[] = {Told::Done, Told::Refused, Told::Busy, Told::Failed};
        e.told = told[int(o.kind())];
        if (!o.ok())
            e.detail = u"%1 %2 %3"_s.arg(int(o.refusal())).arg(o.message(), o.detail());
    }

    // One row of a list, picked at random; none when the list is empty or could not be read.
    std::optional<QVariantList> pick(Event &e, const hotel::Result<hotel::ListingPtr> &list)
    {
        tell(e, list);
        if (!list.ok())
            return std::nullopt;
        if (list.value()->count() == 0) {
            e.told = Told::Nothing;
            return std::nullopt;
        }
        hotel::Outcome failure;
        const auto rows = list.value()->read(int(m_rng.bounded(list.value()->count())), 1, &failure);
        if (rows.empty()) {
            tell(e, failure.ok() ? hotel::Outcome::failed(StoreCause::Other, u"no row read"_s) : failure);
            return std::nullopt;
        }
        return rows.front();
    }

    QString uniqueName() { return m_name + u"-"_s + QString::number(++m_made); }

    void enter(Event &e, hotel::StayKind kind)
    {
        const auto room = pick(e, hotel::freeRooms(m_s));
        if (!room)
            return;
        hotel::Stay stay;
        stay.guest = e.subject = uniqueName();
        stay.unit = u"散客"_s;
        stay.idType = u"身份证"_s;
        stay.idNumber = QString::number(m_rng.bounded(100000, 999999)) + QString::number(m_made);
        stay.checkIn = QDateTime::currentDateTime().addDays(-qint64(m_rng.bounded(5))).addSecs(-3600);
        stay.plannedDays = qint16(m_rng.bounded(1, 8));
        stay.persons = qint16(m_rng.bounded(1, 4));
        stay.room = qint16(hotel::fromRow<hotel::Room>(*room).key);
        stay.prepayment = qint16(50 * m_rng.bounded(11));
        const auto entered = hotel::enterStay(m_s, kind, stay);
        tell(e, entered);
        if (entered.ok())
            e.key = entered.value();
    }

    void arrive(Event &e)
    {
        const auto row = pick(e, hotel::listStays(m_s, hotel::StayKind::Reservation));
        if (!row)
            return;
        const auto reservation = hotel::fromRow<hotel::Reservation>(*row);
        e.subject = reservation.guest;
        tell(e, hotel::board::arrive(m_s, reservation.key, QDateTime::currentDateTime()));
    }

    void checkOut(Event &e)
    {
        const auto row = pick(e, hotel::listStays(m_s, hotel::StayKind::Stay));
        if (!row)
            return;
        const auto stay = hotel::fromRow<hotel::Stay>(*row);
        e.subject = stay.guest;
        // The clerk types the number of the room the guest names.
        const auto room = hotel::roomOfStay(m_s, stay.room.value_or(-1));
        if (!room.ok() || !room.value()) {
            tell(e, room.ok() ? hotel::Outcome::failed(StoreCause::Other, u"the stay's room is missing"_s)
                              : hotel::Outcome(room));
            return;
        }
        const auto quote = hotel::checkout::quote(m_s, room.value()->room.number);
        tell(e, quote);
        if (!quote.ok())
            return;
        const hotel::Stay &shown = quote->stay();
        e.subject = shown.guest;
        hotel::SettlementInput in;
        if (shown.checkIn)
            in.checkIn = shown.checkIn->date();
        const QDateTime now = QDateTime::currentDateTime();
        in.checkOut = now.date();
        in.roomListed = true;
        in.price = quote->room.price;
        in.prepayment = shown.prepayment;
        const auto settled = hotel::settle(in);
        tell(e, settled);
        if (!settled.ok())
            return;
        hotel::CompletedStay done;
        done.guest = shown.guest;
        done.unit = shown.unit;
        done.idType = shown.idType;
        done.idNumber = shown.idNumber;
        done.checkIn = shown.checkIn;
        done.plannedDays = shown.plannedDays;
        done.persons = shown.persons;
        done.room = shown.room;
        done.prepayment = shown.prepayment;
        done.checkOut = now;
        done.days = settled->days;
        done.amount = settled->amount;
        done.due = settled->due;
        done.refund = settled->refund;
        const hotel::Outcome confirmed = hotel::checkout::confirm(m_s, quote.value(), done);
        tell(e, confirmed);
        if (confirmed.ok())
            e.amount = settled->amount;
    }

    void ledger(Event &e, hotel::Ledger which)
    {
        hotel::LedgerEntry entry;
        entry.time = QDateTime::currentDateTime();
        entry.amount = double(m_rng.bounded(1, 4000)) / 2;
        entry.person = e.subject = uniqueName();
        tell(e, hotel::addLedgerEntry(m_s, which, entry));
    }

    void history(Event &e, const QString &text)
    {
        const auto list = hotel::history::list(m_s, text, {u"实际金额"_s, u"应收款"_s, u"应退款"_s});
        tell(e, list);
        if (!list.ok())
            return;
        // The rows in view of a freshly opened window.
        hotel::Outcome failure;
        list.value()->read(0, std::min(list.value()->count(), 30), &failure);
        tell(e, failure);
    }

    hotel::Session *m_s;
    QString m_name;
    QRandomGenerator m_rng;
    int m_made = 0;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 8) {
        std::fprintf(stderr, "usage: quillon-desk-load <folder> <operator> <password> <seed> <start ms> "
                             "<seconds> <log file>\n");
        return 2;
    }
    const auto login = hotel::Session::logIn(HouseLocation{args[1]}, args[2], args[3]);
    if (!login.ok()) {
        std::fprintf(stderr, "%s cannot log in: %s\n", qPrintable(args[2]), qPrintable(login.message()));
        return 3;
    }
    hotel::Session::setCurrent(login.value());
    const qint64 start = args[5].toLongLong();
    const qint64 end = start + 1000 * args[6].toLongLong();
    Desk desk(hotel::session(), args[2], args[4].toULongLong());
    desks::DeskLog log{args[2], {}, true};
    while (QDateTime::currentMSecsSinceEpoch() < start)
        QThread::msleep(1);
    while (QDateTime::currentMSecsSinceEpoch() < end) {
        const Kind kind = desk.next();
        QElapsedTimer clock;
        clock.start();
        Event e = desk.run(kind);
        e.micros = clock.nsecsElapsed() / 1000;
        log.events.append(e);
    }
    if (!desks::writeLog(args[7], log)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[7]));
        return 4;
    }
    return 0;
}
