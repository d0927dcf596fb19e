#pragma once

#include "data/house_location.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QGroupBox;

// The start-up window: admits an operator to the house at the location it is given.
class LoginWindow : public QDialog
{
    Q_OBJECT
public:
    explicit LoginWindow(HouseLocation house, QWidget *parent = nullptr);

    // First start of an installed program with no database yet: offers to create an empty one,
    // since a login could only fail. Returns true when a database was created.
    bool offerNewHouse();
    // First start in the old desk program's folder: the house file is its Access file. Offers to
    // bring it across; returns true when the house is Quillon's now.
    bool offerAccessMove();

private Q_SLOTS:
    void logIn();

private:
    void createLayout();

    HouseLocation m_house;
    QLabel *m_picture;
    QGroupBox *m_frame;
    QLabel *m_nameLabel;
    QLineEdit *m_nameEdit;
    QLabel *m_passwordLabel;
    QLineEdit *m_passwordEdit;
    QPushButton *m_logInButton;
};
