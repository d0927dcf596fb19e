// The words of the Access house's move: one sentence per cause, and the report it records.
#include "data/access_house.h"

#include <QFileInfo>
#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace accesshouse {

namespace {

QString quoted(const QString &text)
{
    return u"“"_s + text + u"”"_s;
}

QString yuan(qint64 cents)
{
    const qint64 a = cents < 0 ? -cents : cents;
    return (cents < 0 ? u"-"_s : QString()) + QString::number(a / 100) + u"."_s +
           QString::number(a % 100).rightJustified(2, u'0');
}

// Where a value sits: the table, the row's key, the column's position and name.
QString place(const Failure &f)
{
    QString where = u"表"_s + quoted(f.table);
    if (f.key)
        where += u"序号为 "_s + QString::number(*f.key) + u" 的一行"_s;
    if (f.position >= 0)
        where += u"第 %1 列"_s.arg(f.position + 1) + quoted(f.column);
    return where;
}

QString oddLine(const OddRow &o)
{
    const QString row = quoted(o.table) + (o.key ? u" 序号 "_s + QString::number(*o.key) : QString());
    switch (o.kind) {
    case Oddity::StayWithoutRoom:
    case Oddity::ReservationWithoutRoom:
    case Oddity::CompletedStayWithoutRoom:
        return row + u"：房间ID "_s + o.detail + u" 没有对应的房间（房间已删除）"_s;
    case Oddity::RoomWithoutFloor:
        return row + u"：所属楼层"_s + quoted(o.detail) + u"不在楼层表中"_s;
    case Oddity::DuplicateRoomNumber: {
        const QStringList parts = o.detail.split(u'/');
        return row + u"：房间号"_s + quoted(parts.value(0)) + u"与序号 "_s + parts.value(1) +
               u" 的房间相同"_s;
    }
    case Oddity::SecondCompanyRow:
        return row + u"：多出的一行企业资料（"_s + o.detail + u"），程序只用第一行"_s;
    case Oddity::NoCompanyRow:
        return row + u"：没有企业资料，主窗口标题将没有企业名称，请在“企业配置”中填写"_s;
    case Oddity::NoOperator:
        return row + u"：没有操作员，没有人能登录"_s;
    case Oddity::ExtraColumns:
        return row + u"：多出的列（"_s + o.detail + u"）没有搬过来"_s;
    }
    return row;
}

} // namespace

QString problemText(const Failure &f)
{
    switch (f.problem) {
    case Problem::None:
        return {};
    case Problem::Missing:
        return u"找不到这个文件，或者它不是一个普通文件。"_s;
    case Problem::Unreadable:
        return u"无法读取这个文件："_s + f.detail + u"。"_s;
    case Problem::NotAccess:
        return u"这个文件不是 Access 数据库文件，不是旧前台程序的数据库。"_s;
    case Problem::TableMissing:
        return u"这是 Access 数据库，但不是旧前台程序的数据库：缺少表"_s + quoted(f.table) + u"。"_s;
    case Problem::TooFewColumns: {
        const QStringList counts = f.detail.split(u'/');
        return u"这不是旧前台程序的数据库：表"_s + quoted(f.table) + u"只有 "_s + counts.value(0) +
               u" 列，应有 "_s + counts.value(1) + u" 列。"_s;
    }
    case Problem::WrongType:
        return u"这不是旧前台程序的数据库：表"_s + quoted(f.table) + u"第 %1 列"_s.arg(f.position + 1) +
               quoted(f.column) + u"的类型是“"_s + f.detail + u"”，存不下这一列的数据。"_s;
    case Problem::ValueDoesNotFit:
        return place(f) + u"的值 "_s + f.detail +
               u" 超出了这一列能存的范围，无法搬过来。请在旧程序中改正这一行后再试。"_s;
    case Problem::DuplicateKey:
        return u"表"_s + quoted(f.table) + u"中有两行的序号都是 "_s + QString::number(f.key.value_or(0)) +
               u"，无法搬过来。"_s;
    case Problem::Damaged:
        return u"这个文件已损坏或不完整"_s +
               (f.table.isEmpty() ? QString() : u"（表"_s + quoted(f.table) + u"）"_s) +
               u"，无法读取。请换用一份完好的备份再试。"_s;
    case Problem::Encrypted:
        return u"这个数据库已加密（编码），无法读取。请先在 Access 中解除加密（解码数据库）后再试。"_s;
    case Problem::UnsupportedFormat:
        return u"这个文件是无法读取的 Access 版本。请在 Access 中把它另存为 Access 2000 格式（.mdb）后再试。"_s;
    case Problem::InUse:
        return u"旁边有"_s + quoted(QFileInfo(f.detail).fileName()) +
               u"：旧前台程序（也许在另一台电脑上）还开着这个数据库。请先在每台电脑上退出旧程序再试；"_s
               u"如果确定没有人在用，删除"_s +
               quoted(QFileInfo(f.detail).fileName()) + u"后再试。"_s;
    case Problem::DestinationExists:
        return u"文件"_s + quoted(f.detail) + u"已经存在，不会覆盖。"_s;
    case Problem::DestinationUnwritable:
        return u"无法在这里写入新的数据库："_s + f.detail + u"。"_s;
    case Problem::Mismatch:
        return u"核对没有通过：表"_s + quoted(f.table) + u"的"_s + f.detail +
               u"。已全部撤销，什么都没有改变。"_s;
    case Problem::WriteFailed:
        return u"新的数据库没有写成，什么都没有改变："_s + f.detail;
    case Problem::Cancelled:
        return u"已取消，什么都没有改变。"_s;
    }
    return {};
}

QString reportText(const Report &r)
{
    QStringList lines;
    lines << u"旧前台程序数据的导入报告"_s;
    lines << u"来源："_s + r.source + (r.format.isEmpty() ? QString() : u"（"_s + r.format + u"）"_s);
    if (!r.lockFile.isEmpty())
        lines << u"注意：旁边有锁文件 "_s + r.lockFile + u"，导入时旧程序可能还开着这个数据库。"_s;
    if (!r.tables.isEmpty()) {
        lines << u"各表行数（读出 / 写入）："_s;
        for (const TableCount &t : r.tables)
            lines << u"  "_s + t.table + u"  "_s + QString::number(t.read) + u" / "_s +
                         (t.written < 0 ? u"—"_s : QString::number(t.written));
    }
    if (!r.tables.isEmpty() && !r.sums.isEmpty()) {
        const bool written = !r.tables.isEmpty() && r.tables.constFirst().written >= 0;
        lines << u"金额合计（读出 / 写入，元）："_s;
        for (const MoneySum &s : r.sums)
            lines << u"  "_s + s.table + u"."_s + s.column + u"  "_s + yuan(s.readCents) + u" / "_s +
                         (written ? yuan(s.writtenCents) : u"—"_s);
    }
    if (!r.odd.isEmpty()) {
        lines << u"原样保留的特殊记录："_s;
        for (const OddRow &o : r.odd)
            lines << u"  "_s + oddLine(o);
        for (int kind = 0; kind < r.oddTotals.size(); ++kind) {
            if (r.oddTotals[kind] > MaxOddRowsListed)
                lines << u"  （同类记录另有 %1 条未列出）"_s.arg(r.oddTotals[kind] - MaxOddRowsListed);
        }
    }
    lines << u"请注意：旧程序比较登录密码时不区分大小写，Quillon 区分大小写。请告诉每位操作员："_s
             u"登录时密码的大小写要与当初设定的完全一致。"_s;
    if (!r.ok())
        lines << u"没有导入："_s + problemText(r.failure);
    return lines.join(u'\n');
}

} // namespace accesshouse
