#include "data/conversions.h"

#include <cmath>
#include <cstring>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace conv {

namespace {

// A display format compiled once per locale, so list fills format stored date-times
// without QDateTime or QLocale (each of which asks the C library for the time zone).
struct FastPattern {
    enum Kind : quint8 {
        Literal,
        Day,
        Day2,
        Month,
        Month2,
        Year2,
        Year4,
        Hour,
        Hour2,
        Hour12,
        Hour12_2,
        Minute,
        Minute2,
        Second,
        Second2,
        AmPmUpper,
        AmPmLower
    };
    struct Op {
        Kind kind;
        int literal; // index into literals for Literal
    };
    std::vector<Op> ops;
    QStringList literals;
    std::vector<QByteArray> literalsUtf8;
    bool ok = false;
};

struct Fields {
    int year, month, day, hour, minute, second;
};

struct Formats {
    QLocale locale;
    QString shortDate;
    QString generalDate;
    QString dateTimeNoSeconds;
    FastPattern fastShort;
    FastPattern fastGeneral;
    // The four spellings of the day's halves: [morning, afternoon] x [upper, lower case].
    QString amPm[2][2];
    QByteArray amPmUtf8[2][2];
    qsizetype utf8Room = 0;
    bool fast = false;
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

int repeatCount(const QString &format, qsizetype at)
{
    const QChar c = format.at(at);
    qsizetype j = at + 1;
    while (j < format.size() && format.at(j) == c)
        ++j;
    return int(j - at);
}

// The subset of QLocale's format language that the locales' short date and time formats use;
// anything else (names of days and months, time zones, fractions) keeps the QLocale path.
FastPattern compilePattern(const QString &format)
{
    FastPattern p;
    const bool twelveHour = format.contains(u"ap"_s, Qt::CaseInsensitive);
    auto literal = [&p](const QString &text) {
        if (!p.ops.empty() && p.ops.back().kind == FastPattern::Literal) {
            p.literals.last() += text;
        } else {
            p.ops.push_back({FastPattern::Literal, int(p.literals.size())});
            p.literals.append(text);
        }
    };
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            // Quoted text; two quotes stand for one.
            qsizetype j = i + 1;
            QString text;
            if (j < format.size() && format.at(j) == u'\'') {
                literal(u"'"_s);
                i = j + 1;
                continue;
            }
            while (j < format.size()) {
                if (format.at(j) == u'\'') {
                    if (j + 1 < format.size() && format.at(j + 1) == u'\'') {
                        text += u'\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                text += format.at(j++);
            }
            if (j >= format.size())
                return {}; // unterminated: leave it to QLocale
            literal(text);
            i = j + 1;
            continue;
        }
        const int n = repeatCount(format, i);
        auto take = [&](FastPattern::Kind kind, int used) {
            p.ops.push_back({kind, -1});
            i += used;
        };
        switch (c.unicode()) {
        case u'd':
            if (n > 2)
                return {};
            take(n == 1 ? FastPattern::Day : FastPattern::Day2, n);
            break;
        case u'M':
            if (n > 2)
                return {};
            take(n == 1 ? FastPattern::Month : FastPattern::Month2, n);
            break;
        case u'y':
            if (n >= 4)
                take(FastPattern::Year4, 4);
            else if (n >= 2)
                take(FastPattern::Year2, 2);
            else
                return {};
            break;
        case u'H':
            take(n == 1 ? FastPattern::Hour : FastPattern::Hour2, std::min(n, 2));
            break;
        case u'h':
            if (twelveHour)
                take(n == 1 ? FastPattern::Hour12 : FastPattern::Hour12_2, std::min(n, 2));
            else
                take(n == 1 ? FastPattern::Hour : FastPattern::Hour2, std::min(n, 2));
            break;
        case u'm':
            take(n == 1 ? FastPattern::Minute : FastPattern::Minute2, std::min(n, 2));
            break;
        case u's':
            take(n == 1 ? FastPattern::Second : FastPattern::Second2, std::min(n, 2));
            break;
        case u'A':
        case u'a': {
            const bool pair = i + 1 < format.size() && (format.at(i + 1) == u'p' || format.at(i + 1) == u'P');
            take(c == u'A' ? FastPattern::AmPmUpper : FastPattern::AmPmLower, pair ? 2 : 1);
            break;
        }
        case u'z':
        case u't':
        case u'D':
        case u'Y':
            return {};
        default:
            literal(QString(c));
            ++i;
            break;
        }
    }
    for (const QString &l : std::as_const(p.literals))
        p.literalsUtf8.push_back(l.toUtf8());
    p.ok = true;
    return p;
}

// Appends ASCII digits and the pattern's literals to a UTF-16 or UTF-8 buffer.
struct Utf16Out {
    QString &s;
    void digit(int v) { s += QChar(u'0' + v); }
    void text(const FastPattern &p, int literal) { s += p.literals.at(literal); }
    void text(const QString &t, const QByteArray &) { s += t; }
};

struct Utf8Out {
    char *p;
    void digit(int v) { *p++ = char('0' + v); }
    void text(const FastPattern &f, int literal) { text(QString(), f.literalsUtf8[std::size_t(literal)]); }
    void text(const QString &, const QByteArray &t)
    {
        std::memcpy(p, t.constData(), std::size_t(t.size()));
        p += t.size();
    }
};

// The most UTF-8 bytes a pattern can give: four-digit years, two digits for the rest.
qsizetype utf8Room(const FastPattern &p, const QByteArray (&amPm)[2][2])
{
    qsizetype longestHalf = 0;
    for (const auto &spellings : amPm)
        for (const QByteArray &text : spellings)
            longestHalf = std::max(longestHalf, text.size());
    qsizetype n = 0;
    for (const FastPattern::Op &op : p.ops) {
        if (op.kind == FastPattern::Literal)
            n += p.literalsUtf8[std::size_t(op.literal)].size();
        else if (op.kind == FastPattern::Year4)
            n += 4;
        else if (op.kind == FastPattern::AmPmUpper || op.kind == FastPattern::AmPmLower)
            n += longestHalf;
        else
            n += 2;
    }
    return n;
}

template <class Out> void number(Out &out, int v, int width)
{
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char(v % 10);
        v /= 10;
    } while (v > 0);
    for (int k = n; k < width; ++k)
        out.digit(0);
    while (n > 0)
        out.digit(digits[--n]);
}

template <class Out> void format(Out &out, const FastPattern &p, const Formats &f, const Fields &t)
{
    for (const FastPattern::Op &op : p.ops) {
        switch (op.kind) {
        case FastPattern::Literal:
            out.text(p, op.literal);
            break;
        case FastPattern::Day:
            number(out, t.day, 1);
            break;
        case FastPattern::Day2:
            number(out, t.day, 2);
            break;
        case FastPattern::Month:
            number(out, t.month, 1);
            break;
        case FastPattern::Month2:
            number(out, t.month, 2);
            break;
        case FastPattern::Year2:
            number(out, t.year % 100, 2);
            break;
        case FastPattern::Year4:
            number(out, t.year, 4);
            break;
        case FastPattern::Hour:
            number(out, t.hour, 1);
            break;
        case FastPattern::Hour2:
            number(out, t.hour, 2);
            break;
        case FastPattern::Hour12:
        case FastPattern::Hour12_2: {
            const int h = t.hour == 0 ? 12 : t.hour > 12 ? t.hour - 12 : t.hour;
            number(out, h, op.kind == FastPattern::Hour12 ? 1 : 2);
            break;
        }
        case FastPattern::Minute:
            number(out, t.minute, 1);
            break;
        case FastPattern::Minute2:
            number(out, t.minute, 2);
            break;
        case FastPattern::Second:
            number(out, t.second, 1);
            break;
        case FastPattern::Second2:
            number(out, t.second, 2);
            break;
        case FastPattern::AmPmUpper:
        case FastPattern::AmPmLower: {
            const int half = t.hour < 12 ? 0 : 1;
            const int lower = op.kind == FastPattern::AmPmLower ? 1 : 0;
            out.text(f.amPm[half][lower], f.amPmUtf8[half][lower]);
            break;
        }
        }
    }
}

QString fastText(const Formats &f, const Fields &t)
{
    QString s;
    s.reserve(24);
    Utf16Out out{s};
    const bool midnight = t.hour == 0 && t.minute == 0 && t.second == 0;
    format(out, midnight ? f.fastShort : f.fastGeneral, f, t);
    return s;
}

Formats makeFormats(QLocale locale);

// Compiled patterns are trusted only when they give exactly what QLocale gives.
bool fastAgreesWithLocale(const Formats &f)
{
    static const Fields probes[] = {{2006, 4, 26, 0, 0, 0},     {2006, 4, 20, 14, 30, 5},
                                    {1999, 12, 31, 23, 59, 59}, {2021, 1, 2, 0, 0, 1},
                                    {2021, 11, 9, 12, 0, 0},    {2008, 2, 29, 1, 2, 3},
                                    {1000, 10, 10, 11, 11, 11}, {2030, 7, 1, 13, 5, 9}};
    for (const Fields &t : probes) {
        const QDateTime dt(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
        const QString expected = dt.time() == QTime(0, 0) ? f.locale.toString(dt.date(), f.shortDate)
                                                          : f.locale.toString(dt, f.generalDate);
        if (fastText(f, t) != expected)
            return false;
    }
    return true;
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
    const QString halves[2] = {locale.amText(), locale.pmText()};
    for (int half = 0; half < 2; ++half) {
        f.amPm[half][0] = halves[half].toUpper();
        f.amPm[half][1] = halves[half].toLower();
        for (int lower = 0; lower < 2; ++lower)
            f.amPmUtf8[half][lower] = f.amPm[half][lower].toUtf8();
    }
    f.fastShort = compilePattern(f.shortDate);
    f.fastGeneral = compilePattern(f.generalDate);
    f.fast = f.fastShort.ok && f.fastGeneral.ok && locale.zeroDigit() == u"0"_s && fastAgreesWithLocale(f);
    if (f.fast)
        f.utf8Room = std::max(utf8Room(f.fastShort, f.amPmUtf8), utf8Room(f.fastGeneral, f.amPmUtf8));
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
    if (text.size() == 19) {
        const QDateTime dt = QDateTime::fromString(text, u"yyyy-MM-dd HH:mm:ss"_s);
        if (dt.isValid())
            return dt;
    }
    return std::nullopt;
}

namespace {

int twoDigits(const char16_t *p, bool &ok)
{
    const int a = p[0] - u'0', b = p[1] - u'0';
    ok = ok && a >= 0 && a <= 9 && b >= 0 && b <= 9;
    return a * 10 + b;
}

// Strict "yyyy-MM-dd HH:mm:ss"; anything looser is left to QDateTime.
template <class Char> bool parseStorage(const Char *p, qsizetype size, Fields &t)
{
    if (size != 19 || p[4] != '-' || p[7] != '-' || p[10] != ' ' || p[13] != ':' || p[16] != ':')
        return false;
    char16_t d[19];
    for (int i = 0; i < 19; ++i)
        d[i] = char16_t(p[i]);
    bool ok = true;
    t.year = twoDigits(d, ok) * 100 + twoDigits(d + 2, ok);
    t.month = twoDigits(d + 5, ok);
    t.day = twoDigits(d + 8, ok);
    t.hour = twoDigits(d + 11, ok);
    t.minute = twoDigits(d + 14, ok);
    t.second = twoDigits(d + 17, ok);
    return ok && t.year >= 1 && QDate::isValid(t.year, t.month, t.day) && t.hour < 24 && t.minute < 60 &&
           t.second < 60;
}

// A local time that the clock skips (a daylight-saving gap) reads differently through QDateTime;
// such days keep the QDateTime path. One look per day, remembered.
bool dayHasNoClockChange(int year, int month, int day)
{
    // Indexed by day: 32 years of days before two share a slot, so a list over ten years
    // of check-ins and check-outs asks the C library once per day, the first time only.
    struct Slot {
        int key = -1;
        bool answer = false;
    };
    static std::vector<Slot> known(1 << 14);
    const int key = (year << 9) | (month << 5) | day;
    Slot &slot = known[std::size_t(key & ((1 << 14) - 1))];
    if (slot.key == key)
        return slot.answer;
    const QDate date(year, month, day);
    slot.key = key;
    slot.answer = QDateTime(date.addDays(-1), QTime(12, 0)).offsetFromUtc() ==
                  QDateTime(date.addDays(1), QTime(12, 0)).offsetFromUtc();
    return slot.answer;
}

} // namespace

QString storageToText(const QString &stored)
{
    const Formats &f = formats();
    Fields t;
    if (f.fast && parseStorage(reinterpret_cast<const char16_t *>(stored.utf16()), stored.size(), t) &&
        dayHasNoClockChange(t.year, t.month, t.day))
        return fastText(f, t);
    if (const auto dt = fromStorage(stored))
        return dateTimeToText(*dt);
    return stored;
}

qsizetype storageTextUtf8Room()
{
    return formats().utf8Room;
}

qsizetype storageTextUtf8(const char *stored, qsizetype size, char *out)
{
    const Formats &f = formats();
    Fields t;
    if (!f.fast || !parseStorage(stored, size, t) || !dayHasNoClockChange(t.year, t.month, t.day))
        return -1;
    Utf8Out o{out};
    const bool midnight = t.hour == 0 && t.minute == 0 && t.second == 0;
    format(o, midnight ? f.fastShort : f.fastGeneral, f, t);
    return o.p - out;
}

} // namespace conv
