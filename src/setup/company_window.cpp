#include "setup/company_window.h"

#include "hotel/setup.h"
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
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int FieldCount = 8;

// Columns 1 to 8, in the order of the boxes.
QStringList texts(const hotel::Company &c)
{
    return {c.name, c.representative, c.phone, c.fax, c.email, c.address, c.postcode, c.profile};
}

} // namespace

CompanyWindow::CompanyWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Form3"_s);
    setWindowTitle(u"企业配置信息"_s);
    createLayout();
    connect(m_command2, &QPushButton::clicked, this, &CompanyWindow::Command2_Click);
    Form_Load();
}

void CompanyWindow::createLayout()
{
    static const QStringList captions = {u"企业名称："_s, u"法人代表："_s, u"电话："_s,     u"传真："_s,
                                         u"电子邮件："_s, u"地址："_s,     u"邮政编码："_s, u"企业简介："_s};
    m_image1 = ui::makeLabel(this, u"Image1"_s, QString());
    m_image1->setPixmap(pictures::windowPicture(QChar(u'企'), QColor(0x15, 0x65, 0xc0)));
    m_image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_frame1 = ui::makeFrame(this, u"Frame1"_s);
    auto *fields = new QGridLayout(m_frame1);
    for (int n = 1; n <= FieldCount; ++n) {
        QLabel *label = ui::makeLabel(m_frame1, u"Label"_s + QString::number(n), captions.at(n - 1));
        QWidget *box;
        if (n < FieldCount) {
            QLineEdit *line = ui::makeTextBox(m_frame1, u"Text"_s + QString::number(n));
            m_lines.append(line);
            box = line;
        } else {
            m_text8 = new QTextEdit(m_frame1);
            m_text8->setObjectName(u"Text8"_s);
            m_text8->setAcceptRichText(false);
            m_text8->setTabChangesFocus(true);
            m_text8->setMinimumHeight(110);
            box = m_text8;
        }
        ui::setBuddy(label, box);
        m_labels.append(label);
        fields->addWidget(label, n - 1, 0, n < FieldCount ? Qt::AlignVCenter : Qt::AlignTop);
        fields->addWidget(box, n - 1, 1);
    }
    m_lines.first()->setMinimumWidth(320);
    fields->setRowStretch(FieldCount - 1, 1);

    m_command2 = ui::makeButton(this, u"Command2"_s, u"修改配置信息"_s);
    auto *right = new QVBoxLayout;
    right->addWidget(m_frame1, 1);
    right->addWidget(m_command2, 0, Qt::AlignRight);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_image1);
    layout->addLayout(right, 1);
}

QString CompanyWindow::boxText(int n) const
{
    if (n < FieldCount)
        return m_lines.at(n - 1)->text();
    // Unedited, the profile goes back exactly as it was read; edited, its line breaks follow
    // the stored text's.
    QString shown = m_text8->document()->toRawText();
    if (shown == m_shownProfile)
        return m_storedProfile;
    return shown.replace(QChar::ParagraphSeparator,
                         m_storedProfile.contains(u"\r\n"_s) ? u"\r\n"_s : u"\n"_s);
}

void CompanyWindow::setBoxText(int n, const QString &text)
{
    if (n < FieldCount)
        m_lines.at(n - 1)->setText(text);
    else {
        m_text8->setPlainText(text);
        m_storedProfile = text;
        m_shownProfile = m_text8->document()->toRawText();
    }
}

void CompanyWindow::Form_Load()
{
    // Unreadable particulars leave the boxes empty; the window still opens.
    const auto company = hotel::readCompany(hotel::session());
    if (!company.ok() || !company.value())
        return;
    m_shown = company.value();
    const QStringList stored = texts(*m_shown);
    for (int n = 1; n <= FieldCount; ++n) {
        if (!stored.at(n - 1).isEmpty())
            setBoxText(n, stored.at(n - 1));
    }
}

void CompanyWindow::Command2_Click()
{
    QStringList typed;
    for (int n = 1; n <= FieldCount; ++n)
        typed.append(boxText(n));
    // An empty box keeps what is stored.
    const hotel::Company particulars{0,           typed.at(0), typed.at(1), typed.at(2), typed.at(3),
                                     typed.at(4), typed.at(5), typed.at(6), typed.at(7)};
    const hotel::Outcome o = hotel::saveCompany(hotel::session(), m_shown, particulars);
    if (o.isRefused(hotel::Refusal::NotFound)) {
        ui::warn(this, u"没有找到企业配置记录，信息没有保存。"_s);
        return;
    }
    if (!o.ok()) {
        ui::showOutcome(this, o);
        return;
    }
    ui::inform(this, u"恭喜您，更新信息完成！"_s);
    ui::reopen(this, u"Form3"_s);
}
