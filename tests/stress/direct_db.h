#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

// A connection of the checker's own to a database file, past the program's layer, so what is
// read is what lies in the file. Named uniquely and removed when it goes out of scope.
class DirectDb
{
public:
    explicit DirectDb(const QString &path);
    ~DirectDb();
    DirectDb(const DirectDb &) = delete;
    DirectDb &operator=(const DirectDb &) = delete;

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    // Every row as text, NULL as "<NULL>"; on failure no rows and the reason in *error.
    QList<QStringList> rows(const QString &sql, const QVariantList &params = {},
                            QString *error = nullptr) const;

private:
    QString m_name;
    bool m_ok = false;
    QString m_error;
};
