// The printed check-out sheet: painted item by item from the window's own layout table and
// texts, so the page (or PDF) keeps its text as text and carries exactly what the window shows.
#include "frontdesk/history/checkout_sheet.h"

#include "frontdesk/history/checkout_sheet_layout.h"
#include "ui/flex_grid.h"

#include <QHeaderView>
#include <QLabel>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int RuleWidth = 15;   // one pixel on the screen
constexpr int CellPadding = 60; // text kept off the cell borders

// A font sized in twips, the painter's unit on the page.
QFont inTwips(QFont font, const QWidget *widget)
{
    const double twips =
        font.pointSizeF() > 0 ? font.pointSizeF() * 20.0 : font.pixelSize() * 1440.0 / widget->logicalDpiY();
    font.setPixelSize(std::max(1, qRound(twips)));
    return font;
}

int toTwips(int pixels, const QWidget *widget)
{
    return qRound(pixels * 1440.0 / widget->logicalDpiX());
}

} // namespace

void CheckOutSheet::paintPage(QPainter &painter, const QRectF &area, double dpi) const
{
    painter.save();
    const double natural = dpi / 1440.0;
    const double scale = std::min({natural, area.width() / WidthTwips, area.height() / HeightTwips});
    painter.translate(area.topLeft());
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, RuleWidth));
    painter.setBrush(Qt::NoBrush);

    painter.drawRect(sheet::Border);
    painter.drawRect(sheet::ParticularsBox);
    for (const QRect &r : sheet::Lines)
        painter.drawLine(r.topLeft(), QPoint(r.x() + r.width(), r.y() + r.height()));
    for (int i = 0; i < 9; ++i) {
        painter.setFont(inTwips(m_labels[i]->font(), m_labels[i]));
        painter.drawText(sheet::Labels[i], int(m_labels[i]->alignment()), m_labels[i]->text());
    }
    paintGrid(painter);
    painter.restore();
}

void CheckOutSheet::paintGrid(QPainter &painter) const
{
    const FlexGrid *grid = m_roomGrid;
    const QRect &box = sheet::Grid;
    painter.save();
    painter.setClipRect(box);
    painter.setFont(inTwips(grid->font(), grid));
    const int rowHeight =
        std::max(sheet::GridRowHeight, toTwips(grid->verticalHeader()->defaultSectionSize(), grid));
    const QColor fixedCells = grid->palette().color(QPalette::Button);

    int y = box.y();
    for (int r = 0; r < grid->Rows() && y < box.bottom(); ++r, y += rowHeight) {
        int x = box.x();
        for (int c = 0; c < grid->Cols() && x < box.right(); ++c) {
            const int width = toTwips(grid->columnWidth(c), grid);
            const QRect cell(x, y, width, rowHeight);
            if (r == 0 || c == 0)
                painter.fillRect(cell, fixedCells);
            painter.setPen(QPen(Qt::gray, RuleWidth));
            painter.drawRect(cell);
            Qt::Alignment align = Qt::AlignCenter;
            if (r > 0) {
                const QModelIndex index = grid->model()->index(r - 1, c);
                align = Qt::Alignment(grid->model()->data(index, Qt::TextAlignmentRole).toInt());
            }
            painter.setPen(Qt::black);
            painter.drawText(cell.adjusted(CellPadding, 0, -CellPadding, 0), int(align), grid->text(r, c));
            x += width;
        }
    }
    painter.restore();
    painter.setPen(QPen(Qt::black, RuleWidth));
    painter.drawRect(box);
}
