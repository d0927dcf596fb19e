#include "hotel/records.h"

#include "data/conversions.h"
#include "data/schema.h"

using namespace Qt::Literals::StringLiterals;

namespace hotel {

namespace {

QString text(const QVariantList &row, int i)
{
    const QVariant v = row.value(i);
    return v.isNull() ? QString() : conv::variantToText(v);
}

Int16 int16(const QVariantList &row, int i)
{
    const QVariant v = row.value(i);
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (ok && n >= -32768 && n <= 32767)
        return qint16(n);
    return conv::toInt16(v.toDouble());
}

Number number(const QVariantList &row, int i)
{
    const QVariant v = row.value(i);
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? Number(d) : std::nullopt;
}

Time time(const QVariantList &row, int i)
{
    const QVariant v = row.value(i);
    if (v.isNull())
        return std::nullopt;
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    return conv::fromStorage(v.toString());
}

QVariant stored(const Int16 &v)
{
    return v ? QVariant(int(*v)) : QVariant();
}

QVariant stored(const Number &v)
{
    return v ? QVariant(*v) : QVariant();
}

QVariant stored(const Time &v)
{
    return v && v->isValid() ? QVariant(conv::toStorage(*v)) : QVariant();
}

qint64 key(const QVariantList &row)
{
    return row.value(0).toLongLong();
}

} // namespace

template <> Floor fromRow(const QVariantList &r)
{
    return {key(r), text(r, 1)};
}
template <> QVariantList toRow(const Floor &f)
{
    return {f.name};
}
template <> const QString &tableOf<Floor>()
{
    return schema::Floors;
}

template <> Room fromRow(const QVariantList &r)
{
    return {key(r), text(r, 1), text(r, 2), text(r, 3), text(r, 4), number(r, 5), number(r, 6), int16(r, 7)};
}
template <> QVariantList toRow(const Room &x)
{
    return {x.number, x.name, x.type, x.floor, stored(x.price), stored(x.memberPrice), stored(x.status)};
}
template <> const QString &tableOf<Room>()
{
    return schema::Rooms;
}

template <> Stay fromRow(const QVariantList &r)
{
    return {key(r),      text(r, 1),  text(r, 2),  text(r, 3),  text(r, 4), time(r, 5),
            int16(r, 6), int16(r, 7), int16(r, 8), int16(r, 9), text(r, 10)};
}
template <> QVariantList toRow(const Stay &x)
{
    return {x.guest,
            x.unit,
            x.idType,
            x.idNumber,
            stored(x.checkIn),
            stored(x.plannedDays),
            stored(x.persons),
            stored(x.room),
            stored(x.prepayment),
            x.remarks};
}

template <> CompletedStay fromRow(const QVariantList &r)
{
    return {key(r),       text(r, 1),   text(r, 2),   text(r, 3),  text(r, 4),  time(r, 5),
            int16(r, 6),  int16(r, 7),  int16(r, 8),  int16(r, 9), time(r, 10), int16(r, 11),
            int16(r, 12), int16(r, 13), int16(r, 14), text(r, 15)};
}
template <> QVariantList toRow(const CompletedStay &x)
{
    return {x.guest,
            x.unit,
            x.idType,
            x.idNumber,
            stored(x.checkIn),
            stored(x.plannedDays),
            stored(x.persons),
            stored(x.room),
            stored(x.prepayment),
            stored(x.checkOut),
            stored(x.days),
            stored(x.amount),
            stored(x.due),
            stored(x.refund),
            x.remarks};
}
template <> const QString &tableOf<CompletedStay>()
{
    return schema::CompletedStays;
}

template <> LedgerEntry fromRow(const QVariantList &r)
{
    return {key(r), time(r, 1), number(r, 2), text(r, 3)};
}
template <> QVariantList toRow(const LedgerEntry &x)
{
    return {stored(x.time), stored(x.amount), x.person};
}

template <> Operator fromRow(const QVariantList &r)
{
    return {key(r), text(r, 1), text(r, 2), text(r, 3)};
}
template <> QVariantList toRow(const Operator &x)
{
    return {x.name, x.password, x.rights};
}
template <> const QString &tableOf<Operator>()
{
    return schema::Operators;
}

template <> Company fromRow(const QVariantList &r)
{
    return {key(r),     text(r, 1), text(r, 2), text(r, 3), text(r, 4),
            text(r, 5), text(r, 6), text(r, 7), text(r, 8)};
}
template <> QVariantList toRow(const Company &x)
{
    return {x.name, x.representative, x.phone, x.fax, x.email, x.address, x.postcode, x.profile};
}
template <> const QString &tableOf<Company>()
{
    return schema::Company;
}

Int16 BoxReader::int16(const QString &text)
{
    if (text.isNull())
        return std::nullopt;
    const auto n = conv::toInt16(text);
    if (!n && ok())
        m_refusal = u"数值“"_s + text + u"”不是 -32768 到 32767 之间的整数（溢出或类型不匹配）。"_s;
    return n;
}

Number BoxReader::number(const QString &text)
{
    if (text.isNull())
        return std::nullopt;
    const auto d = conv::toNumber(text);
    if (!d && ok())
        m_refusal = u"“"_s + text + u"”不是数字（类型不匹配）。"_s;
    return d;
}

Time BoxReader::time(const QString &text)
{
    if (text.isNull())
        return std::nullopt;
    const auto dt = conv::textToDateTime(text);
    if ((!dt || !dt->isValid()) && ok())
        m_refusal = u"“"_s + text + u"”不是日期（类型不匹配）。"_s;
    return dt;
}

Time BoxReader::time(const QDateTime &value)
{
    if (!value.isValid() && ok())
        m_refusal = u"“"_s + value.toString() + u"”不是日期（类型不匹配）。"_s;
    return value.isValid() ? Time(value) : std::nullopt;
}

} // namespace hotel
