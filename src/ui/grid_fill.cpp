#include "ui/grid_fill.h"

#include "ui/flex_grid.h"
#include "ui/list_totals_label.h"
#include "ui/seams.h"

#include <QPointer>
#include <algorithm>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace grid {

void reset(FlexGrid *grid, const QString &header, int rowHeight)
{
    grid->countLater({});
    grid->setRows(1);
    grid->flexModel()->setDateColumns({});
    grid->setFormatString(header);
    if (rowHeight != KeepRowHeight)
        grid->setMinimumRowHeight(rowHeight);
}

void fill(FlexGrid *grid, const QString &header, int rowHeight, const hotel::ListingPtr &rows)
{
    reset(grid, header, rowHeight);
    if (!rows)
        return;
    FlexGridModel *model = grid->flexModel();
    model->setDateColumns(rows->timeColumns());
    // Pages are read while the list paints: the message waits for the event loop, once per fill.
    auto told = std::make_shared<bool>(false);
    const QPointer<FlexGrid> shown(grid);
    model->setPaged(rows->count(), [rows, told, shown](int first, int count) {
        hotel::Outcome failure;
        std::vector<QVariantList> read = rows->read(first, count, &failure);
        if (!failure.ok() && !*told && shown) {
            *told = true;
            QMetaObject::invokeMethod(
                shown, [shown, failure] { ui::showOutcome(shown ? shown->window() : nullptr, failure); },
                Qt::QueuedConnection);
        }
        return read;
    });
    if (rows->isWhole())
        model->loadEveryPage();
    if (rows->counted())
        return;
    // The first screenful is drawn before every row is counted and added up.
    auto *totals = qobject_cast<ListTotalsLabel *>(grid->totalsLabel());
    if (totals)
        totals->clear();
    grid->countLater([rows, shown, totals = QPointer<ListTotalsLabel>(totals)] {
        if (const hotel::Outcome o = rows->countRows(); !o.ok()) {
            if (shown)
                QMetaObject::invokeMethod(
                    shown, [shown, o] { ui::showOutcome(shown ? shown->window() : nullptr, o); },
                    Qt::QueuedConnection);
            return;
        }
        if (shown)
            shown->flexModel()->setPagedCount(rows->count());
        if (totals)
            totals->show(rows->count(), rows->sums());
    });
}

void fill(FlexGrid *grid, const QString &header, int rowHeight, const hotel::Result<hotel::ListingPtr> &rows)
{
    if (rows.ok()) {
        fill(grid, header, rowHeight, rows.value());
        return;
    }
    reset(grid, header, rowHeight);
    ui::showOutcome(grid->window(), rows);
}

void appendRow(FlexGrid *grid, const QVariantList &row, const std::vector<bool> &timeColumns)
{
    FlexGridModel *model = grid->flexModel();
    model->setDateColumns(timeColumns);
    const int at = model->rows();
    model->setRows(at + 1);
    for (int c = 0; c < std::min(model->cols(), int(row.size())); ++c)
        model->setValue(at, c, row.at(c));
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
