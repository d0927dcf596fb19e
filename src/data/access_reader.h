#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// An Access file read through libmdb, one table at a time, row by row. Values come as stored
// (integers, Currency in ten-thousandths, date doubles, texts), never through libmdb's text
// rendering. Everything libmdb gives is checked before use: a damaged file is told, not read past.
class AccessReader
{
public:
    enum class Opened { Ok, NotAccess, Damaged, Encrypted, Unsupported };
    enum class TableOpened { Ok, Missing, Damaged };
    enum class Row { Ok, End, Damaged };
    enum class Type { Byte, Integer, Long, Currency, Single, Double, DateTime, Text, Memo, Decimal, Other };

    struct Column {
        QString name;
        Type type = Type::Other;
        int scale = 0; // Decimal only
    };

    AccessReader();
    ~AccessReader();
    AccessReader(const AccessReader &) = delete;
    AccessReader &operator=(const AccessReader &) = delete;

    // Opens the file read-only.
    Opened open(const QString &path);
    // Opens bytes in memory, which the reader keeps (for the fuzzer).
    Opened openBytes(const QByteArray &bytes);
    // "Jet 4" and the like; empty before open() succeeded.
    QString formatName() const;

    // The user tables, as the file's catalog lists them.
    const QStringList &tables() const;

    // Makes `name` the table that next() reads, from its first row.
    TableOpened openTable(const QString &name);
    // The open table's columns by position.
    const std::vector<Column> &columns() const;
    // The row count the table's definition records (zero in a file not closed properly).
    qint64 storedRowCount() const;

    Row next();
    // Values of the current row, column `c` of the type its Column says.
    bool isNull(int c) const;
    qint64 integer(int c) const;  // Byte, Integer, Long
    qint64 currency(int c) const; // Currency: ten-thousandths
    double real(int c) const;     // Single, Double, DateTime (days since 1899-12-30)
    // Decimal: false when the value needs more than 63 bits.
    bool decimal(int c, qint64 *mantissa, int *scale) const;
    // Text and Memo: false when a memo's pages cannot be followed.
    bool text(int c, QString *out) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
