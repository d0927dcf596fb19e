#include "ui/flex_grid_model.h"

#include "data/conversions.h"

#include <QApplication>
#include <QPalette>

const std::vector<QVariant> &FlexGridModel::page(int index) const
{
    auto it = m_pages.find(index);
    if (it != m_pages.end())
        return it->second;
    const int first = index * PageRows;
    const int count = std::min(PageRows, m_dataRows - first);
    std::vector<QVariant> cells(std::size_t(count) * std::size_t(m_cols));
    // A page that cannot be read comes back short and shows empty; painting has no one to tell.
    const std::vector<QVariantList> read = m_reader(first, count);
    for (int r = 0; r < count && r < int(read.size()); ++r) {
        for (int c = 0; c < m_cols && c < read[std::size_t(r)].size(); ++c)
            cells[std::size_t(r) * std::size_t(m_cols) + std::size_t(c)] = read[std::size_t(r)].at(c);
    }
    return m_pages.emplace(index, std::move(cells)).first->second;
}

const QVariant *FlexGridModel::cell(int dataRow, int col) const
{
    if (dataRow < 0 || dataRow >= m_dataRows || col < 0 || col >= m_cols)
        return nullptr;
    if (!m_reader)
        return &m_cells[std::size_t(dataRow) * std::size_t(m_cols) + std::size_t(col)];
    const std::vector<QVariant> &p = page(dataRow / PageRows);
    return &p[std::size_t(dataRow % PageRows) * std::size_t(m_cols) + std::size_t(col)];
}

QVariant *FlexGridModel::cell(int dataRow, int col)
{
    return const_cast<QVariant *>(std::as_const(*this).cell(dataRow, col));
}

void FlexGridModel::loadEveryPage()
{
    if (!m_reader)
        return;
    std::vector<QVariant> all;
    all.reserve(std::size_t(m_dataRows) * std::size_t(m_cols));
    for (int p = 0; p * PageRows < m_dataRows; ++p) {
        const std::vector<QVariant> &cells = page(p);
        all.insert(all.end(), cells.begin(), cells.end());
    }
    m_cells = std::move(all);
    m_reader = nullptr;
    m_pages.clear();
}

void FlexGridModel::setRows(int rows)
{
    rows = std::max(rows, 1);
    if (rows == this->rows())
        return;
    const bool growing = rows > this->rows();
    if (rows == 1) {
        m_reader = nullptr;
        m_pages.clear();
    }
    loadEveryPage();
    const int first = growing ? m_dataRows : rows - 1;
    const int last = growing ? rows - 2 : m_dataRows - 1;
    growing ? beginInsertRows({}, first, last) : beginRemoveRows({}, first, last);
    m_dataRows = rows - 1;
    // Rows added this way hold empty text, as cells set by hand do.
    m_cells.resize(std::size_t(m_dataRows) * std::size_t(m_cols), QVariant(QString()));
    growing ? endInsertRows() : endRemoveRows();
}

void FlexGridModel::setCols(int cols)
{
    cols = std::max(cols, 1);
    if (cols == m_cols)
        return;
    beginResetModel();
    loadEveryPage();
    std::vector<QVariant> cells(std::size_t(m_dataRows) * std::size_t(cols));
    for (int r = 0; r < m_dataRows; ++r) {
        for (int c = 0; c < std::min(cols, m_cols); ++c)
            cells[std::size_t(r) * std::size_t(cols) + std::size_t(c)] =
                std::move(m_cells[std::size_t(r) * std::size_t(m_cols) + std::size_t(c)]);
    }
    m_cells = std::move(cells);
    m_cols = cols;
    while (m_header.size() < cols)
        m_header.append(QString());
    while (m_header.size() > cols)
        m_header.removeLast();
    m_centred.resize(std::size_t(cols), false);
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

void FlexGridModel::setDateColumns(std::vector<bool> dateColumns)
{
    m_dateColumns = std::move(dateColumns);
}

QString FlexGridModel::text(int row, int col) const
{
    if (row == 0)
        return col >= 0 && col < m_cols ? m_header.at(col) : QString();
    const QVariant *v = cell(row - 1, col);
    if (!v)
        return {};
    if (std::size_t(col) < m_dateColumns.size() && m_dateColumns[std::size_t(col)] &&
        v->typeId() == QMetaType::QString) {
        // Stored text that is no date-time is shown as it is.
        if (const auto dt = conv::fromStorage(v->toString()))
            return conv::dateTimeToText(*dt);
    }
    return conv::variantToText(*v);
}

void FlexGridModel::setText(int row, int col, const QString &text)
{
    if (row == 0) {
        if (col < 0 || col >= m_cols)
            return;
        m_header[col] = text;
        Q_EMIT headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    setValue(row, col, text);
}

void FlexGridModel::setValue(int row, int col, const QVariant &value)
{
    QVariant *v = cell(row - 1, col);
    if (!v)
        return;
    *v = value;
    Q_EMIT dataChanged(index(row - 1, col), index(row - 1, col));
}

QVariantList FlexGridModel::storedRow(int row) const
{
    QVariantList values;
    for (int c = 0; c < m_cols; ++c) {
        const QVariant *v = cell(row - 1, c);
        values.append(v ? *v : QVariant());
    }
    return values;
}

void FlexGridModel::setPaged(int count, PageReader reader)
{
    beginResetModel();
    m_cells.clear();
    m_pages.clear();
    m_dataRows = std::max(count, 0);
    m_reader = std::move(reader);
    endResetModel();
}

void FlexGridModel::setPagedCount(int count)
{
    count = std::max(count, 0);
    if (!m_reader || count == m_dataRows)
        return;
    if (count > m_dataRows) {
        beginInsertRows({}, m_dataRows, count - 1);
        m_dataRows = count;
        endInsertRows();
        return;
    }
    beginRemoveRows({}, count, m_dataRows - 1);
    m_dataRows = count;
    endRemoveRows();
}

int FlexGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_dataRows;
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
        return text(index.row() + 1, index.column());
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
