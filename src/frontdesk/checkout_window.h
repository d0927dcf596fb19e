#pragma once

#include "hotel/checkout.h"
#include "ui/windows.h"

#include <QDialog>
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

    void Text1_Change();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

private:
    void createLayout();
    void Form_Load();
    void showStay(const hotel::Stay &stay);
    // The completed stay as the boxes hold it; `read` keeps the first box that holds no value
    // its column takes.
    hotel::CompletedStay completedStay(hotel::BoxReader &read) const;

    QGroupBox *m_frame1;
    QGroupBox *m_frame2;
    QRadioButton *m_option1;
    QLabel *m_label[16] = {};   // Label1..Label15, by number
    QLineEdit *m_text[18] = {}; // Text1..Text17, by number
    FlexGrid *m_msFlexGrid1;
    QPushButton *m_command1;
    QPushButton *m_command2;
    QPushButton *m_command3;
    // The room and its stay rows as fetched: the price is charged from it, and the confirmation
    // stores only while the store still reads so.
    std::optional<hotel::checkout::Quote> m_quote;
};
