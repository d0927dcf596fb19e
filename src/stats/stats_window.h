#pragma once

#include "data/paged_table.h"

#include <QDialog>

class Connection;
class FlexGrid;
class ListTotalsLabel;
class QGroupBox;
class QPushButton;
class StayDetailPanel;

// What the two statistics windows share: under the window's own search frame, the list of
// completed stays, the particulars and room of the one chosen (as in the history), and the
// calculator button.
class StatsWindow : public QDialog
{
    Q_OBJECT
protected:
    StatsWindow(const QString &formName, const QString &caption, const QString &roomNumberBox,
                QWidget *owner);

    // Lays out the search frame above the shared part and connects the shared handlers.
    void createLayout(QGroupBox *searchFrame);
    void Form_Load();
    void MSFlexGrid2_Click();
    void Command2_Click();
    // Lists the completed stays `filter` picks, newest first, with their totals; throws DbError.
    void listStays(Connection &connection, const PagedTable::Filter &filter);

    FlexGrid *m_msFlexGrid2 = nullptr;
    StayDetailPanel *m_detail = nullptr;
    QPushButton *m_command2 = nullptr;
    ListTotalsLabel *m_totals = nullptr;
};
