#include "frontdesk/stay_list_window.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/db_error.h"
#include "data/recordset.h"
#include "data/ui/date_picker.h"
#include "data/ui/flex_grid.h"
#include "data/ui/form_kit.h"
#include "data/ui/grid_fill.h"
#include "data/ui/seams.h"
#include "data/ui/windows.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace
{

const StayListKind currentGuests{u"Form9",
                                 u"当前入住信息",
                                 u"当前已入住的旅客",
                                 u"select * from 旅客入住",
                                 u"select * from 旅客入住 where 入住ID=?",
                                 u"恭喜您，旅客入住信息修改成功？",
                                 true,
                                 false};

const StayListKind reservations{u"Form11",
                                u"取消客房预订",
                                u"旅客预订房信息",
                                u"select * from 旅客预订",
                                u"select * from 旅客预订 where 预订ID=?",
                                u"恭喜您，旅客预订信息修改成功？",
                                false,
                                true};

QString str(const char16_t *text)
{
    return QString::fromUtf16(text);
}

} // namespace

Form9::Form9(QWidget *owner) : StayListWindow(currentGuests, owner) {}

Form11::Form11(QWidget *owner) : StayListWindow(reservations, owner) {}

StayListWindow::StayListWindow(const StayListKind &kind, QWidget *owner) : QDialog(owner), m_kind(kind)
{
    setObjectName(str(kind.formName));
    setWindowTitle(str(kind.caption));
    createLayout();
    connect(m_msFlexGrid2, &FlexGrid::Click, this, &StayListWindow::MSFlexGrid2_Click);
    connect(m_command1, &QPushButton::clicked, this, &StayListWindow::Command1_Click);
    if (m_command2)
        connect(m_command2, &QPushButton::clicked, this, &StayListWindow::Command2_Click);
    Form_Load();
}

void StayListWindow::createLayout()
{
    m_frame2 = ui::makeFrame(this, u"Frame2"_s, str(m_kind.listCaption));
    m_msFlexGrid2 = new FlexGrid(m_frame2);
    m_msFlexGrid2->setObjectName(u"MSFlexGrid2"_s);
    m_msFlexGrid2->setMinimumSize(1000, 200); // wide enough for every column of a stay
    auto *listLayout = new QVBoxLayout(m_frame2);
    listLayout->addWidget(m_msFlexGrid2);

    m_frame1 = ui::makeFrame(this, u"Frame1"_s);
    const QString captions[] = {{},
                                u"旅客姓名："_s,
                                u"旅客单位："_s,
                                u"证件名称："_s,
                                u"证件号码："_s,
                                u"入住时间："_s,
                                u"计划入住天数："_s,
                                u"入住人数："_s,
                                u"房间ID："_s,
                                u"预付款："_s,
                                u"备注信息："_s,
                                u"天"_s,
                                u"人"_s,
                                u"元"_s};
    for (int i = 1; i <= 13; ++i)
        m_label[i] = ui::makeLabel(m_frame1, u"Label"_s + QString::number(i), captions[i]);
    for (int i = 1; i <= 10; ++i) {
        if (i == 7)
            m_text[i] = ui::makeHiddenKeyBox(m_frame1, u"Text7"_s);
        else if (i == 10)
            m_text[i] = ui::makeRoomNumberBox(m_frame1, u"Text10"_s);
        else
            m_text[i] = ui::makeTextBox(m_frame1, u"Text"_s + QString::number(i));
    }
    m_dtPicker1 = new DatePicker(m_frame1);
    m_dtPicker1->setObjectName(u"DTPicker1"_s);
    m_msFlexGrid1 = new FlexGrid(m_frame1);
    m_msFlexGrid1->setObjectName(u"MSFlexGrid1"_s);
    m_msFlexGrid1->setToolTip(u"旅客入住的房间基本信息"_s);
    m_msFlexGrid1->setFixedHeight(64);
    m_command1 = ui::makeButton(m_frame1, u"Command1"_s, u"确认修改信息"_s);
    if (m_kind.canCancel)
        m_command2 = ui::makeButton(m_frame1, u"Command2"_s, u"取消房间预订"_s);

    ui::setBuddy(m_label[1], m_text[1]);
    ui::setBuddy(m_label[2], m_text[2]);
    ui::setBuddy(m_label[3], m_text[3]);
    ui::setBuddy(m_label[4], m_text[4]);
    ui::setBuddy(m_label[5], m_dtPicker1);
    ui::setBuddy(m_label[6], m_text[5]);
    ui::setBuddy(m_label[7], m_text[6]);
    ui::setBuddy(m_label[8], m_text[10]);
    ui::setBuddy(m_label[9], m_text[8]);
    ui::setBuddy(m_label[10], m_text[9]);

    auto *grid = new QGridLayout(m_frame1);
    grid->addWidget(m_label[1], 0, 0);
    grid->addWidget(m_text[1], 0, 1);
    grid->addWidget(m_label[2], 0, 3);
    grid->addWidget(m_text[2], 0, 4);
    grid->addWidget(m_label[3], 1, 0);
    grid->addWidget(m_text[3], 1, 1);
    grid->addWidget(m_label[4], 1, 3);
    grid->addWidget(m_text[4], 1, 4);
    grid->addWidget(m_label[5], 2, 0);
    grid->addWidget(m_dtPicker1, 2, 1);
    grid->addWidget(m_label[6], 2, 3);
    grid->addWidget(m_text[5], 2, 4);
    grid->addWidget(m_label[11], 2, 5);
    grid->addWidget(m_label[7], 3, 0);
    grid->addWidget(m_text[6], 3, 1);
    grid->addWidget(m_label[12], 3, 2);
    grid->addWidget(m_label[8], 3, 3);
    grid->addWidget(m_text[7], 3, 4); // the room key lies hidden under the room number
    grid->addWidget(m_text[10], 3, 4);
    grid->addWidget(m_label[9], 4, 0);
    grid->addWidget(m_text[8], 4, 1);
    grid->addWidget(m_label[13], 4, 2);
    grid->addWidget(m_msFlexGrid1, 5, 0, 1, 6);
    grid->addWidget(m_label[10], 6, 0);
    grid->addWidget(m_text[9], 6, 1, 1, 4);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command1);
    if (m_command2)
        buttons->addWidget(m_command2);
    grid->addLayout(buttons, 7, 0, 1, 6);
    grid->setColumnMinimumWidth(2, 24);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame2, 1);
    layout->addWidget(m_frame1);

    QWidget *order[] = {m_msFlexGrid2, m_text[1], m_text[2], m_text[3], m_text[4], m_dtPicker1,
                        m_text[5],     m_text[6], m_text[8], m_text[9], m_command1};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    if (m_command2)
        setTabOrder(m_command1, m_command2);
}

void StayListWindow::Form_Load()
{
    // The header stands even when the file cannot be opened.
    grid::reset(m_msFlexGrid2, grid::stayHeader());
    try {
        grid::fill(m_msFlexGrid2, grid::stayHeader(), grid::DefaultRowHeight, str(m_kind.list));
    } catch (const DbError &e) {
        ui::showFailure(this, e);
    }
}

void StayListWindow::MSFlexGrid2_Click()
{
    if (!m_msFlexGrid2->hasSelectedRecord())
        return;
    const int row = m_msFlexGrid2->RowSel();
    m_shownKey = m_msFlexGrid2->TextMatrix(row, 0);
    for (int i = 1; i <= 4; ++i)
        m_text[i]->setText(m_msFlexGrid2->TextMatrix(row, i));
    m_dtPicker1->setValueText(m_msFlexGrid2->TextMatrix(row, 5));
    for (int i = 5; i <= 9; ++i)
        m_text[i]->setText(m_msFlexGrid2->TextMatrix(row, i + 1));
    showRoom();
}

void StayListWindow::showRoom()
{
    grid::reset(m_msFlexGrid1, grid::roomHeader());
    if (m_kind.emptyRoomRowWhenMissing)
        m_msFlexGrid1->setRows(2);
    // Never leave the number of the room shown before beside another stay.
    m_text[10]->clear();
    try {
        const auto room = conv::toInt16(m_text[7]->text());
        if (!room)
            return;
        Connection connection;
        connection.open();
        Recordset records(connection);
        records.open(u"select * from 房间 where 房间ID=?"_s, {int(*room)});
        if (records.eof() && records.bof())
            return;
        m_msFlexGrid1->setRows(1);
        grid::appendRecord(m_msFlexGrid1, records);
        m_text[10]->setText(records.text(1));
    } catch (const DbError &) {
        // Showing the room is a courtesy; the particulars above are already in place.
    }
}

void StayListWindow::Command1_Click()
{
    for (int i = 1; i <= 8; ++i) {
        if (m_text[i]->text().isEmpty()) {
            ui::MsgBox(this, u"请填写完整资料？"_s);
            return;
        }
    }
    if (!conv::isNumeric(m_text[5]->text()) || !conv::isNumeric(m_text[6]->text()) ||
        !conv::isNumeric(m_text[8]->text())) {
        ui::MsgBox(this, u"入住天数，人数，预付款只能为数字形式？"_s);
        return;
    }
    if (m_shownKey.isEmpty())
        return;
    try {
        saveCorrection();
    } catch (const DbError &e) {
        ui::showFailure(this, e);
        return;
    }
    ui::MsgBox(this, str(m_kind.saveMessage));
    ui::reopen(this, str(m_kind.formName));
}

void StayListWindow::saveCorrection()
{
    Connection connection;
    connection.open();
    Recordset records(connection);
    records.open(str(m_kind.row), {m_shownKey});
    if (records.eof() && records.bof())
        throw DbError(u"要修改的记录已经不存在。"_s);
    for (int ordinal = 1; ordinal <= 4; ++ordinal)
        records.setField(ordinal, m_text[ordinal]->text());
    records.setField(5, m_dtPicker1->Value());
    records.setField(6, m_text[5]->text());
    records.setField(7, m_text[6]->text());
    records.setField(8, m_text[7]->text());
    records.setField(9, m_text[8]->text());
    if (!m_text[9]->text().isEmpty())
        records.setField(10, m_text[9]->text());
    records.update();
}

void StayListWindow::Command2_Click()
{
    // Nothing to cancel until a reservation has been shown.
    if (!m_kind.canCancel || m_shownKey.isEmpty())
        return;
    if (ui::MsgBox(this, u"您确认取消此房间预订？"_s, 68) != ui::vbYes)
        return;
    try {
        cancelReservation();
    } catch (const DbError &e) {
        ui::showFailure(this, e);
        return;
    }
    ui::reopen(this, str(m_kind.formName));
}

void StayListWindow::cancelReservation()
{
    Connection connection;
    connection.open();
    Transaction transaction(connection);
    Recordset records(connection);
    records.open(str(m_kind.row), {m_shownKey});
    if (records.eof() && records.bof())
        throw DbError(u"要取消的预订已经不存在。"_s);
    // The room is the one the reservation itself names, so the two always go together.
    const QVariant room = records.field(8);
    records.close();
    connection.execute(u"delete from 旅客预订 where 预订ID=?"_s, {m_shownKey});
    if (room.isValid())
        connection.execute(u"update 房间 set 房间状态=1 where 房间ID=?"_s, {room});
    transaction.commit();
}
