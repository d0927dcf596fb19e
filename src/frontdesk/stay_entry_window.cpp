#include "frontdesk/stay_entry_window.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/db_error.h"
#include "data/recordset.h"
#include "frontdesk/stay_particulars.h"
#include "ui/date_picker.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/grid_fill.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

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

StayEntryWindow::~StayEntryWindow() = default;

void StayEntryWindow::createLayout()
{
    m_frame1 = ui::makeFrame(this, u"Frame1"_s);
    m_boxes = std::make_unique<StayParticulars>(m_frame1);
    m_label14 = ui::makeLabel(m_frame1, u"Label14"_s, str(m_kind.instruction));
    m_msFlexGrid1 = new FlexGrid(m_frame1);
    m_msFlexGrid1->setObjectName(u"MSFlexGrid1"_s);
    m_msFlexGrid1->setToolTip(u"请选择房间,这里的房间都是未入住房间"_s);
    m_command1 = ui::makeButton(m_frame1, u"Command1"_s, str(m_kind.confirmCaption));

    ui::setBuddy(m_label14, m_msFlexGrid1);

    auto *grid = new QGridLayout(m_frame1);
    m_boxes->layOut(grid);
    grid->addWidget(m_label14, 5, 0, 1, 6);
    grid->addWidget(m_msFlexGrid1, 6, 0, 1, 6);
    grid->addWidget(m_boxes->label[10], 7, 0);
    grid->addWidget(m_boxes->text[9], 7, 1, 1, 4);
    grid->addWidget(m_command1, 8, 4, 1, 2, Qt::AlignRight);
    grid->setRowStretch(6, 1);
    m_msFlexGrid1->setMinimumSize(640, 180);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame1);

    QWidget *order[] = {m_boxes->text[1],   m_boxes->text[2], m_boxes->text[3], m_boxes->text[4],
                        m_boxes->dtPicker1, m_boxes->text[5], m_boxes->text[6], m_boxes->text[8],
                        m_msFlexGrid1,      m_boxes->text[9], m_command1};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void StayEntryWindow::Form_Load()
{
    // The fill sets the header first, so it stands even when the file cannot be opened.
    try {
        grid::fillPaged(m_msFlexGrid1, grid::roomHeader(), grid::DefaultRowHeight, schema::Rooms,
                        {u"房间状态=1"_s, {}}, PagedTable::Order::OldestFirst);
    } catch (const DbError &) {
        // The window still opens, with the header only.
    }
}

void StayEntryWindow::MSFlexGrid1_Click()
{
    if (!m_msFlexGrid1->hasSelectedRecord())
        return;
    const int row = m_msFlexGrid1->RowSel();
    m_boxes->text[7]->setText(m_msFlexGrid1->TextMatrix(row, 0));
    m_boxes->text[10]->setText(m_msFlexGrid1->TextMatrix(row, 1));
}

void StayEntryWindow::Command1_Click()
{
    if (!m_boxes->validate(this))
        return;
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
        m_boxes->text[7]->clear();
        m_boxes->text[10]->clear();
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
    m_boxes->writeTo(records);
    records.update();
    records.close();
    // setField(8) has already refused a key that is no 16-bit number.
    const qint16 room = *conv::toInt16(m_boxes->text[7]->text());
    // Only a room that is still free is taken; otherwise the new row is rolled back with it.
    if (connection.execute(str(m_kind.takeRoom), {int(room)}) == 0)
        return false;
    transaction.commit();
    return true;
}
