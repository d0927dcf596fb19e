#pragma once

#include "hotel/listing.h"

#include <QDialog>

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
    // The list at its header, no stay shown, no totals.
    void clearList();
    // The stays a query found, with their totals; a query that failed leaves the list empty and
    // no totals.
    void listStays(const hotel::Result<hotel::ListingPtr> &stays);

    FlexGrid *m_list = nullptr;
    StayDetailPanel *m_detail = nullptr;
    ListTotalsLabel *m_totals = nullptr;

private Q_SLOTS:
    void showChosen();
    void startCalculator();

private:
    QPushButton *m_calculatorButton = nullptr;
};
