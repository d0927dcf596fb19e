#pragma once

#include "ui/windows.h"

#include <QDialog>
#include <QString>
#include <memory>

namespace hotel {
enum class StayKind;
}
class StayParticulars;
class FlexGrid;
class QGroupBox;
class QLabel;
class QPushButton;

// What sets check-in apart from its twin, the reservation.
struct StayEntryKind {
    const char16_t *formName;
    const char16_t *caption;
    const char16_t *confirmCaption; // Command1
    const char16_t *instruction;    // Label14, above the room list
    hotel::StayKind kind;
    const char16_t *successMessage;
    bool startsAtHandoffTime; // a room handed over by the board brings the check-in time
};

// A guest's particulars plus a free room picked from the list: a new stay (CheckInWindow) or a
// new reservation (ReservationWindow). The room is taken only if it is still free when the
// operator confirms.
class StayEntryWindow : public QDialog, public ui::RoomTaker
{
    Q_OBJECT
public:
    StayEntryWindow(const StayEntryKind &kind, QWidget *owner);
    ~StayEntryWindow() override;

    // Picks the room in the list, as a click on it would.
    void takeRoom(const ui::RoomHandoff &room) override;

private Q_SLOTS:
    void showChosenRoom();
    void confirm();

private:
    void createLayout();
    void loadFreeRooms();
    // True unless the time lies more than a day back and the operator does not confirm it.
    bool timeIsMeant();

    const StayEntryKind &m_kind;
    QGroupBox *m_frame;
    std::unique_ptr<StayParticulars> m_particulars;
    QLabel *m_instructionLabel;
    FlexGrid *m_roomList;
    QPushButton *m_confirmButton;
};

class CheckInWindow : public StayEntryWindow
{
    Q_OBJECT
public:
    explicit CheckInWindow(QWidget *owner = nullptr);
};

class ReservationWindow : public StayEntryWindow
{
    Q_OBJECT
public:
    explicit ReservationWindow(QWidget *owner = nullptr);
};
