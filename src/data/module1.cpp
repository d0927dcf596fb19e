#include "data/module1.h"

#include "data/connection_string.h"

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
    return buildConnectionString(programDirectory(), DbFileName, DbPassword);
}

} // namespace Module1
