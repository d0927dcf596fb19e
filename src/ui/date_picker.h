#pragma once

#include <QDateTimeEdit>

// A date-time picker. Its value starts at the windows' design value, 26 April 2006 00:00:00,
// unless the window sets it. Tab and Shift+Tab leave it like any other box; arrows and typing
// move between its sections.
class DatePicker : public QDateTimeEdit
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

    static QDateTime designValue();

    QDateTime Value() const { return dateTime(); }
    void setValue(const QDateTime &value) { setDateTime(value); }
    // Reads the text as a date-time in the operator's locale; false (value kept) when it is none.
    bool setValueText(const QString &text);

protected:
    bool focusNextPrevChild(bool next) override;
};
