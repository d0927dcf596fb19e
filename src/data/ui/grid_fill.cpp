#include "data/ui/grid_fill.h"

#include "data/connection.h"
#include "data/recordset.h"
#include "data/ui/flex_grid.h"

#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace grid {

void reset(FlexGrid *grid, const QString &header, int rowHeightTwips)
{
    grid->setRows(1);
    grid->setFormatString(header);
    if (rowHeightTwips != KeepRowHeight)
        grid->setRowHeightMin(rowHeightTwips);
}

void fill(FlexGrid *grid, const QString &header, int rowHeightTwips, Connection &connection,
          const QString &select, const QVariantList &params)
{
    reset(grid, header, rowHeightTwips);
    Recordset records(connection);
    records.open(select, params);
    const int cols = std::min(grid->Cols(), records.fieldCount());
    std::vector<QString> cells(std::size_t(std::max(cols, 0)));
    FlexGridModel *model = grid->flexModel();
    // One model reset for the whole fill; rows already read stay if a later read fails.
    struct FillScope {
        FlexGridModel *m;
        ~FillScope() { m->endFill(); }
    } scope{model};
    model->beginFill();
    while (!records.eof()) {
        records.readTexts(cells.data(), cols);
        model->appendRow(cells.data(), cols);
        records.moveNext();
    }
}

void fill(FlexGrid *grid, const QString &header, int rowHeightTwips, const QString &select,
          const QVariantList &params)
{
    Connection connection;
    connection.open();
    fill(grid, header, rowHeightTwips, connection, select, params);
}

void appendRecord(FlexGrid *grid, const Recordset &records)
{
    const int cols = std::min(grid->Cols(), records.fieldCount());
    std::vector<QString> cells(std::size_t(std::max(cols, 0)));
    records.readTexts(cells.data(), cols);
    grid->flexModel()->appendRow(cells.data(), cols);
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
