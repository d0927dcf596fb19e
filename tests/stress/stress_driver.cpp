// Runs random desk operations through the real windows on one database file, one progress
// line per operation, until it has done the number asked for or is killed. Started again on
// the same file, it carries on from whatever state it finds there; a missing file is first
// made with the hotel's rooms.
//
//   quillon-stress-driver <database file> <seed> [operations]

#include "data/house_location.h"
#include "hotel_file.h"
#include "stay_operations.h"
#include "test_database.h"
#include "test_seam.h"
#include "ui/seams.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    stress::quietOffscreenWarnings();
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: quillon-stress-driver <database file> <seed> [operations]\n");
        return 2;
    }
    const QFileInfo file(args[1]);
    if (!file.exists()) {
        const QString error = stress::createHotel(file.absoluteFilePath());
        if (!error.isEmpty()) {
            std::fprintf(stderr, "cannot create %s: %s\n", qPrintable(args[1]), qPrintable(error));
            return 2;
        }
    }
    HouseLocation house{file.absolutePath()};
    house.fileName = file.fileName();
    TestDatabase::logInEveryRight(house);
    const quint64 seed = args[2].toULongLong();
    const int limit = args.size() > 3 ? args[3].toInt() : 0;

    TestSeam seam;
    stress::OperationGenerator generator(seed, seam);
    for (int n = 1; limit == 0 || n <= limit; ++n) {
        const stress::Operation op = generator.next();
        QString said;
        for (const stress::Message &m : op.messages) {
            // A failure the input did not call for is the store letting the desk down.
            const bool unexpected = m.kind == ui::MessageKind::Warning && !op.mayFail();
            said += (unexpected ? u" FAILED: "_s : u" ["_s + stress::kindName(m.kind) + u"] "_s) + m.text;
        }
        std::printf("op %d %s%s\n", n, qPrintable(stress::kindName(op.kind)), said.toUtf8().constData());
        std::fflush(stdout);
    }
    return 0;
}
