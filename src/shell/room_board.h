#pragma once

#include "hotel/board.h"

#include <QTimer>
#include <QWidget>
#include <functional>

class QLabel;
class RoomBoardView;

// The main window's work area: every room as a tile by floor, with a legend and the counts.
// It reads the rooms again whenever a window closes and every few seconds (other desks change
// rooms too), and opens from a tile the window a clerk wants for that room.
class RoomBoard : public QWidget
{
    Q_OBJECT
public:
    // Whether the operator holds the rights letter ('a' … 'f') of a menu group.
    using RightCheck = std::function<bool(QChar letter)>;

    explicit RoomBoard(RightCheck allowed, QWidget *parent = nullptr);
    ~RoomBoard() override;

    static constexpr int PollMilliseconds = 5000;

    // Reads the rooms and shows them, never waiting for another desk; a failed read keeps the
    // board as it was and says so, a busy one dims it as not current until a read succeeds.
    void refresh();
    RoomBoardView *view() const { return m_view; }

    // What a double-click or Enter on the tile does: check-in with the room picked, check-out
    // with the stay fetched, or the reservation shown, each only with the menu's right.
    void openRoom(const hotel::board::RoomTile &tile);
    // The reserved room's guest arrives: the reservation becomes a stay checked in now.
    void guestArrives(const hotel::board::RoomTile &tile);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createLegend();
    void showCounts(const hotel::board::Snapshot &s);
    void showMenu(const hotel::board::RoomTile &tile, const QPoint &globalPos);
    bool mayUse(QChar letter);

    RightCheck m_allowed;
    RoomBoardView *m_view = nullptr;
    QLabel *m_free = nullptr;
    QLabel *m_occupied = nullptr;
    QLabel *m_reserved = nullptr;
    QLabel *m_occupancy = nullptr;
    QLabel *m_problem = nullptr;
    QTimer m_poll;
    QTimer m_soon;
};
