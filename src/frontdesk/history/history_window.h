#pragma once

#include <QDialog>
#include <QTimer>

class FlexGrid;
class ListTotalsLabel;
class QLineEdit;
class QPushButton;
class StayDetailPanel;

// "历史旅客退房记录": every completed stay, newest first, with the particulars and room of
// the one chosen, and the button that opens its printable check-out sheet.
class HistoryWindow : public QDialog
{
    Q_OBJECT
public:
    explicit HistoryWindow(QWidget *owner);

    // The particulars the check-out sheet reads while it loads.
    const StayDetailPanel *detailPanel() const { return m_detail; }

    // How long typing must pause before the list is narrowed: the gap between keys, no more, now
    // that a search reads an index.
    static constexpr int SearchPauseMilliseconds = 150;

private Q_SLOTS:
    void showChosen();
    void openSheet();
    void runSearch();

private:
    void createControls();
    void createLayout();
    void loadList();
    void showList(const QString &search);

    FlexGrid *m_list = nullptr;
    StayDetailPanel *m_detail = nullptr;
    QPushButton *m_printButton = nullptr;
    QLineEdit *m_search = nullptr;
    ListTotalsLabel *m_totals = nullptr;
    QTimer m_searchPause;
};
