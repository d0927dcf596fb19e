#include "hotel/history.h"

#include "data/connection.h"
#include "data/schema.h"
#include "data/statement.h"
#include "hotel/table_rows.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace hotel::history {

namespace {

enum class Reach { Scan, Phrase, Prefix };

// How the file's index can answer `needle` (lowered): a phrase of its trigrams from three
// characters on, the trigrams that begin with a shorter one, or not at all.
Reach reachOf(const QString &needle)
{
    const QList<uint> chars = needle.toUcs4();
    // The vocabulary holds folded trigrams: a prefix of letters whose case it folds otherwise
    // than Qt's lowering could miss them.
    const bool folded = std::all_of(chars.begin(), chars.end(), [](uint c) {
        return c < 0x80 || (QChar::toLower(c) == c && QChar::toUpper(c) == c);
    });
    if (needle.contains(schema::SearchPad))
        return Reach::Scan;
    if (chars.size() >= 3)
        return Reach::Phrase;
    // One or two digits are in nearly every ID number: reading the stays is quicker than the
    // trigrams that begin with them.
    const bool digits = std::all_of(chars.begin(), chars.end(), [](uint c) { return c >= '0' && c <= '9'; });
    return folded && !digits ? Reach::Prefix : Reach::Scan;
}

} // namespace

Search search(const QString &text, dialect::Engine engine, bool indexed)
{
    const QString needle = text.trimmed().toLower();
    if (needle.isEmpty())
        return {};
    // The typed text is matched literally: its own % and _ are escaped for LIKE.
    QString escaped = needle;
    escaped.replace(u"!"_s, u"!!"_s).replace(u"%"_s, u"!%"_s).replace(u"_"_s, u"!_"_s);
    const QString pattern = u"%"_s + escaped + u"%"_s;
    const QString like = u"lower(\"旅客姓名\") like ? escape '!' "
                         u"or lower(\"证件号码\") like ? escape '!' "
                         u"or lower(\"旅客单位\") like ? escape '!'"_s;
    const QString rooms = u"select \"房间ID\" from \"房间\" where lower(\"房间号\") like ? escape '!'"_s;
    if (engine == dialect::Engine::Postgres) {
        // Each lowered column has its trigram index; the rooms as a list, so that every branch
        // of the "or" reads an index.
        const QString room = u" or \"房间ID\" = any(array("_s + rooms + u"))"_s;
        const QVariantList patterns{pattern, pattern, pattern, pattern};
        const QList<uint> chars = needle.toUcs4();
        if (chars.size() > 2)
            return {like + room, patterns, like + room, patterns};
        // pg_trgm takes no trigram from one or two characters and would read its whole index:
        // the LIKE is on an expression it does not index.
        QString shortLike = like;
        shortLike.replace(u"\") like"_s, u"\") || '' like"_s);
        const QString scan = shortLike + room;
        // One or two digits are in nearly every ID number, as on the file; the function's
        // pieces are cut apart at SearchPad.
        const bool digits =
            std::all_of(chars.begin(), chars.end(), [](uint c) { return c >= '0' && c <= '9'; });
        if (!indexed || digits || needle.contains(schema::SearchPad))
            return {scan, patterns, scan, patterns};
        // The stays whose characters and pairs hold the text, a condition of its own that the
        // indexes answer alone (so the function is not run again over the stays found); the LIKE
        // decides.
        QStringList found;
        QVariantList params;
        for (const QString &c : schema::searchedColumns()) {
            found.append(schema::ShortPieces + u"(lower("_s + dialect::quoted(c) + u")) @> array[?::text]"_s);
            params << needle;
        }
        params << pattern;
        return {u"("_s + found.join(u" or "_s) + room + u") and ("_s + scan + u")"_s, params + patterns, scan,
                patterns};
    }
    const QString scan = like + u" or \"房间ID\" in ("_s + rooms + u")"_s;
    const Reach reach = indexed ? reachOf(needle) : Reach::Scan;
    const QVariantList patterns{pattern, pattern, pattern, pattern};
    if (reach == Reach::Scan)
        return {scan, patterns, scan, patterns};
    // One list of keys, which the pages read newest first and stop.
    const QString index = dialect::quoted(schema::SearchIndex);
    QString found;
    QVariantList params;
    if (reach == Reach::Phrase) {
        QString phrase = needle;
        phrase.replace(u"\""_s, u"\"\""_s);
        found = u"select rowid from "_s + index + u" where "_s + index + u" match ?"_s;
        params.append(u"\""_s + phrase + u"\""_s);
    } else {
        found =
            u"select doc from "_s + dialect::quoted(schema::SearchTerms) + u" where term >= ? and term < ?"_s;
        params << needle << needle + QString::fromUcs4(U"\U0010FFFF");
    }
    // The index finds a few more than the LIKE where it folds what the LIKE leaves (the
    // Kelvin sign, full-width letters);
    // the LIKE decides over the stays found, which are read anyway.
    const QString where = u"\"退房ID\" in ("_s + found +
                          u" union all select \"退房ID\" from \"旅客退房\" where "_s + u"\"房间ID\" in ("_s +
                          rooms + u")) and ("_s + scan + u")"_s;
    params << pattern << pattern << pattern << pattern << pattern;
    return {where, params, scan, patterns};
}

Result<ListingPtr> list(Session *s, const QString &text, const QStringList &sums, Listing::Counting counting)
{
    return Listing::make(
        s, Right::CheckOut, schema::CompletedStays,
        [&](Connection &c) {
            // A house another desk was writing when it was opened may still lack the index.
            const bool indexed =
                text.trimmed().isEmpty() ||
                (c.engine() == dialect::Engine::Postgres
                     ? c.searchable()
                     : Statement(c, u"select 1 from sqlite_master where name=?"_s, {schema::SearchIndex})
                           .next());
            Search picked = search(text, c.engine(), indexed);
            return Listing::Condition{std::move(picked.where), std::move(picked.params),
                                      std::move(picked.scan), std::move(picked.scanParams)};
        },
        Listing::Order::NewestFirst, sums, counting);
}

Result<std::optional<Sheet>> sheet(Session *s, qint64 completedStayKey)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    std::optional<Sheet> found;
    const Outcome o = s->read(Right::CheckOut, [&](Connection &c) {
        const auto row = rows::byKey(c, schema::CompletedStays, completedStayKey);
        if (!row)
            return Outcome::done();
        found = Sheet{fromRow<CompletedStay>(*row), std::nullopt};
        if (const Int16 room = found->stay.room) {
            if (const auto stored = rows::byKey(c, schema::Rooms, *room))
                found->room = RoomRow{fromRow<Room>(*stored), *stored};
        }
        return Outcome::done();
    });
    if (!o.ok())
        return o;
    return found;
}

} // namespace hotel::history
