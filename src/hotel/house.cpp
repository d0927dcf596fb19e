#include "hotel/house.h"
#include "hotel/deeds.h"

#include "data/connection.h"
#include "data/database_builder.h"
#include "data/dialect.h"
#include "data/house_copy.h"
#include "data/house_location.h"
#include "data/house_restore.h"
#include "data/schema.h"
#include "data/statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace hotel {

Outcome backUp(Session *s, const QString &typedTarget)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    const Outcome o = s->read(Right::Setup, [&](Connection &c) {
        housecopy::backUp(c, s->location(), typedTarget);
        return Outcome::done();
    });
    if (!o.ok())
        return o;
    // The copy is made; a record that cannot say so does not undo it.
    s->write(Right::Setup, [&](Connection &c) {
        note(c, *s, Deed::Backup, QString(), std::nullopt);
        return Outcome::done();
    });
    return o;
}

namespace {

// Wipes the house, after the copy taken first (a mistaken wipe stays recoverable, since no
// question is asked). On a server the copy is read before the wipe's transaction and the wipe
// refused as busy when the house changed in between; `changed` tells that case.
Outcome wipe(Session *s, bool &changed)
{
    static const QStringList wiped = {schema::Disbursements, schema::Takings, schema::Floors,
                                      schema::Rooms,         schema::Stays,   schema::CompletedStays,
                                      schema::Reservations};
    housecopy::ServerCopy early;
    const Outcome read = s->read(Right::Setup, [&](Connection &c) {
        if (c.engine() == dialect::Engine::Postgres)
            early = housecopy::keepServerCopyBeforeInit(c, s->location());
        return Outcome::done();
    });
    if (!read.ok())
        return read;
    QString copy = early.path;
    const Outcome o = s->write(Right::Setup, [&](Connection &c) {
        if (early.path.isEmpty()) {
            if (!copy.isEmpty())
                QFile::remove(copy); // from an attempt on a connection the store dropped
            copy = housecopy::keepCopyBeforeInit(c, s->location());
        } else if (!housecopy::stillAsCopied(c, early)) {
            changed = true;
            throw Connection::busyError();
        }
        for (const QString &table : wiped)
            Statement(c, u"delete from "_s + dialect::quoted(table));
        note(c, *s, Deed::DataInit, QString(), std::nullopt);
        return Outcome::done();
    });
    // Nothing was wiped, so the copy is not needed; but a commit cut off with its connection may
    // have reached the server, and then the copy is all that is left.
    const bool maybeWiped = o.kind() == Outcome::Kind::Failed && o.cause() == StoreCause::ConnectionLost;
    if (!o.ok() && !maybeWiped && !copy.isEmpty())
        QFile::remove(copy);
    return o;
}

} // namespace

Outcome initializeData(Session *s)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    bool changed = false;
    const Outcome first = wipe(s, changed);
    if (!changed)
        return first;
    // Another desk wrote between the copy and the locks: the copy is read once more.
    changed = false;
    return wipe(s, changed);
}

namespace {

Refusal refusalOf(houserestore::Problem problem)
{
    using P = houserestore::Problem;
    switch (problem) {
    case P::Missing:
        return Refusal::NoSuchFile;
    case P::TheHouseItself:
        return Refusal::IsTheHouse;
    case P::NotADatabase:
        return Refusal::NotADatabase;
    case P::Damaged:
        return Refusal::Damaged;
    case P::NotAHouse:
        return Refusal::NotAHouse;
    case P::WrongPassword:
        return Refusal::WrongPassword;
    case P::Newer:
        return Refusal::NewerHouse;
    case P::None:
        break;
    }
    return Refusal::None;
}

// A house on a server, as its wipe: the copy read from a snapshot first, then the rows replaced
// under the locks unless the house changed in between (`changed`).
Outcome restoreServer(Session *s, const QString &backup, const QString &importReport, QString &copy,
                      bool &changed)
{
    housecopy::ServerCopy early;
    const Outcome read = s->read(Right::Setup, [&](Connection &c) {
        early = housecopy::keepServerCopyBeforeInit(c, s->location());
        return Outcome::done();
    });
    if (!read.ok())
        return read;
    const Outcome o = s->write(Right::Setup, [&](Connection &c) {
        if (!housecopy::stillAsCopied(c, early)) {
            changed = true;
            throw Connection::busyError();
        }
        houserestore::restoreIntoServer(c, backup);
        if (!importReport.isEmpty())
            note(c, *s, Deed::ImportOld, importReport, std::nullopt);
        note(c, *s, Deed::Restore, QString(), std::nullopt);
        return Outcome::done();
    });
    // A commit cut off with its connection may have reached the server: then the copy stays.
    const bool maybeRestored = o.kind() == Outcome::Kind::Failed && o.cause() == StoreCause::ConnectionLost;
    if (o.ok() || maybeRestored)
        copy = early.path;
    else
        QFile::remove(early.path);
    return o;
}

// Whether the desk's operator is in the house now, with the rights the session holds.
bool operatorKept(Session *s)
{
    static const QList<Right> all = {Right::Setup,   Right::FrontDesk,  Right::CheckOut,
                                     Right::Finance, Right::Statistics, Right::Tools};
    bool kept = false;
    s->readFree([&](Connection &c) {
        Statement q(c,
                    u"select \"权限设置\" from \"操作用户\" where \"用户名称\"=? collate nocase "
                    u"order by \"用户ID\""_s,
                    {s->operatorName()});
        while (!kept && q.next()) {
            kept = std::all_of(all.begin(), all.end(),
                               [&](Right r) { return grants(q.text(0), q.isNull(0), r) == s->may(r); });
        }
        return Outcome::done();
    });
    return kept;
}

} // namespace

Result<Restored> restoreHouse(Session *s, const QString &backup, const QString &importReport)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    Restored restored;
    bool onServer = false;
    const Outcome checked = s->read(Right::Setup, [&](Connection &c) {
        onServer = c.engine() == dialect::Engine::Postgres;
        const HouseLocation &house = s->location();
        const houserestore::Verdict v =
            houserestore::check(backup, onServer ? QString() : house.filePath(), house.password);
        if (v.problem != houserestore::Problem::None)
            return Outcome::refused(refusalOf(v.problem), v.detail);
        if (!onServer)
            restored.safetyCopy = houserestore::restoreIntoFile(c, house, backup);
        return Outcome::done();
    });
    if (!checked.ok())
        return checked;
    if (onServer) {
        bool changed = false;
        Outcome o = restoreServer(s, backup, importReport, restored.safetyCopy, changed);
        if (changed) {
            // Another desk wrote between the copy and the locks: the copy is read once more.
            changed = false;
            o = restoreServer(s, backup, importReport, restored.safetyCopy, changed);
        }
        if (!o.ok())
            return o;
    }
    // The file's record is the backup's now (an imported one's holds its report); this restore is
    // its newest row.
    if (!onServer)
        s->write(Right::Setup, [&](Connection &c) {
            note(c, *s, Deed::Restore, QString(), std::nullopt);
            return Outcome::done();
        });
    restored.operatorKept = operatorKept(s);
    return restored;
}

QStringList keptCopies(const HouseLocation &location)
{
    const QString house = location.filePath();
    const QDir folder(housecopy::beforeInitFolder(house));
    const QString suffix = QFileInfo(house).suffix();
    QStringList out;
    for (const QFileInfo &f :
         folder.entryInfoList({u"*."_s + (suffix.isEmpty() ? u"*"_s : suffix)}, QDir::Files, QDir::Time))
        out.append(f.absoluteFilePath());
    return out;
}

void removeUnfinishedCopies(const HouseLocation &house)
{
    housecopy::removeUnfinishedCopies(house.folder);
    housecopy::removeUnfinishedCopies(housecopy::beforeInitFolder(house.filePath()));
}

QString createEmptyHouse(const QString &path, const QString &databasePassword)
{
    dbbuild::Options options;
    options.password = databasePassword;
    options.sampleData = false;
    return dbbuild::createDatabase(path, options);
}

} // namespace hotel
