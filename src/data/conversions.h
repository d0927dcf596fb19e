#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QVariant>
#include <optional>

// Text, numbers and dates as the operator reads and types them.
namespace conv {

// The operator's locale: the system's, or zh_CN where the system offers only "C".
QLocale locale();
void setLocale(const QLocale &locale);

// A number as read in the operator's locale: sign, digits, decimal separator and fraction,
// thousands separators, exponent, surrounding blanks. Infinity and NaN are not numbers.
std::optional<double> toNumber(const QString &text);
bool isNumeric(const QString &text);

// Nearest integer, an exact half to the even neighbour; nothing outside -32768..32767.
std::optional<qint16> toInt16(double value);
std::optional<qint16> toInt16(const QString &text);

// Plain decimal text of a number, with the locale's decimal sign and no grouping.
QString numberToText(double value);

// The display formats in force: short date, and date with time and seconds.
QString shortDateFormat();
QString generalDateFormat();

// General date: date and time (with seconds), or the date alone at midnight.
QString dateTimeToText(const QDateTime &value);
// Short date.
QString dateToText(const QDate &value);
// Reads general date, short date, or ISO text; nullopt when none fits.
std::optional<QDateTime> textToDateTime(const QString &text);

// The standard conversion of a stored value to text; NULL gives empty text.
QString variantToText(const QVariant &value);

// How date-times are kept in the file: "yyyy-MM-dd HH:mm:ss".
QString toStorage(const QDateTime &value);
std::optional<QDateTime> fromStorage(const QString &text);

} // namespace conv
