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
    connect(m_msFlexGrid1, &FlexGrid::Click, this, &RoomsWindow::MSFlexGrid1_Click);
    connect(m_command1, &QPushButton::clicked, this, &RoomsWindow::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &RoomsWindow::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &RoomsWindow::Command3_Click);
    Form_Load();
}

void RoomsWindow::createLayout()
{
    m_frame1 = ui::makeFrame(this, u"Frame1"_s);
    m_msFlexGrid1 = new FlexGrid(m_frame1);
    m_msFlexGrid1->setObjectName(u"MSFlexGrid1"_s);
    m_msFlexGrid1->setMinimumSize(640, 220);
    auto *listLayout = new QVBoxLayout(m_frame1);
    listLayout->addWidget(m_msFlexGrid1);

    m_frame2 = ui::makeFrame(this, u"Frame2"_s);
    QWidget *f = m_frame2;
    m_label1 = ui::makeLabel(f, u"Label1"_s, u"房间号："_s);
    m_text1 = ui::makeTextBox(f, u"Text1"_s);
    m_label2 = ui::makeLabel(f, u"Label2"_s, u"房间名称："_s);
    m_text2 = ui::makeTextBox(f, u"Text2"_s);
    m_label3 = ui::makeLabel(f, u"Label3"_s, u"房间类型："_s);
    m_text3 = ui::makeTextBox(f, u"Text3"_s);
    m_text3->setText(u"标准间"_s);
    m_label4 = ui::makeLabel(f, u"Label4"_s, u"所属楼层："_s);
    m_combo1 = new QComboBox(f);
    m_combo1->setObjectName(u"Combo1"_s);
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->setCompleter(nullptr); // a typed floor is kept as typed, not completed to a listed one
    m_label5 = ui::makeLabel(f, u"Label5"_s, u"标准价格："_s);
    m_text4 = ui::makeTextBox(f, u"Text4"_s);
    m_label8 = ui::makeLabel(f, u"Label8"_s, u"元/天"_s);
    m_label6 = ui::makeLabel(f, u"Label6"_s, u"会员价格："_s);
    m_text5 = ui::makeTextBox(f, u"Text5"_s);
    m_label9 = ui::makeLabel(f, u"Label9"_s, u"元/天"_s);
    m_label7 = ui::makeLabel(f, u"Label7"_s, u"房间状态："_s);
    auto *statusBoxes = new QWidget(f);
    m_check1 = makeStatusBox(statusBoxes, u"Check1"_s, u"空闲房"_s);
    m_check2 = makeStatusBox(statusBoxes, u"Check2"_s, u"已住房"_s);
    m_check3 = makeStatusBox(statusBoxes, u"Check3"_s, u"预订房"_s);
    m_line1 = new QFrame(f);
    m_line1->setObjectName(u"Line1"_s);
    m_line1->setFrameShape(QFrame::HLine);
    m_line1->setFrameShadow(QFrame::Sunken);
    m_command1 = ui::makeButton(f, u"Command1"_s, AddCaption);
    m_command2 = ui::makeButton(f, u"Command2"_s, u"修改房间"_s);
    m_command3 = ui::makeButton(f, u"Command3"_s, u"删除房间"_s);
    ui::setBuddy(m_label1, m_text1);
    ui::setBuddy(m_label2, m_text2);
    ui::setBuddy(m_label3, m_text3);
    ui::setBuddy(m_label4, m_combo1);
    ui::setBuddy(m_label5, m_text4);
    ui::setBuddy(m_label6, m_text5);
    ui::setBuddy(m_label7, statusBoxes);

    auto *fields = new QGridLayout;
    fields->addWidget(m_label1, 0, 0);
    fields->addWidget(m_text1, 0, 1);
    fields->addWidget(m_label2, 0, 3);
    fields->addWidget(m_text2, 0, 4);
    fields->addWidget(m_label3, 1, 0);
    fields->addWidget(m_text3, 1, 1);
    fields->addWidget(m_label4, 1, 3);
    fields->addWidget(m_combo1, 1, 4);
    fields->addWidget(m_label5, 2, 0);
    fields->addWidget(m_text4, 2, 1);
    fields->addWidget(m_label8, 2, 2);
    fields->addWidget(m_label6, 2, 3);
    fields->addWidget(m_text5, 2, 4);
    fields->addWidget(m_label9, 2, 5);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(4, 1);
    fields->setColumnMinimumWidth(2, 48);

    auto *statusLayout = new QHBoxLayout(statusBoxes);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->addWidget(m_check1);
    statusLayout->addWidget(m_check2);
    statusLayout->addWidget(m_check3);
    auto *status = new QHBoxLayout;
    status->addWidget(m_label7);
    status->addWidget(statusBoxes);
    status->addStretch(1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_command1);
    buttons->addWidget(m_command2);
    buttons->addWidget(m_command3);

    auto *editLayout = new QVBoxLayout(m_frame2);
    editLayout->addLayout(fields);
    editLayout->addLayout(status);
    editLayout->addWidget(m_line1);
    editLayout->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame1, 1);
    layout->addWidget(m_frame2);
}

void RoomsWindow::Form_Load()
{
    // Either list may stay empty when it cannot be read; the window still opens, and says why
    // once: the floors cannot be read either when the rooms could not be.
    const auto rooms = hotel::listRooms(hotel::session());
    grid::fill(m_msFlexGrid1, grid::roomHeader(), grid::DefaultRowHeight, rooms);
    if (const auto floors = hotel::floorNames(hotel::session()); floors.ok())
        m_combo1->addItems(floors.value());
    else if (rooms.ok())
        ui::showOutcome(this, floors);
    m_combo1->setCurrentIndex(-1);
    m_combo1->setEditText(NoFloorChosen);
}

void RoomsWindow::MSFlexGrid1_Click()
{
    if (!m_msFlexGrid1->hasSelectedRecord())
        return;
    const int row = m_msFlexGrid1->RowSel();
    m_text1->setText(m_msFlexGrid1->TextMatrix(row, 1));
    m_text2->setText(m_msFlexGrid1->TextMatrix(row, 2));
    m_text3->setText(m_msFlexGrid1->TextMatrix(row, 3));
    m_combo1->setEditText(m_msFlexGrid1->TextMatrix(row, 4));
    m_text4->setText(m_msFlexGrid1->TextMatrix(row, 5));
    m_text5->setText(m_msFlexGrid1->TextMatrix(row, 6));
    const QString status = m_msFlexGrid1->TextMatrix(row, 7);
    // Any other status text leaves the boxes as they were.
    if (status == u"1"_s || status == u"2"_s || status == u"3"_s) {
        m_check1->setChecked(status == u"1"_s);
        m_check2->setChecked(status == u"2"_s);
        m_check3->setChecked(status == u"3"_s);
    }
}

std::optional<hotel::Room> RoomsWindow::typedRoom()
{
    for (QLineEdit *box : {m_text1, m_text2, m_text3, m_text4, m_text5}) {
        if (box->text().isEmpty()) {
            ui::refuseAt(box, u"请填写完成资料？"_s);
            return std::nullopt;
        }
    }
    hotel::BoxReader read;
    const auto standard = read.number(m_text4->text());
    QLineEdit *refused = read.ok() ? nullptr : m_text4;
    const auto agreed = read.number(m_text5->text());
    if (!read.ok()) {
        ui::refuseAt(refused ? refused : m_text5, PriceRefused);
        return std::nullopt;
    }
    const hotel::Room room{
        0,        m_text1->text(), m_text2->text(), m_text3->text(), m_combo1->currentText(),
        standard, agreed,          std::nullopt};
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

void RoomsWindow::Command1_Click()
{
    if (m_command1->text() == AddCaption) {
        m_command1->setText(ConfirmCaption);
        m_command2->setEnabled(false);
        m_command3->setEnabled(false);
        m_text1->clear();
        m_text2->clear();
        m_text4->clear();
        m_text5->clear();
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

void RoomsWindow::Command2_Click()
{
    auto room = typedRoom();
    if (!room)
        return;
    const auto shown = ui::chosenRow(this, m_msFlexGrid1);
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

void RoomsWindow::Command3_Click()
{
    const auto shown = ui::chosenRow(this, m_msFlexGrid1);
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
