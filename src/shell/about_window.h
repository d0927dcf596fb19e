#pragma once

#include <QDialog>

class QLabel;

// What this program is and where its home page is.
class AboutWindow : public QDialog
{
    Q_OBJECT
public:
    explicit AboutWindow(QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void openHomePage();

private:
    QLabel *m_homePageLink;
};
