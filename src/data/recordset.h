#pragma once

#include "data/schema.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVector>
#include <memory>

class Connection;
class Statement;

// A record set over one select, addressed by column ordinal only. It serves the five ways
// the program touches rows: list, lookup, insert (addNew/update), rewrite (setField/update);
// commands go straight through Connection::execute.
class Recordset
{
public:
    explicit Recordset(Connection &connection);
    ~Recordset();

    // "select * from <table> [where ...]" with "?" placeholders for every typed value. The
    // columns it returns tell which table of the schema the rows belong to.
    void open(const QString &select, const QVariantList &params = {});
    void close();

    // Both true right after open() means the select found nothing.
    bool eof() const;
    bool bof() const;
    void moveNext();

    int fieldCount() const;
    // NULL comes back as an invalid QVariant; date-time columns as QDateTime.
    QVariant field(int ordinal) const;
    // The value as the store keeps it (date-times as their stored text): for lists, which turn
    // only the cells they show into text.
    QVariant stored(int ordinal) const;
    // The value as the operator sees it; NULL reads as empty.
    QString text(int ordinal) const;

    // Begins a new row; column 0 is left to the database.
    void addNew();
    // Holds a value for the current (or new) row until update(). Text given for a number,
    // 16-bit integer or date-time column is converted first; a conversion that fails throws.
    void setField(int ordinal, const QVariant &value);
    // Stores the new or changed row.
    void update();
    // Key of the row last stored by update() after addNew().
    qint64 lastInsertedKey() const { return m_lastKey; }

    // The table of the rows; nullptr when the select is not all columns of one of ours.
    const schema::Table *table() const { return m_table; }

private:
    QVariant storageValue(int ordinal, const QVariant &value) const;
    // Runs the select held back by open(), if any.
    void run() const;

    Connection &m_connection;
    mutable std::unique_ptr<Statement> m_statement;
    // On a server, the select until its rows are first asked for: a server sends every row of a
    // select once it runs, and a record set opened to add a row reads none.
    mutable QString m_heldSelect;
    mutable QVariantList m_heldParams;
    const schema::Table *m_table = nullptr;
    int m_columns = 0;
    mutable bool m_eof = true;
    mutable bool m_bof = true;
    bool m_adding = false;
    QVector<int> m_pendingOrdinals;
    QVariantList m_pendingValues;
    qint64 m_lastKey = -1;
};
