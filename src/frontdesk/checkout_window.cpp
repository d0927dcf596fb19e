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
    connect(m_text[1], &QLineEdit::textChanged, this, &CheckOutWindow::Text1_Change);
    connect(m_command1, &QPushButton::clicked, this, &CheckOutWindow::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &CheckOutWindow::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &CheckOutWindow::Command3_Click);
    Form_Load();
}

void CheckOutWindow::createLayout()
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

void CheckOutWindow::Form_Load()
{
    grid::reset(m_msFlexGrid1, grid::roomHeader(), grid::DefaultRowHeight);
    m_command2->setEnabled(false);
    m_command3->setEnabled(false);
}

void CheckOutWindow::Text1_Change()
{
    grid::reset(m_msFlexGrid1, grid::roomHeader(), grid::KeepRowHeight);
    for (int i = 2; i <= 16; ++i)
        m_text[i]->clear();
    m_quote.reset();
}

void CheckOutWindow::takeRoom(const ui::RoomHandoff &room)
{
    m_text[1]->setText(room.roomNumber);
    Command1_Click();
}

void CheckOutWindow::Command1_Click()
{
    if (m_text[1]->text().isEmpty()) {
        ui::refuseAt(m_text[1], u"对不起，请输入查询对象？"_s);
        return;
    }
    const auto quote = hotel::checkout::quote(hotel::session(), m_text[1]->text());
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
    grid::appendRow(m_msFlexGrid1, quote->roomRow, {}); // a room has no times
    if (!quote->room.number.isEmpty())
        m_text[17]->setText(quote->room.number);
    m_quote = quote.value();
    m_command2->setEnabled(true);
    m_text[11]->setText(conv::dateToText(ui::today()));
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
    // Particular k goes to box k + 1; one the stay lacks leaves its box as it was.
    for (int k = 1; k <= 9; ++k) {
        if (!particulars[k - 1].isEmpty())
            m_text[k + 1]->setText(particulars[k - 1]);
    }
}

void CheckOutWindow::Command2_Click()
{
    hotel::SettlementInput in;
    if (const auto checkIn = conv::textToDateTime(m_text[6]->text()))
        in.checkIn = checkIn->date();
    if (const auto checkOut = conv::textToDateTime(m_text[11]->text()))
        in.checkOut = checkOut->date();
    // The standard price of the room as fetched; the member price is never charged.
    in.roomListed = m_quote.has_value();
    if (m_quote)
        in.price = m_quote->room.price;
    in.prepayment = conv::toInt16(m_text[10]->text());
    const auto s = hotel::settle(in);
    if (!s.ok()) {
        // A result from earlier boxes must not stay behind to be confirmed.
        for (int i = 12; i <= 15; ++i)
            m_text[i]->clear();
        m_command3->setEnabled(false);
        ui::inform(this, s.message());
        return;
    }
    m_text[12]->setText(QString::number(s->days));
    m_text[13]->setText(QString::number(s->amount));
    m_text[14]->setText(QString::number(s->due));
    m_text[15]->setText(QString::number(s->refund));
    m_command3->setEnabled(true);
}

void CheckOutWindow::Command3_Click()
{
    bool settled = m_quote && !m_text[9]->text().isEmpty();
    for (int i = 12; i <= 15; ++i)
        settled = settled && !m_text[i]->text().isEmpty();
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

hotel::CompletedStay CheckOutWindow::completedStay(hotel::BoxReader &read) const
{
    // Ordinal k comes from box k + 1, read in order; an empty box leaves its column unset.
    auto box = [this](int n) {
        const QString text = m_text[n]->text();
        return text.isEmpty() ? QString() : text;
    };
    hotel::CompletedStay c;
    c.guest = box(2);
    c.unit = box(3);
    c.idType = box(4);
    c.idNumber = box(5);
    c.checkIn = read.time(box(6));
    c.plannedDays = read.int16(box(7));
    c.persons = read.int16(box(8));
    c.room = read.int16(box(9));
    c.prepayment = read.int16(box(10));
    c.checkOut = read.time(box(11));
    c.days = read.int16(box(12));
    c.amount = read.int16(box(13));
    c.due = read.int16(box(14));
    c.refund = read.int16(box(15));
    c.remarks = box(16);
    return c;
}
