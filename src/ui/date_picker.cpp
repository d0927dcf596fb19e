#include "ui/date_picker.h"

#include "data/conversions.h"

DatePicker::DatePicker(QWidget *parent) : QDateTimeEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(conv::generalDateFormat());
    setMinimumDateTime(QDate(100, 1, 1).startOfDay());
    setDateTime(designValue());
}

QDateTime DatePicker::designValue()
{
    return QDateTime(QDate(2006, 4, 26), QTime(0, 0, 0));
}

bool DatePicker::setValueText(const QString &text)
{
    const auto value = conv::textToDateTime(text);
    if (!value)
        return false;
    setDateTime(*value);
    return true;
}

bool DatePicker::focusNextPrevChild(bool next)
{
    // QDateTimeEdit walks its sections on Tab, so digits meant for the next box land in the time.
    return QWidget::focusNextPrevChild(next);
}
