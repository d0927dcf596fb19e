#include "frontdesk/history/checkout_sheet.h"

#include "data/conversions.h"
#include "frontdesk/history/checkout_sheet_layout.h"
#include "hotel/history.h"
#include "ui/chosen_record.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/grid_fill.h"
#include "ui/printout.h"
#include "ui/seams.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPagedPaintDevice>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {

const char16_t *const Captions[9] = {u"退 房 信 息 单", u"打印时间:", u"旅客单位:",
                                     u"旅客姓名:",      u"入住时间:", u"入住天数:",
                                     u"入住人数:",      u"退房时间:", u"金额:"};

QFrame *makeRule(QWidget *parent, const QString &name, QFrame::Shape shape)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(shape);
    frame->setFrameShadow(QFrame::Plain);
    frame->setLineWidth(1);
    QPalette p = frame->palette();
    p.setColor(QPalette::WindowText, Qt::black);
    frame->setPalette(p);
    return frame;
}

} // namespace

CheckOutSheet::CheckOutSheet(QWidget *owner, std::optional<qint64> completedStay) : QDialog(owner)
{
    setObjectName(u"Form21"_s);
    setWindowTitle(u"打印退房信息"_s);
    createControls();
    connect(m_printButton, &QPushButton::clicked, this, &CheckOutSheet::printSheet);
    showStay(completedStay);
}

QRect CheckOutSheet::toPixels(const QRect &twips) const
{
    const double sx = logicalDpiX() / 1440.0;
    const double sy = logicalDpiY() / 1440.0;
    const int x = qRound(twips.x() * sx);
    const int y = qRound(twips.y() * sy);
    // A rule is a three-pixel strip with the line drawn in its middle.
    if (twips.height() == 0)
        return {x, y - 1, qRound(twips.width() * sx), 3};
    if (twips.width() == 0)
        return {x - 1, y, 3, qRound(twips.height() * sy)};
    return {x, y, qRound(twips.width() * sx), qRound(twips.height() * sy)};
}

void CheckOutSheet::createControls()
{
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setFixedSize(toPixels({0, 0, WidthTwips, HeightTwips}).size());

    // Frames first, so the texts stand on top of them.
    m_border = makeRule(this, u"Shape1"_s, QFrame::Box);
    m_border->setGeometry(toPixels(sheet::Border));
    m_particularsBox = makeRule(this, u"Shape2"_s, QFrame::Box);
    m_particularsBox->setGeometry(toPixels(sheet::ParticularsBox));
    for (int i = 0; i < 5; ++i) {
        const bool vertical = sheet::Lines[i].width() == 0;
        m_lines[i] =
            makeRule(this, u"Line"_s + QString::number(i + 1), vertical ? QFrame::VLine : QFrame::HLine);
        m_lines[i]->setGeometry(toPixels(sheet::Lines[i]));
    }
    for (int i = 0; i < 9; ++i) {
        m_labels[i] =
            ui::makeLabel(this, u"Label"_s + QString::number(i + 1), QString::fromUtf16(Captions[i]));
        m_labels[i]->setGeometry(toPixels(sheet::Labels[i]));
        m_labels[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    QFont title = m_labels[0]->font();
    title.setPointSize(18);
    title.setBold(true);
    m_labels[0]->setFont(title);
    m_labels[0]->setAlignment(Qt::AlignCenter);

    m_roomGrid = new FlexGrid(this);
    m_roomGrid->setObjectName(u"MSFlexGrid1"_s);
    m_roomGrid->setGeometry(toPixels(sheet::Grid));

    m_printButton = ui::makeButton(this, u"Command1"_s, u"打印"_s);
    m_printButton->setGeometry(toPixels(sheet::PrintButton));
    m_printButton->setStyleSheet(u"QPushButton { background-color: white; }"_s);
}

void CheckOutSheet::showStay(std::optional<qint64> completedStay)
{
    std::optional<hotel::history::Sheet> chosen;
    if (completedStay) {
        const auto found = hotel::history::sheet(hotel::session(), *completedStay);
        if (found.ok())
            chosen = found.value();
        else
            ui::showOutcome(this, found);
    }
    m_stayShown = chosen.has_value();
    // Without a stay every label shows its caption (and unit) only.
    const hotel::CompletedStay stay = chosen ? chosen->stay : hotel::CompletedStay{};
    auto number = [](const hotel::Int16 &n) { return n ? QString::number(*n) : QString(); };
    auto time = [](const hotel::Time &t) { return t ? conv::dateTimeToText(*t) : QString(); };

    m_labels[1]->setText(u"打印时间:"_s + conv::dateToText(ui::today()));
    m_labels[2]->setText(u"旅客单位:"_s + stay.unit);
    m_labels[3]->setText(u"旅客姓名:"_s + stay.guest);
    m_labels[4]->setText(u"入住时间:"_s + time(stay.checkIn));
    // The planned days, not the days stayed; the amount charged, not the balance.
    m_labels[5]->setText(u"入住天数:"_s + number(stay.plannedDays) + u"天"_s);
    m_labels[6]->setText(u"入住人数:"_s + number(stay.persons) + u"人"_s);
    m_labels[7]->setText(u"退房时间:"_s + time(stay.checkOut));
    m_labels[8]->setText(u"金额:"_s + number(stay.amount) + u"元"_s);

    grid::reset(m_roomGrid, grid::roomHeader(), toPixels({0, 0, 1, sheet::GridRowHeight}).height());
    if (chosen && chosen->room)
        grid::appendRow(m_roomGrid, chosen->room->stored, {}); // a room has no times
}

void CheckOutSheet::printSheet()
{
    // A sheet of empty labels is no check-out sheet: say what is missing instead of printing it.
    if (!m_stayShown) {
        ui::inform(this, ui::nothingChosenMessage());
        return;
    }
    ui::print(this, {u"退房信息单"_s, u"退房信息单"_s, ui::documentsPath(u"退房信息单.pdf"_s),
                     ui::a4(QPageLayout::Portrait, 15), [this](QPainter &painter, QPagedPaintDevice &page) {
                         paintPage(painter, QRectF(0, 0, page.width(), page.height()), page.logicalDpiX());
                     }});
}
