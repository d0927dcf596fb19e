#include "data/conversions.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace conv {

namespace {

struct Formats {
    QLocale locale;
    QString shortDate;
    QString generalDate;
    QString dateTimeNoSeconds;
};

QString fourDigitYears(QString format)
{
    // A two-digit year would lose the century on the way back.
    if (!format.contains(u"yyyy"_s))
        format.replace(u"yy"_s, u"yyyy"_s);
    return format;
}

QString withSeconds(QString time)
{
    if (time.contains(u's'))
        return time;
    const qsizetype mm = time.indexOf(u"mm"_s);
    if (mm >= 0)
        time.insert(mm + 2, u":ss"_s);
    return time;
}

Formats makeFormats(QLocale locale)
{
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    Formats f;
    f.locale = locale;
    f.shortDate = fourDigitYears(locale.dateFormat(QLocale::ShortFormat));
    const QString time = locale.timeFormat(QLocale::ShortFormat);
    f.generalDate = f.shortDate + u" "_s + withSeconds(time);
    f.dateTimeNoSeconds = f.shortDate + u" "_s + time;
    return f;
}

QLocale defaultLocale()
{
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C)
        return QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
    return system;
}

Formats &formats()
{
    static Formats f = makeFormats(defaultLocale());
    return f;
}

} // namespace

QLocale locale()
{
    return formats().locale;
}

void setLocale(const QLocale &locale)
{
    formats() = makeFormats(locale);
}

QString shortDateFormat()
{
    return formats().shortDate;
}

QString generalDateFormat()
{
    return formats().generalDate;
}

std::optional<double> toNumber(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double d = formats().locale.toDouble(t, &ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

bool isNumeric(const QString &text)
{
    return toNumber(text).has_value();
}

std::optional<qint16> toInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = std::nearbyint(value); // default rounding mode: ties to even
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return qint16(r);
}

std::optional<qint16> toInt16(const QString &text)
{
    const auto d = toNumber(text);
    if (!d)
        return std::nullopt;
    return toInt16(*d);
}

QString numberToText(double value)
{
    if (value == 0.0)
        return u"0"_s; // never "-0"
    if (std::abs(value) < 1e15 && value == std::trunc(value))
        return QString::number(qint64(value));
    return formats().locale.toString(value, 'f', QLocale::FloatingPointShortest);
}

QString dateTimeToText(const QDateTime &value)
{
    if (!value.isValid())
        return {};
    const Formats &f = formats();
    if (value.time() == QTime(0, 0))
        return f.locale.toString(value.date(), f.shortDate);
    return f.locale.toString(value, f.generalDate);
}

QString dateToText(const QDate &value)
{
    if (!value.isValid())
        return {};
    return formats().locale.toString(value, formats().shortDate);
}

std::optional<QDateTime> textToDateTime(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const Formats &f = formats();
    for (const QString &format : {f.generalDate, f.dateTimeNoSeconds}) {
        const QDateTime dt = f.locale.toDateTime(t, format);
        if (dt.isValid())
            return dt;
    }
    const QDate d = f.locale.toDate(t, f.shortDate);
    if (d.isValid())
        return d.startOfDay();
    for (const QString &format : {u"yyyy-MM-dd HH:mm:ss"_s, u"yyyy-MM-dd H:mm:ss"_s, u"yyyy-MM-dd HH:mm"_s,
                                  u"yyyy/M/d H:mm:ss"_s, u"yyyy/M/d H:mm"_s}) {
        const QDateTime dt = QDateTime::fromString(t, format);
        if (dt.isValid())
            return dt;
    }
    for (const QString &format : {u"yyyy-MM-dd"_s, u"yyyy/M/d"_s}) {
        const QDate dd = QDate::fromString(t, format);
        if (dd.isValid())
            return dd.startOfDay();
    }
    return std::nullopt;
}

QString variantToText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return numberToText(value.toDouble());
    case QMetaType::QDateTime:
        return dateTimeToText(value.toDateTime());
    case QMetaType::QDate:
        return dateToText(value.toDate());
    case QMetaType::Bool:
        return value.toBool() ? u"True"_s : u"False"_s;
    default:
        return value.toString();
    }
}

QString toStorage(const QDateTime &value)
{
    return value.toString(u"yyyy-MM-dd HH:mm:ss"_s);
}

std::optional<QDateTime> fromStorage(const QString &text)
{
    if (text.size() != 19)
        return std::nullopt;
    // The form the program writes is read field by field; QDateTime's parser, many times slower,
    // is left for anything else of that length.
    const auto digits = [&text](int at, int count) {
        int v = 0;
        for (int i = at; i < at + count; ++i) {
            const char16_t c = text.at(i).unicode();
            if (c < u'0' || c > u'9')
                return -1;
            v = v * 10 + (c - u'0');
        }
        return v;
    };
    const int year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
    const int hour = digits(11, 2), minute = digits(14, 2), second = digits(17, 2);
    QDateTime dt;
    if (text.at(4) == u'-' && text.at(7) == u'-' && text.at(10) == u' ' && text.at(13) == u':' &&
        text.at(16) == u':' && std::min({year, month, day, hour, minute, second}) >= 0) {
        const QDate date(year, month, day);
        const QTime time(hour, minute, second);
        if (!date.isValid() || !time.isValid()) // QDateTime would take a bad time for midnight
            return std::nullopt;
        dt = QDateTime(date, time);
    } else {
        dt = QDateTime::fromString(text, u"yyyy-MM-dd HH:mm:ss"_s);
    }
    if (dt.isValid())
        return dt;
    return std::nullopt;
}

} // namespace conv
