#include "setup/restore_window.h"

#include "hotel/access_move.h"
#include "hotel/house.h"
#include "setup/backup_window.h"
#include "ui/access_report_dialog.h"
#include "ui/form_kit.h"
#include "ui/pictures.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {

QString quoted(const QString &path)
{
    return u"“"_s + QDir::toNativeSeparators(path) + u"”"_s;
}

} // namespace

RestoreWindow::RestoreWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Form23"_s);
    setWindowTitle(u"数据恢复"_s);
    createLayout();
    fillCopies();
    connect(m_copyList, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item)
            m_sourceEdit->setText(QDir::toNativeSeparators(item->data(Qt::UserRole).toString()));
    });
    connect(m_browseButton, &QPushButton::clicked, this, &RestoreWindow::browse);
    connect(m_restoreButton, &QPushButton::clicked, this, &RestoreWindow::restore);
}

void RestoreWindow::createLayout()
{
    m_picture = ui::makeLabel(this, u"Image1"_s, QString());
    m_picture->setPixmap(pictures::windowPicture(QChar(u'恢'), QColor(0xc6, 0x28, 0x28)));
    m_frame = ui::makeFrame(this, u"Frame1"_s);
    m_copiesLabel = ui::makeLabel(m_frame, u"Label1"_s, u"保存在数据库旁边的副本（最新的在前）："_s);
    m_copyList = new QListWidget(m_frame);
    m_copyList->setObjectName(u"List1"_s);
    m_sourceLabel = ui::makeLabel(m_frame, u"Label3"_s, u"要恢复的备份文件："_s);
    m_sourceEdit = ui::makeTextBox(m_frame, u"Text1"_s);
    m_sourceEdit->setMinimumWidth(360);
    m_browseButton = ui::makeButton(m_frame, u"Command2"_s, u"<<<"_s);
    m_restoreButton = ui::makeButton(m_frame, u"Command1"_s, u"恢复数据"_s);
    m_hintLabel = ui::makeLabel(m_frame, u"Label2"_s,
                                u"恢复后，所有前台看到的都是备份中的数据；恢复前的数据会先另存一份副本。"
                                u"旧前台程序的 Access 备份（.mdb）也可以恢复，会先转换过来。"_s);
    m_hintLabel->setWordWrap(true);
    ui::setBuddy(m_copiesLabel, m_copyList);
    ui::setBuddy(m_sourceLabel, m_sourceEdit);

    auto *grid = new QGridLayout(m_frame);
    grid->addWidget(m_copiesLabel, 0, 0, 1, 4);
    grid->addWidget(m_copyList, 1, 0, 1, 4);
    grid->addWidget(m_sourceLabel, 2, 0);
    grid->addWidget(m_sourceEdit, 2, 1);
    grid->addWidget(m_browseButton, 2, 2);
    grid->addWidget(m_restoreButton, 2, 3);
    grid->addWidget(m_hintLabel, 3, 0, 1, 4);
    grid->setColumnStretch(1, 1);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_picture, 0, Qt::AlignTop);
    layout->addWidget(m_frame, 1);
}

void RestoreWindow::fillCopies()
{
    const hotel::Session *desk = hotel::session();
    if (!desk)
        return;
    for (const QString &path : hotel::keptCopies(desk->location())) {
        auto *item = new QListWidgetItem(QFileInfo(path).fileName(), m_copyList);
        item->setData(Qt::UserRole, path);
    }
}

void RestoreWindow::browse()
{
    const QString chosen = ui::seam().openFileName(this, QString(), BackupWindow::dialogStartFolder(),
                                                   u"数据库文件（*.mdb） (*.mdb)"_s);
    if (!chosen.isEmpty())
        m_sourceEdit->setText(QDir::toNativeSeparators(chosen));
}

void RestoreWindow::restore()
{
    const QString path = QDir::fromNativeSeparators(m_sourceEdit->text().trimmed());
    if (path.isEmpty()) {
        ui::refuseAt(m_sourceEdit, u"请选择要恢复的备份文件。"_s);
        return;
    }
    if (hotel::isAccessFile(path)) {
        restoreFromAccess(path);
        return;
    }
    if (!ui::confirm(this, u"确定要用"_s + quoted(path) +
                               u"中的数据取代当前的全部数据吗？所有前台都将看到恢复后的数据。"_s))
        return;
    const auto restored = hotel::restoreHouse(hotel::session(), path);
    if (!restored.ok()) {
        ui::showOutcome(this, restored);
        return;
    }
    QString text = u"数据恢复成功！恢复前的数据已保存在"_s + quoted(restored->safetyCopy) + u"。"_s;
    if (!restored->operatorKept)
        text += u"\n恢复后的数据中没有您的用户名，或者您的权限已经不同，请重新登录。"_s;
    ui::inform(this, text);
    close();
    if (!restored->operatorKept)
        ui::signOut();
}

void RestoreWindow::restoreFromAccess(const QString &path)
{
    if (!ui::confirm(this, quoted(path) + u"是旧前台程序的 Access 数据库。确定要把其中的数据转换过来，"_s
                                          u"取代当前的全部数据吗？所有前台都将看到恢复后的数据。"_s))
        return;
    const auto restored = hotel::restoreFromAccess(hotel::session(), path,
                                                   ui::progressRunner(this, u"正在转换旧前台程序的数据……"_s));
    if (restored.isRefused(hotel::Refusal::Cancelled)) {
        ui::inform(this, u"已取消恢复，当前的数据没有任何改动。"_s);
        return;
    }
    if (restored.isRefused(hotel::Refusal::NotBroughtAcross)) {
        ui::warn(this, u"无法恢复数据："_s + restored.message() + u"\n当前的数据没有任何改动。"_s);
        return;
    }
    if (!restored.ok()) {
        ui::showOutcome(this, restored);
        return;
    }
    QString summary = u"数据恢复成功！旧前台程序的数据已转换过来，恢复前的数据已保存在"_s +
                      quoted(restored->restored.safetyCopy) + u"。注意：密码现在区分大小写。"_s;
    if (!restored->restored.operatorKept)
        summary += u"\n恢复后的数据中没有您的用户名，或者您的权限已经不同，请重新登录。"_s;
    // Without an owner: the desk may go back to the login below, and the report stays.
    ui::seam().showModal(new AccessReportDialog(nullptr, summary, restored->report));
    close();
    if (!restored->restored.operatorKept)
        ui::signOut();
}
