#include "shell/about_window.h"

#include "data/house_location.h"
#include "shell/home_page.h"
#include "ui/form_kit.h"
#include "ui/seams.h"

#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

AboutWindow::AboutWindow(const HouseLocation &house, QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Form19"_s);
    setWindowTitle(u"版权信息"_s);
    const QStringList texts = {
        u"Quillon 宾馆前台管理系统 V3.01，由 Quillon 开源项目的开发者编写。"_s,
        u"许可证：GNU 通用公共许可证第 3 版或更新版本（GPL-3.0-or-later），全文见程序目录中的 LICENSE.txt 或 /usr/share/common-licenses/GPL-3。"_s,
        u"本程序免费提供，没有收款帐户，请勿向任何人付款。"_s,
        u"联系人：Quillon 项目的开发者（通过项目的问题跟踪系统）。"_s,
        u"电话：本项目不设电话服务。"_s,
        u"电子邮件：请在项目的问题跟踪系统中留言。"_s,
    };
    auto *layout = new QVBoxLayout(this);
    for (int i = 0; i < texts.size(); ++i)
        layout->addWidget(ui::makeLabel(this, u"Label"_s + QString::number(i + 1), texts.at(i)));
    m_homePageLink = ui::makeLabel(this, u"Label7"_s, u"浏览作者主页"_s);
    m_homePageLink->setStyleSheet(u"color: #1565c0; text-decoration: underline;"_s);
    m_homePageLink->setCursor(Qt::PointingHandCursor);
    m_homePageLink->installEventFilter(this);
    layout->addWidget(m_homePageLink);
    // Where the desk's data is kept: beside the program, or in the user's folder once installed.
    auto *houseFile = ui::makeLabel(this, u"HouseLocation"_s,
                                    u"数据库文件："_s + QDir::toNativeSeparators(house.filePath()));
    houseFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(houseFile);
}

bool AboutWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_homePageLink && event->type() == QEvent::MouseButtonRelease) {
        openHomePage();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutWindow::openHomePage()
{
    ui::startProgram(this, ui::Program::Browser, homePageUrl());
}
