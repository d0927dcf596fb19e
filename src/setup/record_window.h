#pragma once

#include <QDialog>

class DatePicker;
class FlexGrid;
class ListTotalsLabel;
class QComboBox;
class QPushButton;

// The record of who did what, read only: by date range, operator and kind, with its totals, and
// printed or exported as every list is.
class RecordWindow : public QDialog
{
    Q_OBJECT
public:
    explicit RecordWindow(QWidget *parent = nullptr);

    void Command1_Click();

private:
    void fillChoices();

    DatePicker *m_dtPicker1;
    DatePicker *m_dtPicker2;
    QComboBox *m_combo1;
    QComboBox *m_combo2;
    QPushButton *m_command1;
    FlexGrid *m_msFlexGrid1;
    ListTotalsLabel *m_totals;
};
