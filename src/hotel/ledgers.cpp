#include "hotel/ledgers.h"
#include "hotel/deeds.h"

#include "data/conversions.h"
#include "data/schema.h"
#include "hotel/table_rows.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace hotel {

namespace {

// The amount is column 2 in both tables.
QString amountColumn(Ledger ledger)
{
    return schema::table(ledgerTable(ledger))->columns.at(2).name;
}

// The store's own words for a value its column does not take; a missing right is said first.
Outcome refusal(Session *s, const LedgerEntry &entry)
{
    if (!s || !s->may(Right::Finance))
        return Outcome::refused(Refusal::NoRight);
    if (!entry.time || !entry.time->isValid())
        return Outcome::refused(Refusal::BadValue, u"“”不是日期（类型不匹配）。"_s);
    if (!entry.amount || !std::isfinite(*entry.amount)) {
        const QString typed = entry.amount ? conv::numberToText(*entry.amount) : QString();
        return Outcome::refused(Refusal::BadValue, u"“"_s + typed + u"”不是数字（类型不匹配）。"_s);
    }
    return Outcome::done();
}

} // namespace

const QString &ledgerTable(Ledger ledger)
{
    return ledger == Ledger::Takings ? schema::Takings : schema::Disbursements;
}

Result<ListingPtr> ledgerEntries(Session *s, Ledger ledger)
{
    return Listing::make(s, Right::Finance, ledgerTable(ledger), {}, {}, Listing::Order::OldestFirst,
                         {amountColumn(ledger)});
}

Outcome addLedgerEntry(Session *s, Ledger ledger, const LedgerEntry &entry)
{
    if (Outcome o = refusal(s, entry); !o.ok())
        return o;
    return s->write(Right::Finance, [&](Connection &c) {
        const qint64 key = rows::insert(c, ledgerTable(ledger), toRow(entry));
        note(c, *s, Deed::Add, ledgerTable(ledger), key, {std::nullopt, entry.amount});
        return Outcome::done();
    });
}

Outcome rewriteLedgerEntry(Session *s, Ledger ledger, const LedgerEntry &shown, const LedgerEntry &edited)
{
    if (Outcome o = refusal(s, edited); !o.ok())
        return o;
    return rows::rewriteShown(s, Right::Finance, ledgerTable(ledger), shown, edited);
}

Outcome deleteLedgerEntry(Session *s, Ledger ledger, const LedgerEntry &shown)
{
    return rows::deleteShown(s, Right::Finance, ledgerTable(ledger), shown);
}

} // namespace hotel
