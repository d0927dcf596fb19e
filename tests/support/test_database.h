#pragma once

#include "data/house_location.h"
#include "fault_backend.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>

// A fresh database file in a temporary folder, and a desk's session on it.
// With QUILLON_TEST_SERVER set to a libpq connection string, the house is a fresh schema on that
// server instead, named by a quillon.ini in the same directory: the same tests, the other store.
class TestDatabase
{
public:
    explicit TestDatabase(bool sampleData = false);
    ~TestDatabase();

    QString directory() const { return m_dir.path(); }
    // Where the house is, as a desk finds it.
    HouseLocation location() const { return HouseLocation{m_dir.path()}; }
    QString path() const;
    // The server the house lives on (with its schema), or empty text for the file store.
    QString server() const { return m_server; }
    // The same server as the house's owner (server() may be a desk role's).
    QString ownerServer() const { return m_ownerServer; }
    static QString testServer();
    // This process is a desk at `house` logged in with every right, as admin is in a new house.
    static void logInEveryRight(const HouseLocation &house);

    // Moves the house away, as a desk finds it once the file is deleted or moved: the test's own
    // connection and the desk's are closed first, as Windows neither deletes nor moves an open
    // file. bringBack() puts it back. False when the file could not be moved.
    bool takeAway();
    bool bringBack();

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
    QString m_server;
    QString m_ownerServer;
    QString m_schemaName;
};
