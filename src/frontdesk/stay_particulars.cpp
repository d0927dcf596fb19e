#include "frontdesk/stay_particulars.h"

#include "data/conversions.h"
#include "ui/date_picker.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/seams.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::Literals::StringLiterals;

StayParticulars::StayParticulars(QWidget *frame)
{
    const QString captions[] = {u"旅客姓名："_s, u"旅客单位："_s,     u"证件名称："_s, u"证件号码："_s,
                                u"入住时间："_s, u"计划入住天数："_s, u"入住人数："_s, u"房间ID："_s,
                                u"预付款："_s,   u"备注信息："_s,     u"天"_s,         u"人"_s,
                                u"元"_s};
    for (std::size_t i = 0; i < m_labels.size(); ++i)
        m_labels[i] = ui::makeLabel(frame, u"Label"_s + QString::number(i + 1), captions[i]);
    guestEdit = ui::makeTextBox(frame, u"Text1"_s);
    unitEdit = ui::makeTextBox(frame, u"Text2"_s);
    idTypeEdit = ui::makeTextBox(frame, u"Text3"_s);
    idNumberEdit = ui::makeTextBox(frame, u"Text4"_s);
    plannedDaysEdit = ui::makeTextBox(frame, u"Text5"_s);
    personsEdit = ui::makeTextBox(frame, u"Text6"_s);
    roomKeyEdit = ui::makeHiddenKeyBox(frame, u"Text7"_s);
    prepaymentEdit = ui::makeTextBox(frame, u"Text8"_s);
    remarksEdit = ui::makeTextBox(frame, u"Text9"_s);
    roomNumberEdit = ui::makeRoomNumberBox(frame, u"Text10"_s);
    checkInPicker = new DatePicker(frame);
    checkInPicker->setObjectName(u"DTPicker1"_s);
    remarksLabel = m_labels[9];

    ui::setBuddy(m_labels[0], guestEdit);
    ui::setBuddy(m_labels[1], unitEdit);
    ui::setBuddy(m_labels[2], idTypeEdit);
    ui::setBuddy(m_labels[3], idNumberEdit);
    ui::setBuddy(m_labels[4], checkInPicker);
    ui::setBuddy(m_labels[5], plannedDaysEdit);
    ui::setBuddy(m_labels[6], personsEdit);
    ui::setBuddy(m_labels[7], roomNumberEdit);
    ui::setBuddy(m_labels[8], prepaymentEdit);
    ui::setBuddy(m_labels[9], remarksEdit);
}

void StayParticulars::layOut(QGridLayout *grid) const
{
    grid->addWidget(m_labels[0], 0, 0);
    grid->addWidget(guestEdit, 0, 1);
    grid->addWidget(m_labels[1], 0, 3);
    grid->addWidget(unitEdit, 0, 4);
    grid->addWidget(m_labels[2], 1, 0);
    grid->addWidget(idTypeEdit, 1, 1);
    grid->addWidget(m_labels[3], 1, 3);
    grid->addWidget(idNumberEdit, 1, 4);
    grid->addWidget(m_labels[4], 2, 0);
    grid->addWidget(checkInPicker, 2, 1);
    grid->addWidget(m_labels[5], 2, 3);
    grid->addWidget(plannedDaysEdit, 2, 4);
    grid->addWidget(m_labels[10], 2, 5);
    grid->addWidget(m_labels[6], 3, 0);
    grid->addWidget(personsEdit, 3, 1);
    grid->addWidget(m_labels[11], 3, 2);
    grid->addWidget(m_labels[7], 3, 3);
    grid->addWidget(roomKeyEdit, 3, 4); // the room key lies hidden under the room number
    grid->addWidget(roomNumberEdit, 3, 4);
    grid->addWidget(m_labels[8], 4, 0);
    grid->addWidget(prepaymentEdit, 4, 1);
    grid->addWidget(m_labels[12], 4, 2);
    grid->setColumnMinimumWidth(2, 24);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
}

bool StayParticulars::validate(QWidget *roomChooser) const
{
    for (QLineEdit *box : {guestEdit, unitEdit, idTypeEdit, idNumberEdit, plannedDaysEdit, personsEdit,
                           roomKeyEdit, prepaymentEdit}) {
        if (box->text().isEmpty()) {
            // The room key is hidden: a missing room is mended in the list it is picked from.
            ui::refuseAt(box == roomKeyEdit ? roomChooser : box, u"请填写完整资料？"_s);
            return false;
        }
    }
    for (QLineEdit *box : {plannedDaysEdit, personsEdit, prepaymentEdit}) {
        if (!conv::isNumeric(box->text())) {
            ui::refuseAt(box, u"入住天数，人数，预付款只能为数字形式？"_s);
            return false;
        }
    }
    return true;
}

hotel::Stay StayParticulars::read(hotel::BoxReader &reader) const
{
    hotel::Stay stay;
    stay.guest = guestEdit->text();
    stay.unit = unitEdit->text();
    stay.idType = idTypeEdit->text();
    stay.idNumber = idNumberEdit->text();
    stay.checkIn = reader.time(checkInPicker->Value());
    // In the order the store always filled the row, so the first value refused is the same one.
    stay.plannedDays = reader.int16(plannedDaysEdit->text());
    stay.persons = reader.int16(personsEdit->text());
    stay.room = reader.int16(roomKeyEdit->text());
    stay.prepayment = reader.int16(prepaymentEdit->text());
    stay.remarks = remarksEdit->text();
    return stay;
}

int rowHolding(const FlexGrid *grid, int column, qint64 key)
{
    const QString shown = QString::number(key);
    for (int r = 1; r < grid->Rows(); ++r) {
        if (grid->text(r, column) == shown)
            return r;
    }
    return 0;
}
