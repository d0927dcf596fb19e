#include "server_sql.h"

#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace testsql {

namespace {

// "select top N rest" as "select rest limit N", in key order unless ordered already.
QString topToLimit(const QString &sql)
{
    static const QRegularExpression top(u"^\\s*select\\s+top\\s+(\\d+)\\s+(.*)$"_s,
                                        QRegularExpression::CaseInsensitiveOption |
                                            QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = top.match(sql);
    if (!m.hasMatch())
        return sql;
    QString rest = m.captured(2);
    if (!rest.contains(u"order by"_s, Qt::CaseInsensitive))
        rest += u" order by 1"_s;
    return u"select "_s + rest + u" limit "_s + m.captured(1);
}

// Names in brackets, outside quoted text, as quoted identifiers.
QString bracketsToQuotes(const QString &sql)
{
    if (!sql.contains(u'['))
        return sql;
    QString out;
    out.reserve(sql.size() + 4);
    bool inText = false;
    for (QChar c : sql) {
        if (c == u'\'')
            inText = !inText;
        if (!inText && (c == u'[' || c == u']'))
            out += u'"';
        else
            out += c;
    }
    return out;
}

// Names that mix Chinese with capital letters quoted, everywhere outside quoted text.
QString quoteMixedNames(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 8);
    QChar quote;
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            out += c;
            if (c == quote)
                quote = QChar();
            ++i;
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
            out += c;
            ++i;
            continue;
        }
        if (!c.isLetter() && c != u'_') {
            out += c;
            ++i;
            continue;
        }
        qsizetype end = i;
        bool wide = false;
        bool capital = false;
        while (end < sql.size() && (sql.at(end).isLetterOrNumber() || sql.at(end) == u'_')) {
            wide = wide || sql.at(end).unicode() > 0x7f;
            capital = capital || (sql.at(end) >= u'A' && sql.at(end) <= u'Z');
            ++end;
        }
        const QStringView word = QStringView(sql).mid(i, end - i);
        if (wide && capital)
            out += u'"' + word.toString() + u'"';
        else
            out += word;
        i = end;
    }
    return out;
}

// A plain "select * from <table> [where …]" in key order, as the file gives it.
QString inKeyOrder(const QString &sql)
{
    static const QRegularExpression plain(u"^\\s*select\\s+\\*\\s+from\\s"_s,
                                          QRegularExpression::CaseInsensitiveOption);
    if (!plain.match(sql).hasMatch() || sql.contains(u"order by"_s, Qt::CaseInsensitive) ||
        sql.contains(u" limit "_s, Qt::CaseInsensitive))
        return sql;
    return sql + u" order by 1"_s;
}

} // namespace

QString forServer(const QString &sql)
{
    // "collate nocase" stays: the server house defines a collation of that name.
    return inKeyOrder(topToLimit(quoteMixedNames(bracketsToQuotes(sql))));
}

} // namespace testsql
