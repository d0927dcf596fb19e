#pragma once

#include "hotel/listing.h"
#include "hotel/outcome.h"
#include "hotel/records.h"
#include "hotel/session.h"

#include <QString>

// The two cash ledgers, kept alike: takings the desk hands in (交款) and money paid out to it
// (拔款). Every operation asks for the finance right.
namespace hotel {

enum class Ledger { Takings, Disbursements };

const QString &ledgerTable(Ledger ledger);

// Every entry, oldest first, with their count and the sum of their amounts.
Result<ListingPtr> ledgerEntries(Session *s, Ledger ledger);

// A new entry. One without a time or an amount its column can hold is refused as BadValue.
Outcome addLedgerEntry(Session *s, Ledger ledger, const LedgerEntry &entry);
// The entry shown, rewritten as `edited` (refused as an addition would be), while it still reads
// as shown.
Outcome rewriteLedgerEntry(Session *s, Ledger ledger, const LedgerEntry &shown, const LedgerEntry &edited);
// The entry shown, deleted while it still reads as shown.
Outcome deleteLedgerEntry(Session *s, Ledger ledger, const LedgerEntry &shown);

} // namespace hotel
