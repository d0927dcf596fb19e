#include "ui/printout.h"

#include "ui/seams.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace ui {

namespace {

bool writePdf(const Printout &printout, const QString &path)
{
    QPdfWriter writer(path);
    writer.setTitle(printout.title);
    writer.setCreator(u"Quillon"_s);
    writer.setPageLayout(printout.pdfLayout);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    printout.paint(painter, writer);
    return painter.end();
}

void offerPdf(QWidget *window, const Printout &printout, const QString &why)
{
    if (!confirm(window, why + u"\n是否将"_s + printout.what + u"另存为 PDF 文件？"_s))
        return;
    QString path =
        seam().saveFileName(window, u"另存为 PDF 文件"_s, printout.suggestedPath, u"PDF 文件 (*.pdf)"_s);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += u".pdf"_s;
    if (!writePdf(printout, path)) {
        inform(window, u"无法写入文件："_s + QDir::toNativeSeparators(path));
        return;
    }
    inform(window, printout.what + u"已保存为："_s + QDir::toNativeSeparators(path));
}

} // namespace

void print(QWidget *window, const Printout &printout)
{
    if (!seam().hasPrinter()) {
        offerPdf(window, printout, u"没有可用的打印机，"_s + printout.what + u"无法打印。"_s);
        return;
    }
    QString error;
    if (!seam().printPage(printout.paint, &error))
        offerPdf(window, printout, printout.what + u"打印失败："_s + error);
}

QString documentsPath(QString fileName)
{
    fileName.replace(u'/', u'_');
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(fileName);
}

QPageLayout a4(QPageLayout::Orientation orientation, double marginMm)
{
    return QPageLayout(QPageSize(QPageSize::A4), orientation,
                       QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
}

} // namespace ui
