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
    m_summaryLabel = ui::makeLabel(this, u"Label1"_s, summary);
    m_summaryLabel->setWordWrap(true);
    m_summaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_reportLabel = ui::makeLabel(this, u"Label2"_s, u"转换报告："_s);
    m_reportView = new QPlainTextEdit(report, this);
    m_reportView->setObjectName(u"Text1"_s);
    m_reportView->setReadOnly(true);
    // The report lines its figures up in columns.
    m_reportView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_reportView->setMinimumSize(600, 470);
    m_okButton = ui::makeButton(this, u"Command1"_s, u"确定"_s);
    m_okButton->setDefault(true);
    ui::setBuddy(m_reportLabel, m_reportView);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summaryLabel);
    layout->addWidget(m_reportLabel);
    layout->addWidget(m_reportView, 1);
    layout->addLayout(buttons);
    connect(m_okButton, &QPushButton::clicked, this, &AccessReportDialog::accept);
}

QString AccessReportDialog::report() const
{
    return m_reportView->toPlainText();
}
