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

    void MSFlexGrid1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

private:
    void createLayout();
    void Form_Load();

    QGroupBox *m_frame1;
    FlexGrid *m_msFlexGrid1;
    QGroupBox *m_frame2;
    QLabel *m_label1;
    QLineEdit *m_text1;
    QPushButton *m_command1;
    QGroupBox *m_frame3;
    QLabel *m_label2;
    QLineEdit *m_text2;
    QPushButton *m_command2;
    QPushButton *m_command3;
    QLabel *m_image1;
};
