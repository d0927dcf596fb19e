#include "data/house_restore.h"

#include "data/connection.h"
#include "data/db_error.h"
#include "data/file_modes.h"
#include "data/house_copy.h"
#include "data/house_transfer.h"
#include "data/schema.h"
#include "data/store_backend.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSqlDriver>
#include <functional>
#include <sqlite3.h>

using namespace Qt::Literals::StringLiterals;

namespace houserestore {

namespace {

// The file opened read-only through SQLite itself, closed when it goes.
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(const QString &path)
    {
#ifdef Q_OS_WIN
        const QByteArray name = path.toUtf8(); // SQLite takes UTF-8 names there
#else
        const QByteArray name = QFile::encodeName(path);
#endif
        // Opened for reading only: nothing is created beside it or written to it.
        m_open = sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
    }
    ~ReadOnlyFile()
    {
        sqlite3_close_v2(m_db);
    }
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

    bool isOpen() const
    {
        return m_open;
    }
    sqlite3 *handle() const
    {
        return m_db;
    }

    // Runs `sql`; hands each row's first column to `row`. Returns SQLite's result code.
    int each(const QString &sql, const std::function<void(sqlite3_stmt *)> &row = {}) const
    {
        const QByteArray utf8 = sql.toUtf8();
        sqlite3_stmt *s = nullptr;
        int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &s, nullptr);
        while (rc == SQLITE_OK || rc == SQLITE_ROW) {
            rc = sqlite3_step(s);
            if (rc == SQLITE_ROW && row)
                row(s);
        }
        sqlite3_finalize(s);
        return rc == SQLITE_DONE ? SQLITE_OK : rc;
    }

private:
    sqlite3 *m_db = nullptr;
    bool m_open = false;
};

QString text(sqlite3_stmt *s, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, column)),
                             sqlite3_column_bytes(s, column));
}

QByteArray bytes(sqlite3_stmt *s, int column)
{
    return QByteArray(static_cast<const char *>(sqlite3_column_blob(s, column)),
                      sqlite3_column_bytes(s, column));
}

bool sameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return (!ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath()) || filemodes::sameInode(a, b);
}

bool hasColumns(const ReadOnlyFile &file, const QString &table, const QStringList &columns)
{
    return file.each(u"select \""_s + columns.join(u"\", \""_s) + u"\" from \""_s + table +
                     u"\" limit 0"_s) == SQLITE_OK;
}

sqlite3 *liveHandle(Connection &c)
{
    const QVariant h = c.database().driver()->handle();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0)
        throw DbError(u"数据库连接没有打开。"_s);
    return *static_cast<sqlite3 *const *>(h.constData());
}

} // namespace

Verdict check(const QString &path, const QString &house, const QString &password)
{
    if (!QFileInfo(path).isFile())
        return {Problem::Missing, {}};
    if (!house.isEmpty() && sameFile(path, house))
        return {Problem::TheHouseItself, {}};
    const ReadOnlyFile file(path);
    if (!file.isOpen())
        return {Problem::NotADatabase, {}};
    QStringList found;
    const int rc =
        file.each(u"PRAGMA integrity_check"_s, [&found](sqlite3_stmt *s) { found.append(text(s, 0)); });
    if ((rc & 0xff) == SQLITE_NOTADB || (rc != SQLITE_OK && found.isEmpty() && (rc & 0xff) != SQLITE_CORRUPT))
        return {Problem::NotADatabase, {}};
    if (rc != SQLITE_OK || found != QStringList{u"ok"_s})
        return {Problem::Damaged,
                found.isEmpty() ? QString::fromUtf8(sqlite3_errmsg(file.handle())) : found.first()};
    if (!hasColumns(file, schema::AccessTable, {u"salt"_s, u"hash"_s}))
        return {Problem::NotAHouse, {}};
    int version = 0;
    file.each(u"PRAGMA user_version"_s, [&version](sqlite3_stmt *s) { version = sqlite3_column_int(s, 0); });
    if (version > schema::Version)
        return {Problem::Newer, {}};
    bool admitted = false;
    file.each(u"select salt, hash from "_s + schema::AccessTable, [&](sqlite3_stmt *s) {
        admitted = admitted || store::passwordHash(bytes(s, 0), password) == bytes(s, 1);
    });
    if (!admitted)
        return {Problem::WrongPassword, {}};
    for (const schema::Table &t : schema::tables()) {
        // An older backup has no record of who did what; the house keeps its own.
        if (t.name == schema::Record)
            continue;
        QStringList columns;
        for (const schema::Column &c : t.columns)
            columns.append(c.name);
        if (!hasColumns(file, t.name, columns))
            return {Problem::NotAHouse, {}};
    }
    return {};
}

QString restoreIntoFile(Connection &c, const HouseLocation &house, const QString &backup)
{
    const ReadOnlyFile file(backup);
    if (!file.isOpen())
        throw DbError::driver(StoreCause::Unreadable, QString::fromUtf8(sqlite3_errmsg(file.handle())));
    sqlite3 *live = liveHandle(c);
    sqlite3_backup *b = sqlite3_backup_init(live, "main", file.handle(), "main");
    if (!b)
        throw Connection::storeError(sqlite3_extended_errcode(live), QString::fromUtf8(sqlite3_errmsg(live)));
    // Unless every page went, the house is rolled back to what it was.
    auto finish = qScopeGuard([&b] { sqlite3_backup_finish(b); });
    // No page yet: this step only takes the house's lock, waiting for another desk's write as
    // every write does, and holds it until the last page is written.
    if (const int rc = sqlite3_backup_step(b, 0); rc != SQLITE_OK && rc != SQLITE_DONE)
        throw Connection::storeError(rc, QString::fromUtf8(sqlite3_errmsg(live)));
    // Under that lock no other desk's write can fall between the copy and the restore.
    const QString copy = housecopy::keepCopyBeforeInit(c, house);
    const int rc = sqlite3_backup_step(b, -1);
    if (rc != SQLITE_DONE) {
        QFile::remove(copy); // the house stays as the copy holds it
        throw Connection::storeError(rc, QString::fromUtf8(sqlite3_errmsg(live)));
    }
    finish.dismiss();
    if (const int done = sqlite3_backup_finish(b); done != SQLITE_OK)
        throw Connection::storeError(done, QString::fromUtf8(sqlite3_errmsg(live)));
    return copy;
}

void restoreIntoServer(Connection &c, const QString &backup)
{
    housetransfer::replaceFromFile(c.database(), backup);
}

} // namespace houserestore
