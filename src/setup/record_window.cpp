#include "setup/record_window.h"

#include "hotel/deeds.h"
#include "ui/date_picker.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/grid_fill.h"
#include "ui/list_totals_label.h"
#include "ui/seams.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Header =
    u"序号|^操作时间            |^操作员    |^前台          |^操作          |^数据表    |^记录号|^原金额|^新金额"_s;
const QString Any = u"（全部）"_s;

} // namespace

RecordWindow::RecordWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"OperationRecord"_s);
    setWindowTitle(u"操作记录"_s);
    const QDate today = ui::today();
    m_dtPicker1 = new DatePicker(this);
    m_dtPicker1->setObjectName(u"DTPicker1"_s);
    m_dtPicker1->setValue(QDateTime(today.addDays(-6), QTime(0, 0)));
    m_dtPicker2 = new DatePicker(this);
    m_dtPicker2->setObjectName(u"DTPicker2"_s);
    m_dtPicker2->setValue(QDateTime(today, QTime(23, 59, 59)));
    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(u"Combo1"_s);
    m_combo2 = new QComboBox(this);
    m_combo2->setObjectName(u"Combo2"_s);
    m_command1 = ui::makeButton(this, u"Command1"_s, u"查询"_s);
    m_msFlexGrid1 = new FlexGrid(this);
    m_msFlexGrid1->setObjectName(u"MSFlexGrid1"_s);
    m_totals = new ListTotalsLabel(u"记录数"_s, hotel::recordSums(), this);
    m_msFlexGrid1->setTotalsLabel(m_totals);

    QGroupBox *frame1 = ui::makeFrame(this, u"Frame1"_s);
    auto *filter = new QHBoxLayout(frame1);
    const std::pair<QString, QWidget *> boxes[] = {{u"开始日期："_s, m_dtPicker1},
                                                   {u"结束日期："_s, m_dtPicker2},
                                                   {u"操作员："_s, m_combo1},
                                                   {u"操作："_s, m_combo2}};
    int n = 1;
    for (const auto &[caption, box] : boxes) {
        QLabel *label = ui::makeLabel(frame1, u"Label"_s + QString::number(n++), caption);
        ui::setBuddy(label, box);
        filter->addWidget(label);
        filter->addWidget(box);
    }
    filter->addStretch(1);
    filter->addWidget(m_command1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame1);
    layout->addWidget(m_msFlexGrid1, 1);
    layout->addWidget(m_totals);
    resize(960, 600);

    connect(m_command1, &QPushButton::clicked, this, &RecordWindow::Command1_Click);
    fillChoices();
    grid::reset(m_msFlexGrid1, Header);
    m_totals->show(0);
}

void RecordWindow::fillChoices()
{
    const auto choices = hotel::recordChoices(hotel::session());
    for (auto [combo, items] : {std::pair{m_combo1, choices.ok() ? choices.value().operators : QStringList()},
                                std::pair{m_combo2, choices.ok() ? choices.value().deeds : QStringList()}}) {
        combo->clear();
        combo->addItem(Any);
        combo->addItems(items);
    }
}

void RecordWindow::Command1_Click()
{
    const auto chosen = [](const QComboBox *combo) {
        return combo->currentIndex() <= 0 ? QString() : combo->currentText();
    };
    const hotel::RecordFilter filter{m_dtPicker1->Value(), m_dtPicker2->Value(), chosen(m_combo1),
                                     chosen(m_combo2)};
    m_msFlexGrid1->setListFilter(
        u"操作时间："_s + m_dtPicker1->text() + u" 至 "_s + m_dtPicker2->text() +
        (filter.operatorName.isEmpty() ? QString() : u"　操作员："_s + filter.operatorName) +
        (filter.deed.isEmpty() ? QString() : u"　操作："_s + filter.deed));
    const auto rows = hotel::listRecord(hotel::session(), filter);
    // A refused right is said here; a store that fails is said by the list.
    if (rows.kind() == hotel::Outcome::Kind::Refused) {
        ui::showOutcome(this, rows);
        grid::reset(m_msFlexGrid1, Header);
    } else {
        grid::fill(m_msFlexGrid1, Header, grid::DefaultRowHeight, rows);
    }
    m_totals->show(rows.ok() ? rows.value()->count() : 0, rows.ok() ? rows.value()->sums() : QList<double>());
}
