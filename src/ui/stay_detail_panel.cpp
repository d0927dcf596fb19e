#include "ui/stay_detail_panel.h"

#include "data/conversions.h"
#include "hotel/lookups.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/grid_fill.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::Literals::StringLiterals;

namespace {

// Label i + 1 names box Text(i + 2); that box shows column i + 1 of the completed stay. The
// refund's caption is the window's own.
const char16_t *const Captions[15] = {u"旅客姓名：", u"旅客单位：",     u"证件名称：",     u"证件号码：",
                                      u"入住时间：", u"计划入住天数：", u"入住人数：",     u"房间ID：",
                                      u"预付款：",   u"退房时间：",     u"实际入住天数：", u"实际金额：",
                                      u"应收款：",   nullptr,           u"备注信息："};

constexpr int RoomKey = 7;
constexpr int Refund = 13;
constexpr int ColumnCount = 15;

} // namespace

StayDetailPanel::StayDetailPanel(const Options &options, QWidget *parent) : QGroupBox(u"旅客信息"_s, parent)
{
    setObjectName(u"Frame2"_s);
    createControls(options);
    createLayout();
}

void StayDetailPanel::createControls(const Options &options)
{
    for (int i = 0; i < ColumnCount; ++i) {
        const QString caption = i == Refund ? options.refundCaption : QString::fromUtf16(Captions[i]);
        m_labels[i] = ui::makeLabel(this, u"Label"_s + QString::number(i + 1), caption);
        const QString name = u"Text"_s + QString::number(i + 2);
        m_boxes[i] = i == RoomKey ? ui::makeHiddenKeyBox(this, name) : ui::makeTextBox(this, name);
    }
    m_right = options.right;
    m_roomNumber = ui::makeRoomNumberBox(this, options.roomNumberBox);
    for (int i = 0; i < ColumnCount; ++i)
        ui::setBuddy(m_labels[i], i == RoomKey ? m_roomNumber : m_boxes[i]);
    m_roomGrid = new FlexGrid(this);
    m_roomGrid->setObjectName(u"MSFlexGrid1"_s);
}

void StayDetailPanel::createLayout()
{
    m_layout = new QGridLayout(this);
    // Three pairs a row; the room grid between the stay and its check-out.
    auto place = [this](int i, int row, int pair) {
        m_layout->addWidget(m_labels[i], row, pair * 2, Qt::AlignRight);
        if (i == RoomKey) {
            auto *pairBox = new QHBoxLayout;
            pairBox->setSpacing(0);
            pairBox->addWidget(m_roomNumber);
            pairBox->addWidget(m_boxes[RoomKey]);
            m_layout->addLayout(pairBox, row, pair * 2 + 1);
        } else {
            m_layout->addWidget(m_boxes[i], row, pair * 2 + 1);
        }
    };
    for (int i = 0; i < 9; ++i)
        place(i, i / 3, i % 3);
    m_layout->addWidget(m_roomGrid, 3, 0, 1, 6);
    for (int i = 9; i < ColumnCount; ++i)
        place(i, 4 + (i - 9) / 3, (i - 9) % 3);
    for (int c : {1, 3, 5})
        m_layout->setColumnStretch(c, 1);
    m_roomGrid->setMinimumHeight(70);
    m_roomGrid->setMaximumHeight(90);
}

void StayDetailPanel::addButton(QWidget *button)
{
    m_layout->addWidget(button, 6, 5, Qt::AlignRight);
}

void StayDetailPanel::clearRoom()
{
    grid::reset(m_roomGrid, grid::roomHeader());
}

void StayDetailPanel::showSelected(const FlexGrid *list)
{
    if (!list->hasSelectedRecord())
        return;
    const int row = list->RowSel();
    for (int i = 0; i < ColumnCount; ++i)
        m_boxes[i]->setText(list->text(row, i + 1));
    grid::reset(m_roomGrid, grid::roomHeader());
    showRoom();
}

void StayDetailPanel::showRoom()
{
    // A stay whose room has gone keeps the grid at its header and the previous room number.
    const auto key = conv::toInt16(m_boxes[RoomKey]->text());
    if (!key)
        return;
    // Selecting never stops for the store: what could be shown stays shown.
    const auto found = hotel::roomByKey(hotel::session(), m_right, *key);
    if (!found.ok() || !found.value())
        return;
    grid::appendRow(m_roomGrid, found.value()->stored, {}); // a room has no times
    if (const QString number = found.value()->room.number; !number.isEmpty())
        m_roomNumber->setText(number);
}

void StayDetailPanel::resetList(FlexGrid *list)
{
    grid::reset(list, grid::completedStayHeader());
}
