#include "frontdesk/stay_list_window.h"

#include "frontdesk/stay_particulars.h"
#include "hotel/stays.h"
#include "ui/chosen_record.h"
#include "ui/date_picker.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/grid_fill.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

const StayListKind currentGuests{u"Form9",
                                 u"当前入住信息",
                                 u"当前已入住的旅客",
                                 hotel::StayKind::Stay,
                                 u"恭喜您，旅客入住信息修改成功？",
                                 true,
                                 false};

const StayListKind reservations{u"Form11",
                                u"取消客房预订",
                                u"旅客预订房信息",
                                hotel::StayKind::Reservation,
                                u"恭喜您，旅客预订信息修改成功？",
                                false,
                                true};

QString str(const char16_t *text)
{
    return QString::fromUtf16(text);
}

} // namespace

CurrentGuestsWindow::CurrentGuestsWindow(QWidget *owner) : StayListWindow(currentGuests, owner) {}

ReservationListWindow::ReservationListWindow(QWidget *owner) : StayListWindow(reservations, owner) {}

StayListWindow::StayListWindow(const StayListKind &kind, QWidget *owner) : QDialog(owner), m_kind(kind)
{
    setObjectName(str(kind.formName));
    setWindowTitle(str(kind.caption));
    createLayout();
    connect(m_msFlexGrid2, &FlexGrid::Click, this, &StayListWindow::MSFlexGrid2_Click);
    connect(m_command1, &QPushButton::clicked, this, &StayListWindow::Command1_Click);
    if (m_command2)
        connect(m_command2, &QPushButton::clicked, this, &StayListWindow::Command2_Click);
    Form_Load();
}

StayListWindow::~StayListWindow() = default;

void StayListWindow::createLayout()
{
    m_frame2 = ui::makeFrame(this, u"Frame2"_s, str(m_kind.listCaption));
    m_msFlexGrid2 = new FlexGrid(m_frame2);
    m_msFlexGrid2->setObjectName(u"MSFlexGrid2"_s);
    m_msFlexGrid2->setMinimumSize(1000, 200); // wide enough for every column of a stay
    auto *listLayout = new QVBoxLayout(m_frame2);
    listLayout->addWidget(m_msFlexGrid2);

    m_frame1 = ui::makeFrame(this, u"Frame1"_s);
    m_boxes = std::make_unique<StayParticulars>(m_frame1);
    m_msFlexGrid1 = new FlexGrid(m_frame1);
    m_msFlexGrid1->setObjectName(u"MSFlexGrid1"_s);
    m_msFlexGrid1->setToolTip(u"旅客入住的房间基本信息"_s);
    m_msFlexGrid1->setFixedHeight(64);
    m_command1 = ui::makeButton(m_frame1, u"Command1"_s, u"确认修改信息"_s);
    if (m_kind.canCancel)
        m_command2 = ui::makeButton(m_frame1, u"Command2"_s, u"取消房间预订"_s);

    auto *grid = new QGridLayout(m_frame1);
    m_boxes->layOut(grid);
    grid->addWidget(m_msFlexGrid1, 5, 0, 1, 6);
    grid->addWidget(m_boxes->label[10], 6, 0);
    grid->addWidget(m_boxes->text[9], 6, 1, 1, 4);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command1);
    if (m_command2)
        buttons->addWidget(m_command2);
    grid->addLayout(buttons, 7, 0, 1, 6);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame2, 1);
    layout->addWidget(m_frame1);

    QWidget *order[] = {m_msFlexGrid2,    m_boxes->text[1],   m_boxes->text[2], m_boxes->text[3],
                        m_boxes->text[4], m_boxes->dtPicker1, m_boxes->text[5], m_boxes->text[6],
                        m_boxes->text[8], m_boxes->text[9],   m_command1};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    if (m_command2)
        setTabOrder(m_command1, m_command2);
}

void StayListWindow::Form_Load()
{
    // The header stands even when the list cannot be read, and the list says why.
    const auto stays = hotel::listStays(hotel::session(), m_kind.kind);
    grid::fill(m_msFlexGrid2, grid::stayHeader(), grid::DefaultRowHeight, stays);
}

void StayListWindow::MSFlexGrid2_Click()
{
    if (!m_msFlexGrid2->hasSelectedRecord())
        return;
    const int row = m_msFlexGrid2->RowSel();
    if (const auto stored = ui::chosenRow(this, m_msFlexGrid2))
        m_shown = hotel::fromRow<hotel::Stay>(*stored);
    for (int i = 1; i <= 4; ++i)
        m_boxes->text[i]->setText(m_msFlexGrid2->TextMatrix(row, i));
    m_boxes->dtPicker1->setValueText(m_msFlexGrid2->TextMatrix(row, 5));
    for (int i = 5; i <= 9; ++i)
        m_boxes->text[i]->setText(m_msFlexGrid2->TextMatrix(row, i + 1));
    showRoom();
}

void StayListWindow::showRoom()
{
    grid::reset(m_msFlexGrid1, grid::roomHeader());
    if (m_kind.emptyRoomRowWhenMissing)
        m_msFlexGrid1->setRows(2);
    // Never leave the number of the room shown before beside another stay.
    m_boxes->text[10]->clear();
    if (!m_shown || !m_shown->room)
        return;
    // Showing the room is a courtesy: the particulars above are already in place.
    const auto found = hotel::roomOfStay(hotel::session(), *m_shown->room);
    if (!found.ok() || !found.value())
        return;
    m_msFlexGrid1->setRows(1);
    grid::appendRow(m_msFlexGrid1, found.value()->stored, {}); // a room has no times
    m_boxes->text[10]->setText(found.value()->room.number);
}

void StayListWindow::takeRoom(const ui::RoomHandoff &room)
{
    int row = room.recordKey >= 0 ? rowHolding(m_msFlexGrid2, 0, room.recordKey) : 0;
    if (row == 0)
        row = rowHolding(m_msFlexGrid2, 8, room.roomKey);
    m_msFlexGrid2->selectRecord(row);
}

bool StayListWindow::chosen()
{
    // The boxes hold the record picked last; nothing picked, or the pick undone, is nothing chosen.
    if (!m_msFlexGrid2->hasSelectedRecord() || !m_shown) {
        ui::inform(this, ui::nothingChosenMessage());
        return false;
    }
    return true;
}

void StayListWindow::Command1_Click()
{
    if (!m_boxes->validate(m_msFlexGrid2) || !chosen())
        return;
    hotel::BoxReader reader;
    const hotel::Stay edited = m_boxes->read(reader);
    const hotel::Outcome saved = hotel::correctStay(hotel::session(), m_kind.kind, *m_shown, edited, reader);
    if (!saved.ok()) {
        ui::showOutcome(this, saved);
        return;
    }
    ui::inform(this, str(m_kind.saveMessage));
    ui::reopen(this, str(m_kind.formName));
}

void StayListWindow::Command2_Click()
{
    if (!m_kind.canCancel || !chosen())
        return;
    if (!ui::confirm(this, u"您确认取消此房间预订？"_s))
        return;
    const hotel::Outcome cancelled = hotel::withdrawStay(hotel::session(), m_kind.kind, *m_shown);
    if (!cancelled.ok()) {
        ui::showOutcome(this, cancelled);
        return;
    }
    ui::reopen(this, str(m_kind.formName));
}
