// Creates a new database file for Quillon: the tables, the first operator with every right,
// the company row and (unless --empty) sample floors, rooms and stays. With --server the house
// goes to a PostgreSQL server instead, new or (--from) moved from an existing file; there it also
// lets a desk role in (--desk-role), upgrades an older house (--upgrade) and checks a desk's
// set-up (--check). An Access house of the old desk program comes across with --from (told from a
// Quillon house by its first bytes); --inspect only looks at one.
#include "data/access_house.h"
#include "data/database_builder.h"
#include "data/house_location.h"
#include "data/house_transfer.h"
#include "data/server_admin.h"
#include "data/server_store.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

// One line per answer; non-zero at the first that fails.
int check(const HouseLocation &house, const std::optional<serverstore::Server> &server)
{
    if (!server) {
        std::fprintf(stderr, "no server: %s names none; give --server\n", qPrintable(house.settingsPath()));
        return 1;
    }
    for (const serveradmin::Answer &a : serveradmin::check(*server)) {
        const char *mark = a.kind == serveradmin::Answer::Kind::Ok        ? "ok     "
                           : a.kind == serveradmin::Answer::Kind::Warning ? "warning"
                                                                          : "FAILED ";
        // The server's words may run over several lines.
        std::printf("%s %s\n", mark, qPrintable(a.text.simplified()));
        if (a.kind == serveradmin::Answer::Kind::Failed)
            return 1;
    }
    return 0;
}

const char Usage[] =
    "usage: quillon-createdb [--empty] PATH/innkeep.mdb\n"
    "       quillon-createdb --from OLD.mdb PATH/innkeep.mdb          (an Access house of the old program)\n"
    "       quillon-createdb --inspect OLD.mdb\n"
    "       quillon-createdb --server CONNINFO [--empty | --from PATH/innkeep.mdb | --from OLD.mdb] "
    "[--desk-role ROLE]\n"
    "       quillon-createdb --server CONNINFO --desk-role ROLE     (a house already there)\n"
    "       quillon-createdb --server CONNINFO --upgrade\n"
    "       quillon-createdb [--server CONNINFO | --house DIR] --check\n"
    "       quillon-createdb --help | --version\n"
    "--ignore-lock-file brings an Access house across although its .ldb lock file is beside it.\n";

// The import's report on standard output; its failure, if any, on standard error.
int printImport(const accesshouse::Report &r)
{
    std::printf("%s\n", qPrintable(accesshouse::reportText(r)));
    if (r.ok())
        return 0;
    std::fprintf(stderr, "%s\n", qPrintable(accesshouse::problemText(r.failure)));
    return 1;
}

int report(const QString &error, const QString &done)
{
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(done));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    dbbuild::Options options;
    options.password = HousePassword.toString();
    QString path;
    QString serverArgument;
    // The house of a program in this folder, as a desk here would find it.
    HouseLocation house = houseLocationFor(QCoreApplication::applicationDirPath());
    QString from;
    QString deskRole;
    QString inspected;
    accesshouse::Options import;
    import.password = options.password;
    import.operatorName = u"quillon-createdb"_s;
    bool checking = false;
    bool upgrading = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == u"--help"_s) {
            std::fputs(Usage, stdout);
            return 0;
        } else if (a == u"--version"_s) {
            std::printf("quillon-createdb %s\n", QUILLON_VERSION);
            return 0;
        } else if (a == u"--empty"_s)
            options.sampleData = false;
        else if (a == u"--ignore-lock-file"_s)
            import.ignoreLockFile = true;
        else if (a == u"--inspect"_s && i + 1 < args.size())
            inspected = args.at(++i);
        else if (a == u"--check"_s)
            checking = true;
        else if (a == u"--upgrade"_s)
            upgrading = true;
        else if ((a == u"--server"_s || a == u"--from"_s || a == u"--desk-role"_s) && i + 1 < args.size())
            (a == u"--server"_s ? serverArgument : a == u"--from"_s ? from : deskRole) = args.at(++i);
        else if (a == u"--house"_s && i + 1 < args.size())
            house = HouseLocation{args.at(++i)};
        else if (a.startsWith(u"--"_s)) {
            std::fprintf(stderr, "unknown option %s\n", qPrintable(a));
            return 2;
        } else
            path = a;
    }
    if (!inspected.isEmpty())
        return printImport(accesshouse::inspect(inspected));
    const bool fromAccess = !from.isEmpty() && accesshouse::isAccessFile(from);
    // The limits of the desk's own quillon.ini hold for any server; its line is named for the text
    // that came from it.
    const std::optional<serverstore::Server> configured = serverstore::configuredServer(house.settingsPath());
    const bool named = configured && configured->conninfo == serverArgument;
    const serverstore::Server server(serverArgument, named ? configured->settingsLine : 0,
                                     configured ? configured->limits : serverstore::Limits());
    if (checking)
        // Without --server, the server the desk's own quillon.ini names, with its limits.
        return check(house, serverArgument.isEmpty() ? configured : server);
    if (upgrading && !serverArgument.isEmpty())
        return report(serveradmin::upgrade(server), u"the house is up to date"_s);
    if (!serverArgument.isEmpty() && path.isEmpty()) {
        // A house already there only lets the desk role in.
        if (!deskRole.isEmpty() && from.isEmpty() && serveradmin::holdsHouse(server))
            return report(serveradmin::grantDeskRole(server, deskRole),
                          u"granted %1 what a desk needs on the house"_s.arg(deskRole));
        if (fromAccess) {
            const int status = printImport(accesshouse::importToServer(from, server, import));
            if (status != 0 || deskRole.isEmpty())
                return status;
            return report(serveradmin::grantDeskRole(server, deskRole),
                          u"granted %1 what a desk needs on the house"_s.arg(deskRole));
        }
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
        if (!deskRole.isEmpty())
            return report(serveradmin::grantDeskRole(server, deskRole),
                          u"granted %1 what a desk needs on the house"_s.arg(deskRole));
        return 0;
    }
    if (fromAccess && !path.isEmpty())
        return printImport(accesshouse::importToFile(from, path, import));
    if (!from.isEmpty() && !path.isEmpty()) {
        std::fprintf(stderr, "%s is not an Access file: a Quillon house file is copied as it is.\n",
                     qPrintable(from));
        return 1;
    }
    if (path.isEmpty() || !from.isEmpty()) {
        std::fputs(Usage, stderr);
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
