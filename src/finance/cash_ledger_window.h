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

private Q_SLOTS:
    void showChosen();
    // The first press empties the boxes for a new entry; the second stores it.
    void addEntry();
    void saveChanges();
    void deleteEntry();

private:
    void createControls();
    void createLayout();
    void loadList();

    bool inputIsValid();
    // The entry as the boxes hold it; nothing, once said, when a box holds no value its column takes.
    std::optional<hotel::LedgerEntry> enteredEntry();
    // After a change: the message, then the window afresh.
    void changed(const char16_t *message);

    const LedgerKind &m_kind;
    FlexGrid *m_list = nullptr;
    DatePicker *m_timePicker = nullptr;
    QLineEdit *m_amountEdit = nullptr;
    QLineEdit *m_personEdit = nullptr;
    QPushButton *m_addButton = nullptr;
    QPushButton *m_changeButton = nullptr;
    QPushButton *m_deleteButton = nullptr;
    bool m_adding = false; // the boxes are for a new entry, stored by the next press of Add
    ListTotalsLabel *m_totals = nullptr;
};
