#include "ui/form_kit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace ui {

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

QLineEdit *makeTextBox(QWidget *parent, const QString &name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QCheckBox *makeCheckBox(QWidget *parent, const QString &name, const QString &caption)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QGroupBox *makeFrame(QWidget *parent, const QString &name, const QString &caption)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    return frame;
}

void setBuddy(QLabel *label, QWidget *box)
{
    label->setBuddy(box);
    QString name = label->text();
    while (name.endsWith(u'：') || name.endsWith(u':'))
        name.chop(1);
    box->setAccessibleName(name);
}

QLineEdit *makeRoomNumberBox(QWidget *parent, const QString &name)
{
    QLineEdit *box = makeTextBox(parent, name);
    box->setEnabled(false);
    // &H00C0E0FF& is blue C0, green E0, red FF.
    box->setStyleSheet(u"QLineEdit { background-color: #FFE0C0; color: black; }"_s);
    return box;
}

QLineEdit *makeHiddenKeyBox(QWidget *parent, const QString &name)
{
    QLineEdit *box = makeTextBox(parent, name);
    box->setEnabled(false);
    box->setVisible(false);
    return box;
}

} // namespace ui
