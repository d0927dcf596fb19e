#include "setup/data_init_window.h"

#include "hotel/house.h"
#include "ui/form_kit.h"
#include "ui/seams.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

DataInitWindow::DataInitWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Form20"_s);
    setWindowTitle(u"初始化数据"_s);
    createLayout();
    connect(m_initializeButton, &QPushButton::clicked, this, &DataInitWindow::initialize);
}

void DataInitWindow::createLayout()
{
    static const QStringList captions = {
        u"在确认使用本软件前,请初始化相关数据!"_s,
        u"初始化楼层:清除所有楼层数据资料!"_s,
        u"初始化房间:清除所有房间配置信息数据"_s,
        u"初始化旅客资料:清除所有的旅客入住信息,旅客退房记录和所有的旅定预订信息等等!"_s,
        u"一经初始化,所有的数据将丢失,请慎重使用!"_s,
    };
    m_frame = ui::makeFrame(this, u"Frame1"_s);
    auto *inside = new QVBoxLayout(m_frame);
    for (int i = 0; i < captions.size(); ++i) {
        QLabel *label = ui::makeLabel(m_frame, u"Label"_s + QString::number(i + 1), captions.at(i));
        label->setWordWrap(true);
        m_labels.append(label);
        inside->addWidget(label);
    }
    QFont warning = m_labels.last()->font();
    warning.setBold(true);
    m_labels.last()->setFont(warning);
    m_labels.last()->setStyleSheet(u"color: #c62828;"_s);
    m_initializeButton = ui::makeButton(m_frame, u"Command1"_s, u"初始化数据库"_s);
    inside->addSpacing(8);
    inside->addWidget(m_initializeButton, 0, Qt::AlignRight);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame);
    setMinimumWidth(600);
}

void DataInitWindow::initialize()
{
    // No question is asked first: a copy of the house is kept before the wipe.
    const hotel::Outcome o = hotel::initializeData(hotel::session());
    if (!o.ok()) {
        ui::showOutcome(this, o);
        return;
    }
    ui::inform(this, u"恭喜您,初始化数据资料成功!"_s);
    close();
}
