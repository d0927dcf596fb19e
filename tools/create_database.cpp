// Creates a new database file for Quillon: the tables, the first operator with every right,
// the company row and (unless --empty) sample floors, rooms and stays.
#include "data/database_builder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    dbbuild::Options options;
    options.password = u"58316094"_s;
    QString path;
    for (const QString &a : std::as_const(args)) {
        if (a == u"--empty"_s)
            options.sampleData = false;
        else if (a.startsWith(u"--"_s)) {
            std::fprintf(stderr, "unknown option %s\n", qPrintable(a));
            return 2;
        } else
            path = a;
    }
    if (path.isEmpty()) {
        std::fputs("usage: quillon-createdb [--empty] PATH/innkeep.mdb\n", stderr);
        return 2;
    }
    if (QFileInfo::exists(path)) {
        std::fprintf(stderr, "%s already exists; it is left as it is.\n", qPrintable(path));
        return 1;
    }
    const QString error = dbbuild::createDatabase(path, options);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "could not create %s: %s\n", qPrintable(path), qPrintable(error));
        return 1;
    }
    std::printf("created %s (operator: %s / %s)\n", qPrintable(path), qPrintable(options.operatorName),
                qPrintable(options.operatorPassword));
    return 0;
}
