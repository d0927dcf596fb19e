#include "hotel/deeds.h"

#include "data/connection.h"
#include "data/conversions.h"
#include "data/dialect.h"
#include "data/schema.h"
#include "data/statement.h"
#include "hotel/session.h"

#include <QSysInfo>

using namespace Qt::Literals::StringLiterals;

namespace hotel {

QString deedName(Deed deed, const QString &table)
{
    switch (deed) {
    case Deed::CheckIn:
        return u"入住登记"_s;
    case Deed::Reserve:
        return u"预订登记"_s;
    case Deed::CorrectStay:
        return u"修改入住"_s;
    case Deed::CorrectReservation:
        return u"修改预订"_s;
    case Deed::DeleteStay:
        return u"删除入住"_s;
    case Deed::CancelReservation:
        return u"取消预订"_s;
    case Deed::Arrive:
        return u"预订入住"_s;
    case Deed::CheckOut:
        return u"退房结账"_s;
    case Deed::Add:
        return u"新增"_s + table;
    case Deed::Rewrite:
        return u"修改"_s + table;
    case Deed::Delete:
        return u"删除"_s + table;
    case Deed::Backup:
        return u"数据备份"_s;
    case Deed::DataInit:
        return u"数据初始化"_s;
    case Deed::Restore:
        return u"数据恢复"_s;
    case Deed::ImportOld:
        return u"导入旧数据"_s;
    }
    return {};
}

void note(Connection &c, const Session &s, Deed deed, const QString &table, std::optional<qint64> key,
          Money money)
{
    if (!c.keepsRecord())
        return;
    // A file restored from an older backup, under this desk or another, has none until now.
    if (c.engine() == dialect::Engine::Sqlite)
        Statement(c, schema::upgradeStatements(dialect::Engine::Sqlite).first());
    // Money that did not change is not news.
    if (money.before && money.after && *money.before == *money.after)
        money = {};
    const auto orNull = [](const auto &v) { return v ? QVariant(*v) : QVariant(); };
    // In the file as the program writes every other time, so the record sorts and filters alike.
    const QString clock =
        c.engine() == dialect::Engine::Postgres ? u"localtimestamp(0)"_s : u"datetime('now', 'localtime')"_s;
    Statement(
        c,
        u"insert into "_s + dialect::quoted(schema::Record) +
            u" (\"操作时间\", \"操作员\", \"前台\", \"操作\", \"数据表\", \"记录号\", \"原金额\", \"新金额\") values ("_s +
            clock + u", ?, ?, ?, ?, ?, ?, ?)"_s,
        {s.operatorName(), QSysInfo::machineHostName(), deedName(deed, table), table,
         key ? QVariant(double(*key)) : QVariant(), orNull(money.before), orNull(money.after)});
}

QStringList recordSums()
{
    return {u"原金额"_s, u"新金额"_s};
}

Result<ListingPtr> listRecord(Session *s, const RecordFilter &filter)
{
    QString where = u"\"操作时间\" between ? and ?"_s;
    QVariantList params{conv::toStorage(filter.from), conv::toStorage(filter.to)};
    if (!filter.operatorName.isEmpty()) {
        where += u" and \"操作员\"=?"_s;
        params.append(filter.operatorName);
    }
    if (!filter.deed.isEmpty()) {
        where += u" and \"操作\"=?"_s;
        params.append(filter.deed);
    }
    return Listing::make(s, Right::Setup, schema::Record, where, params, Listing::Order::NewestFirst,
                         recordSums());
}

Result<RecordChoices> recordChoices(Session *s)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    RecordChoices choices;
    const Outcome o = s->read(Right::Setup, [&](Connection &c) {
        if (!c.keepsRecord())
            return Outcome::done();
        for (auto [column, out] :
             {std::pair{u"操作员"_s, &choices.operators}, std::pair{u"操作"_s, &choices.deeds}}) {
            Statement q(c, u"select distinct "_s + dialect::quoted(column) + u" from "_s +
                               dialect::quoted(schema::Record) + u" order by 1"_s);
            while (q.next())
                out->append(q.value(0).toString());
        }
        return Outcome::done();
    });
    if (!o.ok())
        return o;
    return choices;
}

} // namespace hotel
