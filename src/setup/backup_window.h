#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Copies the database file to a path the operator types or picks.
class BackupWindow : public QDialog
{
    Q_OBJECT
public:
    explicit BackupWindow(QWidget *parent = nullptr);

    // Where the file dialog opens: "D:\" where that folder exists, else the home folder.
    static QString dialogStartFolder();

    void Command1_Click();
    void Command2_Click();

private:
    void createLayout();

    QLabel *m_image1;
    QGroupBox *m_frame1;
    QLabel *m_label1;
    QLineEdit *m_text1;
    QPushButton *m_command2;
    QPushButton *m_command1;
    QLabel *m_label2;
};
