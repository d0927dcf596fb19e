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
    // The store's clock, the operator, the desk's host name, what was done to which record, and
    // the money before and after where it changed.
    t.append({Record,
              {{u"记录ID"_s, T::Key},
               {u"操作时间"_s, T::DateTime},
               {u"操作员"_s, T::Text},
               {u"前台"_s, T::Text},
               {u"操作"_s, T::Text},
               {u"数据表"_s, T::Text},
               {u"记录号"_s, T::Number},
               {u"原金额"_s, T::Number},
               {u"新金额"_s, T::Number}},
              true});
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
        // The record of who did what, by date.
        {u"操作记录_操作时间"_s, Record, {u"操作时间"_s}},
        // The stays that reach into a range of nights: checked out after its start, in before its end.
        {u"旅客退房_退房时间"_s, CompletedStays, {u"退房时间"_s, u"入住时间"_s}},
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

const QStringList &searchedColumns()
{
    static const QStringList columns = {u"旅客姓名"_s, u"证件号码"_s, u"旅客单位"_s};
    return columns;
}

namespace {

QString serverSearchIndex(const QString &column)
{
    return CompletedStays + u"_"_s + column + u"_检索"_s;
}

// The index of a column's single characters and pairs, which answers the texts pg_trgm cannot.
QString serverShortSearchIndex(const QString &column)
{
    return CompletedStays + u"_"_s + column + u"_短检索"_s;
}

// The indexed values of one stay, `row` being "new" or "old" in a trigger, empty in a select.
QString paddedValues(const QString &row)
{
    QStringList values;
    for (const QString &c : searchedColumns())
        values.append((row.isEmpty() ? QString() : row + u"."_s) + dialect::quoted(c) + u" || char(1, 1)"_s);
    return values.join(u", "_s);
}

QString createTable(const Table &t, dialect::Engine engine, bool unlessThere)
{
    QStringList cols;
    for (const Column &c : t.columns) {
        const QString name = dialect::quoted(c.name);
        cols.append(
            name + u" "_s + dialect::columnType(engine, c.type) +
            (c.type == T::Int16 ? u" CHECK ("_s + name + u" BETWEEN -32768 AND 32767)"_s : QString()));
    }
    return (unlessThere ? u"CREATE TABLE IF NOT EXISTS "_s : u"CREATE TABLE "_s) + dialect::quoted(t.name) +
           u" ("_s + cols.join(u", "_s) + u")"_s;
}

} // namespace

QStringList upgradeStatements(dialect::Engine engine)
{
    QStringList sql{createTable(*table(Record), engine, true)};
    if (engine == dialect::Engine::Postgres) {
        const QString version = QString::number(Version);
        sql.append(u"create table if not exists "_s + VersionTable + u" (version integer not null)"_s);
        sql.append(u"insert into "_s + VersionTable + u" select "_s + version +
                   u" where not exists (select 1 from "_s + VersionTable + u")"_s);
        sql.append(u"update "_s + VersionTable + u" set version = "_s + version + u" where version < "_s +
                   version);
    }
    return sql + indexStatements();
}

QString searchIndexName(dialect::Engine engine)
{
    // The newest of a server's search indexes: a house without it is given those it lacks.
    return engine == dialect::Engine::Postgres ? serverShortSearchIndex(searchedColumns().last())
                                               : SearchIndex;
}

QStringList searchIndexStatements(dialect::Engine engine)
{
    QStringList sql;
    QStringList columns;
    for (const QString &c : searchedColumns())
        columns.append(dialect::quoted(c));
    const QString stays = dialect::quoted(CompletedStays);
    if (engine == dialect::Engine::Postgres) {
        // Trusted since PostgreSQL 13: the house's owner may create it. It goes to public, where
        // a house kept in a schema of its own cannot drop it with that schema, and its operator
        // class is named wherever it already is. A big house takes longer to index than a
        // desk's statements may.
        sql.append(u"set local statement_timeout = 0"_s);
        QString indexes;
        for (const QString &c : searchedColumns())
            indexes += u"execute format('create index if not exists %I on %I using gin (lower(%I) %s)', '"_s +
                       serverSearchIndex(c) + u"', '"_s + CompletedStays + u"', '"_s + c + u"', ops); "_s;
        // pg_trgm takes no trigram from one or two characters: those are found through an index of
        // every value's single characters and pairs. Its function is the house's own, in the
        // house's schema, found there by the desks as the house's tables are. The pairs come from
        // two passes of pairs side by side, cut apart at a character the search never looks
        // for through the index (SearchPad); built-in functions only, for speed.
        const QString pairs = u"pg_catalog.string_to_array(pg_catalog.regexp_replace(%s, ''(..)'', "
                              u"''\\1'' || pg_catalog.chr(1), ''g''), pg_catalog.chr(1))"_s;
        const QString function =
            u"execute format('create function %I."_s + ShortPieces +
            u"(t text) returns text[] language sql immutable strict parallel safe as %L', current_schema(), "
            u"'select pg_catalog.string_to_array(t, null) || "_s +
            QString(pairs).replace(u"%s"_s, u"t"_s) + u" || "_s +
            QString(pairs).replace(u"%s"_s, u"pg_catalog.substr(t, 2)"_s) + u"'); "_s;
        for (const QString &c : searchedColumns())
            indexes +=
                u"execute format('create index if not exists %I on %I using gin (%I.%I(lower(%I)))', '"_s +
                serverShortSearchIndex(c) + u"', '"_s + CompletedStays + u"', current_schema(), '"_s +
                ShortPieces + u"', '"_s + c + u"'); "_s;
        sql.append(
            u"do $$ declare ops text; begin "
            u"if not exists (select 1 from pg_extension where extname = 'pg_trgm') then "
            u"if exists (select 1 from pg_namespace where nspname = 'public') then "
            u"create extension pg_trgm schema public; else create extension pg_trgm; end if; end if; "
            u"select quote_ident(n.nspname) || '.gin_trgm_ops' into ops from pg_extension e "
            u"join pg_namespace n on n.oid = e.extnamespace where e.extname = 'pg_trgm'; "
            u"if not exists (select 1 from pg_proc where proname = '"_s +
            ShortPieces +
            u"' and pronamespace = (select oid from pg_namespace where nspname = current_schema())) then "_s +
            function + u"end if; "_s + indexes + u"end $$"_s);
        return sql;
    }
    // Contentless: the values live in the table once; the triggers hand the index what it held,
    // as a delete requires. Every letter's case is folded; the search's LIKE decides over what it finds.
    const QString index = dialect::quoted(SearchIndex);
    const QString key = dialect::quoted(u"退房ID"_s);
    const QString list = columns.join(u", "_s);
    sql.append(u"CREATE VIRTUAL TABLE "_s + index + u" USING fts5("_s + list +
               u", content='', tokenize='trigram case_sensitive 0')"_s);
    sql.append(u"CREATE VIRTUAL TABLE "_s + dialect::quoted(SearchTerms) + u" USING fts5vocab("_s + index +
               u", 'instance')"_s);
    const QString add = u"INSERT INTO "_s + index + u" (rowid, "_s + list + u") VALUES (new."_s + key +
                        u", "_s + paddedValues(u"new"_s) + u");"_s;
    const QString remove = u"INSERT INTO "_s + index + u" ("_s + index + u", rowid, "_s + list +
                           u") VALUES ('delete', old."_s + key + u", "_s + paddedValues(u"old"_s) + u");"_s;
    const QString trigger = u"CREATE TRIGGER "_s;
    sql.append(trigger + dialect::quoted(SearchIndex + u"_增"_s) + u" AFTER INSERT ON "_s + stays +
               u" BEGIN "_s + add + u" END"_s);
    sql.append(trigger + dialect::quoted(SearchIndex + u"_删"_s) + u" AFTER DELETE ON "_s + stays +
               u" BEGIN "_s + remove + u" END"_s);
    sql.append(trigger + dialect::quoted(SearchIndex + u"_改"_s) + u" AFTER UPDATE OF "_s + key + u", "_s +
               list + u" ON "_s + stays + u" BEGIN "_s + remove + u" "_s + add + u" END"_s);
    sql.append(u"INSERT INTO "_s + index + u" (rowid, "_s + list + u") SELECT "_s + key + u", "_s +
               paddedValues({}) + u" FROM "_s + stays);
    return sql;
}

QStringList createStatements(dialect::Engine engine, bool indexes)
{
    QStringList sql;
    for (const Table &t : tables())
        sql.append(createTable(t, engine, false));
    if (indexes)
        sql += indexStatements() + searchIndexStatements(engine);
    const QString bytes = dialect::bytesType(engine);
    sql.append(u"CREATE TABLE "_s + dialect::quoted(AccessTable) + u" (salt "_s + bytes +
               u" NOT NULL, hash "_s + bytes + u" NOT NULL)"_s);
    if (engine == dialect::Engine::Sqlite) {
        sql.append(u"PRAGMA user_version = "_s + QString::number(Version));
    } else {
        sql.append(u"create table "_s + VersionTable + u" (version integer not null)"_s);
        sql.append(u"insert into "_s + VersionTable + u" values ("_s + QString::number(Version) + u")"_s);
    }
    return sql;
}

} // namespace schema
