#include "ui/list_totals_label.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

ListTotalsLabel::ListTotalsLabel(const QString &countCaption, const QStringList &columns, QWidget *parent)
    : QLabel(parent), m_countCaption(countCaption), m_columns(columns)
{
    setObjectName(u"ListTotals"_s);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    show(0);
}

QString ListTotalsLabel::amountText(double value)
{
    const double whole = std::round(value);
    if (std::abs(value - whole) < 0.005)
        return QString::number(qint64(whole));
    return QString::number(value, 'f', 2);
}

void ListTotalsLabel::show(qint64 count, const QList<double> &sums)
{
    QStringList parts{u"%1：%2"_s.arg(m_countCaption).arg(count)};
    for (int i = 0; i < m_columns.size(); ++i)
        parts.append(u"%1合计：%2"_s.arg(m_columns.at(i), amountText(sums.value(i))));
    setText(parts.join(u"    "_s));
}
