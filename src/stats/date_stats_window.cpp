#include "stats/date_stats_window.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/db_error.h"
#include "data/schema.h"
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

Form16::Form16(QWidget *owner) : StatsWindow(u"Form16"_s, u"按日期统计"_s, u"Text1"_s, owner)
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

    connect(m_command1, &QPushButton::clicked, this, &Form16::Command1_Click);
    Form_Load();
}

void Form16::Command1_Click()
{
    // Date-times are kept as "yyyy-MM-dd HH:mm:ss" text, whose order is time order, so the
    // range is a text range on the check-in index. A stay whose check-in time is empty or
    // unreadable cannot be tested against the range and is listed whatever the range; a partial
    // index holds just those. The keys come from the two indexes alone (one found by both is
    // listed once); the rows are then read by key, newest first, with no sorting.
    StayDetailPanel::resetList(m_msFlexGrid2);
    const PagedTable::Filter stays{
        u"退房ID in (select 退房ID from 旅客退房 where 入住时间 between ? and ? "
        u"union all select 退房ID from 旅客退房 where "_s +
            schema::unreadableTime(u"入住时间"_s) + u")"_s,
        {conv::toStorage(m_dtPicker1->Value()), conv::toStorage(m_dtPicker2->Value())}};
    try {
        Connection connection;
        connection.open();
        listStays(connection, stays);
    } catch (const DbError &) {
        // A query that fails lists what it read, without a message.
        m_totals->clear();
    }
}
