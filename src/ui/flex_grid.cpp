#include "ui/flex_grid.h"

#include "ui/grid_export.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>
#include <utility>

namespace {
// How long a list not drawn (its window hidden) waits for its count.
constexpr int CountAfterMilliseconds = 100;
} // namespace

using namespace Qt::Literals::StringLiterals;

namespace {

// Paints a cell as the style's item view would (highlight, the shaded key column, the text in
// one line, cut with "…" where it does not fit), but lays the text out only as one run of
// glyphs: a list repaints every cell in view at once.
class CellPainter : public QStyledItemDelegate
{
public:
    explicit CellPainter(FlexGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : option.state & QStyle::State_Active   ? QPalette::Normal
                                                                                   : QPalette::Inactive;
        const bool selected = option.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        else if (const QVariant back = index.data(Qt::BackgroundRole); back.isValid())
            painter->fillRect(option.rect, back.value<QBrush>());
        QString text = m_grid->flexModel()->text(index.row() + 1, index.column());
        if (text.isEmpty())
            return;
        const int margin = m_grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_grid) + 1;
        const QRect room = option.rect.adjusted(margin, 0, -margin, 0);
        int width = m_grid->roughWidth(text);
        if (width > room.width()) {
            text = option.fontMetrics.elidedText(text, Qt::ElideRight, room.width());
            width = option.fontMetrics.horizontalAdvance(text);
        }
        const bool centred = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHCenter;
        const int x = centred ? room.left() + (room.width() - width) / 2 : room.left();
        const int y =
            room.top() + (room.height() - option.fontMetrics.height()) / 2 + option.fontMetrics.ascent();
        painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(QPoint(x, y), text);
    }

private:
    const FlexGrid *m_grid;
};

} // namespace

// Column widths are taken from the first rows only.
constexpr int SampledRows = 50;

FlexGrid::FlexGrid(QWidget *parent) : QTableView(parent), m_model(new FlexGridModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setItemDelegate(new CellPainter(this));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    applyRowHeight();
    connect(m_model, &QAbstractItemModel::headerDataChanged, this, [this] { applyColumnWidths(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { applyColumnWidths(); });
    // Cells set one by one (a row added from a record, a copied grid) widen their columns too.
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &first) {
        if (first.row() < SampledRows)
            applyColumnWidths();
    });
    grid_export::attach(this);
}

void FlexGrid::setMinimumRowHeight(int pixels)
{
    m_minimumRowHeight = std::max(pixels, 0);
    applyRowHeight();
}

void FlexGrid::applyRowHeight()
{
    const int minimum = m_minimumRowHeight;
    const int height = std::max(minimum, fontMetrics().height() + 4);
    verticalHeader()->setMinimumSectionSize(std::min(height, minimum > 0 ? minimum : height));
    verticalHeader()->setDefaultSectionSize(height);
}

void FlexGrid::applyColumnWidths()
{
    // Each column is as wide as its header text; the blanks in it widen the column. Where the first
    // rows hold wider values (dates, document numbers) the column widens so they can be read.
    constexpr int Padding = 14;
    const QFontMetrics headerMetrics = horizontalHeader()->fontMetrics();
    const QFontMetrics cellMetrics = fontMetrics();
    const int sampled = std::min(m_model->rows() - 1, SampledRows);
    const int widest = std::max(viewport()->width() / 2, 240);
    for (int c = 0; c < m_model->cols(); ++c) {
        // Every fill sets the same header again: its widths are measured once.
        const QString &head = m_model->headerTexts().at(c);
        auto known = m_headerWidths.constFind(head);
        if (known == m_headerWidths.constEnd())
            known = m_headerWidths.insert(head, headerMetrics.horizontalAdvance(head));
        int width = *known;
        // Only the value that looks widest is laid out in full.
        QString widestValue;
        int rough = -1;
        for (int r = 1; r <= sampled; ++r) {
            QString value = m_model->text(r, c);
            if (const int w = roughWidth(value); w > rough) {
                rough = w;
                widestValue = std::move(value);
            }
        }
        const int drawn = rough > 0 ? cellMetrics.horizontalAdvance(widestValue) : 0;
        width = std::max(width, std::min(drawn, widest));
        horizontalHeader()->resizeSection(c, width + Padding);
    }
}

int FlexGrid::roughWidth(const QString &text) const
{
    int width = 0;
    for (const QChar ch : text) {
        auto it = m_advances.constFind(ch.unicode());
        if (it == m_advances.constEnd())
            it = m_advances.insert(ch.unicode(), fontMetrics().horizontalAdvance(ch));
        width += *it;
    }
    return width;
}

void FlexGrid::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        m_advances.clear();
        m_headerWidths.clear();
    }
    QTableView::changeEvent(event);
}

int FlexGrid::RowSel() const
{
    // The highlighted row, whichever index happens to be current.
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void FlexGrid::selectRecord(int row)
{
    if (row < 1 || row >= Rows())
        return;
    selectionModel()->setCurrentIndex(m_model->index(row - 1, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Q_EMIT Click();
}

QItemSelectionModel::SelectionFlags FlexGrid::selectionCommand(const QModelIndex &index,
                                                               const QEvent *event) const
{
    // A record stays chosen until another is: no deselecting with Ctrl, no clearing by a press
    // beside the rows.
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    const QItemSelectionModel::SelectionFlags command = QTableView::selectionCommand(index, event);
    return command.testFlag(QItemSelectionModel::Deselect) ? QItemSelectionModel::NoUpdate : command;
}

void FlexGrid::mousePressEvent(QMouseEvent *event)
{
    // Qt makes the pressed index current before it selects it, so the choice is announced only
    // once the press has been handled; a press on the row already chosen is still a choice.
    QTableView::mousePressEvent(event);
    const QModelIndex pressed = indexAt(event->position().toPoint());
    if (pressed.isValid() && RowSel() == pressed.row() + 1)
        Q_EMIT Click();
}

void FlexGrid::mouseMoveEvent(QMouseEvent *event)
{
    // Dragging with a button held would move the current row, or the highlight, without a pick.
    if (event->buttons() == Qt::NoButton)
        QTableView::mouseMoveEvent(event);
}

QModelIndex FlexGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Whole rows are chosen, so Home and End go to the first and the last record.
    if (action == MoveHome || action == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

void FlexGrid::keyPressEvent(QKeyEvent *event)
{
    const int before = RowSel();
    QTableView::keyPressEvent(event);
    if (RowSel() != before && RowSel() > 0)
        Q_EMIT Click();
}

void FlexGrid::countLater(std::function<void()> count)
{
    m_count = std::move(count);
    if (m_count)
        QTimer::singleShot(CountAfterMilliseconds, this, [this] { finishCount(); });
}

bool FlexGrid::viewportEvent(QEvent *event)
{
    const bool handled = QTableView::viewportEvent(event);
    // The first screenful is on screen: the count comes next.
    if (event->type() == QEvent::Paint && m_count)
        QTimer::singleShot(0, this, [this] { finishCount(); });
    return handled;
}

void FlexGrid::finishCount() const
{
    if (const std::function<void()> count = std::exchange(m_count, {}))
        count();
}
