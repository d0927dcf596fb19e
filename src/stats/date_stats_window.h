#pragma once

#include "stats/stats_window.h"

class DatePicker;
class QPushButton;

// "按日期统计": the completed stays whose check-in time lies in a chosen range, newest first,
// with the particulars and room of the one chosen, as in the history.
class DateStatsWindow : public StatsWindow
{
    Q_OBJECT
public:
    explicit DateStatsWindow(QWidget *owner);

private Q_SLOTS:
    void query();

private:
    DatePicker *m_fromPicker = nullptr;
    DatePicker *m_toPicker = nullptr;
    QPushButton *m_queryButton = nullptr;
};
