#include "data/house_location.h"
#include "hotel/session.h"
#include "shell/login_window.h"
#include "shell/shell_windows.h"
#include "test_seam.h"
#include "ui/access_report_dialog.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// Quillon unpacked into the old desk program's folder and started: its Access innkeep.mdb is
// offered to be brought across, once. The progress bar runs as on a desk.
class TestAccessFirstStart : public QObject
{
    Q_OBJECT
    QTemporaryDir m_folder;
    QString house() const { return m_folder.filePath(u"innkeep.mdb"_s); }
    // The program's folder is the old program's, of its own: the house is beside it.
    HouseLocation location() const { return houseLocationFor(m_folder.path()); }

private Q_SLOTS:
    void initTestCase() { registerAllWindows(); }

    void answeredNoChangesNothing()
    {
        QVERIFY(QFile::copy(u":/access/plain.mdb"_s, house()));
        TestSeam seam;
        seam.answer(false);
        LoginWindow login(location());
        QVERIFY(!login.offerAccessMove());
        QCOMPARE(seam.messages.size(), 2); // the question, then that it cannot be opened
        QCOMPARE(QDir(m_folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                 QStringList{u"innkeep.mdb"_s});
        QCOMPARE(bytesOf(house()), bytesOf(u":/access/plain.mdb"_s));
    }

    // The next start, with the Access file the answer no left as it was.
    void answeredYesBringsItAcrossOnce()
    {
        TestSeam seam;
        seam.answer(true);
        LoginWindow login(location());
        login.show();
        QVERIFY(login.offerAccessMove());
        // A Quillon house that admits the old operators; its rows are test_access_restore's.
        QVERIFY(hotel::Session::logIn(location(), u"前台小李"_s, u"li2006"_s).ok());
        // The Access file is kept as it was, byte for byte.
        const QDir kept(m_folder.filePath(u"innkeep-backups"_s));
        const QStringList keptFiles = kept.entryList(QDir::Files);
        QCOMPARE(keptFiles.size(), 1);
        QVERIFY(keptFiles.first().startsWith(u"innkeep-access-"_s));
        QCOMPARE(bytesOf(kept.filePath(keptFiles.first())), bytesOf(u":/access/plain.mdb"_s));
        const auto *report = seam.last<AccessReportDialog>();
        QVERIFY(report && report->report().contains(u"旅客退房"_s));

        // The start after finds Quillon's own house and asks nothing.
        LoginWindow again(location());
        QVERIFY(!again.offerAccessMove());
        QCOMPARE(seam.messages.size(), 1);
        QCOMPARE(kept.entryList(QDir::Files), keptFiles);
    }
};

QTEST_MAIN(TestAccessFirstStart)
#include "test_access_first_start.moc"
