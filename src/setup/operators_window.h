#pragma once

#include <QDialog>
#include <QList>

class FlexGrid;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The operators who may log in, with their rights.
class OperatorsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit OperatorsWindow(QWidget *parent = nullptr);

    static QString header();

private Q_SLOTS:
    void showChosen();
    void addOperator();
    void saveChanges();
    void deleteOperator();

private:
    void createLayout();
    void loadList();
    // "Z:" and one letter per ticked box, always in the order a to f.
    QString rightsText() const;
    void clearRights();

    QGroupBox *m_listFrame;
    FlexGrid *m_list;
    QGroupBox *m_editFrame;
    QLabel *m_nameLabel;
    QLineEdit *m_nameEdit;
    QLabel *m_passwordLabel;
    QLineEdit *m_passwordEdit;
    QLabel *m_rightsLabel;
    QList<QCheckBox *> m_rightBoxes; // Check1 to Check6, rights a to f
    QFrame *m_rule;
    QPushButton *m_addButton;
    QPushButton *m_changeButton;
    QPushButton *m_deleteButton;
    bool m_adding = false; // the boxes are for a new operator, stored by the next press of Add
};
