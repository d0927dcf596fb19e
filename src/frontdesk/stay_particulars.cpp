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
    const QString captions[] = {{},
                                u"旅客姓名："_s,
                                u"旅客单位："_s,
                                u"证件名称："_s,
                                u"证件号码："_s,
                                u"入住时间："_s,
                                u"计划入住天数："_s,
                                u"入住人数："_s,
                                u"房间ID："_s,
                                u"预付款："_s,
                                u"备注信息："_s,
                                u"天"_s,
                                u"人"_s,
                                u"元"_s};
    for (int i = 1; i <= 13; ++i)
        label[i] = ui::makeLabel(frame, u"Label"_s + QString::number(i), captions[i]);
    for (int i = 1; i <= 10; ++i) {
        if (i == 7)
            text[i] = ui::makeHiddenKeyBox(frame, u"Text7"_s);
        else if (i == 10)
            text[i] = ui::makeRoomNumberBox(frame, u"Text10"_s);
        else
            text[i] = ui::makeTextBox(frame, u"Text"_s + QString::number(i));
    }
    dtPicker1 = new DatePicker(frame);
    dtPicker1->setObjectName(u"DTPicker1"_s);

    // Label i names box i, except where the date picker and the room pair sit.
    for (int i : {1, 2, 3, 4})
        ui::setBuddy(label[i], text[i]);
    ui::setBuddy(label[5], dtPicker1);
    ui::setBuddy(label[6], text[5]);
    ui::setBuddy(label[7], text[6]);
    ui::setBuddy(label[8], text[10]);
    ui::setBuddy(label[9], text[8]);
    ui::setBuddy(label[10], text[9]);
}

void StayParticulars::layOut(QGridLayout *grid) const
{
    grid->addWidget(label[1], 0, 0);
    grid->addWidget(text[1], 0, 1);
    grid->addWidget(label[2], 0, 3);
    grid->addWidget(text[2], 0, 4);
    grid->addWidget(label[3], 1, 0);
    grid->addWidget(text[3], 1, 1);
    grid->addWidget(label[4], 1, 3);
    grid->addWidget(text[4], 1, 4);
    grid->addWidget(label[5], 2, 0);
    grid->addWidget(dtPicker1, 2, 1);
    grid->addWidget(label[6], 2, 3);
    grid->addWidget(text[5], 2, 4);
    grid->addWidget(label[11], 2, 5);
    grid->addWidget(label[7], 3, 0);
    grid->addWidget(text[6], 3, 1);
    grid->addWidget(label[12], 3, 2);
    grid->addWidget(label[8], 3, 3);
    grid->addWidget(text[7], 3, 4); // the room key lies hidden under the room number
    grid->addWidget(text[10], 3, 4);
    grid->addWidget(label[9], 4, 0);
    grid->addWidget(text[8], 4, 1);
    grid->addWidget(label[13], 4, 2);
    grid->setColumnMinimumWidth(2, 24);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
}

bool StayParticulars::validate(QWidget *roomChooser) const
{
    for (int i = 1; i <= 8; ++i) {
        if (text[i]->text().isEmpty()) {
            // The room key is hidden: a missing room is mended in the list it is picked from.
            ui::refuseAt(i == 7 ? roomChooser : text[i], u"请填写完整资料？"_s);
            return false;
        }
    }
    for (int i : {5, 6, 8}) {
        if (!conv::isNumeric(text[i]->text())) {
            ui::refuseAt(text[i], u"入住天数，人数，预付款只能为数字形式？"_s);
            return false;
        }
    }
    return true;
}

hotel::Stay StayParticulars::read(hotel::BoxReader &reader) const
{
    hotel::Stay stay;
    stay.guest = text[1]->text();
    stay.unit = text[2]->text();
    stay.idType = text[3]->text();
    stay.idNumber = text[4]->text();
    stay.checkIn = reader.time(dtPicker1->Value());
    // In the order the store always filled the row, so the first value refused is the same one.
    stay.plannedDays = reader.int16(text[5]->text());
    stay.persons = reader.int16(text[6]->text());
    stay.room = reader.int16(text[7]->text());
    stay.prepayment = reader.int16(text[8]->text());
    stay.remarks = text[9]->text();
    return stay;
}

int rowHolding(const FlexGrid *grid, int column, qint64 key)
{
    const QString shown = QString::number(key);
    for (int r = 1; r < grid->Rows(); ++r) {
        if (grid->TextMatrix(r, column) == shown)
            return r;
    }
    return 0;
}
