#pragma once

#include <QDialog>
#include <QString>
#include <QVariantList>

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
    const char16_t *table;
    const char16_t *rewriteQuery; // the entry's key is bound to "?"
    const char16_t *deleteStatement;
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
