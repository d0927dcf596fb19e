#include "hotel/settlement.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(hotel::SettlementInput)

class TestSettlement : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void settle_data();
    void settle();
};

namespace {

hotel::SettlementInput input(QDate in, QDate out, double price, int prepayment)
{
    hotel::SettlementInput i;
    i.checkIn = in;
    i.checkOut = out;
    i.roomListed = true;
    i.price = price;
    i.prepayment = qint16(prepayment);
    return i;
}

const QDate april20(2006, 4, 20);

} // namespace

void TestSettlement::settle_data()
{
    QTest::addColumn<hotel::SettlementInput>("in");
    QTest::addColumn<QList<int>>("expected"); // days, amount, due, refund; empty when refused
    QTest::addColumn<QString>("refusal");
    const QDate april26(2006, 4, 26);
    QTest::newRow("worked example, due")
        << input(april20, april26, 120, 500) << QList{6, 720, 220, 0} << QString();
    QTest::newRow("worked example, refund")
        << input(april20, april26, 120, 800) << QList{6, 720, 0, 80} << QString();
    QTest::newRow("same day") << input(april20, april20, 120, 50) << QList{0, 0, 0, 50} << QString();
    QTest::newRow("amount equals prepayment")
        << input(april20, april26, 100, 600) << QList{6, 600, 0, 0} << QString();
    QTest::newRow("across a leap day")
        << input(QDate(2008, 2, 28), QDate(2008, 3, 1), 10, 0) << QList{2, 20, 20, 0} << QString();
    QTest::newRow("price rounds half to even")
        << input(april20, april20.addDays(1), 120.5, 0) << QList{1, 120, 120, 0} << QString();
    QTest::newRow("price rounds up past the half")
        << input(april20, april20.addDays(1), 121.5, 0) << QList{1, 122, 122, 0} << QString();
    QTest::newRow("price not 16-bit (40000)")
        << input(april20, april26, 40000, 0) << QList<int>()
        << u"对不起，房间的标准价格不是 -32768 到 32767 之间的数字，无法计算数据！"_s;
    QTest::newRow("negative days") << input(april26, april20, 120, 0) << QList<int>()
                                   << u"对不起，退房时间早于入住时间，无法计算数据！"_s;
    QTest::newRow("days 32767") << input(april20, april20.addDays(32767), 1, 0)
                                << QList{32767, 32767, 32767, 0} << QString();
    QTest::newRow("days 32768") << input(april20, april20.addDays(32768), 1, 0) << QList<int>()
                                << u"对不起，实际入住天数超出了 -32768 到 32767 的范围，无法计算数据！"_s;
    QTest::newRow("amount 32767") << input(april20, april20.addDays(1), 32767, 0) << QList{1, 32767, 32767, 0}
                                  << QString();
    QTest::newRow("amount 32768 (256 x 128)")
        << input(april20, april20.addDays(256), 128, 0) << QList<int>()
        << u"对不起，实际金额（256 天 × 128 元）超出了 -32768 到 32767 的范围，无法计算数据！"_s;
    QTest::newRow("300 days at 120")
        << input(april20, april20.addDays(300), 120, 0) << QList<int>()
        << u"对不起，实际金额（300 天 × 120 元）超出了 -32768 到 32767 的范围，无法计算数据！"_s;
    QTest::newRow("amount -32768") << input(april20, april20.addDays(1), -32768, -32768)
                                   << QList{1, -32768, 0, 0} << QString();
    QTest::newRow("amount -32769 (2 x -16385)")
        << input(april20, april20.addDays(2), -16385, 0) << QList<int>()
        << u"对不起，实际金额（2 天 × -16385 元）超出了 -32768 到 32767 的范围，无法计算数据！"_s;
    QTest::newRow("due 32767") << input(april20, april20.addDays(1), 32767, 0) << QList{1, 32767, 32767, 0}
                               << QString();
    QTest::newRow("due 32768") << input(april20, april20.addDays(1), 32767, -1) << QList<int>()
                               << u"对不起，应收款超出了 -32768 到 32767 的范围，无法计算数据！"_s;
    QTest::newRow("refund 32767") << input(april20, april20, 120, 32767) << QList{0, 0, 0, 32767}
                                  << QString();
    QTest::newRow("refund 32768") << input(april20, april20, 120, -32768) << QList<int>()
                                  << u"对不起，应收款超出了 -32768 到 32767 的范围，无法计算数据！"_s;
    QTest::newRow("refund 32769 the other way")
        << input(april20, april20.addDays(1), -1, 32767) << QList<int>()
        << u"对不起，应退款超出了 -32768 到 32767 的范围，无法计算数据！"_s;

    hotel::SettlementInput noDate = input(april20, april26, 120, 0);
    noDate.checkIn.reset();
    QTest::newRow("no check-in date")
        << noDate << QList<int>() << u"对不起，入住时间不是有效的日期，无法计算数据！"_s;
    noDate = input(april20, april26, 120, 0);
    noDate.checkOut.reset();
    QTest::newRow("no check-out date")
        << noDate << QList<int>() << u"对不起，退房时间不是有效的日期，无法计算数据！"_s;
    hotel::SettlementInput noRoom = input(april20, april26, 120, 0);
    noRoom.roomListed = false;
    noRoom.price.reset();
    QTest::newRow("no room row") << noRoom << QList<int>() << u"对不起，没有房间资料，请先提取信息！"_s;
    hotel::SettlementInput badPrice = input(april20, april26, 120, 0);
    badPrice.price.reset();
    QTest::newRow("no price stored")
        << badPrice << QList<int>()
        << u"对不起，房间的标准价格不是 -32768 到 32767 之间的数字，无法计算数据！"_s;
    hotel::SettlementInput badPrepayment = input(april20, april26, 120, 0);
    badPrepayment.prepayment.reset();
    QTest::newRow("prepayment not 16-bit")
        << badPrepayment << QList<int>()
        << u"对不起，预付款不是 -32768 到 32767 之间的数字，无法计算数据！"_s;
}

void TestSettlement::settle()
{
    QFETCH(hotel::SettlementInput, in);
    QFETCH(QList<int>, expected);
    QFETCH(QString, refusal);
    const hotel::Result<hotel::Settlement> out = hotel::settle(in);
    QCOMPARE(out.ok(), !expected.isEmpty());
    if (out.ok())
        QCOMPARE((QList<int>{out->days, out->amount, out->due, out->refund}), expected);
    else
        QCOMPARE(out.refusal(), hotel::Refusal::BadValue);
    QCOMPARE(out.message(), refusal);
}

QTEST_GUILESS_MAIN(TestSettlement)
#include "test_settlement.moc"
