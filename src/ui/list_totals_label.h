#pragma once

#include <QLabel>
#include <QStringList>
#include <QVariantList>

class Connection;

// The line under a list: how many rows it holds and the sums of its amount columns, right
// aligned, amounts with two decimals where they have a fraction.
class ListTotalsLabel : public QLabel
{
    Q_OBJECT
public:
    // `columns` are the table's column names to add up, captioned as the list heads them.
    ListTotalsLabel(const QString &countCaption, const QStringList &columns, QWidget *parent);

    // Totals of the rows `select` returns, on its own connection or the given one. A failed
    // read leaves the line empty rather than showing figures that may not match the list.
    void showFor(const QString &select, const QVariantList &params = {});
    void showFor(Connection &connection, const QString &select, const QVariantList &params = {});
    // No rows listed.
    void showEmpty();
    // Figures the caller already has, one sum per column.
    void show(qint64 count, const QList<double> &sums);
    const QStringList &columns() const { return m_columns; }

    static QString amountText(double value);

private:
    QString m_countCaption;
    QStringList m_columns;
};
