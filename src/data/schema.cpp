#include "data/schema.h"

#include "data/dialect.h"

using namespace Qt::Literals::StringLiterals;

namespace schema {

namespace {

using T = ColumnType;

QList<Column> stayColumns(const QString &key)
{
    return {{key, T::Key},
            {u"旅客姓名"_s, T::Text},
            {u"旅客单位"_s, T::Text},
            {u"证件名称"_s, T::Text},
            {u"证件号码"_s, T::Text},
            {u"入住时间"_s, T::DateTime},
            {u"计划入住天数"_s, T::Int16},
            {u"入住人数"_s, T::Int16},
            {u"房间ID"_s, T::Int16},
            {u"预付款"_s, T::Int16},
            {u"备注信息"_s, T::Text}};
}

QList<Table> buildTables()
{
    QList<Table> t;
    t.append({Operators,
              {{u"用户ID"_s, T::Key},
               {u"用户名称"_s, T::Text},
               {u"登陆密码"_s, T::Text},
               {u"权限设置"_s, T::Text}}});
    t.append({Company,
              {{u"配置ID"_s, T::Key},
               {u"企业名称"_s, T::Text},
               {u"法人代表"_s, T::Text},
               {u"电话"_s, T::Text},
               {u"传真"_s, T::Text},
               {u"电子邮件"_s, T::Text},
               {u"地址"_s, T::Text},
               {u"邮政编码"_s, T::Text},
               {u"企业简介"_s, T::Text}}});
    t.append({Floors, {{u"楼层ID"_s, T::Key}, {u"楼层名称"_s, T::Text}}});
    t.append({Rooms,
              {{u"房间ID"_s, T::Key},
               {u"房间号"_s, T::Text},
               {u"房间名称"_s, T::Text},
               {u"房间类型"_s, T::Text},
               {u"所属楼层"_s, T::Text},
               {u"标准价格"_s, T::Number},
               {u"会员价格"_s, T::Number},
               {u"房间状态"_s, T::Int16}}});
    t.append({Stays, stayColumns(u"入住ID"_s)});
    t.append({Reservations, stayColumns(u"预订ID"_s)});
    QList<Column> done = stayColumns(u"退房ID"_s);
    done.removeLast();
    done.append({{u"退房时间"_s, T::DateTime},
                 {u"实际入住天数"_s, T::Int16},
                 {u"实际金额"_s, T::Int16},
                 {u"应收款"_s, T::Int16},
                 {u"应退款"_s, T::Int16},
                 {u"备注信息"_s, T::Text}});
    t.append({CompletedStays, done, true});
    t.append({Takings,
              {{u"交款ID"_s, T::Key},
               {u"交款时间"_s, T::DateTime},
               {u"交款金额"_s, T::Number},
               {u"交款人"_s, T::Text}}});
    t.append({Disbursements,
              {{u"拔款ID"_s, T::Key},
               {u"拔款时间"_s, T::DateTime},
               {u"拔款金额"_s, T::Number},
               {u"拔款人"_s, T::Text}}});
    return t;
}

} // namespace

const QList<Table> &tables()
{
    static const QList<Table> all = buildTables();
    return all;
}

const Table *table(const QString &name)
{
    for (const Table &t : tables()) {
        if (t.name == name)
            return &t;
    }
    return nullptr;
}

const QList<Index> &indexes()
{
    // Newest last: an opened house lacking the last one is given every one it lacks.
    static const QList<Index> all = {
        {u"旅客退房_入住时间"_s, CompletedStays, {u"入住时间"_s}},
        {u"旅客入住_房间ID"_s, Stays, {u"房间ID"_s}},
        {u"房间_房间号"_s, Rooms, {u"房间号"_s, u"房间状态"_s}, true},
        {u"房间_房间状态"_s, Rooms, {u"房间状态"_s}},
        // The totals under the history add these up; their index is a fraction of the table.
        {u"旅客退房_金额"_s, CompletedStays, {u"实际金额"_s, u"应收款"_s, u"应退款"_s}},
        // A room's stays newest first, and their totals, without reading the stays themselves.
        {u"旅客退房_房间_金额"_s,
         CompletedStays,
         {u"房间ID"_s, u"退房ID"_s, u"实际金额"_s, u"应收款"_s, u"应退款"_s}},
    };
    return all;
}

QString indexColumns(const Index &index)
{
    QStringList columns;
    for (const QString &c : index.columns)
        columns.append(u"\""_s + c + u"\""_s);
    if (index.caselessFirst && !columns.isEmpty())
        columns.first() += u" collate nocase"_s;
    return u"("_s + columns.join(u", "_s) + u")"_s;
}

QString unreadableTime(const QString &column)
{
    // Only a real, well-formed time comes back unchanged from datetime(…, '+0 days').
    return u"case when datetime("_s + column + u", '+0 days') = "_s + column + u" then 0 else 1 end = 1"_s;
}

QStringList indexStatements()
{
    QStringList sql;
    for (const Index &i : indexes())
        sql.append(u"CREATE INDEX IF NOT EXISTS \""_s + i.name + u"\" ON \""_s + i.table + u"\" "_s +
                   indexColumns(i));
    // The stays that no date range can hold (statistics by date lists them always): the file
    // keeps date-times as text, which need not be a time at all; on a server only NULL is.
    sql.append(u"CREATE INDEX IF NOT EXISTS \""_s + UnreadableTimeIndex +
               u"\" ON \"旅客退房\" (\"入住时间\") WHERE "_s + unreadableTime(u"\"入住时间\""_s));
    // Indexes the ones above have replaced.
    sql.append(u"DROP INDEX IF EXISTS \"旅客退房_房间ID\""_s);
    return sql;
}

QStringList createStatements(dialect::Engine engine)
{
    QStringList sql;
    for (const Table &t : tables()) {
        QStringList cols;
        for (const Column &c : t.columns) {
            const QString name = dialect::quoted(c.name);
            cols.append(
                name + u" "_s + dialect::columnType(engine, c.type) +
                (c.type == T::Int16 ? u" CHECK ("_s + name + u" BETWEEN -32768 AND 32767)"_s : QString()));
        }
        sql.append(u"CREATE TABLE "_s + dialect::quoted(t.name) + u" ("_s + cols.join(u", "_s) + u")"_s);
    }
    sql += indexStatements();
    const QString bytes = dialect::bytesType(engine);
    sql.append(u"CREATE TABLE "_s + dialect::quoted(AccessTable) + u" (salt "_s + bytes +
               u" NOT NULL, hash "_s + bytes + u" NOT NULL)"_s);
    if (engine == dialect::Engine::Sqlite)
        sql.append(u"PRAGMA user_version = "_s + QString::number(Version));
    return sql;
}

} // namespace schema
