#include "data/module1.h"

#include "data/connection_string.h"
#include "data/server_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace Module1 {

QString DbFileName;
QString DbPassword;

namespace {
QString &overriddenDirectory()
{
    static QString dir;
    return dir;
}

// Resolves links, so /bin on a merged-/usr system counts as /usr/bin.
QString resolved(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? path : canonical);
}

bool isWithin(const QString &path, const QString &root)
{
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    const QString r = QDir::cleanPath(root);
    if (r.isEmpty())
        return false;
    if (path.compare(r, cs) == 0)
        return true;
    const QString prefix = r.endsWith(u'/') ? r : r + u'/';
    return path.startsWith(prefix, cs);
}
} // namespace

QString programDirectory()
{
    if (!overriddenDirectory().isEmpty())
        return overriddenDirectory();
    return QCoreApplication::applicationDirPath();
}

void setProgramDirectory(const QString &dir)
{
    overriddenDirectory() = dir;
}

QStringList systemProgramRoots()
{
#ifdef Q_OS_WIN
    QStringList roots;
    for (const char *name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
        const QString dir = qEnvironmentVariable(name);
        if (!dir.isEmpty())
            roots.append(QDir::fromNativeSeparators(dir));
    }
    return roots;
#else
    return {u"/usr"_s, u"/bin"_s, u"/sbin"_s};
#endif
}

bool isInstalledProgramDirectory(const QString &programDir, const QStringList &systemRoots)
{
    if (programDir.isEmpty())
        return false;
    const QString dir = resolved(programDir);
    for (const QString &root : systemRoots) {
        if (isWithin(dir, root) || isWithin(dir, resolved(root)))
            return true;
    }
    return false;
}

QString userDataDirectory()
{
    // Not the application name: it would change with the name set at start-up.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base.isEmpty() ? QString() : base + u"/quillon"_s;
}

QString houseDirectory()
{
    const QString dir = programDirectory();
    if (isInstalledProgramDirectory(dir, systemProgramRoots()))
        return userDataDirectory();
    return dir;
}

QString databasePath()
{
    return houseDirectory() + u'/' + DbFileName;
}

QString connectionString()
{
    if (const QString server = serverstore::configuredServer(); !server.isEmpty())
        return serverstore::buildConnectionString(server, DbPassword);
    return buildConnectionString(houseDirectory(), DbFileName, DbPassword);
}

} // namespace Module1
