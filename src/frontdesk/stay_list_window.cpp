#include "frontdesk/stay_list_window.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/db_error.h"
#include "data/recordset.h"
#include "data/shown_record.h"
#include "frontdesk/stay_particulars.h"
#include "ui/chosen_record.h"
#include "ui/date_picker.h"
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
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

const StayListKind currentGuests{u"Form9",
                                 u"当前入住信息",
                                 u"当前已入住的旅客",
                                 u"旅客入住",
                                 u"select * from 旅客入住 where 入住ID=?",
                                 u"恭喜您，旅客入住信息修改成功？",
                                 true,
                                 false};

const StayListKind reservations{u"Form11",
                                u"取消客房预订",
                                u"旅客预订房信息",
                                u"旅客预订",
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

StayListWindow::~StayListWindow() = default;

void StayListWindow::createLayout()
{
    m_frame2 = ui::makeFrame(this, u"Frame2"_s, str(m_kind.listCaption));
    m_msFlexGrid2 = new FlexGrid(m_frame2);
    m_msFlexGrid2->setObjectName(u"MSFlexGrid2"_s);
    m_msFlexGrid2->setMinimumSize(1000, 200); // wide enough for every column of a stay
    auto *listLayout = new QVBoxLayout(m_frame2);
    listLayout->addWidget(m_msFlexGrid2);

    m_frame1 = ui::makeFrame(this, u"Frame1"_s);
    m_boxes = std::make_unique<StayParticulars>(m_frame1);
    m_msFlexGrid1 = new FlexGrid(m_frame1);
    m_msFlexGrid1->setObjectName(u"MSFlexGrid1"_s);
    m_msFlexGrid1->setToolTip(u"旅客入住的房间基本信息"_s);
    m_msFlexGrid1->setFixedHeight(64);
    m_command1 = ui::makeButton(m_frame1, u"Command1"_s, u"确认修改信息"_s);
    if (m_kind.canCancel)
        m_command2 = ui::makeButton(m_frame1, u"Command2"_s, u"取消房间预订"_s);

    auto *grid = new QGridLayout(m_frame1);
    m_boxes->layOut(grid);
    grid->addWidget(m_msFlexGrid1, 5, 0, 1, 6);
    grid->addWidget(m_boxes->label[10], 6, 0);
    grid->addWidget(m_boxes->text[9], 6, 1, 1, 4);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command1);
    if (m_command2)
        buttons->addWidget(m_command2);
    grid->addLayout(buttons, 7, 0, 1, 6);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame2, 1);
    layout->addWidget(m_frame1);

    QWidget *order[] = {m_msFlexGrid2,    m_boxes->text[1],   m_boxes->text[2], m_boxes->text[3],
                        m_boxes->text[4], m_boxes->dtPicker1, m_boxes->text[5], m_boxes->text[6],
                        m_boxes->text[8], m_boxes->text[9],   m_command1};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    if (m_command2)
        setTabOrder(m_command1, m_command2);
}

void StayListWindow::Form_Load()
{
    // The fill sets the header first, so it stands even when the file cannot be opened.
    try {
        grid::fillPaged(m_msFlexGrid2, grid::stayHeader(), grid::DefaultRowHeight, str(m_kind.table), {},
                        PagedTable::Order::OldestFirst);
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
    m_shownCells.clear();
    for (int c = 0; c < m_msFlexGrid2->Cols(); ++c)
        m_shownCells.append(m_msFlexGrid2->TextMatrix(row, c));
    for (int i = 1; i <= 4; ++i)
        m_boxes->text[i]->setText(m_msFlexGrid2->TextMatrix(row, i));
    m_boxes->dtPicker1->setValueText(m_msFlexGrid2->TextMatrix(row, 5));
    for (int i = 5; i <= 9; ++i)
        m_boxes->text[i]->setText(m_msFlexGrid2->TextMatrix(row, i + 1));
    showRoom();
}

void StayListWindow::showRoom()
{
    grid::reset(m_msFlexGrid1, grid::roomHeader());
    if (m_kind.emptyRoomRowWhenMissing)
        m_msFlexGrid1->setRows(2);
    // Never leave the number of the room shown before beside another stay.
    m_boxes->text[10]->clear();
    try {
        const auto room = conv::toInt16(m_boxes->text[7]->text());
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
        m_boxes->text[10]->setText(records.text(1));
    } catch (const DbError &) {
        // Showing the room is a courtesy; the particulars above are already in place.
    }
}

void StayListWindow::Command1_Click()
{
    if (!m_boxes->validate(this))
        return;
    if (chosen().isEmpty() || !ui::rewriteShown(this, str(m_kind.row), m_shownCells,
                                                [this](Recordset &records) { m_boxes->writeTo(records); }))
        return;
    ui::MsgBox(this, str(m_kind.saveMessage));
    ui::reopen(this, str(m_kind.formName));
}

QStringList StayListWindow::chosen()
{
    // The boxes hold the row picked last; nothing picked, or the pick gone, is nothing chosen.
    if (!m_msFlexGrid2->hasSelectedRecord() || m_shownCells.isEmpty()) {
        ui::MsgBox(this, ui::nothingChosenMessage());
        return {};
    }
    return m_shownCells;
}

void StayListWindow::Command2_Click()
{
    if (!m_kind.canCancel || chosen().isEmpty())
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
    shown::requireAsShown(records, m_shownCells);
    // The room is the one the reservation itself names, so the two always go together.
    const QVariant room = records.field(8);
    records.close();
    connection.execute(u"delete from 旅客预订 where 预订ID=?"_s, {m_shownKey});
    if (room.isValid())
        connection.execute(u"update 房间 set 房间状态=1 where 房间ID=?"_s, {room});
    transaction.commit();
}
