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

private Q_SLOTS:
    void query();

private:
    QLineEdit *m_roomNumberEdit = nullptr;
    QPushButton *m_queryButton = nullptr;
};
