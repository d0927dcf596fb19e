#include "ui/list_totals_label.h"

#include "data/connection.h"
#include "data/db_error.h"
#include "data/list_totals.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

ListTotalsLabel::ListTotalsLabel(const QString &countCaption, const QStringList &columns, QWidget *parent)
    : QLabel(parent), m_countCaption(countCaption), m_columns(columns)
{
    setObjectName(u"ListTotals"_s);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    showEmpty();
}

QString ListTotalsLabel::amountText(double value)
{
    const double whole = std::round(value);
    if (std::abs(value - whole) < 0.005)
        return QString::number(qint64(whole));
    return QString::number(value, 'f', 2);
}

void ListTotalsLabel::showFor(const QString &select, const QVariantList &params)
{
    try {
        Connection connection;
        connection.open();
        showFor(connection, select, params);
    } catch (const DbError &) {
        clear();
    }
}

void ListTotalsLabel::showFor(Connection &connection, const QString &select, const QVariantList &params)
{
    try {
        const totals::Totals t = totals::compute(connection, select, params, m_columns);
        show(t.count, t.sums);
    } catch (const DbError &) {
        clear();
    }
}

void ListTotalsLabel::showEmpty()
{
    show(0, QList<double>(m_columns.size(), 0.0));
}

void ListTotalsLabel::show(qint64 count, const QList<double> &sums)
{
    QStringList parts{u"%1：%2"_s.arg(m_countCaption).arg(count)};
    for (int i = 0; i < m_columns.size(); ++i)
        parts.append(u"%1合计：%2"_s.arg(m_columns.at(i), amountText(sums.value(i))));
    setText(parts.join(u"    "_s));
}
