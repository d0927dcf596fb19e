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

private Q_SLOTS:
    void browse();
    void backUp();

private:
    void createLayout();

    QLabel *m_picture;
    QGroupBox *m_frame;
    QLabel *m_targetLabel;
    QLineEdit *m_targetEdit;
    QPushButton *m_browseButton;
    QPushButton *m_backUpButton;
    QLabel *m_hintLabel;
};
