#include "ui/chosen_record.h"

#include "data/connection.h"
#include "data/db_error.h"
#include "data/recordset.h"
#include "data/shown_record.h"
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
        MsgBox(window, nothingChosenMessage());
        return {};
    }
    const int row = grid->RowSel();
    QStringList cells;
    for (int c = 0; c < grid->Cols(); ++c)
        cells.append(grid->TextMatrix(row, c));
    return cells;
}

namespace {

// In one transaction: the record `rowSelect` finds by cells[0], changed only while it still reads
// as shown.
bool changeShown(QWidget *window, const QString &rowSelect, const QStringList &cells,
                 const std::function<void(Connection &, Recordset &)> &change)
{
    try {
        Connection connection;
        connection.open();
        Transaction transaction(connection);
        Recordset records(connection);
        records.open(rowSelect, {cells.value(0)});
        shown::requireAsShown(records, cells);
        change(connection, records);
        records.close();
        transaction.commit();
    } catch (const DbError &e) {
        showFailure(window, e);
        return false;
    }
    return true;
}

} // namespace

bool deleteShown(QWidget *window, const QString &rowSelect, const QString &deleteSql,
                 const QStringList &cells)
{
    return changeShown(window, rowSelect, cells, [&](Connection &connection, Recordset &records) {
        records.close();
        connection.execute(deleteSql, {cells.value(0)});
    });
}

bool rewriteShown(QWidget *window, const QString &rowSelect, const QStringList &cells,
                  const std::function<void(Recordset &)> &write)
{
    return changeShown(window, rowSelect, cells, [&](Connection &, Recordset &records) {
        write(records);
        records.update();
    });
}

} // namespace ui
