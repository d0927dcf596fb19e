#pragma once

#include <QLabel>
#include <QStringList>

// The line under a list: how many rows it holds and the sums of its amount columns, right
// aligned, amounts with two decimals where they have a fraction.
class ListTotalsLabel : public QLabel
{
    Q_OBJECT
public:
    // `columns` are the table's column names to add up, captioned as the list heads them.
    ListTotalsLabel(const QString &countCaption, const QStringList &columns, QWidget *parent);

    // Figures read with the list's rows, one sum per column (missing ones are 0).
    void show(qint64 count, const QList<double> &sums = {});
    const QStringList &columns() const { return m_columns; }

    static QString amountText(double value);

private:
    QString m_countCaption;
    QStringList m_columns;
};
