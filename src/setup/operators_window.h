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

    void MSFlexGrid1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

private:
    void createLayout();
    void Form_Load();
    // "Z:" and one letter per ticked box, always in the order a to f.
    QString rightsText() const;
    void clearRights();

    QGroupBox *m_frame1;
    FlexGrid *m_msFlexGrid1;
    QGroupBox *m_frame2;
    QLabel *m_label1;
    QLineEdit *m_text1;
    QLabel *m_label2;
    QLineEdit *m_text2;
    QLabel *m_label3;
    QList<QCheckBox *> m_checks; // Check1 to Check6, rights a to f
    QFrame *m_line1;
    QPushButton *m_command1;
    QPushButton *m_command2;
    QPushButton *m_command3;
};
