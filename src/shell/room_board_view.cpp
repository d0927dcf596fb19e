#include "shell/room_board_view.h"

#include "data/conversions.h"
#include "ui/seams.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int Margin = 10;
constexpr int Spacing = 8;
constexpr int TileWidth = 142;
constexpr int TileHeight = 78;
constexpr int HeaderHeight = 26;
constexpr int CornerSize = 14;

// Overdue stays: a dark red readable on the orange of an occupied tile.
const QColor OverdueColour(0xa0, 0x10, 0x10);

// A frame `width` pixels wide just inside `outer`, drawn without antialiasing.
void frame(QPainter &p, const QRect &outer, int width, const QColor &colour)
{
    p.fillRect(QRect(outer.left(), outer.top(), outer.width(), width), colour);
    p.fillRect(QRect(outer.left(), outer.bottom() - width + 1, outer.width(), width), colour);
    p.fillRect(QRect(outer.left(), outer.top(), width, outer.height()), colour);
    p.fillRect(QRect(outer.right() - width + 1, outer.top(), width, outer.height()), colour);
}

} // namespace

RoomBoardView::RoomBoardView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(TileHeight / 2);
    m_today = ui::today();
}

QString RoomBoardView::stateText(int status)
{
    switch (status) {
    case hotel::Free:
        return u"空闲房"_s;
    case hotel::Occupied:
        return u"已住房"_s;
    case hotel::Reserved:
        return u"预订房"_s;
    default:
        return u"状态 "_s + QString::number(status);
    }
}

// Blue, orange and reddish purple (Okabe and Ito's palette): told apart by people who do not
// see red and green apart; every tile also says its state in words.
QColor RoomBoardView::fillColour(int status)
{
    switch (status) {
    case hotel::Free:
        return QColor(0xdd, 0xee, 0xfa);
    case hotel::Occupied:
        return QColor(0xf8, 0xd2, 0x96);
    case hotel::Reserved:
        return QColor(0xec, 0xd3, 0xe6);
    default:
        return QColor(0xe0, 0xe0, 0xe0);
    }
}

QColor RoomBoardView::edgeColour(int status)
{
    switch (status) {
    case hotel::Free:
        return QColor(0x00, 0x72, 0xb2);
    case hotel::Occupied:
        return QColor(0xd5, 0x5e, 0x00);
    case hotel::Reserved:
        return QColor(0xcc, 0x79, 0xa7);
    default:
        return QColor(0x60, 0x60, 0x60);
    }
}

QString RoomBoardView::toolTipFor(const hotel::board::RoomTile &t) const
{
    QStringList lines;
    lines.append(u"房间号：%1"_s.arg(t.number));
    lines.append(u"房间类型：%1"_s.arg(t.type));
    lines.append(u"所属楼层：%1"_s.arg(t.floor));
    lines.append(u"房间状态：%1"_s.arg(stateText(t.status)));
    if (t.hasRecord()) {
        const QDateTime since = t.sinceTime();
        lines.append(u"旅客姓名：%1"_s.arg(t.guest));
        if (t.status == hotel::Occupied) {
            lines.append(u"入住时间：%1"_s.arg(conv::dateTimeToText(since)));
            lines.append(u"计划入住天数：%1"_s.arg(t.plannedDays));
            lines.append(u"预计离店：%1"_s.arg(conv::dateToText(t.departure())));
            if (hotel::board::isOverdue(t, m_today))
                lines.append(u"已超过预计离店日期"_s);
        } else {
            lines.append(u"预计到达：%1"_s.arg(conv::dateTimeToText(since)));
            lines.append(u"计划入住天数：%1"_s.arg(t.plannedDays));
        }
    } else if (t.status == hotel::Occupied || t.status == hotel::Reserved) {
        lines.append(u"（没有找到对应的旅客资料）"_s);
    }
    return lines.join(u'\n');
}

void RoomBoardView::setSnapshot(const hotel::board::Snapshot &snapshot)
{
    if (snapshot == m_snapshot)
        return;
    const qint64 currentRoom = m_current >= 0 ? m_tiles.at(m_current).roomId : -1;
    m_snapshot = snapshot;
    m_tiles.clear();
    m_tiles.reserve(snapshot.total);
    for (const hotel::board::FloorGroup &f : snapshot.floors)
        m_tiles.append(f.rooms);
    m_current = -1;
    for (int i = 0; i < m_tiles.size() && currentRoom >= 0; ++i) {
        if (m_tiles.at(i).roomId == currentRoom)
            m_current = i;
    }
    if (m_current < 0 && !m_tiles.isEmpty())
        m_current = 0;
    relayout();
    viewport()->update();
}

void RoomBoardView::relayout()
{
    const int width = std::max(viewport()->width(), TileWidth + 2 * Margin);
    const int perRow = std::max(1, (width - 2 * Margin + Spacing) / (TileWidth + Spacing));
    m_rects.clear();
    m_rects.reserve(m_tiles.size());
    m_headers.clear();
    int y = Margin;
    for (const hotel::board::FloorGroup &f : m_snapshot.floors) {
        int free = 0;
        for (const hotel::board::RoomTile &t : f.rooms)
            free += t.status == hotel::Free;
        const QString name = f.name.isEmpty() ? u"（未指定楼层）"_s : f.name;
        m_headers.append({QRect(Margin, y, width - 2 * Margin, HeaderHeight),
                          u"%1    共 %2 间，空闲 %3 间"_s.arg(name).arg(f.rooms.size()).arg(free)});
        y += HeaderHeight + 2;
        for (int i = 0; i < f.rooms.size(); ++i) {
            const int col = i % perRow;
            if (i > 0 && col == 0)
                y += TileHeight + Spacing;
            m_rects.append(QRect(Margin + col * (TileWidth + Spacing), y, TileWidth, TileHeight));
        }
        if (!f.rooms.isEmpty())
            y += TileHeight + Spacing;
        y += Spacing;
    }
    m_contentHeight = y + Margin;
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, m_contentHeight - viewport()->height()));
}

const hotel::board::RoomTile *RoomBoardView::currentTile() const
{
    return m_current >= 0 && m_current < m_tiles.size() ? &m_tiles.at(m_current) : nullptr;
}

void RoomBoardView::setCurrentRoom(qint64 roomId)
{
    for (int i = 0; i < m_tiles.size(); ++i) {
        if (m_tiles.at(i).roomId == roomId) {
            moveCurrent(i);
            return;
        }
    }
}

QRect RoomBoardView::tileRect(qint64 roomId)
{
    for (int i = 0; i < m_tiles.size(); ++i) {
        if (m_tiles.at(i).roomId == roomId) {
            ensureVisible(i);
            return m_rects.at(i).translated(0, -verticalScrollBar()->value());
        }
    }
    return {};
}

int RoomBoardView::indexAt(const QPoint &viewportPos) const
{
    const QPoint p = viewportPos + QPoint(0, verticalScrollBar()->value());
    for (int i = 0; i < m_rects.size(); ++i) {
        if (m_rects.at(i).contains(p))
            return i;
    }
    return -1;
}

void RoomBoardView::moveCurrent(int index)
{
    if (index < 0 || index >= m_tiles.size())
        return;
    m_current = index;
    ensureVisible(index);
    // What the tooltip tells a mouse user, for screen readers following the keyboard.
    setAccessibleDescription(toolTipFor(m_tiles.at(index)));
    viewport()->update();
}

int RoomBoardView::verticalNeighbour(int direction) const
{
    if (m_current < 0)
        return -1;
    const QRect from = m_rects.at(m_current);
    int best = -1;
    int bestRowDistance = 0;
    int bestColumnDistance = 0;
    for (int i = 0; i < m_rects.size(); ++i) {
        const QRect &r = m_rects.at(i);
        const int rowDistance = direction < 0 ? from.top() - r.top() : r.top() - from.top();
        if (rowDistance <= 0)
            continue;
        const int columnDistance = std::abs(r.center().x() - from.center().x());
        if (best < 0 || rowDistance < bestRowDistance ||
            (rowDistance == bestRowDistance && columnDistance < bestColumnDistance)) {
            best = i;
            bestRowDistance = rowDistance;
            bestColumnDistance = columnDistance;
        }
    }
    return best;
}

void RoomBoardView::ensureVisible(int index)
{
    const QRect r = m_rects.at(index);
    QScrollBar *bar = verticalScrollBar();
    const int top = bar->value();
    const int height = viewport()->height();
    if (r.top() - HeaderHeight < top)
        bar->setValue(r.top() - HeaderHeight - Margin);
    else if (r.bottom() > top + height)
        bar->setValue(r.bottom() - height + Margin);
}

void RoomBoardView::setStale(bool stale)
{
    if (stale == m_stale)
        return;
    m_stale = stale;
    viewport()->update();
}

void RoomBoardView::setToday(const QDate &today)
{
    if (today == m_today)
        return;
    m_today = today;
    if (const hotel::board::RoomTile *t = currentTile())
        setAccessibleDescription(toolTipFor(*t));
    viewport()->update();
}

void RoomBoardView::paintEvent(QPaintEvent *event)
{
    QPainter p(viewport());
    if (m_stale)
        p.setOpacity(0.45);
    const int offset = verticalScrollBar()->value();
    const QRect visible = event->rect().translated(0, offset);
    p.translate(0, -offset);
    QFont headerFont = font();
    headerFont.setBold(true);
    p.setFont(headerFont);
    for (const Header &h : std::as_const(m_headers)) {
        if (!h.rect.intersects(visible))
            continue;
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(h.rect, Qt::AlignLeft | Qt::AlignVCenter, h.text);
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(h.rect.bottomLeft(), h.rect.bottomRight());
    }
    if (m_tiles.isEmpty()) {
        if (m_stale)
            return; // nothing read yet: the board's label says why
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(viewport()->rect().translated(0, offset), Qt::AlignCenter,
                   u"还没有房间。请在“房间管理”中添加房间。"_s);
        return;
    }
    for (int i = 0; i < m_tiles.size(); ++i) {
        if (m_rects.at(i).intersects(visible))
            paintTile(p, m_tiles.at(i), m_rects.at(i), i == m_current);
    }
}

void RoomBoardView::paintTile(QPainter &p, const hotel::board::RoomTile &t, const QRect &r,
                              bool current) const
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(r, fillColour(t.status));
    QPen edge(edgeColour(t.status), t.status == hotel::Occupied ? 3 : 2);
    if (t.status == hotel::Reserved)
        edge.setStyle(Qt::DashLine);
    p.setPen(edge);
    p.drawRect(r.adjusted(1, 1, -2, -2));
    const bool overdue = hotel::board::isOverdue(t, m_today);
    if (overdue) {
        // A folded corner: seen without telling colours apart.
        const QPoint corner = r.bottomRight();
        const QPoint triangle[] = {corner, corner - QPoint(CornerSize, 0), corner - QPoint(0, CornerSize)};
        p.setPen(Qt::NoPen);
        p.setBrush(OverdueColour);
        p.drawPolygon(triangle, 3);
        p.setBrush(Qt::NoBrush);
    }
    if (current && hasFocus()) {
        // Dark outside, light inside: one of the two stands out against any fill and any edge.
        frame(p, r.adjusted(-6, -6, 6, 6), 4, QColor(0x1a, 0x1a, 0x1a));
        frame(p, r.adjusted(-2, -2, 2, 2), 2, Qt::white);
    }

    const QRect inner = r.adjusted(8, 5, -8, -5);
    const int line = fontMetrics().height();
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSizeF(font().pointSizeF() * 1.15);
    p.setFont(bold);
    p.setPen(Qt::black);
    p.drawText(QRect(inner.left(), inner.top(), inner.width(), line + 2), Qt::AlignLeft | Qt::AlignVCenter,
               t.number);
    p.setFont(font());
    p.drawText(QRect(inner.left(), inner.top(), inner.width(), line + 2), Qt::AlignRight | Qt::AlignVCenter,
               stateText(t.status));
    const QFontMetrics fm = fontMetrics();
    auto row = [&](int n, const QString &text, int width) {
        p.drawText(QRect(inner.left(), inner.top() + 4 + n * line, width, line),
                   Qt::AlignLeft | Qt::AlignVCenter, fm.elidedText(text, Qt::ElideRight, width));
    };
    row(1, t.type, inner.width());
    if (!t.hasRecord())
        return;
    if (overdue) {
        // A line of its own, so that a year never gets cut off.
        row(2, t.guest, inner.width());
        p.setPen(OverdueColour);
        row(3, hotel::board::overdueMark(t, m_today), inner.width() - CornerSize / 2);
    } else if (t.status == hotel::Occupied) {
        row(2, t.guest + u"  离 "_s + hotel::board::boardDay(t.departure(), m_today), inner.width());
    } else {
        row(2, t.guest + u"  到 "_s + hotel::board::boardDay(t.sinceTime().date(), m_today), inner.width());
    }
}

void RoomBoardView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void RoomBoardView::mousePressEvent(QMouseEvent *event)
{
    const int i = indexAt(event->position().toPoint());
    if (i >= 0)
        moveCurrent(i);
    QAbstractScrollArea::mousePressEvent(event);
}

void RoomBoardView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const int i = indexAt(event->position().toPoint());
    if (i < 0 || event->button() != Qt::LeftButton)
        return;
    moveCurrent(i);
    // A copy: opening a window may refresh the board under us.
    const hotel::board::RoomTile tile = m_tiles.at(i);
    Q_EMIT activated(tile);
}

void RoomBoardView::keyPressEvent(QKeyEvent *event)
{
    if (m_tiles.isEmpty()) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        moveCurrent(std::max(0, m_current - 1));
        return;
    case Qt::Key_Right:
        moveCurrent(std::min(int(m_tiles.size()) - 1, m_current + 1));
        return;
    case Qt::Key_Up:
        moveCurrent(verticalNeighbour(-1));
        return;
    case Qt::Key_Down:
        moveCurrent(verticalNeighbour(+1));
        return;
    case Qt::Key_Home:
        moveCurrent(0);
        return;
    case Qt::Key_End:
        moveCurrent(int(m_tiles.size()) - 1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const hotel::board::RoomTile *t = currentTile()) {
            const hotel::board::RoomTile tile = *t;
            Q_EMIT activated(tile);
        }
        return;
    case Qt::Key_Menu:
        if (const hotel::board::RoomTile *t = currentTile()) {
            const hotel::board::RoomTile tile = *t;
            const QRect r = tileRect(tile.roomId);
            Q_EMIT menuRequested(tile, viewport()->mapToGlobal(r.center()));
        }
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void RoomBoardView::contextMenuEvent(QContextMenuEvent *event)
{
    // Delivered for the viewport, in its coordinates.
    const int i = event->reason() == QContextMenuEvent::Mouse ? indexAt(event->pos()) : m_current;
    if (i < 0)
        return;
    moveCurrent(i);
    const hotel::board::RoomTile tile = m_tiles.at(i);
    Q_EMIT menuRequested(tile, event->reason() == QContextMenuEvent::Mouse
                                   ? event->globalPos()
                                   : viewport()->mapToGlobal(tileRect(tile.roomId).center()));
}

bool RoomBoardView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int i = indexAt(help->pos());
        if (i >= 0)
            QToolTip::showText(help->globalPos(), toolTipFor(m_tiles.at(i)), viewport(),
                               m_rects.at(i).translated(0, -verticalScrollBar()->value()));
        else
            QToolTip::hideText();
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void RoomBoardView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void RoomBoardView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}
