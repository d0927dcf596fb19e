#include "shell/login_window.h"

#include "data/connection.h"
#include "data/db_error.h"
#include "data/module1.h"
#include "data/recordset.h"
#include "shell/main_window.h"
#include "ui/form_kit.h"
#include "ui/pictures.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

Form1::Form1(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Form1"_s);
    setWindowTitle(u"登陆Quillon"_s);
    createLayout();
    ui::keepOpenOnEscape(this);
    Form_Load();
}

void Form1::createLayout()
{
    m_image1 = ui::makeLabel(this, u"Image1"_s, QString());
    m_image1->setPixmap(pictures::loginPicture());
    m_frame1 = ui::makeFrame(this, u"Frame1"_s);
    m_label1 = ui::makeLabel(m_frame1, u"Label1"_s, u"用户名："_s);
    m_text1 = ui::makeTextBox(m_frame1, u"Text1"_s);
    m_label2 = ui::makeLabel(m_frame1, u"Label2"_s, u"密  码："_s);
    m_text2 = ui::makeTextBox(m_frame1, u"Text2"_s);
    m_text2->setEchoMode(QLineEdit::Password);
    m_text2->setStyleSheet(u"lineedit-password-character: 42;"_s); // "*"
    m_command1 = ui::makeButton(m_frame1, u"Command1"_s, u"登陆系统"_s);
    m_command1->setDefault(true); // Enter logs in
    m_command1->setAutoDefault(true);
    ui::setBuddy(m_label1, m_text1);
    ui::setBuddy(m_label2, m_text2);

    auto *fields = new QGridLayout(m_frame1);
    fields->addWidget(m_label1, 0, 0);
    fields->addWidget(m_text1, 0, 1);
    fields->addWidget(m_label2, 1, 0);
    fields->addWidget(m_text2, 1, 1);
    fields->addWidget(m_command1, 2, 1, Qt::AlignRight);
    m_text1->setMinimumWidth(180);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_image1);
    layout->addWidget(m_frame1);
    setTabOrder(m_text1, m_text2);
    setTabOrder(m_text2, m_command1);
    connect(m_command1, &QPushButton::clicked, this, &Form1::Command1_Click);
}

void Form1::Form_Load()
{
    Module1::DbFileName = u"innkeep.mdb"_s;
    Module1::DbPassword = u"58316094"_s;
}

void Form1::Command1_Click()
{
    bool found = false;
    QVariant rights;
    try {
        Connection connection;
        connection.open();
        Recordset records(connection);
        // Name and password are compared without regard to letter case.
        records.open(
            u"select * from 操作用户 where 用户名称=? collate nocase and 登陆密码=? collate nocase"_s,
            {m_text1->text(), m_text2->text()});
        if (!(records.eof() && records.bof())) {
            found = true;
            rights = records.field(3);
        }
    } catch (const DbError &) {
        found = false; // an unreadable file refuses like a wrong password
    }
    if (!found) {
        ui::MsgBox(this, u"对不起，用户名或密码错误？"_s);
        return;
    }
    auto *main = new Form2();
    main->StatusBar1_SetPanelText(3, m_text1->text());
    main->applyRights(rights);
    close();
    deleteLater();
    main->show();
}
