#pragma once

#include "stats/stats_window.h"

class QLineEdit;
class QPushButton;

// "按房间统计": the completed stays of one room, found by its number, newest first, with the
// particulars and room of the one chosen, as in the history.
class RoomStatsWindow : public StatsWindow
{
    Q_OBJECT
public:
    explicit RoomStatsWindow(QWidget *owner);

private:
    void Command1_Click();

    QLineEdit *m_text1 = nullptr;
    QPushButton *m_command1 = nullptr;
};
