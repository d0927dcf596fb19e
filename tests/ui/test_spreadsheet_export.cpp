#include "ui/flex_grid.h"
#include "ui/grid_export.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QXmlStreamReader>

using namespace Qt::Literals::StringLiterals;

// A list exported to CSV and opened by a real spreadsheet (LibreOffice Calc, headless) shows every
// cell as the list did: text as the same text, numbers as numbers.
class TestSpreadsheetExport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void calcReadsEveryCellBack();
};

namespace {

struct Cell {
    bool number = false;
    QString text; // the string, or the number as the sheet holds it
};

// The first sheet of a flat OpenDocument spreadsheet, row by row.
QList<QList<Cell>> readSheet(QIODevice *file)
{
    QList<QList<Cell>> rows;
    QXmlStreamReader xml(file);
    Cell cell;
    int repeat = 1;
    bool fromParagraphs = false; // a plain string's text is its paragraphs
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"table-row") {
            rows.append(QList<Cell>());
        } else if (xml.isStartElement() && xml.name() == u"table-cell") {
            const QXmlStreamAttributes a = xml.attributes();
            repeat = std::max(1, a.value("table:number-columns-repeated"_L1).toInt());
            const auto type = a.value("office:value-type"_L1);
            fromParagraphs = type == u"string" && !a.hasAttribute("office:string-value"_L1);
            if (type == u"float")
                cell = {true, a.value("office:value"_L1).toString()};
            else if (type == u"string" || type.isEmpty())
                cell = {false, a.value("office:string-value"_L1).toString()};
            else
                cell = {false, u"<"_s + type.toString() + u">"_s}; // a date, time or truth value
        } else if (xml.isStartElement() && xml.name() == u"p" && fromParagraphs) {
            const QString paragraph = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            cell.text += (cell.text.isEmpty() ? QString() : u"\n"_s) + paragraph;
        } else if (xml.isEndElement() && xml.name() == u"table-cell") {
            // Trailing empty cells are written as one repeated cell.
            for (int i = 0; i < repeat && (repeat < 100 || !cell.text.isEmpty()); ++i)
                rows.last().append(cell);
        } else if (xml.isEndElement() && xml.name() == u"table") {
            break;
        }
    }
    return rows;
}

} // namespace

void TestSpreadsheetExport::calcReadsEveryCellBack()
{
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    QVERIFY2(!soffice.isEmpty(), "LibreOffice (libreoffice-calc-nogui) is not installed");

    // What stays comes in as the store gives it: text, whole numbers, money.
    const QList<QVariantList> stays{
        {u"张三"_s, u"330106199001011234"_s, u"+8613800000000"_s, qint64(101), 380.5},
        {u"TRUE"_s, u"0571-8800"_s, u"2024-01-05 12:30"_s, qint64(-30), -12.25},
        {u"=1+2"_s, u"1月5日"_s, u"00123"_s, qint64(0), 0.0},
        {u"他说\"好\"，1"_s, u"第一行\n第2行"_s, u"1e5"_s, qint64(2147483647), 99999999.99},
        {u"@A1"_s, u"12:30"_s, u"3/4"_s, qint64(1), 1.5},
        {QString(300, u'李') + u"9"_s, u"-5"_s, QString(), qint64(7), 0.1},
    };
    QWidget window;
    FlexGrid g(&window);
    g.setFormatString(u"旅客姓名|证件号码|联系电话|房间ID|应退款"_s);
    g.setRows(int(stays.size()) + 1);
    for (int r = 0; r < stays.size(); ++r)
        for (int c = 0; c < stays.at(r).size(); ++c)
            g.flexModel()->setValue(r + 1, c, stays.at(r).at(c));

    QTemporaryDir dir;
    const QString csv = dir.filePath(u"列表.csv"_s);
    QString error;
    QVERIFY2(grid_export::writeCsv(&g, csv, &error), qPrintable(error));

    // As a clerk opens it: comma, quotes, UTF-8, and numbers and dates detected.
    QProcess calc;
    calc.setWorkingDirectory(dir.path());
    calc.start(soffice,
               {u"-env:UserInstallation="_s + QUrl::fromLocalFile(dir.filePath(u"profile"_s)).toString(),
                u"--headless"_s, u"--infilter=CSV:44,34,76,1,,0,false,true,true"_s, u"--convert-to"_s,
                u"fods"_s, u"--outdir"_s, dir.path(), csv});
    QVERIFY(calc.waitForFinished(180000));
    QCOMPARE(calc.exitCode(), 0);
    QFile sheet(dir.filePath(u"列表.fods"_s));
    QVERIFY2(sheet.open(QIODevice::ReadOnly), calc.readAllStandardError().constData());
    const QList<QList<Cell>> back = readSheet(&sheet);

    QCOMPARE(back.size(), g.Rows());
    for (int r = 0; r < g.Rows(); ++r) {
        for (int c = 0; c < g.Cols(); ++c) {
            const Cell got = back.at(r).value(c);
            const QString shown = g.text(r, c);
            const bool number = r > 0 && c >= 3;
            QVERIFY2(got.number == number, qPrintable(u"row %1 col %2: %3"_s.arg(r).arg(c).arg(shown)));
            if (number)
                QCOMPARE(got.text.toDouble(), shown.toDouble());
            else
                QCOMPARE(got.text, shown);
        }
    }
}

QTEST_MAIN(TestSpreadsheetExport)
#include "test_spreadsheet_export.moc"
