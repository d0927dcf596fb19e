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

private Q_SLOTS:
    void query();

private:
    void fillChoices();

    DatePicker *m_fromPicker;
    DatePicker *m_toPicker;
    QComboBox *m_operatorCombo;
    QComboBox *m_deedCombo;
    QPushButton *m_queryButton;
    FlexGrid *m_list;
    ListTotalsLabel *m_totals;
};
