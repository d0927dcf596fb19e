#include "hotel/access_move.h"

#include "data/access_house.h"
#include "data/house_location.h"
#include "data/server_store.h"

#include <QFileInfo>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;

namespace hotel {

namespace {

Outcome refusedFor(accesshouse::Problem problem)
{
    accesshouse::Failure failure;
    failure.problem = problem;
    return Outcome::refused(Refusal::NotBroughtAcross, accesshouse::problemText(failure));
}

accesshouse::Options optionsFor(const HouseLocation &house, const QString &operatorName)
{
    accesshouse::Options options;
    options.password = house.password;
    options.operatorName = operatorName;
    return options;
}

// Runs one move through the desk's runner. A runner that never ran it leaves it cancelled.
accesshouse::Report runMove(const WorkRunner &run, accesshouse::Options options,
                            const std::function<accesshouse::Report(const accesshouse::Options &)> &move)
{
    accesshouse::Report report;
    report.failure.problem = accesshouse::Problem::Cancelled;
    const LongWork work = [&](const RowProgress &progress) {
        if (progress)
            options.progress = [progress](qint64 done, qint64 total) {
                return progress(done, total) ? accesshouse::Step::Continue : accesshouse::Step::Cancel;
            };
        // The work may run on a thread of its own, where an escaping exception ends the program.
        try {
            report = move(options);
        } catch (...) {
            report.failure = {};
            report.failure.problem = accesshouse::Problem::WriteFailed;
        }
    };
    if (run)
        run(work);
    else
        work({});
    return report;
}

Outcome refusalOf(const accesshouse::Report &report)
{
    if (report.failure.problem == accesshouse::Problem::Cancelled)
        return Outcome::refused(Refusal::Cancelled);
    return Outcome::refused(Refusal::NotBroughtAcross, accesshouse::problemText(report.failure));
}

} // namespace

bool isAccessFile(const QString &path)
{
    return accesshouse::isAccessFile(path);
}

QString accessHouseToBringAcross(const HouseLocation &house)
{
    if (serverstore::configuredServer(house.settingsPath()))
        return {};
    const QString path = house.filePath();
    return QFileInfo(path).isFile() && accesshouse::isAccessFile(path) ? path : QString();
}

Result<AccessMove> bringAccessHouseAcross(const HouseLocation &house, const WorkRunner &run)
{
    const QString file = accessHouseToBringAcross(house);
    if (file.isEmpty())
        return refusedFor(accesshouse::Problem::NotAccess);
    AccessMove move;
    const accesshouse::Report report =
        runMove(run, optionsFor(house, QString()), [&](const accesshouse::Options &options) {
            return accesshouse::importInPlace(file, options, &move.keptAt);
        });
    if (!report.ok())
        return refusalOf(report);
    move.report = accesshouse::reportText(report);
    return move;
}

Result<AccessRestored> restoreFromAccess(Session *s, const QString &accessFile, const WorkRunner &run)
{
    // Told before the long read, not after it.
    if (!s || !s->may(Right::Setup))
        return Outcome::refused(Refusal::NoRight);
    // Private to this account: the house holds the operators' passwords.
    const QTemporaryDir folder;
    if (!folder.isValid())
        return refusedFor(accesshouse::Problem::DestinationUnwritable);
    const QString house = folder.filePath(HouseFileName.toString());
    const accesshouse::Report report =
        runMove(run, optionsFor(s->location(), s->operatorName()), [&](const accesshouse::Options &options) {
            return accesshouse::importToFile(accessFile, house, options);
        });
    if (!report.ok())
        return refusalOf(report);
    const QString text = accesshouse::reportText(report);
    Result<Restored> restored = restoreHouse(s, house, text);
    if (!restored.ok())
        return static_cast<const Outcome &>(restored);
    return AccessRestored{restored.value(), text};
}

} // namespace hotel
