#include "ui/grid_fill.h"

#include "data/connection.h"
#include "data/db_error.h"
#include "data/recordset.h"
#include "ui/flex_grid.h"

#include <memory>
#include <vector>

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

void readRow(const Recordset &records, std::vector<QVariant> &row)
{
    for (std::size_t c = 0; c < row.size(); ++c)
        row[c] = records.stored(int(c));
}

std::vector<bool> dateColumns(const schema::Table *table)
{
    std::vector<bool> dates;
    for (int c = 0; table && c < table->columns.size(); ++c)
        dates.push_back(table->columns.at(c).type == schema::ColumnType::DateTime);
    return dates;
}

} // namespace

void fill(FlexGrid *grid, const QString &header, int rowHeightTwips, Connection &connection,
          const QString &select, const QVariantList &params)
{
    reset(grid, header, rowHeightTwips);
    Recordset records(connection);
    records.open(select, params);
    const int cols = std::min(grid->Cols(), records.fieldCount());
    FlexGridModel *model = grid->flexModel();
    model->setDateColumns(dateColumns(records.table()));
    // One model reset for the whole fill; rows already read stay if a later read fails.
    struct FillScope {
        FlexGridModel *m;
        ~FillScope() { m->endFill(); }
    } scope{model};
    model->beginFill();
    std::vector<QVariant> row(std::size_t(std::max(cols, 0)));
    while (!records.eof()) {
        readRow(records, row);
        model->appendRow(row.data(), cols);
        records.moveNext();
    }
}

void fill(FlexGrid *grid, const QString &header, int rowHeightTwips, const QString &select,
          const QVariantList &params)
{
    // The header stays set even when the file cannot be opened.
    reset(grid, header, rowHeightTwips);
    Connection connection;
    connection.open();
    fill(grid, header, rowHeightTwips, connection, select, params);
}

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
    grid->flexModel()->setDateColumns(dateColumns(t));
    // The pages read while the list is set up (the first, for the column widths) use this
    // connection; each later page opens its own when it comes into view.
    auto during = std::make_shared<Connection *>(&connection);
    grid->flexModel()->setPaged(rows->count(), [rows, during](int first, int count) {
        if (*during)
            return rows->read(**during, first, count);
        Connection pageConnection;
        pageConnection.open();
        return rows->read(pageConnection, first, count);
    });
    *during = nullptr;
    return rows;
}

void fillNewestFirst(FlexGrid *grid, const QString &header, int rowHeightTwips, const QString &table)
{
    reset(grid, header, rowHeightTwips);
    Connection connection;
    connection.open();
    fillPaged(grid, header, rowHeightTwips, connection, table);
}

void appendRecord(FlexGrid *grid, const Recordset &records)
{
    grid->flexModel()->setDateColumns(dateColumns(records.table()));
    std::vector<QVariant> row(std::size_t(std::max(std::min(grid->Cols(), records.fieldCount()), 0)));
    readRow(records, row);
    grid->flexModel()->appendRow(row.data(), int(row.size()));
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
