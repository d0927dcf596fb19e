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

private Q_SLOTS:
    void browse();
    void restore();

private:
    void createLayout();
    void fillCopies();
    void restoreFromAccess(const QString &path);

    QLabel *m_picture;
    QGroupBox *m_frame;
    QLabel *m_copiesLabel;
    QListWidget *m_copyList;
    QLabel *m_sourceLabel;
    QLineEdit *m_sourceEdit;
    QPushButton *m_browseButton;
    QPushButton *m_restoreButton;
    QLabel *m_hintLabel;
};
