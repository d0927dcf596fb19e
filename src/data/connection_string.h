#pragma once

#include <QString>

QString buildConnectionString(const QString &programDir, const QString &fileName, const QString &password);

struct ConnectionTarget {
    QString dataSource; // file path, with "\" turned into "/"
    QString password;
    bool valid = false;
};

// Reads the data source and password back out of a connection string.
ConnectionTarget parseConnectionString(const QString &connectionString);
