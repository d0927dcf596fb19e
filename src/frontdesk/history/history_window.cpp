#include "frontdesk/history/history_window.h"

#include "data/db_error.h"
#include "data/schema.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/grid_fill.h"
#include "ui/seams.h"
#include "ui/stay_detail_panel.h"
#include "ui/windows.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

Form13::Form13(QWidget *owner) : QDialog(owner)
{
    setObjectName(u"Form13"_s);
    setWindowTitle(u"历史旅客退房记录"_s);
    createControls();
    createLayout();
    connect(m_msFlexGrid2, &FlexGrid::Click, this, &Form13::MSFlexGrid2_Click);
    connect(m_command2, &QPushButton::clicked, this, &Form13::Command2_Click);
    Form_Load();
}

void Form13::createControls()
{
    m_msFlexGrid2 = new FlexGrid(this);
    m_msFlexGrid2->setObjectName(u"MSFlexGrid2"_s);
    m_detail = new StayDetailPanel({u"Text1"_s, u"应  退  款："_s}, this);
    m_command2 = ui::makeButton(m_detail, u"Command2"_s, u"打印信息"_s);
    m_detail->addButton(m_command2);
}

void Form13::createLayout()
{
    QGroupBox *frame1 = ui::makeFrame(this, u"Frame1"_s);
    auto *listLayout = new QVBoxLayout(frame1);
    listLayout->addWidget(m_msFlexGrid2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame1, 1);
    layout->addWidget(m_detail);
    resize(900, 640);
}

void Form13::Form_Load()
{
    StayDetailPanel::resetList(m_msFlexGrid2);
    m_detail->Form_Load();
    try {
        grid::fillNewestFirst(m_msFlexGrid2, grid::completedStayHeader(), grid::DefaultRowHeight,
                              schema::CompletedStays);
    } catch (const DbError &e) {
        ui::showFailure(this, e); // the rows read so far stay listed
    }
}

void Form13::MSFlexGrid2_Click()
{
    m_detail->showSelected(m_msFlexGrid2);
}

void Form13::Command2_Click()
{
    ui::showWindow(u"Form21"_s, this);
}
