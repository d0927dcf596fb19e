#include "stats/stats_window.h"

#include "hotel/statistics.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/grid_fill.h"
#include "ui/list_totals_label.h"
#include "ui/seams.h"
#include "ui/stay_detail_panel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

StatsWindow::StatsWindow(const QString &formName, const QString &caption, const QString &roomNumberBox,
                         QWidget *owner)
    : QDialog(owner)
{
    setObjectName(formName);
    setWindowTitle(caption);
    m_list = new FlexGrid(this);
    m_list->setObjectName(u"MSFlexGrid2"_s);
    m_detail = new StayDetailPanel({roomNumberBox, u"应退款："_s, hotel::Right::Statistics}, this);
    m_calculatorButton = ui::makeButton(this, u"Command2"_s, u"计算器"_s);
    m_totals = new ListTotalsLabel(u"记录数"_s, hotel::statisticsSums(), this);
    m_list->setTotalsLabel(m_totals);
}

void StatsWindow::createLayout(QGroupBox *searchFrame)
{
    QGroupBox *frame1 = ui::makeFrame(this, u"Frame1"_s);
    auto *list = new QVBoxLayout(frame1);
    list->addWidget(m_list);
    list->addWidget(m_totals);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_calculatorButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(searchFrame);
    layout->addWidget(frame1, 1);
    layout->addWidget(m_detail);
    layout->addLayout(bottom);
    resize(900, 680);

    connect(m_list, &FlexGrid::Click, this, &StatsWindow::showChosen);
    connect(m_calculatorButton, &QPushButton::clicked, this, &StatsWindow::startCalculator);
}

void StatsWindow::clearList()
{
    StayDetailPanel::resetList(m_list);
    m_detail->clearRoom();
    m_totals->show(0);
}

void StatsWindow::showChosen()
{
    m_detail->showSelected(m_list);
}

void StatsWindow::startCalculator()
{
    ui::startProgram(this, ui::Program::Calculator);
}

void StatsWindow::listStays(const hotel::Result<hotel::ListingPtr> &stays)
{
    // Only the rows in view are read; the count and sums come with the list's own snapshot. A
    // refusal is the caller's to word; a store that failed says why.
    if (stays.kind() == hotel::Outcome::Kind::Refused)
        grid::reset(m_list, grid::completedStayHeader(), grid::DefaultRowHeight);
    else
        grid::fill(m_list, grid::completedStayHeader(), grid::DefaultRowHeight, stays);
    if (stays.ok())
        m_totals->show(stays.value()->count(), stays.value()->sums());
    else
        m_totals->clear();
}
