#include "setup/database_copy.h"

#include "data/connection_string.h"
#include "data/module1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace setup {

namespace {

constexpr qint64 ChunkSize = 256 * 1024;

QString quoted(const QString &path)
{
    return u"“"_s + QDir::toNativeSeparators(path) + u"”"_s;
}

bool sameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    constexpr Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    if (!ca.isEmpty() && ca.compare(cb, cs) == 0)
        return true;
#ifdef Q_OS_UNIX
    // A hard link has its own path but the same device and inode.
    struct stat sa = {};
    struct stat sb = {};
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
        ::stat(QFile::encodeName(b).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
#endif
    return false;
}

bool isRegularFile(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st = {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
#else
    return QFileInfo(path).isFile();
#endif
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
    if (info.exists()) {
        if (info.isDir())
            return quoted(typed) + u"是一个文件夹，请在后面写上备份文件的文件名。"_s;
        if (!isRegularFile(target))
            return quoted(typed) + u"不是普通文件，不能用作备份文件。"_s;
        if (isReadOnly(info))
            return quoted(typed) + u"是只读文件，不能覆盖。"_s;
    }
    if (!QFileInfo(info.absolutePath()).isDir())
        return u"文件夹"_s + quoted(info.absolutePath()) + u"不存在。"_s;
    return {};
}

} // namespace

QString databaseFilePath()
{
    return parseConnectionString(Module1::connectionString()).dataSource;
}

QString copyDatabaseFile(const QString &source, const QString &typedTarget)
{
    const QString target = QDir::fromNativeSeparators(typedTarget);
    if (const QString why = refusal(source, typedTarget, target); !why.isEmpty())
        return why;

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return u"无法读取数据库文件"_s + quoted(source) + u"："_s + in.errorString();
    QSaveFile out(target);
    // Never write into the target itself: a failed copy must leave an earlier backup whole.
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return u"无法写入"_s + quoted(typedTarget) + u"："_s + out.errorString();
    QByteArray chunk;
    for (;;) {
        chunk = in.read(ChunkSize);
        if (chunk.isEmpty()) {
            if (in.error() != QFileDevice::NoError) {
                out.cancelWriting();
                return u"读取数据库文件时出错："_s + in.errorString();
            }
            break;
        }
        if (out.write(chunk) != chunk.size()) {
            const QString error = out.errorString();
            out.cancelWriting();
            return u"写入"_s + quoted(typedTarget) + u"时出错："_s + error;
        }
    }
    if (!out.commit())
        return u"写入"_s + quoted(typedTarget) + u"时出错："_s + out.errorString();
    return {};
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

QString keepCopyBeforeInit(const QString &databasePath, QString *copyPath)
{
    const QString folder = beforeInitFolder(databasePath);
    if (!QDir().mkpath(folder))
        return u"无法建立文件夹"_s + quoted(folder) + u"，初始化前的数据库副本无法保存。"_s;
    const QString path = beforeInitCopyPath(databasePath, QDateTime::currentDateTime());
    const QString why = copyDatabaseFile(databasePath, path);
    if (!why.isEmpty())
        return u"初始化前的数据库副本无法保存："_s + why;
    if (copyPath)
        *copyPath = path;
    return {};
}

} // namespace setup
