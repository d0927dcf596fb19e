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

private:
    void createLayout();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void showFigures(const hotel::BusinessFigures &figures, hotel::BusinessFigures::Step step);
    void clearFigures();
    grid_export::Heading heading() const;

    DatePicker *m_dtPicker1 = nullptr;
    DatePicker *m_dtPicker2 = nullptr;
    QComboBox *m_combo1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    QWidget *m_charts = nullptr;
    QChart *m_takings = nullptr;
    QChart *m_occupancy = nullptr;
    QChartView *m_chartView1 = nullptr;
    QChartView *m_chartView2 = nullptr;
    ListTotalsLabel *m_totals = nullptr;
    QLabel *m_label3 = nullptr;
    QString m_range; // the range the charts show, as the heading names it
};
