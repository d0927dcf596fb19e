#include "ui/chosen_record.h"

#include "ui/flex_grid.h"
#include "ui/seams.h"

using namespace Qt::Literals::StringLiterals;

namespace ui {

QString nothingChosenMessage()
{
    return u"对不起，列表中没有选中任何记录，请先在列表中选择一条记录！"_s;
}

QStringList chosenRecord(QWidget *window, const FlexGrid *grid)
{
    if (!grid->hasSelectedRecord()) {
        inform(window, nothingChosenMessage());
        return {};
    }
    const int row = grid->RowSel();
    QStringList cells;
    for (int c = 0; c < grid->Cols(); ++c)
        cells.append(grid->text(row, c));
    return cells;
}

std::optional<QVariantList> chosenRow(QWidget *window, const FlexGrid *grid)
{
    if (!grid->hasSelectedRecord()) {
        inform(window, nothingChosenMessage());
        return std::nullopt;
    }
    return grid->flexModel()->storedRow(grid->RowSel());
}

} // namespace ui
