#include "direct_db.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

using namespace Qt::Literals::StringLiterals;

DirectDb::DirectDb(const QString &path) : m_name(u"stress-"_s + QUuid::createUuid().toString())
{
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
    db.setDatabaseName(path);
    m_ok = db.open();
    if (!m_ok)
        m_error = db.lastError().text();
}

DirectDb::~DirectDb()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

QList<QStringList> DirectDb::rows(const QString &sql, const QVariantList &params, QString *error) const
{
    QList<QStringList> out;
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    const auto fail = [&] {
        if (error)
            *error = q.lastError().text();
        return QList<QStringList>{};
    };
    if (!q.prepare(sql))
        return fail();
    for (const QVariant &p : params)
        q.addBindValue(p);
    if (!q.exec())
        return fail();
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < q.record().count(); ++i)
            row.append(q.value(i).isNull() ? u"<NULL>"_s : q.value(i).toString());
        out.append(row);
    }
    return out;
}
