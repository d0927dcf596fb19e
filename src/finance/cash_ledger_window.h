#pragma once

#include "hotel/ledgers.h"

#include <QDialog>
#include <QString>
#include <optional>

class DatePicker;
class FlexGrid;
class ListTotalsLabel;
class QLineEdit;
class QPushButton;

// What differs between the takings ledger and the disbursements ledger.
struct LedgerKind {
    const char16_t *formName;
    const char16_t *caption;
    const char16_t *timeLabel;
    const char16_t *amountLabel;
    const char16_t *personLabel;
    const char16_t *header;
    const char16_t *idleCaption;
    const char16_t *addCaption;
    hotel::Ledger ledger;
    const char16_t *added;
    const char16_t *rewritten;
    const char16_t *deleted;
};

namespace ledgers {
extern const LedgerKind Takings;       // Form14, 交款
extern const LedgerKind Disbursements; // Form15, 拔款
} // namespace ledgers

// A cash ledger: all entries of its table; add in two steps, rewrite and delete the chosen one.
class CashLedger : public QDialog
{
    Q_OBJECT
public:
    CashLedger(const LedgerKind &kind, QWidget *owner);

    const LedgerKind &kind() const { return m_kind; }

private:
    void createControls();
    void createLayout();
    void Form_Load();
    void MSFlexGrid1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    bool inputIsValid();
    // The entry as the boxes hold it; nothing, once said, when a box holds no value its column takes.
    std::optional<hotel::LedgerEntry> enteredEntry();
    // After a change: the message, then the window afresh.
    void changed(const char16_t *message);

    const LedgerKind &m_kind;
    FlexGrid *m_msFlexGrid1 = nullptr;
    DatePicker *m_dtPicker1 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    ListTotalsLabel *m_totals = nullptr;
};
