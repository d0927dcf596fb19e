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
#elif defined(Q_OS_WIN)
#include <fcntl.h>
#include <io.h>
#include <string>
#include <windows.h>

#include <sddl.h> // after windows.h, which it needs
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

QString openNewPrivate(QFile &file, const QString &path)
{
    file.setFileName(path);
    if (file.open(QIODevice::ReadWrite | QIODevice::NewOnly,
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return {};
    return file.errorString();
}

QString replaceFile(const QString &from, const QString &to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return {};
    return qt_error_string(errno);
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

#elif defined(Q_OS_WIN)

namespace {

std::wstring wide(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// A security descriptor that lets only the current user (and the system) in, as mode 0600 and
// 0700 do; null if it cannot be made. The caller frees it with LocalFree.
PSECURITY_DESCRIPTOR ownerOnly()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return nullptr;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    QByteArray buffer(qsizetype(size), '\0');
    LPWSTR sid = nullptr;
    const bool ok = size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
                    ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid, &sid);
    CloseHandle(token);
    if (!ok)
        return nullptr;
    // Protected (P): nothing inherited from the folder above; OICI: what is made inside inherits it.
    const std::wstring sddl = L"D:P(A;OICI;FA;;;" + std::wstring(sid) + L")(A;OICI;FA;;;SY)";
    LocalFree(sid);
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &sd, nullptr))
        return nullptr;
    return sd;
}

// One byte far past any data: locking it marks the file without blocking its reads and writes.
constexpr DWORD LockOffsetHigh = 0x7fffffff;

bool lockMark(HANDLE h)
{
    OVERLAPPED at = {};
    at.OffsetHigh = LockOffsetHigh;
    return LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
}

bool identity(const QString &path, BY_HANDLE_FILE_INFORMATION *info)
{
    // No access asked for: even a file another program holds open tells who it is.
    const HANDLE h =
        CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = GetFileInformationByHandle(h, info);
    CloseHandle(h);
    return ok;
}

} // namespace

bool createPrivateFile(const QString &path)
{
    PSECURITY_DESCRIPTOR sd = ownerOnly();
    SECURITY_ATTRIBUTES sa = {sizeof sa, sd, FALSE};
    const HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, sd ? &sa : nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    LocalFree(sd);
    return h != INVALID_HANDLE_VALUE && CloseHandle(h);
}

bool copyPermissions(const QString &model, const QString &target)
{
    return QFile::setPermissions(target, QFileInfo(model).permissions());
}

QString openNewPrivate(QFile &file, const QString &path)
{
    PSECURITY_DESCRIPTOR sd = ownerOnly();
    SECURITY_ATTRIBUTES sa = {sizeof sa, sd, FALSE};
    // Shared for deletion too, or Windows refuses to rename the file while it stays open (and
    // locked); the rest as Qt opens files.
    const HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, sd ? &sa : nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = GetLastError();
    LocalFree(sd);
    if (h == INVALID_HANDLE_VALUE)
        return qt_error_string(int(error));
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDWR | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        DeleteFileW(wide(path).c_str());
        return qt_error_string(ERROR_TOO_MANY_OPEN_FILES);
    }
    if (!file.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        const QString why = file.errorString();
        _close(fd);
        DeleteFileW(wide(path).c_str());
        return why;
    }
    return {};
}

QString replaceFile(const QString &from, const QString &to)
{
    if (MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    return qt_error_string(int(GetLastError()));
}

bool makePrivateFolder(const QString &path)
{
    PSECURITY_DESCRIPTOR sd = ownerOnly();
    SECURITY_ATTRIBUTES sa = {sizeof sa, sd, FALSE};
    const bool made = CreateDirectoryW(wide(path).c_str(), sd ? &sa : nullptr);
    const DWORD error = GetLastError();
    LocalFree(sd);
    return made || (error == ERROR_ALREADY_EXISTS && QFileInfo(path).isDir());
}

bool sameInode(const QString &a, const QString &b)
{
    // The volume's serial number and the file's index: NTFS's inode, hard links included.
    BY_HANDLE_FILE_INFORMATION ia = {};
    BY_HANDLE_FILE_INFORMATION ib = {};
    return identity(a, &ia) && identity(b, &ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

bool isRegularFile(const QString &path)
{
    // Devices (NUL, COM1, \\.\...) are no files, whatever QFileInfo makes of them.
    BY_HANDLE_FILE_INFORMATION info = {};
    return QFileInfo(path).isFile() && identity(path, &info) &&
           !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

bool syncToDisk(int fd)
{
    const auto h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
}

bool lockWhileOpen(int fd)
{
    const auto h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (h == INVALID_HANDLE_VALUE || !lockMark(h))
        return GetLastError() != ERROR_LOCK_VIOLATION;
    BY_HANDLE_FILE_INFORMATION info = {};
    return GetFileInformationByHandle(h, &info) && info.nNumberOfLinks > 0;
}

bool removeUnlessLocked(const QString &path)
{
    const HANDLE h = CreateFileW(wide(path).c_str(), DELETE | GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    // Removed through the handle that holds the lock: the very file locked, whatever its name now.
    FILE_DISPOSITION_INFO gone = {TRUE};
    const bool removed =
        lockMark(h) && SetFileInformationByHandle(h, FileDispositionInfo, &gone, sizeof gone);
    CloseHandle(h);
    return removed;
}

int maxNameBytes(const QString &folder)
{
    const std::wstring root = wide(QFileInfo(folder).absoluteFilePath().left(3));
    DWORD longest = 0;
    // Windows counts UTF-16 units, not bytes; for the ASCII names of most backups they agree.
    if (!GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, &longest, nullptr, nullptr, 0))
        return 0;
    return longest > 0 && longest < 1 << 20 ? int(longest) : 0;
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

QString openNewPrivate(QFile &file, const QString &path)
{
    file.setFileName(path);
    if (file.open(QIODevice::ReadWrite | QIODevice::NewOnly,
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return {};
    return file.errorString();
}

QString replaceFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    QFile file(from);
    return file.rename(to) ? QString() : file.errorString();
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
