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
    connect(m_msFlexGrid1, &FlexGrid::Click, this, &OperatorsWindow::MSFlexGrid1_Click);
    connect(m_command1, &QPushButton::clicked, this, &OperatorsWindow::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &OperatorsWindow::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &OperatorsWindow::Command3_Click);
    Form_Load();
}

QString OperatorsWindow::header()
{
    return u"序号|^用户名称                |^登陆密码            |^                权限设置        "_s;
}

void OperatorsWindow::createLayout()
{
    static const QStringList rightCaptions = {u"系统维护"_s, u"旅客入住"_s,   u"旅客退房"_s,
                                              u"财务管理"_s, u"统计与核算"_s, u"常用工具"_s};
    m_frame1 = ui::makeFrame(this, u"Frame1"_s);
    m_msFlexGrid1 = new FlexGrid(m_frame1);
    m_msFlexGrid1->setObjectName(u"MSFlexGrid1"_s);
    m_msFlexGrid1->setMinimumSize(560, 200);
    auto *listLayout = new QVBoxLayout(m_frame1);
    listLayout->addWidget(m_msFlexGrid1);

    m_frame2 = ui::makeFrame(this, u"Frame2"_s);
    m_label1 = ui::makeLabel(m_frame2, u"Label1"_s, u"用户名称："_s);
    m_text1 = ui::makeTextBox(m_frame2, u"Text1"_s);
    m_label2 = ui::makeLabel(m_frame2, u"Label2"_s, u"登陆密码："_s);
    m_text2 = ui::makeTextBox(m_frame2, u"Text2"_s); // shown as typed
    m_label3 = ui::makeLabel(m_frame2, u"Label3"_s, u"权限设置："_s);
    // The heading names the group of boxes; each box keeps its own caption as its name.
    auto *rights = new QWidget(m_frame2);
    auto *rightsLayout = new QGridLayout(rights);
    rightsLayout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < rightCaptions.size(); ++i) {
        m_checks.append(ui::makeCheckBox(rights, u"Check"_s + QString::number(i + 1), rightCaptions.at(i)));
        rightsLayout->addWidget(m_checks.last(), i / 3, i % 3); // two rows of three
    }
    // The boxes keep their natural width; spare room goes to an empty last column.
    for (int c = 0; c < 3; ++c)
        rightsLayout->setColumnMinimumWidth(c, 130);
    rightsLayout->setColumnStretch(3, 1);
    m_line1 = new QFrame(m_frame2);
    m_line1->setObjectName(u"Line1"_s);
    m_line1->setFrameShape(QFrame::HLine);
    m_line1->setFrameShadow(QFrame::Sunken);
    m_command1 = ui::makeButton(m_frame2, u"Command1"_s, AddCaption);
    m_command2 = ui::makeButton(m_frame2, u"Command2"_s, u"修改用户"_s);
    m_command3 = ui::makeButton(m_frame2, u"Command3"_s, u"删除用户"_s);
    ui::setBuddy(m_label1, m_text1);
    ui::setBuddy(m_label2, m_text2);
    ui::setBuddy(m_label3, rights);

    auto *fields = new QGridLayout;
    fields->addWidget(m_label1, 0, 0);
    fields->addWidget(m_text1, 0, 1);
    fields->addWidget(m_label2, 1, 0);
    fields->addWidget(m_text2, 1, 1);
    fields->addWidget(m_label3, 2, 0, Qt::AlignTop);
    fields->addWidget(rights, 2, 1);
    fields->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_command1);
    buttons->addWidget(m_command2);
    buttons->addWidget(m_command3);

    auto *editLayout = new QVBoxLayout(m_frame2);
    editLayout->addLayout(fields);
    editLayout->addWidget(m_line1);
    editLayout->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame1, 1);
    layout->addWidget(m_frame2);
}

void OperatorsWindow::Form_Load()
{
    // A list that cannot be read stays empty; the window still opens.
    const auto operators = hotel::listOperators(hotel::session());
    grid::fill(m_msFlexGrid1, header(), grid::DefaultRowHeight, operators);
}

QString OperatorsWindow::rightsText() const
{
    QString text = u"Z:"_s;
    for (int i = 0; i < m_checks.size(); ++i) {
        if (m_checks.at(i)->checkState() == Qt::Checked) // grey does not count
            text += QChar(char16_t(Rights.at(i)));
    }
    return text;
}

void OperatorsWindow::clearRights()
{
    for (QCheckBox *box : std::as_const(m_checks))
        box->setCheckState(Qt::Unchecked);
}

void OperatorsWindow::MSFlexGrid1_Click()
{
    if (!m_msFlexGrid1->hasSelectedRecord())
        return;
    const int row = m_msFlexGrid1->RowSel();
    clearRights();
    m_text1->setText(m_msFlexGrid1->TextMatrix(row, 1));
    m_text2->setText(m_msFlexGrid1->TextMatrix(row, 2));
    const QString rights = m_msFlexGrid1->TextMatrix(row, 3);
    for (int i = 0; i < m_checks.size(); ++i) {
        if (hotel::grants(rights, false, Rights.at(i)))
            m_checks.at(i)->setCheckState(Qt::Checked);
    }
}

void OperatorsWindow::Command1_Click()
{
    if (m_command1->text() == AddCaption) {
        m_command1->setText(ConfirmCaption);
        m_command2->setEnabled(false);
        m_command3->setEnabled(false);
        m_text1->clear();
        m_text2->clear();
        clearRights();
        return;
    }
    const hotel::Outcome o = hotel::addOperator(
        hotel::session(), hotel::Operator{0, orNull(m_text1->text()), orNull(m_text2->text()), rightsText()});
    if (!o.ok()) {
        ui::showOutcome(this, o); // stays in add mode with what was typed
        return;
    }
    ui::inform(this, u"新增用户信息成功!"_s);
    ui::reopen(this, u"Form4"_s);
}

void OperatorsWindow::Command2_Click()
{
    if (m_text1->text().isEmpty() || m_text2->text().isEmpty()) {
        ui::refuseAt(m_text1->text().isEmpty() ? m_text1 : m_text2, u"请填写完整资料？"_s);
        return;
    }
    const auto shown = ui::chosenRow(this, m_msFlexGrid1);
    if (!shown)
        return;
    const auto was = hotel::fromRow<hotel::Operator>(*shown);
    const hotel::Outcome o = hotel::rewriteOperator(
        hotel::session(), was, hotel::Operator{was.key, m_text1->text(), m_text2->text(), rightsText()});
    if (!o.ok()) {
        ui::showOutcome(this, o);
        return;
    }
    ui::inform(this, u"修改用户信息成功!"_s);
    ui::reopen(this, u"Form4"_s);
}

void OperatorsWindow::Command3_Click()
{
    const auto shown = ui::chosenRow(this, m_msFlexGrid1);
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
