#pragma once

#include "hotel/deeds.h"
#include "hotel/outcome.h"
#include "hotel/records.h"
#include "hotel/session.h"

#include <QString>
#include <QVariantList>
#include <optional>
#include <vector>

class Connection;

// Rows of one table by key, as the operations read and write them; every column by ordinal.
namespace hotel::rows {

std::optional<QVariantList> byKey(Connection &c, const QString &table, qint64 key);
// Rows a condition on the table's own columns picks, in key order.
std::vector<QVariantList> where(Connection &c, const QString &table, const QString &condition,
                                const QVariantList &params);
// Stores `values` as columns 1 onwards of a new row; returns its key.
qint64 insert(Connection &c, const QString &table, const QVariantList &values);
// Rewrites columns 1 onwards of the row; returns the rows touched.
int update(Connection &c, const QString &table, qint64 key, const QVariantList &values);
int remove(Connection &c, const QString &table, qint64 key);

// Unless the row still reads as `shown`, the refusal that says another desk deleted or changed it.
template <class R> Outcome requireAsShown(Connection &c, const QString &table, const R &shown)
{
    const auto row = byKey(c, table, shown.key);
    if (!row)
        return Outcome::refused(Refusal::Gone);
    if (!(fromRow<R>(*row) == shown))
        return Outcome::refused(Refusal::Changed);
    return Outcome::done();
}

// In one transaction: the record shown is rewritten as `edited`, only while it still reads as
// shown.
template <class R>
Outcome rewriteShown(Session *s, Right right, const QString &table, const R &shown, const R &edited)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    return s->write(right, [&](Connection &c) {
        Outcome o = requireAsShown(c, table, shown);
        if (o.ok()) {
            update(c, table, shown.key, toRow(edited));
            note(c, *s, Deed::Rewrite, table, shown.key, {moneyOf(shown), moneyOf(edited)});
        }
        return o;
    });
}

// In one transaction: the record shown is deleted, only while it still reads as shown.
template <class R> Outcome deleteShown(Session *s, Right right, const QString &table, const R &shown)
{
    if (!s)
        return Outcome::refused(Refusal::NoRight);
    return s->write(right, [&](Connection &c) {
        Outcome o = requireAsShown(c, table, shown);
        if (o.ok()) {
            remove(c, table, shown.key);
            note(c, *s, Deed::Delete, table, shown.key, {moneyOf(shown), std::nullopt});
        }
        return o;
    });
}

} // namespace hotel::rows
