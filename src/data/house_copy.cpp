#include "data/house_copy.h"

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/db_error.h"
#include "data/file_modes.h"
#include "data/house_transfer.h"
#include "data/module1.h"
#include "data/schema.h"
#include "data/server_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <filesystem>

using namespace Qt::Literals::StringLiterals;

namespace housecopy {

namespace {

QString quoted(const QString &path)
{
    return u"“"_s + QDir::toNativeSeparators(path) + u"”"_s;
}

#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
constexpr Qt::CaseSensitivity PathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity PathCase = Qt::CaseSensitive;
#endif

bool sameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && ca.compare(cb, PathCase) == 0)
        return true;
    return filemodes::sameInode(a, b); // a hard link has its own path
}

// The journal and the other files the store keeps beside the database: the next start would
// delete or replay them, and overwriting a live journal damages the database.
bool isStoreSidecar(const QString &source, const QString &target)
{
    const QFileInfo db(source);
    const QFileInfo t(target);
    const QString folder = QFileInfo(t.absolutePath()).canonicalFilePath();
    if (folder.isEmpty() || folder.compare(db.canonicalPath(), PathCase) != 0)
        return false;
    const QString name = t.fileName();
    const QString base = db.fileName();
    for (const QString &suffix : {u"-journal"_s, u"-wal"_s, u"-shm"_s}) {
        if (name.compare(base + suffix, PathCase) == 0)
            return true;
    }
    return name.startsWith(base + u"-mj"_s, PathCase); // a multi-file commit's master journal
}

bool isReadOnly(const QFileInfo &file)
{
    // The mode bits count as well: the super-user may write anywhere, yet a file marked
    // read-only is not meant to be replaced. (WriteUser asks the system, so it is left out.)
    const QFile::Permissions writeBits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !file.isWritable() || !(file.permissions() & writeBits);
}

// Why `target` cannot take a copy of `source`; empty when it can.
QString refusal(const QString &source, const QString &typed, const QString &target)
{
    if (typed.trimmed().isEmpty())
        return u"请输入备份文件的完整路径。"_s;
    if (target.endsWith(u'/') || typed.endsWith(u'\\'))
        return quoted(typed) + u"是一个文件夹，请在后面写上备份文件的文件名。"_s;
    const QFileInfo info(target);
    if (!info.isAbsolute())
        return quoted(typed) + u"不是完整的路径，请写明备份文件所在的文件夹。"_s;
    if (!QFileInfo(source).isFile())
        return u"找不到数据库文件"_s + quoted(source) + u"。"_s;
    if (sameFile(source, target))
        return quoted(typed) + u"就是数据库文件本身，不能备份到它上面。"_s;
    if (isStoreSidecar(source, target))
        return quoted(typed) + u"是数据库自己的日志文件，不能备份到它上面。"_s;
    if (info.exists()) {
        if (info.isDir())
            return quoted(typed) + u"是一个文件夹，请在后面写上备份文件的文件名。"_s;
        if (!filemodes::isRegularFile(target))
            return quoted(typed) + u"不是普通文件，不能用作备份文件。"_s;
        if (isReadOnly(info))
            return quoted(typed) + u"是只读文件，不能覆盖。"_s;
    }
    if (!QFileInfo(info.absolutePath()).isDir())
        return u"文件夹"_s + quoted(info.absolutePath()) + u"不存在。"_s;
    return {};
}

// A server's snapshot is a house file of its own: it goes through the same checked,
// all-or-nothing copy as the file store's backups, as private as a house file. Throws DbError.
void copySnapshot(const QString &snapshot, const QString &target)
{
    QFile::setPermissions(snapshot, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QFileInfo file(snapshot);
    Connection connection;
    connection.open(buildConnectionString(file.absolutePath(), file.fileName(), Module1::DbPassword));
    Transaction lock(connection);
    copyDatabase(connection, snapshot, target);
}

// Until the transaction `c` holds ends, other desks may read the house but not write it.
void holdOffWriters(Connection &c)
{
    QStringList tables;
    for (const schema::Table &t : schema::tables())
        tables.append(dialect::quoted(t.name));
    // Run as it is: a server prepares no lock statement.
    QSqlQuery lock(c.database());
    if (!lock.exec(u"lock table "_s + tables.join(u", "_s) + u" in exclusive mode"_s))
        throw serverstore::errorOf(lock.lastError());
}

} // namespace

QString databaseFilePath()
{
    return parseConnectionString(Module1::connectionString()).dataSource;
}

QString copyRefusal(const QString &source, const QString &typedTarget)
{
    return refusal(source, typedTarget, QDir::fromNativeSeparators(typedTarget));
}

void copyDatabase(Connection &locked, const QString &source, const QString &typedTarget)
{
    const QString target = QDir::fromNativeSeparators(typedTarget);
    if (const QString why = refusal(source, typedTarget, target); !why.isEmpty())
        throw DbError(why);
    // Never write into the target itself: a failed or unsound copy must leave an earlier backup whole.
    const QFileInfo info(target);
    QTemporaryFile out(info.absoluteDir().filePath(u"."_s + info.fileName() + u".XXXXXX"_s));
    if (!out.open())
        throw DbError(u"无法写入"_s + quoted(typedTarget) + u"："_s + out.errorString());
    // As private as the database: a copy holds every guest's particulars and the passwords.
    if (!filemodes::copyPermissions(source, out.fileName()))
        throw DbError(u"无法设置"_s + quoted(typedTarget) + u"的访问权限。"_s);
    locked.readFileBytes([&out](const char *data, qint64 size) { return out.write(data, size) == size; });
    if (out.error() != QFileDevice::NoError || !out.flush() || !filemodes::syncToDisk(out.handle()))
        throw DbError(u"写入"_s + quoted(typedTarget) + u"时出错："_s + out.errorString());
    out.close();
    if (const QString problem = Connection::checkFile(out.fileName()); !problem.isEmpty())
        throw DbError(u"数据库副本没有通过完整性检查（"_s + problem + u"），没有保存。"_s);
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(out.fileName()).toStdString(),
                            QFile::encodeName(target).toStdString(), error);
    if (error)
        throw DbError(u"写入"_s + quoted(typedTarget) + u"时出错："_s +
                      QString::fromStdString(error.message()));
    out.setAutoRemove(false);
}

void backUp(Connection &c, const QString &typedTarget)
{
    if (c.engine() == dialect::Engine::Postgres) {
        QTemporaryDir scratch;
        if (!scratch.isValid())
            throw DbError(u"无法建立临时文件夹："_s + scratch.errorString());
        const QString snapshot = scratch.filePath(Module1::DbFileName);
        if (const QString why = housetransfer::snapshotToFile(c.database(), snapshot); !why.isEmpty())
            throw DbError(why);
        copySnapshot(snapshot, typedTarget);
        return;
    }
    const QString source = databaseFilePath();
    if (const QString why = copyRefusal(source, typedTarget); !why.isEmpty())
        throw DbError(why);
    // The write lock keeps every other desk's commit out until the copy is read; taking it
    // rolls back a journal a dead desk left.
    Transaction lock(c);
    copyDatabase(c, source, typedTarget);
}

QString beforeInitFolder(const QString &databasePath)
{
    return QFileInfo(databasePath).absoluteDir().filePath(u"innkeep-backups"_s);
}

QString beforeInitCopyPath(const QString &databasePath, const QDateTime &when)
{
    const QFileInfo db(databasePath);
    const QString stem = db.completeBaseName() + u"-before-init-"_s + when.toString(u"yyyyMMdd-HHmmss"_s);
    const QString suffix = db.suffix().isEmpty() ? QString() : u"."_s + db.suffix();
    const QDir folder(beforeInitFolder(databasePath));
    QString path = folder.filePath(stem + suffix);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(stem + u"-"_s + QString::number(n) + suffix);
    return path;
}

namespace {

// A new path in beforeInitFolder() of `house`, the folder made if needed.
QString newBeforeInitPath(const QString &house)
{
    const QString folder = beforeInitFolder(house);
    if (!filemodes::makePrivateFolder(folder))
        throw DbError(u"无法建立文件夹"_s + quoted(folder) + u"，初始化前的数据库副本无法保存。"_s);
    return beforeInitCopyPath(house, QDateTime::currentDateTime());
}

DbError notKept(const DbError &e)
{
    return DbError(u"初始化前的数据库副本无法保存："_s + e.text(), e.cause());
}

} // namespace

QString keepCopyBeforeInit(Connection &c)
{
    // The file's write lock is the transaction's own: nothing lands between the copy and what
    // follows it.
    const QString house = databaseFilePath();
    const QString path = newBeforeInitPath(house);
    try {
        copyDatabase(c, house, path);
    } catch (const DbError &e) {
        throw notKept(e);
    }
    return path;
}

ServerCopy keepServerCopyBeforeInit(Connection &c)
{
    ServerCopy copy;
    const QString path = newBeforeInitPath(Module1::databasePath());
    try {
        QTemporaryDir scratch;
        if (!scratch.isValid())
            throw DbError(u"无法建立临时文件夹："_s + scratch.errorString());
        const QString snapshot = scratch.filePath(Module1::DbFileName);
        if (const QString why = housetransfer::snapshotToFile(c.database(), snapshot, &copy.fingerprint);
            !why.isEmpty())
            throw DbError(why);
        copySnapshot(snapshot, path);
    } catch (const DbError &e) {
        throw notKept(e);
    }
    copy.path = path;
    return copy;
}

bool stillAsCopied(Connection &c, const ServerCopy &copy)
{
    // Taken before anything is read, so the transaction's snapshot already sees every write
    // that got in before the lock.
    holdOffWriters(c);
    return housetransfer::fingerprint(c.database()) == copy.fingerprint;
}

} // namespace housecopy
