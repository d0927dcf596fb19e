#include "ui/access_report_dialog.h"

#include "ui/form_kit.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

AccessReportDialog::AccessReportDialog(QWidget *parent, const QString &summary, const QString &report)
    : QDialog(parent)
{
    setObjectName(u"AccessReport"_s);
    setWindowTitle(u"旧数据转换报告"_s);
    m_label1 = ui::makeLabel(this, u"Label1"_s, summary);
    m_label1->setWordWrap(true);
    m_label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_label2 = ui::makeLabel(this, u"Label2"_s, u"转换报告："_s);
    m_text1 = new QPlainTextEdit(report, this);
    m_text1->setObjectName(u"Text1"_s);
    m_text1->setReadOnly(true);
    // The report lines its figures up in columns.
    m_text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text1->setMinimumSize(600, 470);
    m_command1 = ui::makeButton(this, u"Command1"_s, u"确定"_s);
    m_command1->setDefault(true);
    ui::setBuddy(m_label2, m_text1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label1);
    layout->addWidget(m_label2);
    layout->addWidget(m_text1, 1);
    layout->addLayout(buttons);
    connect(m_command1, &QPushButton::clicked, this, &AccessReportDialog::accept);
}

QString AccessReportDialog::report() const
{
    return m_text1->toPlainText();
}
