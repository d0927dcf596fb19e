#include "stats/date_stats_window.h"

#include "hotel/statistics.h"
#include "ui/date_picker.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/list_totals_label.h"
#include "ui/seams.h"
#include "ui/stay_detail_panel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

DateStatsWindow::DateStatsWindow(QWidget *owner)
    : StatsWindow(u"Form16"_s, u"按日期统计"_s, u"Text1"_s, owner)
{
    m_fromPicker = new DatePicker(this);
    m_fromPicker->setObjectName(u"DTPicker1"_s);
    m_toPicker = new DatePicker(this);
    m_toPicker->setObjectName(u"DTPicker2"_s);
    m_queryButton = ui::makeButton(this, u"Command1"_s, u"查询"_s);

    QGroupBox *frame3 = ui::makeFrame(this, u"Frame3"_s);
    auto *range = new QHBoxLayout(frame3);
    QLabel *label16 = ui::makeLabel(frame3, u"Label16"_s, u"开始日期："_s);
    QLabel *label17 = ui::makeLabel(frame3, u"Label17"_s, u"结束日期："_s);
    ui::setBuddy(label16, m_fromPicker);
    ui::setBuddy(label17, m_toPicker);
    range->addWidget(label16);
    range->addWidget(m_fromPicker);
    range->addSpacing(24);
    range->addWidget(label17);
    range->addWidget(m_toPicker);
    range->addStretch(1);
    range->addWidget(m_queryButton);
    createLayout(frame3);

    connect(m_queryButton, &QPushButton::clicked, this, &DateStatsWindow::query);
    clearList();
}

void DateStatsWindow::query()
{
    StayDetailPanel::resetList(m_list);
    m_list->setListFilter(u"入住时间："_s + m_fromPicker->text() + u" 至 "_s + m_toPicker->text());
    const auto stays =
        hotel::staysCheckedInBetween(hotel::session(), m_fromPicker->Value(), m_toPicker->Value());
    // A refused right is said here; a store that fails is said by the list.
    if (stays.kind() == hotel::Outcome::Kind::Refused)
        ui::showOutcome(this, stays);
    listStays(stays);
}
