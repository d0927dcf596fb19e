#include "data/access_writer.h"

#include "data/database_builder.h"
#include "data/dialect.h"
#include "data/schema.h"

#include <QFile>
#include <QSysInfo>
#include <sqlite3.h>

using namespace Qt::Literals::StringLiterals;

namespace accesshouse::detail {

namespace {

// RAII for one statement; finalised however it ends.
class Prepared
{
public:
    Prepared(sqlite3 *db, const QString &sql)
    {
        const QByteArray utf8 = sql.toUtf8();
        m_rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_s, nullptr);
    }
    ~Prepared() { sqlite3_finalize(m_s); }
    Prepared(const Prepared &) = delete;
    Prepared &operator=(const Prepared &) = delete;
    bool ok() const { return m_rc == SQLITE_OK; }
    sqlite3_stmt *get() const { return m_s; }

private:
    sqlite3_stmt *m_s = nullptr;
    int m_rc;
};

void bindText(sqlite3_stmt *s, int i, const QString &text)
{
    // The file keeps UTF-8: converted here once rather than by SQLite from UTF-16.
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(s, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

} // namespace

HouseFileWriter::HouseFileWriter(const QString &path)
{
#ifdef Q_OS_WIN
    const QByteArray name = path.toUtf8(); // SQLite takes UTF-8 names there
#else
    const QByteArray name = QFile::encodeName(path);
#endif
    const int rc = sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        fail(u"无法打开新的数据库文件"_s, rc);
    // The file is not the house until it is whole and put in place: a crash leaves only a
    // temporary file, so no journal is kept while it is written; it is forced to disk at the end.
    exec(u"PRAGMA journal_mode = OFF"_s);
    exec(u"PRAGMA synchronous = OFF"_s);
    // Room to sort the indexes in memory, whatever the house's size.
    exec(u"PRAGMA cache_size = -65536"_s);
    exec(u"PRAGMA threads = 2"_s);
    exec(u"BEGIN"_s);
    // The indexes and the search index are built once over the rows, not row by row.
    for (const QString &sql : schema::createStatements(dialect::Engine::Sqlite, false))
        exec(sql);
}

HouseFileWriter::~HouseFileWriter()
{
    sqlite3_finalize(m_insert);
    sqlite3_close_v2(m_db);
}

void HouseFileWriter::exec(const QString &sql)
{
    char *message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK)
        fail(sql, rc);
}

void HouseFileWriter::fail(const QString &what, int code)
{
    Failure f;
    f.problem = Problem::WriteFailed;
    f.table = m_table;
    f.detail =
        QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code)) + u"（"_s + what + u"）"_s;
    throw Stop{f};
}

void HouseFileWriter::beginTable(const schema::Table &table)
{
    sqlite3_finalize(m_insert);
    m_insert = nullptr;
    m_table = table.name;
    QStringList names;
    for (const schema::Column &c : table.columns)
        names.append(dialect::quoted(c.name));
    const QString sql = u"INSERT INTO "_s + dialect::quoted(table.name) + u" ("_s + names.join(u", "_s) +
                        u") VALUES ("_s + QStringList(names.size(), u"?"_s).join(u", "_s) + u")"_s;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &m_insert, nullptr);
    if (rc != SQLITE_OK)
        fail(sql, rc);
}

void HouseFileWriter::row(const std::vector<Cell> &cells)
{
    for (size_t i = 0; i < cells.size(); ++i) {
        const Cell &c = cells[i];
        const int at = int(i) + 1; // SQLite binds from 1
        switch (c.kind) {
        case Cell::Kind::Null:
            sqlite3_bind_null(m_insert, at);
            break;
        case Cell::Kind::Integer:
            sqlite3_bind_int64(m_insert, at, c.integer);
            break;
        case Cell::Kind::Real:
            sqlite3_bind_double(m_insert, at, c.real);
            break;
        case Cell::Kind::Text:
            bindText(m_insert, at, c.text);
            break;
        }
    }
    const int rc = sqlite3_step(m_insert);
    sqlite3_reset(m_insert);
    if (rc != SQLITE_DONE)
        fail(u"写入第 %1 行"_s.arg(cells.front().integer), rc);
}

void HouseFileWriter::countWritten(Report &report)
{
    sqlite3_finalize(m_insert);
    m_insert = nullptr;
    m_table.clear();
    for (TableCount &t : report.tables) {
        Prepared count(m_db, u"SELECT count(*) FROM "_s + dialect::quoted(t.table));
        if (!count.ok() || sqlite3_step(count.get()) != SQLITE_ROW)
            fail(t.table, sqlite3_errcode(m_db));
        t.written = sqlite3_column_int64(count.get(), 0);
    }
    for (MoneySum &s : report.sums) {
        Prepared read(m_db, u"SELECT "_s + dialect::quoted(s.column) + u" FROM "_s +
                                dialect::quoted(s.table) + u" WHERE "_s + dialect::quoted(s.column) +
                                u" IS NOT NULL"_s);
        if (!read.ok())
            fail(s.table, sqlite3_errcode(m_db));
        s.writtenCents = 0;
        int rc;
        while ((rc = sqlite3_step(read.get())) == SQLITE_ROW)
            addCents(s.writtenCents, centsOf(sqlite3_column_double(read.get(), 0)));
        if (rc != SQLITE_DONE)
            fail(s.table, rc);
    }
}

void HouseFileWriter::finish(const QString &password, const QString &operatorName, const QString &record,
                             bool indexed)
{
    const dbbuild::AccessRecord access = dbbuild::accessRecord(password);
    Prepared keep(m_db, u"INSERT INTO "_s + dialect::quoted(schema::AccessTable) +
                            u" (salt, hash) VALUES (?, ?)"_s);
    sqlite3_bind_blob(keep.get(), 1, access.salt.constData(), int(access.salt.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(keep.get(), 2, access.hash.constData(), int(access.hash.size()), SQLITE_TRANSIENT);
    if (!keep.ok() || sqlite3_step(keep.get()) != SQLITE_DONE)
        fail(schema::AccessTable, sqlite3_errcode(m_db));
    // As every desk writes its deeds: the store's clock, the operator, this machine.
    Prepared note(m_db, u"INSERT INTO "_s + dialect::quoted(schema::Record) +
                            u" (\"操作时间\", \"操作员\", \"前台\", \"操作\", \"数据表\") "
                            u"VALUES (datetime('now', 'localtime'), ?, ?, ?, ?)"_s);
    bindText(note.get(), 1, operatorName);
    bindText(note.get(), 2, QSysInfo::machineHostName());
    bindText(note.get(), 3, u"导入旧数据"_s);
    bindText(note.get(), 4, record);
    if (!note.ok() || sqlite3_step(note.get()) != SQLITE_DONE)
        fail(schema::Record, sqlite3_errcode(m_db));
    if (indexed) {
        for (const QString &sql :
             schema::indexStatements() + schema::searchIndexStatements(dialect::Engine::Sqlite))
            exec(sql);
    }
    exec(u"COMMIT"_s);
    exec(u"PRAGMA journal_mode = DELETE"_s);
    const int rc = sqlite3_close_v2(m_db);
    m_db = nullptr;
    if (rc != SQLITE_OK)
        fail(u"close"_s, rc);
}

} // namespace accesshouse::detail
