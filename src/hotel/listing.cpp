#include "hotel/listing.h"

#include "data/connection.h"
#include "data/db_error.h"
#include "data/paged_table.h"
#include "data/schema.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace hotel {

namespace {
constexpr int WholeListRows = 1000;
}

Result<ListingPtr> Listing::make(Session *s, Right right, const QString &table, const QString &where,
                                 const QVariantList &params, Order order, const QStringList &sums)
{
    return make(
        s, right, table,
        [&](Connection &) {
            return Condition{where, params, {}, {}};
        },
        order, sums);
}

Result<ListingPtr> Listing::make(Session *s, Right right, const QString &table,
                                 const std::function<Condition(Connection &)> &condition, Order order,
                                 const QStringList &sums, Counting counting)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    const schema::Table *t = schema::table(table);
    Q_ASSERT(t);
    auto list = std::make_shared<Listing>();
    for (const schema::Column &c : t->columns)
        list->m_times.push_back(c.type == schema::ColumnType::DateTime);
    const Outcome o = s->read(right, [&](Connection &c) {
        Condition picked = condition(c);
        const bool later =
            counting == Counting::AfterFirstPage && t->appendOnly && order == Order::NewestFirst;
        list->m_table = std::make_shared<PagedTable>(
            c, *t,
            PagedTable::Filter{std::move(picked.where), std::move(picked.params), std::move(picked.scan),
                               std::move(picked.scanParams)},
            order == Order::NewestFirst ? PagedTable::Order::NewestFirst : PagedTable::Order::OldestFirst,
            sums, later ? PagedTable::Counting::Later : PagedTable::Counting::AtOnce);
        if (!list->m_table->counted()) {
            list->m_first = list->m_table->read(c, 0, FirstPageRows);
            // A short first page is the whole list.
            if (int(list->m_first.size()) < FirstPageRows && !list->m_table->countFrom(list->m_first))
                list->m_table->countRows(c);
        }
        list->m_counted = list->m_table->counted();
        list->m_count = list->m_counted ? list->m_table->count() : int(list->m_first.size());
        list->m_sums = list->m_table->sums();
        // Rows the desks rewrite and delete are read at once, in one statement, while the list is
        // short: a change at another desk cannot then shift the rows still to be read.
        if (!t->appendOnly && list->m_count <= WholeListRows) {
            list->m_whole = list->m_table->read(c, 0, list->m_count);
            list->m_readWhole = true;
            list->m_count = int(list->m_whole.size());
        }
        return Outcome::done();
    });
    if (!o.ok())
        return o;
    return ListingPtr(list);
}

Outcome Listing::countRows() const
{
    if (m_counted)
        return Outcome::done();
    Session *s = Session::current();
    if (!s || !m_table)
        return Outcome::refused(Refusal::NoRight);
    // The rows are those the list already showed the first of: no right is asked again.
    const Outcome o = s->readFree([&](Connection &c) {
        m_table->countRows(c);
        return Outcome::done();
    });
    if (o.ok()) {
        m_counted = true;
        m_count = m_table->count();
        m_sums = m_table->sums();
    }
    return o;
}

std::vector<QVariantList> Listing::read(int first, int count, Outcome *failure) const
{
    if (first >= 0 && first + count <= int(m_first.size()))
        return std::vector<QVariantList>(m_first.begin() + first, m_first.begin() + first + count);
    if (m_readWhole) {
        first = std::clamp(first, 0, int(m_whole.size()));
        count = std::clamp(count, 0, int(m_whole.size()) - first);
        return std::vector<QVariantList>(m_whole.begin() + first, m_whole.begin() + first + count);
    }
    std::vector<QVariantList> rows;
    Session *s = Session::current();
    if (!s || !m_table)
        return rows;
    // A page is what the list already showed the count of: no right is asked again.
    const Outcome o = s->readFree([&](Connection &c) {
        rows = m_table->read(c, first, count);
        return Outcome::done();
    });
    if (failure)
        *failure = o;
    return rows;
}

} // namespace hotel
