#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// Puts a backup, or a copy kept beside the house, back in place of the house; a backup of the old
// desk program (an Access file) is brought across first.
class RestoreWindow : public QDialog
{
    Q_OBJECT
public:
    explicit RestoreWindow(QWidget *parent = nullptr);

    void Command1_Click();
    void Command2_Click();

private:
    void createLayout();
    void fillCopies();
    void restoreFromAccess(const QString &path);

    QLabel *m_image1;
    QGroupBox *m_frame1;
    QLabel *m_label1;
    QListWidget *m_list1;
    QLabel *m_label3;
    QLineEdit *m_text1;
    QPushButton *m_command2;
    QPushButton *m_command1;
    QLabel *m_label2;
};
