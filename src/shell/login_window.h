#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QGroupBox;

// The start-up window: fixes the database settings and admits an operator.
class LoginWindow : public QDialog
{
    Q_OBJECT
public:
    explicit LoginWindow(QWidget *parent = nullptr);

    // First start of an installed program with no database yet: offers to create an empty one,
    // since a login could only fail. Returns true when a database was created.
    bool offerNewHouse();
    // First start in the old desk program's folder: the house file is its Access file. Offers to
    // bring it across; returns true when the house is Quillon's now.
    bool offerAccessMove();

private Q_SLOTS:
    void logIn();

private:
    void setDefaultHouse();
    void createLayout();

    QLabel *m_picture;
    QGroupBox *m_frame;
    QLabel *m_nameLabel;
    QLineEdit *m_nameEdit;
    QLabel *m_passwordLabel;
    QLineEdit *m_passwordEdit;
    QPushButton *m_logInButton;
};
