#pragma once

#include <QDialog>
#include <QList>

class QGroupBox;
class QLabel;
class QPushButton;

// Empties the business tables so the house can start afresh; operators and company stay.
class DataInitWindow : public QDialog
{
    Q_OBJECT
public:
    explicit DataInitWindow(QWidget *parent = nullptr);

private Q_SLOTS:
    void initialize();

private:
    void createLayout();

    QGroupBox *m_frame;
    QList<QLabel *> m_labels; // Label1 to Label5
    QPushButton *m_initializeButton;
};
