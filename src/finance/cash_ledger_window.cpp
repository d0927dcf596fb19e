#include "finance/cash_ledger_window.h"

#include "data/conversions.h"
#include "ui/chosen_record.h"
#include "ui/date_picker.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/grid_fill.h"
#include "ui/list_totals_label.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace ledgers {

const LedgerKind Takings{u"Form14",
                         u"上交营业款",
                         u"交款时间：",
                         u"交款金额：",
                         u"交款人：",
                         u"序号    |^  交款时间          |^交款金额              |^    交款人  ",
                         u"新增营业款",
                         u"确认提交",
                         hotel::Ledger::Takings,
                         u"恭喜您，上交营业款提交成功！",
                         u"恭喜您，营业款修改成功！",
                         u"恭喜您，营业款删除成功！"};

const LedgerKind Disbursements{u"Form15",
                               u"下拔营业款",
                               u"拔款时间：",
                               u"拔款金额：",
                               u"拔款人：",
                               u"序号    |^  拔款时间          |^拔款金额              |^    拔款人  ",
                               u"新增拔款",
                               u"确认拔款",
                               hotel::Ledger::Disbursements,
                               u"恭喜您，下拔款项提交成功！",
                               u"恭喜您，拔款修改成功！",
                               u"恭喜您，拔款删除成功！"};

} // namespace ledgers

CashLedger::CashLedger(const LedgerKind &kind, QWidget *owner) : QDialog(owner), m_kind(kind)
{
    setObjectName(QString::fromUtf16(kind.formName));
    setWindowTitle(QString::fromUtf16(kind.caption));
    createControls();
    createLayout();
    connect(m_list, &FlexGrid::Click, this, &CashLedger::showChosen);
    connect(m_addButton, &QPushButton::clicked, this, &CashLedger::addEntry);
    connect(m_changeButton, &QPushButton::clicked, this, &CashLedger::saveChanges);
    connect(m_deleteButton, &QPushButton::clicked, this, &CashLedger::deleteEntry);
    // A new entry is most often money handed over just now; a clicked entry shows its own time.
    m_timePicker->setValue(ui::now());
    loadList();
}

void CashLedger::createControls()
{
    m_list = new FlexGrid(this);
    m_list->setObjectName(u"MSFlexGrid1"_s);
    m_timePicker = new DatePicker(this);
    m_timePicker->setObjectName(u"DTPicker1"_s);
    m_amountEdit = ui::makeTextBox(this, u"Text1"_s);
    m_personEdit = ui::makeTextBox(this, u"Text2"_s);
    m_addButton = ui::makeButton(this, u"Command1"_s, QString::fromUtf16(m_kind.idleCaption));
    m_changeButton = ui::makeButton(this, u"Command2"_s, u"修改信息"_s);
    m_deleteButton = ui::makeButton(this, u"Command3"_s, u"删除信息"_s);
    // The amount column is named as its label reads, without the colon.
    m_totals = new ListTotalsLabel(u"笔数"_s, {QString::fromUtf16(m_kind.amountLabel).chopped(1)}, this);
    m_list->setTotalsLabel(m_totals);
}

void CashLedger::createLayout()
{
    QGroupBox *frame1 = ui::makeFrame(this, u"Frame1"_s);
    QLabel *label1 = ui::makeLabel(frame1, u"Label1"_s, QString::fromUtf16(m_kind.timeLabel));
    QLabel *label2 = ui::makeLabel(frame1, u"Label2"_s, QString::fromUtf16(m_kind.amountLabel));
    QLabel *label3 = ui::makeLabel(frame1, u"Label3"_s, QString::fromUtf16(m_kind.personLabel));
    ui::setBuddy(label1, m_timePicker);
    ui::setBuddy(label2, m_amountEdit);
    ui::setBuddy(label3, m_personEdit);

    auto *fields = new QGridLayout;
    fields->addWidget(label1, 0, 0, Qt::AlignRight);
    fields->addWidget(m_timePicker, 0, 1);
    fields->addWidget(label2, 0, 2, Qt::AlignRight);
    fields->addWidget(m_amountEdit, 0, 3);
    fields->addWidget(label3, 1, 0, Qt::AlignRight);
    fields->addWidget(m_personEdit, 1, 1);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_addButton);
    buttons->addWidget(m_changeButton);
    buttons->addWidget(m_deleteButton);

    auto *frameLayout = new QVBoxLayout(frame1);
    frameLayout->addLayout(fields);
    frameLayout->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_totals);
    layout->addWidget(frame1);
    resize(560, 460);
}

void CashLedger::loadList()
{
    const auto entries = hotel::ledgerEntries(hotel::session(), m_kind.ledger);
    grid::fill(m_list, QString::fromUtf16(m_kind.header), grid::KeepRowHeight, entries);
    if (!entries.ok()) {
        m_totals->clear(); // the list said why
        return;
    }
    m_totals->show(entries.value()->count(), entries.value()->sums());
}

void CashLedger::showChosen()
{
    if (!m_list->hasSelectedRecord())
        return;
    const int row = m_list->RowSel();
    // An entry whose time cannot be read leaves the picker as it was.
    m_timePicker->setValueText(m_list->text(row, 1));
    m_amountEdit->setText(m_list->text(row, 2));
    m_personEdit->setText(m_list->text(row, 3));
}

bool CashLedger::inputIsValid()
{
    if (m_amountEdit->text().isEmpty() || m_personEdit->text().isEmpty()) {
        ui::refuseAt(m_amountEdit->text().isEmpty() ? m_amountEdit : m_personEdit, u"请填写完整资料？"_s);
        return false;
    }
    if (!conv::isNumeric(m_amountEdit->text())) {
        ui::refuseAt(m_amountEdit, u"金额只能为数字？"_s);
        return false;
    }
    return true;
}

std::optional<hotel::LedgerEntry> CashLedger::enteredEntry()
{
    hotel::BoxReader read;
    // Columns in order, so the first value refused is the one the store would have named.
    hotel::LedgerEntry entry{0, read.time(m_timePicker->Value()), read.number(m_amountEdit->text()),
                             m_personEdit->text()};
    if (!read.ok()) {
        ui::showOutcome(this, hotel::Outcome::refused(hotel::Refusal::BadValue, read.refusal()));
        return std::nullopt;
    }
    return entry;
}

void CashLedger::changed(const char16_t *message)
{
    ui::inform(this, QString::fromUtf16(message));
    ui::reopen(this, QString::fromUtf16(m_kind.formName));
}

void CashLedger::addEntry()
{
    if (!m_adding) {
        m_adding = true;
        m_changeButton->setEnabled(false);
        m_deleteButton->setEnabled(false);
        m_amountEdit->clear();
        m_personEdit->clear();
        m_timePicker->setValue(ui::now()); // not the time of the entry last clicked
        m_addButton->setText(QString::fromUtf16(m_kind.addCaption));
        return;
    }
    if (!inputIsValid())
        return;
    const auto entry = enteredEntry();
    if (!entry)
        return;
    const hotel::Outcome added = hotel::addLedgerEntry(hotel::session(), m_kind.ledger, *entry);
    if (!added.ok()) {
        ui::showOutcome(this, added); // still in add mode, the fields as typed
        return;
    }
    changed(m_kind.added);
}

void CashLedger::saveChanges()
{
    if (!inputIsValid())
        return;
    const auto shown = ui::chosenRow(this, m_list);
    if (!shown)
        return;
    const auto edited = enteredEntry();
    if (!edited)
        return;
    const hotel::Outcome rewritten = hotel::rewriteLedgerEntry(
        hotel::session(), m_kind.ledger, hotel::fromRow<hotel::LedgerEntry>(*shown), *edited);
    if (!rewritten.ok()) {
        ui::showOutcome(this, rewritten);
        return;
    }
    changed(m_kind.rewritten);
}

void CashLedger::deleteEntry()
{
    const auto shown = ui::chosenRow(this, m_list);
    if (!shown)
        return;
    const hotel::Outcome deleted =
        hotel::deleteLedgerEntry(hotel::session(), m_kind.ledger, hotel::fromRow<hotel::LedgerEntry>(*shown));
    if (!deleted.ok()) {
        ui::showOutcome(this, deleted);
        return;
    }
    changed(m_kind.deleted);
}
