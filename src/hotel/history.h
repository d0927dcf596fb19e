#pragma once

#include "data/dialect.h"
#include "hotel/listing.h"
#include "hotel/lookups.h"
#include "hotel/outcome.h"
#include "hotel/records.h"
#include "hotel/session.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <optional>

// The completed stays of the check-out history, and what its printed sheet shows of one.
namespace hotel::history {

// A condition on 旅客退房's own columns, "?" for its parameters; `scan` picks the same stays
// without the text index.
struct Search {
    QString where;
    QVariantList params;
    QString scan;
    QVariantList scanParams;
};
// The stays a search text picks: every stay when empty, else those whose guest name, ID number,
// organisation or room number contains the text, whatever its case (ASCII letters folded, as the
// file's LIKE folds them; on a server as its lower() folds). Read through the store's text index
// when the store has it (`indexed`).
Search search(const QString &text, dialect::Engine engine = dialect::Engine::Sqlite, bool indexed = true);

// The completed stays `text` picks, newest first, with the sums of the columns named in `sums`
// (counted with the first page, or after it when the list is longer).
Result<ListingPtr> list(Session *s, const QString &text, const QStringList &sums = {},
                        Listing::Counting counting = Listing::Counting::AtOnce);

// One completed stay and its room as it stands now (none when the room has gone).
struct Sheet {
    CompletedStay stay;
    std::optional<RoomRow> room;
};
// None when the stay is no longer stored.
Result<std::optional<Sheet>> sheet(Session *s, qint64 completedStayKey);

} // namespace hotel::history
