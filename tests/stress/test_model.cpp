#include "data/connection.h"
#include "direct_db.h"
#include "hotel_file.h"
#include "stay_model.h"
#include "stay_operations.h"
#include "test_database.h"
#include "test_seam.h"

#include <QFileInfo>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// Random desk operations through the real windows, each followed by a comparison of the whole
// file with a small model of rooms, stays, reservations, completed stays and ledgers.
// QUILLON_SEED=<n> [QUILLON_OPERATIONS=<m>] repeats one run.
class TestModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void randomOperations_data();
    void randomOperations();
    void lostWriteIsNoticed();
    void cleanupTestCase();

private:
    int m_compared = 0;
    int m_differences = 0;
};

namespace {

const stress::Kind allKinds[] = {stress::Kind::CheckIn,
                                 stress::Kind::Reserve,
                                 stress::Kind::Cancel,
                                 stress::Kind::CorrectStay,
                                 stress::Kind::CorrectReservation,
                                 stress::Kind::CheckOut,
                                 stress::Kind::Takings,
                                 stress::Kind::Disbursement};

void addHotelRooms(TestDatabase &db)
{
    for (const stress::HotelRoom &room : stress::hotelRooms())
        db.addRoom(room.number, room.price);
}

} // namespace

void TestModel::initTestCase()
{
    stress::quietOffscreenWarnings();
    // What is compared here is what the windows write, not how it reaches the disk; a file in
    // memory keeps thousands of commits quick.
    const QFileInfo shm(u"/dev/shm"_s);
    if (shm.isDir() && shm.isWritable() && !qEnvironmentVariableIsSet("QUILLON_MODEL_ON_DISK"))
        qputenv("TMPDIR", "/dev/shm");
}

void TestModel::randomOperations_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("operations");
    const QByteArray seed = qgetenv("QUILLON_SEED");
    if (!seed.isEmpty()) {
        const int operations = qEnvironmentVariableIsSet("QUILLON_OPERATIONS")
                                   ? qEnvironmentVariableIntValue("QUILLON_OPERATIONS")
                                   : 400;
        QTest::newRow(seed.constData()) << seed.toULongLong() << operations;
        return;
    }
    for (const quint64 s : {1ULL, 20061ULL, 4242ULL})
        QTest::newRow(qPrintable(u"seed "_s + QString::number(s))) << s << 350;
}

void TestModel::randomOperations()
{
    QFETCH(quint64, seed);
    QFETCH(int, operations);
    TestDatabase db;
    addHotelRooms(db);
    TestSeam seam;
    const DirectDb file(db.path());
    stress::StayModel model(file);
    stress::OperationGenerator generator(seed, seam);
    for (int step = 1; step <= operations; ++step) {
        const stress::Operation op = generator.next();
        QStringList differences = model.apply(op);
        differences += model.compare(file);
        differences += stress::invariantProblems(db.path());
        if (!differences.isEmpty()) {
            qInfo("failing seed %llu at step %d (repeat with QUILLON_SEED=%llu)", seed, step, seed);
            qInfo().noquote() << op.describe();
            for (const QString &d : std::as_const(differences))
                qInfo().noquote() << "  " << d;
            m_differences += int(differences.size());
            QFAIL(qPrintable(u"model and file differ: seed %1, step %2"_s.arg(seed).arg(step)));
        }
        ++m_compared;
    }
    // Every kind of operation must have changed data, or the run proved little.
    QStringList reached;
    for (const stress::Kind kind : allKinds) {
        reached << stress::kindName(kind) + u" "_s + QString::number(model.accepted.value(kind));
        QVERIFY2(model.accepted.value(kind) > 0, qPrintable(stress::kindName(kind) + u" never accepted"_s));
    }
    qInfo().noquote() << "accepted:" << reached.join(u", "_s);
}

// The comparison must see a write that never reached the file: a check-in whose commit fails
// is reported by the window, and the model, which expected it stored, disagrees.
void TestModel::lostWriteIsNoticed()
{
    TestDatabase db;
    addHotelRooms(db);
    TestSeam seam;
    const DirectDb file(db.path());
    stress::StayModel model(file);
    stress::OperationGenerator generator(99, seam);
    for (int attempt = 0; attempt < 50; ++attempt) {
        const int before = model.accepted.value(stress::Kind::CheckIn);
        faults::failCommit(true);
        const stress::Operation op = generator.run(stress::Kind::CheckIn);
        faults::reset();
        QStringList differences = model.apply(op);
        differences += model.compare(file);
        if (model.accepted.value(stress::Kind::CheckIn) == before)
            continue; // refused input: nothing was to be written
        QVERIFY(!differences.isEmpty());
        QVERIFY2(differences.filter(u"旅客入住 of room"_s).size() == 1,
                 qPrintable(differences.join(u"\n"_s)));
        QVERIFY2(differences.filter(u"messages:"_s).size() == 1, qPrintable(differences.join(u"\n"_s)));
        return;
    }
    QFAIL("no check-in was accepted in 50 attempts");
}

void TestModel::cleanupTestCase()
{
    qInfo("model: %d operations compared, %d differences", m_compared, m_differences);
}

QTEST_MAIN(TestModel)
#include "test_model.moc"
