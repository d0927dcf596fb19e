#include "data/file_modes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace filemodes {

#ifdef Q_OS_UNIX

bool createPrivateFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    return ::close(fd) == 0;
}

bool copyPermissions(const QString &model, const QString &target)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(model).constData(), &st) != 0)
        return false;
    return ::chmod(QFile::encodeName(target).constData(), st.st_mode & 07777) == 0;
}

bool makePrivateFolder(const QString &path)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0)
        return true;
    return errno == EEXIST && QFileInfo(path).isDir();
}

bool sameInode(const QString &a, const QString &b)
{
    struct stat sa = {};
    struct stat sb = {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool isRegularFile(const QString &path)
{
    struct stat st = {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool syncToDisk(int fd)
{
    return ::fsync(fd) == 0;
}

bool lockWhileOpen(int fd)
{
    // A file system without locks still takes the copy; its leftovers are then never removed.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return false;
    // A cleaner may have taken the lock and removed the file between its creation and now.
    struct stat st = {};
    return ::fstat(fd, &st) == 0 && st.st_nlink > 0;
}

bool removeUnlessLocked(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    struct stat held = {};
    struct stat named = {};
    bool removed = false;
    // Removed only while this lock holds, and only if the name still is the file locked (a
    // writer renames its finished copy away under its own lock).
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 &&
        ::lstat(name.constData(), &named) == 0 && held.st_dev == named.st_dev && held.st_ino == named.st_ino)
        removed = ::unlink(name.constData()) == 0;
    ::close(fd);
    return removed;
}

int maxNameBytes(const QString &folder)
{
    const long n = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return n > 0 && n < 1 << 20 ? int(n) : 0;
}

#else

bool createPrivateFile(const QString &path)
{
    QFile file(path);
    return !file.exists() && file.open(QIODevice::NewOnly | QIODevice::WriteOnly);
}

bool copyPermissions(const QString &model, const QString &target)
{
    return QFile::setPermissions(target, QFileInfo(model).permissions());
}

bool makePrivateFolder(const QString &path)
{
    return QDir().mkpath(path);
}

bool sameInode(const QString &, const QString &)
{
    return false; // canonical paths already compared
}

bool isRegularFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

bool syncToDisk(int)
{
    return true; // the copy is closed before it replaces the target
}

bool lockWhileOpen(int)
{
    return true; // an open file cannot be removed here
}

bool removeUnlessLocked(const QString &path)
{
    return QFile::remove(path) || !QFileInfo::exists(path);
}

int maxNameBytes(const QString &)
{
    return 0; // the system refuses a long name when the copy is written
}

#endif

} // namespace filemodes
