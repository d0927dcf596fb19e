#include "data/connection_string.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

QString buildConnectionString(const QString &programDir, const QString &fileName, const QString &password)
{
    // The separator goes in whatever the directory ends with.
    return u"provider=Microsoft.Jet.Oledb.4.0;Data Source="_s + programDir + u"\\"_s + fileName +
           u";Jet Oledb:Database PassWord="_s + password + u";"_s;
}

ConnectionTarget parseConnectionString(const QString &connectionString)
{
    ConnectionTarget target;
    bool haveSource = false;
    bool havePassword = false;
    // Keys are case-insensitive; a value runs to the next ";" (paths and passwords here hold none).
    const QStringList parts = connectionString.split(u';');
    for (const QString &part : parts) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed().toLower();
        const QString value = part.mid(eq + 1);
        if (key == u"data source"_s) {
            target.dataSource = value;
            target.dataSource.replace(u'\\', u'/');
            // "/dir/" + "\" + file leaves a doubled separator.
            while (target.dataSource.contains(u"//"_s))
                target.dataSource.replace(u"//"_s, u"/"_s);
            haveSource = !value.isEmpty();
        } else if (key == u"jet oledb:database password"_s) {
            target.password = value;
            havePassword = true;
        }
    }
    target.valid = haveSource && havePassword;
    return target;
}
