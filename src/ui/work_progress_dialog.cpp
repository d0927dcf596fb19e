#include "ui/work_progress_dialog.h"

#include "ui/form_kit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

WorkProgressDialog::WorkProgressDialog(QWidget *parent, const QString &caption) : QDialog(parent)
{
    setObjectName(u"WorkProgress"_s);
    setWindowTitle(u"提示"_s);
    m_captionLabel = ui::makeLabel(this, u"Label1"_s, caption);
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(u"ProgressBar1"_s);
    m_progressBar->setRange(0, 0); // moving until the first rows are told
    m_progressBar->setMinimumWidth(360);
    m_cancelButton = ui::makeButton(this, u"Command1"_s, u"取消"_s);
    ui::setBuddy(m_captionLabel, m_progressBar);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_captionLabel);
    layout->addWidget(m_progressBar);
    layout->addLayout(buttons);
    connect(m_cancelButton, &QPushButton::clicked, this, &WorkProgressDialog::reject);
}

void WorkProgressDialog::showRows(qint64 done, qint64 total)
{
    if (total <= 0)
        return;
    // Per mille: a row count may pass what a progress bar's int holds.
    m_progressBar->setRange(0, 1000);
    m_progressBar->setValue(int(std::clamp<qint64>(done * 1000 / total, 0, 1000)));
}

void WorkProgressDialog::finish()
{
    done(QDialog::Accepted);
}

void WorkProgressDialog::reject()
{
    if (!m_cancelButton->isEnabled())
        return;
    m_cancelButton->setEnabled(false);
    m_captionLabel->setText(u"正在取消，请稍候……"_s);
    Q_EMIT stopAsked();
}
