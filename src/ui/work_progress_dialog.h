#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// A progress bar over long work with 取消. The work runs on while it stands: 取消, Esc and the
// window's frame only ask the work to stop, and the dialog goes when the work has ended.
class WorkProgressDialog : public QDialog
{
    Q_OBJECT
public:
    WorkProgressDialog(QWidget *parent, const QString &caption);

    void showRows(qint64 done, qint64 total);
    // The work has ended, stopped or not.
    void finish();

    void reject() override;

Q_SIGNALS:
    void stopAsked();

private:
    QLabel *m_captionLabel;
    QProgressBar *m_progressBar;
    QPushButton *m_cancelButton;
};
