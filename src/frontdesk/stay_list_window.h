#pragma once

#include "hotel/records.h"
#include "ui/windows.h"

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>

namespace hotel {
enum class StayKind;
}
class StayParticulars;
class FlexGrid;
class QGroupBox;
class QPushButton;

// What sets the current-guests list apart from its twin, the reservations list.
struct StayListKind {
    const char16_t *formName;
    const char16_t *caption;
    const char16_t *listCaption; // Frame2
    hotel::StayKind kind;
    const char16_t *saveMessage;
    bool emptyRoomRowWhenMissing; // a stay whose room is gone still shows one (empty) room row
    bool canCancel;               // Command2 deletes the reservation and frees its room
};

// Lists stays in progress (CurrentGuestsWindow) or reservations (ReservationListWindow) and
// corrects the one shown in the boxes; the reservations list also cancels it. Both always act on
// the row whose particulars are shown.
class StayListWindow : public QDialog, public ui::RoomTaker
{
    Q_OBJECT
public:
    StayListWindow(const StayListKind &kind, QWidget *owner);
    ~StayListWindow() override;

    // Chooses the record the board showed for the room, else the room's first record.
    void takeRoom(const ui::RoomHandoff &room) override;

private Q_SLOTS:
    void showChosen();
    void saveChanges();
    void cancelReservation();

private:
    void createLayout();
    void loadList();
    void showRoom();
    // False, after one message, when no record is chosen.
    bool requireChosen();

    const StayListKind &m_kind;
    // The record whose particulars the boxes show, as listed; none until one is shown.
    std::optional<hotel::Stay> m_shown;
    QGroupBox *m_detailFrame;
    QGroupBox *m_listFrame;
    std::unique_ptr<StayParticulars> m_particulars;
    FlexGrid *m_roomGrid;
    FlexGrid *m_list;
    QPushButton *m_saveButton;
    QPushButton *m_cancelButton = nullptr;
};

class CurrentGuestsWindow : public StayListWindow
{
    Q_OBJECT
public:
    explicit CurrentGuestsWindow(QWidget *owner = nullptr);
};

class ReservationListWindow : public StayListWindow
{
    Q_OBJECT
public:
    explicit ReservationListWindow(QWidget *owner = nullptr);
};
