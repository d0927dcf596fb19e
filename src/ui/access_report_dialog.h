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
    QLabel *m_summaryLabel;
    QLabel *m_reportLabel;
    QPlainTextEdit *m_reportView;
    QPushButton *m_okButton;
};
