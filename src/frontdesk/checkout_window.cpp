#include "frontdesk/checkout_window.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/db_error.h"
#include "data/recordset.h"
#include "data/settlement.h"
#include "data/shown_record.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/grid_fill.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString changedElsewhere =
    u"对不起，此房间的入住资料已经在另一台前台被修改或重新入住，本次退房没有保存，请重新提取信息并计算数据！"_s;

} // namespace

Form12::Form12(QWidget *owner) : QDialog(owner)
{
    setObjectName(u"Form12"_s);
    setWindowTitle(u"新增旅客退房"_s);
    createLayout();
    connect(m_text[1], &QLineEdit::textChanged, this, &Form12::Text1_Change);
    connect(m_command1, &QPushButton::clicked, this, &Form12::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &Form12::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &Form12::Command3_Click);
    Form_Load();
}

void Form12::createLayout()
{
    m_frame1 = ui::makeFrame(this, u"Frame1"_s, u"查询"_s);
    m_option1 = new QRadioButton(u"按房间号"_s, m_frame1);
    m_option1->setObjectName(u"Option1"_s);
    m_option1->setChecked(true); // the only way to search
    m_text[1] = ui::makeTextBox(m_frame1, u"Text1"_s);
    m_text[1]->setAccessibleName(u"按房间号"_s);
    m_command1 = ui::makeButton(m_frame1, u"Command1"_s, u"提取信息"_s);
    auto *search = new QHBoxLayout(m_frame1);
    search->addWidget(m_option1);
    search->addWidget(m_text[1], 1);
    search->addWidget(m_command1);

    m_frame2 = ui::makeFrame(this, u"Frame2"_s, u"旅客信息"_s);
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
                                u"退房时间："_s,
                                u"实际入住天数："_s,
                                u"实际金额："_s,
                                u"应收款："_s,
                                u"应退款："_s,
                                u"备注信息："_s};
    for (int i = 1; i <= 15; ++i)
        m_label[i] = ui::makeLabel(m_frame2, u"Label"_s + QString::number(i), captions[i]);
    for (int i = 2; i <= 17; ++i) {
        if (i == 9)
            m_text[i] = ui::makeHiddenKeyBox(m_frame2, u"Text9"_s);
        else if (i == 17)
            m_text[i] = ui::makeRoomNumberBox(m_frame2, u"Text17"_s);
        else
            m_text[i] = ui::makeTextBox(m_frame2, u"Text"_s + QString::number(i));
    }
    // Label k names box k + 1; the room label names the room number shown.
    for (int k = 1; k <= 15; ++k)
        ui::setBuddy(m_label[k], k == 8 ? m_text[17] : m_text[k + 1]);
    m_msFlexGrid1 = new FlexGrid(m_frame2);
    m_msFlexGrid1->setObjectName(u"MSFlexGrid1"_s);
    m_msFlexGrid1->setMinimumWidth(700);
    m_msFlexGrid1->setFixedHeight(96); // the room's row, and a second after a repeated fetch
    m_command2 = ui::makeButton(m_frame2, u"Command2"_s, u"计算数据"_s);
    m_command3 = ui::makeButton(m_frame2, u"Command3"_s, u"确认退房"_s);

    auto *grid = new QGridLayout(m_frame2);
    auto place = [grid](QWidget *label, QWidget *box, int row, int col) {
        grid->addWidget(label, row, col);
        grid->addWidget(box, row, col + 1);
    };
    place(m_label[1], m_text[2], 0, 0);
    place(m_label[2], m_text[3], 0, 2);
    place(m_label[3], m_text[4], 1, 0);
    place(m_label[4], m_text[5], 1, 2);
    place(m_label[5], m_text[6], 2, 0);
    place(m_label[6], m_text[7], 2, 2);
    place(m_label[7], m_text[8], 3, 0);
    place(m_label[8], m_text[17], 3, 2);
    grid->addWidget(m_text[9], 3, 3); // the room key lies hidden under the room number
    place(m_label[9], m_text[10], 4, 0);
    grid->addWidget(m_msFlexGrid1, 5, 0, 1, 4);
    place(m_label[10], m_text[11], 6, 0);
    place(m_label[11], m_text[12], 6, 2);
    place(m_label[12], m_text[13], 7, 0);
    place(m_label[13], m_text[14], 7, 2);
    place(m_label[14], m_text[15], 8, 0);
    grid->addWidget(m_label[15], 9, 0);
    grid->addWidget(m_text[16], 9, 1, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command2);
    buttons->addWidget(m_command3);
    grid->addLayout(buttons, 10, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame1);
    layout->addWidget(m_frame2);

    QWidget *order[] = {m_text[1],  m_command1, m_text[2],  m_text[3],  m_text[4],  m_text[5],
                        m_text[6],  m_text[7],  m_text[8],  m_text[10], m_text[11], m_text[12],
                        m_text[13], m_text[14], m_text[15], m_text[16], m_command2, m_command3};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void Form12::Form_Load()
{
    grid::reset(m_msFlexGrid1, grid::roomHeader(), grid::DefaultRowHeight);
    m_command2->setEnabled(false);
    m_command3->setEnabled(false);
}

void Form12::Text1_Change()
{
    grid::reset(m_msFlexGrid1, grid::roomHeader(), grid::KeepRowHeight);
    for (int i = 2; i <= 16; ++i)
        m_text[i]->clear();
    m_fetchedStays.clear();
}

void Form12::Command1_Click()
{
    if (m_text[1]->text().isEmpty()) {
        ui::MsgBox(this, u"对不起，请输入查询对象？"_s);
        return;
    }
    try {
        Connection connection;
        connection.open();
        Recordset room(connection);
        // Typed text compares without regard to case, as the store does.
        room.open(u"select * from 房间 where 房间号=? collate nocase and 房间状态=2"_s, {m_text[1]->text()});
        if (room.eof() && room.bof()) {
            ui::MsgBox(this, u"对不起，此房间号没有入住资料"_s);
            return;
        }
        Recordset stay(connection);
        stay.open(u"select * from 旅客入住 where 房间ID=?"_s, {room.field(0)});
        if (stay.eof() && stay.bof()) {
            ui::MsgBox(this, u"对不起，此房间是已住房，却找不到它的入住资料，请核对房间状态！"_s);
            return;
        }
        QString particulars[10];
        for (int k = 1; k <= 9; ++k)
            particulars[k] = stay.text(k);
        // Every stay row of the room, as fetched: the confirm writes only while they still hold.
        QList<QStringList> fetched = shown::readRows(stay);
        // Everything is read; only now do the boxes change.
        for (int k = 1; k <= 9; ++k) {
            if (!particulars[k].isEmpty())
                m_text[k + 1]->setText(particulars[k]);
        }
        grid::appendRecord(m_msFlexGrid1, room);
        if (!room.text(1).isEmpty())
            m_text[17]->setText(room.text(1));
        m_fetchedStays = std::move(fetched);
    } catch (const DbError &e) {
        ui::showFailure(this, e);
        return;
    }
    m_command2->setEnabled(true);
    m_text[11]->setText(conv::dateToText(ui::today()));
}

void Form12::Command2_Click()
{
    settlement::Input in;
    if (const auto checkIn = conv::textToDateTime(m_text[6]->text()))
        in.checkIn = checkIn->date();
    if (const auto checkOut = conv::textToDateTime(m_text[11]->text()))
        in.checkOut = checkOut->date();
    // The standard price of the first room row; the member price is never charged.
    in.roomListed = m_msFlexGrid1->Rows() >= 2;
    if (in.roomListed)
        in.price = conv::toInt16(m_msFlexGrid1->TextMatrix(1, 5));
    in.prepayment = conv::toInt16(m_text[10]->text());
    const settlement::Outcome s = settlement::settle(in);
    if (!s.result) {
        // A result from earlier boxes must not stay behind to be confirmed.
        for (int i = 12; i <= 15; ++i)
            m_text[i]->clear();
        m_command3->setEnabled(false);
        ui::MsgBox(this, s.refusal);
        return;
    }
    m_text[12]->setText(QString::number(s.result->days));
    m_text[13]->setText(QString::number(s.result->amount));
    m_text[14]->setText(QString::number(s.result->due));
    m_text[15]->setText(QString::number(s.result->refund));
    m_command3->setEnabled(true);
}

void Form12::Command3_Click()
{
    bool settled = !m_text[9]->text().isEmpty();
    for (int i = 12; i <= 15; ++i)
        settled = settled && !m_text[i]->text().isEmpty();
    if (!settled) {
        ui::MsgBox(this, u"对不起，请先提取信息并计算数据，再确认退房！"_s);
        return;
    }
    bool stored = false;
    try {
        stored = storeCheckOut();
    } catch (const DbError &e) {
        ui::showFailure(this, e);
        return;
    }
    if (!stored) {
        ui::MsgBox(this, u"对不起，此房间的入住资料已经不存在，可能已经办理过退房！"_s);
        return;
    }
    ui::MsgBox(this, u"恭喜您，旅客退房成功？请核准相关帐目!"_s);
    ui::reopen(this, u"Form12"_s);
}

bool Form12::storeCheckOut()
{
    Connection connection;
    connection.open();
    Transaction transaction(connection);
    // A room key that is no 16-bit number is refused by setField(8) below.
    const auto room = conv::toInt16(m_text[9]->text());
    if (room && !stillAsFetched(connection, *room))
        return false;
    Recordset records(connection);
    records.open(u"select * from 旅客退房"_s);
    records.addNew();
    // Ordinal k comes from box k + 1; an empty box leaves its column unset.
    for (int k = 1; k <= 15; ++k) {
        if (!m_text[k + 1]->text().isEmpty())
            records.setField(k, m_text[k + 1]->text());
    }
    records.update();
    records.close();
    if (!room)
        throw DbError(u"房间ID“"_s + m_text[9]->text() + u"”不是有效的房间编号。"_s);
    connection.execute(u"update 房间 set 房间状态=1 where 房间ID=?"_s, {int(*room)});
    // Exactly the rows fetched go; the count proves nothing came between the check and here.
    if (connection.execute(u"delete from 旅客入住 where 房间ID=?"_s, {int(*room)}) != m_fetchedStays.size())
        throw DbError(changedElsewhere, DbError::Cause::Conflict);
    transaction.commit();
    return true;
}

bool Form12::stillAsFetched(Connection &connection, int room) const
{
    Recordset stays(connection);
    stays.open(u"select * from 旅客入住 where 房间ID=?"_s, {room});
    QList<QStringList> now = shown::readRows(stays);
    if (now.isEmpty())
        return false; // another check-out came first
    QList<QStringList> fetched = m_fetchedStays;
    std::sort(now.begin(), now.end());
    std::sort(fetched.begin(), fetched.end());
    if (now != fetched)
        throw DbError(changedElsewhere, DbError::Cause::Conflict);
    // The room as listed in the grid, whose price the amount was computed from.
    QStringList listed;
    for (int c = 0; c < m_msFlexGrid1->Cols(); ++c)
        listed.append(m_msFlexGrid1->TextMatrix(1, c));
    Recordset rooms(connection);
    rooms.open(u"select * from 房间 where 房间ID=?"_s, {room});
    try {
        shown::requireAsShown(rooms, listed);
    } catch (const DbError &e) {
        // Only a room that reads otherwise is another desk's doing; a failing store says so.
        if (e.cause() != DbError::Cause::Conflict)
            throw;
        throw DbError(changedElsewhere, DbError::Cause::Conflict);
    }
    return true;
}
