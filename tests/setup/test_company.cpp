#include "hotel/session.h"
#include "setup/company_window.h"
#include "setup/setup_windows.h"
#include "test_database.h"
#include "ui/windows.h"
#include "window_kit.h"

#include <QPointer>
#include <QTextEdit>

using namespace Qt::Literals::StringLiterals;
using kit::box;
using kit::click;

namespace {

QTextEdit *profile(QWidget *w)
{
    return kit::child<QTextEdit>(w, u"Text8"_s);
}

// Text1 to Text8, as the window shows them.
QStringList boxes(QWidget *w)
{
    QStringList out;
    for (int n = 1; n <= 7; ++n)
        out.append(box(w, u"Text"_s + QString::number(n))->text());
    out.append(profile(w)->toPlainText());
    return out;
}

void setBoxes(QWidget *w, const QStringList &values)
{
    for (int n = 1; n <= 7; ++n)
        kit::set(w, u"Text"_s + QString::number(n), values.at(n - 1));
    profile(w)->setPlainText(values.at(7));
}

QStringList storedRow(TestDatabase &db)
{
    const QList<QStringList> rows =
        db.rows(u"select 企业名称, 法人代表, 电话, 传真, 电子邮件, 地址, 邮政编码, 企业简介 from 公司配置"_s);
    return rows.isEmpty() ? QStringList() : rows.first();
}

const QStringList Stored = {u"老店"_s,  u"李四"_s, u"010-1"_s,  u"<NULL>"_s,
                            u"a@b.c"_s, u"北京"_s, u"100000"_s, u"第一行\n第二行"_s};

void storeCompany(TestDatabase &db)
{
    db.exec(
        u"update 公司配置 set 企业名称=?, 法人代表=?, 电话=?, 传真=null, 电子邮件=?, 地址=?, 邮政编码=?, 企业简介=?"_s,
        {Stored.at(0), Stored.at(1), Stored.at(2), Stored.at(4), Stored.at(5), Stored.at(6), Stored.at(7)});
}

} // namespace

class TestCompany : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerSetupWindows(); }
    void controlsShowStoredValues();
    void save_data();
    void save();
    void noCompanyRowIsNotReportedAsSaved();
    void profileKeepsItsLineBreaks();
    void failedSaveShowsOneFailure();
};

void TestCompany::controlsShowStoredValues()
{
    TestDatabase db;
    storeCompany(db);
    TestSeam seam;
    CompanyWindow *w = kit::open<CompanyWindow>(u"Form3"_s);
    QCOMPARE(w->windowTitle(), u"企业配置信息"_s);
    QCOMPARE(profile(w)->accessibleName(), u"企业简介"_s);
    QCOMPARE(box(w, u"Text5"_s)->accessibleName(), u"电子邮件"_s);
    QStringList expected = Stored;
    expected[3] = QString(); // NULL shows as an empty box
    QCOMPARE(boxes(w), expected);
    QVERIFY(seam.messages.isEmpty());
}

void TestCompany::save_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("all changed, quotes kept")
        << QStringList{u"新'店"_s, u"王五"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"简介'); --"_s}
        << QStringList{u"新'店"_s, u"王五"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"简介'); --"_s};
    QTest::newRow("all empty changes nothing") << QStringList(8, QString()) << Stored;
}

void TestCompany::save()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, stored);
    TestDatabase db;
    storeCompany(db);
    TestSeam seam;
    QPointer<CompanyWindow> w = kit::open<CompanyWindow>(u"Form3"_s);
    setBoxes(w, typed);
    click(w, u"Command2"_s);
    QCOMPARE(seam.messageTexts(), QStringList{u"恭喜您，更新信息完成！"_s});
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Information);
    QCOMPARE(storedRow(db), stored);
    QCOMPARE(db.count(u"公司配置"_s), 1);
    // Shown again with what is stored now.
    QVERIFY(w.isNull());
    CompanyWindow *fresh = seam.last<CompanyWindow>();
    QVERIFY(fresh);
    QCOMPARE(boxes(fresh).first(), stored.first());
    QCOMPARE(boxes(fresh).last(), stored.last());
}

void TestCompany::profileKeepsItsLineBreaks()
{
    TestDatabase db;
    const QString profile = u"第一行\r\n第二行\u00a0末尾\r\n"_s;
    db.exec(u"update 公司配置 set 企业简介=?"_s, {profile});
    TestSeam seam;
    click(kit::open<CompanyWindow>(u"Form3"_s), u"Command2"_s);
    QCOMPARE(storedRow(db).last(), profile); // saved unedited: exactly as stored
    CompanyWindow *w = seam.last<CompanyWindow>();
    ::profile(w)->moveCursor(QTextCursor::End);
    QTest::keyClicks(::profile(w), u"ok"_s);
    click(w, u"Command2"_s);
    QCOMPARE(storedRow(db).last(), u"第一行\r\n第二行\u00a0末尾\r\nok"_s); // edited: its breaks stay CR LF
}

void TestCompany::noCompanyRowIsNotReportedAsSaved()
{
    TestDatabase db;
    db.exec(u"delete from 公司配置"_s);
    TestSeam seam;
    CompanyWindow *w = kit::open<CompanyWindow>(u"Form3"_s);
    QCOMPARE(boxes(w), QStringList(8, QString()));
    QVERIFY(seam.messages.isEmpty());
    kit::set(w, u"Text1"_s, u"新店"_s);
    click(w, u"Command2"_s);
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Warning);
    QCOMPARE(db.count(u"公司配置"_s), 0); // the window never adds the row
    QCOMPARE(seam.last<CompanyWindow>(), w);
    QCOMPARE(kit::text(w, u"Text1"_s), u"新店"_s);
}

void TestCompany::failedSaveShowsOneFailure()
{
    TestDatabase db;
    storeCompany(db);
    TestSeam seam;
    CompanyWindow *w = kit::open<CompanyWindow>(u"Form3"_s);
    kit::set(w, u"Text1"_s, u"新店"_s);
    kit::FaultScope scope;
    faults::failStatement(2); // the update after the select
    click(w, u"Command2"_s);
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Warning);
    QCOMPARE(storedRow(db), Stored);
    QCOMPARE(seam.last<CompanyWindow>(), w);
    QCOMPARE(kit::text(w, u"Text1"_s), u"新店"_s);

    // With the file gone the window opens empty and says nothing (a desk started afresh: one
    // that kept its connection still reads the file it opened).
    faults::reset();
    w->close();
    flushDeletes();
    seam.clear();
    QVERIFY(db.takeAway());
    w = kit::open<CompanyWindow>(u"Form3"_s);
    QCOMPARE(boxes(w), QStringList(8, QString()));
    QVERIFY(seam.messages.isEmpty());
    QVERIFY(db.bringBack());
}

QTEST_MAIN(TestCompany)
#include "test_company.moc"
