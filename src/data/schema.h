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

// Statements that create an empty store: the tables, their indexes and the access record; a file
// also records Version, so a later program's house is told apart from ours.
QStringList createStatements(dialect::Engine engine);
// The layout of the house this program knows; a house file without a version is as old as 1.
inline constexpr int Version = 1;

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
inline const QString AccessTable = QString::fromUtf16(u"quillon_access");

} // namespace schema
