#pragma once

#include "ui/flex_grid.h"

#include <QTest>

// Choosing a record as the operator does: a mouse press on the row, or a key on the list.
namespace input {

inline void clickRow(FlexGrid *grid, int row)
{
    const QModelIndex cell = grid->flexModel()->index(row - 1, 1);
    grid->scrollTo(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
}

inline void key(FlexGrid *grid, Qt::Key key)
{
    grid->setFocus();
    QTest::keyClick(grid, key);
}

} // namespace input
