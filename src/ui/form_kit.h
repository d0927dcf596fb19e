#pragma once

#include <QString>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Small builders so every window names its controls the same way.
namespace ui {

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption);
QLineEdit *makeTextBox(QWidget *parent, const QString &name);
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption);
QCheckBox *makeCheckBox(QWidget *parent, const QString &name, const QString &caption);
QGroupBox *makeFrame(QWidget *parent, const QString &name, const QString &caption = {});

// The label names the box for screen readers and UI automation.
void setBuddy(QLabel *label, QWidget *box);

// The room-number box shown over the hidden room-key box: tinted, not editable.
QLineEdit *makeRoomNumberBox(QWidget *parent, const QString &name);
// The hidden, disabled box that keeps a room key.
QLineEdit *makeHiddenKeyBox(QWidget *parent, const QString &name);

} // namespace ui
