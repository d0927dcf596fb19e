#pragma once

#include "hotel/outcome.h"
#include "hotel/records.h"
#include "hotel/session.h"

#include <QDateTime>
#include <QList>
#include <QString>

// What the room board shows: every room by floor with what occupies or awaits it, read in one
// go so the board can compare it with what it shows and repaint only on a change.
namespace hotel::board {

struct RoomTile {
    qint64 roomId = 0;
    QString number;
    QString type;
    QString floor;
    int status = 0;
    // The stay of an occupied room, or the reservation of a reserved one (the first by key).
    qint64 recordKey = -1;
    QString guest;
    // Check-in time, or expected arrival, as stored; read only for the tiles on screen.
    QString since;
    int plannedDays = 0;

    bool hasRecord() const { return recordKey >= 0; }
    QDateTime sinceTime() const;
    // Planned departure of a stay: the check-in day plus the planned days.
    QDate departure() const { return sinceTime().date().addDays(plannedDays); }
    bool operator==(const RoomTile &) const = default;
};

struct FloorGroup {
    QString name;
    QList<RoomTile> rooms; // by room number as a desk reads them: 9 before 10, then text order
    bool operator==(const FloorGroup &) const = default;
};

struct Snapshot {
    QList<FloorGroup> floors; // in the floors' list order; rooms of unknown floors after them
    int free = 0;
    int occupied = 0;
    int reserved = 0;
    int total = 0;

    // Occupied rooms as a share of all rooms, in per cent.
    double occupancy() const { return total ? 100.0 * occupied / total : 0.0; }
    bool operator==(const Snapshot &) const = default;
};

// A stay still in its room after its planned departure day. A stay without planned days has no
// planned departure and is never overdue; neither is a reservation.
bool isOverdue(const RoomTile &tile, const QDate &today);
// A day as the board shows it: month and day, with the year when it is not today's year.
QString boardDay(const QDate &day, const QDate &today);
// The mark of an overdue stay, "超期" and its planned departure; empty for any other tile.
QString overdueMark(const RoomTile &tile, const QDate &today);

// Every floor, room, stay and reservation, on the desk's own connection; every operator may
// see the board. It never waits for another desk's write: busy at once while one commits, for
// the board to keep its last picture and try again at its next poll.
Result<Snapshot> read(Session *s);

// The reservation's guest arrives: its particulars become a stay checked in at `now`, the
// reservation goes and its room becomes occupied, all in one transaction. Refused Gone when
// the reservation is no longer there, NotReserved when its room is no longer reserved.
Outcome arrive(Session *s, qint64 reservationKey, const QDateTime &now);

} // namespace hotel::board
