#include "stats/business_chart_window.h"

#include "hotel/session.h"
#include "ui/date_picker.h"
#include "ui/form_kit.h"
#include "ui/list_totals_label.h"
#include "ui/printout.h"
#include "ui/seams.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;
using Step = hotel::BusinessFigures::Step;

namespace {

QChart *makeChart(const QString &title)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

QChartView *makeView(QChart *chart, const QString &name, QWidget *parent)
{
    auto *view = new QChartView(chart, parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(220);
    return view;
}

void clearChart(QChart *chart)
{
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

// A line filled before it joins the chart, so the chart lays it out once; a year of days is
// drawn without a mark on every point.
void addLine(QChart *chart, const QString &name, const QList<QPointF> &points, QAbstractAxis *x,
             QValueAxis *y)
{
    auto *series = new QLineSeries(chart);
    series->setName(name);
    series->setPointsVisible(points.size() <= 62);
    series->replace(points);
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

QValueAxis *valueAxis(QChart *chart, const QString &title, Qt::Alignment side, double top)
{
    auto *axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setRange(0, top > 0 ? top : 1);
    axis->applyNiceNumbers();
    axis->setLabelFormat(u"%.0f"_s);
    chart->addAxis(axis, side);
    return axis;
}

QString percentText(const std::optional<double> &share)
{
    return share ? QString::number(*share * 100, 'f', 1) + u"%"_s : u"—"_s;
}

QString priceText(const std::optional<double> &price)
{
    return price ? QString::number(*price, 'f', 2) + u" 元/晚"_s : u"—"_s;
}

} // namespace

BusinessChartWindow::BusinessChartWindow(QWidget *owner) : QDialog(owner)
{
    setObjectName(u"BusinessChart"_s);
    setWindowTitle(u"经营图表"_s);
    // The last thirty days, today included.
    const QDate today = ui::today();
    m_fromPicker = new DatePicker(this);
    m_fromPicker->setObjectName(u"DTPicker1"_s);
    m_fromPicker->setValue(QDateTime(today.addDays(-29), QTime(0, 0)));
    m_toPicker = new DatePicker(this);
    m_toPicker->setObjectName(u"DTPicker2"_s);
    m_toPicker->setValue(QDateTime(today, QTime(23, 59, 59)));
    m_stepCombo = new QComboBox(this);
    m_stepCombo->setObjectName(u"Combo1"_s);
    m_stepCombo->addItems({u"按日"_s, u"按月"_s});
    m_queryButton = ui::makeButton(this, u"Command1"_s, u"查询"_s);
    m_saveButton = ui::makeButton(this, u"Command2"_s, u"保存图片"_s);
    m_printButton = ui::makeButton(this, u"Command3"_s, u"打印"_s);
    m_takings = makeChart(u"实际金额与平均房价"_s);
    m_occupancy = makeChart(u"入住率"_s);
    m_charts = new QWidget(this);
    m_charts->setObjectName(u"Charts"_s);
    m_takingsView = makeView(m_takings, u"ChartView1"_s, m_charts);
    m_occupancyView = makeView(m_occupancy, u"ChartView2"_s, m_charts);
    m_totals = new ListTotalsLabel(u"记录数"_s, {u"实际金额"_s}, this);
    m_ratesLabel = ui::makeLabel(this, u"Label3"_s, {});
    m_ratesLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    createLayout();
    clearFigures();
}

void BusinessChartWindow::createLayout()
{
    QGroupBox *frame1 = ui::makeFrame(this, u"Frame1"_s);
    auto *range = new QHBoxLayout(frame1);
    QLabel *label1 = ui::makeLabel(frame1, u"Label1"_s, u"开始日期："_s);
    QLabel *label2 = ui::makeLabel(frame1, u"Label2"_s, u"结束日期："_s);
    ui::setBuddy(label1, m_fromPicker);
    ui::setBuddy(label2, m_toPicker);
    range->addWidget(label1);
    range->addWidget(m_fromPicker);
    range->addSpacing(16);
    range->addWidget(label2);
    range->addWidget(m_toPicker);
    range->addSpacing(16);
    range->addWidget(m_stepCombo);
    range->addStretch(1);
    range->addWidget(m_queryButton);

    auto *charts = new QVBoxLayout(m_charts);
    charts->setContentsMargins(0, 0, 0, 0);
    charts->addWidget(m_takingsView, 3);
    charts->addWidget(m_occupancyView, 2);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_saveButton);
    bottom->addWidget(m_printButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame1);
    layout->addWidget(m_charts, 1);
    layout->addWidget(m_totals);
    layout->addWidget(m_ratesLabel);
    layout->addLayout(bottom);
    resize(960, 720);

    connect(m_queryButton, &QPushButton::clicked, this, &BusinessChartWindow::query);
    connect(m_saveButton, &QPushButton::clicked, this, &BusinessChartWindow::saveImage);
    connect(m_printButton, &QPushButton::clicked, this, &BusinessChartWindow::printCharts);
}

void BusinessChartWindow::query()
{
    const Step step = m_stepCombo->currentIndex() == 1 ? Step::Month : Step::Day;
    const auto figures =
        hotel::businessFigures(hotel::session(), m_fromPicker->Value(), m_toPicker->Value(), step);
    if (figures.isRefused(hotel::Refusal::BadValue)) {
        clearFigures();
        ui::refuseAt(m_toPicker, u"日期范围不能超过十年。"_s);
        return;
    }
    if (!figures.ok()) {
        clearFigures();
        ui::showOutcome(this, figures);
        return;
    }
    m_range = u"日期："_s + m_fromPicker->text() + u" 至 "_s + m_toPicker->text() + u"（"_s +
              m_stepCombo->currentText() + u"）"_s;
    showFigures(figures.value(), step);
}

void BusinessChartWindow::clearFigures()
{
    clearChart(m_takings);
    clearChart(m_occupancy);
    m_totals->show(0);
    m_ratesLabel->setText(u"入住率：—    平均房价：—"_s);
    m_range.clear();
}

void BusinessChartWindow::showFigures(const hotel::BusinessFigures &f, Step step)
{
    clearChart(m_takings);
    clearChart(m_occupancy);
    auto dateAxis = [&](QChart *chart) {
        auto *x = new QDateTimeAxis;
        x->setFormat(step == Step::Day ? u"MM-dd"_s : u"yyyy-MM"_s);
        x->setTickCount(std::clamp(int(f.periods.size()), 2, 8));
        if (!f.periods.isEmpty()) {
            const QDate last = f.periods.last().first;
            x->setRange(QDateTime(f.periods.first().first, QTime(0, 0)),
                        QDateTime(f.periods.size() > 1 ? last : last.addDays(1), QTime(0, 0)));
        }
        chart->addAxis(x, Qt::AlignBottom);
        return x;
    };
    QList<QPointF> takings, price, share;
    for (const hotel::FigurePeriod &p : f.periods) {
        const qreal at = qreal(QDateTime(p.first, QTime(0, 0)).toMSecsSinceEpoch());
        takings.append({at, p.revenue});
        if (const auto perNight = hotel::averagePrice(p.revenue, p.nightsBilled))
            price.append({at, *perNight});
        if (const auto occupied = hotel::occupancy(p.roomNights, f.rooms, p.days))
            share.append({at, *occupied * 100});
    }
    auto top = [](const QList<QPointF> &points, double least) {
        for (const QPointF &p : points)
            least = std::max(least, p.y());
        return least;
    };
    QDateTimeAxis *x1 = dateAxis(m_takings);
    addLine(m_takings, u"实际金额（元）"_s, takings, x1,
            valueAxis(m_takings, u"实际金额（元）"_s, Qt::AlignLeft, top(takings, 0)));
    addLine(m_takings, u"平均房价（元/晚）"_s, price, x1,
            valueAxis(m_takings, u"平均房价（元/晚）"_s, Qt::AlignRight, top(price, 0)));
    QDateTimeAxis *x2 = dateAxis(m_occupancy);
    addLine(m_occupancy, u"入住率（%）"_s, share, x2,
            valueAxis(m_occupancy, u"入住率（%）"_s, Qt::AlignLeft, top(share, 100)));
    m_totals->show(f.stays, {f.revenue});
    m_ratesLabel->setText(u"入住率："_s + percentText(hotel::occupancy(f.roomNights, f.rooms, f.days)) +
                          u"    平均房价："_s + priceText(hotel::averagePrice(f.revenue, f.nightsBilled)));
}

QImage BusinessChartWindow::chartImage(qreal scale) const
{
    QImage image(m_charts->size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    m_charts->render(&image);
    return image;
}

grid_export::Heading BusinessChartWindow::heading() const
{
    const hotel::Session *session = hotel::session();
    return {windowTitle(), m_range, m_totals->text() + u"    "_s + m_ratesLabel->text(),
            session ? session->operatorName() : QString(), QDateTime::currentDateTime()};
}

void BusinessChartWindow::paintPage(QPainter &painter, const QRectF &page,
                                    const grid_export::Heading &heading, const QImage &charts)
{
    QFont font = painter.font();
    font.setPointSizeF(9);
    QFont bold = font;
    bold.setBold(true);
    const qreal line = QFontMetricsF(font, painter.device()).height() * 1.35;
    qreal y = page.top();
    auto band = [&] { return QRectF(page.left(), y, page.width(), line); };
    const QString title = heading.filter.isEmpty() ? heading.title : heading.title + u"　"_s + heading.filter;
    painter.setFont(bold);
    painter.drawText(band(), Qt::AlignLeft | Qt::AlignVCenter, title);
    painter.setFont(font);
    painter.drawText(band(), Qt::AlignRight | Qt::AlignVCenter, u"第 1 页 / 共 1 页"_s);
    y += line;
    QStringList meta{u"打印时间："_s + heading.printedAt.toString(u"yyyy-MM-dd HH:mm"_s)};
    if (!heading.operatorName.isEmpty())
        meta.append(u"操作员："_s + heading.operatorName);
    painter.drawText(band(), Qt::AlignLeft | Qt::AlignVCenter, meta.join(u"    "_s));
    y += line;
    painter.drawText(band(), Qt::AlignLeft | Qt::AlignVCenter, heading.totals);
    y += line * 1.5;
    if (charts.isNull())
        return;
    const QSizeF fitted =
        charts.size().scaled(QSizeF(page.width(), page.bottom() - y).toSize(), Qt::KeepAspectRatio);
    painter.drawImage(QRectF(QPointF(page.left(), y), fitted), charts);
}

void BusinessChartWindow::saveImage()
{
    QString path = ui::seam().saveFileName(this, u"保存图片"_s, ui::documentsPath(windowTitle() + u".png"_s),
                                           u"PNG 图片 (*.png)"_s);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += u".png"_s;
    // Whole or not at all: an earlier picture of that name is kept until the new one is written.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !chartImage().save(&file, "PNG") || !file.commit()) {
        ui::inform(this, u"无法写入文件："_s + QDir::toNativeSeparators(path) + u"\n"_s + file.errorString());
        return;
    }
    ui::inform(this, u"图表已保存为："_s + QDir::toNativeSeparators(path));
}

void BusinessChartWindow::printCharts()
{
    const grid_export::Heading shown = heading();
    const QImage charts = chartImage(3);
    ui::print(this, {u"图表"_s, windowTitle(), ui::documentsPath(windowTitle() + u".pdf"_s),
                     ui::a4(QPageLayout::Landscape, 12), [&](QPainter &painter, QPagedPaintDevice &device) {
                         paintPage(painter, QRectF(0, 0, device.width(), device.height()), shown, charts);
                     }});
}
