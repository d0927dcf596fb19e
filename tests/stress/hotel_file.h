#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The database file the stress runs work on, and the checks of it after a run or a kill.
namespace stress {

// A new database file at `path` with the hotel's rooms; empty string on success, else why not.
QString createHotel(const QString &path);
// The rooms createHotel() makes: number and standard price.
struct HotelRoom {
    QString number;
    double price;
};
const QList<HotelRoom> &hotelRooms();

// The offscreen platform warns each time a window is shown; those lines would bury the figures.
void quietOffscreenWarnings();

// Checks the file as it lies: integrity, and the room, stay, reservation and completed-stay
// invariants. Each broken one is one line; none means all hold.
QStringList invariantProblems(const QString &path);

} // namespace stress
