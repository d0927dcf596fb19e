#include "setup/operators_window.h"

#include "hotel/setup.h"
#include "ui/chosen_record.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/grid_fill.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString AddCaption = u"新增用户"_s;
const QString ConfirmCaption = u"确认提交"_s;
// Check1 to Check6.
const QList<hotel::Right> Rights = {hotel::Right::Setup,   hotel::Right::FrontDesk,  hotel::Right::CheckOut,
                                    hotel::Right::Finance, hotel::Right::Statistics, hotel::Right::Tools};

// An empty box is stored as no value at all.
QString orNull(const QString &text)
{
    return text.isEmpty() ? QString() : text;
}

} // namespace

OperatorsWindow::OperatorsWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Form4"_s);
    setWindowTitle(u"用户管理"_s);
    createLayout();
    connect(m_list, &FlexGrid::Click, this, &OperatorsWindow::showChosen);
    connect(m_addButton, &QPushButton::clicked, this, &OperatorsWindow::addOperator);
    connect(m_changeButton, &QPushButton::clicked, this, &OperatorsWindow::saveChanges);
    connect(m_deleteButton, &QPushButton::clicked, this, &OperatorsWindow::deleteOperator);
    loadList();
}

QString OperatorsWindow::header()
{
    return u"序号|^用户名称                |^登陆密码            |^                权限设置        "_s;
}

void OperatorsWindow::createLayout()
{
    static const QStringList rightCaptions = {u"系统维护"_s, u"旅客入住"_s,   u"旅客退房"_s,
                                              u"财务管理"_s, u"统计与核算"_s, u"常用工具"_s};
    m_listFrame = ui::makeFrame(this, u"Frame1"_s);
    m_list = new FlexGrid(m_listFrame);
    m_list->setObjectName(u"MSFlexGrid1"_s);
    m_list->setMinimumSize(560, 200);
    auto *listLayout = new QVBoxLayout(m_listFrame);
    listLayout->addWidget(m_list);

    m_editFrame = ui::makeFrame(this, u"Frame2"_s);
    m_nameLabel = ui::makeLabel(m_editFrame, u"Label1"_s, u"用户名称："_s);
    m_nameEdit = ui::makeTextBox(m_editFrame, u"Text1"_s);
    m_passwordLabel = ui::makeLabel(m_editFrame, u"Label2"_s, u"登陆密码："_s);
    m_passwordEdit = ui::makeTextBox(m_editFrame, u"Text2"_s); // shown as typed
    m_rightsLabel = ui::makeLabel(m_editFrame, u"Label3"_s, u"权限设置："_s);
    // The heading names the group of boxes; each box keeps its own caption as its name.
    auto *rights = new QWidget(m_editFrame);
    auto *rightsLayout = new QGridLayout(rights);
    rightsLayout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < rightCaptions.size(); ++i) {
        m_rightBoxes.append(
            ui::makeCheckBox(rights, u"Check"_s + QString::number(i + 1), rightCaptions.at(i)));
        rightsLayout->addWidget(m_rightBoxes.last(), i / 3, i % 3); // two rows of three
    }
    // The boxes keep their natural width; spare room goes to an empty last column.
    for (int c = 0; c < 3; ++c)
        rightsLayout->setColumnMinimumWidth(c, 130);
    rightsLayout->setColumnStretch(3, 1);
    m_rule = new QFrame(m_editFrame);
    m_rule->setObjectName(u"Line1"_s);
    m_rule->setFrameShape(QFrame::HLine);
    m_rule->setFrameShadow(QFrame::Sunken);
    m_addButton = ui::makeButton(m_editFrame, u"Command1"_s, AddCaption);
    m_changeButton = ui::makeButton(m_editFrame, u"Command2"_s, u"修改用户"_s);
    m_deleteButton = ui::makeButton(m_editFrame, u"Command3"_s, u"删除用户"_s);
    ui::setBuddy(m_nameLabel, m_nameEdit);
    ui::setBuddy(m_passwordLabel, m_passwordEdit);
    ui::setBuddy(m_rightsLabel, rights);

    auto *fields = new QGridLayout;
    fields->addWidget(m_nameLabel, 0, 0);
    fields->addWidget(m_nameEdit, 0, 1);
    fields->addWidget(m_passwordLabel, 1, 0);
    fields->addWidget(m_passwordEdit, 1, 1);
    fields->addWidget(m_rightsLabel, 2, 0, Qt::AlignTop);
    fields->addWidget(rights, 2, 1);
    fields->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_addButton);
    buttons->addWidget(m_changeButton);
    buttons->addWidget(m_deleteButton);

    auto *editLayout = new QVBoxLayout(m_editFrame);
    editLayout->addLayout(fields);
    editLayout->addWidget(m_rule);
    editLayout->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_listFrame, 1);
    layout->addWidget(m_editFrame);
}

void OperatorsWindow::loadList()
{
    // A list that cannot be read stays empty; the window still opens.
    const auto operators = hotel::listOperators(hotel::session());
    grid::fill(m_list, header(), grid::DefaultRowHeight, operators);
}

QString OperatorsWindow::rightsText() const
{
    QString text = u"Z:"_s;
    for (int i = 0; i < m_rightBoxes.size(); ++i) {
        if (m_rightBoxes.at(i)->checkState() == Qt::Checked) // grey does not count
            text += QChar(char16_t(Rights.at(i)));
    }
    return text;
}

void OperatorsWindow::clearRights()
{
    for (QCheckBox *box : std::as_const(m_rightBoxes))
        box->setCheckState(Qt::Unchecked);
}

void OperatorsWindow::showChosen()
{
    if (!m_list->hasSelectedRecord())
        return;
    const int row = m_list->RowSel();
    clearRights();
    m_nameEdit->setText(m_list->text(row, 1));
    m_passwordEdit->setText(m_list->text(row, 2));
    const QString rights = m_list->text(row, 3);
    for (int i = 0; i < m_rightBoxes.size(); ++i) {
        if (hotel::grants(rights, false, Rights.at(i)))
            m_rightBoxes.at(i)->setCheckState(Qt::Checked);
    }
}

void OperatorsWindow::addOperator()
{
    if (!m_adding) {
        m_adding = true;
        m_addButton->setText(ConfirmCaption);
        m_changeButton->setEnabled(false);
        m_deleteButton->setEnabled(false);
        m_nameEdit->clear();
        m_passwordEdit->clear();
        clearRights();
        return;
    }
    const hotel::Outcome o =
        hotel::addOperator(hotel::session(), hotel::Operator{0, orNull(m_nameEdit->text()),
                                                             orNull(m_passwordEdit->text()), rightsText()});
    if (!o.ok()) {
        ui::showOutcome(this, o); // stays in add mode with what was typed
        return;
    }
    ui::inform(this, u"新增用户信息成功!"_s);
    ui::reopen(this, u"Form4"_s);
}

void OperatorsWindow::saveChanges()
{
    if (m_nameEdit->text().isEmpty() || m_passwordEdit->text().isEmpty()) {
        ui::refuseAt(m_nameEdit->text().isEmpty() ? m_nameEdit : m_passwordEdit, u"请填写完整资料？"_s);
        return;
    }
    const auto shown = ui::chosenRow(this, m_list);
    if (!shown)
        return;
    const auto was = hotel::fromRow<hotel::Operator>(*shown);
    const hotel::Outcome o = hotel::rewriteOperator(
        hotel::session(), was,
        hotel::Operator{was.key, m_nameEdit->text(), m_passwordEdit->text(), rightsText()});
    if (!o.ok()) {
        ui::showOutcome(this, o);
        return;
    }
    ui::inform(this, u"修改用户信息成功!"_s);
    ui::reopen(this, u"Form4"_s);
}

void OperatorsWindow::deleteOperator()
{
    const auto shown = ui::chosenRow(this, m_list);
    if (!shown)
        return;
    if (!ui::confirm(this, u"确认删除此信息？"_s))
        return;
    const hotel::Outcome o = hotel::deleteOperator(hotel::session(), hotel::fromRow<hotel::Operator>(*shown));
    if (!o.ok()) {
        ui::showOutcome(this, o);
        return;
    }
    ui::reopen(this, u"Form4"_s);
}
