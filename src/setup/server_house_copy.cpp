#include "setup/server_house_copy.h"

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/db_error.h"
#include "data/file_modes.h"
#include "data/house_transfer.h"
#include "data/module1.h"
#include "data/schema.h"
#include "data/server_store.h"
#include "setup/database_copy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;

namespace setup {

namespace {

// The snapshot is a house file of its own: it goes through the same checked, all-or-nothing
// copy as the file store's backups, as private as a house file. Throws DbError.
void copySnapshot(const QString &snapshot, const QString &target)
{
    QFile::setPermissions(snapshot, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QFileInfo file(snapshot);
    Connection connection;
    connection.open(buildConnectionString(file.absolutePath(), file.fileName(), Module1::DbPassword));
    Transaction lock(connection);
    copyDatabase(connection, snapshot, target);
}

} // namespace

QString backupServerHouse(const QString &target)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return u"无法建立临时文件夹："_s + scratch.errorString();
    const QString snapshot = scratch.filePath(Module1::DbFileName);
    try {
        Connection connection;
        connection.open();
        if (const QString why = housetransfer::snapshotToFile(connection.database(), snapshot);
            !why.isEmpty())
            return why;
        copySnapshot(snapshot, target);
    } catch (const DbError &e) {
        return e.text();
    }
    return {};
}

QString wipeServerHouse(const QStringList &statements, QString *copyPath)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return u"无法建立临时文件夹："_s + scratch.errorString();
    const QString snapshot = scratch.filePath(Module1::DbFileName);
    const QString house = Module1::databasePath();
    QString copy;
    try {
        Connection connection;
        connection.open();
        Transaction transaction(connection);
        // Other desks may read meanwhile but not write: nothing lands between copy and wipe.
        QStringList tables;
        for (const schema::Table &t : schema::tables())
            tables.append(u"\""_s + t.name + u"\""_s);
        QSqlQuery lock(connection.database());
        if (!lock.exec(u"lock table "_s + tables.join(u", "_s) + u" in exclusive mode"_s))
            throw DbError(serverstore::describe(lock.lastError()));
        if (const QString why = housetransfer::serverToFile(connection.database(), snapshot); !why.isEmpty())
            throw DbError(u"初始化前的数据库副本无法保存："_s + why);
        if (!filemodes::makePrivateFolder(beforeInitFolder(house)))
            throw DbError(u"无法建立文件夹“"_s + beforeInitFolder(house) +
                          u"”，初始化前的数据库副本无法保存。"_s);
        const QString path = beforeInitCopyPath(house, QDateTime::currentDateTime());
        try {
            copySnapshot(snapshot, path);
        } catch (const DbError &e) {
            throw DbError(u"初始化前的数据库副本无法保存："_s + e.text());
        }
        copy = path;
        for (const QString &sql : statements)
            connection.execute(sql);
        transaction.commit();
    } catch (const DbError &e) {
        if (!copy.isEmpty())
            QFile::remove(copy); // nothing was wiped, so the copy is not needed
        return e.text();
    }
    if (copyPath)
        *copyPath = copy;
    return {};
}

} // namespace setup
