#include "test_seam.h"
#include "ui/flex_grid.h"
#include "ui/grid_export.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// A list leaves the program as CSV that reads back cell for cell, and on paper over as many
// pages as it needs (or as PDF when there is no printer).
class TestGridExport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void csvReadsBackEqualToTheList();
    void csvKeepsFormulasText();
    void printsEveryRowOnEnoughPages();
};

namespace {

// RFC 4180 read independently of the writer: quoted fields, doubled quotes, CRLF records.
QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (quoted) {
            if (ch == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (ch == u'"') {
                quoted = false;
            } else {
                field += ch;
            }
        } else if (ch == u'"') {
            quoted = true;
        } else if (ch == u',') {
            record.append(field);
            field.clear();
        } else if (ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            record.append(field);
            records.append(record);
            record.clear();
            field.clear();
            ++i;
        } else {
            field += ch;
        }
    }
    return records;
}

// What a spreadsheet shows for a field: a formula of string constants and CHAR() joined by "&"
// is evaluated, anything else is the text itself.
QString shownBySpreadsheet(const QString &field)
{
    static const QRegularExpression part(u"^(?:\"((?:[^\"]|\"\")*)\"|CHAR\\((\\d+)\\))(&|$)"_s);
    if (!field.startsWith(u'='))
        return field;
    QString out;
    for (QString rest = field.mid(1); !rest.isEmpty();) {
        const auto m = part.match(rest);
        if (!m.hasMatch())
            return u"<unevaluated "_s + field + u">"_s;
        out += m.hasCaptured(1) ? m.captured(1).replace(u"\"\""_s, u"\""_s)
                                : QString(QChar(m.captured(2).toInt()));
        rest = rest.mid(m.capturedLength());
    }
    return out;
}

FlexGrid *makeList(QWidget *window, int rows)
{
    auto *g = new FlexGrid(window);
    g->setFormatString(u"序号|^旅客姓名      |旅客单位   |^  备注信息  |^金额"_s);
    g->setRows(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        g->setText(r, 0, QString::number(r));
        g->setText(r, 1, u"旅客"_s + QString::number(r));
        g->setText(r, 4, QString::number(r * 1.5));
    }
    return g;
}

} // namespace

void TestGridExport::csvReadsBackEqualToTheList()
{
    TestSeam seam;
    QTemporaryDir dir;
    QWidget window;
    window.setWindowTitle(u"历史旅客退房记录"_s);
    FlexGrid *g = makeList(&window, 5);
    QCOMPARE(g->contextMenuPolicy(), Qt::CustomContextMenu);
    const QStringList tricky = {u"张三，李四"_s, u"他说\"好\""_s, u"第一行\n第二行"_s,
                                u"a,b\r\nc"_s,   u" 前后空格 "_s, u"\"\""_s};
    for (int i = 0; i < tricky.size() && i < 5; ++i)
        g->setText(i + 1, 3, tricky.at(i));
    g->setText(2, 2, tricky.at(5));
    g->setText(3, 1, QString()); // an empty cell stays an empty field

    // Typed without a suffix: the file gets ".csv".
    seam.setFileDialogResult(dir.filePath(u"列表"_s));
    grid_export::exportCsv(g);
    QCOMPARE(seam.messageTexts(),
             QStringList{u"列表已导出为："_s + QDir::toNativeSeparators(dir.filePath(u"列表.csv"_s))});
    QFile file(dir.filePath(u"列表.csv"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QList<QStringList> back = parseCsv(QString::fromUtf8(bytes.mid(3)));
    for (QStringList &record : back)
        for (QString &field : record)
            field = shownBySpreadsheet(field);

    QList<QStringList> shown{{u"序号"_s, u"旅客姓名"_s, u"旅客单位"_s, u"备注信息"_s, u"金额"_s}};
    for (int r = 1; r < g->Rows(); ++r) {
        QStringList row;
        for (int c = 0; c < g->Cols(); ++c)
            row.append(g->text(r, c));
        shown.append(row);
    }
    QCOMPARE(back, shown);
    QCOMPARE(back.at(2).at(4), u"3"_s);
    QCOMPARE(back.at(3).at(4), u"4.5"_s);

    // Cancelling the file dialog writes nothing and says nothing.
    seam.clear();
    seam.setFileDialogResult(QString());
    grid_export::exportCsv(g);
    QVERIFY(seam.messages.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void TestGridExport::csvKeepsFormulasText()
{
    // Text a spreadsheet would change or run goes as a formula yielding it; plain text and
    // numbers as they are. Beside each, a refund as the store gives it stays a number.
    const QList<std::pair<QString, bool>> cases{{u"=1+2"_s, true},
                                                {u"@A1"_s, true},
                                                {u"+86 1"_s, true},
                                                {u"\t=1"_s, true},
                                                {u"-3元"_s, true},
                                                {u"=\"a\""_s, true},
                                                {u"330106199001011234"_s, true},
                                                {u"0571"_s, true},
                                                {u"TRUE"_s, true},
                                                {u"第一行\r\n第二行2"_s, true},
                                                {QString(300, u'张') + u"1"_s, true},
                                                {u"a=b"_s, false},
                                                {u"张三"_s, false}};
    QWidget window;
    FlexGrid g(&window);
    g.setFormatString(u"旅客姓名|应退款"_s);
    g.setRows(2);
    g.flexModel()->setValue(1, 1, -30);
    for (const auto &[cell, formula] : cases) {
        g.setText(1, 0, cell);
        const QList<QStringList> back = parseCsv(QString::fromUtf8(grid_export::csv(&g).mid(3)));
        QCOMPARE(back.at(1).at(0).startsWith(u'='), formula);
        QCOMPARE(shownBySpreadsheet(back.at(1).at(0)), cell);
        QCOMPARE(back.at(1).at(1), u"-30"_s);
    }
    // Past what a double holds, a stored number goes as text.
    QCOMPARE(grid_export::csvField(u"1234567890123456789"_s, grid_export::CellKind::Number),
             u"\"=\"\"1234567890123456789\"\"\""_s);
}

void TestGridExport::printsEveryRowOnEnoughPages()
{
    TestSeam seam;
    QTemporaryDir dir;
    QWidget window;
    window.setWindowTitle(u"上交营业款"_s);
    FlexGrid *g = makeList(&window, 150);
    auto pagesIn = [](const QString &path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        return int(QString::fromLatin1(f.readAll()).count(QRegularExpression(u"/Type\\s*/Page\\b(?!s)"_s)));
    };

    // The painter asks for exactly as many pages as it fills.
    const QString direct = dir.filePath(u"direct.pdf"_s);
    {
        QPdfWriter writer(direct);
        writer.setPageSize(QPageSize(QPageSize::A4));
        QPainter painter(&writer);
        const int pages = grid_export::paintPages(g, {u"上交营业款"_s, {}, {}, {}, {}}, painter,
                                                  QRectF(0, 0, writer.width(), writer.height()),
                                                  [&writer] { return writer.newPage(); });
        painter.end();
        QVERIFY(pages > 1);
        QCOMPARE(pagesIn(direct), pages);
    }

    // On the printer.
    const QString printed = dir.filePath(u"printed.pdf"_s);
    seam.setPrinter(true, printed);
    grid_export::print(g);
    QCOMPARE(seam.pagesPrinted, 1);
    QCOMPARE(pagesIn(printed), pagesIn(direct));
    QVERIFY(seam.messages.isEmpty());

    // No printer: offered as a PDF file.
    seam.setPrinter(false);
    seam.answer(true);
    seam.setFileDialogResult(dir.filePath(u"saved"_s));
    grid_export::print(g);
    QCOMPARE(seam.messageTexts().first(), u"没有可用的打印机，列表无法打印。\n是否将列表另存为 PDF 文件？"_s);
    QCOMPARE(seam.messageTexts().last(),
             u"列表已保存为："_s + QDir::toNativeSeparators(dir.filePath(u"saved.pdf"_s)));
    QVERIFY(pagesIn(dir.filePath(u"saved.pdf"_s)) > 1);
}

QTEST_MAIN(TestGridExport)
#include "test_grid_export.moc"
