#include "frontdesk/checkout_window.h"

#include "data/conversions.h"
#include "hotel/settlement.h"
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

using namespace Qt::Literals::StringLiterals;

namespace {

const QString changedElsewhere =
    u"对不起，此房间的入住资料已经在另一台前台被修改或重新入住，本次退房没有保存，请重新提取信息并计算数据！"_s;

} // namespace

CheckOutWindow::CheckOutWindow(QWidget *owner) : QDialog(owner)
{
    setObjectName(u"Form12"_s);
    setWindowTitle(u"新增旅客退房"_s);
    createLayout();
    connect(m_roomNumberSearch, &QLineEdit::textChanged, this, &CheckOutWindow::forgetStay);
    connect(m_fetchButton, &QPushButton::clicked, this, &CheckOutWindow::fetchStay);
    connect(m_settleButton, &QPushButton::clicked, this, &CheckOutWindow::settle);
    connect(m_confirmButton, &QPushButton::clicked, this, &CheckOutWindow::confirm);
    startEmpty();
}

void CheckOutWindow::createLayout()
{
    m_searchFrame = ui::makeFrame(this, u"Frame1"_s, u"查询"_s);
    m_byRoomNumber = new QRadioButton(u"按房间号"_s, m_searchFrame);
    m_byRoomNumber->setObjectName(u"Option1"_s);
    m_byRoomNumber->setChecked(true); // the only way to search
    m_roomNumberSearch = ui::makeTextBox(m_searchFrame, u"Text1"_s);
    m_roomNumberSearch->setAccessibleName(u"按房间号"_s);
    m_fetchButton = ui::makeButton(m_searchFrame, u"Command1"_s, u"提取信息"_s);
    auto *search = new QHBoxLayout(m_searchFrame);
    search->addWidget(m_byRoomNumber);
    search->addWidget(m_roomNumberSearch, 1);
    search->addWidget(m_fetchButton);

    m_stayFrame = ui::makeFrame(this, u"Frame2"_s, u"旅客信息"_s);
    const QString captions[FieldCount] = {
        u"旅客姓名："_s,     u"旅客单位："_s, u"证件名称："_s, u"证件号码："_s, u"入住时间："_s,
        u"计划入住天数："_s, u"入住人数："_s, u"房间ID："_s,   u"预付款："_s,   u"退房时间："_s,
        u"实际入住天数："_s, u"实际金额："_s, u"应收款："_s,   u"应退款："_s,   u"备注信息："_s};
    for (int f = 0; f < FieldCount; ++f)
        m_labels[f] = ui::makeLabel(m_stayFrame, u"Label"_s + QString::number(f + 1), captions[f]);
    for (int f = 0; f < FieldCount; ++f) {
        const QString name = u"Text"_s + QString::number(f + 2);
        m_fields[f] =
            f == RoomKey ? ui::makeHiddenKeyBox(m_stayFrame, name) : ui::makeTextBox(m_stayFrame, name);
    }
    m_roomNumberEdit = ui::makeRoomNumberBox(m_stayFrame, u"Text17"_s);
    // Each label names its box; the room label names the room number shown.
    for (int f = 0; f < FieldCount; ++f)
        ui::setBuddy(m_labels[f], f == RoomKey ? m_roomNumberEdit : m_fields[f]);
    m_roomGrid = new FlexGrid(m_stayFrame);
    m_roomGrid->setObjectName(u"MSFlexGrid1"_s);
    m_roomGrid->setMinimumWidth(700);
    m_roomGrid->setFixedHeight(96); // the room's row, and a second after a repeated fetch
    m_settleButton = ui::makeButton(m_stayFrame, u"Command2"_s, u"计算数据"_s);
    m_confirmButton = ui::makeButton(m_stayFrame, u"Command3"_s, u"确认退房"_s);

    auto *grid = new QGridLayout(m_stayFrame);
    auto place = [this, grid](Field f, int row, int col) {
        grid->addWidget(m_labels[f], row, col);
        grid->addWidget(f == RoomKey ? m_roomNumberEdit : m_fields[f], row, col + 1);
    };
    place(Guest, 0, 0);
    place(Unit, 0, 2);
    place(IdType, 1, 0);
    place(IdNumber, 1, 2);
    place(CheckIn, 2, 0);
    place(PlannedDays, 2, 2);
    place(Persons, 3, 0);
    place(RoomKey, 3, 2);
    grid->addWidget(m_fields[RoomKey], 3, 3); // the room key lies hidden under the room number
    place(Prepayment, 4, 0);
    grid->addWidget(m_roomGrid, 5, 0, 1, 4);
    place(CheckOut, 6, 0);
    place(Days, 6, 2);
    place(Amount, 7, 0);
    place(Due, 7, 2);
    place(Refund, 8, 0);
    grid->addWidget(m_labels[Remarks], 9, 0);
    grid->addWidget(m_fields[Remarks], 9, 1, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_settleButton);
    buttons->addWidget(m_confirmButton);
    grid->addLayout(buttons, 10, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_searchFrame);
    layout->addWidget(m_stayFrame);

    QWidget *order[] = {m_roomNumberSearch, m_fetchButton,        m_fields[Guest],    m_fields[Unit],
                        m_fields[IdType],   m_fields[IdNumber],   m_fields[CheckIn],  m_fields[PlannedDays],
                        m_fields[Persons],  m_fields[Prepayment], m_fields[CheckOut], m_fields[Days],
                        m_fields[Amount],   m_fields[Due],        m_fields[Refund],   m_fields[Remarks],
                        m_settleButton,     m_confirmButton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void CheckOutWindow::startEmpty()
{
    grid::reset(m_roomGrid, grid::roomHeader(), grid::DefaultRowHeight);
    m_settleButton->setEnabled(false);
    m_confirmButton->setEnabled(false);
}

void CheckOutWindow::forgetStay()
{
    grid::reset(m_roomGrid, grid::roomHeader(), grid::KeepRowHeight);
    for (QLineEdit *box : m_fields)
        box->clear();
    m_quote.reset();
}

void CheckOutWindow::takeRoom(const ui::RoomHandoff &room)
{
    m_roomNumberSearch->setText(room.roomNumber);
    fetchStay();
}

void CheckOutWindow::fetchStay()
{
    if (m_roomNumberSearch->text().isEmpty()) {
        ui::refuseAt(m_roomNumberSearch, u"对不起，请输入查询对象？"_s);
        return;
    }
    const auto quote = hotel::checkout::quote(hotel::session(), m_roomNumberSearch->text());
    if (quote.isRefused(hotel::Refusal::NotFound)) {
        ui::inform(this, u"对不起，此房间号没有入住资料"_s);
        return;
    }
    if (quote.isRefused(hotel::Refusal::NoStay)) {
        ui::inform(this, u"对不起，此房间是已住房，却找不到它的入住资料，请核对房间状态！"_s);
        return;
    }
    if (!quote.ok()) {
        ui::showOutcome(this, quote);
        return;
    }
    showStay(quote->stay());
    grid::appendRow(m_roomGrid, quote->roomRow, {}); // a room has no times
    if (!quote->room.number.isEmpty())
        m_roomNumberEdit->setText(quote->room.number);
    m_quote = quote.value();
    m_settleButton->setEnabled(true);
    m_fields[CheckOut]->setText(conv::dateToText(ui::today()));
}

void CheckOutWindow::showStay(const hotel::Stay &stay)
{
    auto number = [](const hotel::Int16 &n) { return n ? QString::number(*n) : QString(); };
    const QString particulars[] = {stay.guest,
                                   stay.unit,
                                   stay.idType,
                                   stay.idNumber,
                                   stay.checkIn ? conv::dateTimeToText(*stay.checkIn) : QString(),
                                   number(stay.plannedDays),
                                   number(stay.persons),
                                   number(stay.room),
                                   number(stay.prepayment)};
    // The stay's particulars fill the first boxes in order; one the stay lacks leaves its box as
    // it was.
    for (std::size_t f = 0; f < std::size(particulars); ++f) {
        if (!particulars[f].isEmpty())
            m_fields[f]->setText(particulars[f]);
    }
}

void CheckOutWindow::settle()
{
    hotel::SettlementInput in;
    if (const auto checkIn = conv::textToDateTime(m_fields[CheckIn]->text()))
        in.checkIn = checkIn->date();
    if (const auto checkOut = conv::textToDateTime(m_fields[CheckOut]->text()))
        in.checkOut = checkOut->date();
    // The standard price of the room as fetched; the member price is never charged.
    in.roomListed = m_quote.has_value();
    if (m_quote)
        in.price = m_quote->room.price;
    in.prepayment = conv::toInt16(m_fields[Prepayment]->text());
    const auto s = hotel::settle(in);
    if (!s.ok()) {
        // A result from earlier boxes must not stay behind to be confirmed.
        for (Field f : {Days, Amount, Due, Refund})
            m_fields[f]->clear();
        m_confirmButton->setEnabled(false);
        ui::inform(this, s.message());
        return;
    }
    m_fields[Days]->setText(QString::number(s->days));
    m_fields[Amount]->setText(QString::number(s->amount));
    m_fields[Due]->setText(QString::number(s->due));
    m_fields[Refund]->setText(QString::number(s->refund));
    m_confirmButton->setEnabled(true);
}

void CheckOutWindow::confirm()
{
    bool settled = m_quote && !m_fields[RoomKey]->text().isEmpty();
    for (Field f : {Days, Amount, Due, Refund})
        settled = settled && !m_fields[f]->text().isEmpty();
    if (!settled) {
        ui::inform(this, u"对不起，请先提取信息并计算数据，再确认退房！"_s);
        return;
    }
    hotel::BoxReader read;
    const hotel::CompletedStay completed = completedStay(read);
    if (!read.ok()) {
        ui::showOutcome(this, hotel::Outcome::refused(hotel::Refusal::BadValue, read.refusal()));
        return;
    }
    const hotel::Outcome stored = hotel::checkout::confirm(hotel::session(), *m_quote, completed);
    if (stored.isRefused(hotel::Refusal::Gone)) {
        ui::inform(this, u"对不起，此房间的入住资料已经不存在，可能已经办理过退房！"_s);
        return;
    }
    if (stored.isRefused(hotel::Refusal::Changed)) {
        ui::inform(this, changedElsewhere);
        return;
    }
    if (!stored.ok()) {
        ui::showOutcome(this, stored);
        return;
    }
    ui::inform(this, u"恭喜您，旅客退房成功？请核准相关帐目!"_s);
    ui::reopen(this, u"Form12"_s);
}

QString CheckOutWindow::fieldText(Field field) const
{
    // An empty box leaves its column unset.
    const QString text = m_fields[field]->text();
    return text.isEmpty() ? QString() : text;
}

hotel::CompletedStay CheckOutWindow::completedStay(hotel::BoxReader &read) const
{
    // Read in the order of the columns.
    hotel::CompletedStay c;
    c.guest = fieldText(Guest);
    c.unit = fieldText(Unit);
    c.idType = fieldText(IdType);
    c.idNumber = fieldText(IdNumber);
    c.checkIn = read.time(fieldText(CheckIn));
    c.plannedDays = read.int16(fieldText(PlannedDays));
    c.persons = read.int16(fieldText(Persons));
    c.room = read.int16(fieldText(RoomKey));
    c.prepayment = read.int16(fieldText(Prepayment));
    c.checkOut = read.time(fieldText(CheckOut));
    c.days = read.int16(fieldText(Days));
    c.amount = read.int16(fieldText(Amount));
    c.due = read.int16(fieldText(Due));
    c.refund = read.int16(fieldText(Refund));
    c.remarks = fieldText(Remarks);
    return c;
}
