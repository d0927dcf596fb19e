#pragma once

#include <QDialog>

class DatePicker;
class FlexGrid;
class QPushButton;
class StayDetailPanel;

// "按日期统计": the completed stays whose check-in time lies in a chosen range, newest first,
// with the particulars and room of the one chosen, as in the history.
class Form16 : public QDialog
{
    Q_OBJECT
public:
    explicit Form16(QWidget *owner);

private:
    void createControls();
    void createLayout();
    void Form_Load();
    void Command1_Click();
    void MSFlexGrid2_Click();
    void Command2_Click();

    DatePicker *m_dtPicker1 = nullptr;
    DatePicker *m_dtPicker2 = nullptr;
    QPushButton *m_command1 = nullptr;
    FlexGrid *m_msFlexGrid2 = nullptr;
    StayDetailPanel *m_detail = nullptr;
    QPushButton *m_command2 = nullptr;
};
