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
    connect(m_browseButton, &QPushButton::clicked, this, &BackupWindow::browse);
    connect(m_backUpButton, &QPushButton::clicked, this, &BackupWindow::backUp);
}

void BackupWindow::createLayout()
{
    m_picture = ui::makeLabel(this, u"Image1"_s, QString());
    m_picture->setPixmap(pictures::windowPicture(QChar(u'备'), QColor(0x2e, 0x7d, 0x32)));
    m_frame = ui::makeFrame(this, u"Frame1"_s);
    m_targetLabel = ui::makeLabel(m_frame, u"Label1"_s, u"请输入目标地："_s);
    m_targetEdit = ui::makeTextBox(m_frame, u"Text1"_s);
    m_targetEdit->setText(u"E:\\\\backup\\"_s);
    m_targetEdit->setMinimumWidth(300);
    m_browseButton = ui::makeButton(m_frame, u"Command2"_s, u"<<<"_s);
    m_backUpButton = ui::makeButton(m_frame, u"Command1"_s, u"备份数据"_s);
    m_hintLabel = ui::makeLabel(m_frame, u"Label2"_s, u"请确认路径真实有效？"_s);
    ui::setBuddy(m_targetLabel, m_targetEdit);

    auto *row = new QGridLayout(m_frame);
    row->addWidget(m_targetLabel, 0, 0);
    row->addWidget(m_targetEdit, 0, 1);
    row->addWidget(m_browseButton, 0, 2);
    row->addWidget(m_backUpButton, 0, 3);
    row->addWidget(m_hintLabel, 1, 1);
    row->setColumnStretch(1, 1);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_picture);
    layout->addWidget(m_frame, 1);
}

QString BackupWindow::dialogStartFolder()
{
    const QFileInfo d(u"D:\\"_s);
    if (d.isAbsolute() && d.isDir())
        return d.absoluteFilePath();
    return QDir::homePath();
}

void BackupWindow::browse()
{
    const QString chosen = ui::seam().openFileName(this, QString(), dialogStartFolder(), dialogFilter());
    // A cancel leaves the path as it was.
    if (!chosen.isEmpty())
        m_targetEdit->setText(QDir::toNativeSeparators(chosen));
}

void BackupWindow::backUp()
{
    const hotel::Outcome o = hotel::backUp(hotel::session(), m_targetEdit->text());
    if (!o.ok()) {
        ui::showOutcome(this, o);
        return;
    }
    ui::inform(this, u"恭喜您，数据库备份成功？"_s);
}
