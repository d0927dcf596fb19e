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
constexpr int ProfileField = FieldCount - 1; // the last, in a multi-line box

// The particulars in the order of the boxes.
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
    connect(m_saveButton, &QPushButton::clicked, this, &CompanyWindow::save);
    loadCompany();
}

void CompanyWindow::createLayout()
{
    static const QStringList captions = {u"企业名称："_s, u"法人代表："_s, u"电话："_s,     u"传真："_s,
                                         u"电子邮件："_s, u"地址："_s,     u"邮政编码："_s, u"企业简介："_s};
    m_picture = ui::makeLabel(this, u"Image1"_s, QString());
    m_picture->setPixmap(pictures::windowPicture(QChar(u'企'), QColor(0x15, 0x65, 0xc0)));
    m_picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_frame = ui::makeFrame(this, u"Frame1"_s);
    auto *fields = new QGridLayout(m_frame);
    for (int i = 0; i < FieldCount; ++i) {
        QLabel *label = ui::makeLabel(m_frame, u"Label"_s + QString::number(i + 1), captions.at(i));
        QWidget *box;
        if (i < ProfileField) {
            QLineEdit *line = ui::makeTextBox(m_frame, u"Text"_s + QString::number(i + 1));
            m_lineEdits.append(line);
            box = line;
        } else {
            m_profileEdit = new QTextEdit(m_frame);
            m_profileEdit->setObjectName(u"Text8"_s);
            m_profileEdit->setAcceptRichText(false);
            m_profileEdit->setTabChangesFocus(true);
            m_profileEdit->setMinimumHeight(110);
            box = m_profileEdit;
        }
        ui::setBuddy(label, box);
        m_labels.append(label);
        fields->addWidget(label, i, 0, i < ProfileField ? Qt::AlignVCenter : Qt::AlignTop);
        fields->addWidget(box, i, 1);
    }
    m_lineEdits.first()->setMinimumWidth(320);
    fields->setRowStretch(ProfileField, 1);

    m_saveButton = ui::makeButton(this, u"Command2"_s, u"修改配置信息"_s);
    auto *right = new QVBoxLayout;
    right->addWidget(m_frame, 1);
    right->addWidget(m_saveButton, 0, Qt::AlignRight);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_picture);
    layout->addLayout(right, 1);
}

QString CompanyWindow::fieldText(int i) const
{
    if (i < ProfileField)
        return m_lineEdits.at(i)->text();
    // Unedited, the profile goes back exactly as it was read; edited, its line breaks follow
    // the stored text's.
    QString shown = m_profileEdit->document()->toRawText();
    if (shown == m_shownProfile)
        return m_storedProfile;
    return shown.replace(QChar::ParagraphSeparator,
                         m_storedProfile.contains(u"\r\n"_s) ? u"\r\n"_s : u"\n"_s);
}

void CompanyWindow::setFieldText(int i, const QString &text)
{
    if (i < ProfileField)
        m_lineEdits.at(i)->setText(text);
    else {
        m_profileEdit->setPlainText(text);
        m_storedProfile = text;
        m_shownProfile = m_profileEdit->document()->toRawText();
    }
}

void CompanyWindow::loadCompany()
{
    // Unreadable particulars leave the boxes empty; the window still opens.
    const auto company = hotel::readCompany(hotel::session());
    if (!company.ok() || !company.value())
        return;
    m_shown = company.value();
    const QStringList stored = texts(*m_shown);
    for (int i = 0; i < FieldCount; ++i) {
        if (!stored.at(i).isEmpty())
            setFieldText(i, stored.at(i));
    }
}

void CompanyWindow::save()
{
    QStringList typed;
    for (int i = 0; i < FieldCount; ++i)
        typed.append(fieldText(i));
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
