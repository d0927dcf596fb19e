#pragma once

#include "hotel/board.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QList>
#include <QRect>

// The tiles of the room board, drawn rather than built from widgets, so that thousands of rooms
// refresh in a few milliseconds and a refresh never moves the focus. Arrows move between tiles;
// Enter or a double-click asks for the room's window.
class RoomBoardView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit RoomBoardView(QWidget *parent = nullptr);

    // Shows the rooms, keeping the current room (and the scroll position) where they can be kept.
    void setSnapshot(const hotel::board::Snapshot &snapshot);
    const hotel::board::Snapshot &snapshot() const { return m_snapshot; }
    // A picture that could not be read again is drawn dimmed until a read succeeds.
    void setStale(bool stale);
    bool isStale() const { return m_stale; }
    // The day stays are measured against for being overdue; repaints when it changes.
    void setToday(const QDate &today);

    // Tiles in the order they are shown: floor by floor, rooms by number.
    const QList<hotel::board::RoomTile> &tiles() const { return m_tiles; }
    // The tile of a room, in viewport coordinates after scrolling it into view; empty when absent.
    QRect tileRect(qint64 roomId);
    const hotel::board::RoomTile *currentTile() const;
    void setCurrentRoom(qint64 roomId);

    static QString stateText(int status);
    static QColor fillColour(int status);
    static QColor edgeColour(int status);
    QString toolTipFor(const hotel::board::RoomTile &tile) const;

Q_SIGNALS:
    void activated(const hotel::board::RoomTile &tile);
    void menuRequested(const hotel::board::RoomTile &tile, const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void relayout();
    int indexAt(const QPoint &viewportPos) const;
    void moveCurrent(int index);
    // The nearest tile in the row above (-1) or below (+1) the current one.
    int verticalNeighbour(int direction) const;
    void ensureVisible(int index);
    void paintTile(QPainter &p, const hotel::board::RoomTile &tile, const QRect &r, bool current) const;

    hotel::board::Snapshot m_snapshot;
    QList<hotel::board::RoomTile> m_tiles;
    QList<QRect> m_rects; // content coordinates, one per tile
    struct Header {
        QRect rect;
        QString text;
    };
    QList<Header> m_headers;
    int m_contentHeight = 0;
    int m_current = -1;
    bool m_stale = false;
    QDate m_today;
};
