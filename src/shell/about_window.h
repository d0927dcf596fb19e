#pragma once

#include <QDialog>

class QLabel;
struct HouseLocation;

// What this program is and where its home page is.
class AboutWindow : public QDialog
{
    Q_OBJECT
public:
    // `house`: the desk's house, whose file it names.
    explicit AboutWindow(const HouseLocation &house, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void openHomePage();

private:
    QLabel *m_homePageLink;
};
