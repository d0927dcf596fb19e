#pragma once

#include "hotel/checkout.h"
#include "ui/windows.h"

#include <QDialog>
#include <array>
#include <optional>

class FlexGrid;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Check-out: fetch the stay of an occupied room, compute days, amount and balance against the
// prepayment, then store the completed stay, free the room and drop the stay, all or nothing.
class CheckOutWindow : public QDialog, public ui::RoomTaker
{
    Q_OBJECT
public:
    explicit CheckOutWindow(QWidget *owner = nullptr);

    // The board hands over an occupied room: its stay is fetched as if its number were typed.
    void takeRoom(const ui::RoomHandoff &room) override;

private Q_SLOTS:
    // A new room number: what was fetched for the old one goes.
    void forgetStay();
    void fetchStay();
    void settle();
    void confirm();

private:
    // The boxes of the completed stay, in the order of its columns (Text2..Text16).
    enum Field {
        Guest,
        Unit,
        IdType,
        IdNumber,
        CheckIn,
        PlannedDays,
        Persons,
        RoomKey, // hidden under the room number
        Prepayment,
        CheckOut,
        Days,
        Amount,
        Due,
        Refund,
        Remarks,
        FieldCount
    };

    void createLayout();
    void startEmpty();
    void showStay(const hotel::Stay &stay);
    // The completed stay as the boxes hold it; `read` keeps the first box that holds no value
    // its column takes.
    hotel::CompletedStay completedStay(hotel::BoxReader &read) const;
    QString fieldText(Field field) const;

    QGroupBox *m_searchFrame;
    QGroupBox *m_stayFrame;
    QRadioButton *m_byRoomNumber;
    QLineEdit *m_roomNumberSearch;               // Text1
    std::array<QLabel *, FieldCount> m_labels{}; // Label1..Label15
    std::array<QLineEdit *, FieldCount> m_fields{};
    QLineEdit *m_roomNumberEdit; // Text17, over the room key
    FlexGrid *m_roomGrid;
    QPushButton *m_fetchButton;
    QPushButton *m_settleButton;
    QPushButton *m_confirmButton;
    // The room and its stay rows as fetched: the price is charged from it, and the confirmation
    // stores only while the store still reads so.
    std::optional<hotel::checkout::Quote> m_quote;
};
