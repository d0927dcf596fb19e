#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <memory>
#include <unordered_map>
#include <vector>

// Cells of a list grid, kept as text in large shared blocks rather than one object per cell,
// so a grid of a few hundred thousand rows fills fast and stays small. Row 0 is the header.
class FlexGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit FlexGridModel(QObject *parent = nullptr);
    ~FlexGridModel() override;

    int rows() const { return 1 + int(m_rowStart.size()); }
    void setRows(int rows);
    int cols() const { return m_cols; }
    void setCols(int cols);

    // "|"-separated header; "^" centres a column; returns the header texts without the marks.
    void setFormatString(const QString &format);
    QString formatString() const { return m_format; }
    const QStringList &headerTexts() const { return m_header; }

    QString textMatrix(int row, int col) const;
    // Size of a data cell's text in UTF-8 bytes, without building the text.
    int cellBytes(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);

    // Fast path for fills: no signal per row; views are told once at endFill().
    void beginFill();
    void appendRow(const QString *cells, int count);
    // The same for text already in UTF-8: `lengths[i]` bytes of `data` for cell i, back to back.
    void appendRowUtf8(const char *data, const quint32 *lengths, int count);
    void endFill();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // Cells are kept as UTF-8, which halves the memory of the digits and dates most cells hold.
    const char *storeUtf8(const char *data, std::size_t bytes);
    const char *store(const QString *cells, int count, std::vector<quint32> &lengths);
    void setLengths(std::size_t row, const quint32 *lengths, int count);
    quint32 cellLength(std::size_t index) const;
    void clearCells();

    static constexpr quint16 LongCell = 0xffff; // the length is in m_longLength

    int m_cols = 2;
    QString m_format;
    QStringList m_header;
    std::vector<bool> m_centred;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::size_t m_blockUsed = 0;
    std::size_t m_blockSize = 0;
    std::vector<const char *> m_rowStart;
    std::vector<quint16> m_length; // (rows - 1) x cols, in bytes
    std::unordered_map<std::size_t, quint32> m_longLength;
    QByteArray m_scratch;
    bool m_filling = false;
};

// The list grid every window uses: one fixed header row, the key column drawn as fixed cells,
// whole-row selection. Properties follow the names the windows use.
class FlexGrid : public QTableView
{
    Q_OBJECT
public:
    explicit FlexGrid(QWidget *parent = nullptr);

    int Rows() const { return m_model->rows(); }
    void setRows(int rows) { m_model->setRows(rows); }
    int Cols() const { return m_model->cols(); }
    void setCols(int cols);
    QString FormatString() const { return m_model->formatString(); }
    void setFormatString(const QString &format);
    // Least row height, in twips (1/1440 inch).
    int RowHeightMin() const { return m_rowHeightMinTwips; }
    void setRowHeightMin(int twips);
    QString TextMatrix(int row, int col) const { return m_model->textMatrix(row, col); }
    void setTextMatrix(int row, int col, const QString &text) { m_model->setTextMatrix(row, col, text); }
    // The selected row, 1-based like the data rows; 0 while no record is selected.
    int RowSel() const;
    bool hasSelectedRecord() const { return RowSel() >= 1; }
    // Selects data row `row` (1-based) as a click would.
    void selectRecord(int row);

    FlexGridModel *flexModel() const { return m_model; }

Q_SIGNALS:
    // A record was chosen, by mouse or keyboard; RowSel() is already the chosen row.
    void Click();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void applyRowHeight();
    void applyColumnWidths();

    FlexGridModel *m_model;
    int m_rowHeightMinTwips = 0;
};
