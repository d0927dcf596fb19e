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
    m_dtPicker1 = new DatePicker(this);
    m_dtPicker1->setObjectName(u"DTPicker1"_s);
    m_dtPicker2 = new DatePicker(this);
    m_dtPicker2->setObjectName(u"DTPicker2"_s);
    m_command1 = ui::makeButton(this, u"Command1"_s, u"查询"_s);

    QGroupBox *frame3 = ui::makeFrame(this, u"Frame3"_s);
    auto *range = new QHBoxLayout(frame3);
    QLabel *label16 = ui::makeLabel(frame3, u"Label16"_s, u"开始日期："_s);
    QLabel *label17 = ui::makeLabel(frame3, u"Label17"_s, u"结束日期："_s);
    ui::setBuddy(label16, m_dtPicker1);
    ui::setBuddy(label17, m_dtPicker2);
    range->addWidget(label16);
    range->addWidget(m_dtPicker1);
    range->addSpacing(24);
    range->addWidget(label17);
    range->addWidget(m_dtPicker2);
    range->addStretch(1);
    range->addWidget(m_command1);
    createLayout(frame3);

    connect(m_command1, &QPushButton::clicked, this, &DateStatsWindow::Command1_Click);
    Form_Load();
}

void DateStatsWindow::Command1_Click()
{
    StayDetailPanel::resetList(m_msFlexGrid2);
    m_msFlexGrid2->setListFilter(u"入住时间："_s + m_dtPicker1->text() + u" 至 "_s + m_dtPicker2->text());
    const auto stays =
        hotel::staysCheckedInBetween(hotel::session(), m_dtPicker1->Value(), m_dtPicker2->Value());
    // A refused right is said here; a store that fails is said by the list.
    if (stays.kind() == hotel::Outcome::Kind::Refused)
        ui::showOutcome(this, stays);
    listStays(stays);
}
