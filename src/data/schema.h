#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace dialect {
enum class Engine;
}

// The tables of the database file and the kind of every column, in ordinal order.
namespace schema {

enum class ColumnType { Key, Text, Int16, Number, DateTime };

struct Column {
    QString name;
    ColumnType type;
};

struct Table {
    QString name;
    QList<Column> columns;
    bool appendOnly = false; // rows are added, never rewritten or deleted (but by a wipe)
};

const QList<Table> &tables();
// nullptr when the name is not one of ours.
const Table *table(const QString &name);

struct Index {
    QString name;
    QString table;
    QStringList columns;
    bool caselessFirst = false; // the first column is compared without regard to case
};
// The index's column list, quoted, in parentheses.
QString indexColumns(const Index &index);
const QList<Index> &indexes();

// The condition, in SQL both stores read, that `column` holds no readable date-time (empty,
// NULL or text that is not a time); the statistics by date list such stays whatever the range.
QString unreadableTime(const QString &column);
// The indexes of either store, those above and a partial one of those stays; each statement
// leaves an index that exists alone (houses in a file made before one was added get it when
// opened).
QStringList indexStatements();
inline const QString UnreadableTimeIndex = QString::fromUtf16(u"旅客退房_入住时间不可读");

// The text index of the history search over the searched columns of the completed stays: on the
// file a trigram full-text table kept in step by triggers, with its vocabulary; on a server
// trigram indexes of the lowered columns (pg_trgm) and indexes of their single characters and
// pairs (ShortPieces). The statements create it and fill it from the
// stays already stored; they belong in one transaction.
QStringList searchIndexStatements(dialect::Engine engine);
// The object whose presence tells that a store has the search index.
QString searchIndexName(dialect::Engine engine);
// On a server, the house's function that gives a lowered value's single characters and pairs of
// characters, as text[]; its index answers texts of one or two characters.
inline const QString ShortPieces = QStringLiteral("quillon_pieces");
// The searched text columns of 旅客退房, in the order the file's index holds them.
const QStringList &searchedColumns();
inline const QString SearchIndex = QString::fromUtf16(u"旅客退房_检索");
// Its vocabulary: every trigram with the stays that hold it.
inline const QString SearchTerms = QString::fromUtf16(u"旅客退房_检索词");
// The file's index appends it twice to every value, so that each substring of one or two
// characters begins some trigram and the vocabulary finds it.
inline constexpr char16_t SearchPad = u'\u0001';

// Statements that create an empty store: the tables, their indexes and the search index (unless
// a move fills the store first and adds indexStatements() and searchIndexStatements() after the
// rows) and the access record; a file also records Version, so a later program's house is told
// apart from ours.
QStringList createStatements(dialect::Engine engine, bool indexes = true);
// What an older house lacks, each statement leaving what exists alone: tables added since, and
// the indexes (the search index apart).
QStringList upgradeStatements(dialect::Engine engine);
// The layout of the house this program knows; a house file without a version is as old as 1.
// A file keeps it in its user_version, a server house in VersionTable.
inline constexpr int Version = 1;
inline const QString VersionTable = QStringLiteral("quillon_version");

// Table names used throughout the program.
inline const QString Operators = QString::fromUtf16(u"操作用户");
inline const QString Company = QString::fromUtf16(u"公司配置");
inline const QString Floors = QString::fromUtf16(u"楼层");
inline const QString Rooms = QString::fromUtf16(u"房间");
inline const QString Stays = QString::fromUtf16(u"旅客入住");
inline const QString Reservations = QString::fromUtf16(u"旅客预订");
inline const QString CompletedStays = QString::fromUtf16(u"旅客退房");
inline const QString Takings = QString::fromUtf16(u"交款");
inline const QString Disbursements = QString::fromUtf16(u"拔款");

// Where the salted hash of the database password lives.
// Who did what: one row per write a desk made, kept through a data initialization.
inline const QString Record = QString::fromUtf16(u"操作记录");
inline const QString AccessTable = QString::fromUtf16(u"quillon_access");

} // namespace schema
