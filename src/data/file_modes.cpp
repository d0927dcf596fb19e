#include "data/file_modes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
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

bool syncToDisk(int fd)
{
    return ::fsync(fd) == 0;
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

bool syncToDisk(int)
{
    return true; // the copy is closed before it replaces the target
}

#endif

} // namespace filemodes
