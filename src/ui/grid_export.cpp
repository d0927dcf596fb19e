#include "ui/grid_export.h"

#include "ui/flex_grid.h"
#include "ui/seams.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace grid_export {

namespace {

QString fieldText(const QString &value)
{
    const bool quote = value.contains(u',') || value.contains(u'"') || value.contains(u'\n') ||
                       value.contains(u'\r') || value.startsWith(u' ') || value.endsWith(u' ');
    if (!quote)
        return value;
    QString inner = value;
    inner.replace(u"\""_s, u"\"\""_s);
    return u"\""_s + inner + u"\""_s;
}

QString listTitle(const FlexGrid *grid)
{
    const QString title = grid->window()->windowTitle();
    return title.isEmpty() ? u"列表"_s : title;
}

QString suggestedPath(const FlexGrid *grid, const QString &suffix)
{
    QString name = listTitle(grid);
    name.replace(u'/', u'_');
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(name + suffix);
}

bool writePdf(const FlexGrid *grid, const QString &path)
{
    QPdfWriter writer(path);
    writer.setTitle(listTitle(grid));
    writer.setCreator(u"Quillon"_s);
    // Lists are wide: landscape holds more columns at a readable size.
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    paintPages(grid, listTitle(grid), painter, QRectF(0, 0, writer.width(), writer.height()),
               [&writer] { return writer.newPage(); });
    return painter.end();
}

void offerPdf(FlexGrid *grid, const QString &why)
{
    QWidget *window = grid->window();
    if (ui::MsgBox(window, why + u"\n是否将列表另存为 PDF 文件？"_s, ui::vbInformation | ui::vbYesNo) !=
        ui::vbYes)
        return;
    QString path = ui::seam().saveFileName(window, u"另存为 PDF 文件"_s, suggestedPath(grid, u".pdf"_s),
                                           u"PDF 文件 (*.pdf)"_s);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += u".pdf"_s;
    if (!writePdf(grid, path)) {
        ui::MsgBox(window, u"无法写入文件："_s + QDir::toNativeSeparators(path));
        return;
    }
    ui::MsgBox(window, u"列表已保存为："_s + QDir::toNativeSeparators(path));
}

} // namespace

void attach(FlexGrid *grid)
{
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(grid, &QWidget::customContextMenuRequested, grid, [grid](const QPoint &pos) {
        QMenu menu(grid);
        menu.addAction(u"导出为 CSV 文件…"_s, grid, [grid] { exportCsv(grid); });
        menu.addAction(u"打印列表…"_s, grid, [grid] { print(grid); });
        menu.exec(grid->viewport()->mapToGlobal(pos));
    });
}

QStringList headerTexts(const FlexGrid *grid)
{
    const QStringList parts = grid->FormatString().split(u'|');
    QStringList out;
    for (int c = 0; c < grid->Cols(); ++c) {
        QString text = parts.value(c);
        if (text.startsWith(u'^') || text.startsWith(u'<') || text.startsWith(u'>'))
            text.remove(0, 1);
        out.append(text.trimmed());
    }
    return out;
}

QByteArray csv(const FlexGrid *grid)
{
    QString text;
    QStringList fields;
    for (const QString &h : headerTexts(grid))
        fields.append(fieldText(h));
    text += fields.join(u',') + u"\r\n"_s;
    for (int r = 1; r < grid->Rows(); ++r) {
        fields.clear();
        for (int c = 0; c < grid->Cols(); ++c)
            fields.append(fieldText(grid->TextMatrix(r, c)));
        text += fields.join(u',') + u"\r\n"_s;
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

bool writeCsv(const FlexGrid *grid, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv(grid)) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

int paintPages(const FlexGrid *grid, const QString &title, QPainter &painter, const QRectF &page,
               const std::function<bool()> &newPage)
{
    constexpr int SampledRows = 200;
    const QStringList headers = headerTexts(grid);
    const int cols = int(headers.size());
    QFont font = painter.font();
    font.setPointSizeF(9);
    QFontMetricsF fm(font, painter.device());
    QList<qreal> widths(cols);
    const qreal pad = fm.horizontalAdvance(u"  "_s);
    for (int c = 0; c < cols; ++c) {
        qreal w = fm.horizontalAdvance(headers.at(c));
        for (int r = 1; r < grid->Rows() && r <= SampledRows; ++r)
            w = std::max(w, fm.horizontalAdvance(grid->TextMatrix(r, c)));
        widths[c] = w + pad;
    }
    qreal total = 0;
    for (qreal w : std::as_const(widths))
        total += w;
    if (total > page.width()) {
        // Too wide: a smaller type, then narrower columns whose texts are cut short.
        const qreal scale = page.width() / total;
        font.setPointSizeF(std::max(5.0, 9 * scale));
        fm = QFontMetricsF(font, painter.device());
        for (qreal &w : widths)
            w *= scale;
    }
    QFont bold = font;
    bold.setBold(true);
    const qreal line = fm.height() * 1.35;
    int pages = 1;
    qreal y = page.top();

    auto drawRow = [&](const QStringList &cells, const QFont &f) {
        painter.setFont(f);
        qreal x = page.left();
        for (int c = 0; c < cols; ++c) {
            const QRectF cell(x + pad / 4, y, widths.at(c) - pad / 2, line);
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter,
                             fm.elidedText(cells.value(c), Qt::ElideRight, cell.width()));
            x += widths.at(c);
        }
        y += line;
    };
    auto drawHeading = [&] {
        painter.setFont(bold);
        painter.drawText(QRectF(page.left(), y, page.width(), line), Qt::AlignLeft | Qt::AlignVCenter, title);
        painter.setFont(font);
        painter.drawText(QRectF(page.left(), y, page.width(), line), Qt::AlignRight | Qt::AlignVCenter,
                         u"第 %1 页"_s.arg(pages));
        y += line * 1.5;
        drawRow(headers, bold);
        painter.drawLine(QPointF(page.left(), y), QPointF(page.right(), y));
    };
    drawHeading();
    QStringList cells;
    for (int r = 1; r < grid->Rows(); ++r) {
        if (y + line > page.bottom()) {
            if (!newPage())
                break;
            ++pages;
            y = page.top();
            drawHeading();
        }
        cells.clear();
        for (int c = 0; c < cols; ++c)
            cells.append(grid->TextMatrix(r, c));
        drawRow(cells, font);
    }
    return pages;
}

void exportCsv(FlexGrid *grid)
{
    QWidget *window = grid->window();
    QString path = ui::seam().saveFileName(window, u"导出为 CSV 文件"_s, suggestedPath(grid, u".csv"_s),
                                           u"CSV 文件 (*.csv)"_s);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += u".csv"_s;
    QString error;
    if (!writeCsv(grid, path, &error)) {
        ui::MsgBox(window, u"无法写入文件："_s + QDir::toNativeSeparators(path) + u"\n"_s + error);
        return;
    }
    ui::MsgBox(window, u"列表已导出为："_s + QDir::toNativeSeparators(path));
}

void print(FlexGrid *grid)
{
    if (!ui::seam().hasPrinter()) {
        offerPdf(grid, u"没有可用的打印机，列表无法打印。"_s);
        return;
    }
    QString error;
    const QString title = listTitle(grid);
    const bool printed = ui::seam().printPage(
        [grid, &title](QPainter &painter, QPagedPaintDevice &device) {
            paintPages(grid, title, painter, QRectF(0, 0, device.width(), device.height()),
                       [&device] { return device.newPage(); });
        },
        &error);
    if (!printed)
        offerPdf(grid, u"列表打印失败："_s + error);
}

} // namespace grid_export
