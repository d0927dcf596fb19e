#include "shell/room_board.h"

#include "data/connection.h"
#include "data/db_error.h"
#include "shell/room_board_view.h"
#include "ui/date_picker.h"
#include "ui/flex_grid.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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
            fill.name(), status == board::Reserved ? u"dashed"_s : u"solid"_s, edge.name()));
    return label;
}

// The data row of a list whose column holds the text; 0 when none does.
int rowWith(const FlexGrid *grid, int column, const QString &text)
{
    for (int r = 1; r < grid->Rows(); ++r) {
        if (grid->TextMatrix(r, column) == text)
            return r;
    }
    return 0;
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
    m_free = legendLabel(this, u"BoardFreeCount"_s, board::Free);
    m_occupied = legendLabel(this, u"BoardOccupiedCount"_s, board::Occupied);
    m_reserved = legendLabel(this, u"BoardReservedCount"_s, board::Reserved);
    m_occupancy = new QLabel(this);
    m_occupancy->setObjectName(u"BoardOccupancy"_s);
    m_problem = new QLabel(this);
    m_problem->setObjectName(u"BoardProblem"_s);
}

void RoomBoard::refresh()
{
    try {
        Connection connection;
        connection.open();
        const board::Snapshot s = board::read(connection);
        m_problem->clear();
        if (s == m_view->snapshot() && !m_free->text().isEmpty())
            return;
        m_view->setSnapshot(s);
        showCounts(s);
    } catch (const DbError &e) {
        // A timer must not pile up message boxes: the board keeps what it showed and says why.
        m_problem->setText(u"无法读取房间资料：%1"_s.arg(e.text()));
        if (m_free->text().isEmpty())
            showCounts(m_view->snapshot());
    }
}

void RoomBoard::showCounts(const board::Snapshot &s)
{
    m_free->setText(u"%1：%2"_s.arg(RoomBoardView::stateText(board::Free)).arg(s.free));
    m_occupied->setText(u"%1：%2"_s.arg(RoomBoardView::stateText(board::Occupied)).arg(s.occupied));
    m_reserved->setText(u"%1：%2"_s.arg(RoomBoardView::stateText(board::Reserved)).arg(s.reserved));
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
    ui::MsgBox(this, u"对不起，您没有使用此项功能的权限。"_s);
    return false;
}

QDateTime RoomBoard::now() const
{
    const QTime t = QTime::currentTime();
    return QDateTime(ui::today(), QTime(t.hour(), t.minute(), t.second()));
}

void RoomBoard::openRoom(const board::RoomTile &tile)
{
    switch (tile.status) {
    case board::Free: {
        if (!mayUse(u'b'))
            return;
        QWidget *w = ui::showWindow(u"Form8"_s, window());
        if (!w)
            return;
        // On this path only, the check-in time starts at now rather than the design value.
        if (auto *picker = w->findChild<DatePicker *>(u"DTPicker1"_s))
            picker->setValue(now());
        if (auto *rooms = w->findChild<FlexGrid *>(u"MSFlexGrid1"_s))
            rooms->selectRecord(rowWith(rooms, 0, QString::number(tile.roomId)));
        return;
    }
    case board::Occupied: {
        if (!mayUse(u'c'))
            return;
        QWidget *w = ui::showWindow(u"Form12"_s, window());
        if (!w)
            return;
        auto *number = w->findChild<QLineEdit *>(u"Text1"_s);
        auto *fetch = w->findChild<QAbstractButton *>(u"Command1"_s);
        if (number && fetch) {
            number->setText(tile.number);
            fetch->click();
        }
        return;
    }
    case board::Reserved: {
        if (!mayUse(u'b'))
            return;
        QWidget *w = ui::showWindow(u"Form11"_s, window());
        if (!w)
            return;
        if (auto *list = w->findChild<FlexGrid *>(u"MSFlexGrid2"_s)) {
            int row = tile.hasRecord() ? rowWith(list, 0, QString::number(tile.recordKey)) : 0;
            if (row == 0)
                row = rowWith(list, 8, QString::number(tile.roomId));
            list->selectRecord(row);
        }
        return;
    }
    default:
        return;
    }
}

void RoomBoard::guestArrives(const board::RoomTile &tile)
{
    if (tile.status != board::Reserved || !tile.hasRecord() || !mayUse(u'b'))
        return;
    if (ui::MsgBox(this, u"旅客“%1”已到店，按预订办理入住（入住时间为现在）？"_s.arg(tile.guest),
                   ui::vbInformation | ui::vbYesNo) != ui::vbYes)
        return;
    board::Arrival outcome;
    try {
        Connection connection;
        connection.open();
        outcome = board::arrive(connection, tile.recordKey, now());
    } catch (const DbError &e) {
        ui::showFailure(this, e);
        return;
    }
    refresh();
    switch (outcome) {
    case board::Arrival::Done:
        ui::MsgBox(this, u"旅客“%1”已入住 %2 房间。"_s.arg(tile.guest, tile.number));
        return;
    case board::Arrival::ReservationGone:
        ui::MsgBox(this, u"对不起，这个预订已经不存在（可能已在另一台电脑上处理）。"_s);
        return;
    case board::Arrival::RoomNotReserved:
        ui::MsgBox(this, u"对不起，此房间已经不是预订房，没有办理入住。"_s);
        return;
    }
}

void RoomBoard::showMenu(const board::RoomTile &tile, const QPoint &globalPos)
{
    QMenu menu(this);
    menu.setObjectName(u"RoomBoardMenu"_s);
    switch (tile.status) {
    case board::Free:
        menu.addAction(u"办理入住…"_s, this, [this, tile] { openRoom(tile); });
        break;
    case board::Occupied:
        menu.addAction(u"办理退房…"_s, this, [this, tile] { openRoom(tile); });
        break;
    case board::Reserved:
        menu.addAction(u"查看预订…"_s, this, [this, tile] { openRoom(tile); });
        menu.addAction(u"旅客到店入住"_s, this, [this, tile] { guestArrives(tile); })
            ->setEnabled(tile.hasRecord());
        break;
    default:
        return;
    }
    menu.exec(globalPos);
}
