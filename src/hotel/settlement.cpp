#include "hotel/settlement.h"

#include "data/conversions.h"

using namespace Qt::Literals::StringLiterals;

namespace hotel {

namespace {

const QString outOfRange = u"超出了 -32768 到 32767 的范围，无法计算数据！"_s;

Outcome refuse(const QString &why)
{
    return Outcome::refused(Refusal::BadValue, why);
}

} // namespace

Result<Settlement> settle(const SettlementInput &in)
{
    if (!in.checkIn)
        return refuse(u"对不起，入住时间不是有效的日期，无法计算数据！"_s);
    if (!in.checkOut)
        return refuse(u"对不起，退房时间不是有效的日期，无法计算数据！"_s);
    const qint64 dayCount = in.checkIn->daysTo(*in.checkOut);
    if (dayCount < 0)
        return refuse(u"对不起，退房时间早于入住时间，无法计算数据！"_s);
    const auto days = conv::toInt16(double(dayCount));
    if (!days)
        return refuse(u"对不起，实际入住天数"_s + outOfRange);
    if (!in.roomListed)
        return refuse(u"对不起，没有房间资料，请先提取信息！"_s);
    // A price with a fraction is charged as the nearest whole yuan, a half to the even one.
    const auto price = in.price ? conv::toInt16(*in.price) : std::nullopt;
    if (!price)
        return refuse(u"对不起，房间的标准价格不是 -32768 到 32767 之间的数字，无法计算数据！"_s);
    if (!in.prepayment)
        return refuse(u"对不起，预付款不是 -32768 到 32767 之间的数字，无法计算数据！"_s);
    const auto amount = conv::toInt16(double(int(*days) * int(*price)));
    if (!amount)
        return refuse(u"对不起，实际金额（"_s + QString::number(*days) + u" 天 × "_s +
                      QString::number(*price) + u" 元）"_s + outOfRange);
    const int balance = int(*amount) - int(*in.prepayment);
    const auto difference = conv::toInt16(double(balance >= 0 ? balance : -balance));
    if (!difference)
        return refuse(balance >= 0 ? u"对不起，应收款"_s + outOfRange : u"对不起，应退款"_s + outOfRange);
    Settlement s;
    s.days = *days;
    s.amount = *amount;
    s.due = balance >= 0 ? *difference : 0;
    s.refund = balance >= 0 ? 0 : *difference;
    return s;
}

} // namespace hotel
