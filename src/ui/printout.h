#pragma once

#include <QPageLayout>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QPainter;
class QWidget;

namespace ui {

// A page (or pages) the operator prints: a list, a chart, a check-out sheet.
struct Printout {
    QString what;          // its name in the messages: "列表", "图表", "退房信息单"
    QString title;         // the PDF file's title
    QString suggestedPath; // offered when it is saved as a PDF file
    QPageLayout pdfLayout; // the PDF file's page; a printer keeps its own
    // Draws it on the device, starting further pages with its newPage().
    std::function<void(QPainter &, QPagedPaintDevice &)> paint;
};

// Prints on the default printer through the seam; where there is none, or printing fails, says
// why and offers to save it as a PDF file instead.
void print(QWidget *window, const Printout &printout);

// `fileName` in the account's documents folder, '/' made harmless: what a save is offered first.
QString documentsPath(QString fileName);

// An A4 page with equal margins in millimetres.
QPageLayout a4(QPageLayout::Orientation orientation, double marginMm);

} // namespace ui
