#include "setup/backup_window.h"

#include "hotel/house.h"
#include "ui/form_kit.h"
#include "ui/pictures.h"
#include "ui/seams.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {

// One entry, written the way the desk's dialogs list them: description|pattern.
const QString Filter = u"数据库文件（*.mdb）|*.mdb"_s;

QString dialogFilter()
{
    const QStringList parts = Filter.split(u'|');
    return parts.at(0) + u" ("_s + parts.at(1) + u")"_s;
}

} // namespace

BackupWindow::BackupWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Form7"_s);
    setWindowTitle(u"数据库备份管理"_s);
    createLayout();
    connect(m_command2, &QPushButton::clicked, this, &BackupWindow::Command2_Click);
    connect(m_command1, &QPushButton::clicked, this, &BackupWindow::Command1_Click);
}

void BackupWindow::createLayout()
{
    m_image1 = ui::makeLabel(this, u"Image1"_s, QString());
    m_image1->setPixmap(pictures::windowPicture(QChar(u'备'), QColor(0x2e, 0x7d, 0x32)));
    m_frame1 = ui::makeFrame(this, u"Frame1"_s);
    m_label1 = ui::makeLabel(m_frame1, u"Label1"_s, u"请输入目标地："_s);
    m_text1 = ui::makeTextBox(m_frame1, u"Text1"_s);
    m_text1->setText(u"E:\\\\backup\\"_s);
    m_text1->setMinimumWidth(300);
    m_command2 = ui::makeButton(m_frame1, u"Command2"_s, u"<<<"_s);
    m_command1 = ui::makeButton(m_frame1, u"Command1"_s, u"备份数据"_s);
    m_label2 = ui::makeLabel(m_frame1, u"Label2"_s, u"请确认路径真实有效？"_s);
    ui::setBuddy(m_label1, m_text1);

    auto *row = new QGridLayout(m_frame1);
    row->addWidget(m_label1, 0, 0);
    row->addWidget(m_text1, 0, 1);
    row->addWidget(m_command2, 0, 2);
    row->addWidget(m_command1, 0, 3);
    row->addWidget(m_label2, 1, 1);
    row->setColumnStretch(1, 1);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_image1);
    layout->addWidget(m_frame1, 1);
}

QString BackupWindow::dialogStartFolder()
{
    const QFileInfo d(u"D:\\"_s);
    if (d.isAbsolute() && d.isDir())
        return d.absoluteFilePath();
    return QDir::homePath();
}

void BackupWindow::Command2_Click()
{
    const QString chosen = ui::seam().openFileName(this, QString(), dialogStartFolder(), dialogFilter());
    // A cancel leaves the path as it was.
    if (!chosen.isEmpty())
        m_text1->setText(QDir::toNativeSeparators(chosen));
}

void BackupWindow::Command1_Click()
{
    const hotel::Outcome o = hotel::backUp(hotel::session(), m_text1->text());
    if (!o.ok()) {
        ui::showOutcome(this, o);
        return;
    }
    ui::inform(this, u"恭喜您，数据库备份成功？"_s);
}
