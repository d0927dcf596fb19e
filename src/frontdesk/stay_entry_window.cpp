#include "frontdesk/stay_entry_window.h"

#include "frontdesk/stay_particulars.h"
#include "hotel/stays.h"
#include "ui/date_picker.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/grid_fill.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

const StayEntryKind checkIn{u"Form8",
                            u"新旅客入住",
                            u"确认入住",
                            u"以下表中均为可供选择的空房间，请点击序号选择",
                            hotel::StayKind::Stay,
                            u"恭喜您，旅客入住成功？",
                            true};

const StayEntryKind reservation{u"Form10",
                                u"旅客房间预订",
                                u"确认预订",
                                u"以下表中都是可供选择的空房间，请点击序号进行选择",
                                hotel::StayKind::Reservation,
                                u"恭喜您，旅客预订房间成功？",
                                false};

QString str(const char16_t *text)
{
    return QString::fromUtf16(text);
}

} // namespace

CheckInWindow::CheckInWindow(QWidget *owner) : StayEntryWindow(checkIn, owner) {}

ReservationWindow::ReservationWindow(QWidget *owner) : StayEntryWindow(reservation, owner) {}

StayEntryWindow::StayEntryWindow(const StayEntryKind &kind, QWidget *owner) : QDialog(owner), m_kind(kind)
{
    setObjectName(str(kind.formName));
    setWindowTitle(str(kind.caption));
    createLayout();
    connect(m_roomList, &FlexGrid::Click, this, &StayEntryWindow::showChosenRoom);
    connect(m_confirmButton, &QPushButton::clicked, this, &StayEntryWindow::confirm);
    // A clerk who leaves the picker alone means now, also in the window a confirm shows again.
    m_particulars->checkInPicker->setValue(ui::now());
    loadFreeRooms();
}

StayEntryWindow::~StayEntryWindow() = default;

void StayEntryWindow::createLayout()
{
    m_frame = ui::makeFrame(this, u"Frame1"_s);
    m_particulars = std::make_unique<StayParticulars>(m_frame);
    m_instructionLabel = ui::makeLabel(m_frame, u"Label14"_s, str(m_kind.instruction));
    m_roomList = new FlexGrid(m_frame);
    m_roomList->setObjectName(u"MSFlexGrid1"_s);
    m_roomList->setToolTip(u"请选择房间,这里的房间都是未入住房间"_s);
    m_confirmButton = ui::makeButton(m_frame, u"Command1"_s, str(m_kind.confirmCaption));

    ui::setBuddy(m_instructionLabel, m_roomList);

    auto *grid = new QGridLayout(m_frame);
    m_particulars->layOut(grid);
    grid->addWidget(m_instructionLabel, 5, 0, 1, 6);
    grid->addWidget(m_roomList, 6, 0, 1, 6);
    grid->addWidget(m_particulars->remarksLabel, 7, 0);
    grid->addWidget(m_particulars->remarksEdit, 7, 1, 1, 4);
    grid->addWidget(m_confirmButton, 8, 4, 1, 2, Qt::AlignRight);
    grid->setRowStretch(6, 1);
    m_roomList->setMinimumSize(640, 180);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame);

    QWidget *order[] = {m_particulars->guestEdit,
                        m_particulars->unitEdit,
                        m_particulars->idTypeEdit,
                        m_particulars->idNumberEdit,
                        m_particulars->checkInPicker,
                        m_particulars->plannedDaysEdit,
                        m_particulars->personsEdit,
                        m_particulars->prepaymentEdit,
                        m_roomList,
                        m_particulars->remarksEdit,
                        m_confirmButton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void StayEntryWindow::loadFreeRooms()
{
    // The window still opens when the rooms cannot be read, with the header only.
    const auto rooms = hotel::freeRooms(hotel::session());
    grid::fill(m_roomList, grid::roomHeader(), grid::DefaultRowHeight, rooms);
}

void StayEntryWindow::showChosenRoom()
{
    if (!m_roomList->hasSelectedRecord())
        return;
    const int row = m_roomList->RowSel();
    m_particulars->roomKeyEdit->setText(m_roomList->text(row, 0));
    m_particulars->roomNumberEdit->setText(m_roomList->text(row, 1));
}

void StayEntryWindow::takeRoom(const ui::RoomHandoff &room)
{
    if (m_kind.startsAtHandoffTime && room.time.isValid())
        m_particulars->checkInPicker->setValue(room.time);
    m_roomList->selectRecord(rowHolding(m_roomList, 0, room.roomKey));
}

bool StayEntryWindow::timeIsMeant()
{
    // A day's grace for a guest written up late; anything older is more likely a slip of the picker.
    if (m_particulars->checkInPicker->Value() >= ui::now().addDays(-1))
        return true;
    return ui::confirm(this, u"入住时间比现在早一天以上，确定按这个时间保存吗？"_s);
}

void StayEntryWindow::confirm()
{
    if (!m_particulars->validate(m_roomList) || !timeIsMeant())
        return;
    hotel::BoxReader reader;
    const hotel::Stay stay = m_particulars->read(reader);
    const auto entered = hotel::enterStay(hotel::session(), m_kind.kind, stay, reader);
    if (entered.isRefused(hotel::Refusal::RoomNotFree)) {
        ui::inform(this, u"对不起，此房间已经不是空闲房，请重新选择房间！"_s);
        // Show the rooms that are free now; the guest's particulars stay for the next pick.
        m_particulars->roomKeyEdit->clear();
        m_particulars->roomNumberEdit->clear();
        loadFreeRooms();
        return;
    }
    if (!entered.ok()) {
        ui::showOutcome(this, entered);
        return;
    }
    ui::inform(this, str(m_kind.successMessage));
    ui::reopen(this, str(m_kind.formName));
}
