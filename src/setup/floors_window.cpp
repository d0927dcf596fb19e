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
    connect(m_list, &FlexGrid::Click, this, &FloorsWindow::showChosen);
    connect(m_addButton, &QPushButton::clicked, this, &FloorsWindow::addFloor);
    connect(m_renameButton, &QPushButton::clicked, this, &FloorsWindow::renameFloor);
    connect(m_deleteButton, &QPushButton::clicked, this, &FloorsWindow::deleteFloor);
    loadList();
}

QString FloorsWindow::header()
{
    return u"序号|^楼层名称           "_s;
}

void FloorsWindow::createLayout()
{
    m_listFrame = ui::makeFrame(this, u"Frame1"_s);
    m_list = new FlexGrid(m_listFrame);
    m_list->setObjectName(u"MSFlexGrid1"_s);
    m_list->setMinimumSize(360, 220);
    auto *listLayout = new QVBoxLayout(m_listFrame);
    listLayout->addWidget(m_list);

    m_addFrame = ui::makeFrame(this, u"Frame2"_s);
    m_newNameLabel = ui::makeLabel(m_addFrame, u"Label1"_s, u"楼层名称："_s);
    m_newNameEdit = ui::makeTextBox(m_addFrame, u"Text1"_s);
    m_addButton = ui::makeButton(m_addFrame, u"Command1"_s, u"添加楼层"_s);
    ui::setBuddy(m_newNameLabel, m_newNameEdit);
    auto *addLayout = new QHBoxLayout(m_addFrame);
    addLayout->addWidget(m_newNameLabel);
    addLayout->addWidget(m_newNameEdit, 1);
    addLayout->addWidget(m_addButton);

    m_editFrame = ui::makeFrame(this, u"Frame3"_s);
    m_nameLabel = ui::makeLabel(m_editFrame, u"Label2"_s, u"楼层名称："_s);
    m_nameEdit = ui::makeTextBox(m_editFrame, u"Text2"_s);
    m_renameButton = ui::makeButton(m_editFrame, u"Command2"_s, u"修改楼层"_s);
    m_deleteButton = ui::makeButton(m_editFrame, u"Command3"_s, u"删除"_s);
    ui::setBuddy(m_nameLabel, m_nameEdit);
    auto *editLayout = new QHBoxLayout(m_editFrame);
    editLayout->addWidget(m_nameLabel);
    editLayout->addWidget(m_nameEdit, 1);
    editLayout->addWidget(m_renameButton);
    editLayout->addWidget(m_deleteButton);

    m_picture = ui::makeLabel(this, u"Image1"_s, QString());
    m_picture->setPixmap(pictures::windowPicture(QChar(u'楼'), QColor(0x00, 0x83, 0x8f)));
    m_picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto *right = new QVBoxLayout;
    right->addWidget(m_listFrame, 1);
    right->addWidget(m_addFrame);
    right->addWidget(m_editFrame);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_picture);
    layout->addLayout(right, 1);
}

void FloorsWindow::loadList()
{
    // A list that cannot be read stays empty; the window still opens.
    const auto floors = hotel::listFloors(hotel::session());
    grid::fill(m_list, header(), grid::DefaultRowHeight, floors);
}

void FloorsWindow::showChosen()
{
    if (!m_list->hasSelectedRecord())
        return;
    m_nameEdit->setText(m_list->text(m_list->RowSel(), 1));
}

void FloorsWindow::addFloor()
{
    if (m_newNameEdit->text().isEmpty()) {
        ui::refuseAt(m_newNameEdit, u"请填写完整资料！"_s);
        return;
    }
    const hotel::Outcome o = hotel::addFloor(hotel::session(), hotel::Floor{0, m_newNameEdit->text()});
    if (!o.ok()) {
        ui::showOutcome(this, o);
        return;
    }
    ui::inform(this, u"恭喜您，添加楼层信息成功！"_s);
    ui::reopen(this, u"Form5"_s);
}

void FloorsWindow::renameFloor()
{
    if (m_nameEdit->text().isEmpty()) {
        ui::refuseAt(m_nameEdit, u"请填写完整资料！"_s);
        return;
    }
    const auto shown = ui::chosenRow(this, m_list);
    if (!shown)
        return;
    const hotel::Outcome o =
        hotel::renameFloor(hotel::session(), hotel::fromRow<hotel::Floor>(*shown), m_nameEdit->text());
    if (!o.ok()) {
        ui::showOutcome(this, o);
        return;
    }
    ui::inform(this, u"恭喜您，楼层信息修改成功！"_s);
    ui::reopen(this, u"Form5"_s);
}

void FloorsWindow::deleteFloor()
{
    const auto shown = ui::chosenRow(this, m_list);
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
