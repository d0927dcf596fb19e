#include "data/module1.h"

#include "data/connection_string.h"
#include "data/server_store.h"

#include <QCoreApplication>

namespace Module1 {

QString DbFileName;
QString DbPassword;

namespace {
QString &overriddenDirectory()
{
    static QString dir;
    return dir;
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

QString connectionString()
{
    if (const QString server = serverstore::configuredServer(); !server.isEmpty())
        return serverstore::buildConnectionString(server, DbPassword);
    return buildConnectionString(programDirectory(), DbFileName, DbPassword);
}

} // namespace Module1
