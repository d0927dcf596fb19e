#pragma once

#include <QDialog>

class FlexGrid;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The floors of the house: list, add, rename, delete.
class FloorsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit FloorsWindow(QWidget *parent = nullptr);

    static QString header();

private Q_SLOTS:
    void showChosen();
    void addFloor();
    void renameFloor();
    void deleteFloor();

private:
    void createLayout();
    void loadList();

    QGroupBox *m_listFrame;
    FlexGrid *m_list;
    QGroupBox *m_addFrame;
    QLabel *m_newNameLabel;
    QLineEdit *m_newNameEdit;
    QPushButton *m_addButton;
    QGroupBox *m_editFrame;
    QLabel *m_nameLabel;
    QLineEdit *m_nameEdit;
    QPushButton *m_renameButton;
    QPushButton *m_deleteButton;
    QLabel *m_picture;
};
