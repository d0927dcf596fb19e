#include "shell/login_window.h"

#include "data/file_modes.h"
#include "hotel/access_move.h"
#include "hotel/house.h"
#include "hotel/session.h"
#include "shell/main_window.h"
#include "ui/access_report_dialog.h"
#include "ui/form_kit.h"
#include "ui/pictures.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

LoginWindow::LoginWindow(HouseLocation house, QWidget *parent) : QDialog(parent), m_house(std::move(house))
{
    setObjectName(u"Form1"_s);
    setWindowTitle(u"登陆Quillon"_s);
    createLayout();
    ui::keepOpenOnEscape(this);
}

void LoginWindow::createLayout()
{
    m_picture = ui::makeLabel(this, u"Image1"_s, QString());
    m_picture->setPixmap(pictures::loginPicture());
    m_frame = ui::makeFrame(this, u"Frame1"_s);
    m_nameLabel = ui::makeLabel(m_frame, u"Label1"_s, u"用户名："_s);
    m_nameEdit = ui::makeTextBox(m_frame, u"Text1"_s);
    m_passwordLabel = ui::makeLabel(m_frame, u"Label2"_s, u"密  码："_s);
    m_passwordEdit = ui::makeTextBox(m_frame, u"Text2"_s);
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_passwordEdit->setStyleSheet(u"lineedit-password-character: 42;"_s); // "*"
    m_logInButton = ui::makeButton(m_frame, u"Command1"_s, u"登陆系统"_s);
    m_logInButton->setDefault(true); // Enter logs in
    m_logInButton->setAutoDefault(true);
    ui::setBuddy(m_nameLabel, m_nameEdit);
    ui::setBuddy(m_passwordLabel, m_passwordEdit);

    auto *fields = new QGridLayout(m_frame);
    fields->addWidget(m_nameLabel, 0, 0);
    fields->addWidget(m_nameEdit, 0, 1);
    fields->addWidget(m_passwordLabel, 1, 0);
    fields->addWidget(m_passwordEdit, 1, 1);
    fields->addWidget(m_logInButton, 2, 1, Qt::AlignRight);
    m_nameEdit->setMinimumWidth(180);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_picture);
    layout->addWidget(m_frame);
    setTabOrder(m_nameEdit, m_passwordEdit);
    setTabOrder(m_passwordEdit, m_logInButton);
    connect(m_logInButton, &QPushButton::clicked, this, &LoginWindow::logIn);
}

void LoginWindow::logIn()
{
    const auto in = hotel::Session::logIn(m_house, m_nameEdit->text(), m_passwordEdit->text());
    // A house that cannot be reached or read says why; only a house that answered and knows no
    // such operator with that password is a wrong name or password.
    if (in.isRefused(hotel::Refusal::NotFound)) {
        ui::inform(this, u"对不起，用户名或密码错误？"_s);
        return;
    }
    if (!in.ok()) {
        ui::showOutcome(this, in);
        return;
    }
    hotel::Session::setCurrent(in.value());
    auto *main = new MainWindow(); // its menus and toolbar follow the session's rights
    main->setOperatorName(m_nameEdit->text());
    close();
    deleteLater();
    main->show();
    // Said once a run: every login of the day would otherwise repeat it.
    static bool told = false;
    if (!told && in.value()->houseNeedsUpgrade()) {
        told = true;
        ui::inform(main, hotel::upgradeSentence());
    }
}

bool LoginWindow::offerNewHouse()
{
    const QString dir = m_house.folder;
    if (!m_house.inUserDataFolder || dir.isEmpty())
        return false;
    const QString path = m_house.filePath();
    // Anything already there, even a folder or a broken file, is the operator's to look at.
    if (QFileInfo(path).exists() || QFileInfo(path).isSymLink())
        return false;
    const QString question = u"还没有数据库文件：\n"_s + QDir::toNativeSeparators(path) +
                             u"\n\n现在新建一个空的数据库吗？（第一个操作员 admin，密码 admin）"_s;
    if (!ui::confirm(this, question))
        return false;

    QString error;
    // The file holds the operators' passwords: a new folder is the desk account's alone.
    if (!QDir().mkpath(QFileInfo(dir).absolutePath()) || !filemodes::makePrivateFolder(dir))
        error = u"无法建立文件夹"_s;
    else
        error = hotel::createEmptyHouse(path, m_house.password);
    if (!error.isEmpty()) {
        ui::inform(this, u"新建数据库失败："_s + QDir::toNativeSeparators(path) + u"\n"_s + error);
        return false;
    }
    ui::inform(this, u"已新建数据库："_s + QDir::toNativeSeparators(path) +
                         u"\n请用 admin / admin 登陆，并在“系统维护 → 用户管理”中修改密码。"_s);
    return true;
}

bool LoginWindow::offerAccessMove()
{
    const QString path = hotel::accessHouseToBringAcross(m_house);
    if (path.isEmpty())
        return false;
    const QString file = QDir::toNativeSeparators(path);
    const QString question =
        u"数据库文件\n"_s + file +
        u"\n是旧前台程序的 Access 数据库，Quillon 不能直接使用它。\n\n"_s
        u"现在把其中的全部数据转换为 Quillon 的数据库吗？"
        u"原来的 Access 文件会原样保存在旁边的 innkeep-backups 文件夹中，不作任何改动。"_s;
    if (!ui::confirm(this, question)) {
        ui::inform(this, u"没有转换。Quillon 无法打开旧前台程序的 Access 数据库文件：\n"_s + file +
                             u"\n\n需要时请重新启动 Quillon，再选择转换。"_s);
        return false;
    }
    const auto moved =
        hotel::bringAccessHouseAcross(m_house, ui::progressRunner(this, u"正在转换旧前台程序的数据……"_s));
    if (moved.isRefused(hotel::Refusal::Cancelled)) {
        ui::inform(this, u"已取消转换。旧前台程序的数据库文件原样留在原处，没有任何改动。"_s);
        return false;
    }
    if (!moved.ok()) {
        ui::warn(this, u"无法转换旧前台程序的数据：\n"_s + moved.message() +
                           u"\n\n旧前台程序的数据库文件原样留在原处，没有任何改动。"_s);
        return false;
    }
    const QString summary = u"旧前台程序的数据已全部转换为 Quillon 的数据库：\n"_s + file +
                            u"\n原来的 Access 文件原样保存在：\n"_s +
                            QDir::toNativeSeparators(moved->keptAt) +
                            u"\n\n请照旧用原来的用户名和密码登陆。注意：密码现在区分大小写。"_s;
    ui::seam().showModal(new AccessReportDialog(this, summary, moved->report));
    return true;
}
