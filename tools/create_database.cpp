// Creates a new database file for Quillon: the tables, the first operator with every right,
// the company row and (unless --empty) sample floors, rooms and stays. With --server the house
// goes to a PostgreSQL server instead, new or (--from) moved from an existing file.
#include "data/database_builder.h"
#include "data/house_transfer.h"

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
    QString server;
    QString from;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == u"--empty"_s)
            options.sampleData = false;
        else if ((a == u"--server"_s || a == u"--from"_s) && i + 1 < args.size())
            (a == u"--server"_s ? server : from) = args.at(++i);
        else if (a.startsWith(u"--"_s)) {
            std::fprintf(stderr, "unknown option %s\n", qPrintable(a));
            return 2;
        } else
            path = a;
    }
    if (!server.isEmpty() && path.isEmpty()) {
        const QString error = from.isEmpty() ? dbbuild::createServerHouse(server, options)
                                             : housetransfer::fileToServer(from, server);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "could not create the house on the server: %s\n", qPrintable(error));
            return 1;
        }
        if (from.isEmpty())
            std::printf("created the house on the server (operator: %s / %s)\n",
                        qPrintable(options.operatorName), qPrintable(options.operatorPassword));
        else
            std::printf("moved %s to the server\n", qPrintable(from));
        return 0;
    }
    if (path.isEmpty() || !from.isEmpty()) {
        std::fputs("usage: quillon-createdb [--empty] PATH/innkeep.mdb\n"
                   "       quillon-createdb --server CONNINFO [--empty | --from PATH/innkeep.mdb]\n",
                   stderr);
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
