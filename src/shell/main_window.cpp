#include "shell/main_window.h"

#include "hotel/session.h"
#include "hotel/setup.h"
#include "shell/home_page.h"
#include "shell/login_window.h"
#include "shell/room_board.h"
#include "ui/pictures.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

struct MenuItem {
    const char16_t *name;
    const char16_t *caption; // u"-" for a separator
    const char16_t *form;    // window it opens, if any
    bool optional = false;   // left out of the menu when its window was not built
};

struct MenuGroup {
    const char16_t *name;
    const char16_t *caption;
    QList<MenuItem> items;
};

const QList<MenuGroup> &menuTree()
{
    static const QList<MenuGroup> tree = {
        {u"m_a",
         u"系统维护",
         {{u"m_a_1", u"企业配置", u"Form3"},
          {u"m_a_2", u"用户管理", u"Form4"},
          {u"m_a_3", u"-", nullptr},
          {u"m_a_4", u"楼层管理", u"Form5"},
          {u"m_a_5", u"房间管理", u"Form6"},
          {u"m_a_6", u"-", nullptr},
          {u"m_a_7", u"数据库备份", u"Form7"},
          {u"m_a_10", u"数据初始化", u"Form20"},
          {u"m_a_11", u"数据恢复", u"Form23"},
          {u"m_a_12", u"操作记录", u"OperationRecord"},
          {u"m_a_8", u"-", nullptr},
          {u"m_a_9", u"退出系统", nullptr}}},
        {u"m_b",
         u"旅客入住",
         {{u"m_b_1", u"新旅客入住", u"Form8"},
          {u"m_b_2", u"当前入住旅客", u"Form9"},
          {u"m_b_3", u"-", nullptr},
          {u"m_b_4", u"新增客房预订", u"Form10"},
          {u"m_b_5", u"取消客房预订", u"Form11"}}},
        {u"m_c",
         u"旅客退房",
         {{u"m_c_1", u"新增旅客退房", u"Form12"}, {u"m_c_2", u"历史退房管理", u"Form13"}}},
        {u"m_d",
         u"财务管理",
         {{u"m_d_1", u"上缴营业款", u"Form14"},
          {u"m_d_2", u"-", nullptr},
          {u"m_d_3", u"下拔营业款", u"Form15"}}},
        {u"m_e",
         u"统计与核算",
         {{u"m_e_1", u"按日期统计", u"Form16"},
          {u"m_e_2", u"按房间统计", u"Form17"},
          {u"m_e_3", u"经营图表", u"BusinessChart", true}}},
        {u"m_f",
         u"常用工具",
         {{u"m_f_1", u"计算器", nullptr},
          {u"m_f_2", u"-", nullptr},
          {u"m_f_3", u"写字板", nullptr},
          {u"m_f_4", u"-", nullptr},
          {u"m_f_5", u"作者主页", nullptr}}},
        {u"m_g", u"使用帮助", {{u"m_g_2", u"版权信息", u"Form19"}}},
    };
    return tree;
}

struct ToolButton {
    const char16_t *text;
    const char16_t *form;
    hotel::Right group; // the menu group of its window
    QChar glyph;
    QColor colour;
};

const QList<ToolButton> &toolButtons()
{
    static const QList<ToolButton> buttons = {
        {u"旅客预订", u"Form10", hotel::Right::FrontDesk, QChar(u'订'), QColor(0x2e, 0x7d, 0x32)},
        {u"旅客入住", u"Form8", hotel::Right::FrontDesk, QChar(u'住'), QColor(0x15, 0x65, 0xc0)},
        {u"旅客管理", u"Form9", hotel::Right::FrontDesk, QChar(u'客'), QColor(0x00, 0x83, 0x8f)},
        {u"旅客退房", u"Form12", hotel::Right::CheckOut, QChar(u'退'), QColor(0xc6, 0x28, 0x28)},
        {u"上缴财务", u"Form14", hotel::Right::Finance, QChar(u'缴'), QColor(0xef, 0x6c, 0x00)},
        {u"下拔营业款", u"Form15", hotel::Right::Finance, QChar(u'拨'), QColor(0x6a, 0x1b, 0x9a)},
    };
    return buttons;
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(u"Form2"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(designTitle());
    resize(900, 600);
    auto *workspace = new QWidget(this);
    workspace->setObjectName(u"Workspace"_s);
    workspace->setAutoFillBackground(true);
    QPalette p = workspace->palette();
    p.setColor(QPalette::Window, p.color(QPalette::Dark)); // the application workspace colour
    workspace->setPalette(p);
    setCentralWidget(workspace);
    auto *workLayout = new QVBoxLayout(workspace);
    workLayout->setContentsMargins(8, 8, 8, 8);
    // The board opens windows only where the operator's menus would.
    workLayout->addWidget(new RoomBoard(
        [this](QChar letter) {
            const int group = letter.unicode() - u'a';
            return group >= 0 && group < m_menuGroups.size() &&
                   m_menuGroups.at(group)->menuAction()->isEnabled();
        },
        workspace));
    createMenus();
    createToolbar();
    createStatusBar();
    ui::setMainWindow(this);
    ui::setSignOut([self = QPointer<MainWindow>(this)] {
        if (self)
            self->signOut();
    });
    showCompanyName();
    applyRights([](hotel::Right right) { return hotel::session() && hotel::session()->may(right); });
}

MainWindow::~MainWindow() = default;

QString MainWindow::designTitle()
{
    return u"VantorQuillonV3.0"_s;
}

void MainWindow::createMenus()
{
    for (const MenuGroup &group : menuTree()) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf16(group.caption));
        menu->setObjectName(QString::fromUtf16(group.name));
        menu->menuAction()->setObjectName(QString::fromUtf16(group.name) + u"_action"_s);
        m_menuGroups.append(menu);
        for (const MenuItem &item : group.items) {
            if (item.optional && !ui::hasWindow(QString::fromUtf16(item.form)))
                continue;
            const QString caption = QString::fromUtf16(item.caption);
            QAction *action = caption == u"-"_s ? menu->addSeparator() : menu->addAction(caption);
            action->setObjectName(QString::fromUtf16(item.name));
            if (item.form) {
                const QString form = QString::fromUtf16(item.form);
                // Until a window exists, its item stays disabled.
                action->setEnabled(ui::hasWindow(form));
                connect(action, &QAction::triggered, this, [this, form] { openWindow(form); });
            }
        }
    }
    connect(findChild<QAction *>(u"m_a_9"_s), &QAction::triggered, this, &MainWindow::close);
    connect(findChild<QAction *>(u"m_f_1"_s), &QAction::triggered, this, &MainWindow::startCalculator);
    connect(findChild<QAction *>(u"m_f_3"_s), &QAction::triggered, this, &MainWindow::startTextEditor);
    connect(findChild<QAction *>(u"m_f_5"_s), &QAction::triggered, this, &MainWindow::openHomePage);
}

void MainWindow::createToolbar()
{
    m_toolbar = addToolBar(u"Toolbar1"_s);
    m_toolbar->setObjectName(u"Toolbar1"_s);
    m_toolbar->setMovable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setIconSize(QSize(32, 32));
    int index = 0;
    for (const ToolButton &b : toolButtons()) {
        ++index;
        QAction *action =
            m_toolbar->addAction(pictures::toolbarIcon(b.glyph, b.colour), QString::fromUtf16(b.text));
        action->setObjectName(u"Toolbar1_Button"_s + QString::number(index));
        const QString form = QString::fromUtf16(b.form);
        action->setEnabled(ui::hasWindow(form));
        m_toolButtons.append(action);
        connect(action, &QAction::triggered, this, [this, form] { openWindow(form); });
    }
}

void MainWindow::createStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(u"StatusBar1"_s);
    const QStringList texts = {u"Quillon 前台管理系统"_s, ui::today().toString(u"yyyy-MM-dd"_s), u"操作员"_s};
    for (int i = 0; i < texts.size(); ++i) {
        auto *panel = new QLabel(texts.at(i), bar);
        panel->setObjectName(u"StatusBar1_Panel"_s + QString::number(i + 1));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setMinimumWidth(120);
        bar->addPermanentWidget(panel, i == 0 ? 1 : 0);
        m_operatorPanel = panel; // the last
    }
}

void MainWindow::showCompanyName()
{
    // No readable house or no company row: the title keeps its design text.
    const auto name = hotel::companyName(hotel::session());
    if (name.ok() && name.value())
        setWindowTitle(*name.value() + u" [QuillonV3.01] "_s);
}

void MainWindow::setOperatorName(const QString &name)
{
    m_operatorPanel->setText(name);
}

QString MainWindow::operatorName() const
{
    return m_operatorPanel->text();
}

void MainWindow::applyRights(const QVariant &rights)
{
    applyRights([&rights](hotel::Right right) {
        return hotel::grants(rights.toString(), rights.isNull() || !rights.isValid(), right);
    });
}

void MainWindow::applyRights(const std::function<bool(hotel::Right)> &may)
{
    static const QList<hotel::Right> groups = {hotel::Right::Setup,      hotel::Right::FrontDesk,
                                               hotel::Right::CheckOut,   hotel::Right::Finance,
                                               hotel::Right::Statistics, hotel::Right::Tools};
    for (int i = 0; i < groups.size(); ++i) {
        if (!may(groups.at(i)))
            m_menuGroups.at(i)->menuAction()->setEnabled(false);
    }
    // A toolbar button opens no more than its menu group does.
    for (int i = 0; i < m_toolButtons.size(); ++i) {
        if (!may(toolButtons().at(i).group))
            m_toolButtons.at(i)->setEnabled(false);
    }
}

void MainWindow::openWindow(const QString &formName)
{
    ui::showWindow(formName, this);
}

void MainWindow::signOut()
{
    // The next operator logs in to the same house.
    const hotel::Session *desk = hotel::session();
    auto *login = new LoginWindow(desk ? desk->location() : HouseLocation());
    hotel::Session::setCurrent(nullptr);
    login->setAttribute(Qt::WA_DeleteOnClose);
    login->show();
    close();
}

void MainWindow::startCalculator()
{
    ui::startProgram(this, ui::Program::Calculator);
}

void MainWindow::startTextEditor()
{
    ui::startProgram(this, ui::Program::TextEditor);
}

void MainWindow::openHomePage()
{
    ui::startProgram(this, ui::Program::Browser, homePageUrl());
}
