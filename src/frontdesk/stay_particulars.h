#pragma once

#include "hotel/records.h"

#include <QtGlobal>
#include <array>

class DatePicker;
class FlexGrid;
class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

// A guest's particulars as check-in, reservation, current guests and reservation edit all show
// them: Label1..Label13, Text1..Text10 (Text7 the hidden room key under the tinted room number
// Text10) and DTPicker1, with the checks and the row they make.
class StayParticulars
{
public:
    explicit StayParticulars(QWidget *frame);

    // Rows 0 to 4 of the frame's grid.
    void layOut(QGridLayout *grid) const;
    // Completeness first, then the numbers: one message and false when the input is refused, the
    // refused box (or `roomChooser` for a missing room) then holding the focus.
    bool validate(QWidget *roomChooser) const;
    // The particulars as a record; `reader` keeps the words for the first box that holds no value
    // its column takes.
    hotel::Stay read(hotel::BoxReader &reader) const;

    QLineEdit *guestEdit = nullptr;
    QLineEdit *unitEdit = nullptr;
    QLineEdit *idTypeEdit = nullptr;
    QLineEdit *idNumberEdit = nullptr;
    DatePicker *checkInPicker = nullptr;
    QLineEdit *plannedDaysEdit = nullptr;
    QLineEdit *personsEdit = nullptr;
    QLineEdit *roomKeyEdit = nullptr; // hidden
    QLineEdit *prepaymentEdit = nullptr;
    QLineEdit *remarksEdit = nullptr;
    QLineEdit *roomNumberEdit = nullptr; // shown, not typed into
    QLabel *remarksLabel = nullptr;      // laid out by the window, with the remarks box

private:
    std::array<QLabel *, 13> m_labels{}; // Label1..Label13
};

// The data row of a list whose column shows the key; 0 when none does.
int rowHolding(const FlexGrid *grid, int column, qint64 key);
