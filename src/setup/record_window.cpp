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
    m_fromPicker = new DatePicker(this);
    m_fromPicker->setObjectName(u"DTPicker1"_s);
    m_fromPicker->setValue(QDateTime(today.addDays(-6), QTime(0, 0)));
    m_toPicker = new DatePicker(this);
    m_toPicker->setObjectName(u"DTPicker2"_s);
    m_toPicker->setValue(QDateTime(today, QTime(23, 59, 59)));
    m_operatorCombo = new QComboBox(this);
    m_operatorCombo->setObjectName(u"Combo1"_s);
    m_deedCombo = new QComboBox(this);
    m_deedCombo->setObjectName(u"Combo2"_s);
    m_queryButton = ui::makeButton(this, u"Command1"_s, u"查询"_s);
    m_list = new FlexGrid(this);
    m_list->setObjectName(u"MSFlexGrid1"_s);
    m_totals = new ListTotalsLabel(u"记录数"_s, hotel::recordSums(), this);
    m_list->setTotalsLabel(m_totals);

    QGroupBox *frame1 = ui::makeFrame(this, u"Frame1"_s);
    auto *filter = new QHBoxLayout(frame1);
    const std::pair<QString, QWidget *> boxes[] = {{u"开始日期："_s, m_fromPicker},
                                                   {u"结束日期："_s, m_toPicker},
                                                   {u"操作员："_s, m_operatorCombo},
                                                   {u"操作："_s, m_deedCombo}};
    int n = 1;
    for (const auto &[caption, box] : boxes) {
        QLabel *label = ui::makeLabel(frame1, u"Label"_s + QString::number(n++), caption);
        ui::setBuddy(label, box);
        filter->addWidget(label);
        filter->addWidget(box);
    }
    filter->addStretch(1);
    filter->addWidget(m_queryButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame1);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_totals);
    resize(960, 600);

    connect(m_queryButton, &QPushButton::clicked, this, &RecordWindow::query);
    fillChoices();
    grid::reset(m_list, Header);
    m_totals->show(0);
}

void RecordWindow::fillChoices()
{
    const auto choices = hotel::recordChoices(hotel::session());
    for (auto [combo, items] :
         {std::pair{m_operatorCombo, choices.ok() ? choices.value().operators : QStringList()},
          std::pair{m_deedCombo, choices.ok() ? choices.value().deeds : QStringList()}}) {
        combo->clear();
        combo->addItem(Any);
        combo->addItems(items);
    }
}

void RecordWindow::query()
{
    const auto chosen = [](const QComboBox *combo) {
        return combo->currentIndex() <= 0 ? QString() : combo->currentText();
    };
    const hotel::RecordFilter filter{m_fromPicker->Value(), m_toPicker->Value(), chosen(m_operatorCombo),
                                     chosen(m_deedCombo)};
    m_list->setListFilter(
        u"操作时间："_s + m_fromPicker->text() + u" 至 "_s + m_toPicker->text() +
        (filter.operatorName.isEmpty() ? QString() : u"　操作员："_s + filter.operatorName) +
        (filter.deed.isEmpty() ? QString() : u"　操作："_s + filter.deed));
    const auto rows = hotel::listRecord(hotel::session(), filter);
    // A refused right is said here; a store that fails is said by the list.
    if (rows.kind() == hotel::Outcome::Kind::Refused) {
        ui::showOutcome(this, rows);
        grid::reset(m_list, Header);
    } else {
        grid::fill(m_list, Header, grid::DefaultRowHeight, rows);
    }
    m_totals->show(rows.ok() ? rows.value()->count() : 0, rows.ok() ? rows.value()->sums() : QList<double>());
}
