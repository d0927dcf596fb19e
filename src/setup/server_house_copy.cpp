#include "setup/server_house_copy.h"

#include "data/connection.h"
#include "data/db_error.h"
#include "data/house_transfer.h"
#include "data/module1.h"
#include "data/schema.h"
#include "data/server_store.h"
#include "setup/database_copy.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;

namespace setup {

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
    } catch (const DbError &e) {
        return e.text();
    }
    return copyDatabaseFile(snapshot, target);
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
        if (!QDir().mkpath(beforeInitFolder(house)))
            throw DbError(u"无法建立文件夹“"_s + beforeInitFolder(house) +
                          u"”，初始化前的数据库副本无法保存。"_s);
        copy = beforeInitCopyPath(house, QDateTime::currentDateTime());
        if (const QString why = copyDatabaseFile(snapshot, copy); !why.isEmpty()) {
            copy.clear();
            throw DbError(u"初始化前的数据库副本无法保存："_s + why);
        }
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
