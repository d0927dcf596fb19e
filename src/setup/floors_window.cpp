#include "setup/floors_window.h"

#include "hotel/setup.h"
#include "ui/chosen_record.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/grid_fill.h"
#include "ui/pictures.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

FloorsWindow::FloorsWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Form5"_s);
    setWindowTitle(u"楼层管理"_s);
    createLayout();
    connect(m_msFlexGrid1, &FlexGrid::Click, this, &FloorsWindow::MSFlexGrid1_Click);
    connect(m_command1, &QPushButton::clicked, this, &FloorsWindow::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &FloorsWindow::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &FloorsWindow::Command3_Click);
    Form_Load();
}

QString FloorsWindow::header()
{
    return u"序号|^楼层名称           "_s;
}

void FloorsWindow::createLayout()
{
    m_frame1 = ui::makeFrame(this, u"Frame1"_s);
    m_msFlexGrid1 = new FlexGrid(m_frame1);
    m_msFlexGrid1->setObjectName(u"MSFlexGrid1"_s);
    m_msFlexGrid1->setMinimumSize(360, 220);
    auto *listLayout = new QVBoxLayout(m_frame1);
    listLayout->addWidget(m_msFlexGrid1);

    m_frame2 = ui::makeFrame(this, u"Frame2"_s);
    m_label1 = ui::makeLabel(m_frame2, u"Label1"_s, u"楼层名称："_s);
    m_text1 = ui::makeTextBox(m_frame2, u"Text1"_s);
    m_command1 = ui::makeButton(m_frame2, u"Command1"_s, u"添加楼层"_s);
    ui::setBuddy(m_label1, m_text1);
    auto *addLayout = new QHBoxLayout(m_frame2);
    addLayout->addWidget(m_label1);
    addLayout->addWidget(m_text1, 1);
    addLayout->addWidget(m_command1);

    m_frame3 = ui::makeFrame(this, u"Frame3"_s);
    m_label2 = ui::makeLabel(m_frame3, u"Label2"_s, u"楼层名称："_s);
    m_text2 = ui::makeTextBox(m_frame3, u"Text2"_s);
    m_command2 = ui::makeButton(m_frame3, u"Command2"_s, u"修改楼层"_s);
    m_command3 = ui::makeButton(m_frame3, u"Command3"_s, u"删除"_s);
    ui::setBuddy(m_label2, m_text2);
    auto *editLayout = new QHBoxLayout(m_frame3);
    editLayout->addWidget(m_label2);
    editLayout->addWidget(m_text2, 1);
    editLayout->addWidget(m_command2);
    editLayout->addWidget(m_command3);

    m_image1 = ui::makeLabel(this, u"Image1"_s, QString());
    m_image1->setPixmap(pictures::windowPicture(QChar(u'楼'), QColor(0x00, 0x83, 0x8f)));
    m_image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto *right = new QVBoxLayout;
    right->addWidget(m_frame1, 1);
    right->addWidget(m_frame2);
    right->addWidget(m_frame3);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_image1);
    layout->addLayout(right, 1);
}

void FloorsWindow::Form_Load()
{
    // A list that cannot be read stays empty; the window still opens.
    const auto floors = hotel::listFloors(hotel::session());
    grid::fill(m_msFlexGrid1, header(), grid::DefaultRowHeight, floors);
}

void FloorsWindow::MSFlexGrid1_Click()
{
    if (!m_msFlexGrid1->hasSelectedRecord())
        return;
    m_text2->setText(m_msFlexGrid1->TextMatrix(m_msFlexGrid1->RowSel(), 1));
}

void FloorsWindow::Command1_Click()
{
    if (m_text1->text().isEmpty()) {
        ui::refuseAt(m_text1, u"请填写完整资料！"_s);
        return;
    }
    const hotel::Outcome o = hotel::addFloor(hotel::session(), hotel::Floor{0, m_text1->text()});
    if (!o.ok()) {
        ui::showOutcome(this, o);
        return;
    }
    ui::inform(this, u"恭喜您，添加楼层信息成功！"_s);
    ui::reopen(this, u"Form5"_s);
}

void FloorsWindow::Command2_Click()
{
    if (m_text2->text().isEmpty()) {
        ui::refuseAt(m_text2, u"请填写完整资料！"_s);
        return;
    }
    const auto shown = ui::chosenRow(this, m_msFlexGrid1);
    if (!shown)
        return;
    const hotel::Outcome o =
        hotel::renameFloor(hotel::session(), hotel::fromRow<hotel::Floor>(*shown), m_text2->text());
    if (!o.ok()) {
        ui::showOutcome(this, o);
        return;
    }
    ui::inform(this, u"恭喜您，楼层信息修改成功！"_s);
    ui::reopen(this, u"Form5"_s);
}

void FloorsWindow::Command3_Click()
{
    const auto shown = ui::chosenRow(this, m_msFlexGrid1);
    if (!shown)
        return;
    if (!ui::confirm(this, u"您确认删除此信息？"_s))
        return;
    const hotel::Outcome o = hotel::deleteFloor(hotel::session(), hotel::fromRow<hotel::Floor>(*shown));
    if (!o.ok()) {
        ui::showOutcome(this, o);
        return;
    }
    ui::reopen(this, u"Form5"_s);
}
