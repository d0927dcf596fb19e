#pragma once

#include "ui/flex_grid_model.h"

#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QTableView>
#include <functional>

// The list grid every window uses: one fixed header row, the key column drawn as fixed cells,
// whole-row selection. Properties follow the names the windows use.
class FlexGrid : public QTableView
{
    Q_OBJECT
public:
    explicit FlexGrid(QWidget *parent = nullptr);

    // Every row, once a list shown before it was counted has been counted.
    int Rows() const
    {
        finishCount();
        return m_model->rows();
    }
    void setRows(int rows) { m_model->setRows(rows); }
    int Cols() const { return m_model->cols(); }
    // The columns are laid out again as the model's header changes.
    void setCols(int cols) { m_model->setCols(cols); }
    QString FormatString() const { return m_model->formatString(); }
    void setFormatString(const QString &format) { m_model->setFormatString(format); }
    // Least row height, in pixels; the font may ask for more.
    int minimumRowHeight() const { return m_minimumRowHeight; }
    void setMinimumRowHeight(int pixels);
    QString text(int row, int col) const { return m_model->text(row, col); }
    void setText(int row, int col, const QString &text) { m_model->setText(row, col, text); }
    // The selected row, 1-based like the data rows; 0 while no record is selected.
    int RowSel() const;
    bool hasSelectedRecord() const { return RowSel() >= 1; }
    // Selects data row `row` (1-based) as a click would.
    void selectRecord(int row);

    FlexGridModel *flexModel() const { return m_model; }

    // What a printout says the list holds, beside the window's title: the filter that chose its
    // rows (set by the window as it fills the list) and the totals line shown under it.
    void setListFilter(const QString &filter) { m_listFilter = filter; }
    const QString &listFilter() const { return m_listFilter; }
    void setTotalsLabel(QLabel *totals) { m_totals = totals; }
    QLabel *totalsLabel() const { return m_totals; }
    QString totalsText() const
    {
        finishCount();
        return m_totals ? m_totals->text() : QString();
    }
    // A list shown before it was counted: `count` counts it and shows the count, once: after the
    // list has next been drawn (or a moment later if it is not), or when Rows() or the totals
    // are asked for first. Empty: nothing is to be counted any more.
    void countLater(std::function<void()> count);
    void finishCount() const;
    // The sum of the characters' advances in the cells' font: close to the drawn width, and
    // cheap, since each character is measured once.
    int roughWidth(const QString &text) const;

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
    void changeEvent(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    void applyRowHeight();
    void applyColumnWidths();
    FlexGridModel *m_model;
    int m_minimumRowHeight = 0;
    mutable QHash<char16_t, int> m_advances;
    QHash<QString, int> m_headerWidths;
    QString m_listFilter;
    QPointer<QLabel> m_totals;
    mutable std::function<void()> m_count;
};
