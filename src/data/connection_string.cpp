#include "data/connection_string.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace {

// A value that holds ";" or "=" or a quote, or starts or ends with a blank, goes between double
// quotes with inner ones doubled, as connection strings do; any other stays as it is.
QString quotedIfNeeded(const QString &value)
{
    const bool needs = value.contains(u';') || value.contains(u'=') || value.contains(u'"') ||
                       value.startsWith(u'\'') ||
                       (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace()));
    if (!needs)
        return value;
    QString doubled = value;
    doubled.replace(u"\""_s, u"\"\""_s);
    return u'"' + doubled + u'"';
}

// "dir\file" back to a path. A folder that is a POSIX path ("/…") takes "\" as an ordinary
// character, so only the last one, which the string put in, separates; others are Windows
// paths whose "\" are all separators.
QString pathFromDataSource(const QString &value)
{
    const qsizetype last = value.lastIndexOf(u'\\');
    QString path;
    if (value.startsWith(u'/') && last >= 0) {
        path = value.left(last) + u'/' + value.mid(last + 1);
    } else {
        path = value;
        path.replace(u'\\', u'/');
    }
    // "/dir/" + "\" + file leaves a doubled separator.
    while (path.contains(u"//"_s))
        path.replace(u"//"_s, u"/"_s);
    return path;
}

} // namespace

QString buildConnectionString(const QString &programDir, const QString &fileName, const QString &password)
{
    // The separator goes in whatever the directory ends with.
    return u"provider=Microsoft.Jet.Oledb.4.0;Data Source="_s +
           quotedIfNeeded(programDir + u"\\"_s + fileName) + u";Jet Oledb:Database PassWord="_s +
           quotedIfNeeded(password) + u";"_s;
}

ConnectionTarget parseConnectionString(const QString &connectionString)
{
    ConnectionTarget target;
    bool haveSource = false;
    bool havePassword = false;
    const qsizetype size = connectionString.size();
    qsizetype i = 0;
    while (i < size) {
        // Keys are case-insensitive and run to "="; a part without one is skipped.
        const qsizetype eq = connectionString.indexOf(u'=', i);
        const qsizetype end = connectionString.indexOf(u';', i);
        if (eq < 0 || (end >= 0 && end < eq)) {
            if (end < 0)
                break;
            i = end + 1;
            continue;
        }
        const QString key = connectionString.mid(i, eq - i).trimmed().toLower();
        i = eq + 1;
        while (i < size && connectionString.at(i) == u' ')
            ++i;
        QString value;
        const QChar quote = i < size ? connectionString.at(i) : QChar();
        if (quote == u'"' || quote == u'\'') {
            // Quoted: runs to the closing quote; a doubled quote stands for one.
            for (++i; i < size; ++i) {
                if (connectionString.at(i) == quote) {
                    if (i + 1 < size && connectionString.at(i + 1) == quote) {
                        value += quote;
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += connectionString.at(i);
            }
            const qsizetype next = connectionString.indexOf(u';', i);
            i = next < 0 ? size : next + 1;
        } else {
            const qsizetype next = connectionString.indexOf(u';', i);
            value = connectionString.mid(i, next < 0 ? -1 : next - i);
            i = next < 0 ? size : next + 1;
        }
        if (key == u"data source"_s) {
            target.dataSource = pathFromDataSource(value);
            haveSource = !value.isEmpty();
        } else if (key == u"jet oledb:database password"_s) {
            target.password = value;
            havePassword = true;
        }
    }
    target.valid = haveSource && havePassword;
    return target;
}
