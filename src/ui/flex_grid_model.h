#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <unordered_map>
#include <vector>

// Cells of a list grid as the store gave them (integers, numbers, text, date-times, NULL), turned
// into text only when drawn or asked for. Row 0 is the header. A long list can be paged: the
// model then knows only how many rows there are and asks for each page as it comes into view.
class FlexGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Reads `count` rows from row `first` (0-based, data rows only), each a list of values by
    // ordinal; fewer when they cannot be read.
    using PageReader = std::function<std::vector<QVariantList>(int first, int count)>;
    static constexpr int PageRows = 64;

    explicit FlexGridModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    int rows() const { return 1 + m_dataRows; }
    void setRows(int rows);
    int cols() const { return m_cols; }
    void setCols(int cols);

    // "|"-separated header; "^" centres a column; returns the header texts without the marks.
    void setFormatString(const QString &format);
    QString formatString() const { return m_format; }
    const QStringList &headerTexts() const { return m_header; }

    // Columns whose values are date-times kept as stored text, shown in the general date.
    void setDateColumns(std::vector<bool> dateColumns);

    QString text(int row, int col) const;
    void setText(int row, int col, const QString &text);
    // Data rows only; the value as the store gives it.
    void setValue(int row, int col, const QVariant &value);
    // Every value of a data row, by column, as the store gave it.
    QVariantList storedRow(int row) const;

    // Replaces every data row with `count` rows read through `reader` as they are needed.
    void setPaged(int count, PageReader reader);
    // The paged rows' count once it is known, the pages read kept.
    void setPagedCount(int count);
    // Every page read now, after which the model is no longer paged.
    void loadEveryPage();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // The cell in the row-major store, or in its page; nullptr outside the rows.
    const QVariant *cell(int dataRow, int col) const;
    QVariant *cell(int dataRow, int col);
    const std::vector<QVariant> &page(int index) const;

    int m_cols = 2;
    int m_dataRows = 0;
    QString m_format;
    QStringList m_header{QString(), QString()};
    std::vector<bool> m_centred{false, false};
    std::vector<bool> m_dateColumns;
    std::vector<QVariant> m_cells; // m_dataRows x m_cols, while not paged
    PageReader m_reader;           // set while paged
    mutable std::unordered_map<int, std::vector<QVariant>> m_pages;
};
