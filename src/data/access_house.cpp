#include "data/access_house.h"

#include "data/access_pipe.h"
#include "data/access_reader.h"
#include "data/access_rows.h"
#include "data/access_writer.h"
#include "data/file_modes.h"
#include "data/house_copy.h"
#include "data/house_transfer.h"
#include "data/schema.h"
#include "data/server_store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace accesshouse {

using detail::Stop;

namespace {

Stop stop(Problem problem, QString detail = {}, QString table = {})
{
    Failure f;
    f.problem = problem;
    f.detail = std::move(detail);
    f.table = std::move(table);
    return Stop{f};
}

// The Access file copied, before anything reads it, into a folder only this account can read:
// a page the old program is writing meanwhile is never read half-written, and the file itself
// is only ever read.
class PrivateCopy
{
public:
    explicit PrivateCopy(const QString &source)
    {
        if (!QFileInfo::exists(source) || !filemodes::isRegularFile(source))
            throw stop(Problem::Missing);
        if (!m_folder.isValid())
            throw stop(Problem::WriteFailed, m_folder.errorString());
        m_path = m_folder.filePath(u"source."_s + QFileInfo(source).suffix());
        QFile from(source);
        if (!from.open(QIODevice::ReadOnly))
            throw stop(Problem::Unreadable, from.errorString());
        QFile to(m_path);
        if (!to.open(QIODevice::WriteOnly))
            throw stop(Problem::WriteFailed, to.errorString());
        QByteArray chunk;
        while (!(chunk = from.read(1 << 20)).isEmpty()) {
            if (to.write(chunk) != chunk.size())
                throw stop(Problem::WriteFailed, to.errorString());
        }
        if (from.error() != QFile::NoError)
            throw stop(Problem::Unreadable, from.errorString());
    }

    const QString &path() const { return m_path; }

    // Moves the copy to `target`, forced to disk.
    void keepAt(const QString &target)
    {
        const qint64 size = QFileInfo(m_path).size();
        if (!QFile::rename(m_path, target) || QFileInfo(target).size() != size)
            throw stop(Problem::DestinationUnwritable, target);
        QFile kept(target);
        if (!kept.open(QIODevice::ReadWrite) || !filemodes::syncToDisk(kept.handle()))
            throw stop(Problem::DestinationUnwritable, target);
    }

private:
    QTemporaryDir m_folder;
    QString m_path;
};

void openReader(AccessReader &reader, const QString &path, Report &report)
{
    switch (reader.open(path)) {
    case AccessReader::Opened::Ok:
        break;
    case AccessReader::Opened::NotAccess:
        throw stop(Problem::NotAccess);
    case AccessReader::Opened::Damaged:
        throw stop(Problem::Damaged);
    case AccessReader::Opened::Encrypted:
        throw stop(Problem::Encrypted);
    case AccessReader::Opened::Unsupported:
        throw stop(Problem::UnsupportedFormat);
    }
    report.format = reader.formatName();
}

Report begin(const QString &accessPath)
{
    Report report;
    report.source = accessPath;
    const QString lock = lockFilePath(accessPath);
    if (QFileInfo::exists(lock))
        report.lockFile = lock;
    return report;
}

void refuseOpenFile(const Report &report, const Options &options)
{
    if (!report.lockFile.isEmpty() && !options.ignoreLockFile)
        throw stop(Problem::InUse, report.lockFile);
}

// Every table's rows and every sum equal on both sides, or the first table that differs.
void verify(const Report &report)
{
    for (const TableCount &t : report.tables) {
        if (t.read != t.written)
            throw stop(Problem::Mismatch, u"读出 %1 行，写入 %2 行"_s.arg(t.read).arg(t.written), t.table);
    }
    for (const MoneySum &s : report.sums) {
        if (s.readCents != s.writtenCents)
            throw stop(Problem::Mismatch,
                       u"“%1”合计读出 %2 分，写入 %3 分"_s.arg(s.column).arg(s.readCents).arg(s.writtenCents),
                       s.table);
    }
}

QString operatorOf(const Options &options)
{
    if (!options.operatorName.isEmpty())
        return options.operatorName;
    const QString account = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return account.isEmpty() ? u"quillon"_s : account;
}

// What the new house file is for: a desk's house, or only the rows on their way to a server,
// which builds its own indexes.
enum class Use { House, Transfer };

// The Access house read from `copy` into a new house file at `temp`, proved and recorded.
void writeHouse(const QString &copy, const QString &temp, Report &report, const Options &options,
                Use use = Use::House)
{
    AccessReader reader;
    openReader(reader, copy, report);
    detail::HouseFileWriter writer(temp);
    {
        detail::PipedSink pipe(writer);
        detail::readHouse(reader, report, &pipe, options.progress);
        pipe.close();
    }
    writer.countWritten(report);
    verify(report);
    writer.finish(options.password, operatorOf(options), reportText(report), use == Use::House);
    QFile written(temp);
    if (!written.open(QIODevice::ReadWrite) || !filemodes::syncToDisk(written.handle()))
        throw stop(Problem::WriteFailed, written.errorString());
}

// A new empty private file beside `target`, for the house until it is whole; removed unless
// dismissed.
QString newTempBeside(const QString &target)
{
    const QFileInfo info(target);
    if (!QFileInfo(info.absolutePath()).isDir())
        throw stop(Problem::DestinationUnwritable, info.absolutePath());
    // What an import cut short by a kill or a power cut left: an import writes its file all the
    // time, so one untouched for an hour is nobody's.
    const QDateTime stale = QDateTime::currentDateTime().addSecs(-3600);
    // Matched by hand: a name filter is a regular expression, whose per-thread stack a worker
    // thread's end under Windows failed to free.
    const QString prefix = info.fileName() + u".importing-"_s;
    const QFileInfoList files = info.absoluteDir().entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &left : files) {
        if (left.fileName().startsWith(prefix) && left.lastModified() < stale)
            QFile::remove(left.absoluteFilePath());
    }
    const QString temp = info.absoluteDir().filePath(info.fileName() + u".importing-"_s +
                                                     QUuid::createUuid().toString(QUuid::Id128).left(8));
    QFile file;
    const QString error = filemodes::openNewPrivate(file, temp);
    if (!error.isEmpty())
        throw stop(Problem::DestinationUnwritable, error);
    return temp;
}

#if QUILLON_SERVER_STORE
// Runs `work` on a connection of its own to the server. Throws DbError.
void onServer(const serverstore::Server &server, const std::function<void(QSqlDatabase &)> &work)
{
    const QString name = u"quillon-access-check-"_s + QUuid::createUuid().toString();
    const auto drop = qScopeGuard([&name] { QSqlDatabase::removeDatabase(name); });
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
    const auto close = qScopeGuard([&db] { db.close(); });
    serverstore::open(db, server);
    work(db);
}

// The rows and sums the server house holds, as the file's were counted.
void countOnServer(QSqlDatabase &db, Report &report)
{
    QSqlQuery q(db);
    for (TableCount &t : report.tables) {
        if (!q.exec(u"select count(*) from \""_s + t.table + u"\""_s) || !q.next())
            throw serverstore::errorOf(q.lastError());
        t.written = q.value(0).toLongLong();
    }
    for (MoneySum &s : report.sums) {
        // A double's numeric is its shortest text, rounded in decimal as centsOf() rounds it.
        if (!q.exec(u"select coalesce(sum(round(\""_s + s.column +
                    u"\"::numeric * 100)), 0)::bigint from \""_s + s.table + u"\""_s) ||
            !q.next())
            throw serverstore::errorOf(q.lastError());
        s.writtenCents = q.value(0).toLongLong();
    }
}
#endif

Report fileHouse(const QString &accessPath, const QString &housePath, const Options &options, Use use)
{
    Report report = begin(accessPath);
    try {
        refuseOpenFile(report, options);
        if (QFileInfo::exists(housePath))
            throw stop(Problem::DestinationExists, housePath);
        const QString temp = newTempBeside(housePath);
        auto removeTemp = qScopeGuard([&temp] { QFile::remove(temp); });
        {
            PrivateCopy copy(accessPath);
            writeHouse(copy.path(), temp, report, options, use);
        }
        // Never over a file that appeared meanwhile.
        if (!QFile::rename(temp, housePath))
            throw stop(QFileInfo::exists(housePath) ? Problem::DestinationExists
                                                    : Problem::DestinationUnwritable,
                       housePath);
        removeTemp.dismiss();
    } catch (const Stop &s) {
        report.failure = s.failure;
    }
    return report;
}

} // namespace

qint64 Report::oddCount(Oddity kind) const
{
    return int(kind) < oddTotals.size() ? oddTotals[int(kind)] : 0;
}

bool isAccessFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(19);
    return head == QByteArray("\x00\x01\x00\x00Standard Jet DB", 19) ||
           head == QByteArray("\x00\x01\x00\x00Standard ACE DB", 19);
}

QString lockFilePath(const QString &accessPath)
{
    const QFileInfo info(accessPath);
    const bool accdb = info.suffix().compare(u"accdb"_s, Qt::CaseInsensitive) == 0;
    return info.absoluteDir().filePath(info.completeBaseName() + (accdb ? u".laccdb"_s : u".ldb"_s));
}

Report inspect(const QString &accessPath, const Progress &progress)
{
    Report report = begin(accessPath);
    try {
        PrivateCopy copy(accessPath);
        AccessReader reader;
        openReader(reader, copy.path(), report);
        detail::readHouse(reader, report, nullptr, progress);
    } catch (const Stop &s) {
        report.failure = s.failure;
    }
    return report;
}

Report importToFile(const QString &accessPath, const QString &housePath, const Options &options)
{
    return fileHouse(accessPath, housePath, options, Use::House);
}

Report importToServer(const QString &accessPath, const serverstore::Server &server, const Options &options)
{
    QTemporaryDir folder;
    if (!folder.isValid()) {
        Report report = begin(accessPath);
        report.failure = stop(Problem::WriteFailed, folder.errorString()).failure;
        return report;
    }
    const QString file = folder.filePath(HouseFileName.toString());
#if QUILLON_SERVER_STORE
    // A server that holds a house is told before the long read, not after it.
    try {
        bool holds = false;
        onServer(server, [&holds](QSqlDatabase &db) { holds = serverstore::holdsHouse(db); });
        if (holds)
            throw stop(Problem::WriteFailed, u"服务器上已经有一家旅馆的数据，不会覆盖。"_s);
    } catch (const DbError &e) {
        Report report = begin(accessPath);
        report.failure = stop(Problem::WriteFailed, e.text()).failure;
        return report;
    } catch (const Stop &s) {
        Report report = begin(accessPath);
        report.failure = s.failure;
        return report;
    }
#endif
    Report report = fileHouse(accessPath, file, options, Use::Transfer);
    if (!report.ok())
        return report;
    try {
#if QUILLON_SERVER_STORE
        const QString error = housetransfer::fileToServer(file, server);
        if (!error.isEmpty())
            throw stop(Problem::WriteFailed, error);
        onServer(server, [&report](QSqlDatabase &db) { countOnServer(db, report); });
        verify(report);
#else
        Q_UNUSED(server);
        throw stop(Problem::WriteFailed, u"这个版本的 Quillon 不带数据库服务器支持。"_s);
#endif
    } catch (const DbError &e) {
        report.failure = stop(Problem::WriteFailed, e.text()).failure;
    } catch (const Stop &s) {
        report.failure = s.failure;
    }
    return report;
}

Report importInPlace(const QString &housePath, const Options &options, QString *keptAt)
{
    Report report = begin(housePath);
    try {
        refuseOpenFile(report, options);
        if (!QFileInfo::exists(housePath))
            throw stop(Problem::Missing);
        if (!isAccessFile(housePath))
            throw stop(Problem::NotAccess);
        const QString temp = newTempBeside(housePath);
        auto removeTemp = qScopeGuard([&temp] { QFile::remove(temp); });
        PrivateCopy copy(housePath);
        writeHouse(copy.path(), temp, report, options);
        // The copy that was read is the one kept: byte for byte the file as it was imported.
        const QString folder = housecopy::beforeInitFolder(housePath);
        if (!filemodes::makePrivateFolder(folder))
            throw stop(Problem::DestinationUnwritable, folder);
        const QFileInfo house(housePath);
        const QString stem = house.completeBaseName() + u"-access-"_s +
                             QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
        QString kept = QDir(folder).filePath(stem + u"."_s + house.suffix());
        for (int n = 2; QFileInfo::exists(kept); ++n)
            kept = QDir(folder).filePath(stem + u"-"_s + QString::number(n) + u"."_s + house.suffix());
        copy.keepAt(kept);
        auto removeKept = qScopeGuard([&kept] { QFile::remove(kept); });
        // One step: before it the Access file is there, after it the whole new house.
        const QString error = filemodes::replaceFile(temp, housePath);
        if (!error.isEmpty())
            throw stop(Problem::DestinationUnwritable, error);
        removeTemp.dismiss();
        removeKept.dismiss();
        if (keptAt)
            *keptAt = kept;
    } catch (const Stop &s) {
        report.failure = s.failure;
    }
    return report;
}

} // namespace accesshouse
