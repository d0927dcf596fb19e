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
    connect(m_list, &FlexGrid::Click, this, &StayListWindow::showChosen);
    connect(m_saveButton, &QPushButton::clicked, this, &StayListWindow::saveChanges);
    if (m_cancelButton)
        connect(m_cancelButton, &QPushButton::clicked, this, &StayListWindow::cancelReservation);
    loadList();
}

StayListWindow::~StayListWindow() = default;

void StayListWindow::createLayout()
{
    m_listFrame = ui::makeFrame(this, u"Frame2"_s, str(m_kind.listCaption));
    m_list = new FlexGrid(m_listFrame);
    m_list->setObjectName(u"MSFlexGrid2"_s);
    m_list->setMinimumSize(1000, 200); // wide enough for every column of a stay
    auto *listLayout = new QVBoxLayout(m_listFrame);
    listLayout->addWidget(m_list);

    m_detailFrame = ui::makeFrame(this, u"Frame1"_s);
    m_particulars = std::make_unique<StayParticulars>(m_detailFrame);
    m_roomGrid = new FlexGrid(m_detailFrame);
    m_roomGrid->setObjectName(u"MSFlexGrid1"_s);
    m_roomGrid->setToolTip(u"旅客入住的房间基本信息"_s);
    m_roomGrid->setFixedHeight(64);
    m_saveButton = ui::makeButton(m_detailFrame, u"Command1"_s, u"确认修改信息"_s);
    if (m_kind.canCancel)
        m_cancelButton = ui::makeButton(m_detailFrame, u"Command2"_s, u"取消房间预订"_s);

    auto *grid = new QGridLayout(m_detailFrame);
    m_particulars->layOut(grid);
    grid->addWidget(m_roomGrid, 5, 0, 1, 6);
    grid->addWidget(m_particulars->remarksLabel, 6, 0);
    grid->addWidget(m_particulars->remarksEdit, 6, 1, 1, 4);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_saveButton);
    if (m_cancelButton)
        buttons->addWidget(m_cancelButton);
    grid->addLayout(buttons, 7, 0, 1, 6);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_listFrame, 1);
    layout->addWidget(m_detailFrame);

    QWidget *order[] = {m_list,
                        m_particulars->guestEdit,
                        m_particulars->unitEdit,
                        m_particulars->idTypeEdit,
                        m_particulars->idNumberEdit,
                        m_particulars->checkInPicker,
                        m_particulars->plannedDaysEdit,
                        m_particulars->personsEdit,
                        m_particulars->prepaymentEdit,
                        m_particulars->remarksEdit,
                        m_saveButton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    if (m_cancelButton)
        setTabOrder(m_saveButton, m_cancelButton);
}

void StayListWindow::loadList()
{
    // The header stands even when the list cannot be read, and the list says why.
    const auto stays = hotel::listStays(hotel::session(), m_kind.kind);
    grid::fill(m_list, grid::stayHeader(), grid::DefaultRowHeight, stays);
}

void StayListWindow::showChosen()
{
    if (!m_list->hasSelectedRecord())
        return;
    const int row = m_list->RowSel();
    if (const auto stored = ui::chosenRow(this, m_list))
        m_shown = hotel::fromRow<hotel::Stay>(*stored);
    const StayParticulars &p = *m_particulars;
    const auto cell = [this, row](int col) { return m_list->text(row, col); };
    p.guestEdit->setText(cell(1));
    p.unitEdit->setText(cell(2));
    p.idTypeEdit->setText(cell(3));
    p.idNumberEdit->setText(cell(4));
    p.checkInPicker->setValueText(cell(5));
    p.plannedDaysEdit->setText(cell(6));
    p.personsEdit->setText(cell(7));
    p.roomKeyEdit->setText(cell(8));
    p.prepaymentEdit->setText(cell(9));
    p.remarksEdit->setText(cell(10));
    showRoom();
}

void StayListWindow::showRoom()
{
    grid::reset(m_roomGrid, grid::roomHeader());
    if (m_kind.emptyRoomRowWhenMissing)
        m_roomGrid->setRows(2);
    // Never leave the number of the room shown before beside another stay.
    m_particulars->roomNumberEdit->clear();
    if (!m_shown || !m_shown->room)
        return;
    // Showing the room is a courtesy: the particulars above are already in place.
    const auto found = hotel::roomOfStay(hotel::session(), *m_shown->room);
    if (!found.ok() || !found.value())
        return;
    m_roomGrid->setRows(1);
    grid::appendRow(m_roomGrid, found.value()->stored, {}); // a room has no times
    m_particulars->roomNumberEdit->setText(found.value()->room.number);
}

void StayListWindow::takeRoom(const ui::RoomHandoff &room)
{
    int row = room.recordKey >= 0 ? rowHolding(m_list, 0, room.recordKey) : 0;
    if (row == 0)
        row = rowHolding(m_list, 8, room.roomKey);
    m_list->selectRecord(row);
}

bool StayListWindow::requireChosen()
{
    // The boxes hold the record picked last; nothing picked, or the pick undone, is nothing chosen.
    if (!m_list->hasSelectedRecord() || !m_shown) {
        ui::inform(this, ui::nothingChosenMessage());
        return false;
    }
    return true;
}

void StayListWindow::saveChanges()
{
    if (!m_particulars->validate(m_list) || !requireChosen())
        return;
    hotel::BoxReader reader;
    const hotel::Stay edited = m_particulars->read(reader);
    const hotel::Outcome saved = hotel::correctStay(hotel::session(), m_kind.kind, *m_shown, edited, reader);
    if (!saved.ok()) {
        ui::showOutcome(this, saved);
        return;
    }
    ui::inform(this, str(m_kind.saveMessage));
    ui::reopen(this, str(m_kind.formName));
}

void StayListWindow::cancelReservation()
{
    if (!m_kind.canCancel || !requireChosen())
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
