#include "ui/grid_export.h"

#include "hotel/session.h"
#include "ui/flex_grid.h"
#include "ui/printout.h"
#include "ui/seams.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace grid_export {

namespace {

QString listTitle(const FlexGrid *grid)
{
    const QString title = grid->window()->windowTitle();
    return title.isEmpty() ? u"列表"_s : title;
}

QString suggestedPath(const FlexGrid *grid, const QString &suffix)
{
    return ui::documentsPath(listTitle(grid) + suffix);
}

// A number a spreadsheet keeps digit for digit: a double holds 15 significant digits.
bool keepsDigits(const QString &value)
{
    static const QRegularExpression number(u"^-?[0-9]+(\\.[0-9]+)?$"_s);
    if (!number.match(value).hasMatch())
        return false;
    QString digits = value;
    digits.remove(u'-').remove(u'.');
    while (digits.size() > 1 && digits.front() == u'0')
        digits.remove(0, 1);
    return digits.size() <= 15;
}

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

// Text a spreadsheet would not keep as it stands: it turns digits into numbers or dates (losing
// an ID number's last digits, a leading zero or "+"), TRUE into a truth value, and runs what
// starts like a formula.
bool wouldChange(const QString &value)
{
    static const QString formulaStarts = u"=+-@\t\r"_s;
    if (value.isEmpty())
        return false;
    if (formulaStarts.contains(value.front()))
        return true;
    if (std::any_of(value.begin(), value.end(), [](QChar c) { return c.isDigit(); }))
        return true;
    const QString word = value.trimmed();
    return word.compare(u"true"_s, Qt::CaseInsensitive) == 0 ||
           word.compare(u"false"_s, Qt::CaseInsensitive) == 0;
}

// The text as a formula that yields it: string constants of at most 255 characters (Excel's
// limit) joined by "&", line breaks as CHAR(). Empty when too long for one formula.
QString textFormula(const QString &value)
{
    constexpr qsizetype Constant = 255;
    constexpr qsizetype Formula = 8000;
    QStringList parts;
    QString piece;
    auto close = [&] {
        if (!piece.isEmpty())
            parts.append(u"\""_s + piece.replace(u"\""_s, u"\"\""_s) + u"\""_s);
        piece.clear();
    };
    for (const QChar c : value) {
        if (c == u'\n' || c == u'\r') {
            close();
            parts.append(c == u'\n' ? u"CHAR(10)"_s : u"CHAR(13)"_s);
            continue;
        }
        if (piece.size() >= Constant - 1 && !c.isLowSurrogate())
            close();
        piece += c;
    }
    close();
    const QString formula = u"="_s + parts.join(u'&');
    return formula.size() <= Formula ? formula : QString();
}

QString quoted(const QString &field)
{
    return u"\""_s + QString(field).replace(u"\""_s, u"\"\""_s) + u"\""_s;
}

} // namespace

QString csvField(const QString &value, CellKind kind)
{
    if (kind == CellKind::Number && keepsDigits(value))
        return value;
    if (wouldChange(value)) {
        const QString formula = textFormula(value);
        if (!formula.isEmpty())
            return quoted(formula);
        // Too long for a formula: a leading apostrophe at least keeps it from running.
        if (QStringView(u"=+-@").contains(value.front()))
            return quoted(u"'"_s + value);
    }
    const bool quote = value.contains(u',') || value.contains(u'"') || value.contains(u'\n') ||
                       value.contains(u'\r') || value.startsWith(u' ') || value.endsWith(u' ');
    return quote ? quoted(value) : value;
}

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
        fields.append(csvField(h));
    text += fields.join(u',') + u"\r\n"_s;
    const FlexGridModel *model = grid->flexModel();
    for (int r = 1; r < grid->Rows(); ++r) {
        fields.clear();
        const QVariantList stored = model->storedRow(r);
        for (int c = 0; c < grid->Cols(); ++c)
            fields.append(
                csvField(grid->text(r, c), isNumber(stored.value(c)) ? CellKind::Number : CellKind::Text));
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

Heading heading(const FlexGrid *grid)
{
    const hotel::Session *session = hotel::session();
    return {listTitle(grid), grid->listFilter(), grid->totalsText(),
            session ? session->operatorName() : QString(), QDateTime::currentDateTime()};
}

int paintPages(const FlexGrid *grid, const Heading &heading, QPainter &painter, const QRectF &page,
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
            w = std::max(w, fm.horizontalAdvance(grid->text(r, c)));
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

    // Every page has the same heading, so the rows a page holds, and with them the page count
    // printed on the first page, are known before drawing. The totals take two rows' room.
    constexpr qreal HeadingLines = 3.5;
    const int rows = grid->Rows() - 1;
    const int perPage = std::max(1, int((page.height() - HeadingLines * line) / line));
    const int slots = rows + (heading.totals.isEmpty() ? 0 : 2);
    const int pages = std::max(1, (slots + perPage - 1) / perPage);
    const QString title = heading.filter.isEmpty() ? heading.title : heading.title + u"　"_s + heading.filter;
    QStringList meta{u"打印时间："_s + heading.printedAt.toString(u"yyyy-MM-dd HH:mm"_s)};
    if (!heading.operatorName.isEmpty())
        meta.append(u"操作员："_s + heading.operatorName);
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
    auto drawHeading = [&](int pageNumber) {
        const QRectF band(page.left(), y, page.width(), line);
        painter.setFont(bold);
        painter.drawText(
            band, Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetricsF(bold, painter.device()).elidedText(title, Qt::ElideRight, page.width() * 0.75));
        painter.setFont(font);
        painter.drawText(band, Qt::AlignRight | Qt::AlignVCenter,
                         u"第 %1 页 / 共 %2 页"_s.arg(pageNumber).arg(pages));
        y += line;
        painter.drawText(QRectF(page.left(), y, page.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                         meta.join(u"    "_s));
        y += line * 1.5;
        drawRow(headers, bold);
        painter.drawLine(QPointF(page.left(), y), QPointF(page.right(), y));
    };

    QStringList cells;
    int r = 1;
    for (int p = 1; p <= pages; ++p) {
        if (p > 1 && !newPage())
            return p - 1;
        y = page.top();
        drawHeading(p);
        for (int onPage = 0; onPage < perPage && r <= rows; ++onPage, ++r) {
            cells.clear();
            for (int c = 0; c < cols; ++c)
                cells.append(grid->text(r, c));
            drawRow(cells, font);
        }
    }
    if (!heading.totals.isEmpty()) {
        y += line * 0.5;
        painter.drawLine(QPointF(page.left(), y), QPointF(page.right(), y));
        painter.setFont(font);
        painter.drawText(QRectF(page.left(), y, page.width(), line), Qt::AlignRight | Qt::AlignVCenter,
                         heading.totals);
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
        ui::inform(window, u"无法写入文件："_s + QDir::toNativeSeparators(path) + u"\n"_s + error);
        return;
    }
    ui::inform(window, u"列表已导出为："_s + QDir::toNativeSeparators(path));
}

void print(FlexGrid *grid)
{
    const Heading shown = heading(grid);
    // Lists are wide: landscape holds more columns at a readable size.
    ui::print(grid->window(),
              {u"列表"_s, listTitle(grid), suggestedPath(grid, u".pdf"_s), ui::a4(QPageLayout::Landscape, 12),
               [grid, &shown](QPainter &painter, QPagedPaintDevice &device) {
                   paintPages(grid, shown, painter, QRectF(0, 0, device.width(), device.height()),
                              [&device] { return device.newPage(); });
               }});
}

} // namespace grid_export
