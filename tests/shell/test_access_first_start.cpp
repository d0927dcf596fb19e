#include "data/module1.h"
#include "hotel/session.h"
#include "shell/login_window.h"
#include "shell/shell_windows.h"
#include "test_seam.h"
#include "ui/access_report_dialog.h"
#include "ui/work_progress_dialog.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The operator presses 取消 on the progress bar as soon as it shows; the work waits for that.
class CancellingSeam : public TestSeam
{
public:
    void runWithProgress(QWidget *parent, const QString &caption, const hotel::LongWork &work) override
    {
        QTimer::singleShot(0, [] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (qobject_cast<WorkProgressDialog *>(w) && w->isVisible())
                    QTest::mouseClick(w->findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton);
            }
        });
        ui::Seam::runWithProgress(parent, caption, [&work](const hotel::RowProgress &progress) {
            work([&progress](qint64 done, qint64 total) {
                const QDeadlineTimer patience(10000);
                while (progress(done, total) && !patience.hasExpired())
                    QThread::msleep(5);
                return progress(done, total);
            });
        });
    }
};

// The first column of the first row of `sql` in the house file at `path`.
QVariant houseScalar(const QString &path, const QString &sql)
{
    QVariant out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"look"_s);
        db.setDatabaseName(path);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        QSqlQuery q(db);
        if (db.open() && q.exec(sql) && q.next())
            out = q.value(0);
    }
    QSqlDatabase::removeDatabase(u"look"_s);
    return out;
}

} // namespace

// Quillon unpacked into the old desk program's folder and started: the Access innkeep.mdb there
// is offered to be brought across, once.
class TestAccessFirstStart : public QObject
{
    Q_OBJECT
    QTemporaryDir m_folder; // the old program's folder, Quillon's now too
    QString house() const { return m_folder.filePath(u"innkeep.mdb"_s); }

private Q_SLOTS:
    void initTestCase()
    {
        registerAllWindows();
        Module1::setProgramDirectory(m_folder.path());
    }

    void firstStart_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("yes") << int(ui::vbYes) << false;
        QTest::newRow("no") << int(ui::vbNo) << false;
        QTest::newRow("yes, then 取消") << int(ui::vbYes) << true;
    }

    void firstStart()
    {
        QFETCH(int, answer);
        QFETCH(bool, cancel);
        QVERIFY(QDir(m_folder.path()).removeRecursively() && QDir().mkpath(m_folder.path()));
        const QByteArray access = bytesOf(u":/access/plain.mdb"_s);
        QVERIFY(QFile::copy(u":/access/plain.mdb"_s, house()));
        QVERIFY(QFile::setPermissions(house(), QFile::ReadOwner | QFile::WriteOwner));
        std::unique_ptr<TestSeam> seam(cancel ? new CancellingSeam : new TestSeam);
        seam->answer(answer);

        auto login = std::make_unique<Form1>();
        login->show();
        const bool moved = login->offerAccessMove();
        QCOMPARE(moved, answer == ui::vbYes && !cancel);
        QVERIFY(seam->messages.at(0).text.contains(QDir::toNativeSeparators(house())));
        const QDir folder(m_folder.path());
        if (!moved) {
            // Said why, and nothing changed: no file beside it, not a byte of it.
            QCOMPARE(seam->messages.size(), 2);
            QCOMPARE(folder.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                     QStringList{u"innkeep.mdb"_s});
            QCOMPARE(bytesOf(house()), access);
            return;
        }
        // A Quillon house now, with the Access house's rows and operators.
        QCOMPARE(seam->messages.size(), 1);
        QCOMPARE(houseScalar(house(), u"select count(*) from 房间"_s).toInt(), 12);
        QCOMPARE(houseScalar(house(), u"select count(*) from 旅客退房"_s).toInt(), 40);
        QVERIFY(hotel::Session::logIn(u"前台小李"_s, u"li2006"_s).ok());
        // The Access file is kept as it was, byte for byte.
        const QDir kept(folder.filePath(u"innkeep-backups"_s));
        const QStringList keptFiles = kept.entryList(QDir::Files);
        QCOMPARE(keptFiles.size(), 1);
        QVERIFY(keptFiles.first().startsWith(u"innkeep-access-"_s));
        QCOMPARE(bytesOf(kept.filePath(keptFiles.first())), access);
        // The report shown is the one the house records.
        auto *report = seam->last<AccessReportDialog>();
        QVERIFY(report);
        QCOMPARE(report->report(),
                 houseScalar(house(), u"select 数据表 from 操作记录 where 操作='导入旧数据'"_s).toString());

        // The next start finds Quillon's own house and asks nothing.
        Form1 again;
        QVERIFY(!again.offerAccessMove());
        QCOMPARE(seam->messages.size(), 1);
        QCOMPARE(kept.entryList(QDir::Files), keptFiles);
    }
};

QTEST_MAIN(TestAccessFirstStart)
#include "test_access_first_start.moc"
