#pragma once

#include "hotel/records.h"

#include <QDialog>
#include <optional>

class FlexGrid;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace hotel {
class Outcome;
}

// The rooms of the house: list with status, two-step add, rewrite, delete.
class RoomsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit RoomsWindow(QWidget *parent = nullptr);

private Q_SLOTS:
    void showChosen();
    void addRoom();
    void saveChanges();
    void deleteRoom();

private:
    void createLayout();
    void loadLists();
    // The room the boxes describe, after the checks shared by add and rewrite; none after
    // telling the operator.
    std::optional<hotel::Room> typedRoom();
    void showRefusal(const hotel::Outcome &outcome);

    QGroupBox *m_listFrame;
    FlexGrid *m_list;
    QGroupBox *m_editFrame;
    QLabel *m_numberLabel;
    QLineEdit *m_numberEdit;
    QLabel *m_nameLabel;
    QLineEdit *m_nameEdit;
    QLabel *m_typeLabel;
    QLineEdit *m_typeEdit;
    QLabel *m_floorLabel;
    QComboBox *m_floorCombo;
    QLabel *m_priceLabel;
    QLineEdit *m_priceEdit;
    QLabel *m_priceUnit;
    QLabel *m_memberPriceLabel;
    QLineEdit *m_memberPriceEdit;
    QLabel *m_memberPriceUnit;
    QLabel *m_statusLabel;
    QCheckBox *m_freeBox;
    QCheckBox *m_occupiedBox;
    QCheckBox *m_reservedBox;
    QFrame *m_rule;
    QPushButton *m_addButton;
    QPushButton *m_changeButton;
    QPushButton *m_deleteButton;
    bool m_adding = false; // the boxes are for a new room, stored by the next press of Add
};
