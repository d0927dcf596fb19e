// The file store: SQLite's own interface on the handle Qt's QSQLITE driver opened, so a list reads
// each value once, straight into its kind, and the file is read under the store's own locks.
#include "data/connection.h"
#include "data/db_error.h"
#include "data/store_backend.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <atomic>
#include <iterator>
#include <sqlite3.h>

using namespace Qt::Literals::StringLiterals;

namespace store::sqlite {

namespace {

QString nextName(const QString &kind)
{
    static std::atomic<int> counter{0};
    return u"quillon-"_s + kind + u"-"_s + QString::number(++counter);
}

// Whether the open house's file or its folder can no longer be written.
bool turnedReadOnly(sqlite3 *db)
{
    const char *name = sqlite3_db_filename(db, "main");
    if (!name || !*name)
        return false;
    const QFileInfo file(QString::fromUtf8(name));
    return file.exists() && (!file.isWritable() || !QFileInfo(file.absolutePath()).isWritable());
}

DbError failure(sqlite3 *db, int code)
{
    // The extended code tells a read-only file from one that needs a write before it can be read.
    const int extended = sqlite3_extended_errcode(db);
    const int picked = (extended & 0xff) == (code & 0xff) ? extended : code;
    const QString text = QString::fromUtf8(sqlite3_errmsg(db));
    // The house is open, so what cannot be opened now is its journal beside it: the folder or
    // the file turned read-only while the desk kept it open, which is no damage.
    if ((picked & 0xff) == SQLITE_CANTOPEN && turnedReadOnly(db))
        return DbError::driver(StoreCause::ReadOnly, text);
    return errorOf(picked, text);
}

// Values are bound as Qt's driver binds them, so nothing stored changes kind: a null text, date
// or byte array is NULL, integers and numbers keep their kind, anything else is text.
int bindValue(sqlite3_stmt *s, int at, const QVariant &v)
{
    static constexpr int Integers[] = {QMetaType::Bool,  QMetaType::Char,     QMetaType::SChar,
                                       QMetaType::UChar, QMetaType::Short,    QMetaType::UShort,
                                       QMetaType::Int,   QMetaType::UInt,     QMetaType::Long,
                                       QMetaType::ULong, QMetaType::LongLong, QMetaType::ULongLong};
    const int type = v.typeId();
    if (v.isNull() || (type == QMetaType::QString && v.toString().isNull()) ||
        (type == QMetaType::QByteArray && v.toByteArray().isNull()) ||
        (type == QMetaType::QDateTime && v.toDateTime().isNull()) ||
        (type == QMetaType::QDate && v.toDate().isNull()))
        return sqlite3_bind_null(s, at);
    if (std::find(std::begin(Integers), std::end(Integers), type) != std::end(Integers))
        return sqlite3_bind_int64(s, at, v.toLongLong());
    if (type == QMetaType::Double || type == QMetaType::Float)
        return sqlite3_bind_double(s, at, v.toDouble());
    if (type == QMetaType::QByteArray) {
        const QByteArray b = v.toByteArray();
        return sqlite3_bind_blob(s, at, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    const QString text =
        type == QMetaType::QDateTime ? v.toDateTime().toString(Qt::ISODateWithMs) : v.toString();
    return sqlite3_bind_text16(s, at, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
}

class FileQuery final : public Query
{
public:
    FileQuery(sqlite3 *db, sqlite3_stmt *s) : m_db(db), m_s(s) {}
    ~FileQuery() override { sqlite3_finalize(m_s); }

    void bind(const QVariantList &params) override
    {
        if (sqlite3_bind_parameter_count(m_s) != params.size())
            throw DbError(u"参数个数不符。"_s);
        for (int i = 0; i < params.size(); ++i) {
            if (const int rc = bindValue(m_s, i + 1, params.at(i)); rc != SQLITE_OK)
                throw failure(m_db, rc);
        }
    }

    bool step() override
    {
        const int rc = sqlite3_step(m_s);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw failure(m_db, rc);
        if (!m_ran) {
            // The connection's counts: read now, before another statement changes them.
            m_ran = true;
            m_changes = sqlite3_changes(m_db);
            m_lastId = sqlite3_last_insert_rowid(m_db);
        }
        return rc == SQLITE_ROW;
    }

    int columnCount() const override { return sqlite3_column_count(m_s); }
    QString columnName(int column) const override
    {
        return QString::fromUtf8(sqlite3_column_name(m_s, column));
    }
    bool isNull(int column) const override { return sqlite3_column_type(m_s, column) == SQLITE_NULL; }

    qint64 integer(int column) const override
    {
        if (sqlite3_column_type(m_s, column) == SQLITE_INTEGER)
            return sqlite3_column_int64(m_s, column);
        return value(column).toLongLong();
    }

    QVariant value(int column) const override
    {
        switch (sqlite3_column_type(m_s, column)) {
        case SQLITE_INTEGER:
            return qint64(sqlite3_column_int64(m_s, column));
        case SQLITE_FLOAT:
            return sqlite3_column_double(m_s, column);
        case SQLITE_NULL:
            return {};
        case SQLITE_BLOB: {
            const auto *data = static_cast<const char *>(sqlite3_column_blob(m_s, column));
            return QByteArray(data, sqlite3_column_bytes(m_s, column));
        }
        default: {
            const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_s, column));
            return QString::fromUtf8(data, sqlite3_column_bytes(m_s, column));
        }
        }
    }

    int changes() const override { return m_changes; }
    qint64 lastInsertId() override { return m_lastId; }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_s;
    bool m_ran = false;
    int m_changes = 0;
    qint64 m_lastId = -1;
};

class FileBackend final : public Backend
{
public:
    ~FileBackend() override { close(); }

    dialect::Engine engine() const override { return dialect::Engine::Sqlite; }

    void open(const StoreTarget &target, int busyWaitMs) override
    {
        const QString &source = target.file;
        const QFileInfo file(source);
        // QSQLITE would create a missing file; the program never creates its database.
        if (!file.exists() && !file.isSymLink())
            throw DbError::driver(StoreCause::FileMissing, source);
        if (!file.isFile())
            throw DbError::driver(StoreCause::Unreadable, source);
        // Where SQLite is compiled into the program beside the driver's own copy, this copy must be
        // set up before it works on the driver's handle; elsewhere it is the one library, a no-op.
        sqlite3_initialize();
        m_name = nextName(u"file"_s);
        m_db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        m_db.setDatabaseName(file.absoluteFilePath());
        m_db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT="_s + QString::number(busyWaitMs));
        const QVariant h = m_db.open() ? m_db.driver()->handle() : QVariant();
        if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0)
            m_handle = *static_cast<sqlite3 *const *>(h.constData());
        if (!m_handle) {
            close();
            throw DbError::driver(StoreCause::Unreadable, source);
        }
        setBusyWait(busyWaitMs);
        admit(source, target.password);
        addMissingIndexes(busyWaitMs);
    }

    bool isOpen() const override { return m_handle != nullptr; }

    void close() override
    {
        m_handle = nullptr;
        if (m_name.isEmpty())
            return;
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        m_name.clear();
    }

    std::unique_ptr<Query> prepare(const QString &sql) override
    {
        if (!m_handle)
            throw DbError(u"数据库连接没有打开。"_s);
        const QByteArray utf8 = sql.toUtf8();
        sqlite3_stmt *s = nullptr;
        if (const int rc = sqlite3_prepare_v2(m_handle, utf8.constData(), int(utf8.size()), &s, nullptr);
            rc != SQLITE_OK)
            throw failure(m_handle, rc);
        if (!s)
            throw DbError(u"空的 SQL 语句。"_s);
        return std::make_unique<FileQuery>(m_handle, s);
    }

    // IMMEDIATE takes the write lock at once, so a busy file fails before anything is written.
    void begin() override { run("BEGIN IMMEDIATE"); }
    void commit() override { run("COMMIT"); }
    void rollback() override
    {
        if (m_handle)
            sqlite3_exec(m_handle, "ROLLBACK", nullptr, nullptr, nullptr);
    }

    void setBusyWait(int ms) override
    {
        m_busyWaitMs = ms;
        if (m_handle)
            sqlite3_busy_handler(m_handle, ms > 0 ? &pollWhileBusy : nullptr, this);
    }

    bool hasIndex(const QString &name) override
    {
        const std::unique_ptr<Query> q =
            prepare(u"select 1 from sqlite_master where type in ('index', 'table') and name=?"_s);
        q->bind({name});
        return q->step();
    }

    // Read through SQLite's own file handle, so its locks hold throughout; a second handle on the
    // file would drop them when closed.
    void readFileBytes(const std::function<bool(const char *, qint64)> &sink) override
    {
        sqlite3_file *file = nullptr;
        if (!m_handle ||
            sqlite3_file_control(m_handle, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
            !file->pMethods)
            throw DbError(u"无法读取数据库文件。"_s);
        sqlite3_int64 size = 0;
        if (file->pMethods->xFileSize(file, &size) != SQLITE_OK)
            throw DbError(u"无法读取数据库文件的大小。"_s);
        constexpr int Chunk = 256 * 1024;
        QByteArray buffer(Chunk, Qt::Uninitialized);
        for (sqlite3_int64 at = 0; at < size;) {
            const int n = int(std::min<sqlite3_int64>(Chunk, size - at));
            if (file->pMethods->xRead(file, buffer.data(), n, at) != SQLITE_OK)
                throw DbError(u"读取数据库文件时出错。"_s);
            if (!sink(buffer.constData(), n))
                return;
            at += n;
        }
    }

    QSqlDatabase &database() override { return m_db; }

private:
    void run(const char *sql)
    {
        if (!m_handle)
            throw DbError(u"数据库连接没有打开。"_s);
        if (const int rc = sqlite3_exec(m_handle, sql, nullptr, nullptr, nullptr); rc != SQLITE_OK)
            throw failure(m_handle, rc);
    }

    // SQLite's own wait sleeps longer and longer, up to 100 ms between tries. Against desks that
    // write one after another it seldom lands in the moment between two of their writes and often
    // waits out its whole time while they go on; trying every millisecond takes the first such gap.
    static int pollWhileBusy(void *self, int tries)
    {
        auto *backend = static_cast<FileBackend *>(self);
        if (tries == 0)
            backend->m_busySince.start();
        if (backend->m_busySince.elapsed() >= backend->m_busyWaitMs)
            return 0;
        sqlite3_sleep(1);
        return 1;
    }

    QString m_name;
    QSqlDatabase m_db;
    sqlite3 *m_handle = nullptr;
    int m_busyWaitMs = 0;
    QElapsedTimer m_busySince;
};

} // namespace

std::unique_ptr<Backend> make()
{
    return std::make_unique<FileBackend>();
}

DbError errorOf(int code, const QString &text)
{
    // The store's own words ("database is locked") mean nothing at a front desk.
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Connection::busyError();
    case SQLITE_FULL:
        return DbError::driver(StoreCause::DiskFull, text);
    case SQLITE_READONLY:
        // A journal left by a write cut short (or a WAL file) must be undone before the file can
        // be read, and cannot be where the file or its folder is read-only.
        if (code == SQLITE_READONLY_ROLLBACK || code == SQLITE_READONLY_RECOVERY ||
            code == SQLITE_READONLY_CANTINIT || code == SQLITE_READONLY_CANTLOCK)
            return DbError::driver(StoreCause::NeedsWrite, text);
        return DbError::driver(StoreCause::ReadOnly, text);
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return DbError::driver(StoreCause::Permission, text);
    case SQLITE_CORRUPT:
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB:
        return DbError::driver(StoreCause::Unreadable, text);
    default:
        return DbError::driver(StoreCause::Other, text);
    }
}

QString checkFile(const QString &path)
{
    const QString name = nextName(u"check"_s);
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(path);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        if (!db.open()) {
            problem = db.lastError().text();
        } else {
            QSqlQuery q(db);
            // Mapped, the pages are read in place rather than through the page cache.
            q.exec(u"PRAGMA mmap_size=4294967296"_s);
            if (!q.exec(u"PRAGMA quick_check"_s) || !q.next())
                problem = q.lastError().text();
            else if (const QString first = q.value(0).toString(); first != u"ok"_s)
                problem = first;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return problem.isEmpty() && !QFileInfo(path).isFile() ? u"文件不存在。"_s : problem;
}

} // namespace store::sqlite
