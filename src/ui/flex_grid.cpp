#include "ui/flex_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPalette>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr std::size_t BlockBytes = 512 * 1024;
}

FlexGridModel::FlexGridModel(QObject *parent) : QAbstractTableModel(parent)
{
    m_header = {QString(), QString()};
    m_centred = {false, false};
}

FlexGridModel::~FlexGridModel() = default;

void FlexGridModel::clearCells()
{
    m_blocks.clear();
    m_blockUsed = m_blockSize = 0;
    m_rowStart.clear();
    m_length.clear();
    m_longLength.clear();
}

const char *FlexGridModel::storeUtf8(const char *data, std::size_t bytes)
{
    if (m_blockUsed + bytes > m_blockSize || m_blocks.empty()) {
        const std::size_t size = std::max(BlockBytes, bytes);
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(size));
        m_blockSize = size;
        m_blockUsed = 0;
    }
    char *start = m_blocks.back().get() + m_blockUsed;
    if (bytes)
        std::memcpy(start, data, bytes);
    m_blockUsed += bytes;
    return start;
}

const char *FlexGridModel::store(const QString *cells, int count, std::vector<quint32> &lengths)
{
    m_scratch.clear();
    lengths.clear();
    for (int c = 0; c < m_cols; ++c) {
        const qsizetype before = m_scratch.size();
        if (c < count && !cells[c].isEmpty())
            m_scratch += cells[c].toUtf8();
        lengths.push_back(quint32(m_scratch.size() - before));
    }
    return storeUtf8(m_scratch.constData(), std::size_t(m_scratch.size()));
}

void FlexGridModel::setLengths(std::size_t row, const quint32 *lengths, int count)
{
    const std::size_t base = row * std::size_t(m_cols);
    if (m_length.size() < base + std::size_t(m_cols))
        m_length.resize(base + std::size_t(m_cols));
    for (int c = 0; c < m_cols; ++c) {
        const quint32 n = c < count ? lengths[c] : 0;
        const std::size_t at = base + std::size_t(c);
        if (n >= LongCell) {
            m_length[at] = LongCell;
            m_longLength[at] = n;
        } else {
            if (m_length[at] == LongCell)
                m_longLength.erase(at);
            m_length[at] = quint16(n);
        }
    }
}

quint32 FlexGridModel::cellLength(std::size_t index) const
{
    const quint16 n = m_length[index];
    return n == LongCell ? m_longLength.at(index) : n;
}

void FlexGridModel::setRows(int rows)
{
    rows = std::max(rows, 1);
    const int current = this->rows();
    if (rows == current)
        return;
    if (rows < current) {
        if (!m_filling)
            beginRemoveRows({}, rows - 1, current - 2);
        if (rows == 1) {
            clearCells();
        } else {
            const std::size_t kept = std::size_t(rows - 1) * std::size_t(m_cols);
            for (auto it = m_longLength.begin(); it != m_longLength.end();)
                it = it->first >= kept ? m_longLength.erase(it) : std::next(it);
            m_rowStart.resize(std::size_t(rows - 1));
            m_length.resize(kept);
        }
        if (!m_filling)
            endRemoveRows();
        return;
    }
    if (!m_filling)
        beginInsertRows({}, current - 1, rows - 2);
    m_rowStart.resize(std::size_t(rows - 1), nullptr);
    m_length.resize(std::size_t(rows - 1) * std::size_t(m_cols), 0);
    if (!m_filling)
        endInsertRows();
}

void FlexGridModel::setCols(int cols)
{
    cols = std::max(cols, 1);
    if (cols == m_cols)
        return;
    beginResetModel();
    // Rebuild every row at the new width.
    std::vector<std::vector<QString>> old;
    for (int r = 1; r < rows(); ++r) {
        std::vector<QString> row;
        for (int c = 0; c < m_cols; ++c)
            row.push_back(textMatrix(r, c));
        old.push_back(std::move(row));
    }
    clearCells();
    m_cols = cols;
    std::vector<quint32> lengths;
    while (m_header.size() < cols)
        m_header.append(QString());
    while (m_header.size() > cols)
        m_header.removeLast();
    m_centred.resize(std::size_t(cols), false);
    for (auto &row : old) {
        row.resize(std::size_t(cols));
        m_rowStart.push_back(store(row.data(), cols, lengths));
        setLengths(m_rowStart.size() - 1, lengths.data(), cols);
    }
    endResetModel();
}

void FlexGridModel::setFormatString(const QString &format)
{
    const QStringList parts = format.split(u'|');
    setCols(int(parts.size()));
    m_format = format;
    for (int c = 0; c < parts.size(); ++c) {
        QString text = parts.at(c);
        const bool centred = text.startsWith(u'^');
        if (centred)
            text.remove(0, 1);
        m_header[c] = text;
        m_centred[std::size_t(c)] = centred;
    }
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
}

int FlexGridModel::cellBytes(int row, int col) const
{
    if (col < 0 || col >= m_cols || row < 1 || row >= rows())
        return 0;
    return int(cellLength(std::size_t(row - 1) * std::size_t(m_cols) + std::size_t(col)));
}

QString FlexGridModel::textMatrix(int row, int col) const
{
    if (col < 0 || col >= m_cols || row < 0 || row >= rows())
        return {};
    if (row == 0)
        return m_header.at(col);
    const std::size_t base = std::size_t(row - 1) * std::size_t(m_cols);
    const char *p = m_rowStart[std::size_t(row - 1)];
    if (!p)
        return QString::fromUtf8("", 0); // a row added by setRows: empty cells, as any other
    for (int c = 0; c < col; ++c)
        p += cellLength(base + std::size_t(c));
    return QString::fromUtf8(p, qsizetype(cellLength(base + std::size_t(col))));
}

void FlexGridModel::setTextMatrix(int row, int col, const QString &text)
{
    if (col < 0 || col >= m_cols || row < 0 || row >= rows())
        return;
    if (row == 0) {
        m_header[col] = text;
        Q_EMIT headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    std::vector<QString> cells;
    for (int c = 0; c < m_cols; ++c)
        cells.push_back(c == col ? text : textMatrix(row, c));
    std::vector<quint32> lengths;
    m_rowStart[std::size_t(row - 1)] = store(cells.data(), m_cols, lengths);
    setLengths(std::size_t(row - 1), lengths.data(), m_cols);
    if (!m_filling)
        Q_EMIT dataChanged(index(row - 1, col), index(row - 1, col));
}

void FlexGridModel::beginFill()
{
    beginResetModel();
    m_filling = true;
}

void FlexGridModel::appendRow(const QString *cells, int count)
{
    if (!m_filling)
        beginInsertRows({}, rows() - 1, rows() - 1);
    std::vector<quint32> lengths;
    m_rowStart.push_back(store(cells, count, lengths));
    setLengths(m_rowStart.size() - 1, lengths.data(), m_cols);
    if (!m_filling)
        endInsertRows();
}

void FlexGridModel::appendRowUtf8(const char *data, const quint32 *lengths, int count)
{
    if (!m_filling)
        beginInsertRows({}, rows() - 1, rows() - 1);
    std::size_t bytes = 0;
    for (int c = 0; c < std::min(count, m_cols); ++c)
        bytes += lengths[c];
    m_rowStart.push_back(storeUtf8(data, bytes));
    setLengths(m_rowStart.size() - 1, lengths, std::min(count, m_cols));
    if (!m_filling)
        endInsertRows();
}

void FlexGridModel::endFill()
{
    m_filling = false;
    endResetModel();
}

int FlexGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows() - 1;
}

int FlexGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant FlexGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return textMatrix(index.row() + 1, index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(
            (m_centred[std::size_t(index.column())] ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter));
    case Qt::BackgroundRole:
        if (index.column() == 0)
            return QApplication::palette().button();
        return {};
    default:
        return {};
    }
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_cols)
        return {};
    if (role == Qt::DisplayRole)
        return m_header.at(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

FlexGrid::FlexGrid(QWidget *parent) : QTableView(parent), m_model(new FlexGridModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    applyRowHeight();
    connect(m_model, &QAbstractItemModel::headerDataChanged, this, [this] { applyColumnWidths(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { applyColumnWidths(); });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int first, int) {
        if (first < 50)
            applyColumnWidths();
    });
}

void FlexGrid::setCols(int cols)
{
    m_model->setCols(cols);
    applyColumnWidths();
}

void FlexGrid::setFormatString(const QString &format)
{
    m_model->setFormatString(format);
    applyColumnWidths();
}

void FlexGrid::setRowHeightMin(int twips)
{
    m_rowHeightMinTwips = std::max(twips, 0);
    applyRowHeight();
}

void FlexGrid::applyRowHeight()
{
    // 1440 twips an inch, at the screen's logical resolution.
    const int minimum = qRound(m_rowHeightMinTwips * logicalDpiY() / 1440.0);
    const int height = std::max(minimum, fontMetrics().height() + 4);
    verticalHeader()->setMinimumSectionSize(std::min(height, minimum > 0 ? minimum : height));
    verticalHeader()->setDefaultSectionSize(height);
}

void FlexGrid::applyColumnWidths()
{
    // Each column is as wide as its header text; the blanks in it widen the column. Where the first
    // rows hold longer values (dates, document numbers) the column widens so they can be read; only
    // the longest value of each column is measured.
    constexpr int SampledRows = 50;
    constexpr int Padding = 14;
    const QFontMetrics headerMetrics = horizontalHeader()->fontMetrics();
    const QFontMetrics cellMetrics = fontMetrics();
    const int sampled = std::min(m_model->rows() - 1, SampledRows);
    const int widest = std::max(viewport()->width() / 2, 240);
    for (int c = 0; c < m_model->cols(); ++c) {
        int width = headerMetrics.horizontalAdvance(m_model->headerTexts().value(c));
        int longestRow = 0;
        int longestBytes = 0;
        for (int r = 1; r <= sampled; ++r) {
            const int bytes = m_model->cellBytes(r, c);
            if (bytes > longestBytes) {
                longestBytes = bytes;
                longestRow = r;
            }
        }
        if (longestRow > 0)
            width = std::max(
                width, std::min(cellMetrics.horizontalAdvance(m_model->textMatrix(longestRow, c)), widest));
        horizontalHeader()->resizeSection(c, width + Padding);
    }
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
