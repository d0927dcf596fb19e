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

    void MSFlexGrid1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

private:
    void createLayout();
    void Form_Load();
    // The room the boxes describe, after the checks shared by add and rewrite; none after
    // telling the operator.
    std::optional<hotel::Room> typedRoom();
    void showRefusal(const hotel::Outcome &outcome);

    QGroupBox *m_frame1;
    FlexGrid *m_msFlexGrid1;
    QGroupBox *m_frame2;
    QLabel *m_label1;
    QLineEdit *m_text1;
    QLabel *m_label2;
    QLineEdit *m_text2;
    QLabel *m_label3;
    QLineEdit *m_text3;
    QLabel *m_label4;
    QComboBox *m_combo1;
    QLabel *m_label5;
    QLineEdit *m_text4;
    QLabel *m_label8;
    QLabel *m_label6;
    QLineEdit *m_text5;
    QLabel *m_label9;
    QLabel *m_label7;
    QCheckBox *m_check1;
    QCheckBox *m_check2;
    QCheckBox *m_check3;
    QFrame *m_line1;
    QPushButton *m_command1;
    QPushButton *m_command2;
    QPushButton *m_command3;
};
