#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>

// A fresh database file in a temporary program directory, with the settings pointing at it.
class TestDatabase
{
public:
    explicit TestDatabase(bool sampleData = false);
    ~TestDatabase();

    QString directory() const { return m_dir.path(); }
    QString path() const;

    // Straight to the file, bypassing the program's layer; fails the test on error.
    void exec(const QString &sql, const QVariantList &params = {});
    qint64 insert(const QString &sql, const QVariantList &params = {});
    QVariant scalar(const QString &sql, const QVariantList &params = {});
    // Every row as text cells, NULL shown as "<NULL>".
    QList<QStringList> rows(const QString &sql, const QVariantList &params = {});
    int count(const QString &table);
    // All tables' contents, for before/after comparisons.
    QString dump();

    // Conveniences for the common rows.
    qint64 addFloor(const QString &name);
    qint64 addRoom(const QString &number, double price = 120, int status = 1, const QString &floor = {});

private:
    QTemporaryDir m_dir;
    QString m_connectionName;
};
