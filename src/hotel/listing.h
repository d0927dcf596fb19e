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

    int count() const { return m_count; }
    // One per summed column, 0 where no row has a value.
    const QList<double> &sums() const { return m_sums; }
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
    struct Condition {
        QString where;
        QVariantList params;
    };
    static Result<std::shared_ptr<const Listing>>
    make(Session *s, Right right, const QString &table,
         const std::function<Condition(Connection &)> &condition, Order order, const QStringList &sums);

private:
    std::shared_ptr<PagedTable> m_table;
    std::vector<QVariantList> m_whole; // the rows, when read at once
    bool m_readWhole = false;
    int m_count = 0;
    QList<double> m_sums;
    std::vector<bool> m_times;
};

using ListingPtr = std::shared_ptr<const Listing>;

} // namespace hotel
