#include "setup/rooms_window.h"

#include "hotel/setup.h"
#include "ui/chosen_record.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/grid_fill.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString AddCaption = u"新增房间"_s;
const QString ConfirmCaption = u"确认提交"_s;
const QString NoFloorChosen = u"请选择楼层"_s;
const QString PriceRefused = u"房间价格只能为货币数字形式？"_s;

// The status boxes show a room's status; the operator cannot tick them, since only the
// front desk changes a status.
class StatusBox : public QCheckBox
{
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint &) const override { return false; }
};

QCheckBox *makeStatusBox(QWidget *parent, const QString &name, const QString &caption)
{
    auto *box = new StatusBox(caption, parent);
    box->setObjectName(name);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

} // namespace

RoomsWindow::RoomsWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Form6"_s);
    setWindowTitle(u"房间管理"_s);
    createLayout();
    connect(m_list, &FlexGrid::Click, this, &RoomsWindow::showChosen);
    connect(m_addButton, &QPushButton::clicked, this, &RoomsWindow::addRoom);
    connect(m_changeButton, &QPushButton::clicked, this, &RoomsWindow::saveChanges);
    connect(m_deleteButton, &QPushButton::clicked, this, &RoomsWindow::deleteRoom);
    loadLists();
}

void RoomsWindow::createLayout()
{
    m_listFrame = ui::makeFrame(this, u"Frame1"_s);
    m_list = new FlexGrid(m_listFrame);
    m_list->setObjectName(u"MSFlexGrid1"_s);
    m_list->setMinimumSize(640, 220);
    auto *listLayout = new QVBoxLayout(m_listFrame);
    listLayout->addWidget(m_list);

    m_editFrame = ui::makeFrame(this, u"Frame2"_s);
    QWidget *f = m_editFrame;
    m_numberLabel = ui::makeLabel(f, u"Label1"_s, u"房间号："_s);
    m_numberEdit = ui::makeTextBox(f, u"Text1"_s);
    m_nameLabel = ui::makeLabel(f, u"Label2"_s, u"房间名称："_s);
    m_nameEdit = ui::makeTextBox(f, u"Text2"_s);
    m_typeLabel = ui::makeLabel(f, u"Label3"_s, u"房间类型："_s);
    m_typeEdit = ui::makeTextBox(f, u"Text3"_s);
    m_typeEdit->setText(u"标准间"_s);
    m_floorLabel = ui::makeLabel(f, u"Label4"_s, u"所属楼层："_s);
    m_floorCombo = new QComboBox(f);
    m_floorCombo->setObjectName(u"Combo1"_s);
    m_floorCombo->setEditable(true);
    m_floorCombo->setInsertPolicy(QComboBox::NoInsert);
    m_floorCombo->setCompleter(nullptr); // a typed floor is kept as typed, not completed to a listed one
    m_priceLabel = ui::makeLabel(f, u"Label5"_s, u"标准价格："_s);
    m_priceEdit = ui::makeTextBox(f, u"Text4"_s);
    m_priceUnit = ui::makeLabel(f, u"Label8"_s, u"元/天"_s);
    m_memberPriceLabel = ui::makeLabel(f, u"Label6"_s, u"会员价格："_s);
    m_memberPriceEdit = ui::makeTextBox(f, u"Text5"_s);
    m_memberPriceUnit = ui::makeLabel(f, u"Label9"_s, u"元/天"_s);
    m_statusLabel = ui::makeLabel(f, u"Label7"_s, u"房间状态："_s);
    auto *statusBoxes = new QWidget(f);
    m_freeBox = makeStatusBox(statusBoxes, u"Check1"_s, u"空闲房"_s);
    m_occupiedBox = makeStatusBox(statusBoxes, u"Check2"_s, u"已住房"_s);
    m_reservedBox = makeStatusBox(statusBoxes, u"Check3"_s, u"预订房"_s);
    m_rule = new QFrame(f);
    m_rule->setObjectName(u"Line1"_s);
    m_rule->setFrameShape(QFrame::HLine);
    m_rule->setFrameShadow(QFrame::Sunken);
    m_addButton = ui::makeButton(f, u"Command1"_s, AddCaption);
    m_changeButton = ui::makeButton(f, u"Command2"_s, u"修改房间"_s);
    m_deleteButton = ui::makeButton(f, u"Command3"_s, u"删除房间"_s);
    ui::setBuddy(m_numberLabel, m_numberEdit);
    ui::setBuddy(m_nameLabel, m_nameEdit);
    ui::setBuddy(m_typeLabel, m_typeEdit);
    ui::setBuddy(m_floorLabel, m_floorCombo);
    ui::setBuddy(m_priceLabel, m_priceEdit);
    ui::setBuddy(m_memberPriceLabel, m_memberPriceEdit);
    ui::setBuddy(m_statusLabel, statusBoxes);

    auto *fields = new QGridLayout;
    fields->addWidget(m_numberLabel, 0, 0);
    fields->addWidget(m_numberEdit, 0, 1);
    fields->addWidget(m_nameLabel, 0, 3);
    fields->addWidget(m_nameEdit, 0, 4);
    fields->addWidget(m_typeLabel, 1, 0);
    fields->addWidget(m_typeEdit, 1, 1);
    fields->addWidget(m_floorLabel, 1, 3);
    fields->addWidget(m_floorCombo, 1, 4);
    fields->addWidget(m_priceLabel, 2, 0);
    fields->addWidget(m_priceEdit, 2, 1);
    fields->addWidget(m_priceUnit, 2, 2);
    fields->addWidget(m_memberPriceLabel, 2, 3);
    fields->addWidget(m_memberPriceEdit, 2, 4);
    fields->addWidget(m_memberPriceUnit, 2, 5);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(4, 1);
    fields->setColumnMinimumWidth(2, 48);

    auto *statusLayout = new QHBoxLayout(statusBoxes);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->addWidget(m_freeBox);
    statusLayout->addWidget(m_occupiedBox);
    statusLayout->addWidget(m_reservedBox);
    auto *status = new QHBoxLayout;
    status->addWidget(m_statusLabel);
    status->addWidget(statusBoxes);
    status->addStretch(1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_addButton);
    buttons->addWidget(m_changeButton);
    buttons->addWidget(m_deleteButton);

    auto *editLayout = new QVBoxLayout(m_editFrame);
    editLayout->addLayout(fields);
    editLayout->addLayout(status);
    editLayout->addWidget(m_rule);
    editLayout->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_listFrame, 1);
    layout->addWidget(m_editFrame);
}

void RoomsWindow::loadLists()
{
    // Either list may stay empty when it cannot be read; the window still opens, and says why
    // once: the floors cannot be read either when the rooms could not be.
    const auto rooms = hotel::listRooms(hotel::session());
    grid::fill(m_list, grid::roomHeader(), grid::DefaultRowHeight, rooms);
    if (const auto floors = hotel::floorNames(hotel::session()); floors.ok())
        m_floorCombo->addItems(floors.value());
    else if (rooms.ok())
        ui::showOutcome(this, floors);
    m_floorCombo->setCurrentIndex(-1);
    m_floorCombo->setEditText(NoFloorChosen);
}

void RoomsWindow::showChosen()
{
    if (!m_list->hasSelectedRecord())
        return;
    const int row = m_list->RowSel();
    m_numberEdit->setText(m_list->text(row, 1));
    m_nameEdit->setText(m_list->text(row, 2));
    m_typeEdit->setText(m_list->text(row, 3));
    m_floorCombo->setEditText(m_list->text(row, 4));
    m_priceEdit->setText(m_list->text(row, 5));
    m_memberPriceEdit->setText(m_list->text(row, 6));
    const QString status = m_list->text(row, 7);
    // Any other status text leaves the boxes as they were.
    if (status == u"1"_s || status == u"2"_s || status == u"3"_s) {
        m_freeBox->setChecked(status == u"1"_s);
        m_occupiedBox->setChecked(status == u"2"_s);
        m_reservedBox->setChecked(status == u"3"_s);
    }
}

std::optional<hotel::Room> RoomsWindow::typedRoom()
{
    for (QLineEdit *box : {m_numberEdit, m_nameEdit, m_typeEdit, m_priceEdit, m_memberPriceEdit}) {
        if (box->text().isEmpty()) {
            ui::refuseAt(box, u"请填写完成资料？"_s);
            return std::nullopt;
        }
    }
    hotel::BoxReader read;
    const auto standard = read.number(m_priceEdit->text());
    QLineEdit *refused = read.ok() ? nullptr : m_priceEdit;
    const auto agreed = read.number(m_memberPriceEdit->text());
    if (!read.ok()) {
        ui::refuseAt(refused ? refused : m_memberPriceEdit, PriceRefused);
        return std::nullopt;
    }
    const hotel::Room room{0,
                           m_numberEdit->text(),
                           m_nameEdit->text(),
                           m_typeEdit->text(),
                           m_floorCombo->currentText(),
                           standard,
                           agreed,
                           std::nullopt};
    return room;
}

// A price the store would not take is refused as a typed one is.
void RoomsWindow::showRefusal(const hotel::Outcome &outcome)
{
    if (outcome.isRefused(hotel::Refusal::BadValue))
        ui::inform(this, PriceRefused);
    else
        ui::showOutcome(this, outcome);
}

void RoomsWindow::addRoom()
{
    if (!m_adding) {
        m_adding = true;
        m_addButton->setText(ConfirmCaption);
        m_changeButton->setEnabled(false);
        m_deleteButton->setEnabled(false);
        m_numberEdit->clear();
        m_nameEdit->clear();
        m_priceEdit->clear();
        m_memberPriceEdit->clear();
        return;
    }
    const auto room = typedRoom();
    if (!room)
        return;
    const hotel::Outcome o = hotel::addRoom(hotel::session(), *room); // a new room starts free
    if (!o.ok()) {
        showRefusal(o); // stays in add mode with what was typed
        return;
    }
    ui::inform(this, u"新增房间信息成功!"_s);
    ui::reopen(this, u"Form6"_s);
}

void RoomsWindow::saveChanges()
{
    auto room = typedRoom();
    if (!room)
        return;
    const auto shown = ui::chosenRow(this, m_list);
    if (!shown)
        return;
    const auto was = hotel::fromRow<hotel::Room>(*shown);
    room->key = was.key;
    // The status column is left as it is.
    const hotel::Outcome o = hotel::rewriteRoom(hotel::session(), was, *room);
    if (!o.ok()) {
        showRefusal(o);
        return;
    }
    ui::inform(this, u"房间信息修改成功!"_s);
    ui::reopen(this, u"Form6"_s);
}

void RoomsWindow::deleteRoom()
{
    const auto shown = ui::chosenRow(this, m_list);
    if (!shown)
        return;
    if (!ui::confirm(this, u"您确认删除此信息？"_s))
        return;
    const hotel::Outcome o = hotel::deleteRoom(hotel::session(), hotel::fromRow<hotel::Room>(*shown));
    if (!o.ok()) {
        ui::showOutcome(this, o);
        return;
    }
    ui::reopen(this, u"Form6"_s);
}
