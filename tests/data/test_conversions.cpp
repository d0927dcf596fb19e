#include "data/conversions.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestConversions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { conv::setLocale(QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China)); }
    void toInt16_data();
    void toInt16();
    void toInt16DecimalComma_data();
    void toInt16DecimalComma();
    void numericTest_data();
    void numericTest();
    void numberText();
    void dateTextRoundTrip();
    void dateParsing_data();
    void dateParsing();
};

void TestConversions::toInt16_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // 99999 marks "no value"
    QTest::newRow("1.5 up to even") << u"1.5"_s << 2;
    QTest::newRow("2.5 down to even") << u"2.5"_s << 2;
    QTest::newRow("3.5") << u"3.5"_s << 4;
    QTest::newRow("-2.5") << u"-2.5"_s << -2;
    QTest::newRow("007") << u"007"_s << 7;
    QTest::newRow("blanks around") << u"  12 "_s << 12;
    QTest::newRow("max") << u"32767"_s << 32767;
    QTest::newRow("min") << u"-32768"_s << -32768;
    QTest::newRow("32767.5 rounds out") << u"32767.5"_s << 99999;
    QTest::newRow("-32768.5 rounds to even, inside") << u"-32768.5"_s << -32768;
    QTest::newRow("40000") << u"40000"_s << 99999;
    QTest::newRow("thousands") << u"1,234"_s << 1234;
    QTest::newRow("exponent") << u"1e3"_s << 1000;
    QTest::newRow("1e400") << u"1e400"_s << 99999;
    QTest::newRow("NaN") << u"NaN"_s << 99999;
    QTest::newRow("Infinity") << u"Infinity"_s << 99999;
    QTest::newRow("-0") << u"-0"_s << 0;
    QTest::newRow("empty") << QString() << 99999;
    QTest::newRow("letters") << u"abc"_s << 99999;
    QTest::newRow("full-width digits") << u"１２３"_s << 99999;
    QTest::newRow("hex") << u"0x10"_s << 99999;
}

void TestConversions::toInt16()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const auto v = conv::toInt16(text);
    if (expected == 99999)
        QVERIFY2(!v.has_value(), qPrintable(QString::number(v.value_or(0))));
    else
        QCOMPARE(int(v.value_or(-1)), expected);
    QCOMPARE(conv::isNumeric(text), expected != 99999 || text == u"32767.5"_s || text == u"40000"_s);
}

void TestConversions::toInt16DecimalComma_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("1,5") << u"1,5"_s << 2;
    QTest::newRow("2,5") << u"2,5"_s << 2;
    QTest::newRow("1.234 grouped") << u"1.234"_s << 1234;
    QTest::newRow("1.5 is not a number") << u"1.5"_s << 99999;
}

void TestConversions::toInt16DecimalComma()
{
    conv::setLocale(QLocale(QLocale::German, QLocale::Germany));
    QFETCH(QString, text);
    QFETCH(int, expected);
    const auto v = conv::toInt16(text);
    if (expected == 99999)
        QVERIFY(!v.has_value());
    else
        QCOMPARE(int(v.value_or(-1)), expected);
}

void TestConversions::numericTest_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::newRow("12.50") << u"12.50"_s << true;
    QTest::newRow("+3") << u"+3"_s << true;
    QTest::newRow("-3.25e2") << u"-3.25e2"_s << true;
    QTest::newRow(" 7 ") << u" 7 "_s << true;
    QTest::newRow("blank only") << u"   "_s << false;
    QTest::newRow("12元") << u"12元"_s << false;
    QTest::newRow("1..2") << u"1..2"_s << false;
}

void TestConversions::numericTest()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QCOMPARE(conv::isNumeric(text), numeric);
}

void TestConversions::numberText()
{
    QCOMPARE(conv::variantToText(QVariant(120.0)), u"120"_s);
    QCOMPARE(conv::variantToText(QVariant(12.5)), u"12.5"_s);
    QCOMPARE(conv::variantToText(QVariant(qlonglong(-35))), u"-35"_s);
    QCOMPARE(conv::variantToText(QVariant(-0.0)), u"0"_s);
    QCOMPARE(conv::variantToText(QVariant(1234567.25)), u"1234567.25"_s); // no grouping
    QCOMPARE(conv::variantToText(QVariant()), QString());
    conv::setLocale(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(conv::variantToText(QVariant(12.5)), u"12,5"_s);
}

void TestConversions::dateTextRoundTrip()
{
    const QDateTime withTime(QDate(2006, 4, 20), QTime(14, 30, 5));
    const QString shown = conv::dateTimeToText(withTime);
    QVERIFY(shown.contains(u"14:30:05"_s));
    QCOMPARE(conv::textToDateTime(shown), withTime); // seconds survive
    const QDateTime midnight(QDate(2006, 4, 26), QTime(0, 0));
    QCOMPARE(conv::dateTimeToText(midnight), conv::dateToText(QDate(2006, 4, 26)));
    QCOMPARE(conv::textToDateTime(conv::dateTimeToText(midnight)), midnight);
    for (const QLocale &l :
         {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English, QLocale::UnitedStates)}) {
        conv::setLocale(l);
        QCOMPARE(conv::textToDateTime(conv::dateTimeToText(withTime)), withTime);
        // Two-digit years would lose the century.
        QVERIFY(conv::dateToText(QDate(1999, 1, 2)).contains(u"1999"_s));
    }
}

void TestConversions::dateParsing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("iso") << u"2006-04-20 14:30:00"_s << QDateTime(QDate(2006, 4, 20), QTime(14, 30));
    QTest::newRow("short date") << u"2006/4/20"_s << QDateTime(QDate(2006, 4, 20), QTime(0, 0));
    QTest::newRow("2006-02-30") << u"2006-02-30"_s << QDateTime();
    QTest::newRow("0000-00-00") << u"0000-00-00"_s << QDateTime();
    QTest::newRow("far future") << u"9999/12/31"_s << QDateTime(QDate(9999, 12, 31), QTime(0, 0));
    QTest::newRow("words") << u"明天"_s << QDateTime();
}

void TestConversions::dateParsing()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    const auto v = conv::textToDateTime(text);
    if (!expected.isValid())
        QVERIFY(!v.has_value());
    else
        QCOMPARE(v.value_or(QDateTime()), expected);
}

QTEST_GUILESS_MAIN(TestConversions)
#include "test_conversions.moc"
