#include "stats/room_stats_window.h"

#include "hotel/statistics.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/list_totals_label.h"
#include "ui/seams.h"
#include "ui/stay_detail_panel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

RoomStatsWindow::RoomStatsWindow(QWidget *owner)
    : StatsWindow(u"Form17"_s, u"按房间统计"_s, u"Text17"_s, owner)
{
    m_roomNumberEdit = ui::makeTextBox(this, u"Text1"_s);
    m_queryButton = ui::makeButton(this, u"Command1"_s, u"查询"_s);

    QGroupBox *frame3 = ui::makeFrame(this, u"Frame3"_s);
    auto *search = new QHBoxLayout(frame3);
    QLabel *label16 = ui::makeLabel(frame3, u"Label16"_s, u"房间号："_s);
    ui::setBuddy(label16, m_roomNumberEdit);
    search->addWidget(label16);
    search->addWidget(m_roomNumberEdit);
    search->addStretch(1);
    search->addWidget(m_queryButton);
    createLayout(frame3);

    connect(m_queryButton, &QPushButton::clicked, this, &RoomStatsWindow::query);
    clearList();
}

void RoomStatsWindow::query()
{
    if (m_roomNumberEdit->text().isEmpty()) {
        ui::inform(this, u"对不起，请输入查询对象？"_s);
        return;
    }
    StayDetailPanel::resetList(m_list);
    m_list->setListFilter(u"房间号："_s + m_roomNumberEdit->text());
    const auto stays = hotel::staysOfRoom(hotel::session(), m_roomNumberEdit->text());
    listStays(stays);
    if (stays.isRefused(hotel::Refusal::NotFound)) {
        m_totals->show(0);
        ui::inform(this, u"没有找到相关资料信息！"_s);
        return;
    }
    // A store failure the list said; a refused right is said here.
    if (stays.kind() == hotel::Outcome::Kind::Refused)
        ui::showOutcome(this, stays);
}
