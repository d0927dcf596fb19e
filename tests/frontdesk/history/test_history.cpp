#include "data/conversions.h"
#include "frontdesk/history/checkout_sheet.h"
#include "frontdesk/history/history_window.h"
#include "frontdesk/history/history_windows.h"
#include "hotel/session.h"
#include "test_database.h"
#include "ui/chosen_record.h"
#include "ui/grid_fill.h"
#include "window_kit.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QPaintEngine>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;
using namespace kit;

namespace {

struct Stay {
    QString name;
    QString unit;
    QString checkIn; // as stored
    int planned;
    int persons;
    qint64 room;
    int prepaid;
    QString checkOut;
    int actual;
    int amount;
    int due;
    int refund;
    QString remarks;
};

qint64 addStay(TestDatabase &db, const Stay &s)
{
    return db.insert(
        u"insert into 旅客退房 (旅客姓名, 旅客单位, 证件名称, 证件号码, 入住时间, 计划入住天数, 入住人数, "
        u"房间ID, 预付款, 退房时间, 实际入住天数, 实际金额, 应收款, 应退款, 备注信息) "
        u"values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
        {s.name, s.unit, u"身份证"_s, u"110101198001010011"_s, s.checkIn, s.planned, s.persons, s.room,
         s.prepaid, s.checkOut, s.actual, s.amount, s.due, s.refund,
         s.remarks.isEmpty() ? QVariant() : QVariant(s.remarks)});
}

// One night at 120, paid on leaving: the stay most cases need.
qint64 addNight(TestDatabase &db, const QString &name, qint64 room, const QString &checkIn,
                const QString &checkOut)
{
    return addStay(db, {name, {}, checkIn, 1, 1, room, 0, checkOut, 1, 120, 120, 0, {}});
}

HistoryWindow *openHistory()
{
    return open<HistoryWindow>(u"Form13"_s);
}

// The newest stay chosen in the list and its sheet opened.
void openSheet(HistoryWindow *w)
{
    kit::grid(w, u"MSFlexGrid2"_s)->selectRecord(1);
    click(w, u"Command2"_s);
}

// One completed stay, chosen in the list, and its sheet opened.
void openSheetOnAChosenStay(TestDatabase &db)
{
    addNight(db, u"甲"_s, db.addRoom(u"1"_s), u"2006-01-01 08:00:00"_s, u"2006-01-02 00:00:00"_s);
    openSheet(openHistory());
}

QString label(QWidget *w, int n)
{
    return child<QLabel>(w, u"Label"_s + QString::number(n))->text();
}

// Keeps what a painter writes and how many shapes it draws, to read back a printed page.
class RecordingEngine : public QPaintEngine
{
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { ++images; }
    void drawImage(const QRectF &, const QImage &, const QRectF &, Qt::ImageConversionFlags) override
    {
        ++images;
    }
    void drawTextItem(const QPointF &, const QTextItem &item) override { texts.append(item.text()); }
    void drawRects(const QRectF *, int count) override { rects += count; }
    void drawRects(const QRect *, int count) override { rects += count; }
    void drawLines(const QLineF *, int count) override { lines += count; }
    void drawLines(const QLine *, int count) override { lines += count; }
    void drawPath(const QPainterPath &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    Type type() const override { return QPaintEngine::User; }

    QStringList texts;
    int images = 0;
    int rects = 0;
    int lines = 0;
};

class RecordingDevice : public QPaintDevice
{
public:
    QPaintEngine *paintEngine() const override { return &engine; }
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return 9000;
        case PdmHeight:
            return 12000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 1200;
        case PdmDepth:
            return 32;
        case PdmWidthMM:
            return 190;
        case PdmHeightMM:
            return 254;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        default:
            return 0;
        }
    }
    mutable RecordingEngine engine;
};

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { registerHistoryWindows(); }
    void cleanup() { flushDeletes(); }
    void emptyHistory();
    void listsNewestFirst();
    void clickShowsStayAndRoom();
    void roomGoneKeepsPreviousNumber();
    void databaseGone();
    void sheetShowsTheChosenStay();
    void sheetWithoutSelection();
    void printedPageCarriesTheSheet();
    void printsOnThePrinter();
    void noPrinterOffersPdf_data();
    void noPrinterOffersPdf();
    void failedPrintOffersPdf();
};

void TestHistory::emptyHistory()
{
    TestDatabase db;
    TestSeam seam;
    HistoryWindow *w = openHistory();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), u"历史旅客退房记录"_s);
    auto *list = kit::grid(w, u"MSFlexGrid2"_s);
    auto *rooms = kit::grid(w, u"MSFlexGrid1"_s);
    QCOMPARE(list->Rows(), 1);
    QCOMPARE(list->FormatString(), grid::completedStayHeader());
    QCOMPARE(list->minimumRowHeight(), 17); // pixels
    QCOMPARE(rooms->FormatString(), grid::roomHeader());
    QCOMPARE(rooms->Rows(), 1);
    QCOMPARE(child<QGroupBox>(w, u"Frame2"_s)->title(), u"旅客信息"_s);
    QCOMPARE(label(w, 14), u"应  退  款："_s);
    QCOMPARE(label(w, 8), u"房间ID："_s);
    QCOMPARE(child<QLineEdit>(w, u"Text2"_s)->accessibleName(), u"旅客姓名"_s);
    QCOMPARE(child<QPushButton>(w, u"Command2"_s)->text(), u"打印信息"_s);
    QVERIFY(!child<QLineEdit>(w, u"Text1"_s)->isEnabled());
    list->selectRecord(1);
    QCOMPARE(text(w, u"Text2"_s), QString());
    QVERIFY(seam.messages.isEmpty());
}

void TestHistory::listsNewestFirst()
{
    TestDatabase db;
    TestSeam seam;
    const qint64 room = db.addRoom(u"101"_s);
    const qint64 first = addStay(db, {u"甲"_s, u"一厂"_s, u"2006-04-01 09:30:00"_s, 2, 1, room, 300,
                                      u"2006-04-03 00:00:00"_s, 2, 240, 0, 60, u"安静"_s});
    const qint64 second = addStay(
        db,
        {u"乙"_s, {}, u"2006-04-05 00:00:00"_s, 1, 2, room, 0, u"2006-04-06 00:00:00"_s, 1, 120, 120, 0, {}});
    HistoryWindow *w = openHistory();
    auto *list = kit::grid(w, u"MSFlexGrid2"_s);
    QCOMPARE(list->Rows(), 3);
    QCOMPARE(list->text(1, 0), QString::number(second));
    QCOMPARE(list->text(2, 0), QString::number(first));
    QCOMPARE(list->text(2, 1), u"甲"_s);
    QCOMPARE(list->text(2, 5), conv::dateTimeToText(QDateTime(QDate(2006, 4, 1), QTime(9, 30))));
    // Midnight shows as the date alone; an empty value as an empty cell.
    QCOMPARE(list->text(1, 5), conv::dateToText(QDate(2006, 4, 5)));
    QCOMPARE(list->text(1, 2), QString());
    QCOMPARE(list->text(1, 15), QString());
    QCOMPARE(list->text(1, 13), u"120"_s);
}

void TestHistory::clickShowsStayAndRoom()
{
    TestDatabase db;
    TestSeam seam;
    db.addRoom(u"100"_s);
    const qint64 room = db.addRoom(u"205"_s, 180, 1, u"二楼"_s);
    addStay(db, {u"王五"_s,
                 u"星光公司"_s,
                 u"2006-05-01 14:00:00"_s,
                 3,
                 2,
                 room,
                 500,
                 u"2006-05-06 00:00:00"_s,
                 5,
                 900,
                 400,
                 0,
                 {}});
    HistoryWindow *w = openHistory();
    auto *list = kit::grid(w, u"MSFlexGrid2"_s);
    list->selectRecord(1);
    for (int c = 1; c <= 15; ++c)
        QCOMPARE(text(w, u"Text"_s + QString::number(c + 1)), list->text(1, c));
    QCOMPARE(text(w, u"Text9"_s), QString::number(room));
    QCOMPARE(text(w, u"Text13"_s), u"900"_s);
    QCOMPARE(text(w, u"Text16"_s), QString());
    QCOMPARE(text(w, u"Text1"_s), u"205"_s);
    auto *rooms = kit::grid(w, u"MSFlexGrid1"_s);
    QCOMPARE(rooms->Rows(), 2);
    QCOMPARE(rooms->text(1, 0), QString::number(room));
    QCOMPARE(rooms->text(1, 4), u"二楼"_s);
    QCOMPARE(rooms->text(1, 5), u"180"_s);
    // Clicking again shows the room once.
    list->selectRecord(1);
    QCOMPARE(rooms->Rows(), 2);
    QVERIFY(seam.messages.isEmpty());
}

void TestHistory::roomGoneKeepsPreviousNumber()
{
    TestDatabase db;
    TestSeam seam;
    const qint64 kept = db.addRoom(u"301"_s);
    const qint64 gone = db.addRoom(u"302"_s);
    addNight(db, u"甲"_s, kept, u"2006-01-01 08:00:00"_s, u"2006-01-02 00:00:00"_s);
    addNight(db, u"乙"_s, gone, u"2006-01-03 08:00:00"_s, u"2006-01-04 00:00:00"_s);
    db.exec(u"delete from 房间 where 房间ID=?"_s, {gone});
    HistoryWindow *w = openHistory();
    auto *list = kit::grid(w, u"MSFlexGrid2"_s);
    list->selectRecord(2); // 甲, room 301
    QCOMPARE(text(w, u"Text1"_s), u"301"_s);
    list->selectRecord(1); // 乙, room deleted
    QCOMPARE(text(w, u"Text2"_s), u"乙"_s);
    QCOMPARE(text(w, u"Text9"_s), QString::number(gone));
    QCOMPARE(kit::grid(w, u"MSFlexGrid1"_s)->Rows(), 1);
    QCOMPARE(text(w, u"Text1"_s), u"301"_s);
    // Its sheet shows the stay without a room row.
    click(w, u"Command2"_s);
    QCOMPARE(label(seam.last<CheckOutSheet>(), 4), u"旅客姓名:乙"_s);
    QCOMPARE(kit::grid(seam.last<CheckOutSheet>(), u"MSFlexGrid1"_s)->Rows(), 1);
    QVERIFY(seam.messages.isEmpty());
}

void TestHistory::databaseGone()
{
    TestDatabase db;
    TestSeam seam;
    const qint64 room = db.addRoom(u"501"_s);
    addNight(db, u"甲"_s, room, u"2006-01-01 08:00:00"_s, u"2006-01-02 00:00:00"_s);
    HistoryWindow *w = openHistory();
    QVERIFY(db.takeAway()); // the desk's connection is lost with the store
    // Choosing a stay goes on without the store: the boxes fill, the room stays unknown.
    kit::grid(w, u"MSFlexGrid2"_s)->selectRecord(1);
    QCOMPARE(text(w, u"Text2"_s), u"甲"_s);
    QCOMPARE(kit::grid(w, u"MSFlexGrid1"_s)->Rows(), 1);
    QVERIFY(seam.messages.isEmpty());
    // Opening the list does not: one failure message, an empty list.
    HistoryWindow *again = openHistory();
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Warning);
    QCOMPARE(kit::grid(again, u"MSFlexGrid2"_s)->Rows(), 1);
}

void TestHistory::sheetShowsTheChosenStay()
{
    TestDatabase db;
    TestSeam seam;
    seam.setToday(QDate(2026, 12, 7));
    const qint64 room = db.addRoom(u"808"_s, 150);
    // Planned 3 days, stayed 5: the sheet shows the planned days and the amount charged.
    addStay(db, {u"李四"_s, u"远洋贸易"_s, u"2026-11-30 10:15:00"_s, 3, 2, room, 400,
                 u"2026-12-05 00:00:00"_s, 5, 750, 350, 0, u"续住两天"_s});
    HistoryWindow *w = openHistory();
    kit::grid(w, u"MSFlexGrid2"_s)->selectRecord(1);
    set(w, u"Text2"_s, u"改过的名字"_s); // the sheet prints the stay as stored, not a box typed over
    click(w, u"Command2"_s);
    auto *sheet = seam.last<CheckOutSheet>();
    QVERIFY(sheet);
    QCOMPARE(sheet->parentWidget(), w);
    QCOMPARE(sheet->windowTitle(), u"打印退房信息"_s);
    QCOMPARE(label(sheet, 1), u"退 房 信 息 单"_s);
    QCOMPARE(label(sheet, 2), u"打印时间:"_s + conv::dateToText(QDate(2026, 12, 7)));
    QCOMPARE(label(sheet, 3), u"旅客单位:远洋贸易"_s);
    QCOMPARE(label(sheet, 4), u"旅客姓名:李四"_s);
    QCOMPARE(label(sheet, 5),
             u"入住时间:"_s + conv::dateTimeToText(QDateTime(QDate(2026, 11, 30), QTime(10, 15))));
    QCOMPARE(label(sheet, 6), u"入住天数:3天"_s);
    QCOMPARE(label(sheet, 7), u"入住人数:2人"_s);
    QCOMPARE(label(sheet, 8), u"退房时间:"_s + conv::dateToText(QDate(2026, 12, 5)));
    QCOMPARE(label(sheet, 9), u"金额:750元"_s);
    auto *rooms = kit::grid(sheet, u"MSFlexGrid1"_s);
    const FlexGrid *source = w->findChild<QGroupBox *>(u"Frame2"_s)->findChild<FlexGrid *>(u"MSFlexGrid1"_s);
    QCOMPARE(rooms->FormatString(), grid::roomHeader());
    QCOMPARE(rooms->minimumRowHeight(), qRound(350 * rooms->logicalDpiY() / 1440.0)); // the sheet's own rows
    QCOMPARE(rooms->Rows(), 2);
    QCOMPARE(rooms->Cols(), 8);
    for (int c = 0; c < 8; ++c)
        QCOMPARE(rooms->text(1, c), source->text(1, c));
    QCOMPARE(rooms->text(1, 1), u"808"_s);
    const QSize client = sheet->size();
    QCOMPARE(client, QSize(qRound(CheckOutSheet::WidthTwips * sheet->logicalDpiX() / 1440.0),
                           qRound(CheckOutSheet::HeightTwips * sheet->logicalDpiY() / 1440.0)));
    QCOMPARE(sheet->palette().color(QPalette::Window), QColor(Qt::white));
    auto *print = child<QPushButton>(sheet, u"Command1"_s);
    QCOMPARE(print->text(), u"打印"_s);
    // The grid stands where the page puts it: 120, 2040 twips.
    QCOMPARE(rooms->geometry().topLeft(), QPoint(qRound(120 * sheet->logicalDpiX() / 1440.0),
                                                 qRound(2040 * sheet->logicalDpiY() / 1440.0)));
}

void TestHistory::sheetWithoutSelection()
{
    TestDatabase db;
    TestSeam seam;
    addNight(db, u"甲"_s, db.addRoom(u"1"_s), u"2006-01-01 08:00:00"_s, u"2006-01-02 00:00:00"_s);
    click(openHistory(), u"Command2"_s);
    auto *sheet = seam.last<CheckOutSheet>();
    QVERIFY(sheet);
    const QStringList expected{u"旅客单位:"_s,   u"旅客姓名:"_s, u"入住时间:"_s, u"入住天数:天"_s,
                               u"入住人数:人"_s, u"退房时间:"_s, u"金额:元"_s};
    for (int n = 3; n <= 9; ++n)
        QCOMPARE(label(sheet, n), expected.at(n - 3));
    QCOMPARE(kit::grid(sheet, u"MSFlexGrid1"_s)->Rows(), 1);
    // Printing it names what is missing and prints nothing.
    seam.setPrinter(true);
    click(sheet, u"Command1"_s);
    QCOMPARE(seam.messageTexts(), QStringList{ui::nothingChosenMessage()});
    QCOMPARE(seam.pagesPrinted, 0);
}

void TestHistory::printedPageCarriesTheSheet()
{
    TestDatabase db;
    TestSeam seam;
    const qint64 room = db.addRoom(u"606"_s, 200);
    addStay(db, {u"赵六"_s,
                 u"山河设计院"_s,
                 u"2026-10-01 12:00:00"_s,
                 2,
                 1,
                 room,
                 100,
                 u"2026-10-03 00:00:00"_s,
                 2,
                 400,
                 300,
                 0,
                 {}});
    openSheet(openHistory());
    auto *sheet = seam.last<CheckOutSheet>();
    QVERIFY(sheet);

    RecordingDevice page;
    QPainter painter(&page);
    sheet->paintPage(painter, QRectF(0, 0, page.width(), page.height()), page.logicalDpiX());
    painter.end();
    // Text comes out in runs of one script each, in drawing order.
    const QString printed = page.engine.texts.join(QString());
    for (int n = 1; n <= 9; ++n)
        QVERIFY2(printed.contains(label(sheet, n)), qPrintable(label(sheet, n)));
    QVERIFY(printed.contains(u"房间号        "_s));
    QVERIFY(printed.contains(u"606房间606标准间一楼200180"_s)); // the room row, cell after cell
    QCOMPARE(printed.count(u"打印"_s), 1); // only in "打印时间:": the button stays off the page
    QCOMPARE(page.engine.images, 0);       // drawn, not pasted as a picture
    QVERIFY(page.engine.lines >= 5);
    QVERIFY(page.engine.rects >= 2 + 2 * 8);
}

void TestHistory::printsOnThePrinter()
{
    TestDatabase db;
    TestSeam seam;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"printer.pdf"_s);
    seam.setPrinter(true, pdf);
    openSheetOnAChosenStay(db);
    auto *sheet = seam.last<CheckOutSheet>();
    auto *print = child<QPushButton>(sheet, u"Command1"_s);
    QTest::mouseClick(print, Qt::LeftButton);
    QCOMPARE(seam.pagesPrinted, 1);
    QVERIFY(QFileInfo(pdf).size() > 0);
    QVERIFY(seam.messages.isEmpty());
    QVERIFY(print->isVisible());
    QVERIFY(sheet->isVisible()); // the sheet stays open
}

void TestHistory::noPrinterOffersPdf_data()
{
    QTest::addColumn<bool>("answer");     // true for Yes
    QTest::addColumn<QString>("chosen");  // file name given in the dialog
    QTest::addColumn<QString>("written"); // file expected, empty for none
    QTest::addColumn<QString>("lastMessage");
    QTest::newRow("yes") << true << u"sheet.pdf"_s << u"sheet.pdf"_s << u"退房信息单已保存为："_s;
    QTest::newRow("no suffix") << true << u"sheet"_s << u"sheet.pdf"_s << u"退房信息单已保存为："_s;
    QTest::newRow("no") << false << u"sheet.pdf"_s << QString() << u"是否将退房信息单另存为 PDF 文件？"_s;
    QTest::newRow("dialog cancelled")
        << true << QString() << QString() << u"是否将退房信息单另存为 PDF 文件？"_s;
    QTest::newRow("unwritable") << true << u"missing/dir/sheet.pdf"_s << QString() << u"无法写入文件："_s;
}

void TestHistory::noPrinterOffersPdf()
{
    QFETCH(bool, answer);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(QString, lastMessage);
    TestDatabase db;
    TestSeam seam;
    QTemporaryDir dir;
    seam.setPrinter(false);
    seam.answer(answer);
    seam.setFileDialogResult(chosen.isEmpty() ? QString() : dir.filePath(chosen));
    const qint64 room = db.addRoom(u"707"_s);
    addNight(db, u"钱七"_s, room, u"2026-09-01 12:00:00"_s, u"2026-09-02 00:00:00"_s);
    openSheet(openHistory());
    click(seam.last<CheckOutSheet>(), u"Command1"_s);

    QVERIFY(!seam.messages.isEmpty());
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Question);
    QCOMPARE(seam.messages.first().title, u"提示"_s);
    QVERIFY(seam.messages.first().text.contains(u"没有可用的打印机"_s));
    QVERIFY2(seam.messages.last().text.contains(lastMessage), qPrintable(seam.messages.last().text));
    QCOMPARE(seam.pagesPrinted, 0);
    if (written.isEmpty()) {
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
        return;
    }
    QFile file(dir.filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    // Text kept as text: the page uses a font and holds no picture.
    QVERIFY(bytes.contains("/Font"));
    QVERIFY(!bytes.contains("/Subtype /Image"));
}

// A printer that refuses the page.
class RefusingPrinter : public TestSeam
{
public:
    bool printPage(const std::function<void(QPainter &, QPagedPaintDevice &)> &, QString *error) override
    {
        *error = u"纸张用完"_s;
        return false;
    }
};

void TestHistory::failedPrintOffersPdf()
{
    TestDatabase db;
    RefusingPrinter seam;
    seam.setPrinter(true);
    seam.answer(false);
    openSheetOnAChosenStay(db);
    auto *sheet = seam.last<CheckOutSheet>();
    click(sheet, u"Command1"_s);
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY(seam.messages.first().text.contains(u"纸张用完"_s));
    QCOMPARE(seam.messages.first().kind, ui::MessageKind::Question);
}

QTEST_MAIN(TestHistory)
#include "test_history.moc"
