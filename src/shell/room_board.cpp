#include "shell/room_board.h"

#include "shell/room_board_view.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

QLabel *legendLabel(QWidget *parent, const QString &name, int status)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setMargin(4);
    const QColor fill = RoomBoardView::fillColour(status);
    const QColor edge = RoomBoardView::edgeColour(status);
    label->setStyleSheet(
        u"QLabel { background: %1; color: black; border: 2px %2 %3; padding: 2px 8px; }"_s.arg(
            fill.name(), status == hotel::Reserved ? u"dashed"_s : u"solid"_s, edge.name()));
    return label;
}

} // namespace

RoomBoard::RoomBoard(RightCheck allowed, QWidget *parent) : QWidget(parent), m_allowed(std::move(allowed))
{
    setObjectName(u"RoomBoard"_s);
    m_view = new RoomBoardView(this);
    m_view->setObjectName(u"RoomBoardView"_s);
    createLegend();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *top = new QHBoxLayout;
    top->addWidget(m_free);
    top->addWidget(m_occupied);
    top->addWidget(m_reserved);
    top->addSpacing(12);
    top->addWidget(m_occupancy);
    top->addSpacing(12);
    top->addWidget(m_problem, 1);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);

    connect(m_view, &RoomBoardView::activated, this, &RoomBoard::openRoom);
    connect(m_view, &RoomBoardView::menuRequested, this, &RoomBoard::showMenu);
    m_poll.setInterval(PollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &RoomBoard::refresh);
    m_poll.start();
    // Many windows may close at once (a reopen closes one and shows another): one read after.
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, &RoomBoard::refresh);
    qApp->installEventFilter(this);
    refresh();
}

RoomBoard::~RoomBoard()
{
    qApp->removeEventFilter(this);
}

void RoomBoard::createLegend()
{
    m_free = legendLabel(this, u"BoardFreeCount"_s, hotel::Free);
    m_occupied = legendLabel(this, u"BoardOccupiedCount"_s, hotel::Occupied);
    m_reserved = legendLabel(this, u"BoardReservedCount"_s, hotel::Reserved);
    m_occupancy = new QLabel(this);
    m_occupancy->setObjectName(u"BoardOccupancy"_s);
    m_problem = new QLabel(this);
    m_problem->setObjectName(u"BoardProblem"_s);
}

void RoomBoard::refresh()
{
    // Past midnight a stay may have become overdue without any row changing.
    m_view->setToday(ui::today());
    const auto read = hotel::board::read(hotel::session());
    if (!read.ok()) {
        // A timer must not pile up message boxes: the board keeps what it showed and says why.
        // Another desk writing is not waited for: the picture is dimmed until the next poll
        // reads it again.
        const bool busy = read.kind() == hotel::Outcome::Kind::Busy;
        m_problem->setText(busy ? u"房间状态不是最新的：数据正在另一台前台上使用，稍后自动刷新。"_s
                                : u"无法读取房间资料：%1"_s.arg(read.message()));
        if (busy)
            m_view->setStale(true);
        if (m_free->text().isEmpty())
            showCounts(m_view->snapshot());
        return;
    }
    m_problem->clear();
    m_view->setStale(false);
    if (read.value() == m_view->snapshot() && !m_free->text().isEmpty())
        return;
    m_view->setSnapshot(read.value());
    showCounts(read.value());
}

void RoomBoard::showCounts(const hotel::board::Snapshot &s)
{
    m_free->setText(u"%1：%2"_s.arg(RoomBoardView::stateText(hotel::Free)).arg(s.free));
    m_occupied->setText(u"%1：%2"_s.arg(RoomBoardView::stateText(hotel::Occupied)).arg(s.occupied));
    m_reserved->setText(u"%1：%2"_s.arg(RoomBoardView::stateText(hotel::Reserved)).arg(s.reserved));
    m_occupancy->setText(u"共 %1 间    入住率：%2%"_s.arg(s.total).arg(s.occupancy(), 0, 'f', 1));
}

bool RoomBoard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        auto *w = static_cast<QWidget *>(watched);
        const Qt::WindowType type = w->windowType();
        if (w->isWindow() && w != window() && (type == Qt::Dialog || type == Qt::Window))
            m_soon.start();
    }
    return QWidget::eventFilter(watched, event);
}

bool RoomBoard::mayUse(QChar letter)
{
    if (!m_allowed || m_allowed(letter))
        return true;
    ui::inform(this, hotel::noRightMessage());
    return false;
}

void RoomBoard::openRoom(const hotel::board::RoomTile &tile)
{
    ui::RoomHandoff room{tile.roomId, tile.number, {}, tile.recordKey};
    switch (tile.status) {
    case hotel::Free:
        if (!mayUse(u'b'))
            return;
        // On this path only, the check-in time starts at now rather than the design value.
        room.time = ui::now();
        ui::showWindowFor(u"Form8"_s, room, window());
        return;
    case hotel::Occupied:
        if (mayUse(u'c'))
            ui::showWindowFor(u"Form12"_s, room, window());
        return;
    case hotel::Reserved:
        if (mayUse(u'b'))
            ui::showWindowFor(u"Form11"_s, room, window());
        return;
    default:
        return;
    }
}

void RoomBoard::guestArrives(const hotel::board::RoomTile &tile)
{
    if (tile.status != hotel::Reserved || !tile.hasRecord() || !mayUse(u'b'))
        return;
    if (!ui::confirm(this, u"旅客“%1”已到店，按预订办理入住（入住时间为现在）？"_s.arg(tile.guest)))
        return;
    const hotel::Outcome arrived = hotel::board::arrive(hotel::session(), tile.recordKey, ui::now());
    if (arrived.ok() || arrived.isRefused(hotel::Refusal::Gone) ||
        arrived.isRefused(hotel::Refusal::NotReserved))
        refresh(); // the board shows what came of it before saying so
    if (arrived.ok())
        ui::inform(this, u"旅客“%1”已入住 %2 房间。"_s.arg(tile.guest, tile.number));
    else if (arrived.isRefused(hotel::Refusal::Gone))
        ui::inform(this, u"对不起，这个预订已经不存在（可能已在另一台电脑上处理）。"_s);
    else if (arrived.isRefused(hotel::Refusal::NotReserved))
        ui::inform(this, u"对不起，此房间已经不是预订房，没有办理入住。"_s);
    else
        ui::showOutcome(this, arrived);
}

void RoomBoard::showMenu(const hotel::board::RoomTile &tile, const QPoint &globalPos)
{
    QMenu menu(this);
    menu.setObjectName(u"RoomBoardMenu"_s);
    switch (tile.status) {
    case hotel::Free:
        menu.addAction(u"办理入住…"_s, this, [this, tile] { openRoom(tile); });
        break;
    case hotel::Occupied:
        menu.addAction(u"办理退房…"_s, this, [this, tile] { openRoom(tile); });
        break;
    case hotel::Reserved:
        menu.addAction(u"查看预订…"_s, this, [this, tile] { openRoom(tile); });
        menu.addAction(u"旅客到店入住"_s, this, [this, tile] { guestArrives(tile); })
            ->setEnabled(tile.hasRecord());
        break;
    default:
        return;
    }
    menu.exec(globalPos);
}
