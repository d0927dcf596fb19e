#include "data/house_copy.h"

#include "data/connection.h"
#include "data/db_error.h"
#include "data/file_modes.h"
#include "data/house_location.h"
#include "data/house_transfer.h"
#include "data/schema.h"
#include "data/server_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

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
    const qsizetype nameBytes = QFile::encodeName(info.fileName()).size();
    if (const int limit = filemodes::maxNameBytes(info.absolutePath()); limit > 0 && nameBytes > limit)
        return u"文件名太长："_s + quoted(typed) +
               u"的文件名有 %1 个字节，这个文件夹最多允许 %2 个字节。"_s
               u"请换一个短一些的文件名。"_s.arg(nameBytes)
                   .arg(limit);
    return {};
}

// The copy while it is written: a short name of its own beside the target (so that any name the
// folder takes as a target fits) that says what it is to whoever finds one a killed backup left;
// locked while open, and removed unless it was put in place.
struct UnfinishedCopy {
    UnfinishedCopy(const QDir &folder, const QString &typedTarget)
    {
        static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 20; ++attempt) {
            QString name = UnfinishedCopyPrefix.toString();
            for (int i = 0; i < 6; ++i)
                name += QLatin1Char(Letters[QRandomGenerator::global()->bounded(36)]);
            path = folder.filePath(name + u".tmp"_s);
            if (const QString why = filemodes::openNewPrivate(file, path); !why.isEmpty()) {
                if (QFileInfo::exists(path))
                    continue;
                throw DbError(u"无法写入"_s + quoted(typedTarget) + u"："_s + why);
            }
            // Another backup removes only leftovers it can lock; one that removed this file
            // before it was locked leaves a fresh name to try.
            if (filemodes::lockWhileOpen(int(file.handle())))
                return;
            file.close();
        }
        throw DbError(u"无法写入"_s + quoted(typedTarget) + u"。"_s);
    }
    ~UnfinishedCopy()
    {
        if (!placed && file.isOpen())
            QFile::remove(path);
    }
    UnfinishedCopy(const UnfinishedCopy &) = delete;
    UnfinishedCopy &operator=(const UnfinishedCopy &) = delete;

    QFile file;
    QString path;
    bool placed = false;
};

// A server's snapshot is a house file of its own: it goes through the same checked,
// all-or-nothing copy as the file store's backups, as private as a house file. Throws DbError.
void copySnapshot(const QString &snapshot, const QString &password, const QString &target)
{
    QFile::setPermissions(snapshot, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    Connection connection;
    connection.open(StoreTarget{snapshot, std::nullopt, password});
    Transaction lock(connection);
    copyDatabase(connection, snapshot, target);
}

// Until the transaction `c` holds ends, other desks may read the house but not write it.
void holdOffWriters(Connection &c)
{
    // The record of who did what is only added to (a desk may not even lock it): a row that
    // comes in meanwhile shows as a change since the copy.
    QStringList tables;
    for (const schema::Table &t : schema::tables())
        if (t.name != schema::Record)
            tables.append(dialect::quoted(t.name));
    // Run as it is: a server prepares no lock statement.
    QSqlQuery lock(c.database());
    if (!lock.exec(u"lock table "_s + tables.join(u", "_s) + u" in exclusive mode"_s))
        throw serverstore::errorOf(lock.lastError());
}

} // namespace

int removeUnfinishedCopies(const QString &folder)
{
    const QDir dir(folder);
    int removed = 0;
    // Matched by hand, not by a name filter (a regular expression): this runs on worker threads too.
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (name.startsWith(UnfinishedCopyPrefix))
            removed += filemodes::removeUnlessLocked(dir.filePath(name)) ? 1 : 0;
    }
    return removed;
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
    const QDir folder = QFileInfo(target).absoluteDir();
    removeUnfinishedCopies(folder.path());
    UnfinishedCopy unfinished(folder, typedTarget);
    QFile &out = unfinished.file;
    // As private as the database: a copy holds every guest's particulars and the passwords.
    if (!filemodes::copyPermissions(source, unfinished.path))
        throw DbError(u"无法设置"_s + quoted(typedTarget) + u"的访问权限。"_s);
    locked.readFileBytes([&out](const char *data, qint64 size) { return out.write(data, size) == size; });
    if (out.error() != QFileDevice::NoError || !out.flush() || !filemodes::syncToDisk(out.handle()))
        throw DbError(u"写入"_s + quoted(typedTarget) + u"时出错："_s + out.errorString());
    // Kept open, and so locked, until it is in place.
    if (const QString problem = Connection::checkFile(unfinished.path); !problem.isEmpty())
        throw DbError(u"数据库副本没有通过完整性检查（"_s + problem + u"），没有保存。"_s);
    if (const QString why = filemodes::replaceFile(unfinished.path, target); !why.isEmpty())
        throw DbError(u"写入"_s + quoted(typedTarget) + u"时出错："_s + why);
    unfinished.placed = true;
}

void backUp(Connection &c, const HouseLocation &house, const QString &typedTarget)
{
    if (c.engine() == dialect::Engine::Postgres) {
        QTemporaryDir scratch;
        if (!scratch.isValid())
            throw DbError(u"无法建立临时文件夹："_s + scratch.errorString());
        const QString snapshot = scratch.filePath(house.fileName);
        if (const QString why = housetransfer::snapshotToFile(c.database(), snapshot); !why.isEmpty())
            throw DbError(why);
        copySnapshot(snapshot, house.password, typedTarget);
        return;
    }
    const QString source = house.filePath();
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

QString keepCopyBeforeInit(Connection &c, const HouseLocation &house)
{
    // The file's write lock is the transaction's own: nothing lands between the copy and what
    // follows it.
    const QString file = house.filePath();
    const QString path = newBeforeInitPath(file);
    try {
        copyDatabase(c, file, path);
    } catch (const DbError &e) {
        throw notKept(e);
    }
    return path;
}

ServerCopy keepServerCopyBeforeInit(Connection &c, const HouseLocation &house)
{
    ServerCopy copy;
    const QString path = newBeforeInitPath(house.filePath());
    try {
        QTemporaryDir scratch;
        if (!scratch.isValid())
            throw DbError(u"无法建立临时文件夹："_s + scratch.errorString());
        const QString snapshot = scratch.filePath(house.fileName);
        if (const QString why = housetransfer::snapshotToFile(c.database(), snapshot, &copy.fingerprint);
            !why.isEmpty())
            throw DbError(why);
        copySnapshot(snapshot, house.password, path);
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
