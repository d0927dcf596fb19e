#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

class QWidget;

// Windows are made by name ("Form8"), so the main window's menus, the "close and show again"
// reopen and the tests all go through one place.
namespace ui {

using WindowFactory = std::function<QWidget *(QWidget *owner)>;

void registerWindow(const QString &formName, WindowFactory factory);
bool hasWindow(const QString &formName);

// The owner of every window opened from the menus.
QWidget *mainWindow();
void setMainWindow(QWidget *window);

// Ends the desk's session and goes back to the login; the main window installs how.
void setSignOut(std::function<void()> signOut);
void signOut();

// Makes the window and shows it modal, owned by `owner` (the main window when null).
// Returns nullptr for a name nobody registered.
QWidget *showWindow(const QString &formName, QWidget *owner = nullptr);

// The windows have no cancel button: Esc closes none of them (only their frame does) and
// keeps what was typed. showWindow does this for every window it makes.
void keepOpenOnEscape(QWidget *window);

// Closes `current` and shows a fresh instance at once, owned by the main window:
// its load fills the lists again and its boxes start empty.
QWidget *reopen(QWidget *current, const QString &formName);

// What the room board hands a window about one room: check-in with this room at this time,
// check-out for this room, or this room's reservation.
struct RoomHandoff {
    qint64 roomKey = 0;
    QString roomNumber;
    QDateTime time;        // when a check-in starts
    qint64 recordKey = -1; // the reservation (or stay) the board showed, when known
};

// A window that can be given a room by the board.
class RoomTaker
{
public:
    virtual ~RoomTaker() = default;
    virtual void takeRoom(const RoomHandoff &room) = 0;
};

// Shows the window as showWindow does, then hands it the room.
QWidget *showWindowFor(const QString &formName, const RoomHandoff &room, QWidget *owner = nullptr);

} // namespace ui
