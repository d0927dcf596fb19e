#include "hotel/ledgers.h"
#include "test_database.h"

#include <QTest>
#include <limits>

using namespace Qt::Literals::StringLiterals;
using hotel::Ledger;
using hotel::LedgerEntry;
using hotel::Refusal;

Q_DECLARE_METATYPE(Ledger)
Q_DECLARE_METATYPE(LedgerEntry)

namespace {

enum Action { Add, Rewrite, Delete };

QList<QStringList> entries(TestDatabase &db, const QString &table)
{
    return db.rows(u"select * from "_s + table + u" order by 1"_s);
}

LedgerEntry entry(std::optional<double> amount, const QString &time = u"2026-12-07 09:30:15"_s)
{
    return {0, QDateTime::fromString(time, u"yyyy-MM-dd HH:mm:ss"_s), amount, u"O'Brien 王"_s};
}

} // namespace

// Adding, rewriting and deleting an entry of either ledger, on the entry as the ledger listed it
// and as another desk may have left it since; the list's count and sum after each.
class TestLedgers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void change_data();
    void change();
};

void TestLedgers::change_data()
{
    QTest::addColumn<Ledger>("ledger");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("elsewhere"); // what another desk does to the first entry once listed
    QTest::addColumn<QString>("rights");
    QTest::addColumn<LedgerEntry>("typed");
    QTest::addColumn<int>("refusal");
    const QString amount = u"update %1 set %1金额=501 where %1ID=?"_s;
    const QString second = u"update %1 set %1时间='2006-05-01 08:00:01' where %1ID=?"_s;
    const QString same = u"update %1 set %1人=%1人 where %1ID=?"_s;
    const QString gone = u"delete from %1 where %1ID=?"_s;
    const QString finance = u"Z:d"_s;
    const QString others = u"Z:abcef"_s;
    const LedgerEntry ok = entry(12.5);
    const int none = int(Refusal::None), bad = int(Refusal::BadValue), noRight = int(Refusal::NoRight);
    for (Ledger l : {Ledger::Takings, Ledger::Disbursements}) {
        const QByteArray k = l == Ledger::Takings ? "takings " : "disbursements ";
        auto row = [&](const char *name, Action a, const QString &e, const QString &r, const LedgerEntry &t,
                       int refusal) { QTest::newRow(k + name) << l << int(a) << e << r << t << refusal; };
        row("add", Add, {}, finance, ok, none);
        row("add, negative at midnight", Add, {}, finance, entry(-20, u"2006-04-26 00:00:00"_s), none);
        row("add, no right", Add, {}, others, ok, noRight);
        row("add, no amount", Add, {}, finance, entry(std::nullopt), bad);
        row("add, infinite amount", Add, {}, finance, entry(std::numeric_limits<double>::infinity()), bad);
        row("add, no time", Add, {}, finance, LedgerEntry{0, std::nullopt, 1.0, u"张三"_s}, bad);
        row("rewrite", Rewrite, {}, finance, ok, none);
        row("rewrite, rewritten to the same elsewhere", Rewrite, same, finance, ok, none);
        row("rewrite, amount changed", Rewrite, amount, finance, ok, int(Refusal::Changed));
        row("rewrite, a second later", Rewrite, second, finance, ok, int(Refusal::Changed));
        row("rewrite, deleted", Rewrite, gone, finance, ok, int(Refusal::Gone));
        row("rewrite, no right", Rewrite, {}, others, ok, noRight);
        row("rewrite, no amount", Rewrite, {}, finance, entry(std::nullopt), bad);
        row("rewrite, no amount, no right", Rewrite, {}, others, entry(std::nullopt), noRight);
        row("delete", Delete, {}, finance, ok, none);
        row("delete, amount changed", Delete, amount, finance, ok, int(Refusal::Changed));
        row("delete, deleted", Delete, gone, finance, ok, int(Refusal::Gone));
        row("delete, no right", Delete, {}, others, ok, noRight);
    }
}

void TestLedgers::change()
{
    QFETCH(Ledger, ledger);
    QFETCH(int, action);
    QFETCH(QString, elsewhere);
    QFETCH(QString, rights);
    QFETCH(LedgerEntry, typed);
    QFETCH(int, refusal);
    TestDatabase db;
    // Both ledgers hold two entries, so an operation on the wrong one shows.
    for (const QString &t : {u"交款"_s, u"拔款"_s}) {
        const QString sql = u"insert into %1 (%1时间, %1金额, %1人) values (?, ?, ?)"_s.arg(t);
        db.exec(sql, {u"2006-05-01 08:00:00"_s, 500, u"张三"_s});
        db.exec(sql, {u"2006-05-02 18:30:00"_s, 0.25, u"李四"_s});
    }
    const QString table = hotel::ledgerTable(ledger);
    const QString twin =
        hotel::ledgerTable(ledger == Ledger::Takings ? Ledger::Disbursements : Ledger::Takings);
    const QList<QStringList> twinBefore = entries(db, twin);
    const auto listed = hotel::ledgerEntries(hotel::session(), ledger);
    QVERIFY(listed.ok());
    const auto shown = hotel::fromRow<LedgerEntry>(listed.value()->read(0, 1).at(0));
    if (!elsewhere.isEmpty())
        db.exec(elsewhere.arg(table), {shown.key});
    QList<QStringList> expected = entries(db, table);

    hotel::Session desk(db.location(), u"前台"_s, rights);
    const hotel::Outcome o = action == Add       ? hotel::addLedgerEntry(&desk, ledger, typed)
                             : action == Rewrite ? hotel::rewriteLedgerEntry(&desk, ledger, shown, typed)
                                                 : hotel::deleteLedgerEntry(&desk, ledger, shown);
    if (refusal == int(Refusal::None))
        QVERIFY2(o.ok(), qPrintable(o.message()));
    else
        QVERIFY2(o.isRefused(Refusal(refusal)), qPrintable(o.message()));
    if (refusal == int(Refusal::BadValue)) // worded as the store words a value it cannot take
        QVERIFY(o.detail().endsWith(u"（类型不匹配）。"_s));

    const QStringList stored{typed.time ? typed.time->toString(u"yyyy-MM-dd HH:mm:ss"_s) : QString(),
                             typed.amount ? QString::number(*typed.amount) : QString(), typed.person};
    QList<QStringList> after = entries(db, table);
    if (o.ok() && action == Add) {
        QVERIFY(after.last().at(0).toLongLong() > expected.last().at(0).toLongLong());
        QCOMPARE(after.takeLast().mid(1), stored);
    }
    if (o.ok() && action == Rewrite)
        expected.first() = QStringList{QString::number(shown.key)} + stored;
    if (o.ok() && action == Delete)
        expected.removeFirst();
    // Only the entry meant changes, and only when it still read as listed.
    QCOMPARE(after, expected);
    QCOMPARE(entries(db, twin), twinBefore);

    // Listed afterwards oldest first, counted and summed over the ledger's own entries.
    const auto now = hotel::ledgerEntries(hotel::session(), ledger);
    QVERIFY(now.ok());
    QStringList keys;
    double sum = 0;
    for (const QStringList &e : entries(db, table)) {
        keys.append(e.at(0));
        sum += e.at(2).toDouble();
    }
    QStringList listedKeys;
    for (const QVariantList &row : now.value()->read(0, now.value()->count()))
        listedKeys.append(row.at(0).toString());
    QCOMPARE(listedKeys, keys);
    QCOMPARE(now.value()->sums(), QList<double>{sum});
    QCOMPARE(hotel::ledgerEntries(&desk, ledger).isRefused(Refusal::NoRight), !rights.contains(u'd'));
}

QTEST_MAIN(TestLedgers)
#include "test_ledgers.moc"
