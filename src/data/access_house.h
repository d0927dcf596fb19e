#pragma once

#include "data/house_location.h"
#include "data/store_target.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

// Houses of the old desk program: a Microsoft Access file (Jet 4 .mdb; Jet 3 and .accdb where
// libmdb reads them) holding the nine tables in their fixed column order. Tables are found by
// name and columns by position, never by the column names, which differ between installations.
// The Access file is never written: every read works on a private copy taken first.
namespace accesshouse {

// Why a file was not brought across, or what stopped the move; problemText() words each.
enum class Problem {
    None,
    Missing,               // no such file, or not a regular file
    Unreadable,            // the system refused to read it
    NotAccess,             // no Access header at all
    TableMissing,          // an Access file without one of the house's tables
    TooFewColumns,         // a house table with fewer columns than the house needs
    WrongType,             // a column whose storage type cannot hold the house's values
    ValueDoesNotFit,       // one value, named by table, key and column
    DuplicateKey,          // two rows of one table with the same key
    Damaged,               // truncated, or pages that cannot be read
    Encrypted,             // encoded or protected so that its pages cannot be read
    UnsupportedFormat,     // an Access version this reader cannot read
    InUse,                 // its lock file is beside it: the old program may have it open
    DestinationExists,     // the new house would overwrite a file
    DestinationUnwritable, // the new house's folder cannot be written
    Mismatch,              // rows or sums written differ from those read
    WriteFailed,           // the new house could not be written (disk full, the server refused)
    Cancelled,
};

struct Failure {
    Problem problem = Problem::None;
    QString table;             // the house table it was found in, if one
    QString column;            // the column as the Access file names it
    int position = -1;         // its ordinal, from 0
    std::optional<qint64> key; // the row's key, if one
    QString detail;            // the value, the system's or the store's own words
};
// One Chinese sentence (two at most) for the operator: what is wrong and where.
QString problemText(const Failure &failure);

// Rows as read from the Access file and as found in the new house afterwards (-1: not written,
// as in inspect()).
struct TableCount {
    QString table;
    qint64 read = 0;
    qint64 written = -1;
};

// A money column summed on both sides, in cents.
struct MoneySum {
    QString table;
    QString column;
    qint64 readCents = 0;
    qint64 writtenCents = 0;
};

// Rows the old program allowed, kept as they are and reported.
enum class Oddity {
    StayWithoutRoom,          // 旅客入住 names a room key that no room has
    ReservationWithoutRoom,   // 旅客预订 likewise
    CompletedStayWithoutRoom, // 旅客退房 likewise
    RoomWithoutFloor,         // 房间 names a floor no floor has
    DuplicateRoomNumber,      // two rooms with one number
    SecondCompanyRow,         // 公司配置 has more than one row: the first is used
    NoCompanyRow,             // 公司配置 has none
    NoOperator,               // 操作用户 has none: nobody could log in
    ExtraColumns,             // a table with more columns than the house keeps: not brought across
};

struct OddRow {
    Oddity kind;
    QString table;
    std::optional<qint64> key;
    QString detail; // the room key, floor name, room number or columns concerned
};

// What a look at, or a move of, an Access house found.
struct Report {
    QString source;   // the Access file as given
    QString format;   // "Access 2000 (Jet 4)" and the like
    QString lockFile; // the lock file found beside it (innkeep.ldb), if any
    QList<TableCount> tables;
    QList<MoneySum> sums;
    QList<OddRow> odd;       // at most MaxOddRowsListed of each kind; oddCount() has them all
    QList<qint64> oddTotals; // per Oddity, by its value: how many rows of each kind
    Failure failure;

    bool ok() const { return failure.problem == Problem::None; }
    qint64 oddCount(Oddity kind) const;
};
inline constexpr int MaxOddRowsListed = 50;

// The report in Chinese, several lines: the file, per table the rows read and written, the sums
// on both sides, each odd row, that passwords are now compared exactly (case matters), and the
// failure if there was one. This is also what the move records in 操作记录.
QString reportText(const Report &report);

// Called every few thousand rows; Cancel stops the work and leaves nothing behind.
enum class Step { Continue, Cancel };
using Progress = std::function<Step(qint64 rowsDone, qint64 rowsTotal)>;

struct Options {
    QString password = HousePassword.toString(); // the new house's database password
    QString operatorName;                        // who moved the house, for 操作记录
    bool ignoreLockFile = false;                 // move it although its lock file is there
    Progress progress;
};

// True when the file begins as an Access database does (Jet or ACE header): told apart from a
// Quillon house by its first bytes, not by its name.
bool isAccessFile(const QString &path);
// The lock file the Access engine keeps beside `accessPath` while open (innkeep.ldb for
// innkeep.mdb, .laccdb for .accdb).
QString lockFilePath(const QString &accessPath);

// Reads every row of the Access house and reports counts, sums and odd rows; writes nothing.
Report inspect(const QString &accessPath, const Progress &progress = {});

// Makes a new house file at `housePath` from the Access house: written whole into a temporary
// file beside it and put in place only when every row and sum checked out; keys kept, key
// counters past the largest key; one row in 操作记录 with reportText(). Refuses an existing
// `housePath`. On any failure or cancel nothing is left behind.
Report importToFile(const QString &accessPath, const QString &housePath, const Options &options);

// The same into an empty server house (its libpq connection string), through a house file made
// in a private temporary folder and moved by housetransfer::fileToServer.
Report importToServer(const QString &accessPath, const serverstore::Server &server, const Options &options);

// The first start over an old program's folder: `housePath` is itself an Access file. Makes the
// new house beside it, keeps the Access file byte for byte in the backups folder beside the
// house (innkeep-backups/innkeep-access-yyyyMMdd-HHmmss.mdb), then puts the new house in
// its place in one step. At every moment `housePath` holds either the Access file or the whole
// new house. `keptAt` receives where the Access file was kept.
Report importInPlace(const QString &housePath, const Options &options, QString *keptAt = nullptr);

} // namespace accesshouse
