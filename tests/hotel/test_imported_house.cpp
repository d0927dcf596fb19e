#include "data/access_house.h"
#include "data/house_location.h"
#include "hotel/checkout.h"
#include "hotel/statistics.h"
#include "hotel/stays.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// A house brought across from the old program's Access file works at the desk as one made here.
class TestImportedHouse : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aDeskChecksInAndOut();
};

void TestImportedHouse::aDeskChecksInAndOut()
{
    QTemporaryDir dir;
    const accesshouse::Report imported = accesshouse::importToFile(
        QStringLiteral(QUILLON_ACCESS_FIXTURES "/renamed.mdb"), dir.filePath(u"innkeep.mdb"_s), {});
    QVERIFY2(imported.ok(), qPrintable(accesshouse::reportText(imported)));
    const HouseLocation house{dir.path()};

    // The old program let ADMIN in as admin; passwords are compared exactly now.
    QVERIFY(!hotel::Session::logIn(house, u"admin"_s, u"ADMIN"_s).ok());
    const auto login = hotel::Session::logIn(house, u"admin"_s, u"admin"_s);
    QVERIFY2(login.ok(), qPrintable(login.message()));
    hotel::Session::setCurrent(login.value());

    hotel::Stay stay;
    stay.guest = u"钱八"_s;
    stay.checkIn = QDateTime(QDate(2026, 12, 1), QTime(15, 0));
    stay.plannedDays = 2;
    stay.persons = 1;
    stay.room = 3; // 103, free
    stay.prepayment = 300;
    const auto entered = hotel::enterStay(hotel::session(), hotel::StayKind::Stay, stay);
    QVERIFY2(entered.ok(), qPrintable(entered.message()));
    QCOMPARE(entered.value(), 5); // past the four stays brought across

    const auto before = hotel::staysOfRoom(hotel::session(), u"103"_s);
    QVERIFY(before.ok() && before.value()->count() > 0); // its old stays came across
    const auto quote = hotel::checkout::quote(hotel::session(), u"103"_s);
    QVERIFY2(quote.ok(), qPrintable(quote.message()));
    QCOMPARE(quote->stay().guest, u"钱八"_s);
    hotel::CompletedStay done;
    done.guest = quote->stay().guest;
    done.checkIn = quote->stay().checkIn;
    done.room = quote->stay().room;
    done.prepayment = quote->stay().prepayment;
    done.checkOut = QDateTime(QDate(2026, 12, 3), QTime());
    done.days = 2;
    done.amount = 301;
    done.due = 1;
    done.refund = 0;
    const hotel::Outcome out = hotel::checkout::confirm(hotel::session(), quote.value(), done);
    QVERIFY2(out.ok(), qPrintable(out.message()));

    // The room's statistics: its old stays and the new one, numbered after the 41 brought across.
    const auto stays = hotel::staysOfRoom(hotel::session(), u"103"_s);
    QVERIFY2(stays.ok(), qPrintable(stays.message()));
    QCOMPARE(stays.value()->count(), before.value()->count() + 1);
    const auto newest = stays.value()->read(0, 1);
    QCOMPARE(newest.front().value(0).toLongLong(), 42);
    QCOMPARE(newest.front().value(12).toInt(), 301);
    hotel::Session::setCurrent(nullptr);
}

QTEST_GUILESS_MAIN(TestImportedHouse)
#include "test_imported_house.moc"
