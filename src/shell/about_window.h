#pragma once

#include <QDialog>

class QLabel;

// What this program is and where its home page is.
class AboutWindow : public QDialog
{
    Q_OBJECT
public:
    explicit AboutWindow(QWidget *parent = nullptr);

    void Label7_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_label7;
};
