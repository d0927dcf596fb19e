#include "data/house_location.h"

#include "data/server_store.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace {

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

QString HouseLocation::filePath() const
{
    return folder.endsWith(u'/') ? folder + fileName : folder + u'/' + fileName;
}

QString HouseLocation::settingsPath() const
{
    return QDir(folder).filePath(SettingsFileName.toString());
}

StoreTarget HouseLocation::storeTarget() const
{
    return {filePath(), serverstore::configuredServer(settingsPath()), password};
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

HouseLocation houseLocationFor(const QString &programDir)
{
    HouseLocation house;
    house.inUserDataFolder = isInstalledProgramDirectory(programDir, systemProgramRoots());
    house.folder = house.inUserDataFolder ? userDataDirectory() : programDir;
    return house;
}
