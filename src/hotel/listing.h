#pragma once

#include "hotel/outcome.h"
#include "hotel/session.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>
#include <vector>

class Connection;
class PagedTable;

namespace hotel {

// The rows of a list window, as stored, read page by page as the list asks for them on the
// desk's connection. Rows stored after the list was made stay out, so pages neither shift nor
// repeat; a short list of rows the desks change is read whole at once.
class Listing
{
public:
    enum class Order { NewestFirst, OldestFirst };
    // When a long list of rows never rewritten is counted and added up: with its first page, or
    // after it (countRows), so that the first screenful is shown without reading every row.
    enum class Counting { AtOnce, AfterFirstPage };
    static constexpr int FirstPageRows = 64;

    bool counted() const { return m_counted; }
    // Until counted, the rows of the first page.
    int count() const { return m_count; }
    // One per summed column, 0 where no row has a value; none until counted.
    const QList<double> &sums() const { return m_sums; }
    // Counts the rows and adds up the sums when not done yet.
    Outcome countRows() const;
    // Which columns hold times, by ordinal.
    const std::vector<bool> &timeColumns() const { return m_times; }
    // True when every row was read at once.
    bool isWhole() const { return m_readWhole; }
    // Rows first .. first + count - 1, every column by ordinal as stored; none when the store
    // fails, and then `failure` (when given) says why.
    std::vector<QVariantList> read(int first, int count, Outcome *failure = nullptr) const;

    // The rows of `table` that `where` (on its own columns, "?" for `params`) picks.
    static Result<std::shared_ptr<const Listing>>
    make(Session *s, Right right, const QString &table, const QString &where = {},
         const QVariantList &params = {}, Order order = Order::NewestFirst, const QStringList &sums = {});
    // The same with a condition written for the session's store as it is.
    // `scan` picks the same rows without an index (optional; see PagedTable::Filter).
    struct Condition {
        QString where;
        QVariantList params;
        QString scan;
        QVariantList scanParams;
    };
    static Result<std::shared_ptr<const Listing>>
    make(Session *s, Right right, const QString &table,
         const std::function<Condition(Connection &)> &condition, Order order, const QStringList &sums,
         Counting counting = Counting::AtOnce);

private:
    std::shared_ptr<PagedTable> m_table;
    std::vector<QVariantList> m_whole; // the rows, when read at once
    bool m_readWhole = false;
    std::vector<QVariantList> m_first; // the first page, while counting later
    mutable bool m_counted = true;
    mutable int m_count = 0;
    mutable QList<double> m_sums;
    std::vector<bool> m_times;
};

using ListingPtr = std::shared_ptr<const Listing>;

} // namespace hotel
