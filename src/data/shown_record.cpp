#include "data/shown_record.h"

#include "data/db_error.h"
#include "data/recordset.h"

using namespace Qt::Literals::StringLiterals;

namespace shown {

QString goneMessage()
{
    return u"对不起，这条记录已经在另一台前台被删除，本次操作没有保存！"_s;
}

QString changedMessage()
{
    return u"对不起，这条记录已经在另一台前台被修改，本次操作没有保存，请重新打开窗口查看后再操作！"_s;
}

void requireAsShown(const Recordset &records, const QStringList &cells)
{
    if (records.eof())
        throw DbError(goneMessage(), DbError::Cause::Conflict);
    const int count = std::min(int(cells.size()), records.fieldCount());
    for (int i = 0; i < count; ++i) {
        if (records.text(i) != cells.at(i))
            throw DbError(changedMessage(), DbError::Cause::Conflict);
    }
}

QStringList readRow(const Recordset &records)
{
    QStringList row;
    for (int i = 0; i < records.fieldCount(); ++i)
        row.append(records.text(i));
    return row;
}

QList<QStringList> readRows(Recordset &records)
{
    QList<QStringList> rows;
    for (; !records.eof(); records.moveNext())
        rows.append(readRow(records));
    return rows;
}

} // namespace shown
