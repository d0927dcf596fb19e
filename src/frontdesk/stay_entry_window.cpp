#include "frontdesk/stay_entry_window.h"

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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace
{

const StayEntryKind checkIn{u"Form8",
                            u"新旅客入住",
                            u"确认入住",
                            u"以下表中均为可供选择的空房间，请点击序号选择",
                            u"旅客入住",
                            u"update 房间 set 房间状态=2 where 房间ID=? and 房间状态=1",
                            u"恭喜您，旅客入住成功？"};

const StayEntryKind reservation{u"Form10",
                                u"旅客房间预订",
                                u"确认预订",
                                u"以下表中都是可供选择的空房间，请点击序号进行选择",
                                u"旅客预订",
                                u"update 房间 set 房间状态=3 where 房间ID=? and 房间状态=1",
                                u"恭喜您，旅客预订房间成功？"};

QString str(const char16_t *text)
{
    return QString::fromUtf16(text);
}

} // namespace

Form8::Form8(QWidget *owner) : StayEntryWindow(checkIn, owner) {}

Form10::Form10(QWidget *owner) : StayEntryWindow(reservation, owner) {}

StayEntryWindow::StayEntryWindow(const StayEntryKind &kind, QWidget *owner) : QDialog(owner), m_kind(kind)
{
    setObjectName(str(kind.formName));
    setWindowTitle(str(kind.caption));
    createLayout();
    connect(m_msFlexGrid1, &FlexGrid::Click, this, &StayEntryWindow::MSFlexGrid1_Click);
    connect(m_command1, &QPushButton::clicked, this, &StayEntryWindow::Command1_Click);
    Form_Load();
}

void StayEntryWindow::createLayout()
{
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
                                u"元"_s,
                                str(m_kind.instruction)};
    for (int i = 1; i <= 14; ++i)
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
    m_msFlexGrid1->setToolTip(u"请选择房间,这里的房间都是未入住房间"_s);
    m_command1 = ui::makeButton(m_frame1, u"Command1"_s, str(m_kind.confirmCaption));

    // Label i names box i, except where the date picker and the room pair sit.
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
    ui::setBuddy(m_label[14], m_msFlexGrid1);

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
    grid->addWidget(m_label[14], 5, 0, 1, 6);
    grid->addWidget(m_msFlexGrid1, 6, 0, 1, 6);
    grid->addWidget(m_label[10], 7, 0);
    grid->addWidget(m_text[9], 7, 1, 1, 4);
    grid->addWidget(m_command1, 8, 4, 1, 2, Qt::AlignRight);
    grid->setColumnMinimumWidth(2, 24);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(6, 1);
    m_msFlexGrid1->setMinimumSize(640, 180);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame1);

    QWidget *order[] = {m_text[1], m_text[2], m_text[3],     m_text[4], m_dtPicker1, m_text[5],
                        m_text[6], m_text[8], m_msFlexGrid1, m_text[9], m_command1};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void StayEntryWindow::Form_Load()
{
    // The header stands even when the file cannot be opened.
    grid::reset(m_msFlexGrid1, grid::roomHeader());
    try {
        grid::fill(m_msFlexGrid1, grid::roomHeader(), grid::DefaultRowHeight,
                   u"select * from 房间 where 房间状态=1"_s);
    } catch (const DbError &) {
        // The window still opens, with the header only.
    }
}

void StayEntryWindow::MSFlexGrid1_Click()
{
    if (!m_msFlexGrid1->hasSelectedRecord())
        return;
    const int row = m_msFlexGrid1->RowSel();
    m_text[7]->setText(m_msFlexGrid1->TextMatrix(row, 0));
    m_text[10]->setText(m_msFlexGrid1->TextMatrix(row, 1));
}

void StayEntryWindow::Command1_Click()
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
    bool taken = false;
    try {
        taken = saveAndTakeRoom();
    } catch (const DbError &e) {
        ui::showFailure(this, e);
        return;
    }
    if (!taken) {
        ui::MsgBox(this, u"对不起，此房间已经不是空闲房，请重新选择房间！"_s);
        // Show the rooms that are free now; the guest's particulars stay for the next pick.
        m_text[7]->clear();
        m_text[10]->clear();
        Form_Load();
        return;
    }
    ui::MsgBox(this, str(m_kind.successMessage));
    ui::reopen(this, str(m_kind.formName));
}

bool StayEntryWindow::saveAndTakeRoom()
{
    Connection connection;
    connection.open();
    Transaction transaction(connection);
    Recordset records(connection);
    records.open(u"select * from "_s + str(m_kind.table));
    records.addNew();
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
    records.close();
    // setField(8) has already refused a key that is no 16-bit number.
    const qint16 room = *conv::toInt16(m_text[7]->text());
    // Only a room that is still free is taken; otherwise the new row is rolled back with it.
    if (connection.execute(str(m_kind.takeRoom), {int(room)}) == 0)
        return false;
    transaction.commit();
    return true;
}
