#include "hotel/house.h"
#include "hotel/deeds.h"

#include "data/connection.h"
#include "data/database_builder.h"
#include "data/dialect.h"
#include "data/house_copy.h"
#include "data/module1.h"
#include "data/schema.h"
#include "data/statement.h"

#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace hotel {

Outcome backUp(Session *s, const QString &typedTarget)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    const Outcome o = s->read(Right::Setup, [&](Connection &c) {
        housecopy::backUp(c, typedTarget);
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
            early = housecopy::keepServerCopyBeforeInit(c);
        return Outcome::done();
    });
    if (!read.ok())
        return read;
    QString copy = early.path;
    const Outcome o = s->write(Right::Setup, [&](Connection &c) {
        if (early.path.isEmpty()) {
            if (!copy.isEmpty())
                QFile::remove(copy); // from an attempt on a connection the store dropped
            copy = housecopy::keepCopyBeforeInit(c);
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

void removeUnfinishedCopies()
{
    housecopy::removeUnfinishedCopies(Module1::houseDirectory());
    housecopy::removeUnfinishedCopies(housecopy::beforeInitFolder(Module1::databasePath()));
}

QString createEmptyHouse(const QString &path, const QString &databasePassword)
{
    dbbuild::Options options;
    options.password = databasePassword;
    options.sampleData = false;
    return dbbuild::createDatabase(path, options);
}

} // namespace hotel
