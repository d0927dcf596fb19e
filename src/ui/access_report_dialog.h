#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// What bringing an old house across found: a sentence on what was done, then the report itself
// (rows per table, sums, odd rows), to read or copy.
class AccessReportDialog : public QDialog
{
    Q_OBJECT
public:
    AccessReportDialog(QWidget *parent, const QString &summary, const QString &report);

    QString report() const;

private:
    QLabel *m_label1;
    QLabel *m_label2;
    QPlainTextEdit *m_text1;
    QPushButton *m_command1;
};
