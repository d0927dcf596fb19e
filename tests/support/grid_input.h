#pragma once

#include "ui/flex_grid.h"

#include <QTest>

// The operator's own ways of choosing a record in a list: a mouse press on the row, and keys.
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
