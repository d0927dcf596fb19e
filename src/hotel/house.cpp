#include "hotel/house.h"

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
    return s->read(Right::Setup, [&](Connection &c) {
        housecopy::backUp(c, typedTarget);
        return Outcome::done();
    });
}

Outcome initializeData(Session *s)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    static const QStringList wiped = {schema::Disbursements, schema::Takings, schema::Floors,
                                      schema::Rooms,         schema::Stays,   schema::CompletedStays,
                                      schema::Reservations};
    // No question is asked first, so a copy taken first makes a mistaken wipe recoverable.
    QString copy;
    const auto discardCopy = [&copy] {
        if (!copy.isEmpty())
            QFile::remove(copy);
        copy.clear();
    };
    const Outcome o = s->write(Right::Setup, [&](Connection &c) {
        discardCopy(); // from an attempt on a connection the store dropped
        copy = housecopy::keepCopyBeforeInit(c);
        for (const QString &table : wiped)
            Statement(c, u"delete from "_s + dialect::quoted(table));
        return Outcome::done();
    });
    if (!o.ok())
        discardCopy(); // nothing was wiped, so the copy is not needed
    return o;
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
