#include "data/dialect.h"

#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace dialect {

QString translate(Engine engine, const QString &sql)
{
    switch (engine) {
    case Engine::Sqlite: {
        // SQLite reads "[name]" and "collate nocase" as they are; only the row limit differs.
        static const QRegularExpression top(u"^\\s*select\\s+top\\s+(\\d+)\\s+(.*)$"_s,
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch m = top.match(sql);
        if (!m.hasMatch())
            return sql;
        return u"select "_s + m.captured(2) + u" limit "_s + m.captured(1);
    }
    }
    return sql;
}

QString rowWindow(Engine engine)
{
    switch (engine) {
    case Engine::Sqlite:
        return u" limit ? offset ?"_s;
    }
    return {};
}

QString autoKey(Engine engine)
{
    switch (engine) {
    case Engine::Sqlite:
        return u"INTEGER PRIMARY KEY AUTOINCREMENT"_s;
    }
    return {};
}

QString quoted(const QString &identifier)
{
    QString inner = identifier;
    inner.replace(u'"', u"\"\""_s);
    return u"\""_s + inner + u"\""_s;
}

} // namespace dialect
