#pragma once

#include <QDialog>

class FlexGrid;
class QLineEdit;
class QPushButton;
class StayDetailPanel;

// "按房间统计": the completed stays of one room, found by its number, newest first, with the
// particulars and room of the one chosen, as in the history.
class Form17 : public QDialog
{
    Q_OBJECT
public:
    explicit Form17(QWidget *owner);

private:
    void createControls();
    void createLayout();
    void Form_Load();
    void Command1_Click();
    void MSFlexGrid2_Click();
    void Command2_Click();

    QLineEdit *m_text1 = nullptr;
    QPushButton *m_command1 = nullptr;
    FlexGrid *m_msFlexGrid2 = nullptr;
    StayDetailPanel *m_detail = nullptr;
    QPushButton *m_command2 = nullptr;
};
