#pragma once

#include "hotel/business_figures.h"
#include "ui/grid_export.h"

#include <QDialog>
#include <QImage>

class DatePicker;
class ListTotalsLabel;
class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPainter;
class QPushButton;
class QRectF;

// "经营图表": for a chosen range, the takings (实际金额) and the average price of a night, and
// the occupancy, per day or per month, with the range's totals under the charts; the charts
// can be saved as a picture and printed.
class BusinessChartWindow : public QDialog
{
    Q_OBJECT
public:
    explicit BusinessChartWindow(QWidget *owner);

    // The charts as a picture, `scale` times their size on screen.
    QImage chartImage(qreal scale = 1) const;
    // One printed page: the heading of a list printout, the totals, then the charts.
    static void paintPage(QPainter &painter, const QRectF &page, const grid_export::Heading &heading,
                          const QImage &charts);

private Q_SLOTS:
    void query();
    void saveImage();
    void printCharts();

private:
    void createLayout();
    void showFigures(const hotel::BusinessFigures &figures, hotel::BusinessFigures::Step step);
    void clearFigures();
    grid_export::Heading heading() const;

    DatePicker *m_fromPicker = nullptr;
    DatePicker *m_toPicker = nullptr;
    QComboBox *m_stepCombo = nullptr;
    QPushButton *m_queryButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_printButton = nullptr;
    QWidget *m_charts = nullptr;
    QChart *m_takings = nullptr;
    QChart *m_occupancy = nullptr;
    QChartView *m_takingsView = nullptr;
    QChartView *m_occupancyView = nullptr;
    ListTotalsLabel *m_totals = nullptr;
    QLabel *m_ratesLabel = nullptr;
    QString m_range; // the range the charts show, as the heading names it
};
