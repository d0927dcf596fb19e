#include "ui/grid_fill.h"

#include "data/connection.h"
#include "data/db_error.h"
#include "data/recordset.h"
#include "ui/flex_grid.h"

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace grid {

void reset(FlexGrid *grid, const QString &header, int rowHeightTwips)
{
    grid->setRows(1);
    grid->flexModel()->setDateColumns({});
    grid->setFormatString(header);
    if (rowHeightTwips != KeepRowHeight)
        grid->setRowHeightMin(rowHeightTwips);
}

namespace {

constexpr int WholeListRows = 1000;

std::vector<bool> dateColumns(const schema::Table *table)
{
    std::vector<bool> dates;
    for (int c = 0; table && c < table->columns.size(); ++c)
        dates.push_back(table->columns.at(c).type == schema::ColumnType::DateTime);
    return dates;
}

} // namespace

std::shared_ptr<const PagedTable> fillPaged(FlexGrid *grid, const QString &header, int rowHeightTwips,
                                            Connection &connection, const QString &table,
                                            const PagedTable::Filter &filter, PagedTable::Order order,
                                            const QStringList &sums)
{
    reset(grid, header, rowHeightTwips);
    const schema::Table *t = schema::table(table);
    if (!t)
        throw DbError(u"没有表“"_s + table + u"”。"_s);
    auto rows = std::make_shared<const PagedTable>(connection, *t, filter, order, sums);
    FlexGridModel *model = grid->flexModel();
    model->setDateColumns(dateColumns(t));
    if (!t->appendOnly && rows->count() <= WholeListRows) {
        // Rows the desks rewrite and delete are read at once, in one statement, while the list is
        // short: a change at another desk cannot then shift the rows still to be read.
        const auto whole = rows->read(connection, 0, rows->count());
        model->setPaged(int(whole.size()), [&whole](int first, int count) {
            return std::vector<QVariantList>(whole.begin() + first, whole.begin() + first + count);
        });
        model->loadEveryPage();
        return rows;
    }
    // The pages read while the list is set up (the first, for the column widths) use this
    // connection; each later page opens its own when it comes into view.
    auto during = std::make_shared<Connection *>(&connection);
    model->setPaged(rows->count(), [rows, during](int first, int count) {
        if (*during)
            return rows->read(**during, first, count);
        Connection pageConnection;
        pageConnection.open();
        return rows->read(pageConnection, first, count);
    });
    *during = nullptr;
    return rows;
}

std::shared_ptr<const PagedTable> fillPaged(FlexGrid *grid, const QString &header, int rowHeightTwips,
                                            const QString &table, const PagedTable::Filter &filter,
                                            PagedTable::Order order, const QStringList &sums)
{
    reset(grid, header, rowHeightTwips);
    Connection connection;
    connection.open();
    return fillPaged(grid, header, rowHeightTwips, connection, table, filter, order, sums);
}

void appendRecord(FlexGrid *grid, const Recordset &records)
{
    FlexGridModel *model = grid->flexModel();
    model->setDateColumns(dateColumns(records.table()));
    const int row = model->rows();
    model->setRows(row + 1);
    for (int c = 0; c < std::min(model->cols(), records.fieldCount()); ++c)
        model->setValue(row, c, records.stored(c));
}

QString roomHeader()
{
    return u"序号|^房间号        |^房间名称        |^房间类型    |^    所属楼层|^标准价格|^会员价格|^房间状态   "_s;
}

QString stayHeader()
{
    return u"序号|^旅客姓名      |^旅客单位                   |^证件名称  |^证件号码             |^入住时间            |^计划入住天数|^入住人数|^房间ID|^预付款|^备注信息              "_s;
}

QString completedStayHeader()
{
    return u"序号|^旅客姓名|旅客单位                                     |证件名称          |^证件号码                  |^入住时间|^计划入住天数|^入住人数|^房间ID|^预付款|^退房时间|^实际入住天数|^实际金额|^应收款|^应退款|备注信息            "_s;
}

} // namespace grid
